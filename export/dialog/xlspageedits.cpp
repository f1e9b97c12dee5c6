// The spreadsheet page's format lists: the field formats with their exported marks, the base
// formats, the strip styles, their resets, and the hyperlinks that follow the "HYPERLINK" format.
#include <algorithm>

#include "export/dialog/model.h"
#include "export/dialog/pages.h"

namespace morvale {

namespace {

constexpr int kHyperlinkFormat = 4;  // "HYPERLINK", the last base format

std::string StripCaption(size_t position) {
  return "ЭЛЕМЕНТ_" + std::to_string(position);
}

bool Contains(const std::vector<int>& list, int v) {
  return std::find(list.begin(), list.end(), v) != list.end();
}

}  // namespace

void TExportDialogModel::MarkXLSFields(bool creating) {
  TExportColumns& cols = Columns();
  TXLSPage& p = s_.XLS;
  p.FieldExported.assign(static_cast<size_t>(p.FieldFormats.Count()), false);
  for (int i = 0; i < p.FieldFormats.Count(); ++i) {
    int c = cols.IndexOfName(p.FieldFormats[i].FieldName);
    bool blob = c >= 0 && cols[c].IsBlob;
    bool byList = !creating && !s_.ExportedFields.empty();
    p.FieldExported[static_cast<size_t>(i)] =
        byList ? IsExported(p.FieldFormats[i].FieldName) : !blob;
  }
}

bool TExportDialogModel::XLSFieldExported(int index) const {
  const auto& marks = s_.XLS.FieldExported;
  return index >= 0 && index < static_cast<int>(marks.size()) && marks[static_cast<size_t>(index)];
}

std::vector<TxlsFormat*> TExportDialogModel::XLSFormats(TXLSFormatList list) {
  std::vector<TxlsFormat*> out;
  TXLSPage& p = s_.XLS;
  switch (list) {
    case xflFields:
      for (const auto& f : p.FieldFormats) out.push_back(f.get());
      break;
    case xflBase:
      for (TNamedXlsFormat& f : p.BaseFormats) out.push_back(&f.Format);
      break;
    case xflStrips:
      for (TNamedXlsFormat& f : p.StripStyles) out.push_back(&f.Format);
      break;
  }
  return out;
}

std::vector<std::string> TExportDialogModel::XLSFormatCaptions(TXLSFormatList list) const {
  std::vector<std::string> out;
  const TXLSPage& p = s_.XLS;
  switch (list) {
    case xflFields:
      for (const auto& f : p.FieldFormats) out.push_back(f->FieldName);
      break;
    case xflBase:
      for (const TNamedXlsFormat& f : p.BaseFormats) out.push_back(f.Caption);
      break;
    case xflStrips:
      for (const TNamedXlsFormat& f : p.StripStyles) out.push_back(f.Caption);
      break;
  }
  return out;
}

void TExportDialogModel::XLSHyperlinksFollowFormat() {
  TXLSPage& p = s_.XLS;
  if (static_cast<int>(p.BaseFormats.size()) <= kHyperlinkFormat) return;
  const TxlsFormat& look = p.BaseFormats[kHyperlinkFormat].Format;
  for (const auto& link : p.Extras.Hyperlinks) link->Format.Assign(look);
}

void TExportDialogModel::XLSFormatsEdited(TXLSFormatList list, const std::vector<int>& selected) {
  if (list == xflBase && !selected.empty() &&
      *std::min_element(selected.begin(), selected.end()) == kHyperlinkFormat)
    XLSHyperlinksFollowFormat();
}

void TExportDialogModel::ResetXLSFormats(TXLSFormatList list, const std::vector<int>& selected) {
  ResetEach(list, selected);
  XLSFormatsEdited(list, selected);
  Changed();
}

void TExportDialogModel::ResetAllXLSFormats(TXLSFormatList list, int focused) {
  std::vector<int> all(XLSFormats(list).size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  ResetEach(list, all);
  XLSFormatsEdited(list, {focused});
  Changed();
}

void TExportDialogModel::ResetEach(TXLSFormatList list, const std::vector<int>& selected) {
  std::vector<TxlsFormat*> formats = XLSFormats(list);
  for (int i : selected) {
    if (i < 0 || i >= static_cast<int>(formats.size())) continue;
    TxlsFormat& f = *formats[static_cast<size_t>(i)];
    // A field format's reset clears its field name too; the entry must stay that field's.
    auto* field = dynamic_cast<TxlsFieldFormat*>(&f);
    std::string name = field ? field->FieldName : std::string();
    f.Reset();
    if (field) field->FieldName = name;
    if (list == xflBase && s_.XLS.BaseFormats[static_cast<size_t>(i)].Caption ==
                               pages::kXLSBaseFormats[1])
      f.Font.Set(xfsBold, true);
  }
}

int TExportDialogModel::AddXLSStripStyle() {
  auto& list = s_.XLS.StripStyles;
  TNamedXlsFormat& f = list.emplace_back();
  f.Caption = StripCaption(list.size());
  Changed();
  return static_cast<int>(list.size()) - 1;
}

int TExportDialogModel::DeleteXLSStripStyles(const std::vector<int>& selected, int focused) {
  auto& list = s_.XLS.StripStyles;
  std::vector<TNamedXlsFormat> kept;
  for (size_t i = 0; i < list.size(); ++i)
    if (!Contains(selected, static_cast<int>(i))) kept.push_back(std::move(list[i]));
  list = std::move(kept);
  for (size_t i = 0; i < list.size(); ++i) list[i].Caption = StripCaption(i + 1);
  Changed();
  if (list.empty()) return -1;
  return std::clamp(focused, 0, static_cast<int>(list.size()) - 1);
}

int TExportDialogModel::MoveXLSStripStyle(int index, int delta) {
  auto& list = s_.XLS.StripStyles;
  int to = index + delta;
  int n = static_cast<int>(list.size());
  if (index < 0 || index >= n || to < 0 || to >= n) return index;
  std::swap(list[static_cast<size_t>(index)].Format, list[static_cast<size_t>(to)].Format);
  Changed();
  return to;
}

TXLSStripButtons TExportDialogModel::XLSStripButtons(int focused, int selectedCount) const {
  int n = static_cast<int>(s_.XLS.StripStyles.size());
  TXLSStripButtons b;
  b.Delete = selectedCount > 0 && n > 0;
  bool valid = focused >= 0 && focused < n;
  b.Up = valid && n >= 2 && focused > 0;
  b.Down = valid && n >= 2 && focused < n - 1;
  b.Save = n > 0;
  return b;
}

}  // namespace morvale
