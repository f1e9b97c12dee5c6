#include "app/engine/cursordataset.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace morvale {
namespace {

// A driver of n rows (column "n" = the row number from 1, column "note" = `textSize` bytes) that
// counts what the dataset asks of it.
struct TCalls {
  int execute = 0, read = 0, count = 0, maxRowsHeld = 0;
  int64_t steps = 0;
  size_t maxBytesHeld = 0;
};

class TFakeCursor : public TCursor {
 public:
  TFakeCursor(int64_t rows, TCalls& calls, size_t textSize = 3)
      : rows_(rows), calls_(calls), text_(textSize, 'x') {}
  // Steps on the read-ahead thread, and fails on the step to row `failAt` (from 1) when set.
  bool readAhead = false;
  int64_t failAt = 0;
  bool CanReadAhead() const override { return readAhead; }
  void Execute() override {
    ++calls_.execute;
    at_ = 0;
  }
  bool Step() override {
    ++calls_.steps;
    if (failAt && at_ + 1 == failAt) throw EConvertError("row " + std::to_string(failAt));
    if (at_ > rows_) return false;
    return ++at_ <= rows_;
  }
  TFieldDefs Describe(bool) override {
    return {MakeFieldDef("n", ftLargeint), MakeFieldDef("note", ftString, 10)};
  }
  void ReadRow(TRowWindow& w) override {
    ++calls_.read;
    TCell* cells = w.AppendRow();
    cells[0].Kind = TCellKind::Int;
    cells[0].Int = at_;
    w.SetText(cells[1], text_);
    calls_.maxRowsHeld = std::max(calls_.maxRowsHeld, w.Rows());
    calls_.maxBytesHeld =
        std::max(calls_.maxBytesHeld,
                 w.Bytes(cells[1]).data() - w.Bytes(w.At(w.FirstRow(), 1)).data() + text_.size());
  }
  int64_t CountRows() override {
    ++calls_.count;
    return rows_;
  }

 private:
  int64_t rows_, at_ = 0;
  TCalls& calls_;
  std::string text_;
};

int64_t N(TDataSet& ds) {
  return std::stoll(ds.Fields(0).AsString());
}

TEST(CursorDataSet, ForwardWalkHoldsOneWindowAndRunsTheStatementOnce) {
  TCalls calls;
  TCursorDataSet ds;
  ds.OpenCursor(std::make_unique<TFakeCursor>(100000, calls));
  int64_t rows = 0;
  for (ds.First(); !ds.Eof(); ds.Next()) ASSERT_EQ(N(ds), ++rows);
  EXPECT_EQ(rows, 100000);
  EXPECT_EQ(calls.execute, 1);
  EXPECT_EQ(calls.read, 100000);  // every row copied once
  EXPECT_LE(calls.maxRowsHeld, TRowWindow::kMaxRows);
  // The end is known from the walk: no counting.
  EXPECT_EQ(ds.RecordCount(), 100000);
  EXPECT_EQ(calls.count, 0);
  // Eof leaves the last record current, and further Next calls change nothing.
  EXPECT_EQ(N(ds), 100000);
  ds.Next();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(N(ds), 100000);
  EXPECT_EQ(ds.GetBookmark(), 99999);
}

TEST(CursorDataSet, LargeValuesShrinkTheWindow) {
  TCalls calls;
  TCursorDataSet ds;
  ds.OpenCursor(std::make_unique<TFakeCursor>(50, calls, 1 << 20));  // 1 MB a row
  int64_t rows = 0;
  for (; !ds.Eof(); ds.Next()) ++rows;
  EXPECT_EQ(rows, 50);
  EXPECT_LE(calls.maxBytesHeld, TRowWindow::kMaxBytes + (1u << 20));
  EXPECT_LT(calls.maxRowsHeld, 50);
}

TEST(CursorDataSet, BackwardMovesRunTheStatementAgainOnlyWhenTheWindowHasMovedOn) {
  TCalls calls;
  TCursorDataSet ds;
  ds.OpenCursor(std::make_unique<TFakeCursor>(5000, calls));
  // A partial walk inside the first window: First costs nothing.
  for (int i = 0; i < 10; ++i) ds.Next();
  TBookmark b10 = ds.GetBookmark();
  ds.First();
  EXPECT_EQ(N(ds), 1);
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(calls.execute, 1);

  // Past the first window, First runs the statement again.
  while (N(ds) < 3000) ds.Next();
  TBookmark b3000 = ds.GetBookmark();
  ds.First();
  EXPECT_EQ(N(ds), 1);
  EXPECT_EQ(calls.execute, 2);

  // A forward jump skips rows without copying them.
  int readBefore = calls.read;
  ds.GotoBookmark(b3000);
  EXPECT_EQ(N(ds), 3000);
  EXPECT_EQ(calls.execute, 2);
  EXPECT_LE(calls.read - readBefore, TRowWindow::kMaxRows);
  ds.GotoBookmark(b10);
  EXPECT_EQ(N(ds), 11);
  EXPECT_EQ(calls.execute, 3);
  ds.Next();
  EXPECT_EQ(N(ds), 12);

  // Counting asks the driver once and does not move the cursor.
  EXPECT_EQ(ds.RecordCount(), 5000);
  EXPECT_EQ(ds.RecordCount(), 5000);
  EXPECT_EQ(calls.count, 1);
  EXPECT_EQ(N(ds), 12);
}

TEST(CursorDataSet, BookmarkBeyondTheEndIsRefusedAndTheCursorStaysUsable) {
  TCalls calls;
  TCursorDataSet ds;
  ds.OpenCursor(std::make_unique<TFakeCursor>(3000, calls));
  while (N(ds) < 2500) ds.Next();
  EXPECT_THROW(ds.GotoBookmark(4000), Exception);
  EXPECT_EQ(N(ds), 2500);
  int64_t rest = 0;
  for (; !ds.Eof(); ds.Next()) ++rest;
  EXPECT_EQ(rest, 501);
}

std::unique_ptr<TFakeCursor> ReadingAhead(int64_t rows, TCalls& calls, int64_t failAt = 0) {
  auto cursor = std::make_unique<TFakeCursor>(rows, calls);
  cursor->readAhead = true;
  cursor->failAt = failAt;
  return cursor;
}

TEST(CursorDataSet, ReadAheadGivesTheSameWalkAndLeavesTheCursorToItsThread) {
  TCalls calls;
  TCursorDataSet ds;
  ds.SetReadAhead(true);
  ds.OpenCursor(ReadingAhead(100000, calls));
  ds.DisableControls();
  int64_t rows = 0;
  for (ds.First(); !ds.Eof(); ds.Next()) ASSERT_EQ(N(ds), ++rows);
  EXPECT_EQ(rows, 100000);
  EXPECT_EQ(calls.read, 100000);
  EXPECT_EQ(calls.execute, 1);
  EXPECT_EQ(ds.RecordCount(), 100000);
  EXPECT_EQ(calls.count, 0);

  // A walk stopped half-way (an abort), then the grid's moves once controls are back: the rows
  // read ahead are used or passed over, never lost.
  ds.First();
  EXPECT_EQ(calls.execute, 2);
  while (N(ds) < 1500) ds.Next();
  ds.EnableControls();
  ds.GotoBookmark(2100);  // in the window read ahead
  EXPECT_EQ(N(ds), 2101);
  ds.GotoBookmark(9000);  // past it
  EXPECT_EQ(N(ds), 9001);
  ds.GotoBookmark(10);
  EXPECT_EQ(N(ds), 11);
  EXPECT_EQ(calls.execute, 3);

  // Read ahead waits for disabled controls and for a driver that allows it.
  TCalls quiet;
  TCursorDataSet grid;
  grid.SetReadAhead(true);
  grid.OpenCursor(ReadingAhead(5000, quiet));
  for (int i = 0; i < 100; ++i) grid.Next();
  EXPECT_EQ(quiet.read, TRowWindow::kMaxRows);
}

TEST(CursorDataSet, ReadAheadRaisesTheDriversErrorAtTheRecordTheWalkWouldHave) {
  for (bool ahead : {false, true}) {
    SCOPED_TRACE(ahead);
    TCalls calls;
    TCursorDataSet ds;
    ds.SetReadAhead(ahead);
    ds.OpenCursor(ReadingAhead(10000, calls, 3000));
    ds.DisableControls();
    int64_t last = 0;
    try {
      for (; !ds.Eof(); ds.Next()) last = N(ds);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), "row 3000");
    }
    EXPECT_EQ(last, 2048);  // the error comes when the window before it is used up
    // Back to the start, the statement runs again.
    ds.EnableControls();
    ds.First();
    EXPECT_EQ(N(ds), 1);
  }
}

TEST(CursorDataSet, ClosedDatasetRefusesToMove) {
  TCursorDataSet ds;
  EXPECT_FALSE(ds.Active());
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Eof());
  EXPECT_THROW(ds.First(), Exception);
  EXPECT_THROW(ds.Fields(0), Exception);
  TCalls calls;
  ds.OpenCursor(std::make_unique<TFakeCursor>(3, calls));
  EXPECT_THROW(ds.Fields(2), Exception);
  ds.Close();
  EXPECT_EQ(ds.FieldCount(), 0);
  EXPECT_THROW(ds.RecordCount(), Exception);
}

}  // namespace
}  // namespace morvale
