// Why a source is read as one job instead of in ranges: the kind the range reader decides once,
// and the names it needs. Each front door words it in its own language: the command line in
// English with its own advice (--split-by), the window in Russian without the options it does not
// have (app/main/rangeexport.cpp).
#pragma once

#include <string>

namespace morvale::cli {

enum class TSplitReasonKind {
  None,  // the source can be read in ranges
  // The query's text.
  NotSelect,
  WithClause,
  ManyStatements,
  Subquery,
  Aggregates,  // Word: the aggregate, as written ("count")
  WindowFunctions,
  Distinct,
  Joins,
  Groups,
  Clause,    // Word: LIMIT, OFFSET, FETCH, TOP, WINDOW or FOR
  Combines,  // Word: UNION, INTERSECT or EXCEPT
  NoTable,
  ReadsSubquery,
  Sorted,         // ORDER BY, and no split column given
  SortedByOther,  // ORDER BY another column than the split column
  // The output and the server.
  TypeNotInShares,  // Word: the --type word
  Server,           // a database the range reader does not know
  // The source, as the server describes it.
  NotPlainTable,  // PostgreSQL: Table is a view or the like, without pages
  NoRowid,        // SQLite: Table is a view or a table WITHOUT ROWID
  Wal,            // SQLite: the database is in WAL mode
  NoPrimaryKey,   // MySQL: Table has no primary key
  CompositeKey,   // MySQL: Table's primary key has several columns
  KeyNotInteger,  // MySQL: Table's primary key is of type Word
};

struct TSplitReason {
  TSplitReasonKind Kind = TSplitReasonKind::None;
  std::string Table;  // as the query's SQL writes it
  std::string Word;   // what the kind says it is

  explicit operator bool() const { return Kind != TSplitReasonKind::None; }
  bool operator==(const TSplitReason&) const = default;
};

// The command line's words for `reason`; empty for None.
std::string SplitReasonText(const TSplitReason& reason);

// The reason whose words `text` is: how a program that runs the command line learns the kind
// from its note. None when no kind is worded so.
TSplitReason SplitReasonFromText(const std::string& text);

}  // namespace morvale::cli
