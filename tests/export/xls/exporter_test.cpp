// The workbook exporter end to end: files read back by xlrd and olefile, and the records the run
// writes checked where their layout matters.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "export/core/platform.h"
#include "export/core/properties.h"
#include "export/xls/exportxls.h"
#include "export/xls/records.h"
#include "tests/export/xls/biff_support.h"
#include "tests/support/demo.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::TMemDataSet;
using ::testing::HasSubstr;
using ::testing::Not;

class XlsExport : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTextMetrics(&metrics_);
    x.SetFormatSettings(TFormatSettings::English());
  }
  void TearDown() override { SetTextMetrics(nullptr); }

  // Runs the export into a fresh file and returns the readers' dump.
  std::string Run(const std::string& name = "book.xls") {
    path = test::TempPath(name);
    x.FileName = path;
    x.Execute();
    return test::DumpWorkbook(path);
  }
  std::vector<test::TRecord> Records() {
    return test::ParseRecords(test::ReadWorkbookStream(path));
  }
  // The data of every record with that id, as hex.
  std::vector<std::string> RecordsOf(uint16_t id) {
    std::vector<std::string> out;
    for (const auto& r : Records())
      if (r.id == id) out.push_back(test::Hex(r.data));
    return out;
  }

  TFixedTextMetrics metrics_;
  TExportXLS x;
  std::string path;
};

TEST_F(XlsExport, SingleSheetWithCaptionsAndTypedCells) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  x.SetDataSet(&ds);
  std::string dump = Run();
  EXPECT_THAT(dump, HasSubstr("streams: Workbook\n"));
  EXPECT_THAT(dump, HasSubstr("sheet 0 'Sheet 1' rows=5 cols=4\n"));
  // Captions: bold, one shared XF; the memo column is not exported.
  EXPECT_THAT(dump, HasSubstr("cell 0 0 text 'ID' xf=20 bold=1 fmt='General'\n"));
  EXPECT_THAT(dump, HasSubstr("cell 0 3 text 'BORN' xf=20 bold=1"));
  // Numbers, texts, dates with the column formats; NULLs are blanks that keep the column style.
  EXPECT_THAT(dump, HasSubstr("cell 1 0 number 1.0 xf=16 bold=0 fmt='#,###,##0'\n"));
  EXPECT_THAT(dump, HasSubstr("cell 1 1 text 'Bolt' xf=17 bold=0 fmt='General'\n"));
  EXPECT_THAT(dump, HasSubstr("cell 1 2 number 12.5 xf=18 bold=0 fmt='#,###,##0.00'\n"));
  EXPECT_THAT(dump, HasSubstr("cell 1 3 date 39514.0 xf=19 bold=0 fmt='m/d/yyyy'\n"));
  EXPECT_THAT(dump, HasSubstr("cell 2 1 text 'Гайка \"M6\"' xf=17"));
  EXPECT_THAT(dump, HasSubstr("cell 3 2 blank '' xf=18"));
  EXPECT_THAT(dump, HasSubstr("cell 3 3 blank '' xf=19"));
  EXPECT_THAT(dump, HasSubstr("cell 4 0 number -4.0 xf=16"));
  EXPECT_THAT(dump, HasSubstr("cell 4 2 number -1234567.891 xf=18"));
  EXPECT_THAT(dump, HasSubstr("cell 4 3 date 36585.0 xf=19"));
  // The page footer and the column widths from the fields' display widths.
  EXPECT_THAT(RecordsOf(biff::kFooter),
              ::testing::ElementsAre("0D 00 00 50 61 67 65 20 26 50 20 6F 66 20 26 4E"));
  EXPECT_THAT(dump, HasSubstr("colwidth 0 1824\n"));  // (6 + 1 + 1/8) * 256
  EXPECT_THAT(dump, HasSubstr("colwidth 1 5408\n"));  // (20 + 1 + 1/8) * 256
}

// The data of one FORMULA record from its tokens on (after the 22-byte cell part).
std::string FormulaTokens(const std::string& hex) {
  return hex.substr(22 * 3);
}

TEST_F(XlsExport, DatesTimesBooleansAndUnconvertibleNumbers) {
  TMemDataSet ds;
  ds.AddField("D", ftDate, 0, 10);
  ds.AddField("T", ftTime, 0, 10);
  ds.AddField("B", ftBoolean, 0, 5);
  ds.AddField("N", ftFloat, 0, 10);
  ds.AddField("S", ftString, 10);
  ds.AddField("G", ftGraphic, 10);
  ds.AddRow({"1/1/1900", "12:00:00 PM", "TRUE", "abc", "", "GIF89a"});
  ds.AddRow({"3/1/1900", "1/2/1900 6:00:00 AM", "yes", "1.5e3", "x", ""});
  ds.AddRow({"2/28/1900", "", "True", "", "null", "null"});
  ds.Open();
  x.SetDataSet(&ds);
  for (const char* f : {"D", "T", "B", "N", "S", "G"}) x.ExportedFields.Add(f);
  x.Formats.SetNullString("null");
  std::string dump = Run();
  // 1 January 1900 is serial 1 and 1 March 1900 serial 61 in the 1900 system.
  EXPECT_THAT(dump, HasSubstr("cell 1 0 date 1.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 2 0 date 61.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 3 0 date 59.0 "));
  // A time of day alone has no date serial: it is written as text in the column's format.
  EXPECT_THAT(dump, HasSubstr("cell 1 1 text '12:00 PM' "));
  EXPECT_THAT(dump, HasSubstr("cell 2 1 date 2.25 "));
  EXPECT_THAT(dump, HasSubstr("cell 1 2 bool 1.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 2 2 bool 0.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 3 2 bool 1.0 "));
  // Letters in a numeric column give 0; an empty text is a blank; the NULL text stays text.
  EXPECT_THAT(dump, HasSubstr("cell 1 3 number 0.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 2 3 number 1500.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 1 4 blank '' "));
  EXPECT_THAT(dump, HasSubstr("cell 3 4 text 'null' "));
  // A column of unknown type (a picture) writes no value, only blanks and the NULL text.
  EXPECT_THAT(dump, Not(HasSubstr("cell 1 5 ")));
  EXPECT_THAT(dump, HasSubstr("cell 2 5 blank '' "));
  EXPECT_THAT(dump, HasSubstr("cell 3 5 text 'null' "));
  // The time format is written in the spreadsheet's own codes (minutes "mm", "AM/PM").
  EXPECT_THAT(dump, HasSubstr("fmt='h:mm AM/PM'"));
}

TEST_F(XlsExport, HeaderLinesAggregatesAndFooter) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  x.SetDataSet(&ds);
  x.Header.Add("A\tB");
  x.HeaderRows = 3;
  x.Footer.Add("end");
  x.FieldFormats.ForField("PRICE").Aggregate = aggSum;
  x.FieldFormats.ForField("ID").Aggregate = aggMax;
  x.FieldFormats.ForField("NOSUCH").Aggregate = aggMin;
  std::string dump = Run();
  EXPECT_THAT(dump, HasSubstr("cell 0 0 text 'A' "));
  EXPECT_THAT(dump, HasSubstr("cell 0 1 text 'B' "));
  EXPECT_THAT(dump, HasSubstr("cell 3 0 text 'ID' "));
  EXPECT_THAT(dump, HasSubstr("cell 4 0 number 1.0 "));
  // The aggregate row below the data, then the footer line.
  EXPECT_THAT(dump, HasSubstr("cell 8 0 number 0.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 9 0 text 'end' "));
  std::vector<std::string> formulas = RecordsOf(biff::kFormula);
  ASSERT_EQ(formulas.size(), 2u);
  // =MAX(A5:A8) and =SUM(C5:C8): rows 4-7, the data rows.
  EXPECT_EQ(formulas[0].substr(0, 6 * 3), "08 00 00 00 10 00 ");
  EXPECT_EQ(FormulaTokens(formulas[0]), "25 04 00 07 00 00 C0 00 C0 42 01 07 00");
  EXPECT_EQ(FormulaTokens(formulas[1]), "25 04 00 07 00 02 C0 02 C0 42 01 04 00");
  // Without aggregates no extra row is written.
  x.FieldFormats.Clear();
  x.Footer.Clear();
  EXPECT_THAT(Run("plain.xls"), HasSubstr("rows=8 cols=4"));
}

TEST_F(XlsExport, SharedStylesStripsAndDefaultCaptionFormat) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  x.SetDataSet(&ds);
  // A caption format that is the default format uses XF 15.
  x.Options.CaptionsFormat.Reset();
  x.Options.CaptionsFormat.Fill.Foreground = clrWhite;
  // Two columns with the same look and number format share one XF.
  x.UserFormats.Add("PRICE=0.0");
  x.UserFormats.Add("ID=0.0");
  for (const char* f : {"ID", "PRICE"}) x.FieldFormats.ForField(f).Fill.Pattern = ptSolid;
  std::string dump = Run();
  EXPECT_THAT(dump, HasSubstr("cell 0 0 text 'ID' xf=15 "));
  EXPECT_THAT(dump, HasSubstr("cell 1 0 number 1.0 xf=16 bold=0 fmt='0.0'"));
  EXPECT_THAT(dump, HasSubstr("cell 1 2 number 12.5 xf=16 bold=0 fmt='0.0'"));

  // Row strips: record r takes strip style r mod 3, counting records that were refused.
  x.FieldFormats.Clear();
  x.UserFormats.Clear();
  x.StripType = ssRow;
  for (TxlsColor c : {clrRed, clrGreen, clrBlue}) {
    TxlsFormat& f = x.StripStyles.Add();
    f.Fill.Pattern = ptSolid;
    f.Fill.Background = c;
  }
  int seen = 0;
  x.OnBeforeExportRow = [&seen](TObject*, TExportRow&, bool& accept) { accept = seen++ != 1; };
  dump = Run("strips.xls");
  // Records 0, 2, 3 are written in rows 1, 2, 3 with strips 0, 2, 0.
  std::vector<std::string> xf(4);
  for (int row = 1; row <= 3; ++row) {
    std::string key = "cell " + std::to_string(row) + " 1 text ";
    auto p = dump.find(key);
    ASSERT_NE(p, std::string::npos) << key;
    auto q = dump.find("xf=", p);
    xf[static_cast<size_t>(row)] = dump.substr(q, dump.find(' ', q) - q);
  }
  EXPECT_EQ(xf[1], xf[3]);
  EXPECT_NE(xf[1], xf[2]);
  EXPECT_THAT(dump, HasSubstr("rows=4 cols=4"));
}

TEST_F(XlsExport, SheetModeWritesExportedSheetsInOrder) {
  TMemDataSet a, b;
  test::FillSampleDataSet(a);
  b.AddField("X", ftInteger, 0, 4);
  b.AddRow({"7"});
  b.Open();
  TxlsSheet& s1 = x.Sheets.Add();
  s1.SetDataSet(&a);
  s1.Title = "Parts";
  TxlsSheet& skipped = x.Sheets.Add();
  skipped.Exported = false;
  TxlsSheet& s3 = x.Sheets.Add();
  s3.SetDataSet(&b);
  EXPECT_EQ(s3.Title, "Sheet 3");
  std::vector<std::string> events;
  x.OnBeforeExportSheet = [&](TObject*, int i) { events.push_back("before " + std::to_string(i)); };
  x.OnAfterExportSheet = [&](TObject*, int i) { events.push_back("after " + std::to_string(i)); };
  x.OnAdvancedExportedRecord = [&](TObject*, int sheet, int recNo) {
    events.push_back(std::to_string(sheet) + ":" + std::to_string(recNo));
  };
  int runCount = 0;
  x.OnExportedRecord = [&](TObject*, int recNo) { runCount = recNo; };
  x.OnBeginExport = [&](TObject*) { events.push_back("begin"); };
  x.OnEndExport = [&](TObject*) { events.push_back("end"); };
  // The exporter's own source and field list play no part in sheet mode.
  x.SetDataSet(&b);
  x.ExportedFields.Add("NOSUCH");
  std::string dump = Run();
  EXPECT_THAT(dump, HasSubstr("sheet 0 'Parts' rows=5 cols=4\n"));
  EXPECT_THAT(dump, HasSubstr("sheet 1 'Sheet 3' rows=2 cols=1\n"));
  EXPECT_THAT(dump, HasSubstr("cell 1 0 number 7.0 "));
  EXPECT_EQ(events, (std::vector<std::string>{"begin", "before 0", "0:1", "0:2", "0:3", "0:4",
                                              "after 0", "before 2", "2:1", "after 2", "end"}));
  EXPECT_EQ(runCount, 5);
  EXPECT_EQ(RecordsOf(biff::kBoundSheet).size(), 2u);
  // The sheets stay as they were: single-sheet mode would have added a temporary one.
  EXPECT_EQ(x.Sheets.Count(), 3);
}

TEST_F(XlsExport, AbortEndsOneSheetAndTheNextRuns) {
  TMemDataSet a, b;
  test::FillSampleDataSet(a);
  test::FillSampleDataSet(b);
  x.Sheets.Add().SetDataSet(&a);
  x.Sheets.Add().SetDataSet(&b);
  x.OnAdvancedExportedRecord = [this](TObject*, int sheet, int recNo) {
    if (sheet == 0 && recNo == 2) x.Abort();
  };
  std::string dump = Run();
  EXPECT_THAT(dump, HasSubstr("sheet 0 'Sheet 1' rows=3 cols=4\n"));
  EXPECT_THAT(dump, HasSubstr("sheet 1 'Sheet 2' rows=5 cols=4\n"));
}

TEST_F(XlsExport, AnAbortBeforeTheRecordsStopsTheRun) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  x.SetDataSet(&ds);
  bool ended = false, sheetDone = false;
  x.OnEndExport = [&](TObject*) { ended = true; };
  x.OnAfterExportSheet = [&](TObject*, int) { sheetDone = true; };
  x.OnGetCaptionParams = [this](TObject*, int, int, TxlsFormat&, std::string&) { x.Abort(); };
  x.FileName = test::TempPath("stopped.xls");
  std::filesystem::remove(x.FileName);
  x.Execute();
  EXPECT_FALSE(ended);
  EXPECT_FALSE(sheetDone);
  EXPECT_EQ(x.Sheets.Count(), 0);
  // A stopped run writes nothing: no unfinished workbook takes the name.
  EXPECT_FALSE(std::filesystem::exists(x.FileName));
}

TEST_F(XlsExport, RowsBeyondASheetContinueOnAFurtherSheet) {
  TMemDataSet ds;
  ds.AddField("N", ftInteger, 0, 6);
  ds.AddField("T", ftString, 8);
  for (int i = 0; i < 70000; ++i) ds.AddRow({std::to_string(i), i % 2 ? "odd" : "even"});
  ds.Open();
  x.SetDataSet(&ds);
  x.Options.SetSheetTitle("Big");
  x.FieldFormats.ForField("N").Aggregate = aggSum;
  std::string dump = Run();
  // 65,535 records fill the first sheet below its caption row; the rest follow on "Big (2)",
  // whose first row repeats the captions.
  EXPECT_THAT(dump, HasSubstr("sheet 0 'Big' rows=65536 cols=2\n"));
  EXPECT_THAT(dump, HasSubstr("cell 65535 0 number 65534.0 "));
  EXPECT_THAT(dump, HasSubstr("sheet 1 'Big (2)' rows=4467 cols=2\n"));
  EXPECT_THAT(dump, HasSubstr("cell 0 0 text 'N' xf="));
  EXPECT_THAT(dump, HasSubstr("cell 1 0 number 65535.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 4465 0 number 69999.0 "));
  // The sum covers both parts: the first through its EXTERNSHEET entry.
  std::vector<std::string> formulas = RecordsOf(biff::kFormula);
  ASSERT_EQ(formulas.size(), 1u);
  EXPECT_EQ(FormulaTokens(formulas[0]),
            "3B 00 00 01 00 FF FF 00 C0 00 C0 25 01 00 71 11 00 C0 00 C0 42 02 04 00");
  EXPECT_EQ(RecordsOf(biff::kExternSheet),
            std::vector<std::string>{"02 00 00 00 00 00 00 00 00 00 01 00 01 00"});
  EXPECT_EQ(RecordsOf(biff::kDimensions)[0], "00 00 00 00 00 00 01 00 00 00 02 00 00 00");
}

TEST_F(XlsExport, MoreColumnsThanASheetHoldsAreRefusedBeforeWriting) {
  TMemDataSet ds;
  for (int i = 0; i < 60; ++i) ds.AddField("F" + std::to_string(i), ftInteger, 0, 4);
  ds.Open();
  x.SetDataSet(&ds);
  x.StartDataCol = 200;
  x.FileName = test::TempPath("wide.xls");
  std::filesystem::remove(x.FileName);
  try {
    x.Execute();
    FAIL() << "260 columns were accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(),
                 "Sheet Sheet 1: 60 columns starting at column 200 do not fit the 256 columns of a "
                 "sheet");
  }
  EXPECT_FALSE(std::filesystem::exists(x.FileName));
  EXPECT_EQ(x.Sheets.Count(), 0);
  x.StartDataCol = 196;
  EXPECT_THAT(Run(), HasSubstr("rows=1 cols=256"));
}

TEST_F(XlsExport, SourceErrorsComeBeforeAnyFile) {
  x.FileName = test::TempPath("none.xls");
  std::filesystem::remove(x.FileName);
  EXPECT_THROW(
      {
        try {
          x.Execute();
        } catch (const Exception& e) {
          EXPECT_STREQ(e.what(),
                       "Sheet Sheet 1 define with error: Источник данных (DataSet) не определен");
          throw;
        }
      },
      Exception);
  TMemDataSet empty;
  empty.AddField("A", ftString, 5);
  empty.Open();
  x.SetDataSet(&empty);
  x.ExportEmpty = false;
  EXPECT_THROW(x.Execute(), Exception);
  EXPECT_FALSE(std::filesystem::exists(x.FileName));
  x.FileName.clear();
  try {
    x.Execute();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Result file name not present");
  }
}

TEST_F(XlsExport, SettingsFromTextAndAutomaticWidths) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  x.SetDataSet(&ds);
  SetPropertyText(x, "Options.SheetTitle", "Orders");
  SetPropertyText(x, "AutoCalcColWidth", "true");
  SetPropertyText(x, "Options.CaptionsFormat.Font.Size", "12");
  SetPropertyText(x, "FieldFormats.PRICE.Aggregate", "aggAvg");
  SetPropertyText(x, "StripStyles.1.Fill.Pattern", "ptSolid");
  SetPropertyText(x, "ColumnsWidth.NAME", "2");
  EXPECT_EQ(x.StripStyles.Count(), 2);
  EXPECT_EQ(GetPropertyText(x, "Options.CaptionsFormat.Font.Style"), "xfsBold");
  EXPECT_THROW(SetPropertyText(x, "Options.CaptionsFormat.Font.Color", "nonsense"), EPropertyError);
  std::string dump = Run();
  EXPECT_THAT(dump, HasSubstr("sheet 0 'Orders' rows=6 cols=4\n"));
  // A 12-point caption font: FONT height 240 twips.
  bool big = false;
  for (const std::string& f : RecordsOf(biff::kFont)) big = big || f.substr(0, 5) == "F0 00";
  EXPECT_TRUE(big);
  // NAME grows from 2 to its longest text and a trailing I, "<tag> & 'q'I": 12 characters.
  EXPECT_THAT(dump, HasSubstr("colwidth 1 3072\n"));
  std::vector<std::string> formulas = RecordsOf(biff::kFormula);
  ASSERT_EQ(formulas.size(), 1u);
  EXPECT_EQ(FormulaTokens(formulas[0]), "25 01 00 04 00 02 C0 02 C0 42 01 05 00");
}

TEST_F(XlsExport, TheSameRunTwiceGivesTheSameStream) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  x.SetDataSet(&ds);
  x.FieldFormats.ForField("NAME").Font.Set(xfsItalic, true);
  Run("first.xls");
  std::string first = test::ReadWorkbookStream(path);
  Run("second.xls");
  EXPECT_EQ(test::ReadWorkbookStream(path), first);
}

TEST_F(XlsExport, SheetNamesReadersAccept) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  for (const char* t : {"Отчёт: продажи [2024/25] за весь долгий год", "Sheet", "sheet"}) {
    TxlsSheet& s = x.Sheets.Add();
    s.SetDataSet(&ds);
    s.Title = t;
  }
  std::string dump = Run();
  EXPECT_THAT(dump, HasSubstr("sheet 0 'Отчёт_ продажи _2024_25_ за вес'"));
  EXPECT_THAT(dump, HasSubstr("sheet 1 'Sheet'"));
  EXPECT_THAT(dump, HasSubstr("sheet 2 'sheet (2)'"));
}
TEST_F(XlsExport, EventsShapeTheCells) {
  TMemDataSet ds;
  test::FillSampleDataSet(ds);
  x.SetDataSet(&ds);
  x.StartDataCol = 1;
  x.Header.Add("Title");
  int headerCalls = 0;
  x.OnGetHeaderParams = [&](TObject*, int sheet, int col, int row, TxlsFormat&, std::string& s) {
    ++headerCalls;
    if (sheet == 0 && col == 3 && row == 0) s = "added";
  };
  x.OnGetBeforeDataParams = [](TObject*, int, int col, int row, TxlsFormat& f, std::string& s) {
    s = "r" + std::to_string(row) + "c" + std::to_string(col);
    f.Font.Set(xfsItalic, true);
  };
  x.OnGetCaptionParams = [](TObject*, int, int col, TxlsFormat&, std::string& caption) {
    if (col == 2) caption = "Name";
    if (col == 4) caption.clear();  // no caption cell
  };
  x.OnGetExportText = [](TObject*, int colNo, std::string& text) {
    if (colNo == 1 && text == "Bolt") text = "Screw";
  };
  // A handler that changes nothing: a column without a style of its own ("General", no field
  // format) takes the data format's look.
  x.UserFormats.Add("NAME=General");
  x.Options.DataFormat.Borders.Bottom.Style = bstThin;
  x.OnGetDataParams = [](TObject*, int, int, int, TxlsFormat&, std::string&) {};
  x.FieldFormats.ForField("PRICE").Aggregate = aggSum;
  x.OnGetAggregateParams = [](TObject*, int, int col, TxlsFormat&, std::string&,
                              std::string& value) {
    if (col == 0) value = "Total";
  };
  std::string dump = Run();
  EXPECT_EQ(headerCalls, 256);
  EXPECT_THAT(dump, HasSubstr("cell 0 0 text 'Title' "));
  EXPECT_THAT(dump, HasSubstr("cell 0 3 text 'added' "));
  EXPECT_THAT(dump, HasSubstr("cell 1 0 text 'r1c0' "));
  EXPECT_THAT(dump, HasSubstr("cell 2 0 text 'r2c0' "));
  EXPECT_THAT(dump, HasSubstr("cell 1 2 text 'Name' "));
  EXPECT_THAT(dump, Not(HasSubstr("cell 1 4 ")));
  EXPECT_THAT(dump, HasSubstr("cell 2 2 text 'Screw' "));
  EXPECT_THAT(dump, HasSubstr("cell 6 1 text 'Total' "));
  EXPECT_THAT(dump, HasSubstr("cell 6 3 number 0.0 "));
  // NAME's cells carry the data format's bottom border; the before-data cells are italic.
  std::string check = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
xf = b.xf_list[s.cell_xf_index(2, 2)]
print(xf.border.bottom_line_style, b.font_list[b.xf_list[s.cell_xf_index(2, 0)].font_index].italic)
)";
  std::string script = test::TempPath("check.py"), out;
  test::WriteFile(script, check);
  test::RunCommand(test::Python() + " " + script + " " + path, out);
  EXPECT_EQ(out, "1 1\n");
}

TEST_F(XlsExport, ColumnStripsAndRecordWindow) {
  TMemDataSet ds;
  for (int i = 0; i < 5; ++i) ds.AddField("C" + std::to_string(i), ftInteger, 0, 4);
  for (int r = 0; r < 6; ++r) ds.AddRow({"1", "2", "3", "4", std::to_string(r)});
  ds.Open();
  x.SetDataSet(&ds);
  x.StripType = ssCol;
  x.StripStyles.Add().Fill.Pattern = ptSolid;
  x.StripStyles.Add().Fill.Pattern = ptChess;
  x.FieldFormats.ForField("C1").Font.Size = 20;  // ignored: strips decide this sheet's look
  x.SkipRecCount = 1;
  x.ExportRecCount = 3;
  std::vector<int> skipped;
  x.OnSkippedRecord = [&](TObject*, int recNo) { skipped.push_back(recNo); };
  std::string dump = Run();
  EXPECT_EQ(skipped, std::vector<int>{1});
  EXPECT_THAT(dump, HasSubstr("rows=4 cols=5"));
  EXPECT_THAT(dump, HasSubstr("cell 1 4 number 1.0 "));
  EXPECT_THAT(dump, HasSubstr("cell 3 4 number 3.0 "));
  // Columns 0, 2, 4 share the first strip's XF, columns 1, 3 the second's.
  auto xfOf = [&dump](int col) {
    auto p = dump.find("cell 1 " + std::to_string(col) + " number");
    auto q = dump.find("xf=", p);
    return dump.substr(q, dump.find(' ', q) - q);
  };
  EXPECT_EQ(xfOf(0), xfOf(2));
  EXPECT_EQ(xfOf(0), xfOf(4));
  EXPECT_EQ(xfOf(1), xfOf(3));
  EXPECT_NE(xfOf(0), xfOf(1));

  // The current record alone.
  x.SkipRecCount = 0;
  x.ExportRecCount = 0;
  x.GoToFirstRecord = false;
  x.CurrentRecordOnly = true;
  ds.SetRecNo(4);
  EXPECT_THAT(Run("current.xls"), HasSubstr("rows=2 cols=5"));
  EXPECT_THAT(test::DumpWorkbook(path), HasSubstr("cell 1 4 number 4.0 "));
}

TEST_F(XlsExport, TextsBeyondACellAndHeadersBeyondLatin1) {
  TMemDataSet ds;
  ds.AddField("T", ftMemo, 10);
  ds.AddRow({std::string(70000, 'a')});
  ds.AddRow({std::string(5000, 'b')});
  ds.Open();
  x.SetDataSet(&ds);
  x.ExportedFields.Add("T");
  x.Options.PageHeader = "Отчёт &D";
  std::string dump = Run();
  // A shared string holds 65,535 characters at most; the long text is cut there, not wrapped.
  EXPECT_THAT(dump, HasSubstr("cell 1 0 text 'aaaa"));
  std::string check = R"(
import sys, xlrd
s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
print(len(s.cell_value(1, 0)), len(s.cell_value(2, 0)))
)";
  std::string script = test::TempPath("check.py"), out;
  test::WriteFile(script, check);
  test::RunCommand(test::Python() + " " + script + " " + path, out);
  EXPECT_EQ(out, "65535 5000\n");
  EXPECT_EQ(RecordsOf(biff::kHeader)[0],
            "08 00 01 1E 04 42 04 47 04 51 04 42 04 20 00 26 00 44 00");
}
TEST_F(XlsExport, ASourceThatGoesAwayIsClearedInEverySheet) {
  TxlsSheet& a = x.Sheets.Add();
  TxlsSheet& b = x.Sheets.Add();
  {
    TMemDataSet ds;
    a.SetDataSet(&ds);
    b.SetDataSet(&ds);
    x.SetDataSet(&ds);
  }
  EXPECT_EQ(a.DataSet(), nullptr);
  EXPECT_EQ(b.DataSet(), nullptr);
  EXPECT_EQ(x.DataSet(), nullptr);
  x.FileName = test::TempPath("gone.xls");
  EXPECT_THROW(x.Execute(), Exception);
}

}  // namespace
}  // namespace morvale
