// The dates morvale-export writes into its files, read back by python3-dbfread and openpyxl:
// SOURCE_DATE_EPOCH's moment in UTC when it is set, the clock's otherwise, and a word on standard
// error when the variable is set to something that is no count of seconds.
#include <gtest/gtest.h>

#include <ctime>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/envguard.h"
#include "tests/support/timezone.h"

namespace morvale {
namespace {

using test::Cli;
using test::Result;
using test::ShellQuote;

// What a Python snippet prints about the file given as argv[1].
std::string Py(const std::string& file, const std::string& code) {
  std::string out;
  int status = test::RunCommand(
      test::Python() + " -c " + ShellQuote(code) + " " + ShellQuote(file) + " 2>&1", out);
  return status == 0 ? out : "python failed: " + out;
}

std::string DbfDate(const std::string& dbf) {
  return Py(dbf, "import sys, dbfread; print(dbfread.DBF(sys.argv[1]).date)");
}

std::string XlsxTimes(const std::string& xlsx) {
  return Py(xlsx,
            "import sys, openpyxl; p = openpyxl.load_workbook(sys.argv[1]).properties;"
            " print(p.created, p.modified)");
}

// The fields named, so that standard error holds only what is said about the date (the defaults
// would name the memo column they leave out).
Result Export(const std::string& type, const std::string& file) {
  return Cli({"--db", "sqlite:" + test::DemoDatabase(), "--table", "customers", "--type", type,
              "-o", file, "--fields", "id,name,city,phone,vip,since"});
}

std::string LocalToday() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  char day[16];
  std::strftime(day, sizeof day, "%Y-%m-%d", &t);
  return day;
}

TEST(SourceDateEpochCli, DbaseAndWorkbookDatesAreItsMomentInUtc) {
  const std::string dir = test::FreshFolder("stamp-cli");
  test::TEnvGuard pinned("SOURCE_DATE_EPOCH", "1700000000");  // 2023-11-14 22:13:20 UTC
  // Nine hours east, where that moment is already the 15th: the files still say the 14th.
  test::TTimeZoneGuard zone("XST-9");
  Result dbf = Export("dbf", dir + "c.dbf");
  ASSERT_EQ(dbf.status, 0) << dbf.err;
  EXPECT_EQ(dbf.err, "");
  EXPECT_EQ(DbfDate(dir + "c.dbf"), "2023-11-14\n");
  Result xlsx = Export("xlsx", dir + "c.xlsx");
  ASSERT_EQ(xlsx.status, 0) << xlsx.err;
  EXPECT_EQ(XlsxTimes(dir + "c.xlsx"), "2023-11-14 22:13:20 2023-11-14 22:13:20\n");

  // The first second of 1970 is a moment like any other, not "now".
  test::TEnvGuard epoch("SOURCE_DATE_EPOCH", "0");
  ASSERT_EQ(Export("xlsx", dir + "e.xlsx").status, 0);
  EXPECT_EQ(XlsxTimes(dir + "e.xlsx"), "1970-01-01 00:00:01 1970-01-01 00:00:01\n");
  // dbfread takes a year byte under 80 for this century, so the bytes themselves are read here.
  ASSERT_EQ(Export("dbf", dir + "e.dbf").status, 0);
  EXPECT_EQ(test::ReadFile(dir + "e.dbf").substr(1, 3), std::string("\x46\x01\x01", 3));
}

TEST(SourceDateEpochCli, AnUnreadableValueIsSaidAndTheClockDatesTheFiles) {
  const std::string dir = test::FreshFolder("stamp-cli-bad");
  test::TEnvGuard bad("SOURCE_DATE_EPOCH", "2023-11-14");
  const std::string before = LocalToday();
  Result r = Export("dbf", dir + "c.dbf");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err,
            "morvale-export: SOURCE_DATE_EPOCH \"2023-11-14\" is not whole seconds since 1970; "
            "the files are dated by the clock\n");
  const std::string date = DbfDate(dir + "c.dbf");
  EXPECT_TRUE(date == before + "\n" || date == LocalToday() + "\n") << date;

  // Unset, or set empty as some build systems leave it: the clock, without a word.
  for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
    test::TEnvGuard clock("SOURCE_DATE_EPOCH", unset);
    Result quiet = Export("dbf", dir + "q.dbf");
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
  }
}

}  // namespace
}  // namespace morvale
