// One input of the INI file fuzzer: the bytes are a settings file. Every section and key is read
// as text, integer, Boolean and number, and every value is written into a second file and read
// back from it, as the options files are saved and loaded. Beside crashes and hangs it looks for
// a value that the second file does not give back, or a key it loses.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "export/core/inifile.h"
#include "tests/support/fuzz.h"

namespace morvale::test {

inline std::string RunIniFileFuzzInput(const uint8_t* data, size_t size) {
  static const std::string base = "/tmp/morvale-ini-fuzz-" + std::to_string(::getpid());
  const std::string path = base + ".ini", copy = base + "-copy.ini";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::remove(copy.c_str());
  TFuzzCheck check;
  const TIniFile ini(path);
  TIniFile written(copy);
  written.BeginUpdate();
  TStringList sections, keys, values;
  ini.ReadSections(sections);
  for (const std::string& section : sections) {
    check.Expect(ini.SectionExists(section), "a listed section exists", section);
    ini.ReadSection(section, keys);
    ini.ReadSectionValues(section, values);
    check.Expect(keys.Count() == values.Count(), "one line of values per key", section);
    for (int k = 0; k < keys.Count(); ++k) {
      const std::string& key = keys[k];
      std::string value = ini.ReadString(section, key, "\x01");
      check.Expect(ini.ValueExists(section, key), "a listed key exists", key);
      check.Expect(k >= values.Count() || values[k] == key + "=" + value,
                   "the section's lines hold the values", key);
      (void)ini.ReadInteger(section, key, -1);
      (void)ini.ReadBool(section, key, false);
      (void)ini.ReadFloat(section, key, 0.5);
      written.WriteString(section, key, value);
    }
  }
  written.EndUpdate();
  const TIniFile reread(copy);
  // A section without keys is never written: nothing names it but its header.
  TStringList again;
  reread.ReadSections(again);
  int withKeys = 0;
  for (const std::string& section : sections) {
    ini.ReadSection(section, keys);
    withKeys += keys.Empty() ? 0 : 1;
  }
  check.Expect(again.Count() == withKeys, "the copy has every section that has keys");
  for (const std::string& section : sections) {
    ini.ReadSection(section, keys);
    reread.ReadSection(section, values);
    check.Expect(keys.Lines() == values.Lines(), "the copy has every key, in order", section);
    for (const std::string& key : keys) {
      // The writer keeps each value on its line: a carriage return inside one becomes a blank.
      std::string value = ini.ReadString(section, key, "\x02");
      for (char& c : value)
        if (c == '\r') c = ' ';
      check.Expect(reread.ReadString(section, key, "\x01") == value,
                   "the copy gives the value back", section + "." + key);
    }
  }
  return check.failure;
}

}  // namespace morvale::test
