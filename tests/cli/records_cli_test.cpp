// The records a run takes (--skip, --count, --current-record-only) are the same whether the rows
// go to CSV or into a workbook sheet (.xls, .xlsx): each file read back by a reader nobody here
// wrote, row for row, and the progress count agreeing with the rows.
#include <gtest/gtest.h>

#include "tests/support/awkward.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::Cli;
using test::ShellQuote;

// Prints the data rows of a CSV, .xls or .xlsx file, one line of tab-separated texts each, the
// caption row left out; whole numbers as the integers they hold, empty and NULL cells empty.
constexpr const char* kRows = R"PY(
import csv, sys
path = sys.argv[1]
def text(v):
    if v is None: return ''
    if isinstance(v, float) and v.is_integer(): return str(int(v))
    return str(v)
if path.endswith('.csv'):
    rows = list(csv.reader(open(path, newline='', encoding='utf-8')))
elif path.endswith('.xlsx'):
    import openpyxl
    ws = openpyxl.load_workbook(path).worksheets[0]
    rows = [[c.value for c in r] for r in ws.iter_rows()]
else:
    import xlrd
    ws = xlrd.open_workbook(path).sheet_by_index(0)
    rows = [ws.row_values(r) for r in range(ws.nrows)]
for r in rows[1:]:
    print('\t'.join(text(v) for v in r).replace('\n', '|'))
)PY";

std::string Rows(const std::string& file) {
  std::string out;
  int status = test::RunCommand(
      test::Python() + " -c " + ShellQuote(kRows) + " " + ShellQuote(file) + " 2>&1", out);
  return status == 0 ? out : "ERROR " + out;
}

TEST(RecordSelection, CsvXlsAndXlsxTakeTheSameRecords) {
  std::string dir = test::FreshFolder("records-cli");
  // Quotes, Cyrillic, NULLs and a line break in the values; ids 1 to 4.
  const std::vector<std::string> source = {"--db",     "sqlite:" + test::AwkwardDatabase(),
                                           "--table",  "\"my table\"",
                                           "--fields", "id,it's,Group,Имя,MixedCase",
                                           "--locale", "C",
                                           "--format", "integer=0"};
  struct TCase {
    std::vector<std::string> args;
    std::vector<std::string> ids;  // the first column of each row written
  };
  const std::vector<TCase> cases = {
      {{"--skip", "1", "--count", "2"}, {"2", "3"}},
      {{"--skip", "2", "--count", "10"}, {"3", "4"}},
      {{"--skip", "2", "--current-record-only"}, {"3"}},
      {{"--skip", "9"}, {}},
  };
  for (const TCase& c : cases) {
    std::string label;
    for (const auto& a : c.args) label += a + " ";
    std::string csv;
    for (const char* type : {"csv", "xls", "xlsx"}) {
      const std::string file = dir + "rows." + type;
      auto args = source;
      args.insert(args.end(), c.args.begin(), c.args.end());
      args.insert(args.end(), {"--type", type, "-o", file, "--progress"});
      test::Result r = Cli(args);
      ASSERT_EQ(r.status, 0) << label << type << ": " << r.err;
      // The progress line counts the records written, the same for every type.
      EXPECT_NE(r.err.find(std::to_string(c.ids.size()) + " records exported"), std::string::npos)
          << label << type << ": " << r.err;
      const std::string rows = Rows(file);
      if (csv.empty()) {
        csv = rows;
        std::string ids;
        for (size_t at = 0; at < rows.size(); at = rows.find('\n', at) + 1)
          ids += rows.substr(at, rows.find('\t', at) - at) + " ";
        std::string want;
        for (const auto& id : c.ids) want += id + " ";
        EXPECT_EQ(ids, want) << label << rows;
      } else {
        EXPECT_EQ(rows, csv) << label << type;
      }
    }
  }
}

// DIF declares its row count before the rows: with one record taken it declares one.
TEST(RecordSelection, DifDeclaresTheRowsItWrites) {
  test::Result r = Cli({"--db", "sqlite:" + test::AwkwardDatabase(), "--table", "\"my table\"",
                        "--fields", "id", "--type", "dif", "-o", "-", "--skip", "1",
                        "--current-record-only", "--no-captions", "--format", "integer=0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("TUPLES\r\n0,1\r\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("BOT\r\n0,2\r\nV\r\n-1,0\r\nEOD"), std::string::npos) << r.out;
}

// More distinct texts than the workbook keeps in memory: the later ones go to its temporary file,
// a few shorter than what the memory could still hold, some long enough to be cut in pieces.
TEST(RecordSelection, XlsOfManyDistinctTextsReadsLikeTheCsv) {
  const std::string dir = test::FreshFolder("records-cli-texts");
  const std::string sql =
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) "
      "SELECT i, 'Клиент ' || i AS name, CASE i % 3 WHEN 0 THEN 'Москва' ELSE 'Köln' END AS city, "
      "CASE WHEN i % 100 = 0 THEN replace(hex(zeroblob(3000)), '00', 'я' || i) "
      "WHEN i % 2 = 0 THEN 'x' || i ELSE 'Note ' || i || ', \"quoted\"' END AS note FROM n";
  std::string csv;
  for (const char* type : {"csv", "xls"}) {
    const std::string file = dir + "texts." + type;
    test::Result r = Cli(
        {"--db", "sqlite:" + test::AwkwardDatabase(), "--sql", sql, "--type", type, "-o", file});
    ASSERT_EQ(r.status, 0) << type << ": " << r.err;
    const std::string rows = Rows(file);
    ASSERT_EQ(rows.rfind("ERROR", 0), std::string::npos) << rows.substr(0, 2000);
    if (csv.empty()) {
      csv = rows;
      EXPECT_NE(csv.find("3998\tКлиент 3998\tKöln\tx3998\n"), std::string::npos);
    } else {
      EXPECT_TRUE(rows == csv) << "the sheet's texts differ from the CSV's";
    }
  }
}

}  // namespace
}  // namespace morvale
