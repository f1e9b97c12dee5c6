#include "export/text/latex.h"

#include <cstdlib>

#include "export/core/codepage.h"
#include "export/core/properties.h"

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
      throw Exception("LaTeX reads no UTF-16 text: write the document in utf-8 or windows-1251");
    default:
      return Options.CodePage();
  }
}

void TExportLaTeX::BeginExport() {
  TExportFormatText::BeginExport();
  TExportWriter& w = *Writer();
  const TLaTeXOptions& o = Options;
  std::string cls = o.DocumentStyle == dsBook ? "book" : "article";
  std::string params = o.DocumentParams.empty() ? "" : "[" + o.DocumentParams + "]";
  bool russian = NamesLanguage(o.Languages, {"RUSSIAN"});
  if (o.LaTeXVersion == LaTeX2e) {
    w.WriteLn("\\documentclass" + params + "{" + cls + "}");
    w.WriteLn("\\usepackage[" + InputEncodingName(InputCodePage()) + "]{inputenc}");
    // Babel's Cyrillic languages set their text in the T2A font encoding.
    if (NamesLanguage(o.Languages, {"RUSSIAN", "UKRAINIAN", "BULGARIAN", "BELARUSIAN"}))
      w.WriteLn("\\usepackage[T2A]{fontenc}");
    // Babel refuses to load without a language.
    if (!TrimView(o.Languages).empty()) w.WriteLn("\\usepackage[" + o.Languages + "]{babel}");
    if (!Preambula.Empty()) {
      for (const std::string& line : Preambula) w.WriteLn(line);
      w.EmptyLine();
    }
  } else {
    w.WriteLn("\\documentstyle" + params + "{" + cls + "}");
  }
  w.WriteLn("\\begin{document}");
  // Babel switches to Russian with \selectlanguage; LaTeX 2.09 loads no babel to switch with.
  if (russian && o.LaTeXVersion == LaTeX2e) w.WriteLn("\\selectlanguage{russian}");
  w.EmptyLine();
  for (const std::string& line : Header) w.WriteLn(line);
  w.WriteLn("\\par\\bigskip");
  std::string layout = "|";
  for (int i = 0; i < Columns().Count(); ++i) layout += Columns()[i].IsNumeric ? "r|" : "l|";
  w.WriteLn("\\begin{tabular}{" + layout + "}");
  w.WriteLn("\\hline");
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
  w.WriteLn("\\end{tabular}");
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

void TExportLaTeX::EscapeString(std::string_view S, std::string& Result) {
  if (S.find_first_of("\\#$%&^_{}~<>\r\n") == std::string_view::npos) {
    Result.assign(S);
    return;
  }
  std::string out;
  for (size_t i = 0; i < S.size(); ++i) {
    switch (char c = S[i]) {
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
      case '\r':
      case '\n':
        // A blank line inside a table cell ends a paragraph there, which LaTeX refuses; a line
        // break is a blank to TeX anyway.
        if (i == 0 || (S[i - 1] != '\r' && S[i - 1] != '\n')) out += ' ';
        break;
      default:
        out += c;
    }
  }
  Result = std::move(out);
}

}  // namespace morvale
