// The .xlsx exporter read back by openpyxl and by LibreOffice: the demo database holds the same
// values as its CSV export, the workbook exporter's settings come out as styles, formulas and
// page settings, and a sheet's rows continue on a further sheet past 1,048,576.
#include <gtest/gtest.h>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::Cli;
using test::RunCommand;
using test::ShellQuote;

std::string Here() {
  return std::string(MORVALE_SOURCE_DIR) + "/tests/export/xlsx/";
}

// Runs a Python snippet with the workbook's path as argv[1]; gives what it printed.
std::string Py(const std::string& xlsx, const std::string& code) {
  std::string out;
  int status = RunCommand(
      test::Python() + " -c " + ShellQuote(code) + " " + ShellQuote(xlsx) + " 2>&1", out);
  return status == 0 ? out : "python failed: " + out;
}

TEST(XlsxDemo, SameValuesAsTheCsvExport) {
  std::string dir = test::FreshFolder("xlsx-demo");
  for (const char* table : {"customers", "products", "orders", "order_items"}) {
    const std::vector<std::string> common = test::DemoPlainArgs(table);
    std::string csv = dir + table + ".csv", xlsx = dir + table + ".xlsx";
    auto a = common;
    a.insert(a.end(), {"--type", "csv", "-o", csv, "--set", "CSVComma=,"});
    auto r = Cli(a);
    ASSERT_EQ(r.status, 0) << r.err;
    auto b = common;
    b.insert(b.end(),
             {"--type", "xlsx", "-o", xlsx, "--set", "Options.SheetTitle=" + std::string(table)});
    r = Cli(b);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string out;
    int status = RunCommand(test::Python() + " " + ShellQuote(Here() + "read_xlsx.py") + " " +
                                ShellQuote(xlsx) + " " + ShellQuote(csv) + " " + table + " 2>&1",
                            out);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find(" rows\n"), std::string::npos) << table << ": " << out;
  }
}

// The settings of the workbook exporter, as the user sets them for an .xls file.
TEST(XlsxDemo, WorkbookSettingsComeOutAsStylesFormulasAndPageSettings) {
  std::string dir = test::FreshFolder("xlsx-settings");
  std::string xlsx = dir + "products.xlsx";
  auto r = Cli({"--db",     "sqlite:" + test::DemoDatabase(),
                "--table",  "products",
                "--fields", "code,title,price,stock",
                "--type",   "xlsx",
                "-o",       xlsx,
                "--header", "Price list\tDecember",
                "--footer", "End",
                "--set",    "Options.SheetTitle=Цены",
                "--set",    "AutoCalcColWidth=true",
                "--set",    "Options.CaptionsFormat.Font.Size=12",
                "--set",    "Options.PageHeader=&LMorvale",
                "--set",    "FieldFormats.price.Aggregate=aggSum",
                "--set",    "FieldFormats.stock.Aggregate=aggMax",
                "--set",    "FieldFormats.stock.Font.Color=clrRed",
                "--set",    "StripType=ssRow",
                "--set",    "StripStyles.0.Fill.Pattern=ptSolid",
                "--set",    "StripStyles.0.Fill.Background=clrYellow",
                "--set",    "StripStyles.1.Fill.Pattern=ptSolid",
                "--set",    "StripStyles.1.Fill.Background=clrBlack",
                "--format", "currency=#,##0.00 'руб.'"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string out = Py(xlsx, R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
rows = list(ws.iter_rows())
print(ws.title, len(rows), rows[0][0].value, rows[0][1].value)
print(rows[1][0].value, rows[1][0].font.b, rows[1][0].font.sz)
print(rows[2][2].number_format, type(rows[2][2].value).__name__)
print(rows[2][2].fill.fgColor.rgb, rows[3][2].fill.fill_type, rows[3][2].fill.fgColor.rgb)
print(rows[-2][2].value, rows[-2][3].value, rows[-1][0].value)
print(ws.oddHeader.left.text, ws.oddFooter.center.text)
print(ws.column_dimensions['B'].width > ws.column_dimensions['D'].width)
)PY");
  EXPECT_EQ(out,
            "Цены 12 Price list December\n"    // header, captions, 8 rows, totals, footer
            "code True 12.0\n"                 // captions bold, 12 points
            "#,##0.00 \"руб.\" float\n"        // the format translated for the spreadsheet
            "FFFFFF00 solid FF000000\n"        // row strips: yellow, then black
            "=SUM(C3:C10) =MAX(D3:D10) End\n"  // aggregates as formulas
            "Morvale Page &P of &N\n"
            "True\n")
      << out;
  // LibreOffice's total row agrees with the sum of the price cells.
  const std::string office =
      test::OfficeConvert(dir, "csv:Text - txt - csv (StarCalc):44,34,76", xlsx);
  ASSERT_NE(office.rfind("ERROR", 0), 0u) << office;
  out = Py(xlsx, R"PY(
import csv, os, sys, openpyxl
d = os.path.dirname(sys.argv[1])
rows = list(csv.reader(open(os.path.join(d, 'products.csv'), encoding='utf-8')))
cells = list(openpyxl.load_workbook(sys.argv[1]).worksheets[0].iter_rows())[2:-2]
total = sum(row[2].value for row in cells)
print(rows[-2][2] == '{:,.2f} руб.'.format(total), rows[-2][3])
)PY");
  EXPECT_EQ(out, "True 25,000\n") << out;
}

// Rows past a sheet's 1,048,576 continue on a second sheet, which starts with the captions.
TEST(XlsxLimits, RowsPastTheLastRowContinueOnASecondSheet) {
  std::string dir = test::FreshFolder("xlsx-rows");
  std::string xlsx = dir + "n.xlsx";
  auto r = Cli({"--db", "sqlite:" + test::DemoDatabase(), "--sql",
                "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c LIMIT 1048577) "
                "SELECT n FROM c",
                "--type", "xlsx", "-o", xlsx, "--set", "Options.SheetTitle=Numbers"});
  ASSERT_EQ(r.status, 0) << r.err;
  // openpyxl reads the short second sheet; the end of the first is read from its part directly,
  // which is quicker than a million cells through a reader.
  std::string out = Py(xlsx, R"PY(
import sys, re, zipfile, openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
print(book.sheetnames, book.worksheets[0].max_row)
print([tuple(c.value for c in row) for row in book.worksheets[1].iter_rows()])
with zipfile.ZipFile(sys.argv[1]) as z:
    tail = z.read('xl/worksheets/sheet1.xml')[-300:].decode()
print(re.findall(r'<row r="(\d+)"[^>]*><c r="A\d+"[^>]*><v>(\d+)</v>', tail)[-1])
)PY");
  EXPECT_EQ(out,
            "['Numbers', 'Numbers (2)'] 1048576\n"
            "[('n',), (1048576,), (1048577,)]\n"
            "('1048576', '1048575')\n")
      << out;
}

TEST(XlsxLimits, AFailedRunLeavesNoFile) {
  std::string dir = test::FreshFolder("xlsx-fail");
  auto r = Cli({"--db", "sqlite:" + test::DemoDatabase(), "--table", "products", "--fields",
                "nosuchfield", "--type", "xlsx", "-o", dir + "p.xlsx"});
  EXPECT_EQ(r.status, 1);
  std::string out;
  RunCommand("ls -A " + ShellQuote(dir), out);
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace morvale
