// The dBASE and RTF types of the command-line exporter on the demo database: every table read
// back by python3-dbfread and compared with SQLite, settings through --set, RTF through unrtf.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>

#include "cli/run.h"
#include "export/core/streams.h"
#include "tests/support/awkward.h"
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

std::string DbfCheck(const std::string& db, const std::string& table, const std::string& dbf,
                     const std::string& columns = "") {
  std::string out;
  RunCommand(test::Python() + " " + ShellQuote(MORVALE_SOURCE_DIR "/tests/cli/dbfcheck.py") + " " +
                 ShellQuote(db) + " " + ShellQuote(table) + " " + ShellQuote(dbf) +
                 (columns.empty() ? "" : " " + ShellQuote(columns)) + " 2>&1",
             out);
  return out;
}

// The lines of standard error that say something was left out of a dBASE date field.
int TimeNotes(const std::string& err) {
  int n = 0;
  for (size_t at = err.find("dBASE date fields"); at != std::string::npos;
       at = err.find("dBASE date fields", at + 1))
    ++n;
  return n;
}

// dBASE keeps times. A TIME column is a text field hh:nn:ss; a date-time stays a date field, and
// the command line names, once, the columns whose time of day that lost; DateTimeAsText writes
// them as text yyyy-mm-dd hh:nn:ss instead. The awkward database read back by dbfread value by
// value, under locales whose time texts differ.
TEST(CliDbf, TimesKeptAndLostTimesOfDayNamed) {
  std::string dir = test::FreshFolder("cli-dbf-times");
  const std::string& db = test::AwkwardDatabase();
  const std::string allTypes = "id,big,amount,ratio,flag,born,stamp,at_time,short_text,memo";
  struct {
    const char* table;
    std::string fields;
    const char* lost;  // the column whose times a date field drops
    const char* kept;  // what dbfread reads from its text field with DateTimeAsText
  } cases[] = {{"all types", allTypes, "'stamp'", "STAMP='2024-02-29 23:59:59'"},
               {"Order Details", "", "'Shipped At'", "SHIPPED AT='1996-07-10 11:22:33'"}};
  for (const char* locale : {"C", "en_US.UTF-8"})
    for (bool asText : {false, true})
      for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + locale + (asText ? " as text" : ""));
        const std::string dbf = dir + c.table + (asText ? "-text" : "") + ".dbf";
        const std::string sql =
            "SELECT " + (c.fields.empty() ? "*" : c.fields) + " FROM \"" + c.table + "\"";
        std::vector<std::string> a = {
            "--db",     "sqlite:" + db, "--sql", sql,
            "--type",   "dbf",          "-o",    dbf,
            "--locale", locale,         "--set", "ColumnsPrecision.ratio=26,8"};
        if (!c.fields.empty()) a.insert(a.end(), {"--fields", c.fields});  // the memo too
        if (asText) a.insert(a.end(), {"--set", "DateTimeAsText=True"});
        Result r = Cli(a);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(DbfCheck(db, c.table, dbf, c.fields).substr(0, 8), "checked ")
            << DbfCheck(db, c.table, dbf, c.fields);
        const std::string dump = test::DbfRead(dbf);
        if (std::string(c.table) == "all types") {
          EXPECT_NE(dump.find("field AT_TIME C 8 0"), std::string::npos) << dump;
          for (const char* t : {"AT_TIME='14:30:05'", "AT_TIME='00:00:00'", "AT_TIME='23:59:59'"})
            EXPECT_NE(dump.find(t), std::string::npos) << t << "\n" << dump;
        }
        if (asText) {
          EXPECT_NE(dump.find(c.kept), std::string::npos) << dump;
          EXPECT_EQ(TimeNotes(r.err), 0) << r.err;
        } else {
          EXPECT_EQ(TimeNotes(r.err), 1) << r.err;
          EXPECT_NE(r.err.find(c.lost), std::string::npos) << r.err;
          EXPECT_NE(r.err.find("--set DateTimeAsText=True"), std::string::npos) << r.err;
        }
      }
  // Bare dates and midnights lose nothing, so nothing is said.
  Result dates = Cli({"--db", "sqlite:" + db, "--sql",
                      "SELECT * FROM \"Order Details\" WHERE \"OrderID\" = 10248", "--type", "dbf",
                      "-o", dir + "dates.dbf"});
  ASSERT_EQ(dates.status, 0) << dates.err;
  EXPECT_EQ(dates.err, "");
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
// as the database itself, for what dBASE holds: a TIME comes back as its text hh:nn:ss, a
// date-time keeps its date, and field names are upper-cased and cut to ten characters. Whole
// numbers keep every digit, a BIGINT beyond 2^53 included.
TEST(CliDbf, RoundTripThroughTheLocalTableEngine) {
  std::string dir = test::FreshFolder("cli-dbf-roundtrip");
  const std::string& demo = test::DemoDatabase();
  std::istringstream words(
      "--type csv --no-captions --locale C --format integer=0 --format float=0.########## "
      "--format currency=0.########## --format date=yyyy-mm-dd --format datetime=yyyy-mm-dd "
      "--format time=hh:nn:ss");
  const std::vector<std::string> csv{std::istream_iterator<std::string>(words), {}};
  for (const char* table : {"customers", "products", "orders", "order_items"}) {
    std::string dbf = dir + "dbf/" + table + ".dbf";
    Result r = Cli({"--db", "sqlite:" + demo, "--table", table, "--type", "dbf", "-o", dbf,
                    "--fields", Columns(table)});
    ASSERT_EQ(r.status, 0) << r.err;

    std::string columns, select, names, dbfNames;
    RunCommand("sqlite3 " + ShellQuote(demo) + " \"SELECT name, type FROM pragma_table_info('" +
                   table + "')\"",
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
