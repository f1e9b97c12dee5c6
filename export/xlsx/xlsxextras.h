// What a sheet of an Office Open XML workbook carries besides its exported cells: notes, merged
// ranges, hyperlinks with their title cells, extra cells, images and charts drawn from the
// exported columns, as the workbook exporter's extras describe them.
//
// The package streams its rows (constant-memory mode refuses a cell above the row being
// written), so the extras are written at the moment each kind allows: notes and merged ranges
// write no cell and are recorded before the sheet's first row; hyperlink titles and extra cells
// are cells, handed out in row order as the sheet's rows go by; images and charts are placed when
// the sheet ends, once the column widths and the used range are known. All of them address the
// cells of the sheet's first part, as in the workbook exporter.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/workbook/items.h"
#include "export/workbook/placement.h"

struct lxw_workbook;
struct lxw_worksheet;

namespace morvale {

class TxlsxStyles;

// Cuts a UTF-8 text to at most `chars` characters.
void xlsxCutToChars(std::string& s, size_t chars);

// What the sheet writer knows at the end of a sheet that the images and charts need.
struct TxlsxSheetPlace {
  std::string Title;              // the first part's sheet name, for the chart ranges
  const TxlsUsedRange* Used;      // the cells written on the first part
  std::vector<int> ColumnWidths;  // characters, per exported column
  int StartDataCol = 0;
  // The data cells of an exported field as a 1-based range; all 0 for an unknown field.
  std::function<TxlsDataRange(std::string_view field)> FieldRange;
};

class TxlsxExtras {
 public:
  TxlsxExtras(const TxlsExtras& extras, const TxlsPictures& pictures, lxw_workbook* workbook,
              TxlsxStyles& styles);

  // The background, notes and merged ranges, before the sheet's first cell.
  void Begin(lxw_worksheet* sheet);
  // The title cells and extra cells of the rows above `row`, in row order; each cell written is
  // tracked in `used`. A hyperlink title overwrites an extra cell at the same place, as in the
  // workbook exporter's sheets.
  void CellsAbove(int row, TxlsUsedRange& used);
  // Images and charts, when the sheet's cells are all written.
  void End(const TxlsxSheetPlace& place);

  // The merged ranges a package can hold: valid, of more than one cell, within the sheet and
  // overlapping none before them (spreadsheet programs refuse a file with overlapping merges).
  static std::vector<const TxlsMergedCells*> MergeableRanges(const TxlsMergedCellList& ranges);

 private:
  struct TPending {
    int row = 0;
    const TxlsCell* cell = nullptr;
    const TxlsHyperlink* link = nullptr;
  };
  void WriteCell(const TxlsCell& cell);
  void WriteLink(const TxlsHyperlink& link);
  // The picture file an image shows; false when the image is left out.
  bool ImageBytes(const TxlsImage& image, std::string& bytes) const;
  void InsertImage(const TxlsImage& image);
  void InsertChart(const TxlsChart& chart, const TxlsxSheetPlace& place);
  int ColumnPixels(int col, const TxlsxSheetPlace& place) const;
  const char* Utf8(std::string_view s, size_t maxChars);

  const TxlsExtras& extras_;
  const TxlsPictures& pictures_;
  lxw_workbook* wb_;
  TxlsxStyles& styles_;
  lxw_worksheet* ws_ = nullptr;
  std::vector<TPending> pending_;  // by row, cells before links
  size_t next_ = 0;
  std::string utf8_;
};

}  // namespace morvale
