// Writes one sheet of a run: the header block, the caption row, one row per record with a typed
// cell per column, the aggregate row, the footer block and the automatic column widths. A sheet
// holds 65,536 rows; rows beyond continue on a further sheet named after the first with a number
// appended, where the caption row is repeated.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/graphics.h"
#include "export/xls/exportxls.h"
#include "export/xls/extras.h"
#include "export/xls/sheet.h"
#include "export/xls/workbook.h"

namespace morvale {

// What the cells of a column become, by the column's type; shared by the .xls and .xlsx writers.
enum TxlsCellKind : uint8_t { ckNone, ckNumber, ckDate, ckString, ckBoolean };
TxlsCellKind CellKindOf(TExportColType type);
// A line break inside a cell is LF alone: a CR shows as a stray character in some readers and is
// dropped by others. CR LF and a lone CR become LF.
void StoreLineBreaks(std::string& s);

// The parts of a sheet run that do not depend on the file format, for the writers of both.
// Goes to the sheet source's first record and past the records to skip; false when aborted.
bool PositionSheetRecords(TExportXLS& x, TxlsSheet& sheet);
// The record loop of a sheet: every accepted record's row handed to `dataRow`, the exporter's
// record events fired.
void SheetRecordLoop(TExportXLS& x, TxlsSheet& sheet, int sheetIndex,
                     const std::function<void()>& dataRow);
// The header or footer block: `rows` lines (0: as many as there are), each split at its tabs into
// cells; `room` runs before each line, `cell(col, text)` for each non-empty cell after the event.
void SheetBlock(TxlsSheet& sheet, int sheetIndex, const TStringList& lines, int rows,
                TxlsFormat& format, const TxlsCellTextEvent& ev, const std::function<void()>& room,
                const std::function<void(int col, const std::string& text)>& cell);
// The cells before the data columns that OnGetBeforeDataParams fills: `cell(col, look, text)`.
void BeforeDataCells(
    TExportXLS& x, TxlsSheet& sheet, int sheetIndex,
    const std::function<void(int col, TxlsFormat& look, const std::string&)>& cell);
// Tags the columns that have an aggregate with their field format's position + 1; false when none.
bool TagAggregateColumns(TxlsSheet& sheet);

class TxlsSheetWriter {
 public:
  // Rows and columns a BIFF8 sheet can address.
  static constexpr int kMaxRows = 65536;
  static constexpr int kMaxCols = 256;

  TxlsSheetWriter(TExportXLS& exporter, TxlsSheet& sheet, int sheetIndex);
  // False when the run was aborted before the sheet's records: the run stops there.
  bool Write();

 private:
  // One written part of the sheet: the first, or a continuation.
  struct TPart {
    TxlsBoundSheet* bound = nullptr;
    size_t position = 0;  // among the workbook's written sheets
    int dataStart = 0;    // its first data row
    int dataEnd = -1;     // its last data row written, -1 before the first
  };

  void Prepare();
  std::string PartTitle(int partNumber) const;
  void BeginPart();
  void EndPart();
  void Room();
  void Track(int row, int col) { parts_.back().bound->Track(row, col); }
  void Label(int row, int col, uint16_t xf, std::string_view text);
  void Block(const TStringList& lines, int rows, TxlsFormat& format, const TxlsCellTextEvent& ev);
  void BeforeData();
  void CaptionRow();
  void DataRow();
  void DataCell(int j, std::string& s, int row);
  void AggregateRow();
  void Measure(int j, std::string_view text, uint16_t xf);
  void ApplyWidths();
  // The wrap-text variant of a data cell's XF, for texts that hold a line break.
  uint16_t WrapXF(uint16_t xf);
  // Keeps the tallest row height a cell's font needs, for placing images.
  void TrackRowHeight(uint16_t xf, int row);
  TxlsDataRange FieldRange(std::string_view field) const;
  void WriteCellExtras();
  void WriteLinksAndDrawing();
  TxlsSheetContext Context();

  TExportXLS& x_;
  TxlsSheet& sheet_;
  int index_;
  TxlsWorkbook& wb_;
  TbiffWriter& w_;
  TsstStrings& sst_;
  std::vector<TPart> parts_;
  std::vector<TxlsCellKind> kinds_;
  std::vector<int> autoWidths_;
  std::string baseTitle_;
  int zeroWidth_ = 1;  // pixels of "0" in the default font
  std::string scratch_;
  // The measuring font of each column, cached by the XF it was made for.
  std::vector<std::pair<uint16_t, TFont>> fonts_;
  std::vector<std::pair<uint16_t, uint16_t>> wrapXF_;
  // Set when an image of the sheet shows a picture of the store: row heights are then kept.
  bool hasImages_ = false;
  std::vector<uint16_t> rowHeights_;                     // twips by row, 0 = default
  std::vector<std::pair<uint16_t, uint16_t>> xfHeight_;  // twips a style's font needs
  // Per exported column: the first and last row of its data cells on the first part.
  std::vector<std::pair<int, int>> dataRows_;
};

// A sheet name readers accept: at most 31 characters, none of []:*?/\, and unique in the workbook
// (ignoring case); a repeated name gets " (2)", " (3)", ... appended.
std::string SheetName(std::string_view title, const std::vector<std::string>& taken);

}  // namespace morvale
