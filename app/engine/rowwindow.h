// The rows a dataset holds at one time: a short run of consecutive records copied out of the
// driver, so that the cursor can step back within it, keep showing the last record at the end,
// and let the driver move on, while memory stays bounded however long the result is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvale {

enum class TCellKind : uint8_t { Null, Int, Float, Text, Blob, DateTime };

// One value: a number in place, or text and bytes in the window's arena. DateTime holds serial
// days in Float.
struct TCell {
  TCellKind Kind = TCellKind::Null;
  uint32_t Length = 0;
  union {
    int64_t Int;
    double Float;
    uint64_t Offset;
  };
  TCell() : Int(0) {}
};

class TRowWindow {
 public:
  // A window stops growing at either limit, whichever comes first (one row always fits).
  static constexpr int kMaxRows = 1024;
  static constexpr size_t kMaxBytes = 4u << 20;

  // Empties the window, which will hold rows from firstRow on; capacity is kept.
  void Reset(int columns, int64_t firstRow);
  // Appends a row of NULL cells for the driver to fill.
  TCell* AppendRow();
  void SetText(TCell& cell, const char* p, size_t n, TCellKind kind = TCellKind::Text);
  void SetText(TCell& cell, std::string_view s, TCellKind kind = TCellKind::Text) {
    SetText(cell, s.data(), s.size(), kind);
  }

  bool Full() const { return rows_ >= kMaxRows || arena_.size() >= kMaxBytes; }
  int Rows() const { return rows_; }
  size_t HeldBytes() const { return arena_.size(); }
  int64_t FirstRow() const { return first_; }
  int64_t EndRow() const { return first_ + rows_; }  // one past the last row held
  bool Holds(int64_t row) const { return row >= first_ && row < first_ + rows_; }
  const TCell& At(int64_t row, int column) const {
    return cells_[static_cast<size_t>((row - first_) * columns_ + column)];
  }
  // The text or bytes of a cell; empty for numbers, whose union holds no offset.
  std::string_view Bytes(const TCell& cell) const {
    if (cell.Kind != TCellKind::Text && cell.Kind != TCellKind::Blob) return {};
    return std::string_view(arena_.data() + cell.Offset, cell.Length);
  }

 private:
  std::vector<TCell> cells_;
  std::string arena_;
  int columns_ = 0;
  int rows_ = 0;
  int64_t first_ = 0;
};

}  // namespace morvale
