#include "export/docs/rtftext.h"

#include <iconv.h>
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
  std::string cs = UpperCaseAscii(codeset);
  utf8_ = cs.empty() || cs == "UTF-8" || cs == "UTF8" || cs == "ANSI_X3.4-1968" || cs == "ASCII";
  if (utf8_) return;
  iconv_t cd = iconv_open("UTF-32LE", cs.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    utf8_ = true;  // an unknown code set: take the text as UTF-8
    return;
  }
  for (int b = 128; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char outBuf[8] = {};
    char* ip = &in;
    char* op = reinterpret_cast<char*>(outBuf);
    size_t il = 1, ol = sizeof outBuf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && ol == 4)
      high_[static_cast<size_t>(b - 128)] = outBuf[0] | (outBuf[1] << 8) | (outBuf[2] << 16);
  }
  iconv_close(cd);
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
