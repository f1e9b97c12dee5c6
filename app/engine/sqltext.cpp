#include "app/engine/sqltext.h"

#include <cctype>

#include "export/core/classes.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// The end of a quoted run opened at `begin` with `close` as its closing quote; a doubled closing
// quote stands for one. Fills the unquoted value.
size_t QuotedEnd(std::string_view s, size_t begin, char close, std::string& value) {
  size_t i = begin + 1;
  while (i < s.size()) {
    if (s[i] == close) {
      if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
        value += close;
        i += 2;
        continue;
      }
      return i + 1;
    }
    value += s[i++];
  }
  return s.size();
}

}  // namespace

std::vector<TSqlToken> TokenizeSql(std::string_view s) {
  std::vector<TSqlToken> tokens;
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    TSqlToken t{TSqlTokenKind::Symbol, i, i + 1, {}};
    if (std::isspace(static_cast<unsigned char>(c))) {
      t.Kind = TSqlTokenKind::Space;
      while (t.End < s.size() && std::isspace(static_cast<unsigned char>(s[t.End]))) ++t.End;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      t.Kind = TSqlTokenKind::Space;
      while (t.End < s.size() && s[t.End] != '\n') ++t.End;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      t.Kind = TSqlTokenKind::Space;
      size_t close = s.find("*/", i + 2);
      t.End = close == std::string_view::npos ? s.size() : close + 2;
    } else if (c == '\'') {
      t.Kind = TSqlTokenKind::String;
      t.End = QuotedEnd(s, i, '\'', t.Value);
    } else if (c == '"' || c == '`' || c == '[') {
      t.Kind = TSqlTokenKind::QuotedName;
      t.End = QuotedEnd(s, i, c == '[' ? ']' : c, t.Value);
    } else if (IsWordChar(c)) {
      t.Kind = TSqlTokenKind::Word;
      while (t.End < s.size() && IsWordChar(s[t.End])) ++t.End;
    }
    if (t.Kind != TSqlTokenKind::QuotedName && t.Kind != TSqlTokenKind::String)
      t.Value = std::string(s.substr(t.Begin, t.End - t.Begin));
    i = t.End;
    tokens.push_back(std::move(t));
  }
  return tokens;
}

namespace {

bool IsWord(const TSqlToken* t, std::string_view word) {
  return t && t->Kind == TSqlTokenKind::Word && SameText(t->Value, word);
}

// A table reference from token k on: a quoted name, or words and quoted names joined by dots
// ("OWNER.TABLE", "orders.dbf"). Raw receives the text as written, parts its names; the result
// is the index of the token after it.
size_t ReadReference(std::string_view sql, const std::vector<const TSqlToken*>& t, size_t k,
                     std::string& raw, TSqlNameParts& parts) {
  auto isName = [&](size_t i) {
    return i < t.size() &&
           (t[i]->Kind == TSqlTokenKind::Word || t[i]->Kind == TSqlTokenKind::QuotedName);
  };
  if (!isName(k)) return k;
  const size_t first = k;
  for (;; k += 2) {
    parts.push_back({t[k]->Value, t[k]->Kind == TSqlTokenKind::QuotedName});
    bool dot = k + 2 < t.size() && t[k + 1]->Kind == TSqlTokenKind::Symbol &&
               t[k + 1]->Value == "." && isName(k + 2);
    if (!dot) break;
  }
  raw = std::string(sql.substr(t[first]->Begin, t[k]->End - t[first]->Begin));
  return k + 1;
}

std::string JoinedNames(const TSqlNameParts& parts) {
  std::string joined;
  for (const TSqlNamePart& p : parts) joined += (joined.empty() ? "" : ".") + p.Name;
  return joined;
}

std::vector<const TSqlToken*> Significant(const std::vector<TSqlToken>& all) {
  std::vector<const TSqlToken*> t;
  for (const TSqlToken& token : all)
    if (token.Kind != TSqlTokenKind::Space) t.push_back(&token);
  return t;
}

}  // namespace

TSqlNameParts ReadTableReference(std::string_view text) {
  std::vector<TSqlToken> all = TokenizeSql(text);
  std::vector<const TSqlToken*> t = Significant(all);
  std::string raw;
  TSqlNameParts parts;
  if (ReadReference(text, t, 0, raw, parts) != t.size()) parts.clear();
  return parts;
}

std::string WriteTableReference(TSqlNameDialect dialect, const TSqlNameParts& parts) {
  std::string out;
  for (const TSqlNamePart& p : parts)
    out += (out.empty() ? "" : ".") + (p.Quoted ? QuoteSqlIdentifier(dialect, p.Name) : p.Name);
  return out;
}

TSqlCommand ParseSqlCommand(std::string_view sql) {
  std::vector<TSqlToken> all = TokenizeSql(sql);
  std::vector<const TSqlToken*> t = Significant(all);
  auto at = [&](size_t k) { return k < t.size() ? t[k] : nullptr; };
  TSqlCommand cmd;
  if (IsWord(at(0), "DESCRIBE") || IsWord(at(0), "DESC")) {
    cmd.Kind = TSqlCommandKind::ShowFields;
    ReadReference(sql, t, 1, cmd.RawTable, cmd.TableParts);
  } else if (IsWord(at(0), "SHOW")) {
    size_t k = 1;
    if (IsWord(at(k), "FULL")) ++k;
    if (IsWord(at(k), "FIELDS") || IsWord(at(k), "COLUMNS"))
      cmd.Kind = TSqlCommandKind::ShowFields;
    else if (IsWord(at(k), "INDEX") || IsWord(at(k), "INDEXES") || IsWord(at(k), "KEYS"))
      cmd.Kind = TSqlCommandKind::ShowIndex;
    else if (IsWord(at(k), "TABLES"))
      return {TSqlCommandKind::ShowTables, {}, {}, {}};
    else
      return cmd;
    ++k;
    if (IsWord(at(k), "FROM") || IsWord(at(k), "IN")) ++k;
    ReadReference(sql, t, k, cmd.RawTable, cmd.TableParts);
  }
  cmd.Table = JoinedNames(cmd.TableParts);
  if (cmd.Kind != TSqlCommandKind::Query && cmd.Table.empty())
    throw Exception(TranslateText("Engine", "The command names no table"));
  return cmd;
}

std::string QuoteSqlString(std::string_view s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}

namespace {

// Words after a sort key that are no part of its name.
bool IsSortSuffix(const TSqlToken& t) {
  return t.Kind == TSqlTokenKind::Word &&
         (SameText(t.Value, "ASC") || SameText(t.Value, "DESC") || SameText(t.Value, "COLLATE") ||
          SameText(t.Value, "NULLS"));
}

// The field a sort key names: the one spelled so, else the only one equal without regard to case.
const std::string* SortField(const std::string& key, const std::vector<std::string>& fields) {
  const std::string* found = nullptr;
  int same = 0;
  for (const std::string& f : fields) {
    if (f == key) return &f;
    if (SameText(f, key)) ++same, found = &f;
  }
  return same == 1 ? found : nullptr;
}

struct TSortNaming {
  TSqlNameDialect dialect;
  const std::vector<std::string>& fields;
  const TSqlNameOf& nameOf;
};

// The key of one sort item (tokens [begin, end) of `t`) written anew when it is words only and
// would not read as written (see QuoteSortNames). Appends the item to `out`.
void AppendSortItem(std::string_view sort, const std::vector<TSqlToken>& t, size_t begin,
                    size_t end, const TSortNaming& naming, std::string& out) {
  size_t first = end, last = end, words = 0;
  bool plain = true;
  for (size_t i = begin; i < end; ++i) {
    if (t[i].Kind == TSqlTokenKind::Space) continue;
    if (first != end && IsSortSuffix(t[i])) break;
    if (first == end) first = i;
    last = i;
    plain = plain && t[i].Kind == TSqlTokenKind::Word;
    ++words;
  }
  std::string written;
  if (first != end && plain) {
    const std::string key(sort.substr(t[first].Begin, t[last].End - t[first].Begin));
    const bool bare = words == 1 && !IsSqlReservedWord(key);
    if (const std::string* field = SortField(key, naming.fields)) {
      std::string name = naming.nameOf ? naming.nameOf(*field) : SqlName(naming.dialect, *field);
      if (!bare || name != *field) written = std::move(name);
    } else if (!bare) {
      written = QuoteSqlIdentifier(naming.dialect, key);
    }
  }
  if (written.empty()) {
    if (begin < end) out.append(sort, t[begin].Begin, t[end - 1].End - t[begin].Begin);
    return;
  }
  out.append(sort, t[begin].Begin, t[first].Begin - t[begin].Begin);
  out += written;
  out.append(sort, t[last].End, t[end - 1].End - t[last].End);
}

}  // namespace

std::string QuoteSortNames(std::string_view sort, TSqlNameDialect dialect,
                           const std::vector<std::string>& fields, const TSqlNameOf& nameOf) {
  const TSortNaming naming{dialect, fields, nameOf};
  std::vector<TSqlToken> t = TokenizeSql(sort);
  std::string out;
  size_t begin = 0;
  int depth = 0;
  for (size_t i = 0; i <= t.size(); ++i) {
    if (i < t.size() && t[i].Kind == TSqlTokenKind::Symbol) {
      if (t[i].Value == "(") ++depth;
      if (t[i].Value == ")") --depth;
    }
    if (i < t.size() && !(depth == 0 && t[i].Kind == TSqlTokenKind::Symbol && t[i].Value == ","))
      continue;
    AppendSortItem(sort, t, begin, i, naming, out);
    if (i < t.size()) out += ',';
    begin = i + 1;
  }
  return out;
}

std::string RequoteSqlNames(std::string_view sql, TSqlNameDialect from, TSqlNameDialect to) {
  // MySQL quotes names with backquotes (its double quotes are texts); the others with double
  // quotes, and SQLite also takes [name].
  auto isNameQuote = [](TSqlNameDialect d, char q) {
    return d == TSqlNameDialect::MySQL ? q == '`' : q == '"' || q == '[';
  };
  const char target = to == TSqlNameDialect::MySQL ? '`' : '"';
  std::string out;
  for (const TSqlToken& t : TokenizeSql(sql)) {
    const char q = sql[t.Begin];
    // A name that touches the target quote on either side stays as it is: requoted, the two
    // quotes would read as one doubled quote and join it to its neighbour.
    const bool touches =
        (!out.empty() && out.back() == target) || (t.End < sql.size() && sql[t.End] == target);
    if (t.Kind == TSqlTokenKind::QuotedName && q != target && isNameQuote(from, q) && !touches)
      out += QuoteSqlIdentifier(to, t.Value);
    else
      out.append(sql, t.Begin, t.End - t.Begin);
  }
  return out;
}

bool MatchesTablePattern(std::string_view name, std::string_view pattern) {
  // "*.*" is the classic "every table", names with no extension included.
  if (pattern.empty() || pattern == "*.*") return true;
  // Iterative wildcard match with one backtrack point.
  size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  auto lower = [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || pattern[p] == '_' || lower(pattern[p]) == lower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) ++p;
  return p == pattern.size();
}

}  // namespace morvale
