// Field-name framing in INSERT scripts.
#include "app/tools/insertframe.h"

#include <gtest/gtest.h>

#include "tests/support/demo.h"

namespace morvale::test {
namespace {

TEST(InsertFrame, FramesTheColumnListAfterEachInsert) {
  TStringList lines{"-- header",
                    "INSERT INTO T",
                    "   (A, B ,C)",
                    "VALUES (1, 2, 3);",
                    "",
                    "\tinsert into U",
                    "",
                    "\t(X,\tY)",
                    "VALUES (4);",
                    "INSERT INTO V (P) VALUES (5);",
                    "(Q, R)",
                    "values (6, 7);"};
  std::vector<std::string> errors;
  std::vector<int> progress;
  int changed = FrameInsertFields(
      lines, " \" ", [&](const std::string& m) { errors.push_back(m); },
      [&](int p) { progress.push_back(p); });
  EXPECT_EQ(changed, 3);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(lines[2], "  (\"A\",\"B\",\"C\")");
  EXPECT_EQ(lines[3], "VALUES (1, 2, 3);");  // the flag is spent on the column list
  // Tabs are blank space around the INSERT and between the names, never part of a name.
  EXPECT_EQ(lines[7], "  (\"X\",\"Y\")");
  // A one-line INSERT is left alone; the flag waits for the next line, which gets framed.
  EXPECT_EQ(lines[9], "INSERT INTO V (P) VALUES (5);");
  EXPECT_EQ(lines[10], "  (\"Q\",\"R\")");
  EXPECT_EQ(progress.size(), 12u);
  EXPECT_EQ(progress.back(), 100);

  // Framed names are split on the frame characters: a second run changes nothing.
  TStringList again = lines;
  FrameInsertFields(again, "\"");
  EXPECT_EQ(again, lines);
}

TEST(InsertFrame, FrameTextsAndErrors) {
  TStringList plain{"INSERT INTO T", "(A, B ,C)"};
  FrameInsertFields(plain, "   ");
  EXPECT_EQ(plain[1], "  (A,B,C)");
  TStringList brackets{"INSERT INTO T", "(A,B)"};
  FrameInsertFields(brackets, "``");
  EXPECT_EQ(brackets[1], "  (``A``,``B``)");

  TStringList empty{"", "INSERT INTO T", "  ()  ", "INSERT INTO U", ",,"};
  std::vector<std::string> errors;
  EXPECT_EQ(FrameInsertFields(empty, "\"", [&](const std::string& m) { errors.push_back(m); }), 0);
  EXPECT_EQ(errors, (std::vector<std::string>{"Err. Строка N 2 ()", "Err. Строка N 4 ,,"}));
  EXPECT_EQ(empty[2], "  ()  ");

  TStringList last{"INSERT INTO T VALUES (1);", "  ", "INSERT INTO T"};
  TStringList before = last;
  FrameInsertFields(last, "\"");
  EXPECT_EQ(last, before);
  std::vector<int> one;
  TStringList single{"x"};
  FrameInsertFields(single, "\"", {}, [&](int p) { one.push_back(p); });
  EXPECT_EQ(one, std::vector<int>{100});
}

TEST(InsertFrame, ScriptFilesRoundTripWithCrLf) {
  std::string dir = FreshFolder("frame");
  WriteFile(dir + "s.sql", "INSERT INTO T\n  (A,B)\r\nVALUES (1,2);\n\n");
  TStringList lines = LoadScriptLines(dir + "s.sql");
  EXPECT_EQ(lines, (TStringList{"INSERT INTO T", "  (A,B)", "VALUES (1,2);", ""}));
  FrameInsertFields(lines, "\"");
  SaveScriptLines(dir + "s.sql", lines);
  EXPECT_EQ(ReadFile(dir + "s.sql"), "INSERT INTO T\r\n  (\"A\",\"B\")\r\nVALUES (1,2);\r\n\r\n");
  EXPECT_THROW(LoadScriptLines(dir + "missing.sql"), Exception);
  EXPECT_THROW(SaveScriptLines(dir + "no/such.sql", lines), Exception);
}

}  // namespace
}  // namespace morvale::test
