// What the engine's read-only SQLite virtual-table modules (dBASE files, server tables) share.
#pragma once

#include <sqlite3.h>

#include <string>

#include "app/engine/sqltext.h"

namespace morvale {

// A module argument written as an SQL string literal ('it''s'), without its quotes.
std::string UnquoteModuleArgument(const char* arg);

// The message SQLite reports for a failed call of the table's methods.
void SetVTabError(sqlite3_vtab* vtab, const char* message);

// What xConnect returns when the table cannot be made, with the message SQLite reports.
int ConnectFailure(char** error, const char* message);

// Declares the columns of the table being connected, "name type, ..." as in CREATE TABLE; on
// failure SQLite's message goes to `*error`.
int DeclareVTabSchema(sqlite3* db, const std::string& columns, char** error);
// The same with a column for each field: its name, and the type `declaredType(field)` gives.
template <class TFields, class TTypeOf>
int DeclareVTabColumns(sqlite3* db, const TFields& fields, TTypeOf declaredType, char** error) {
  std::string columns;
  for (const auto& field : fields) {
    if (!columns.empty()) columns += ", ";
    columns += QuoteSqlIdentifier(kSqlite, field.Name) + " " + declaredType(field);
  }
  return DeclareVTabSchema(db, columns, error);
}

// xDisconnect and xDestroy of a table struct TTable whose first member is the sqlite3_vtab
// SQLite holds, made with new.
template <class TTable>
int DisconnectVTab(sqlite3_vtab* vtab) {
  sqlite3_free(vtab->zErrMsg);
  delete reinterpret_cast<TTable*>(vtab);
  return SQLITE_OK;
}

// A module whose tables cannot be written: the same function connects and creates a table, and
// the same one disconnects and destroys it (the tables own no storage of their own).
constexpr sqlite3_module ReadOnlyModule(
    int (*connect)(sqlite3*, void*, int, const char* const*, sqlite3_vtab**, char**),
    int (*bestIndex)(sqlite3_vtab*, sqlite3_index_info*), int (*disconnect)(sqlite3_vtab*),
    int (*open)(sqlite3_vtab*, sqlite3_vtab_cursor**), int (*close)(sqlite3_vtab_cursor*),
    int (*filter)(sqlite3_vtab_cursor*, int, const char*, int, sqlite3_value**),
    int (*next)(sqlite3_vtab_cursor*), int (*eof)(sqlite3_vtab_cursor*),
    int (*column)(sqlite3_vtab_cursor*, sqlite3_context*, int),
    int (*rowid)(sqlite3_vtab_cursor*, sqlite3_int64*)) {
  return sqlite3_module{
      .iVersion = 0,
      .xCreate = connect,
      .xConnect = connect,
      .xBestIndex = bestIndex,
      .xDisconnect = disconnect,
      .xDestroy = disconnect,
      .xOpen = open,
      .xClose = close,
      .xFilter = filter,
      .xNext = next,
      .xEof = eof,
      .xColumn = column,
      .xRowid = rowid,
      .xUpdate = nullptr,
      .xBegin = nullptr,
      .xSync = nullptr,
      .xCommit = nullptr,
      .xRollback = nullptr,
      .xFindFunction = nullptr,
      .xRename = nullptr,
      .xSavepoint = nullptr,
      .xRelease = nullptr,
      .xRollbackTo = nullptr,
      .xShadowName = nullptr,
  };
}

}  // namespace morvale
