#include "app/engine/pgcursor.h"

#include <libpq-fe.h>

#include <cctype>
#include <cstdlib>
#include <vector>

#include "app/engine/pgcopycursor.h"
#include "app/engine/pgtypes.h"
#include "app/engine/pgvalues.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

[[noreturn]] void ThrowNoResultSet() {
  throw Exception(TranslateText("Engine", "The SQL statement returns no result set"));
}

// Reads the results a statement still has off the session, so that it takes the next one.
void Drain(PGconn* pg) {
  while (PGresult* r = PQgetResult(pg)) PQclear(r);
}

class TPgRowCursor : public TCursor {
 public:
  TPgRowCursor(std::shared_ptr<TPgConnection> conn, std::string sql)
      : conn_(std::move(conn)), sql_(std::move(sql)), pg_(conn_->Acquire()) {
    Prepare();
  }
  ~TPgRowCursor() override {
    Stop();
    conn_->Release(pg_);
  }

  void Execute() override {
    Stop();
    const int sent = extended_ ? PQsendQueryParams(pg_, sql_.c_str(), 0, nullptr, nullptr, nullptr,
                                                   nullptr, binary_ ? 1 : 0)
                               : PQsendQuery(pg_, sql_.c_str());
    if (!sent) throw Exception(PgErrorText(nullptr, pg_));
    running_ = true;
    PQsetSingleRowMode(pg_);
    PGresult* r = PQgetResult(pg_);
    const ExecStatusType status = PQresultStatus(r);
    if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
      if (columns_.empty()) SetColumns(r);
      if (status == PGRES_SINGLE_TUPLE) {
        pending_ = r;
        return;
      }
      PQclear(r);
      return Finish();
    }
    std::string error = status == PGRES_FATAL_ERROR || status == PGRES_NONFATAL_ERROR || !r
                            ? PgErrorText(r, pg_)
                            : std::string();
    PQclear(r);
    Finish();
    if (error.empty()) ThrowNoResultSet();
    throw Exception(error);
  }

  bool Step() override {
    Clear();
    if (pending_) {
      std::swap(row_, pending_);
      return true;
    }
    if (!running_) return false;
    PGresult* r = PQgetResult(pg_);
    switch (PQresultStatus(r)) {
      case PGRES_SINGLE_TUPLE:
        row_ = r;
        return true;
      case PGRES_TUPLES_OK:
        PQclear(r);
        Finish();
        return false;
      default: {
        // A failure on the way (a dropped session, a division by zero in row 1000).
        std::string error = PgErrorText(r, pg_);
        PQclear(r);
        Finish();
        throw Exception(error);
      }
    }
  }

  TFieldDefs Describe(bool) override {
    TFieldDefs defs;
    for (const auto& c : columns_) defs.push_back(c.Def);
    return defs;
  }

  void ReadRow(TRowWindow& window) override {
    TCell* cells = window.AppendRow();
    for (size_t i = 0; i < columns_.size(); ++i) {
      const int column = static_cast<int>(i);
      if (!row_ || PQgetisnull(row_, 0, column)) continue;
      const char* p = PQgetvalue(row_, 0, column);
      const int len = PQgetlength(row_, 0, column);
      if (binary_)
        ReadPgBinary(columns_[i].Type, p, len, cells[i], window, scratch_);
      else
        ReadPgText(columns_[i].Type, columns_[i].Def.DataType, p, static_cast<size_t>(len),
                   cells[i], window, scratch_);
    }
  }

  int64_t CountRows() override;
  // Step and ReadRow use the cursor's own session and nothing else (CountRows leases another).
  bool CanReadAhead() const override { return true; }

 private:
  struct TColumn {
    Oid Type;
    TFieldDef Def;
  };

  // Asks the server for the statement's columns without running it. A text it cannot take as
  // one statement (several statements) runs through the simple protocol, where the server
  // says what is wrong with it as it runs.
  void Prepare() {
    PGresult* prepared = PQprepare(pg_, "", sql_.c_str(), 0, nullptr);
    const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
    PQclear(prepared);
    if (!ok) return;
    PGresult* described = PQdescribePrepared(pg_, "");
    if (PQresultStatus(described) == PGRES_COMMAND_OK) {
      extended_ = true;
      SetColumns(described);
    }
    PQclear(described);
  }

  // Binary when every column decodes the way the COPY reader decodes it: the cells are then
  // those COPY gives.
  void SetColumns(const PGresult* r) {
    columns_.clear();
    bool decodes = extended_, floats = false;
    for (int i = 0; i < PQnfields(r); ++i) {
      const Oid type = PQftype(r, i);
      decodes = decodes && PgDecodesBinary(type);
      floats = floats || type == pg::kFloat4 || type == pg::kFloat8;
      columns_.push_back({type, PgColumnDef(r, i)});
    }
    binary_ = decodes && (!floats || PgShortestFloats(pg_));
  }

  void Clear() {
    PQclear(row_);
    row_ = nullptr;
  }

  void Finish() {
    running_ = false;
    Drain(pg_);
  }

  // A statement left before its end is cancelled, so that the session takes the next one
  // without reading the rest of the rows.
  void Stop() {
    Clear();
    PQclear(pending_);
    pending_ = nullptr;
    if (!running_) return;
    running_ = false;
    if (PGcancel* cancel = PQgetCancel(pg_)) {
      char error[256];
      PQcancel(cancel, error, sizeof error);
      PQfreeCancel(cancel);
    }
    Drain(pg_);
  }

  std::shared_ptr<TPgConnection> conn_;
  std::string sql_;
  PGconn* pg_;
  std::vector<TColumn> columns_;
  bool extended_ = false;  // prepared: runs through the extended protocol
  bool binary_ = false;
  bool running_ = false;
  PGresult* pending_ = nullptr;  // the first row, read by Execute
  PGresult* row_ = nullptr;
  std::string scratch_;
};

int64_t TPgRowCursor::CountRows() {
  // On a session of its own: this one is in the middle of its rows.
  TPgLease lease(*conn_);
  PGconn* pg = lease.Session();
  std::string_view body(sql_);
  while (!body.empty() &&
         (std::isspace(static_cast<unsigned char>(body.back())) || body.back() == ';'))
    body.remove_suffix(1);
  const std::string count = "SELECT COUNT(*) FROM (\n" + std::string(body) + "\n) AS morvale_count";
  PGresult* r = PQexec(pg, count.c_str());
  if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1) {
    const int64_t n = std::strtoll(PQgetvalue(r, 0, 0), nullptr, 10);
    PQclear(r);
    return n;
  }
  PQclear(r);
  // Statements that cannot stand in a subquery (SHOW ...) are counted by walking them, one row
  // at a time like the cursor itself.
  if (!PQsendQuery(pg, sql_.c_str())) throw Exception(PgErrorText(nullptr, pg));
  PQsetSingleRowMode(pg);
  int64_t n = 0;
  bool counted = false;
  std::string error;
  while (PGresult* row = PQgetResult(pg)) {
    const ExecStatusType status = PQresultStatus(row);
    if (status == PGRES_SINGLE_TUPLE && !counted) ++n;
    if (status == PGRES_TUPLES_OK) counted = true;
    if ((status == PGRES_FATAL_ERROR || status == PGRES_NONFATAL_ERROR) && error.empty())
      error = PgErrorText(row, pg);
    PQclear(row);
  }
  if (!error.empty()) throw Exception(error);
  return n;
}

// COPY first; a server that speaks the protocol but refuses a COPY of this query (servers built
// on PostgreSQL's protocol without its COPY) has it read row by row instead. A refusal comes
// before the first row, where nothing has been read yet.
class TPgCopyOrRows : public TCursor {
 public:
  TPgCopyOrRows(std::unique_ptr<TCursor> copy, std::shared_ptr<TPgConnection> conn, std::string sql)
      : cursor_(std::move(copy)), conn_(std::move(conn)), sql_(std::move(sql)) {}

  void Execute() override {
    if (!conn_) return cursor_->Execute();
    try {
      cursor_->Execute();
    } catch (const Exception&) {
      cursor_.reset();
      cursor_ = MakePgRowCursor(conn_, sql_);
      cursor_->Execute();
    }
    conn_.reset();
  }
  bool Step() override { return cursor_->Step(); }
  TFieldDefs Describe(bool hasRow) override { return cursor_->Describe(hasRow); }
  void ReadRow(TRowWindow& window) override { cursor_->ReadRow(window); }
  int64_t CountRows() override { return cursor_->CountRows(); }
  bool Seek(int64_t row) override { return cursor_->Seek(row); }
  bool CanReadAhead() const override { return cursor_->CanReadAhead(); }

 private:
  std::unique_ptr<TCursor> cursor_;
  std::shared_ptr<TPgConnection> conn_;  // until the first run has shown that COPY works
  std::string sql_;
};

}  // namespace

std::unique_ptr<TCursor> MakePgRowCursor(std::shared_ptr<TPgConnection> connection,
                                         const std::string& sql) {
  return std::make_unique<TPgRowCursor>(std::move(connection), sql);
}

std::unique_ptr<TCursor> MakePgCursor(std::shared_ptr<TPgConnection> connection,
                                      const std::string& sql) {
  if (std::unique_ptr<TCursor> copy = MakePgCopyCursor(connection, sql))
    return std::make_unique<TPgCopyOrRows>(std::move(copy), std::move(connection), sql);
  return MakePgRowCursor(std::move(connection), sql);
}

}  // namespace morvale
