// The fitting of a table to its page shared by the document formats: the type and the page a
// table gets, column widths that keep words whole, and the longest words the width pass finds.
#include <gtest/gtest.h>

#include "export/core/export.h"
#include "export/core/page.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

// A table `width` points wide at 10 points, in proportion at other sizes, on a page whose
// portrait line is 468 points and landscape line 729 (A4 with the PDF's default margins).
TTableExcess TableOf(int width) {
  return [width](TExportPageOrientation o, int size) {
    return int64_t{width} * size / 10 - (o == poLandscape ? 729 : 468);
  };
}

TEST(FitTable, TheTypeAskedOnTheLargerPageFirst) {
  // Fits as it is: nothing changes.
  TTableFit f = FitTable(poPortrait, true, 10, 8, TableOf(400));
  EXPECT_EQ(f.Orientation, poPortrait);
  EXPECT_EQ(f.Size, 10);
  EXPECT_TRUE(f.Fits);
  // 680 points: 6 points on the portrait page, 10 turned.
  f = FitTable(poPortrait, true, 10, 8, TableOf(680));
  EXPECT_EQ(f.Orientation, poLandscape);
  EXPECT_EQ(f.Size, 10);
  // Not allowed to turn: the largest type that fits, never below the floor.
  f = FitTable(poPortrait, false, 10, 8, TableOf(520));
  EXPECT_EQ(f.Orientation, poPortrait);
  EXPECT_EQ(f.Size, 9);
  f = FitTable(poPortrait, false, 10, 8, TableOf(680));
  EXPECT_EQ(f.Size, 8);
  EXPECT_FALSE(f.Fits);
  // 850 points: 8 points on the turned page.
  f = FitTable(poPortrait, true, 10, 8, TableOf(850));
  EXPECT_EQ(f.Orientation, poLandscape);
  EXPECT_EQ(f.Size, 8);
  EXPECT_TRUE(f.Fits);
  // Too wide for both: the floor on the page it overflows least.
  f = FitTable(poPortrait, true, 10, 8, TableOf(2000));
  EXPECT_EQ(f.Orientation, poLandscape);
  EXPECT_EQ(f.Size, 8);
  EXPECT_FALSE(f.Fits);
  // A type asked below the floor is kept, not enlarged.
  f = FitTable(poPortrait, true, 6, 8, TableOf(400));
  EXPECT_EQ(f.Size, 6);
  EXPECT_EQ(f.Orientation, poPortrait);
}

TEST(FitColumnWidths, LeastWidthsHold) {
  // A wide text column and a narrow one whose word needs 300: the wide one gives way alone.
  std::vector<int64_t> w{2000, 200, 500};
  EXPECT_TRUE(FitColumnWidths(w, 1400, {400, 300, 100}));
  EXPECT_EQ(w[1], 300);  // widened to its word
  EXPECT_EQ(w[2], 500);
  EXPECT_LE(w[0] + w[1] + w[2], 1400);
  EXPECT_GE(w[0], 1400 - 800 - 1);
  // The common cap never cuts a column below its word.
  w = {1000, 1000, 1000};
  EXPECT_TRUE(FitColumnWidths(w, 1500, {900, 100, 100}));
  EXPECT_EQ(w, (std::vector<int64_t>{900, 300, 300}));
  // The words alone are wider than the line: nothing is changed.
  w = {1000, 1000};
  EXPECT_FALSE(FitColumnWidths(w, 1500, {800, 800}));
  EXPECT_EQ(w, (std::vector<int64_t>{1000, 1000}));
}

TEST(Columns, WidthPassKeepsTheLongestWords) {
  test::TMemDataSet ds;
  ds.AddField("Company", ftString, 60);
  ds.AddField("Id", ftInteger);
  ds.AddRow({"Embraer - Empresa Brasileira de Aeronáutica S.A.", "1"});
  ds.AddRow({"Ромашка\r\nи партнёры", "22"});
  ds.AddRow({"Aeronáutica Aeronáutica Brasileira", "333"});
  ds.Open();
  TExportFormatText e;
  e.SetDataSet(&ds);
  e.BeginExport();
  TExportColumns& c = e.Columns();
  c.AutoCalcColWidth();
  EXPECT_TRUE(c[0].LongWords.empty());  // only when asked
  c.MeasureWords = true;
  c[0].Width = 0;  // as the document formats start it: from the data, not the declared 60
  c.AutoCalcColWidth();
  // Longest first, each once, at most three; a line break separates words.
  EXPECT_EQ(c[0].LongWords, (std::vector<std::string>{"Aeronáutica", "Brasileira", "партнёры"}));
  EXPECT_EQ(c[1].LongWords, (std::vector<std::string>{"333", "22", "1"}));
  EXPECT_EQ(c[0].Width, 48);
}

}  // namespace
}  // namespace morvale
