// The extra items of a sheet as values: the picture names, the options-file sections of every
// kind and the lists reached from text as "Notes.1.Lines".
#include <gtest/gtest.h>

#include "export/core/inifile.h"
#include "export/core/properties.h"
#include "export/workbook/exportworkbook.h"
#include "tests/export/workbook/workbook_support.h"
#include "tests/support/envguard.h"

namespace morvale {
namespace {

TEST(XlsPictures, NamesAreUniqueAndNeverEmpty) {
  TxlsPictures p;
  EXPECT_EQ(p.Add().Name(), "Picture_0");
  p.SetName(p[0], "Logo");
  EXPECT_EQ(p.Add().Name(), "Picture_0");
  EXPECT_EQ(p.Add().Name(), "Picture_1");
  try {
    p.SetName(p[1], "LOGO");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "A picture LOGO already exists");
  }
  EXPECT_THROW(SetPropertyText(p[2], "Name", ""), Exception);
  p.SetName(p[0], "logo");  // its own name in another case
  EXPECT_EQ(p.IndexOf("LOGO"), 0);
  TxlsImages images;
  images.Add().Title = "image_1";
  EXPECT_EQ(images.Add().Title, "Image_0");
  EXPECT_EQ(images.Add().Title, "Image_2");
}

// --- options-file sections
// --------------------------------------------------------------------------

TEST(XlsItemsIni, NotesChartsAndCellsSaveAndLoadBack) {
  TIniFile ini(test::WorkbookTempPath("items.cfg"));
  TxlsNote note;
  note.Row = 4, note.Col = 2;
  note.Lines = {"first", "second", "third"};
  note.Format.Transparency = 40;
  note.SaveToIni(ini, "XLS_NOTE_0");
  EXPECT_EQ(ini.ReadString("XLS_NOTE_0_LINES", "line2", ""), "third");
  TxlsNote back;
  back.LoadFromIni(ini, "XLS_NOTE_0");
  EXPECT_EQ(back.Lines, note.Lines);
  EXPECT_EQ(back.Row, 4);
  EXPECT_EQ(back.Format.Transparency, 40);

  TxlsChart chart;
  chart.Style = xcsRadar;
  chart.Position.PositionType = cptCustom;
  chart.Position.CustomPosition.X2 = 9;
  for (const char* f : {"A", "B"}) chart.Series.Add().DataColumn = f;
  chart.Series[1].Color = clrRed;
  chart.SaveToIni(ini, "XLS_CHART_0");
  TxlsChart five;
  for (int i = 0; i < 5; ++i) five.Series.Add();
  five.LoadFromIni(ini, "xls_chart_0");
  ASSERT_EQ(five.Series.Count(), 2);
  EXPECT_EQ(five.Series[1].DataColumn, "B");
  EXPECT_EQ(five.Series[1].Color, clrRed);
  EXPECT_EQ(five.Style, xcsRadar);
  EXPECT_EQ(five.Position.PositionType, cptCustom);
  EXPECT_EQ(five.Position.CustomPosition.X2, 9);
}

TEST(XlsItemsIni, ANumberSavedWithACommaLoadsWithAPoint) {
  TFormatSettings saved = DefaultFormatSettings();
  struct TRestore {
    TFormatSettings fs;
    ~TRestore() { SetDefaultFormatSettings(fs); }
  } restore{saved};
  TIniFile ini(test::WorkbookTempPath("cell.cfg"));
  SetDefaultFormatSettings(TFormatSettings::Russian());
  TxlsCell cell;
  cell.CellType = ctNumeric;
  cell.Col = 1, cell.Row = 1;
  cell.NumericValue = 1234.5;
  TryEncodeDate(2024, 2, 29, cell.DateTimeValue);
  cell.DateTimeValue += 0.5;
  cell.SaveToIni(ini, "XLS_CELL_0");
  EXPECT_EQ(ini.ReadString("XLS_CELL_0", "Separator", ""), ",");
  EXPECT_EQ(ini.ReadString("XLS_CELL_0", "NumericValue", ""), "1234,5");
  SetDefaultFormatSettings(TFormatSettings::English());
  TxlsCell back;
  back.LoadFromIni(ini, "XLS_CELL_0");
  EXPECT_EQ(back.NumericValue, 1234.5);
  EXPECT_EQ(back.CellType, ctNumeric);
  EXPECT_DOUBLE_EQ(back.DateTimeValue, cell.DateTimeValue);
  EXPECT_EQ(DefaultFormatSettings().DecimalSeparator, ".");

  ini.WriteString("XLS_CELL_0", "NumericValue", "12x");
  EXPECT_THROW(back.LoadFromIni(ini, "XLS_CELL_0"), EConvertError);
  ini.WriteString("XLS_CELL_0", "NumericValue", "1");
  ini.WriteInteger("XLS_CELL_0", "Month", 13);
  EXPECT_THROW(back.LoadFromIni(ini, "XLS_CELL_0"), EConvertError);
}

TEST(XlsItems, ADateCellWithoutAValueTakesTheExportsDate) {
  // A new date cell holds today, and a text that is no date reads as now: with
  // SOURCE_DATE_EPOCH set, that day and moment, so that the workbook is the same on any day.
  test::TEnvGuard pinned("SOURCE_DATE_EPOCH", "1700000000");  // 2023-11-14 22:13:20 UTC
  TxlsCell cell;
  EXPECT_EQ(cell.DateTimeValue, EncodeDate(2023, 11, 14));
  cell.CellType = ctDateTime;
  cell.SetValue("not a date");
  EXPECT_DOUBLE_EQ(cell.DateTimeValue,
                   EncodeDate(2023, 11, 14) + (22 * 3600 + 13 * 60 + 20) / 86400.0);
}

TEST(XlsItemsIni, AWholeListRoundTripsAndHelperSectionsNeverBecomeItems) {
  TExportWorkbook x;
  TxlsHyperlink& link = x.Extras.Hyperlinks.Add();
  link.Title = "t", link.Target = "http://x/", link.Row = 1, link.Col = 1;
  EXPECT_EQ(link.Format.Font.Color, clrBlue);  // from the options' hyperlink format
  x.Extras.Notes.Add().Lines = {"n"};
  TxlsChart& chart = x.Extras.Charts.Add();
  chart.Series.Add();
  x.Extras.Cells.Add().StringValue = "fixed";
  x.Extras.MergedCells.Add().LastRow = 3;
  SetPropertyText(x, "Pictures.0.Name", "logo");
  x.Pictures[0].FileName = "logo.png";
  x.Extras.Images.Add().PictureName = "logo";
  x.Extras.Background.FileName = "back.jpg";
  const std::string file = test::WorkbookTempPath("extras.cfg");
  {
    TIniFile ini(file);
    x.SaveExtrasToIni(ini);
  }
  TExportWorkbook y;
  y.Extras.Notes.Add();
  y.LoadExtrasFromIni(TIniFile(file));
  EXPECT_EQ(y.Extras.Hyperlinks.Count(), 1);
  EXPECT_EQ(y.Extras.Hyperlinks[0].Target, "http://x/");
  EXPECT_EQ(y.Extras.Notes.Count(), 1);
  EXPECT_EQ(y.Extras.Notes[0].Lines, TStringList({"n"}));
  EXPECT_EQ(y.Extras.Charts.Count(), 1);
  EXPECT_EQ(y.Extras.Charts[0].Series.Count(), 1);
  EXPECT_EQ(y.Extras.Cells.Count(), 1);
  EXPECT_EQ(y.Extras.Cells[0].StringValue, "fixed");
  EXPECT_EQ(y.Extras.MergedCells.Count(), 1);
  EXPECT_EQ(y.Extras.MergedCells[0].LastRow, 3);
  ASSERT_EQ(y.Pictures.Count(), 1);
  EXPECT_EQ(y.Pictures[0].Name(), "logo");
  EXPECT_EQ(y.Extras.Images.Count(), 1);
  EXPECT_EQ(y.Extras.Background.FileName, "back.jpg");
}

TEST(XlsItemsProperties, SetFromText) {
  TExportWorkbook x;
  SetPropertyText(x, "Notes.1.Lines", "a\nb");
  SetPropertyText(x, "Charts.0.Series.2.DataColumn", "PRICE");
  SetPropertyText(x, "Charts.0.Style", "xcsLine3d");
  SetPropertyText(x, "Cells.0.CellType", "ctNumeric");
  SetPropertyText(x, "Cells.0.Value", "2.5");
  SetPropertyText(x, "Background.FileName", "b.jpg");
  EXPECT_EQ(x.Extras.Notes.Count(), 2);
  EXPECT_EQ(x.Extras.Notes[1].Lines.Count(), 2);
  EXPECT_EQ(x.Extras.Charts[0].Series[2].DataColumn, "PRICE");
  EXPECT_EQ(x.Extras.Charts[0].Style, xcsLine3d);
  EXPECT_EQ(x.Extras.Cells[0].NumericValue, 2.5);
  EXPECT_EQ(GetPropertyText(x, "Notes"), "2");
  EXPECT_THROW(SetPropertyText(x, "Notes.x.Col", "1"), EPropertyError);
}

}  // namespace
}  // namespace morvale
