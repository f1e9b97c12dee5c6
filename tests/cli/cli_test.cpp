// The command-line exporter, run in-process: outputs byte for byte, read back by Python's csv
// module, and the exit status and message of every kind of failure.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/run.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::ReadFile;
using test::RunCommand;
using test::ShellQuote;

using test::Cli;
using test::Result;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::FreshFolder("cli");
    db = dir + "parts.db";
    std::string out;
    ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db) +
                             " \"CREATE TABLE parts (NAME VARCHAR(6), QTY INTEGER);"
                             " INSERT INTO parts VALUES ('Bolt', 12);\"",
                         out),
              0);
  }
  std::vector<std::string> Args(const std::string& type, const std::string& output) {
    return {"--db", "sqlite:" + db, "--table",  "parts",     "--type",   type,
            "-o",   output,         "--format", "integer=0", "--locale", "C"};
  }
  std::string dir, db;
};

TEST_F(CliTest, DocumentedExampleThroughTheCommandLine) {
  auto csv = Args("csv", "-");
  csv.insert(csv.end(), {"--set", "CSVComma=;"});
  EXPECT_EQ(Cli(csv).out, "\"NAME\";\"QTY\"\r\n\"Bolt\";\"12\"\r\n");
  EXPECT_EQ(Cli(Args("dif", "-")).out,
            "TABLE\r\n0,1\r\n\"\"\r\nVECTORS\r\n0,2\r\n\"\"\r\nTUPLES\r\n0,1\r\n\"\"\r\nDATA\r\n"
            "0,0\r\n\"\"\r\n-1,0\r\nBOT\r\n1,0\r\n\"NAME\"\r\n1,0\r\n\"QTY\"\r\n-1,0\r\nBOT\r\n"
            "1,0\r\n\"Bolt\"\r\n0,12\r\nV\r\n-1,0\r\nEOD\r\n");
  // To a file this time: the same bytes.
  Result r = Cli(Args("slk", dir + "sub/parts.slk"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir + "sub/parts.slk"),
            "ID;PVASCIIEXPORT\r\nC;X1;Y1;K\"NAME\"\r\nC;X2;Y1;K\"QTY\"\r\nC;X1;Y2;K\"Bolt\"\r\n"
            "C;X2;Y2;K\"12\"\r\nE\r\n");
  auto txt = Args("txt", "-");
  txt.insert(txt.end(), {"--title", "Parts", "--header", "h", "--footer", "f", "--caption",
                         "QTY=Count", "--set", "TXTSpacing=2"});
  // INTEGER is SQLite's 64-bit integer, fifteen characters wide.
  EXPECT_EQ(Cli(txt).out, "Parts\r\n" + std::string(80, '-') + "\r\n\r\nh\r\nNAME" +
                              std::string(14, ' ') + "Count  \r\nBolt" + std::string(17, ' ') +
                              "12  \r\nf\r\n");
}

TEST_F(CliTest, FailuresExitNonZeroWithTheMessage) {
  auto expect = [](std::vector<std::string> args, int status, const std::string& message) {
    Result r = Cli(args);
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  };
  auto a = Args("csv", "-");
  a.insert(a.end(), {"--fields", "NAME,NOPE"});
  expect(a, 1, "Field 'NOPE' not found");
  std::string missing = dir + "missing.db";
  expect({"--db", "sqlite:" + missing, "--table", "t", "--type", "csv", "-o", "-"}, 1, missing);
  EXPECT_NE(::access(missing.c_str(), F_OK), 0) << "a missing database must never be created";
  expect({"--db", "sqlite:" + db, "--sql", "SELEC 1", "--type", "csv", "-o", "-"}, 1, "syntax");
  expect({"--db", "sqlite:" + db, "--table", "nope", "--type", "csv", "-o", "-"}, 1,
         "no such table: nope");
  expect(
      {"--db", "sqlite:" + db, "--table", "parts", "--type", "csv", "-o", "/proc/forbidden/x.csv"},
      1, "Directory '/proc/forbidden/' not found and cannot be created");
  expect({"--db", "sqlite:" + db, "--table", "parts", "--type", "xyz", "-o", "-"}, 2,
         "Unknown export type 'xyz'");
  expect({"--db", "sqlite:" + db, "--table", "parts", "--type", "csv", "-o", "-", "--skip", "-1"},
         2, "Invalid value '-1' for --skip");
  expect({"--db", "sqlite:" + db, "--type", "csv", "-o", "-"}, 2,
         "Missing --table, --tables, --sql or --sql-file");
  expect({"--type", "csv", "--bogus"}, 2, "Unknown option '--bogus'");
  a = Args("csv", "-");
  a.insert(a.end(), {"--set", "TXTSpacing=wide"});
  expect(a, 2, "Invalid value 'wide' for property 'TXTSpacing'");
  a = Args("csv", "-");
  a.insert(a.end(), {"--set", "NoSuchThing=1"});
  expect(a, 2, "Unknown property 'NoSuchThing'");
  a = Args("csv", "-");
  a.insert(a.end(), {"--format", "colour=red"});
  expect(a, 2, "Unknown format kind 'colour'");
  a = Args("csv", "-");
  a[a.size() - 1] = "xx_NOWHERE";
  expect(a, 1, "xx_NOWHERE");
}

TEST_F(CliTest, RecordSelectionAndProperties) {
  std::string out;
  ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db) +
                           " \"INSERT INTO parts VALUES ('Nut', 7), ('Pin', 3), ('Cap', 1);\"",
                       out),
            0);
  auto a = Args("csv", "-");
  a.insert(a.end(), {"--skip", "1", "--count", "2", "--no-captions", "--set", "CSVQuoteStrings=0"});
  EXPECT_EQ(Cli(a).out, "Nut,7\r\nPin,3\r\n");
  a = Args("csv", "-");
  a.insert(a.end(), {"--skip", "2", "--current-record-only", "--fields", "QTY", "--no-captions"});
  EXPECT_EQ(Cli(a).out, "\"3\"\r\n");

  Result props = Cli({"--type", "csv", "--list-properties", "--set", "CSVComma=|"});
  EXPECT_EQ(props.status, 0);
  EXPECT_NE(props.out.find("ExportType=etCSV\n"), std::string::npos);
  EXPECT_NE(props.out.find("CSVComma=|\n"), std::string::npos);
  EXPECT_NE(props.out.find("Formats.IntegerFormat=#,###,##0\n"), std::string::npos);
  EXPECT_EQ(props.out.find("Title"), std::string::npos);  // not a property of this type

  a = Args("csv", "-");
  a.insert(a.end(), {"--progress"});
  Result p = Cli(a);
  EXPECT_NE(p.err.find("4 records exported"), std::string::npos) << p.err;
}

// The demo database exported to CSV and read back by Python's csv module, compared value by value
// with what Python's sqlite3 module reads from the database itself.
TEST(CliDemo, CsvReadBackByAnIndependentReader) {
  std::string dir = test::FreshFolder("cli-demo");
  const std::string& demo = test::DemoDatabase();
  for (const char* table : {"customers", "products", "orders", "order_items"}) {
    std::string csv = dir + table + ".csv";
    // Every column by name, so that the memo columns are exported too.
    std::string fields;
    ASSERT_EQ(
        RunCommand("sqlite3 " + ShellQuote(demo) +
                       " \"SELECT group_concat(name) FROM pragma_table_info('" + table + "')\"",
                   fields),
        0);
    Result r = Cli({"--db",     "sqlite:" + demo,
                    "--table",  table,
                    "--type",   "csv",
                    "-o",       csv,
                    "--fields", Trim(fields),
                    "--locale", "C",
                    "--set",    "CSVComma=,",
                    "--format", "integer=0",
                    "--format", "float=0.##########",
                    "--format", "currency=0.##########",
                    "--format", "datetime=yyyy-mm-dd hh:nn:ss",
                    "--format", "time=hh:nn:ss"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string script = R"PY(
import csv, sqlite3, sys
db, table, path = sys.argv[1:4]
con = sqlite3.connect(db)
cur = con.execute('SELECT * FROM ' + table)
names = [d[0] for d in cur.description]
with open(path, newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f))
assert rows[0] == names, (rows[0], names)
src = cur.fetchall()
assert len(rows) - 1 == len(src), (len(rows), len(src))
bad = 0
for got, want in zip(rows[1:], src):
    for g, w, n in zip(got, want, names):
        if w is None:
            ok = g == ''
        elif isinstance(w, float) or (isinstance(w, int) and '.' in g):
            ok = abs(float(g) - w) < 1e-9 * max(1, abs(w))
        elif isinstance(w, int) and g in ('True', 'False'):
            ok = (g == 'True') == bool(w)
        else:
            ok = g == str(w)
        if not ok:
            bad += 1
            print('%s.%s: %r != %r' % (table, n, g, w))
print('checked', len(src), 'rows' if bad == 0 else 'ROWS WITH ERRORS')
)PY";
    test::WriteFile(dir + "check.py", script);
    std::string out;
    int status = RunCommand(test::Python() + " " + ShellQuote(dir + "check.py") + " " +
                                ShellQuote(demo) + " " + table + " " + ShellQuote(csv) + " 2>&1",
                            out);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find(" rows\n"), std::string::npos) << table << ": " << out;
  }
}

}  // namespace
}  // namespace morvale
