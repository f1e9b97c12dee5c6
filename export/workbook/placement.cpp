#include "export/workbook/placement.h"

#include <algorithm>

namespace morvale {

bool xlsChartCells(const TxlsChart& chart, const TxlsUsedRange* used, int (&cells)[4]) {
  int firstRow = 0, firstCol = 0, lastRow = 0, lastCol = 0;
  if (chart.Position.PositionType == cptCustom) {
    const TxlsChartCustomPosition& p = chart.Position.CustomPosition;
    firstRow = p.Y1 - 1;
    firstCol = p.X1 - 1;
    lastRow = p.Y2 - 1;
    lastCol = p.X2 - 1;
  } else {
    if (!used) return false;
    const TxlsChartAutoPosition& p = chart.Position.AutoPosition;
    if (p.Placement == cpBottom) {
      firstRow = std::max(used->LastRow + p.Top, 0) + 1;
      firstCol = std::max(used->FirstCol + p.Left, 0);
    } else {
      firstRow = std::max(p.Top, 0);
      firstCol = std::max(used->LastCol + p.Left, 0) + 1;
    }
    lastRow = std::max(firstRow + p.Height, 0);
    lastCol = std::max(firstCol + p.Width, 0);
  }
  cells[0] = firstCol;
  cells[1] = firstRow;
  cells[2] = lastCol;
  cells[3] = lastRow;
  return true;
}

}  // namespace morvale
