// morvale-export --attach: one query across an SQLite database, a dBASE folder, PostgreSQL and
// MariaDB gives the CSV of the same join over the four tables copied into one SQLite database.
#include <gtest/gtest.h>

#include "app/engine/aliases.h"
#include "app/engine/remotevtab.h"
#include "app/engine/session.h"
#include "tests/support/clirun.h"
#include "tests/support/heterofixture.h"

namespace morvale {
namespace {

using test::Cli;

TEST(CliAttach, OptionsAreCheckedBeforeAnythingConnects) {
  auto r = Cli({"--db", "sqlite:x.db", "--attach", "=sqlite:y.db", "--sql", "SELECT 1", "--type",
                "csv", "-o", "-"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("expected NAME=DATABASE or ALIAS"), std::string::npos) << r.err;
  r = Cli({"--db", "sqlite:x.db", "--attach", "A=sqlite:y.db", "--attach", "a=sqlite:z.db", "--sql",
           "SELECT 1", "--type", "csv", "-o", "-"});
  EXPECT_NE(r.err.find("--attach names 'a' twice"), std::string::npos) << r.err;
  r = Cli({"--db", "sqlite:x.db", "--attach", "temp=sqlite:y.db", "--sql", "SELECT 1", "--type",
           "csv", "-o", "-"});
  EXPECT_NE(r.err.find("cannot name a database 'temp'"), std::string::npos) << r.err;
  EXPECT_NE(Cli({"--help"}).out.find("--attach NAME=DATABASE"), std::string::npos);
}

TEST(CliAttach, DatabasesOfAnyFormAndAliasesUnderTheirOwnName) {
  const std::string dir = test::FreshFolder("cli-attach");
  test::TDbfBuilder b;
  b.Add("CITY", 'C', 20);
  b.Add("REGION", 'C', 10);
  b.rows = {{"London", "Europe"}, {"Dublin", "Europe"}};
  test::WriteFile(dir + "cities.dbf", b.Build());
  test::WriteFile(dir + "readonly.ini",
                  "[DEMO]\nDRIVER=SQLITE\nPATH=" + test::DemoDatabase() + "\n");
  TAliasConfig::Instance().Load(dir + "user.ini", dir + "readonly.ini");
  // The tables of an SQLite --db keep their bare names; an alias attached alone is its name.
  auto r = Cli({"--db", "sqlite:" + test::DemoDatabase(), "--attach", "D=dbf:" + dir, "--attach",
                "DEMO", "--sql",
                "SELECT c.id, d.REGION, o.id FROM customers c JOIN D.cities d ON d.city = c.city"
                " JOIN DEMO.orders o ON o.customer_id = c.id JOIN DB.customers x ON x.id = c.id"
                " ORDER BY 1, 3",
                "--type", "csv", "--no-captions", "-o", "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string expected = Cli({"--db", "sqlite:" + test::DemoDatabase(), "--sql",
                                    "SELECT c.id, 'Europe', o.id FROM customers c JOIN orders o"
                                    " ON o.customer_id = c.id WHERE c.city IN ('London', 'Dublin')"
                                    " ORDER BY 1, 3",
                                    "--type", "csv", "--no-captions", "-o", "-"})
                                   .out;
  EXPECT_NE(expected, "");
  EXPECT_EQ(r.out, expected);
  // A dBASE --db runs the query itself, the SQLite database attached beside it.
  r = Cli({"--db", "dbf:" + dir, "--attach", "DEMO", "--sql",
           "SELECT count(*) FROM cities JOIN \":DEMO:customers\" c ON c.city = cities.city",
           "--type", "csv", "--no-captions", "-o", "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "\"2\"\r\n");
  // Unknown names say which databases there are.
  r = Cli({"--db", "dbf:" + dir, "--attach", "DEMO", "--sql", "SELECT * FROM NOPE.orders", "--type",
           "csv", "-o", "-"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("база данных 'NOPE' не подключена (подключены: DEMO)"), std::string::npos)
      << r.err;
  r = Cli({"--db", "dbf:" + dir, "--attach", "X=NOSUCHALIAS", "--sql", "SELECT 1", "--type", "csv",
           "-o", "-"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot connect X: Unknown database alias 'NOSUCHALIAS'"), std::string::npos)
      << r.err;
  TSession::Default().SetActive(false);
  TAliasConfig::Instance().LoadDefault();
}

class CliAttachServers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!servers_.Missing().empty()) GTEST_SKIP() << servers_.Missing() << " is not set";
    ASSERT_EQ(servers_.SetUp(), "");
  }
  void TearDown() override { servers_.TearDown(); }
  std::string Csv(std::vector<std::string> args) {
    const std::string out = servers_.Folder + "out.csv";
    for (const char* a : {"--type", "csv", "--locale", "C", "-o"}) args.push_back(a);
    args.push_back(out);
    auto r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return test::ReadFile(out);
  }
  test::THeteroServers servers_;
};

TEST_F(CliAttachServers, JoinOfFourEnginesEqualsTheJoinOfTheCopies) {
  const std::string expected =
      Csv({"--db", "sqlite:" + servers_.CopyDatabase, "--sql", servers_.Join("", "", "", "")});
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 7) << expected;
  // Each look-up of an order reads that order alone, when its total is over 10.
  int64_t pgRows = 0, pgScans = 0;
  SetRemoteObserver([&](const std::string& source, const std::string& sql, int64_t rows) {
    if (source != "PG") return;
    pgRows += rows;
    ++pgScans;
    EXPECT_NE(sql.find("\"total\" > 10"), std::string::npos) << sql;
  });
  EXPECT_EQ(Csv({"--db", "sqlite:" + test::DemoDatabase(), "--attach", "DBF=dbf:" + servers_.Folder,
                 "--attach", "PG=" + servers_.PgUrl, "--attach", "MY=" + servers_.MyUrl, "--sql",
                 servers_.Join("", "DBF.", "PG.", "MY.")}),
            expected);
  SetRemoteObserver(nullptr);
  EXPECT_GT(pgRows, 0);
  EXPECT_LE(pgRows, pgScans);
  // The quoted form, on a dBASE --db.
  EXPECT_EQ(
      Csv({"--db", "dbf:" + servers_.Folder, "--attach", "LITE=sqlite:" + test::DemoDatabase(),
           "--attach", "PG=" + servers_.PgUrl, "--attach", "MY=" + servers_.MyUrl, "--sql",
           servers_.Join("\":LITE:", "", "\":PG:", "\":MY:")}),
      expected);
}

TEST_F(CliAttachServers, RefusedLoginNamesTheDatabaseButNotThePassword) {
  // The server's URL with another password: user:password@host.
  std::string url = servers_.PgUrl;
  const size_t user = url.find("//") + 2, at = url.rfind('@');
  const size_t colon = url.find(':', user);
  ASSERT_LT(colon, at) << "the URL names no password";
  url.replace(colon + 1, at - colon - 1, "wrong-secret");
  auto r = Cli({"--db", "sqlite:" + test::DemoDatabase(), "--attach", "PG=" + url, "--sql",
                "SELECT 1", "--type", "csv", "-o", "-"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot connect PG: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("password authentication failed"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("wrong-secret"), std::string::npos) << r.err;
  TSession::Default().SetActive(false);
}

}  // namespace
}  // namespace morvale
