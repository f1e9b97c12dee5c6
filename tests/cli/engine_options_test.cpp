// The command line's database options: aliases, dBASE folders and server URLs, the alias and
// table listings, engine messages ending the run with a non-zero exit, and the password prompt on
// a terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/engine/aliases.h"
#include "app/engine/session.h"
#include "cli/run.h"
#include "export/core/streams.h"
#include "tests/support/clirun.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::Cli;
using test::Result;

class CliDatabases : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test::FreshFolder("cli-db");
    test::TDbfBuilder b;
    b.Add("CODE", 'C', 6);
    b.Add("QTY", 'N', 5);
    b.rows = {{"Nut", "7"}, {"Bolt", "12"}};
    test::WriteFile(dir_ + "stock.dbf", b.Build());
    test::WriteFile(dir_ + "readonly.ini",
                    "[DEMO]\nDRIVER=SQLITE\nPATH=" + test::DemoDatabase() + "\n");
    test::WriteFile(dir_ + "user.ini", "[Files]\nDRIVER=STANDARD\nPATH=" + dir_ + "\n");
    TAliasConfig::Instance().Load(dir_ + "user.ini", dir_ + "readonly.ini");
  }
  void TearDown() override { TSession::Default().SetActive(false); }
  std::string dir_;
};

TEST_F(CliDatabases, ListsAliasesAndTables) {
  EXPECT_EQ(Cli({"--list-aliases"}).out, "DEMO\nFiles\n");
  EXPECT_EQ(Cli({"--db", "DEMO", "--list-tables"}).out,
            "customers\norder_items\norders\nproducts\n");
  EXPECT_EQ(Cli({"--db", "DEMO", "--list-tables", "--pattern", "ord*"}).out,
            "order_items\norders\n");
  EXPECT_EQ(Cli({"--db", "Files", "--list-tables"}).out, "stock\n");
  EXPECT_EQ(Cli({"--db", "dbf:" + dir_, "--list-tables", "--pattern", "x*"}).out, "");
  Result r = Cli({"--list-tables"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Missing --db for --list-tables"), std::string::npos);
  EXPECT_EQ(
      Cli({"--db", "DEMO", "--table", "t", "--type", "csv", "-o", "-", "--pattern", "x"}).status,
      2);
}

TEST_F(CliDatabases, ExportsFromAliasesAndFolders) {
  std::vector<std::string> csv = {"--type", "csv", "-o", "-", "--locale", "C"};
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.end(), csv.begin(), csv.end());
    return Cli(args);
  };
  Result r = run({"--db", "DEMO", "--sql", "SELECT id, name FROM customers WHERE id < 3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "\"id\",\"name\"\r\n\"1\",\"Acme Tools Ltd\"\r\n\"2\",\"ООО \"\"Ромашка\"\"\"\r\n");
  std::string want = "\"CODE\",\"QTY\"\r\n\"Bolt\",\"12\"\r\n\"Nut\",\"7\"\r\n";
  EXPECT_EQ(run({"--db", "Files", "--sql", "SELECT * FROM stock ORDER BY CODE"}).out, want);
  EXPECT_EQ(run({"--db", "dbf:" + dir_, "--sql", "SELECT * FROM \"stock.dbf\" ORDER BY 1"}).out,
            want);
  EXPECT_EQ(run({"--db", "dbf:" + dir_, "--table", "stock", "--fields", "QTY"}).out,
            "\"QTY\"\r\n\"7\"\r\n\"12\"\r\n");
}

TEST_F(CliDatabases, EngineMessagesEndTheRunWithANonZeroExit) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  test::WriteFile(dir_ + "broken.dbf", "this is not a table, whatever its name says");
  const Case cases[] = {
      {{"--db", "DEMO", "--table", "custmers"}, "no such table: custmers"},
      {{"--db", "NOPE", "--table", "t"}, "Unknown database alias 'NOPE'"},
      {{"--db", "Files", "--table", "broken"},
       "Table file \"" + dir_ + "broken.dbf\" is not a dBASE table"},
      {{"--db", "DEMO", "--sql", "DELETE FROM customers"},
       "The SQL statement returns no result set"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--type", "csv", "-o", dir_ + "out.csv"});
    Result r = Cli(args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.err, "morvale-export: " + c.message + "\n");
  }
}

// A server connection that drops in the middle of the rows (the server process ends itself after
// 200,000 of them) ends the run with the server's message and a non-zero exit, never as a
// complete file.
TEST_F(CliDatabases, DroppedConnectionFailsTheRun) {
  const char* url = std::getenv("MORVALE_TEST_POSTGRESQL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set";
  Result r = Cli({"--db", url, "--sql",
                  "SELECT i, CASE WHEN i = 200000 THEN pg_terminate_backend(pg_backend_pid()) END "
                  "AS x FROM generate_series(1, 1000000) AS g(i)",
                  "--type", "csv", "-o", dir_ + "dropped.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("terminating connection"), std::string::npos) << r.err;
}

// The program makes one Qt application for everyone: the server drivers need one, and a workbook
// export later measures fonts, which a plain core application cannot.
TEST_F(CliDatabases, WorkbookFromAServerDatabase) {
  const char* url = std::getenv("MORVALE_TEST_POSTGRESQL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set";
  std::string program = std::string(MORVALE_BINARY_DIR) + "/cli/morvale-export";
  std::string out;
  ASSERT_EQ(test::RunCommand(test::ShellQuote(program) + " --db " + test::ShellQuote(url) +
                                 " --sql \"SELECT 12 AS qty, 'Bolt' AS name\" --type xls -o " +
                                 dir_ + "server.xls 2>&1",
                             out),
            0)
      << out;
  ASSERT_EQ(test::RunCommand(test::Python() + " -c \"import xlrd; s = xlrd.open_workbook('" + dir_ +
                                 "server.xls').sheet_by_index(0); "
                                 "print([s.row_values(i) for i in range(s.nrows)])\"",
                             out),
            0);
  EXPECT_EQ(out, "[['qty', 'name'], [12.0, 'Bolt']]\n");
}

// A server that wants a password it was not given: asked for on the terminal, and refused with
// the server's own message when it is wrong. Driven through a pseudo-terminal.
TEST_F(CliDatabases, PasswordIsAskedForOnATerminal) {
  const char* url = std::getenv("MORVALE_TEST_POSTGRESQL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set";
  TDriverKind kind;
  TStringList p;
  ASSERT_TRUE(ParseDatabaseText(url, kind, p));
  std::string noPassword = "postgresql://" + p.Value("USER NAME") + "@" + p.Value("SERVER NAME") +
                           ":" + p.Value("PORT") + "/" + p.Value("DATABASE NAME");
  std::string program = std::string(MORVALE_BINARY_DIR) + "/cli/morvale-export";
  std::string script = dir_ + "drive_terminal.py";
  test::WriteFile(script, R"(import os, pty, signal, sys
signal.alarm(60)  # a prompt that never comes, or an answer never read, fails the test
program, db, out, password = sys.argv[1:5]
pid, fd = pty.fork()
if pid == 0:
    os.execv(program, [program, '--db', db, '--sql', 'SELECT 42 AS answer', '--type', 'csv', '-o', out])
seen = b''
while b'Password for' not in seen:
    chunk = os.read(fd, 1024)
    if not chunk:
        break
    seen += chunk
os.write(fd, password.encode() + b'\n')
rest = b''
try:
    while True:
        chunk = os.read(fd, 1024)
        if not chunk:
            break
        rest += chunk
except OSError:
    pass
status = os.waitpid(pid, 0)[1]
print(seen.decode().strip())
print(rest.decode().strip())
sys.exit(os.waitstatus_to_exitcode(status))
)");
  std::string out;
  int status = test::RunCommand(test::Python() + " " + script + " " + test::ShellQuote(program) +
                                    " " + test::ShellQuote(noPassword) + " " + dir_ +
                                    "answer.csv " + test::ShellQuote(p.Value("PASSWORD")),
                                out);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Password for " + p.Value("USER NAME") + "@" + p.Value("SERVER NAME")),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find(p.Value("PASSWORD")), std::string::npos) << "the password was echoed";
  EXPECT_EQ(test::ReadFile(dir_ + "answer.csv"), "\"answer\"\r\n\"42\"\r\n");
  status = test::RunCommand(test::Python() + " " + script + " " + test::ShellQuote(program) + " " +
                                test::ShellQuote(noPassword) + " " + dir_ + "no.csv wrong",
                            out);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("password authentication failed"), std::string::npos) << out;
}

}  // namespace
}  // namespace morvale
