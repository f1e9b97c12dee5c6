// The PDF exporter: header lines, a ruled table with one caption row and one row per record, and
// footer lines, paginated on the page of its options. Everything is placed in whole points (or
// tenths for rules) from one table of character widths, so a layout is the same on every machine.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/core/export.h"
#include "export/docs/pdfdocument.h"
#include "export/docs/pdfencoding.h"
#include "export/docs/pdfoptions.h"

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
  // page, and the column edges x0..xn.
  int Y() const { return y_; }
  int TableTop() const { return tableTop_; }
  const std::vector<int>& ColumnEdges() const { return edges_; }

 private:
  TPDFDocument& Document();
  // trunc((RowSpacing / 2 + 1) × size): from a rule down to the text's base line.
  int LineStep(int size) const;
  // trunc(size × RowSpacing / 2): from the base line down to the next rule.
  int HalfSpacing(int size) const;
  void DrawRule();
  void DrawColumnRules();
  // Closes the table on this page and starts the next page with the grid colour and `fill`.
  void NewTablePage(TColor fill);
  // Header and footer lines: each drawn at the left of the print area, a new page when full.
  void DrawLines(const TStringList& lines, const TPDFFont& font, const TPDFTextEncoder& enc,
                 bool setColors);

  int y_ = 0, tableTop_ = 0;
  bool topRuled_ = false;  // the table on this page has its top rule
  std::vector<int> edges_;
  TPDFBox area_;
  TPDFTextEncoder headerEnc_, captionEnc_, dataEnc_, footerEnc_;
  std::string text_, encoded_;  // scratch of the row loop
  TFont cellFont_;
};

}  // namespace morvale
