// How each SQL dialect writes a table or column name: bare where the dialect reads it back as
// written, quoted otherwise (spaces, quotes, reserved words, non-ASCII letters; in PostgreSQL also
// capitals, which it would fold to lower case). Every piece of SQL text the program writes itself
// (opening a table, SHOW and DESCRIBE, the heterogeneous forms, the PHP page, SQL scripts) names
// tables and columns through here.
#pragma once

#include <string>
#include <string_view>

namespace morvale {

enum class TSqlNameDialect {
  Standard,    // SQLite, ODBC and generic SQL: "name", inner " doubled
  PostgreSQL,  // "name", inner " doubled; an unquoted name is folded to lower case
  MySQL,       // `name`, inner ` doubled
};

// True when the name must be quoted to be read back as written in the dialect.
bool SqlNameNeedsQuotes(TSqlNameDialect dialect, std::string_view name);
// The name quoted in the dialect's way, whether or not it needs it.
std::string QuoteSqlIdentifier(TSqlNameDialect dialect, std::string_view name);
// The name as the dialect reads it back: bare when it can be, quoted otherwise.
std::string SqlName(TSqlNameDialect dialect, std::string_view name);
// A reserved word of any dialect the program writes for (compared without regard to case).
bool IsSqlReservedWord(std::string_view word);

}  // namespace morvale
