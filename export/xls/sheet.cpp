#include "export/xls/sheet.h"

#include "export/xls/exportxls.h"
#include "export/xls/registry.h"
#include "export/xls/workbook.h"

namespace morvale {

TxlsSheet::TxlsSheet(TExportXLS* owner) : owner_(owner) {
  OnlyVisibleFields = true;
  if (owner) SetFormatSettings(owner->FormatSettings());
}

const TPropList& TxlsSheet::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExport::ClassProps());
    PropBuilder<TxlsSheet>(l)
        .Str("Title", &TExport::Title)
        .Bool("AutoCalcColWidth", &TExport::AutoCalcColWidth)
        .Object("Options", "TXLSOptions", &TxlsSheet::Options)
        .Enum<TxlsStripType>("StripType", "TxlsStripType", &TxlsSheet::StripType,
                             {"ssNone", "ssCol", "ssRow"})
        .Int("HeaderRows", &TxlsSheet::HeaderRows)
        .Int("StartDataCol", &TxlsSheet::StartDataCol)
        .Int("FooterRows", &TxlsSheet::FooterRows)
        .Strings("Header", &TExport::Header)
        .Strings("Captions", &TExport::Captions)
        .Strings("Footer", &TExport::Footer)
        .Object("Formats", "TExportFormats", &TExport::Formats)
        .Strings("UserFormats", &TExport::UserFormats)
        .Strings("ColumnsWidth", &TExport::ColumnsWidth)
        .Double("DefRowHeight", &TxlsSheet::DefRowHeight)
        .Int("DefColWidth", &TxlsSheet::DefColWidth)
        .Bool("AllowCaptions", &TExport::AllowCaptions)
        .Bool("Exported", &TxlsSheet::Exported)
        .Int("Tag", &TxlsSheet::Tag);
    xlsAddExtrasProperties(
        l, [](TPersistent& o) -> TxlsExtras& { return static_cast<TxlsSheet&>(o).Extras; });
    return l;
  }();
  return list;
}

void TxlsSheet::Assign(const TxlsSheet& o) {
  Title = o.Title;
  TakeSettings(o, o);
}

void TxlsSheet::TakeSettings(const TExport& o, const TxlsSheetSettings& settings) {
  static_cast<TxlsSheetSettings&>(*this) = settings;
  AutoCalcColWidth = o.AutoCalcColWidth;
  ExportSource = o.ExportSource;
  SetDataSet(o.DataSet());
  SetCustomSource(o.CustomSource());
  SetListView(o.ListView());
  SetDBGrid(o.DBGrid());
  SetStringGrid(o.StringGrid());
  ExportedFields = o.ExportedFields;
  Header = o.Header;
  Captions = o.Captions;
  Footer = o.Footer;
  Formats = o.Formats;
  UserFormats = o.UserFormats;
  ColumnsWidth = o.ColumnsWidth;
  AllowCaptions = o.AllowCaptions;
  GoToFirstRecord = o.GoToFirstRecord;
  ExportRecCount = o.ExportRecCount;
  SkipRecCount = o.SkipRecCount;
  CurrentRecordOnly = o.CurrentRecordOnly;
  OnlyVisibleFields = o.OnlyVisibleFields;
  AutoCalcStrType = o.AutoCalcStrType;
  CaptionRow = o.CaptionRow;
}

TxlsStyleRegistry& TxlsSheet::Registry() const {
  return owner_->Workbook()->Styles();
}

uint16_t TxlsSheet::GetXFIndex(std::string_view formatText, const TxlsFormat* format) {
  return Registry().GetXFIndex(formatText, format, Options.DataFormat.Font);
}

void TxlsSheet::RegisterSheetStyles() {
  TxlsStyleRegistry& reg = Registry();
  TExportColumns& cols = Columns();
  const int n = StripStyles.Count();
  fieldXF_.assign(static_cast<size_t>(cols.Count()), TxlsStyleRegistry::kDefaultXF);
  stripXF_.assign(static_cast<size_t>(cols.Count()), {});
  if (n > 0 && StripType == ssCol) {
    for (int j = 0; j < cols.Count(); ++j) {
      uint16_t x = GetXFIndex(cols[j].Format, &StripStyles[j % n]);
      reg.AddStripXF(SheetIndex, j, x);
    }
  } else if (n > 0 && StripType == ssRow) {
    for (int s = 0; s < n; ++s)
      for (int j = 0; j < cols.Count(); ++j)
        reg.AddStripXF(SheetIndex, j + 1000 * s, GetXFIndex(cols[j].Format, &StripStyles[s]));
  }
  if (StripType == ssNone || n == 0) {
    for (int j = 0; j < cols.Count(); ++j) {
      int f = FieldFormats.IndexOf(cols[j].Name);
      uint16_t x = GetXFIndex(cols[j].Format, f >= 0 ? &FieldFormats[f] : nullptr);
      if (x != TxlsStyleRegistry::kDefaultXF && !reg.HasFieldXF(SheetIndex, cols[j].Name))
        reg.AddFieldXF(SheetIndex, cols[j].Name, x);
    }
  }
  // The lookups of every data cell, made once: per-field XF, then the strip XFs by key.
  for (int j = 0; j < cols.Count(); ++j) {
    fieldXF_[static_cast<size_t>(j)] = reg.FieldXF(SheetIndex, cols[j].Name);
    auto& strips = stripXF_[static_cast<size_t>(j)];
    if (StripType == ssCol)
      strips.push_back(reg.StripXF(SheetIndex, j));
    else if (StripType == ssRow)
      for (int s = 0; s < n; ++s) strips.push_back(reg.StripXF(SheetIndex, j + 1000 * s));
  }
}

uint16_t TxlsSheet::GetDataXF(int j) {
  const auto uj = static_cast<size_t>(j);
  uint16_t x = fieldXF_[uj];
  if (x == TxlsStyleRegistry::kDefaultXF && Registry().HasStrips()) {
    const auto& strips = stripXF_[uj];
    if (StripType == ssCol && !strips.empty())
      x = strips[0];
    else if (StripType == ssRow && !strips.empty())
      x = strips[static_cast<size_t>(RecordCounter) % strips.size()];
  }
  TExportXLS* owner = owner_;
  if (!owner->OnGetDataParams) return x;
  TxlsFormat g;
  std::string text;
  if (x == TxlsStyleRegistry::kDefaultXF) {
    g.Assign(Options.DataFormat);
    text = "General";
  } else {
    const TxlsXFormat* xf = Registry().FindXF(x);
    if (xf->Font) g.Font.Assign(*xf->Font);
    g.Borders = xf->Borders;
    g.Fill = xf->Fill;
    g.Alignment = xf->Alignment;
    g.Wrap = xf->Wrap;
    if (xf->Format) text = xf->Format->Text;
  }
  owner->OnGetDataParams(this, SheetIndex, StartDataCol + j, OutputRow, g, text);
  if (text.empty()) text = Columns()[j].Format;
  return GetXFIndex(text, &g);
}

TxlsSheet& TxlsSheets::Add() {
  items_.push_back(std::make_unique<TxlsSheet>(owner_));
  items_.back()->Title = "Sheet " + std::to_string(items_.size());
  return *items_.back();
}

bool TxlsSheets::AnyExported() const {
  for (const auto& s : items_)
    if (s->Exported) return true;
  return false;
}

}  // namespace morvale
