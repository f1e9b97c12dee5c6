#include "app/engine/remotevtab.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/engine/sqltext.h"
#include "app/engine/vtabsupport.h"
#include "export/core/datetime.h"
#include "export/core/translate.h"

namespace morvale {

void TRemoteSources::Set(const std::string& name, TSource source) {
  sources_[LowerCaseAscii(name)] = std::move(source);
}

void TRemoteSources::Remove(const std::string& name) {
  sources_.erase(LowerCaseAscii(name));
}

const TRemoteSources::TSource* TRemoteSources::Find(const std::string& name) const {
  auto it = sources_.find(LowerCaseAscii(name));
  return it == sources_.end() ? nullptr : &it->second;
}

std::string RemoteTableStatement(const std::string& source, const std::string& name,
                                 const std::string& serverTable) {
  return "CREATE VIRTUAL TABLE " + QuoteSqlIdentifier(kSqlite, source) + "." +
         QuoteSqlIdentifier(kSqlite, name) + " USING morvale_remote(" + QuoteSqlString(source) +
         ", " + QuoteSqlString(serverTable) + ")";
}

namespace {

TRemoteObserver& Observer() {
  static TRemoteObserver observer;
  return observer;
}

// How the comparisons on a column may go to the server. Only where the server and SQLite are
// sure to agree on every row: a server that compares differently (a case-blind collation, float
// columns of single precision, dates against date-times) may give more rows than SQLite keeps,
// never fewer, because SQLite checks each comparison again.
enum class TPush : uint8_t { None, Equal, Number, Date, DateTime };

TPush PushOfType(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftLargeint:
    case ftAutoInc:
    case ftBCD:
      return TPush::Number;
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      return TPush::Equal;
    case ftDate:
      return TPush::Date;
    case ftDateTime:
      return TPush::DateTime;
    default:
      return TPush::None;
  }
}

// A decimal of more digits than a double holds is not compared on the server: SQLite compares
// it as a double, the server exactly, and an equality true for one is false for the other.
TPush PushOf(const TFieldDef& d) {
  constexpr int kDoubleDigits = 15;
  if (d.DataType == ftBCD && (d.Precision <= 0 || d.Precision > kDoubleDigits)) return TPush::None;
  return PushOfType(d.DataType);
}

// Types whose values SQLite must hold as numbers (single-precision floats and amounts too, which
// are never compared on the server).
bool IsNumberType(TFieldType type) {
  return PushOfType(type) == TPush::Number || type == ftFloat || type == ftCurrency;
}

// The declared type that gives the same field back when the outer query reads the column.
std::string DeclaredType(const TFieldDef& d) {
  switch (d.DataType) {
    case ftSmallint:
      return "SMALLINT";
    case ftInteger:
    case ftWord:
      return "INT4";
    case ftLargeint:
    case ftAutoInc:
      return "BIGINT";
    case ftBoolean:
      return "BOOLEAN";
    case ftFloat:
      return "DOUBLE";
    case ftCurrency:
      return "MONEY";
    case ftBCD:
      return "DECIMAL(" + std::to_string(d.Precision) + "," + std::to_string(d.Size) + ")";
    case ftDate:
      return "DATE";
    case ftTime:
      return "TIME";
    case ftDateTime:
      return "TIMESTAMP";
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      // TEXT gives an unbounded string back, as the server's own type was.
      if (d.Unbounded) return "TEXT";
      return "VARCHAR(" + std::to_string(d.Size > 0 ? d.Size : kDefaultStringSize) + ")";
    case ftMemo:
    case ftFmtMemo:
      return "MEMO";
    case ftGraphic:
      return "GRAPHIC";
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
      return "BLOB";
    default:
      return "";
  }
}

// A table whose server gives no estimate is taken for a large one.
constexpr double kUnknownRows = 1e6;

// The server's own estimate of a table's rows (from its statistics, without counting them).
double EstimateRows(TConnection& c, TDriverKind kind, const std::string& table) {
  std::string sql;
  if (kind == TDriverKind::PostgreSql) {
    sql = "SELECT reltuples FROM pg_class WHERE oid = to_regclass(" + QuoteSqlString(table) + ")";
  } else if (kind == TDriverKind::MySql) {
    // The table as the catalogue spells it: `db`.`my table` is the table "my table" of "db".
    TSqlNameParts parts = ReadTableReference(table);
    if (parts.empty() || parts.size() > 2) return kUnknownRows;
    sql = "SELECT TABLE_ROWS FROM information_schema.TABLES WHERE TABLE_SCHEMA = " +
          (parts.size() == 2 ? QuoteSqlString(parts[0].Name) : std::string("DATABASE()")) +
          " AND TABLE_NAME = " + QuoteSqlString(parts.back().Name);
  } else {
    return kUnknownRows;
  }
  try {
    std::unique_ptr<TCursor> cursor = c.OpenCursor(sql);
    cursor->Execute();
    bool row = cursor->Step();
    cursor->Describe(row);
    if (!row) return kUnknownRows;
    TRowWindow w;
    w.Reset(1, 0);
    cursor->ReadRow(w);
    const TCell& cell = w.At(0, 0);
    double n = cell.Kind == TCellKind::Int     ? static_cast<double>(cell.Int)
               : cell.Kind == TCellKind::Float ? cell.Float
               : cell.Kind == TCellKind::Text
                   ? std::strtod(std::string(w.Bytes(cell)).c_str(), nullptr)
                   : -1;
    // PostgreSQL says -1 for a table it has never analysed.
    return n >= 0 ? n : kUnknownRows;
  } catch (const std::exception&) {
    return kUnknownRows;  // no statistics to read: the table is taken for a large one
  }
}

struct TRemoteVTab {
  sqlite3_vtab base{};  // first, so SQLite's pointer is ours
  std::shared_ptr<TRemoteSources> sources;
  std::string source, table;
  TDriverKind kind = TDriverKind::PostgreSql;
  TFieldDefs fields;
  double rows = kUnknownRows;  // the server's estimate
};

struct TRemoteVCursor {
  sqlite3_vtab_cursor base{};
  std::unique_ptr<TCursor> cursor;
  std::vector<int> columnAt;  // result column of each table column, -1 when not fetched
  TRowWindow window;
  bool eof = true;
  std::string sql, text;
  int64_t rows = 0;
  int fetched = 0;  // columns the statement reads
};

TRemoteVTab* VTab(sqlite3_vtab* v) {
  return reinterpret_cast<TRemoteVTab*>(v);
}
TRemoteVCursor* VCursor(sqlite3_vtab_cursor* c) {
  return reinterpret_cast<TRemoteVCursor*>(c);
}

std::shared_ptr<TConnection> Lock(const TRemoteVTab& t) {
  const TRemoteSources::TSource* s = t.sources->Find(t.source);
  std::shared_ptr<TConnection> c = s ? s->Connection.lock() : nullptr;
  if (!c)
    throw Exception(Format(TranslateText("Engine", "База данных '%s' не подключена"), {t.source}));
  return c;
}

int Connect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out,
            char** error) {
  if (argc < 5)
    return ConnectFailure(error, "morvale_remote: the database and the table are not given");
  auto vtab = std::make_unique<TRemoteVTab>();
  vtab->sources = *static_cast<std::shared_ptr<TRemoteSources>*>(aux);
  vtab->source = UnquoteModuleArgument(argv[3]);
  vtab->table = UnquoteModuleArgument(argv[4]);
  try {
    const TRemoteSources::TSource* s = vtab->sources->Find(vtab->source);
    if (s) vtab->kind = s->Kind;
    // The columns as the server describes them, from a statement that reads no row.
    std::unique_ptr<TCursor> c =
        Lock(*vtab)->OpenCursor("SELECT * FROM " + vtab->table + " WHERE 1 = 0");
    c->Execute();
    vtab->fields = c->Describe(c->Step());
    c.reset();
    vtab->rows = EstimateRows(*Lock(*vtab), vtab->kind, vtab->table);
  } catch (const std::exception& e) {
    return ConnectFailure(error, e.what());
  }
  int rc = DeclareVTabColumns(db, vtab->fields, DeclaredType, error);
  if (rc != SQLITE_OK) return rc;
  *out = &vtab.release()->base;
  return SQLITE_OK;
}

const char* OperatorText(unsigned char op) {
  switch (op) {
    case SQLITE_INDEX_CONSTRAINT_EQ:
      return "=";
    case SQLITE_INDEX_CONSTRAINT_LT:
      return "<";
    case SQLITE_INDEX_CONSTRAINT_LE:
      return "<=";
    case SQLITE_INDEX_CONSTRAINT_GT:
      return ">";
    case SQLITE_INDEX_CONSTRAINT_GE:
      return ">=";
    default:
      return nullptr;
  }
}

// A plan: the columns read, then each comparison passed on as "column operator;" in the order
// of xFilter's values. The columns are a bit mask as SQLite gives it (the last bit standing for
// every column from the 64th on).
int BestIndex(sqlite3_vtab* v, sqlite3_index_info* info) {
  const TRemoteVTab& t = *VTab(v);
  // SQLite cannot know how many rows the local tables of a join hold (it takes each for a
  // million), so the costs lean towards looking rows up: an equality is taken for an indexed
  // look-up of a few rows that costs one statement, while reading a table without one costs
  // each of its rows as much as ten thousand local ones, since every row crosses the network
  // (and the cost must stay above that of sorting what the look-ups give). A server table of
  // more than some ten thousand rows is then read by look-ups for the rows of a join; a smaller
  // one is read once.
  double rows = t.rows, bounds = 1;
  bool equality = false;
  std::string plan = std::to_string(static_cast<unsigned long long>(info->colUsed)) + ";";
  int arg = 0;
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& c = info->aConstraint[i];
    const char* op = OperatorText(c.op);
    if (!c.usable || !op || c.iColumn < 0 || c.iColumn >= static_cast<int>(t.fields.size()))
      continue;
    TPush push = PushOf(t.fields[static_cast<size_t>(c.iColumn)]);
    if (push == TPush::None || (push == TPush::Equal && c.op != SQLITE_INDEX_CONSTRAINT_EQ))
      continue;
    info->aConstraintUsage[i].argvIndex = ++arg;
    // SQLite checks the comparison again: the server's answer may hold more rows, never fewer.
    info->aConstraintUsage[i].omit = 0;
    plan += std::to_string(c.iColumn) + " " + op + ";";
    if (c.op == SQLITE_INDEX_CONSTRAINT_EQ)
      equality = true;
    else
      bounds *= 4;
  }
  rows = (equality ? std::min(rows, 10.0) : rows) / bounds;
  info->estimatedRows = static_cast<sqlite3_int64>(rows) + 1;
  info->estimatedCost = 100 + (equality ? rows : rows * 10000);
  info->idxStr = sqlite3_mprintf("%s", plan.c_str());
  info->needToFreeIdxStr = 1;
  return SQLITE_OK;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
  *out = &(new TRemoteVCursor)->base;
  return SQLITE_OK;
}

void EndScan(TRemoteVCursor& cur, const TRemoteVTab& t) {
  if (!cur.cursor) return;
  cur.cursor.reset();
  if (Observer()) Observer()(t.source, cur.sql, cur.rows);
}

int Close(sqlite3_vtab_cursor* c) {
  std::unique_ptr<TRemoteVCursor> cur(VCursor(c));
  try {
    EndScan(*cur, *VTab(c->pVtab));
  } catch (...) {
  }
  return SQLITE_OK;
}

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

// "yyyy-mm-dd" or "yyyy-mm-dd hh:nn:ss": the forms the table's own values take, so that SQLite's
// comparison of texts and the server's comparison of dates agree.
bool IsIsoDate(std::string_view s) {
  return s.size() == 10 && AllDigits(s.substr(0, 4)) && s[4] == '-' && AllDigits(s.substr(5, 2)) &&
         s[7] == '-' && AllDigits(s.substr(8, 2));
}
bool IsIsoDateTime(std::string_view s) {
  return s.size() == 19 && IsIsoDate(s.substr(0, 10)) && s[10] == ' ' &&
         AllDigits(s.substr(11, 2)) && s[13] == ':' && AllDigits(s.substr(14, 2)) && s[16] == ':' &&
         AllDigits(s.substr(17, 2));
}

// A decimal's digits without what does not change its value: "-012.500" is "-12.5", "0.000" is
// "0".
std::string PlainDigits(std::string_view s) {
  const bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  const size_t point = s.find('.');
  std::string_view whole = s.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? "" : s.substr(point + 1);
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  if (whole.empty() && fraction.empty()) return "0";
  std::string out = negative ? "-" : "";
  out.append(whole.empty() ? "0" : whole);
  if (!fraction.empty()) out.append(".").append(fraction);
  return out;
}

bool IsPlainDecimal(std::string_view s) {
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  const size_t point = s.find('.');
  return AllDigits(s.substr(0, point)) && (point == std::string_view::npos ||
                                           s.size() == point + 1 || AllDigits(s.substr(point + 1)));
}

// Whether the double `d` read from `s` gives its value back: the shortest text that reads as `d`
// has the digits of `s`. Exact decimals of up to 15 digits do, longer ones mostly not.
bool ReadsBackWhole(std::string_view s, double d) {
  if (!std::isfinite(d)) return false;  // SQLite keeps no NaN, and "Infinity" is a word
  char buf[400];                        // the widest double in fixed notation, 309 digits
  if (!IsPlainDecimal(s)) {
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return r.ec == std::errc() && std::string_view(buf, static_cast<size_t>(r.ptr - buf)) == s;
  }
  auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
  return r.ec == std::errc() &&
         PlainDigits(std::string_view(buf, static_cast<size_t>(r.ptr - buf))) == PlainDigits(s);
}

std::string ShortestDouble(double d) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, r.ptr);
}

// The value as a literal the server compares the way SQLite does, or false to leave the
// comparison to SQLite alone.
bool Literal(TPush push, sqlite3_value* v, std::string& out) {
  const int type = sqlite3_value_type(v);
  if (push == TPush::Number) {
    if (type == SQLITE_INTEGER) {
      out = std::to_string(sqlite3_value_int64(v));
      return true;
    }
    double d;
    if (type == SQLITE_FLOAT) {
      d = sqlite3_value_double(v);
    } else if (type == SQLITE_TEXT) {
      // A text that is a number compares as that number with a numeric column.
      auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
      char* end = nullptr;
      d = std::strtod(p, &end);
      if (end == p || *end || std::strchr(p, ' ')) return false;
    } else {
      return false;
    }
    if (!std::isfinite(d)) return false;
    out = ShortestDouble(d);
    return true;
  }
  if (type != SQLITE_TEXT) return false;
  std::string_view s(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                     static_cast<size_t>(sqlite3_value_bytes(v)));
  if (push == TPush::Date && !IsIsoDate(s)) return false;
  if (push == TPush::DateTime && !IsIsoDateTime(s)) return false;
  // Whether a backslash escapes depends on the server's settings; such texts stay with SQLite.
  if (s.find('\\') != std::string_view::npos || s.find('\0') != std::string_view::npos)
    return false;
  out = QuoteSqlString(s);
  return true;
}

int Filter(sqlite3_vtab_cursor* c, int, const char* idxStr, int argc, sqlite3_value** argv) {
  TRemoteVCursor& cur = *VCursor(c);
  const TRemoteVTab& t = *VTab(c->pVtab);
  try {
    EndScan(cur, t);
    cur.eof = true;
    cur.rows = 0;
    // The plan: the columns read, then the comparisons.
    std::string_view plan(idxStr ? idxStr : "0;");
    size_t semi = plan.find(';');
    uint64_t used = std::strtoull(std::string(plan.substr(0, semi)).c_str(), nullptr, 10);
    plan.remove_prefix(semi + 1);
    const size_t n = t.fields.size();
    std::string select;
    cur.columnAt.assign(n, -1);
    int& fetched = cur.fetched;
    fetched = 0;
    for (size_t i = 0; i < n; ++i) {
      if (!(used & (uint64_t{1} << std::min<size_t>(i, 63)))) continue;
      if (fetched) select += ", ";
      select += QuoteSqlIdentifier(NameDialectOf(t.kind), t.fields[i].Name);
      cur.columnAt[i] = fetched++;
    }
    std::string where;
    for (int a = 0; a < argc && !plan.empty(); ++a) {
      semi = plan.find(';');
      std::string_view item = plan.substr(0, semi);
      plan.remove_prefix(semi + 1);
      size_t space = item.find(' ');
      size_t column = std::strtoul(std::string(item.substr(0, space)).c_str(), nullptr, 10);
      std::string_view op = item.substr(space + 1);
      if (sqlite3_value_type(argv[a]) == SQLITE_NULL) return SQLITE_OK;  // never true: no rows
      std::string literal;
      if (column >= n || !Literal(PushOf(t.fields[column]), argv[a], literal)) continue;
      where += (where.empty() ? " WHERE " : " AND ") +
               QuoteSqlIdentifier(NameDialectOf(t.kind), t.fields[column].Name) + " " +
               std::string(op) + " " + literal;
    }
    cur.sql = "SELECT " + (fetched ? select : std::string("1")) + " FROM " + t.table + where;
    cur.cursor = Lock(t)->OpenCursor(cur.sql);
    cur.cursor->Execute();
    bool row = cur.cursor->Step();
    cur.cursor->Describe(row);
    if (row) {
      cur.window.Reset(fetched ? fetched : 1, 0);
      cur.cursor->ReadRow(cur.window);
      cur.rows = 1;
      cur.eof = false;
    }
  } catch (const std::exception& e) {
    SetVTabError(c->pVtab, e.what());
    return SQLITE_ERROR;
  }
  return SQLITE_OK;
}

int Next(sqlite3_vtab_cursor* c) {
  TRemoteVCursor& cur = *VCursor(c);
  try {
    if (!cur.cursor->Step()) {
      cur.eof = true;
      EndScan(cur, *VTab(c->pVtab));
      return SQLITE_OK;
    }
    cur.window.Reset(std::max(1, cur.fetched), 0);
    cur.cursor->ReadRow(cur.window);
    ++cur.rows;
  } catch (const std::exception& e) {
    SetVTabError(c->pVtab, e.what());
    return SQLITE_ERROR;
  }
  return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor* c) {
  return VCursor(c)->eof;
}

// A date-time the driver gave as serial days, in the ISO form the table's texts have.
void IsoText(TFieldType type, double serial, std::string& out) {
  const char* format = type == ftDate   ? "yyyy-mm-dd"
                       : type == ftTime ? "hh:nn:ss"
                                        : "yyyy-mm-dd hh:nn:ss";
  int h, m, s, ms;
  DecodeTime(serial, h, m, s, ms);
  static const TFormatSettings fs;
  out = FormatDateTime(format, serial, fs);
  if (ms && type != ftDate) {
    char buf[8];
    std::snprintf(buf, sizeof buf, ".%03d", ms);
    out += buf;
  }
}

int Column(sqlite3_vtab_cursor* c, sqlite3_context* ctx, int i) {
  TRemoteVCursor& cur = *VCursor(c);
  const int at = cur.columnAt[static_cast<size_t>(i)];
  if (at < 0) {
    sqlite3_result_null(ctx);
    return SQLITE_OK;
  }
  const TCell& cell = cur.window.At(0, at);
  switch (cell.Kind) {
    case TCellKind::Null:
      sqlite3_result_null(ctx);
      break;
    case TCellKind::Int:
      sqlite3_result_int64(ctx, cell.Int);
      break;
    case TCellKind::Float:
      sqlite3_result_double(ctx, cell.Float);
      break;
    case TCellKind::DateTime:
      IsoText(VTab(c->pVtab)->fields[static_cast<size_t>(i)].DataType, cell.Float, cur.text);
      sqlite3_result_text(ctx, cur.text.data(), static_cast<int>(cur.text.size()),
                          SQLITE_TRANSIENT);
      break;
    case TCellKind::Text: {
      std::string_view s = cur.window.Bytes(cell);
      // Numbers that a driver gives as text (PostgreSQL's, decimals) become numbers, so that
      // SQLite compares and sorts them as numbers; as SQLite's NUMERIC affinity does, an exact
      // decimal that no double holds whole (more than some 15 digits, NaN) stays the server's
      // text, which the outer query reads back as that decimal and still compares as a number
      // (ORDER BY alone puts a text after every number, as it does in a NUMERIC column).
      const TFieldType type = VTab(c->pVtab)->fields[static_cast<size_t>(i)].DataType;
      if (IsNumberType(type)) {
        int64_t n;
        auto r = std::from_chars(s.data(), s.data() + s.size(), n);
        if (r.ec == std::errc() && r.ptr == s.data() + s.size()) {
          sqlite3_result_int64(ctx, n);
          break;
        }
        double d;
        auto f = std::from_chars(s.data(), s.data() + s.size(), d);
        // A float is no more exact than its double.
        if (f.ec == std::errc() && f.ptr == s.data() + s.size() &&
            (type == ftFloat || ReadsBackWhole(s, d))) {
          sqlite3_result_double(ctx, d);
          break;
        }
      }
      sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
      break;
    }
    case TCellKind::Blob: {
      std::string_view s = cur.window.Bytes(cell);
      sqlite3_result_blob(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
      break;
    }
  }
  return SQLITE_OK;
}

// A server's row has no number that stays the same from one statement to the next; SQLite asks
// for one where it reads a table once for each arm of an OR and must give a row that two arms
// find only once. The row's values serve: rows alike in all of them pass the same conditions, so
// such a row is found by the same arms as its twin, and each arm keeps them all.
int Rowid(sqlite3_vtab_cursor* c, sqlite3_int64* out) {
  const TRemoteVCursor& cur = *VCursor(c);
  uint64_t hash = 14695981039346656037ull;  // FNV-1a, 64 bits
  auto add = [&hash](const void* p, size_t n) {
    for (size_t k = 0; k < n; ++k) {
      hash ^= static_cast<const unsigned char*>(p)[k];
      hash *= 1099511628211ull;
    }
  };
  for (int i = 0; i < cur.fetched; ++i) {
    const TCell& cell = cur.window.At(0, i);
    add(&cell.Kind, sizeof cell.Kind);
    if (cell.Kind == TCellKind::Text || cell.Kind == TCellKind::Blob) {
      const std::string_view bytes = cur.window.Bytes(cell);
      add(&cell.Length, sizeof cell.Length);
      add(bytes.data(), bytes.size());
    } else if (cell.Kind != TCellKind::Null) {
      add(&cell.Int, sizeof cell.Int);
    }
  }
  *out = static_cast<sqlite3_int64>(hash);
  return SQLITE_OK;
}

const sqlite3_module kModule = ReadOnlyModule(Connect, BestIndex, DisconnectVTab<TRemoteVTab>, Open,
                                              Close, Filter, Next, Eof, Column, Rowid);

}  // namespace

void RegisterRemoteModule(sqlite3* db, std::shared_ptr<TRemoteSources> sources) {
  sqlite3_create_module_v2(
      db, "morvale_remote", &kModule, new std::shared_ptr<TRemoteSources>(std::move(sources)),
      [](void* p) { delete static_cast<std::shared_ptr<TRemoteSources>*>(p); });
}

void SetRemoteObserver(TRemoteObserver observer) {
  Observer() = std::move(observer);
}

}  // namespace morvale
