// A PostgreSQL database through its client library. A statement reads on a server session of its
// own while another one is still streaming (a session serves one result at a time); sessions
// freed by finished statements are kept for the next ones.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/engine/connection.h"
#include "app/engine/sessionpool.h"
#include "app/engine/sqltext.h"

struct pg_conn;  // the client library's PGconn

namespace morvale {

class TPgConnection : public TConnection, public std::enable_shared_from_this<TPgConnection> {
 public:
  // Connects at once; a refused login or an unknown host raises the server's message.
  explicit TPgConnection(const TStringList& params);
  ~TPgConnection() override;
  TPgConnection(const TPgConnection&) = delete;
  TPgConnection& operator=(const TPgConnection&) = delete;

  std::unique_ptr<TCursor> OpenCursor(const std::string& sql) override;
  void GetTableNames(const std::string& pattern, bool extensions, bool systemTables,
                     TStringList& out) override;
  TSqlNameDialect NameDialect() const override { return TSqlNameDialect::PostgreSQL; }
  std::string TableReference(const std::string& listed) override;

  // A session a statement may use: the first one when it is free, else a kept or a new one with
  // the same settings. Give it back with Release.
  pg_conn* Acquire() { return sessions_.Acquire(); }
  void Release(pg_conn* session) { sessions_.Release(session); }

 private:
  std::unique_ptr<TCursor> OpenCommand(const TSqlCommand& cmd, const std::string& sql);
  pg_conn* NewSession() const;
  std::string conninfo_;
  TSessionPool<pg_conn> sessions_;
};

using TPgLease = TSessionLease<TPgConnection, pg_conn>;

// The rows of a statement, all in memory, each value the server's text (NULL as ""). For the
// short answers of the catalogue and the session statements; raises the server's message.
std::vector<std::vector<std::string>> PgTextRows(pg_conn* session, const std::string& sql);

}  // namespace morvale
