// The dBASE and RTF types of the command-line exporter on the demo database: every table read
// back by python3-dbfread and compared with SQLite, settings through --set, RTF through unrtf.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>

#include "cli/run.h"
#include "export/core/streams.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::ReadFile;
using test::RunCommand;
using test::ShellQuote;

using test::Cli;
using test::Result;

std::string Columns(const std::string& table) {
  std::string fields;
  RunCommand("sqlite3 " + ShellQuote(test::DemoDatabase()) +
                 " \"SELECT group_concat(name) FROM pragma_table_info('" + table + "')\"",
             fields);
  return Trim(fields);
}

std::string DbfCheck(const std::string& db, const std::string& table, const std::string& dbf) {
  std::string out;
  RunCommand(test::Python() + " " + ShellQuote(MORVALE_SOURCE_DIR "/tests/cli/dbfcheck.py") + " " +
                 ShellQuote(db) + " " + table + " " + ShellQuote(dbf) + " 2>&1",
             out);
  return out;
}

TEST(CliDbf, DemoTablesReadBackByDbfread) {
  std::string dir = test::FreshFolder("cli-dbf");
  const std::string& demo = test::DemoDatabase();
  for (const char* table : {"customers", "products", "orders", "order_items"}) {
    std::string dbf = dir + table + ".dbf";
    // Every column by name, so that the memo columns are exported too.
    Result r = Cli({"--db", "sqlite:" + demo, "--table", table, "--type", "dbf", "-o", dbf,
                    "--fields", Columns(table), "--locale", "C"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string check = DbfCheck(demo, table, dbf);
    EXPECT_TRUE(check.starts_with("checked ")) << table << ": " << check;
  }
  // Tables with memo columns have their memo file beside them.
  EXPECT_EQ(ReadFile(dir + "customers.dbf")[0], '\x83');
  EXPECT_GT(ReadFile(dir + "customers.dbt").size(), 512u);
  EXPECT_EQ(ReadFile(dir + "order_items.dbf")[0], '\x03');
}

TEST(CliDbf, SettingsAndStandardOutput) {
  std::string dir = test::FreshFolder("cli-dbf-set");
  const std::string& demo = test::DemoDatabase();
  std::vector<std::string> a = {"--db",     "sqlite:" + demo,
                                "--table",  "products",
                                "--type",   "dbf",
                                "-o",       dir + "p.dbf",
                                "--fields", Columns("products"),
                                "--set",    "ColumnsPrecision.PRICE=10,2",
                                "--set",    "DefaultFloatSize=12",
                                "--set",    "DefaultFloatDecimal=3"};
  Result r = Cli(a);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string dump = test::DbfRead(dir + "p.dbf");
  EXPECT_NE(dump.find("field WEIGHT N 12 3\nfield PRICE N 10 2\n"), std::string::npos) << dump;
  EXPECT_TRUE(DbfCheck(demo, "products", dir + "p.dbf").starts_with("checked "));

  // To standard output: the same table, its record count included.
  a[7] = "-";
  a[9] = "ID,CODE,PRICE";
  Result s = Cli(a);
  ASSERT_EQ(s.status, 0) << s.err;
  std::string viaStdout = s.out;
  a[7] = dir + "p2.dbf";
  ASSERT_EQ(Cli(a).status, 0);
  EXPECT_EQ(viaStdout, ReadFile(dir + "p2.dbf"));
  EXPECT_EQ(static_cast<unsigned char>(viaStdout[4]), 8);  // the record count

  // A memo column has nowhere to go on standard output: refused before a byte is written.
  // Without --fields the memo columns stay out, and the table goes out as usual.
  Result memo = Cli({"--db", "sqlite:" + demo, "--table", "customers", "--type", "dbf", "-o", "-",
                     "--fields", "id,notes"});
  EXPECT_EQ(memo.status, 2);
  EXPECT_TRUE(memo.out.empty());
  EXPECT_NE(memo.err.find("the memo field 'notes'"), std::string::npos) << memo.err;
  Result plain =
      Cli({"--db", "sqlite:" + demo, "--table", "customers", "--type", "dbf", "-o", "-"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out[0], '\x03');

  Result props = Cli({"--type", "dbf", "--list-properties"});
  EXPECT_NE(props.out.find("DefaultFloatSize=15\n"), std::string::npos) << props.out;
  EXPECT_NE(props.out.find("ColumnsPrecision=\n"), std::string::npos);
  EXPECT_EQ(props.out.find("Formats."), std::string::npos);  // raw values, no formats
}

TEST(CliRtf, StylesThroughSetAndUnrtf) {
  std::string dir = test::FreshFolder("cli-rtf");
  const std::string& demo = test::DemoDatabase();
  std::vector<std::string> a = {"--db",     "sqlite:" + demo,
                                "--table",  "customers",
                                "--type",   "rtf",
                                "-o",       dir + "c.rtf",
                                "--fields", Columns("customers"),
                                "--header", "Клиенты",
                                "--set",    "Options.StripType=stRow",
                                "--set",    "Options.StripStyles.Count=2",
                                "--set",    "Options.StripStyles.1.BackgroundColor=clSilver",
                                "--set",    "Options.PageOrientation=poLandscape",
                                "--set",    "Options.DataStyle.Font.Size=8",
                                "--set",    "Options.CaptionStyle.Font.Name=Times New Roman"};
  Result r = Cli(a);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string doc = ReadFile(dir + "c.rtf");
  EXPECT_TRUE(
      doc.starts_with("{\\rtf1\\ansi\\deff0\\deftab720\r\n{\\fonttbl{\\f0\\fnil Times New "
                      "Roman;}{\\f1\\fnil Arial;}}\r\n"))
      << doc.substr(0, 200);
  EXPECT_NE(doc.find("\\f1\\fs16\r\n\\landscape\r\n"), std::string::npos);
  EXPECT_NE(doc.find("\\red192\\green192\\blue192;"), std::string::npos);
  std::string text = test::UnrtfText(dir + "c.rtf");
  for (const char* v : {"Клиенты", "ООО \"Ромашка\"", "Москва", "O'Neil & Sons",
                        "Доставка только по будням.", "Звонить заранее."})
    EXPECT_NE(text.find(v), std::string::npos) << v << " in " << text;

  // "doc" is the same document under a .doc name.
  a[5] = "doc";
  a[7] = dir + "c.doc";
  ASSERT_EQ(Cli(a).status, 0);
  EXPECT_EQ(ReadFile(dir + "c.doc"), doc);
}

// The demo database exported to dBASE and opened again through a dbf: folder exports the same CSV
// as the database itself, for what dBASE holds: TIME has no dBASE type and is left out, a
// date-time keeps its date, and field names are upper-cased and cut to ten characters. Whole
// numbers keep every digit, a BIGINT beyond 2^53 included.
TEST(CliDbf, RoundTripThroughTheLocalTableEngine) {
  std::string dir = test::FreshFolder("cli-dbf-roundtrip");
  const std::string& demo = test::DemoDatabase();
  std::istringstream words(
      "--type csv --no-captions --locale C --format integer=0 --format float=0.########## "
      "--format currency=0.########## --format date=yyyy-mm-dd --format datetime=yyyy-mm-dd");
  const std::vector<std::string> csv{std::istream_iterator<std::string>(words), {}};
  for (const char* table : {"customers", "products", "orders", "order_items"}) {
    std::string dbf = dir + "dbf/" + table + ".dbf";
    Result r = Cli({"--db", "sqlite:" + demo, "--table", table, "--type", "dbf", "-o", dbf,
                    "--fields", Columns(table)});
    ASSERT_EQ(r.status, 0) << r.err;

    std::string columns, select, names, dbfNames;
    RunCommand("sqlite3 " + ShellQuote(demo) + " \"SELECT name, type FROM pragma_table_info('" +
                   table + "') WHERE type <> 'TIME'\"",
               columns);
    std::istringstream lines(columns);
    for (std::string line; std::getline(lines, line);) {
      std::string name = line.substr(0, line.find('|')), type = line.substr(line.find('|') + 1);
      auto add = [](std::string& list, const std::string& item) {
        list += (list.empty() ? "" : ",") + item;
      };
      add(select, name);
      add(names, name);
      add(dbfNames, UpperCaseAscii(name.substr(0, 10)));
    }
    auto run = [&](std::vector<std::string> a, const std::string& out) {
      a.insert(a.end(), {"-o", out});
      a.insert(a.end(), csv.begin(), csv.end());
      Result r = Cli(a);
      EXPECT_EQ(r.status, 0) << table << ": " << r.err;
      return ReadFile(out);
    };
    std::string original = run({"--db", "sqlite:" + demo, "--sql",
                                "SELECT " + select + " FROM " + table, "--fields", names},
                               dir + table + ".csv");
    std::string again = run({"--db", "dbf:" + dir + "dbf", "--table", table, "--fields", dbfNames},
                            dir + table + ".dbf.csv");
    EXPECT_EQ(again, original) << table;
    EXPECT_GT(std::count(original.begin(), original.end(), '\n'), 4) << table;
  }
}

}  // namespace
}  // namespace morvale
