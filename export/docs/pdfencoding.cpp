#include "export/docs/pdfencoding.h"

#include "export/core/codepage.h"
#include "export/core/utf8.h"
#include "export/docs/pdfmetrics.h"

#include <algorithm>
#include <array>
#include <vector>

namespace morvale {

namespace {

// Unicode of codes 0x80..0xFF; 0 where the encoding has no character. Only characters of the
// standard Latin fonts are listed: a code whose glyph those fonts lack would show nothing.
const char16_t kWinAnsiHigh[128] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
};                                                                   // A0..FF are U+00A0..U+00FF

const char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,  // 80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,  // 88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,  // 90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,  // 98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,  // A0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0,      0x00C6, 0x00D8,  // A8
    0,      0x00B1, 0,      0,      0x00A5, 0x00B5, 0,      0,       // B0
    0,      0,      0,      0x00AA, 0x00BA, 0,      0x00E6, 0x00F8,  // B8
    0x00BF, 0x00A1, 0x00AC, 0,      0x0192, 0,      0,      0x00AB,  // C0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,  // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0,       // D0
    0x00FF, 0x0178, 0x2044, 0x00A4, 0x2039, 0x203A, 0xFB01, 0xFB02,  // D8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,  // E0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,  // E8
    0,      0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,  // F0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,  // F8
};

const char16_t kStandardHigh[128] = {
    0,      0,      0,      0,      0,      0,      0,      0,       // 80
    0,      0,      0,      0,      0,      0,      0,      0,       // 88
    0,      0,      0,      0,      0,      0,      0,      0,       // 90
    0,      0,      0,      0,      0,      0,      0,      0,       // 98
    0,      0x00A1, 0x00A2, 0x00A3, 0x2044, 0x00A5, 0x0192, 0x00A7,  // A0
    0x00A4, 0x0027, 0x201C, 0x00AB, 0x2039, 0x203A, 0xFB01, 0xFB02,  // A8
    0,      0x2013, 0x2020, 0x2021, 0x00B7, 0,      0x00B6, 0x2022,  // B0
    0x201A, 0x201E, 0x201D, 0x00BB, 0x2026, 0x2030, 0,      0x00BF,  // B8
    0,      0x0060, 0x00B4, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9,  // C0
    0x00A8, 0,      0x02DA, 0x00B8, 0,      0x02DD, 0x02DB, 0x02C7,  // C8
    0x2014, 0,      0,      0,      0,      0,      0,      0,       // D0
    0,      0,      0,      0,      0,      0,      0,      0,       // D8
    0,      0x00C6, 0,      0x00AA, 0,      0,      0,      0,       // E0
    0x0141, 0x00D8, 0x0152, 0x00BA, 0,      0,      0,      0,       // E8
    0,      0x00E6, 0,      0,      0,      0x0131, 0,      0,       // F0
    0x0142, 0x00F8, 0x0153, 0x00DF, 0,      0,      0,      0,       // F8
};

const char16_t kPDFDocHigh[32] = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044,  // 80
    0x2039, 0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018,  // 88
    0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141, 0x0152, 0x0160,  // 90
    0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0,       // 98
};  // A0 is the euro sign, A1..FF are U+00A1..U+00FF but for AD
const char16_t kPDFDocLow[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};

// A code point -> code map, sorted by code point for binary search.
using TReverseMap = std::vector<std::pair<char32_t, unsigned char>>;

TReverseMap BuildMap(TPDFFontEncoding e) {
  TReverseMap m;
  auto add = [&m](char32_t cp, int code) {
    if (cp) m.emplace_back(cp, static_cast<unsigned char>(code));
  };
  for (int c = 0x20; c < 0x7F; ++c) add(static_cast<char32_t>(c), c);
  switch (e) {
    case poStandardEncoding:
      // The ASCII apostrophe and grave codes show typographic quotes in this encoding; the
      // straight forms live at 0xA9 and 0xC1.
      std::erase_if(m, [](auto& p) { return p.first == '\'' || p.first == '`'; });
      add(0x2019, 0x27);
      add(0x2018, 0x60);
      for (int c = 0; c < 128; ++c) add(kStandardHigh[c], 0x80 + c);
      break;
    case poMacRomanEncoding:
      for (int c = 0; c < 128; ++c) add(kMacRomanHigh[c], 0x80 + c);
      break;
    case poPDFDocEncoding:
      for (int c = 0; c < 8; ++c) add(kPDFDocLow[c], 0x18 + c);
      for (int c = 0; c < 32; ++c) add(kPDFDocHigh[c], 0x80 + c);
      add(0x20AC, 0xA0);
      for (int c = 0xA1; c <= 0xFF; ++c)
        if (c != 0xAD) add(static_cast<char32_t>(c), c);
      break;
    default:  // WinAnsi
      for (int c = 0; c < 32; ++c) add(kWinAnsiHigh[c], 0x80 + c);
      for (int c = 0xA0; c <= 0xFF; ++c) add(static_cast<char32_t>(c), c);
      break;
  }
  std::sort(m.begin(), m.end());
  return m;
}

const TReverseMap& MapOf(TPDFFontEncoding e) {
  static const std::array<TReverseMap, 4> maps = {
      BuildMap(poStandardEncoding), BuildMap(poWinAnsiEncoding), BuildMap(poMacRomanEncoding),
      BuildMap(poPDFDocEncoding)};
  return maps[static_cast<size_t>(e >= 0 && e < 4 ? e : poWinAnsiEncoding)];
}

TPDFWidths BuildWidths(TPDFFontName font, TPDFFontEncoding encoding) {
  TPDFWidths widths{};
  if (IsSymbolicFont(font)) {
    const uint16_t* own = kPDFSymbolicWidths[font == poSymbol ? 0 : 1];
    std::copy(own, own + 256, widths.begin());
    return widths;
  }
  const uint16_t* row = kPDFLatinWidths[font >= 0 && font < kPDFTextFontCount ? font : 0];
  for (auto [cp, code] : MapOf(encoding)) {
    const char16_t* end = kPDFLatinChars + kPDFLatinCharCount;
    const char16_t* at = std::lower_bound(kPDFLatinChars, end, cp);
    if (at != end && *at == cp) widths[code] = row[at - kPDFLatinChars];
  }
  return widths;
}

// Decodes one character at `i` and advances `i`. A broken sequence (its lead byte and the
// continuation bytes after it) is one U+FFFD, so one damaged character shows as one mark.
char32_t NextChar(std::string_view s, size_t& i, const TPDFCodePage& cp) {
  auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80 || !cp.IsUtf8()) {
    ++i;
    return b < 0x80 ? b : cp.High(b);
  }
  TUtf8Char ch = Utf8Decode(s, i);
  if (ch.Length > 0) {
    i += ch.Length;
    return ch.Code;
  }
  int expected = b >= 0xF0 && b < 0xF5   ? 3
                 : b >= 0xE0 && b < 0xF0 ? 2
                 : b >= 0xC2 && b < 0xE0 ? 1
                                         : 0;
  ++i;
  while (expected-- > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return kReplacementChar;
}

// Lower-case Cyrillic U+0430..U+045F after BGN/PCGN, the Serbian and Macedonian letters after
// their own romanisations.
const char* const kCyrillic[48] = {
    "a", "b",  "v",  "g",  "d",  "e",  "zh", "z",  "i",  "y",    "k",  "l", "m",  "n", "o",  "p",
    "r", "s",  "t",  "u",  "f",  "kh", "ts", "ch", "sh", "shch", "\"", "y", "'",  "e", "yu", "ya",
    "e", "yo", "dj", "gj", "ye", "dz", "i",  "yi", "j",  "lj",   "nj", "c", "kj", "i", "w",  "dz"};

// Base letters of U+00C0..U+017F ('?' for the two signs among them, '*' for ligatures spelled
// out below).
const char kLatinBase[] =
    "AAAAAA*CEEEEIIIIDNOOOOO?OUUUUY**"   // C0
    "aaaaaa*ceeeeiiiidnooooo?ouuuuy*y"   // E0
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGg"   // 100
    "GgGgHhHhIiIiIiIiIi**JjKkkLlLlLlL"   // 120
    "lLlNnNnNnnNnOoOoOo**RrRrRrSsSsSs"   // 140
    "SsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";  // 160

const char* LatinLigature(char32_t c) {
  switch (c) {
    case 0xC6:
      return "AE";
    case 0xDE:
      return "Th";
    case 0xDF:
      return "ss";
    case 0xE6:
      return "ae";
    case 0xFE:
      return "th";
    case 0x132:
      return "IJ";
    case 0x133:
      return "ij";
    case 0x152:
      return "OE";
    case 0x153:
      return "oe";
    default:
      return nullptr;
  }
}

bool IsUpperCyrillic(char32_t c) {
  return (c >= 0x400 && c < 0x430) || c == 0x490;
}

bool IsUpperLetter(char32_t c) {
  if (c >= 'A' && c <= 'Z') return true;
  if (IsUpperCyrillic(c)) return true;
  if (c >= 0xC0 && c < 0xDF && c != 0xD7) return true;
  return c >= 0x100 && c < 0x180 && kLatinBase[c - 0xC0] >= 'A' && kLatinBase[c - 0xC0] <= 'Z';
}

// The Latin spelling of a letter the encoding lacks, or nullptr when there is none. `next` is
// the following character: a multi-letter spelling of a capital is all capitals inside a word
// written in capitals (ЩИ shchi → SHCHI) and capitalised otherwise (Щи Shchi).
bool Transliterate(char32_t c, char32_t next, std::string& out) {
  const char* s = nullptr;
  bool upper = false;
  if (c >= 0x430 && c < 0x460) {
    s = kCyrillic[c - 0x430];
  } else if (c >= 0x410 && c < 0x430) {
    s = kCyrillic[c - 0x410], upper = true;
  } else if (c >= 0x400 && c < 0x410) {
    s = kCyrillic[c - 0x400 + 0x20], upper = true;
  } else if (c == 0x490 || c == 0x491) {
    s = "g", upper = c == 0x490;
  } else if (c == 0x2116) {
    s = "No";
  } else if (c >= 0xC0 && c < 0x180) {
    if ((s = LatinLigature(c)) == nullptr) {
      char b = kLatinBase[c - 0xC0];
      if (b == '?') return false;
      out += b;
      return true;
    }
  } else {
    return false;
  }
  bool allUpper = upper && IsUpperLetter(next);
  for (size_t k = 0; s[k]; ++k) {
    char ch = s[k];
    if (upper && (k == 0 || allUpper) && ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    out += ch;
  }
  return true;
}

// Plain equivalents of signs and spaces an encoding may lack; they say the same thing, so they
// need no mark: the Russian digit grouping (a narrow no-break space) must not print as '?'.
const char* SignFallback(char32_t c) {
  if ((c >= 0x2000 && c <= 0x200A) || c == 0x00A0 || c == 0x202F || c == 0x205F || c == 0x3000)
    return " ";
  if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212) return "-";
  switch (c) {
    case 0x2026:
      return "...";
    case 0x20AC:
      return "EUR";
    case 0x20BD:
      return "RUB";
    case 0x20B4:
      return "UAH";
    case 0x2116:
      return "No";
    default:
      return nullptr;
  }
}

bool IsQuoteOrBracket(char32_t c) {
  switch (c) {
    case '"':
    case '\'':
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}':
    case 0xAB:
    case 0xBB:
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x2039:
    case 0x203A:
      return true;
    default:
      return false;
  }
}

// Letters and digits make words; a marked run spans whole words.
bool IsWordChar(char32_t c) {
  if (c < 0x80) return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
  if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
  if (c == 0x2116) return true;  // the numero sign reads as part of its number: №5 No5
  if (c >= 0x2000 && c < 0x2C00) return false;  // punctuation, symbols, arrows, dingbats
  return c != 0x3000 && c != 0xFFFD;
}

}  // namespace

const TPDFWidths& PDFFontWidths(TPDFFontName font, TPDFFontEncoding encoding) {
  static const auto all = [] {
    std::array<std::array<TPDFWidths, 4>, 14> a{};
    for (int f = 0; f < 14; ++f)
      for (int e = 0; e < 4; ++e)
        a[f][e] = BuildWidths(static_cast<TPDFFontName>(f), static_cast<TPDFFontEncoding>(e));
    return a;
  }();
  const int f = font >= poHelvetica && font <= poZapfDingbats ? font : poHelvetica;
  const int e =
      encoding >= poStandardEncoding && encoding <= poPDFDocEncoding ? encoding : poWinAnsiEncoding;
  return all[f][e];
}

TPDFCodePage TPDFCodePage::Windows1251() {
  return Named("CP1251");
}

TPDFCodePage TPDFCodePage::Named(const std::string& name) {
  TPDFCodePage cp;
  // UTF-8, and what iconv cannot read, are read as UTF-8.
  if (!SingleByteHighHalf(name, cp.high_)) return Utf8();
  cp.utf8_ = false;
  for (char32_t& c : cp.high_)
    if (c == 0) c = kReplacementChar;  // a byte that stands for no character shows as one mark
  return cp;
}

TPDFCodePage TPDFCodePage::System() {
  return Named(SystemCodePage());
}

TPDFTextEncoder::TPDFTextEncoder(TPDFFontEncoding encoding, bool symbolic, TPDFCodePage source)
    : encoding_(encoding), symbolic_(symbolic), source_(source) {}

int TPDFTextEncoder::CodeOf(char32_t c) const {
  const TReverseMap& m = MapOf(encoding_);
  auto it = std::lower_bound(m.begin(), m.end(), std::make_pair(c, static_cast<unsigned char>(0)));
  return it != m.end() && it->first == c ? it->second : -1;
}

bool TPDFTextEncoder::PlainAscii(std::string_view text) const {
  for (char ch : text) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b > 0x7E) return false;
    if (encoding_ == poStandardEncoding && (b == '\'' || b == '`')) return false;
  }
  return true;
}

bool TPDFTextEncoder::Fits(std::string_view text, std::vector<char32_t>& chars) const {
  chars.clear();
  if (symbolic_ || PlainAscii(text)) return true;
  bool fits = true;
  for (size_t i = 0; i < text.size();) {
    char32_t c = NextChar(text, i, source_);
    if (c < 0x20 || c == 0x7F) {
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      c = ' ';
    } else if (fits && CodeOf(c) < 0) {
      fits = false;
    }
    chars.push_back(c);
  }
  return fits;
}

void TPDFTextEncoder::Encode(std::string_view text, std::string& out) const {
  if (PlainAscii(text)) {
    out.assign(text);
    return;
  }
  out.clear();
  if (!symbolic_) return EncodeSlow(text, out);
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += b < 0x20 || b == 0x7F ? ' ' : static_cast<char>(b);
  }
}

void TPDFTextEncoder::EncodeSlow(std::string_view text, std::string& out) const {
  const char open = static_cast<char>(CodeOf(0x2039));
  const char close = static_cast<char>(CodeOf(0x203A));
  std::vector<char32_t>& cs = chars_;
  cs.clear();
  for (size_t i = 0; i < text.size();) cs.push_back(NextChar(text, i, source_));

  // A run of marked words is set between guillemets. Blanks and punctuation between two marked
  // words stay inside the run; quotes and brackets that cling to a marked word go in with it, so
  // the marks never split a quotation: ‹OOO "Romashka"›, not ‹OOO "Romashka›".
  bool inRun = false;     // a marked run is open
  size_t runEnd = 0;      // where the open run closes unless another marked word follows
  bool clinging = false;  // nothing but quotes and brackets since the last marked word
  size_t lead = 0;        // start of the quotes and brackets before the next word
  bool leadValid = true;  // ... which follow a blank or the start of the text
  std::string& spelled = spelled_;
  for (size_t i = 0; i < cs.size();) {
    char32_t c = cs[i];
    if (!IsWordChar(c)) {
      if (c == '\r' && i + 1 < cs.size() && cs[i + 1] == '\n') ++i;
      const char* fallback = nullptr;
      int code = c < 0x20 || c == 0x7F ? ' ' : CodeOf(c);
      if (code >= 0)
        out += static_cast<char>(code);
      else if ((fallback = SignFallback(c)) != nullptr)
        out += fallback;
      else
        out += '?';
      bool blank = code == ' ' || (fallback && *fallback == ' ') || c == 0xA0;
      ++i;
      if (blank) {
        clinging = false;
        lead = out.size(), leadValid = true;
      } else if (IsQuoteOrBracket(c)) {
        if (inRun && clinging) runEnd = out.size();
      } else {
        clinging = leadValid = false;
      }
      continue;
    }
    size_t end = i;
    while (end < cs.size() && IsWordChar(cs[end])) ++end;
    spelled.clear();
    bool marked = false;
    for (size_t k = i; k < end; ++k) {
      int code = CodeOf(cs[k]);
      if (code >= 0) {
        spelled += static_cast<char>(code);
      } else if (Transliterate(cs[k], k + 1 < end ? cs[k + 1] : 0, spelled)) {
        marked = true;
      } else {
        spelled += '?';
      }
    }
    if (marked) {
      if (!inRun) out.insert(leadValid ? lead : out.size(), 1, open);
      out += spelled;
      inRun = clinging = true;
      runEnd = out.size();
    } else {
      if (inRun) out.insert(runEnd, 1, close);
      inRun = clinging = false;
      out += spelled;
    }
    leadValid = false;
    i = end;
  }
  if (inRun) out.insert(runEnd, 1, close);
}

}  // namespace morvale
