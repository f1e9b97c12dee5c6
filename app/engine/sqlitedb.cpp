#include "app/engine/sqlitedb.h"

#include <sqlite3.h>

#include "export/core/classes.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

std::string OpenError(const std::string& path, const std::string& message) {
  return Format("Cannot open the database \"%s\": %s", {path, message});
}

}  // namespace

std::shared_ptr<TSqliteDatabase> TSqliteDatabase::OpenReadOnly(const std::string& path) {
  if (path.empty()) throw Exception(TranslateText("Engine", "No database file is given"));
  // SQLite here reads "file:..." names as URIs and ":memory:" as a new empty database; a
  // relative path is made explicit so that every name means the file of that name.
  std::string name = path[0] == '/' ? path : "./" + path;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(name.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw Exception(OpenError(path, message));
  }
  auto result = std::make_shared<TSqliteDatabase>(db);
  result->fileName_ = path;
  sqlite3_busy_timeout(db, 5000);
  // SQLite opens lazily; reading the schema now reports a file that is not a database here,
  // with its name, rather than at the first query.
  rc = sqlite3_exec(db, "SELECT 1 FROM sqlite_schema LIMIT 1", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw Exception(OpenError(path, sqlite3_errmsg(db)));
  return result;
}

std::shared_ptr<TSqliteDatabase> TSqliteDatabase::OpenMemory() {
  sqlite3* db = nullptr;
  // URI names on, so that ATTACH can open other files read-only ("file:...?mode=ro").
  int rc = sqlite3_open_v2(":memory:", &db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    throw Exception(sqlite3_errstr(rc));
  }
  return std::make_shared<TSqliteDatabase>(db);
}

TSqliteDatabase::~TSqliteDatabase() {
  sqlite3_close_v2(db_);
}

void TSqliteDatabase::Exec(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    throw Exception(message);
  }
}

void TSqliteDatabase::RaiseLastError() const {
  throw Exception(sqlite3_errmsg(db_));
}

}  // namespace morvale
