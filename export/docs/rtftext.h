// Text bytes into RTF text. RTF readers take bytes above 127 in their own default code page (the
// document declares only \ansi), so Cyrillic or any UTF-8 text would come out as garbage. Every
// non-ASCII character is therefore written as \uN (N its UTF-16 unit as a signed 16-bit number)
// followed by one fallback character for readers without Unicode: in a single-byte system code
// page the original byte as \'hh (what the text always was), in UTF-8 a '?'.
#pragma once

#include <string>
#include <string_view>

#include "export/core/codepage.h"

namespace morvale {

class TRtfCharset {
 public:
  // The system code page (the locale's code set).
  static const TRtfCharset& System();
  // A named code set: "UTF-8" or a single-byte one iconv knows ("CP1251", "KOI8-R", ...).
  explicit TRtfCharset(std::string_view codeset);

  bool Utf8() const { return utf8_; }
  // Appends `text` with its non-ASCII characters escaped; ASCII bytes are copied unchanged.
  void Encode(std::string_view text, std::string& out) const;

 private:
  bool utf8_ = true;
  TSingleByteHighHalf high_{};  // code points of the bytes 128..255; 0 when unmapped
};

// Appends \uN? for one code point (two units for characters beyond the basic plane).
void AppendRtfUnicode(char32_t cp, std::string_view fallback, std::string& out);

}  // namespace morvale
