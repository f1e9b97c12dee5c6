// The workbook extras in an .xlsx file, read by openpyxl and opened by LibreOffice: notes,
// hyperlinks with their titles, extra cells at rows before, among and after the data rows (the
// package is written row by row), merged ranges, images and charts over the exported columns.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "export/core/platform.h"
#include "export/xlsx/exportxlsx.h"
#include "export/xlsx/xlsxextras.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/memsources.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::ShellQuote;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

std::string Shell(const std::string& command) {
  std::string out;
  int status = test::RunCommand(command + " 2>&1", out);
  return status == 0 ? out : "failed: " + out;
}

std::string ReadExtras(const std::string& path) {
  return Shell("/usr/bin/python3 " MORVALE_SOURCE_DIR "/tests/export/xls/extrasread.py openpyxl " +
               ShellQuote(path));
}

// Runs a Python snippet with the workbook's path as argv[1].
std::string Py(const std::string& xlsx, const std::string& code) {
  return Shell("/usr/bin/python3 -c " + ShellQuote(code) + " " + ShellQuote(xlsx));
}

class XlsxExtras : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::RunCommand("/usr/bin/python3 -c 'import openpyxl, PIL'", out_) != 0)
      GTEST_SKIP() << "openpyxl or PIL is not installed";
    SetTextMetrics(&metrics_);
    x.SetFormatSettings(TFormatSettings::English());
    dir = test::FreshFolder("xlsx-extras");
    ds.AddField("NAME", ftString, 10);
    ds.AddField("AMOUNT", ftInteger);
    ds.AddField("QTY", ftInteger);
    for (int i = 0; i < 10; ++i)
      ds.AddRow({"item " + std::to_string(i), std::to_string(i * 10 + 5), std::to_string(i % 4)});
    ds.Open();
    x.SetDataSet(&ds);
    Shell("cd " + ShellQuote(dir) +
          " && /usr/bin/python3 -c \"from PIL import Image; "
          "Image.new('RGB', (120, 40), (200, 30, 30)).save('red.png'); "
          "Image.new('RGB', (64, 64), (30, 30, 200)).save('blue.jpg')\"");
  }
  void TearDown() override { SetTextMetrics(nullptr); }

  TxlsChart& Chart(TxlsChartStyle style, const std::string& title, int x1, int y1) {
    TxlsChart& c = x.Extras.Charts.Add();
    c.Style = style;
    c.Title = title;
    c.CategoryLabelsColumn = "NAME";
    c.Position.PositionType = cptCustom;
    c.Position.CustomPosition.X1 = x1, c.Position.CustomPosition.Y1 = y1;
    c.Position.CustomPosition.X2 = x1 + 5, c.Position.CustomPosition.Y2 = y1 + 12;
    TxlsChartSeries& s = c.Series.Add();
    s.DataColumn = "AMOUNT";
    s.Title = "Amount";
    return c;
  }
  TxlsCell& Cell(int row, int col) {
    TxlsCell& c = x.Extras.Cells.Add();
    c.Row = row, c.Col = col;
    return c;
  }

  std::string out_;
  TFixedTextMetrics metrics_;
  test::TMemDataSet ds;
  TExportXLSX x;
  std::string dir;
};

TEST_F(XlsxExtras, EveryKindOfExtraReadsBack) {
  TxlsNote& note = x.Extras.Notes.Add();
  note.Row = 2, note.Col = 1;
  note.Lines = {"Checked", "twice"};
  TxlsNote& cyrillic = x.Extras.Notes.Add();
  cyrillic.Row = 6, cyrillic.Col = 3;
  cyrillic.Lines = {"Заметка"};
  TxlsHyperlink& url = x.Extras.Hyperlinks.Add();
  url.Row = 1, url.Col = 6, url.Title = "Site", url.Target = "http://example.com/prices";
  url.ScreenTip = "Prices";
  TxlsHyperlink& file = x.Extras.Hyperlinks.Add();
  file.Row = 14, file.Col = 1, file.Title = "Заметки", file.Target = dir + "notes.txt";
  file.Style = hlsLocalFile;
  TxlsHyperlink& relative = x.Extras.Hyperlinks.Add();
  relative.Row = 15, relative.Col = 1, relative.Title = "Beside";
  relative.Target = "notes/week 1.txt", relative.Style = hlsLocalFile;
  // Extra cells above the captions' row, inside the data (it replaces the data cell), beside the
  // data and far below it, given out of row order.
  Cell(30, 2).StringValue = "Far below";
  TxlsCell& number = Cell(5, 2);
  number.CellType = ctNumeric, number.NumericValue = 1234.5, number.NumericFormat = "#,##0.00";
  Cell(1, 5).StringValue = "Top right";
  TxlsCell& flag = Cell(4, 6);
  flag.CellType = ctBoolean, flag.BooleanValue = true;
  TxlsCell& day = Cell(12, 6);
  day.CellType = ctDateTime, day.DateTimeValue = 46000, day.DateTimeFormat = "yyyy-mm-dd";
  // A second range overlapping the first and a single cell are what the package cannot hold.
  TxlsMergedCells& m = x.Extras.MergedCells.Add();
  m.FirstRow = 4, m.FirstCol = 6, m.LastRow = 5, m.LastCol = 8;
  TxlsMergedCells& overlap = x.Extras.MergedCells.Add();
  overlap.FirstRow = 5, overlap.FirstCol = 8, overlap.LastRow = 7, overlap.LastCol = 9;
  TxlsMergedCells& single = x.Extras.MergedCells.Add();
  single.FirstRow = 9, single.FirstCol = 9, single.LastRow = 9, single.LastCol = 9;
  TxlsMergedCells& late = x.Extras.MergedCells.Add();
  late.FirstRow = 20, late.FirstCol = 1, late.LastRow = 21, late.LastCol = 3;
  x.Pictures.Add().FileName = dir + "red.png";
  x.Pictures.Add().FileName = dir + "blue.jpg";
  x.Pictures.Add().FileName = dir + "missing.png";
  TxlsImage& png = x.Extras.Images.Add();
  png.PictureName = "Picture_0", png.Col = 9, png.Row = 1;
  TxlsImage& jpg = x.Extras.Images.Add();
  jpg.PictureName = "Picture_1", jpg.Col = 9, jpg.Row = 8, jpg.Zoom = 50;
  x.Extras.Images.Add().PictureName = "Picture_2";
  x.Extras.Images.Add().PictureName = "no such picture";
  x.Extras.Background.FileName = dir + "blue.jpg";
  Chart(xcsColumn, "Amounts", 1, 32).Series.Add().DataColumn = "QTY";
  // A chart of a field that was not exported has nothing to draw.
  Chart(xcsLine, "Nothing", 8, 32).Series[0].DataColumn = "NOSUCH";
  x.FileName = dir + "book.xlsx";
  x.Execute();

  const std::string o = ReadExtras(x.FileName);
  EXPECT_THAT(o, HasSubstr("comment A2 'Checked\\ntwice'\n"));
  EXPECT_THAT(o, HasSubstr("comment C6 'Заметка'\n"));
  EXPECT_THAT(o, HasSubstr("link F1 'http://example.com/prices'\n"));
  EXPECT_THAT(o, HasSubstr("link A14 'file://" + dir + "notes.txt'\n"));
  EXPECT_THAT(o, HasSubstr("link A15 'notes/week%201.txt'\n"));
  EXPECT_THAT(o, HasSubstr("merged A20:C21\nmerged F4:H5\nimage"));
  EXPECT_THAT(o, HasSubstr("image 9 1\nimage 9 8\nchart"));
  EXPECT_THAT(o, HasSubstr("chart BarChart 'Amounts' 'Sheet 1'!$B$2:$B$11|'Sheet 1'!$A$2:$A$11 "
                           "'Sheet 1'!$C$2:$C$11|'Sheet 1'!$A$2:$A$11\n"));
  EXPECT_THAT(o, Not(HasSubstr("Nothing")));
  EXPECT_THAT(o, Not(HasSubstr("image 0 0")));
  // Beside images the background is left out: the package would name pictures it lacks.
  EXPECT_THAT(Shell("unzip -p " + ShellQuote(x.FileName) + " xl/worksheets/sheet1.xml"),
              Not(HasSubstr("<picture")));

  EXPECT_EQ(Py(x.FileName, R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for ref in ['E1', 'A1', 'B5', 'B6', 'F4', 'F12', 'B30', 'F1', 'A14']:
    c = ws[ref]
    print(ref, repr(c.value), c.number_format)
print(ws['F1'].hyperlink.tooltip)
)PY"),
            "E1 'Top right' General\n"
            "A1 'NAME' General\n"
            "B5 1234.5 #,##0.00\n"  // instead of the record's 35
            "B6 45 #,###,##0\n"     // the data cell beside it is the record's own
            "F4 True General\n"
            "F12 datetime.datetime(2025, 12, 9, 0, 0) yyyy-mm-dd\n"
            "B30 'Far below' General\n"
            "F1 'Site' General\n"
            "A14 'Заметки' General\n"
            "Prices\n");

  // LibreOffice opens the workbook; its first page is kept in the build folder to look at.
  std::string pdf = Shell(ShellQuote(test::kOfficeConvert) + " " + ShellQuote(dir) + " pdf " +
                          ShellQuote(dir + "book.xlsx") + " >/dev/null && pdftotext " +
                          ShellQuote(dir + "book.pdf") + " -");
  EXPECT_THAT(pdf, HasSubstr("Top right"));
  EXPECT_THAT(pdf, HasSubstr("Far below"));
  EXPECT_THAT(pdf, HasSubstr("Amounts"));
  Shell("mkdir -p " MORVALE_BINARY_DIR "/test-output/xlsx && pdftoppm -png -r 60 -f 1 -l 1 " +
        ShellQuote(dir + "book.pdf") + " " MORVALE_BINARY_DIR "/test-output/xlsx/extras");
}

TEST_F(XlsxExtras, ChartsOfEveryStyleAndPlacement) {
  for (int s = 0; s <= xcsRadarArea; ++s) {
    TxlsChart& c = Chart(static_cast<TxlsChartStyle>(s), "Chart " + std::to_string(s),
                         5 + 6 * (s % 3), 1 + 13 * (s / 3));
    c.AutoColor = s % 2 == 0;
    c.LegendPlacement = static_cast<TxlsChartLegendPlacement>(s % 5);
    c.ShowLegend = s != 4;
  }
  // Placed by the used range: below the data and right of it.
  TxlsChart& below = Chart(xcsColumn, "Below", 0, 0);
  below.Position.PositionType = cptAuto;
  below.Position.AutoPosition.Top = 2;
  TxlsChart& right = Chart(xcsPie, "Right", 0, 0);
  right.Position.PositionType = cptAuto;
  right.Position.AutoPosition.Placement = cpRight;
  right.Position.AutoPosition.Left = 30;
  x.FileName = dir + "charts.xlsx";
  x.Execute();
  const std::string types = Py(x.FileName, R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for c in ws._charts:
    a = c.anchor._from
    print(type(c).__name__, getattr(c, 'grouping', ''), a.col, a.row, c.legend is None)
)PY");
  // Flat charts for the 3-D styles, columns for surfaces.
  EXPECT_EQ(types,
            "BarChart clustered 4 0 False\n"
            "BarChart clustered 10 0 False\n"
            "BarChart clustered 16 0 False\n"
            "BarChart clustered 4 13 False\n"
            "LineChart standard 10 13 True\n"
            "LineChart standard 16 13 False\n"
            "LineChart standard 4 26 False\n"
            "PieChart  10 26 False\n"
            "PieChart  16 26 False\n"
            "AreaChart standard 4 39 False\n"
            "AreaChart standard 10 39 False\n"
            "BarChart clustered 16 39 False\n"
            "BarChart clustered 4 52 False\n"
            "RadarChart  10 52 False\n"
            "RadarChart  16 52 False\n"
            "BarChart clustered 0 13 False\n"
            "PieChart  33 0 False\n")
      << types;
  std::string pdf = Shell(ShellQuote(test::kOfficeConvert) + " " + ShellQuote(dir) + " pdf " +
                          ShellQuote(dir + "charts.xlsx") + " >/dev/null && pdftotext " +
                          ShellQuote(dir + "charts.pdf") + " -");
  EXPECT_THAT(pdf, HasSubstr("Chart 13"));
}

TEST_F(XlsxExtras, MergeableRangesLeaveOutWhatThePackageRefuses) {
  TxlsMergedCellList list;
  auto add = [&list](int r1, int c1, int r2, int c2) {
    TxlsMergedCells& m = list.Add();
    m.FirstRow = r1, m.FirstCol = c1, m.LastRow = r2, m.LastCol = c2;
  };
  add(2, 2, 3, 3);          // kept
  add(3, 3, 4, 4);          // overlaps the first at C3
  add(5, 1, 2, 1);          // reversed corners: kept, A2:A5
  add(0, 1, 2, 2);          // invalid
  add(7, 7, 7, 7);          // one cell
  add(1, 16384, 2, 16385);  // past the last column
  add(4, 4, 5, 5);          // touches nothing kept: D4 is free once the second range is out
  const auto kept = TxlsxExtras::MergeableRanges(list);
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0], &list[0]);
  EXPECT_EQ(kept[1], &list[2]);
  EXPECT_EQ(kept[2], &list[6]);
}

// A sheet without images gets its background: the picture part names a picture in the file.
TEST_F(XlsxExtras, BackgroundOfASheetWithoutImages) {
  x.Extras.Background.FileName = dir + "blue.jpg";
  x.FileName = dir + "paper.xlsx";
  x.Execute();
  EXPECT_THAT(Shell("unzip -p " + ShellQuote(x.FileName) + " xl/worksheets/sheet1.xml"),
              HasSubstr("<picture r:id="));
  EXPECT_THAT(
      Shell("unzip -p " + ShellQuote(x.FileName) +
            " xl/worksheets/_rels/sheet1.xml.rels; unzip -l " + ShellQuote(x.FileName)),
      AllOf(HasSubstr("Target=\"../media/image1.jpeg\""), HasSubstr("xl/media/image1.jpeg")));
}

// A memo's CR LF would show as a stray "_x000D_" in some readers and vanish in others: cells keep
// LF alone, and the cells that hold a line break wrap so that every line shows.
TEST_F(XlsxExtras, LineBreaksAreLineFeedsInWrappingCells) {
  test::TMemDataSet memo;
  memo.AddField("NOTE", ftString, 40);
  memo.AddRow({"first\r\nsecond\rthird"});
  memo.AddRow({"one line"});
  memo.Open();
  x.SetDataSet(&memo);
  x.FileName = dir + "memo.xlsx";
  x.Execute();
  EXPECT_EQ(Py(x.FileName, R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for ref in ['A2', 'A3']:
    print(repr(ws[ref].value), ws[ref].alignment.wrap_text)
)PY"),
            "'first\\nsecond\\nthird' True\n"
            "'one line' None\n");
}

// A wrapping cell keeps the look its row strip gives it, a single strip included (it used to fall
// back to the data format), and so does a cell whose look the data event changes.
TEST_F(XlsxExtras, WrappingAndEventCellsKeepTheirRowStrip) {
  test::TMemDataSet memo;
  memo.AddField("NOTE", ftString, 40);
  memo.AddRow({"first\r\nsecond"});
  memo.AddRow({"one line"});
  memo.Open();
  x.SetDataSet(&memo);
  x.StripType = ssRow;
  TxlsFormat& strip = x.StripStyles.Add();
  strip.Fill.Pattern = ptSolid;
  strip.Fill.Background = clrYellow;
  x.FileName = dir + "strip.xlsx";
  x.Execute();
  x.OnGetDataParams = [](TObject*, int, int, int row, TxlsFormat& look, std::string&) {
    if (row == 2) look.Font.Set(xfsItalic, true);
  };
  x.FileName = dir + "strip-event.xlsx";
  x.Execute();
  const char* read = R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for ref in ['A2', 'A3']:
    c = ws[ref]
    print(ref, c.fill.fgColor.rgb, bool(c.alignment.wrap_text), bool(c.font.i))
)PY";
  EXPECT_EQ(Py(dir + "strip.xlsx", read),
            "A2 FFFFFF00 True False\n"
            "A3 FFFFFF00 False False\n");
  EXPECT_EQ(Py(dir + "strip-event.xlsx", read),
            "A2 FFFFFF00 True False\n"
            "A3 FFFFFF00 False True\n");
}

// The extras come from an options file for --type xlsx as for --type xls.
TEST(XlsxExtrasCli, ExtrasFileApplies) {
  std::string dir = test::FreshFolder("xlsx-extras-cli");
  std::ofstream(dir + "extras.cfg") << "[XLS_NOTE_0]\nCol=2\nRow=3\n"
                                       "[XLS_NOTE_0_LINES]\nline0=Checked\n"
                                       "[XLS_HYPERLINK_0]\nCol=6\nRow=1\nStyle=0\nTitle=Site\n"
                                       "Target=http://example.com/\n"
                                       "[XLS_MERGED_CELL_0]\nFirstCol=6\nFirstRow=4\nLastCol=8\n"
                                       "LastRow=5\n";
  auto r = test::Cli({"--db", "sqlite:" + test::DemoDatabase(), "--table", "products", "--type",
                      "xlsx", "-o", dir + "p.xlsx", "--xls-extras", dir + "extras.cfg"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string o = ReadExtras(dir + "p.xlsx");
  EXPECT_THAT(o, HasSubstr("comment B3 'Checked'\n"));
  EXPECT_THAT(o, HasSubstr("link F1 'http://example.com/'\n"));
  EXPECT_THAT(o, HasSubstr("merged F4:H5\n"));
}

}  // namespace
}  // namespace morvale
