// Text for the standard PDF fonts. Values arrive in the system code page (UTF-8, or a single-byte
// page such as Windows-1251); the fonts show single bytes in one of four fixed encodings. Writing
// the bytes unchanged shows garbage for everything beyond ASCII, so each character is converted
// to its code in the font's encoding where the encoding has it. Where it has not:
// - Cyrillic letters and Latin letters with diacritics are transliterated (Cyrillic after the
//   BGN/PCGN scheme: Ж zh, Х kh, Ц ts, Щ shch, Ю yu, Я ya, Ь ', Ъ "; accented Latin letters lose
//   the accent), and every word that needed it is set between single guillemets, ‹Ivanov Ivan›,
//   which all four encodings have: the reader can read the value and sees at once that it is not
//   the original spelling;
// - spaces, dashes and currency signs it lacks become plain equivalents (a blank, '-', EUR, RUB),
//   so Russian digit grouping, a narrow no-break space, still reads 12 000;
// - anything else (CJK, symbols, emoji) becomes '?'.
// Control characters become blanks (a CR LF pair one blank), so memo line breaks never reach a
// string literal. Symbol and ZapfDingbats are picture fonts whose codes mean glyphs, not letters:
// their text keeps its bytes.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/codepage.h"
#include "export/docs/pdfoptions.h"

namespace morvale {

// How the bytes of a value are read: UTF-8, or a single-byte code page given by the characters
// of its codes 0x80..0xFF.
class TPDFCodePage {
 public:
  static TPDFCodePage Utf8() { return TPDFCodePage(); }
  static TPDFCodePage Windows1251();
  // Any code page iconv knows; UTF-8, and what iconv cannot read, are read as UTF-8.
  static TPDFCodePage Named(const std::string& name);
  // The system code page (the locale's unless the program set one).
  static TPDFCodePage System();

  bool IsUtf8() const { return utf8_; }
  char32_t High(unsigned char b) const { return high_[b - 0x80]; }

 private:
  bool utf8_ = true;
  TSingleByteHighHalf high_{};
};

class TPDFTextEncoder {
 public:
  TPDFTextEncoder(TPDFFontEncoding encoding = poWinAnsiEncoding, bool symbolic = false,
                  TPDFCodePage source = TPDFCodePage::Utf8());

  // Replaces `out` with the bytes of `text` in the font's encoding.
  void Encode(std::string_view text, std::string& out) const;
  std::string Encode(std::string_view text) const {
    std::string s;
    Encode(text, s);
    return s;
  }

  // Whether the encoding holds every character of `text` (control characters show as blanks);
  // `chars` receives the characters, a CR LF pair and every other control character as one
  // blank, ready for a font that shows them all.
  bool Fits(std::string_view text, std::vector<char32_t>& chars) const;

  // The code of a Unicode character in the encoding, or -1 when the encoding lacks it.
  int CodeOf(char32_t c) const;

 private:
  bool PlainAscii(std::string_view text) const;
  void EncodeSlow(std::string_view text, std::string& out) const;

  TPDFFontEncoding encoding_;
  bool symbolic_;
  TPDFCodePage source_;
  mutable std::vector<char32_t> chars_;  // scratch of the slow path, kept between calls
  mutable std::string spelled_;
};

}  // namespace morvale
