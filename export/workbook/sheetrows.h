// The rows of a workbook sheet as the .xls and the .xlsx writers both lay them out: the header
// block, the caption row, one row per accepted record, the aggregate row and the footer block. A
// sheet that reaches its format's row limit continues on a further sheet (a part), where the
// caption row is repeated. The writer of each format derives from TxlsSheetRows and puts the
// cells into its file; the order of the rows, the exporter's events, the parts, the look each
// data cell starts from and the value each data cell holds are decided here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/core/datetime.h"
#include "export/core/graphics.h"
#include "export/workbook/exportworkbook.h"
#include "export/workbook/items.h"
#include "export/workbook/sheet.h"

namespace morvale {

// What the cells of a column become, by the column's type.
enum TxlsCellKind : uint8_t { ckNone, ckNumber, ckDate, ckString, ckBoolean };
TxlsCellKind CellKindOf(TExportColType type);
// A line break inside a cell is LF alone: a CR shows as a stray character in some readers and is
// dropped by others. CR LF and a lone CR become LF.
void StoreLineBreaks(std::string& s);
// A sheet name readers accept: at most 31 characters, none of []:*?/\, and unique in the workbook
// (ignoring case); a repeated name gets " (2)", " (3)", ... appended.
std::string SheetName(std::string_view title, const std::vector<std::string>& taken);
// The serial of a date-time in the spreadsheets' 1900 date system; false for day 0 and day 1,
// which have none there (they are written as text).
bool xlsSerialDate(TDateTime t, double& serial);

// What a data cell holds, decided once for both formats. The value is the field's stored value
// when the row holds one, else it is read from the cell's text as the export-text events left
// it; the text stays at hand (rendered on first use), since it is what the column's width is
// measured by and what a cut number is written as.
struct TxlsCellValue {
  enum TKind : uint8_t {
    cvNone,      // a column of a type the sheet has no cells for
    cvBlank,     // an empty text
    cvText,      // a text (also the null text in a column of any type)
    cvNumber,    // Number; a text that is no number reads as 0
    cvDateTime,  // Number holds the date-time; a text that is no date reads as day 0
    cvBoolean    // Boolean
  };
  TKind Kind = cvNone;
  double Number = 0;
  bool Boolean = false;
  // cvText: its line breaks are LF alone, and Wrap says whether it holds one.
  bool Wrap = false;
  TExportCol* Cell = nullptr;
  // The cell's text; for a stored value it is rendered only by the first call.
  const std::string& Text() const { return Cell->Text(); }
};

class TxlsSheetRows {
 public:
  TxlsSheetRows(const TxlsSheetRows&) = delete;
  TxlsSheetRows& operator=(const TxlsSheetRows&) = delete;
  // False when the run was aborted before the sheet's records: the run stops there.
  bool Write();

 protected:
  // The data rows of one part of the sheet: the first, or a continuation.
  struct TPartRows {
    int dataStart = 0;  // its first data row
    int dataEnd = -1;   // its last data row written, -1 before the first
  };

  TxlsSheetRows(TExportWorkbook& exporter, TxlsSheet& sheet, int sheetIndex, int maxRows);
  virtual ~TxlsSheetRows() = default;

  // The format's own preparation, once the sheet's columns are built.
  virtual void PrepareFormat() = 0;
  // Opens the sheet of the next part; parts_ gains its entry after.
  virtual void BeginPart() = 0;
  // Closes the current part's sheet when it is full.
  virtual void EndPart() = 0;
  // After the footer block: the widths, the extras, the end of the last part.
  virtual void Finish() = 0;
  // Runs before each row is written.
  virtual void BeforeRow() {}
  // A text of the header or footer block or before the data columns, as "General".
  virtual void TextCell(int row, int col, const TxlsFormat& look, const std::string& text) = 0;
  // A column's caption on the current row, measured for the column's width.
  virtual void CaptionCell(int j, int col, const TxlsFormat& look, const std::string& text) = 0;
  // Column j's value on `row`.
  virtual void DataCell(int j, const TxlsCellValue& value, int row) = 0;
  // The aggregate of column j over its data rows, in the number format `numberFormat`.
  virtual void AggregateCell(int j, int col, int row, const TxlsFormat& look,
                             const std::string& numberFormat, TxlsAggregate aggregate) = 0;
  // A text the aggregate event gave a column without an aggregate, measured for the width.
  virtual void AggregateText(int j, int col, int row, const TxlsFormat& look,
                             const std::string& text) = 0;

  // Keeps `row` as a data row of column j when it is on the first part, for FieldRange.
  void NoteDataRow(int j, int row) {
    if (parts_.size() != 1) return;
    auto& rows = dataRows_[static_cast<size_t>(j)];
    if (rows.first < 0) rows.first = row;
    rows.second = row;
  }
  // The look column j's data cell starts from on the current record: its strip or field format,
  // nullptr for the data format.
  const TxlsFormat* DataLook(int j) const {
    const auto& looks = looks_[static_cast<size_t>(j)].Looks;
    if (looks.empty()) return nullptr;
    return looks.size() == 1 ? looks[0]
                             : looks[static_cast<size_t>(sheet_.RecordCounter) % looks.size()];
  }
  // Column j's date-time `t` as text in its own format (for days without a serial).
  const std::string& DateText(int j, TDateTime t);
  // Widens column j's automatic width to hold `text` in `font`.
  void MeasureText(int j, std::string_view text, const TFont& font);
  // The data cells of a field on the first part, 1-based; none (all 0) when it has none.
  TxlsDataRange FieldRange(std::string_view field) const;

  TExportWorkbook& x_;
  TxlsSheet& sheet_;
  const int index_;
  std::vector<TPartRows> parts_;
  std::vector<TxlsCellKind> kinds_;
  std::vector<TxlsColumnLook> looks_;  // by column, from the sheet's settings
  std::vector<int> autoWidths_;        // characters, by column
  int zeroWidth_ = 1;                  // pixels of "0" in the default font
  std::string scratch_;

 private:
  void Prepare();
  void NewPart();
  void Room();
  void Block(const TStringList& lines, int rows, TxlsFormat& format, const TxlsCellTextEvent& ev);
  void BeforeData();
  void CaptionRow();
  bool PositionRecords();
  void RecordLoop();
  void DataRow();
  // What column j's cell holds: its stored value, or its text read as the value.
  void ReadValue(int j, TExportCol& cell, TxlsCellValue& value) const;
  // The cell of a stored value; false when the value is not of the column's kind (a text in a
  // number column), and the cell's text decides as it would without the value.
  bool TakeStoredValue(int j, const TFieldValue& stored, TxlsCellValue& value) const;
  void AggregateRow();
  bool TagAggregateColumns();

  const int maxRows_;
  bool textEvents_ = false;  // a handler of the cells' texts is attached
  std::string measured_;
  // Per exported column: the first and last row of its data cells on the first part.
  std::vector<std::pair<int, int>> dataRows_;
};

}  // namespace morvale
