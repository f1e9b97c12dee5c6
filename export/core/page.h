// Page orientation and the fitting of a table to the page, shared by the document formats that lay
// out pages (PDF, RTF, LaTeX).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace morvale {

enum TExportPageOrientation : int { poPortrait, poLandscape };

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

}  // namespace morvale
