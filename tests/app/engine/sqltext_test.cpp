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

// A table reference keeps which of its names were quoted: a server folds the case of the others.
TEST(SqlText, TableReferencesKeepTheirQuotedParts) {
  using P = TSqlNameParts;
  EXPECT_EQ(ReadTableReference("orders"), (P{{"orders", false}}));
  EXPECT_EQ(ReadTableReference("  \"my table\" "), (P{{"my table", true}}));
  EXPECT_EQ(ReadTableReference("sales.\"Orders\""), (P{{"sales", false}, {"Orders", true}}));
  EXPECT_EQ(ReadTableReference("`a.b`.[c d]"), (P{{"a.b", true}, {"c d", true}}));
  for (const char* notOne : {"", "my table", "orders WHERE 1", "a.", "'orders'", "a;b"})
    EXPECT_TRUE(ReadTableReference(notOne).empty()) << notOne;

  const P parts{{"sales", false}, {"say \"hi\"", true}};
  EXPECT_EQ(WriteTableReference(TSqlNameDialect::PostgreSQL, parts), "sales.\"say \"\"hi\"\"\"");
  EXPECT_EQ(WriteTableReference(TSqlNameDialect::MySQL, parts), "sales.`say \"hi\"`");

  TSqlCommand cmd = ParseSqlCommand("SHOW FIELDS FROM \"my db\".\"a.b\"");
  EXPECT_EQ(cmd.Table, "my db.a.b");
  EXPECT_EQ(cmd.TableParts, (P{{"my db", true}, {"a.b", true}}));
  EXPECT_EQ(ParseSqlCommand("DESCRIBE `Order`").TableParts, (P{{"Order", true}}));
}

// The sort text is used as written, except for a key that only works quoted.
TEST(SqlText, SortKeysThatAreNamesOnlyQuotedGetQuotes) {
  struct Case {
    const char *sort, *standard, *mysql;
  };
  const Case cases[] = {
      {"NAME, ID", "NAME, ID", "NAME, ID"},
      {"name DESC,id asc", "name DESC,id asc", "name DESC,id asc"},
      {"Order Date", "\"Order Date\"", "`Order Date`"},
      {"Order Date DESC, Group", "\"Order Date\" DESC, \"Group\"", "`Order Date` DESC, `Group`"},
      {"Дата заказа, Имя", "\"Дата заказа\", Имя", "`Дата заказа`, Имя"},
      {"\"Order\" DESC", "\"Order\" DESC", "\"Order\" DESC"},
      {"name COLLATE NOCASE", "name COLLATE NOCASE", "name COLLATE NOCASE"},
      {"lower(name), 2", "lower(name), 2", "lower(name), 2"},
      {"coalesce(a, b) DESC, it's", "coalesce(a, b) DESC, it's", "coalesce(a, b) DESC, it's"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sort);
    EXPECT_EQ(QuoteSortNames(c.sort, TSqlNameDialect::Standard), c.standard);
    EXPECT_EQ(QuoteSortNames(c.sort, TSqlNameDialect::MySQL), c.mysql);
  }
  // With the table's fields known: a key that would not read as its field is written as the
  // field's name; one that does (NAME for name, folded by PostgreSQL) stays as typed.
  const std::vector<std::string> fields = {"name", "Total", "Customer Name", "Order", "Имя"};
  const auto pg = TSqlNameDialect::PostgreSQL;
  EXPECT_EQ(QuoteSortNames("NAME, Total DESC, customer name, order, Имя", pg, fields),
            "NAME, \"Total\" DESC, \"Customer Name\", \"Order\", \"Имя\"");
  EXPECT_EQ(QuoteSortNames("total,name", TSqlNameDialect::Standard, fields), "total,name");
  EXPECT_EQ(QuoteSortNames("total", pg, fields, [](const std::string& f) { return "<" + f + ">"; }),
            "<Total>");
}

TEST(SqlText, NamesRequotedForMySQL) {
  const char* sql =
      "SELECT \"it's\", [a b], `c`, 'say \"x\"' -- \"comment\"\nFROM \"my table\" AS \"t\"\"q\"";
  EXPECT_EQ(RequoteSqlNames(sql, TSqlNameDialect::Standard, TSqlNameDialect::MySQL),
            "SELECT `it's`, `a b`, `c`, 'say \"x\"' -- \"comment\"\nFROM `my table` AS `t\"q`");
  EXPECT_EQ(RequoteSqlNames(sql, TSqlNameDialect::MySQL, TSqlNameDialect::MySQL), sql);
  // Requoted beside a backquote, a name would join it: `a``b` is one name.
  EXPECT_EQ(RequoteSqlNames("`a`\"b\" \"c\"`", TSqlNameDialect::Standard, TSqlNameDialect::MySQL),
            "`a`\"b\" \"c\"`");
}

}  // namespace
}  // namespace morvale
