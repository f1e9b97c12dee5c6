// The spreadsheet page's format lists and the format editor's edits, without widgets.
#include <gtest/gtest.h>

#include "export/dialog/xlsformatedit.h"
#include "tests/export/dialog/dialogsupport.h"

namespace morvale {
namespace {

using test::TDialogFixture;

TEST(XlsFormatEdit, ASelectionShowsWhatItsFormatsAgreeOn) {
  TxlsFormat a, b;
  a.Font.Name = "Tahoma";
  a.Borders.Top.Style = bstThick;
  b.Borders.Top.Style = bstThick;
  b.Borders.Left.Style = bstDashed;
  b.Fill.Pattern = ptChess;
  TxlsFormatView v = ViewOf({&a, &b}, a);
  EXPECT_FALSE(v.FontName) << "different fonts leave the font list blank";
  EXPECT_EQ(v.FontSize, 10);
  EXPECT_EQ(v.Borders[xbsTop], bstThick);
  EXPECT_FALSE(v.Borders[xbsLeft]);
  EXPECT_EQ(v.Borders[xbsRight], bstNone);
  EXPECT_FALSE(v.Pattern);
  EXPECT_EQ(ViewOf({&a}, a).FontName, "Tahoma");

  TxlsFormatEdit({&a, &b}, &a).SetFontName("Tahoma");
  EXPECT_EQ(b.Font.Name, "Tahoma") << "choosing a font sets every selected format";
  EXPECT_EQ(ViewOf({&a, &b}, b).FontName, "Tahoma");
}

TEST(XlsFormatEdit, EveryEditReachesTheFocusedAndTheOtherSelectedFormats) {
  TxlsFormat a, b, other;
  TxlsFormatEdit e({&a, &b}, &b);
  EXPECT_EQ(e.SetFontSize("14"), 14);
  EXPECT_EQ(e.SetFontSize("abc"), 10) << "a size that is no number is 10";
  e.SetFontSize("12");
  e.SetFontStyle(xfsItalic, true);
  e.SetFontColor(clrRed);
  e.SetUnderline(fulDoubleAccounting, true);
  e.SetHorizontal(halRight, true);
  e.SetVertical(valCenter);
  e.SetBorderColor(xbsBottom, clrBlue);
  e.SetForeground(clrGold);
  for (TxlsFormat* f : {&a, &b}) {
    EXPECT_EQ(f->Font.Size, 12);
    EXPECT_TRUE(f->Font.Has(xfsItalic));
    EXPECT_FALSE(f->Font.Has(xfsBold));
    EXPECT_EQ(f->Font.Color, clrRed);
    EXPECT_EQ(f->Font.Underline, fulDoubleAccounting);
    EXPECT_EQ(f->Alignment.Horizontal, halRight);
    EXPECT_EQ(f->Alignment.Vertical, valCenter);
    EXPECT_EQ(f->Borders.Bottom.Color, clrBlue);
    EXPECT_EQ(f->Fill.Foreground, clrGold);
  }
  EXPECT_EQ(other.Font.Size, 10);

  e.SetUnderline(fulDoubleAccounting, false);
  e.SetHorizontal(halRight, false);
  EXPECT_EQ(a.Font.Underline, fulNone) << "a released toggle takes the property back";
  EXPECT_EQ(a.Alignment.Horizontal, halGeneral);

  TxlsFormatEdit none({&a}, nullptr);
  none.SetFontSize("30");
  EXPECT_EQ(a.Font.Size, 12) << "without a focused entry the editor edits nothing";

  TxlsFieldFormat field;
  TxlsFormatEdit({&a, &field}, &field).SetAggregate(aggMax);
  EXPECT_EQ(field.Aggregate, aggMax);
}

TEST(XlsFormatEdit, FillAndBorderRules) {
  TxlsFormat a, b;
  b.Fill.Pattern = ptChess;
  TxlsFormatEdit e({&a, &b}, &a);
  e.SetBackground(clrSkyBlue);
  EXPECT_EQ(a.Fill.Pattern, ptSolid) << "a coloured background needs a pattern to show";
  EXPECT_EQ(b.Fill.Pattern, ptChess) << "a pattern already chosen stays";
  EXPECT_EQ(b.Fill.Background, clrSkyBlue);
  e.SetPattern(ptNone);
  EXPECT_EQ(a.Fill.Background, clrWhite) << "the empty pattern turns the background white";
  EXPECT_EQ(b.Fill.Background, clrWhite);
  e.SetBackground(clrWhite);
  EXPECT_EQ(a.Fill.Pattern, ptNone);

  e.ToggleBorder(xbsLeft, true);
  EXPECT_EQ(a.Borders.Left.Style, bstThin) << "pressing the toggle of a missing line";
  EXPECT_EQ(b.Borders.Left.Style, bstThin);
  e.SetBorderStyle(xbsLeft, bstDouble);
  e.ToggleBorder(xbsLeft, true);
  EXPECT_EQ(a.Borders.Left.Style, bstDouble) << "a line already there keeps its style";
  e.ToggleBorder(xbsLeft, false);
  EXPECT_EQ(b.Borders.Left.Style, bstNone);
  EXPECT_EQ(a.Borders.Right.Style, bstNone);
}

TEST(XlsPage, FieldFormatsFollowTheColumnsAndTheFieldsPage) {
  TDialogFixture f;
  f.dialog.XLSOptions.DataFormat.Font.Size = 13;
  f.dialog.XLSOptions.FieldFormats.ForField("price").Font.Size = 20;
  TExportDialogModel& m = f.Model();
  EXPECT_EQ(m.XLSFormatCaptions(xflFields),
            (std::vector<std::string>{"ID", "NAME", "PRICE", "BORN", "NOTE", "PIC"}));
  const TxlsFieldFormats& ff = m.Settings().XLS.FieldFormats;
  EXPECT_EQ(ff[2].Font.Size, 20) << "the field's own format, found without regard to case";
  EXPECT_EQ(ff[2].FieldName, "PRICE");
  EXPECT_EQ(ff[0].Font.Size, 13) << "the others start from the data format";
  auto marks = [&] {
    std::string out;
    for (int i = 0; i < 6; ++i) out += m.XLSFieldExported(i) ? '+' : '-';
    return out;
  };
  EXPECT_EQ(marks(), "++++--") << "the memo and binary columns are not marked";
  m.MoveToExported("NAME");
  m.MoveToExported("PIC");
  EXPECT_EQ(marks(), "-+---+");
  m.MoveBack("PIC");
  EXPECT_EQ(marks(), "-+----");
  m.MoveAllBack();
  EXPECT_EQ(marks(), "++++--") << "an empty exported list exports all but the blobs";
  m.MoveAllToExported();
  EXPECT_EQ(marks(), "++++++");
}

TEST(XlsPage, ResetsAndTheHyperlinksThatFollowTheHyperlinkFormat) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  TXLSPage& p = m.Settings().XLS;
  p.Extras.Hyperlinks.Add();
  p.Extras.Hyperlinks.Add();
  std::vector<TxlsFormat*> base = m.XLSFormats(xflBase);
  ASSERT_EQ(base.size(), 5u);

  TxlsFormatEdit({base[4]}, base[4]).SetFontStyle(xfsBold, true);
  m.XLSFormatsEdited(xflBase, {4});
  for (const auto& link : p.Extras.Hyperlinks) EXPECT_TRUE(link->Format.Font.Has(xfsBold));
  TxlsFormatEdit({base[3], base[4]}, base[4]).SetFontSize("16");
  m.XLSFormatsEdited(xflBase, {4, 3});
  EXPECT_EQ(p.Extras.Hyperlinks[0].Format.Font.Size, 10)
      << "only when HYPERLINK is the first one selected";

  for (TxlsFormat* b : base) b->Font.Size = 30;
  m.ResetXLSFormats(xflBase, {1, 4});
  EXPECT_TRUE(base[1]->Font.Has(xfsBold)) << "ЗАГОЛОВКИ resets with a bold font";
  EXPECT_EQ(base[1]->Font.Size, 10);
  EXPECT_FALSE(base[4]->Font.Has(xfsBold));
  EXPECT_EQ(base[0]->Font.Size, 30);
  EXPECT_TRUE(p.Extras.Hyperlinks[1].Format.Font.Has(xfsBold))
      << "ЗАГОЛОВКИ was the first one selected";
  m.ResetXLSFormats(xflBase, {4});
  EXPECT_FALSE(p.Extras.Hyperlinks[1].Format.Font.Has(xfsBold));
  TxlsFormatEdit({base[4]}, base[4]).SetFontStyle(xfsBold, true);
  m.XLSFormatsEdited(xflBase, {4});
  m.ResetAllXLSFormats(xflBase, 0);
  EXPECT_EQ(base[0]->Font.Size, 10);
  EXPECT_TRUE(base[1]->Font.Has(xfsBold));
  EXPECT_TRUE(p.Extras.Hyperlinks[0].Format.Font.Has(xfsBold)) << "ШАПКА stays selected";
  m.ResetAllXLSFormats(xflBase, 4);
  EXPECT_FALSE(p.Extras.Hyperlinks[0].Format.Font.Has(xfsBold));

  p.FieldFormats[1].Aggregate = aggSum;
  p.FieldFormats[1].Font.Size = 22;
  m.ResetAllXLSFormats(xflFields, 1);
  EXPECT_EQ(p.FieldFormats[1].Aggregate, aggNone);
  EXPECT_EQ(p.FieldFormats[1].Font.Size, 10);
  EXPECT_EQ(p.FieldFormats[1].FieldName, "NAME") << "the entry stays its field's";
  EXPECT_FALSE(p.FieldFormats[1].Font.Has(xfsBold));
}

TEST(XlsPage, StripStyles) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  auto& strips = m.Settings().XLS.StripStyles;
  EXPECT_FALSE(m.XLSStripButtons(-1, 0).Save);
  EXPECT_EQ(m.AddXLSStripStyle(), 0);
  EXPECT_EQ(m.AddXLSStripStyle(), 1);
  EXPECT_EQ(m.AddXLSStripStyle(), 2);
  strips[0].Format.Font.Size = 11;
  strips[1].Format.Font.Size = 12;
  strips[2].Format.Font.Size = 13;

  EXPECT_EQ(m.MoveXLSStripStyle(1, -1), 0) << "the selection moves with the format";
  EXPECT_EQ(strips[0].Caption, "ЭЛЕМЕНТ_1");
  EXPECT_EQ(strips[1].Caption, "ЭЛЕМЕНТ_2");
  EXPECT_EQ(strips[0].Format.Font.Size, 12);
  EXPECT_EQ(strips[1].Format.Font.Size, 11);
  EXPECT_EQ(m.MoveXLSStripStyle(0, -1), 0) << "the first cannot move up";

  TXLSStripButtons b = m.XLSStripButtons(0, 1);
  EXPECT_TRUE(b.Delete && b.Down && b.Save);
  EXPECT_FALSE(b.Up);
  b = m.XLSStripButtons(2, 1);
  EXPECT_TRUE(b.Up);
  EXPECT_FALSE(b.Down);
  EXPECT_FALSE(m.XLSStripButtons(-1, 0).Delete);

  EXPECT_EQ(m.DeleteXLSStripStyles({0, 1}, 1), 0) << "the old focused position, or the last";
  ASSERT_EQ(strips.size(), 1u);
  EXPECT_EQ(strips[0].Caption, "ЭЛЕМЕНТ_1") << "captioned anew";
  EXPECT_EQ(strips[0].Format.Font.Size, 13);
  b = m.XLSStripButtons(0, 1);
  EXPECT_FALSE(b.Up || b.Down);
  EXPECT_EQ(m.DeleteXLSStripStyles({0}, 0), -1);
}

}  // namespace
}  // namespace morvale
