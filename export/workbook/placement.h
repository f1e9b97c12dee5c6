// What the items placed by a sheet's written cells go by: the range of cells a sheet part holds,
// and the cells a chart spans (a chart placed automatically goes below or right of that range).
// Both workbook formats place their charts by these rules.
#pragma once

#include <cstdint>

#include "export/workbook/items.h"

namespace morvale {

// The used range of a written sheet, 0-based; -1 until a cell is tracked.
struct TxlsUsedRange {
  int32_t FirstRow = -1, LastRow = -1, FirstCol = -1, LastCol = -1;

  void Track(int32_t row, int32_t col) {
    if (FirstRow < 0 || row < FirstRow) FirstRow = row;
    if (LastRow < 0 || row > LastRow) LastRow = row;
    if (FirstCol < 0 || col < FirstCol) FirstCol = col;
    if (LastCol < 0 || col > LastCol) LastCol = col;
  }
  bool Tracked() const { return FirstRow >= 0 && LastRow >= 0 && FirstCol >= 0 && LastCol >= 0; }
};

// The cells a chart's shape spans: first column, first row, last column, last row, 0-based; false
// for a chart placed after the used range when there is no sheet to place it by.
bool xlsChartCells(const TxlsChart& chart, const TxlsUsedRange* used, int (&cells)[4]);

}  // namespace morvale
