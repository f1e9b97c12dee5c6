// Writes one sheet of an Office Open XML workbook from a workbook exporter's sheet: the rows laid
// out by TxlsSheetRows as typed cells with the package's formats, the aggregate row as formulas
// with cached results, the column widths and the page header and footer. The package is written in
// constant-memory mode, so the rows go out strictly in order; a sheet holds 1,048,576 rows and
// the rows beyond continue on further sheets named after the first, where the captions repeat.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/graphics.h"
#include "export/workbook/placement.h"
#include "export/workbook/sheetrows.h"
#include "export/xlsx/xlsxextras.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace morvale {

class TExportXLSX;
class TxlsxStyles;

class TxlsxSheetWriter final : public TxlsSheetRows {
 public:
  static constexpr int kMaxRows = 1048576;
  static constexpr int kMaxCols = 16384;

  // `titles`: the names of the sheets written so far (the new ones are added).
  TxlsxSheetWriter(TExportXLSX& exporter, TxlsSheet& sheet, int sheetIndex, lxw_workbook* workbook,
                   TxlsxStyles& styles, std::vector<std::string>& titles);

 private:
  // The written sheet of one part.
  struct TPartSheet {
    lxw_worksheet* sheet = nullptr;
    std::string title;
  };
  // What the aggregate row's cached results are computed from, for readers that do not
  // recalculate.
  struct TTotals {
    double sum = 0, min = 0, max = 0;
    long count = 0;
    void Add(double v);
    double Result(int aggregate) const;
  };

  void PrepareFormat() override;
  void BeginPart() override;
  void EndPart() override;
  void Finish() override;
  void BeforeRow() override;
  void TextCell(int row, int col, const TxlsFormat& look, const std::string& text) override;
  void CaptionCell(int j, int col, const TxlsFormat& look, const std::string& text) override;
  void DataCell(int j, const TxlsCellValue& value, int row) override;
  void AggregateCell(int j, int col, int row, const TxlsFormat& look,
                     const std::string& numberFormat, TxlsAggregate aggregate) override;
  void AggregateText(int j, int col, int row, const TxlsFormat& look,
                     const std::string& text) override;

  void PrepareLooks();
  void String(int row, int col, lxw_format* format, std::string_view text);
  // A text in `look`, measured for column j's width.
  void MeasuredString(int j, int row, int col, const TxlsFormat& look, std::string_view text);
  lxw_format* DataFormat(int j, bool wrap);
  std::string AggregateFormula(int aggregate, int col, int row) const;
  // The cells written on the first part make the used range that charts are placed by.
  void Track(int row, int col) {
    if (parts_.size() == 1) used_.Track(row, col);
  }
  void PlaceExtras();
  void ApplyWidths(const TPartSheet& part);
  void Check(int error, int row, int col) const;

  lxw_workbook* wb_;
  TxlsxStyles& styles_;
  std::vector<std::string>& titles_;
  std::vector<TPartSheet> sheets_;
  std::vector<TTotals> totals_;
  // Per column: the formats made of its looks with the column's number format, by strip (one
  // when no row strips).
  std::vector<std::vector<lxw_format*>> formats_;
  std::vector<TFont> fonts_;  // the screen font of each column's data, for measuring
  std::string baseTitle_;
  std::unique_ptr<TxlsxExtras> extras_;
  TxlsUsedRange used_;
  std::string utf8_;
};

}  // namespace morvale
