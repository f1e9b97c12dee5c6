// Texts the standard fonts cannot show, drawn in an embedded TrueType subset: what pdftotext
// copies out, what pdffonts lists, qpdf's verdict, the font objects, and that documents whose
// texts fit the standard fonts embed nothing.
#include <gtest/gtest.h>

#include "export/core/properties.h"
#include "export/docs/pdfexport.h"
#include "export/docs/pdftruetype.h"
#include "tests/support/memsources.h"
#include "tests/support/pdftools.h"

namespace morvale {
namespace {

using test::TMemDataSet;

bool Has(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

class PdfUnicodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TPDFTrueTypeFace::FindFile("DejaVu Sans", false, false).empty())
      GTEST_SKIP() << "fonts-dejavu-core is not installed";
    e.SetFormatSettings(TFormatSettings::English());
    e.TextCodePage = TPDFCodePage::Utf8();
    e.SetDataSet(&ds);
    e.AutoCalcColWidth = false;  // positions below are of the declared widths
  }
  void Names(std::initializer_list<const char*> names) {
    ds.AddField("ID", ftInteger, 0, 6);
    ds.AddField("NAME", ftString, 30);
    int id = 0;
    for (const char* n : names) ds.AddRow({std::to_string(++id), n});
    ds.Open();
  }
  std::string Run() {
    TMemoryStream s;
    e.ExportToStream(s);
    return s.Data();
  }
  TMemDataSet ds;
  TExportPDF e;
};

TEST_F(PdfUnicodeTest, EveryScriptCopiesOutAsWritten) {
  const char* names[] = {"ООО \"Ромашка\"", "Завод «Прогресс»", "Αθήνα", "Łódź Żółć", "Ünïcødé ✓",
                         "Plain Latin",     "Тбилиси — ქართული"};
  Names({names[0], names[1], names[2], names[3], names[4], names[5], names[6]});
  e.Header = {"Заказы за 2024 год"};
  e.Footer = {"Итого: 7"};
  std::string pdf = Run();
  EXPECT_EQ(test::QpdfProblems(pdf, "scripts"), "");
  std::string text = test::PdfText(pdf, "scripts");
  for (const char* n : names) EXPECT_TRUE(Has(text, n)) << n << " missing from:\n" << text;
  EXPECT_TRUE(Has(text, "Заказы за 2024 год"));
  EXPECT_TRUE(Has(text, "Итого: 7"));
  EXPECT_FALSE(Has(text, "‹"));  // nothing transliterated

  // One subset of DejaVu Sans, embedded, with a ToUnicode map; the standard fonts stay.
  std::string fonts = test::RunOnPdf(pdf, "scripts", "pdffonts");
  EXPECT_TRUE(std::regex_search(fonts, std::regex("[A-Z]{6}\\+DejaVuSans +CID TrueType +"
                                                  "Identity-H +yes +yes +yes")))
      << fonts;
  EXPECT_TRUE(Has(fonts, "Helvetica")) << fonts;
  // Latin values keep the standard font: "Plain Latin" is a string literal of DataFont.
  EXPECT_TRUE(Has(pdf, "(Plain Latin) Tj"));
  EXPECT_TRUE(Has(pdf, "/Subtype /CIDFontType2\r"));
  EXPECT_TRUE(Has(pdf, "/CIDToGIDMap /Identity\r"));
  // A subset, not the whole font file of some 700 KB.
  EXPECT_LT(pdf.size(), 60000u);
}

TEST_F(PdfUnicodeTest, RightAlignedTextIsMeasuredInItsOwnFont) {
  // Right-aligned, the text ends at the column's right edge minus the indent, whatever the font.
  Names({"Ж"});
  e.ColumnsAlign = {"NAME=right"};
  std::string pdf = Run();
  // The NAME column ends at 84 + 43 + 159 = 286 and the indent is 7.
  auto face = TPDFTrueTypeFace::Load(TPDFTrueTypeFace::FindFile("DejaVu Sans", false, false));
  int width = face->Advance(face->Glyph(U'Ж')) * 10 / 1000;
  EXPECT_TRUE(Has(pdf, "/U1 10 Tf\r" + std::to_string(286 - 7 - width) + " "))
      << width << "\n"
      << pdf.substr(0, 2000);
}

TEST_F(PdfUnicodeTest, TheFontSettingNamesTheFile) {
  Names({"Москва"});
  std::string serif = TPDFTrueTypeFace::FindFile("DejaVu Serif", false, false);
  if (serif.empty()) GTEST_SKIP() << "no DejaVu Serif";
  SetPropertyText(e, "Options.UnicodeFont", serif);
  std::string pdf = Run();
  EXPECT_TRUE(Has(test::RunOnPdf(pdf, "serif", "pdffonts"), "+DejaVuSerif "));
  EXPECT_TRUE(Has(test::PdfText(pdf, "serif"), "Москва"));

  SetPropertyText(e, "Options.UnicodeFont", "/nonexistent/font.ttf");
  try {
    Run();
    FAIL() << "a missing font file went unnoticed";
  } catch (const Exception& ex) {
    EXPECT_STREQ(ex.what(), "Cannot read the font file /nonexistent/font.ttf");
  }
}

TEST_F(PdfUnicodeTest, BoldCaptionsGetTheBoldFace) {
  Names({"Киев"});
  e.Captions = {"NAME=Название"};
  SetPropertyText(e, "Options.CaptionFont.BaseFont", "poHelveticaBold");
  std::string pdf = Run();
  std::string fonts = test::RunOnPdf(pdf, "bold", "pdffonts");
  EXPECT_TRUE(Has(fonts, "+DejaVuSans-Bold ")) << fonts;
  EXPECT_TRUE(Has(fonts, "+DejaVuSans ")) << fonts;
  EXPECT_EQ(test::QpdfProblems(pdf, "bold"), "");
}

TEST_F(PdfUnicodeTest, TextsThatFitEmbedNothing) {
  Names({"Müller", "Zoë €5", "O'Neil & Sons"});
  std::string pdf = Run();
  EXPECT_FALSE(Has(pdf, "/Type0"));
  EXPECT_FALSE(Has(pdf, "FontFile2"));
  EXPECT_TRUE(Has(test::PdfText(pdf, "fit"), "Zoë €5"));
}

TEST(PdfTrueTypeFace, GlyphNumbersAreEscapedInTheLiteral) {
  std::string path = TPDFTrueTypeFace::FindFile("DejaVu Sans", false, false);
  if (path.empty()) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  TMemoryStream s;
  TPDFDocument doc(s);
  doc.BeginDocument();
  doc.BeginPage();
  doc.SetFont(TPDFFont("DataFont"));
  // Bytes that end or escape a literal, or that a reader would read as a line end.
  doc.DrawGlyphs(5, 6, clBlack, TPDFTrueTypeFace::Load(path), {0x0D28, 0x5C0A, 0x2941});
  doc.FinishDocument();
  EXPECT_TRUE(Has(s.Data(), "BT\r/U1 10 Tf\r5 6 Td (\\r\\(\\\\\\n\\)A) Tj\rET\r"))
      << s.Data().substr(0, 200);
}

TEST(PdfTrueTypeFace, GlyphsWidthsAndSubset) {
  std::string path = TPDFTrueTypeFace::FindFile("DejaVu Sans", false, false);
  if (path.empty()) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  auto face = TPDFTrueTypeFace::Load(path);
  uint16_t a = face->Glyph(U'А'), b = face->Glyph(U'Б');
  EXPECT_NE(a, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(face->Glyph(U'А'), a);
  EXPECT_GT(face->Advance(a), 500);
  EXPECT_EQ(face->Glyph(0x10FFFD), 0);  // a private character the face lacks
  auto used = face->UsedGlyphs();
  ASSERT_EQ(used.size(), 2u);
  EXPECT_TRUE(used[0].first < used[1].first);
  EXPECT_EQ(face->SubsetTag().size(), 6u);
  std::string subset = face->Subset();
  EXPECT_GT(subset.size(), 1000u);
  EXPECT_LT(subset.size(), 40000u);
  EXPECT_EQ(subset.substr(0, 4), std::string("\0\1\0\0", 4));  // a TrueType file

  EXPECT_THROW(TPDFTrueTypeFace::Load("/etc/hostname"), Exception);
}

}  // namespace
}  // namespace morvale
