#include "export/core/inifile.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "export/core/outputfiles.h"
#include "export/core/streams.h"

namespace morvale {

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  std::ifstream in(fileName_, std::ios::binary);
  if (!in) return;
  std::string line;
  Section* cur = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string_view t = TrimView(line);
    if (t.empty() || t[0] == ';') continue;
    if (t.front() == '[' && t.back() == ']') {
      std::string name(TrimView(t.substr(1, t.size() - 2)));
      cur = FindSection(name);
      if (!cur) {
        sections_.push_back({name, {}});
        cur = &sections_.back();
      }
      continue;
    }
    if (!cur) continue;  // lines before the first section belong to none
    size_t eq = t.find('=');
    std::string key(TrimView(eq == std::string_view::npos ? t : t.substr(0, eq)));
    // Values are read without surrounding blanks, as classic INI readers do.
    std::string value = eq == std::string_view::npos ? "" : Trim(t.substr(eq + 1));
    bool found = false;
    for (auto& e : cur->entries)
      if (SameText(e.key, key)) {
        found = true;  // the first of duplicate keys counts, as readers of such files expect
        break;
      }
    if (!found) cur->entries.push_back({key, value});
  }
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
  for (const auto& s : sections_)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
  for (auto& s : sections_)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries)
      if (SameText(e.key, key)) return e.value;
  return std::string(def);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  std::string v(TrimView(ReadString(section, key, "")));
  if (v.empty()) return def;
  int r = 0;
  const char* b = v.data();
  const char* e = v.data() + v.size();
  int base = 10;
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) b += 2, base = 16;
  if (*b == '$') ++b, base = 16;
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, e, r, base);
  return (ec == std::errc() && p == e) ? r : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
  std::string v(TrimView(ReadString(section, key, "")));
  double r = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), r);
  return (!v.empty() && ec == std::errc() && p == v.data() + v.size()) ? r : def;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // One value per line: a line break inside a value would start a new key on reading.
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back({std::string(section), {}});
    s = &sections_.back();
  }
  for (auto& e : s->entries)
    if (SameText(e.key, key)) {
      if (e.value == v) return;
      e.value = v;
      Changed();
      return;
    }
  s->entries.push_back({std::string(key), v});
  Changed();
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  char buf[32];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
  WriteString(section, key, std::string_view(buf, static_cast<size_t>(p - buf)));
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries)
      if (SameText(e.key, key)) return true;
  return false;
}

void TIniFile::ReadSections(TStringList& out) const {
  out.Clear();
  for (const auto& s : sections_) out.Add(s.name);
}

void TIniFile::ReadSection(std::string_view section, TStringList& keys) const {
  keys.Clear();
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries) keys.Add(e.key);
}

void TIniFile::ReadSectionValues(std::string_view section, TStringList& lines) const {
  lines.Clear();
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries) lines.Add(e.key + "=" + e.value);
}

void TIniFile::EraseSection(std::string_view section) {
  for (size_t i = 0; i < sections_.size(); ++i)
    if (SameText(sections_[i].name, section)) {
      sections_.erase(sections_.begin() + static_cast<long>(i));
      Changed();
      return;
    }
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = FindSection(section);
  if (!s) return;
  for (size_t i = 0; i < s->entries.size(); ++i)
    if (SameText(s->entries[i].key, key)) {
      s->entries.erase(s->entries.begin() + static_cast<long>(i));
      Changed();
      return;
    }
}

void TIniFile::EndUpdate() {
  if (held_ > 0 && --held_ == 0 && dirty_) UpdateFile();
}

void TIniFile::Changed() {
  dirty_ = true;
  if (held_ == 0) UpdateFile();
}

void TIniFile::UpdateFile() {
  std::string text;
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (i) text += "\n";
    text += "[" + sections_[i].name + "]\n";
    for (const auto& e : sections_[i].entries) text += e.key + "=" + e.value + "\n";
  }
  // Readers see the old file or the new one, never half of it.
  TOutputFiles files;
  files.Create(fileName_).Write(text);
  files.Commit();
  dirty_ = false;
}

}  // namespace morvale
