// The system code page: the locale's (UTF-8 on a modern Linux) or a single-byte one such as
// Windows-1251. Text travels as bytes in it; only where a file format demands another encoding
// (UTF-16 workbook strings) is it converted.
#pragma once

#include <string>
#include <string_view>

namespace morvale {

// The code page name iconv knows ("UTF-8", "CP1251", ...), from nl_langinfo(CODESET) at first use
// unless set.
const std::string& SystemCodePage();
void SetSystemCodePage(const std::string& name);
bool SystemCodePageIsUtf8();

// Length in characters: what the fixed-width layouts pad to, so that Cyrillic text in UTF-8 lines
// up with Latin text.
size_t TextLength(std::string_view s);

// Converts between code pages with iconv; characters the target lacks become '?'.
std::string ConvertText(std::string_view s, const std::string& from, const std::string& to);
// The text in UTF-8, for formats that are UTF-8 whatever the system code page (the .xlsx package,
// JSON): converted from a single-byte system code page; bytes that are no UTF-8 become U+FFFD, so
// one broken value never makes the whole file unreadable.
void ToUtf8(std::string_view s, std::string& out);
// System code page to UTF-16LE bytes, and back.
std::u16string ToUtf16(std::string_view s);
std::string FromUtf16(std::u16string_view s);

}  // namespace morvale
