// --type md: a GitHub-flavoured pipe table, rendered by pandoc (-f gfm) into one HTML table
// whose every cell equals the CSV export of the same table; pipes, backslashes, markup
// characters and line breaks stay inside their cells, and the columns align as their values.
#include <gtest/gtest.h>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

bool HavePandoc() {
  std::string out;
  return RunCommand("command -v pandoc", out) == 0;
}

// Renders `md` with pandoc and compares its cells with the CSV `csv`; empty when they agree.
std::string RenderedAgainstCsv(const std::string& md, const std::string& csv) {
  std::string out;
  const std::string html = md + ".html";
  if (RunCommand("pandoc -f gfm -t html --wrap=none " + ShellQuote(md) + " -o " + ShellQuote(html) +
                     " 2>&1",
                 out) != 0)
    return "pandoc failed: " + out;
  if (RunCommand(Python() + " " + ShellQuote(MORVALE_SOURCE_DIR "/tests/cli/markdown_check.py") +
                     " " + ShellQuote(html) + " " + ShellQuote(csv) + " 2>&1",
                 out) != 0)
    return out.empty() ? "markdown_check.py failed" : out;
  return "";
}

TEST(MarkdownCli, DemoTablesRenderIntoHtmlTablesWithEveryCellIntact) {
  if (!HavePandoc()) GTEST_SKIP() << "pandoc is not installed (scripts/install-deps --tests)";
  const std::string dir = FreshFolder("md");
  for (const char* table : {"customers", "products", "orders", "order_items"}) {
    const std::vector<std::string> common = DemoPlainArgs(table);
    auto a = common;
    a.insert(a.end(), {"--type", "csv", "-o", dir + table + ".csv", "--set", "CSVComma=,"});
    Result r = Cli(a);
    ASSERT_EQ(r.status, 0) << r.err;
    auto b = common;
    b.insert(b.end(), {"--type", "md", "-o", dir + table + ".md"});
    r = Cli(b);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RenderedAgainstCsv(dir + table + ".md", dir + table + ".csv"), "") << table;
  }
}

TEST(MarkdownCli, EscapesAndAlignmentsAsWritten) {
  const std::string dir = FreshFolder("escapes");
  const std::string db = dir + "e.db";
  std::string out;
  ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db) + " " +
                           ShellQuote("CREATE TABLE \"a|b\"(\"n|o\" INTEGER, t TEXT);"
                                      "INSERT INTO \"a|b\" VALUES (1, 'x | y'), "
                                      "(-2, 'a\\*b* _c_ `d` [e](f) <g> ~h~ &amp; \\\\' || "
                                      "char(9) || 'tab'), "
                                      "(NULL, 'one' || char(13, 10) || 'two' || char(10) || "
                                      "'three');"),
                       out),
            0)
      << out;
  const std::string md = dir + "t.md";
  Result r = Cli({"--db", "sqlite:" + db, "--table", "a|b", "--type", "md", "-o", md});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      ReadFile(md),
      "| n\\|o | t |\r\n"
      "| ---: | :--- |\r\n"
      "| 1 | x \\| y |\r\n"
      "| -2 | a\\\\\\*b\\* \\_c\\_ \\`d\\` \\[e\\](f) \\<g\\> \\~h\\~ \\&amp; \\\\\\\\&#9;tab |\r\n"
      "|  | one<br>two<br>three |\r\n");
  if (!HavePandoc()) GTEST_SKIP() << "pandoc is not installed (scripts/install-deps --tests)";
  const std::string csv = dir + "t.csv";
  ASSERT_EQ(Cli({"--db", "sqlite:" + db, "--table", "a|b", "--type", "csv", "-o", csv, "--set",
                 "CSVComma=,"})
                .status,
            0);
  EXPECT_EQ(RenderedAgainstCsv(md, csv), "");
}

// Parts of a split run are documents of their own: each a table with its caption row.
TEST(MarkdownCli, EachPartOfASplitRunIsATableWithItsCaptions) {
  const std::string dir = FreshFolder("parts");
  auto args = DemoPlainArgs("order_items");
  args.insert(args.end(), {"--type", "md", "-o", dir + "items.md", "--split-rows", "4"});
  Result r = Cli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string listing;
  RunCommand("ls " + ShellQuote(dir), listing);
  int parts = 0;
  size_t rows = 0;
  for (size_t at = 0, end; (end = listing.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string md = ReadFile(dir + listing.substr(at, end - at));
    ++parts;
    EXPECT_EQ(md.substr(0, md.find('\r')),
              "| order\\_id | line | product\\_id | quantity | "
              "unit\\_price | discount | serial |")
        << listing.substr(at, end - at);
    for (size_t p = 0; (p = md.find("\r\n", p)) != std::string::npos; p += 2) ++rows;
    rows -= 2;  // the caption and delimiter rows
  }
  EXPECT_GE(parts, 2) << listing;
  std::string count;
  RunCommand("sqlite3 " + ShellQuote(DemoDatabase()) + " 'SELECT count(*) FROM order_items'",
             count);
  EXPECT_EQ(std::to_string(rows) + "\n", count);
}

}  // namespace
}  // namespace morvale::test
