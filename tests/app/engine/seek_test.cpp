// Far moves in a long result go through the driver's skip: the rows reached are the rows a walk
// reaches, before and after the skip, in sorted and unsorted results, and past the end.
#include <gtest/gtest.h>

#include "app/engine/cursordataset.h"
#include "app/engine/sqlitecursor.h"
#include "app/engine/sqlitedb.h"

namespace morvale {
namespace {

class SeekTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = TSqliteDatabase::OpenMemory();
    db_->Exec(
        "CREATE TABLE t (id INTEGER, k INTEGER);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
        " INSERT INTO t SELECT i, (i * 7919) % 20000 FROM n;");
  }
  std::unique_ptr<TCursorDataSet> Open(const std::string& sql) {
    auto ds = std::make_unique<TCursorDataSet>();
    ds->OpenCursor(std::make_unique<TSqliteCursor>(db_, sql));
    return ds;
  }
  std::shared_ptr<TSqliteDatabase> db_;
};

TEST_F(SeekTest, FarBookmarksReadTheRowsAWalkReads) {
  auto ds = Open("SELECT id, k FROM t ORDER BY k DESC;  ");
  ds->GotoBookmark(19999);
  EXPECT_EQ(ds->Fields(1).AsString(), "0");
  ds->GotoBookmark(10000);
  std::string atMiddle = ds->Fields(0).AsString();
  ds->Next();
  std::string afterMiddle = ds->Fields(0).AsString();
  // The same rows by walking from the first.
  auto walk = Open("SELECT id, k FROM t ORDER BY k DESC");
  for (int i = 0; i < 10000; ++i) walk->Next();
  EXPECT_EQ(walk->Fields(0).AsString(), atMiddle);
  walk->Next();
  EXPECT_EQ(walk->Fields(0).AsString(), afterMiddle);
  // Back to the start and on to the end: the record count stays right.
  ds->First();
  EXPECT_EQ(ds->Fields(1).AsString(), "19999");
  ds->GotoBookmark(19990);
  int n = 0;
  while (!ds->Eof()) {
    ds->Next();
    ++n;
  }
  EXPECT_EQ(n, 10);
  EXPECT_EQ(ds->RecordCount(), 20000);
}

TEST_F(SeekTest, PastTheEndIsReportedAndTheCursorStaysUsable) {
  auto ds = Open("SELECT id FROM t");
  ds->GotoBookmark(15000);
  EXPECT_EQ(ds->Fields(0).AsString(), "15001");
  EXPECT_THROW(ds->GotoBookmark(50000), Exception);
  EXPECT_EQ(ds->Fields(0).AsString(), "15001");
  EXPECT_EQ(ds->RecordCount(), 20000);
}

TEST_F(SeekTest, ACommonTableExpressionIsSkippedAsWellAndAPragmaCounted) {
  db_->Exec("CREATE TABLE wide (a INTEGER, b INTEGER)");
  auto ds = Open(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9000)"
      " SELECT i, i FROM n");
  ds->GotoBookmark(8999);
  EXPECT_EQ(ds->Fields(0).AsString(), "9000");
  auto pragma = Open("PRAGMA table_info(wide)");
  ds->GotoBookmark(0);
  EXPECT_EQ(pragma->RecordCount(), 2);
}

}  // namespace
}  // namespace morvale
