#include "export/workbook/exportworkbook.h"

#include "export/core/inifile.h"
#include "export/core/platform.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

// The collections are set from text one item at a time: "FieldFormats.PRICE.Aggregate=aggSum"
// creates or finds the field format of PRICE; "StripStyles.1.Fill.Pattern=ptSolid" the strip
// style at that position, adding items up to it.
void SetFieldFormat(TxlsFieldFormats& list, std::string_view key, std::string_view value) {
  size_t dot = key.find('.');
  if (dot == std::string_view::npos)
    throw EPropertyError("Expected FieldFormats.<field>.<property>, not FieldFormats." +
                         std::string(key));
  SetPropertyText(list.ForField(key.substr(0, dot)), key.substr(dot + 1), value);
}

void SetStripStyle(TxlsFormats& list, std::string_view key, std::string_view value) {
  size_t dot = key.find('.');
  int index = TextToInt(key.substr(0, dot), "StripStyles");
  if (dot == std::string_view::npos || index < 0 || index > 255)
    throw EPropertyError("Expected StripStyles.<0..255>.<property>, not StripStyles." +
                         std::string(key));
  while (list.Count() <= index) list.Add();
  SetPropertyText(list[index], key.substr(dot + 1), value);
}

std::string CountText(int n, const char* what) {
  return std::to_string(n) + " " + what;
}

// A collection as text, so that it survives the settings file: one "<key>.<property>=<value>"
// line per property that differs from a new item's. An item with nothing but defaults still gets
// a line, since its presence alone counts (a field format gives its column a style of its own).
std::string ItemLines(TPersistent& item, TPersistent& fresh, const std::string& key) {
  std::vector<std::string> now = ListProperties(item, true), def = ListProperties(fresh, true);
  std::string out;
  for (size_t i = 0; i < now.size(); ++i)
    if (i >= def.size() || now[i] != def[i]) out += key + "." + now[i] + "\n";
  if (out.empty()) out = key + "." + now.back() + "\n";
  return out;
}

template <class List, class Setter>
void SetLines(List& list, std::string_view text, Setter set) {
  list.Clear();
  TStringList lines;
  lines.SetText(text);
  for (const std::string& line : lines)
    if (!TrimView(line).empty())
      set(list, TStringList::NamePart(line), TStringList::ValuePart(line));
}

std::string FieldFormatsText(const TxlsFieldFormats& list) {
  std::string out;
  TxlsFieldFormat fresh;
  for (const auto& f : list) out += ItemLines(*f, fresh, f->FieldName);
  if (!out.empty()) out.pop_back();
  return out;
}

std::string StripStylesText(const TxlsFormats& list) {
  std::string out;
  TxlsFormat fresh;
  for (int i = 0; i < list.Count(); ++i) out += ItemLines(list[i], fresh, std::to_string(i));
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace

TExportWorkbook::TExportWorkbook() : TxlsSheetSettings(true) {}
TExportWorkbook::~TExportWorkbook() = default;

const TPropList& TExportWorkbook::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    PropBuilder<TExportWorkbook>(l)
        .Strings("ColumnsWidth", &TExport::ColumnsWidth)
        .Bool("AutoCalcColWidth", &TExport::AutoCalcColWidth)
        .Object("Options", "TXLSOptions", &TExportWorkbook::Options)
        .Enum<TxlsStripType>("StripType", "TxlsStripType", &TExportWorkbook::StripType,
                             {"ssNone", "ssCol", "ssRow"})
        .Int("HeaderRows", &TExportWorkbook::HeaderRows)
        .Int("StartDataCol", &TExportWorkbook::StartDataCol)
        .Int("FooterRows", &TExportWorkbook::FooterRows)
        .Bool("SheetPerTable", &TExportWorkbook::SheetPerTable);
    xlsAddExtrasProperties(
        l, [](TPersistent& o) -> TxlsExtras& { return static_cast<TExportWorkbook&>(o).Extras; });
    l.Add(xlsListProperty<TxlsPictures>(
        "Pictures", "TxlsPictures",
        [](TPersistent& o) -> TxlsPictures& { return static_cast<TExportWorkbook&>(o).Pictures; }));
    l.Add({"FieldFormats",
           "TxlsFieldFormats",
           {},
           [](const TPersistent& o) {
             return FieldFormatsText(static_cast<const TExportWorkbook&>(o).FieldFormats);
           },
           [](TPersistent& o, std::string_view text) {
             SetLines(static_cast<TExportWorkbook&>(o).FieldFormats, text, SetFieldFormat);
           },
           {},
           [](TPersistent& o, std::string_view key, std::string_view value) {
             SetFieldFormat(static_cast<TExportWorkbook&>(o).FieldFormats, key, value);
           }});
    l.Add({"StripStyles",
           "TxlsFormats",
           {},
           [](const TPersistent& o) {
             return StripStylesText(static_cast<const TExportWorkbook&>(o).StripStyles);
           },
           [](TPersistent& o, std::string_view text) {
             SetLines(static_cast<TExportWorkbook&>(o).StripStyles, text, SetStripStyle);
           },
           {},
           [](TPersistent& o, std::string_view key, std::string_view value) {
             SetStripStyle(static_cast<TExportWorkbook&>(o).StripStyles, key, value);
           }});
    PropBuilder<TExportWorkbook>(l)
        .Event("OnBeforeExportSheet")
        .Event("OnAfterExportSheet")
        .Event("OnGetHeaderParams")
        .Event("OnGetFooterParams")
        .Event("OnGetBeforeDataParams")
        .Event("OnGetCaptionParams")
        .Event("OnGetDataParams")
        .Event("OnGetAggregateParams")
        .Event("OnAdvancedGetExportText")
        .Event("OnAdvancedBeforeExportRow")
        .Event("OnAdvancedExportedRecord");
    return l;
  }();
  return list;
}

void TExportWorkbook::BeginExport() {
  Columns().Clear();
  Row().Clear();
  SetAborted(false);
  if (OnBeginExport) OnBeginExport(this);
}

void TExportWorkbook::LoadTemporarySheet(TxlsSheet& s) {
  s.Title = Options.SheetTitle();
  s.TakeSettings(*this, *this);
}

// Every exported sheet's source must be usable, and its columns must fit a sheet of the format,
// before anything is written: a column past the last would be refused by the writer halfway, or
// (in BIFF8, whose column numbers are 8-bit) wrap and overwrite the sheet's own first columns.
void TExportWorkbook::CheckSheets(int maxCols) {
  maxCols_ = maxCols;
  if (OnOpenSheet) return;
  for (int i = 0; i < Sheets.Count(); ++i)
    if (Sheets[i].Exported) CheckSheet(Sheets[i]);
}

void TExportWorkbook::CheckSheet(TxlsSheet& s) {
  const TSourceAdapterPtr src = s.Source();
  std::string kind = SourceName(s.ExportSource);
  if (!src->Assigned())
    throw Exception(Format(
        TranslateText("Engine", "Sheet %s define with error: %s"),
        {s.Title, Format(TranslateText("Engine", "Источник данных (%s) не определен"), {kind})}));
  if (!src->Active())
    throw Exception(Format(TranslateText("Engine", "Источник данных (%s) закрыт"), {kind}));
  if (!ExportEmpty && src->Empty())
    throw Exception(Format(TranslateText("Engine", "Источник данных (%s) пуст"), {kind}));
  s.SetFormatSettings(FormatSettings());
  s.Columns().Clear();
  s.Columns().Fill(false);
  const int last = s.StartDataCol + s.Columns().Count();
  if (s.StartDataCol < 0 || last > maxCols_)
    throw Exception(
        Format("Sheet %s: %s starting at column %s do not fit the %s columns of "
               "a sheet",
               {s.Title, CountText(s.Columns().Count(), "columns"), std::to_string(s.StartDataCol),
                std::to_string(maxCols_)}));
}

void TExportWorkbook::ExecuteSheets(int maxCols, const std::function<void()>& write) {
  if (FileName.empty()) throw Exception(TranslateText("Engine", "Result file name not present"));
  ForceFileFolder();

  // Single-sheet mode: a temporary sheet stands for the exporter's own settings for the run.
  const bool temporary = !Sheets.AnyExported();
  if (temporary) LoadTemporarySheet(Sheets.Add());
  struct TRemove {
    TxlsSheets& sheets;
    bool active;
    ~TRemove() {
      if (active) sheets.Delete(sheets.Count() - 1);
    }
  } remove{Sheets, temporary};

  CheckSheets(maxCols);
  WriteFiles(write);
}

void TExportWorkbook::SaveExtrasToIni(TIniFile& ini) const {
  ini.WriteString("XLS", "PageBackground", Extras.Background.FileName);
  morvale::SaveExtrasToIni(Extras, &Pictures, ini);
}

void TExportWorkbook::LoadExtrasFromIni(const TIniFile& ini) {
  Extras.Background.FileName = ini.ReadString("XLS", "PageBackground", Extras.Background.FileName);
  morvale::LoadExtrasFromIni(Extras, &Pictures, ini);
}

bool TExportWorkbook::WriteSheets(const std::function<bool(int, TxlsSheet&)>& write) {
  RecordCounter = 0;
  BeginExport();
  BeforeExport();
  if (Aborted()) return false;
  for (int i = 0; i < Sheets.Count(); ++i)
    if (Sheets[i].Exported && !WriteSheet(i, Sheets[i], write)) return false;
  return true;
}

bool TExportWorkbook::WriteSheet(int index, TxlsSheet& sheet,
                                 const std::function<bool(int, TxlsSheet&)>& write) {
  if (OnOpenSheet) {
    const TxlsSheetOpen open = OnOpenSheet(sheet, index);
    if (open == soSkip) return true;
    if (open == soStop) {
      Abort();
      return false;
    }
  }
  struct TClose {
    TExportWorkbook& x;
    TxlsSheet& sheet;
    int index;
    ~TClose() {
      if (x.OnCloseSheet) x.OnCloseSheet(sheet, index);
    }
  } close{*this, sheet, index};
  if (OnBeforeExportSheet) OnBeforeExportSheet(this, index);
  {
    const TSourceAdapterPtr src = sheet.Source();
    TSourceUpdate update(*src);
    if (!write(index, sheet)) return false;
  }
  if (OnAfterExportSheet) OnAfterExportSheet(this, index);
  return true;
}

}  // namespace morvale
