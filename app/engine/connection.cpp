#include "app/engine/connection.h"

#include "app/engine/mysqlconnection.h"
#include "app/engine/pgconnection.h"
#include "app/engine/qtconnection.h"
#include "app/engine/sqliteconnection.h"
#include "app/engine/sqlitedb.h"

namespace morvale {

bool DriverKindOf(std::string_view name, TDriverKind& kind) {
  std::string n = UpperCaseAscii(Trim(name));
  if (n == "SQLITE" || n == "SQLITE3")
    kind = TDriverKind::Sqlite;
  else if (n == "STANDARD" || n == "PARADOX" || n == "DBASE")
    kind = TDriverKind::Standard;
  else if (n == "POSTGRESQL" || n == "POSTGRES" || n == "PGSQL")
    kind = TDriverKind::PostgreSql;
  else if (n == "MYSQL" || n == "MARIADB")
    kind = TDriverKind::MySql;
  else if (n == "ODBC")
    kind = TDriverKind::Odbc;
  else
    return false;
  return true;
}

const char* DriverName(TDriverKind kind) {
  switch (kind) {
    case TDriverKind::Sqlite:
      return "SQLITE";
    case TDriverKind::Standard:
      return "STANDARD";
    case TDriverKind::PostgreSql:
      return "POSTGRESQL";
    case TDriverKind::MySql:
      return "MYSQL";
    case TDriverKind::Odbc:
      return "ODBC";
  }
  return "";
}

bool IsServerDriver(TDriverKind kind) {
  return kind == TDriverKind::PostgreSql || kind == TDriverKind::MySql || kind == TDriverKind::Odbc;
}

TSqlNameDialect NameDialectOf(TDriverKind kind) {
  switch (kind) {
    case TDriverKind::PostgreSql:
      return TSqlNameDialect::PostgreSQL;
    case TDriverKind::MySql:
      return TSqlNameDialect::MySQL;
    default:
      return TSqlNameDialect::Standard;
  }
}

std::shared_ptr<TConnection> Connect(TDriverKind kind, const TStringList& params) {
  switch (kind) {
    case TDriverKind::Sqlite:
      return std::make_shared<TSqliteConnection>(
          TSqliteDatabase::OpenReadOnly(params.Value("PATH")));
    case TDriverKind::Standard:
      return std::make_shared<TFolderConnection>(params.Value("PATH"),
                                                 !SameText(params.Value("TABLE FILES"), "FALSE"));
    case TDriverKind::PostgreSql:
      return std::make_shared<TPgConnection>(params);
    case TDriverKind::MySql:
      return std::make_shared<TMySqlConnection>(params);
    default:
      return std::make_shared<TQtConnection>(kind, params);
  }
}

}  // namespace morvale
