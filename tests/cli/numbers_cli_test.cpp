// What morvale-export writes where nobody asked for a format: numbers with every digit they hold
// (exact decimals with their scale, doubles as the shortest digits that read back the same), in the
// locale's notation; formats given by --format, --set or an options file round as before. And the
// one line that names the memo and binary columns the defaults left out.
#include <gtest/gtest.h>

#include <cstdlib>

#include "export/core/inifile.h"
#include "tests/support/awkward.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::Cli;
using test::ReadFile;
using test::Result;

class CliNumbers : public ::testing::Test {
 protected:
  CliNumbers() : dir_(test::FreshFolder("cli-numbers")) {}

  // The CSV of `sql` on `db`, without captions, in `locale`, with the extra arguments.
  std::string Csv(const std::string& db, const std::string& sql, const std::string& locale,
                  std::vector<std::string> extra = {}) {
    std::vector<std::string> a = {"--db",     db,     "--sql",        sql,
                                  "--type",   "csv",  "-o",           dir_ + "out.csv",
                                  "--locale", locale, "--no-captions"};
    a.insert(a.end(), extra.begin(), extra.end());
    Result r = Cli(a);
    EXPECT_EQ(r.status, 0) << r.err;
    return ReadFile(dir_ + "out.csv");
  }
  std::string dir_;
};

const char kAwkwardNumbers[] = "SELECT amount, ratio FROM \"all types\" ORDER BY id";

TEST_F(CliNumbers, EveryDigitWhereNoFormatIsGiven) {
  const std::string db = "sqlite:" + test::AwkwardDatabase();
  // NUMERIC(14,4) and DOUBLE as SQLite keeps them (as doubles): the shortest digits, positional
  // down to 1e-7; NULLs stay empty.
  EXPECT_EQ(Csv(db, kAwkwardNumbers, "C"),
            "\"1.2345\",\"3.14159265358979\"\r\n"
            "\"-0.0001\",\"-0.0000001\"\r\n"
            "\"123456789.12\",\"1000000000000000\"\r\n"
            "\"\",\"\"\r\n");
  // The locale's decimal separator, as formatted numbers have; no grouping.
  EXPECT_EQ(Csv(db, kAwkwardNumbers, "ru_RU.UTF-8", {"--set", "CSVComma=;"}),
            "\"1,2345\";\"3,14159265358979\"\r\n"
            "\"-0,0001\";\"-0,0000001\"\r\n"
            "\"123456789,12\";\"1000000000000000\"\r\n"
            "\"\";\"\"\r\n");
  // Seventeen digits where a double needs them, and the text types beside CSV.
  const char* sum = "SELECT 0.1 + 0.2 AS s, 1e300 AS big, CAST(5 AS REAL) AS five";
  EXPECT_EQ(Csv(db, sum, "C"), "\"0.30000000000000004\",\"1E+300\",\"5\"\r\n");
  for (const char* type : {"xml", "html", "tex", "json", "txt"}) {
    Result r = Cli(
        {"--db", db, "--sql", sum, "--type", type, "-o", dir_ + "sum." + type, "--locale", "C"});
    ASSERT_EQ(r.status, 0) << type << ": " << r.err;
    EXPECT_NE(ReadFile(dir_ + "sum." + type).find("0.30000000000000004"), std::string::npos)
        << type;
  }
}

TEST_F(CliNumbers, GivenFormatsRoundAsBefore) {
  const std::string db = "sqlite:" + test::AwkwardDatabase();
  EXPECT_EQ(Csv(db, kAwkwardNumbers, "C", {"--format", "float=0.00"}),
            "\"1.23\",\"3.14\"\r\n\"0.00\",\"0.00\"\r\n"
            "\"123456789.12\",\"1000000000000000.00\"\r\n\"\",\"\"\r\n");
  EXPECT_EQ(Csv(db, kAwkwardNumbers, "C", {"--set", "Formats.FloatFormat=0.0"}).substr(0, 13),
            "\"1.2\",\"3.1\"\r\n");
  // One column's own format rounds that column only.
  EXPECT_EQ(Csv(db, kAwkwardNumbers, "C", {"--set", "UserFormats.ratio=0.0"}),
            "\"1.2345\",\"3.1\"\r\n\"-0.0001\",\"0.0\"\r\n"
            "\"123456789.12\",\"1000000000000000.0\"\r\n\"\",\"\"\r\n");

  // An options file that gives a float format rounds; one that gives none keeps the digits, and
  // so does the file --save-options writes for a command line that gave none.
  const std::string cfg = dir_ + "saved.cfg";
  Csv(db, kAwkwardNumbers, "C", {"--save-options", cfg});
  EXPECT_FALSE(TIniFile(cfg).ValueExists("FORMATS", "Float"));
  EXPECT_EQ(Csv(db, kAwkwardNumbers, "C", {"--options", cfg}).substr(0, 29),
            "\"1.2345\",\"3.14159265358979\"\r\n");
  TIniFile(cfg).WriteString("FORMATS", "Float", "0.000");
  EXPECT_EQ(Csv(db, kAwkwardNumbers, "C", {"--options", cfg}).substr(0, 17),
            "\"1.235\",\"3.142\"\r\n");
  Csv(db, kAwkwardNumbers, "C", {"--format", "float=0.0", "--save-options", cfg});
  EXPECT_EQ(TIniFile(cfg).ReadString("FORMATS", "Float", ""), "0.0");
}

// A server's exact decimals keep their scale and every digit; its doubles their shortest digits.
TEST_F(CliNumbers, ServerDecimalsAndDoubles) {
  const char* pg = std::getenv("MORVALE_TEST_POSTGRESQL");
  const char* my = std::getenv("MORVALE_TEST_MYSQL");
  if ((!pg || !*pg) && (!my || !*my))
    GTEST_SKIP() << "neither MORVALE_TEST_POSTGRESQL nor MORVALE_TEST_MYSQL is set";
  if (pg && *pg) {
    const std::string sql =
        "SELECT 1.2345::numeric(14,4) AS amount, 1.2::numeric(14,4) AS scaled, "
        "-0.0001::numeric(14,4) AS small, 1234567890.1234::numeric(14,4) AS wide, "
        "12345678901234567890.123456789::numeric AS huge, 3.14159265::float8 AS ratio, "
        "(0.1::float8 + 0.2::float8) AS sum, NULL::numeric(14,4) AS missing";
    EXPECT_EQ(Csv(pg, sql, "C"),
              "\"1.2345\",\"1.2000\",\"-0.0001\",\"1234567890.1234\","
              "\"12345678901234567890.123456789\",\"3.14159265\",\"0.30000000000000004\",\"\"\r\n");
    EXPECT_EQ(Csv(pg, sql, "ru_RU.UTF-8", {"--set", "CSVComma=;"}).substr(0, 28),
              "\"1,2345\";\"1,2000\";\"-0,0001\";");
    EXPECT_EQ(Csv(pg, sql, "C", {"--format", "float=0.00"}).substr(0, 14), "\"1.23\",\"1.20\",");
  }
  if (my && *my) {
    const std::string sql =
        "SELECT CAST(1.2345 AS DECIMAL(14,4)) AS amount, CAST(1.2 AS DECIMAL(14,4)) AS scaled, "
        "CAST(-0.0001 AS DECIMAL(14,4)) AS small, "
        "CAST(12345678901234567890.123456789 AS DECIMAL(30,9)) AS huge, 3.14159265e0 AS ratio";
    EXPECT_EQ(Csv(my, sql, "C"),
              "\"1.2345\",\"1.2000\",\"-0.0001\",\"12345678901234567890.123456789\","
              "\"3.14159265\"\r\n");
  }
}

// Memo and binary fields go out only when --fields names them: the defaults say once what they
// left out and how to bring it back, also when the user's own SELECT names the column.
TEST_F(CliNumbers, LeftOutMemoColumnsAreNamed) {
  const std::string db = "sqlite:" + test::AwkwardDatabase();
  auto run = [&](std::vector<std::string> a) {
    a.insert(a.begin(), {"--db", db, "--type", "csv", "-o", dir_ + "memo.csv"});
    Result r = Cli(a);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.err;
  };
  std::string err = run({"--sql", "SELECT * FROM \"all types\""});
  EXPECT_EQ(err,
            "morvale-export: the memo and binary columns 'memo', 'picture' were left out; name "
            "them in --fields to export them (--fields id,big,amount,ratio,flag,born,stamp,"
            "at_time,short_text,long_text,memo,picture)\n");
  err = run({"--sql", "SELECT id, memo FROM \"all types\""});
  EXPECT_EQ(err,
            "morvale-export: the memo and binary columns 'memo' were left out; name them in "
            "--fields to export them (--fields id,memo)\n");
  EXPECT_EQ(ReadFile(dir_ + "memo.csv").substr(0, 6), "\"id\"\r\n");
  EXPECT_EQ(run({"--sql", "SELECT id, memo FROM \"all types\"", "--fields", "id,memo"}), "");
  EXPECT_NE(ReadFile(dir_ + "memo.csv").find("memo 3"), std::string::npos);
  EXPECT_EQ(run({"--sql", "SELECT * FROM \"Order Details\""}), "");  // nothing to leave out
}

}  // namespace
}  // namespace morvale
