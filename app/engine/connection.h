// A connected database as the engine layer uses it, whatever its driver: it opens cursors for SQL
// texts (answering SHOW FIELDS, SHOW INDEX, DESCRIBE and SHOW TABLES itself where the database has
// no such command) and lists its tables.
#pragma once

#include <memory>
#include <string>

#include "app/engine/cursor.h"
#include "export/core/classes.h"
#include "export/core/sqlnames.h"

namespace morvale {

class TConnection {
 public:
  virtual ~TConnection() = default;
  virtual std::unique_ptr<TCursor> OpenCursor(const std::string& sql) = 0;
  // Table names matching the pattern ("*.*" for all, "OWNER.%" for one owner's), sorted.
  virtual void GetTableNames(const std::string& pattern, bool extensions, bool systemTables,
                             TStringList& out) = 0;

  // How the database's SQL quotes names.
  virtual TSqlNameDialect NameDialect() const { return TSqlNameDialect::Standard; }
  // A table or column name as the database's SQL reads it back as written: bare where it can be.
  virtual std::string SqlNameOf(const std::string& name) { return SqlName(NameDialect(), name); }
  // The SQL text naming a table as the table list spells it.
  virtual std::string TableReference(const std::string& listed) { return SqlNameOf(listed); }
};

// The drivers an alias can name. STANDARD (also written PARADOX or DBASE) is a folder of dBASE
// tables.
enum class TDriverKind { Sqlite, Standard, PostgreSql, MySql, Odbc };
bool DriverKindOf(std::string_view driverName, TDriverKind& kind);
const char* DriverName(TDriverKind kind);
bool IsServerDriver(TDriverKind kind);
// How the driver's SQL quotes names (an ODBC data source as standard SQL does).
TSqlNameDialect NameDialectOf(TDriverKind kind);

// Connects with the parameter lines of an alias: PATH (SQLITE: the database file; STANDARD: the
// folder), SERVER NAME, PORT, DATABASE NAME, USER NAME, PASSWORD, and ODBC DSN for ODBC.
// TABLE FILES=FALSE makes a STANDARD database that reads no table files at all, only the other
// databases of its session (the engine of a heterogeneous query over SQLite and servers).
std::shared_ptr<TConnection> Connect(TDriverKind kind, const TStringList& params);

}  // namespace morvale
