// Workbooks opened by a spreadsheet program nobody here wrote: LibreOffice recalculates the
// aggregate formulas (they are written without results) and converts every sheet to CSV.
#include <gtest/gtest.h>

#include "export/core/platform.h"
#include "export/xls/exportxls.h"
#include "tests/support/demo.h"
#include "tests/support/memsources.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::ShellQuote;

// Every sheet of the workbook as CSV, in files named "<base>-<sheet>.csv".
void ConvertSheets(const std::string& dir, const std::string& file) {
  const std::string out = test::OfficeConvert(
      dir, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
      dir + file);
  EXPECT_NE(out.rfind("ERROR", 0), 0u) << out;
}

std::string LastLine(const std::string& text) {
  std::string t = text;
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
  return t.substr(t.rfind('\n') + 1);
}

TEST(XlsReaders, AggregatesComputeInASpreadsheetProgram) {
  std::string out;
  if (test::RunCommand("command -v soffice", out) != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  std::string dir = test::FreshFolder("xls-readers");
  TFixedTextMetrics metrics;
  SetTextMetrics(&metrics);

  test::TMemDataSet small;
  for (const char* f : {"A", "B", "C", "D"}) small.AddField(f, ftFloat, 0, 8);
  small.AddRow({"1.5", "2", "-3", "10"});
  small.AddRow({"2.5", "4", "7", "0.25"});
  small.AddRow({"6", "9", "1", "3"});
  small.Open();
  test::TMemDataSet big;
  big.AddField("N", ftInteger, 0, 6);
  for (int i = 0; i < 70000; ++i) big.AddRow({std::to_string(i)});
  big.Open();

  TExportXLS x;
  x.SetFormatSettings(TFormatSettings::English());
  x.Formats.SetFloatFormat("0.####");
  TxlsSheet& s1 = x.Sheets.Add();
  s1.Title = "Small";
  s1.SetDataSet(&small);
  const TxlsAggregate aggs[] = {aggSum, aggAvg, aggMin, aggMax};
  for (int i = 0; i < 4; ++i)
    s1.FieldFormats.ForField(std::string(1, "ABCD"[i])).Aggregate = aggs[i];
  TxlsSheet& s2 = x.Sheets.Add();
  s2.Title = "Big";
  s2.SetDataSet(&big);
  s2.FieldFormats.ForField("N").Aggregate = aggSum;
  s2.Formats.SetIntegerFormat("0");
  x.FileName = dir + "book.xls";
  x.Execute();
  SetTextMetrics(nullptr);

  ConvertSheets(dir, "book.xls");
  EXPECT_EQ(LastLine(test::ReadFile(dir + "book-Small.csv")), "10,5,-3,10");
  // The sum over a sheet and its continuation: 0 + 1 + ... + 69999.
  EXPECT_EQ(LastLine(test::ReadFile(dir + "book-Big (2).csv")), "2449965000");
  EXPECT_EQ(LastLine(test::ReadFile(dir + "book-Big.csv")), "65534");
}

}  // namespace
}  // namespace morvale
