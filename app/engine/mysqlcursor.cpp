#include "app/engine/mysqlcursor.h"

#include <mysql.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "export/core/datetime.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

[[noreturn]] void ThrowLastError(MYSQL* m) {
  throw Exception(MySqlErrorText(m));
}

// The results a statement may still have after the one read (several statements, a procedure's
// status), read and dropped so that the connection can take the next statement.
void SkipMoreResults(MYSQL* m) {
  while (mysql_more_results(m) && mysql_next_result(m) == 0)
    if (MYSQL_RES* r = mysql_use_result(m)) mysql_free_result(r);
}

// The rows of a statement, counted on a session of its own (the cursor's is in the middle of its
// rows).
int64_t CountMySqlRows(TMySqlConnection& connection, const std::string& sql_) {
  TMySqlLease lease(connection);
  MYSQL* m = lease.Session();
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
  std::string error = failed ? MySqlErrorText(m) : std::string();
  mysql_free_result(r);
  if (failed) throw Exception(error);
  SkipMoreResults(m);
  return n;
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

class TMySqlTextCursor : public TCursor {
 public:
  TMySqlTextCursor(std::shared_ptr<TMySqlConnection> conn, const std::string& sql)
      : conn_(std::move(conn)), sql_(sql), mysql_(conn_->Acquire()) {}
  ~TMySqlTextCursor() override {
    FreeResult();
    conn_->Release(mysql_);
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

  int64_t CountRows() override { return CountMySqlRows(*conn_, sql_); }

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
        if (!TryParseIsoDateTime(std::string_view(p, n), dt)) return;
        // As the prepared statement's reader does: a fraction of a second, which may go beyond
        // the millisecond a serial day keeps, stays in the text the field reads.
        if (std::string_view(p, n).find('.') != std::string_view::npos) break;
        cell.Kind = TCellKind::DateTime;
        cell.Float = dt;
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

  std::shared_ptr<TMySqlConnection> conn_;
  std::string sql_;
  MYSQL* mysql_ = nullptr;
  MYSQL_RES* result_ = nullptr;
  MYSQL_ROW row_ = nullptr;
  unsigned long* lengths_ = nullptr;
  std::vector<TColumn> columns_;
};

}  // namespace

TFieldDef MySqlFieldDef(const std::string& name, int type, int length, int decimals, bool binary) {
  const int len = length, prec = decimals;
  auto str = [&](int size) { return MakeFieldDef(name, ftString, size); };
  auto bcd = [&](int digits, int scale) {
    if (digits <= 0) return MakeFieldDef(name, ftFloat);
    return MakeFieldDef(name, ftBCD, std::max(0, scale), digits);
  };
  switch (type) {
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
      return bcd(len > 2 ? len - (prec > 0 ? 2 : 1) : len, prec);  // sign, point
    case MYSQL_TYPE_TINY:
      return MakeFieldDef(name, len == 1 ? ftBoolean : ftSmallint);
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_YEAR:
      return MakeFieldDef(name, ftSmallint);
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
      return MakeFieldDef(name, ftInteger);
    case MYSQL_TYPE_LONGLONG:
      return MakeFieldDef(name, ftLargeint);
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
      return MakeFieldDef(name, ftFloat);
    case MYSQL_TYPE_TIMESTAMP:
    case MYSQL_TYPE_DATETIME:
      return MakeFieldDef(name, ftDateTime);
    case MYSQL_TYPE_DATE:
      return MakeFieldDef(name, ftDate);
    case MYSQL_TYPE_TIME:
      return MakeFieldDef(name, ftTime);
    case MYSQL_TYPE_BIT:
      return MakeFieldDef(name, len == 1 ? ftBoolean : ftLargeint);
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
      // TEXT and BLOB types; the length says which (TINYTEXT and TEXT stay strings).
      if (binary) return MakeFieldDef(name, ftBlob);
      if (len > 65535 * 4) return MakeFieldDef(name, ftMemo);
      return str(0);
    default:
      if (binary) return MakeFieldDef(name, ftBlob);
      // The server counts bytes of its UTF-8 (four a character).
      return str(len > 0 ? std::max(1, len / 4) : 0);
  }
}

namespace {

// The server's text of a TIME ("-838:59:59", "10:00:00.500" for a TIME(3)): it runs past a
// day, so it stays a text.
void AppendTime(const MYSQL_TIME& t, unsigned decimals, std::string& out) {
  // The days of a TIME are in its hours; a date's day is its date's.
  const unsigned hours = t.time_type == MYSQL_TIMESTAMP_TIME ? t.hour + 24 * t.day : t.hour;
  char buf[40];
  int n = std::snprintf(buf, sizeof buf, "%s%02u:%02u:%02u", t.neg ? "-" : "", hours, t.minute,
                        t.second);
  out.append(buf, static_cast<size_t>(n));
  if (decimals == 0) return;
  n = std::snprintf(buf, sizeof buf, ".%06lu", t.second_part);
  out.append(buf, std::min<size_t>(static_cast<size_t>(n), decimals + 1));
}

// "YYYY-MM-DD hh:mm:ss" with the column's digits of a second, as the server writes it.
void AppendDateTime(const MYSQL_TIME& t, bool withTime, unsigned decimals, std::string& out) {
  char buf[40];
  int n = std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", t.year, t.month, t.day);
  out.append(buf, static_cast<size_t>(n));
  if (!withTime) return;
  out += ' ';
  AppendTime(t, decimals, out);
}

// A statement prepared on the server, its rows in the binary protocol: numbers as numbers,
// dates as their parts, exact decimals and texts as the server's texts, each value into a
// buffer of its column. Rows come one at a time, as the dataset moves on.
class TMySqlStmtCursor : public TCursor {
 public:
  TMySqlStmtCursor(std::shared_ptr<TMySqlConnection> conn, MYSQL* m, MYSQL_STMT* stmt,
                   const std::string& sql)
      : conn_(std::move(conn)), mysql_(m), stmt_(stmt), sql_(sql) {
    if (MYSQL_RES* meta = mysql_stmt_result_metadata(stmt_)) {
      const unsigned n = mysql_num_fields(meta);
      const MYSQL_FIELD* fields = mysql_fetch_fields(meta);
      columns_.resize(n);
      binds_.resize(n);
      for (unsigned i = 0; i < n; ++i) Bind(fields[i], columns_[i], binds_[i]);
      mysql_free_result(meta);
    }
  }
  ~TMySqlStmtCursor() override {
    mysql_stmt_close(stmt_);
    conn_->Release(mysql_);
  }

  void Execute() override {
    // A result not read to its end is read off first (the protocol has no other way to stop it).
    mysql_stmt_free_result(stmt_);
    if (mysql_stmt_execute(stmt_) != 0) ThrowStmtError();
    if (columns_.empty())
      throw Exception(TranslateText("Engine", "The SQL statement returns no result set"));
    if (mysql_stmt_bind_result(stmt_, binds_.data()) != 0) ThrowStmtError();
  }

  bool Step() override {
    const int rc = mysql_stmt_fetch(stmt_);
    if (rc == MYSQL_NO_DATA) return false;
    if (rc == 1) ThrowStmtError();  // the end of the rows, or the connection lost on the way
    if (rc == MYSQL_DATA_TRUNCATED) FetchLongValues();
    return true;
  }

  TFieldDefs Describe(bool) override {
    TFieldDefs defs;
    for (const TStmtColumn& c : columns_)
      defs.push_back(MySqlFieldDef(c.Name, c.Type, c.Length, c.Decimals, c.Binary));
    return defs;
  }

  void ReadRow(TRowWindow& window) override {
    TCell* cells = window.AppendRow();
    for (size_t i = 0; i < columns_.size(); ++i)
      if (!columns_[i].IsNull) ReadValue(columns_[i], cells[i], window);
  }

  int64_t CountRows() override { return CountMySqlRows(*conn_, sql_); }

 private:
  struct TStmtColumn {
    std::string Name;
    int Type = 0;
    int Length = 0;  // as the field types take it: a LONGTEXT's 4294967295 reads -1
    int Decimals = 0;
    bool Binary = false;
    TReadAs ReadAs = TReadAs::Text;
    my_bool IsNull = 0;
    my_bool Error = 0;
    unsigned long Size = 0;
    union {
      int64_t Int;
      double Double;
      float Float;
      MYSQL_TIME Time;
    };
    std::vector<char> Data;  // texts and bytes
    TStmtColumn() : Time() {}
  };

  [[noreturn]] void ThrowStmtError() {
    std::string text = Trim(mysql_stmt_error(stmt_));
    throw Exception(text.empty() ? MySqlErrorText(mysql_) : text);
  }

  static void Bind(const MYSQL_FIELD& f, TStmtColumn& c, MYSQL_BIND& b) {
    c.Name.assign(f.name, f.name_length);
    c.Type = f.type;
    c.Length = static_cast<int>(f.length);
    c.Decimals = static_cast<int>(f.decimals);
    c.Binary = IsBinaryColumn(f);
    c.ReadAs = ReadAsOf(f);
    b = MYSQL_BIND();
    b.is_null = &c.IsNull;
    b.error = &c.Error;
    b.length = &c.Size;
    switch (c.ReadAs) {
      case TReadAs::Signed:
      case TReadAs::Unsigned:
        b.buffer_type = MYSQL_TYPE_LONGLONG;
        b.buffer = &c.Int;
        b.is_unsigned = c.ReadAs == TReadAs::Unsigned;
        return;
      case TReadAs::Real:
        b.buffer_type = f.type == MYSQL_TYPE_FLOAT ? MYSQL_TYPE_FLOAT : MYSQL_TYPE_DOUBLE;
        b.buffer = f.type == MYSQL_TYPE_FLOAT ? static_cast<void*>(&c.Float) : &c.Double;
        return;
      case TReadAs::DateTime:
        b.buffer_type = static_cast<enum_field_types>(f.type);
        b.buffer = &c.Time;
        return;
      default:
        if (f.type == MYSQL_TYPE_TIME) {
          b.buffer_type = MYSQL_TYPE_TIME;
          b.buffer = &c.Time;
          return;
        }
        // Texts, bytes, exact decimals and bits: into a buffer that grows to the longest value.
        c.Data.resize(64);
        b.buffer_type = c.ReadAs == TReadAs::Text ? MYSQL_TYPE_STRING : MYSQL_TYPE_BLOB;
        b.buffer = c.Data.data();
        b.buffer_length = c.Data.size();
        return;
    }
  }

  // The values longer than their buffers: each buffer grows and the value is fetched again.
  void FetchLongValues() {
    bool grown = false;
    for (size_t i = 0; i < columns_.size(); ++i) {
      TStmtColumn& c = columns_[i];
      if (!c.Error || c.Data.empty() || c.Size <= c.Data.size()) continue;
      c.Data.resize(c.Size);
      binds_[i].buffer = c.Data.data();
      binds_[i].buffer_length = c.Data.size();
      if (mysql_stmt_fetch_column(stmt_, &binds_[i], static_cast<unsigned>(i), 0) != 0)
        ThrowStmtError();
      grown = true;
    }
    if (grown && mysql_stmt_bind_result(stmt_, binds_.data()) != 0) ThrowStmtError();
  }

  void ReadValue(const TStmtColumn& c, TCell& cell, TRowWindow& window) {
    switch (c.ReadAs) {
      case TReadAs::Signed:
        cell.Kind = TCellKind::Int;
        cell.Int = c.Int;
        return;
      case TReadAs::Unsigned: {
        const uint64_t v = static_cast<uint64_t>(c.Int);
        if (v <= static_cast<uint64_t>(INT64_MAX)) {
          cell.Kind = TCellKind::Int;
          cell.Int = c.Int;
          return;
        }
        char digits[24];
        auto r = std::to_chars(digits, digits + sizeof digits, v);
        return window.SetText(cell, digits, static_cast<size_t>(r.ptr - digits));
      }
      case TReadAs::Real: {
        double v = c.Double;
        if (c.Type == MYSQL_TYPE_FLOAT) {
          // The server writes a FLOAT as the shortest text that reads back as it; the number
          // read from that text is not the float widened.
          char buf[32];
          auto r = std::to_chars(buf, buf + sizeof buf, c.Float);
          std::from_chars(buf, r.ptr, v);
        }
        cell.Kind = TCellKind::Float;
        cell.Float = v;
        return;
      }
      case TReadAs::DateTime: {
        // A zero date ("0000-00-00", or a zero month or day where the server's mode allows it)
        // names no day: it reads as no value.
        const MYSQL_TIME& t = c.Time;
        if (t.year == 0 || t.month == 0 || t.day == 0) return;
        scratch_.clear();
        const unsigned decimals = static_cast<unsigned>(std::clamp(c.Decimals, 0, 6));
        AppendDateTime(t, c.Type != MYSQL_TYPE_DATE, decimals, scratch_);
        // The fraction of a second beyond the millisecond that a serial day keeps stays in the
        // text, which the field reads as the date and time.
        if (decimals > 0) return window.SetText(cell, scratch_);
        TDateTime dt;
        if (TryParseIsoDateTime(scratch_, dt)) {
          cell.Kind = TCellKind::DateTime;
          cell.Float = dt;
        }
        return;
      }
      case TReadAs::Bits: {
        // BIT(n) comes as n bits in big-endian bytes.
        uint64_t v = 0;
        for (size_t i = 0; i < c.Size && i < 8; ++i)
          v = v << 8 | static_cast<unsigned char>(c.Data[i]);
        if (v <= static_cast<uint64_t>(INT64_MAX)) {
          cell.Kind = TCellKind::Int;
          cell.Int = static_cast<int64_t>(v);
          return;
        }
        char digits[24];
        auto r = std::to_chars(digits, digits + sizeof digits, v);
        return window.SetText(cell, digits, static_cast<size_t>(r.ptr - digits));
      }
      case TReadAs::Bytes:
        return window.SetText(cell, c.Data.data(), c.Size, TCellKind::Blob);
      case TReadAs::Text:
        if (c.Type == MYSQL_TYPE_TIME) {
          scratch_.clear();
          AppendTime(c.Time, static_cast<unsigned>(std::clamp(c.Decimals, 0, 6)), scratch_);
          return window.SetText(cell, scratch_);
        }
        return window.SetText(cell, c.Data.data(), c.Size);
    }
  }

  std::shared_ptr<TMySqlConnection> conn_;
  MYSQL* mysql_;
  MYSQL_STMT* stmt_;
  std::string sql_;
  std::vector<TStmtColumn> columns_;
  std::vector<MYSQL_BIND> binds_;
  std::string scratch_;
};

}  // namespace

std::unique_ptr<TCursor> MakeMySqlCursor(std::shared_ptr<TMySqlConnection> connection,
                                         const std::string& sql) {
  // What the server cannot prepare (several statements in one text, a few administrative
  // statements) runs as text, where the server also words what is wrong with a statement; so
  // does one whose rows the server does not describe before it runs (CALL, whose procedure
  // may give several results, and statements without rows).
  MYSQL* m = connection->Acquire();
  MYSQL_STMT* stmt = mysql_stmt_init(m);
  if (stmt && mysql_stmt_prepare(stmt, sql.data(), sql.size()) == 0 &&
      mysql_stmt_field_count(stmt) > 0)
    return std::make_unique<TMySqlStmtCursor>(std::move(connection), m, stmt, sql);
  if (stmt) mysql_stmt_close(stmt);
  connection->Release(m);
  return std::make_unique<TMySqlTextCursor>(std::move(connection), sql);
}

}  // namespace morvale
