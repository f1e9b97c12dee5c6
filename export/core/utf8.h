// UTF-8 and UTF-16, decoded and encoded here once for every layer (the workbook's strings, RTF's
// \u escapes, the engine's Qt texts, the text exports' conversions). Ill-formed UTF-8 (a stray
// byte, an overlong form, a surrogate, a code point past U+10FFFF, a sequence cut short) is told
// apart one byte at a time, so one broken byte never swallows the characters after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvale {

constexpr char32_t kReplacementChar = 0xFFFD;

// The length of the well-formed UTF-8 sequence at s[i] (1 to 4), or 0 where none starts there.
size_t Utf8SequenceLength(std::string_view s, size_t i);

// The character at s[i] and its length in bytes; length 0 where no well-formed sequence starts.
struct TUtf8Char {
  char32_t Code;
  size_t Length;
};
TUtf8Char Utf8Decode(std::string_view s, size_t i);

// Appends a code point as UTF-8; a lone surrogate is written as its three bytes, as UTF-16 holds
// it.
void AppendUtf8(char32_t c, std::string& out);
// Appends UTF-16 as UTF-8, surrogate pairs joined into one character.
void AppendUtf8(std::u16string_view s, std::string& out);
// Length of the longest prefix of s (at most max bytes) that does not end inside a UTF-8
// character: where a fixed-width field may cut a text.
size_t Utf8Prefix(std::string_view s, size_t max);

// Appends UTF-8 as UTF-16; each byte that starts no well-formed sequence becomes U+FFFD.
void AppendUtf16FromUtf8(std::string_view s, std::u16string& out);

}  // namespace morvale
