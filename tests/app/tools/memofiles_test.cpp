// The memo column to text files: names with and without an identifying field, values that would
// leave the export folder, blank memos and the refusals.
#include "app/tools/memofiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "tests/support/demo.h"
#include "tests/support/memsources.h"

namespace morvale::test {
namespace {

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    names.insert(std::filesystem::relative(e.path(), dir).string());
  return names;
}

void Customers(TMemDataSet& ds) {
  ds.AddField("ID", ftString, 10);
  ds.AddField("NOTES", ftMemo);
  ds.AddRow({"17", "first\nline two"});
  ds.AddRow({"18", "   \n\n  "});  // only spaces and empty lines: no file
  ds.AddRow({"19", "third"});
  ds.AddRow({"  ", "fourth"});
  ds.AddRow({std::nullopt, "fifth"});
  ds.Open();
}

TEST(MemoFiles, NumberedWithoutIdentifyingField) {
  std::string dir = FreshFolder("memo");
  TMemDataSet ds;
  Customers(ds);
  std::vector<int> progress;
  TMemoExportResult r =
      ExportMemoFiles(ds, {dir, "CUSTOMER", " notes ", ""}, [&](int p) { progress.push_back(p); });
  EXPECT_EQ(r.BaseName, dir + "CUSTOMER_NOTES-");
  EXPECT_EQ(r.Records, 5);
  EXPECT_EQ(r.Files, 4);
  EXPECT_EQ(FilesIn(dir), (std::set<std::string>{"CUSTOMER_NOTES-1.txt", "CUSTOMER_NOTES-3.txt",
                                                 "CUSTOMER_NOTES-4.txt", "CUSTOMER_NOTES-5.txt"}));
  EXPECT_EQ(ReadFile(dir + "CUSTOMER_NOTES-1.txt"), "first\r\nline two\r\n");
  EXPECT_EQ(progress, (std::vector<int>{20, 40, 60, 80, 100}));
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(MemoFieldName(" notes "), "NOTES");
  EXPECT_EQ(MemoFieldName("заметки"), "ЗАМЕТКИ");
}

TEST(MemoFiles, NamedByIdentifyingField) {
  std::string dir = FreshFolder("memo");
  TMemDataSet ds;
  Customers(ds);
  TMemoExportResult r = ExportMemoFiles(ds, {dir, "", "NOTES", "id"});
  // No table selected: Unknown_; an empty identifying value: ~_ and the record number.
  EXPECT_EQ(r.BaseName, dir + "Unknown_NOTES-");
  EXPECT_EQ(FilesIn(dir),
            (std::set<std::string>{"Unknown_NOTES-17.txt", "Unknown_NOTES-19.txt",
                                   "Unknown_NOTES-~_4.txt", "Unknown_NOTES-~_5.txt"}));
}

TEST(MemoFiles, ValuesNeverLeaveTheExportFolder) {
  std::string root = FreshFolder("memo");
  std::string dir = root + "mvl_Export/";
  std::filesystem::create_directories(dir);
  TMemDataSet ds;
  ds.AddField("ID", ftString, 40);
  ds.AddField("NOTES", ftMemo);
  ds.AddRow({"../../.bashrc", "one"});
  ds.AddRow({"/tmp/x", "two"});
  ds.AddRow({"a\\b:c*d?e|f g", "three"});
  ds.AddRow({"..", "four"});
  ds.Open();
  ExportMemoFiles(ds, {dir, "../up/T", "NOTES", "ID"});
  // Everything stays in the folder, nothing beside or above it.
  EXPECT_EQ(FilesIn(root),
            (std::set<std::string>{"mvl_Export", "mvl_Export/.._up_T_NOTES-.._.._.bashrc.txt",
                                   "mvl_Export/.._up_T_NOTES-_tmp_x.txt",
                                   "mvl_Export/.._up_T_NOTES-a_b_c_d_e_f_g.txt",
                                   "mvl_Export/.._up_T_NOTES-...txt"}));
  EXPECT_EQ(ReadFile(dir + ".._up_T_NOTES-_tmp_x.txt"), "two\r\n");
}

TEST(MemoFiles, Refusals) {
  TMemDataSet ds;
  Customers(ds);
  auto message = [&](const TMemoExport& job) {
    try {
      ExportMemoFiles(ds, job);
    } catch (const Exception& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  std::string dir = FreshFolder("memo");
  EXPECT_EQ(message({dir, "T", "  ", ""}), "MEMO-поле указано некорректно ...");
  EXPECT_EQ(message({dir, "T", "ID", ""}), "MEMO-поле указано некорректно ...");
  EXPECT_EQ(message({dir, "T", "REMARKS", ""}), "Field 'REMARKS' not found");
  EXPECT_EQ(message({dir, "T", "NOTES", "KEY"}), "Field 'KEY' not found");
  EXPECT_TRUE(FilesIn(dir).empty());
  // A file that cannot be created ends the run with the system's message.
  std::string missing = dir + "no/such/folder/";
  EXPECT_NE(message({missing, "T", "NOTES", ""}).find("no/such/folder"), std::string::npos);
}

}  // namespace
}  // namespace morvale::test
