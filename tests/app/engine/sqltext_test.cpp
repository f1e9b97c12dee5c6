#include "app/engine/sqltext.h"

#include <gtest/gtest.h>

#include "export/core/classes.h"

namespace morvale {
namespace {

TEST(SqlText, TokensKeepQuotesCommentsAndStringsApart) {
  auto t = TokenizeSql("SELECT \"a \"\"b\"\" c\", 'it''s' -- \"no\"\n FROM [x y].`z` /* 'q' */");
  std::vector<std::pair<TSqlTokenKind, std::string>> got;
  for (const auto& k : t)
    if (k.Kind != TSqlTokenKind::Space) got.emplace_back(k.Kind, k.Value);
  using K = TSqlTokenKind;
  std::vector<std::pair<TSqlTokenKind, std::string>> want = {
      {K::Word, "SELECT"}, {K::QuotedName, "a \"b\" c"}, {K::Symbol, ","}, {K::String, "it's"},
      {K::Word, "FROM"},   {K::QuotedName, "x y"},       {K::Symbol, "."}, {K::QuotedName, "z"}};
  EXPECT_EQ(got, want);
  // Token ranges cover the text exactly, so a rewrite can copy what it does not change.
  std::string rebuilt;
  std::string sql = "select 'unterminated";
  for (const auto& k : TokenizeSql(sql)) rebuilt += sql.substr(k.Begin, k.End - k.Begin);
  EXPECT_EQ(rebuilt, sql);
}

TEST(SqlText, ShowAndDescribeCommandsAreRecognised) {
  struct Case {
    const char* sql;
    TSqlCommandKind kind;
    const char* table;
    const char* raw;
  };
  using K = TSqlCommandKind;
  const Case cases[] = {
      {"SHOW FIELDS\nFROM CUSTOMER", K::ShowFields, "CUSTOMER", "CUSTOMER"},
      {"show columns in sales.orders", K::ShowFields, "sales.orders", "sales.orders"},
      {"SHOW FULL FIELDS FROM t", K::ShowFields, "t", "t"},
      {"SHOW INDEX\nFROM \"/data/DIR/orders.dbf\"", K::ShowIndex, "/data/DIR/orders.dbf",
       "\"/data/DIR/orders.dbf\""},
      {"SHOW KEYS FROM \"My Table\"", K::ShowIndex, "My Table", "\"My Table\""},
      {"DESCRIBE \nCUSTOMER", K::ShowFields, "CUSTOMER", "CUSTOMER"},
      {"  desc orders.dbf", K::ShowFields, "orders.dbf", "orders.dbf"},
      {"/* c */ SHOW TABLES", K::ShowTables, "", ""},
      {"SELECT * FROM t", K::Query, "", ""},
      {"SHOW search_path", K::Query, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    TSqlCommand cmd = ParseSqlCommand(c.sql);
    EXPECT_EQ(cmd.Kind, c.kind);
    EXPECT_EQ(cmd.Table, c.table);
    EXPECT_EQ(cmd.RawTable, c.raw);
  }
  EXPECT_THROW(ParseSqlCommand("DESCRIBE "), Exception);
  EXPECT_THROW(ParseSqlCommand("SHOW INDEX FROM"), Exception);
}

TEST(SqlText, QuotingAndTablePatterns) {
  EXPECT_EQ(QuoteSqlString("O'Neil"), "'O''Neil'");
  EXPECT_EQ(QuoteSqlName("a\"b"), "\"a\"\"b\"");
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"orders", "*.*", true},          {"orders.dbf", "*.*", true},
      {"SYSDBA.EMP", "SYSDBA.%", true}, {"sysdba.emp", "SYSDBA.%", true},
      {"OTHER.EMP", "SYSDBA.%", false}, {"emp", "SYSDBA.%", false},
      {"order_items", "ord*", true},    {"orders", "ord?rs", true},
      {"orders", "ord?", false},        {"anything", "", true},
      {"abcabd", "*abd", true},         {"abc", "a*c*d", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchesTablePattern(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
}

}  // namespace
}  // namespace morvale
