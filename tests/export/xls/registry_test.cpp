// The style registry: which calls register what, and how a registered style becomes an XF record.
#include <gtest/gtest.h>

#include "export/core/streams.h"
#include "export/xls/registry.h"
#include "tests/export/xls/biff_support.h"

namespace morvale {
namespace {

std::string XFBytes(const TxlsStyleRegistry& r, uint16_t index) {
  TMemoryStream s;
  TxlsStyleRegistry::EncodeXF(*r.FindXF(index)).WriteTo(s);
  return test::Hex(s.Data()).substr(12);  // without the header
}

TEST(XlsRegistry, WhatIsRegisteredAndShared) {
  TxlsStyleRegistry r;
  const TxlsFont dataFont;
  // "General" without a look is the default cell XF and registers nothing.
  EXPECT_EQ(r.GetXFIndex("General", nullptr, dataFont), 15);
  EXPECT_TRUE(r.XFormats().empty());
  // An empty text without a look registers one plain style, once.
  EXPECT_EQ(r.GetXFIndex("", nullptr, dataFont), 16);
  EXPECT_EQ(r.GetXFIndex("", nullptr, dataFont), 16);

  // Field formats differing only in their field name share one XF.
  TxlsFieldFormat a, b;
  a.FieldName = "A";
  b.FieldName = "B";
  a.Font.Set(xfsBold, true);
  b.Font.Set(xfsBold, true);
  uint16_t xa = r.GetXFIndex("0.00", &a, dataFont);
  EXPECT_EQ(xa, 17);
  EXPECT_EQ(r.GetXFIndex("0.00", &b, dataFont), xa);
  ASSERT_EQ(r.Fonts().size(), 1u);
  EXPECT_EQ(r.Fonts()[0].Index, 5);  // font 4 is never used
  ASSERT_EQ(r.Formats().size(), 1u);
  EXPECT_EQ(r.Formats()[0].Index, 50);

  // The same number format in another style: still one FORMAT; a new string gets 51.
  TxlsFormat solid;
  solid.Fill.Pattern = ptSolid;
  solid.Fill.Background = clrYellow;
  uint16_t xs = r.GetXFIndex("0.00", &solid, dataFont);
  EXPECT_EQ(xs, 18);
  EXPECT_EQ(r.Formats().size(), 1u);
  // Its font equals the data format's font: no font of its own, no FONT record.
  EXPECT_EQ(r.FindXF(xs)->Font, nullptr);
  EXPECT_EQ(r.Fonts().size(), 1u);
  r.GetXFIndex("yyyy-mm-dd", nullptr, dataFont);
  ASSERT_EQ(r.Formats().size(), 2u);
  EXPECT_EQ(r.Formats()[1].Index, 51);

  // A bold data font makes a bold style fontless, and a plain one gets a font of its own.
  TxlsFont boldData;
  boldData.Set(xfsBold, true);
  uint16_t xb = r.GetXFIndex("General", &a, boldData);
  EXPECT_EQ(r.FindXF(xb)->Font, nullptr);
  // Two formats differing only in a diagonal border are different styles.
  TxlsFormat d1, d2;
  d2.Borders.DiagUp.Style = bstThin;
  EXPECT_NE(r.GetXFIndex("General", &d1, dataFont), r.GetXFIndex("General", &d2, dataFont));
  // Style equality is case-sensitive on the number format.
  EXPECT_NE(r.GetXFIndex("0.0E+00", nullptr, dataFont), r.GetXFIndex("0.0e+00", nullptr, dataFont));
}

TEST(XlsRegistry, PerFieldAndStripEntries) {
  TxlsStyleRegistry r;
  EXPECT_EQ(r.FieldXF(0, "price"), 15);
  r.AddFieldXF(0, "PRICE", 17);
  EXPECT_EQ(r.FieldXF(0, "price"), 17);
  EXPECT_EQ(r.FieldXF(1, "PRICE"), 15);
  EXPECT_TRUE(r.HasFieldXF(0, "Price"));
  EXPECT_FALSE(r.HasStrips());
  r.AddStripXF(0, 1002, 19);
  EXPECT_TRUE(r.HasStrips());
  EXPECT_EQ(r.StripXF(0, 1002), 19);
  EXPECT_EQ(r.StripXF(0, 2), 15);
}

TEST(XlsRegistry, XFEncoding) {
  TxlsStyleRegistry r;
  const TxlsFont dataFont;
  // A plain style: XF 15 with the pattern and alignment attributes, white on black fill colours.
  r.GetXFIndex("", nullptr, dataFont);
  EXPECT_EQ(XFBytes(r, 16), "01 00 00 00 01 00 20 00 00 50 00 00 00 00 00 00 00 00 09 04");

  // Bold italic red font, number format, thin left/top borders, solid sky-blue fill, centred and
  // wrapped at the top.
  TxlsFormat f;
  f.Font.Set(xfsBold, true);
  f.Font.Color = clrRed;
  f.Borders.Left.Style = bstThin;
  f.Borders.Left.Color = clrBlue;    // palette 12
  f.Borders.Top.Style = bstDouble;   // 6
  f.Borders.Top.Color = clrRed;      // palette 10
  f.Borders.Right.Color = clrGreen;  // no style: contributes nothing
  f.Fill.Pattern = ptSolid;
  f.Fill.Background = clrSkyBlue;  // palette 40
  f.Fill.Foreground = clrWhite;    // palette 9
  f.Alignment.Horizontal = halCenter;
  f.Alignment.Vertical = valTop;
  f.Wrap = true;
  uint16_t x = r.GetXFIndex("0.00", &f, dataFont);
  EXPECT_EQ(XFBytes(r, x), "05 00 32 00 01 00 0A 00 00 78 01 06 0C 00 0A 00 00 04 A8 04");

  // Only a DiagUp border: bit 15 at offset 12, the diagonal style and colour from DiagUp.
  TxlsFormat d;
  d.Borders.DiagUp.Style = bstDashed;  // 3
  d.Borders.DiagUp.Color = clrRed;     // 10
  uint16_t xd = r.GetXFIndex("General", &d, dataFont);
  EXPECT_EQ(XFBytes(r, xd), "01 00 00 00 01 00 20 00 00 70 00 00 00 80 00 80 62 00 09 04");
}

}  // namespace
}  // namespace morvale
