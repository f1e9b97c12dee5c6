// A MySQL or MariaDB database through its client library. A statement reads on a server session
// of its own while another one is still streaming (a session serves one result at a time);
// sessions freed by finished statements are kept for the next ones.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/engine/connection.h"
#include "app/engine/sessionpool.h"

struct st_mysql;  // the client library's MYSQL

namespace morvale {

class TMySqlConnection : public TConnection, public std::enable_shared_from_this<TMySqlConnection> {
 public:
  // Connects at once; a refused login or an unknown host raises the server's message.
  explicit TMySqlConnection(const TStringList& params);
  ~TMySqlConnection() override;
  TMySqlConnection(const TMySqlConnection&) = delete;
  TMySqlConnection& operator=(const TMySqlConnection&) = delete;

  // MySQL answers SHOW FIELDS, SHOW INDEX, DESCRIBE and SHOW TABLES itself.
  std::unique_ptr<TCursor> OpenCursor(const std::string& sql) override;
  void GetTableNames(const std::string& pattern, bool extensions, bool systemTables,
                     TStringList& out) override;
  TSqlNameDialect NameDialect() const override { return TSqlNameDialect::MySQL; }

  // A session a statement may use: the first one when it is free, else a kept or a new one with
  // the same settings. Give it back with Release.
  st_mysql* Acquire() { return sessions_.Acquire(); }
  void Release(st_mysql* session) { sessions_.Release(session); }

 private:
  st_mysql* NewSession() const;
  TStringList params_;
  TSessionPool<st_mysql> sessions_;
};

using TMySqlLease = TSessionLease<TMySqlConnection, st_mysql>;

// The server's message of the session's last failure.
std::string MySqlErrorText(st_mysql* session);

// The rows of a statement, all in memory, each value as text (NULL as ""), for the session
// statements; raises the server's message.
std::vector<std::vector<std::string>> MySqlTextRows(st_mysql* session, const std::string& sql);

}  // namespace morvale
