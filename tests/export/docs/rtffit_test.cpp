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
    // The fitting itself, on the declared widths of a portrait page, down to 6 points; the
    // defaults (measured widths, the page turned, 8 points) have tests of their own below.
    exp.AutoCalcColWidth = false;
    exp.Options.AutoOrientation = false;
    exp.Options.MinFontSize = 6;
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

TEST_F(RtfFitTest, ManyColumnsKeepTheirTypeWhileTheirWordsFit) {
  std::vector<test::Cell> row;
  for (int c = 1; c <= 12; ++c) {
    ds.AddField("C" + std::to_string(c), ftString, 64);
    row.push_back("v" + std::to_string(c));
  }
  ds.AddRow(row);
  ds.Open();
  // Shared by twelve, 689 twips a column, under six characters but room for every word there
  // is ("C12", "v12"): the columns share the line and the type stays.
  std::string doc = Document();
  std::vector<int> edges = Edges(doc);
  ASSERT_EQ(edges.size(), 12u);
  for (int c = 0; c < 12; ++c) EXPECT_EQ(edges[static_cast<size_t>(c)], 36 + 689 * (c + 1));
  EXPECT_NE(doc.find("\\f0\\fs20\r\n"), std::string::npos);  // the caption font line
  EXPECT_NE(doc.find("{\\f0\\fs20\\cf0 v12}\\cell"), std::string::npos) << doc;
  // Words too long for such a column (known from the width pass) shrink the type, down to the
  // floor.
  exp.AutoCalcColWidth = true;
  TMemDataSet wide;
  for (int c = 1; c <= 12; ++c) wide.AddField("C" + std::to_string(c), ftString, 64);
  wide.AddRow(std::vector<test::Cell>(12, "Pharmaceuticals"));
  wide.Open();
  exp.SetDataSet(&wide);
  doc = Document();
  EXPECT_NE(doc.find("{\\f0\\fs12\\cf0 Pharmaceuticals}\\cell"), std::string::npos) << doc;
}

TEST_F(RtfFitTest, MeasuredWidths) {
  ds.AddField("NAME", ftString, 64);
  ds.AddField("CITY", ftString, 64);
  ds.AddRow({"Acme Tools", "Köln"});
  ds.Open();
  EXPECT_EQ(Edges(), (std::vector<int>{36 + 4135, 8306}));  // 64 + 64 do not fit: halved
  SetPropertyText(exp, "AutoCalcColWidth", "True");
  // NAME: its longest value, 10 characters; CITY: its caption, 4 characters, measured in the
  // bold caption font (32 pixels, a pixel and 3% more) with the cell's padding: 555 twips.
  EXPECT_EQ(Edges(), (std::vector<int>{36 + 1210, 36 + 1210 + 555}));
}

// The defaults: measured columns; a table that fits the turned page whole goes landscape; one
// that fits neither wraps its long texts between words; past that the type shrinks, and no
// column is ever narrower than its longest word (nor its caption's).
TEST_F(RtfFitTest, DefaultsKeepWordsWhole) {
  TExportRTF fresh;
  EXPECT_TRUE(fresh.AutoCalcColWidth);
  EXPECT_TRUE(fresh.Options.AutoOrientation);
  EXPECT_EQ(fresh.Options.MinFontSize, 8);
  exp.AutoCalcColWidth = true;
  exp.Options.AutoOrientation = true;
  exp.Options.MinFontSize = 8;
  // Eight columns of 11-character words: 8 * (11 * 120 + 10) = 10,640 twips at 10 points, wider
  // than the portrait line (8,270), not the landscape one (13,202).
  for (int c = 1; c <= 8; ++c) ds.AddField("Column" + std::to_string(c), ftString, 255);
  ds.AddRow(std::vector<test::Cell>(8, "Aeronáutica"));
  ds.Open();
  std::string doc = Document();
  EXPECT_EQ(exp.Orientation(), poLandscape);
  EXPECT_NE(doc.find("\\landscape\r\n\\paperw16838\r\n"), std::string::npos);
  // Each column as wide as the word measured (88 pixels, 91 with the margin, + 60 twips), a
  // little more than its 11 characters of "X".
  EXPECT_EQ(Edges(doc).back(), 36 + 8 * 1425);
  EXPECT_NE(doc.find("{\\f0\\fs20\\cf0 Aeron"), std::string::npos);
  EXPECT_EQ(exp.Options.PageOrientation, poPortrait);  // the run's page only
}

TEST_F(RtfFitTest, LongTextsWrapBeforeTheTypeShrinks) {
  exp.AutoCalcColWidth = true;
  exp.Options.AutoOrientation = true;
  exp.Options.MinFontSize = 8;
  ds.AddField("FirstName", ftString, 40);
  ds.AddField("Company", ftString, 80);
  std::string company = "Empresa Brasileira de Aeronáutica S.A.";
  for (int i = 0; i < 10; ++i) company += " Aeronáutica";
  ds.AddRow({"Mariana", company});
  ds.Open();
  // 9 + 158 characters do not fit even landscape: the company wraps on the landscape page (the
  // fewer lines) at 10 points, and FirstName keeps the width of its caption, measured bold:
  // (72 * 1.03 + 1) * 15 + 60.
  std::string doc = Document();
  EXPECT_EQ(exp.Orientation(), poLandscape);
  EXPECT_EQ(exp.FittedSize(10), 10);
  std::vector<int> edges = Edges(doc);
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_EQ(edges[0], 36 + 1185);
  EXPECT_EQ(edges[1], 13238);
  // Kept portrait, it wraps there, in the same type.
  exp.Options.AutoOrientation = false;
  EXPECT_EQ(Edges(), (std::vector<int>{36 + 1185, 8306}));
  EXPECT_EQ(exp.FittedSize(10), 10);
}

TEST_F(RtfFitTest, ManyCaptionsShrinkTheTypeUntilTheirWordsFit) {
  exp.AutoCalcColWidth = true;
  exp.Options.AutoOrientation = true;
  exp.Options.MinFontSize = 8;
  // Fourteen captions of 12 characters in 10-point bold: (12 * 8 * 1.03 + 1) pixels = 1,500
  // twips with the padding, 21,000 in all against the landscape line of 13,202; at 8 points
  // (6 pixels a character) 75 pixels = 1,185 twips, 16,590: still too wide, so the floor holds
  // on the landscape page and the widest give way evenly.
  std::vector<test::Cell> row;
  for (int c = 1; c <= 14; ++c) {
    ds.AddField("SupportRep" + std::to_string(c + 10), ftInteger);
    row.push_back(std::to_string(c));
  }
  ds.AddRow(row);
  ds.Open();
  std::string doc = Document();
  EXPECT_EQ(exp.Orientation(), poLandscape);
  EXPECT_EQ(exp.FittedSize(10), 8);
  EXPECT_NE(doc.find("{\\f0\\fs16\\cf0\\b SupportRep11}"), std::string::npos);
  EXPECT_LE(Edges(doc).back(), 36 + 13202);
}

}  // namespace
}  // namespace morvale
