// The RTF exporter: the document byte for byte, the font and colour tables growing as styles are
// first used, strip styles and handlers, escaping, and unrtf reading the values back.
#include "export/docs/rtfexport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "export/core/codepage.h"
#include "export/core/inifile.h"
#include "export/core/platform.h"
#include "export/core/properties.h"
#include "export/core/streams.h"
#include "tests/support/memsources.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::TMemDataSet;

const std::string kBorders =
    "\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth\r\n";
const std::string kCell = "\\pard\\intbl\\li30\\ri30";

struct RtfFixture : ::testing::Test {
  TMemDataSet ds;
  TExportRTF exp;
  TFixedTextMetrics metrics;
  void SetUp() override {
    SetTextMetrics(&metrics);  // "X" in Arial 10 is 8 pixels
    exp.SetFormatSettings(TFormatSettings::English());
    exp.SetDataSet(&ds);
    exp.AutoCalcColWidth = false;  // the layouts below are of the declared widths
  }
  void TearDown() override { SetTextMetrics(nullptr); }
  void TwoColumns() {
    ds.AddField("A", ftInteger, 0, 6);
    ds.AddField("B", ftString, 10);
  }
  std::string Run() {
    TMemoryStream ms;
    exp.ExportToStream(ms);
    return ms.Data();
  }
  // The data rows: the "\row" lines after the data font line that precedes them.
  static std::vector<std::string> DataRows(const std::string& doc) {
    std::vector<std::string> rows;
    size_t p = doc.find("\\f1\\fs20\r\n", doc.find("\\trowd"));
    while (p != std::string::npos) {
      size_t q = doc.find("\r\n", p);
      if (q == std::string::npos) break;
      std::string line = doc.substr(p, q - p);
      if (line.ends_with("\\row")) rows.push_back(line);
      p = q + 2;
    }
    return rows;
  }
};

TEST_F(RtfFixture, DefaultDocumentByteForByte) {
  TwoColumns();
  ds.AddRow({"1", "x"});
  ds.AddRow({"-20", "y"});
  ds.Open();
  std::string expected =
      "{\\rtf1\\ansi\\deff0\\deftab720\r\n"
      "{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Arial;}}\r\n"
      "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\r\n"
      "\\f1\\fs20\r\n"
      "\\paperw11906\r\n"
      "\\paperh16838\r\n"
      "\\par\r\n"
      "\\trowd\\trql\\trgaph0\\trleft36\r\n" +
      kBorders + "\\cellx766\r\n" + kBorders + "\\cellx1976\r\n" + "\\f0\\fs20\r\n" + kCell +
      "\\cbpat1\\qc{\\f0\\fs20\\cf0\\b A}\\cell" +  //
      kCell + "\\cbpat1\\qc{\\f0\\fs20\\cf0\\b B}\\cell\\row\r\n" + "\\f1\\fs20\r\n" + kCell +
      "\\cbpat1\\qr{\\f0\\fs20\\cf0 1}\\cell" +  //
      kCell + "\\cbpat1\\ql{\\f0\\fs20\\cf0 x}\\cell\\row\r\n" + kCell +
      "\\cbpat1\\qr{\\f0\\fs20\\cf0 -20}\\cell" +  //
      kCell + "\\cbpat1\\ql{\\f0\\fs20\\cf0 y}\\cell\\row\r\n" +
      "\\pard\r\n"
      "}";
  EXPECT_EQ(Run(), expected);

  // Without captions there is no caption font line and no caption row; the white of the
  // backgrounds then enters the colour table at the first data cell.
  exp.AllowCaptions = false;
  std::string doc = Run();
  EXPECT_EQ(doc.find("\\b A"), std::string::npos);
  EXPECT_NE(doc.find("\\cellx1976\r\n\\f1\\fs20\r\n" + kCell + "\\cbpat1\\qr"), std::string::npos);
  EXPECT_NE(doc.find("\\red255\\green255\\blue255;}"), std::string::npos);
}

TEST_F(RtfFixture, TablesGrowWhereStylesAreFirstUsed) {
  TwoColumns();
  ds.AddRow({"1", "x"});
  ds.Open();
  // A caption font not in the table enters it as item 2 at the first caption cell.
  exp.OnGetCaptionStyle = [](TObject*, int, TrtfStyle& s) { s.Font.Name = "Courier New"; };
  exp.Options.DataStyle.Font.Color = clRed;
  exp.Options.DataStyle.AllowHighlight = true;
  exp.Options.DataStyle.HighlightColor = clYellow;
  exp.Options.DataStyle.AllowBackground = false;
  std::string doc = Run();
  EXPECT_TRUE(doc.starts_with(
      "{\\rtf1\\ansi\\deff0\\deftab720\r\n"
      "{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Arial;}{\\f2\\fnil Courier New;}}\r\n"
      "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green255\\blue0;"
      "\\red255\\green0\\blue0;}\r\n\\f1\\fs20\r\n"))
      << doc;
  EXPECT_NE(doc.find(kCell + "\\cbpat1\\qc{\\f2\\fs20\\cf0\\b A}\\cell"), std::string::npos);
  // Data cell: no background, highlight 2 (yellow, first met), font colour 3 (red).
  EXPECT_NE(doc.find(kCell + "\\highlight2\\qr{\\f0\\fs20\\cf3 1}\\cell"), std::string::npos);
}

TEST_F(RtfFixture, ValuesAreEscaped) {
  ds.AddField("V", ftString, 40);
  ds.AddField("M", ftMemo, 10);
  ds.AddRow({"C:\\temp", "a\r\nb"});
  ds.AddRow({"{x} }", "one\ntwo\rthree"});
  ds.AddRow({"Гайка", std::nullopt});
  ds.Open();
  exp.ExportedFields = {"V", "M"};
  exp.Formats.SetNullString("n\\a");
  exp.Captions = {"V=Путь\\{"};
  std::vector<std::string> rows = DataRows(Run());
  ASSERT_EQ(rows.size(), 3u);
  auto cells = [](const std::string& a, const std::string& b) {
    return kCell + "\\cbpat1\\ql{\\f0\\fs20\\cf0 " + a + "}\\cell" + kCell +
           "\\cbpat1\\ql{\\f0\\fs20\\cf0 " + b + "}\\cell\\row";
  };
  EXPECT_EQ(rows[0], cells("C:\\\\temp", "a \\par b"));
  EXPECT_EQ(rows[1], cells("\\{x\\} \\}", "one \\par two \\par three"));
  EXPECT_EQ(rows[2],
            cells("\\u1043\\'3f\\u1072\\'3f\\u1081\\'3f\\u1082\\'3f\\u1072\\'3f", "n\\\\a"));
  EXPECT_NE(Run().find("\\b \\u1055\\'3f\\u1091\\'3f\\u1090\\'3f\\u1100\\'3f\\\\\\{}\\cell"),
            std::string::npos);
}

TEST_F(RtfFixture, AbortEndsTheDocumentOnce) {
  TwoColumns();
  for (int i = 0; i < 5; ++i) ds.AddRow({std::to_string(i), "v"});
  ds.Open();
  exp.Footer = {"End"};
  exp.OnExportedRecord = [&](TObject*, int recNo) {
    if (recNo == 1) exp.Abort();
  };
  std::string doc = Run();
  EXPECT_EQ(DataRows(doc).size(), 2u);
  // The table, then the styled footer once: no second, unstyled copy.
  EXPECT_TRUE(
      doc.ends_with("\\cell\\row\r\n\\pard\r\n\\par\r\n{\\ql\\cbpat1 \r\n{\\f0\\fs20\\cf0 "
                    "End}\r\n\\par\r\n}\r\n}"))
      << doc;
  EXPECT_EQ(doc.find("End"), doc.rfind("End"));

  // A handler that lets the run go on: every row, one footer.
  exp.OnStopExport = [](TObject*, bool& canContinue) { canContinue = true; };
  doc = Run();
  EXPECT_EQ(DataRows(doc).size(), 5u);
  EXPECT_EQ(doc.find("End"), doc.rfind("End"));
}

TEST_F(RtfFixture, UnformattedValuesAreEscapedToo) {
  ds.AddField("G", ftGuid, 38);
  ds.AddField("F", ftBoolean);
  ds.AddRow({"{a\\b}", "True"});
  ds.AddRow({std::nullopt, std::nullopt});
  ds.Open();
  exp.Formats.SetNullString("-");
  std::vector<std::string> rows = DataRows(Run());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NE(rows[0].find("{\\f0\\fs20\\cf0 \\{a\\\\b\\}}\\cell"), std::string::npos) << rows[0];
  EXPECT_NE(rows[0].find("\\qc{\\f0\\fs20\\cf0 True}"), std::string::npos) << rows[0];
  EXPECT_NE(rows[1].find("\\ql{\\f0\\fs20\\cf0 -}"), std::string::npos) << rows[1];
}

TEST_F(RtfFixture, StripStylesByRowAndColumn) {
  ds.AddField("A", ftInteger);
  ds.AddField("B", ftInteger);
  for (int i = 0; i < 5; ++i) ds.AddRow({std::to_string(i), std::to_string(i)});
  ds.Open();
  for (TColor c : {clRed, clLime, clBlue}) exp.Options.StripStyles.Add().BackgroundColor = c;
  exp.Options.StripType = stRow;
  std::vector<std::string> rows = DataRows(Run());
  ASSERT_EQ(rows.size(), 5u);
  // White is 1 (captions); red, lime and blue enter as 2, 3, 4 with records 0, 1, 2.
  const char* expect[] = {"\\cbpat2", "\\cbpat3", "\\cbpat4", "\\cbpat2", "\\cbpat3"};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(rows[r].substr(kCell.size(), 7), expect[r]) << r;
  }

  exp.Options.StripType = stCol;
  rows = DataRows(Run());
  EXPECT_NE(rows[4].find("\\cbpat2\\qr{\\f0\\fs20\\cf0 4}\\cell" + kCell + "\\cbpat3\\qr"),
            std::string::npos);

  // With no strip styles the type has no effect.
  exp.Options.StripStyles.Clear();
  rows = DataRows(Run());
  EXPECT_EQ(rows[3].substr(kCell.size(), 7), "\\cbpat1");
}

TEST_F(RtfFixture, HeaderFooterOrientationAndEdges) {
  TwoColumns();
  ds.Open();
  exp.Header = {"Title", "Второй"};
  exp.Footer = {"End"};
  exp.Options.PageOrientation = poLandscape;
  exp.Options.HeaderStyle.Alignment = talCenter;
  exp.Options.HeaderStyle.Font.Style = fsBold | fsItalic | fsUnderline | fsStrikeOut;
  exp.Options.FooterStyle.AllowBackground = false;
  exp.ColumnsWidth = {"B=10"};
  std::string doc = Run();
  EXPECT_NE(doc.find("\\f1\\fs20\r\n\\landscape\r\n\\paperw16838\r\n\\paperh11906\r\n"
                     "{\\qc\\cbpat1 \r\n"
                     "{\\f0\\fs20\\cf0\\b\\i\\ul\\strike Title}\r\n\\par\r\n"
                     "{\\f0\\fs20\\cf0\\b\\i\\ul\\strike "
                     "\\u1042\\'3f\\u1090\\'3f\\u1086\\'3f\\u1088\\'3f\\u1086\\'3f"
                     "\\u1081\\'3f}\r\n\\par\r\n"
                     "}\r\n\\par\r\n\\trowd"),
            std::string::npos)
      << doc;
  // A column of width 10 with an "X" of 8 pixels ends 36 + 10 * 8 * 15 + 10 twips further.
  EXPECT_NE(doc.find("\\cellx766\r\n" + kBorders + "\\cellx1976\r\n"), std::string::npos);
  EXPECT_TRUE(doc.ends_with("\\pard\r\n\\par\r\n{\\ql\r\n{\\f0\\fs20\\cf0 End}\r\n\\par\r\n}\r\n}"))
      << doc;

  // A column set to no width still shows its caption whole: "B", 8 pixels in the fixed metrics,
  // a pixel and 3% more, and the cell's 60 twips of padding: (8 + 1) * 15 + 60 = 195.
  exp.ColumnsWidth = {"A=10", "B=0"};
  doc = Run();
  EXPECT_NE(doc.find("\\cellx1246\r\n" + kBorders + "\\cellx1441\r\n"), std::string::npos);
}

TEST_F(RtfFixture, CaptionAlignmentAndHandlers) {
  TwoColumns();
  ds.AddRow({"1", "x"});
  ds.AddRow({"2", "y"});
  ds.AddRow({"3", "z"});
  ds.Open();
  exp.Options.CaptionAligns = {"A=right", "b=Center"};
  exp.Options.CaptionStyle.Alignment = talLeft;
  exp.ColumnsAlign = {"B=c"};
  std::vector<int> rows, cols;
  exp.SkipRecCount = 1;
  exp.OnGetDataStyle = [&](TObject*, int row, int col, TrtfStyle& s) {
    rows.push_back(row), cols.push_back(col);
    if (row == 2 && col == 1) s.Font.Style = fsItalic;
  };
  std::string doc = Run();
  EXPECT_NE(doc.find("\\cbpat1\\qr{\\f0\\fs20\\cf0\\b A}\\cell" + kCell + "\\cbpat1\\qc{"),
            std::string::npos);
  EXPECT_EQ(rows, (std::vector<int>{1, 1, 2, 2}));
  EXPECT_EQ(cols, (std::vector<int>{0, 1, 0, 1}));
  EXPECT_NE(doc.find("\\qc{\\f0\\fs20\\cf0\\i z}"), std::string::npos);
  // The change was for that cell only.
  EXPECT_NE(doc.find("\\qc{\\f0\\fs20\\cf0 y}"), std::string::npos);

  exp.Options.CaptionAligns.Clear();
  exp.Options.CaptionStyle.Alignment = talFill;  // a caption is left, centred or right only
  EXPECT_NE(Run().find("\\cbpat1\\ql{\\f0\\fs20\\cf0\\b A}"), std::string::npos);
}

TEST_F(RtfFixture, FileOutputInsertsIntoTheWrittenFile) {
  ds.AddField("N", ftInteger);
  for (int i = 0; i < 3000; ++i) ds.AddRow({std::to_string(i)});
  ds.Open();
  // A colour and a font first used deep into the file are inserted into the tables at its top.
  exp.OnGetDataStyle = [](TObject*, int row, int, TrtfStyle& s) {
    if (row == 2500) s.Font.Color = clTeal, s.Font.Name = "Times New Roman";
  };
  std::string viaMemory = Run();
  std::string dir = test::FreshFolder("rtf-file");
  exp.FileName = dir + "t.rtf";
  exp.Execute();
  std::string viaFile = test::ReadFile(exp.FileName);
  EXPECT_EQ(viaFile, viaMemory);
  EXPECT_NE(viaFile.find("{\\f2\\fnil Times New Roman;}}\r\n"), std::string::npos);
  EXPECT_NE(viaFile.find("\\red0\\green128\\blue128;}\r\n"), std::string::npos);
  EXPECT_NE(viaFile.find("{\\f2\\fs20\\cf2 2,500}"), std::string::npos);

  int fd = ::open((dir + "fd.rtf").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  {
    TFdStream out(fd, "fd.rtf");
    exp.ExportToStream(out);
    out.Flush();
  }
  ::close(fd);
  EXPECT_EQ(test::ReadFile(dir + "fd.rtf"), viaMemory);
}

TEST_F(RtfFixture, WriteFailureReachesTheCaller) {
  test::FillSampleDataSet(ds);
  EXPECT_EQ(test::FullDiskError(exp), "Cannot write to '/dev/full': No space left on device");
}

TEST_F(RtfFixture, UnrtfReadsTheValues) {
  test::FillSampleDataSet(ds);
  exp.ExportedFields = {"ID", "NAME", "PRICE", "BORN", "NOTE"};
  exp.Header = {"Report"};
  exp.Footer = {"Итого"};
  exp.Options.StripType = stRow;
  exp.Options.StripStyles.Add().BackgroundColor = clSilver;
  exp.Options.StripStyles.Add().Font.Style = fsBold;
  std::string dir = test::FreshFolder("rtf-unrtf");
  exp.FileName = dir + "sample.doc";
  exp.Execute();
  std::string text = test::UnrtfText(exp.FileName);
  for (const char* v : {"Report", "ID NAME PRICE BORN NOTE", "1 Bolt 12.50 3/7/2008 plain",
                        "Гайка \"M6\" 0.10 12/31/1999 line one", "line two", "a;b,c", "<tag> & 'q'",
                        "-1,234,567.89 2/29/2000 Ünïcødé ✓", "Итого"})
    EXPECT_NE(text.find(v), std::string::npos) << v << "\nin: " << text;
}

// In a single-byte system code page the text's own bytes stay as the fallback of \uN.
TEST_F(RtfFixture, SingleByteCodePage) {
  SetSystemCodePage("CP1251");
  ds.AddField("NAME", ftString, 10);
  ds.AddRow({"\xc3\xe0\xe9\xea\xe0"});  // Гайка
  ds.Open();
  std::string dir = test::FreshFolder("rtf-cp1251");
  exp.FileName = dir + "cp.rtf";
  exp.Execute();
  SetSystemCodePage("UTF-8");
  std::string doc = test::ReadFile(exp.FileName);
  EXPECT_NE(
      doc.find("{\\f0\\fs20\\cf0 \\u1043\\'c3\\u1072\\'e0\\u1081\\'e9\\u1082\\'ea\\u1072\\'e0}"),
      std::string::npos)
      << doc;
  EXPECT_NE(test::UnrtfText(exp.FileName).find("NAME Гайка"), std::string::npos);
}

TEST(RtfStyle, SettingsFileKeysAndDefaults) {
  std::string dir = test::FreshFolder("rtf-style");
  TrtfStyle s;
  s.Font.Name = "Verdana";
  s.Font.Size = 12;
  s.Font.Color = clNavy;
  s.Font.Style = fsBold | fsStrikeOut;
  s.BackgroundColor = clYellow;
  s.HighlightColor = clAqua;
  s.AllowHighlight = true;
  s.AllowBackground = false;
  s.Alignment = talCenter;
  {
    TIniFile ini(dir + "s.rst");
    s.SaveToIni(ini, "RTF_STRIP_STYLE_0");
  }
  TIniFile ini(dir + "s.rst");
  TStringList lines;
  ini.ReadSectionValues("RTF_STRIP_STYLE_0", lines);
  EXPECT_EQ(lines.Text(),
            "FontName=Verdana\nFontSize=12\nFontColor=8388608\nFontBold=1\nFontItalic=0\n"
            "FontUnderline=0\nFontStrikeOut=1\nBackgroundColor=65535\nHighlightColor=16776960\n"
            "AllowHighlight=1\nAllowBackground=0\nAlignment=2");
  TrtfStyle back;
  back.LoadFromIni(ini, "RTF_STRIP_STYLE_0");
  EXPECT_TRUE(back == s);
  // Missing keys keep the defaults: loading starts from a reset style.
  back.LoadFromIni(ini, "NO_SUCH_SECTION");
  EXPECT_TRUE(back == TrtfStyle());

  TrtfStyles strips;
  strips.LoadFromIni(ini);
  ASSERT_EQ(strips.Count(), 1);
  EXPECT_TRUE(strips[0] == s);

  // The caption style's defaults are the data style's, bold and centred.
  TRTFOptions o;
  EXPECT_EQ(o.CaptionStyle.Font.Style, fsBold);
  EXPECT_EQ(o.CaptionStyle.Alignment, talCenter);
  EXPECT_EQ(o.DataStyle.Font.Name, "Arial");
  EXPECT_EQ(o.DataStyle.Font.Color, clBlack);
  TRTFOptions copy;
  o.StripStyles.Add().Alignment = talFill;
  o.PageOrientation = poLandscape;
  copy.Assign(o);
  EXPECT_EQ(copy.StripStyles.Count(), 1);
  EXPECT_EQ(copy.PageOrientation, poLandscape);
}

TEST(RtfStyle, EverySettingByPublishedName) {
  TExportRTF exp;
  SetPropertyText(exp, "Options.StripType", "stRow");
  SetPropertyText(exp, "Options.PageOrientation", "poLandscape");
  SetPropertyText(exp, "Options.StripStyles.Count", "2");
  SetPropertyText(exp, "Options.StripStyles.1.BackgroundColor", "clRed");
  SetPropertyText(exp, "Options.StripStyles.0.Alignment", "talFill");
  SetPropertyText(exp, "Options.DataStyle.Font.Size", "8");
  SetPropertyText(exp, "Options.CaptionAligns.PRICE", "Right");
  SetPropertyText(exp, "Options.HeaderStyle.AllowHighlight", "True");
  SetPropertyText(exp, "ColumnsWidth.NAME", "30");
  SetPropertyText(exp, "ColumnsAlign.NAME", "Center");
  EXPECT_EQ(exp.Options.StripType, stRow);
  EXPECT_EQ(exp.Options.PageOrientation, poLandscape);
  ASSERT_EQ(exp.Options.StripStyles.Count(), 2);
  EXPECT_EQ(exp.Options.StripStyles[1].BackgroundColor, clRed);
  EXPECT_EQ(exp.Options.StripStyles[0].Alignment, talFill);
  EXPECT_EQ(exp.Options.DataStyle.Font.Size, 8);
  EXPECT_EQ(exp.Options.CaptionAligns.Value("price"), "Right");
  EXPECT_TRUE(exp.Options.HeaderStyle.AllowHighlight);
  EXPECT_EQ(exp.ColumnsWidth.Value("NAME"), "30");
  EXPECT_EQ(GetPropertyText(exp, "Options.StripStyles.1.BackgroundColor"), "clRed");
  EXPECT_THROW(SetPropertyText(exp, "Options.StripStyles.2.Alignment", "talLeft"), EPropertyError);
  EXPECT_THROW(SetPropertyText(exp, "Options.StripType", "stDiagonal"), EPropertyError);

  std::vector<std::string> all = ListProperties(exp);
  auto has = [&](const std::string& line) {
    return std::find(all.begin(), all.end(), line) != all.end();
  };
  EXPECT_TRUE(has("Options.StripStyles.Count=2"));
  EXPECT_TRUE(has("Options.StripStyles.1.BackgroundColor=clRed"));
  EXPECT_TRUE(has("Options.PageOrientation=poLandscape"));
  for (const char* name : {"Options", "ColumnsWidth", "ColumnsAlign", "OnGetDataStyle",
                           "OnGetCaptionStyle", "OnGetHeaderStyle", "OnGetFooterStyle", "Header",
                           "Footer", "Captions", "Formats", "UserFormats", "AllowCaptions"})
    EXPECT_TRUE(Publishes(exp, name)) << name;
}

}  // namespace
}  // namespace morvale
