// Names in the SQL text the program writes: bare where each dialect reads them back as written,
// quoted (with the quote doubled inside) where it would not.
#include "export/core/sqlnames.h"

#include <gtest/gtest.h>

namespace morvale {
namespace {

constexpr auto kStd = TSqlNameDialect::Standard;
constexpr auto kPg = TSqlNameDialect::PostgreSQL;
constexpr auto kMy = TSqlNameDialect::MySQL;

TEST(SqlNames, PlainNamesStayBareAndAwkwardOnesAreQuotedPerDialect) {
  struct Case {
    const char* name;
    const char *standard, *postgres, *mysql;
  };
  const Case cases[] = {
      {"customers", "customers", "customers", "customers"},
      {"ID", "ID", "\"ID\"", "ID"},
      {"Orders", "Orders", "\"Orders\"", "Orders"},
      {"order_items2", "order_items2", "order_items2", "order_items2"},
      {"my table", "\"my table\"", "\"my table\"", "`my table`"},
      {"it's", "\"it's\"", "\"it's\"", "`it's`"},
      {"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\"", "`say \"hi\"`"},
      {"back`tick", "\"back`tick\"", "\"back`tick\"", "`back``tick`"},
      {"Order", "\"Order\"", "\"Order\"", "`Order`"},
      {"group", "\"group\"", "\"group\"", "`group`"},
      {"Select", "\"Select\"", "\"Select\"", "`Select`"},
      {"Клиенты", "\"Клиенты\"", "\"Клиенты\"", "`Клиенты`"},
      {"2nd", "\"2nd\"", "\"2nd\"", "`2nd`"},
      {"", "\"\"", "\"\"", "``"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SqlName(kStd, c.name), c.standard);
    EXPECT_EQ(SqlName(kPg, c.name), c.postgres);
    EXPECT_EQ(SqlName(kMy, c.name), c.mysql);
  }
}

TEST(SqlNames, ReservedWordsOfEveryDialectWithoutRegardToCase) {
  for (const char* w : {"select", "FROM", "Where", "key", "limit", "offset", "user", "Table"})
    EXPECT_TRUE(IsSqlReservedWord(w)) << w;
  for (const char* w : {"name", "date", "time", "text", "amount", "id", "", "SELECTED"})
    EXPECT_FALSE(IsSqlReservedWord(w)) << w;
  EXPECT_EQ(QuoteSqlIdentifier(kStd, "plain"), "\"plain\"");
  EXPECT_EQ(QuoteSqlIdentifier(kMy, "plain"), "`plain`");
}

}  // namespace
}  // namespace morvale
