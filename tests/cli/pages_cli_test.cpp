// Pages a person accepts: tables exported by morvale-export with the default settings, as PDF
// and as RTF (read by LibreOffice), are one page across in a type of at least 8 points, every word
// on the paper and none broken inside. Checked with poppler (pdfinfo, pdftotext) and qpdf on the
// files, against the words the text export writes for the same rows.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "tests/support/demo.h"
#include "tests/support/pdftools.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

// The demo orders as scripts/setup exports them, and the orders table whole (eight columns).
const char kSetupOrders[] =
    "SELECT o.id, c.name AS customer, o.ordered, o.ship_date, o.total, o.paid, o.comment "
    "FROM orders o JOIN customers c ON c.id = o.customer_id ORDER BY o.id";

// A customer table shaped like the ones sample databases and CRMs ship: thirteen columns, names
// and addresses in several scripts, long company names and e-mail addresses.
const char kCustomers[] = R"SQL(
CREATE TABLE Customer (CustomerId INTEGER PRIMARY KEY, FirstName NVARCHAR(40) NOT NULL,
  LastName NVARCHAR(20) NOT NULL, Company NVARCHAR(80), Address NVARCHAR(70), City NVARCHAR(40),
  State NVARCHAR(40), Country NVARCHAR(40), PostalCode NVARCHAR(10), Phone NVARCHAR(24),
  Fax NVARCHAR(24), Email NVARCHAR(60) NOT NULL, SupportRepId INTEGER);
INSERT INTO Customer VALUES
 (1, 'Mariana', 'Conceição', 'Empresa Brasileira de Aeronáutica S.A.', 'Rua das Palmeiras, 1450',
  'São José dos Campos', 'SP', 'Brazil', '12227-010', '+55 (12) 3941-2200', '+55 (12) 3941-2299',
  'mariana@aeronautica.com.br', 3),
 (2, 'Jörg', 'Hoffmann', NULL, 'Königsallee 27', 'Düsseldorf', NULL, 'Germany', '40212',
  '+49 0211 8877 120', NULL, 'joerg.hoffmann@gmx.de', 5),
 (3, 'François', 'Lefèvre', 'Société Générale des Transports', '14, rue de la République',
  'Lyon', NULL, 'France', '69002', '+33 4 72 10 45 00', '+33 4 72 10 45 01', 'f.lefevre@sgt.fr',
  4),
 (4, 'Анна', 'Смирнова', 'ООО «Северные Технологии»', 'ул. Большая Морская, д. 18',
  'Санкт-Петербург', NULL, 'Russia', '190000', '+7 812 555-01-23', NULL, 'anna@sevtech.ru', 3),
 (5, 'Kathleen', 'O''Brien', 'Contoso Pharmaceuticals', 'One Microsoft Way', 'Redmond', 'WA',
  'USA', '98052-8300', '+1 (425) 882-8080', '+1 (425) 882-8081', 'kobrien@contoso.com', 4),
 (6, 'Hiroshi', 'Tanaka', NULL, '3-12-5 Jingumae, Shibuya-ku', 'Tokyo', NULL, 'Japan',
  '150-0001', '+81 3 3405 1234', NULL, 'h.tanaka@example.jp', 5);
)SQL";

// pdftotext -bbox writes its words as XML text.
std::string Unescape(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&quot;", "\""}, {"&apos;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}};
  for (auto [entity, c] : entities)
    for (size_t at = s.find(entity); at != std::string::npos; at = s.find(entity, at + 1))
      s.replace(at, std::string(entity).size(), c);
  return s;
}

// A word of the rows, or a piece of one that a reader may end a line with: a break after a
// hyphen, a slash or a backslash ("Санкт-" "Петербург", "\\files\" "orders") is a reader's
// own, and no break inside a word.
bool WordOrPiece(const std::set<std::string>& words, const std::string& w) {
  if (words.count(w)) return true;
  auto breaksAfter = [](char c) { return c == '-' || c == '/' || c == '\\'; };
  for (const std::string& t : words) {
    if (t.size() <= w.size()) continue;
    if (t.compare(0, w.size(), w) == 0 && breaksAfter(w.back())) return true;
    if (t.compare(t.size() - w.size(), w.size(), w) == 0 && breaksAfter(t[t.size() - w.size() - 1]))
      return true;
  }
  return false;
}

std::vector<std::string> Split(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

class PagesCli : public ::testing::Test {
 protected:
  void SetUp() override { dir = test::FreshFolder("pages-cli"); }

  // Runs the built program (it measures RTF columns with the fonts of the machine, as a user's
  // copy does) with nothing but the source, the type and the file named.
  void Export(const std::vector<std::string>& source, const std::string& type,
              const std::string& file) {
    std::string command = test::ShellQuote(MORVALE_EXPORT_PROGRAM);
    for (const std::string& a : source) command += " " + test::ShellQuote(a);
    command += " --type " + type + " -o " + test::ShellQuote(file) + " 2>&1";
    std::string out;
    ASSERT_EQ(test::RunCommand("QT_QPA_PLATFORM=offscreen " + command, out), 0) << out;
  }
  // The words of the same rows as the text export writes them: every word a document may show.
  std::set<std::string> TextWords(const std::vector<std::string>& source) {
    Export(source, "txt", dir + "words.txt");
    std::vector<std::string> words = Split(test::ReadFile(dir + "words.txt"));
    return {words.begin(), words.end()};
  }
  static std::string Info(const std::string& pdf, const std::string& field) {
    std::string out;
    test::RunCommand("pdfinfo " + test::ShellQuote(pdf), out);
    std::smatch m;
    std::regex re("(^|\n)" + field + ":\\s*([^\n]*)");
    return std::regex_search(out, m, re) ? m[2].str() : std::string();
  }
  // The font sizes the page's text is set in, as the content streams say (decompressed by qpdf):
  // the Tf operand scaled by the text matrix, which LibreOffice may use for the size instead.
  static std::vector<double> FontSizes(const std::string& pdf) {
    std::string plain = pdf + ".qdf";
    std::string out;
    test::RunCommand("qpdf --qdf --object-streams=disable " + test::ShellQuote(pdf) + " " +
                         test::ShellQuote(plain),
                     out);
    std::string content = test::ReadFile(plain);
    std::vector<double> sizes;
    std::regex op("([0-9.]+) Tf|([-0-9.]+) ([-0-9.]+) ([-0-9.]+) ([-0-9.]+) [-0-9.]+ [-0-9.]+ Tm");
    double tf = 0, scale = 1;
    for (auto it = std::sregex_iterator(content.begin(), content.end(), op);
         it != std::sregex_iterator(); ++it) {
      const std::smatch& m = *it;
      if (m[1].matched)
        tf = std::stod(m[1]);
      else
        scale = std::abs(std::stod(m[5]));
      if (tf > 0) sizes.push_back(tf * scale);
    }
    return sizes;
  }
  // One page; type of at least 8 points; every word on the paper and a word of the rows (a
  // fragment of a broken word is none); every column's caption there.
  void ExpectReadable(const std::string& pdf, const std::set<std::string>& words,
                      const std::vector<std::string>& captions) {
    EXPECT_EQ(Info(pdf, "Pages"), "1") << pdf;
    std::vector<double> sizes = FontSizes(pdf);
    ASSERT_FALSE(sizes.empty()) << pdf;
    EXPECT_GE(*std::min_element(sizes.begin(), sizes.end()), 8.0 - 1e-6) << pdf;
    std::set<std::string> seen;
    const std::vector<test::TPdfWord> placed = test::PdfWordsOfFile(pdf);
    ExpectApart(placed, pdf);
    for (const test::TPdfWord& w : placed) {
      const std::string text = Unescape(w.text);
      EXPECT_TRUE(w.OnPaper()) << text << " at " << w.xMin << ".." << w.xMax << " of "
                               << w.pageWidth << " in " << pdf;
      EXPECT_TRUE(WordOrPiece(words, text)) << "\"" << text << "\" is no word of the rows: " << pdf;
      seen.insert(text);
    }
    for (const std::string& c : captions) EXPECT_TRUE(seen.count(c)) << c << " missing: " << pdf;
  }
  // No two words of a page share ink: a text run into its neighbour's cell would. Boxes may
  // touch, and the boxes of two lines of one cell overlap by a hair where the reader's box of a
  // line is taller than the line's lead.
  static void ExpectApart(const std::vector<test::TPdfWord>& words, const std::string& pdf) {
    for (size_t a = 0; a < words.size(); ++a)
      for (size_t b = a + 1; b < words.size(); ++b) {
        const test::TPdfWord &u = words[a], &v = words[b];
        if (u.page != v.page) continue;
        const double across = std::min(u.xMax, v.xMax) - std::max(u.xMin, v.xMin);
        const double down = std::min(u.yMax, v.yMax) - std::max(u.yMin, v.yMin);
        const double height = std::min(u.yMax - u.yMin, v.yMax - v.yMin);
        EXPECT_FALSE(across > 0.5 && down > height / 4)
            << "\"" << Unescape(u.text) << "\" and \"" << Unescape(v.text) << "\" overlap on page "
            << u.page << " of " << pdf;
      }
  }
  // The table as PDF and as RTF through LibreOffice, each checked as above.
  void Check(const std::string& name, const std::vector<std::string>& source,
             const std::vector<std::string>& captions) {
    SCOPED_TRACE(name);
    const std::set<std::string> words = TextWords(source);
    const std::string pdf = dir + name + ".pdf";
    Export(source, "pdf", pdf);
    EXPECT_EQ(test::QpdfProblems(test::ReadFile(pdf), name), "");
    ExpectReadable(pdf, words, captions);
    if (!HaveOffice()) return;
    const std::string rtfDir = test::FreshFolder("pages-cli-" + name);
    Export(source, "rtf", rtfDir + name + ".rtf");
    const std::string office = test::OfficeConvert(rtfDir, "pdf", rtfDir + name + ".rtf");
    ASSERT_NE(office.rfind("ERROR", 0), 0u) << office;
    ExpectReadable(rtfDir + name + ".pdf", words, captions);
  }
  static bool HaveOffice() {
    std::string out;
    return test::RunCommand("command -v soffice", out) == 0;
  }
  std::string dir;
};

TEST_F(PagesCli, DemoOrdersOnOnePage) {
  const std::string db = "sqlite:" + test::DemoDatabase();
  Check("orders", {"--db", db, "--table", "orders"},
        {"id", "customer_id", "ordered", "ship_date", "ship_time", "total", "paid", "comment"});
  Check("setup-orders", {"--db", db, "--sql", kSetupOrders},
        {"id", "customer", "ordered", "ship_date", "total", "paid", "comment"});
}

TEST_F(PagesCli, ThirteenColumnCustomersOnOnePage) {
  const std::string file = dir + "customers.db";
  std::string out;
  ASSERT_EQ(
      test::RunCommand(
          "sqlite3 " + test::ShellQuote(file) + " " + test::ShellQuote(kCustomers) + " 2>&1", out),
      0)
      << out;
  // Too wide for one line a value even at 8 points in landscape: both formats wrap the long
  // texts between words and keep the table on one page in landscape, the Cyrillic address as
  // wide on paper as DejaVu sets it.
  Check("customers", {"--db", "sqlite:" + file, "--table", "Customer"},
        {"CustomerId", "FirstName", "LastName", "Company", "Address", "City", "State", "Country",
         "PostalCode", "Phone", "Fax", "Email", "SupportRepId"});
}

}  // namespace
}  // namespace morvale
