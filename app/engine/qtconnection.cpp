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

const char* QtDriver(TDriverKind) {
  return "QODBC";
}

void OpenOrThrow(TDriverKind, QSqlDatabase& db) {
  if (!db.open()) throw Exception(ErrorText(db.lastError()));
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
      if (!host.empty()) db.setHostName(Q(host));
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
  const TSqlCommand cmd = ParseSqlCommand(sql);
  std::unique_ptr<TCursor> cursor = OpenCommand(cmd, sql);
  return cmd.Kind == TSqlCommandKind::Query ? std::move(cursor)
                                            : CatalogueCursor(std::move(cursor));
}

std::unique_ptr<TCursor> TQtConnection::OpenCommand(const TSqlCommand& cmd,
                                                    const std::string& sql) {
  auto self = shared_from_this();
  if (cmd.Kind == TSqlCommandKind::ShowTables) {
    TStringList names;
    GetTableNames("*.*", true, false, names);
    return TableListCursor(names);
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
  std::vector<std::string> names;
  // A connection of its own: this one may be in the middle of a result that is still streaming.
  TQtLease lease(*this);
  QSqlDatabase db = QSqlDatabase::database(lease.Name(), false);
  QSql::TableType types = static_cast<QSql::TableType>(QSql::Tables | QSql::Views);
  if (systemTables) types = static_cast<QSql::TableType>(types | QSql::SystemTables);
  for (const QString& t : db.tables(types)) {
    std::string name = t.toStdString();
    if (MatchesTablePattern(name, pattern)) names.push_back(name);
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
