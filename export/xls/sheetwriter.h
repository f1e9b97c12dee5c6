// Writes one sheet of a run in BIFF8: the rows laid out by TxlsSheetRows as labels, numbers and
// formulas with XF indexes, the automatic column widths, and the sheet's extras with its first
// part. A sheet holds 65,536 rows; rows beyond continue on a further sheet named after the first
// with a number appended, where the caption row is repeated.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/core/graphics.h"
#include "export/workbook/sheet.h"
#include "export/workbook/sheetrows.h"
#include "export/xls/exportxls.h"
#include "export/xls/extras.h"
#include "export/xls/sheetstyles.h"
#include "export/xls/workbook.h"

namespace morvale {

class TxlsSheetWriter final : public TxlsSheetRows {
 public:
  // Rows and columns a BIFF8 sheet can address.
  static constexpr int kMaxRows = 65536;
  static constexpr int kMaxCols = 256;

  TxlsSheetWriter(TExportXLS& exporter, TxlsSheet& sheet, int sheetIndex);

 private:
  // The written sheet of one part.
  struct TPartSheet {
    TxlsBoundSheet* bound = nullptr;
    size_t position = 0;  // among the workbook's written sheets
  };

  void PrepareFormat() override;
  void BeginPart() override;
  void EndPart() override;
  void Finish() override;
  void TextCell(int row, int col, const TxlsFormat& look, const std::string& text) override;
  void CaptionCell(int j, int col, const TxlsFormat& look, const std::string& text) override;
  void DataCell(int j, const TxlsCellValue& value, int row) override;
  void AggregateCell(int j, int col, int row, const TxlsFormat& look,
                     const std::string& numberFormat, TxlsAggregate aggregate) override;
  void AggregateText(int j, int col, int row, const TxlsFormat& look,
                     const std::string& text) override;

  std::string PartTitle(int partNumber) const;
  void Track(int row, int col) { sheets_.back().bound->Track(row, col); }
  void Label(int row, int col, uint16_t xf, std::string_view text);
  void Measure(int j, std::string_view text, uint16_t xf);
  // The wrap-text variant of a data cell's XF, for texts that hold a line break.
  uint16_t WrapXF(uint16_t xf);
  // Keeps the tallest row height a cell's font needs, for placing images.
  void TrackRowHeight(uint16_t xf, int row);
  void WriteCellExtras();
  void WriteLinksAndDrawing();
  TxlsSheetContext Context();

  TExportXLS& xls_;
  TxlsWorkbook& wb_;
  TbiffWriter& w_;
  TsstStrings& sst_;
  TxlsSheetStyles styles_;
  std::vector<TPartSheet> sheets_;
  std::string baseTitle_;
  // The measuring font of each column, cached by the XF it was made for.
  std::vector<std::pair<uint16_t, TFont>> fonts_;
  std::vector<std::pair<uint16_t, uint16_t>> wrapXF_;
  // Set when an image of the sheet shows a picture of the store: row heights are then kept.
  bool hasImages_ = false;
  std::vector<uint16_t> rowHeights_;                     // twips by row, 0 = default
  std::vector<std::pair<uint16_t, uint16_t>> xfHeight_;  // twips a style's font needs
};

}  // namespace morvale
