#include "app/engine/pgcopycursor.h"

#include <endian.h>
#include <libpq-fe.h>

#include <cctype>
#include <cstring>
#include <vector>

#include "app/engine/pgtypes.h"
#include "app/engine/pgvalues.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

// The statement without the blanks and semicolons that may end it, when it is a query that
// COPY takes (a SELECT, WITH, VALUES or TABLE); empty otherwise.
std::string CopyableQuery(const std::string& sql) {
  std::string_view s(sql);
  while (!s.empty() && (std::isspace(static_cast<unsigned char>(s.back())) || s.back() == ';'))
    s.remove_suffix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  size_t word = 0;
  while (word < s.size() && std::isalpha(static_cast<unsigned char>(s[word]))) ++word;
  const std::string_view first = s.substr(0, word);
  for (const char* w : {"SELECT", "WITH", "VALUES", "TABLE"})
    if (SameText(first, w)) return std::string(s);
  return {};
}

// The protocol's integers are big-endian: one load and a byte swap each.
int16_t Int16(const char* p) {
  uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<int16_t>(be16toh(v));
}
int32_t Int32(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<int32_t>(be32toh(v));
}

struct TPgColumn {
  Oid Type;
  TFieldDef Def;
};

class TPgCopyCursor : public TCursor {
 public:
  TPgCopyCursor(std::shared_ptr<TPgConnection> conn, PGconn* pg, std::string query,
                std::vector<TPgColumn> columns)
      : conn_(std::move(conn)), pg_(pg), query_(std::move(query)), columns_(std::move(columns)) {}
  ~TPgCopyCursor() override {
    Stop();
    conn_->Release(pg_);
  }

  void Execute() override {
    Stop();
    const std::string copy = "COPY (" + query_ + ") TO STDOUT (FORMAT binary)";
    PGresult* r = PQexec(pg_, copy.c_str());
    if (PQresultStatus(r) != PGRES_COPY_OUT) {
      std::string error = PgErrorText(r, pg_);
      PQclear(r);
      Drain();
      throw Exception(error);
    }
    PQclear(r);
    copying_ = true;
    header_ = false;
  }

  bool Step() override {
    for (;;) {
      Free();
      if (!copying_) return false;
      const int n = PQgetCopyData(pg_, &buffer_, 0);
      if (n == -1) return Finish();
      if (n < 0) {
        copying_ = false;
        throw Exception(PgErrorText(nullptr, pg_));
      }
      const char* p = buffer_;
      const char* end = buffer_ + n;
      if (!header_) {
        // "PGCOPY\n\377\r\n\0", the flags, the length of the header extension and the extension.
        if (n < 19 || std::memcmp(p, "PGCOPY\n\377\r\n", 11) != 0)
          throw Exception(
              TranslateText("Engine", "PostgreSQL sent a COPY stream this reader does not know"));
        p += 19 + Int32(p + 15);
        header_ = true;
        if (p >= end) continue;
      }
      if (ReadTuple(p, end)) return true;
    }
  }

  TFieldDefs Describe(bool) override {
    TFieldDefs defs;
    for (const TPgColumn& c : columns_) defs.push_back(c.Def);
    return defs;
  }

  void ReadRow(TRowWindow& window) override {
    TCell* cells = window.AppendRow();
    for (size_t i = 0; i < columns_.size(); ++i) {
      const char* p = values_[i].first;
      const int32_t len = values_[i].second;
      if (len < 0) continue;
      ReadPgBinary(columns_[i].Type, p, len, cells[i], window, scratch_);
    }
  }

  // The COPY holds its connection to itself until it ends; nothing here calls into Qt.
  bool CanReadAhead() const override { return true; }

  int64_t CountRows() override {
    // On a connection of its own: this one is in the middle of its rows.
    TPgLease lease(*conn_);
    PGconn* pg = lease.Session();
    const std::string sql = "SELECT COUNT(*) FROM (\n" + query_ + "\n) AS morvale_count";
    PGresult* r = PQexec(pg, sql.c_str());
    if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1) {
      std::string error = PgErrorText(r, pg);
      PQclear(r);
      throw Exception(error);
    }
    int64_t n = std::strtoll(PQgetvalue(r, 0, 0), nullptr, 10);
    PQclear(r);
    return n;
  }

 private:
  // The field lengths and values of one tuple; false for the trailer that ends the data.
  bool ReadTuple(const char* p, const char* end) {
    if (end - p < 2) throw Exception(TranslateText("Engine", "PostgreSQL sent a short COPY row"));
    const int16_t count = Int16(p);
    p += 2;
    if (count == -1) return false;
    if (count != static_cast<int16_t>(columns_.size()))
      throw Exception(TranslateText("Engine", "PostgreSQL sent a COPY row of another width"));
    values_.resize(columns_.size());
    for (auto& v : values_) {
      if (end - p < 4) throw Exception(TranslateText("Engine", "PostgreSQL sent a short COPY row"));
      v.second = Int32(p);
      p += 4;
      v.first = p;
      if (v.second > 0) {
        if (end - p < v.second)
          throw Exception(TranslateText("Engine", "PostgreSQL sent a short COPY row"));
        p += v.second;
      }
    }
    return true;
  }

  void Free() {
    if (buffer_) PQfreemem(buffer_);
    buffer_ = nullptr;
  }

  // After the last row: the command's own result says whether it ended well.
  bool Finish() {
    copying_ = false;
    PGresult* r = PQgetResult(pg_);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    std::string error = ok ? std::string() : PgErrorText(r, pg_);
    PQclear(r);
    Drain();
    if (!ok) throw Exception(error);
    return false;
  }

  void Drain() {
    while (PGresult* r = PQgetResult(pg_)) PQclear(r);
  }

  // A COPY left before its end is cancelled, so that the connection takes the next statement
  // without reading the rest of the rows.
  void Stop() {
    Free();
    if (!copying_) return;
    copying_ = false;
    if (PGcancel* cancel = PQgetCancel(pg_)) {
      char error[256];
      PQcancel(cancel, error, sizeof error);
      PQfreeCancel(cancel);
    }
    char* rest = nullptr;
    while (PQgetCopyData(pg_, &rest, 0) > 0) PQfreemem(rest);
    Drain();
  }

  std::shared_ptr<TPgConnection> conn_;
  PGconn* pg_;
  std::string query_;
  std::vector<TPgColumn> columns_;
  std::vector<std::pair<const char*, int32_t>> values_;
  char* buffer_ = nullptr;
  bool copying_ = false;
  bool header_ = false;
  std::string scratch_;
};

}  // namespace

std::unique_ptr<TCursor> MakePgCopyCursor(std::shared_ptr<TPgConnection> connection,
                                          const std::string& sql) {
  const std::string query = CopyableQuery(sql);
  if (query.empty()) return nullptr;
  PGconn* pg = connection->Acquire();
  std::vector<TPgColumn> columns;
  bool usable = pg != nullptr;
  if (usable) {
    // The unnamed statement tells the columns without running the query; one that the server
    // refuses is left to the row-by-row cursor, which reports it as it always has.
    PGresult* prepared = PQprepare(pg, "", query.c_str(), 0, nullptr);
    usable = PQresultStatus(prepared) == PGRES_COMMAND_OK;
    PQclear(prepared);
    PGresult* described = usable ? PQdescribePrepared(pg, "") : nullptr;
    usable = usable && PQresultStatus(described) == PGRES_COMMAND_OK && PQnfields(described) > 0;
    bool floats = false;
    for (int i = 0; usable && i < PQnfields(described); ++i) {
      const Oid type = PQftype(described, i);
      usable = PgDecodesBinary(type);
      floats = floats || type == pg::kFloat4 || type == pg::kFloat8;
      if (usable) columns.push_back({type, PgColumnDef(described, i)});
    }
    PQclear(described);
    if (usable && floats) usable = PgShortestFloats(pg);
  }
  if (!usable) {
    connection->Release(pg);
    return nullptr;
  }
  return std::make_unique<TPgCopyCursor>(std::move(connection), pg, query, std::move(columns));
}

}  // namespace morvale
