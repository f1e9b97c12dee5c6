// Workbook strings are UTF-16; the program's text is bytes in the system code page. The converter
// appends into a caller's buffer so that the cell loop reuses one buffer for every text.
#pragma once

#include <string>
#include <string_view>

namespace morvale {

// Appends the UTF-16 form of `s` (system code page) to `out`.
void AppendUtf16(std::string_view s, std::u16string& out);
inline std::u16string Utf16(std::string_view s) {
  std::u16string r;
  AppendUtf16(s, r);
  return r;
}
// Back to the system code page (for texts the workbook keeps as 8-bit characters).
std::string FromUtf16Text(std::u16string_view s);
// True when every character fits one byte of the workbook's compressed (Latin-1) form.
bool IsLatin1(std::u16string_view s);

}  // namespace morvale
