#include "app/engine/aliases.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "export/core/inifile.h"
#include "export/core/platform.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

void ReadAliases(const std::string& file, TAliasScope scope, std::vector<TAlias>& out) {
  out.clear();
  if (file.empty()) return;
  TIniFile ini(file);
  TStringList sections;
  ini.ReadSections(sections);
  for (const std::string& section : sections) {
    TAlias a;
    a.Name = section;
    a.Scope = scope;
    TStringList lines;
    ini.ReadSectionValues(section, lines);
    for (const std::string& line : lines) {
      if (SameText(TStringList::NamePart(line), "DRIVER"))
        a.Driver = std::string(TStringList::ValuePart(line));
      else
        a.Params.Add(line);
    }
    out.push_back(std::move(a));
  }
}

template <typename List>
auto FindIn(List& list, std::string_view name) {
  for (auto it = list.begin(); it != list.end(); ++it)
    if (SameText(it->Name, name)) return it;
  return list.end();
}

}  // namespace

// A build or a portable copy keeps engine.ini beside the program; an installation keeps it with
// the demo database in share/morvale.
std::string ReadOnlyConfigFile() {
  std::string beside = ProgramFolder() + "engine.ini";
  if (::access(beside.c_str(), R_OK) == 0) return beside;
  std::string installed = ProgramFolder() + "../share/morvale/engine.ini";
  if (::access(installed.c_str(), R_OK) == 0) return installed;
  return beside;
}

TAliasConfig& TAliasConfig::Instance() {
  static TAliasConfig config;
  return config;
}

void TAliasConfig::Load(const std::string& userFile, const std::string& readOnlyFile) {
  userFile_ = userFile;
  readOnlyFile_ = readOnlyFile;
  ReadAliases(userFile_, TAliasScope::Persistent, persistent_);
  ReadAliases(readOnlyFile_, TAliasScope::Virtual, virtual_);
  deleted_.clear();
  loaded_ = true;
}

void TAliasConfig::LoadDefault() {
  std::string user;
  if (const char* env = std::getenv("MORVALE_ENGINE_CONFIG"); env && *env) {
    user = env;
  } else {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg)
      user = std::string(xdg) + "/morvale/engine.ini";
    else if (home && *home)
      user = std::string(home) + "/.config/morvale/engine.ini";
  }
  Load(user, ReadOnlyConfigFile());
}

void TAliasConfig::EnsureLoaded() {
  if (!loaded_) LoadDefault();
}

const TAlias* TAliasConfig::Find(std::string_view name, TConfigMode mode) const {
  const_cast<TAliasConfig*>(this)->EnsureLoaded();
  if (mode & cfmPersistent) {
    auto it = FindIn(persistent_, name);
    if (it != persistent_.end()) return &*it;
  }
  if (mode & cfmVirtual) {
    auto it = FindIn(virtual_, name);
    if (it != virtual_.end()) return &*it;
  }
  return nullptr;
}

void TAliasConfig::Names(TConfigMode mode, std::vector<std::string>& out) const {
  const_cast<TAliasConfig*>(this)->EnsureLoaded();
  auto add = [&](const std::vector<TAlias>& list) {
    for (const TAlias& a : list) {
      bool seen = false;
      for (const std::string& n : out) seen = seen || SameText(n, a.Name);
      if (!seen) out.push_back(a.Name);
    }
  };
  if (mode & cfmPersistent) add(persistent_);
  if (mode & cfmVirtual) add(virtual_);
}

void TAliasConfig::AddPersistent(TAlias alias) {
  EnsureLoaded();
  alias.Scope = TAliasScope::Persistent;
  auto it = FindIn(persistent_, alias.Name);
  if (it != persistent_.end())
    *it = std::move(alias);
  else
    persistent_.push_back(std::move(alias));
}

bool TAliasConfig::DeletePersistent(std::string_view name) {
  EnsureLoaded();
  auto it = FindIn(persistent_, name);
  if (it == persistent_.end()) return false;
  deleted_.push_back(it->Name);
  persistent_.erase(it);
  return true;
}

void TAliasConfig::Save() {
  EnsureLoaded();
  if (userFile_.empty())
    throw Exception(TranslateText("Engine", "No configuration file for aliases (HOME is not set)"));
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::path(userFile_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  TIniFile ini(userFile_);
  ini.BeginUpdate();
  for (const std::string& name : deleted_) ini.EraseSection(name);
  for (const TAlias& a : persistent_) {
    ini.EraseSection(a.Name);
    ini.WriteString(a.Name, "DRIVER", a.Driver);
    for (const std::string& line : a.Params)
      ini.WriteString(a.Name, TStringList::NamePart(line), TStringList::ValuePart(line));
  }
  ini.EndUpdate();
  deleted_.clear();
}

}  // namespace morvale
