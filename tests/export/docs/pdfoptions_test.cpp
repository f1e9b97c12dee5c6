#include "export/docs/pdfoptions.h"

#include <gtest/gtest.h>

#include "export/core/properties.h"

namespace morvale {
namespace {

struct Points {
  int w, h, l, r, t, b;
  bool operator==(const Points&) const = default;
};

Points Of(const TExportPDFPageOptions& p) {
  return {p.WidthPoints(), p.HeightPoints(), p.LeftPoints(),
          p.RightPoints(), p.TopPoints(),    p.BottomPoints()};
}

void PrintTo(const Points& p, std::ostream* os) {
  *os << p.w << "x" << p.h << " l" << p.l << " r" << p.r << " t" << p.t << " b" << p.b;
}

TEST(PdfPageOptions, DefaultsFormatsAndOrientation) {
  TExportPDFPageOptions p;
  EXPECT_EQ(p.Format(), pfA4);
  EXPECT_EQ(Of(p), (Points{595, 841, 84, 42, 56, 56}));
  EXPECT_EQ(p.MediaBox(), TPDFBox(0, 0, 594, 840));
  EXPECT_EQ(p.PrintArea(), TPDFBox(84, 56, 552, 784));

  // The paper turns: the old bottom margin becomes the left one, and back again.
  p.SetOrientation(poLandscape);
  EXPECT_EQ(Of(p), (Points{841, 595, 56, 56, 84, 42}));
  p.SetOrientation(poLandscape);  // no change, no turn
  EXPECT_EQ(Of(p), (Points{841, 595, 56, 56, 84, 42}));
  // A named format keeps the page landscape.
  p.SetFormat(pfA5);
  EXPECT_EQ(Of(p), (Points{595, 419, 56, 56, 84, 42}));
  p.SetOrientation(poPortrait);
  EXPECT_EQ(Of(p), (Points{419, 595, 84, 42, 56, 56}));

  p.SetWidth(8);
  EXPECT_EQ(p.Format(), pfUser);
  EXPECT_EQ(p.WidthPoints(), 576);
  p.SetFormat(pfUser);  // keeps the size
  EXPECT_EQ(p.WidthPoints(), 576);
  p.SetFormat(pfA4);
  EXPECT_EQ(Of(p), (Points{595, 841, 84, 42, 56, 56}));

  const std::tuple<TExportPageFormat, int, int> sizes[] = {
      {pfLetter, 612, 792}, {pfLegal, 612, 1008},          {pfA3, 841, 1190},
      {pfB5_JIS, 516, 728}, {pfUS_Std_Fanfold, 1071, 792}, {pfFanfold, 612, 864}};
  for (auto [f, w, h] : sizes) {
    p.SetFormat(f);
    EXPECT_EQ(p.WidthPoints(), w) << f;
    EXPECT_EQ(p.HeightPoints(), h) << f;
  }
}

TEST(PdfPageOptions, UnitsOnlyConvert) {
  struct Case {
    TExportUnits units;
    double left, width;  // the default left margin (84 pt) and A4 width (595 pt) read back
    double set;
    int setPoints;  // SetMarginTop(set) in points
  };
  const Case cases[] = {{unInch, 1.17, 8.27, 0.5, 36},
                        {unMillimeter, 29.7, 210, 20, 56},
                        {unDot, 84, 595, 100.9, 100}};
  for (const Case& c : cases) {
    TExportPDFPageOptions p;
    p.Units = c.units;
    EXPECT_EQ(Of(p), (Points{595, 841, 84, 42, 56, 56})) << "changing units moved the page";
    EXPECT_DOUBLE_EQ(p.MarginLeft(), c.left) << c.units;
    EXPECT_DOUBLE_EQ(p.Width(), c.width) << c.units;
    p.SetMarginTop(c.set);
    EXPECT_EQ(p.TopPoints(), c.setPoints) << c.units;
  }
  // Binary floating point must not cost a point: 0.1 inch is 7.2 points, 2.54 cm one inch.
  TExportPDFPageOptions p;
  p.SetMarginLeft(0.1);
  EXPECT_EQ(p.LeftPoints(), 7);
  p.Units = unMillimeter;
  p.SetMarginLeft(25.4);
  EXPECT_EQ(p.LeftPoints(), 72);
}

TEST(PdfOptions, PublishedPropertiesAndRoundTrip) {
  TPDFOptions o;
  EXPECT_EQ(o.DataFont.ResourceName(), "DataFont");
  EXPECT_EQ(o.FooterFont.ResourceName(), "FooterFont");
  SetPropertyText(o, "PageOptions.Orientation", "poLandscape");
  SetPropertyText(o, "DataFont.FontSize", "8");
  SetPropertyText(o, "DataFont.BaseFont", "poCourierBold");
  SetPropertyText(o, "CaptionFont.FontEncoding", "poMacRomanEncoding");
  SetPropertyText(o, "HeaderFont.FontColor", "clRed");
  SetPropertyText(o, "RowSpacing", "1.5");
  SetPropertyText(o, "GridLineColor", "$00808080");
  EXPECT_EQ(o.PageOptions.WidthPoints(), 841);
  EXPECT_EQ(o.DataFont.FontSize, 8);
  EXPECT_EQ(o.DataFont.BaseFont, poCourierBold);
  EXPECT_EQ(o.CaptionFont.FontEncoding, poMacRomanEncoding);
  EXPECT_EQ(o.HeaderFont.FontColor, clRed);
  EXPECT_DOUBLE_EQ(o.RowSpacing, 1.5);
  EXPECT_EQ(o.GridLineColor, clGray);
  EXPECT_EQ(GetPropertyText(o, "PageOptions.Format"), "pfA4");
  EXPECT_THROW(SetPropertyText(o, "PageOptions.Orientation", "sideways"), EPropertyError);
  EXPECT_THROW(SetPropertyText(o, "GridLineColor", "greenish"), EPropertyError);
  EXPECT_THROW(SetPropertyText(o, "DataFont.FontSize", "big"), EPropertyError);

  // Listed settings applied in their order to fresh options give the same page, whatever the
  // mix of units, orientation and format.
  const char* setups[][4] = {{"unMillimeter", "poLandscape", "pfA5", ""},
                             {"unInch", "poLandscape", "pfUser", "700"},
                             {"unDot", "poPortrait", "pfLetter", ""}};
  for (auto& s : setups) {
    TPDFOptions a;
    SetPropertyText(a, "PageOptions.Units", s[0]);
    SetPropertyText(a, "PageOptions.Orientation", s[1]);
    SetPropertyText(a, "PageOptions.Format", s[2]);
    if (*s[3]) {
      a.PageOptions.Units = unDot;
      a.PageOptions.SetWidth(std::stod(s[3]));
      a.PageOptions.SetHeight(500);
      a.PageOptions.Units = unInch;
    }
    a.PageOptions.SetMarginRight(a.PageOptions.Units == unMillimeter ? 12 : 0.5);
    TPDFOptions b;
    for (const std::string& line : ListProperties(a)) {
      size_t eq = line.find('=');
      SetPropertyText(b, line.substr(0, eq), line.substr(eq + 1));
    }
    EXPECT_EQ(Of(b.PageOptions), Of(a.PageOptions)) << s[0] << " " << s[1] << " " << s[2];
    EXPECT_EQ(b.PageOptions.Format(), a.PageOptions.Format());
    EXPECT_EQ(b.PageOptions.Orientation(), a.PageOptions.Orientation());
    EXPECT_EQ(ListProperties(b), ListProperties(a));
  }
}

}  // namespace
}  // namespace morvale
