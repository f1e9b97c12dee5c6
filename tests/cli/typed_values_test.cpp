// The values a PostgreSQL server holds, as they arrive in the files of the writers that store
// types (.xlsx, .xls, dBASE, JSON, SQL), read back by readers nobody here wrote: openpyxl, xlrd,
// dbfread, Python's json and psql. The cells take the fields' stored values, never a text parsed
// back, so what a format can hold arrives whole; the comments say what a format cannot hold.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::Cli;
using test::ReadFile;
using test::Result;
using test::RunCommand;
using test::ShellQuote;

// A NUMERIC(20,6) with every digit used, a timestamp with microseconds, a date before 1900, a
// time with a fraction, a Boolean, a 19-digit integer; a row of NULLs; and the other signs and
// ends (the smallest bigint, a millionth, a microsecond after midnight).
const char kValues[] =
    "(1, 12345678901234.123456, '2024-03-05 10:11:12.123456', '1850-03-01', '23:59:58.5', true, "
    "1234567890123456789), (2, NULL, NULL, NULL, NULL, NULL, NULL), (3, -0.000001, "
    "'1899-12-31 00:00:00.000001', '0900-01-01', '00:00:00', false, -9223372036854775808)";

class CliTypedValues : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* url = std::getenv("MORVALE_TEST_POSTGRESQL");
    if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set";
    url_ = url;
    psql_ = "psql " + ShellQuote(url_) + " -X -q -A -t -v ON_ERROR_STOP=1 ";
    table_ = "morvale_typed_" + std::to_string(getpid());
    dir_ = test::FreshFolder("cli-typed");
    Psql("DROP TABLE IF EXISTS " + table_ + "; CREATE TABLE " + table_ +
         " (id int, amount numeric(20,6), stamp timestamp, born date, at_time time, flag "
         "boolean, big bigint); INSERT INTO " +
         table_ + " VALUES " + kValues);
  }
  void TearDown() override {
    if (!table_.empty()) Psql("DROP TABLE IF EXISTS " + table_ + ", " + table_ + "_copy");
  }

  std::string Psql(const std::string& sql) {
    std::string out;
    EXPECT_EQ(RunCommand(psql_ + "-c " + ShellQuote(sql) + " 2>&1", out), 0) << out;
    return out;
  }
  // Exports the table as `type` into out.<type> with the extra arguments; `before` goes in
  // front of the query.
  std::string Export(const std::string& type, std::vector<std::string> extra = {},
                     const std::string& before = "") {
    const std::string file = dir_ + "out" + std::to_string(before.size()) + "." + type;
    std::vector<std::string> a = {
        "--db",   url_, "--sql", before + "SELECT * FROM " + table_ + " ORDER BY id",
        "--type", type, "-o",    file};
    a.insert(a.end(), extra.begin(), extra.end());
    Result r = Cli(a);
    EXPECT_EQ(r.status, 0) << r.err;
    return file;
  }
  // The data rows as tests/cli/typed_read.py prints them.
  std::string ReadBack(const std::string& file) {
    std::string out;
    EXPECT_EQ(RunCommand(test::Python() + " " +
                             ShellQuote(MORVALE_SOURCE_DIR "/tests/cli/typed_read.py") + " " +
                             ShellQuote(file) + " 2>&1",
                         out),
              0)
        << out;
    return out;
  }

  std::string url_, psql_, table_, dir_;
};

TEST_F(CliTypedValues, Xlsx) {
  // A cell number is a double written with sixteen digits: the NUMERIC keeps what those hold. The
  // serial day keeps the fraction of a second to the millisecond, a time of day is the fraction
  // of a day; days before 1900 have no serial and are texts in the column's format, and a
  // 19-digit integer, which no double holds, is its digits as text.
  EXPECT_EQ(ReadBack(Export("xlsx")),
            "1 | 12345678901234.12 | datetime.datetime(2024, 3, 5, 10, 11, 12, 123000) | "
            "'1850-03-01' | datetime.time(23, 59, 58, 500000) | True | '1234567890123456789'\n"
            "2 | None | None | None | None | None | None\n"
            "3 | -1e-06 | '1899-12-31 00:00:00' | '0900-01-01' | datetime.time(0, 0) | False | "
            "'-9223372036854775808'\n");
}

TEST_F(CliTypedValues, Xls) {
  // BIFF cells are doubles: the NUMERIC and the 19-digit integers are the doubles nearest them.
  // A time of day and a day before 1900 are texts in the column's format (whole seconds).
  EXPECT_EQ(ReadBack(Export("xls")),
            "1.0 | 12345678901234.123 | datetime.datetime(2024, 3, 5, 10, 11, 12, 123000) | "
            "'1850-03-01' | '23:59:58' | True | 1.2345678901234568e+18\n"
            "2.0 | None | None | None | None | None | None\n"
            "3.0 | -1e-06 | '1899-12-31 00:00:00' | '0900-01-01' | '00:00:00' | False | "
            "-9.223372036854776e+18\n");
}

TEST_F(CliTypedValues, DBase) {
  // An N field wide enough holds every digit of the NUMERIC; a date field keeps no time of day
  // and a time's character field whole seconds. NULLs are blank fields, not zeros.
  EXPECT_EQ(ReadBack(Export("dbf", {"--set", "ColumnsPrecision=amount=21,6"})),
            "'1' | '12345678901234.123456' | datetime.date(2024, 3, 5) | "
            "datetime.date(1850, 3, 1) | '23:59:58' | True | '1234567890123456789'\n"
            "'2' | None | None | None | '' | None | None\n"
            "'3' | '-0.000001' | datetime.date(1899, 12, 31) | datetime.date(900, 1, 1) | "
            "'00:00:00' | False | '-9223372036854775808'\n");
}

TEST_F(CliTypedValues, Json) {
  // Every value whole: the NUMERIC's digits, the microseconds, the 19 digits.
  const std::string file = Export("json");
  std::string out;
  ASSERT_EQ(RunCommand(test::Python() +
                           " -c 'import json,sys,decimal; "
                           "[print(repr(list(r.values()))) for r in json.load(open(sys.argv[1]), "
                           "parse_float=decimal.Decimal)]' " +
                           ShellQuote(file),
                       out),
            0)
      << out;
  EXPECT_EQ(out,
            "[1, Decimal('12345678901234.123456'), '2024-03-05T10:11:12.123456', '1850-03-01', "
            "'23:59:58.5', True, 1234567890123456789]\n"
            "[2, None, None, None, None, None, None]\n"
            "[3, Decimal('-0.000001'), '1899-12-31T00:00:00.000001', '0900-01-01', '00:00:00', "
            "False, -9223372036854775808]\n");
}

TEST_F(CliTypedValues, RowByRowAsThroughCopy) {
  // A statement that COPY does not run (here one that starts with a comment) is read row by row
  // in the same binary forms: the files hold the same values.
  const std::string comment = "/* one row at a time */ ";
  EXPECT_EQ(ReadBack(Export("xlsx", {}, comment)), ReadBack(Export("xlsx")));
  const std::string rowByRow = ReadFile(Export("json", {}, comment));
  EXPECT_NE(rowByRow.find("12345678901234.123456"), std::string::npos) << rowByRow;
  EXPECT_EQ(rowByRow, ReadFile(Export("json")));
}

TEST_F(CliTypedValues, SqlLoadsBackIntoTheServer) {
  // The script loaded into a copy of the table gives the server every value it holds.
  const std::string copy = table_ + "_copy";
  Psql("CREATE TABLE " + copy + " (LIKE " + table_ + ")");
  const std::string file = Export("sql", {"--set", "SQLDialect=sdPostgreSQL", "--set",
                                          "TableName=" + copy, "--set", "CreateTable=False"});
  std::string out;
  ASSERT_EQ(RunCommand(psql_ + "-f " + ShellQuote(file) + " 2>&1", out), 0) << out;
  EXPECT_EQ(Psql("SELECT count(*) FROM " + copy), "3\n");
  EXPECT_EQ(
      Psql("SELECT count(*) FROM ((SELECT * FROM " + table_ + " EXCEPT SELECT * FROM " + copy +
           ") UNION ALL (SELECT * FROM " + copy + " EXCEPT SELECT * FROM " + table_ + ")) d"),
      "0\n");
  EXPECT_EQ(Psql("SELECT amount, stamp, at_time FROM " + copy + " WHERE id = 1"),
            "12345678901234.123456|2024-03-05 10:11:12.123456|23:59:58.5\n");
}

// A MySQL server's values through its prepared statements' typed rows: the DECIMAL's digits, the
// DATETIME(6)'s microseconds (which the server's text rows held only to the millisecond once
// read as a date, and hold whole now), a date before 1900, a TIME, a 19-digit integer, a NULL.
TEST(CliTypedValuesMySql, PreparedRowsArriveWhole) {
  const char* url = std::getenv("MORVALE_TEST_MYSQL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_MYSQL is not set";
  const std::string dir = test::FreshFolder("cli-typed-mysql");
  const std::string sql =
      "SELECT CAST(12345678901234.123456 AS DECIMAL(20,6)) AS amount, "
      "CAST('2024-03-05 10:11:12.123456' AS DATETIME(6)) AS stamp, CAST('1850-03-01' AS DATE) "
      "AS born, CAST('23:59:58' AS TIME) AS at_time, 1234567890123456789 AS big, NULL AS "
      "missing, 'Москва \"O''Brien\"' AS name";
  for (const char* type : {"json", "xlsx"}) {
    const std::string file = dir + "out." + type;
    Result r = Cli({"--db", url, "--sql", sql, "--type", type, "-o", file});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  EXPECT_EQ(ReadFile(dir + "out.json"),
            "[\n{\"amount\":12345678901234.123456,\"stamp\":\"2024-03-05T10:11:12.123456\","
            "\"born\":\"1850-03-01\",\"at_time\":\"23:59:58\",\"big\":1234567890123456789,"
            "\"missing\":null,\"name\":\"Москва \\\"O'Brien\\\"\"}\n]\n");
  // Two statements in one text, which the server does not prepare, come as its text rows: the
  // first one's values arrive as whole.
  Result text = Cli({"--db", url, "--sql", sql + "; SELECT 2", "--type", "json", "-o", "-"});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, ReadFile(dir + "out.json"));
  std::string out;
  ASSERT_EQ(
      RunCommand(test::Python() + " " + ShellQuote(MORVALE_SOURCE_DIR "/tests/cli/typed_read.py") +
                     " " + ShellQuote(dir + "out.xlsx") + " 2>&1",
                 out),
      0)
      << out;
  EXPECT_EQ(out,
            "12345678901234.12 | datetime.datetime(2024, 3, 5, 10, 11, 12, 123000) | "
            "'1850-03-01' | datetime.time(23, 59, 58) | '1234567890123456789' | None | "
            "'Москва \"O\\'Brien\"'\n");
}

}  // namespace
}  // namespace morvale
