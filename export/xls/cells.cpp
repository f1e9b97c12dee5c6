#include "export/xls/cells.h"

namespace morvale {

unsigned AggregateFunction(TxlsAggregate a) {
  switch (a) {
    case aggSum:
      return 4;
    case aggAvg:
      return 5;
    case aggMin:
      return 6;
    case aggMax:
      return 7;
    default:
      return 4;
  }
}

void WriteFormula(TbiffWriter& w, unsigned row, unsigned col, unsigned xf, TxlsAggregate aggregate,
                  unsigned firstRow, unsigned lastRow) {
  TxlsFormulaRange r{-1, firstRow, lastRow, col};
  WriteFormula(w, row, col, xf, aggregate, &r, 1);
}

void WriteFormula(TbiffWriter& w, unsigned row, unsigned col, unsigned xf, TxlsAggregate aggregate,
                  const TxlsFormulaRange* ranges, size_t count) {
  uint8_t* d = w.Data();
  WriteCellHead(d, row, col, xf);
  std::fill(d + 6, d + 14, uint8_t{0});  // cached result: recalculated on load
  PutU16(d + 14, 0x0002);                // calculate on load
  PutU32(d + 16, 0);
  uint8_t* t = d + 22;
  for (size_t i = 0; i < count; ++i) {
    const TxlsFormulaRange& r = ranges[i];
    // Relative row and column flags (bits 14, 15) make the reference read as A1-style.
    if (r.ExternSheet < 0) {
      *t++ = 0x25;  // area
    } else {
      *t++ = 0x3B;  // area on another sheet
      PutU16(t, static_cast<unsigned>(r.ExternSheet));
      t += 2;
    }
    PutU16(t, r.FirstRow);
    PutU16(t + 2, r.LastRow);
    PutU16(t + 4, r.Col | 0xC000);
    PutU16(t + 6, r.Col | 0xC000);
    t += 8;
  }
  *t++ = 0x42;  // function with a variable number of arguments
  *t++ = static_cast<uint8_t>(count);
  PutU16(t, AggregateFunction(aggregate));
  t += 2;
  auto length = static_cast<unsigned>(t - (d + 22));
  PutU16(d + 20, length);
  w.WriteRecord(biff::kFormula, 22 + length);
}

}  // namespace morvale
