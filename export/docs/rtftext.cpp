#include "export/docs/rtftext.h"

#include <memory>

#include "export/core/classes.h"
#include "export/core/codepage.h"
#include "export/core/utf8.h"

namespace morvale {

namespace {

const char kHex[] = "0123456789abcdef";

void AppendHexByte(unsigned char b, std::string& out) {
  out += "\\'";
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

void AppendUnit(int unit, std::string& out) {
  out += "\\u";
  out += std::to_string(unit > 32767 ? unit - 65536 : unit);
}

}  // namespace

void AppendRtfUnicode(char32_t cp, std::string_view fallback, std::string& out) {
  if (cp >= 0x10000) {
    char32_t v = cp - 0x10000;
    AppendUnit(static_cast<int>(0xD800 + (v >> 10)), out);
    out += fallback;
    AppendUnit(static_cast<int>(0xDC00 + (v & 0x3FF)), out);
    out += fallback;
    return;
  }
  AppendUnit(static_cast<int>(cp), out);
  out += fallback;
}

TRtfCharset::TRtfCharset(std::string_view codeset) {
  // UTF-8, ASCII and a code set iconv does not know all take the text as UTF-8.
  utf8_ = !SingleByteHighHalf(codeset, high_);
}

const TRtfCharset& TRtfCharset::System() {
  // The code page may be set by the program after start; the table follows it.
  static std::unique_ptr<TRtfCharset> cs;
  static std::string name;
  if (!cs || name != SystemCodePage()) {
    name = SystemCodePage();
    cs = std::make_unique<TRtfCharset>(name);
  }
  return *cs;
}

void TRtfCharset::Encode(std::string_view s, std::string& out) const {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      // Copy the run of ASCII bytes in one piece; most texts are nothing else.
      size_t j = i + 1;
      while (j < s.size() && static_cast<unsigned char>(s[j]) < 0x80) ++j;
      out.append(s.data() + i, j - i);
      i = j;
      continue;
    }
    if (utf8_) {
      TUtf8Char ch = Utf8Decode(s, i);
      if (ch.Length > 0)
        AppendRtfUnicode(ch.Code, "\\'3f", out);
      else
        AppendHexByte(c, out);  // not UTF-8: the byte itself, as the document's code page shows it
      i += ch.Length > 0 ? ch.Length : 1;
      continue;
    }
    char32_t cp = high_[c - 128];
    if (cp) {
      std::string fallback;
      AppendHexByte(c, fallback);
      AppendRtfUnicode(cp, fallback, out);
    } else {
      AppendHexByte(c, out);
    }
    ++i;
  }
}

}  // namespace morvale
