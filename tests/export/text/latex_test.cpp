#include "export/text/latex.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "export/core/codepage.h"
#include "export/core/properties.h"
#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

void FillExample(TMemDataSet& ds) {
  ds.AddField("NAME", ftString, 10);
  ds.AddField("QTY", ftInteger);
  ds.AddRow({"A_1", "5"});
  ds.Open();
}

TEST(ExportLaTeX, Example) {
  TMemDataSet ds;
  FillExample(ds);
  TExportLaTeX e;
  e.SetFormatSettings(TFormatSettings::English());
  e.SetDataSet(&ds);
  e.Options.SetCodePage(1251);
  EXPECT_EQ(ExportToString(e),
            "\\documentclass[a4paper]{article}\r\n"
            "\\usepackage[cp1251]{inputenc}\r\n"
            "\\usepackage[T1]{fontenc}\r\n"
            "\\usepackage[english]{babel}\r\n"
            "\\IfFileExists{lmodern.sty}{\\usepackage{lmodern}}{}\r\n"
            "\\usepackage{longtable}\r\n"
            "\\begin{document}\r\n"
            "\r\n"
            "\\par\\bigskip\r\n"
            "\\begin{longtable}{|l|r|}\r\n"
            "\\hline\r\n"
            "NAME & QTY\r\n"
            "\\\\\r\n"
            "\\hline\r\n"
            "\\endhead\r\n"
            "A\\_1 & 5\r\n"
            "\\\\\r\n"
            "\\hline\r\n"
            "\\end{longtable}\r\n"
            "\r\n"
            "\\end{document}\r\n");
}

TEST(ExportLaTeX, PreambleVariants) {
  TMemDataSet ds;
  FillExample(ds);
  TExportLaTeX e;
  e.SetDataSet(&ds);

  e.Options.LaTeXVersion = LaTeX209;
  e.Options.DocumentParams.clear();
  e.Preambula = {"\\usepackage{longtable}"};  // LaTeX 2.09 writes no preamble lines
  EXPECT_TRUE(
      ExportToString(e).starts_with("\\documentstyle{article}\r\n\\begin{document}\r\n\r\n"));

  e.Options.LaTeXVersion = LaTeX2e;
  e.Options.DocumentStyle = dsBook;
  e.Options.SetCodePage(65001);
  e.Options.Languages = "russian,english";
  e.Header = {"Head"};
  e.AllowCaptions = false;
  EXPECT_TRUE(
      ExportToString(e).starts_with("\\documentclass{book}\r\n"
                                    "\\usepackage[utf8]{inputenc}\r\n"
                                    "\\usepackage{cmap}\r\n"
                                    "\\usepackage[T2A,T1]{fontenc}\r\n"
                                    "\\usepackage[russian,english]{babel}\r\n"
                                    "\\IfFileExists{lmodern.sty}{\\usepackage{lmodern}}{}\r\n"
                                    "\\DeclareFontFamily{T2A}{lmr}{}\r\n"
                                    "\\DeclareFontShape{T2A}{lmr}{m}{n}{<-> larm1000}{}\r\n"
                                    "\\usepackage{longtable}\r\n"
                                    "\\usepackage{longtable}\r\n"
                                    "\r\n"
                                    "\\begin{document}\r\n"
                                    "\\selectlanguage{russian}\r\n"
                                    "\r\n"
                                    "Head\r\n"
                                    "\\par\\bigskip\r\n"
                                    "\\begin{longtable}{|l|r|}\r\n"
                                    "\\hline\r\n"
                                    "\\endhead\r\n"
                                    "A\\_1 & 5\r\n"));

  // 0 and less stand for the system's code page.
  SetSystemCodePage("UTF-8");
  e.Options.SetCodePage(0);
  EXPECT_EQ(e.Options.CodePage(), 65001);
  SetSystemCodePage("CP1251");
  e.Options.SetCodePage(-1);
  EXPECT_EQ(e.Options.CodePage(), 1251);
  SetSystemCodePage("UTF-8");
  EXPECT_EQ(InputEncodingName(20866), "koi8-r");
  EXPECT_EQ(InputEncodingName(1252), "cp1252");
}

TEST(ExportLaTeX, EscapingAndAlignment) {
  TExportLaTeX e;
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"50% & more", "50\\% \\& more"},
      {"a\\b", "a\\textbackslash{}b"},
      {"#$_{}", "\\#\\$\\_\\{\\}"},
      {"x^2 ~y", "x\\textasciicircum{}2 \\textasciitilde{}y"},
      {"a<b>c", "a$<$b$>$c"},
      {"one\r\ntwo\n\nthree", "one two three"},
      {"plain Кириллица", "plain Кириллица"},
      // What TeX would turn into curly quotes, dashes and low quotes, and babel's " command.
      {"it's `x` \"y\" a|b",
       "it\\textquotesingle{}s \\textasciigrave{}x\\textasciigrave{} "
       "\\textquotedbl{}y\\textquotedbl{} a\\textbar{}b"},
      {"a--b c---d ,,e -f, g", "a-{}-b c-{}-{}-d ,{},e -f, g"},
  };
  for (const auto& c : cases) EXPECT_EQ(e.EscapeString(c.in), c.out) << c.in;

  // Where the document sets Cyrillic in T2A beside T1, each run of letters goes to the encoding
  // that holds it: T2A would compose an accented Latin letter from two glyphs.
  TMemDataSet mixed;
  mixed.AddField("NAME", ftString, 30);
  mixed.AddRow({"Пётр Ölfaß_1 «Анна-Мария»"});
  mixed.Open();
  e.SetDataSet(&mixed);
  e.AllowCaptions = false;
  EXPECT_NE(ExportToString(e).find(
                "{\\fontencoding{T2A}\\selectfont Пётр} {\\fontencoding{T1}\\selectfont Ölfaß}"
                "\\_1 {\\fontencoding{T1}\\selectfont «}{\\fontencoding{T2A}\\selectfont Анна}-"
                "{\\fontencoding{T2A}\\selectfont Мария}{\\fontencoding{T1}\\selectfont »}"),
            std::string::npos)
      << ExportToString(e);
  e.AllowCaptions = true;

  TMemDataSet ds;
  ds.AddField("D", ftDate);
  ds.AddField("C", ftCurrency);
  ds.AddField("B", ftBoolean);
  ds.AddField("F", ftFloat);
  ds.AddRow({"3/7/2008", "5", "True", std::nullopt});
  ds.Open();
  e.SetFormatSettings(TFormatSettings::English());
  e.SetDataSet(&ds);
  e.Formats.SetDateFormat("yyyy-mm-dd");
  e.Formats.SetCurrencyFormat("0.00 $");
  e.Formats.SetNullString("n/a %");
  std::string s = ExportToString(e);
  EXPECT_NE(s.find("\\begin{longtable}{|l|r|l|r|}\r\n"), std::string::npos) << s;
  EXPECT_NE(s.find("2008-03-07 & 5.00 \\$ & True & n/a \\%\r\n"), std::string::npos) << s;
}

// A real TeX installation compiles what the exporter writes: Cyrillic under babel's russian in
// T2A, every special character, line breaks, NULLs; in UTF-8 and in Windows-1251.
TEST(ExportLaTeX, CompilesWithPdfLaTeX) {
  if (!HaveCommand("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  for (const char* codePage : {"UTF-8", "CP1251"}) {
    SCOPED_TRACE(codePage);
    auto text = [&](const std::string& utf8) { return ConvertText(utf8, "UTF-8", codePage); };
    SetSystemCodePage(codePage);
    std::string folder = ScratchFolder() + codePage + "/";
    std::filesystem::create_directories(folder);
    TMemDataSet ds;
    ds.AddField("ID", ftInteger);
    ds.AddField("NAME", ftString, 30);
    ds.AddField("PRICE", ftFloat);
    ds.AddField("NOTE", ftMemo);
    ds.AddRow({"1", text("Гайка \"M6\""), "12.5", "line one\r\n\r\nline two"});
    ds.AddRow({"2", "a\\b #1 $2 %3 &4 ^5 _6 {7} ~8 <9>", std::nullopt, text("Ünïcødé")});
    ds.AddRow({"3", std::nullopt, "-1234567.891", std::nullopt});
    ds.Open();
    TExportLaTeX e;
    e.SetFormatSettings(TFormatSettings::English());
    e.SetDataSet(&ds);
    e.ExportedFields = {"ID", "NAME", "PRICE", "NOTE"};
    e.Options.Languages = "russian,english";
    e.Formats.SetNullString("null");
    e.Header = {text("Отчёт \\today")};
    e.FileName = folder + "doc.tex";
    e.Execute();
    SetSystemCodePage("UTF-8");
    TCommandResult r =
        RunCommand("cd " + ShellQuote(folder) +
                   " && pdflatex -interaction=nonstopmode -halt-on-error doc.tex 2>&1");
    ASSERT_EQ(r.status, 0) << r.out << "\n" << ReadFile(e.FileName);
    if (!HaveCommand("pdftotext")) continue;
    std::string pdf = RunCommand("pdftotext " + ShellQuote(folder + "doc.pdf") + " -").out;
    // Text wrapped in a fitted column reads as one line.
    std::replace(pdf.begin(), pdf.end(), '\n', ' ');
    for (const char* word : {"12.50", "null", "line two", "#1", "%3", "&4", "_6", "~8"})
      EXPECT_NE(pdf.find(word), std::string::npos) << word << "\n" << pdf;
    // Letters set in T1 beside the Russian text copy out as themselves, not composed.
    for (const char* word : {"Гайка \"M6\"", "a\\b #1 $2 %3 &4 ^5 _6 {7} ~8 <9>"})
      EXPECT_NE(pdf.find(word), std::string::npos) << word << "\n" << pdf;
    if (std::string(codePage) == "UTF-8") {
      EXPECT_NE(pdf.find("Ünïcødé"), std::string::npos) << pdf;
    }
  }
}

TEST(ExportLaTeX, PublishedSettings) {
  TExportLaTeX e;
  SetPropertyText(e, "Options.LaTeXVersion", "LaTeX209");
  SetPropertyText(e, "Options.DocumentStyle", "dsBook");
  SetPropertyText(e, "Options.DocumentParams", "12pt");
  SetPropertyText(e, "Options.CodePage", "1251");
  SetPropertyText(e, "Options.Languages", "russian");
  SetPropertyText(e, "Preambula", "\\usepackage{a}\n\\usepackage{b}");
  EXPECT_EQ(e.Options.LaTeXVersion, LaTeX209);
  EXPECT_EQ(e.Options.DocumentStyle, dsBook);
  EXPECT_EQ(e.Options.DocumentParams, "12pt");
  EXPECT_EQ(e.Options.CodePage(), 1251);
  EXPECT_EQ(e.Options.Languages, "russian");
  EXPECT_EQ(e.Preambula.Count(), 2);
  EXPECT_TRUE(Publishes(e, "Formats"));
  EXPECT_TRUE(Publishes(e, "Header"));
}

}  // namespace
}  // namespace morvale::test
