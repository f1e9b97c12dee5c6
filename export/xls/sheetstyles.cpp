#include "export/xls/sheetstyles.h"

#include <algorithm>

#include "export/workbook/exportworkbook.h"
#include "export/xls/registry.h"

namespace morvale {

uint16_t TxlsSheetStyles::GetXFIndex(std::string_view formatText, const TxlsFormat* format) {
  return reg_.GetXFIndex(formatText, format, sheet_.Options.DataFormat.Font);
}

// Strip XFs are keyed by column, plus 1000 times the strip for row strips; a column's field XF is
// registered only when it differs from the default, and once per field name.
void TxlsSheetStyles::Register(const std::vector<TxlsColumnLook>& looks) {
  TExportColumns& cols = sheet_.Columns();
  const int sheet = sheet_.SheetIndex;
  const auto n = static_cast<size_t>(cols.Count());
  fieldXF_.assign(n, TxlsStyleRegistry::kDefaultXF);
  stripXF_.assign(n, {});
  size_t strips = 0;
  for (const TxlsColumnLook& look : looks)
    if (look.Source == lsStrip) strips = std::max(strips, look.Looks.size());
  // Strip by strip, column by column: the order the registry numbers the XFs in.
  for (size_t s = 0; s < strips; ++s)
    for (int j = 0; j < cols.Count(); ++j) {
      const TxlsColumnLook& look = looks[static_cast<size_t>(j)];
      if (look.Source != lsStrip || s >= look.Looks.size()) continue;
      const int key = j + 1000 * static_cast<int>(s);
      reg_.AddStripXF(sheet, key, GetXFIndex(cols[j].Format, look.Looks[s]));
      stripXF_[static_cast<size_t>(j)].push_back(reg_.StripXF(sheet, key));
    }
  for (int j = 0; j < cols.Count(); ++j) {
    const TxlsColumnLook& look = looks[static_cast<size_t>(j)];
    if (look.Source == lsStrip) continue;
    const uint16_t x = GetXFIndex(cols[j].Format, look.Source == lsField ? look.Looks[0] : nullptr);
    if (x != TxlsStyleRegistry::kDefaultXF && !reg_.HasFieldXF(sheet, cols[j].Name))
      reg_.AddFieldXF(sheet, cols[j].Name, x);
  }
  // Columns of one name share the XF of the first that has one, so the lookups come after.
  for (int j = 0; j < cols.Count(); ++j)
    if (looks[static_cast<size_t>(j)].Source != lsStrip)
      fieldXF_[static_cast<size_t>(j)] = reg_.FieldXF(sheet, cols[j].Name);
}

uint16_t TxlsSheetStyles::DataXF(int j) {
  const auto uj = static_cast<size_t>(j);
  uint16_t x = fieldXF_[uj];
  const auto& strips = stripXF_[uj];
  if (!strips.empty())
    x = strips.size() == 1 ? strips[0]
                           : strips[static_cast<size_t>(sheet_.RecordCounter) % strips.size()];
  if (!x_.OnGetDataParams) return x;
  TxlsFormat g;
  std::string text;
  if (x == TxlsStyleRegistry::kDefaultXF) {
    g.Assign(sheet_.Options.DataFormat);
    text = "General";
  } else {
    const TxlsXFormat* xf = reg_.FindXF(x);
    if (xf->Font) g.Font.Assign(*xf->Font);
    g.Borders = xf->Borders;
    g.Fill = xf->Fill;
    g.Alignment = xf->Alignment;
    g.Wrap = xf->Wrap;
    if (xf->Format) text = xf->Format->Text;
  }
  x_.OnGetDataParams(&sheet_, sheet_.SheetIndex, sheet_.StartDataCol + j, sheet_.OutputRow, g,
                     text);
  if (text.empty()) text = sheet_.Columns()[j].Format;
  return GetXFIndex(text, &g);
}

}  // namespace morvale
