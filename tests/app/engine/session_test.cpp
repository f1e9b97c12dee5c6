#include "app/engine/session.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/engine/query.h"
#include "export/core/inifile.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

namespace fs = std::filesystem;

class Sessions : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test::FreshFolder("session");
    fs::create_directories(dir_ / "tables");
    MakeDatabase("shop.db",
                 "CREATE TABLE parts (id INTEGER PRIMARY KEY, name VARCHAR(20), qty SMALLINT);"
                 "INSERT INTO parts VALUES (1, 'Bolt', 12), (2, 'Nut', 7);"
                 "CREATE TABLE suppliers (id INTEGER, name TEXT); CREATE VIEW cheap AS SELECT 1;");
    std::ofstream(dir_ / "readonly.ini") << "[DEMO]\nDRIVER=SQLITE\nPATH=" << Path("shop.db")
                                         << "\n[SHARED]\nDRIVER=SQLITE\nPATH=/nowhere.db\n";
    std::ofstream(dir_ / "user.ini")
        << "[SHARED]\nDRIVER=SQLITE\nPATH=" << Path("shop.db")
        << "\n[Warehouse]\nDRIVER=POSTGRESQL\nSERVER NAME=127.0.0.1\nPORT=1\n"
           "USER NAME=SYSDBA\n";
    TAliasConfig::Instance().Load(Path("user.ini"), Path("readonly.ini"));
  }
  void TearDown() override {
    SetLoginHandler(nullptr);
    TSession::Default().SetActive(false);
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void MakeDatabase(const std::string& name, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(Path(name).c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  fs::path dir_;
};

TEST_F(Sessions, AliasScopesNamesAndParameters) {
  TSession s("~~!!QW!!~~");
  TStringList names;
  s.GetAliasNames(names);
  EXPECT_EQ(names.Lines(), (std::vector<std::string>{"DEMO", "SHARED", "Warehouse"}));
  // The user's file wins over the read-only one.
  TStringList params;
  s.GetAliasParams("shared", params);
  EXPECT_EQ(params.Value("PATH"), Path("shop.db"));
  EXPECT_EQ(s.GetAliasDriverName("warehouse"), "POSTGRESQL");
  s.GetAliasParams("Warehouse", params);
  EXPECT_EQ(params.Lines(),
            (std::vector<std::string>{"SERVER NAME=127.0.0.1", "PORT=1", "USER NAME=SYSDBA"}));
  EXPECT_THROW(s.GetAliasParams("nope", params), Exception);
  // Session aliases stay in memory; persistent ones reach the file only when saved.
  s.ConfigMode = cfmSession;
  s.AddStandardAlias("Temp", Path("tables"), "");
  EXPECT_TRUE(s.IsAlias(" temp "));
  EXPECT_EQ(s.GetAliasDriverName("TEMP"), "STANDARD");
  s.ConfigMode = cmAll;
  s.AddStandardAlias("mvl_STD_Hetero_999", Path("tables"), "");
  s.GetAliasParams("mvl_STD_Hetero_999", params);
  EXPECT_EQ(params.Value("DEFAULT DRIVER"), "PARADOX");
  EXPECT_FALSE(TIniFile(Path("user.ini")).SectionExists("mvl_STD_Hetero_999"));
  EXPECT_THROW(s.AddStandardAlias("MVL_STD_HETERO_999", "/x", ""), Exception);
  s.SaveConfigFile();
  TIniFile saved(Path("user.ini"));
  EXPECT_EQ(saved.ReadString("mvl_STD_Hetero_999", "PATH", ""), Path("tables"));
  EXPECT_EQ(saved.ReadString("mvl_STD_Hetero_999", "DRIVER", ""), "STANDARD");
  EXPECT_FALSE(saved.SectionExists("Temp"));
  EXPECT_EQ(saved.ReadString("Warehouse", "USER NAME", ""), "SYSDBA");  // others untouched
  // Another session sees the persistent alias but not the first session's own.
  {
    TSession other("~~77!!QW!!77~~");
    EXPECT_TRUE(other.IsAlias("mvl_std_hetero_999"));
    EXPECT_FALSE(other.IsAlias("Temp"));
    EXPECT_THROW(TSession("~~77!!QW!!77~~"), Exception);
  }
  s.DeleteAlias("mvl_STD_Hetero_999");
  s.DeleteAlias("Temp");
  EXPECT_THROW(s.DeleteAlias("DEMO"), Exception);  // read-only
  s.SaveConfigFile();
  EXPECT_FALSE(TIniFile(Path("user.ini")).SectionExists("mvl_STD_Hetero_999"));
  TAliasConfig::Instance().Load(Path("user.ini"), Path("readonly.ini"));
  EXPECT_FALSE(s.IsAlias("mvl_STD_Hetero_999"));
}

TEST_F(Sessions, DatabaseByAliasListsTablesAndServesQueries) {
  TSession s("~~!!QW_2!!~~");
  TDatabase db;
  db.AliasName = db.DatabaseName = "DEMO";
  db.SessionName = "~~!!QW_2!!~~";
  TStringList tables;
  s.GetTableNames("DEMO", "*.*", false, false, tables);  // connects on demand
  EXPECT_TRUE(db.Connected());
  EXPECT_EQ(tables.Lines(), (std::vector<std::string>{"cheap", "parts", "suppliers"}));
  s.GetTableNames("DEMO", "s%", false, false, tables);
  EXPECT_EQ(tables.Lines(), (std::vector<std::string>{"suppliers"}));
  s.SetActive(false);
  EXPECT_FALSE(db.Connected());

  TQuery q;
  q.SessionName = "~~!!QW_2!!~~";
  q.DatabaseName = "DEMO";
  q.SQL = {"SELECT *", "FROM parts", "ORDER BY name"};
  int afterOpen = 0;
  q.AfterOpen = [&](TObject* sender) {
    EXPECT_EQ(sender, &q);
    ++afterOpen;
  };
  q.Open();  // the session's database connects again
  EXPECT_TRUE(db.Connected());
  EXPECT_EQ(afterOpen, 1);
  EXPECT_EQ(q.FieldByName("NAME").AsString(), "Bolt");
  EXPECT_EQ(q.FindField("missing"), nullptr);
  try {
    q.FieldByName("missing");
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Field 'missing' not found");
  }
  q.Close();
  q.SQL = {"SHOW INDEX", "FROM parts"};
  q.Open();
  EXPECT_EQ(q.FieldByName("Key_name").AsString(), "PRIMARY");
  EXPECT_EQ(q.FieldByName("Column_name").AsString(), "id");
  EXPECT_EQ(afterOpen, 2);
  q.Close();
  q.SQL = {"SELECT * FROM nowhere"};
  EXPECT_THROW(q.Open(), Exception);
  EXPECT_EQ(afterOpen, 2);
  EXPECT_FALSE(q.Active());

  TQuery unknown;
  unknown.DatabaseName = "NoSuchAlias";
  unknown.SQL = {"SELECT 1"};
  try {
    unknown.Open();
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Unknown database alias 'NoSuchAlias'");
  }
}

TEST_F(Sessions, LoginHandlerIsAskedForServerAliasesAndMayCancel) {
  std::string askedFor;
  SetLoginHandler([&](TDatabase& db, TStringList& login) {
    askedFor = db.AliasName + " " + login.Value("USER NAME");
    return false;
  });
  TDatabase db;
  db.AliasName = db.DatabaseName = "Warehouse";
  try {
    db.Open();
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Login to the database 'Warehouse' was cancelled");
  }
  EXPECT_EQ(askedFor, "Warehouse SYSDBA");
  // Without the prompt, or with the password among the parameters, nobody is asked.
  askedFor.clear();
  db.LoginPrompt = false;
  EXPECT_THROW(db.Open(), Exception);  // no server there
  db.LoginPrompt = true;
  db.Params = {"PASSWORD=masterkey"};
  EXPECT_THROW(db.Open(), Exception);
  EXPECT_EQ(askedFor, "");
  TDriverKind kind;
  TStringList params;
  db.Resolve(kind, params);
  EXPECT_EQ(kind, TDriverKind::PostgreSql);
  EXPECT_EQ(params.Value("SERVER NAME"), "127.0.0.1");
  EXPECT_EQ(params.Value("PASSWORD"), "masterkey");
}

TEST_F(Sessions, DatabaseTextsNameEveryDriver) {
  struct Case {
    const char* text;
    TDriverKind kind;
    std::vector<std::string> params;
  };
  const Case cases[] = {
      {"sqlite:/data/shop.db", TDriverKind::Sqlite, {"PATH=/data/shop.db"}},
      {"dbf:/data/tables", TDriverKind::Standard, {"PATH=/data/tables"}},
      {"odbc:Sales DSN", TDriverKind::Odbc, {"ODBC DSN=Sales DSN"}},
      {"postgresql://ann:p%40ss:w@db.host:5433/sales",
       TDriverKind::PostgreSql,
       {"DATABASE NAME=sales", "USER NAME=ann", "PASSWORD=p@ss:w", "PORT=5433",
        "SERVER NAME=db.host"}},
      {"postgres://%2Ftmp%2Fpg/x",
       TDriverKind::PostgreSql,
       {"DATABASE NAME=x", "SERVER NAME=/tmp/pg"}},
      {"mysql://root@127.0.0.1/shop?MYSQL_OPT_RECONNECT=1&CLIENT_SSL=0",
       TDriverKind::MySql,
       {"OPTIONS=MYSQL_OPT_RECONNECT=1;CLIENT_SSL=0", "DATABASE NAME=shop", "USER NAME=root",
        "SERVER NAME=127.0.0.1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDriverKind kind;
    TStringList params;
    ASSERT_TRUE(ParseDatabaseText(c.text, kind, params));
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(params.Lines(), c.params);
  }
  TDriverKind kind;
  TStringList params;
  EXPECT_FALSE(ParseDatabaseText("DEMO", kind, params));
}

TEST_F(Sessions, HeterogeneousQueryJoinsTableFilesWithConnectedDatabases) {
  test::TDbfBuilder stock;
  stock.Add("PART_ID", 'N', 4);
  stock.Add("BIN", 'C', 6);
  stock.rows = {{"1", "A-01"}, {"2", "B-17"}};
  std::ofstream(dir_ / "tables" / "stock.dbf", std::ios::binary) << stock.Build();
  TSession& main = TSession::Default();
  main.ConfigMode = cfmSession;
  main.AddStandardAlias("mvl_STD_Hetero_999", Path("tables"), "");
  main.ConfigMode = cmAll;
  TDatabase slot;
  slot.AliasName = slot.DatabaseName = "DEMO";
  slot.Open();
  TQuery q;
  q.DatabaseName = "mvl_STD_Hetero_999";
  q.SQL = {"SELECT p.name, s.BIN FROM DEMO.parts p JOIN stock s ON s.PART_ID = p.id",
           "ORDER BY p.name"};
  q.Open();
  std::string rows;
  for (; !q.Eof(); q.Next()) rows += q.Fields(0).AsString() + " " + q.Fields(1).AsString() + ";";
  EXPECT_EQ(rows, "Bolt A-01;Nut B-17;");
  // The attached database is read-only too.
  q.Close();
  main.DeleteAlias("mvl_STD_Hetero_999");
}

}  // namespace
}  // namespace morvale
