// The dBASE table layout on its own: header and descriptor bytes, fields rendered by type, memo
// blocks.
#include "export/docs/dbffile.h"

#include <gtest/gtest.h>

#include "export/core/classes.h"

namespace morvale {
namespace {

uint32_t LE(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

TEST(DbfFile, HeaderAndDescriptorBytes) {
  // Integer, string of 30 and boolean: header 32 * 4 + 1, record 1 + 11 + 30 + 1.
  std::vector<TDBFField> fields{
      {"ID", 'N', 0, 11, 0}, {"NAME", 'C', 11, 30, 0}, {"OK", 'L', 41, 1, 0}};
  std::string h = DBFMainHeader(0x03, 2008, 3, 7, 5, fields);
  ASSERT_EQ(h.size(), 32u);
  EXPECT_EQ(static_cast<unsigned char>(h[0]), 0x03);
  EXPECT_EQ(h[1], 108);
  EXPECT_EQ(h[2], 3);
  EXPECT_EQ(h[3], 7);
  EXPECT_EQ(LE(h, 4, 4), 5u);
  EXPECT_EQ(LE(h, 8, 2), 129u);
  EXPECT_EQ(LE(h, 10, 2), 43u);
  EXPECT_EQ(h.substr(12), std::string(20, '\0'));
  // Years past 2155 wrap as a single byte.
  EXPECT_EQ(static_cast<unsigned char>(DBFMainHeader(0x83, 2160, 1, 1, 0, {})[1]), 4);

  std::string d = fields[1].Descriptor();
  ASSERT_EQ(d.size(), 32u);
  EXPECT_EQ(d.substr(0, 11), std::string("NAME\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(d[11], 'C');
  EXPECT_EQ(LE(d, 12, 4), 11u);
  EXPECT_EQ(d[16], 30);
  EXPECT_EQ(d[17], 0);
  EXPECT_EQ(d.substr(18), std::string(14, '\0'));
  // Length and decimals keep their low byte; byte 10 ends even a ten-byte name.
  std::string big = TDBFField{"ABCDEFGHIJ", 'N', 0, 300, 258}.Descriptor();
  EXPECT_EQ(big[10], '\0');
  EXPECT_EQ(static_cast<unsigned char>(big[16]), 44);
  EXPECT_EQ(static_cast<unsigned char>(big[17]), 2);
}

TEST(DbfFile, FieldNames) {
  EXPECT_EQ(DBFFieldName("customer_name", false), "CUSTOMER_N");
  EXPECT_EQ(DBFFieldName("Price", false), "PRICE");
  // Only a-z are upper-cased; other bytes pass unchanged.
  EXPECT_EQ(DBFFieldName("\xe8\xec\xff", false), "\xe8\xec\xff");
  // "имя_товара" is 19 bytes in UTF-8: ten bytes would end inside the sixth letter.
  EXPECT_EQ(DBFFieldName("имя_товара", true), "имя_т");
  EXPECT_EQ(DBFFieldName("имя_товара", false).size(), 10u);
}

TEST(DbfFile, ShapeLimits) {
  std::vector<TDBFField> wide(300, TDBFField{"F", 'C', 0, 254, 0});
  EXPECT_THROW(CheckDBFShape(wide), Exception);
  std::vector<TDBFField> many(2100, TDBFField{"F", 'L', 0, 1, 0});
  EXPECT_THROW(CheckDBFShape(many), Exception);
  std::vector<TDBFField> fine(128, TDBFField{"F", 'C', 0, 254, 0});
  EXPECT_NO_THROW(CheckDBFShape(fine));
}

std::string Render(TDBFField f, std::string_view text, bool utf8 = false) {
  std::string r;
  RenderDBFField(f, text, utf8, r);
  return r;
}

TEST(DbfFile, FieldsTakeExactlyTheirLength) {
  TDBFField c{"S", 'C', 0, 5, 0}, n{"N", 'N', 0, 6, 0}, m{"M", 'M', 0, 10, 0};
  EXPECT_EQ(Render(c, "ab"), "ab   ");
  EXPECT_EQ(Render(c, "abcdefg"), "abcde");
  EXPECT_EQ(Render(c, ""), "     ");
  EXPECT_EQ(Render(n, "-4"), "    -4");
  EXPECT_EQ(Render(n, "1234567"), "******");
  EXPECT_EQ(Render(m, "1"), "         1");
  EXPECT_EQ(Render({"D", 'D', 0, 8, 0}, "20080307"), "20080307");
  EXPECT_EQ(Render({"L", 'L', 0, 1, 0}, "T"), "T");
  // "Гайка" is 10 bytes; five bytes would cut the third letter in half.
  EXPECT_EQ(Render(c, "Гайка", true), "Га ");
  EXPECT_EQ(Render(c, "Гайка", false), std::string("Гайка").substr(0, 5));
  // A C field never takes more than 254 bytes, and a zero-length field writes nothing.
  EXPECT_EQ(Render({"Z", 'C', 0, 0, 0}, "x"), "");
  // A length above 255 keeps its low byte, as the descriptor does.
  EXPECT_EQ(Render({"W", 'N', 0, 258, 0}, "7"), " 7");
}

TEST(DbfFile, NumbersLogicalsAndMemoBlocks) {
  EXPECT_EQ(DBFFixed(3.5, 10, 2), "      3.50");
  EXPECT_EQ(DBFFixed(3.5, 15, 4), "         3.5000");
  EXPECT_EQ(DBFFixed(-1234567.891, 15, 4), "  -1234567.8910");
  EXPECT_EQ(DBFFixed(0, 5, 0), "    0");
  EXPECT_EQ(DBFFixed(2.5, 1, 0), "2");  // round half to even, as printf does

  EXPECT_EQ(DBFLogical("True"), 'T');
  EXPECT_EQ(DBFLogical("false"), 'F');
  EXPECT_EQ(DBFLogical("yes"), ' ');
  EXPECT_EQ(DBFLogical("untrue"), 'T');  // "contains", as the rule says

  EXPECT_EQ(DBFMemoBlockCount(510), 1);
  EXPECT_EQ(DBFMemoBlockCount(511), 2);
  std::string b = DBFMemoBlocks("abc");
  ASSERT_EQ(b.size(), 512u);
  EXPECT_EQ(b.substr(0, 5), "abc\x1a\x1a");
  EXPECT_EQ(b.substr(5), std::string(507, '\0'));
  EXPECT_EQ(DBFMemoBlocks(std::string(511, 'x')).size(), 1024u);
}

}  // namespace
}  // namespace morvale
