// --type pdf through the command line: the options reach the exporter by --set, the file passes
// the readers, and standard output gets the same bytes as a file.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/pdftools.h"

namespace morvale {
namespace {

std::vector<std::string> Customers(const std::string& output) {
  return {"--db",     "sqlite:" + test::DemoDatabase(),
          "--table",  "customers",
          "--type",   "pdf",
          "-o",       output,
          "--locale", "C",
          "--header", "Customers",
          "--set",    "Options.PageOptions.Orientation=poLandscape",
          "--set",    "Options.DataFont.FontSize=8",
          "--set",    "Options.CaptionFont.BaseFont=poHelveticaBold"};
}

TEST(PdfCli, SettingsReachTheDocument) {
  std::string file = test::FreshFolder("pdfcli") + "customers.pdf";
  test::Result r = test::Cli(Customers(file));
  ASSERT_EQ(r.status, 0) << r.err;
  std::string pdf = test::ReadFile(file);
  EXPECT_EQ(test::QpdfProblems(pdf, "cli"), "");
  EXPECT_EQ(test::PdfInfo(pdf, "cli", "MediaBox"), "0.00     0.00   840.00   594.00");
  EXPECT_NE(pdf.find("BT\r/DataFont 8 Tf\r"), std::string::npos);
  EXPECT_NE(pdf.find("/Name /CaptionFont\r/BaseFont /Helvetica-Bold\r"), std::string::npos);
  std::string text = test::PdfText(pdf, "cli");
  for (const char* s : {"Customers", "name", "city", "Acme Tools Ltd", "Москва"})
    EXPECT_NE(text.find(s), std::string::npos) << s << " missing from:\n" << text;

  // Nothing in the document depends on the time or the place: standard output gets the same.
  test::Result toStdout = test::Cli(Customers("-"));
  ASSERT_EQ(toStdout.status, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, pdf);
}

TEST(PdfCli, PropertiesAreListedAndCheckedAsText) {
  test::Result props = test::Cli({"--type", "pdf", "--list-properties"});
  ASSERT_EQ(props.status, 0) << props.err;
  for (const char* line :
       {"Options.PageOptions.Orientation=poPortrait\n", "Options.PageOptions.Format=pfA4\n",
        "Options.PageOptions.MarginLeft=1.17\n", "Options.DataFont.FontSize=10\n",
        "Options.DataFont.FontEncoding=poWinAnsiEncoding\n", "Options.RowSpacing=1\n",
        "Options.GridLineColor=clBlack\n"})
    EXPECT_NE(props.out.find(line), std::string::npos) << line << " missing from:\n" << props.out;

  auto args = Customers(test::FreshFolder("pdfcli") + "x.pdf");
  args.insert(args.end(), {"--set", "Options.PageOptions.Orientation=sideways"});
  test::Result bad = test::Cli(args);
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("Orientation"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace morvale
