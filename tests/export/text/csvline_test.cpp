// The CSV line writer: what each cell becomes between the quotes, and the line it leaves.
#include "export/text/csvline.h"

#include <gtest/gtest.h>

#include <string>

namespace morvale {
namespace {

using namespace std::string_literals;

std::string Line(char comma, char quote, std::initializer_list<std::string_view> cells) {
  TCsvLine line;
  line.Start(comma, quote);
  for (std::string_view c : cells) line.AddCell(c);
  return std::string(line.Text());
}

TEST(CsvLine, QuotedCellsKeepEveryByte) {
  EXPECT_EQ(Line(',', '"', {"a", "b"}), "\"a\",\"b\"");
  // Quotes are doubled wherever they stand, runs of them included.
  EXPECT_EQ(Line(',', '"', {"\"", "a\"\"b", "end\""}), "\"\"\"\",\"a\"\"\"\"b\",\"end\"\"\"");
  // Separators, line breaks and blanks are data inside quotes.
  EXPECT_EQ(Line(',', '"', {"x,y", "one\r\ntwo\nthree\r", "  padded  "}),
            "\"x,y\",\"one\r\ntwo\nthree\r\",\"  padded  \"");
  // An empty cell still has its quotes, so a reader tells it from a missing one.
  EXPECT_EQ(Line(';', '"', {"", "", ""}), "\"\";\"\";\"\"");
  // Another quote character doubles itself and leaves the other one alone.
  EXPECT_EQ(Line(';', '\'', {"it's \"so\""}), "'it''s \"so\"'");
  // Bytes of a multi-byte text and a NUL are copied as they are.
  EXPECT_EQ(Line(',', '"', {"Москва", std::string_view("a\0b", 3)}), "\"Москва\",\"a\0b\""s);
}

// Cells are copied several bytes at a time where no quote stands: a quote in any place of such a
// run, at the edges of one and in the bytes after the last full run must still be doubled.
TEST(CsvLine, QuotesAnywhereInLongerCells) {
  auto naive = [](const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
  };
  for (size_t length = 0; length <= 40; ++length) {
    const std::string plain(length, 'a');
    ASSERT_EQ(Line(',', '"', {plain}), naive(plain)) << length;
    for (size_t at = 0; at < length; ++at) {
      std::string text = plain;
      text[at] = '"';
      ASSERT_EQ(Line(',', '"', {text}), naive(text)) << length << " " << at;
      // A byte that differs from the quote only in its high bit, and bytes above 0x7f, are no
      // quote.
      text[at] = static_cast<char>('"' | 0x80);
      ASSERT_EQ(Line(',', '"', {text}), naive(text)) << length << " " << at;
    }
  }
}

TEST(CsvLine, UnquotedCellsGoAsTheyAre) {
  EXPECT_EQ(Line(',', '\0', {"ab\"c", "x,y", ""}), "ab\"c,x,y,");
  EXPECT_EQ(Line('\t', '\0', {" a ", "b"}), " a \tb");
}

TEST(CsvLine, LinesStartEmptyAndGrow) {
  TCsvLine line;
  line.Start(',', '"');
  EXPECT_EQ(line.Text(), "");  // no cells: an empty line, not a lone separator
  line.AddCell("first");
  line.Start(',', '"');
  line.AddCell("second");
  EXPECT_EQ(line.Text(), "\"second\"");              // nothing of the line before is left
  EXPECT_EQ(line.Finish("\r\n"), "\"second\"\r\n");  // the line break replaces the separator
  line.Start(',', '"');
  EXPECT_EQ(line.Finish("\r\n"), "\r\n");
  // A cell of nothing but quotes takes the most room there is; a long one grows the buffer
  // several times.
  const std::string quotes(5000, '"'), plain(100000, 'x');
  line.Start(',', '"');
  line.AddCell(quotes);
  line.AddCell(plain);
  EXPECT_EQ(line.Text(), "\"" + std::string(10000, '"') + "\",\"" + plain + "\"");
}

}  // namespace
}  // namespace morvale
