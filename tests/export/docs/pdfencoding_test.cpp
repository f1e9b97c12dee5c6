#include "export/docs/pdfencoding.h"

#include <gtest/gtest.h>

namespace morvale {
namespace {

std::string Hexed(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char b[8];
      std::snprintf(b, sizeof b, "\\x%02X", c);
      out += b;
    }
  }
  return out;
}

TEST(PdfTextEncoder, ConvertsWhatTheEncodingHasAndMarksWhatItHasNot) {
  struct Case {
    TPDFFontEncoding enc;
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {poWinAnsiEncoding, "Bolt 12.50", "Bolt 12.50"},
      {poWinAnsiEncoding, "Ünïcødé",
       "\xDCn\xEF"
       "c\xF8"
       "d\xE9"},
      {poWinAnsiEncoding, "€ “q” – …", "\x80 \x93q\x94 \x96 \x85"},
      {poMacRomanEncoding, "Ünïcødé €",
       "\x86n\x95"
       "c\xBF"
       "d\x8E EUR"},
      {poPDFDocEncoding, "€ Łódź — ™",
       "\xA0 \x88\x95\xF3"
       "dz\x89 \x84 \x92"},
      {poStandardEncoding, "it's `x` ’q‘", "it\xA9s \xC1x\xC1 'q`"},
      // Transliteration, one mark around whole words and the blanks between them.
      {poWinAnsiEncoding, "Гайка \"M6\"", "\x8BGayka\x9B \"M6\""},
      {poWinAnsiEncoding, "Иванов Иван, 5", "\x8BIvanov Ivan\x9B, 5"},
      {poWinAnsiEncoding, "ЩИ Щи щи", "\x8BSHCHI Shchi shchi\x9B"},
      {poWinAnsiEncoding, "Объём №5 Ёж", "\x8BOb\"yom No5 Yozh\x9B"},
      {poWinAnsiEncoding, "Київ Ґанок", "\x8BKiyiv Ganok\x9B"},
      {poWinAnsiEncoding, "M6-гайка x", "M6-\x8Bgayka\x9B x"},
      {poWinAnsiEncoding, "ООО \"Ромашка\" (Москва), 1", "\x8BOOO \"Romashka\" (Moskva)\x9B, 1"},
      {poWinAnsiEncoding, "«Прогресс» x «y»", "\x8B\xABProgress\xBB\x9B x \xABy\xBB"},
      {poStandardEncoding, "café Łódź",
       "\xAC"
       "cafe \xE8"
       "odz\xAD"},
      // Spaces, dashes and currency signs the encoding lacks have plain equivalents.
      {poWinAnsiEncoding, "12\u202F000,50 ₽ − 1", "12 000,50 RUB - 1"},
      {poStandardEncoding, "5\u00A0€ a…", "5 EUR a\xBC"},
      // Neither in the encoding nor spelled in Latin letters: a question mark each.
      {poWinAnsiEncoding, "ok ✓ 東京", "ok ? ??"},
      {poWinAnsiEncoding, "bad \xC3 \xE2\x82 end", "bad ? ? end"},
      // No lead byte past F4: its continuation bytes are broken bytes of their own.
      {poWinAnsiEncoding, "x\xF5\x80\x80y", "x???y"},
      // Control characters become blanks; a CR LF pair becomes one.
      {poWinAnsiEncoding, "line one\r\nline two\tz", "line one line two z"},
      {poWinAnsiEncoding, "один\r\nдва", "\x8Bodin dva\x9B"},
  };
  for (const Case& c : cases) {
    TPDFTextEncoder e(c.enc);
    EXPECT_EQ(Hexed(e.Encode(c.in)), Hexed(c.out)) << c.in << " in " << PDFEncodingName(c.enc);
  }
}

TEST(PdfTextEncoder, SourcesAndPictureFonts) {
  // Windows-1251 input: "При" and the 1251 no-break space.
  TPDFTextEncoder cp1251(poWinAnsiEncoding, false, TPDFCodePage::Windows1251());
  EXPECT_EQ(Hexed(cp1251.Encode("\xCF\xF0\xE8\xA0x")), Hexed("\x8BPri\x9B\xA0x"));
  // Other single-byte code pages through iconv: KOI8-R "При" and Latin-1 "é".
  TPDFTextEncoder koi8(poWinAnsiEncoding, false, TPDFCodePage::Named("KOI8-R"));
  EXPECT_EQ(Hexed(koi8.Encode("\xF0\xD2\xC9")), Hexed("\x8BPri\x9B"));
  TPDFTextEncoder latin1(poMacRomanEncoding, false, TPDFCodePage::Named("ISO-8859-1"));
  EXPECT_EQ(Hexed(latin1.Encode("caf\xE9")), Hexed("caf\x8E"));
  // Symbol and ZapfDingbats codes are glyphs: bytes pass, control characters still go.
  TPDFTextEncoder symbol(poWinAnsiEncoding, true);
  EXPECT_EQ(Hexed(symbol.Encode("ab\xE0\r\n\x01")), Hexed("ab\xE0  "));
  EXPECT_EQ(TPDFTextEncoder(poStandardEncoding).CodeOf(0x2039), 0xAC);
  EXPECT_EQ(TPDFTextEncoder(poMacRomanEncoding).CodeOf(0x2039), 0xDC);
  EXPECT_EQ(TPDFTextEncoder(poPDFDocEncoding).CodeOf(0x2039), 0x88);
  EXPECT_EQ(TPDFTextEncoder(poWinAnsiEncoding).CodeOf(0x0416), -1);
}

}  // namespace
}  // namespace morvale
