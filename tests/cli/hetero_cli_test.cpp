// morvale-export --attach: one query across an SQLite database, a dBASE folder, PostgreSQL and
// MariaDB gives the CSV of the same join over the four tables copied into one SQLite database.
#include <gtest/gtest.h>
#include <unistd.h>

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

// Values cross a heterogeneous query whole: a timestamp's microseconds, dates before 1900, NULLs
// and exact decimals of more digits than a double holds, which stay the servers' digits while
// comparing as numbers; a decimal a double holds whole crosses as a number.
TEST_F(CliAttachServers, TimestampsAndDecimalsCrossWhole) {
  const std::string table = "h_typed_" + std::to_string(getpid());
  const std::string rows =
      " VALUES (1, '2024-03-05 06:07:08.123456', 12345678901234.123456, '1850-02-03', 'Ёжик'),"
      " (2, NULL, NULL, NULL, NULL),"
      " (3, '1899-12-30 23:59:59.999999', -98765432109876.000001, '0044-03-15', 'O''Neil'),"
      " (4, '1812-09-07 00:00:00.000001', 0.500000, '1899-12-29', '')";
  ASSERT_EQ(servers_.Exec(true, {"DROP TABLE IF EXISTS " + table,
                                 "CREATE TABLE " + table +
                                     " (id INTEGER PRIMARY KEY, stamp TIMESTAMP(6), amount "
                                     "NUMERIC(20,6), day DATE, note VARCHAR(20))",
                                 "INSERT INTO " + table + rows}),
            "");
  ASSERT_EQ(servers_.Exec(false, {"DROP TABLE IF EXISTS " + table,
                                  "CREATE TABLE " + table +
                                      " (id INTEGER PRIMARY KEY, stamp DATETIME(6), amount "
                                      "DECIMAL(20,6), day DATE, note VARCHAR(20)) CHARSET utf8mb4",
                                  "INSERT INTO " + table + rows}),
            "");
  struct TDrop {
    test::THeteroServers& servers;
    std::string table;
    ~TDrop() {
      servers.Exec(true, {"DROP TABLE " + table});
      servers.Exec(false, {"DROP TABLE " + table});
    }
  } drop{servers_, table};
  const std::string lite = "sqlite:" + test::DemoDatabase();
  // The servers are attached to the SQLite database; a server's own export runs alone.
  auto json = [&](const std::string& db, const std::string& sql) {
    std::vector<std::string> args = {"--db", db, "--sql", sql, "--type", "json", "-o", "-"};
    if (db == lite)
      args.insert(args.end(), {std::string("--attach"), "PG=" + servers_.PgUrl,
                               std::string("--attach"), "MY=" + servers_.MyUrl});
    auto r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  };
  EXPECT_EQ(json(lite,
                 "SELECT p.id, p.stamp, p.amount, p.day, m.stamp AS my_stamp, m.amount AS "
                 "my_amount, m.day AS my_day FROM PG." +
                     table + " p JOIN MY." + table + " m ON m.id = p.id ORDER BY p.id"),
            "[\n"
            "{\"id\":1,\"stamp\":\"2024-03-05T06:07:08.123456\",\"amount\":12345678901234.123456,"
            "\"day\":\"1850-02-03\",\"my_stamp\":\"2024-03-05T06:07:08.123456\",\"my_amount\":"
            "12345678901234.123456,\"my_day\":\"1850-02-03\"},\n"
            "{\"id\":2,\"stamp\":null,\"amount\":null,\"day\":null,\"my_stamp\":null,"
            "\"my_amount\":null,\"my_day\":null},\n"
            "{\"id\":3,\"stamp\":\"1899-12-30T23:59:59.999999\",\"amount\":-98765432109876.000001,"
            "\"day\":\"0044-03-15\",\"my_stamp\":\"1899-12-30T23:59:59.999999\",\"my_amount\":"
            "-98765432109876.000001,\"my_day\":\"0044-03-15\"},\n"
            "{\"id\":4,\"stamp\":\"1812-09-07T00:00:00.000001\",\"amount\":0.5,\"day\":"
            "\"1899-12-29\",\"my_stamp\":\"1812-09-07T00:00:00.000001\",\"my_amount\":0.5,"
            "\"my_day\":\"1899-12-29\"}\n"
            "]\n");
  // Each server's rows read through the query give the bytes of the server's own export, but for
  // the decimal a double holds, which loses only its trailing zeros.
  for (const auto& [name, url] : {std::pair{"PG", servers_.PgUrl}, {"MY", servers_.MyUrl}}) {
    const std::string sql = "SELECT id, stamp, amount, day, note FROM ";
    const std::string where = " WHERE id < 4 ORDER BY id";
    EXPECT_EQ(json(lite, sql + name + "." + table + where), json(url, sql + table + where)) << name;
  }
  // The decimals kept as text still compare as numbers, with the server's answer and without.
  for (const char* name : {"PG", "MY"}) {
    const std::string from = " FROM " + std::string(name) + "." + table;
    EXPECT_EQ(json(lite, "SELECT id" + from + " WHERE amount < 0 OR amount > 1e13 ORDER BY id"),
              "[\n{\"id\":1},\n{\"id\":3}\n]\n")
        << name;
    EXPECT_EQ(json(lite, "SELECT id" + from + " WHERE abs(amount) BETWEEN 0.1 AND 1"),
              "[\n{\"id\":4}\n]\n")
        << name;
    EXPECT_EQ(json(lite, "SELECT id" + from + " WHERE amount = 12345678901234.123456"),
              "[\n{\"id\":1}\n]\n")
        << name;
    // Each arm of an OR is a statement of its own on the server: a row that two arms find is
    // given once, and one that a later arm alone finds is given too.
    EXPECT_EQ(json(lite, "SELECT id" + from + " WHERE id < 2 OR id > 3 ORDER BY id"),
              "[\n{\"id\":1},\n{\"id\":4}\n]\n")
        << name;
    EXPECT_EQ(json(lite, "SELECT count(*) AS n" + from + " WHERE id <= 3 OR id >= 2"),
              "[\n{\"n\":4}\n]\n")
        << name;
  }
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
