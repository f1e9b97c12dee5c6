#include "export/workbook/unicode.h"

#include "export/core/codepage.h"
#include "export/core/utf8.h"

namespace morvale {

void AppendUtf16(std::string_view s, std::u16string& out) {
  // UTF-8 is decoded here, in the cell loop's buffer; a single-byte code page (Windows-1251)
  // goes through iconv.
  if (SystemCodePageIsUtf8())
    AppendUtf16FromUtf8(s, out);
  else
    out += ToUtf16(s);
}

std::string FromUtf16Text(std::u16string_view s) {
  if (!SystemCodePageIsUtf8()) return FromUtf16(s);
  std::string out;
  AppendUtf8(s, out);
  return out;
}

bool IsLatin1(std::u16string_view s) {
  for (char16_t c : s)
    if (c > 0xFF) return false;
  return true;
}

}  // namespace morvale
