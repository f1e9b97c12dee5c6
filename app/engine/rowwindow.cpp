#include "app/engine/rowwindow.h"

namespace morvale {

void TRowWindow::Reset(int columns, int64_t firstRow) {
  columns_ = columns;
  first_ = firstRow;
  rows_ = 0;
  cells_.clear();
  arena_.clear();
}

TCell* TRowWindow::AppendRow() {
  size_t at = cells_.size();
  cells_.resize(at + static_cast<size_t>(columns_));
  ++rows_;
  return cells_.data() + at;
}

void TRowWindow::SetText(TCell& cell, const char* p, size_t n, TCellKind kind) {
  cell.Kind = kind;
  cell.Offset = arena_.size();
  cell.Length = static_cast<uint32_t>(n);
  arena_.append(p, n);
}

}  // namespace morvale
