// LaTeX documents that compile whatever the data holds and keep long and wide tables whole:
// Cyrillic under the default language, characters inputenc does not know, thousands of rows in
// a longtable with its caption row on every page, a table too wide for the line fitted to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "export/core/codepage.h"
#include "export/text/latex.h"
#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

bool Has(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

// Compiles the document and gives back what pdftotext reads, one blank for every line break
// (text wraps in fitted columns); "" and a failure when pdflatex refused it.
std::string Compile(TExportLaTeX& e, const std::string& name, int* pages = nullptr) {
  std::string folder = ScratchFolder() + name + "/";
  std::filesystem::create_directories(folder);
  e.FileName = folder + "doc.tex";
  e.Execute();
  TCommandResult r =
      RunCommand("cd " + ShellQuote(folder) +
                 " && pdflatex -interaction=nonstopmode -halt-on-error doc.tex 2>&1");
  EXPECT_EQ(r.status, 0) << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
  if (r.status != 0) return "";
  std::string text = RunCommand("pdftotext " + ShellQuote(folder + "doc.pdf") + " -").out;
  std::replace(text.begin(), text.end(), '\n', ' ');
  if (pages) {
    std::string info = RunCommand("pdfinfo " + ShellQuote(folder + "doc.pdf")).out;
    std::smatch m;
    *pages = std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(m[1]) : 0;
  }
  return text;
}

class LaTeXFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemCodePage("UTF-8");
    e.SetFormatSettings(TFormatSettings::English());
    e.SetDataSet(&ds);
  }
  TMemDataSet ds;
  TExportLaTeX e;
};

TEST_F(LaTeXFitTest, CyrillicUnderTheDefaultLanguage) {
  ds.AddField("NAME", ftString, 20);
  ds.AddField("CITY", ftString, 15);
  ds.AddRow({"ООО \"Ромашка\"", "Москва"});
  ds.AddRow({"Acme Tools Ltd", "London"});
  ds.Open();
  std::string tex = ExportToString(e);
  // As for an explicit russian: the T2A fonts (with their ToUnicode maps) and babel's russian
  // beside the language chosen.
  EXPECT_TRUE(Has(tex,
                  "\\usepackage{cmap}\r\n\\usepackage[T2A,T1]{fontenc}\r\n"
                  "\\usepackage[english,russian]{babel}\r\n"))
      << tex;
  EXPECT_TRUE(Has(tex, "\\begin{document}\r\n\\selectlanguage{russian}\r\n"));
  EXPECT_FALSE(Has(tex, "UTFviii"));
  if (!HaveCommand("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  std::string text = Compile(e, "cyrillic");
  for (const char* w : {"ООО \"Ромашка\"", "Москва", "Acme Tools Ltd"})
    EXPECT_TRUE(Has(text, w)) << w << " missing from " << text;

  // Found in a caption alone, Cyrillic is provided for just the same; a single-byte code page
  // is read by its own letters.
  TMemDataSet latin;
  latin.AddField("NAME", ftString, 20);
  latin.AddRow({"Bolt"});
  latin.Open();
  e.SetDataSet(&latin);
  e.Captions = {"NAME=Название"};
  EXPECT_TRUE(Has(ExportToString(e), "[T2A,T1]{fontenc}"));
  e.Captions.Clear();
  EXPECT_FALSE(Has(ExportToString(e), "[T2A,T1]{fontenc}"));
  e.Header = {ConvertText("Отчёт", "UTF-8", "CP1251")};
  e.Options.SetCodePage(1251);
  EXPECT_TRUE(Has(ExportToString(e), "[T2A,T1]{fontenc}"));
}

TEST_F(LaTeXFitTest, CharactersInputencLacksPrintAsMarks) {
  ds.AddField("NAME", ftString, 20);
  ds.AddRow({"Αθήνα 東京"});
  ds.AddRow({"plain"});
  ds.Open();
  std::string tex = ExportToString(e);
  EXPECT_TRUE(Has(tex, "\\def\\UTFviii@undefined@err#1{\\textbf{?}}")) << tex;
  if (!HaveCommand("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  std::string text = Compile(e, "marks");
  EXPECT_TRUE(Has(text, "plain")) << text;
}

TEST_F(LaTeXFitTest, ThousandsOfWideRowsStayWhole) {
  // Twelve columns of some 100 characters at 10 points are far wider than the line, and 5,000
  // rows in a tabular exceed TeX's memory.
  for (int c = 1; c <= 12; ++c)
    ds.AddField("COL" + std::to_string(c), c % 3 == 0 ? ftInteger : ftString, 12);
  for (int r = 1; r <= 5000; ++r) {
    std::vector<Cell> row;
    for (int c = 1; c <= 12; ++c)
      row.push_back(c % 3 == 0 ? std::to_string(r * c)
                               : "r" + std::to_string(r) + "c" + std::to_string(c));
    ds.AddRow(row);
  }
  ds.Open();
  std::string tex = ExportToString(e);
  EXPECT_TRUE(Has(tex, "\\usepackage{array}\r\n"));
  EXPECT_TRUE(Has(tex, "{\\scriptsize\\setlength{\\tabcolsep}{3pt}\r\n\\begin{longtable}{|"));
  EXPECT_TRUE(Has(tex, "\\endhead\r\n"));
  EXPECT_TRUE(Has(tex, "\\end{longtable}\r\n}\r\n"));
  if (!HaveCommand("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  int pages = 0;
  std::string text = Compile(e, "long", &pages);
  EXPECT_GT(pages, 50);
  // The caption row heads every page; every row and every column is there.
  size_t captions = 0;
  for (size_t p = text.find("COL12"); p != std::string::npos; p = text.find("COL12", p + 1))
    ++captions;
  EXPECT_EQ(captions, static_cast<size_t>(pages));
  // pdftotext runs the cells of narrow neighbouring columns together: r1c10r1c11.
  for (int r : {1, 2, 77, 2500, 4999, 5000})
    for (int c : {1, 2, 4, 11}) {
      std::string cell = "r" + std::to_string(r) + "c" + std::to_string(c) + (c < 10 ? " " : "");
      EXPECT_TRUE(Has(text, cell)) << cell;
    }
  EXPECT_TRUE(Has(text, "60,000")) << "the last row's last column";
}

}  // namespace
}  // namespace morvale::test
