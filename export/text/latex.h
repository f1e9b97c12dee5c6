// LaTeX export: a document with one ruled table, a caption row and one row per record. The table
// is a longtable, which breaks across pages with its caption row repeated; a tabular would run
// off the first page and, past a few thousand rows, exhaust TeX's memory.
#pragma once

#include <string>

#include "export/core/export.h"

namespace morvale {

enum TLaTeXVersion : int { LaTeX209, LaTeX2e };
enum TLaTeXDocStyle : int { dsArticle, dsBook };

class TLaTeXOptions : public TPersistent {
 public:
  TLaTeXOptions();
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  TLaTeXVersion LaTeXVersion = LaTeX2e;
  TLaTeXDocStyle DocumentStyle = dsArticle;
  std::string DocumentParams = "a4paper";
  std::string Languages = "english";

  int CodePage() const { return codePage_; }
  // 0 or less stands for the system's code page.
  void SetCodePage(int cp);

 private:
  int codePage_;
};

class TLaTeXWriter : public TExportWriter {
 public:
  using TExportWriter::TExportWriter;
};

class TExportLaTeX : public TExportFormatText {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportLaTeX"; }

  TLaTeXOptions Options;
  TStringList Preambula;  // lines after the package lines (LaTeX2e only)

  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;
  void BeginExport() override;
  void WriteCaptionRow() override;
  void WriteDataRow() override;
  void EndExport() override;
  TCharSet GetSpecialChars() override;
  void EscapeString(std::string_view S, std::string& Result) override;
  using TExport::EscapeString;

 private:
  int InputCodePage() const;
  void WriteRow(const std::string& text);
  // The table's column layout (l, r or p{} per column); a table too wide for the line gets
  // fixed column widths that share it and a smaller font (fitSize_).
  std::string ColumnLayout();
  // Appends a word of letters and digits as it is, or, in a document of two scripts, in the
  // font encodings of its letters.
  void AppendWord(std::string_view word, bool wrap, bool latin, bool cyrillic,
                  std::string& out) const;
  // LaTeX 2.09 loads no packages: its table stays a tabular.
  const char* TableEnvironment() const { return longTable_ ? "longtable" : "tabular"; }
  std::string line_, cell_;
  std::string fitSize_;
  bool longTable_ = true;
  // The document loads T2A beside T1: runs of non-ASCII letters are set in the encoding that
  // holds them. The texts are in textCodePage_.
  bool twoScripts_ = false;
  int textCodePage_ = 65001;
};

// The Windows number of the system code page: 65001 for UTF-8, 1251 for CP1251, 20866 for KOI8-R.
int SystemAnsiCodePage();
// The inputenc option for a code page: "utf8" for 65001, "cp1251" for 1251, "koi8-r" for 20866.
std::string InputEncodingName(int codePage);

}  // namespace morvale
