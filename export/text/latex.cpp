#include "export/text/latex.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "export/core/codepage.h"
#include "export/core/page.h"
#include "export/core/properties.h"
#include "export/core/translate.h"

namespace morvale {

int SystemAnsiCodePage() {
  std::string k;
  for (char c : SystemCodePage())
    if (c != '-' && c != '_') k += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  if (k == "UTF8") return 65001;
  if (k == "KOI8R") return 20866;
  if (k == "KOI8U") return 21866;
  if (k == "ASCII" || k == "USASCII" || k == "ANSIX3.41968") return 20127;
  if (k.rfind("ISO8859", 0) == 0 && k.size() > 7) return 28590 + std::atoi(k.c_str() + 7);
  for (const char* prefix : {"WINDOWS", "CP"})
    if (k.rfind(prefix, 0) == 0 && std::atoi(k.c_str() + std::string(prefix).size()) > 0)
      return std::atoi(k.c_str() + std::string(prefix).size());
  return 65001;
}

std::string InputEncodingName(int cp) {
  switch (cp) {
    case 65001:
      // inputenc has no "cp65001"; a UTF-8 file is read with "utf8".
      return "utf8";
    case 20127:
      return "ascii";
    case 20866:
      return "koi8-r";
    case 21866:
      return "koi8-u";
    case 28591:
      return "latin1";
    case 28592:
      return "latin2";
    case 28593:
      return "latin3";
    case 28594:
      return "latin4";
    case 28595:
      return "iso88595";
    case 28599:
      return "latin5";
    case 28605:
      return "latin9";
    default:
      return "cp" + std::to_string(cp);
  }
}

TLaTeXOptions::TLaTeXOptions() : codePage_(SystemAnsiCodePage()) {}

void TLaTeXOptions::SetCodePage(int cp) {
  codePage_ = cp > 0 ? cp : SystemAnsiCodePage();
}

const TPropList& TLaTeXOptions::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TLaTeXOptions>(l)
        .Enum("LaTeXVersion", "TLaTeXVersion", &TLaTeXOptions::LaTeXVersion,
              {"LaTeX209", "LaTeX2e"})
        .Enum("DocumentStyle", "TLaTeXDocStyle", &TLaTeXOptions::DocumentStyle,
              {"dsArticle", "dsBook"})
        .Str("DocumentParams", &TLaTeXOptions::DocumentParams)
        .Custom(
            "CodePage", "Integer",
            [](const TLaTeXOptions& o) { return std::to_string(o.CodePage()); },
            [](TLaTeXOptions& o, std::string_view v) { o.SetCodePage(TextToInt(v, "CodePage")); })
        .Str("Languages", &TLaTeXOptions::Languages);
    return l;
  }();
  return list;
}

const TPropList& TExportLaTeX::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    PropBuilder<TExportLaTeX>(l)
        .Enum<TTextEncoding>("Encoding", "TTextEncoding", &TExport::Encoding,
                             TextEncodingIdentifiers())
        .Object("Options", "TLaTeXOptions", &TExportLaTeX::Options)
        .Strings("Preambula", &TExportLaTeX::Preambula);
    return l;
  }();
  return list;
}

std::unique_ptr<TExportWriter> TExportLaTeX::CreateWriter(TStream& stream) {
  return std::make_unique<TLaTeXWriter>(*this, stream);
}

static bool NamesLanguage(const std::string& languages, std::initializer_list<const char*> names) {
  std::string up = UpperCaseAscii(languages);
  for (const char* n : names)
    if (up.find(n) != std::string::npos) return true;
  return false;
}

// The code page inputenc reads the file in: the run's encoding when it converts, else the
// options' own.
int TExportLaTeX::InputCodePage() const {
  switch (Encoding) {
    case encUTF8:
    case encUTF8BOM:
      return 65001;
    case encWindows1251:
      return 1251;
    case encUTF16LE:
      throw Exception(TranslateText(
          "Engine", "LaTeX reads no UTF-16 text: write the document in utf-8 or windows-1251"));
    default:
      return Options.CodePage();
  }
}

namespace {

// What the texts of a run hold that the preamble must provide for.
struct TScripts {
  bool cyrillic = false;  // needs the T2A font encoding and babel's russian
  bool other = false;     // characters inputenc may not know: they print as a marked '?'
};

bool IsCyrillicCodePage(int cp) {
  return cp == 1251 || cp == 20866 || cp == 21866 || cp == 28595 || cp == 866 || cp == 855;
}

void Scan(std::string_view text, int codePage, TScripts& found) {
  if (codePage == 65001) {
    for (size_t i = 0; i < text.size(); ++i) {
      auto b = static_cast<unsigned char>(text[i]);
      if (b < 0xC0) continue;
      // U+0400..U+045F and U+0490..U+0491 are the letters T2A holds; past U+017F (Latin
      // Extended-A, which inputenc covers) anything may be unknown to it.
      auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
      char32_t c = b < 0xE0 ? ((b & 0x1Fu) << 6) | (next & 0x3Fu) : 0x10000;
      if ((c >= 0x400 && c < 0x460) || c == 0x490 || c == 0x491)
        found.cyrillic = true;
      else if (c >= 0x180)
        found.other = true;
    }
  } else if (IsCyrillicCodePage(codePage)) {
    for (char ch : text)
      if (static_cast<unsigned char>(ch) >= 0xC0) found.cyrillic = true;
  }
}

// Every text of the run: header, footer, captions, the NULL text and the raw values.
TScripts ScanRun(TExport& e, int codePage) {
  TScripts found;
  TExportColumns& cols = e.Columns();
  for (const TStringList* lines : {&e.Header, &e.Footer})
    for (const std::string& line : *lines) Scan(line, codePage, found);
  for (int i = 0; i < cols.Count(); ++i) Scan(cols[i].Caption, codePage, found);
  Scan(e.Formats.NullString(), codePage, found);
  if (!cols.Source().Assigned() || !cols.Source().Active()) return found;
  std::string text;
  cols.ForEachRecord([&](int counter) {
    for (int i = 0; i < cols.Count(); ++i) {
      cols.GetRawText(i, counter, text);
      Scan(text, codePage, found);
    }
    return !(found.cyrillic && found.other);
  });
  return found;
}

// The width a4paper's text line holds, in average characters of the 10-point font, with the
// rules and padding of each column counted as two characters.
constexpr int kLineChars = 62;
constexpr int kColumnPadding = 2;

}  // namespace

std::string TExportLaTeX::ColumnLayout() {
  int count = Columns().Count();
  std::vector<int64_t> widths;
  int64_t total = 0;
  for (int i = 0; i < count; ++i) {
    widths.push_back(std::max(Columns()[i].Width, 1) + kColumnPadding);
    total += widths.back();
  }
  fitSize_.clear();
  std::string layout = "|";
  if (total <= kLineChars || !longTable_) {
    for (int i = 0; i < count; ++i) layout += Columns()[i].IsNumeric ? "r|" : "l|";
    return layout;
  }
  // Too wide for the line: a smaller font as for PDF, down to \scriptsize, then columns of fixed
  // widths that share the line, the widest giving way with their text wrapping.
  double ratio = static_cast<double>(kLineChars) / static_cast<double>(total);
  double scale = ratio >= 0.9 ? 0.9 : ratio >= 0.8 ? 0.8 : 0.7;
  fitSize_ = scale == 0.9 ? "\\small" : scale == 0.8 ? "\\footnotesize" : "\\scriptsize";
  auto room = static_cast<int64_t>(kLineChars / scale);
  FitColumnWidths(widths, room);
  for (int i = 0; i < count; ++i) {
    double share = static_cast<double>(widths[static_cast<size_t>(i)]) / static_cast<double>(room);
    // to_chars: a decimal comma of the locale would break the dimension.
    char digits[32];
    auto [end, ec] =
        std::to_chars(digits, digits + sizeof digits, share, std::chars_format::fixed, 4);
    layout += Columns()[i].IsNumeric ? ">{\\raggedleft\\arraybackslash}"
                                     : ">{\\raggedright\\arraybackslash}";
    layout += "p{\\dimexpr ";
    layout.append(digits, ec == std::errc() ? end : digits);
    layout += "\\linewidth-2\\tabcolsep-\\arrayrulewidth\\relax}|";
  }
  return layout;
}

void TExportLaTeX::BeginExport() {
  TExportFormatText::BeginExport();
  TExportWriter& w = *Writer();
  const TLaTeXOptions& o = Options;
  std::string cls = o.DocumentStyle == dsBook ? "book" : "article";
  std::string params = o.DocumentParams.empty() ? "" : "[" + o.DocumentParams + "]";
  // Cyrillic text needs the T2A fonts and babel's russian, whatever language was chosen: under
  // English alone LaTeX stops at the first Cyrillic letter.
  std::string languages = o.Languages;
  TScripts scripts;
  if (o.LaTeXVersion == LaTeX2e) scripts = ScanRun(*this, o.CodePage());
  if (scripts.cyrillic &&
      !NamesLanguage(languages, {"RUSSIAN", "UKRAINIAN", "BULGARIAN", "BELARUSIAN"}))
    languages = TrimView(languages).empty() ? "russian" : languages + ",russian";
  bool russian = NamesLanguage(languages, {"RUSSIAN"});
  longTable_ = o.LaTeXVersion == LaTeX2e;
  std::string layout = ColumnLayout();
  if (o.LaTeXVersion == LaTeX2e) {
    w.WriteLn("\\documentclass" + params + "{" + cls + "}");
    w.WriteLn("\\usepackage[" + InputEncodingName(InputCodePage()) + "]{inputenc}");
    // T1 fonts hold the underscore, the quotes and the accented letters as glyphs of their own,
    // so that a PDF reader copies them out as written; the old default encoding draws an
    // underscore as a rule and composes an accent over its letter. Babel's Cyrillic languages
    // set their text in T2A beside it, and cmap gives those fonts the ToUnicode map without
    // which a reader copies Cyrillic out as Latin-1 garbage (it must come before fontenc).
    twoScripts_ = NamesLanguage(languages, {"RUSSIAN", "UKRAINIAN", "BULGARIAN", "BELARUSIAN"});
    textCodePage_ = o.CodePage();
    if (twoScripts_) w.WriteLn("\\usepackage{cmap}");
    w.WriteLn(twoScripts_ ? "\\usepackage[T2A,T1]{fontenc}" : "\\usepackage[T1]{fontenc}");
    // Babel refuses to load without a language.
    if (!TrimView(languages).empty()) w.WriteLn("\\usepackage[" + languages + "]{babel}");
    // Latin Modern draws T1 in vector fonts (the default ones are bitmaps in T1); it comes with
    // TeX Live's recommended packages, and a document still compiles where it is missing.
    w.WriteLn("\\IfFileExists{lmodern.sty}{\\usepackage{lmodern}}{}");
    // Latin Modern has no Cyrillic: its T2A is the one size of CM-Super's vector font scaled,
    // where LaTeX would pick a bitmap font of each smaller size.
    if (twoScripts_) {
      w.WriteLn("\\DeclareFontFamily{T2A}{lmr}{}");
      w.WriteLn("\\DeclareFontShape{T2A}{lmr}{m}{n}{<-> larm1000}{}");
    }
    // A table that breaks across pages, its caption row repeated on each; fitted columns need
    // the array package's column prefixes.
    w.WriteLn("\\usepackage{longtable}");
    if (!fitSize_.empty()) w.WriteLn("\\usepackage{array}");
    // A character inputenc has no definition for stops LaTeX; it prints as a bold '?' instead.
    if (scripts.other && o.CodePage() == 65001)
      w.WriteLn("\\makeatletter\\def\\UTFviii@undefined@err#1{\\textbf{?}}\\makeatother");
    if (!Preambula.Empty()) {
      for (const std::string& line : Preambula) w.WriteLn(line);
      w.EmptyLine();
    }
  } else {
    twoScripts_ = false;
    w.WriteLn("\\documentstyle" + params + "{" + cls + "}");
  }
  w.WriteLn("\\begin{document}");
  // Babel switches to Russian with \selectlanguage; LaTeX 2.09 loads no babel to switch with.
  if (russian && o.LaTeXVersion == LaTeX2e) w.WriteLn("\\selectlanguage{russian}");
  w.EmptyLine();
  for (const std::string& line : Header) w.WriteLn(line);
  w.WriteLn("\\par\\bigskip");
  if (!fitSize_.empty()) w.WriteLn("{" + fitSize_ + "\\setlength{\\tabcolsep}{3pt}");
  w.WriteLn(std::string("\\begin{") + TableEnvironment() + "}{" + layout + "}");
  w.WriteLn("\\hline");
  // Without a caption row the rule alone heads every page.
  if (!AllowCaptions && longTable_) w.WriteLn("\\endhead");
}

void TExportLaTeX::WriteRow(const std::string& text) {
  Writer()->WriteLn(text);
  Writer()->WriteLn("\\\\");
  Writer()->WriteLn("\\hline");
}

void TExportLaTeX::WriteCaptionRow() {
  line_.clear();
  for (int i = 0; i < Columns().Count(); ++i) {
    if (i) line_ += " & ";
    GetColCaption(i, cell_);
    line_ += cell_;
  }
  WriteRow(line_);
  if (longTable_) Writer()->WriteLn("\\endhead");
}

void TExportLaTeX::WriteDataRow() {
  line_.clear();
  TExportRow& row = Row();
  for (int i = 0; i < row.Count(); ++i) {
    if (i) line_ += " & ";
    row[i].GetExportedValue(true, cell_);
    line_ += cell_;
  }
  WriteRow(line_);
}

void TExportLaTeX::EndExport() {
  TExportWriter& w = *Writer();
  w.WriteLn(std::string("\\end{") + TableEnvironment() + "}");
  if (!fitSize_.empty()) w.WriteLn("}");
  w.EmptyLine();
  for (const std::string& line : Footer) w.WriteLn(line);
  w.WriteLn("\\end{document}");
  TExportFormatText::EndExport();
}

TCharSet TExportLaTeX::GetSpecialChars() {
  TCharSet set;
  for (unsigned char c : {'#', '$', '%', '&', '^', '_', '{', '}', '~'}) set.set(c);
  return set;
}

namespace {

// Characters outside ASCII by the font encoding that holds them, where a document loads two.
enum class TScript { Ascii, Latin, Cyrillic };

// The script of the character at text[i] and its length in bytes.
TScript ScriptAt(std::string_view text, size_t i, int codePage, size_t& length) {
  auto b = static_cast<unsigned char>(text[i]);
  length = 1;
  if (b < 0x80) return TScript::Ascii;
  if (codePage != 65001) return IsCyrillicCodePage(codePage) ? TScript::Cyrillic : TScript::Latin;
  length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  length = std::min(length, text.size() - i);
  // U+0400..U+04FF: the Cyrillic block, whose letters T2A holds.
  return b >= 0xD0 && b <= 0xD3 ? TScript::Cyrillic : TScript::Latin;
}

bool IsWordByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// One ASCII character as LaTeX prints it as itself.
void EscapeAscii(std::string_view s, size_t i, std::string& out) {
  const char c = s[i];
  const char next = i + 1 < s.size() ? s[i + 1] : '\0';
  switch (c) {
    // In text mode \backslash, \^ and \~ are a math symbol and two accents; these commands
    // print the characters themselves.
    case '\\':
      out += "\\textbackslash{}";
      break;
    case '^':
      out += "\\textasciicircum{}";
      break;
    case '~':
      out += "\\textasciitilde{}";
      break;
    case '#':
    case '$':
    case '%':
    case '&':
    case '_':
    case '{':
    case '}':
      out += '\\';
      out += c;
      break;
    case '<':
      out += "$<$";
      break;
    case '>':
      out += "$>$";
      break;
    // TeX turns ' and ` into curly quotes, -- into a dash and ,, into low quotes, and babel's
    // Russian makes " a command: the data keeps its own characters.
    case '\'':
      out += "\\textquotesingle{}";
      break;
    case '`':
      out += "\\textasciigrave{}";
      break;
    case '"':
      out += "\\textquotedbl{}";
      break;
    case '|':
      out += "\\textbar{}";
      break;
    case '-':
    case ',':
      out += c;
      if (next == c) out += "{}";
      break;
    case '\r':
    case '\n':
      // A blank line inside a table cell ends a paragraph there, which LaTeX refuses; a line
      // break is a blank to TeX anyway.
      if (i == 0 || (s[i - 1] != '\r' && s[i - 1] != '\n')) out += ' ';
      break;
    default:
      out += c;
  }
}

}  // namespace

void TExportLaTeX::EscapeString(std::string_view S, std::string& Result) {
  const bool wrap = twoScripts_;
  if (S.find_first_of("\\#$%&^_{}~<>\r\n'`\"|") == std::string_view::npos &&
      S.find("--") == std::string_view::npos && S.find(",,") == std::string_view::npos &&
      (!wrap || std::all_of(S.begin(), S.end(), [](char c) { return (c & 0x80) == 0; }))) {
    Result.assign(S);
    return;
  }
  std::string out;
  out.reserve(S.size() + 16);
  for (size_t i = 0; i < S.size();) {
    size_t length;
    if (ScriptAt(S, i, textCodePage_, length) == TScript::Ascii && !IsWordByte(S[i])) {
      EscapeAscii(S, i, out);
      ++i;
      continue;
    }
    // A word: ASCII letters and digits, which need no escape, and letters beyond ASCII.
    size_t end = i;
    bool latin = false, cyrillic = false;
    while (end < S.size()) {
      const TScript script = ScriptAt(S, end, textCodePage_, length);
      if (script == TScript::Ascii && !IsWordByte(S[end])) break;
      latin |= script == TScript::Latin;
      cyrillic |= script == TScript::Cyrillic;
      end += length;
    }
    AppendWord(S.substr(i, end - i), wrap, latin, cyrillic, out);
    i = end;
  }
  Result = std::move(out);
}

// A document of two scripts sets each word in the font encoding that holds its letters: T2A
// composes an accented Latin letter from two glyphs, and T1 has no Cyrillic. A word of both
// scripts is set run by run.
void TExportLaTeX::AppendWord(std::string_view word, bool wrap, bool latin, bool cyrillic,
                              std::string& out) const {
  auto open = [&out](TScript script) {
    out += script == TScript::Cyrillic ? "{\\fontencoding{T2A}\\selectfont "
                                       : "{\\fontencoding{T1}\\selectfont ";
  };
  if (!wrap || (!latin && !cyrillic)) {
    out += word;
  } else if (latin != cyrillic) {
    open(latin ? TScript::Latin : TScript::Cyrillic);
    out += word;
    out += '}';
  } else {
    size_t length;
    for (size_t i = 0; i < word.size();) {
      const TScript script = ScriptAt(word, i, textCodePage_, length);
      if (script == TScript::Ascii) {
        out += word[i++];
        continue;
      }
      open(script);
      while (i < word.size() && ScriptAt(word, i, textCodePage_, length) == script) {
        out.append(word.substr(i, length));
        i += length;
      }
      out += '}';
    }
  }
}

}  // namespace morvale
