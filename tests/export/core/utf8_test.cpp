// The one UTF-8 decoder and encoder: what is well-formed, what is told apart byte by byte, and the
// UTF-16 forms both ways.
#include "export/core/utf8.h"

#include <gtest/gtest.h>

namespace morvale {
namespace {

TEST(Utf8, DecodesWellFormedAndRejectsTheRestAByteAtATime) {
  struct Case {
    const char* bytes;
    char32_t code;
    size_t length;
  };
  const Case cases[] = {
      {"A", U'A', 1},
      {"\xd0\x93", U'Г', 2},
      {"\xe2\x9c\x93", U'✓', 3},
      {"\xf0\x9f\x98\x80", 0x1F600, 4},
      {"\xf4\x8f\xbf\xbf", 0x10FFFF, 4},
      {"\xc0\x80", kReplacementChar, 0},          // overlong NUL
      {"\xe0\x9f\xbf", kReplacementChar, 0},      // overlong three bytes
      {"\xf0\x8f\xbf\xbf", kReplacementChar, 0},  // overlong four bytes
      {"\xed\xa0\x80", kReplacementChar, 0},      // a surrogate
      {"\xf4\x90\x80\x80", kReplacementChar, 0},  // past U+10FFFF
      {"\xf5\x80\x80", kReplacementChar, 0},      // no lead byte past F4
      {"\xe2\x9c", kReplacementChar, 0},          // cut short
      {"\x80", kReplacementChar, 0},              // a lone continuation byte
  };
  for (const Case& c : cases) {
    TUtf8Char ch = Utf8Decode(c.bytes, 0);
    EXPECT_EQ(ch.Code, c.code) << c.bytes;
    EXPECT_EQ(ch.Length, c.length) << c.bytes;
  }
}

TEST(Utf8, Utf16BothWays) {
  std::u16string u;
  AppendUtf16FromUtf8("a\xd0\x93\xf0\x9f\x98\x80\xff\xe2\x9c", u);
  EXPECT_EQ(u, u"aГ\U0001F600\uFFFD\uFFFD\uFFFD");
  std::string s;
  AppendUtf8(std::u16string_view(u).substr(0, 4), s);
  EXPECT_EQ(s, "a\xd0\x93\xf0\x9f\x98\x80");
  // A lone surrogate keeps its three bytes rather than vanishing.
  s.clear();
  AppendUtf8(std::u16string(1, char16_t(0xD800)), s);
  EXPECT_EQ(s, "\xed\xa0\x80");
}

}  // namespace
}  // namespace morvale
