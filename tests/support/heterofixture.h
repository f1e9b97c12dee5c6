// Four tables in four engines for the heterogeneous-query tests, and the same four tables copied
// into one SQLite database: the customers of the demo SQLite database, cities in a dBASE folder,
// orders in PostgreSQL and order items in MariaDB (the private servers that MORVALE_TEST_POSTGRESQL
// and MORVALE_TEST_MYSQL name; the tests skip when either is unset).
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/engine/connect.h"
#include "app/engine/qtconnection.h"
#include "app/engine/session.h"
#include "export/core/streams.h"
#include "export/text/ascii.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale::test {

class THeteroServers {
 public:
  std::string PgUrl, MyUrl;   // as the servers' variables give them
  std::string Folder;         // the dBASE folder, ending in '/'
  std::string CopyDatabase;   // the four tables in one SQLite file
  std::string Orders, Items;  // the server tables' names, unique to this process

  // The variable that is unset, or "" when both servers are there.
  std::string Missing() const {
    for (const char* v : {"MORVALE_TEST_POSTGRESQL", "MORVALE_TEST_MYSQL"})
      if (!std::getenv(v) || !*std::getenv(v)) return v;
    return "";
  }

  // Makes the four tables and their copy. Failures are returned as text ("" when all went well).
  std::string SetUp() {
    PgUrl = std::getenv("MORVALE_TEST_POSTGRESQL");
    MyUrl = std::getenv("MORVALE_TEST_MYSQL");
    const std::string suffix = std::to_string(getpid());
    Orders = "h_orders_" + suffix;
    Items = "h_items_" + suffix;
    Folder = FreshFolder("hetero");
    TDbfBuilder b;
    b.Add("CITY", 'C', 30);
    b.Add("REGION", 'C', 20);
    b.rows = {{"London", "Europe"}, {"Москва", "Евразия"},    {"Dublin", "Europe"},
              {"Köln", "Europe"},   {"Екатеринбург", "Урал"}, {"Lima", "America"}};
    WriteFile(Folder + "cities.dbf", b.Build());
    EnsureQtApplication();
    const std::string orders =
        "(id INTEGER PRIMARY KEY, customer_id INTEGER, total NUMERIC(12,2), ordered TIMESTAMP,"
        " note VARCHAR(40))";
    const std::string items =
        "(order_id INTEGER, line INTEGER, title VARCHAR(40), qty INTEGER,"
        " PRIMARY KEY (order_id, line))";
    std::string e = Admin(pgAdmin_, PgUrl, "QPSQL",
                          {"DROP TABLE IF EXISTS " + Orders, "CREATE TABLE " + Orders + orders,
                           "INSERT INTO " + Orders + " VALUES " + OrderRows()});
    if (e.empty())
      e = Admin(myAdmin_, MyUrl, "QMYSQL",
                {"DROP TABLE IF EXISTS " + Items, "CREATE TABLE " + Items + items,
                 "INSERT INTO " + Items + " VALUES " + ItemRows()});
    if (!e.empty()) return e;
    // The copy: the demo's customers with their declared types, the rest as made above.
    CopyDatabase = Folder + "copy.db";
    sqlite3* db = nullptr;
    sqlite3_open(CopyDatabase.c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_exec(db, ("ATTACH " + Quote(DemoDatabase()) + " AS demo").c_str(), nullptr, nullptr,
                 nullptr);
    sqlite3_prepare_v2(db, "SELECT sql FROM demo.sqlite_schema WHERE name = 'customers'", -1, &st,
                       nullptr);
    std::string create = sqlite3_step(st) == SQLITE_ROW
                             ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0))
                             : "";
    sqlite3_finalize(st);
    std::string script = create + "; INSERT INTO customers SELECT * FROM demo.customers;" +
                         "CREATE TABLE cities (CITY VARCHAR(30), REGION VARCHAR(20));" +
                         "INSERT INTO cities VALUES ('London', 'Europe'), ('Москва', 'Евразия'),"
                         " ('Dublin', 'Europe'), ('Köln', 'Europe'), ('Екатеринбург', 'Урал'),"
                         " ('Lima', 'America');" +
                         "CREATE TABLE " + Orders + orders + "; INSERT INTO " + Orders +
                         " VALUES " + OrderRows() + "; CREATE TABLE " + Items + items +
                         "; INSERT INTO " + Items + " VALUES " + ItemRows() + ";";
    char* error = nullptr;
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
      e = std::string("the copy: ") + (error ? error : "?");
    sqlite3_free(error);
    sqlite3_close(db);
    return e;
  }

  void TearDown() {
    Drop(pgAdmin_, Orders);
    Drop(myAdmin_, Items);
  }

  // The join, with each table's prefix ("PG.", "\":PG:", or "" in the copy). A quoted prefix
  // (starting with a double quote) closes the quote after the table name.
  std::string Join(const std::string& lite, const std::string& dbf, const std::string& pg,
                   const std::string& my) const {
    auto t = [](const std::string& prefix, const std::string& table) {
      return prefix + table + (!prefix.empty() && prefix[0] == '"' ? "\"" : "");
    };
    return "SELECT c.name AS customer, d.REGION AS region, o.id AS order_id, o.total AS total,"
           " o.ordered AS ordered, o.note AS note, i.line AS line, i.title AS title,"
           " i.qty AS qty FROM " +
           t(lite, "customers") + " c JOIN " + t(dbf, "cities") + " d ON d.CITY = c.city JOIN " +
           t(pg, Orders) + " o ON o.customer_id = c.id JOIN " + t(my, Items) +
           " i ON i.order_id = o.id WHERE o.total > 10 ORDER BY o.id, i.line";
  }

  // Runs `statements` on PostgreSQL (`pg`) or MariaDB over the fixture's own connection; returns
  // the first failure as text, "" when all ran.
  std::string Exec(bool pg, const std::vector<std::string>& statements) const {
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(pg ? pgAdmin_ : myAdmin_)));
    for (const std::string& s : statements)
      if (!q.exec(QString::fromStdString(s))) return s + ": " + ErrorText(q.lastError());
    return "";
  }

  // The whole of a dataset as CSV.
  static std::string Csv(TDataSet& ds) {
    TExportASCII e;
    e.SetFormatSettings(TFormatSettings::English());
    e.SetExportType(etCSV);
    e.SetDataSet(&ds);
    TMemoryStream out;
    e.ExportToStream(out);
    e.SetDataSet(nullptr);
    return out.Data();
  }

  // Orders 2 and 6 are 10 or less, so the join leaves them out; order 7's customer has no city.
  static constexpr int kOrders = 7, kMatchingOrders = 5, kItems = 9;

 private:
  static std::string OrderRows() {
    return "(1, 1, 120.50, '2024-01-05 10:30:00', 'first'),"
           " (2, 2, 8.00, '2024-01-06 11:00:00', NULL),"
           " (3, 3, 45.10, '2024-02-01 09:15:30', 'O''Neil \"quoted\"'),"
           " (4, 4, 300.00, '2024-03-10 00:00:00', 'Müller; Köln'),"
           " (5, 5, 77.70, '2024-03-11 23:59:59', 'Завод'),"
           " (6, 1, 5.00, '2024-04-01 12:00:00', 'small'),"
           " (7, 6, 99.99, '2024-05-01 08:00:00', 'no city')";
  }
  static std::string ItemRows() {
    return "(1, 1, 'Hammer', 2), (1, 2, 'Nails', 100), (2, 1, 'Saw', 1), (3, 1, 'Glue, strong', 3),"
           " (4, 1, 'Молоток', 1), (4, 2, 'Drill', NULL), (5, 1, 'Tape', 4), (6, 1, 'Screw', 10),"
           " (8, 1, 'Orphan', 1)";
  }
  static std::string Quote(const std::string& s) {
    std::string r = "'";
    for (char c : s) r += c == '\'' ? std::string("''") : std::string(1, c);
    return r + "'";
  }
  static std::string Admin(std::string& name, const std::string& url, const char* driver,
                           const std::vector<std::string>& statements) {
    TDriverKind kind;
    TStringList p;
    ParseDatabaseText(url, kind, p);
    name = std::string("hetero-admin-") + driver;
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, QString::fromStdString(name));
    db.setHostName(QString::fromStdString(p.Value("SERVER NAME")));
    db.setPort(std::atoi(p.Value("PORT").c_str()));
    db.setDatabaseName(QString::fromStdString(p.Value("DATABASE NAME")));
    db.setUserName(QString::fromStdString(p.Value("USER NAME")));
    db.setPassword(QString::fromStdString(p.Value("PASSWORD")));
    if (!db.open()) return ErrorText(db.lastError());
    QSqlQuery q(db);
    for (const std::string& s : statements)
      if (!q.exec(QString::fromStdString(s))) return s + ": " + ErrorText(q.lastError());
    return "";
  }
  static void Drop(const std::string& name, const std::string& table) {
    if (name.empty()) return;
    {
      QSqlQuery q(QSqlDatabase::database(QString::fromStdString(name)));
      q.exec(QString::fromStdString("DROP TABLE IF EXISTS " + table));
    }
    QSqlDatabase::removeDatabase(QString::fromStdString(name));
  }
  std::string pgAdmin_, myAdmin_;
};

}  // namespace morvale::test
