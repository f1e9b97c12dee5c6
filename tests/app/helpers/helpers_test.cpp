#include "app/helpers/helpers.h"

#include <gtest/gtest.h>

#include "export/core/codepage.h"

namespace morvale::test {
namespace {

TEST(Helpers, QuoteJoinAndStripSet) {
  TCharSet none;
  EXPECT_EQ(QuoteJoin(none, TStringList{"a\"b", ""}), "\"a\"\"b\",\"\"");
  EXPECT_EQ(QuoteJoin(none, TStringList{}), "");
  EXPECT_EQ(QuoteJoin(none, TStringList{" x ", "5"}), "\" x \",\"5\"");
  TCharSet brackets = CharSet("(),");
  EXPECT_EQ(QuoteJoin(brackets, TStringList{"(a,b)", ",,"}), "\"a,b\",\"\"");
  EXPECT_EQ(StripSet(brackets, "((A, B,,C)) "), "A, B,,C)) ");
  EXPECT_EQ(StripSet(CharSet(" "), "  x  "), "x");
}

TEST(Helpers, TrimAndUpper) {
  EXPECT_EQ(TrimSpaces("\t a  "), "\t a");
  EXPECT_EQ(TrimSpaces("   "), "");
  // Cyrillic in UTF-8 (ё and the Ukrainian letters too) whatever the locale; other bytes stay.
  EXPECT_EQ(UpperText("notes ёжик яЯ іў 1_x"), "NOTES ЁЖИК ЯЯ ІЎ 1_X");
  const std::string cp = SystemCodePage();
  SetSystemCodePage("CP1251");
  EXPECT_EQ(UpperText("a\xE0\xFF\xB8\xC0"), "A\xC0\xDF\xA8\xC0");
  SetSystemCodePage(cp);
}

TEST(Helpers, WordsAndLines) {
  TCharSet set = CharSet("(),");
  EXPECT_EQ(WordAt(set, "  (A, B,,C)  ", 0), "A, B,,C");
  EXPECT_EQ(WordAt(set, "  (A, B,,C)  ", 1), "A");
  EXPECT_EQ(WordAt(set, "  (A, B,,C)  ", 2), "B");
  EXPECT_EQ(WordAt(set, "  (A, B,,C)  ", 3), "C");
  EXPECT_EQ(WordAt(set, "  (A, B,,C)  ", 4), "");
  TStringList words;
  EXPECT_EQ(SplitWords(set, "(A, B ,C)", words), 3);
  EXPECT_EQ(words, (TStringList{"A", "B", "C"}));
  EXPECT_EQ(SplitWords(set, "()", words), 0);
  // A word of spaces only yields an empty text, which ends the split.
  EXPECT_EQ(SplitWords(set, "(A,  ,C)", words), 1);

  TStringList lines{"  ", "", " x ", "", "y"};
  EXPECT_EQ(FirstNonBlankLine(lines), 2);
  EXPECT_EQ(DropBlankLines(lines), 2);
  EXPECT_EQ(lines, (TStringList{" x ", "y"}));
  EXPECT_EQ(FirstNonBlankLine(TStringList{" ", ""}), -1);
}

TEST(Helpers, SafeFileName) {
  EXPECT_EQ(SafeFileName("a b:c"), "a_b_c");
  EXPECT_EQ(SafeFileName("  "), "_");
  EXPECT_EQ(SafeFileName("../../.bashrc"), ".._.._.bashrc");
  EXPECT_EQ(SafeFileName("/tmp/x"), "_tmp_x");
  EXPECT_EQ(SafeFileName("a*?\\|b"), "a____b");
}

}  // namespace
}  // namespace morvale::test
