// Workbooks with every kind of extra, read by programs nobody here wrote: xlrd reads the notes,
// hyperlinks and merged ranges; LibreOffice opens the workbook and converts it to .xlsx, and
// openpyxl finds in that file the notes, links, merged ranges, images and charts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "export/core/platform.h"
#include "export/xls/exportxls.h"
#include "tests/support/demo.h"
#include "tests/support/memsources.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::ShellQuote;
using ::testing::HasSubstr;

std::string Read(const std::string& reader, const std::string& path) {
  std::string out;
  test::RunCommand("/usr/bin/python3 " MORVALE_SOURCE_DIR "/tests/export/xls/extrasread.py " +
                       reader + " " + ShellQuote(path) + " 2>&1",
                   out);
  return out;
}

// LibreOffice's .xlsx (or `to`) of the workbook: the converted file's path.
std::string ConvertToXlsx(const std::string& dir, const std::string& file,
                          const char* to = "xlsx") {
  const std::string out = test::OfficeConvert(dir, to, dir + file);
  EXPECT_NE(out.rfind("ERROR", 0), 0u) << out;
  return out;
}

class XlsExtrasReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string out;
    if (test::RunCommand("command -v soffice && /usr/bin/python3 -c 'import openpyxl, PIL'", out))
      GTEST_SKIP() << "LibreOffice, openpyxl or PIL is not installed";
    SetTextMetrics(&metrics_);
    x.SetFormatSettings(TFormatSettings::English());
    dir = test::FreshFolder("xls-extras");
    ds.AddField("NAME", ftString, 10);
    ds.AddField("AMOUNT", ftInteger);
    ds.AddField("QTY", ftInteger);
    for (int i = 0; i < 10; ++i)
      ds.AddRow({"item " + std::to_string(i), std::to_string(i * 10 + 5), std::to_string(i % 4)});
    ds.Open();
    x.SetDataSet(&ds);
    // Pictures made by an independent library: a PNG and a JPEG.
    ASSERT_EQ(test::RunCommand("cd " + ShellQuote(dir) +
                                   " && /usr/bin/python3 -c \"from PIL import Image; "
                                   "Image.new('RGB', (120, 40), (200, 30, 30)).save('red.png'); "
                                   "Image.new('RGB', (64, 64), (30, 30, 200)).save('blue.jpg')\"",
                               out),
              0)
        << out;
  }
  void TearDown() override { SetTextMetrics(nullptr); }

  TxlsChart& Chart(TxlsChartStyle style, const std::string& title, int x1, int y1) {
    TxlsChart& c = x.Extras.Charts.Add();
    c.Style = style;
    c.Title = title;
    c.CategoryLabelsColumn = "NAME";
    c.Position.PositionType = cptCustom;
    c.Position.CustomPosition = {};
    c.Position.CustomPosition.X1 = x1, c.Position.CustomPosition.Y1 = y1;
    c.Position.CustomPosition.X2 = x1 + 5, c.Position.CustomPosition.Y2 = y1 + 12;
    TxlsChartSeries& s = c.Series.Add();
    s.DataColumn = "AMOUNT";
    s.Title = "Amount";
    return c;
  }

  TFixedTextMetrics metrics_;
  test::TMemDataSet ds;
  TExportXLS x;
  std::string dir;
};

TEST_F(XlsExtrasReaders, EveryKindOfExtraReadsBack) {
  TxlsNote& note = x.Extras.Notes.Add();
  note.Row = 2, note.Col = 1;
  note.Lines = {"Checked", "twice"};
  TxlsNote& gradient = x.Extras.Notes.Add();
  gradient.Row = 6, gradient.Col = 3;
  gradient.Lines = {"Заметка"};
  gradient.Format.FillType = nftGradient;
  gradient.Format.Gradient = ngrFromCenter;
  gradient.Format.Transparency = 30;
  TxlsHyperlink& url = x.Extras.Hyperlinks.Add();
  url.Row = 1, url.Col = 6, url.Title = "Site", url.Target = "http://example.com/prices";
  url.ScreenTip = "Prices";
  TxlsHyperlink& file = x.Extras.Hyperlinks.Add();
  file.Row = 2, file.Col = 6, file.Title = "Notes", file.Target = dir + "notes.txt";
  file.Style = hlsLocalFile;
  TxlsCell& cell = x.Extras.Cells.Add();
  cell.Row = 4, cell.Col = 6, cell.StringValue = "Fixed text";
  TxlsMergedCells& m = x.Extras.MergedCells.Add();
  m.FirstRow = 4, m.FirstCol = 6, m.LastRow = 5, m.LastCol = 8;
  x.Pictures.Add().FileName = dir + "red.png";
  x.Pictures.Add().FileName = dir + "blue.jpg";
  TxlsImage& png = x.Extras.Images.Add();
  png.PictureName = "Picture_0", png.Col = 9, png.Row = 1;
  TxlsImage& jpg = x.Extras.Images.Add();
  jpg.PictureName = "Picture_1", jpg.Col = 9, jpg.Row = 8, jpg.Zoom = 50;
  x.Extras.Background.FileName = dir + "blue.jpg";
  Chart(xcsColumn, "Amounts", 1, 14).Series.Add().DataColumn = "QTY";
  x.FileName = dir + "book.xls";
  x.Execute();

  const std::string xlrd = Read("xlrd", dir + "book.xls");
  EXPECT_THAT(xlrd, HasSubstr("note 1 0 'Checked\\ntwice'\n"));
  EXPECT_THAT(xlrd, HasSubstr("note 5 2 'Заметка'\n"));
  EXPECT_THAT(xlrd, HasSubstr("link 0 5 'Site' 'http://example.com/prices' 'Prices'\n"));
  EXPECT_THAT(xlrd, HasSubstr("link 1 5 'Notes' '" + dir + "notes.txt' None\n"));
  EXPECT_THAT(xlrd, HasSubstr("merged 3 5 5 8\n"));

  ConvertToXlsx(dir, "book.xls");
  const std::string o = Read("openpyxl", dir + "book.xlsx");
  EXPECT_THAT(o, HasSubstr("comment A2 'Checked\\ntwice'\n"));
  EXPECT_THAT(o, HasSubstr("comment C6 'Заметка'\n"));
  EXPECT_THAT(o, HasSubstr("link F1 'http://example.com/prices'\n"));
  EXPECT_THAT(o, HasSubstr("notes.txt'\n"));
  EXPECT_THAT(o, HasSubstr("merged F4:H5\n"));
  EXPECT_THAT(o, HasSubstr("image 9 1\n"));
  EXPECT_THAT(o, HasSubstr("image 9 8\n"));
  EXPECT_THAT(o, HasSubstr("chart BarChart 'Amounts' 'Sheet 1'!$B$2:$B$11|'Sheet 1'!$A$2:$A$11 "
                           "'Sheet 1'!$C$2:$C$11|'Sheet 1'!$A$2:$A$11\n"));
}

TEST_F(XlsExtrasReaders, AChartOfEveryStyleOpens) {
  const char* names[] = {"Column",    "Column 3D", "Bar",        "Bar 3D", "Line",
                         "Line Mark", "Line 3D",   "Pie",        "Pie 3D", "Area",
                         "Area 3D",   "Surface",   "Surface 3D", "Radar",  "Radar Area"};
  for (int s = 0; s <= xcsRadarArea; ++s) {
    TxlsChart& c =
        Chart(static_cast<TxlsChartStyle>(s), names[s], 5 + 6 * (s % 3), 1 + 13 * (s / 3));
    c.AutoColor = s % 2 == 0;
    c.LegendPlacement = static_cast<TxlsChartLegendPlacement>(s % 5);
  }
  x.FileName = dir + "charts.xls";
  x.Execute();
  ConvertToXlsx(dir, "charts.xls");
  const std::string o = Read("openpyxl", dir + "charts.xlsx");
  // LibreOffice has no surface charts: it shows them as columns.
  const char* types[] = {"BarChart",    "BarChart3D",  "BarChart",   "BarChart3D", "LineChart",
                         "LineChart",   "LineChart3D", "PieChart",   "PieChart3D", "AreaChart",
                         "AreaChart3D", "BarChart",    "BarChart3D", "RadarChart", "RadarChart"};
  for (int s = 0; s <= xcsRadarArea; ++s)
    EXPECT_THAT(o, HasSubstr(std::string("chart ") + types[s] + " '" + names[s] +
                             "' 'Sheet 1'!$B$2:$B$11|'Sheet 1'!$A$2:$A$11\n"))
        << names[s];
  // The first page as LibreOffice draws it, kept in the build folder to look at.
  ConvertToXlsx(dir, "charts.xls", "pdf");
  std::string out;
  test::RunCommand("mkdir -p " MORVALE_BINARY_DIR
                   "/test-output/xls && pdftoppm -png -r 50 -f 1 "
                   "-l 1 " +
                       ShellQuote(dir + "charts.pdf") +
                       " " MORVALE_BINARY_DIR "/test-output/xls/charts",
                   out);
}

}  // namespace
}  // namespace morvale
