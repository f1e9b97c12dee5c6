// RTF export: optional header lines, one table with a caption row and a row per record, optional
// footer lines, on an A4 page. Every piece of text carries its own style. The "MS Word" type is the
// same document under a .doc name.
//
// Columns are as wide as their longest value or caption (AutoCalcColWidth, on by default). A
// table wider than the page is fitted to it without breaking a word inside: landscape when the
// whole table fits the turned page; else long texts wrap between words in the type asked; else
// the type shrinks, down to Options.MinFontSize, on whichever page takes the larger. Only a word
// longer than the line of the page at the floor still breaks.
#pragma once

#include <functional>
#include <string>

#include "export/core/export.h"
#include "export/docs/rtfstyle.h"
#include "export/docs/rtfwriter.h"

namespace morvale {

using TrtfGetStyleEvent = std::function<void(TObject* Sender, TrtfStyle& Style)>;
using TrtfGetCaptionStyleEvent = std::function<void(TObject* Sender, int ColNo, TrtfStyle& Style)>;
using TrtfGetDataStyleEvent =
    std::function<void(TObject* Sender, int Row, int Col, TrtfStyle& Style)>;

class TExportRTF : public TExportFormatText {
 public:
  TExportRTF();
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportRTF"; }

  TRTFOptions Options;
  // Each handler gets a copy of the style that applies and may change it for that text only.
  TrtfGetStyleEvent OnGetHeaderStyle, OnGetFooterStyle;
  TrtfGetCaptionStyleEvent OnGetCaptionStyle;
  TrtfGetDataStyleEvent OnGetDataStyle;

  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;
  void BeginExport() override;
  void BeforeExport() override;
  void WriteCaptionRow() override;
  void GetColCaption(int colNo, std::string& S) override;
  void GetColData(TExportCol& col, std::string& S) override;
  void WriteDataRow() override;
  void EndExport() override;
  // Backslashes doubled, braces escaped (an unbalanced brace would end the document early), and
  // non-ASCII characters as \uN with a fallback (see rtftext.h).
  void EscapeString(std::string_view S, std::string& Result) override;
  using TExport::EscapeString;

  // The right edge, in twips, of every column (\cellx), fitted to the print width.
  std::vector<int> ColumnEdges();
  // The page of the run (Options.PageOrientation, or turned for a table that needs it) and the
  // width between the margins of a page.
  TExportPageOrientation Orientation() const { return orientation_; }
  static int PrintWidth(TExportPageOrientation o);
  int PrintWidth() const { return PrintWidth(Options.PageOrientation); }
  // A size of the table's fonts as fitted to the print width.
  int FittedSize(int size) const;

 private:
  // Chooses the page, the type and the column edges (once the widths are measured).
  void LayOut();
  // The page, the header lines and the paragraph before the table: once, after LayOut.
  void WriteDocumentStart();
  void WriteTableDefinition();
  // Column widths in twips when the caption font has `captionSize` points; one of `chars`.
  std::vector<int64_t> WidthsAt(int captionSize);
  int64_t WidthsAt(int captionSize, int chars);
  // The least width of every column, in twips, at the fitted type: its longest word whole.
  std::vector<int64_t> LeastWidths();
  bool laidOut_ = false, documentStarted_ = false, tableDefined_ = false;
  double fontScale_ = 1;
  TExportPageOrientation orientation_ = poPortrait;
  std::vector<int> edges_;
  TRTFWriter& RTFWriter() const { return static_cast<TRTFWriter&>(*Writer()); }
  // "{" + alignment + background, the styled lines, "}" (header and footer blocks).
  void WriteTextBlock(const TStringList& lines, TrtfStyle style);
  // font + colour + font styles and the blank that follows them.
  std::string TextFormat(const TrtfStyle& style, bool inTable);
  std::string Background(const TrtfStyle& style);
  std::string Highlight(const TrtfStyle& style);
  const TrtfStyle& DataStyleOf(int colNo) const;
  std::string cell_;
};

// The TrtfTextAlignment of a style as a paragraph control word.
const char* RtfAlignment(TrtfTextAlignment a);

}  // namespace morvale
