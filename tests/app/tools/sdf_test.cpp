// The SDF file: every field of every record quoted, and the file replaced only when complete.
#include "app/tools/sdf.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/memsources.h"

namespace morvale::test {
namespace {

// A dataset that fails when it reaches a given record, as a dropped connection would.
class TFailingDataSet : public TMemDataSet {
 public:
  int failAt = -1;
  void Next() override {
    TMemDataSet::Next();
    if (RecNo() == failAt) throw Exception("connection lost");
  }
};

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

TEST(SDF, Lines) {
  TFailingDataSet ds;
  ds.AddField("ID", ftInteger);
  ds.AddField("NAME", ftString, 20);
  ds.AddField("NOTE", ftMemo);
  ds.AddRow({"5", "say \"hi\"", "two\r\nlines"});
  ds.AddRow({"6", std::nullopt, "  padded  "});
  ds.Open();
  int progress = 0;
  TMemoryStream ms;
  WriteSDF(ds, ms, [&] { ++progress; });
  // Every field, memo included; NULL as two quotes; nothing trimmed; line breaks kept.
  EXPECT_EQ(ms.Data(),
            "\"ID\",\"NAME\",\"NOTE\"\r\n"
            "\"5\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
            "\"6\",\"\",\"  padded  \"\r\n");
  EXPECT_EQ(progress, 2);
  EXPECT_TRUE(ds.Eof());

  TMemDataSet empty;
  empty.AddField("A", ftString, 1);
  empty.Open();
  TMemoryStream one;
  WriteSDF(empty, one);
  EXPECT_EQ(one.Data(), "\"A\"\r\n");

  empty.Close();
  EXPECT_THROW(WriteSDF(empty, one), Exception);
}

TEST(SDF, FileIsReplacedOnlyWhenComplete) {
  std::string path = testing::TempDir() + "morvale_sdf_test.txt";
  {
    std::ofstream f(path);
    f << "old";
  }
  TFailingDataSet ds;
  ds.AddField("N", ftInteger);
  for (int i = 0; i < 5; ++i) ds.AddRow({std::to_string(i)});
  ds.Open();
  ds.failAt = 3;
  try {
    SaveSDF(ds, path);
    FAIL() << "the engine error was swallowed";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "connection lost");
  }
  EXPECT_EQ(Slurp(path), "old");
  for (const auto& entry : std::filesystem::directory_iterator(testing::TempDir()))
    EXPECT_EQ(entry.path().string().find("morvale_sdf_test.txt.~"), std::string::npos);

  ds.failAt = -1;
  SaveSDF(ds, path);
  EXPECT_EQ(Slurp(path), "\"N\"\r\n\"0\"\r\n\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace morvale::test
