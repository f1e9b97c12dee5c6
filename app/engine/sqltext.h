// Just enough reading of SQL text for the engine's own needs: finding the words and quoted names
// of a statement (so that table files can be named in it), recognising the SHOW and DESCRIBE
// commands that the engine answers itself, and quoting names and texts safely.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvale {

enum class TSqlTokenKind { Word, QuotedName, String, Symbol, Space };

struct TSqlToken {
  TSqlTokenKind Kind;
  size_t Begin, End;  // byte range in the text, quotes included
  std::string Value;  // a quoted name without its quotes and doubled quotes; else the text
};

// Comments count as space; an unterminated quote runs to the end of the text.
std::vector<TSqlToken> TokenizeSql(std::string_view sql);

enum class TSqlCommandKind { Query, ShowFields, ShowIndex, ShowTables };

// SHOW FIELDS|COLUMNS FROM t, SHOW INDEX|INDEXES|KEYS FROM t, DESCRIBE|DESC t and SHOW TABLES;
// any other text is a query. Table is the reference as written, its quotes removed.
struct TSqlCommand {
  TSqlCommandKind Kind = TSqlCommandKind::Query;
  std::string Table;
  std::string RawTable;  // the reference exactly as written, quotes included
};
TSqlCommand ParseSqlCommand(std::string_view sql);

// 'text' with embedded quotes doubled.
std::string QuoteSqlString(std::string_view s);
// "name" with embedded double quotes doubled.
std::string QuoteSqlName(std::string_view s);

// Matches a name against a table-list pattern: '*' and '%' any run of characters, '?' and '_'
// one character, letters compared without regard to case.
bool MatchesTablePattern(std::string_view name, std::string_view pattern);

}  // namespace morvale
