// What the engine's read-only SQLite virtual-table modules (dBASE files, server tables) share.
#pragma once

#include <sqlite3.h>

#include <string>

namespace morvale {

// A module argument written as an SQL string literal ('it''s'), without its quotes.
std::string UnquoteModuleArgument(const char* arg);

// The message SQLite reports for a failed call of the table's methods.
void SetVTabError(sqlite3_vtab* vtab, const char* message);

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
