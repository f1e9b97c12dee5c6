// The PDF exporter over the shared sample rows: what the readers see, the layout in points, the
// pagination rules and the cell event.
#include "export/docs/pdfexport.h"

#include <gtest/gtest.h>

#include "export/core/properties.h"
#include "tests/support/memsources.h"
#include "tests/support/pdftools.h"

namespace morvale {
namespace {

using test::TMemDataSet;

// The content stream of each page, in page order.
std::vector<std::string> Contents(const std::string& pdf) {
  std::vector<std::string> pages;
  for (size_t p = pdf.find("stream\r\n"); p != std::string::npos;
       p = pdf.find("stream\r\n", p + 1)) {
    size_t from = p + 8, to = pdf.find("endstream\r", from);
    pages.push_back(pdf.substr(from, to - from));
  }
  return pages;
}

bool Has(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

class PdfExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    e.SetFormatSettings(TFormatSettings::English());
    e.TextCodePage = TPDFCodePage::Utf8();
    e.SetDataSet(&ds);
    e.AutoCalcColWidth = false;  // the layouts below are of the declared widths
  }
  std::string Run() {
    TMemoryStream s;
    e.ExportToStream(s);
    return s.Data();
  }
  void Rows(int n) {
    ds.AddField("N", ftInteger, 0, 5);
    for (int i = 1; i <= n; ++i) ds.AddRow({std::to_string(i)});
    ds.Open();
  }
  TMemDataSet ds;
  TExportPDF e;
};

TEST_F(PdfExportTest, SampleRowsReadBack) {
  test::FillSampleDataSet(ds);
  e.Header = {"Parts list"};
  e.Footer = {"End of list"};
  std::string pdf = Run();
  EXPECT_EQ(test::QpdfProblems(pdf, "sample"), "");
  test::CheckXref(pdf);
  EXPECT_EQ(test::PdfInfo(pdf, "sample", "Pages"), "1");
  EXPECT_EQ(test::PdfInfo(pdf, "sample", "MediaBox"), "0.00     0.00   594.00   840.00");
  EXPECT_EQ(test::PdfInfo(pdf, "sample", "TrimBox"), "84.00    56.00   552.00   784.00");
  std::string text = test::PdfText(pdf, "sample");
  for (const char* s : {"Parts list", "ID", "NAME", "PRICE", "BORN", "Bolt", "12.50", "3/7/2008",
                        "Гайка \"M6\"", "a;b,c d", "<tag> & 'q'", "-1,234,567.89", "End of list"})
    EXPECT_TRUE(Has(text, s)) << s << " missing from:\n" << text;
  EXPECT_FALSE(Has(text, "NOTE"));  // memo fields are exported only when named
  EXPECT_FALSE(Has(text, "plain"));

  // Named, the memo comes out with its line break as a blank, Latin-1 letters converted and the
  // check mark, which WinAnsi lacks, in the embedded font.
  e.ExportedFields = {"NAME", "NOTE"};
  text = test::PdfText(Run(), "memo");
  for (const char* s : {"NOTE", "plain", "line one line two", "Ünïcødé ✓"})
    EXPECT_TRUE(Has(text, s)) << s << " missing from:\n" << text;
}

TEST_F(PdfExportTest, LayoutInPoints) {
  test::FillSampleDataSet(ds);
  e.Header = {"Parts list"};
  e.ColumnsAlign = {"NAME=center"};
  std::string page = Contents(Run()).at(0);
  // Edges: 84, then widths of 6, 20, 10 and 10 characters plus 3 of spacing at size 10.
  EXPECT_EQ(e.ColumnEdges(), (std::vector<int>{84, 127, 238, 300, 362}));
  // The header line 15 points under the top, the table 5 points lower.
  EXPECT_TRUE(
      page.starts_with("0.000000 0.000000 0.000000 RG\r"
                       "BT\r/HeaderFont 10 Tf\r84 769 Td (Parts list) Tj\rET\r"
                       "84.0 764.0 m \r362.0 764.0 l \r1.0 w \rS\r"
                       "BT\r/CaptionFont 10 Tf\r91 749 Td (ID) Tj\rET\r"))
      << page.substr(0, 300);
  // The caption row ends 5 points under its base line; each data row takes 20 points.
  EXPECT_TRUE(Has(page,
                  "84.0 744.0 m \r362.0 744.0 l \r1.0 w \rS\r"
                  "BT\r/DataFont 10 Tf\r115 729 Td (1) Tj\rET\r"));  // right: 127-7-5
  // Centred in the 20 characters of the column: 127 + 7 + (96 - 17) / 2.
  EXPECT_TRUE(Has(page, "BT\r/DataFont 10 Tf\r173 729 Td (Bolt) Tj\rET\r"));
  EXPECT_TRUE(Has(page, "84.0 724.0 m \r362.0 724.0 l \r"));
  // Four rows: the column rules run from half a line above the top rule to half below the last.
  EXPECT_TRUE(
      page.ends_with("84.0 764.5 m \r84.0 663.5 l \r1.0 w \rS\r"
                     "127.0 764.5 m \r127.0 663.5 l \r1.0 w \rS\r"
                     "238.0 764.5 m \r238.0 663.5 l \r1.0 w \rS\r"
                     "300.0 764.5 m \r300.0 663.5 l \r1.0 w \rS\r"
                     "362.0 764.5 m \r362.0 663.5 l \r1.0 w \rS\r"))
      << page.substr(page.size() - 300);
  EXPECT_EQ(e.Y(), 664);
}

TEST_F(PdfExportTest, PagesFollowTheRowHeight) {
  // Under the caption row (which ends at 764) 35 rows of 20 points fit above 56; a full page
  // holds 36.
  const std::pair<int, int> cases[] = {{0, 1}, {35, 1}, {36, 2}, {71, 2}, {72, 3}};
  for (auto [rows, pages] : cases) {
    TMemDataSet rowsDs;
    rowsDs.AddField("N", ftInteger, 0, 5);
    for (int i = 1; i <= rows; ++i) rowsDs.AddRow({std::to_string(i)});
    rowsDs.Open();
    e.SetDataSet(&rowsDs);
    std::string pdf = Run();
    EXPECT_EQ(test::PdfInfo(pdf, "pages", "Pages"), std::to_string(pages)) << rows << " rows";
    EXPECT_EQ(test::QpdfProblems(pdf, "pages"), "") << rows << " rows";
    if (rows == 36) {
      std::vector<std::string> c = Contents(pdf);
      // The new page begins with the data and grid colours and its own top rule at 784; the
      // captions are not repeated.
      EXPECT_TRUE(
          c[1].starts_with("0.000000 0.000000 0.000000 rg\r"
                           "0.000000 0.000000 0.000000 RG\r"
                           "84.0 784.0 m \r"))
          << c[1].substr(0, 120);
      EXPECT_FALSE(Has(c[1], "CaptionFont"));
      EXPECT_TRUE(Has(test::PdfText(pdf, "pages"), "36"));
    }
  }
  e.SetDataSet(&ds);
}

TEST_F(PdfExportTest, EmptyResultAndNoCaptions) {
  Rows(0);
  e.AllowCaptions = false;
  std::string pdf = Run();
  // One page whose content is the grid colour alone.
  EXPECT_EQ(Contents(pdf), std::vector<std::string>{"0.000000 0.000000 0.000000 RG\r"});
  EXPECT_EQ(test::QpdfProblems(pdf, "empty"), "");

  // Without captions the first row still gets the table's top rule.
  ds.AddRow({"7"});
  std::string page = Contents(Run()).at(0);
  EXPECT_TRUE(page.starts_with("0.000000 0.000000 0.000000 RG\r84.0 784.0 m \r")) << page;
}

TEST_F(PdfExportTest, TextThatNeedsEscaping) {
  ds.AddField("T", ftString, 20);
  ds.AddRow({"C:\\temp\\new"});
  ds.AddRow({"(unbalanced"});
  ds.AddRow({"x) and (y"});
  ds.Open();
  e.Header = {"Path \\ (header"};
  e.Footer = {"tail)"};
  std::string pdf = Run();
  EXPECT_TRUE(Has(pdf, "(C:\\\\temp\\\\new) Tj"));
  EXPECT_TRUE(Has(pdf, "(\\(unbalanced) Tj"));
  EXPECT_EQ(test::QpdfProblems(pdf, "escapes"), "");
  std::string text = test::PdfText(pdf, "escapes");
  for (const char* s : {"Path \\ (header", "C:\\temp\\new", "(unbalanced", "x) and (y", "tail)"})
    EXPECT_TRUE(Has(text, s)) << s << " missing from:\n" << text;
}

TEST_F(PdfExportTest, CellParamsEvent) {
  test::FillSampleDataSet(ds);
  std::vector<std::string> seen;
  e.OnGetCellParams = [&](TObject*, int recNo, int colNo, const std::string& value,
                          TExportColAlign& align, TFont* font, TColor& background) {
    seen.push_back(std::to_string(recNo) + ":" + std::to_string(colNo) + "=" + value);
    if (recNo == 0 && colNo == 1) {
      background = clYellow;
      font->Color = clRed;
      font->Size = 30;  // only the colour counts
      align = ecaRight;
    }
  };
  std::string page = Contents(Run()).at(0);
  ASSERT_EQ(seen.size(), 16u);
  EXPECT_EQ(seen[0], "0:0=1");
  EXPECT_EQ(seen[1], "0:1=Bolt");
  EXPECT_EQ(seen[6], "1:2=0.10");
  // The cell's rectangle under the text, in the row's full height less half a line.
  EXPECT_TRUE(Has(page,
                  "1.000000 1.000000 0.000000 rg\r127.0 744.0 111.0 19.5 re f\r"
                  "0.000000 0.000000 0.000000 rg\r"
                  "1.000000 0.000000 0.000000 rg\r"
                  "BT\r/DataFont 10 Tf\r214 749 Td (Bolt) Tj\rET\r"
                  "0.000000 0.000000 0.000000 rg\r"))
      << page;
}

TEST_F(PdfExportTest, OptionsThroughPublishedProperties) {
  test::FillSampleDataSet(ds);
  SetPropertyText(e, "Options.PageOptions.Orientation", "poLandscape");
  SetPropertyText(e, "Options.DataFont.FontSize", "8");
  SetPropertyText(e, "Options.DataFont.BaseFont", "poCourier");
  SetPropertyText(e, "Options.CaptionFont.BaseFont", "poHelveticaBold");
  SetPropertyText(e, "Options.GridLineColor", "clGray");
  SetPropertyText(e, "ColumnsWidth.NAME", "30");
  EXPECT_TRUE(Publishes(e, "OnGetCellParams"));
  EXPECT_TRUE(Publishes(e, "ColumnsAlign"));
  std::string pdf = Run();
  EXPECT_EQ(test::QpdfProblems(pdf, "props"), "");
  EXPECT_EQ(test::PdfInfo(pdf, "props", "MediaBox"), "0.00     0.00   840.00   594.00");
  EXPECT_EQ(test::PdfInfo(pdf, "props", "TrimBox"), "56.00    42.00   784.00   510.00");
  EXPECT_TRUE(Has(pdf, "/Name /DataFont\r/BaseFont /Courier\r"));
  EXPECT_TRUE(Has(pdf, "/Name /CaptionFont\r/BaseFont /Helvetica-Bold\r"));
  // Fonts are registered data, caption, header, footer.
  EXPECT_TRUE(Has(pdf, "<</DataFont 4 0 R /CaptionFont 5 0 R /HeaderFont 6 0 R /FooterFont 7 0 R"));
  std::string page = Contents(pdf).at(0);
  EXPECT_TRUE(page.starts_with("0.501961 0.501961 0.501961 RG\r")) << page.substr(0, 40);
  EXPECT_TRUE(Has(page, "BT\r/DataFont 8 Tf\r"));
  // NAME is 30 characters wide at size 8: 33 × 8 × 123,990 / 256,000 = 127.86.
  EXPECT_EQ(e.ColumnEdges()[2] - e.ColumnEdges()[1], 127);
}

TEST_F(PdfExportTest, CaptionsMoveOnWhenHeaderFillsThePage) {
  Rows(1);
  for (int i = 0; i < 48; ++i) e.Header.Add("line " + std::to_string(i));
  std::string pdf = Run();
  std::vector<std::string> c = Contents(pdf);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_FALSE(Has(c[0], "CaptionFont"));
  EXPECT_TRUE(Has(c[1], "BT\r/CaptionFont 10 Tf\r91 769 Td (N) Tj\rET\r")) << c[1];
  EXPECT_EQ(test::QpdfProblems(pdf, "header"), "");
}

// A stream that refuses to write after `limit` bytes, as a full disk does.
class TFullDisk : public TStream {
 public:
  void Write(const void*, size_t size) override {
    if (written_ + size > 2000) throw Exception("Disk full");
    written_ += size;
  }
  int64_t Position() const override { return static_cast<int64_t>(written_); }

 private:
  size_t written_ = 0;
};

TEST_F(PdfExportTest, WriteFailureReachesTheCaller) {
  ds.AddField("T", ftString, 200);
  for (int i = 0; i < 3000; ++i) ds.AddRow({std::string(150, 'x')});
  ds.Open();
  TFullDisk disk;
  try {
    e.ExportToStream(disk);
    FAIL() << "the export claimed success on a full disk";
  } catch (const Exception& ex) {
    EXPECT_STREQ(ex.what(), "Disk full");
  }
}

}  // namespace
}  // namespace morvale
