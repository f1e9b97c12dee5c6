// Non-ASCII text into RTF: \uN with the fallback that readers without Unicode show.
#include "export/docs/rtftext.h"

#include <gtest/gtest.h>

namespace morvale {
namespace {

std::string Enc(const TRtfCharset& cs, std::string_view s) {
  std::string out;
  cs.Encode(s, out);
  return out;
}

TEST(RtfText, Utf8SystemCodePage) {
  TRtfCharset cs("UTF-8");
  ASSERT_TRUE(cs.Utf8());
  // ASCII, backslashes and braces included, passes unchanged (escaping is the exporter's job).
  EXPECT_EQ(Enc(cs, "plain {x} C:\\\\t"), "plain {x} C:\\\\t");
  EXPECT_EQ(Enc(cs, "Гайка"), "\\u1043\\'3f\\u1072\\'3f\\u1081\\'3f\\u1082\\'3f\\u1072\\'3f");
  EXPECT_EQ(Enc(cs, "Ü"), "\\u220\\'3f");
  // Units above 32767 are written as signed 16-bit numbers.
  EXPECT_EQ(Enc(cs, "\xef\xbf\xbd"), "\\u-3\\'3f");  // U+FFFD
  EXPECT_EQ(Enc(cs, "✓"), "\\u10003\\'3f");
  // Beyond the basic plane: a surrogate pair, each unit with its fallback.
  EXPECT_EQ(Enc(cs, "\xf0\x9f\x98\x80"), "\\u-10179\\'3f\\u-8704\\'3f");  // U+1F600
  // Bytes that are not UTF-8 stay themselves, hex-escaped.
  EXPECT_EQ(Enc(cs,
                "a\xff"
                "b\xc3"),
            "a\\'ffb\\'c3");
  EXPECT_EQ(Enc(cs, "\xc0\x80"), "\\'c0\\'80");           // overlong NUL
  EXPECT_EQ(Enc(cs, "\xed\xa0\x80"), "\\'ed\\'a0\\'80");  // a lone surrogate
  // A lead byte past F4 starts no character, whatever follows it.
  EXPECT_EQ(Enc(cs, "\xf5\x80\x80"), "\\'f5\\'80\\'80");
}

TEST(RtfText, SingleByteCodePageKeepsItsBytes) {
  TRtfCharset cs("CP1251");
  ASSERT_FALSE(cs.Utf8());
  // Г is 0xC3 in Windows-1251: Unicode readers see U+0413, others the byte in their code page.
  EXPECT_EQ(Enc(cs, "\xc3\xe0"), "\\u1043\\'c3\\u1072\\'e0");
  EXPECT_EQ(Enc(cs, "\xb9"), "\\u8470\\'b9");  // №
  // 0x98 has no character in Windows-1251.
  EXPECT_EQ(Enc(cs, "\x98"), "\\'98");
  EXPECT_EQ(Enc(TRtfCharset("KOI8-R"), "\xe7"), "\\u1043\\'e7");
}

}  // namespace
}  // namespace morvale
