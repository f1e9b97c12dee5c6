// The demo database as a new user exports it with the default settings: the orders of
// scripts/setup and the other tables as PDF, RTF (read by LibreOffice) and LaTeX (compiled by
// pdflatex). Every script shows as stored, every word lies on the paper, every column is there.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "tests/support/awkward.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/pdftools.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

// The query of scripts/setup.
const char kOrders[] =
    "SELECT o.id, c.name AS customer, o.ordered, o.ship_date, o.total, o.paid, o.comment "
    "FROM orders o JOIN customers c ON c.id = o.customer_id ORDER BY o.id";
const char* const kOrderCaptions[] = {"id",    "customer", "ordered", "ship_date",
                                      "total", "paid",     "comment"};

std::string Export(const std::string& type, const std::string& file,
                   const std::string& sql = kOrders, const std::string& fields = "") {
  std::vector<std::string> args = {
      "--db", "sqlite:" + test::DemoDatabase(), "--sql", sql, "--type", type, "-o", file};
  // Named memo columns are declared 10 characters wide, far less than their texts: they are
  // measured.
  if (!fields.empty())
    args.insert(args.end(), {"--fields", fields, "--set", "AutoCalcColWidth=True"});
  test::Result r = test::Cli(args);
  EXPECT_EQ(r.status, 0) << r.err;
  return test::ReadFile(file);
}

bool HaveCommand(const std::string& name) {
  std::string out;
  return test::RunCommand("command -v " + name, out) == 0;
}

// What pdftotext reads, each run of blanks and line breaks one blank.
std::string PlainText(const std::string& pdfPath) {
  std::string out;
  test::RunCommand("pdftotext -enc UTF-8 " + test::ShellQuote(pdfPath) + " -", out);
  std::string r;
  for (char c : out) {
    bool blank = c == ' ' || c == '\n' || c == '\f';
    if (!blank || (!r.empty() && r.back() != ' ')) r += blank ? ' ' : c;
  }
  return r;
}

// Every word on the paper; gives back the set of words.
std::set<std::string> WordsOnPaper(const std::string& pdfPath) {
  std::set<std::string> words;
  for (const test::TPdfWord& w : test::PdfWordsOfFile(pdfPath)) {
    EXPECT_TRUE(w.OnPaper()) << w.text << " at " << w.xMin << ".." << w.xMax << " of "
                             << w.pageWidth << " on page " << w.page << " of " << pdfPath;
    words.insert(w.text);
  }
  return words;
}

TEST(DocumentsCli, DemoOrdersPdf) {
  std::string path = test::FreshFolder("docs-cli") + "orders.pdf";
  std::string pdf = Export("pdf", path);
  EXPECT_EQ(test::QpdfProblems(pdf, "orders"), "");
  EXPECT_LT(pdf.size(), 100u * 1024);
  std::string fonts = test::RunOnPdf(pdf, "orders", "pdffonts");
  EXPECT_NE(fonts.find("+DejaVuSans"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("CID TrueType"), std::string::npos) << fonts;
  std::string text = PlainText(path);
  for (const char* s : {"ООО \"Ромашка\"", "Завод «Прогресс»", "Счёт №12, оплата \"по факту\"",
                        "Müller, Schmidt; Partner"})
    EXPECT_NE(text.find(s), std::string::npos) << s << " missing from " << text;
  std::set<std::string> words = WordsOnPaper(path);
  for (const char* c : kOrderCaptions) EXPECT_TRUE(words.count(c)) << c;
}

TEST(DocumentsCli, EveryDemoTableShowsItsTextsAsStored) {
  std::string dir = test::FreshFolder("docs-cli-tables");
  // The tables whole, then their text columns with the memo columns (exported only when named),
  // measured.
  const std::pair<const char*, const char*> queries[] = {{"customers", "*"},
                                                         {"products", "*"},
                                                         {"orders", "*"},
                                                         {"order_items", "*"},
                                                         {"customers", "name,city,notes"},
                                                         {"products", "code,title,description"},
                                                         {"orders", "comment"}};
  for (auto [table, columns] : queries) {
    SCOPED_TRACE(std::string(table) + " " + columns);
    std::string sql = std::string("SELECT ") + columns + " FROM " + table;
    std::string path = dir + table + ".pdf";
    bool whole = std::string(columns) == "*";
    std::string pdf = Export("pdf", path, sql, whole ? "" : columns);
    EXPECT_EQ(test::QpdfProblems(pdf, table), "");
    EXPECT_LT(pdf.size(), 100u * 1024);
    WordsOnPaper(path);
    if (whole) continue;
    // Every text value as the database holds it (a line break or tab reads as a blank).
    std::string values;
    test::RunCommand("sqlite3 -separator '\n' " + test::ShellQuote(test::DemoDatabase()) + " " +
                         test::ShellQuote(sql),
                     values);
    std::string text = PlainText(path);
    std::istringstream lines(values);
    for (std::string v; std::getline(lines, v);) {
      std::replace(v.begin(), v.end(), '\t', ' ');
      while (!v.empty() && v.back() == ' ') v.pop_back();
      // Texts beyond ASCII: numbers and dates come out formatted.
      bool beyondAscii = std::any_of(v.begin(), v.end(), [](char c) { return c & 0x80; });
      if (beyondAscii) {
        EXPECT_NE(text.find(v), std::string::npos) << v << " missing from " << text;
      }
    }
  }
}

TEST(DocumentsCli, DemoOrdersRtfInLibreOffice) {
  if (!HaveCommand("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  std::string dir = test::FreshFolder("docs-cli-rtf");
  Export("rtf", dir + "orders.rtf");
  const std::string office = test::OfficeConvert(dir, "pdf", dir + "orders.rtf");
  ASSERT_NE(office.rfind("ERROR", 0), 0u) << office;
  std::set<std::string> words = WordsOnPaper(dir + "orders.pdf");
  for (const char* c : kOrderCaptions) EXPECT_TRUE(words.count(c)) << c;
  std::string text = PlainText(dir + "orders.pdf");
  for (const char* s : {"Ромашка", "Прогресс»", "1234.56", "Urgent"})
    EXPECT_NE(text.find(s), std::string::npos) << s << " missing from " << text;
}

TEST(DocumentsCli, DemoOrdersLaTeXCompiles) {
  if (!HaveCommand("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  std::string dir = test::FreshFolder("docs-cli-tex");
  Export("tex", dir + "orders.tex");
  std::string out;
  int status = test::RunCommand("cd " + test::ShellQuote(dir) +
                                    " && pdflatex -interaction=nonstopmode -halt-on-error "
                                    "orders.tex 2>&1",
                                out);
  ASSERT_EQ(status, 0) << out;
  std::set<std::string> words = WordsOnPaper(dir + "orders.pdf");
  std::string text = PlainText(dir + "orders.pdf");
  for (const char* s : {"ООО", "\"Ромашка\"", "Завод", "«Прогресс»", "Urgent"})
    EXPECT_NE(text.find(s), std::string::npos) << s << " missing from " << text;
}

// Names with underscores, accented letters, Cyrillic and every LaTeX special, compiled by
// pdflatex: what pdftotext reads is the data as written, each accented letter one character, in
// vector fonts (no bitmap Type 3 font).
TEST(DocumentsCli, LaTeXTextsCopyOutAsWritten) {
  if (!HaveCommand("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  const std::string dir = test::FreshFolder("docs-cli-tex-texts");
  const std::string db = "sqlite:" + test::AwkwardDatabase();
  const char* specials =
      "SELECT 'a\\b #1 $2 %3 &4 ^5 _6 {7} ~8 <9> |10 \"11\" it''s `12` a--b c---d ,,e'' x' AS t";
  struct {
    const char* name;
    std::string sql;
    std::vector<std::string> texts;
  } cases[] = {{"camel",
                "SELECT * FROM \"CamelOrders\"",
                {"CustomerName", "daan_peeters@apple.be", "José Müller", "12.5"}},
               {"clients",
                "SELECT * FROM \"Клиенты\"",
                {"Название", "ООО «Ромашка»", "Завод \"Прогресс\"", "Екатеринбург"}},
               {"mixed",
                "SELECT \"it's\", \"Имя\" FROM \"my table\"",
                {"it's", "Пётр", "Анна-Мария", "Ölfaß", "say \"x\""}},
               {"specials",
                specials,
                {"a\\b #1 $2 %3 &4 ^5 _6 {7} ~8 <9> |10 \"11\" it's `12` a--b c---d ,,e' x"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string tex = dir + c.name + ".tex";
    test::Result r = test::Cli({"--db", db, "--sql", c.sql, "--type", "tex", "-o", tex});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string out;
    ASSERT_EQ(test::RunCommand("cd " + test::ShellQuote(dir) +
                                   " && pdflatex -interaction=nonstopmode -halt-on-error " +
                                   c.name + ".tex 2>&1",
                               out),
              0)
        << out << test::ReadFile(tex);
    const std::string pdf = dir + c.name + ".pdf";
    const std::string text = PlainText(pdf);
    for (const std::string& t : c.texts)
      EXPECT_NE(text.find(" " + t + " "), std::string::npos) << t << " missing from " << text;
    // U+0300..U+036F: an accent set over its letter instead of the letter itself.
    EXPECT_EQ(text.find_first_of("\xCC\xCD"), std::string::npos) << text;
    std::string fonts;
    test::RunCommand("pdffonts " + test::ShellQuote(pdf), fonts);
    EXPECT_EQ(fonts.find("Type 3"), std::string::npos) << fonts;
  }
}

}  // namespace
}  // namespace morvale
