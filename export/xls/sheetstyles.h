// The cell styles of one sheet as XF indexes of the workbook's registry: the look of a cell (a
// TxlsFormat, or none) with a number format becomes an XF; the looks the sheet's columns take
// (sheet.h) are registered once before the first row, in the order the registry numbers them, and
// each data cell's XF is then a lookup. OnGetDataParams may still change a cell's look.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "export/workbook/sheet.h"
#include "export/workbook/styles.h"

namespace morvale {

class TExportWorkbook;
class TxlsStyleRegistry;

class TxlsSheetStyles {
 public:
  TxlsSheetStyles(TExportWorkbook& exporter, TxlsSheet& sheet, TxlsStyleRegistry& registry)
      : x_(exporter), sheet_(sheet), reg_(registry) {}

  // The XF index of a cell with number format `formatText` and look `format` (or none).
  uint16_t GetXFIndex(std::string_view formatText, const TxlsFormat* format);
  // Registers the field and strip styles of the sheet's columns; once, before its first row.
  void Register(const std::vector<TxlsColumnLook>& looks);
  // The XF of the data cell of column j in the current record.
  uint16_t DataXF(int j);

 private:
  TExportWorkbook& x_;
  TxlsSheet& sheet_;
  TxlsStyleRegistry& reg_;
  // Per column: its field XF (15 when none), and its strip XFs (one per strip for row strips).
  std::vector<uint16_t> fieldXF_;
  std::vector<std::vector<uint16_t>> stripXF_;
};

}  // namespace morvale
