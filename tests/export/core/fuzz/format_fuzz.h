// Shared parts of the format-language fuzzers: the locales every input is rendered under, and
// the check that a format translated for the workbook is one a spreadsheet reader can parse.
#pragma once

#include <string_view>
#include <vector>

#include "export/core/formatsettings.h"
#include "tests/support/fuzz.h"

namespace morvale::test {

// English, Russian (several-byte separators) and the ISO forms of the C locale.
inline const std::vector<TFormatSettings>& FuzzLocales() {
  static const std::vector<TFormatSettings> all = {
      TFormatSettings::English(), TFormatSettings::Russian(), TFormatSettings::Iso()};
  return all;
}

// A spreadsheet reader refuses a number format whose literal text in double quotes or whose
// bracketed part ("[Red]", "[h]") is not closed, or that ends in the escape character.
inline bool WellFormedSheetFormat(std::string_view f) {
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (c == '"' || c == '[') {
      size_t close = f.find(c == '"' ? '"' : ']', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == '\\') {
      if (++i == f.size()) return false;
    }
  }
  return true;
}

}  // namespace morvale::test
