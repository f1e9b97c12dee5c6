#include "app/engine/sqltext.h"

#include <cctype>

#include "export/core/classes.h"

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
// ("OWNER.TABLE", "orders.dbf"). Raw receives the text as written.
std::string ReadReference(std::string_view sql, const std::vector<const TSqlToken*>& t, size_t k,
                          std::string& raw) {
  std::string ref;
  size_t first = k;
  while (k < t.size() &&
         (t[k]->Kind == TSqlTokenKind::Word || t[k]->Kind == TSqlTokenKind::QuotedName)) {
    ref += t[k]->Value;
    bool dot =
        k + 2 < t.size() && t[k + 1]->Kind == TSqlTokenKind::Symbol && t[k + 1]->Value == "." &&
        (t[k + 2]->Kind == TSqlTokenKind::Word || t[k + 2]->Kind == TSqlTokenKind::QuotedName);
    if (dot) {
      ref += '.';
      k += 2;
    } else {
      break;
    }
  }
  if (k < t.size() && first <= k && !ref.empty())
    raw = std::string(sql.substr(t[first]->Begin, t[k]->End - t[first]->Begin));
  return ref;
}

}  // namespace

TSqlCommand ParseSqlCommand(std::string_view sql) {
  std::vector<TSqlToken> all = TokenizeSql(sql);
  std::vector<const TSqlToken*> t;
  for (const TSqlToken& token : all)
    if (token.Kind != TSqlTokenKind::Space) t.push_back(&token);
  auto at = [&](size_t k) { return k < t.size() ? t[k] : nullptr; };
  TSqlCommand cmd;
  if (IsWord(at(0), "DESCRIBE") || IsWord(at(0), "DESC")) {
    cmd.Kind = TSqlCommandKind::ShowFields;
    cmd.Table = ReadReference(sql, t, 1, cmd.RawTable);
  } else if (IsWord(at(0), "SHOW")) {
    size_t k = 1;
    if (IsWord(at(k), "FULL")) ++k;
    if (IsWord(at(k), "FIELDS") || IsWord(at(k), "COLUMNS"))
      cmd.Kind = TSqlCommandKind::ShowFields;
    else if (IsWord(at(k), "INDEX") || IsWord(at(k), "INDEXES") || IsWord(at(k), "KEYS"))
      cmd.Kind = TSqlCommandKind::ShowIndex;
    else if (IsWord(at(k), "TABLES"))
      return {TSqlCommandKind::ShowTables, {}, {}};
    else
      return cmd;
    ++k;
    if (IsWord(at(k), "FROM") || IsWord(at(k), "IN")) ++k;
    cmd.Table = ReadReference(sql, t, k, cmd.RawTable);
  }
  if (cmd.Kind != TSqlCommandKind::Query && cmd.Table.empty())
    throw Exception("The command names no table");
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

std::string QuoteSqlName(std::string_view s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
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
