// morvale-export --table with names that need quoting: every table and view of the awkward SQLite
// database, dBASE files named with spaces and Cyrillic, and awkward names on CI's private
// PostgreSQL and MariaDB and through ODBC; --list-tables spells them as the catalogue does; SHOW
// FIELDS, DESCRIBE and the heterogeneous forms on such names.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/engine/session.h"
#include "tests/support/awkward.h"
#include "tests/support/awkwardserver.h"
#include "tests/support/clirun.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::Cli;
using test::Result;

// The CSV of a table or a query, without captions; the status and messages are checked here.
std::string Csv(const std::string& database, const std::string& what, const std::string& value,
                std::vector<std::string> more = {}) {
  // The C locale: the CSV separator otherwise follows the machine's (a semicolon in Russian).
  std::vector<std::string> args = {"--db",          database, what, value,      "--type", "csv",
                                   "--no-captions", "-o",     "-",  "--locale", "C"};
  args.insert(args.end(), more.begin(), more.end());
  Result r = Cli(args);
  EXPECT_EQ(r.status, 0) << value << ": " << r.err;
  return r.out;
}

size_t Lines(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliNames, EveryTableAndViewOfTheAwkwardDatabaseExportsByItsName) {
  const std::string db = "sqlite:" + test::AwkwardDatabase();
  std::vector<std::string> all = test::AwkwardTables();
  all.insert(all.end(), test::AwkwardViews().begin(), test::AwkwardViews().end());
  // The list spells the names as the catalogue does.
  std::string listed = "\n" + Cli({"--db", db, "--list-tables"}).out;
  for (const std::string& name : all) {
    SCOPED_TRACE(name);
    EXPECT_NE(listed.find("\n" + name + "\n"), std::string::npos) << listed;
    // The same rows as the query that names the table in quotes by hand.
    std::string quoted;
    for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    const std::string byHand = Csv(db, "--sql", "SELECT * FROM \"" + quoted + "\"");
    EXPECT_NE(byHand, "");
    EXPECT_EQ(Csv(db, "--table", name), byHand);
  }
  // Found without regard to case, and taken as written when quoted already.
  const std::string details = Csv(db, "--table", "Order Details");
  EXPECT_EQ(Lines(details), 5u);
  EXPECT_EQ(Csv(db, "--table", "order details"), details);
  EXPECT_EQ(Csv(db, "--table", "\"Order Details\""), details);
  EXPECT_EQ(Csv(db, "--table", "main.\"Order Details\""), details);
  // A table that is not there is named in the message as it was asked for.
  Result r = Cli({"--db", db, "--table", "No Such Table", "--type", "csv", "-o", "-"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no such table: No Such Table"), std::string::npos) << r.err;
  // SHOW FIELDS and DESCRIBE answered by the engine on quoted names.
  EXPECT_EQ(Csv(db, "--sql", "SHOW FIELDS FROM \"Order Details\"", {"--fields", "Field"}),
            "\"OrderID\"\r\n\"ProductID\"\r\n\"UnitPrice\"\r\n\"Quantity\"\r\n\"Discount\"\r\n"
            "\"Shipped At\"\r\n");
  EXPECT_EQ(Csv(db, "--sql", "DESCRIBE `say \"hi\"`", {"--fields", "Field"}),
            "\"id\"\r\n\"col \"\"q\"\"\"\r\n\"semi;colon\"\r\n");
  TSession::Default().SetActive(false);
}

TEST(CliNames, TableFilesNamedWithSpacesAndCyrillic) {
  const std::string dir = test::FreshFolder("cli-awkward-dbf");
  for (const char* file : {"my table.dbf", "Клиенты.dbf", "Order.dbf", "it's \"q\".dbf"}) {
    test::TDbfBuilder b;
    b.Add("ID", 'N', 5);
    b.Add("NAME", 'C', 12);
    b.rows = {{"1", "Пётр"}, {"2", "Anna"}};
    test::WriteFile(dir + file, b.Build());
  }
  const std::string db = "dbf:" + dir;
  EXPECT_EQ(Cli({"--db", db, "--list-tables"}).out, "it's \"q\"\nmy table\nOrder\nКлиенты\n");
  for (const char* table : {"my table", "my table.dbf", "Клиенты", "ORDER", "it's \"q\""})
    EXPECT_EQ(Csv(db, "--table", table), "\"1\",\"Пётр\"\r\n\"2\",\"Anna\"\r\n") << table;
  EXPECT_EQ(Csv(db, "--table", dir + "my table.dbf"), "\"1\",\"Пётр\"\r\n\"2\",\"Anna\"\r\n");
  EXPECT_EQ(Csv(db, "--sql", "SHOW FIELDS FROM \"my table\"", {"--fields", "Field"}),
            "\"ID\"\r\n\"NAME\"\r\n");
  TSession::Default().SetActive(false);
}

// The awkward names of a server, through --table, --list-tables, SHOW FIELDS and DESCRIBE.
class CliServerNames : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const std::string variable = GetParam();
    const char* url = std::getenv(variable.c_str());
    if (!url || !*url) GTEST_SKIP() << variable << " is not set";
    url_ = url;
    // ODBC reaches the tables made in PostgreSQL.
    server_ = std::make_unique<test::TAwkwardServer>(
        variable == "MORVALE_TEST_ODBC" ? "MORVALE_TEST_POSTGRESQL" : variable.c_str());
    if (server_->Skipped()) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set";
    ASSERT_EQ(server_->Error(), "");
  }
  void TearDown() override {
    TSession::Default().SetActive(false);
    server_.reset();
  }
  bool Odbc() const { return std::string(GetParam()) == "MORVALE_TEST_ODBC"; }
  std::string url_;
  std::unique_ptr<test::TAwkwardServer> server_;
};

TEST_P(CliServerNames, TablesExportByTheirListedNames) {
  const std::string listed = "\n" + Cli({"--db", url_, "--list-tables"}).out;
  for (const test::TAwkwardServerTable& t : server_->Tables()) {
    SCOPED_TRACE(t.Name);
    if (Odbc() && t.Name.find('.') != std::string::npos) continue;  // one schema through ODBC
    EXPECT_NE(listed.find("\n" + t.Name + "\n"), std::string::npos) << listed;
    EXPECT_EQ(Lines(Csv(url_, "--table", t.Name)), static_cast<size_t>(t.Rows));
  }
  // "orders" finds the only table of that name whatever its case. Not through ODBC: its table
  // list spans the schemas, where the SQL load test, running beside this one, makes an "orders".
  if (!Odbc()) {
    EXPECT_EQ(Csv(url_, "--table", "orders"), Csv(url_, "--table", "Orders"));
  }
  EXPECT_EQ(Csv(url_, "--table", "Orders", {"--fields", "Customer Name"}),
            "\"Ромашка\"\r\n\"it's\"\r\n\"\"\r\n");
  EXPECT_EQ(Csv(url_, "--table", "my view", {"--fields", "it's"}), "\"a\"\r\n\"b\"\r\n");
  const char* q = server_->Kind() == TDriverKind::MySql && !Odbc() ? "`" : "\"";
  EXPECT_EQ(Csv(url_, "--sql", std::string("SHOW FIELDS FROM ") + q + "Orders" + q,
                {"--fields", "Field"}),
            "\"OrderNo\"\r\n\"Customer Name\"\r\n\"Total\"\r\n");
  EXPECT_EQ(
      Csv(url_, "--sql", std::string("DESCRIBE ") + q + "my table" + q, {"--fields", "Field"}),
      "\"id\"\r\n\"it's\"\r\n\"Group\"\r\n\"Имя\"\r\n");
  if (server_->Postgres() && !Odbc()) {
    EXPECT_EQ(
        Csv(url_, "--sql", "SHOW FIELDS FROM \"Sales Dept\".\"Orders\"", {"--fields", "Field"}),
        "\"OrderNo\"\r\n\"Region\"\r\n");
  }
}

// The heterogeneous forms: ALIAS."Name" and ":ALIAS:Name" from an SQLite query, and --table of a
// server read across databases.
TEST_P(CliServerNames, HeterogeneousFormsReachTheServersSpelling) {
  if (Odbc()) GTEST_SKIP() << "the ODBC tables are PostgreSQL's, tested there";
  const std::string db = "sqlite:" + test::AwkwardDatabase();
  const std::vector<std::string> attach = {"--attach", "SRV=" + url_};
  EXPECT_EQ(Csv(db, "--sql",
                "SELECT o.\"Customer Name\", m.\"Имя\" FROM SRV.\"Orders\" o"
                " JOIN \":SRV:my table\" m ON m.id = o.\"OrderNo\" ORDER BY o.\"OrderNo\"",
                attach),
            "\"Ромашка\",\"Пётр\"\r\n\"it's\",\"Анна\"\r\n\"\",\"\"\r\n");
  EXPECT_EQ(Csv(db, "--sql", "SELECT count(*) FROM SRV.\"Order\" JOIN \"Order\" USING (\"Select\")",
                attach),
            "\"2\"\r\n");
  EXPECT_EQ(Csv(db, "--sql", "SHOW FIELDS FROM SRV.\"Клиенты\"",
                {attach[0], attach[1], "--fields", "Field"}),
            "\"Код\"\r\n\"Название\"\r\n");
  EXPECT_EQ(Csv(db, "--sql", "DESCRIBE \":SRV:say \"\"hi\"\"\"",
                {attach[0], attach[1], "--fields", "Field"}),
            "\"col \"\"q\"\"\"\r\n");
  // --table on a server read across databases: DB."Orders".
  EXPECT_EQ(Csv(url_, "--table", "Orders", {"--attach", "A=" + db, "--fields", "OrderNo"}),
            "\"1\"\r\n\"2\"\r\n\"3\"\r\n");
}

INSTANTIATE_TEST_SUITE_P(Servers, CliServerNames,
                         ::testing::Values("MORVALE_TEST_POSTGRESQL", "MORVALE_TEST_MYSQL",
                                           "MORVALE_TEST_ODBC"));

}  // namespace
}  // namespace morvale
