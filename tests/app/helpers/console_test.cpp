// The console's rules and the file helpers, without a window.
#include "app/helpers/console.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/helpers/files.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

TEST(Console, OnlyReadCommandsAfterTheCommentLines) {
  EXPECT_EQ(CommandKind({"/* note */", "", "  select * from t"}), ckSelect);
  EXPECT_EQ(CommandKind({"SHOW FIELDS", "FROM t"}), ckShow);
  EXPECT_EQ(CommandKind({"DESCRIBE ", "t"}), ckDesc);
  EXPECT_EQ(CommandKind({"desc t"}), ckDesc);
  EXPECT_EQ(CommandKind({"COMMIT", "SELECT * FROM t"}), ckNone);
  EXPECT_EQ(CommandKind({" /* indented */", "SELECT 1"}), ckNone);
  EXPECT_EQ(CommandKind({"/* x */ SELECT 1"}), ckNone);  // the whole line is a comment
  EXPECT_EQ(CommandKind({}), ckNone);
  EXPECT_EQ(CommandKind({"\tSELECT 1"}), ckNone);  // only spaces are trimmed
  TStringList lines{"/* a */", "SELECT 1", " /* b */", "/*"};
  RemoveCommentLines(lines);
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"SELECT 1", " /* b */"}));
}

TEST(Console, SavedNamesComeFromTheClockAndAreNumberedWhenTaken) {
  EXPECT_EQ(SavedQueryName({2008, 4, 30, 14, 30, 5}), "SQL_20080430_143005.txt");
  // Before ten o'clock the number has no leading zero, and is still a time (not -1).
  EXPECT_EQ(SavedQueryName({2026, 12, 9, 9, 5, 3}), "SQL_20261209_90503.txt");
  EXPECT_EQ(SavedQueryName({2026, 1, 1, 0, 0, 7}), "SQL_20260101_7.txt");
  std::string dir = FreshFolder("console_saved");
  TClockStamp now{2008, 4, 30, 14, 30, 5};
  EXPECT_EQ(SaveQueryText(dir, now, {"/* c */", "SELECT 1", ""}), dir + "SQL_20080430_143005.txt");
  EXPECT_EQ(SaveQueryText(dir, now, {"SELECT 2"}), dir + "SQL_20080430_143005-1.txt");
  EXPECT_EQ(ReadFile(dir + "SQL_20080430_143005.txt"), "/* c */\r\nSELECT 1\r\n\r\n");
  EXPECT_THROW(SaveQueryText(dir + "missing/", now, {"SELECT 3"}), Exception);
}

TEST(Files, UniqueNamesProbesFoldersAndSettings) {
  std::string dir = FreshFolder("files_helpers");
  EXPECT_EQ(UniqueFileName(dir + "a.txt"), dir + "a.txt");
  WriteFile(dir + "a.txt", "");
  EXPECT_EQ(UniqueFileName(dir + "a.txt"), dir + "a-1.txt");
  WriteFile(dir + "a-1.txt", "");
  EXPECT_EQ(UniqueFileName(dir + "a.txt"), dir + "a-2.txt");
  EXPECT_FALSE(DriveWritable("  "));
  EXPECT_TRUE(DriveWritable(dir + "not/yet/there/"));  // the nearest existing folder is probed
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);  // no probe left
  ForceFolders(dir + "x/y/z/");
  EXPECT_TRUE(std::filesystem::is_directory(dir + "x/y/z"));
  std::string ini = dir + "Morvale.ini";
  EXPECT_EQ(IniReadInt(ini, "TABLES", "COL_MaxDisplayWidth", 20), 20);
  IniWriteBool(ini, "TABLES", "Yes_COL_MaxDisplayWidth", true);
  IniWriteInt(ini, "TABLES", "COL_MaxDisplayWidth", 1);
  EXPECT_TRUE(IniReadBool(ini, "tables", "yes_col_maxdisplaywidth", false));
  EXPECT_EQ(IniReadInt(ini, "TABLES", "COL_MaxDisplayWidth", 20), 1);
  EXPECT_EQ(WithSlash("a"), "a/");
  EXPECT_EQ(WithSlash("a/"), "a/");
}

}  // namespace
}  // namespace morvale::test
