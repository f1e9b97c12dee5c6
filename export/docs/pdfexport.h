// The PDF exporter: header lines, a ruled table with one caption row and one row per record, and
// footer lines, paginated on the page of its options. Everything is placed in whole points (or
// tenths for rules) from the widths the document gives its fonts: the one table of the standard
// fonts, and the glyph advances of the TrueType face a text is set in.
//
// Columns are as wide as their longest value or caption (AutoCalcColWidth, on by default),
// measured in the glyph widths of the fonts the texts are drawn in, a width the user set being the
// least a column gets. A table wider than the print area is fitted to it: the page turns to
// landscape when that takes the whole table in its type (Options.AutoOrientation); else long
// texts wrap between words inside their cells, on the wider page, in the largest type down to the
// options' smallest font size (8 points) at which every column still holds its longest word, and
// rows grow as tall as their most lines. With declared widths (AutoCalcColWidth off) texts stay on
// one line and the fonts, and the column edges with them, shrink instead. Past the floor the
// columns are cut into groups that each fit, and every page of rows is drawn once per group, on
// pages that follow each other (rows 1-40 columns A-F, rows 1-40 columns G-L, rows 41-80 columns
// A-F, ...). A table that fits is drawn exactly as it always was.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/export.h"
#include "export/docs/pdfdocument.h"
#include "export/docs/pdfencoding.h"
#include "export/docs/pdfoptions.h"
#include "export/docs/pdftext.h"

namespace morvale {

class TPDFWriter : public TExportWriter {
 public:
  TPDFWriter(TExport& owner, TStream& stream) : TExportWriter(owner, stream), Document(stream) {}
  TPDFDocument Document;
};

// Values and captions keep their text (EscapeString is the base's): the document escapes every
// string literal it writes, header and footer lines included, so a backslash or a lone parenthesis
// shows as typed and the cell event sees the value itself.
class TExportPDF : public TExportFormatText {
 public:
  TExportPDF();
  const TPropList& Published() const override;
  const char* ClassName() const override { return "TExportPDF"; }

  TPDFOptions Options;
  // The code page the values arrive in: the locale's unless a caller knows better.
  TPDFCodePage TextCodePage = TPDFCodePage::System();

  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;
  void BeginExport() override;
  void WriteCaptionRow() override;
  void WriteDataRow() override;
  void EndExport() override;

  // The layout of the run: y from the bottom of the page, the top of the table on the current
  // page, and the column edges x0..xn (of the first group of columns when the table is cut).
  int Y() const { return y_; }
  int TableTop() const { return tableTop_; }
  const std::vector<int>& ColumnEdges() const { return groups_.front().edges; }
  // The groups of columns drawn on pages of their own, and the sizes the fonts were fitted to.
  int ColumnGroups() const { return static_cast<int>(groups_.size()); }
  int CaptionSize() const { return captionFont_.FontSize; }
  int DataSize() const { return dataFont_.FontSize; }

 private:
  TPDFDocument& Document();
  // trunc((RowSpacing / 2 + 1) × size): from a rule down to the text's base line.
  int LineStep(int size) const;
  // trunc(size × RowSpacing / 2): from the base line down to the next rule.
  int HalfSpacing(int size) const;
  struct TColumnGroup {
    int first = 0;           // the group's first column
    std::vector<int> edges;  // its column edges, from the left of the print area
  };
  // Measures the columns, fits them to the print area and opens the first page(s) with the
  // header lines; done once, before the first row is drawn.
  void Layout();
  void FitColumns();
  std::vector<int> EdgesAt(int size, int first, int last);
  // The caption size that goes with data set at `size`.
  int CaptionSizeAt(int size) const;
  // From a column edge to its text.
  int Indent(int size) const;
  // From a base line to the next one of a wrapped text.
  static int Lead(int size) { return (size * 6 + 2) / 5; }
  // Widths in thousandths of the font size: of the longest text and of the longest word (a
  // piece a line may end after) of a column's values or of its caption.
  struct TMeasure {
    int64_t text = 0, word = 0;
  };
  void MeasureValue(int column, std::string_view text);
  static void Measure(TPDFText& t, std::string_view text, TMeasure& m);
  // A measured column's width in points at data size `size`: its longest text, or with `least`
  // its longest word, and its indents.
  int64_t MeasuredWidth(int column, int size, bool least);
  // `text` in lines no wider than `room` points at `size`, broken between words, and inside a
  // word only where the word alone is wider; `lines` stays empty when the text fits whole. True
  // when the text is set in the TrueType font (its lines are then too).
  bool Wrap(TPDFText& t, const std::string& text, int room, int size,
            std::vector<std::string>& lines);
  // Draws one line of a cell between `left` and `right` at `base`; a line too wide is cut at the
  // cell's edges (`top`, `bottom`), a number squeezed.
  void DrawCellLine(TPDFText& t, bool trueType, std::string_view line, const TExportColumn& col,
                    TExportColAlign align, TColor color, int left, int right, int top, int base,
                    int bottom, int size);
  void DrawRule();
  void DrawColumnRules();
  // Closes the table on this page and starts the next page with the grid colour and `fill`.
  void NewTablePage(TColor fill);
  // Header and footer lines: each drawn at the left of the print area, a new page when full.
  void DrawLines(const TStringList& lines, const TPDFFont& font, TPDFText& text, bool setColors);
  void DrawCaptions();
  // For a number `width` wide in a cell with `room` for it: squeezes the text drawn next into
  // the room, or prepares a row of '#' in its place where squeezing would leave it unreadable.
  void FitNumber(int room, int width, int size);

  int y_ = 0, tableTop_ = 0;
  bool laidOut_ = false;
  bool topRuled_ = false;       // the table on this page has its top rule
  bool captionsDrawn_ = false;  // the caption row was drawn once (and may be repeated)
  std::vector<TColumnGroup> groups_{TColumnGroup{}};
  TPDFBox area_;
  TPDFFont captionFont_, dataFont_;  // the options' fonts at their fitted sizes
  std::unique_ptr<TPDFFaceCache> faces_;
  TPDFText headerText_, captionText_, dataText_, footerText_;
  std::string text_;  // scratch of the row loop
  TFont cellFont_;
  // Widths measured on paper: set from AutoCalcColWidth, and texts then wrap in their cells.
  bool measured_ = false;
  std::vector<TMeasure> values_, captions_;  // by column
  std::vector<int> setWidths_;               // widths the user set, in characters; 0: none
  std::vector<int> lefts_, rights_;          // every column's edges, whichever its group
  std::vector<std::vector<std::string>> captionLines_;  // empty: the caption on one line
  int captionLineCount_ = 1;
  int maxLines_ = 1;  // the most lines of a row a page holds
  struct TCell {
    std::string text;
    std::vector<std::string> lines;  // empty: the text on one line
    bool trueType = false;
    TExportColAlign align = ecaLeft;
    TColor color = clBlack, background = clWhite;
  };
  std::vector<TCell> cells_;
  std::vector<bool> captionTT_;
};

}  // namespace morvale
