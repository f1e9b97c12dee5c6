// RTF tables wider than the print width: the widest columns give way so the table ends at the
// right margin; measured widths; a table that fits keeps its edges.
#include <gtest/gtest.h>

#include "export/core/page.h"
#include "export/core/platform.h"
#include "export/core/properties.h"
#include "export/core/streams.h"
#include "export/docs/rtfexport.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::TMemDataSet;

struct RtfFitTest : ::testing::Test {
  TMemDataSet ds;
  TExportRTF exp;
  TFixedTextMetrics metrics;  // "X" in Arial 10 is 8 pixels: a character is 120 twips
  void SetUp() override {
    SetTextMetrics(&metrics);
    exp.SetFormatSettings(TFormatSettings::English());
    exp.SetDataSet(&ds);
  }
  void TearDown() override { SetTextMetrics(nullptr); }
  std::string Document() {
    TMemoryStream ms;
    exp.ExportToStream(ms);
    return ms.Data();
  }
  std::vector<int> Edges() { return Edges(Document()); }
  static std::vector<int> Edges(const std::string& doc) {
    std::vector<int> edges;
    for (size_t p = doc.find("\\cellx"); p != std::string::npos; p = doc.find("\\cellx", p + 1))
      edges.push_back(std::stoi(doc.substr(p + 6)));
    return edges;
  }
};

TEST(FitColumnWidths, WidestGiveWayFirst) {
  std::vector<int64_t> w{730, 7690, 1210, 7690};
  FitColumnWidths(w, 8270);
  // 730 and 1210 keep their widths; the rest, 6330, is shared by the two wide ones.
  EXPECT_EQ(w, (std::vector<int64_t>{730, 3165, 1210, 3165}));
  std::vector<int64_t> fits{100, 200};
  FitColumnWidths(fits, 300);
  EXPECT_EQ(fits, (std::vector<int64_t>{100, 200}));
  std::vector<int64_t> even{500, 500, 500};
  FitColumnWidths(even, 900);
  EXPECT_EQ(even, (std::vector<int64_t>{300, 300, 300}));
}

TEST_F(RtfFitTest, WideTableEndsAtTheRightMargin) {
  ds.AddField("ID", ftInteger, 0, 6);
  ds.AddField("NAME", ftString, 64);
  ds.AddField("DAY", ftDate, 0, 10);
  ds.AddField("NOTE", ftString, 64);
  ds.AddRow({"1", "Acme", "3/7/2008", "Urgent"});
  ds.Open();
  // 6, 64, 10 and 64 characters are 730, 7690, 1210 and 7690 twips: 17,320 against the 8,270
  // between the table's left edge (36) and the right margin (A4 less 1800 a side). The two wide
  // columns share what the others leave, 26 characters each: room enough, the fonts stay.
  EXPECT_EQ(exp.PrintWidth(), 8306);
  std::string doc = Document();
  EXPECT_EQ(Edges(doc), (std::vector<int>{766, 3931, 5141, 8306}));
  EXPECT_NE(doc.find("{\\f0\\fs20\\cf0 Acme}\\cell"), std::string::npos) << doc;
  exp.Options.PageOrientation = poLandscape;
  EXPECT_EQ(exp.PrintWidth(), 13238);
  EXPECT_EQ(Edges(), (std::vector<int>{766, 6397, 7607, 13238}));
}

TEST_F(RtfFitTest, ManyColumnsShrinkTheFonts) {
  std::vector<test::Cell> row;
  for (int c = 1; c <= 12; ++c) {
    ds.AddField("C" + std::to_string(c), ftString, 64);
    row.push_back("v" + std::to_string(c));
  }
  ds.AddRow(row);
  ds.Open();
  // Shared by twelve, 689 twips a column would be under six characters: the fonts shrink by
  // 8,270 / 92,280 to the floor of 6 points, and the columns share the line.
  std::string doc = Document();
  std::vector<int> edges = Edges(doc);
  ASSERT_EQ(edges.size(), 12u);
  for (int c = 0; c < 12; ++c) EXPECT_EQ(edges[static_cast<size_t>(c)], 36 + 689 * (c + 1));
  EXPECT_NE(doc.find("\\f0\\fs12\r\n"), std::string::npos);  // the caption font line
  EXPECT_NE(doc.find("{\\f0\\fs12\\cf0 v12}\\cell"), std::string::npos) << doc;
}

TEST_F(RtfFitTest, MeasuredWidths) {
  ds.AddField("NAME", ftString, 64);
  ds.AddField("CITY", ftString, 64);
  ds.AddRow({"Acme Tools", "Köln"});
  ds.Open();
  EXPECT_EQ(Edges(), (std::vector<int>{36 + 4135, 8306}));  // 64 + 64 do not fit: halved
  SetPropertyText(exp, "AutoCalcColWidth", "True");
  // NAME: its longest value, 10 characters; CITY: its caption, 4.
  EXPECT_EQ(Edges(), (std::vector<int>{36 + 1210, 36 + 1210 + 490}));
}

}  // namespace
}  // namespace morvale
