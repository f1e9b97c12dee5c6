// The previous file is safe, through the command line: every file type exported over existing
// files (a table with its memo file, HTML pages with their index and style sheet) fails, at every
// size a full disk can stop it, with the target named and said to be unchanged, the previous files
// byte for byte as they were and nothing else left in the folder; and a run that finishes replaces
// them all together.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/faults.h"

namespace morvale {
namespace {

using test::Cli;
using test::FolderNames;
using test::FolderPicture;
using test::Result;
using TPicture = std::map<std::string, std::string>;

struct TCase {
  const char* type;
  const char* table;
  const char* file;                 // the -o name
  std::vector<const char*> others;  // the further files the run writes
  std::vector<std::string> settings;
};

std::ostream& operator<<(std::ostream& os, const TCase& c) {
  return os << c.type;
}

class PreviousFileSafe : public ::testing::TestWithParam<TCase> {
 protected:
  std::vector<std::string> Args(const std::string& dir) const {
    const TCase& c = GetParam();
    std::vector<std::string> args = test::DemoPlainArgs(c.table);
    args.insert(args.end(), {"--type", c.type, "-o", dir + c.file});
    for (const std::string& s : c.settings) args.insert(args.end(), {"--set", s});
    return args;
  }
  // The files a user had: the run's names, each holding a text of its own.
  TPicture Previous(const std::string& dir) const {
    const TCase& c = GetParam();
    TPicture files{{c.file, std::string("previous ") + c.file + std::string(3, '\0')}};
    for (const char* other : c.others) files[other] = std::string("previous ") + other;
    for (const auto& [name, bytes] : files) test::WriteFile(dir + name, bytes);
    return files;
  }
};

TEST_P(PreviousFileSafe, EveryFailedWriteKeepsThePreviousFiles) {
  const TCase& c = GetParam();
  // The size of the largest file of a finished run: every limit below it fails the run.
  const std::string full = test::FreshFolder("full");
  Result done = Cli(Args(full));
  ASSERT_EQ(done.status, 0) << done.err;
  size_t largest = 0;
  for (const auto& [name, bytes] : FolderPicture(full)) largest = std::max(largest, bytes.size());
  ASSERT_GT(largest, 0u);

  const std::string dir = test::FreshFolder("limited");
  const TPicture previous = Previous(dir);
  const std::string target = dir + c.file;
  for (size_t limit :
       {size_t{0}, size_t{1}, largest / 7, largest / 3, largest / 2, largest * 19 / 20}) {
    Result r;
    {
      const test::TFileSizeLimit full(limit);
      r = Cli(Args(dir));
    }
    EXPECT_EQ(r.status, 1) << "limit " << limit << ": " << r.err;
    EXPECT_NE(r.err.find("'" + target + "' is unchanged"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("morvale-part"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("/proc/"), std::string::npos) << r.err;
    EXPECT_EQ(FolderPicture(dir), previous) << "limit " << limit << ": " << FolderNames(dir);
  }

  // A run that finishes replaces every previous file, all of them as a fresh run writes them.
  Result r = Cli(Args(dir));
  ASSERT_EQ(r.status, 0) << r.err;
  TPicture written = FolderPicture(dir);
  TPicture fresh = FolderPicture(full);
  ASSERT_EQ(FolderNames(dir), FolderNames(full));
  // The other types embed the time of the run.
  if (std::string(c.type) == "csv" || std::string(c.type) == "html") {
    EXPECT_EQ(written, fresh);
  }
}

const std::vector<std::string> kPages = {"MaxRecords=2", "GenerateIndex=true",
                                         "UsingCSS=usExternal", "Navigation.OnTop=true"};

INSTANTIATE_TEST_SUITE_P(
    Types, PreviousFileSafe,
    ::testing::Values(TCase{"csv", "orders", "orders.csv", {}, {}},
                      TCase{"pdf", "orders", "orders.pdf", {}, {}},
                      TCase{"xlsx", "orders", "orders.xlsx", {}, {}},
                      TCase{"xls", "orders", "orders.xls", {}, {}},
                      TCase{"dbf", "customers", "customers.dbf", {"customers.dbt"}, {}},
                      TCase{"rtf", "orders", "orders.rtf", {}, {}},
                      TCase{"html",
                            "order_items",
                            "items.htm",
                            {"items01.htm", "items02.htm", "items01.css"},
                            kPages}),
    [](const auto& info) { return std::string(info.param.type); });

TEST(PreviousFileSafe, StandardOutputAndDevicesAreStillWrittenAsTheyGo) {
  Result r = Cli({"--db", "sqlite:" + test::DemoDatabase(), "--table", "orders", "--type", "csv",
                  "-o", "/dev/null"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = Cli({"--db", "sqlite:" + test::DemoDatabase(), "--table", "orders", "--type", "csv", "-o",
           "/dev/full"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("'/dev/full'"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("unchanged"), std::string::npos)
      << "a device has no previous file: " << r.err;
}

TEST(PreviousFileSafe, ANewFileThatFailsIsNotWritten) {
  const std::string dir = test::FreshFolder("new");
  const std::vector<std::string> args = {"--db",    "sqlite:" + test::DemoDatabase(),
                                         "--table", "orders",
                                         "--type",  "csv",
                                         "-o",      dir + "orders.csv"};
  Result r;
  {
    const test::TFileSizeLimit full(100);
    r = Cli(args);
  }
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no file '" + dir + "orders.csv' was written"), std::string::npos) << r.err;
  EXPECT_EQ(FolderNames(dir), "");
}

}  // namespace
}  // namespace morvale
