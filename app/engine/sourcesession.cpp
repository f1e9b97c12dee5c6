#include "app/engine/sourcesession.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>

#include "app/engine/pgcopycursor.h"
#include "app/engine/qtconnection.h"
#include "app/engine/session.h"

namespace morvale {

namespace {

std::vector<std::vector<std::string>> QtRows(const QString& connection, const std::string& sql) {
  QSqlQuery q(QSqlDatabase::database(connection, false));
  q.setForwardOnly(true);
  if (!q.exec(QString::fromStdString(sql))) throw Exception(ErrorText(q.lastError()));
  std::vector<std::vector<std::string>> rows;
  while (q.next()) {
    std::vector<std::string>& row = rows.emplace_back();
    for (int i = 0; i < q.record().count(); ++i)
      row.push_back(q.isNull(i) ? std::string() : q.value(i).toString().toStdString());
  }
  return rows;
}

}  // namespace

struct TSourceSession::TImpl {
  std::shared_ptr<TQtConnection> server;
  std::unique_ptr<TQtLease> held;      // the session of its own
  std::unique_ptr<TQtLease> listener;  // PostgreSQL: the session that listens
  sqlite3* file = nullptr;
  ~TImpl() {
    if (file) sqlite3_close(file);
  }
};

TSourceSession::TSourceSession(const std::string& database, bool own)
    : impl_(std::make_unique<TImpl>()) {
  TDatabase& db = TSession::Default().OpenDatabase(database);
  kind_ = db.Kind();
  filePath_ = db.FilePath();
  if (kind_ == TDriverKind::Sqlite) {
    if (!own) return;
    const int rc = sqlite3_open_v2(filePath_.c_str(), &impl_->file, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
      throw Exception(impl_->file ? sqlite3_errmsg(impl_->file) : sqlite3_errstr(rc));
    sqlite3_busy_timeout(impl_->file, 10000);
    return;
  }
  // A dBASE folder has no session to hold: Query raises.
  impl_->server = std::dynamic_pointer_cast<TQtConnection>(db.SharedConnection());
  if (own && impl_->server) impl_->held = std::make_unique<TQtLease>(*impl_->server);
}

TSourceSession::~TSourceSession() = default;

std::vector<std::vector<std::string>> TSourceSession::Query(const std::string& sql) {
  if (impl_->file) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(impl_->file, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
      throw Exception(sqlite3_errmsg(impl_->file));
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      std::vector<std::string>& row = rows.emplace_back();
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        row.emplace_back(text ? text : "");
      }
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) throw Exception(sqlite3_errmsg(impl_->file));
    return rows;
  }
  if (!impl_->server) throw Exception("No session of its own to run the statement in");
  if (impl_->held) return QtRows(impl_->held->Name(), sql);
  TQtLease lease(*impl_->server);
  return QtRows(lease.Name(), sql);
}

std::string TSourceSession::Value(const std::string& sql) {
  auto rows = Query(sql);
  return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

void TSourceSession::Listen(const std::string& channel) {
  if (kind_ != TDriverKind::PostgreSql) return;
  impl_->listener = std::make_unique<TQtLease>(*impl_->server);
  PGconn* pg = PgHandle(impl_->listener->Name());
  if (!pg) throw Exception("The PostgreSQL driver gives no handle to listen on");
  std::unique_ptr<char, void (*)(void*)> quoted(
      PQescapeIdentifier(pg, channel.c_str(), channel.size()), PQfreemem);
  PGresult* r = PQexec(pg, ("LISTEN " + std::string(quoted.get())).c_str());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  PQclear(r);
  if (!ok) throw Exception(PQerrorMessage(pg));
}

bool TSourceSession::WaitNotification(int ms, std::string& payload) {
  PGconn* pg = impl_->listener ? PgHandle(impl_->listener->Name()) : nullptr;
  if (!pg) return false;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    PQconsumeInput(pg);
    if (PGnotify* n = PQnotifies(pg)) {
      payload = n->extra;
      PQfreemem(n);
      return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{PQsocket(pg), POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
  }
}

}  // namespace morvale
