// The edits of the format pages' lists and values that are more than setting a field: the style
// lists of the RTF and spreadsheet pages, the HTML colour template and the PDF page.
#include <algorithm>

#include "export/dialog/model.h"
#include "export/dialog/pagekeys.h"
#include "export/text/html.h"

namespace morvale {

namespace {

TrtfStyle CaptionDefaults() {
  TrtfStyle s;
  s.Font.Style = fsBold;
  s.Alignment = talCenter;
  return s;
}

template <class T>
int DeleteItem(std::vector<T>& list, int index) {
  int n = static_cast<int>(list.size());
  if (index < 0 || index >= n) return n > 0 ? 0 : -1;
  list.erase(list.begin() + index);
  if (list.empty()) return -1;
  return std::min(index, static_cast<int>(list.size()) - 1);
}

template <class T>
void MoveItem(std::vector<T>& list, int index, int delta) {
  int to = index + delta;
  int n = static_cast<int>(list.size());
  if (index < 0 || index >= n || to < 0 || to >= n) return;
  std::swap(list[static_cast<size_t>(index)], list[static_cast<size_t>(to)]);
}

// A template sets the page's colours only: each colour setting takes the exporter's.
struct TTemplateColors {
  const TExportHTML& h;
  TDialogSettings& s;
  void operator()(pages::key::Color, const char*, const char*, auto setting, auto property) {
    setting.Of(s) = property.Of(h);
  }
  void operator()(auto&&...) {}
  void Limit(auto&&...) {}
};

}  // namespace

void TExportDialogModel::AddRTFStripStyle() {
  auto& list = s_.RTF.StripStyles;
  list.push_back({"ITEM_" + std::to_string(list.size() + 1), TrtfStyle()});
  Changed();
}

int TExportDialogModel::DeleteRTFStripStyle(int index) {
  int sel = DeleteItem(s_.RTF.StripStyles, index);
  Changed();
  return sel;
}

void TExportDialogModel::MoveRTFStripStyle(int index, int delta) {
  MoveItem(s_.RTF.StripStyles, index, delta);
  Changed();
}

void TExportDialogModel::ResetRTFBaseStyle(int index) {
  auto& list = s_.RTF.BaseStyles;
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  TNamedRtfStyle& st = list[static_cast<size_t>(index)];
  st.Style = SameText(st.Caption, "CAPTION") ? CaptionDefaults() : TrtfStyle();
  Changed();
}

void TExportDialogModel::ResetRTFStripStyle(int index) {
  auto& list = s_.RTF.StripStyles;
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  list[static_cast<size_t>(index)].Style = TrtfStyle();
  Changed();
}

void TExportDialogModel::ResetAllRTFStyles() {
  for (TNamedRtfStyle& st : s_.RTF.BaseStyles)
    st.Style = SameText(st.Caption, "CAPTION") ? CaptionDefaults() : TrtfStyle();
  for (TNamedRtfStyle& st : s_.RTF.StripStyles) st.Style = TrtfStyle();
  Changed();
}

// HTML and PDF pages.

void TExportDialogModel::SetHTMLTemplate(THTMLTemplate t) {
  s_.HTMLTemplate = t;
  if (t != htCustom) {
    auto& h = static_cast<TExportHTML&>(Exporter(aeHTML));
    h.SetHTMLTemplate(t);
    TTemplateColors colors{h, s_};
    pages::HTMLSettings(colors);
  }
  Changed();
}

void TExportDialogModel::SetPDFPageFormat(TExportPageFormat f) {
  s_.PDF.PageOptions.SetFormat(f);
  Changed();
}

void TExportDialogModel::SetPDFOrientation(TExportPageOrientation o) {
  s_.PDF.PageOptions.SetOrientation(o);
  Changed();
}

void TExportDialogModel::SetPDFUnits(TExportUnits u) {
  s_.PDF.PageOptions.Units = u;
  Changed();
}

}  // namespace morvale
