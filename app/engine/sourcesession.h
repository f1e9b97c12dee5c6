// A session of a database held across statements, for work that one query cannot do: the
// transaction whose snapshot other sessions (other processes, other machines) import so that
// they all read one picture of the data, and the statements that set a session up before the
// next query of the database runs in it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/engine/connection.h"

namespace morvale {

class TSourceSession {
 public:
  // The database as OpenQuery names it, connected through the default session. `own`: a session
  // of its own, held until this object goes (a server's statements then run beside it on other
  // sessions); else the statements run in the session the database's next query will use. An
  // SQLite database opens its file a second time, read-only, for a session of its own.
  TSourceSession(const std::string& database, bool own);
  ~TSourceSession();
  TSourceSession(const TSourceSession&) = delete;
  TSourceSession& operator=(const TSourceSession&) = delete;

  TDriverKind Kind() const { return kind_; }
  // The database file of an SQLite database.
  const std::string& FilePath() const { return filePath_; }
  // The rows of a statement, each value as text (NULL as an empty text). Raises the database's
  // message when it fails.
  std::vector<std::vector<std::string>> Query(const std::string& sql);
  // The first value of the first row, or "" when there is none.
  std::string Value(const std::string& sql);

  // PostgreSQL: listens to `channel` on a connection of its own (notifications reach a session
  // only between its transactions, and the held one stays in its transaction).
  void Listen(const std::string& channel);
  // Waits at most `ms` milliseconds for a notification of the channel; false when none came.
  bool WaitNotification(int ms, std::string& payload);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
  TDriverKind kind_ = TDriverKind::Standard;
  std::string filePath_;
};

}  // namespace morvale
