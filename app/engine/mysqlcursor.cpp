#include "app/engine/mysqlcursor.h"

#include <mysql.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <vector>

#include "export/core/datetime.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

std::string Trimmed(const char* text) {
  std::string_view s(text ? text : "");
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  return std::string(s);
}

[[noreturn]] void ThrowLastError(MYSQL* m) {
  std::string text = Trimmed(mysql_error(m));
  throw Exception(text.empty() ? TranslateText("Engine", "Unknown MySQL error") : text);
}

// The client library's handle under a Qt connection. Qt's driver and this engine both use
// Debian's libmariadb, so the handle is the same structure on both sides.
MYSQL* MySqlHandle(const QString& connection) {
  QVariant handle = QSqlDatabase::database(connection, false).driver()->handle();
  const char* type = handle.isValid() ? handle.typeName() : nullptr;
  if (!type || (std::strcmp(type, "MYSQL*") != 0 && std::strcmp(type, "st_mysql*") != 0))
    throw Exception(TranslateText("Engine", "The MySQL driver of Qt SQL gives no client handle"));
  MYSQL* m = *static_cast<MYSQL* const*>(handle.constData());
  if (!m) throw Exception(TranslateText("Engine", "The MySQL connection is closed"));
  return m;
}

// The results a statement may still have after the one read (several statements, a procedure's
// status), read and dropped so that the connection can take the next statement.
void SkipMoreResults(MYSQL* m) {
  while (mysql_more_results(m) && mysql_next_result(m) == 0)
    if (MYSQL_RES* r = mysql_use_result(m)) mysql_free_result(r);
}

// How a column's texts become cells. Values keep the forms Qt's driver gave them: integers and
// floating-point numbers as numbers, TIME as the server's text (it runs past 24 hours), bytes as
// bytes, everything else as text.
enum class TReadAs : uint8_t { Text, Bytes, Signed, Unsigned, Real, Bits, DateTime };

// Qt's driver decides "binary" by this flag on the string and BLOB types alone; the field types
// follow that decision, so it is kept.
bool IsBinaryColumn(const MYSQL_FIELD& f) {
  switch (f.type) {
    case MYSQL_TYPE_STRING:
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_GEOMETRY:
    case MYSQL_TYPE_JSON:
      return (f.flags & BINARY_FLAG) != 0;
    default:
      return false;
  }
}

TReadAs ReadAsOf(const MYSQL_FIELD& f) {
  const bool isUnsigned = (f.flags & UNSIGNED_FLAG) != 0;
  switch (f.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONGLONG:
      return isUnsigned ? TReadAs::Unsigned : TReadAs::Signed;
    case MYSQL_TYPE_YEAR:
      return TReadAs::Signed;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
      return TReadAs::Real;
    // An exact decimal stays the server's text, with all its digits and its scale; the field
    // reads it as a number where a number is wanted.
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
      return TReadAs::Text;
    case MYSQL_TYPE_BIT:
      return TReadAs::Bits;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
      return TReadAs::DateTime;
    default:
      return IsBinaryColumn(f) ? TReadAs::Bytes : TReadAs::Text;
  }
}

struct TColumn {
  std::string Name;
  int Type = 0;
  // As Qt's driver gave them to the field types: an int, so a LONGTEXT's 4294967295 reads -1.
  int Length = 0;
  int Decimals = 0;
  bool Binary = false;
  TReadAs ReadAs = TReadAs::Text;
};

class TMySqlCursor : public TCursor {
 public:
  TMySqlCursor(std::shared_ptr<TQtConnection> conn, const std::string& sql)
      : conn_(std::move(conn)), sql_(sql) {
    name_ = conn_->Acquire();
    try {
      mysql_ = MySqlHandle(name_);
    } catch (...) {
      conn_->Release(name_);
      throw;
    }
  }
  ~TMySqlCursor() override {
    FreeResult();
    conn_->Release(name_);
  }

  void Execute() override {
    // A result not read to its end is read off the connection first (the protocol has no
    // other way to stop it); a move back to the start pays for the rest of the walk.
    FreeResult();
    if (mysql_real_query(mysql_, sql_.data(), sql_.size()) != 0) ThrowLastError(mysql_);
    result_ = mysql_use_result(mysql_);
    if (!result_) {
      if (mysql_field_count(mysql_) != 0) ThrowLastError(mysql_);
      SkipMoreResults(mysql_);
      throw Exception(TranslateText("Engine", "The SQL statement returns no result set"));
    }
    const unsigned n = mysql_num_fields(result_);
    const MYSQL_FIELD* fields = mysql_fetch_fields(result_);
    columns_.assign(n, TColumn());
    for (unsigned i = 0; i < n; ++i) {
      const MYSQL_FIELD& f = fields[i];
      TColumn& c = columns_[i];
      c.Name.assign(f.name, f.name_length);
      c.Type = f.type;
      c.Length = static_cast<int>(f.length);
      c.Decimals = static_cast<int>(f.decimals);
      c.Binary = IsBinaryColumn(f);
      c.ReadAs = ReadAsOf(f);
    }
    row_ = nullptr;
  }

  bool Step() override {
    if (!result_) return false;
    row_ = mysql_fetch_row(result_);
    if (row_) {
      lengths_ = mysql_fetch_lengths(result_);
      return true;
    }
    // The end of the rows, or the connection lost on the way: only the error number tells.
    if (mysql_errno(mysql_) != 0) ThrowLastError(mysql_);
    return false;
  }

  TFieldDefs Describe(bool) override {
    TFieldDefs defs;
    for (const TColumn& c : columns_)
      defs.push_back(MySqlFieldDef(c.Name, c.Type, c.Length, c.Decimals, c.Binary));
    return defs;
  }

  void ReadRow(TRowWindow& window) override {
    TCell* cells = window.AppendRow();
    for (size_t i = 0; i < columns_.size(); ++i) {
      const char* p = row_[i];
      if (!p) continue;
      ReadValue(columns_[i].ReadAs, p, static_cast<size_t>(lengths_[i]), cells[i], window);
    }
  }

  int64_t CountRows() override;

 private:
  void FreeResult() {
    if (!result_) return;
    mysql_free_result(result_);
    result_ = nullptr;
    row_ = nullptr;
    SkipMoreResults(mysql_);
  }

  static void ReadValue(TReadAs as, const char* p, size_t n, TCell& cell, TRowWindow& window) {
    const char* end = p + n;
    switch (as) {
      case TReadAs::Signed: {
        int64_t v;
        auto r = std::from_chars(p, end, v);
        if (r.ec == std::errc() && r.ptr == end) {
          cell.Kind = TCellKind::Int;
          cell.Int = v;
          return;
        }
        break;
      }
      case TReadAs::Unsigned: {
        uint64_t v;
        auto r = std::from_chars(p, end, v);
        if (r.ec == std::errc() && r.ptr == end && v <= static_cast<uint64_t>(INT64_MAX)) {
          cell.Kind = TCellKind::Int;
          cell.Int = static_cast<int64_t>(v);
          return;
        }
        break;  // past the range of a cell: the decimal text, as it came
      }
      case TReadAs::Real: {
        double v;
        auto r = std::from_chars(p, end, v);
        if (r.ec == std::errc() && r.ptr == end) {
          cell.Kind = TCellKind::Float;
          cell.Float = v;
          return;
        }
        break;
      }
      case TReadAs::Bits: {
        // BIT(n) comes as n bits in big-endian bytes, not as digits.
        uint64_t v = 0;
        for (size_t i = 0; i < n && i < 8; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
        if (v <= static_cast<uint64_t>(INT64_MAX)) {
          cell.Kind = TCellKind::Int;
          cell.Int = static_cast<int64_t>(v);
        } else {
          char digits[24];
          auto r = std::to_chars(digits, digits + sizeof digits, v);
          window.SetText(cell, digits, static_cast<size_t>(r.ptr - digits));
        }
        return;
      }
      case TReadAs::DateTime: {
        // A zero date ("0000-00-00", or a zero month or day where the server's mode allows it)
        // names no day: it reads as no value.
        TDateTime dt;
        if (TryParseIsoDateTime(std::string_view(p, n), dt)) {
          cell.Kind = TCellKind::DateTime;
          cell.Float = dt;
        }
        return;
      }
      case TReadAs::Bytes:
        window.SetText(cell, p, n, TCellKind::Blob);
        return;
      case TReadAs::Text:
        break;
    }
    window.SetText(cell, p, n);
  }

  std::shared_ptr<TQtConnection> conn_;
  std::string sql_;
  QString name_;
  MYSQL* mysql_ = nullptr;
  MYSQL_RES* result_ = nullptr;
  MYSQL_ROW row_ = nullptr;
  unsigned long* lengths_ = nullptr;
  std::vector<TColumn> columns_;
};

int64_t TMySqlCursor::CountRows() {
  // On a connection of its own: this one is in the middle of its rows.
  TQtLease lease(*conn_);
  MYSQL* m = MySqlHandle(lease.Name());
  std::string_view body(sql_);
  while (!body.empty() &&
         (std::isspace(static_cast<unsigned char>(body.back())) || body.back() == ';'))
    body.remove_suffix(1);
  std::string count = "SELECT COUNT(*) FROM (\n" + std::string(body) + "\n) AS morvale_count";
  if (mysql_real_query(m, count.data(), count.size()) == 0) {
    if (MYSQL_RES* r = mysql_store_result(m)) {
      MYSQL_ROW row = mysql_fetch_row(r);
      int64_t n = -1;
      if (row && row[0]) std::from_chars(row[0], row[0] + std::strlen(row[0]), n);
      mysql_free_result(r);
      SkipMoreResults(m);
      if (n >= 0) return n;
    }
  }
  // Statements that cannot stand in a subquery (SHOW ..., columns of the same name) are counted
  // by walking them, one row at a time like the cursor itself.
  if (mysql_real_query(m, sql_.data(), sql_.size()) != 0) ThrowLastError(m);
  MYSQL_RES* r = mysql_use_result(m);
  if (!r) {
    if (mysql_field_count(m) != 0) ThrowLastError(m);
    SkipMoreResults(m);
    throw Exception(TranslateText("Engine", "The SQL statement returns no result set"));
  }
  int64_t n = 0;
  while (mysql_fetch_row(r)) ++n;
  const bool failed = mysql_errno(m) != 0;
  std::string error = failed ? Trimmed(mysql_error(m)) : std::string();
  mysql_free_result(r);
  if (failed) throw Exception(error);
  SkipMoreResults(m);
  return n;
}

}  // namespace

std::unique_ptr<TCursor> MakeMySqlCursor(std::shared_ptr<TQtConnection> connection,
                                         const std::string& sql) {
  return std::make_unique<TMySqlCursor>(std::move(connection), sql);
}

}  // namespace morvale
