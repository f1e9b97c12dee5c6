// INI files with the classic semantics every settings file of the program relies on: sections and
// keys compared without regard to case, file order kept, one value per line. Every write goes to
// disk at once (through a temporary file and a rename, so a crash never leaves half a file).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/core/classes.h"

namespace morvale {

class TIniFile : public TObject {
 public:
  // Reads the file when it exists; a missing file is an empty one.
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // Stored as an integer: 0 is false, any other number true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  double ReadFloat(std::string_view section, std::string_view key, double def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteFloat(std::string_view section, std::string_view key, double value);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  void ReadSections(TStringList& out) const;
  void ReadSection(std::string_view section, TStringList& keys) const;
  // "key=value" lines of a section.
  void ReadSectionValues(std::string_view section, TStringList& lines) const;
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  // Writing goes straight to disk unless updates are held; UpdateFile writes what is held.
  void BeginUpdate() { ++held_; }
  void EndUpdate();
  void UpdateFile();

 private:
  struct Entry {
    std::string key, value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  void Changed();
  std::string fileName_;
  std::vector<Section> sections_;
  int held_ = 0;
  bool dirty_ = false;
};

}  // namespace morvale
