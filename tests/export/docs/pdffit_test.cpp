// Tables wider than the paper: fonts fitted down to the floor, then groups of columns on pages of
// their own; measured column widths and the repeated caption row. Checked in points and by what
// pdftotext finds on the pages.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "export/core/properties.h"
#include "export/docs/pdfexport.h"
#include "tests/support/memsources.h"
#include "tests/support/pdftools.h"

namespace morvale {
namespace {

using test::TMemDataSet;

class PdfFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    e.SetFormatSettings(TFormatSettings::English());
    e.TextCodePage = TPDFCodePage::Utf8();
    e.SetDataSet(&ds);
    // The fitting itself, on the declared widths of a portrait page, down to 6 points; the
    // defaults (measured widths, the page turned, 8 points) have tests of their own below.
    e.AutoCalcColWidth = false;
    e.Options.AutoOrientation = false;
    e.Options.MinFontSize = 6;
  }
  // `cols` string columns C1.. of `width` characters, `rows` rows of values rRcC.
  void Table(int cols, int width, int rows) {
    for (int c = 1; c <= cols; ++c) ds.AddField("C" + std::to_string(c), ftString, width);
    for (int r = 1; r <= rows; ++r) {
      std::vector<test::Cell> row;
      for (int c = 1; c <= cols; ++c)
        row.push_back("r" + std::to_string(r) + "c" + std::to_string(c));
      ds.AddRow(row);
    }
    ds.Open();
  }
  std::string Run() {
    TMemoryStream s;
    e.ExportToStream(s);
    return s.Data();
  }
  // Every word on the paper, and the set of their texts.
  std::set<std::string> WordsOnPaper(const std::string& pdf, const std::string& name) {
    std::set<std::string> texts;
    for (const test::TPdfWord& w : test::PdfWords(pdf, name)) {
      EXPECT_TRUE(w.OnPaper()) << w.text << " at " << w.xMin << ".." << w.xMax << " on page "
                               << w.page;
      texts.insert(w.text);
    }
    return texts;
  }
  std::vector<test::TPdfWord> WordsOnPaperList(const std::string& pdf) {
    std::vector<test::TPdfWord> words = test::PdfWords(pdf, "words");
    for (const test::TPdfWord& w : words)
      EXPECT_TRUE(w.OnPaper()) << w.text << " at " << w.xMin << ".." << w.xMax << " on page "
                               << w.page;
    return words;
  }
  // The smallest font size any text of the file is set in.
  static int SmallestFont(const std::string& pdf) {
    int least = 1000;
    std::regex tf("/\\w+ (\\d+) Tf\r");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), tf); it != std::sregex_iterator();
         ++it)
      least = std::min(least, std::stoi((*it)[1]));
    return least;
  }
  TMemDataSet ds;
  TExportPDF e;
};

TEST_F(PdfFitTest, TableThatFitsKeepsItsFonts) {
  Table(3, 20, 2);
  std::string pdf = Run();
  EXPECT_EQ(e.DataSize(), 10);
  EXPECT_EQ(e.ColumnGroups(), 1);
  EXPECT_EQ(e.ColumnEdges().back(), 84 + 3 * 111);
}

TEST_F(PdfFitTest, WideTableShrinksToThePrintArea) {
  // Six columns of 23 characters at size 10 are 666 points; the print area is 468 wide. The
  // factor 0.70 gives size 7, at which a column is 77 points and the table 462.
  Table(6, 20, 3);
  std::string pdf = Run();
  EXPECT_EQ(test::QpdfProblems(pdf, "shrink"), "");
  EXPECT_EQ(e.DataSize(), 7);
  EXPECT_EQ(e.CaptionSize(), 7);
  EXPECT_EQ(e.ColumnGroups(), 1);
  EXPECT_EQ(e.ColumnEdges().back(), 84 + 6 * 77);
  EXPECT_LE(e.ColumnEdges().back(), 552);
  EXPECT_EQ(test::PdfInfo(pdf, "shrink", "Pages"), "1");
  std::set<std::string> words = WordsOnPaper(pdf, "shrink");
  for (const char* w : {"C1", "C6", "r1c1", "r3c6"}) EXPECT_TRUE(words.count(w)) << w;
}

TEST_F(PdfFitTest, TwentyColumnsContinueOnFurtherPages) {
  // At the floor of 6 points a column of 15 characters is 43 points: ten fit in 468, so the
  // twenty columns make two groups, each on a page of its own for every page of rows.
  Table(20, 12, 60);
  std::string pdf = Run();
  EXPECT_EQ(test::QpdfProblems(pdf, "twenty"), "");
  EXPECT_EQ(e.DataSize(), 6);
  EXPECT_EQ(e.ColumnGroups(), 2);
  EXPECT_GE(SmallestFont(pdf), 6);
  // 60 rows of 12 points (size 6) need two pages of rows: four pages in all, the second holding
  // the columns 11 to 20 of the rows of the first.
  EXPECT_EQ(test::PdfInfo(pdf, "twenty", "Pages"), "4");
  std::set<std::string> words = WordsOnPaper(pdf, "twenty");
  for (int c = 1; c <= 20; ++c) {
    EXPECT_TRUE(words.count("C" + std::to_string(c))) << c;
    for (int r = 1; r <= 60; ++r)
      EXPECT_TRUE(words.count("r" + std::to_string(r) + "c" + std::to_string(c))) << r << " " << c;
  }
  std::map<std::string, int> pageOf;
  for (const test::TPdfWord& w : test::PdfWords(pdf, "twenty")) pageOf.emplace(w.text, w.page);
  EXPECT_EQ(pageOf["r1c1"], 1);
  EXPECT_EQ(pageOf["r1c20"], 2);
  EXPECT_EQ(pageOf["r60c1"], 3);
  EXPECT_EQ(pageOf["r60c11"], 4);
}

TEST_F(PdfFitTest, FloorIsASetting) {
  Table(20, 12, 2);
  SetPropertyText(e, "Options.MinFontSize", "4");
  Run();
  // 1,453 points at size 10 fit 468 at 3.2: the floor of 4 holds, and 20 columns of 29 points
  // (580) still need two groups.
  EXPECT_EQ(e.DataSize(), 4);
  EXPECT_EQ(e.ColumnGroups(), 2);
}

TEST_F(PdfFitTest, MeasuredWidths) {
  ds.AddField("NAME", ftString, 64);
  ds.AddField("CITY", ftString, 64);
  ds.AddRow({"Acme", "London"});
  ds.AddRow({"O'Neil & Sons", "Köln"});
  ds.Open();
  SetPropertyText(e, "AutoCalcColWidth", "True");
  SetPropertyText(e, "ColumnsWidth.CITY", "8");
  std::string pdf = Run();
  // NAME: its longest value as the font's widths set it, "O'Neil & Sons" 6.173 em = 62 points,
  // and two indents of 1.5 average characters (7 points each) = 76; CITY keeps the 8 characters
  // set (its values are narrower): 11 average characters = 53 points.
  EXPECT_EQ(e.ColumnEdges(), (std::vector<int>{84, 84 + 76, 84 + 76 + 53}));
  EXPECT_EQ(e.DataSize(), 10);
}

// What a user gets without touching a setting: columns measured from the values, and a table too
// wide for the portrait page turned to landscape at its own size rather than shrunk.
TEST_F(PdfFitTest, DefaultsTurnTheWideTableToLandscape) {
  TExportPDF fresh;
  EXPECT_TRUE(fresh.AutoCalcColWidth);
  EXPECT_TRUE(fresh.Options.AutoOrientation);
  EXPECT_EQ(fresh.Options.MinFontSize, 8);
  for (int c = 1; c <= 6; ++c) ds.AddField("C" + std::to_string(c), ftString, 255);
  for (int r = 1; r <= 3; ++r) {
    std::vector<test::Cell> row;
    for (int c = 1; c <= 6; ++c) row.push_back(std::string(20, static_cast<char>('a' + c)));
    ds.AddRow(row);
  }
  ds.Open();
  e.AutoCalcColWidth = true;
  e.Options.AutoOrientation = true;
  e.Options.MinFontSize = 8;
  // 6 columns of 20 letters in Helvetica at 10: "bbbb...", "dddd...", "eeee..." and "gggg..." at
  // 0.556 em are 112 + 14 points of indents, "cccc..." at 0.5 em 100 + 14, "ffff..." at 0.278 em
  // 56 + 14; 688 points in all, wider than the portrait line (468) but not the landscape one
  // (728): the page turns, the type stays, the options keep their page.
  std::string pdf = Run();
  EXPECT_EQ(e.DataSize(), 10);
  EXPECT_EQ(e.ColumnGroups(), 1);
  EXPECT_EQ(e.ColumnEdges().back(), 56 + 4 * 126 + 114 + 70);
  EXPECT_EQ(test::PdfInfo(pdf, "turned", "Pages"), "1");
  EXPECT_EQ(test::PdfInfo(pdf, "turned", "MediaBox"), "0.00     0.00   840.00   594.00");
  EXPECT_EQ(e.Options.PageOptions.Orientation(), poPortrait);
  WordsOnPaper(pdf, "turned");
  // Kept portrait, the table cannot shrink to 7 points below the floor of 8: its last columns
  // continue on a page of their own.
  e.Options.AutoOrientation = false;
  pdf = Run();
  EXPECT_EQ(e.DataSize(), 8);
  EXPECT_EQ(e.ColumnGroups(), 2);
  EXPECT_EQ(test::PdfInfo(pdf, "kept", "MediaBox"), "0.00     0.00   594.00   840.00");
}

// Measured widths and wrapping, as the defaults have them.
class PdfWrapTest : public PdfFitTest {
 protected:
  void SetUp() override {
    PdfFitTest::SetUp();
    e.AutoCalcColWidth = true;
    e.Options.AutoOrientation = true;
    e.Options.MinFontSize = 8;
  }
  // The print area of the page the run turned to, as pdftotext measures (y from the top).
  TPDFBox Area() {
    TExportPDFPageOptions page = e.Options.PageOptions;
    page.SetOrientation(poLandscape);
    return page.PrintArea();
  }
  static int Clips(const std::string& pdf) {
    std::regex clip("q\r[-0-9. ]+ re W n\r");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), clip), std::sregex_iterator()));
  }
};

// A Cyrillic address is half as wide again in DejaVu as its count of characters at the average
// width: measured in its glyphs, it stays inside its cell, clear of the city beside it.
TEST_F(PdfWrapTest, CyrillicColumnsAsWideAsTheirGlyphs) {
  ds.AddField("Address", ftString, 70);
  ds.AddField("City", ftString, 40);
  ds.AddRow({"ул. Большая Морская, д. 18", "Санкт-Петербург"});
  ds.AddRow({"Königsallee 27", "Düsseldorf"});
  ds.Open();
  const std::string pdf = Run();
  EXPECT_EQ(Clips(pdf), 0);
  const std::vector<int>& edges = e.ColumnEdges();
  std::set<std::string> city = {"City", "Санкт-Петербург", "Düsseldorf"};
  int seen = 0;
  for (const test::TPdfWord& w : test::PdfWords(pdf, "cyrillic")) {
    if (city.count(w.text)) {
      ++seen;
      EXPECT_GE(w.xMin, edges[1]) << w.text;
    } else {
      EXPECT_LE(w.xMax, edges[1]) << w.text;
    }
  }
  EXPECT_EQ(seen, 3);
}

// Eight columns of sentences: far too wide for one line a value, each column wraps between its
// words on the landscape page in the type asked; rows grow, and the pages follow their heights.
TEST_F(PdfWrapTest, LongTextsWrapBetweenWordsOnOnePageAcross) {
  const std::vector<std::string> words = {"alpha",   "bravo", "charlie", "delta", "echo",
                                          "foxtrot", "golf",  "hotel",   "india", "juliett"};
  for (int c = 1; c <= 8; ++c) ds.AddField("Column" + std::to_string(c), ftString, 255);
  for (int r = 1; r <= 40; ++r) {
    std::vector<test::Cell> row;
    for (int c = 1; c <= 8; ++c) {
      std::string text;
      for (const std::string& w : words) text += w + std::to_string(r) + " ";
      row.push_back(text);
    }
    ds.AddRow(row);
  }
  ds.Open();
  const std::string pdf = Run();
  EXPECT_EQ(e.DataSize(), 10);
  EXPECT_EQ(e.ColumnGroups(), 1);
  EXPECT_EQ(test::PdfInfo(pdf, "wrap", "MediaBox"), "0.00     0.00   840.00   594.00");
  EXPECT_EQ(Clips(pdf), 0);
  const TPDFBox area = Area();
  std::map<std::string, int> count;
  std::set<double> lines;  // the lines of the first column on the first page
  int rows = 0;            // and its rows
  for (const test::TPdfWord& w : WordsOnPaperList(pdf)) {
    ++count[w.text];
    // Below the top margin and above the bottom one, whatever the row's height.
    EXPECT_GE(w.yMin, 594 - area.Top - 1) << w.text;
    EXPECT_LE(w.yMax, 594 - area.Bottom + 3) << w.text;
    if (w.page == 1 && w.xMax < e.ColumnEdges()[1]) {
      lines.insert(w.yMax);
      rows += w.text.rfind("alpha", 0) == 0;
    }
  }
  // Every word whole, once in every column.
  for (int r = 1; r <= 40; ++r)
    for (const std::string& w : words) EXPECT_EQ(count[w + std::to_string(r)], 8) << w << r;
  EXPECT_GT(rows, 1);
  EXPECT_GE(lines.size(), 2u * static_cast<size_t>(rows));  // the texts wrapped
  EXPECT_GT(std::stoi(test::PdfInfo(pdf, "wrap", "Pages")), 1);
}

// A word wider than the whole line is the only one broken, and only where the line is full.
TEST_F(PdfWrapTest, WordWiderThanThePageBreaksInsideOnlyThen) {
  ds.AddField("Token", ftString, 255);
  const std::string token(400, 'x');
  ds.AddRow({"short " + token + " tail"});
  ds.Open();
  const std::string pdf = Run();
  EXPECT_EQ(Clips(pdf), 0);
  size_t xs = 0;
  std::set<std::string> texts;
  for (const test::TPdfWord& w : WordsOnPaperList(pdf)) {
    texts.insert(w.text);
    if (w.text.find_first_not_of('x') == std::string::npos) xs += w.text.size();
  }
  EXPECT_EQ(xs, token.size());
  EXPECT_TRUE(texts.count("short"));
  EXPECT_TRUE(texts.count("tail"));
}

TEST_F(PdfFitTest, CaptionRowRepeatedWhenAsked) {
  Table(2, 10, 40);
  auto captionsPerPage = [&](const std::string& pdf) {
    std::vector<int> pages(3);
    for (const test::TPdfWord& w : test::PdfWords(pdf, "repeat"))
      if (w.text == "C2") ++pages.at(static_cast<size_t>(w.page));
    return pages;
  };
  EXPECT_EQ(captionsPerPage(Run()), (std::vector<int>{0, 1, 0}));
  SetPropertyText(e, "Options.RepeatCaptions", "True");
  std::string pdf = Run();
  EXPECT_EQ(captionsPerPage(pdf), (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(test::QpdfProblems(pdf, "repeat"), "");
}

// A value wider than its cell is cut at the cell's edges instead of running over the next one:
// drawn on a page, the empty column beside it stays white but for its rules.
TEST_F(PdfFitTest, LongValuesStayInsideTheirCells) {
  for (const char* name : {"C1", "C2", "C3"}) ds.AddField(name, ftString, 6);
  ds.AddRow({"a value far wider than six characters", "", "short"});
  ds.AddRow({"short", "", "another value far wider than its cell"});
  ds.Open();
  e.AllowCaptions = false;  // so that nothing is meant to show in the second column
  const std::string pdf = Run();
  // Only the two long values are clipped; the values that fit are drawn as before.
  std::regex clip("q\r[-0-9. ]+ re W n\r");
  EXPECT_EQ(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), clip), std::sregex_iterator()), 2);
  EXPECT_EQ(test::QpdfProblems(pdf, "clip"), "");
  // The beginnings still show.
  EXPECT_NE(test::PdfText(pdf, "clip").find("a value"), std::string::npos);
  const std::vector<int>& edges = e.ColumnEdges();
  ASSERT_EQ(edges.size(), 4u);
  const std::string out = test::RunOnPdf(pdf, "clip-png", R"(/usr/bin/python3 -c '
import subprocess, sys
from PIL import Image
subprocess.run(["pdftoppm", "-png", "-r", "72", "-f", "1", "-l", "1", "-singlefile", sys.argv[1],
                sys.argv[1][:-4]], check=True)
im = Image.open(sys.argv[1][:-4] + ".png").convert("L")
x0, x1 = int(sys.argv[2]) + 2, int(sys.argv[3]) - 2
partial = 0
for y in range(im.height):
    dark = [im.getpixel((x, y)) < 160 for x in range(x0, x1)]
    if any(dark) and not all(dark):
        partial += 1
print("partial rows", partial)
' {} )" + std::to_string(edges[1]) + " " + std::to_string(edges[2]));
  EXPECT_EQ(out, "partial rows 0\n");
}

// A number cut at its cell's edge would read as another number: it is squeezed into the cell
// whole, and where even half its width does not fit it shows as '#' marks, never as a shorter
// number. A text too wide is still cut, its beginning shown.
TEST_F(PdfFitTest, NumbersTooWideForTheirCellAreSqueezedOrMarked) {
  ds.AddField("Serial", ftLargeint, 12);
  ds.AddField("Tiny", ftLargeint, 2);
  ds.AddField("Name", ftString, 4);
  ds.AddRow({"9007199254740993", "9007199254740993", "a name far wider than its cell"});
  ds.Open();
  e.AllowCaptions = false;
  const std::string pdf = Run();
  const std::string text = test::PdfText(pdf, "squeeze");
  // The whole number (grouped, as the English settings write it), then the narrow column's mark
  // and no digits of it.
  const std::string whole = "9,007,199,254,740,993";
  EXPECT_EQ(text.substr(0, whole.size()), whole) << text;
  EXPECT_EQ(text.find_first_of("0123456789", whole.size()), std::string::npos) << text;
  EXPECT_NE(text.find('#'), std::string::npos) << text;
  EXPECT_NE(text.find("a name"), std::string::npos) << text;
  // The squeeze stays inside the clip: its end restores the full width for what follows.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(pdf, m, std::regex("q\r[-0-9. ]+ re W n\r(\\d+) Tz\r")));
  EXPECT_GE(std::stoi(m[1]), 50);
  EXPECT_LT(std::stoi(m[1]), 100);
  EXPECT_EQ(test::QpdfProblems(pdf, "squeeze"), "");
  for (const test::TPdfWord& w : test::PdfWords(pdf, "squeeze-words"))
    if (w.text == whole) {
      EXPECT_LE(w.xMax, e.ColumnEdges()[1] + 0.5);
    }
}

}  // namespace
}  // namespace morvale
