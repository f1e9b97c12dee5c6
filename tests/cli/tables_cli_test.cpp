// morvale-export --tables, run as a user runs it: the awkward database's tables (spaces, quotes,
// reserved words, Cyrillic) each to a file of its own or to one workbook, a table that cannot be
// read named while the others are written, and file names made from patterns. The files are read
// back by python3's csv, sqlite3, openpyxl and xlrd.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/awkward.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::ShellQuote;

struct Ran {
  int status;
  std::string err;
};

// The awkward database with a view whose table is gone: listed like any other, it cannot be read.
const std::string& Database() {
  static const std::string db = [] {
    const std::string path = test::FreshFolder("tables-cli-db") + "awkward.db";
    std::filesystem::copy_file(test::AwkwardDatabase(), path);
    std::string out;
    EXPECT_EQ(test::RunCommand("sqlite3 " + ShellQuote(path) +
                                   " 'CREATE TABLE gone (x); CREATE VIEW \"broken view\" AS "
                                   "SELECT * FROM gone; DROP TABLE gone;'",
                               out),
              0);
    return path;
  }();
  return db;
}

// The program with `args` after --db, SOURCE_DATE_EPOCH pinned; standard error kept.
Ran Export(const std::vector<std::string>& args) {
  std::string command = "SOURCE_DATE_EPOCH=1700000000 " + ShellQuote(MORVALE_EXPORT_PROGRAM) +
                        " --db " + ShellQuote("sqlite:" + Database());
  for (const std::string& a : args) command += " " + ShellQuote(a);
  const std::string errFile = test::FreshFolder("tables-cli-err") + "err.txt";
  std::string out;
  const int status = test::RunCommand(command + " 2>" + ShellQuote(errFile), out);
  return {status, test::ReadFile(errFile)};
}

// What a Python snippet prints, given the database and `files` as its arguments.
std::string Py(const std::string& code, const std::vector<std::string>& files) {
  std::string command = test::Python() + " -c " + ShellQuote(code) + " " + ShellQuote(Database());
  for (const std::string& f : files) command += " " + ShellQuote(f);
  std::string out;
  const int status = test::RunCommand(command + " 2>&1", out);
  return status == 0 ? out : "python failed: " + out;
}

std::vector<std::string> Files(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Each CSV file has its table's records, and its captions are columns of the table.
constexpr const char* kCsvMatchesTable = R"(
import csv, sqlite3, sys, os
con = sqlite3.connect(sys.argv[1])
for f in sys.argv[2:]:
    table = os.path.basename(f)[:-4]
    rows = list(csv.reader(open(f, encoding='utf-8-sig', newline='')))
    q = '"' + table.replace('"', '""') + '"'
    cur = con.execute('SELECT * FROM ' + q)
    columns = [d[0] for d in cur.description]
    print(table, len(rows) - 1 == len(cur.fetchall()), all(c in columns for c in rows[0]))
)";

TEST(TablesCli, EveryTableThePatternsNameGoesToAFileOfItsOwn) {
  const std::string dir = test::FreshFolder("tables-cli-files");
  Ran r = Export({"--tables", "my*, Клиенты,SAY*", "--type", "csv", "-o", dir});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> expected = {"Клиенты.csv", "my table.csv", "my view.csv",
                                             "say \"hi\".csv"};
  std::vector<std::string> want = expected;
  std::sort(want.begin(), want.end());
  EXPECT_EQ(Files(dir), want);
  // One line per table as it ends, in the patterns' order, and the summary.
  EXPECT_NE(r.err.find("[1/4] my table: 4 records -> " + dir + "my table.csv\n"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("[3/4] Клиенты: 3 records -> "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("[4/4] say \"hi\": "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("morvale-export: 4 of 4 tables written\n"), std::string::npos) << r.err;

  std::vector<std::string> paths;
  for (const std::string& f : expected) paths.push_back(dir + f);
  EXPECT_EQ(Py(kCsvMatchesTable, paths),
            "Клиенты True True\nmy table True True\nmy view True True\nsay \"hi\" True True\n");
}

TEST(TablesCli, AFailingTableIsNamedAndTheOthersAreStillWritten) {
  const std::string dir = test::FreshFolder("tables-cli-failing");
  Ran r = Export({"--tables", "*", "--type", "csv", "-o", dir + "${n} ${table}.${type}"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("[2/13] broken view: failed: no such table: main.gone\n"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("morvale-export: 12 of 13 tables written; failed: broken view\n"),
            std::string::npos)
      << r.err;
  // Numbered in the list's order, padded so that they sort in it; nothing for the broken view.
  const std::vector<std::string> files = Files(dir);
  ASSERT_EQ(files.size(), 12u);
  EXPECT_EQ(files.front(), "01 all types.csv");
  EXPECT_EQ(files[1], "03 CamelOrders.csv");
  EXPECT_EQ(files.back(), "13 Представление.csv");
}

TEST(TablesCli, FileNamePatternsTakeTheTableTheTypeAndTheSourceDate) {
  const std::string dir = test::FreshFolder("tables-cli-pattern");
  // SOURCE_DATE_EPOCH 1700000000 is 2023-11-14 22:13:20 UTC.
  Ran one = Export({"--table", "\"Клиенты\"", "--type", "csv", "-o",
                    dir + "${date}_${time}_${timestamp}.${type}"});
  ASSERT_EQ(one.status, 0) << one.err;
  Ran many =
      Export({"--tables", "Order*", "--type", "json", "-o", dir + "${table}-${date}.${type}"});
  ASSERT_EQ(many.status, 0) << many.err;
  EXPECT_EQ(Files(dir),
            (std::vector<std::string>{"2023-11-14_221320_20231114-221320.csv",
                                      "Order Details-2023-11-14.json", "Order-2023-11-14.json"}));

  Ran unknown = Export({"--tables", "Order", "--type", "csv", "-o", dir + "${table}${when}.csv"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("Unknown field ${when}"), std::string::npos) << unknown.err;
}

// The pattern saved as an options file's file name names the files of later runs that give no -o.
TEST(TablesCli, AnOptionsFileKeepsThePattern) {
  const std::string dir = test::FreshFolder("tables-cli-options");
  const std::string options = test::FreshFolder("tables-cli-options-file") + "run.ini";
  Ran saved = Export({"--table", "\"say \"\"hi\"\"\"", "--type", "csv", "-o",
                      dir + "${table} ${date}.${type}", "--save-options", options});
  ASSERT_EQ(saved.status, 0) << saved.err;
  Ran many = Export({"--tables", "Select*", "--options", options});
  ASSERT_EQ(many.status, 0) << many.err;
  EXPECT_EQ(Files(dir),
            (std::vector<std::string>{"Select 2023-11-14.csv", "Select View 2023-11-14.csv",
                                      "say \"hi\" 2023-11-14.csv"}));
}

TEST(TablesCli, MistakesAreUsageErrorsBeforeAnythingIsWritten) {
  const std::string dir = test::FreshFolder("tables-cli-usage");
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--tables", "nosuch*", "--type", "csv", "-o", dir}, "No table matches 'nosuch*'"},
      {{"--tables", "*", "--type", "csv", "-o", dir + "one.csv"}, "names one file"},
      {{"--tables", "*", "--type", "csv", "-o", dir + "${date}.csv"}, "the same name"},
      {{"--tables", "*", "--table", "Order", "--type", "csv", "-o", dir}, "Only one of"},
  };
  for (const Case& c : cases) {
    Ran r = Export(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_TRUE(Files(dir).empty());
}

// The sheet names, and the first row of the Cyrillic table's sheet.
constexpr const char* kXlsxSheets = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[2])
print('|'.join(wb.sheetnames))
print([c.value for c in wb['Клиенты'][1]], wb['say "hi"'].max_row)
)";
constexpr const char* kXlsSheets = R"(
import sys, xlrd
wb = xlrd.open_workbook(sys.argv[2])
print('|'.join(wb.sheet_names()))
print(wb.sheet_by_name('Клиенты').row_values(0), wb.sheet_by_name('say "hi"').nrows)
)";

TEST(TablesCli, OneWorkbookHoldsASheetPerTable) {
  const std::string dir = test::FreshFolder("tables-cli-workbook");
  // The broken view fails and is left out; every other table has its sheet, named after it.
  const std::string sheets =
      "all types|CamelOrders|Group|my table|my view|Order|Order Details|say \"hi\"|Select|"
      "Select View|Клиенты|Представление\n";
  const std::string first = "['Код', 'Название', 'Город', 'Дата'] 3\n";
  for (const std::string type : {"xlsx", "xls"}) {
    const std::string file = dir + "all." + type;
    Ran r = Export({"--tables", "*", "--type", type, "--set", "SheetPerTable=True", "-o", file});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("12 of 13 tables written; failed: broken view\n"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("] say \"hi\": 2 records -> " + file + "\n"), std::string::npos) << r.err;
    EXPECT_EQ(Py(type == "xlsx" ? kXlsxSheets : kXlsSheets, {file}), sheets + first) << type;
  }
  EXPECT_EQ(Files(dir), (std::vector<std::string>{"all.xls", "all.xlsx"}));
}

}  // namespace
}  // namespace morvale
