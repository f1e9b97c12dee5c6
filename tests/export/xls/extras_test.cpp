// The sheet extras record by record: OfficeArt records, the drawing group, the sheet drawing with
// its OBJ, TXO and NOTE records, HLINK, MERGEDCELLS, BITMAP and the chart sub-stream, checked byte
// for byte where the layout is fixed, and the items' settings-file keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "export/core/inifile.h"
#include "export/core/platform.h"
#include "export/xls/exportxls.h"
#include "export/xls/extras.h"
#include "export/xls/officeart.h"
#include "export/xls/tempstream.h"
#include "tests/export/xls/biff_support.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/envguard.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::Hex;
using ::testing::HasSubstr;
using ::testing::Not;

std::string Bytes(const TmsoObject& o) {
  std::string out;
  o.WriteToBuffer(out);
  EXPECT_EQ(out.size(), o.GetSize());
  return Hex(out);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The records one direct writer call leaves in a stream.
template <class F>
std::vector<test::TRecord> Written(F write) {
  TMemoryStream s;
  TbiffWriter w(s);
  write(w);
  return test::ParseRecords(s.Data());
}

// A BMP file of w x h pixels, all of one colour.
std::string Bmp(int w, int h) {
  const int stride = (w * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride * h), '\0');
  for (int r = 0; r < h; ++r)
    for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(r * stride + 3 * x)] = '\x7F';
  std::string f(54, '\0');
  auto* b = reinterpret_cast<uint8_t*>(f.data());
  b[0] = 'B';
  b[1] = 'M';
  PutU32(b + 2, static_cast<uint32_t>(54 + pixels.size()));
  PutU32(b + 10, 54);
  PutU32(b + 14, 40);
  PutU32(b + 18, static_cast<uint32_t>(w));
  PutU32(b + 22, static_cast<uint32_t>(h));
  PutU16(b + 26, 1);
  PutU16(b + 28, 24);
  return f + pixels;
}

TEST(XlsOfficeArt, RecordHeadersAndAtoms) {
  // Version in the low 4 bits, instance above, type, length.
  EXPECT_EQ(Bytes(*msoDg()), "10 00 08 F0 08 00 00 00 02 00 00 00 01 04 00 00");
  EXPECT_EQ(Bytes(*msoDgg(3)),
            "00 00 06 F0 18 00 00 00 04 04 00 00 02 00 00 00 04 00 00 00 01 00 00 00 01 00 00 00 "
            "04 00 00 00");
  EXPECT_EQ(Bytes(*msoSp(2, 202, 1025, 0x0A00)), "A2 0C 0A F0 08 00 00 00 01 04 00 00 00 0A 00 00");
  const uint16_t cells[8] = {2, 0, 1, 0, 4, 0, 6, 0};
  EXPECT_EQ(Bytes(*msoClientAnchor(3, cells)),
            "00 00 10 F0 12 00 00 00 03 00 02 00 00 00 01 00 00 00 04 00 00 00 06 00 00 00");
  EXPECT_EQ(Bytes(*msoSplitMenuColors()),
            "40 00 1E F1 10 00 00 00 0D 00 00 08 0C 00 00 08 17 00 00 08 F7 00 00 10");

  // Complex properties follow all the entries, each string with its terminating zero.
  TmsoOPT opt;
  opt.Add(0x007F, 0x00800000).AddString(0xC105, u"ab").Add(0x03BF, 0x00080000);
  EXPECT_EQ(Bytes(opt),
            "33 00 0B F0 18 00 00 00 7F 00 00 00 80 00 05 C1 06 00 00 00 BF 03 00 00 08 00 "
            "61 00 62 00 00 00");

  // A container's length encloses its children and what is said to follow it.
  TmsoContainer c(mso::kSpContainer);
  c.Add(msoClientData());
  c.ExtraLength = 8;
  EXPECT_EQ(Bytes(c), "0F 00 04 F0 10 00 00 00 00 00 11 F0 00 00 00 00");
}

TEST(XlsOfficeArt, PictureStoreEntryEmbedsItsBlip) {
  auto blip = msoBLIP(6, "ABC");
  EXPECT_EQ(Bytes(*blip), "00 6E 1E F0 14 00 00 00 " + Hex(std::string(17, '\0')) + " 41 42 43");
  EXPECT_EQ(Bytes(*msoBSE(6, *blip, 2)),
            "62 00 07 F0 40 00 00 00 06 06 " + Hex(std::string(16, '\0')) +
                " FF 00 1C 00 00 00 02 00 00 00 00 00 00 00 00 00 3E 02 " + Bytes(*blip));
  EXPECT_EQ(msoBLIP(5, "").get()->Type(), 0xF01D);  // JPEG
}

TEST(XlsOfficeArt, DrawingGroupStoresBmpWithoutFileHeaderAndLeavesOutMissingFiles) {
  const std::string dir = test::TempPath("");
  WriteFile(dir + "p.bmp", Bmp(2, 1));
  TxlsPictures pictures;
  pictures.Add().FileName = dir + "missing.png";
  pictures.Add().FileName = dir + "p.bmp";
  pictures.Add().FileName = dir + "p.txt";  // no picture type
  TxlsImages images;
  images.Add().PictureName = "PICTURE_1";
  images.Add().PictureName = "Picture_1";
  TxlsPictureStore store = TxlsPictureStore::Build(pictures, {&images});
  EXPECT_EQ(store.BlipIndex, (std::vector<int>{0, 1, 0}));
  ASSERT_EQ(store.Entries.size(), 1u);
  EXPECT_EQ(store.Entries[0].Refs, 2u);
  EXPECT_EQ(store.Entries[0].Bytes, Bmp(2, 1).substr(14));

  const std::string data = store.DrawingGroupData(4);
  // Container, Dgg for 4 shapes, store with one BSE (type 7) holding its BLIP (0xF01F), OPT,
  // colours.
  EXPECT_EQ(Hex(data.substr(0, 8)).substr(0, 11), "0F 00 00 F0");
  EXPECT_EQ(Hex(data.substr(16, 4)), "05 04 00 00");
  EXPECT_EQ(Hex(data.substr(40, 4)), "1F 00 01 F0");  // the store, instance 1
  EXPECT_EQ(Hex(data.substr(48, 4)), "72 00 07 F0");
  EXPECT_EQ(Hex(data.substr(92, 4)), "80 7A 1F F0");
  EXPECT_THAT(Hex(data), HasSubstr("33 00 0B F0 12 00 00 00 BF 00 08 00 08 00 81 01 09 00 00 08 "
                                   "C0 01 40 00 00 08"));
}

TEST(XlsExtrasRecords, MergedCellsCountValidRangesAndContinueAfter1027) {
  TxlsMergedCellList list;
  auto add = [&list](int c1, int r1, int c2, int r2) {
    TxlsMergedCells& m = list.Add();
    m.FirstCol = c1, m.FirstRow = r1, m.LastCol = c2, m.LastRow = r2;
  };
  add(1, 1, 2, 2);
  add(3, 5, 4, 5);
  add(1, 1, 1, 0);  // not valid
  auto r = Written([&](TbiffWriter& w) { WriteMergedCells(w, list); });
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].id, 0x00E5);
  EXPECT_EQ(Hex(r[0].data), "02 00 00 00 01 00 00 00 01 00 04 00 04 00 02 00 03 00");

  for (int i = 0; i < 1028; ++i) add(1, i + 10, 2, i + 10);
  r = Written([&](TbiffWriter& w) { WriteMergedCells(w, list); });
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].data.size(), 2u + 8 * 1027);
  EXPECT_EQ(r[1].data.size(), 2u + 8 * 3);  // 1,030 valid ranges
}

TEST(XlsExtrasRecords, HyperlinksToUrlsAndLocalFilesWithScreenTips) {
  TxlsHyperlink url;
  url.Row = 1, url.Col = 1, url.Title = "ab", url.Target = "x";
  auto r = Written([&](TbiffWriter& w) { WriteHyperlink(w, url); });
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].id, 0x01B8);
  EXPECT_EQ(Hex(r[0].data),
            "00 00 00 00 00 00 00 00 D0 C9 EA 79 F9 BA CE 11 8C 82 00 AA 00 4B A9 0B 02 00 00 00 "
            "17 00 00 00 03 00 00 00 61 00 62 00 00 00 E0 C9 EA 79 F9 BA CE 11 8C 82 00 AA 00 4B "
            "A9 0B 04 00 00 00 78 00 00 00");

  TxlsHyperlink file;
  file.Row = 3, file.Col = 2, file.Title = "f", file.Target = "/d/a.txt";
  file.Style = hlsLocalFile;
  file.ScreenTip = "t";
  r = Written([&](TbiffWriter& w) { WriteHyperlink(w, file); });
  ASSERT_EQ(r.size(), 2u);
  const std::string h = Hex(r[0].data);
  EXPECT_EQ(h.substr(0, 23), "02 00 02 00 01 00 01 00");
  EXPECT_THAT(h, HasSubstr("03 03 00 00 00 00 00 00 C0 00 00 00 00 00 00 46 00 00 09 00 00 00 2F "
                           "64 2F 61 2E 74 78 74 00 FF FF AD DE " +
                           Hex(std::string(20, '\0')) + " 16 00 00 00 10 00 00 00 03 00 2F 00"));
  EXPECT_EQ(h.substr(h.size() - 5), "74 00");  // the UTF-16 path has no terminator
  EXPECT_EQ(r[1].id, 0x0800);
  EXPECT_EQ(Hex(r[1].data), "00 08 02 00 02 00 01 00 01 00 74 00 00 00");
}

TEST(XlsExtrasRecords, BackgroundBitmapFromBmpContinuesLargePictures) {
  const std::string dir = test::TempPath("");
  WriteFile(dir + "small.bmp", Bmp(2, 1));
  TxlsGraphic bg;
  bg.FileName = dir + "small.bmp";
  auto r = Written([&](TbiffWriter& w) { WriteBackground(w, bg); });
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].id, 0x00E9);
  EXPECT_EQ(Hex(r[0].data),
            "09 00 01 00 14 00 00 00 0C 00 00 00 02 00 01 00 01 00 18 00 7F 00 00 7F 00 00 00 00");

  WriteFile(dir + "big.bmp", Bmp(100, 40));  // 300 bytes a row, 12,000 of pixels
  bg.FileName = dir + "big.bmp";
  r = Written([&](TbiffWriter& w) { WriteBackground(w, bg); });
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].data.size(), 20u + 8200);
  EXPECT_EQ(r[1].id, 0x003C);
  EXPECT_EQ(r[1].data.size(), 12000u - 8200);

  bg.FileName = dir + "missing.jpg";
  EXPECT_TRUE(Written([&](TbiffWriter& w) { WriteBackground(w, bg); }).empty());
}

class XlsExtrasExport : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTextMetrics(&metrics_);
    x.SetFormatSettings(TFormatSettings::English());
    ds.AddField("NAME", ftString, 10);
    ds.AddField("AMOUNT", ftInteger);
    for (int i = 0; i < 10; ++i) ds.AddRow({"n" + std::to_string(i), std::to_string(i * 10)});
    ds.Open();
    x.SetDataSet(&ds);
  }
  void TearDown() override { SetTextMetrics(nullptr); }

  // The records of the first sheet's stream, after running the export.
  std::vector<test::TRecord> Sheet() {
    path = test::TempPath("book.xls");
    x.FileName = path;
    x.Execute();
    auto all = test::ParseRecords(test::ReadWorkbookStream(path));
    std::vector<test::TRecord> sheet;
    int bofs = 0;
    for (const auto& rec : all) {
      if (rec.id == 0x0809) ++bofs;
      if (bofs >= 2) sheet.push_back(rec);
    }
    return sheet;
  }
  static std::vector<std::string> Of(const std::vector<test::TRecord>& rs, uint16_t id) {
    std::vector<std::string> out;
    for (const auto& r : rs)
      if (r.id == id) out.push_back(Hex(r.data));
    return out;
  }
  bool GlobalsHave(uint16_t id) {
    for (const auto& r : test::ParseRecords(test::ReadWorkbookStream(path))) {
      if (r.id == id) return true;
      if (r.id == 0x000A) return false;
    }
    return false;
  }

  TFixedTextMetrics metrics_;
  test::TMemDataSet ds;
  TExportXLS x;
  std::string path;
};

TEST_F(XlsExtrasExport, OneNoteAtB3) {
  TxlsNote& note = x.Extras.Notes.Add();
  note.Row = 3, note.Col = 2;
  note.Lines.SetText("  Hello\r\nworld\n");
  auto s = Sheet();
  EXPECT_TRUE(GlobalsHave(0x00EB));
  EXPECT_FALSE(GlobalsHave(0x01AE));  // no chart: no SUPBOOK
  // The drawing after the selection: MSODRAWING, OBJ, MSODRAWING (text box), TXO, text, runs,
  // NOTE, EOF.
  std::string ids = test::IdList(s);
  EXPECT_THAT(ids, HasSubstr("023E 001D 00EC 005D 00EC 01B6 003C 003C 001C 000A"));
  auto drawings = Of(s, 0x00EC);
  ASSERT_EQ(drawings.size(), 2u);
  // Drawing container, Dg, group, patriarch, then the text box shape anchored from column 2, row 1
  // to column 4, row 6.
  EXPECT_EQ(drawings[0].substr(0, 11), "0F 00 02 F0");
  EXPECT_THAT(drawings[0], HasSubstr("A2 0C 0A F0 08 00 00 00 01 04 00 00 00 0A 00 00"));
  EXPECT_THAT(drawings[0], HasSubstr("10 F0 12 00 00 00 03 00 02 00 00 00 01 00 00 00 04 00 00 00 "
                                     "06 00 00 00"));
  EXPECT_EQ(drawings[1], "00 00 0D F0 00 00 00 00");
  EXPECT_EQ(Of(s, 0x005D)[0], "15 00 12 00 19 00 01 00 11 00 " + Hex(std::string(12, '\0')) +
                                  " 0D 00 00 00 00 00 00 00");
  // Left and top, no rotation, 11 characters, 16 bytes of runs.
  EXPECT_EQ(Of(s, 0x01B6)[0], "12 00 00 00 00 00 00 00 00 00 0B 00 10 00 00 00 00 00");
  auto cont = Of(s, 0x003C);
  EXPECT_EQ(cont[0], "01 " + Hex(std::string("H\0e\0l\0l\0o\0\n\0w\0o\0r\0l\0d\0", 22)));
  EXPECT_EQ(cont[1].substr(0, 6), "00 00 ");
  EXPECT_NE(cont[1].substr(6, 5), "00 00");  // the note's own font
  EXPECT_EQ(cont[1].substr(24), "0B 00 00 00 00 00 00 00");
  EXPECT_EQ(Of(s, 0x001C)[0], "02 00 01 00 00 00 01 00 00 00 00 00");
}

TEST_F(XlsExtrasExport, InvalidNotesAndHyperlinksAreSkipped) {
  TxlsNote& wide = x.Extras.Notes.Add();
  wide.Row = 1, wide.Col = 256;
  wide.Lines.Add("far right");
  TxlsNote& empty = x.Extras.Notes.Add();
  empty.Row = 1, empty.Col = 1;
  empty.Lines.Add(" \t ");
  TxlsHyperlink& untitled = x.Extras.Hyperlinks.Add();
  untitled.Row = 1, untitled.Col = 1, untitled.Target = "http://x/";
  auto s = Sheet();
  // The workbook still counts them for its drawing group, but the sheet has no drawing.
  EXPECT_TRUE(GlobalsHave(0x00EB));
  EXPECT_TRUE(Of(s, 0x00EC).empty());
  EXPECT_TRUE(Of(s, 0x001C).empty());
  EXPECT_TRUE(Of(s, 0x01B8).empty());
}

TEST_F(XlsExtrasExport, ExtraCellsMergedRangesAndHyperlinkTitlesBeforeTheWindow) {
  TxlsCell& text = x.Extras.Cells.Add();
  text.Col = 5, text.Row = 1;  // empty text: a styled BLANK
  TxlsCell& date = x.Extras.Cells.Add();
  date.Col = 5, date.Row = 2, date.CellType = ctDateTime;
  date.DateTimeValue = 2;  // 1 January 1900, written as it stands
  TxlsMergedCells& m = x.Extras.MergedCells.Add();
  m.FirstCol = 5, m.FirstRow = 1, m.LastCol = 6, m.LastRow = 1;
  TxlsHyperlink& link = x.Extras.Hyperlinks.Add();
  link.Row = 4, link.Col = 5, link.Title = "site", link.Target = "http://example.com/";
  auto s = Sheet();
  EXPECT_THAT(test::IdList(s), HasSubstr("0201 0203 00E5 00FD 023E 001D 01B8 000A"));
  EXPECT_EQ(Of(s, 0x0201).back().substr(0, 11), "00 00 04 00");
  const std::string number = Of(s, 0x0203).back();
  EXPECT_EQ(number.substr(0, 11), "01 00 04 00");
  EXPECT_EQ(number.substr(18), "00 00 00 00 00 00 00 40");  // 2.0
  EXPECT_EQ(Of(s, 0x00FD).back().substr(0, 11), "03 00 04 00");
}

TEST_F(XlsExtrasExport, ImagesAnchorAcrossColumnsAndPicturesWithoutFilesAreLeftOut) {
  const std::string dir = test::TempPath("");
  // A GIF is measured by its logical screen: 183 x 17 pixels.
  WriteFile(dir + "wide.gif", std::string("GIF89a\xB7\x00\x11\x00\x00\x00\x00;", 13));
  x.Pictures.Add().FileName = dir + "wide.gif";
  x.Pictures.Add().FileName = dir + "gone.png";
  TxlsImage& shown = x.Extras.Images.Add();
  shown.PictureName = "Picture_0", shown.Col = 5, shown.Row = 2;
  x.Extras.Images.Add().PictureName = "Picture_1";
  x.Extras.Images.Add().PictureName = "nothing";
  auto s = Sheet();
  auto drawings = Of(s, 0x00EC);
  ASSERT_EQ(drawings.size(), 1u);
  // Columns of 73 pixels ((8 + 1) * 8 + 1): 183 pixels end 37 pixels into the third column
  // (37 * 1024 / 73 = 519); 17 pixels are 255 twips, one full default row.
  EXPECT_THAT(drawings[0], HasSubstr("10 F0 12 00 00 00 02 00 05 00 00 00 02 00 00 00 07 00 07 02 "
                                     "03 00 00 00"));
  EXPECT_THAT(drawings[0], HasSubstr("04 41 01 00 00 00"));  // blip 1
  EXPECT_EQ(Of(s, 0x005D)[0], "15 00 12 00 08 00 01 00 11 00 " + Hex(std::string(12, '\0')) +
                                  " 07 00 00 00 08 00 00 00 00 00 00 00");
}

TEST_F(XlsExtrasExport, ColumnChartRecordsInOrderWithFieldRanges) {
  TxlsChart& chart = x.Extras.Charts.Add();
  chart.Title = "Sales";
  chart.CategoryLabelsColumn = "name";
  TxlsChartSeries& series = chart.Series.Add();
  series.DataColumn = "AMOUNT";
  series.Title = "Amount";
  TxlsChart& lost = x.Extras.Charts.Add();  // a field that was not exported
  lost.Style = xcsPie3d;
  lost.ShowLegend = false;
  lost.AutoColor = false;
  lost.Series.Add().DataColumn = "PRICE";
  auto s = Sheet();
  EXPECT_TRUE(GlobalsHave(0x01AE));
  EXPECT_TRUE(GlobalsHave(0x0017));
  // The first chart's sub-stream.
  std::vector<test::TRecord> chartRecords;
  bool in = false;
  for (const auto& r : s) {
    if (r.id == 0x0809 && r.data[2] == 0x20) in = true;
    if (in) chartRecords.push_back(r);
    if (in && r.id == 0x000A) break;
  }
  EXPECT_EQ(test::IdList(chartRecords),
            "0809 0014 0015 0083 0084 00A1 0033 1060 1060 1060 0012 1001 1002 1033 00A0 1064 "
            "1032 1033 1007 100A 1034 1003 1033 1051 100D 1051 1051 1051 1006 1033 105F 1034 "
            "1045 1034 1044 1024 1025 1033 104F 1026 1051 1034 1024 1025 1033 104F 1026 1051 "
            "1034 1046 1041 1033 104F 101D 1033 1020 1062 101E 1034 101D 1033 101F 101E 1021 "
            "1007 1034 1035 1032 1033 1007 100A 1034 1014 1033 1017 1015 1033 104F 1025 1033 "
            "104F 1051 1034 1034 1034 1034 1025 1033 104F 1026 1051 100D 1027 1034 1034 0200 "
            "1065 1065 1065 000A");
  auto links = Of(s, 0x1051);
  // Values in rows 1-10 of column B, categories in column A, on the sheet's EXTERNSHEET entry 0.
  EXPECT_EQ(links[1], "01 02 00 00 00 00 0B 00 3B 00 00 01 00 0A 00 01 00 01 00");
  EXPECT_EQ(links[2], "02 02 00 00 00 00 0B 00 3B 00 00 01 00 0A 00 00 00 00 00");
  // The unknown field refers to row and column -1 as it stands.
  EXPECT_THAT(links,
              ::testing::Contains("01 02 00 00 00 00 0B 00 3B 00 00 FF FF FF FF FF FF FF FF"));
  // Pie 3-D: the chart format's flag, PIE, CHART3D; its own colours; no legend.
  const std::string all = test::IdList(s);
  EXPECT_THAT(all, HasSubstr("1014 1033 1019 103A 1034 1034"));
  EXPECT_THAT(Of(s, 0x100A),
              ::testing::Contains("A0 A0 A0 00 90 90 90 00 01 00 00 00 31 00 08 00"));
  // Auto-placed below the data (rows 0-10): from row 11 in column 0, 5 columns by 10 rows.
  EXPECT_THAT(Of(s, 0x00EC)[0], HasSubstr("10 F0 12 00 00 00 00 00 00 00 00 00 0B 00 00 00 05 00 "
                                          "00 00 15 00 00 00"));
}

// A chart on the second written sheet refers to that sheet's EXTERNSHEET entry; every written
// sheet has one.
TEST_F(XlsExtrasExport, AChartOnTheSecondSheetRefersToItsOwnEntry) {
  x.Sheets.Add().SetDataSet(&ds);
  TxlsSheet& skipped = x.Sheets.Add();
  skipped.Exported = false;
  TxlsSheet& second = x.Sheets.Add();
  second.SetDataSet(&ds);
  second.Extras.Charts.Add().Series.Add().DataColumn = "AMOUNT";
  Sheet();
  std::vector<std::string> extern_, links;
  for (const auto& r : test::ParseRecords(test::ReadWorkbookStream(path))) {
    if (r.id == 0x0017) extern_.push_back(Hex(r.data));
    if (r.id == 0x1051) links.push_back(Hex(r.data));
  }
  ASSERT_EQ(extern_.size(), 1u);
  EXPECT_EQ(extern_[0], "02 00 00 00 00 00 00 00 00 00 01 00 01 00");
  EXPECT_EQ(links[1], "01 02 00 00 00 00 0B 00 3B 01 00 01 00 0A 00 01 00 01 00");
}

TEST_F(XlsExtrasExport, MemoLineBreaksAreStoredAsLFInWrappingCells) {
  test::TMemDataSet memo;
  memo.AddField("TEXT", ftMemo);
  memo.AddRow({"one\r\ntwo\rthree"});
  memo.AddRow({"single"});
  memo.Open();
  x.SetDataSet(&memo);
  x.ExportedFields.Add("TEXT");
  Sheet();
  std::string out;
  test::RunCommand(
      "/usr/bin/python3 " MORVALE_SOURCE_DIR "/tests/export/xls/extrasread.py xlrd " + path, out);
  EXPECT_EQ(out, "multiline 1 0 'one\\ntwo\\nthree' wrap=1\n");
}

std::string IniPath(const std::string& name) {
  std::string p = test::TempPath(name);
  std::remove(p.c_str());
  return p;
}

// morvale-export reads a sheet's extras from an options file before any --set.
TEST(XlsExtrasCli, ExtrasFromAnOptionsFile) {
  const std::string cfg = IniPath("cli-extras.cfg"), book = test::TempPath("cli.xls");
  WriteFile(cfg,
            "[XLS_NOTE_0]\nCol=2\nRow=3\n[XLS_NOTE_0_LINES]\nline0=Checked\n"
            "[XLS_HYPERLINK_0]\nCol=9\nRow=1\nTitle=Site\nTarget=http://example.com/\n"
            "[XLS_MERGED_CELL_0]\nFirstCol=9\nFirstRow=3\nLastCol=10\nLastRow=3\n");
  const std::vector<std::string> base = {
      "--db", "sqlite:" + test::DemoDatabase(), "--table", "products", "--type", "xls", "-o", book};
  auto args = base;
  args.insert(args.end(), {"--xls-extras", cfg, "--set", "Hyperlinks.0.Title=Our site"});
  test::Result r = test::Cli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string out;
  test::RunCommand(
      "/usr/bin/python3 " MORVALE_SOURCE_DIR "/tests/export/xls/extrasread.py xlrd " + book, out);
  EXPECT_EQ(out,
            "note 2 1 'Checked'\nlink 0 8 'Our site' 'http://example.com/' None\n"
            "merged 2 3 8 10\n");

  args = base;
  args.insert(args.end(), {"--xls-extras", cfg + ".none"});
  EXPECT_EQ(test::Cli(args).status, 2);
  r = test::Cli({"--type", "csv", "--xls-extras", cfg, "--list-properties"});
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("--xls-extras does not apply to --type csv"));
}

// The export dialog's options file carries the extras: --options exports them, and --save-options
// keeps what --xls-extras read, so that the saved file gives the same workbook.
TEST(XlsExtrasCli, ExtrasFromTheDialogsOptionsFile) {
  const std::string cfg = IniPath("cli-dialog.cfg"), saved = IniPath("cli-dialog-saved.cfg");
  const std::string book = test::TempPath("cli-dialog.xls");
  WriteFile(cfg,
            "[GENERAL]\nExportType=0\n[XLS]\nSheetTitle=Goods\n"
            "[XLS_NOTE_0]\nCol=2\nRow=3\n[XLS_NOTE_0_LINES]\nline0=Checked\n"
            "[XLS_HYPERLINK_0]\nCol=9\nRow=1\nTitle=Site\nTarget=http://example.com/\n"
            "[XLS_MERGED_CELL_0]\nFirstCol=9\nFirstRow=3\nLastCol=10\nLastRow=3\n"
            "[XLS_CHART_0]\nStyle=0\nTitle=Prices\nCategoryLabelsColumn=title\n"
            "[XLS_CHART_0_SERIES_0]\nColumn=price\n");
  const std::vector<std::string> base = {
      "--db", "sqlite:" + test::DemoDatabase(), "--table", "products", "-o", book};
  auto read = [&] {
    std::string out;
    test::RunCommand(
        "/usr/bin/python3 " MORVALE_SOURCE_DIR "/tests/export/xls/extrasread.py xlrd " + book, out);
    return out;
  };
  auto charts = [&] {
    int n = 0;
    for (const auto& r : test::ParseRecords(test::ReadWorkbookStream(book)))
      if (r.id == 0x0809 && r.data.size() > 3 && r.data[2] == 0x20 && r.data[3] == 0) ++n;
    return n;
  };
  const std::string expected =
      "note 2 1 'Checked'\nlink 0 8 'Site' 'http://example.com/' None\nmerged 2 3 8 10\n";

  auto args = base;
  args.insert(args.end(), {"--options", cfg});
  test::Result r = test::Cli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read(), expected);
  EXPECT_EQ(charts(), 1);

  args = base;
  args.insert(args.end(), {"--type", "xls", "--xls-extras", cfg, "--save-options", saved});
  r = test::Cli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(TIniFile(saved).SectionExists("XLS_CHART_0_SERIES_0"));
  std::remove(book.c_str());
  args = base;
  args.insert(args.end(), {"--options", saved});
  r = test::Cli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read(), expected);
  EXPECT_EQ(charts(), 1);
}

}  // namespace
}  // namespace morvale
