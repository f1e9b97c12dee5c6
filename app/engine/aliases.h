// Aliases: named database definitions, a driver and parameter lines ("PATH=...", "USER NAME=...").
// Three scopes, as the engine has always had them: read-only ("virtual") aliases from engine.ini
// beside the program, persistent aliases in the user's configuration file ($MORVALE_ENGINE_CONFIG,
// default ~/.config/morvale/engine.ini), and session aliases that live in memory only.
//
// The file has one section per alias: [DEMO] DRIVER=SQLITE PATH=/usr/share/morvale/demo.db
#pragma once

#include <string>
#include <vector>

#include "export/core/classes.h"

namespace morvale {

enum TConfigModeFlag { cfmVirtual = 1, cfmPersistent = 2, cfmSession = 4 };
using TConfigMode = int;
constexpr TConfigMode cmAll = cfmVirtual | cfmPersistent | cfmSession;

enum class TAliasScope { Virtual, Persistent, Session };

struct TAlias {
  std::string Name;
  std::string Driver;
  TStringList Params;  // every line but DRIVER
  TAliasScope Scope = TAliasScope::Session;
};

// The read-only aliases' file: engine.ini in the program's folder, or for a program installed in
// PREFIX/bin, PREFIX/share/morvale/engine.ini when only that one exists.
std::string ReadOnlyConfigFile();

// The aliases every session shares: the read-only file and the user's file.
class TAliasConfig {
 public:
  static TAliasConfig& Instance();

  // Reads both files again (tests point them at files of their own).
  void Load(const std::string& userFile, const std::string& readOnlyFile);
  // The user's file by $MORVALE_ENGINE_CONFIG or ~/.config/morvale/engine.ini, and
  // ReadOnlyConfigFile().
  void LoadDefault();
  const std::string& UserFile() const { return userFile_; }

  // A persistent alias of that name first (the user's file may redefine a read-only one).
  const TAlias* Find(std::string_view name, TConfigMode mode = cmAll) const;
  void Names(TConfigMode mode, std::vector<std::string>& out) const;
  // Kept in memory until Save.
  void AddPersistent(TAlias alias);
  // False when no persistent alias has that name.
  bool DeletePersistent(std::string_view name);
  // Writes the persistent aliases to the user's file (creating its folder).
  void Save();

 private:
  void EnsureLoaded();
  bool loaded_ = false;
  std::string userFile_, readOnlyFile_;
  std::vector<TAlias> persistent_, virtual_;
  std::vector<std::string> deleted_;
};

}  // namespace morvale
