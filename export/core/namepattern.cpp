#include "export/core/namepattern.h"

#include <algorithm>
#include <cstdio>

#include "export/core/classes.h"
#include "export/core/utf8.h"

namespace morvale {

namespace {

constexpr size_t kMaxTablePart = 200;
constexpr const char* kKnownFields =
    "${table}, ${type}, ${date}, ${time}, ${timestamp}, ${n}, ${part}";

std::string Digits(const char* format, int a, int b, int c) {
  char text[32];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

std::string DateText(const std::tm& t) {
  return Digits("%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

std::string TimeText(const std::tm& t) {
  // A leap second (tm_sec 60) is written as the last second of its minute, as the stamp's date
  // values are.
  return Digits("%02d%02d%02d", t.tm_hour, t.tm_min, std::min(t.tm_sec, 59));
}

std::string NumberText(int number, int count) {
  std::string n = std::to_string(number);
  const size_t width = std::to_string(std::max(count, number)).size();
  return std::string(width - std::min(width, n.size()), '0') + n;
}

std::string FieldValue(std::string_view name, const TFileNameFields& f) {
  const std::tm& t = f.Stamp.Fields;
  if (name == "table") return SafeFileNamePart(f.Table.empty() ? "Unknown" : f.Table);
  if (name == "type") return f.Type;
  if (name == "date") return DateText(t);
  if (name == "time") return TimeText(t);
  if (name == "timestamp") {
    std::string date = DateText(t);
    return date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2) + "-" + TimeText(t);
  }
  if (name == "n") return NumberText(f.Number, f.Count);
  // The part is numbered as the run writes it: the field waits for ExpandPartField.
  if (name == "part") return "${part}";
  throw Exception(Format("Unknown field ${%s} in the file name: the fields are %s",
                         {std::string(name), kKnownFields}));
}

}  // namespace

bool IsFileNamePattern(std::string_view text) {
  return text.find("${") != std::string_view::npos;
}

bool PatternNamesEachTable(std::string_view pattern) {
  return pattern.find("${table}") != std::string_view::npos ||
         pattern.find("${n}") != std::string_view::npos;
}

std::string ExpandFileNamePattern(std::string_view pattern, const TFileNameFields& fields) {
  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    size_t open = pattern.find("${", i);
    if (open == std::string_view::npos) break;
    size_t close = pattern.find('}', open);
    if (close == std::string_view::npos)
      throw Exception(Format("Unterminated field \"%s\" in the file name: the fields are %s",
                             {std::string(pattern.substr(open)), kKnownFields}));
    out.append(pattern.substr(i, open - i));
    out += FieldValue(pattern.substr(open + 2, close - open - 2), fields);
    i = close + 1;
  }
  out.append(pattern.substr(i));
  return out;
}

bool HasPartField(std::string_view name) {
  return name.find("${part}") != std::string_view::npos;
}

std::string ExpandPartField(std::string_view name, int part) {
  const std::string number = NumberText(part, 100);
  std::string out(name);
  for (size_t at = out.find("${part}"); at != std::string::npos; at = out.find("${part}", at))
    out.replace(at, 7, number);
  return out;
}

std::string SafeFileNamePart(std::string_view name) {
  std::string out(name.substr(0, Utf8Prefix(name, kMaxTablePart)));
  for (char& c : out)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  if (out.empty() || out == "." || out == "..") out = "_";
  return out;
}

}  // namespace morvale
