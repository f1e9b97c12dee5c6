// Just enough reading of SQL text for the engine's own needs: finding the words and quoted names
// of a statement (so that table files can be named in it), recognising the SHOW and DESCRIBE
// commands that the engine answers itself, and quoting texts safely. Names are quoted by the rule
// of export/core/sqlnames.h.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/sqlnames.h"

namespace morvale {

// The statements the engine runs on SQLite itself (table files, attached databases, server tables
// made into virtual tables) name things in the standard way.
constexpr TSqlNameDialect kSqlite = TSqlNameDialect::Standard;

enum class TSqlTokenKind { Word, QuotedName, String, Symbol, Space };

struct TSqlToken {
  TSqlTokenKind Kind;
  size_t Begin, End;  // byte range in the text, quotes included
  std::string Value;  // a quoted name without its quotes and doubled quotes; else the text
};

// Comments count as space; an unterminated quote runs to the end of the text.
std::vector<TSqlToken> TokenizeSql(std::string_view sql);

enum class TSqlCommandKind { Query, ShowFields, ShowIndex, ShowTables };

// One name of a dotted reference ("sales"."Orders" has two): without its quotes, and whether it
// was quoted, which decides whether a server folds its case.
struct TSqlNamePart {
  std::string Name;
  bool Quoted = false;
  bool operator==(const TSqlNamePart&) const = default;
};
using TSqlNameParts = std::vector<TSqlNamePart>;

// The parts of a text that is one table reference and nothing else ("orders", "\"my table\"",
// "sales.\"Orders\"", surrounding spaces allowed); empty for any other text.
TSqlNameParts ReadTableReference(std::string_view text);
// The parts written again in a dialect: a quoted part quoted, a bare one as it was.
std::string WriteTableReference(TSqlNameDialect dialect, const TSqlNameParts& parts);

// SHOW FIELDS|COLUMNS FROM t, SHOW INDEX|INDEXES|KEYS FROM t, DESCRIBE|DESC t and SHOW TABLES;
// any other text is a query. Table is the reference as written, its quotes removed.
struct TSqlCommand {
  TSqlCommandKind Kind = TSqlCommandKind::Query;
  std::string Table;
  std::string RawTable;  // the reference exactly as written, quotes included
  TSqlNameParts TableParts;
};
TSqlCommand ParseSqlCommand(std::string_view sql);

// 'text' with embedded quotes doubled.
std::string QuoteSqlString(std::string_view s);

// A sort text ("NAME, ID", field names separated by commas) as an ORDER BY clause reads it. A key
// that names one of `fields` (as spelled, else the only one equal without regard to case) and
// would not read as that field as written ("Total" in PostgreSQL, "Customer Name", Group) is
// written as `nameOf` gives the field; a key of words only that names none of them but cannot
// be read bare ("Order Date", Group) is quoted as typed; every other key (plain names that read
// as their field, quoted names, expressions, ASC and DESC) stays as written.
using TSqlNameOf = std::function<std::string(const std::string& field)>;
std::string QuoteSortNames(std::string_view sort, TSqlNameDialect dialect,
                           const std::vector<std::string>& fields = {},
                           const TSqlNameOf& nameOf = {});

// The statement with the names quoted in the way of `from` quoted in the way of `to` instead
// (so a query written for SQLite or PostgreSQL runs on MySQL); the rest stays as written.
std::string RequoteSqlNames(std::string_view sql, TSqlNameDialect from, TSqlNameDialect to);

// Matches a name against a table-list pattern: '*' and '%' any run of characters, '?' and '_'
// one character, letters compared without regard to case.
bool MatchesTablePattern(std::string_view name, std::string_view pattern);

}  // namespace morvale
