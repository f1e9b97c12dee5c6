// The source adapters: which one a set of references gives, how long one lives, and the walk each
// kind makes (the columns each kind offers are in columns_test.cpp).
#include <gtest/gtest.h>

#include "export/core/export.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using namespace test;

TEST(SourceAdapter, OnlyTheReferenceTheKindPicksCounts) {
  TMemDataSet ds;
  TMemListView lv;
  TMemDBGrid grid;
  TMemStringGrid sg;
  TCustomSource cs;
  TSourceRef ref;
  ref.DataSet = &ds;
  EXPECT_NE(MakeSourceAdapter(ref), nullptr);
  for (TExportSource kind : {esListView, esDBGrid, esStringGrid, esCustom}) {
    ref.Kind = kind;
    EXPECT_EQ(MakeSourceAdapter(ref), nullptr) << SourceName(kind);
  }
  ref.ListView = &lv, ref.DBGrid = &grid, ref.StringGrid = &sg, ref.CustomSource = &cs;
  for (TExportSource kind : {esDataSet, esListView, esDBGrid, esStringGrid, esCustom}) {
    ref.Kind = kind;
    EXPECT_NE(MakeSourceAdapter(ref), nullptr) << SourceName(kind);
  }
  ref.Kind = static_cast<TExportSource>(7);  // as a damaged settings file could give it
  EXPECT_EQ(MakeSourceAdapter(ref), nullptr);

  // An exporter without its reference reads nothing instead of following a null pointer.
  TExportText e;
  e.ExportSource = esStringGrid;
  EXPECT_FALSE(e.Source()->Assigned());
  EXPECT_TRUE(e.Source()->Eof(0));
  e.Columns().Fill(false);
  EXPECT_EQ(e.Columns().Count(), 0);
}

TEST(SourceAdapter, GridWithoutDataSetAndAnotherDataSetLater) {
  TMemDataSet a, b;
  a.AddField("A", ftInteger);
  a.AddRow({"1"});
  b.AddField("B", ftInteger);
  TMemDBGrid grid;
  TExportText e;
  e.ExportSource = esDBGrid;
  e.SetDBGrid(&grid);
  EXPECT_FALSE(e.Source()->Assigned());  // the grid is there, its dataset is not
  grid.dataSet = &a;
  EXPECT_TRUE(e.Source()->Assigned());
  EXPECT_FALSE(e.Source()->Empty());
  // Same references, so the same adapter; it still sees the dataset the grid holds now.
  grid.dataSet = &b;
  EXPECT_TRUE(e.Source()->Empty());
  e.Source()->BeginUpdate();
  EXPECT_TRUE(b.ControlsDisabled());
  EXPECT_FALSE(a.ControlsDisabled());
  e.Source()->EndUpdate();
  EXPECT_FALSE(b.ControlsDisabled());
}

TEST(SourceAdapter, BuiltOncePerReferencesAndKeptByItsHolder) {
  TMemListView lv;
  lv.columns = {{"N", 64}};
  lv.items = {{"a"}, {"b"}, {"c"}, {"d"}};
  TExportText e;
  e.ExportSource = esListView;
  e.SetListView(&lv);
  TSourceAdapterPtr first = e.Source();
  EXPECT_EQ(e.Source(), first);  // asked per record: not rebuilt while nothing changes
  e.SkipRecCount = 3;
  TSourceAdapterPtr skipped = e.Source();
  EXPECT_NE(skipped, first);
  // The one taken before the change still walks with the counts it was made with.
  EXPECT_FALSE(first->Eof(3));
  EXPECT_TRUE(first->Eof(4));
  EXPECT_FALSE(skipped->Eof(0));
  EXPECT_TRUE(skipped->Eof(1));
}

// A handler that changes the exporter's references in the middle of a run rebuilds its adapter;
// the run keeps the one it started with to the end and gives the dataset its controls back.
TEST(SourceAdapter, ReferencesChangedByAHandlerDuringTheRun) {
  TMemDataSet a;
  a.AddField("V", ftString, 5);
  for (const char* v : {"a1", "a2", "a3"}) a.AddRow({v});
  TExportText e;
  e.SetDataSet(&a);
  std::vector<std::string> seen;
  e.OnBeforeExportRow = [&](TObject*, TExportRow& r, bool&) { seen.push_back(r[0].Data); };
  e.OnExportedRecord = [&](TObject*, int n) { e.SkipRecCount = n; };
  TMemoryStream s;
  e.ExportToStream(s);
  EXPECT_EQ(seen, (std::vector<std::string>{"a1", "a2", "a3"}));
  EXPECT_FALSE(a.ControlsDisabled());
}

TEST(SourceAdapter, WalksEndAtTheirCounts) {
  // The string grid stays on its last row when moved past it; its end is the count of rows
  // below the fixed ones.
  TMemStringGrid sg;
  sg.colCount = 1;
  sg.cells = {{"head"}, {"r1"}, {"r2"}};
  TSourceRef ref;
  ref.Kind = esStringGrid;
  ref.StringGrid = &sg;
  TSourceAdapterPtr grid = MakeSourceAdapter(ref);
  sg.row = 2;
  TBookmark mark = grid->GetBookmark();
  grid->First();
  EXPECT_EQ(sg.row, 1);
  int counter = 0;
  grid->Next(counter);
  grid->Next(counter);
  EXPECT_EQ(counter, 2);
  EXPECT_EQ(sg.row, 2);
  EXPECT_TRUE(grid->Eof(counter));
  grid->GotoBookmark(mark);
  EXPECT_EQ(sg.row, 2);

  // The custom source ends when its handler says the record it leaves was the last, or at once
  // without a handler.
  TCustomSource cs;
  ref.Kind = esCustom;
  ref.CustomSource = &cs;
  TSourceAdapterPtr custom = MakeSourceAdapter(ref);
  EXPECT_TRUE(custom->Eof(0));
  cs.OnGetNextRecord = [](TObject*, int recNo, bool& eof) { eof = recNo == 2; };
  custom->First();
  EXPECT_FALSE(custom->Eof(0));
  counter = 0;
  custom->Next(counter);
  EXPECT_FALSE(custom->Eof(counter));
  custom->Next(counter);
  EXPECT_TRUE(custom->Eof(counter));
  EXPECT_EQ(cs.RecNo, 2);
}

}  // namespace
}  // namespace morvale
