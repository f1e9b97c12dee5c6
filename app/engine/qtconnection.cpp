#include "app/engine/qtconnection.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QTime>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <libpq-fe.h>

#include "app/engine/catalogue.h"
#include "app/engine/memcursor.h"
#include "app/engine/sqltext.h"

namespace morvale {

void EnsureQtApplication() {
  // Without TZ the C library looks at /etc/localtime again for every local time Qt converts (a
  // file lookup per date-time value); naming that same file keeps the zone and drops the lookups.
  if (!std::getenv("TZ")) setenv("TZ", ":/etc/localtime", 0);
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "morvale";
  static char* argv[] = {name, nullptr};
  // Lives until the process ends, like the drivers it loads.
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  (void)app;
}

std::string ErrorText(const QSqlError& error) {
  QString text = error.databaseText().trimmed();
  if (text.isEmpty()) text = error.driverText().trimmed();
  if (text.isEmpty()) text = error.text().trimmed();
  return text.toStdString();
}

namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const char* QtDriver(TDriverKind kind) {
  switch (kind) {
    case TDriverKind::PostgreSql:
      return "QPSQL";
    case TDriverKind::MySql:
      return "QMYSQL";
    default:
      return "QODBC";
  }
}

// Session settings every connection gets: nothing an export runs may write, and amounts come in
// the one notation the engine reads.
void PrepareSession(TDriverKind kind, QSqlDatabase& db) {
  QSqlQuery q(db);
  if (kind == TDriverKind::PostgreSql) {
    q.exec("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
    q.exec("SET lc_monetary = 'C'");
    q.exec("SET DateStyle = 'ISO, YMD'");
    q.exec("SET bytea_output = 'hex'");
  } else if (kind == TDriverKind::MySql) {
    q.exec("SET SESSION TRANSACTION READ ONLY");
  }
}

void OpenOrThrow(TDriverKind kind, QSqlDatabase& db) {
  if (!db.open()) throw Exception(ErrorText(db.lastError()));
  PrepareSession(kind, db);
}

// UTF-16 to the UTF-8 bytes the engine carries, into a buffer that keeps its capacity.
void AppendUtf8(QStringView s, std::string& out) {
  const char16_t* p = s.utf16();
  const qsizetype n = s.size();
  for (qsizetype i = 0; i < n; ++i) {
    uint32_t c = p[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (p[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

constexpr int64_t kJulianDayOfZero = 2415019;  // 30 December 1899

double SerialDate(const QDate& d) {
  return static_cast<double>(d.toJulianDay() - kJulianDayOfZero);
}
double SerialTime(const QTime& t) {
  return t.msecsSinceStartOfDay() / 86400000.0;
}

class TQtCursor : public TCursor {
 public:
  TQtCursor(std::shared_ptr<TQtConnection> conn, const std::string& sql)
      : conn_(std::move(conn)), sql_(Q(sql)) {
    name_ = conn_->Acquire();
  }
  ~TQtCursor() override {
    query_.reset();
    if (transaction_) QSqlDatabase::database(name_, false).rollback();
    conn_->Release(name_);
  }

  void Execute() override {
    if (!query_) {
      QSqlDatabase db = QSqlDatabase::database(name_, false);
      // ODBC has no read-only session that every driver honours: whatever a statement might
      // write is rolled back when the cursor closes.
      if (conn_->Kind() == TDriverKind::Odbc) transaction_ = db.transaction();
      query_ = std::make_unique<QSqlQuery>(db);
      // Forward only: the PostgreSQL driver then streams the rows one by one.
      query_->setForwardOnly(true);
    }
    if (!query_->exec(sql_)) throw Exception(ErrorText(query_->lastError()));
    if (!query_->isSelect()) throw Exception("The SQL statement returns no result set");
  }

  bool Step() override {
    if (query_->next()) return true;
    // The end of the rows, or a failure on the way (a dropped connection).
    if (query_->lastError().isValid()) throw Exception(ErrorText(query_->lastError()));
    return false;
  }

  TFieldDefs Describe(bool) override {
    QSqlRecord record = query_->record();
    TFieldDefs defs;
    for (int i = 0; i < record.count(); ++i)
      defs.push_back(QtFieldDef(conn_->Kind(), record.field(i)));
    types_.clear();
    for (const TFieldDef& d : defs) types_.push_back(d.DataType);
    return defs;
  }

  void ReadRow(TRowWindow& window) override {
    TCell* cells = window.AppendRow();
    if (conn_->Kind() == TDriverKind::PostgreSql) {
      // The driver's own row, as the server's texts: no QVariant, no QString, and no trip
      // through local time (which would move a time that falls in a daylight-saving gap).
      QVariant handle = query_->result()->handle();
      const char* type = handle.isValid() ? handle.typeName() : nullptr;
      if (type && (std::strcmp(type, "pg_result*") == 0 || std::strcmp(type, "PGresult*") == 0)) {
        ReadPgRow(*static_cast<PGresult* const*>(handle.constData()), cells, window);
        return;
      }
    }
    for (size_t i = 0; i < types_.size(); ++i)
      ReadValue(query_->value(static_cast<int>(i)), types_[i], cells[i], window);
  }

  int64_t CountRows() override {
    // On a connection of its own: this one is still reading its rows.
    QString name = conn_->Acquire();
    int64_t n = -1;
    std::string error;
    {
      QSqlDatabase db = QSqlDatabase::database(name, false);
      QSqlQuery q(db);
      q.setForwardOnly(true);
      QString body = sql_.trimmed();
      while (body.endsWith(';')) body.chop(1);
      if (q.exec("SELECT COUNT(*) FROM (\n" + body + "\n) AS morvale_count") && q.next()) {
        n = q.value(0).toLongLong();
      } else if (q.exec(sql_)) {
        // Statements that cannot stand in a subquery (SHOW ...) are counted by walking them.
        n = 0;
        while (q.next()) ++n;
      } else {
        error = ErrorText(q.lastError());
      }
    }
    conn_->Release(name);
    if (n < 0) throw Exception(error);
    return n;
  }

 private:
  void ReadValue(const QVariant& v, TFieldType type, TCell& cell, TRowWindow& window) {
    if (v.isNull()) return;
    switch (v.typeId()) {
      case QMetaType::Bool:
        cell.Kind = TCellKind::Int;
        cell.Int = v.toBool() ? 1 : 0;
        return;
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::LongLong:
      case QMetaType::Short:
      case QMetaType::UShort:
      case QMetaType::Char:
      case QMetaType::SChar:
      case QMetaType::UChar:
        cell.Kind = TCellKind::Int;
        cell.Int = v.toLongLong();
        return;
      case QMetaType::ULongLong:
        if (v.toULongLong() <= static_cast<qulonglong>(INT64_MAX)) {
          cell.Kind = TCellKind::Int;
          cell.Int = v.toLongLong();
          return;
        }
        break;
      case QMetaType::Double:
      case QMetaType::Float:
        cell.Kind = TCellKind::Float;
        cell.Float = v.toDouble();
        return;
      case QMetaType::QDate:
        cell.Kind = TCellKind::DateTime;
        cell.Float = SerialDate(v.toDate());
        return;
      case QMetaType::QTime:
        cell.Kind = TCellKind::DateTime;
        cell.Float = SerialTime(v.toTime());
        return;
      case QMetaType::QDateTime: {
        QDateTime dt = v.toDateTime();
        cell.Kind = TCellKind::DateTime;
        cell.Float = SerialDate(dt.date()) + SerialTime(dt.time());
        return;
      }
      case QMetaType::QByteArray: {
        const QByteArray& b = *static_cast<const QByteArray*>(v.constData());
        window.SetText(cell, b.constData(), static_cast<size_t>(b.size()),
                       IsBlobFieldType(type) || type == ftBytes || type == ftVarBytes
                           ? TCellKind::Blob
                           : TCellKind::Text);
        return;
      }
      case QMetaType::QString:
        scratch_.clear();
        AppendUtf8(*static_cast<const QString*>(v.constData()), scratch_);
        if (type == ftCurrency) StripAmount(scratch_);
        window.SetText(cell, scratch_);
        return;
      default:
        break;
    }
    scratch_.clear();
    AppendUtf8(v.toString(), scratch_);
    window.SetText(cell, scratch_);
  }

  // The forward-only PostgreSQL driver holds one row per result, at row 0.
  void ReadPgRow(const PGresult* r, TCell* cells, TRowWindow& window) {
    const int n = std::min(static_cast<int>(types_.size()), PQnfields(r));
    for (int i = 0; i < n; ++i) {
      if (PQgetisnull(r, 0, i)) continue;
      const char* p = PQgetvalue(r, 0, i);
      size_t len = static_cast<size_t>(PQgetlength(r, 0, i));
      switch (types_[static_cast<size_t>(i)]) {
        case ftBlob:
          if (DecodeHexBytea(p, len)) {
            window.SetText(cells[i], scratch_, TCellKind::Blob);
            continue;
          }
          break;
        case ftCurrency:
          scratch_.assign(p, len);
          StripAmount(scratch_);
          window.SetText(cells[i], scratch_);
          continue;
        case ftDateTime:
        case ftTime:
          len = WithoutZone(p, len);
          break;
        default:
          break;
      }
      window.SetText(cells[i], p, len);
    }
  }

  // bytea in hex output: "\x00ff41".
  bool DecodeHexBytea(const char* p, size_t len) {
    if (len < 2 || p[0] != '\\' || p[1] != 'x' || len % 2) return false;
    scratch_.clear();
    auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (size_t i = 2; i + 1 < len; i += 2)
      scratch_ += static_cast<char>(hex(p[i]) << 4 | hex(p[i + 1]));
    return true;
  }

  // "2008-03-07 09:05:01+05:30" and "09:05:01-05": the zone goes (the text is already in the
  // session's zone).
  static size_t WithoutZone(const char* p, size_t len) {
    size_t i = len;
    while (i > 0 && ((p[i - 1] >= '0' && p[i - 1] <= '9') || p[i - 1] == ':')) --i;
    if (i == 0 || i == len || (p[i - 1] != '+' && p[i - 1] != '-')) return len;
    size_t sign = i - 1;
    return std::string_view(p, sign).find(':') == std::string_view::npos ? len : sign;
  }

  // Amounts come as "-$1,234.50": keep the number.
  static void StripAmount(std::string& s) {
    std::string r;
    for (char c : s)
      if ((c >= '0' && c <= '9') || c == '.' || c == '-') r += c;
    if (!r.empty()) s = r;
  }

  std::shared_ptr<TQtConnection> conn_;
  QString name_;
  QString sql_;
  std::unique_ptr<QSqlQuery> query_;
  bool transaction_ = false;
  std::vector<TFieldType> types_;
  std::string scratch_;
};

std::atomic<int> connectionCounter{0};

bool IsPlainName(const QString& s) {
  if (s.isEmpty() || s[0].isDigit()) return false;
  for (QChar c : s)
    if (!(c.isLower() || c.isDigit() || c == '_')) return false;
  return true;
}

// A PostgreSQL name as the table list shows it: quoted when it would not read back as written.
std::string PgName(const QString& schema, const QString& table) {
  auto part = [](const QString& s) {
    return IsPlainName(s) ? s.toStdString() : QuoteSqlName(s.toStdString());
  };
  if (schema == "public") return part(table);
  return part(schema) + "." + part(table);
}

// Splits a table-list pattern into its owner part and its name part ("SYSDBA.%").
bool OwnerPattern(const std::string& pattern, std::string& owner, std::string& name) {
  if (pattern.empty() || pattern == "*.*") return false;
  size_t dot = pattern.find('.');
  if (dot == std::string::npos) return false;
  owner = pattern.substr(0, dot);
  name = pattern.substr(dot + 1);
  return true;
}

std::string PgFieldsSql(const std::string& table) {
  std::string rel = QuoteSqlString(table) + "::regclass";
  auto keyed = [&](const char* cond) {
    return std::string("EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = a.attrelid AND ") +
           cond + "a.attnum = ANY (i.indkey))";
  };
  return "SELECT a.attname AS \"Field\", format_type(a.atttypid, a.atttypmod) AS \"Type\","
         " CASE WHEN a.attnotnull THEN 'NO' ELSE 'YES' END AS \"Null\","
         " CASE WHEN " +
         keyed("i.indisprimary AND ") + " THEN 'PRI' WHEN " + keyed("i.indisunique AND ") +
         " THEN 'UNI' WHEN " + keyed("") +
         " THEN 'MUL' ELSE '' END AS \"Key\","
         " pg_get_expr(d.adbin, d.adrelid) AS \"Default\","
         " CASE WHEN a.attidentity <> '' THEN 'auto_increment' ELSE '' END AS \"Extra\""
         " FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = "
         "a.attnum"
         " WHERE a.attrelid = " +
         rel + " AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum";
}

std::string PgIndexSql(const std::string& table) {
  return "SELECT c.relname AS \"Table\", CASE WHEN i.indisunique THEN 0 ELSE 1 END AS "
         "\"Non_unique\","
         " ic.relname AS \"Key_name\", k.n AS \"Seq_in_index\", a.attname AS \"Column_name\","
         " 'A' AS \"Collation\", GREATEST(ic.reltuples, 0)::bigint AS \"Cardinality\","
         " NULL::integer AS \"Sub_part\", NULL::text AS \"Packed\","
         " CASE WHEN a.attnotnull THEN '' ELSE 'YES' END AS \"Null\", am.amname AS \"Index_type\","
         " '' AS \"Comment\""
         " FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid"
         " JOIN pg_class ic ON ic.oid = i.indexrelid JOIN pg_am am ON am.oid = ic.relam"
         " CROSS JOIN LATERAL unnest(i.indkey::int2[]) WITH ORDINALITY AS k(attnum, n)"
         " JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = k.attnum"
         " WHERE i.indrelid = " +
         QuoteSqlString(table) + "::regclass ORDER BY 3, 4";
}

std::string OdbcTypeName(const QSqlField& f) {
  std::string len = std::to_string(f.length()), dec = std::to_string(std::max(0, f.precision()));
  switch (f.typeID()) {
    case 1:
      return "CHAR(" + len + ")";
    case 2:
      return "NUMERIC(" + len + "," + dec + ")";
    case 3:
      return "DECIMAL(" + len + "," + dec + ")";
    case 4:
      return "INTEGER";
    case 5:
      return "SMALLINT";
    case 6:
      return "FLOAT";
    case 7:
      return "REAL";
    case 8:
      return "DOUBLE";
    case 9:
    case 91:
      return "DATE";
    case 10:
    case 92:
      return "TIME";
    case 11:
    case 93:
      return "TIMESTAMP";
    case 12:
      return "VARCHAR(" + len + ")";
    case -1:
      return "LONGVARCHAR";
    case -2:
      return "BINARY(" + len + ")";
    case -3:
      return "VARBINARY(" + len + ")";
    case -4:
      return "LONGVARBINARY";
    case -5:
      return "BIGINT";
    case -6:
      return "TINYINT";
    case -7:
      return "BIT";
    case -8:
      return "WCHAR(" + len + ")";
    case -9:
      return "WVARCHAR(" + len + ")";
    case -10:
      return "WLONGVARCHAR";
    case -11:
      return "GUID";
    default:
      return QMetaType(f.metaType()).name();
  }
}

}  // namespace

TQtConnection::TQtConnection(TDriverKind kind, const TStringList& params) : kind_(kind) {
  EnsureQtApplication();
  name_ = QString("morvale-%1").arg(++connectionCounter);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QtDriver(kind), name_);
    if (!db.isValid()) {
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw Exception(Format("The %s driver of Qt SQL is not installed", {QtDriver(kind)}));
    }
    std::string host = params.Value("SERVER NAME");
    std::string options = params.Value("OPTIONS");
    auto addOption = [&](const std::string& o) {
      options = options.empty() ? o : o + ";" + options;
    };
    if (kind == TDriverKind::Odbc) {
      std::string dsn = params.Value("ODBC DSN");
      db.setDatabaseName(Q(dsn.empty() ? params.Value("DATABASE NAME") : dsn));
      // The one read-only switch ODBC has; drivers that ignore it are the data source's affair.
      addOption("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY");
    } else {
      db.setDatabaseName(Q(params.Value("DATABASE NAME")));
      // A MySQL server on this machine may be reached by its socket file.
      if (kind == TDriverKind::MySql && !host.empty() && host[0] == '/')
        addOption("UNIX_SOCKET=" + host);
      else if (!host.empty())
        db.setHostName(Q(host));
      std::string port = params.Value("PORT");
      if (!port.empty()) db.setPort(std::atoi(port.c_str()));
    }
    db.setUserName(Q(params.Value("USER NAME")));
    db.setPassword(Q(params.Value("PASSWORD")));
    if (!options.empty()) db.setConnectOptions(Q(options));
    try {
      OpenOrThrow(kind, db);
    } catch (...) {
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw;
    }
  }
}

TQtConnection::~TQtConnection() {
  QSqlDatabase::removeDatabase(name_);
}

QString TQtConnection::Acquire() {
  if (!busy_) {
    busy_ = true;
    return name_;
  }
  QString name = QString("morvale-%1").arg(++connectionCounter);
  std::string error;
  {
    QSqlDatabase db = QSqlDatabase::cloneDatabase(name_, name);
    try {
      OpenOrThrow(kind_, db);
    } catch (const Exception& e) {
      error = e.what();
    }
  }
  if (!error.empty()) {
    QSqlDatabase::removeDatabase(name);
    throw Exception(error);
  }
  return name;
}

void TQtConnection::Release(const QString& name) {
  if (name == name_)
    busy_ = false;
  else
    QSqlDatabase::removeDatabase(name);
}

std::unique_ptr<TCursor> TQtConnection::OpenCursor(const std::string& sql) {
  TSqlCommand cmd;
  try {
    cmd = ParseSqlCommand(sql);
  } catch (const Exception&) {
    // MySQL has its own SHOW commands and messages.
    if (kind_ != TDriverKind::MySql) throw;
  }
  std::unique_ptr<TCursor> cursor = OpenCommand(cmd, sql);
  return cmd.Kind == TSqlCommandKind::Query ? std::move(cursor)
                                            : CatalogueCursor(std::move(cursor));
}

std::unique_ptr<TCursor> TQtConnection::OpenCommand(const TSqlCommand& cmd,
                                                    const std::string& sql) {
  auto self = shared_from_this();
  // MySQL answers SHOW and DESCRIBE itself.
  if (kind_ == TDriverKind::MySql) return std::make_unique<TQtCursor>(self, sql);
  if (cmd.Kind == TSqlCommandKind::ShowTables) {
    TStringList names;
    GetTableNames("*.*", true, false, names);
    std::vector<TMemCursor::Row> rows;
    for (const std::string& n : names) rows.push_back({n});
    return std::make_unique<TMemCursor>(
        TFieldDefs{MakeFieldDef("Table", ftString, kDefaultStringSize)}, std::move(rows));
  }
  if (kind_ == TDriverKind::PostgreSql) {
    if (cmd.Kind == TSqlCommandKind::ShowFields)
      return std::make_unique<TQtCursor>(self, PgFieldsSql(cmd.RawTable));
    if (cmd.Kind == TSqlCommandKind::ShowIndex)
      return std::make_unique<TQtCursor>(self, PgIndexSql(cmd.RawTable));
    return std::make_unique<TQtCursor>(self, sql);
  }
  if (cmd.Kind == TSqlCommandKind::Query) return std::make_unique<TQtCursor>(self, sql);
  // ODBC: the driver's catalogue, as rows of our own.
  QSqlDatabase db = QSqlDatabase::database(name_, false);
  QSqlRecord record = db.record(Q(cmd.Table));
  if (record.isEmpty()) throw Exception("no such table: " + cmd.Table);
  QSqlIndex primary = db.primaryIndex(Q(cmd.Table));
  std::vector<TMemCursor::Row> rows;
  if (cmd.Kind == TSqlCommandKind::ShowFields) {
    for (int i = 0; i < record.count(); ++i) {
      QSqlField f = record.field(i);
      const char* null = f.requiredStatus() == QSqlField::Required   ? "NO"
                         : f.requiredStatus() == QSqlField::Optional ? "YES"
                                                                     : "";
      TMemCursor::Row row{
          f.name().toStdString(), OdbcTypeName(f),
          std::string(null),      std::string(primary.contains(f.name()) ? "PRI" : ""),
          std::nullopt,           std::string()};
      if (!f.defaultValue().isNull()) row[4] = f.defaultValue().toString().toStdString();
      rows.push_back(std::move(row));
    }
    TFieldDefs defs;
    for (const char* n : {"Field", "Type", "Null", "Key", "Default", "Extra"})
      defs.push_back(MakeFieldDef(n, ftString, kDefaultStringSize));
    return std::make_unique<TMemCursor>(std::move(defs), std::move(rows));
  }
  for (int i = 0; i < primary.count(); ++i) {
    QString column = primary.fieldName(i);
    rows.push_back(
        {cmd.Table, std::string("0"),
         primary.name().isEmpty() ? std::string("PRIMARY") : primary.name().toStdString(),
         std::to_string(i + 1), column.toStdString(), std::string("A"), std::nullopt, std::nullopt,
         std::nullopt, std::string(), std::string(), std::string()});
  }
  TFieldDefs defs;
  for (const char* n :
       {"Table", "Non_unique", "Key_name", "Seq_in_index", "Column_name", "Collation",
        "Cardinality", "Sub_part", "Packed", "Null", "Index_type", "Comment"}) {
    bool number = std::string_view(n) == "Non_unique" || std::string_view(n) == "Seq_in_index" ||
                  std::string_view(n) == "Cardinality" || std::string_view(n) == "Sub_part";
    defs.push_back(number ? MakeFieldDef(n, ftInteger)
                          : MakeFieldDef(n, ftString, kDefaultStringSize));
  }
  return std::make_unique<TMemCursor>(std::move(defs), std::move(rows));
}

void TQtConnection::GetTableNames(const std::string& pattern, bool, bool systemTables,
                                  TStringList& out) {
  out.Clear();
  std::string ownerPat, namePat;
  bool byOwner = OwnerPattern(pattern, ownerPat, namePat);
  std::vector<std::string> names;
  QSqlDatabase db = QSqlDatabase::database(name_, false);
  if (kind_ == TDriverKind::PostgreSql) {
    QSqlQuery q(db);
    std::string sql =
        "SELECT n.nspname, c.relname, pg_get_userbyid(c.relowner) FROM pg_class c"
        " JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.relkind IN ('r', 'v', 'm', 'p', "
        "'f')";
    if (!systemTables)
      sql +=
          " AND n.nspname NOT IN ('pg_catalog', 'information_schema')"
          " AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp%'";
    if (!q.exec(Q(sql))) throw Exception(ErrorText(q.lastError()));
    while (q.next()) {
      QString schema = q.value(0).toString(), table = q.value(1).toString(),
              owner = q.value(2).toString();
      std::string name = PgName(schema, table);
      if (byOwner) {
        bool mine =
            SameText(owner.toStdString(), ownerPat) || SameText(schema.toStdString(), ownerPat);
        if (!mine || !MatchesTablePattern(table.toStdString(), namePat)) continue;
      } else if (!MatchesTablePattern(name, pattern)) {
        continue;
      }
      names.push_back(name);
    }
  } else {
    QSql::TableType types = static_cast<QSql::TableType>(QSql::Tables | QSql::Views);
    if (systemTables) types = static_cast<QSql::TableType>(types | QSql::SystemTables);
    for (const QString& t : db.tables(types)) {
      std::string name = t.toStdString();
      if (MatchesTablePattern(name, pattern)) names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return LowerCaseAscii(a) < LowerCaseAscii(b);
  });
  for (auto& n : names) out.Add(std::move(n));
}

TFieldDef QtFieldDef(TDriverKind kind, const QSqlField& f) {
  std::string name = f.name().toStdString();
  const int id = f.typeID(), len = f.length(), prec = f.precision();
  const int meta = f.metaType().id();
  auto str = [&](int size) {
    return MakeFieldDef(name, ftString, size > 0 ? size : kDefaultStringSize);
  };
  auto bcd = [&](int digits, int scale) {
    if (digits <= 0) return MakeFieldDef(name, ftFloat);  // NUMERIC without digits: any number
    return MakeFieldDef(name, ftBCD, std::max(0, scale), digits);
  };
  if (kind == TDriverKind::PostgreSql) {
    switch (id) {
      case 16:
        return MakeFieldDef(name, ftBoolean);
      case 17:
        return MakeFieldDef(name, ftBlob);
      case 18:
        return str(1);
      case 19:
        return str(63);
      case 20:
        return MakeFieldDef(name, ftLargeint);
      case 21:
        return MakeFieldDef(name, ftSmallint);
      case 23:
        return MakeFieldDef(name, ftInteger);
      case 26:
        return MakeFieldDef(name, ftLargeint);  // oid is unsigned 32-bit
      case 700:
      case 701:
        return MakeFieldDef(name, ftFloat);
      case 790:
        return MakeFieldDef(name, ftCurrency);
      case 1042:
      case 1043:
        return str(len);
      case 1082:
        return MakeFieldDef(name, ftDate);
      case 1083:
      case 1266:
        return MakeFieldDef(name, ftTime);
      case 1114:
      case 1184:
        return MakeFieldDef(name, ftDateTime);
      case 1700:
        return bcd(len, prec);
      case 2950:
        return str(36);
      default:
        return str(kDefaultStringSize);  // text, json, xml, arrays...: shown as text
    }
  }
  if (kind == TDriverKind::MySql) {
    const bool binary = meta == QMetaType::QByteArray;
    switch (id) {
      case 0:
      case 246:
        return bcd(len > 2 ? len - (prec > 0 ? 2 : 1) : len, prec);  // sign, point
      case 1:
        return MakeFieldDef(name, len == 1 ? ftBoolean : ftSmallint);
      case 2:
      case 13:
        return MakeFieldDef(name, ftSmallint);
      case 3:
      case 9:
        return MakeFieldDef(name, ftInteger);
      case 8:
        return MakeFieldDef(name, ftLargeint);
      case 4:
      case 5:
        return MakeFieldDef(name, ftFloat);
      case 7:
      case 12:
        return MakeFieldDef(name, ftDateTime);
      case 10:
        return MakeFieldDef(name, ftDate);
      case 11:
        return MakeFieldDef(name, ftTime);
      case 16:
        return MakeFieldDef(name, len == 1 ? ftBoolean : ftLargeint);
      case 249:
      case 250:
      case 251:
      case 252:
        // TEXT and BLOB types; the length says which (TINYTEXT and TEXT stay strings).
        if (binary) return MakeFieldDef(name, ftBlob);
        if (len > 65535 * 4) return MakeFieldDef(name, ftMemo);
        return str(kDefaultStringSize);
      default:
        if (binary) return MakeFieldDef(name, ftBlob);
        // The server counts bytes of its UTF-8 (four a character).
        return str(len > 0 ? std::max(1, len / 4) : 0);
    }
  }
  // ODBC: the SQL type codes of the ODBC standard.
  switch (id) {
    case 1:
    case 12:
    case -8:
    case -9:
      return str(len);
    case -1:
    case -10:
      return MakeFieldDef(name, ftMemo);
    case 2:
    case 3:
      return bcd(len, prec);
    case 4:
      return MakeFieldDef(name, ftInteger);
    case 5:
    case -6:
      return MakeFieldDef(name, ftSmallint);
    case -5:
      return MakeFieldDef(name, ftLargeint);
    case 6:
    case 7:
    case 8:
      return MakeFieldDef(name, ftFloat);
    case 9:
    case 91:
      return MakeFieldDef(name, ftDate);
    case 10:
    case 92:
      return MakeFieldDef(name, ftTime);
    case 11:
    case 93:
      return MakeFieldDef(name, ftDateTime);
    case -7:
      return MakeFieldDef(name, ftBoolean);
    case -2:
    case -3:
    case -4:
      return MakeFieldDef(name, ftBlob);
    case -11:
      return str(38);
    default:
      break;
  }
  switch (meta) {
    case QMetaType::Bool:
      return MakeFieldDef(name, ftBoolean);
    case QMetaType::Int:
    case QMetaType::UInt:
      return MakeFieldDef(name, ftInteger);
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      return MakeFieldDef(name, ftLargeint);
    case QMetaType::Double:
      return MakeFieldDef(name, ftFloat);
    case QMetaType::QDate:
      return MakeFieldDef(name, ftDate);
    case QMetaType::QTime:
      return MakeFieldDef(name, ftTime);
    case QMetaType::QDateTime:
      return MakeFieldDef(name, ftDateTime);
    case QMetaType::QByteArray:
      return MakeFieldDef(name, ftBlob);
    default:
      return str(len);
  }
}

}  // namespace morvale
