// One input of the console fuzzer: the bytes are the text of the SQL console. Its lines are
// classified as the console does before a run, the text that goes on is read by the engine's
// reader of SHOW and DESCRIBE, and its tokens are checked. Beside crashes and hangs it looks
// for a classification that depends on anything but the first line that counts, tokens that do
// not cover the text, and a quoted name or text that does not read back as itself.
#pragma once

#include <string>

#include "app/engine/sqltext.h"
#include "app/helpers/console.h"
#include "app/helpers/helpers.h"
#include "tests/support/fuzz.h"

namespace morvale::test {

inline std::string RunConsoleFuzzInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TFuzzCheck check;
  TStringList lines;
  lines.SetText(text);
  TCommandKind kind = CommandKind(lines);
  TStringList kept = lines;
  RemoveCommentLines(kept);
  for (const std::string& line : kept.Lines())
    check.Expect(!IsCommentLine(line), "no comment line is left", line);
  int first = FirstNonBlankLine(kept);
  // Only the first line that counts decides, and a comment line added before it changes nothing.
  check.Expect(first >= 0 || kind == ckNone, "an empty text is no command");
  if (first >= 0) {
    check.Expect(CommandKind({kept[first]}) == kind, "the first line that counts decides",
                 kept[first]);
    TStringList commented = lines;
    commented.Insert(0, "/* " + kept[first] + " */");
    check.Expect(CommandKind(commented) == kind, "a comment line changes nothing");
    std::string head = UpperText(TrimSpaces(kept[first]));
    check.Expect(kind != ckSelect || head.starts_with("SELECT"), "a query begins with SELECT",
                 head);
  }
  // The engine reads what the console lets through; a read command names a table.
  std::vector<TSqlToken> tokens = TokenizeSql(text);
  size_t at = 0;
  for (const TSqlToken& t : tokens) {
    check.Expect(t.Begin == at && t.End > t.Begin && t.End <= text.size(),
                 "the tokens cover the text, each in turn");
    at = t.End;
  }
  check.Expect(at == text.size(), "the tokens reach the end of the text");
  try {
    TSqlCommand cmd = ParseSqlCommand(text);
    if (cmd.Kind != TSqlCommandKind::Query) {
      check.Expect(!cmd.Table.empty(), "a read command names its table");
      check.Expect(text.find(cmd.RawTable) != std::string_view::npos,
                   "the table is named as written", cmd.RawTable);
    }
  } catch (const Exception&) {
  }
  // Names requoted for MySQL leave every token in its place and kind; a sort text stays one text.
  auto kinds = [](std::string_view sql) {
    std::vector<TSqlTokenKind> k;
    for (const TSqlToken& t : TokenizeSql(sql)) k.push_back(t.Kind);
    return k;
  };
  const std::string requoted =
      RequoteSqlNames(text, TSqlNameDialect::Standard, TSqlNameDialect::MySQL);
  check.Expect(kinds(requoted) == kinds(text), "requoting keeps the tokens", requoted);
  (void)QuoteSortNames(text.substr(0, std::min<size_t>(size, 256)), TSqlNameDialect::PostgreSQL);
  // A name or text quoted by the engine is one token that gives it back.
  for (std::string_view part : {text.substr(0, size / 2), text.substr(size / 2)}) {
    for (TSqlNameDialect d : {TSqlNameDialect::Standard, TSqlNameDialect::MySQL}) {
      std::string name = QuoteSqlIdentifier(d, part);
      std::vector<TSqlToken> n = TokenizeSql(name);
      check.Expect(n.size() == 1 && n[0].Kind == TSqlTokenKind::QuotedName && n[0].Value == part,
                   "a quoted name reads back", name);
      check.Expect(ReadTableReference(name) == TSqlNameParts{{std::string(part), true}},
                   "a quoted name is one table reference", name);
    }
    std::string value = QuoteSqlString(part);
    std::vector<TSqlToken> v = TokenizeSql(value);
    check.Expect(v.size() == 1 && v[0].Kind == TSqlTokenKind::String && v[0].Value == part,
                 "a quoted text reads back", value);
    (void)MatchesTablePattern(part, text.substr(0, std::min<size_t>(size, 64)));
  }
  return check.failure;
}

}  // namespace morvale::test
