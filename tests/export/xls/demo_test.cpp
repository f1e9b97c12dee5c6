// The demo database exported to a workbook holds the same values as its CSV export: both made by
// the command-line exporter, read back by xlrd and Python's csv module, compared value by value.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::RunCommand;
using test::ShellQuote;

const char* kCompare = R"PY(
import csv, datetime, sys
import xlrd
xls, path, table = sys.argv[1:4]
book = xlrd.open_workbook(xls, formatting_info=True)
sheet = book.sheet_by_index(0)
with open(path, newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f))
assert sheet.nrows == len(rows), (sheet.nrows, len(rows))
bad = 0
for r, want_row in enumerate(rows):
    for c, want in enumerate(want_row):
        cell = sheet.cell(r, c) if c < sheet.row_len(r) else None
        kind = cell.ctype if cell else xlrd.XL_CELL_EMPTY
        if kind in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
            ok = want == ''
        elif kind == xlrd.XL_CELL_TEXT:
            ok = cell.value == want
        elif kind == xlrd.XL_CELL_BOOLEAN:
            ok = want == ('True' if cell.value else 'False')
        elif kind == xlrd.XL_CELL_DATE:
            d = xlrd.xldate_as_datetime(cell.value, book.datemode)
            d = (d + datetime.timedelta(microseconds=500000)).replace(microsecond=0)
            ok = want == (d.strftime('%Y-%m-%d') if len(want) == 10 else
                          d.strftime('%Y-%m-%d %H:%M:%S'))
        elif kind == xlrd.XL_CELL_NUMBER:
            ok = abs(float(want) - cell.value) < 1e-9 * max(1, abs(cell.value))
        else:
            ok = False
        if not ok:
            bad += 1
            print('%s %d,%d: %r (%d) != %r' % (table, r, c, cell and cell.value, kind, want))
print('checked', len(rows) - 1, 'rows' if bad == 0 else 'ROWS WITH ERRORS')
)PY";

TEST(XlsDemo, SameValuesAsTheCsvExport) {
  std::string dir = test::FreshFolder("xls-demo");
  test::WriteFile(dir + "compare.py", kCompare);
  for (const char* table : {"customers", "products", "orders", "order_items"}) {
    const std::vector<std::string> common = test::DemoPlainArgs(table);
    std::string csv = dir + table + ".csv", xls = dir + table + ".xls";
    auto a = common;
    a.insert(a.end(), {"--type", "csv", "-o", csv, "--set", "CSVComma=,"});
    test::Result r = test::Cli(a);
    ASSERT_EQ(r.status, 0) << r.err;
    auto b = common;
    b.insert(b.end(),
             {"--type", "xls", "-o", xls, "--set", "Options.SheetTitle=" + std::string(table)});
    r = test::Cli(b);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string out;
    int status = RunCommand(test::Python() + " " + ShellQuote(dir + "compare.py") + " " +
                                ShellQuote(xls) + " " + ShellQuote(csv) + " " + table + " 2>&1",
                            out);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find(" rows\n"), std::string::npos) << table << ": " << out;
  }
}

TEST(XlsDemo, CommandLineSettingsAndRefusals) {
  std::string dir = test::FreshFolder("xls-cli"), out;
  std::vector<std::string> a = {
      "--db",       "sqlite:" + test::DemoDatabase(), "--table", "products", "--type", "xls", "-o",
      dir + "p.xls"};
  auto b = a;
  b.insert(b.end(),
           {"--set", "Options.SheetTitle=Orders", "--set", "AutoCalcColWidth=true", "--set",
            "Options.CaptionsFormat.Font.Size=12", "--set", "FieldFormats.price.Aggregate=aggSum"});
  test::Result r = test::Cli(b);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(RunCommand(test::Python() + " -c \"import xlrd; b = xlrd.open_workbook('" + dir +
                           "p.xls', formatting_info=True); s = b.sheet_by_index(0); "
                           "print(s.name, s.nrows, b.font_list[b.xf_list[s.cell_xf_index(0, 0)]"
                           ".font_index].height)\"",
                       out),
            0);
  EXPECT_EQ(out, "Orders 10 240\n");  // eight products, captions and the sum row; 12 points
  auto c = a;
  c.insert(c.end(), {"--set", "Options.CaptionsFormat.Font.Colour=clrRed"});
  r = test::Cli(c);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Colour"), std::string::npos) << r.err;
  a[a.size() - 1] = "-";
  r = test::Cli(a);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot be written to standard output"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace morvale
