// Cell styles: defaults and the default-format test, screen fonts, colour texts, settings keys
// and the number formats as the workbook writes them.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/core/inifile.h"
#include "export/core/properties.h"
#include "export/workbook/exportworkbook.h"
#include "export/workbook/numberformat.h"
#include "export/workbook/palette.h"
#include "export/workbook/styles.h"
#include "tests/export/workbook/workbook_support.h"

namespace morvale {
namespace {

TEST(XlsStyles, DefaultFormatAndEquality) {
  TxlsFormat f;
  // A new format has a black foreground, so it is not the default format.
  EXPECT_FALSE(f.IsDefaultFormat());
  f.Fill.Foreground = clrWhite;
  EXPECT_TRUE(f.IsDefaultFormat());
  f.Wrap = true;
  EXPECT_FALSE(f.IsDefaultFormat());
  f.Wrap = false;
  f.Font.Name = "Arial";  // the name is compared exactly
  EXPECT_FALSE(f.IsDefaultFormat());

  TxlsFont a, b;
  EXPECT_TRUE(a == b);
  b.Charset = 204;
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(a.NameStored());
  a.Name = "ARIAL";
  EXPECT_FALSE(a.NameStored());

  TxlsFieldFormat ff;
  ff.FieldName = "PRICE";
  ff.Aggregate = aggSum;
  ff.Font.Size = 14;
  TxlsFieldFormat copy;
  copy.Assign(static_cast<const TxlsFormat&>(ff));  // a format's part only
  EXPECT_EQ(copy.Font.Size, 14);
  EXPECT_EQ(copy.FieldName, "");
  ff.Reset();
  EXPECT_EQ(ff.FieldName, "");
  EXPECT_EQ(ff.Aggregate, aggNone);
  EXPECT_EQ(ff.Font.Size, 10);

  TxlsNoteFormat note;
  EXPECT_EQ(note.Font.Name, "Tahoma");
  EXPECT_TRUE(note.Font.Has(xfsBold));
  EXPECT_EQ(note.BackgroundColor, 14811135);

  TxlsFormats strips(true);
  strips.Add();
  strips.Add();
  EXPECT_EQ(strips[1].DisplayName(), "StripStyle_1");
  TxlsFieldFormats fields;
  fields.ForField("Name");
  EXPECT_EQ(fields.IndexOf("NAME"), 0);
  EXPECT_EQ(fields[0].DisplayName(), "Name");
}

TEST(XlsStyles, ScreenFontsAndColours) {
  TFont screen;
  screen.Name = "Verdana";
  screen.Size = 12;
  screen.Style = fsBold | fsUnderline;
  screen.Color = clTeal;
  TxlsFont f;
  f.Script = fscSuperscript;
  f.Assign(screen);
  EXPECT_EQ(f.Name, "Verdana");
  EXPECT_TRUE(f.Has(xfsBold));
  EXPECT_FALSE(f.Has(xfsItalic));
  EXPECT_EQ(f.Underline, fulSingle);
  EXPECT_EQ(f.Script, fscNone);
  EXPECT_EQ(f.Color, clrTeal);
  screen.Color = 0x563412;  // #123456: not one of the named colours
  f.Assign(screen);
  EXPECT_EQ(f.Color, clrBlack);
  f.Color = clrSkyBlue;
  TFont back;
  f.AssignTo(back);
  EXPECT_EQ(back.Color, 0xFFCC00);  // #00CCFF as 0x00BBGGRR
  EXPECT_EQ(back.Style, fsBold | fsUnderline);

  EXPECT_EQ(ColorToText(clrRed), "clRed");
  EXPECT_EQ(ColorToText(clrSkyBlue), "$00FFCC00");
  EXPECT_EQ(TextToColor("$00FFCC00"), clrSkyBlue);
  EXPECT_EQ(TextToColor("clWhite"), clrWhite);
  EXPECT_EQ(TextToColor("$00123456"), clrBlack);  // outside the palette
  EXPECT_THROW(TextToColor("light green"), EConvertError);
  EXPECT_EQ(xlsPaletteIndex(clrLavender), 46u);
  EXPECT_STREQ(xlsColorName(clrGray80Percent), "Gray-80%");
}

TEST(XlsStyles, SettingsFileKeys) {
  std::string path = test::WorkbookTempPath("styles.ini");
  std::filesystem::remove(path);
  TIniFile ini(path);
  TxlsFieldFormat f;
  f.Font.Name = "Courier";
  f.Font.Set(xfsItalic, true);
  f.Fill.Background = clrSkyBlue;
  f.Borders.Bottom.Style = bstDouble;
  f.Borders.Bottom.Color = clrRed;
  f.Aggregate = aggAvg;
  f.Wrap = true;
  f.SaveToIni(ini, "F");
  EXPECT_EQ(ini.ReadString("F", "FillBackground", ""), "$00FFCC00");
  EXPECT_EQ(ini.ReadString("F", "BorderBottomColor", ""), "clRed");
  EXPECT_EQ(ini.ReadString("F", "FontItalic", ""), "1");
  EXPECT_EQ(ini.ReadString("F", "Aggregate", ""), "2");
  EXPECT_FALSE(ini.ValueExists("F", "Wrap"));
  TStringList keys;
  ini.ReadSection("F", keys);
  EXPECT_EQ(keys.Text(),
            "FontName\nFontSize\nFontColor\nFontBold\nFontItalic\nFontStrikeOut\nFontUnderline\n"
            "HorAlignment\nVertAlignment\nBorderTop\nBorderTopColor\nBorderBottom\n"
            "BorderBottomColor\nBorderLeft\nBorderLeftColor\nBorderRight\nBorderRightColor\n"
            "FillPattern\nFillBackground\nFillForeground\nAggregate");

  TxlsFieldFormat g;
  g.LoadFromIni(ini, "F");
  EXPECT_EQ(g.Font.Name, "Courier");
  EXPECT_TRUE(g.Font.Has(xfsItalic));
  EXPECT_EQ(g.Fill.Background, clrSkyBlue);
  EXPECT_EQ(g.Borders.Bottom.Style, bstDouble);
  EXPECT_EQ(g.Borders.Bottom.Color, clrRed);
  EXPECT_EQ(g.Aggregate, aggAvg);
  EXPECT_FALSE(g.Wrap);  // not saved

  // From an empty section: the defaults, except what is never saved.
  TxlsFormat h;
  h.Wrap = true;
  h.Font.Charset = 204;
  h.Borders.DiagUp.Style = bstThin;
  h.Font.Size = 20;
  h.LoadFromIni(ini, "EMPTY");
  EXPECT_EQ(h.Font.Size, 10);
  EXPECT_EQ(h.Fill.Foreground, clrBlack);
  EXPECT_TRUE(h.Wrap);
  EXPECT_EQ(h.Font.Charset, 204);
  EXPECT_EQ(h.Borders.DiagUp.Style, bstThin);

  ini.WriteString("BAD", "FontColor", "greenish");
  EXPECT_THROW(h.LoadFromIni(ini, "BAD"), EConvertError);

  TxlsNoteFormat n;
  n.Transparency = 40;
  n.Font.Set(xfsBold, false);
  n.SaveToIni(ini, "N");
  TxlsNoteFormat m;
  m.LoadFromIni(ini, "N");
  EXPECT_EQ(m.Transparency, 40);
  EXPECT_FALSE(m.Font.Has(xfsBold));
  m.LoadFromIni(ini, "NONE");
  EXPECT_TRUE(m.Font.Has(xfsBold));
  EXPECT_EQ(m.Alignment.Horizontal, halLeft);
}

TEST(XlsStyles, PublishedProperties) {
  TxlsFormat f;
  SetPropertyText(f, "Font.Style", "[xfsBold, Italic]");
  EXPECT_TRUE(f.Font.Has(xfsBold) && f.Font.Has(xfsItalic));
  SetPropertyText(f, "Font.Color", "clrDarkRed");
  EXPECT_EQ(f.Font.Color, clrDarkRed);
  SetPropertyText(f, "Fill.Background", "clYellow");
  EXPECT_EQ(f.Fill.Background, clrYellow);
  SetPropertyText(f, "Borders.DiagDown.Style", "bstHair");
  EXPECT_EQ(f.Borders.DiagDown.Style, bstHair);
  EXPECT_EQ(GetPropertyText(f, "Alignment.Vertical"), "valBottom");
  EXPECT_THROW(SetPropertyText(f, "Font.Style", "xfsHuge"), EPropertyError);
  EXPECT_THROW(SetPropertyText(f, "Fill.Pattern", "ptPlaid"), EPropertyError);
}

TEST(XlsStyles, NumberFormatsInTheSpreadsheetsCodes) {
  TFormatSettings en = TFormatSettings::English(), ru = TFormatSettings::Russian();
  struct Case {
    const char* in;
    const TFormatSettings& fs;
    const char* out;
  } cases[] = {
      {"#,###,##0.00", en, "#,###,##0.00"},
      {"0.00 'руб.'", en, "0.00 \"руб.\""},
      {"h:nn AMPM", en, "h:mm AM/PM"},
      {"hh:nn:ss am/pm", en, "hh:mm:ss am/pm"},
      {"m/d/yyyy", en, "m/d/yyyy"},
      {"dd/mm/yyyy hh:nn", ru, "dd.mm.yyyy hh:mm"},
      {"yyyy/mm/dd", TFormatSettings::Iso(), "yyyy-mm-dd"},
      {"0.00;[Green]-0.00", en, "0.00;[Green]-0.00"},
      {"\\n0", en, "\\n0"},
      {"0 \"n/a\"", en, "0 \"n/a\""},
      // What the workbook's reader would refuse is closed or escaped: a literal left open runs
      // to the end as the engine reads it, a double quote inside single quotes stays a
      // character, and a lone bracket or a trailing backslash is shown as written.
      {"0 \"open", en, "0 \"open\""},
      {"0 'open", en, "0 \"open\""},
      {"0 'say \"hi\"'", en, R"(0 "say "\""hi"\""")"},
      {"[0.00", en, "\\[0.00"},
      {"0\\", en, "0\\\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExcelNumberFormat(c.in, c.fs), c.out) << c.in;
}

}  // namespace
}  // namespace morvale

namespace morvale {
namespace {

// Every setting of the workbook exporter survives its settings file, the field formats and strip
// styles included.
TEST(XlsStyles, ExporterSettingsSurviveTheSettingsFile) {
  TExportWorkbook changed;
  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
           {"Options.SheetTitle", "Orders"},
           {"Options.PageHeader", "Report &D"},
           {"Options.CaptionsFormat.Font.Size", "12"},
           {"Options.DataFormat.Borders.Bottom.Style", "bstThin"},
           {"AutoCalcColWidth", "true"},
           {"StartDataCol", "2"},
           {"StripType", "ssRow"},
           {"FieldFormats.PRICE.Aggregate", "aggSum"},
           {"FieldFormats.PRICE.Fill.Pattern", "ptSolid"},
           {"FieldFormats.NAME.Width", "0"},  // defaults only: present all the same
           {"StripStyles.1.Font.Style", "xfsItalic"},
       })
    SetPropertyText(changed, name, value);
  std::string path = test::WorkbookTempPath("exporter.ini");
  std::filesystem::remove(path);
  {
    TIniFile ini(path);
    changed.SaveProperties(ini);
  }
  TExportWorkbook loaded;
  loaded.FieldFormats.ForField("STALE");
  TIniFile ini(path);
  loaded.LoadProperties(ini);
  EXPECT_EQ(ListProperties(loaded), ListProperties(changed));
  ASSERT_EQ(loaded.FieldFormats.Count(), 2);
  EXPECT_EQ(loaded.FieldFormats[0].Aggregate, aggSum);
  EXPECT_EQ(loaded.FieldFormats[1].FieldName, "NAME");
  ASSERT_EQ(loaded.StripStyles.Count(), 2);
  EXPECT_TRUE(loaded.StripStyles[1].Font.Has(xfsItalic));
}

}  // namespace
}  // namespace morvale
