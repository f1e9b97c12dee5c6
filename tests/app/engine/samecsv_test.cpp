// The same table held by SQLite, by a dBASE folder and by PostgreSQL exports to the same CSV file:
// the engine gives each driver's columns the field types and texts the exporters expect.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/engine/connect.h"
#include "app/engine/qtconnection.h"
#include "app/engine/session.h"
#include "export/core/streams.h"
#include "export/text/ascii.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

namespace fs = std::filesystem;

const char* kRows[][5] = {
    {"1", "Acme Tools", "1234.50", "2015-03-07", "1"},
    {"2", "O'Neil, \"Sons\"", "-7.25", "", "0"},
    {"3", "ООО Ромашка", "0.10", "1999-12-31", "1"},
};

std::string Csv(const std::string& database, const std::string& table) {
  TFormatSettings fs = TFormatSettings::English();
  auto ds =
      OpenQuery(database,
                "SELECT ID AS \"ID\", NAME AS \"NAME\", AMOUNT AS \"AMOUNT\", BORN AS \"BORN\","
                " VIP AS \"VIP\" FROM " +
                    table + " ORDER BY ID",
                fs);
  TExportASCII e;
  e.SetFormatSettings(fs);
  e.SetExportType(etCSV);
  e.SetDataSet(ds.get());
  TMemoryStream out;
  e.ExportToStream(out);
  e.SetDataSet(nullptr);
  return out.Data();
}

class SameCsv : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = test::FreshFolder("samecsv"); }
  void TearDown() override { fs::remove_all(dir_); }
  std::string SqliteDatabase() {
    std::string path = (dir_ / "people.db").string();
    std::string sql =
        "CREATE TABLE people (ID INTEGER, NAME VARCHAR(30), AMOUNT NUMERIC(10,2), BORN DATE,"
        " VIP BOOLEAN);";
    for (auto& r : kRows)
      sql += std::string("INSERT INTO people VALUES (") + r[0] + ", " + Quote(r[1]) + ", " + r[2] +
             ", " + (*r[3] ? Quote(r[3]) : "NULL") + ", " + r[4] + ");";
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    return "sqlite:" + path;
  }
  std::string DbfFolder() {
    test::TDbfBuilder b;
    b.Add("ID", 'N', 6);
    b.Add("NAME", 'C', 30);
    b.Add("AMOUNT", 'N', 10, 2);
    b.Add("BORN", 'D', 8);
    b.Add("VIP", 'L', 1);
    for (auto& r : kRows) {
      std::string born = r[3];
      born.erase(std::remove(born.begin(), born.end(), '-'), born.end());
      b.rows.push_back({r[0], r[1], r[2], born, *r[4] == '1' ? "T" : "F"});
    }
    std::ofstream(dir_ / "people.dbf", std::ios::binary) << b.Build();
    return "dbf:" + dir_.string();
  }
  static std::string Quote(const std::string& s) {
    std::string r = "'";
    for (char c : s) r += c == '\'' ? std::string("''") : std::string(1, c);
    return r + "'";
  }
  fs::path dir_;
};

TEST_F(SameCsv, SqliteDbfAndPostgreSqlGiveTheSameFile) {
  std::string fromSqlite = Csv(SqliteDatabase(), "people");
  EXPECT_EQ(fromSqlite,
            "\"ID\",\"NAME\",\"AMOUNT\",\"BORN\",\"VIP\"\r\n"
            "\"1\",\"Acme Tools\",\"1,234.50\",\"3/7/2015\",\"True\"\r\n"
            "\"2\",\"O'Neil, \"\"Sons\"\"\",\"-7.25\",\"\",\"False\"\r\n"
            "\"3\",\"ООО Ромашка\",\"0.10\",\"12/31/1999\",\"True\"\r\n");
  EXPECT_EQ(Csv(DbfFolder(), "people"), fromSqlite);

  const char* url = std::getenv("MORVALE_TEST_POSTGRESQL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set: PostgreSQL not compared";
  TDriverKind kind;
  TStringList p;
  ASSERT_TRUE(ParseDatabaseText(url, kind, p));
  EnsureQtApplication();
  std::string table = "people_" + std::to_string(getpid());
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "samecsv");
    db.setHostName(QString::fromStdString(p.Value("SERVER NAME")));
    db.setPort(std::atoi(p.Value("PORT").c_str()));
    db.setDatabaseName(QString::fromStdString(p.Value("DATABASE NAME")));
    db.setUserName(QString::fromStdString(p.Value("USER NAME")));
    db.setPassword(QString::fromStdString(p.Value("PASSWORD")));
    ASSERT_TRUE(db.open()) << ErrorText(db.lastError());
    QSqlQuery q(db);
    std::string sql =
        "DROP TABLE IF EXISTS " + table + "; CREATE TABLE " + table +
        " (ID INTEGER, NAME VARCHAR(30), AMOUNT NUMERIC(10,2), BORN DATE, VIP BOOLEAN);";
    for (auto& r : kRows)
      sql += "INSERT INTO " + table + " VALUES (" + r[0] + ", " + Quote(r[1]) + ", " + r[2] + ", " +
             (*r[3] ? Quote(r[3]) : "NULL") + ", " + (*r[4] == '1' ? "TRUE" : "FALSE") + ");";
    ASSERT_TRUE(q.exec(QString::fromStdString(sql))) << ErrorText(q.lastError());
  }
  std::string fromPostgres = Csv(url, table);
  {
    QSqlQuery q(QSqlDatabase::database("samecsv"));
    q.exec(QString::fromStdString("DROP TABLE " + table));
  }
  QSqlDatabase::removeDatabase("samecsv");
  EXPECT_EQ(fromPostgres, fromSqlite);
}

}  // namespace
}  // namespace morvale
