// The cell records. Each is assembled in the reused record buffer and leaves in one write; no
// cell allocates anything (a text goes through the shared string table's reused buffer).
#pragma once

#include <cstdint>
#include <string_view>

#include "export/workbook/styles.h"
#include "export/xls/records.h"
#include "export/xls/sst.h"

namespace morvale {

inline void WriteCellHead(uint8_t* d, unsigned row, unsigned col, unsigned xf) {
  PutU16(d, row);
  PutU16(d + 2, col);
  PutU16(d + 4, xf);
}

inline void WriteLabelSST(TbiffWriter& w, unsigned row, unsigned col, unsigned xf,
                          uint32_t sstIndex) {
  uint8_t* d = w.Data();
  WriteCellHead(d, row, col, xf);
  PutU32(d + 6, sstIndex);
  w.WriteRecord(biff::kLabelSST, 10);
}

inline void WriteLabelSST(TbiffWriter& w, TsstStrings& sst, unsigned row, unsigned col, unsigned xf,
                          std::string_view text) {
  WriteLabelSST(w, row, col, xf, sst.AddString(text));
}

inline void WriteNumber(TbiffWriter& w, unsigned row, unsigned col, unsigned xf, double v) {
  uint8_t* d = w.Data();
  WriteCellHead(d, row, col, xf);
  PutDouble(d + 6, v);
  w.WriteRecord(biff::kNumber, 14);
}

inline void WriteBoolErr(TbiffWriter& w, unsigned row, unsigned col, unsigned xf, bool v) {
  uint8_t* d = w.Data();
  WriteCellHead(d, row, col, xf);
  d[6] = v ? 1 : 0;
  d[7] = 0;  // a Boolean, not an error code
  w.WriteRecord(biff::kBoolErr, 8);
}

inline void WriteBlank(TbiffWriter& w, unsigned row, unsigned col, unsigned xf) {
  WriteCellHead(w.Data(), row, col, xf);
  w.WriteRecord(biff::kBlank, 6);
}

// The function number of an aggregate (SUM 4, AVERAGE 5, MIN 6, MAX 7).
unsigned AggregateFunction(TxlsAggregate a);

// A range of rows in one column, on this sheet (externSheet < 0) or on another sheet through its
// EXTERNSHEET entry.
struct TxlsFormulaRange {
  int ExternSheet = -1;
  unsigned FirstRow = 0, LastRow = 0, Col = 0;
};

// =FUNC(first:last) over one column of this sheet.
void WriteFormula(TbiffWriter& w, unsigned row, unsigned col, unsigned xf, TxlsAggregate aggregate,
                  unsigned firstRow, unsigned lastRow);
// =FUNC(range1, range2, ...): an aggregate over the parts of a column continued on other sheets.
void WriteFormula(TbiffWriter& w, unsigned row, unsigned col, unsigned xf, TxlsAggregate aggregate,
                  const TxlsFormulaRange* ranges, size_t count);

}  // namespace morvale
