// Byte-exact layouts of the records the workbook writes directly and through record objects.
#include <gtest/gtest.h>

#include "export/core/streams.h"
#include "export/xls/cells.h"
#include "export/xls/records.h"
#include "export/xls/sheetrecords.h"
#include "tests/export/xls/biff_support.h"

namespace morvale {
namespace {

using test::Hex;

// Writes one record with `fill` and returns its bytes, header included.
template <class F>
std::string Record(F fill) {
  TMemoryStream s;
  TbiffWriter w(s);
  fill(w);
  return Hex(s.Data());
}

TEST(XlsRecords, DirectRecordLayouts) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* expected;
  } cases[] = {
      {"BOF worksheet", Record([](TbiffWriter& w) { WriteBOF(w, biff::kWorksheet); }),
       "09 08 10 00 00 06 10 00 BB 0D CC 07 00 00 00 00 06 02 00 00"},
      {"EOF", Record([](TbiffWriter& w) { WriteEOF(w); }), "0A 00 00 00"},
      {"word record", Record([](TbiffWriter& w) { w.WriteWordRecord(biff::kCodePage, 1252); }),
       "42 00 02 00 E4 04"},
      {"LABELSST", Record([](TbiffWriter& w) { WriteLabelSST(w, 3, 2, 17, 0x010203); }),
       "FD 00 0A 00 03 00 02 00 11 00 03 02 01 00"},
      {"NUMBER", Record([](TbiffWriter& w) { WriteNumber(w, 1, 0, 15, 1.5); }),
       "03 02 0E 00 01 00 00 00 0F 00 00 00 00 00 00 00 F8 3F"},
      {"BOOLERR true", Record([](TbiffWriter& w) { WriteBoolErr(w, 2, 1, 16, true); }),
       "05 02 08 00 02 00 01 00 10 00 01 00"},
      {"BOOLERR false", Record([](TbiffWriter& w) { WriteBoolErr(w, 2, 1, 16, false); }),
       "05 02 08 00 02 00 01 00 10 00 00 00"},
      {"BLANK", Record([](TbiffWriter& w) { WriteBlank(w, 65535, 255, 20); }),
       "01 02 06 00 FF FF FF 00 14 00"},
      {"FORMULA sum", Record([](TbiffWriter& w) { WriteFormula(w, 11, 2, 15, aggSum, 1, 10); }),
       "06 00 23 00 0B 00 02 00 0F 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 0D 00 "
       "25 01 00 0A 00 02 C0 02 C0 42 01 04 00"},
      {"FORMULA max", Record([](TbiffWriter& w) { WriteFormula(w, 5, 0, 16, aggMax, 4, 4); }),
       "06 00 23 00 05 00 00 00 10 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 0D 00 "
       "25 04 00 04 00 00 C0 00 C0 42 01 07 00"},
      {"HEADER empty", Record([](TbiffWriter& w) { WriteHeaderFooter(w, biff::kHeader, ""); }),
       "14 00 00 00"},
      {"FOOTER", Record([](TbiffWriter& w) { WriteHeaderFooter(w, biff::kFooter, "P &P"); }),
       "15 00 07 00 04 00 00 50 20 26 50"},
      {"COLINFO", Record([](TbiffWriter& w) {
         WriteColInfo(w, TxlsColInfo{3, 0x0A20, 15, 0});
       }),
       "7D 00 0B 00 03 00 03 00 20 0A 0F 00 00 00 00"},
      {"DIMENSIONS", Record([](TbiffWriter& w) { WriteDimensions(w); }),
       "00 02 0E 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      {"WINDOW2", Record([](TbiffWriter& w) { WriteWindow2(w); }),
       "3E 02 12 00 B6 06 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      {"SELECTION", Record([](TbiffWriter& w) { WriteSelection(w); }),
       "1D 00 10 00 03 00 00 00 00 00 00 01 00 00 00 00 00 00 00 00"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.bytes, c.expected) << c.name;
}

TEST(XlsRecords, HeaderFooterBeyondLatin1IsWrittenAsUtf16) {
  // "Стр &P": a reader would take 8-bit bytes for Latin-1, so Cyrillic goes as UTF-16.
  EXPECT_EQ(Record([](TbiffWriter& w) { WriteHeaderFooter(w, biff::kHeader, "Стр &P"); }),
            "14 00 0F 00 06 00 01 21 04 42 04 40 04 20 00 26 00 50 00");
  // Latin-1 accents stay 8-bit characters, not UTF-8 bytes.
  EXPECT_EQ(Record([](TbiffWriter& w) { WriteHeaderFooter(w, biff::kHeader, "é"); }),
            "14 00 04 00 01 00 00 E9");
}

TEST(XlsRecords, AggregateOverSeveralSheetsUsesAreaReferencesThroughExternSheet) {
  TxlsFormulaRange ranges[] = {{0, 1, 65535, 2}, {-1, 1, 10, 2}};
  EXPECT_EQ(Record([&](TbiffWriter& w) { WriteFormula(w, 11, 2, 15, aggAvg, ranges, 2); }),
            "06 00 2E 00 0B 00 02 00 0F 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 18 00 "
            "3B 00 00 01 00 FF FF 02 C0 02 C0 25 01 00 0A 00 02 C0 02 C0 42 02 05 00");
}

TEST(XlsRecords, RecordObjectsLayoutAndContinue) {
  auto bytes = [](const TbiffRecord& r) {
    TMemoryStream s;
    r.WriteTo(s);
    return Hex(s.Data());
  };
  TbiffFont font(u"arial");
  font.SetHeight(200);
  font.SetColorIndex(8);
  font.SetWeight(700);
  font.SetCharset(1);
  EXPECT_EQ(bytes(font),
            "31 00 1A 00 C8 00 00 00 08 00 BC 02 00 00 00 00 01 00 05 01 "
            "61 00 72 00 69 00 61 00 6C 00");
  EXPECT_EQ(bytes(TbiffFormat(50, u"0.00")), "1E 04 0D 00 32 00 04 00 01 30 00 2E 00 30 00 30 00");
  const uint8_t style[4] = {0x10, 0x80, 0x03, 0xFF};
  EXPECT_EQ(bytes(TbiffStyle(style)), "93 02 04 00 10 80 03 FF");
  TbiffBoundSheet sheet(u"S1");
  sheet.SetOffset(0x01020304);
  EXPECT_EQ(bytes(sheet), "85 00 0C 00 04 03 02 01 00 00 02 01 53 00 31 00");
  EXPECT_EQ(bytes(TbiffCountry()), "8C 00 04 00 01 00 01 00");
  EXPECT_EQ(bytes(TbiffSupbookInternal(2)), "AE 01 04 00 02 00 01 04");
  EXPECT_EQ(bytes(TbiffExternSheet(2)), "17 00 0E 00 02 00 00 00 00 00 00 00 00 00 01 00 01 00");
  EXPECT_EQ(bytes(TbiffRecord(0x00EB, nullptr, 0)), "EB 00 00 00");

  // 20000 data bytes: 8220 under the record's id, then CONTINUE records of 8220 and 3560.
  std::vector<uint8_t> big(20000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i);
  TMemoryStream s;
  TbiffMSODrawingGroup(big.data(), big.size()).WriteTo(s);
  auto records = test::ParseRecords(s.Data());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(test::IdList(records), "00EB 003C 003C");
  EXPECT_EQ(records[0].data.size(), 8220u);
  EXPECT_EQ(records[1].data.size(), 8220u);
  EXPECT_EQ(records[2].data.size(), 3560u);
  std::vector<uint8_t> joined;
  for (const auto& r : records) joined.insert(joined.end(), r.data.begin(), r.data.end());
  EXPECT_EQ(joined, big);
}

}  // namespace
}  // namespace morvale
