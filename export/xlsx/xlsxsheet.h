// Writes one sheet of an Office Open XML workbook from a workbook exporter's sheet: the header
// block, the caption row, one typed cell per column and record, the aggregate row as formulas,
// the footer block, the column widths and the page header and footer. The package is written in
// constant-memory mode, so the rows go out strictly in order; a sheet holds 1,048,576 rows and
// the rows beyond continue on further sheets named after the first, where the captions repeat.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/graphics.h"
#include "export/xls/exportxls.h"
#include "export/xls/sheetwriter.h"
#include "export/xlsx/xlsxextras.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace morvale {

class TExportXLSX;
class TxlsxStyles;

class TxlsxSheetWriter {
 public:
  static constexpr int kMaxRows = 1048576;
  static constexpr int kMaxCols = 16384;

  // `titles`: the names of the sheets written so far (the new ones are added).
  TxlsxSheetWriter(TExportXLSX& exporter, TxlsSheet& sheet, int sheetIndex, lxw_workbook* workbook,
                   TxlsxStyles& styles, std::vector<std::string>& titles);
  // False when the run was aborted before the sheet's records: the run stops there.
  bool Write();

 private:
  struct TPart {
    lxw_worksheet* sheet = nullptr;
    std::string title;
    int dataStart = 0;  // its first data row
    int dataEnd = -1;   // its last data row written, -1 before the first
  };
  // What the aggregate row's cached results are computed from, for readers that do not
  // recalculate.
  struct TTotals {
    double sum = 0, min = 0, max = 0;
    long count = 0;
    void Add(double v);
    double Result(int aggregate) const;
  };

  void Prepare();
  void PrepareLooks();
  void BeginPart();
  void Room();
  void String(int row, int col, lxw_format* format, std::string_view text);
  void Block(const TStringList& lines, int rows, TxlsFormat& format, const TxlsCellTextEvent& ev);
  void BeforeData();
  void CaptionRow();
  void DataRow();
  void DataCell(int j, std::string& s, int row);
  lxw_format* DataFormat(int j, bool wrap);
  void AggregateRow();
  std::string AggregateFormula(int aggregate, int col, int row) const;
  void Measure(int j, std::string_view text, const TFont& font);
  // The cells written on the first part make the used range that charts are placed by.
  void Track(int row, int col) {
    if (parts_.size() == 1) used_.Track(row, col);
  }
  TxlsDataRange FieldRange(std::string_view field) const;
  void PlaceExtras();
  void ApplyWidths(const TPart& part);
  void Check(int error, int row, int col) const;

  TExportXLSX& x_;
  TxlsSheet& sheet_;
  int index_;
  lxw_workbook* wb_;
  TxlsxStyles& styles_;
  std::vector<std::string>& titles_;
  std::vector<TPart> parts_;
  std::vector<TxlsCellKind> kinds_;
  std::vector<int> autoWidths_;
  std::vector<TTotals> totals_;
  // Per column: the look of its data cells (field format, data format or strip styles), and the
  // formats made of them with the column's number format, by strip (one when no row strips).
  std::vector<const TxlsFormat*> looks_;
  std::vector<std::vector<lxw_format*>> formats_;
  std::vector<TFont> fonts_;  // the screen font of each column's data, for measuring
  std::string baseTitle_;
  int zeroWidth_ = 1;
  std::unique_ptr<TxlsxExtras> extras_;
  TxlsBoundSheet used_;
  // Per exported column: the first and last row of its data cells on the first part.
  std::vector<std::pair<int, int>> dataRows_;
  std::string scratch_, utf8_;
};

}  // namespace morvale
