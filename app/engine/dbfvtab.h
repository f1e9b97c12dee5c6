// dBASE tables inside SQLite: a read-only virtual-table module "dbf", so that table files are
// queried with the whole of SQLite's SQL (WHERE, ORDER BY, joins) and no SQL engine of our own.
//   CREATE VIRTUAL TABLE temp."orders.dbf" USING dbf('/data/orders.dbf')
#pragma once

#include <string>

struct sqlite3;

namespace morvale {

void RegisterDbfModule(sqlite3* db);

// The statement that makes the table file at `path` a table called `name` in the temp schema.
std::string DbfTableStatement(const std::string& name, const std::string& path);

}  // namespace morvale
