#include "app/engine/memcursor.h"

#include <charconv>

namespace morvale {

void TMemCursor::ReadRow(TRowWindow& window) {
  TCell* cells = window.AppendRow();
  const Row& row = rows_[static_cast<size_t>(at_)];
  for (size_t i = 0; i < defs_.size() && i < row.size(); ++i) {
    if (!row[i]) continue;
    const std::string& s = *row[i];
    // Whole numbers of integer columns are stored as numbers, like every driver does.
    TFieldType t = defs_[i].DataType;
    if (t == ftSmallint || t == ftInteger || t == ftLargeint) {
      int64_t v;
      auto r = std::from_chars(s.data(), s.data() + s.size(), v);
      if (r.ec == std::errc() && r.ptr == s.data() + s.size()) {
        cells[i].Kind = TCellKind::Int;
        cells[i].Int = v;
        continue;
      }
    }
    window.SetText(cells[i], s);
  }
}

}  // namespace morvale
