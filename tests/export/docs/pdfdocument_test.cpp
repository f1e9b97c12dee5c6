#include "export/docs/pdfdocument.h"
#include "export/docs/pdfencoding.h"
#include "export/docs/pdfmetrics.h"

#include <gtest/gtest.h>

#include "tests/support/pdftools.h"

namespace morvale {
namespace {

using test::CheckXref;
using test::ObjectText;

std::string FinishedDocument(int pages) {
  TMemoryStream out;
  TPDFDocument doc(out);
  doc.BeginDocument();
  TPDFFont data("DataFont"), caption("CaptionFont");
  caption.BaseFont = poTimesBold;
  caption.FontEncoding = poMacRomanEncoding;
  for (int i = 0; i < pages; ++i) {
    doc.BeginPage();
    doc.SetFont(data);
    doc.DrawText(100, 700, clBlack, "Page " + std::to_string(i + 1));
  }
  doc.AddFont(data);
  doc.AddFont(caption);
  doc.FinishDocument();
  return out.Data();
}

TEST(PdfDocument, ObjectOrderAndCrossReference) {
  std::string pdf = FinishedDocument(2);
  EXPECT_EQ(pdf.substr(0, 9), "%PDF-1.3\r");
  EXPECT_EQ(pdf.substr(pdf.size() - 5), "%%EOF");
  // Content streams and their lengths first, in page order, then the closing objects.
  auto objects = CheckXref(pdf);
  ASSERT_EQ(objects.size(), 12u);
  EXPECT_EQ(ObjectText(pdf, objects, 1).substr(0, 40),
            "1 0 obj\r<< /Length 2 0 R >>\rstream\r\nBT\r/");
  EXPECT_EQ(ObjectText(pdf, objects, 3).substr(0, 30), "3 0 obj\r<< /Length 4 0 R >>\rst");
  const std::string content = "BT\r/DataFont 10 Tf\r100 700 Td (Page 1) Tj\rET\r";
  EXPECT_EQ(ObjectText(pdf, objects, 2),
            "2 0 obj\r" + std::to_string(content.size()) + " \rendobj\r");
  EXPECT_NE(pdf.find("stream\r\n" + content + "endstream\rendobj\r2 0 obj"), std::string::npos);
  EXPECT_EQ(ObjectText(pdf, objects, 5), "5 0 obj\r<< /Type /Outlines\r/Count 0\r>>\rendobj\r");
  std::string font = ObjectText(pdf, objects, 7);
  const std::string fontHead =
      "7 0 obj\r<< /Type /Font\r/Subtype /Type1\r/Name /CaptionFont\r/BaseFont /Times-Bold\r"
      "/Encoding /MacRomanEncoding\r/FirstChar 0\r/LastChar 255\r/Widths [0 ";
  EXPECT_EQ(font.substr(0, fontHead.size()), fontHead);
  EXPECT_NE(font.find(" 333 333 ]\r>>\rendobj\r"), std::string::npos);  // ogonek, caron
  EXPECT_EQ(ObjectText(pdf, objects, 8),
            "8 0 obj\r<< /Font <</DataFont 6 0 R /CaptionFont 7 0 R  >> /ProcSet [ /PDF /Text ] "
            ">>\rendobj\r");
  EXPECT_EQ(ObjectText(pdf, objects, 9),
            "9 0 obj\r<< /Type /Pages\r/Count 2\r/Kids [10 0 R 11 0 R ]\r>>\rendobj\r");
  EXPECT_EQ(ObjectText(pdf, objects, 11),
            "11 0 obj\r<< /Type /Page\r/Parent 9 0 R\r/Resources 8 0 R\r/MediaBox [0 0 612 792]\r"
            "/TrimBox [50 50 562 742]\r/Contents 3 0 R\r>>\rendobj\r");
  EXPECT_NE(pdf.find("12 0 obj\r<< /Type /Catalog \r/Pages 9 0 R \r/Outlines 5 0 R \r>>\rendobj\r"
                     "xref\r0 13\r"),
            std::string::npos);
  EXPECT_NE(pdf.find("trailer\r<< /Size 13\r/Root 12 0 R\r>>\rstartxref\r"), std::string::npos);
  // A lone CR ends every line; the only LF is the one after each "stream" keyword.
  size_t lf = 0, streams = 0;
  for (size_t i = 0; i < pdf.size(); ++i)
    if (pdf[i] == '\n') {
      ++lf;
      streams += pdf.compare(i - 7, 7, "stream\r") == 0;
    }
  EXPECT_EQ(lf, 2u);
  EXPECT_EQ(streams, 2u);
  EXPECT_EQ(test::QpdfProblems(pdf, "objects"), "");
  EXPECT_EQ(test::PdfInfo(pdf, "objects", "Pages"), "2");
}

TEST(PdfDocument, ColoursAreBracketedAndTextEscaped) {
  TMemoryStream out;
  TPDFDocument doc(out);
  doc.BeginDocument();
  doc.BeginPage();
  doc.SetFont(TPDFFont("DataFont"));
  doc.DrawLine(clBlack, 84, 784, 552.5, 784);  // current colour: no operator
  doc.LineWidth = 2;
  doc.DrawLine(clRed, 1, 2, 3, 4);  // red, then black again
  EXPECT_EQ(doc.SetFillColor(0x336699), clBlack);
  doc.DrawText(5, 6, 0x336699, "a\\b(c)d");  // the current fill colour
  doc.FillRect(clWhite, 1, 2.25, 10, 19.5);
  doc.FinishDocument();
  std::string pdf = out.Data();
  size_t from = pdf.find("stream\r\n") + 8;
  EXPECT_EQ(pdf.substr(from, pdf.find("endstream") - from),
            "84.0 784.0 m \r552.5 784.0 l \r1.0 w \rS\r"
            "1.000000 0.000000 0.000000 RG\r1.0 2.0 m \r3.0 4.0 l \r2.0 w \rS\r"
            "0.000000 0.000000 0.000000 RG\r"
            "0.600000 0.400000 0.200000 rg\r"
            "BT\r/DataFont 10 Tf\r5 6 Td (a\\\\b\\(c\\)d) Tj\rET\r"
            "1.000000 1.000000 1.000000 rg\r1.0 2.2 10.0 19.5 re f\r"
            "0.600000 0.400000 0.200000 rg\r");
}

TEST(PdfDocument, NewPageStartsFromBlackAndFontNamesAreUnique) {
  TMemoryStream out;
  TPDFDocument doc(out);
  doc.BeginDocument();
  doc.BeginPage();
  doc.SetFillColor(clRed);
  doc.BeginPage();
  // A content stream begins in the default state, so red must be set again on the new page.
  EXPECT_EQ(doc.FillColor(), clBlack);
  doc.DrawText(0, 0, clRed, "x");
  doc.AddFont(TPDFFont("DataFont"));
  try {
    doc.AddFont(TPDFFont("DataFont"));
    FAIL() << "a second DataFont was accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Font DataFont already exists");
  }
  doc.FinishDocument();
  std::string pdf = out.Data();
  size_t page2 = pdf.find("3 0 obj");
  EXPECT_NE(pdf.find("1.000000 0.000000 0.000000 rg\rBT\r", page2), std::string::npos);
  EXPECT_EQ(test::QpdfProblems(pdf, "colours"), "");
}

TEST(PdfDocument, FontEncodingsReadersUnderstand) {
  TMemoryStream out;
  TPDFDocument doc(out);
  doc.BeginDocument();
  doc.BeginPage();
  TPDFFont doc1("DataFont"), symbol("CaptionFont");
  doc1.FontEncoding = poPDFDocEncoding;
  symbol.BaseFont = poSymbol;  // with the default WinAnsi encoding chosen
  doc.AddFont(doc1);
  doc.AddFont(symbol);
  doc.SetFont(doc1);
  doc.DrawText(72, 700, clBlack, "\xA0 \x84 \x8D\x8E");  // euro, em dash, curly double quotes
  doc.SetFont(symbol);
  doc.DrawText(72, 600, clBlack, "abg");
  doc.FinishDocument();
  std::string pdf = out.Data();
  // Readers know only three encodings by name; PDFDocEncoding is given as differences.
  EXPECT_NE(pdf.find("/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding\r/Differences ["),
            std::string::npos);
  // A picture font keeps its own encoding: no /Encoding entry at all.
  EXPECT_NE(pdf.find("/BaseFont /Symbol\r/FirstChar 0"), std::string::npos);
  EXPECT_EQ(test::QpdfProblems(pdf, "encodings"), "");
  std::string text = test::PdfText(pdf, "encodings");
  EXPECT_NE(text.find("€ — “”"), std::string::npos) << text;
  EXPECT_NE(text.find("αβγ"), std::string::npos) << text;
}

TEST(PdfDocument, TextMeasures) {
  EXPECT_EQ(PDFAverageWidth(13, 10), 62);  // a 10-character column with spacing 3
  EXPECT_EQ(PDFAverageWidth(1.5, 10), 7);
  EXPECT_EQ(PDFAverageWidth(0, 10), 0);
  TPDFFont font;
  EXPECT_EQ(PDFTextWidth("", font), 0);
  EXPECT_EQ(PDFTextWidth("Bolt", font), 17);  // (667 + 556 + 222 + 278) × 10 / 1000 = 17.23
  font.BaseFont = poTimesRoman;
  EXPECT_EQ(PDFTextWidth("Bolt!", font), 20);  // (667 + 500 + 278 + 278 + 333) × 10 / 1000
  font.BaseFont = poCourierBold;
  font.FontSize = 12;
  EXPECT_EQ(PDFTextWidth("\xE0\xFF", font), 14);  // every Courier glyph is 600 wide
  font.BaseFont = poSymbol;
  font.FontSize = 10;
  EXPECT_EQ(PDFTextWidth("a", font), 6);  // alpha, 631, in the font's own encoding
}

// An accented letter is as wide as its base letter in the standard fonts; a width table that
// gave it less made letters overlap inside their word ("Müller").
TEST(PdfDocument, AccentedLettersKeepTheirWidths) {
  const std::u32string accented = U"àäåçéèêëñòöùüýÿÀÄÅÇÉÑÖÜŠšŽž";
  const std::u32string base = U"aaaceeeenoouuyyAAACENOUSsZz";
  for (TPDFFontEncoding e : {poWinAnsiEncoding, poMacRomanEncoding, poPDFDocEncoding}) {
    TPDFTextEncoder encoder(e);
    for (int f = poHelvetica; f <= poTimesBoldItalic; ++f) {
      const TPDFWidths& w = PDFFontWidths(static_cast<TPDFFontName>(f), e);
      for (size_t i = 0; i < accented.size(); ++i) {
        const int code = encoder.CodeOf(accented[i]);
        if (code < 0) continue;  // MacRoman has no Š
        EXPECT_EQ(w[code], w[encoder.CodeOf(base[i])])
            << PDFBaseFontName(static_cast<TPDFFontName>(f)) << " " << PDFEncodingName(e) << " U+"
            << std::hex << static_cast<int>(accented[i]);
      }
    }
  }
  // Each font object declares its own font's widths, the ones its text was measured with.
  const std::string pdf = FinishedDocument(1);
  const auto objects = CheckXref(pdf);
  const std::string helvetica = ObjectText(pdf, objects, 4);
  const std::string timesBold = ObjectText(pdf, objects, 5);
  EXPECT_NE(helvetica.find("/BaseFont /Helvetica\r"), std::string::npos) << helvetica;
  EXPECT_NE(helvetica.find(" 278 278 355 556 556 889 667 191 "), std::string::npos);
  EXPECT_NE(timesBold.find("/BaseFont /Times-Bold\r"), std::string::npos) << timesBold;
  EXPECT_NE(timesBold.find(" 250 333 555 500 500 1000 833 278 "), std::string::npos);
}

// A stream that refuses to write after `limit` bytes, as a full disk does.
class TFailingStream : public TStream {
 public:
  explicit TFailingStream(size_t limit) : limit_(limit) {}
  void Write(const void*, size_t size) override {
    if (written_ + size > limit_) throw Exception("Disk full");
    written_ += size;
  }
  int64_t Position() const override { return static_cast<int64_t>(written_); }

 private:
  size_t limit_, written_ = 0;
};

TEST(PdfDocument, WriteFailureEndsTheDocumentOnce) {
  TFailingStream out(100);
  TPDFDocument doc(out);
  doc.BeginDocument();
  doc.BeginPage();
  doc.SetFont(TPDFFont("DataFont"));
  std::string big(70000, 'x');
  // A page is held until it ends (pages side by side are drawn together), then written.
  doc.DrawText(0, 0, clBlack, big);
  EXPECT_THROW(doc.BeginPage(), Exception);
  // The run's end still finishes the document; with the stream gone that must not raise again.
  EXPECT_NO_THROW(doc.FinishDocument());
}

}  // namespace
}  // namespace morvale
