// Awkward names on CI's private servers (the ones MORVALE_TEST_POSTGRESQL and MORVALE_TEST_MYSQL
// name): a mixed-case table "Orders", "my table", the reserved word "Order", Cyrillic "Клиенты",
// a name holding double quotes, a view "my view" and, in PostgreSQL, "Orders" again in a schema
// "Sales Dept". The names are the point, so they carry no suffix of the test process; test
// programs that run at once take turns through a lock on the server, held while the tables live.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/engine/qtconnection.h"
#include "app/engine/session.h"

namespace morvale::test {

struct TAwkwardServerTable {
  std::string Name;  // as the table list shows it
  int Rows;
  std::string FirstColumn;
};

class TAwkwardServer {
 public:
  // `variable` names the server (MORVALE_TEST_POSTGRESQL or MORVALE_TEST_MYSQL); Skipped() tells
  // when it is unset, Error() what went wrong while making the tables.
  explicit TAwkwardServer(const char* variable) {
    const char* url = std::getenv(variable);
    if (!url || !*url) return;
    Url = url;
    TStringList params;
    if (!ParseDatabaseText(Url, kind_, params)) {
      error_ = "cannot read " + Url;
      return;
    }
    EnsureQtApplication();
    static int counter = 0;
    admin_ = QString("awkward-admin-%1").arg(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(Postgres() ? "QPSQL" : "QMYSQL", admin_);
    db.setHostName(QString::fromStdString(params.Value("SERVER NAME")));
    db.setPort(std::atoi(params.Value("PORT").c_str()));
    db.setDatabaseName(QString::fromStdString(params.Value("DATABASE NAME")));
    db.setUserName(QString::fromStdString(params.Value("USER NAME")));
    db.setPassword(QString::fromStdString(params.Value("PASSWORD")));
    if (!db.open()) {
      error_ = ErrorText(db.lastError());
      return;
    }
    // No notice of what is not there to drop; and a table some reader still holds fails the
    // test instead of stopping it.
    Admin(Postgres() ? "SET client_min_messages = warning" : "SET SESSION lock_wait_timeout = 60");
    if (Postgres()) Admin("SET lock_timeout = '60s'");
    Admin(Postgres() ? "SELECT pg_advisory_lock(7707701)"
                     : "SELECT GET_LOCK('morvale-awkward', 600)");
    Drop();
    for (const std::string& sql : Postgres() ? PgTables() : MyTables())
      if (error_.empty()) Admin(sql);
  }
  ~TAwkwardServer() {
    if (admin_.isEmpty()) return;
    if (QSqlDatabase::database(admin_, false).isOpen()) {
      Drop();
      Admin(Postgres() ? "SELECT pg_advisory_unlock(7707701)"
                       : "SELECT RELEASE_LOCK('morvale-awkward')");
    }
    QSqlDatabase::removeDatabase(admin_);
  }
  TAwkwardServer(const TAwkwardServer&) = delete;
  TAwkwardServer& operator=(const TAwkwardServer&) = delete;

  bool Skipped() const { return Url.empty(); }
  const std::string& Error() const { return error_; }
  bool Postgres() const { return kind_ == TDriverKind::PostgreSql; }
  TDriverKind Kind() const { return kind_; }

  // Every table and view, as the server's table list spells them.
  std::vector<TAwkwardServerTable> Tables() const {
    std::vector<TAwkwardServerTable> t = {{"Orders", 3, "OrderNo"},       {"my table", 3, "id"},
                                          {"Order", 2, "Select"},         {"Клиенты", 2, "Код"},
                                          {"say \"hi\"", 1, "col \"q\""}, {"my view", 2, "id"}};
    if (Postgres()) t.push_back({"Sales Dept.Orders", 1, "OrderNo"});
    return t;
  }

  std::string Url;

 private:
  void Admin(const std::string& sql) {
    QSqlQuery q(QSqlDatabase::database(admin_));
    if (!q.exec(QString::fromStdString(sql)) && error_.empty())
      error_ = sql + ": " + ErrorText(q.lastError());
  }
  void Drop() {
    if (Postgres()) {
      Admin("DROP SCHEMA IF EXISTS \"Sales Dept\" CASCADE");
      Admin("DROP VIEW IF EXISTS \"my view\"");
      Admin(
          "DROP TABLE IF EXISTS \"Orders\", \"my table\", \"Order\", \"Клиенты\", \"say "
          "\"\"hi\"\"\"");
    } else {
      Admin("DROP VIEW IF EXISTS `my view`");
      Admin("DROP TABLE IF EXISTS `Orders`, `my table`, `Order`, `Клиенты`, `say \"hi\"`");
    }
  }
  static std::vector<std::string> PgTables() {
    return {
        "CREATE TABLE \"Orders\" (\"OrderNo\" INTEGER PRIMARY KEY, \"Customer Name\" "
        "VARCHAR(30), \"Total\" NUMERIC(12,2))",
        "INSERT INTO \"Orders\" VALUES (1, 'Ромашка', 12.50), (2, 'it''s', 0.10), (3, NULL, NULL)",
        "CREATE TABLE \"my table\" (id INTEGER PRIMARY KEY, \"it's\" VARCHAR(20), \"Group\" "
        "VARCHAR(20), \"Имя\" VARCHAR(40))",
        "INSERT INTO \"my table\" VALUES (1, 'a', 'first', 'Пётр'), (2, 'b', 'second', 'Анна'),"
        " (3, NULL, NULL, NULL)",
        "CREATE TABLE \"Order\" (\"Select\" INTEGER PRIMARY KEY, \"From\" VARCHAR(10))",
        "INSERT INTO \"Order\" VALUES (1, 'here'), (2, NULL)",
        "CREATE TABLE \"Клиенты\" (\"Код\" INTEGER PRIMARY KEY, \"Название\" VARCHAR(60))",
        "INSERT INTO \"Клиенты\" VALUES (1, 'ООО «Ромашка»'), (2, NULL)",
        "CREATE TABLE \"say \"\"hi\"\"\" (\"col \"\"q\"\"\" VARCHAR(10))",
        "INSERT INTO \"say \"\"hi\"\"\" VALUES ('x''y\"z')",
        "CREATE VIEW \"my view\" AS SELECT id, \"it's\" FROM \"my table\" WHERE id < 3",
        "CREATE SCHEMA \"Sales Dept\"",
        "CREATE TABLE \"Sales Dept\".\"Orders\" (\"OrderNo\" INTEGER, \"Region\" VARCHAR(20))",
        "INSERT INTO \"Sales Dept\".\"Orders\" VALUES (7, 'Урал')",
    };
  }
  static std::vector<std::string> MyTables() {
    return {
        "CREATE TABLE `Orders` (`OrderNo` INTEGER PRIMARY KEY, `Customer Name` VARCHAR(30),"
        " `Total` NUMERIC(12,2))",
        "INSERT INTO `Orders` VALUES (1, 'Ромашка', 12.50), (2, 'it''s', 0.10), (3, NULL, NULL)",
        "CREATE TABLE `my table` (id INTEGER PRIMARY KEY, `it's` VARCHAR(20), `Group` "
        "VARCHAR(20), `Имя` VARCHAR(40))",
        "INSERT INTO `my table` VALUES (1, 'a', 'first', 'Пётр'), (2, 'b', 'second', 'Анна'),"
        " (3, NULL, NULL, NULL)",
        "CREATE TABLE `Order` (`Select` INTEGER PRIMARY KEY, `From` VARCHAR(10))",
        "INSERT INTO `Order` VALUES (1, 'here'), (2, NULL)",
        "CREATE TABLE `Клиенты` (`Код` INTEGER PRIMARY KEY, `Название` VARCHAR(60))",
        "INSERT INTO `Клиенты` VALUES (1, 'ООО «Ромашка»'), (2, NULL)",
        "CREATE TABLE `say \"hi\"` (`col \"q\"` VARCHAR(10))",
        "INSERT INTO `say \"hi\"` VALUES ('x''y\"z')",
        "CREATE VIEW `my view` AS SELECT id, `it's` FROM `my table` WHERE id < 3",
    };
  }

  TDriverKind kind_ = TDriverKind::PostgreSql;
  QString admin_;
  std::string error_;
};

}  // namespace morvale::test
