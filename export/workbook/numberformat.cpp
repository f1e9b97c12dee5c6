#include "export/workbook/numberformat.h"

#include "export/core/classes.h"

namespace morvale {

namespace {

// Calls `f(i)` for every position outside quotes, brackets and escapes, and returns the length
// of the part it skipped for the others (0 when position i is plain).
size_t Skip(std::string_view f, size_t i) {
  char c = f[i];
  if (c == '"' || c == '\'') {
    size_t close = f.find(c, i + 1);
    return (close == std::string_view::npos ? f.size() : close + 1) - i;
  }
  if (c == '[') {
    size_t close = f.find(']', i);
    return close == std::string_view::npos ? 0 : close + 1 - i;  // unclosed: a plain character
  }
  if (c == '\\') return std::min<size_t>(2, f.size() - i);
  if (SameText(f.substr(i, 7), "General")) return 7;
  return 0;
}

bool IsDateTimeFormat(std::string_view f) {
  for (size_t i = 0; i < f.size();) {
    if (size_t n = Skip(f, i)) {
      i += n;
      continue;
    }
    char c = static_cast<char>(f[i] | 0x20);
    if (c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 'n' || c == 's') return true;
    ++i;
  }
  return false;
}

// A separator the spreadsheet shows literally, or the same in quotes.
std::string Literal(const std::string& sep) {
  if (sep.size() == 1 && std::string_view("-./: ,").find(sep[0]) != std::string_view::npos)
    return sep;
  return "\"" + sep + "\"";
}

}  // namespace

std::string ExcelNumberFormat(std::string_view f, const TFormatSettings& fs) {
  const bool dateTime = IsDateTimeFormat(f);
  std::string out;
  out.reserve(f.size() + 4);
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (size_t n = Skip(f, i)) {
      bool closed = n >= 2 && f[i + n - 1] == c;
      if (c == '\'' || c == '"') {
        // The spreadsheet knows double quotes only, closed; a double quote inside is escaped.
        out += '"';
        for (char q : f.substr(i + 1, closed ? n - 2 : n - 1))
          out += q == '"' ? std::string_view("\"\\\"\"") : std::string_view(&q, 1);
        out += '"';
      } else if (c == '\\' && n == 1) {
        out += "\\\\";  // a backslash at the end stands for itself
      } else {
        out.append(f.substr(i, n));
      }
      i += n - 1;
    } else if (c == '[') {
      out += "\\[";  // no closing bracket: the engine's language shows it as written
    } else if (dateTime && (c == 'n' || c == 'N')) {
      out += 'm';
    } else if (dateTime && SameText(f.substr(i, 4), "ampm")) {
      out += "AM/PM";
      i += 3;
    } else if (dateTime && (SameText(f.substr(i, 5), "am/pm") || SameText(f.substr(i, 3), "a/p"))) {
      size_t len = SameText(f.substr(i, 5), "am/pm") ? 5 : 3;
      out.append(f.substr(i, len));
      i += len - 1;
    } else if (dateTime && c == '/') {
      out += Literal(fs.DateSeparator);
    } else if (dateTime && c == ':') {
      out += Literal(fs.TimeSeparator);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace morvale
