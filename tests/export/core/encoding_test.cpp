// The converting stream of the text exports: byte order marks, characters cut between two writes,
// the error for a character the encoding lacks, and the UTF-8 of formats that are UTF-8 always.
#include <gtest/gtest.h>

#include "export/core/classes.h"
#include "export/core/codepage.h"

namespace morvale {
namespace {

std::string Encode(TTextEncoding e, const std::vector<std::string>& writes) {
  TMemoryStream out;
  TEncodingStream s(out, e);
  for (const std::string& w : writes) s.Write(w);
  s.Finish();
  return out.Data();
}

std::string ErrorOf(TTextEncoding e, const std::string& text) {
  try {
    Encode(e, {text});
  } catch (const Exception& ex) {
    return ex.what();
  }
  return "";
}

TEST(EncodingStream, MarksAndCharactersCutBetweenWrites) {
  ASSERT_TRUE(SystemCodePageIsUtf8());
  // "Ёж" with the Ё split between two writes, and the ж split too.
  const std::vector<std::string> writes = {"a\xD0", "\x81\xD0", "\xB6\r\n"};
  EXPECT_EQ(Encode(encUTF8BOM, writes),
            "\xEF\xBB\xBF"
            "a\xD0\x81\xD0\xB6\r\n");
  EXPECT_EQ(Encode(encUTF16LE, writes), std::string("\xFF\xFE"
                                                    "a\0\x01\x04\x36\x04\r\0\n\0",
                                                    12));
  EXPECT_EQ(Encode(encWindows1251, writes), "a\xA8\xE6\r\n");
  // A slice boundary past 64 KB in the middle of a character.
  std::string big(65535, 'x');
  big += "\xD0\x96";
  EXPECT_EQ(Encode(encWindows1251, {big}).substr(65535), "\xC6");
  EXPECT_FALSE(TextEncodingConverts(encSystem));
  EXPECT_FALSE(TextEncodingConverts(encUTF8));
  EXPECT_TRUE(TextEncodingConverts(encUTF8BOM));
}

TEST(EncodingStream, WhatTheEncodingLacksIsAnErrorNamingTheCharacterAndItsText) {
  EXPECT_EQ(ErrorOf(encWindows1251, "1;Ok\r\n2;Grüße;3\r\n"),
            "The character \"ü\" (U+00FC) in \"2;Grüße;3\" cannot be written in windows-1251");
  // A long line is shown around the character only.
  std::string line = std::string(100, 'a') + "\xE2\x82\xAC" + std::string(100, 'b');
  std::string err = ErrorOf(encWindows1251, "\xF0\x9F\x98\x80");
  EXPECT_NE(err.find("(U+1F600)"), std::string::npos) << err;
  err = ErrorOf(encWindows1251, line + "\xF0\x9F\x98\x80");
  EXPECT_EQ(err.find("€"), std::string::npos) << err;  // the euro sign is in windows-1251
  EXPECT_NE(err.find("in \"" + std::string(40, 'b') + "\xF0\x9F\x98\x80\" cannot"),
            std::string::npos)
      << err;
  EXPECT_NE(ErrorOf(encUTF16LE, "ok \xFF").find("bytes that are no UTF-8 text"), std::string::npos);
  EXPECT_NE(ErrorOf(encUTF16LE, "cut \xD0").find("bytes that are no"), std::string::npos);
}

TEST(EncodingStream, NamesAndUtf8OfBrokenText) {
  TTextEncoding e;
  ASSERT_TRUE(TextEncodingByName("UTF-8-BOM", e));
  EXPECT_EQ(e, encUTF8BOM);
  EXPECT_FALSE(TextEncodingByName("koi8-r", e));
  EXPECT_EQ(TextEncodingName(encWindows1251), "windows-1251");
  std::string out;
  ToUtf8("ok \xD0\x96 \xFF \xED\xA0\x80 \xC0\xAF", out);  // broken, a surrogate, an overlong form
  EXPECT_EQ(out,
            "ok \xD0\x96 \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD "
            "\xEF\xBF\xBD\xEF\xBF\xBD");
}

// The table the PDF and RTF writers read a single-byte code page's texts by.
TEST(SingleByteCodePage, HighHalfFromIconvAndTheCodePagesThatAreNone) {
  TSingleByteHighHalf high{};
  ASSERT_TRUE(SingleByteHighHalf("cp1251", high));
  EXPECT_EQ(high[0xC0 - 0x80], U'\u0410');  // А
  EXPECT_EQ(high[0xFF - 0x80], U'\u044F');  // я
  EXPECT_EQ(high[0xB9 - 0x80], U'\u2116');  // №
  EXPECT_EQ(high[0x88 - 0x80], U'\u20AC');  // €
  EXPECT_EQ(high[0x98 - 0x80], 0u);         // no character
  ASSERT_TRUE(SingleByteHighHalf("KOI8-R", high));
  EXPECT_EQ(high[0xE1 - 0x80], U'\u0410');
  for (const char* none : {"UTF-8", "utf8", "", "ASCII", "NO-SUCH-CODE-PAGE"})
    EXPECT_FALSE(SingleByteHighHalf(none, high)) << none;
}

}  // namespace
}  // namespace morvale
