// File names from patterns: the fields filled in, the table's name made fit for a file name, and
// mistakes in a pattern reported with the fields there are.
#include "export/core/namepattern.h"

#include <gtest/gtest.h>

#include "export/core/classes.h"

namespace morvale {
namespace {

TFileNameFields Fields(const std::string& table, int number = 1, int count = 1) {
  TFileNameFields f;
  f.Table = table;
  f.Type = "xlsx";
  f.Stamp = ExportStampAt("1700000000", 0);  // 2023-11-14 22:13:20 UTC
  f.Number = number;
  f.Count = count;
  return f;
}

TEST(FileNamePattern, FieldsAreFilledInAndTheRestKept) {
  EXPECT_EQ(ExpandFileNamePattern("/out/${table}_${date}.${type}", Fields("Клиенты")),
            "/out/Клиенты_2023-11-14.xlsx");
  EXPECT_EQ(ExpandFileNamePattern("${time}-${timestamp}", Fields("t")), "221320-20231114-221320");
  EXPECT_EQ(ExpandFileNamePattern("plain $name {x}.csv", Fields("t")), "plain $name {x}.csv");
  // A query names no table: the main window's word for it.
  EXPECT_EQ(ExpandFileNamePattern("${table}.csv", Fields("")), "Unknown.csv");
}

TEST(FileNamePattern, NumbersArePaddedToTheLastOfTheRun) {
  EXPECT_EQ(ExpandFileNamePattern("${n}", Fields("t", 3, 9)), "3");
  EXPECT_EQ(ExpandFileNamePattern("${n}", Fields("t", 3, 12)), "03");
  EXPECT_EQ(ExpandFileNamePattern("${n}", Fields("t", 12, 12)), "12");
  EXPECT_EQ(ExpandFileNamePattern("${n}", Fields("t", 7, 100)), "007");
}

TEST(FileNamePattern, MistakesNameTheFieldAndListTheKnownOnes) {
  try {
    ExpandFileNamePattern("${table}${Date}.csv", Fields("t"));
    ADD_FAILURE() << "a field of the wrong case was taken";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("${Date}"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("${timestamp}"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ExpandFileNamePattern("out_${table", Fields("t")), Exception);
  EXPECT_TRUE(IsFileNamePattern("a${b}"));
  EXPECT_FALSE(IsFileNamePattern("a$b{c}"));
  EXPECT_TRUE(PatternNamesEachTable("x_${n}"));
  EXPECT_FALSE(PatternNamesEachTable("x_${date}.${type}"));
}

TEST(FileNamePattern, TableNamesStayInTheirFolder) {
  EXPECT_EQ(SafeFileNamePart("say \"hi\"; it's"), "say \"hi\"; it's");
  EXPECT_EQ(SafeFileNamePart("public/orders"), "public_orders");
  EXPECT_EQ(SafeFileNamePart(".."), "_");
  EXPECT_EQ(SafeFileNamePart(std::string("a\nb\0c", 5)), "a_b_c");
  EXPECT_EQ(ExpandFileNamePattern("/out/${table}.csv", Fields("../../etc/passwd")),
            "/out/.._.._etc_passwd.csv");
  // A long Cyrillic name is cut whole characters at a time, within 200 bytes.
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += "Ж";
  const std::string cut = SafeFileNamePart(longName);
  EXPECT_EQ(cut.size(), 200u);
  EXPECT_EQ(cut, longName.substr(0, 200));
}

}  // namespace
}  // namespace morvale
