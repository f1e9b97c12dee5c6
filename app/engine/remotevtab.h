// Tables of a server database inside SQLite: a read-only virtual-table module "morvale_remote"
// over the engine's own streaming cursors, so that one SQLite statement joins tables of several
// engines. Each scan is one statement on the server; the simple comparisons of the WHERE clause
// on its columns (=, <, <=, >, >=) travel with it as literals quoted for the server, so a filtered
// join reads the matching rows only. Rows stream one at a time: nothing holds a whole table.
//   CREATE VIRTUAL TABLE pg."orders" USING morvale_remote('pg', 'orders')
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/engine/connection.h"

struct sqlite3;

namespace morvale {

// The server databases a SQLite connection can read, by the schema name their tables live under.
// Shared between the connection that fills it and the module that reads it, which may outlive
// the connection by a statement.
class TRemoteSources {
 public:
  struct TSource {
    TDriverKind Kind = TDriverKind::PostgreSql;
    std::weak_ptr<TConnection> Connection;
  };
  void Set(const std::string& name, TSource source);
  void Remove(const std::string& name);
  // nullptr when no source has the name (compared without regard to case).
  const TSource* Find(const std::string& name) const;

 private:
  std::map<std::string, TSource> sources_;  // by lower-case name
};

void RegisterRemoteModule(sqlite3* db, std::shared_ptr<TRemoteSources> sources);

// The statement that makes `serverTable` (a table reference in the server's own SQL) of the
// source `source` a table called `name` in the schema `source`.
std::string RemoteTableStatement(const std::string& source, const std::string& name,
                                 const std::string& serverTable);

// Called when a scan of a server table ends, with the source name, the SQL text the server ran and
// the number of rows read from it. Tests and the benchmark use it to see what reached the server;
// nullptr switches it off.
using TRemoteObserver =
    std::function<void(const std::string& source, const std::string& sql, int64_t rows)>;
void SetRemoteObserver(TRemoteObserver observer);

}  // namespace morvale
