// DIF and SYLK files read by a spreadsheet program nobody here wrote: LibreOffice converts each to
// CSV, and every cell must match the same rows exported as CSV and read by Python's csv module.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/run.h"
#include "tests/support/demo.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::ShellQuote;

// Converts a file to CSV with LibreOffice in a profile of its own; returns the CSV text.
std::string ConvertToCsv(const std::string& dir, const std::string& file,
                         const std::string& filter) {
  const std::string csv = test::OfficeConvert(
      dir + "csv-" + file, "csv:Text - txt - csv (StarCalc):44,34,76", dir + file, filter);
  EXPECT_NE(csv.rfind("ERROR", 0), 0u) << csv;
  return test::ReadFile(csv);
}

TEST(SpreadsheetReaders, DifAndSylkReadAsWritten) {
  std::string out;
  if (test::RunCommand("command -v soffice", out) != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  std::string dir = test::FreshFolder("readers");
  const std::string sql =
      "SELECT c.id, c.name, c.city, c.notes, o.total, o.ordered, o.paid, o.comment "
      "FROM customers c LEFT JOIN orders o ON o.customer_id = c.id ORDER BY c.id, o.id";
  for (const char* type : {"csv", "dif", "slk"}) {
    TMemoryStream none;
    std::ostringstream err;
    // Plain numbers, so that a spreadsheet's own rendering of a number gives the same text.
    int status =
        cli::RunCli({"--db", "sqlite:" + test::DemoDatabase(), "--sql", sql, "--type", type, "-o",
                     dir + "rows." + type, "--locale", "C", "--format", "float=0.##########",
                     "--fields", "id,name,city,notes,total,ordered,paid,comment"},
                    none, err);
    ASSERT_EQ(status, 0) << err.str();
  }
  // The reference: our CSV as Python reads it, written back the way LibreOffice writes CSV.
  test::WriteFile(dir + "recode.py",
                  "import csv, sys\n"
                  "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
                  "w = csv.writer(sys.stdout, lineterminator='\\n')\n"
                  "w.writerows(rows)\n");
  std::string expected;
  ASSERT_EQ(test::RunCommand(test::Python() + " " + ShellQuote(dir + "recode.py") + " " +
                                 ShellQuote(dir + "rows.csv"),
                             expected),
            0);
  ASSERT_NE(expected.find("ООО \"\"Ромашка\"\""), std::string::npos) << expected;
  EXPECT_EQ(ConvertToCsv(dir, "rows.dif", "--infilter=DIF:44,34,76"), expected);
  EXPECT_EQ(ConvertToCsv(dir, "rows.slk", ""), expected);
}

}  // namespace
}  // namespace morvale
