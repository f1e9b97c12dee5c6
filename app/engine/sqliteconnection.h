// The drivers that run on SQLite: a database file (SQLITE), and a folder of dBASE tables
// (STANDARD) queried through an in-memory database that shows each table file as a virtual table.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/engine/connection.h"
#include "app/engine/remotevtab.h"
#include "app/engine/sqltext.h"

namespace morvale {

class TSqliteDatabase;

class TSqliteConnection : public TConnection {
 public:
  explicit TSqliteConnection(std::shared_ptr<TSqliteDatabase> db) : db_(std::move(db)) {}
  std::unique_ptr<TCursor> OpenCursor(const std::string& sql) override;
  void GetTableNames(const std::string& pattern, bool extensions, bool systemTables,
                     TStringList& out) override;
  const std::shared_ptr<TSqliteDatabase>& Database() const { return db_; }

 protected:
  // The statement text as SQLite should run it (the folder driver names its table files here).
  virtual std::string Prepare(const std::string& sql) { return sql; }
  // Makes the table of a SHOW or DESCRIBE command known before it is read; may name it anew (as
  // schema and table).
  virtual void ResolveTable(TSqlCommand&) {}
  virtual std::unique_ptr<TCursor> MakeCursor(const std::string& sql);

  std::shared_ptr<TSqliteDatabase> db_;

 private:
  std::unique_ptr<TCursor> OpenCommand(TSqlCommand& cmd, const std::string& sql);
};

class TFolderConnection : public TSqliteConnection {
 public:
  // `folder` ends in '/'; table files elsewhere are named by their full path.
  explicit TFolderConnection(std::string folder, bool tableFiles = true);
  const std::string& Folder() const { return folder_; }
  void GetTableNames(const std::string& pattern, bool extensions, bool systemTables,
                     TStringList& out) override;

  // The other databases of the same session, reachable in a query as schema.table by their names
  // (a heterogeneous query): SQLite files are attached, dBASE folders and server databases are
  // schemas whose tables are made on demand, as the statement names them.
  struct TAttachedDatabase {
    std::string Name;
    TDriverKind Kind = TDriverKind::Sqlite;
    std::string Path;                       // SQLITE: the database file; STANDARD: the folder
    std::weak_ptr<TConnection> Connection;  // a server's
  };
  using TAttachedList = std::vector<TAttachedDatabase>;
  std::function<TAttachedList()> AttachedDatabases;

 protected:
  std::string Prepare(const std::string& sql) override;
  void ResolveTable(TSqlCommand& cmd) override;
  std::unique_ptr<TCursor> MakeCursor(const std::string& sql) override;

 private:
  // The path of the table file a name stands for, or empty.
  std::string TableFile(const std::string& name) const {
    return tableFiles_ ? TableFileIn(folder_, name) : std::string();
  }
  static std::string TableFileIn(const std::string& folder, const std::string& name);
  void Register(const std::string& name, const std::string& path);
  void AttachDatabases();
  // Makes the table `table` of the attached database `schema` known; false (with the reason kept
  // for the error message) when it cannot be read.
  bool RegisterAttached(const std::string& schema, const std::string& table, bool quoted);
  // Why a schema name reaches no table: no database of that name, and the ones that are there.
  std::string NotConnected(const std::string& schema) const;
  // The engine's message of a failed statement, with what the heterogeneous tables add to it.
  std::string Explain(const std::string& message) const;

  struct TRegistered {
    std::string path;
    int64_t size = 0, mtime = 0, inode = 0;  // mtime in nanoseconds
  };
  struct TAttached {
    std::string name;
    TDriverKind kind = TDriverKind::Sqlite;
    std::string path;
    std::set<std::string> tables;  // lower-case names made in its schema
  };
  std::string folder_;
  bool tableFiles_ = true;
  std::map<std::string, TRegistered> tables_;          // by lower-case name
  std::map<std::string, TAttached> attached_;          // by lower-case name
  std::map<std::string, std::string> failures_;        // "schema.table" in lower case: why not made
  std::map<std::string, std::string> attachFailures_;  // by lower-case name: why not attached
  std::shared_ptr<TRemoteSources> remote_;
};

}  // namespace morvale
