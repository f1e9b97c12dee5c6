// One SQLite connection shared by the statements that read it. Database files are always opened
// read-only: an export tool never writes the database it reads, and a mistyped path must not
// leave an empty database file behind.
#pragma once

#include <memory>
#include <string>

struct sqlite3;

namespace morvale {

class TSqliteDatabase {
 public:
  // Opens an existing database file for reading; a missing or unreadable file, or one that is
  // not a database, raises an Exception naming the file.
  static std::shared_ptr<TSqliteDatabase> OpenReadOnly(const std::string& path);
  // A private in-memory database (the dBASE folder engine, tests).
  static std::shared_ptr<TSqliteDatabase> OpenMemory();

  explicit TSqliteDatabase(sqlite3* db) : db_(db) {}
  ~TSqliteDatabase();
  TSqliteDatabase(const TSqliteDatabase&) = delete;
  TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

  sqlite3* Handle() const { return db_; }
  const std::string& FileName() const { return fileName_; }
  // Runs statements that return nothing; raises the engine's message on failure.
  void Exec(const std::string& sql);
  // Raises an Exception with the connection's last error message.
  [[noreturn]] void RaiseLastError() const;

 private:
  sqlite3* db_;
  std::string fileName_;
};

}  // namespace morvale
