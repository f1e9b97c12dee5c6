// What the row and structure viewers show.
#include "app/tools/views.h"

#include <gtest/gtest.h>

#include "tests/support/memsources.h"

namespace morvale::test {
namespace {

TEST(Views, RowViewListsNullAndEmptyValues) {
  TMemDataSet ds;
  ds.AddField("ID", ftInteger).DataSize = 4;
  ds.AddField("NAME", ftString, 30);
  ds.AddField("CITY", ftString, 20);
  ds.AddField("NOTES", ftMemo);
  ds.AddField("PHOTO", ftBlob);
  ds.AddField("name", ftString, 5);  // a second field of a name replaces the first's line
  ds.AddRow({"1", std::nullopt, "", "memo text", "bytes", "Ж"});
  ds.AddRow({"2", "x", "y", "", "", "z"});
  ds.Open();
  EXPECT_EQ(RowViewLines(ds), (TStringList{"ID=1", "name=Ж", "CITY= "}));
  ds.Next();
  EXPECT_EQ(RowViewLines(ds), (TStringList{"ID=2", "name=z", "CITY=y"}));

  TMemDataSet memos;
  memos.AddField("A", ftMemo);
  memos.AddField("B", ftGraphic);
  memos.AddRow({"a", "b"});
  memos.Open();
  EXPECT_EQ(RowViewLines(memos).Count(), 0);
}

TEST(Views, StructureSizesAndTypeNames) {
  TMemDataSet ds;
  ds.AddField(" NAME ", ftString, 30).DataSize = 31;
  ds.AddField("QTY", ftInteger).DataSize = 4;
  ds.AddField("NOTES", ftMemo).DataSize = 8;
  ds.AddField("SERIAL", ftLargeint).DataSize = 8;
  ds.Open();
  EXPECT_EQ(StructureRows(ds), (std::vector<TStructureRow>{{"NAME", "String", "30"},
                                                           {"QTY", "Integer", "4"},
                                                           {"NOTES", "Memo", "8"},
                                                           {"SERIAL", "LargeInt", "8"}}));
  EXPECT_STREQ(FieldTypeDisplayName(ftUnknown), "Unknown");
  EXPECT_STREQ(FieldTypeDisplayName(ftFixedChar), "FixedChar");
  EXPECT_STREQ(FieldTypeDisplayName(ftGuid), "Guid");
  EXPECT_STREQ(FieldTypeDisplayName(static_cast<TFieldType>(99)), "Unknown");
}

TEST(Views, ColumnFitting) {
  EXPECT_EQ(FitColumnChars({"Поле", "ID"}), 5);  // characters, not UTF-8 bytes
  EXPECT_EQ(FitColumnChars({"", ""}), 2);
  EXPECT_EQ(FitColumnChars({std::string(150, 'x')}), 101);
  EXPECT_EQ(FitColumnWidth(400, 1000), 400);
  EXPECT_EQ(FitColumnWidth(501, 1001), 750);  // past half the screen: three quarters of it
}

}  // namespace
}  // namespace morvale::test
