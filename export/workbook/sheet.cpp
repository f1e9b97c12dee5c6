#include "export/workbook/sheet.h"

#include "export/workbook/exportworkbook.h"

namespace morvale {

TxlsSheet::TxlsSheet(TExportWorkbook* owner) : owner_(owner) {
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

std::vector<TxlsColumnLook> TxlsSheet::ColumnLooks() {
  TExportColumns& cols = Columns();
  const int strips = StripStyles.Count();
  std::vector<TxlsColumnLook> looks(static_cast<size_t>(cols.Count()));
  for (int j = 0; j < cols.Count(); ++j) {
    TxlsColumnLook& look = looks[static_cast<size_t>(j)];
    if (strips > 0 && StripType == ssCol) {
      look.Source = lsStrip;
      look.Looks.push_back(&StripStyles[j % strips]);
    } else if (strips > 0 && StripType == ssRow) {
      look.Source = lsStrip;
      for (int s = 0; s < strips; ++s) look.Looks.push_back(&StripStyles[s]);
    } else if (int f = FieldFormats.IndexOf(cols[j].Name); f >= 0) {
      look.Source = lsField;
      look.Looks.push_back(&FieldFormats[f]);
    }
  }
  return looks;
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
