#include "app/engine/qtconnection.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cstdlib>

#include <dlfcn.h>

#include "app/engine/catalogue.h"
#include "app/engine/memcursor.h"
#include "app/engine/qtcursor.h"
#include "app/engine/sqltext.h"
#include "export/core/translate.h"

namespace morvale {

namespace {
void (*applicationMaker)() = nullptr;
}  // namespace

void SetQtApplicationMaker(void (*maker)()) {
  applicationMaker = maker;
}

void EnsureQtApplication() {
  // Without TZ the C library looks at /etc/localtime again for every local time Qt converts (a
  // file lookup per date-time value); naming that same file keeps the zone and drops the lookups.
  if (!std::getenv("TZ")) setenv("TZ", ":/etc/localtime", 0);
  if (QCoreApplication::instance()) return;
  if (applicationMaker) {
    applicationMaker();
    if (QCoreApplication::instance()) return;
  }
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
    // A scan of a big table may start where another one is (or where an aborted one stopped),
    // so the same table would come out in another order each time; an export is read in the
    // table's order, and ranges read by several sessions join into what one session reads.
    q.exec("SET synchronize_seqscans = off");
  } else if (kind == TDriverKind::MySql) {
    q.exec("SET SESSION TRANSACTION READ ONLY");
    // Rows are read from the server as the dataset moves on; a reader that pauses (a window
    // left open on the first page) must not have the server give up on it after a minute.
    q.exec("SET SESSION net_write_timeout = @@wait_timeout");
  }
}

void OpenOrThrow(TDriverKind kind, QSqlDatabase& db) {
  if (!db.open()) throw Exception(ErrorText(db.lastError()));
  PrepareSession(kind, db);
}

std::atomic<int> connectionCounter{0};

// How an ODBC data source folds the case of a bare name (SQL_IDENTIFIER_CASE): 'U', 'L' or 0.
// Qt SQL does not tell, so the driver manager that its driver loaded is asked directly.
char OdbcFolding(const QSqlDatabase& db) {
  const QVariant handle = db.driver()->handle();
  const char* type = handle.typeName();
  if (!type || (qstrcmp(type, "SQLHANDLE") != 0 && qstrcmp(type, "void*") != 0)) return 0;
  void* connection = *static_cast<void* const*>(handle.constData());
  void* library = dlopen("libodbc.so.2", RTLD_LAZY | RTLD_NOLOAD);
  if (!library || !connection) return 0;
  using TGetInfo = short (*)(void*, unsigned short, void*, short, short*);
  auto getInfo = reinterpret_cast<TGetInfo>(dlsym(library, "SQLGetInfo"));
  constexpr unsigned short kIdentifierCase = 28, kUpper = 1, kLower = 2;
  unsigned short value = 0;
  const short rc =
      getInfo ? getInfo(connection, kIdentifierCase, &value, sizeof value, nullptr) : -1;
  dlclose(library);
  if (rc != 0 && rc != 1) return 0;  // neither SQL_SUCCESS nor SQL_SUCCESS_WITH_INFO
  return value == kUpper ? 'U' : value == kLower ? 'L' : 0;
}

// A PostgreSQL table as the table list shows it: as the catalogue spells it, with its schema in
// front unless that is the public one.
std::string PgName(const QString& schema, const QString& table) {
  if (schema == "public") return table.toStdString();
  return (schema + "." + table).toStdString();
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

}  // namespace

TQtConnection::TQtConnection(TDriverKind kind, const TStringList& params) : kind_(kind) {
  EnsureQtApplication();
  name_ = QString("morvale-%1").arg(++connectionCounter);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QtDriver(kind), name_);
    if (!db.isValid()) {
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw Exception(Format(TranslateText("Engine", "The %s driver of Qt SQL is not installed"),
                             {QtDriver(kind)}));
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
    std::string password = params.Value("PASSWORD");
    // As MySQL's own clients do, a password the connection does not give comes from MYSQL_PWD:
    // how a process is handed one without it showing on its command line.
    if (kind == TDriverKind::MySql && !params.HasName("PASSWORD"))
      if (const char* env = std::getenv("MYSQL_PWD")) password = env;
    db.setPassword(Q(password));
    if (!options.empty()) db.setConnectOptions(Q(options));
    try {
      OpenOrThrow(kind, db);
    } catch (...) {
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw;
    }
    if (kind == TDriverKind::Odbc) folding_ = OdbcFolding(db);
  }
}

std::string TQtConnection::SqlNameOf(const std::string& name) {
  // A data source that folds bare names keeps a name in the other case only in quotes.
  if (folding_) {
    for (char c : name)
      if (folding_ == 'U' ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z'))
        return QuoteSqlIdentifier(NameDialect(), name);
  }
  return SqlName(NameDialect(), name);
}

std::string TQtConnection::TableReference(const std::string& listed) {
  if (kind_ != TDriverKind::PostgreSql || listed.find('.') == std::string::npos)
    return SqlNameOf(listed);
  // The list writes schema.table for the tables outside the public schema; a table of the
  // search path whose own name holds the dot comes first.
  TQtLease lease(*this);
  QSqlQuery q(QSqlDatabase::database(lease.Name(), false));
  const std::string name = QuoteSqlString(listed);
  const std::string sql =
      "SELECT n.nspname, c.relname, pg_table_is_visible(c.oid) FROM pg_class c"
      " JOIN pg_namespace n ON n.oid = c.relnamespace WHERE (c.relname = " +
      name + " AND pg_table_is_visible(c.oid)) OR n.nspname || '.' || c.relname = " + name +
      " ORDER BY 3 DESC LIMIT 1";
  if (!q.exec(Q(sql))) throw Exception(ErrorText(q.lastError()));
  if (!q.next()) return SqlNameOf(listed);
  const std::string schema = q.value(0).toString().toStdString(),
                    table = q.value(1).toString().toStdString();
  if (q.value(2).toBool()) return SqlNameOf(table);
  return SqlNameOf(schema) + "." + SqlNameOf(table);
}

TQtConnection::~TQtConnection() {
  for (const QString& name : idle_) QSqlDatabase::removeDatabase(name);
  QSqlDatabase::removeDatabase(name_);
}

QString TQtConnection::Acquire() {
  if (!busy_) {
    busy_ = true;
    return name_;
  }
  if (!idle_.empty()) {
    QString name = idle_.back();
    idle_.pop_back();
    return name;
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
  if (name == name_) {
    busy_ = false;
  } else if (idle_.size() < kIdleConnections) {
    // Kept for the next statement: a join of two tables of one server looks rows up in one while
    // it reads the other, and connecting anew for each look-up would cost more than the look-up.
    idle_.push_back(name);
  } else {
    QSqlDatabase::removeDatabase(name);
  }
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
  if (kind_ == TDriverKind::MySql) return MakeQtCursor(self, sql);
  if (cmd.Kind == TSqlCommandKind::ShowTables) {
    TStringList names;
    GetTableNames("*.*", true, false, names);
    std::vector<TMemCursor::Row> rows;
    for (const std::string& n : names) rows.push_back({n});
    return std::make_unique<TMemCursor>(
        TFieldDefs{MakeFieldDef("Table", ftString, kDefaultStringSize)}, std::move(rows));
  }
  if (kind_ == TDriverKind::PostgreSql) {
    // The reference in PostgreSQL's own quoting, whichever quotes the command used.
    const std::string table = WriteTableReference(TSqlNameDialect::PostgreSQL, cmd.TableParts);
    if (cmd.Kind == TSqlCommandKind::ShowFields) return MakeQtCursor(self, PgFieldsSql(table));
    if (cmd.Kind == TSqlCommandKind::ShowIndex) return MakeQtCursor(self, PgIndexSql(table));
    return MakeQtCursor(self, sql);
  }
  if (cmd.Kind == TSqlCommandKind::Query) return MakeQtCursor(self, sql);
  // ODBC: the driver's catalogue, as rows of our own.
  QSqlDatabase db = QSqlDatabase::database(name_, false);
  // Qt's driver takes a quoted part as written and folds a bare one as the data source does.
  QString table;
  for (const TSqlNamePart& part : cmd.TableParts) {
    if (!table.isEmpty()) table += '.';
    table += part.Quoted ? db.driver()->escapeIdentifier(Q(part.Name), QSqlDriver::TableName)
                         : Q(part.Name);
  }
  QSqlRecord record = db.record(table);
  if (record.isEmpty()) throw Exception("no such table: " + cmd.Table);
  QSqlIndex primary = db.primaryIndex(table);
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
  // A connection of its own: this one may be in the middle of a result that is still streaming.
  TQtLease lease(*this);
  QSqlDatabase db = QSqlDatabase::database(lease.Name(), false);
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
    return LowerCaseAscii(a) < LowerCaseAscii(b) ||
           (LowerCaseAscii(a) == LowerCaseAscii(b) && a < b);
  });
  // An ODBC data source lists the tables of every schema by their bare names: a name twice
  // would open the same table, the one the data source finds first.
  names.erase(std::unique(names.begin(), names.end()), names.end());
  for (auto& n : names) out.Add(std::move(n));
}

}  // namespace morvale
