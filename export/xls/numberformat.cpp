#include "export/xls/numberformat.h"

#include "export/core/classes.h"

namespace morvale {

std::string ExcelNumberFormat(std::string_view f) {
  std::string out;
  out.reserve(f.size() + 4);
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (c == '"' || c == '\'') {
      // A quoted literal: the spreadsheet knows double quotes only.
      size_t close = f.find(c, i + 1);
      if (close == std::string_view::npos) close = f.size();
      out += '"';
      out.append(f.substr(i + 1, close - i - 1));
      out += '"';
      i = close;
    } else if (c == '[' || c == '\\') {
      // Colours and conditions in brackets, and escaped characters, pass unchanged.
      size_t close = c == '[' ? f.find(']', i) : i + 1;
      if (close == std::string_view::npos || close >= f.size()) close = f.size() - 1;
      out.append(f.substr(i, close - i + 1));
      i = close;
    } else if (SameText(f.substr(i, 7), "General")) {
      out.append(f.substr(i, 7));
      i += 6;
    } else if (c == 'n' || c == 'N') {
      out += 'm';
    } else if (SameText(f.substr(i, 4), "ampm")) {
      out += "AM/PM";
      i += 3;
    } else if (SameText(f.substr(i, 5), "am/pm") || SameText(f.substr(i, 3), "a/p")) {
      size_t n = SameText(f.substr(i, 5), "am/pm") ? 5 : 3;
      out.append(f.substr(i, n));
      i += n - 1;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace morvale
