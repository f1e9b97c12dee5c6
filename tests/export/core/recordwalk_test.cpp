// The record walk every pass of an export takes: where it starts, the skip (also past the end),
// the count, the current record only, a stop asked for from a handler, the bookmark a pass
// comes back to, and an empty source.
#include <gtest/gtest.h>

#include <stdexcept>

#include "export/core/export.h"
#include "export/core/recordwalk.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::TMemDataSet;
using test::TMemStringGrid;

// What one walk saw: the skip events, the records visited (the dataset's 0-based record number
// beside the walk's counter) and the moves to the next record.
struct TSeen {
  std::vector<int> skipped, visited, counters, next;
};

class RecordWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.AddField("ID", ftInteger);
    for (int i = 1; i <= 5; ++i) ds.AddRow({std::to_string(i)});
  }
  // Start, Skip and Records over `d`, as the run takes them; the result of Records.
  bool Walk(const TRecordRange& range, TMemDataSet& d) {
    const TSourceAdapterPtr src = MakeSourceAdapter({esDataSet, &d});
    TRecordWalk walk = Hooked(*src, range);
    walk.Start();
    walk.Skip();
    return walk.Records([&](int counter) { return Visit(d, counter); });
  }
  bool Walk(const TRecordRange& range) { return Walk(range, ds); }
  TRecordWalk Hooked(const TSourceAdapter& src, const TRecordRange& range) {
    TRecordWalk walk(src, range, counter);
    walk.OnSkipped = [this](int n) { seen.skipped.push_back(n); };
    walk.OnNext = [this](int n) { seen.next.push_back(n); };
    walk.Stopped = [this] { return stop; };
    return walk;
  }
  bool Visit(const TMemDataSet& d, int counter) {
    seen.visited.push_back(d.RecNo());
    seen.counters.push_back(counter);
    if (onVisit) onVisit(counter);
    return true;
  }
  TMemDataSet ds;
  int counter = -1;
  bool stop = false;
  std::function<void(int)> onVisit;
  TSeen seen;
};

using V = std::vector<int>;

TEST_F(RecordWalkTest, SkipAndCount) {
  EXPECT_TRUE(Walk({true, 1, 2, false}));
  EXPECT_EQ(seen.skipped, V{1});
  EXPECT_EQ(seen.visited, (V{1, 2}));
  EXPECT_EQ(seen.counters, (V{0, 1}));
  EXPECT_EQ(seen.next, (V{1, 2}));
  EXPECT_EQ(counter, 2);
  EXPECT_EQ(ds.RecNo(), 3);  // the source stays after the last record read

  // A count beyond what is left reads to the end.
  seen = {};
  EXPECT_TRUE(Walk({true, 3, 10, false}));
  EXPECT_EQ(seen.visited, (V{3, 4}));
  EXPECT_TRUE(ds.Eof());
}

// A skip past the last record stops there: no event for a record that is not there, and a huge
// count does not spin through moves that go nowhere.
TEST_F(RecordWalkTest, SkipBeyondTheEnd) {
  EXPECT_TRUE(Walk({true, 7, 0, false}));
  EXPECT_EQ(seen.skipped, (V{1, 2, 3, 4, 5}));
  EXPECT_TRUE(seen.visited.empty());
  EXPECT_EQ(counter, 0);

  seen = {};
  EXPECT_TRUE(Walk({true, 2000000000, 0, false}));
  EXPECT_EQ(seen.skipped.size(), 5u);

  // A source whose end is a count (the string grid) ends the records by it, after the skip.
  TMemStringGrid sg;
  sg.colCount = 1;
  sg.cells = {{"head"}, {"a"}, {"b"}, {"c"}};
  for (int skip : {2, 5}) {
    const TSourceAdapterPtr src =
        MakeSourceAdapter({esStringGrid, nullptr, nullptr, nullptr, nullptr, &sg, skip, 0});
    TRecordWalk walk(*src, {true, skip, 0, false}, counter);
    std::vector<int> rows;
    walk.Start();
    walk.Skip();
    walk.Records([&](int) {
      rows.push_back(sg.row);
      return true;
    });
    EXPECT_EQ(rows, skip == 2 ? V{3} : V{}) << skip;
  }
}

TEST_F(RecordWalkTest, CurrentRecordOnly) {
  // From where the source stands: the skip counts from there, and the source does not move on.
  ds.SetRecNo(1);
  EXPECT_TRUE(Walk({false, 1, 0, true}));
  EXPECT_EQ(seen.visited, V{2});
  EXPECT_TRUE(seen.next.empty());
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_EQ(counter, 0);
  // From the first record: the first one after the skip.
  seen = {};
  EXPECT_TRUE(Walk({true, 1, 0, true}));
  EXPECT_EQ(seen.visited, V{1});
  // Past the end there is none.
  seen = {};
  EXPECT_TRUE(Walk({true, 5, 0, true}));
  EXPECT_TRUE(seen.visited.empty());
}

// A handler asks for a stop on the third record: the walk ends before the fourth, where it is
// asked, and says it did not come to its end. A visit that answers false ends it on the spot.
TEST_F(RecordWalkTest, StopAskedFromAHandler) {
  onVisit = [this](int c) { stop = c == 2; };
  EXPECT_FALSE(Walk({true, 0, 0, false}));
  EXPECT_EQ(seen.visited, (V{0, 1, 2}));
  EXPECT_EQ(ds.RecNo(), 3);

  seen = {}, stop = false, onVisit = nullptr;
  const TSourceAdapterPtr src = MakeSourceAdapter({esDataSet, &ds});
  TRecordWalk walk(*src, {}, counter);
  int visits = 0;
  EXPECT_FALSE(walk.Records([&](int c) {
    ++visits;
    return c < 1;
  }));
  EXPECT_EQ(visits, 2);
}

// A pass comes back to the record the source stood on and frees its bookmark, also when it was
// stopped; when a visit fails, the bookmark is freed and the error passes on.
TEST_F(RecordWalkTest, PassComesBackToTheBookmark) {
  const TSourceAdapterPtr src = MakeSourceAdapter({esDataSet, &ds});
  ds.SetRecNo(3);
  {
    TRecordWalk walk = Hooked(*src, {true, 1, 0, false});
    EXPECT_TRUE(walk.Pass([&](int c) { return Visit(ds, c); }));
  }
  EXPECT_EQ(seen.visited, (V{1, 2, 3, 4}));
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_EQ(ds.bookmarks, 0);

  // Not from the first record: the pass reads what the run would, from where the source stands.
  seen = {};
  {
    TRecordWalk walk = Hooked(*src, {false, 0, 0, false});
    walk.Pass([&](int c) { return Visit(ds, c); });
  }
  EXPECT_EQ(seen.visited, (V{3, 4}));
  EXPECT_EQ(ds.RecNo(), 3);

  seen = {}, stop = false;
  onVisit = [this](int c) { stop = c == 1; };
  {
    TRecordWalk walk = Hooked(*src, {});
    EXPECT_FALSE(walk.Pass([&](int c) { return Visit(ds, c); }));
  }
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_EQ(ds.bookmarks, 0);

  stop = false;
  onVisit = [](int c) {
    if (c == 1) throw std::runtime_error("read failed");
  };
  {
    TRecordWalk walk = Hooked(*src, {});
    EXPECT_THROW(walk.Pass([&](int c) { return Visit(ds, c); }), std::runtime_error);
  }
  EXPECT_EQ(ds.bookmarks, 0);
}

TEST_F(RecordWalkTest, EmptySource) {
  TMemDataSet empty;
  empty.AddField("ID", ftInteger);
  EXPECT_TRUE(Walk({true, 3, 2, false}, empty));
  EXPECT_TRUE(seen.skipped.empty());
  EXPECT_TRUE(seen.visited.empty());
  const TSourceAdapterPtr src = MakeSourceAdapter({esDataSet, &empty});
  TRecordWalk walk(*src, {}, counter);
  EXPECT_TRUE(walk.Pass([](int) { return true; }));
  EXPECT_EQ(empty.bookmarks, 0);

  // Begin and end update pair however the block is left.
  try {
    TSourceUpdate update(*src);
    EXPECT_TRUE(empty.ControlsDisabled());
    throw std::runtime_error("x");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(empty.ControlsDisabled());
}

}  // namespace
}  // namespace morvale
