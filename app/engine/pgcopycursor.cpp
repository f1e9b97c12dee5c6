#include "app/engine/pgcopycursor.h"

#include <libpq-fe.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlField>
#include <QVariant>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/engine/pgtypes.h"
#include "export/core/datetime.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

bool Decodes(Oid type) {
  switch (type) {
    case pg::kBool:
    case pg::kBytea:
    case pg::kName:
    case pg::kInt8:
    case pg::kInt2:
    case pg::kInt4:
    case pg::kText:
    case pg::kOid:
    case pg::kFloat4:
    case pg::kFloat8:
    case pg::kBpchar:
    case pg::kVarchar:
    case pg::kDate:
    case pg::kTime:
    case pg::kTimestamp:
    case pg::kNumeric:
    case pg::kUuid:
      return true;
    default:
      return false;
  }
}

// The failure as the Qt driver words it: the connection's message, then the SQL state.
std::string ResultError(const PGresult* r, PGconn* pg) {
  std::string text = PQerrorMessage(pg);
  if (const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr)
    text += "(" + std::string(state) + ")";
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text.empty() ? "PostgreSQL gave an unknown error" : text;
}

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

int16_t Int16(const char* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<unsigned char>(p[0]) << 8 |
                                                    static_cast<unsigned char>(p[1])));
}
int32_t Int32(const char* p) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
  return static_cast<int32_t>(v);
}
int64_t Int64(const char* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
  return static_cast<int64_t>(v);
}

// v in decimal with at least `width` digits; returns the end. Dates and times are written for
// every value of a column, so the common widths take no general loop.
char* PutDigits(char* p, int64_t v, int width) {
  if (width == 2 && v >= 0 && v < 100) {
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
    return p + 2;
  }
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  for (int n = static_cast<int>(r.ptr - buf); n < width; ++n) *p++ = '0';
  return std::copy(buf, r.ptr, p);
}

void Digits(int64_t v, int width, std::string& out) {
  char buf[24];
  out.append(buf, PutDigits(buf, v, width));
}

// The days 2000-01-01 is after 1970-01-01: the server counts dates and times from it.
constexpr int64_t kPgEpochDays = 10957;
constexpr int64_t kMicrosPerDay = 86400000000;

// A date as the server writes it in the ISO style: "2008-03-07", "0044-03-15" with bc set.
char* PutPgDate(char* p, int64_t daysSince2000, bool& bc) {
  int year, month, day;
  CivilFromDays(daysSince2000 + kPgEpochDays, year, month, day);
  bc = year <= 0;
  p = PutDigits(p, bc ? 1 - year : year, 4);
  *p++ = '-';
  p = PutDigits(p, month, 2);
  *p++ = '-';
  return PutDigits(p, day, 2);
}

// A time of day in microseconds as "09:05:01" or "09:05:01.25" (the fraction's zeros dropped).
char* PutPgTime(char* p, int64_t micros) {
  const int64_t seconds = micros / 1000000;
  int64_t fraction = micros % 1000000;
  p = PutDigits(p, seconds / 3600, 2);
  *p++ = ':';
  p = PutDigits(p, seconds / 60 % 60, 2);
  *p++ = ':';
  p = PutDigits(p, seconds % 60, 2);
  if (fraction == 0) return p;
  int width = 6;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --width;
  }
  *p++ = '.';
  return PutDigits(p, fraction, width);
}

// The text of a date (int32 days) or a timestamp (int64 microseconds), "infinity" included.
std::string_view PgDateText(int32_t days, char* buf) {
  if (days == INT32_MAX) return "infinity";
  if (days == INT32_MIN) return "-infinity";
  bool bc;
  char* p = PutPgDate(buf, days, bc);
  if (bc) p = std::copy_n(" BC", 3, p);
  return std::string_view(buf, static_cast<size_t>(p - buf));
}

std::string_view PgTimestampText(int64_t micros, char* buf) {
  if (micros == INT64_MAX) return "infinity";
  if (micros == INT64_MIN) return "-infinity";
  int64_t days = micros / kMicrosPerDay, rest = micros % kMicrosPerDay;
  if (rest < 0) {
    rest += kMicrosPerDay;
    --days;
  }
  bool bc;
  char* p = PutPgDate(buf, days, bc);
  *p++ = ' ';
  p = PutPgTime(p, rest);
  if (bc) p = std::copy_n(" BC", 3, p);
  return std::string_view(buf, static_cast<size_t>(p - buf));
}

// NUMERIC's binary form (base-10000 digits, a weight, a sign and the display scale) as the
// server's text.
bool AppendPgNumeric(const char* p, int32_t len, std::string& out) {
  if (len < 8) return false;
  const int ndigits = Int16(p), weight = Int16(p + 2), dscale = Int16(p + 6);
  const uint16_t sign = static_cast<uint16_t>(Int16(p + 4));
  if (sign == 0xC000) return out.append("NaN"), true;
  if (sign == 0xD000) return out.append("Infinity"), true;
  if (sign == 0xF000) return out.append("-Infinity"), true;
  if (len < 8 + 2 * ndigits) return false;
  auto digit = [&](int i) { return i >= 0 && i < ndigits ? Int16(p + 8 + 2 * i) : 0; };
  if (sign == 0x4000) out += '-';
  if (weight < 0) {
    out += '0';
  } else {
    for (int i = 0; i <= weight; ++i) Digits(digit(i), i == 0 ? 1 : 4, out);
  }
  if (dscale <= 0) return true;
  out += '.';
  std::string fraction;
  for (int i = weight + 1; static_cast<int>(fraction.size()) < dscale; ++i)
    Digits(digit(i), 4, fraction);
  out.append(fraction, 0, static_cast<size_t>(dscale));
  return true;
}

void AppendUuid(const char* p, std::string& out) {
  static const char hex[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += hex[static_cast<unsigned char>(p[i]) >> 4];
    out += hex[static_cast<unsigned char>(p[i]) & 15];
  }
}

// The words the server writes for the floating-point values that are no numbers.
const char* NonFiniteWord(double v) {
  return std::isnan(v) ? "NaN" : v < 0 ? "-Infinity" : "Infinity";
}

struct TPgColumn {
  Oid Type;
  TFieldDef Def;
};

class TPgCopyCursor : public TCursor {
 public:
  TPgCopyCursor(std::shared_ptr<TQtConnection> conn, QString name, PGconn* pg, std::string query,
                std::vector<TPgColumn> columns)
      : conn_(std::move(conn)),
        name_(std::move(name)),
        pg_(pg),
        query_(std::move(query)),
        columns_(std::move(columns)) {}
  ~TPgCopyCursor() override {
    Stop();
    conn_->Release(name_);
  }

  void Execute() override {
    Stop();
    const std::string copy = "COPY (" + query_ + ") TO STDOUT (FORMAT binary)";
    PGresult* r = PQexec(pg_, copy.c_str());
    if (PQresultStatus(r) != PGRES_COPY_OUT) {
      std::string error = ResultError(r, pg_);
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
        throw Exception(ResultError(nullptr, pg_));
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
      ReadValue(columns_[i].Type, p, len, cells[i], window);
    }
  }

  // The COPY holds its connection to itself until it ends; nothing here calls into Qt.
  bool CanReadAhead() const override { return true; }

  int64_t CountRows() override {
    // On a connection of its own: this one is in the middle of its rows.
    TQtLease lease(*conn_);
    PGconn* pg = PgHandle(lease.Name());
    if (!pg) throw Exception(TranslateText("Engine", "The PostgreSQL connection is closed"));
    const std::string sql = "SELECT COUNT(*) FROM (\n" + query_ + "\n) AS morvale_count";
    PGresult* r = PQexec(pg, sql.c_str());
    if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1) {
      std::string error = ResultError(r, pg);
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

  void ReadValue(Oid type, const char* p, int32_t len, TCell& cell, TRowWindow& window) {
    char text[64];
    auto integer = [&](int64_t v) {
      cell.Kind = TCellKind::Int;
      cell.Int = v;
    };
    auto real = [&](double v) {
      if (!std::isfinite(v)) return window.SetText(cell, std::string_view(NonFiniteWord(v)));
      cell.Kind = TCellKind::Float;
      cell.Float = v;
    };
    switch (type) {
      case pg::kBool:
        // As the server's word: a query across databases compares it as that text.
        return window.SetText(cell, std::string_view(len > 0 && p[0] != 0 ? "t" : "f"));
      case pg::kInt2:
        return integer(Int16(p));
      case pg::kInt4:
        return integer(Int32(p));
      case pg::kOid:
        return integer(static_cast<uint32_t>(Int32(p)));
      case pg::kInt8:
        return integer(Int64(p));
      case pg::kFloat8: {
        const int64_t bits = Int64(p);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return real(v);
      }
      case pg::kFloat4: {
        const int32_t bits = Int32(p);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f)) return real(f);
        // The server writes the shortest text that reads back as the float; the row-by-row
        // reader took that text as a double, which is not the float widened.
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, f);
        double v = 0;
        std::from_chars(buf, r.ptr, v);
        return real(v);
      }
      case pg::kDate: {
        const int32_t days = Int32(p);
        const int64_t serial = days + kPgEpochDays + 25569;
        if (serial >= -693593 && serial <= 2958465) {
          // "YYYY-MM-DD" of a year from 1 to 9999 reads as this whole day, and is what a
          // query across databases writes for it again.
          cell.Kind = TCellKind::DateTime;
          cell.Float = static_cast<double>(serial);
          return;
        }
        return window.SetText(cell, PgDateText(days, text));
      }
      case pg::kTime: {
        char* end = PutPgTime(text, Int64(p));
        return window.SetText(cell, text, static_cast<size_t>(end - text));
      }
      case pg::kTimestamp:
        return window.SetText(cell, PgTimestampText(Int64(p), text));
      case pg::kNumeric:
        scratch_.clear();
        if (!AppendPgNumeric(p, len, scratch_))
          throw Exception(
              TranslateText("Engine", "PostgreSQL sent a NUMERIC this reader does not know"));
        return window.SetText(cell, scratch_);
      case pg::kUuid:
        if (len != 16) break;
        scratch_.clear();
        AppendUuid(p, scratch_);
        return window.SetText(cell, scratch_);
      case pg::kBytea:
        return window.SetText(cell, p, static_cast<size_t>(len), TCellKind::Blob);
      default:
        break;
    }
    window.SetText(cell, p, static_cast<size_t>(len));
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
    std::string error = ok ? std::string() : ResultError(r, pg_);
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

  std::shared_ptr<TQtConnection> conn_;
  QString name_;
  PGconn* pg_;
  std::string query_;
  std::vector<TPgColumn> columns_;
  std::vector<std::pair<const char*, int32_t>> values_;
  char* buffer_ = nullptr;
  bool copying_ = false;
  bool header_ = false;
  std::string scratch_;
};

// The column as the Qt driver describes it (its length and precision from the type modifier),
// so that the fields are those of the row-by-row cursor.
TFieldDef ColumnDef(const PGresult* r, int i) {
  QSqlField f(QString::fromUtf8(PQfname(r, i)));
  const Oid type = PQftype(r, i);
  const int modifier = PQfmod(r, i);
  int length = PQfsize(r, i), precision = modifier;
  if (type == pg::kNumeric) {
    if (modifier != -1) {
      length = modifier >> 16;
      precision = (modifier - 4) & 0xffff;
    }
  } else if (type == pg::kTimestamp) {
    precision = 3;
  } else if (length == -1 && modifier >= 4) {
    length = modifier - 4;
    precision = -1;
  }
  f.setLength(length);
  f.setPrecision(precision);
  f.setSqlType(static_cast<int>(type));
  return QtFieldDef(TDriverKind::PostgreSql, f);
}

// The server's float texts are the shortest that read back as the same number only while
// extra_float_digits is above 0 (the default since PostgreSQL 12); the numbers read from them
// are then the binary ones.
bool ShortestFloats(PGconn* pg) {
  PGresult* r = PQexec(pg, "SHOW extra_float_digits");
  const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 &&
                  std::atoi(PQgetvalue(r, 0, 0)) > 0;
  PQclear(r);
  return ok;
}

}  // namespace

PGconn* PgHandle(const QString& connection) {
  QVariant handle = QSqlDatabase::database(connection, false).driver()->handle();
  const char* type = handle.isValid() ? handle.typeName() : nullptr;
  if (!type || (std::strcmp(type, "PGconn*") != 0 && std::strcmp(type, "pg_conn*") != 0))
    return nullptr;
  return *static_cast<PGconn* const*>(handle.constData());
}

std::unique_ptr<TCursor> MakePgCopyCursor(std::shared_ptr<TQtConnection> connection,
                                          const std::string& sql) {
  const std::string query = CopyableQuery(sql);
  if (query.empty()) return nullptr;
  QString name = connection->Acquire();
  PGconn* pg = PgHandle(name);
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
      usable = Decodes(type);
      floats = floats || type == pg::kFloat4 || type == pg::kFloat8;
      if (usable) columns.push_back({type, ColumnDef(described, i)});
    }
    PQclear(described);
    if (usable && floats) usable = ShortestFloats(pg);
  }
  if (!usable) {
    connection->Release(name);
    return nullptr;
  }
  return std::make_unique<TPgCopyCursor>(std::move(connection), std::move(name), pg, query,
                                         std::move(columns));
}

}  // namespace morvale
