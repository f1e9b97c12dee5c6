// One list of a settings item's keys serves both its save and its load, so that each key is
// named once, with its member and its default side by side. The list is a function template over
// the item and a walker; TIniSaveKeys writes every member under its key in the order of the list,
// TIniLoadKeys reads each one back, taking the default for a key the file lacks.
#pragma once

#include <string>
#include <string_view>

#include "export/core/inifile.h"
#include "export/workbook/palette.h"
#include "export/workbook/styles.h"

namespace morvale {

class TIniSaveKeys {
 public:
  TIniSaveKeys(TIniFile& ini, const std::string& section) : ini_(ini), section_(section) {}

  // An integer or an enumeration, written as its number.
  template <class T>
  void Int(std::string_view key, const T& value, int) {
    ini_.WriteInteger(section_, key, static_cast<int>(value));
  }
  void Bool(std::string_view key, bool value, bool) { ini_.WriteBool(section_, key, value); }
  void Text(std::string_view key, const std::string& value, std::string_view) {
    ini_.WriteString(section_, key, value);
  }
  void Color(std::string_view key, TxlsColor value, TxlsColor) {
    ini_.WriteString(section_, key, ColorToText(value));
  }
  void FontStyle(std::string_view key, const TxlsFont& font, TxlsFontStyle style, bool) {
    ini_.WriteBool(section_, key, font.Has(style));
  }

 private:
  TIniFile& ini_;
  const std::string& section_;
};

class TIniLoadKeys {
 public:
  TIniLoadKeys(const TIniFile& ini, const std::string& section) : ini_(ini), section_(section) {}

  template <class T>
  void Int(std::string_view key, T& value, int def) {
    value = static_cast<T>(ini_.ReadInteger(section_, key, def));
  }
  void Bool(std::string_view key, bool& value, bool def) {
    value = ini_.ReadBool(section_, key, def);
  }
  void Text(std::string_view key, std::string& value, std::string_view def) {
    value = ini_.ReadString(section_, key, def);
  }
  // A colour is saved by its name; a key the file lacks takes `def`.
  void Color(std::string_view key, TxlsColor& value, TxlsColor def) {
    value = ini_.ValueExists(section_, key) ? TextToColor(ini_.ReadString(section_, key, "")) : def;
  }
  void FontStyle(std::string_view key, TxlsFont& font, TxlsFontStyle style, bool def) {
    font.Set(style, ini_.ReadBool(section_, key, def));
  }

 private:
  const TIniFile& ini_;
  const std::string& section_;
};

}  // namespace morvale
