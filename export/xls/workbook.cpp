#include "export/xls/workbook.h"

namespace morvale {

TxlsWorkbook::TxlsWorkbook(std::string writerName)
    : writerName_(std::move(writerName)), writer_(stream_) {}

TxlsBoundSheet* TxlsWorkbook::FindBoundSheet(int sheetIndex) const {
  // A sheet continued on further sheets has several entries; the last is the one being written.
  for (auto it = sheets_.rbegin(); it != sheets_.rend(); ++it)
    if ((*it)->SheetIndex == sheetIndex) return it->get();
  return nullptr;
}

void TxlsWorkbook::TrackCell(int sheetIndex, int32_t row, int32_t col) {
  if (TxlsBoundSheet* s = FindBoundSheet(sheetIndex)) s->Track(row, col);
}

}  // namespace morvale
