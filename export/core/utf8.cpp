#include "export/core/utf8.h"

namespace morvale {

size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto b = [&s](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  size_t n = c >= 0xC2 && c <= 0xDF   ? 2
             : c >= 0xE0 && c <= 0xEF ? 3
             : c >= 0xF0 && c <= 0xF4 ? 4
                                      : 0;
  if (n == 0 || i + n > s.size()) return 0;
  // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
  unsigned char lo = 0x80, hi = 0xBF;
  if (c == 0xE0) lo = 0xA0;
  if (c == 0xED) hi = 0x9F;
  if (c == 0xF0) lo = 0x90;
  if (c == 0xF4) hi = 0x8F;
  if (b(i + 1) < lo || b(i + 1) > hi) return 0;
  for (size_t k = 2; k < n; ++k)
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  return n;
}

TUtf8Char Utf8Decode(std::string_view s, size_t i) {
  const size_t n = Utf8SequenceLength(s, i);
  const auto c = static_cast<unsigned char>(s[i]);
  if (n <= 1) return {n == 1 ? c : kReplacementChar, n};
  char32_t cp = c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return {cp, n};
}

size_t Utf8Prefix(std::string_view s, size_t max) {
  if (s.size() <= max) return s.size();
  size_t n = max;
  // Step back over continuation bytes to the lead byte of the character that straddles the cut.
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf8(std::u16string_view s, std::string& out) {
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    AppendUtf8(c, out);
  }
}

void AppendUtf16FromUtf8(std::string_view s, std::u16string& out) {
  size_t i = 0;
  while (i < s.size()) {
    TUtf8Char ch = Utf8Decode(s, i);
    if (ch.Length == 0) {
      out.push_back(static_cast<char16_t>(kReplacementChar));
      ++i;
      continue;
    }
    if (ch.Code >= 0x10000) {
      const char32_t v = ch.Code - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(ch.Code));
    }
    i += ch.Length;
  }
}

}  // namespace morvale
