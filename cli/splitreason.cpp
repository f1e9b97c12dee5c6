#include "cli/splitreason.h"

#include <algorithm>
#include <vector>

namespace morvale::cli {

std::string SplitReasonText(const TSplitReason& r) {
  using K = TSplitReasonKind;
  switch (r.Kind) {
    case K::None:
      return "";
    case K::NotSelect:
      return "the statement is not a SELECT";
    case K::WithClause:
      return "the query has a WITH clause";
    case K::ManyStatements:
      return "the text holds more than one statement";
    case K::Subquery:
      return "the query has a subquery";
    case K::Aggregates:
      return "the query computes aggregates (" + r.Word + ")";
    case K::WindowFunctions:
      return "the query has window functions (OVER)";
    case K::Distinct:
      return "the query has DISTINCT";
    case K::Joins:
      return "the query joins tables";
    case K::Groups:
      return "the query groups rows";
    case K::Clause:
      return "the query has " + r.Word;
    case K::Combines:
      return "the query combines queries (" + r.Word + ")";
    case K::NoTable:
      return "the query reads no table";
    case K::ReadsSubquery:
      return "the query reads a subquery";
    case K::Sorted:
      return "the query is sorted (ORDER BY): give --split-by with its sort column";
    case K::SortedByOther:
      return "the query is sorted (ORDER BY) by other than the --split-by column";
    case K::TypeNotInShares:
      return "--type " + r.Word + " is not written in shares of one file nor in part files";
    case K::Server:
      return "only PostgreSQL, MySQL/MariaDB and SQLite databases are read in ranges";
    case K::NotPlainTable:
      return r.Table +
             " is not a plain table (its rows have no pages to split by): give --split-by COLUMN";
    case K::NoRowid:
      return r.Table + " has no rowid (a view, or a table WITHOUT ROWID): give --split-by COLUMN";
    case K::Wal:
      return "the SQLite database is in WAL mode, where processes cannot share one read snapshot";
    case K::NoPrimaryKey:
      return r.Table +
             " has no primary key (a view, or a table without one): give --split-by COLUMN";
    case K::CompositeKey:
      return "the primary key of " + r.Table + " has more than one column: give --split-by COLUMN";
    case K::KeyNotInteger:
      return "the primary key of " + r.Table + " is not an integer (" + r.Word +
             "): give --split-by COLUMN";
  }
  return "";
}

namespace {

constexpr TSplitReasonKind kLastKind = TSplitReasonKind::KeyNotInteger;
// What stands for the table and the word in a kind's words while they are matched.
constexpr char kTableSlot = '\x01', kWordSlot = '\x02';

// Reads `text` as the words of `kind`, whose slots are filled in from it; false when it is not.
bool Matches(TSplitReasonKind kind, const std::string& text, TSplitReason& out) {
  const std::string pattern =
      SplitReasonText({kind, std::string(1, kTableSlot), std::string(1, kWordSlot)});
  out = {kind, "", ""};
  size_t p = 0, t = 0;
  while (p < pattern.size()) {
    const size_t slot = pattern.find_first_of("\x01\x02", p);
    const std::string fixed = pattern.substr(p, slot == std::string::npos ? slot : slot - p);
    if (text.compare(t, fixed.size(), fixed) != 0) return false;
    t += fixed.size();
    if (slot == std::string::npos) return t == text.size();
    // The slot runs up to the next fixed words, where they last stand: a table's name may hold
    // anything, while what follows it is a type's name.
    const size_t next = pattern.find_first_of("\x01\x02", slot + 1);
    const std::string after =
        pattern.substr(slot + 1, next == std::string::npos ? next : next - slot - 1);
    const size_t end = next == std::string::npos || after.empty()
                           ? text.size() - std::min(text.size(), after.size())
                           : text.rfind(after);
    if (end == std::string::npos || end <= t) return false;
    (pattern[slot] == kTableSlot ? out.Table : out.Word) = text.substr(t, end - t);
    t = end;
    p = slot + 1;
  }
  return t == text.size();
}

}  // namespace

TSplitReason SplitReasonFromText(const std::string& text) {
  // Kinds worded without a name first: "the query has DISTINCT" is no Clause.
  for (const bool named : {false, true})
    for (int k = 1; k <= static_cast<int>(kLastKind); ++k) {
      const auto kind = static_cast<TSplitReasonKind>(k);
      const bool hasSlot =
          SplitReasonText({kind, std::string(1, kTableSlot), std::string(1, kWordSlot)})
              .find_first_of("\x01\x02") != std::string::npos;
      TSplitReason r;
      if (hasSlot == named && Matches(kind, text, r) && SplitReasonText(r) == text) return r;
    }
  return {};
}

}  // namespace morvale::cli
