#include "export/text/html.h"

#include <gtest/gtest.h>

#include "export/core/properties.h"
#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

void FillNumbered(TMemDataSet& ds, int rows) {
  ds.AddField("N", ftInteger);
  ds.AddField("NAME", ftString, 10);
  for (int i = 1; i <= rows; ++i) ds.AddRow({std::to_string(i), "row" + std::to_string(i)});
  ds.Open();
}

// check_html.py's summary of the named files, one line each.
std::string Check(const std::string& folder, std::vector<std::string> files, bool cells = false) {
  std::string cmd = Python() + " " + TestScript("check_html.py") + (cells ? " --cells" : "");
  for (const auto& f : files) cmd += " " + ShellQuote(folder + f);
  TCommandResult r = RunCommand(cmd);
  EXPECT_EQ(r.status, 0);
  return r.out;
}

const char* kPage =
    "<HTML>\r\n<HEAD>\r\n <Title>T</Title>\r\n<Style type=\"text/css\">\r\n"
    "  BODY { background: #333399; color: #ffffff;\r\n"
    "         font-family: Arial;\r\n"
    "  }\r\n"
    "  A:link { color: #69ef7d }\r\n"
    "  A:visited { color: #ff00ff }\r\n"
    "  A:active { color: #00ff00 }\r\n"
    "  .ThRows { \r\n"
    "            background-color: #ff0000;\r\n"
    "            color: #ffffff;\r\n"
    "            font-weight: bold; text-align: center;\r\n"
    "            font-family: Arial;\r\n"
    "  }\r\n"
    "  .TrRows {\r\n"
    "            background-color: #007aec;\r\n"
    "            color: #ffffff;\r\n"
    "            font-family: Arial;\r\n"
    "  }\r\n"
    "  .TrOdd  {\r\n"
    "            background-color: #006bce;\r\n"
    "            color: #ffffff;\r\n"
    "            font-family: Arial;\r\n"
    "  }\r\n"
    "</STYLE>\r\n</HEAD>\r\n<BODY>\r\n<br>\r\n"
    "<Table Border=\"1\" Cellpadding=\"4\" Cellspacing=\"1\">\r\n"
    "  <tr>\r\n"
    "    <td class=\"ThRows\">NAME</td>\r\n"
    "    <td class=\"ThRows\">QTY</td>\r\n"
    "  </tr>\r\n"
    "  <tr>\r\n"
    "    <td class=\"TrOdd\" align=Left>Bolt</td>\r\n"
    "    <td class=\"TrOdd\" align=Right>12</td>\r\n"
    "  </tr>\r\n"
    "</Table>\r\n<br>\r\n</BODY>\r\n</HTML>\r\n";

TEST(ExportHTML, OnePageByteForByte) {
  TMemDataSet ds;
  ds.AddField("NAME", ftString, 6);
  ds.AddField("QTY", ftInteger);
  ds.AddRow({"Bolt", "12"});
  ds.Open();
  TExportHTML e;
  e.SetFormatSettings(TFormatSettings::English());
  e.SetDataSet(&ds);
  e.Title = "T";
  e.Formats.SetIntegerFormat("0");
  EXPECT_EQ(ExportToString(e), kPage);
}

TEST(ExportHTML, PagesIndexAndNavigation) {
  std::string folder = ScratchFolder();
  TMemDataSet ds;
  FillNumbered(ds, 25);
  TExportHTML e;
  e.SetDataSet(&ds);
  e.FileName = folder + "r.htm";
  e.SetMaxRecords(10);
  e.Execute();
  EXPECT_EQ(ReadFile(folder + "r.htm"), "");
  EXPECT_FALSE(std::filesystem::exists(folder + "r04.htm"));
  EXPECT_EQ(e.GetShowFileName(), folder + "r01.htm");
  // Bars on top and bottom: First, Prior, three pages (one of them bold), Next, Last.
  EXPECT_EQ(Check(folder, {"r01.htm", "r02.htm", "r03.htm"}),
            "r01.htm captions=1 rows=10 classes=OEOEOEOEOE navs=2 links=12 missing= errors=\n"
            "r02.htm captions=1 rows=10 classes=OEOEOEOEOE navs=2 links=12 missing= errors=\n"
            "r03.htm captions=1 rows=5 classes=OEOEO navs=2 links=12 missing= errors=\n");
  std::string p2 = ReadFile(folder + "r02.htm");
  std::string bar =
      "<Table Border=\"0\" Cellpadding=\"4\" Cellspacing=\"1\">\r\n  <tr>\r\n"
      "    <td><a href=\"r01.htm\">First</a></td>\r\n"
      "    <td><a href=\"r01.htm\">Prior</a></td>\r\n"
      "    <td><a href=\"r01.htm\">01</a></td>\r\n"
      "    <td><b>02</b></td>\r\n"
      "    <td><a href=\"r03.htm\">03</a></td>\r\n"
      "    <td><a href=\"r03.htm\">Next</a></td>\r\n"
      "    <td><a href=\"r03.htm\">Last</a></td>\r\n"
      "  </tr>\r\n</Table>\r\n";
  EXPECT_NE(p2.find("<BODY>\r\n" + bar + "<br>\r\n<br>\r\n<Table Border=\"1\""), std::string::npos)
      << p2;
  EXPECT_NE(p2.find("</Table>\r\n<br>\r\n<br>\r\n" + bar + "</BODY>\r\n</HTML>\r\n"),
            std::string::npos)
      << p2;
  // Prior of the first page and Next of the last wrap around.
  std::string p1 = ReadFile(folder + "r01.htm"), p3 = ReadFile(folder + "r03.htm");
  EXPECT_NE(p1.find("<a href=\"r03.htm\">Prior</a>"), std::string::npos);
  EXPECT_NE(p3.find("<a href=\"r01.htm\">Next</a>"), std::string::npos);

  e.GenerateIndex = true;
  e.Navigation.IndexLinkTemplate = "Page ";
  e.Execute();
  EXPECT_EQ(e.GetShowFileName(), folder + "r.htm");
  EXPECT_EQ(Check(folder, {"r.htm", "r01.htm", "r03.htm"}),
            "r.htm captions=0 rows=0 classes= navs=0 links=3 missing= errors=\n"
            "r01.htm captions=1 rows=10 classes=OEOEOEOEOE navs=2 links=14 missing= errors=\n"
            "r03.htm captions=1 rows=5 classes=OEOEO navs=2 links=14 missing= errors=\n");
  EXPECT_NE(ReadFile(folder + "r.htm").find("<LI>\r\n<a href=\"r02.htm\">Page 02</a>\r\n</LI>\r\n"),
            std::string::npos);
  EXPECT_NE(ReadFile(folder + "r01.htm").find("    <td><a href=\"r.htm\">Index</a></td>\r\n"),
            std::string::npos);
}

TEST(ExportHTML, OneRecordPerPage) {
  std::string folder = ScratchFolder();
  TMemDataSet ds;
  FillNumbered(ds, 3);
  TExportHTML e;
  e.SetDataSet(&ds);
  e.FileName = folder + "p.html";
  e.SetMaxRecords(1);
  e.Navigation.OnBottom = false;
  e.AllowCaptions = false;
  e.Execute();
  EXPECT_EQ(Check(folder, {"p01.html", "p02.html", "p03.html"}),
            "p01.html captions=0 rows=1 classes=O navs=1 links=6 missing= errors=\n"
            "p02.html captions=0 rows=1 classes=O navs=1 links=6 missing= errors=\n"
            "p03.html captions=0 rows=1 classes=O navs=1 links=6 missing= errors=\n");

  // A single page gets no bars.
  e.SetMaxRecords(5);
  e.Execute();
  EXPECT_EQ(Check(folder, {"p01.html"}),
            "p01.html captions=0 rows=3 classes=OEO navs=0 links=0 missing= errors=\n");
}

TEST(ExportHTML, CellTexts) {
  TMemDataSet ds;
  ds.AddField("A", ftString, 20);
  ds.AddField("B", ftMemo);
  ds.AddRow({"a<b", "one\r\ntwo"});
  ds.AddRow({"", "three\n\nfour"});
  ds.AddRow({std::nullopt, "\"q\" & r"});
  ds.Open();
  TExportHTML e;
  e.SetDataSet(&ds);
  e.ExportedFields = {"A", "B"};
  e.Formats.SetNullString("x<y");
  std::string s = ExportToString(e);
  EXPECT_NE(s.find("<td class=\"TrOdd\" align=Left>a&lt;b</td>"), std::string::npos) << s;
  EXPECT_NE(s.find("<td class=\"TrOdd\" align=Left>one<br>two</td>"), std::string::npos);
  EXPECT_NE(s.find("<td class=\"TrRows\" align=Left>&nbsp</td>"), std::string::npos);
  // A blank line between two lines stays a blank line.
  EXPECT_NE(s.find(">three<br><br>four</td>"), std::string::npos);
  EXPECT_NE(s.find(">x&lt;y</td>"), std::string::npos);
  EXPECT_NE(s.find(">&quot;q&quot; &amp; r</td>"), std::string::npos);
}

TEST(ExportHTML, CellParams) {
  TMemDataSet ds;
  FillNumbered(ds, 2);
  TExportHTML e;
  e.SetDataSet(&ds);
  std::vector<std::string> seen;
  e.OnGetCellParams = [&](TObject*, int recNo, int colNo, const std::string& value,
                          TExportColAlign& align, TFont* font, TColor& bg) {
    seen.push_back(std::to_string(recNo) + ":" + std::to_string(colNo) + ":" + value);
    if (recNo == 0 && colNo == 1) bg = clRed;
    if (recNo == 1 && colNo == 0) {
      align = ecaCenter;
      font->Style = fsBold | fsUnderline;
      font->Size = 14;
      font->Color = clBlue;
      font->Name = "ARIAL";  // the same font, in other letters
    }
  };
  std::string s = ExportToString(e);
  EXPECT_EQ(seen, (std::vector<std::string>{"0:0:1", "0:1:row1", "1:0:2", "1:1:row2"}));
  EXPECT_NE(s.find("<td class=\"TrOdd\" align=Left style=\"background-color: #ff0000\">row1</td>"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("<td class=\"TrRows\" align=Center style=\"font-size: 14pt; color: #0000ff; "
                   "font-weight: bold; text-decoration: underline\">2</td>"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("<td class=\"TrRows\" align=Left>row2</td>"), std::string::npos);
}

TEST(ExportHTML, BorderColourStyleSheetAndTemplates) {
  std::string folder = ScratchFolder();
  TMemDataSet ds;
  FillNumbered(ds, 2);
  TExportHTML e;
  e.SetDataSet(&ds);
  e.FileName = folder + "b.htm";
  SetPropertyText(e, "TableOptions.BorderColor", "#102030");
  SetPropertyText(e, "HTMLTemplate", "htGray");
  e.Execute();
  std::string s = ReadFile(e.FileName);
  EXPECT_NE(s.find("  .TrBC { background-color: #102030 }\r\n"), std::string::npos);
  EXPECT_NE(s.find("<Table cellspacing=0 cellpadding=0 class=\"TrBC\">\r\n<tr><td>\r\n<Table"),
            std::string::npos);
  // The wrapper closes right after the data table.
  EXPECT_NE(s.find("</Table>\r\n</td></tr>\r\n</Table>\r\n<br>\r\n</BODY>"), std::string::npos);
  EXPECT_NE(s.find(".ThRows { \r\n            background-color: #808080;"), std::string::npos);
  EXPECT_EQ(Check(folder, {"b.htm"}),
            "b.htm captions=1 rows=2 classes=OE navs=0 links=0 missing= errors=\n");

  // htCustom keeps what is there; a named template replaces it.
  e.TableOptions.HeadersRowBgColor = clYellow;
  e.SetHTMLTemplate(htCustom);
  EXPECT_EQ(e.TableOptions.HeadersRowBgColor, clYellow);
  e.SetHTMLTemplate(htMurky);
  EXPECT_EQ(HTMLColor(e.TableOptions.HeadersRowBgColor), "#3a9393");
  EXPECT_EQ(HTMLColor(e.HTMLOptions.TextFont.Color), "#ffffff");
  EXPECT_EQ(HTMLColor(e.TableOptions.TableFontColor), "#ffe760");

  // Template files: what is saved comes back; keys that are missing leave colours alone.
  e.SaveTemplateToFile(folder + "murky.ini");
  e.SetHTMLTemplate(htBW);
  e.LoadTemplateFromFile(folder + "murky.ini");
  EXPECT_EQ(HTMLColor(e.HTMLOptions.BackgroundColor), "#317676");
  EXPECT_EQ(HTMLColor(e.TableOptions.OddRowBgColor), "#367800");
  EXPECT_EQ(HTMLColor(e.TableOptions.BorderColor), "#102030");
  WriteFile(folder + "part.ini", "[Table options]\r\nHeader-bgcolor=255\r\n");
  e.LoadTemplateFromFile(folder + "part.ini");
  EXPECT_EQ(HTMLColor(e.TableOptions.HeadersRowBgColor), "#ff0000");
  EXPECT_EQ(HTMLColor(e.TableOptions.OddRowBgColor), "#367800");
}

TEST(ExportHTML, ExternalStyleSheet) {
  std::string folder = ScratchFolder();
  TMemDataSet ds;
  FillNumbered(ds, 1);
  TExportHTML e;
  e.SetDataSet(&ds);
  e.FileName = folder + "x.htm";
  e.UsingCSS = usExternal;
  e.Execute();
  EXPECT_EQ(e.CSSFileName, folder + "x.css");
  std::string page = ReadFile(e.FileName);
  EXPECT_NE(page.find("<HEAD>\r\n <Title></Title>\r\n <link rel=\"stylesheet\" type=\"text/css\" "
                      "href=\"x.css\">\r\n</HEAD>"),
            std::string::npos)
      << page;
  EXPECT_TRUE(ReadFile(folder + "x.css").starts_with("  BODY { background: #333399;"));

  // A style sheet kept elsewhere is linked by its path from the page's folder.
  std::filesystem::create_directories(folder + "css");
  e.CSSFileName = folder + "css/site.css";
  WriteFile(e.CSSFileName, "keep");
  e.OverwriteCSSFile = false;
  e.Execute();
  EXPECT_NE(ReadFile(e.FileName).find("href=\"css/site.css\""), std::string::npos);
  EXPECT_EQ(ReadFile(e.CSSFileName), "keep");
}

TEST(ExportHTML, NothingExported) {
  std::string folder = ScratchFolder();
  TMemDataSet ds;
  FillNumbered(ds, 3);
  TExportHTML e;
  e.SetDataSet(&ds);
  e.FileName = folder + "s.htm";
  e.SkipRecCount = 5;
  e.SetMaxRecords(2);
  e.Execute();
  // Every record skipped: still a page, with head and body and no table.
  EXPECT_EQ(Check(folder, {"s.htm"}),
            "s.htm captions=0 rows=0 classes= navs=0 links=0 missing= errors=\n");
  EXPECT_NE(ReadFile(folder + "s.htm").find("<BODY>\r\n<br>\r\n<br>\r\n</BODY>"),
            std::string::npos);

  // The first record refused: the rows that follow still get their table.
  e.SkipRecCount = 0;
  e.SetMaxRecords(0);
  e.OnBeforeExportRow = [](TObject*, TExportRow& row, bool& accept) {
    accept = row[0].Data != "1";
  };
  e.Execute();
  EXPECT_EQ(Check(folder, {"s.htm"}),
            "s.htm captions=1 rows=2 classes=OE navs=0 links=0 missing= errors=\n");
}

TEST(ExportHTML, PublishedSettings) {
  TExportHTML e;
  EXPECT_EQ(e.Header, TStringList({"<br>"}));
  EXPECT_EQ(e.Footer, TStringList({"<br>"}));
  for (const char* name : {"ColumnsAlign", "Title", "OnGetCellParams", "Formats", "Captions"})
    EXPECT_TRUE(Publishes(e, name)) << name;
  SetPropertyText(e, "MaxRecords", "-5");
  EXPECT_EQ(e.MaxRecords(), 0);
  SetPropertyText(e, "MaxRecords", "10");
  SetPropertyText(e, "GenerateIndex", "true");
  SetPropertyText(e, "UsingCSS", "usExternal");
  SetPropertyText(e, "HTMLOptions.TextFont.Size", "12");
  SetPropertyText(e, "HTMLOptions.DefaultOptions", "[doFontName]");
  SetPropertyText(e, "Navigation.NextLinkTitle", "Дальше");
  SetPropertyText(e, "TableOptions.CellPadding", "2");
  EXPECT_EQ(e.MaxRecords(), 10);
  EXPECT_TRUE(e.GenerateIndex);
  EXPECT_EQ(e.UsingCSS, usExternal);
  EXPECT_EQ(e.HTMLOptions.TextFont.Size, 12);
  EXPECT_EQ(e.HTMLOptions.DefaultOptions, doFontName);
  EXPECT_EQ(e.Navigation.NextLinkTitle, "Дальше");
  EXPECT_EQ(e.TableOptions.CellPadding, 2);
  EXPECT_EQ(GetPropertyText(e, "HTMLOptions.DefaultOptions"), "[doFontName]");
  EXPECT_THROW(SetPropertyText(e, "HTMLTemplate", "htPink"), EPropertyError);
  EXPECT_THROW(SetPropertyText(e, "TableOptions.BorderColor", "#12345"), EPropertyError);
}

}  // namespace
}  // namespace morvale::test
