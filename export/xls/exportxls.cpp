#include "export/xls/exportxls.h"

#include "export/core/inifile.h"
#include "export/core/platform.h"
#include "export/xls/container.h"
#include "export/xls/extras.h"
#include "export/xls/sheetwriter.h"
#include "export/xls/workbook.h"

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

TExportXLS::TExportXLS() : TxlsSheetSettings(true) {}
TExportXLS::~TExportXLS() = default;

const TPropList& TExportXLS::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    PropBuilder<TExportXLS>(l)
        .Strings("ColumnsWidth", &TExport::ColumnsWidth)
        .Bool("AutoCalcColWidth", &TExport::AutoCalcColWidth)
        .Object("Options", "TXLSOptions", &TExportXLS::Options)
        .Enum<TxlsStripType>("StripType", "TxlsStripType", &TExportXLS::StripType,
                             {"ssNone", "ssCol", "ssRow"})
        .Int("HeaderRows", &TExportXLS::HeaderRows)
        .Int("StartDataCol", &TExportXLS::StartDataCol)
        .Int("FooterRows", &TExportXLS::FooterRows);
    xlsAddExtrasProperties(
        l, [](TPersistent& o) -> TxlsExtras& { return static_cast<TExportXLS&>(o).Extras; });
    l.Add(xlsListProperty<TxlsPictures>(
        "Pictures", "TxlsPictures",
        [](TPersistent& o) -> TxlsPictures& { return static_cast<TExportXLS&>(o).Pictures; }));
    l.Add({"FieldFormats",
           "TxlsFieldFormats",
           {},
           [](const TPersistent& o) {
             return FieldFormatsText(static_cast<const TExportXLS&>(o).FieldFormats);
           },
           [](TPersistent& o, std::string_view text) {
             SetLines(static_cast<TExportXLS&>(o).FieldFormats, text, SetFieldFormat);
           },
           {},
           [](TPersistent& o, std::string_view key, std::string_view value) {
             SetFieldFormat(static_cast<TExportXLS&>(o).FieldFormats, key, value);
           }});
    l.Add({"StripStyles",
           "TxlsFormats",
           {},
           [](const TPersistent& o) {
             return StripStylesText(static_cast<const TExportXLS&>(o).StripStyles);
           },
           [](TPersistent& o, std::string_view text) {
             SetLines(static_cast<TExportXLS&>(o).StripStyles, text, SetStripStyle);
           },
           {},
           [](TPersistent& o, std::string_view key, std::string_view value) {
             SetStripStyle(static_cast<TExportXLS&>(o).StripStyles, key, value);
           }});
    PropBuilder<TExportXLS>(l)
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

std::unique_ptr<TExportWriter> TExportXLS::CreateWriter(TStream& stream) {
  return std::make_unique<TXLSWriter>(*this, stream);
}

void TExportXLS::BeginExport() {
  Columns().Clear();
  Row().Clear();
  SetAborted(false);
  if (OnBeginExport) OnBeginExport(this);
}

void TExportXLS::LoadTemporarySheet(TxlsSheet& s) {
  s.Title = Options.SheetTitle();
  s.TakeSettings(*this, *this);
}

// Every exported sheet's source must be usable, and its columns must fit a sheet, before
// anything is written: a sheet of more than 256 columns would wrap its 8-bit column numbers
// (stored in 16-bit fields that readers cap at 255) and overwrite its own first columns.
void TExportXLS::CheckSheets(int maxCols) {
  for (int i = 0; i < Sheets.Count(); ++i) {
    TxlsSheet& s = Sheets[i];
    if (!s.Exported) continue;
    const TSourceAdapterPtr src = s.Source();
    std::string kind = SourceName(s.ExportSource);
    if (!src->Assigned())
      throw Exception(Format("Sheet %s define with error: %s",
                             {s.Title, Format("Источник данных (%s) не определен", {kind})}));
    if (!src->Active()) throw Exception(Format("Источник данных (%s) закрыт", {kind}));
    if (!ExportEmpty && src->Empty()) throw Exception(Format("Источник данных (%s) пуст", {kind}));
    s.SetFormatSettings(FormatSettings());
    s.Columns().Clear();
    s.Columns().Fill(false);
    const int last = s.StartDataCol + s.Columns().Count();
    if (s.StartDataCol < 0 || last > maxCols)
      throw Exception(
          Format("Sheet %s: %s starting at column %s do not fit the %s columns of "
                 "a sheet",
                 {s.Title, CountText(s.Columns().Count(), "columns"),
                  std::to_string(s.StartDataCol), std::to_string(maxCols)}));
  }
}

void TExportXLS::OpenWorkbook() {
  workbook_ = std::make_unique<TxlsWorkbook>(ClassName());
  workbook_->FormatSettings = FormatSettings();
  container_ = std::make_unique<TxlsContainer>(FileName);
}

// The container receives the finished stream in one piece.
void TExportXLS::FinishWorkbook() {
  workbook_->FinishWorkbook([this](const void* d, size_t n) { container_->Write(d, n); });
  finished_ = true;
}

// A run that did not finish leaves what it had written, without the globals that only the end
// could write.
void TExportXLS::CloseWorkbook() {
  std::unique_ptr<TxlsWorkbook> wb = std::move(workbook_);
  std::unique_ptr<TxlsContainer> c = std::move(container_);
  store_.reset();
  if (!c) return;
  if (!finished_)
    wb->Stream().CopyRange(0, wb->Stream().Size(),
                           [&c](const void* d, size_t n) { c->Write(d, n); });
  c->Close();
}

void TExportXLS::ExecuteSheets(int maxCols, const std::function<void()>& write) {
  if (FileName.empty()) throw Exception("Result file name not present");
  std::string folder = ExtractFilePath(FileName);
  if (folder.empty()) folder = ProgramFolder();
  if (!ForceDirectories(folder))
    throw Exception(Format("Directory '%s' not found and cannot be created", {folder}));

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
  write();
}

void TExportXLS::Execute() {
  ExecuteSheets(256, [this] {
    OpenWorkbook();
    try {
      Run();
    } catch (...) {
      try {
        CloseWorkbook();
      } catch (...) {
      }
      throw;
    }
    CloseWorkbook();
  });
  AfterExecute();
}

void TExportXLS::Run() {
  finished_ = false;
  workbook_->WriteGlobalsHead();
  PrepareDrawingGroup();
  RecordCounter = 0;
  BeginExport();
  BeforeExport();
  if (Aborted()) return;
  for (int i = 0; i < Sheets.Count(); ++i) {
    if (!Sheets[i].Exported) continue;
    if (!ExportSheet(i, Sheets[i])) return;
  }
  FinishWorkbook();
  AfterExport();
  EndExport();
}

void TExportXLS::SaveExtrasToIni(TIniFile& ini) const {
  ini.WriteString("XLS", "PageBackground", Extras.Background.FileName);
  morvale::SaveExtrasToIni(Extras, &Pictures, ini);
}

void TExportXLS::LoadExtrasFromIni(const TIniFile& ini) {
  Extras.Background.FileName = ini.ReadString("XLS", "PageBackground", Extras.Background.FileName);
  morvale::LoadExtrasFromIni(Extras, &Pictures, ini);
}

// The picture store is read once; the drawing group goes into the globals when any sheet has a
// note, image or chart, and charts need the sheets' EXTERNSHEET entries.
void TExportXLS::PrepareDrawingGroup() {
  std::vector<const TxlsImages*> images;
  unsigned shapes = 0;
  for (int i = 0; i < Sheets.Count(); ++i) {
    const TxlsExtras& e = Sheets[i].Extras;
    images.push_back(&e.Images);
    shapes += static_cast<unsigned>(e.Notes.Count() + e.Images.Count() + e.Charts.Count());
    if (!e.Charts.Empty()) workbook_->WriteExternSheets = true;
  }
  store_ = std::make_unique<TxlsPictureStore>(TxlsPictureStore::Build(Pictures, images));
  if (shapes == 0) return;
  workbook_->GlobalsExtras.push_back([this, shapes](TStream& s) {
    const std::string data = store_->DrawingGroupData(shapes);
    TbiffMSODrawingGroup(data.data(), data.size()).WriteTo(s);
  });
}

bool TExportXLS::ExportSheetWith(int index, TxlsSheet& sheet, const std::function<bool()>& write) {
  if (OnBeforeExportSheet) OnBeforeExportSheet(this, index);
  {
    const TSourceAdapterPtr src = sheet.Source();
    src->BeginUpdate();
    struct TEnd {
      const TSourceAdapter& src;
      ~TEnd() { src.EndUpdate(); }
    } end{*src};
    if (!write()) return false;
  }
  if (OnAfterExportSheet) OnAfterExportSheet(this, index);
  return true;
}

bool TExportXLS::ExportSheet(int index, TxlsSheet& sheet) {
  return ExportSheetWith(index, sheet,
                         [&] { return TxlsSheetWriter(*this, sheet, index).Write(); });
}

}  // namespace morvale
