// Page orientation and the fitting of a table to the page, shared by the document formats that lay
// out pages (PDF, RTF, LaTeX).
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace morvale {

enum TExportPageOrientation : int { poPortrait, poLandscape };

// The page and the type a table is set in, settled before its first row.
struct TTableFit {
  TExportPageOrientation Orientation = poPortrait;
  int Size = 0;       // points
  bool Fits = false;  // false: even at the floor, the table is wider than the page
};

// How much a table set at `size` points on a page of `orientation` is too wide for it, in the
// caller's unit; zero or less when it fits (words whole, for a layout that wraps them).
using TTableExcess = std::function<int64_t(TExportPageOrientation orientation, int size)>;

// Chooses the page and the type of a table asked at `asked` points, never below `floor`: the
// page as given when the table fits it at the asked size; else, when `mayTurn`, the turned page
// when the table fits it in a larger type than the given one allows; else the largest type that
// fits the given page. A table that fits neither page at the floor takes the floor on the page
// where it overflows least, and continues as its format continues a wide table.
TTableFit FitTable(TExportPageOrientation given, bool mayTurn, int asked, int floor,
                   const TTableExcess& excess);

// Narrows the widest columns of a table wider than `room` to one common width at which the table
// fills `room`; the narrower columns keep their widths. Shrinking every column in proportion would
// break a date or a flag into one letter a line while a long text column stayed roomy.
inline void FitColumnWidths(std::vector<int64_t>& widths, int64_t room) {
  int64_t total = 0;
  for (int64_t w : widths) total += w;
  if (total <= room || room <= 0 || widths.empty()) return;
  std::vector<int64_t> sorted = widths;
  std::sort(sorted.begin(), sorted.end());
  int64_t rest = room, cap = 1;
  for (size_t k = 0; k < sorted.size(); ++k) {
    cap = rest / static_cast<int64_t>(sorted.size() - k);
    if (sorted[k] > cap) break;
    rest -= sorted[k];
  }
  for (int64_t& w : widths) w = std::max<int64_t>(std::min(w, cap), 1);
}

// FitColumnWidths for a table whose columns must not get narrower than `least` (the longest word
// of each, in a layout that wraps text): every column is first widened to its least, then the
// widest give way to one common width, never below their least. False, and the widths as they
// came, when the least widths alone are wider than `room`.
inline bool FitColumnWidths(std::vector<int64_t>& widths, int64_t room,
                            const std::vector<int64_t>& least) {
  int64_t total = 0, needed = 0, widest = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    const int64_t w = std::max(widths[i], least[i]);
    total += w;
    needed += least[i];
    widest = std::max(widest, w);
  }
  if (needed > room) return false;
  for (size_t i = 0; i < widths.size(); ++i) widths[i] = std::max(widths[i], least[i]);
  if (total <= room) return true;
  auto sumAt = [&](int64_t cap) {
    int64_t sum = 0;
    for (size_t i = 0; i < widths.size(); ++i) sum += std::max(least[i], std::min(widths[i], cap));
    return sum;
  };
  int64_t lo = 0, hi = widest;  // the largest cap at which the table fits `room`
  while (lo < hi) {
    const int64_t mid = (lo + hi + 1) / 2;
    if (sumAt(mid) <= room)
      lo = mid;
    else
      hi = mid - 1;
  }
  for (size_t i = 0; i < widths.size(); ++i)
    widths[i] = std::max(least[i], std::min(widths[i], lo));
  return true;
}

}  // namespace morvale
