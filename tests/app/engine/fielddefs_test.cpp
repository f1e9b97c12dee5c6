#include "app/engine/fielddefs.h"

#include <gtest/gtest.h>

namespace morvale {
namespace {

TEST(FieldDefs, DeclaredSqliteTypesMapToFieldTypes) {
  struct Case {
    const char* decl;
    TFieldType type;
    int size, dataSize, displayWidth;
  };
  const Case cases[] = {
      {"INTEGER", ftLargeint, 0, 8, 15},
      {"int", ftLargeint, 0, 8, 15},
      {"BIGINT", ftLargeint, 0, 8, 15},
      {"unsigned big int", ftLargeint, 0, 8, 15},
      {"SMALLINT", ftSmallint, 0, 2, 6},
      {"TINYINT", ftSmallint, 0, 2, 6},
      {"MEDIUMINT", ftInteger, 0, 4, 11},
      {"REAL", ftFloat, 0, 8, 10},
      {"FLOAT", ftFloat, 0, 8, 10},
      {"double  precision", ftFloat, 0, 8, 10},
      {"NUMERIC", ftFloat, 0, 8, 10},
      {"NUMERIC(10,2)", ftBCD, 2, 34, 12},
      {"decimal(8)", ftBCD, 0, 34, 10},
      {"MONEY", ftCurrency, 0, 8, 10},
      {"CURRENCY", ftCurrency, 0, 8, 10},
      {"DATE", ftDate, 0, 4, 10},
      {"TIME", ftTime, 0, 4, 10},
      {"DATETIME", ftDateTime, 0, 8, 19},
      {"TIMESTAMP", ftDateTime, 0, 8, 19},
      {"timestamp with time zone", ftDateTime, 0, 8, 19},
      {"BOOLEAN", ftBoolean, 0, 2, 5},
      {"bool", ftBoolean, 0, 2, 5},
      {"CHAR(5)", ftString, 5, 6, 5},
      {"VARCHAR(40)", ftString, 40, 41, 40},
      {"VARCHAR", ftString, 255, 256, 64},
      {"NVARCHAR(12)", ftString, 12, 13, 12},
      {"character varying(3)", ftString, 3, 4, 3},
      {"TEXT", ftString, 255, 256, 64},
      {"MEMO", ftMemo, 0, 0, 10},
      {"CLOB", ftMemo, 0, 0, 10},
      {"BLOB", ftBlob, 0, 0, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.decl);
    TFieldDef def;
    def.Name = "F";
    ASSERT_TRUE(FieldDefFromDeclaredType(c.decl, def));
    EXPECT_EQ(def.Name, "F");
    EXPECT_EQ(def.DataType, c.type);
    EXPECT_EQ(def.Size, c.size);
    EXPECT_EQ(def.DataSize, c.dataSize);
    EXPECT_EQ(def.DisplayWidth, c.displayWidth);
    // A string whose type sets no length is unbounded: its 255 is only a default.
    EXPECT_EQ(def.Unbounded, c.type == ftString && !std::string_view(c.decl).ends_with(")"));
  }
  // Names that say nothing about the values leave the type to the values themselves.
  for (const char* decl : {"", "JSON", "POINT", "UUID"}) {
    TFieldDef def;
    EXPECT_FALSE(FieldDefFromDeclaredType(decl, def)) << decl;
  }
}

TEST(FieldDefs, ParseDeclaredTypeReadsNameAndArguments) {
  TDeclaredType t = ParseDeclaredType("  numeric ( 12 , 3 )");
  EXPECT_EQ(t.Name, "NUMERIC");
  EXPECT_EQ(t.Args[0], 12);
  EXPECT_EQ(t.Args[1], 3);
  t = ParseDeclaredType("varchar");
  EXPECT_EQ(t.Name, "VARCHAR");
  EXPECT_EQ(t.Args[0], -1);
  EXPECT_EQ(t.Args[1], -1);
  // Absurd sizes do not overflow.
  t = ParseDeclaredType("CHAR(99999999999999999999)");
  EXPECT_GT(t.Args[0], 0);
}

}  // namespace
}  // namespace morvale
