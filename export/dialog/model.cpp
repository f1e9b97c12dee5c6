#include "export/dialog/model.h"

#include <algorithm>
#include <filesystem>

#include "export/core/inifile.h"
#include "export/core/translate.h"
#include "export/dialog/pages.h"
#include "export/docs/dbfexport.h"

namespace morvale {

namespace {

bool IsUserFormatType(TExportColType t) {
  return t >= ectInteger && t <= ectDateTime;
}

std::string FileNameOnly(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// The extras as the lines of their options-file sections: the items have no comparison of their
// own, and what the file keeps of them is what tells two working copies apart.
std::string ExtrasText(const TxlsExtras& extras, const TxlsPictures& pictures) {
  TIniFile ini("");
  ini.BeginUpdate();  // held for the object's life: nothing is written to disk
  SaveExtrasToIni(extras, &pictures, ini);
  TStringList sections, lines;
  ini.ReadSections(sections);
  std::string text;
  for (const std::string& sec : sections) {
    text += "[" + sec + "]\n";
    ini.ReadSectionValues(sec, lines);
    for (const std::string& line : lines) text += line + "\n";
  }
  return text;
}

bool SameXlsExtras(const TxlsExtras& a, const TxlsPictures& ap, const TxlsExtras& b,
                   const TxlsPictures& bp) {
  return ExtrasText(a, ap) == ExtrasText(b, bp);
}

}  // namespace

bool SameFormats(const TExportFormats& a, const TExportFormats& b) {
  return a.IntegerFormat() == b.IntegerFormat() && a.FloatFormat() == b.FloatFormat() &&
         a.DateFormat() == b.DateFormat() && a.TimeFormat() == b.TimeFormat() &&
         a.DateTimeFormat() == b.DateTimeFormat() && a.CurrencyFormat() == b.CurrencyFormat() &&
         a.BooleanTrue() == b.BooleanTrue() && a.BooleanFalse() == b.BooleanFalse() &&
         a.NullString() == b.NullString();
}

bool TXLSPage::operator==(const TXLSPage& o) const {
  if (FieldFormats.Count() != o.FieldFormats.Count()) return false;
  for (int i = 0; i < FieldFormats.Count(); ++i)
    if (!SameXlsFieldFormat(FieldFormats[i], o.FieldFormats[i])) return false;
  return PageHeader == o.PageHeader && PageFooter == o.PageFooter && SheetTitle == o.SheetTitle &&
         PageBackground == o.PageBackground && StripType == o.StripType &&
         AutoCalcColWidth == o.AutoCalcColWidth && SheetPerTable == o.SheetPerTable &&
         BaseFormats == o.BaseFormats && StripStyles == o.StripStyles &&
         SameXlsNoteFormat(NoteFormat, o.NoteFormat) &&
         SameXlsExtras(Extras, Pictures, o.Extras, o.Pictures);
}

bool TDialogSettings::operator==(const TDialogSettings& o) const {
  return FileName == o.FileName && ShowFile == o.ShowFile && PrintFile == o.PrintFile &&
         ExportType == o.ExportType && OptionsFileName == o.OptionsFileName &&
         GoToFirstRecord == o.GoToFirstRecord && CurrentRecordOnly == o.CurrentRecordOnly &&
         ExportEmpty == o.ExportEmpty && ExportRecCount == o.ExportRecCount &&
         SkipRecCount == o.SkipRecCount && ExportLimited == o.ExportLimited &&
         AllowCaptions == o.AllowCaptions && CaptionRow == o.CaptionRow &&
         SameFormats(Formats, o.Formats) && UserFormats == o.UserFormats &&
         ExportedFields == o.ExportedFields && Captions == o.Captions && Header == o.Header &&
         Footer == o.Footer && RTF == o.RTF && XLS == o.XLS && HTMLPage == o.HTMLPage &&
         HTMLTable == o.HTMLTable && HTMLMultiFile == o.HTMLMultiFile &&
         HTMLMultiFileOn == o.HTMLMultiFileOn && HTMLTemplate == o.HTMLTemplate && XML == o.XML &&
         SQL == o.SQL && TXT == o.TXT && CSV == o.CSV && PDF == o.PDF && JSON == o.JSON &&
         DBF == o.DBF && Encodings == o.Encodings && Parts == o.Parts && Parallel == o.Parallel;
}

namespace {
const char* AlignCellSource(TExportColAlign a) {
  switch (a) {
    case ecaCenter:
      return MVL_TEXT_NOOP("ExportDialog", "По центру");
    case ecaRight:
      return MVL_TEXT_NOOP("ExportDialog", "Вправо");
    default:
      return MVL_TEXT_NOOP("ExportDialog", "Влево");
  }
}
}  // namespace

std::string AlignCellText(TExportColAlign a) {
  return TranslateText("ExportDialog", AlignCellSource(a));
}

const char* AlignFileText(TExportColAlign a) {
  // Options files have always held the centre with this spelling; readers of them compare it.
  return a == ecaCenter ? "По ценру" : AlignCellSource(a);
}

TExportColAlign AlignFromCellText(std::string_view text) {
  text = TrimView(text);
  // A cell typed by hand reads in either language, whichever the interface shows.
  for (TExportColAlign a : {ecaCenter, ecaRight})
    if (text == AlignCellText(a) || text == AlignCellSource(a) || text == AlignFileText(a))
      return a;
  if (SameText(text, "Center")) return ecaCenter;
  if (SameText(text, "Right")) return ecaRight;
  return ecaLeft;
}

int CountFromText(std::string_view text, int previous) {
  int v = 0;
  return pages::WholeNumber(text, v) && v >= 0 ? v : previous;
}

double PDFSpacingFromText(std::string_view text, double recordValue) {
  double v = 0;
  return pages::WholeNumber(text, v) && v >= 0 ? v : recordValue;
}

int PDFFontSizeFromText(std::string_view text) {
  int v = CountFromText(text, 10);
  return v > 0 ? v : 10;
}

std::vector<std::string> UserFormatExamples(TExportColType type, const TFormatSettings& fs) {
  const std::string& sd = fs.ShortDateFormat;
  const std::string& ld = fs.LongDateFormat;
  const std::string& st = fs.ShortTimeFormat;
  const std::string& lt = fs.LongTimeFormat;
  switch (type) {
    case ectInteger:
    case ectBigint:
      return {"#,###,##0", "0"};
    case ectFloat:
      return {"#,###,##0.00", "#,###,##0.000", "#,###,##0.0000", "0.00"};
    case ectCurrency: {
      const std::string& c = fs.CurrencyString;
      switch (fs.CurrencyFormat) {
        case 1:
          return {"00.00" + c};
        case 2:
          return {c + " 00.00"};
        case 3:
          return {"00.00 " + c};
        default:
          return {c + "00.00"};
      }
    }
    case ectDate:
      return {sd, ld};
    case ectTime:
      return {st, lt};
    case ectDateTime:
      return {sd, ld, sd + " " + st, sd + " " + lt, ld + " " + st, ld + " " + lt, st, lt};
    default:
      return {};
  }
}

// Construction: the working copy from the component.

TExportDialogModel::TExportDialogModel(TExportDialog& dialog) : dialog_(dialog) {
  for (const TExportTypeInfo& t : ExportTypeTable())
    if (dialog_.AllowedExports.Has(t.Type)) types_.push_back(t.Type);
  FillFromComponent();
  if (!types_.empty()) {
    s_.ExportType = types_.front();
    ApplyTypeChange();
  }
}

TExportDialogModel::~TExportDialogModel() = default;

TExportColumns& TExportDialogModel::Columns() const {
  return dialog_.Columns();
}

void TExportDialogModel::FillFromComponent() {
  const TExportDialog& d = dialog_;
  TExportColumns& cols = Columns();
  s_.FileName = d.FileName;
  pages::CaptureFile(d, s_);
  s_.OptionsFileName = d.OptionsFileName;
  s_.Parts = d.Parts;
  s_.Parallel = {};
  pages::CopyRunSettings(d, s_);

  SetExportedFields(d.ExportedFields);
  s_.Captions.clear();
  s_.UserFormats.Clear();
  for (int i = 0; i < cols.Count(); ++i) {
    const TExportColumn& c = cols[i];
    s_.Captions.push_back({c.Name, c.Caption, c.ColAlign, c.Width});
    if (IsUserFormatType(c.ColType) && c.AllowFormat && !c.IsDefaultFormat())
      s_.UserFormats.Add(c.Name + "=" + c.Format);
  }
  ResetRTFPage();
  ResetXLSPage();
  s_.HTMLPage = d.HTMLPageOptions;
  s_.HTMLTable = d.HTMLTableOptions;
  s_.HTMLMultiFile = d.HTMLMultiFileOptions;
  s_.HTMLMultiFileOn = d.HTMLMultiFileOptions.FileRecCount > 0;
  // The page's colours are the record's, which no template gave.
  s_.HTMLTemplate = htCustom;
  s_.XML = d.XMLOptions;
  s_.SQL = d.SQLOptions;
  s_.TXT = d.TXTOptions;
  s_.CSV = d.CSVOptions;
  s_.PDF = d.PDFOptions;
  s_.JSON = d.JSONOptions;
  s_.DBF = d.DBFOptions;
}

void TExportDialogModel::ResetRTFPage() {
  const TExportDialog& d = dialog_;
  {
    const TExportRTFOptions& r = d.RTFOptions;
    TRTFPage& p = s_.RTF;
    p.PageOrientation = r.PageOrientation;
    p.StripType = r.StripType;
    p.BaseStyles = {{pages::kRTFBaseStyles[0], r.HeaderStyle},
                    {pages::kRTFBaseStyles[1], r.CaptionStyle},
                    {pages::kRTFBaseStyles[2], r.DataStyle},
                    {pages::kRTFBaseStyles[3], r.FooterStyle}};
    p.StripStyles.clear();
    for (int i = 0; i < r.StripStyles.Count(); ++i)
      p.StripStyles.push_back({"ITEM_" + std::to_string(i + 1), r.StripStyles[i]});
  }
}

void TExportDialogModel::ResetXLSPage() {
  const TExportDialog& d = dialog_;
  {
    const TExportXLSOptions& x = d.XLSOptions;
    TXLSPage& p = s_.XLS;
    p.PageHeader = x.PageHeader;
    p.PageFooter = x.PageFooter;
    p.SheetTitle = x.SheetTitle;
    p.PageBackground = x.PageBackground;
    p.StripType = x.StripType;
    p.AutoCalcColWidth = x.AutoCalcColWidth;
    p.SheetPerTable = x.SheetPerTable;
    p.NoteFormat = x.NoteFormat;
    const TxlsFormat* base[5] = {&x.HeaderFormat, &x.CaptionFormat, &x.AggregateFormat,
                                 &x.FooterFormat, &x.HyperlinkFormat};
    p.BaseFormats.clear();
    for (int i = 0; i < 5; ++i) {
      TNamedXlsFormat& f = p.BaseFormats.emplace_back();
      f.Caption = pages::kXLSBaseFormats[i];
      f.Format.Assign(*base[i]);
    }
    p.FieldFormats.Clear();
    TExportColumns& cols = Columns();
    for (int i = 0; i < cols.Count(); ++i) {
      TxlsFieldFormat& f = p.FieldFormats.Add();
      int own = x.FieldFormats.IndexOf(cols[i].Name);
      if (own >= 0)
        f.Assign(x.FieldFormats[own]);
      else
        f.Assign(x.DataFormat);
      f.FieldName = cols[i].Name;
    }
    MarkXLSFields(true);
    p.StripStyles.clear();
    for (int i = 0; i < x.StripStyles.Count(); ++i) {
      TNamedXlsFormat& f = p.StripStyles.emplace_back();
      f.Caption = "ЭЛЕМЕНТ_" + std::to_string(i + 1);
      f.Format.Assign(x.StripStyles[i]);
    }
    // The component has no extras of its own: the page starts without any.
    p.Extras = TxlsExtras(nullptr);
    p.Pictures = TxlsPictures();
  }
}

void TExportDialogModel::Opened() {
  std::error_code ec;
  if (!dialog_.RememberFileName.empty() && std::filesystem::exists(dialog_.RememberFileName, ec))
    LoadRememberedOptions(dialog_.RememberFileName);
  if (dialog_.AutoLoadOptions && !s_.OptionsFileName.empty()) LoadOptions(s_.OptionsFileName);
  if (dialog_.OnGetHeader) dialog_.OnGetHeader(&dialog_, s_.Header);
  if (dialog_.OnGetFooter) dialog_.OnGetFooter(&dialog_, s_.Footer);
  Changed();
}

void TExportDialogModel::Closing() {
  if (dialog_.AutoSaveOptions && !s_.OptionsFileName.empty()) SaveOptions(s_.OptionsFileName);
  if (!dialog_.RememberFileName.empty()) SaveRememberedOptions(dialog_.RememberFileName);
}

void TExportDialogModel::ResetToDefaults() {
  s_ = TDialogSettings();
  active_ = dpExportType;
  FillFromComponent();
  if (!types_.empty()) s_.ExportType = types_.front();
  ApplyTypeChange();
  Changed();
}

void TExportDialogModel::Changed() {
  if (OnChanged) OnChanged();
}

// Type change.

void TExportDialogModel::SetExportType(TAllowedExport t) {
  // Choosing the type already chosen changes nothing (the grid keeps its edited cells).
  if (t == s_.ExportType || std::find(types_.begin(), types_.end(), t) == types_.end()) return;
  s_.ExportType = t;
  ApplyTypeChange();
  Changed();
}

void TExportDialogModel::ApplyTypeChange() {
  ChangeFileExtToType();
  if (!PageVisible(active_)) active_ = dpExportType;
  FillCaptionCells();
}

void TExportDialogModel::ChangeFileExtToType() {
  const TExportTypeInfo& info = TypeInfo();
  if (dialog_.AutoChangeFileExt && info.WritesFile() && !s_.FileName.empty())
    s_.FileName = ChangeFileExt(s_.FileName, std::string(".") + info.Extension);
}

void TExportDialogModel::FillCaptionCells() {
  TExportColumns& cols = Columns();
  for (TCaptionRow& row : s_.Captions) {
    int i = cols.IndexOfName(row.FieldName);
    if (i < 0) continue;
    row.Align = cols[i].ColAlign;
    row.Width = cols[i].Width;
  }
}

void TExportDialogModel::SetFileName(const std::string& name) {
  s_.FileName = name;
  Changed();
}

std::string TExportDialogModel::Title() const {
  if (s_.FileName.empty()) return TranslateText("ExportDialog", "Диалог экспорта");
  return Format(TranslateText("ExportDialog", "Диалог экспорта -- Экспортировать в [%s]"),
                {FileNameOnly(s_.FileName)});
}

bool TExportDialogModel::StartEnabled() const {
  return !s_.FileName.empty() || !TypeInfo().WritesFile();
}

bool TExportDialogModel::FileControlsEnabled() const {
  return TypeInfo().WritesFile();
}

const char* TExportDialogModel::SaveFilter() const {
  return TypeInfo().Filter;
}

const char* TExportDialogModel::DefaultExt() const {
  return TypeInfo().Extension;
}

bool TExportDialogModel::CaptionRowVisible() const {
  return dialog_.ExportSource == esStringGrid;
}

bool TExportDialogModel::OptionsPageVisible() const {
  return dialog_.CommonOptions.Has(coOptions);
}

bool TExportDialogModel::ToolsVisible() const {
  return dialog_.SaveLoadButtons;
}

// Pages.

bool TExportDialogModel::PageVisible(TDialogPage p) const {
  if (p == dpNone) return false;
  if (p >= dpFields && p <= dpCaptions &&
      !dialog_.CommonOptions.Has(static_cast<TCommonOption>(p - dpFields)))
    return false;
  return TypeInfo().Shows(p);
}

std::vector<TDialogPage> TExportDialogModel::VisiblePages() const {
  std::vector<TDialogPage> pages;
  for (int p = dpExportType; p <= dpPDF; ++p)
    if (PageVisible(static_cast<TDialogPage>(p))) pages.push_back(static_cast<TDialogPage>(p));
  return pages;
}

void TExportDialogModel::SetActivePage(TDialogPage p) {
  if (PageVisible(p)) active_ = p;
}

std::string TExportDialogModel::CaptionsPageTitle() const {
  switch (CaptionLayout()) {
    case clWidth:
      return TranslateText("ExportDialog", "Заголовок && Ширина");
    case clAlign:
      return TranslateText("ExportDialog", "Заголовок && Выравнивание");
    case clAlignWidth:
      return TranslateText("ExportDialog", "Заголовок && Ширина && Выравнивание");
    default:
      return TranslateText("ExportDialog", "Заголовок");
  }
}

// Fields page.

std::vector<std::string> TExportDialogModel::AvailableFields() const {
  std::vector<std::string> out;
  TExportColumns& cols = Columns();
  for (int i = 0; i < cols.Count(); ++i)
    if (!IsExported(cols[i].Name)) out.push_back(cols[i].Name);
  return out;
}

bool TExportDialogModel::IsExported(std::string_view name) const {
  for (const std::string& f : s_.ExportedFields)
    if (SameText(f, name)) return true;
  return false;
}

void TExportDialogModel::MoveToExported(const std::string& name, int position) {
  TExportColumns& cols = Columns();
  int i = cols.IndexOfName(name);
  if (i < 0 || IsExported(name)) return;
  auto& list = s_.ExportedFields;
  if (position < 0 || position > static_cast<int>(list.size()))
    position = static_cast<int>(list.size());
  list.insert(list.begin() + position, cols[i].Name);
  MarkXLSFields(false);
  Changed();
}

void TExportDialogModel::MoveAllToExported() {
  for (const std::string& name : AvailableFields()) s_.ExportedFields.push_back(name);
  MarkXLSFields(false);
  Changed();
}

void TExportDialogModel::MoveBack(const std::string& name) {
  auto& list = s_.ExportedFields;
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const std::string& f) { return SameText(f, name); });
  if (it == list.end()) return;
  list.erase(it);
  MarkXLSFields(false);
  Changed();
}

void TExportDialogModel::MoveAllBack() {
  s_.ExportedFields.clear();
  MarkXLSFields(false);
  Changed();
}

void TExportDialogModel::MoveExported(int from, int to) {
  auto& list = s_.ExportedFields;
  int n = static_cast<int>(list.size());
  if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
  std::string name = list[static_cast<size_t>(from)];
  list.erase(list.begin() + from);
  list.insert(list.begin() + to, name);
  MarkXLSFields(false);
  Changed();
}

// Formats page.

std::vector<std::string> TExportDialogModel::UserFormatFields() const {
  std::vector<std::string> out;
  TExportColumns& cols = Columns();
  for (int i = 0; i < cols.Count(); ++i)
    if (IsUserFormatType(cols[i].ColType)) out.push_back(cols[i].Name);
  return out;
}

std::vector<std::string> TExportDialogModel::UserFormatExamples(const std::string& field) const {
  TExportColumns& cols = Columns();
  int i = cols.IndexOfName(field);
  if (i < 0) return {};
  return morvale::UserFormatExamples(cols[i].ColType, dialog_.FormatSettings());
}

void TExportDialogModel::AddUserFormat(const std::string& field, const std::string& format) {
  if (field.empty()) return;
  // The entry of that field is replaced whatever the case it was typed in.
  int line = s_.UserFormats.IndexOfName(field);
  int column = Columns().IndexOfName(field);
  std::string name = column >= 0 ? Columns()[column].Name : field;
  if (line >= 0)
    s_.UserFormats[line] = name + "=" + format;
  else
    s_.UserFormats.Add(name + "=" + format);
  Changed();
}

void TExportDialogModel::EditUserFormat(int index, const std::string& format) {
  if (index < 0 || index >= s_.UserFormats.Count()) return;
  s_.UserFormats[index] = std::string(TStringList::NamePart(s_.UserFormats[index])) + "=" + format;
  Changed();
}

void TExportDialogModel::DeleteUserFormat(int index) {
  if (index < 0 || index >= s_.UserFormats.Count()) return;
  s_.UserFormats.Delete(index);
  Changed();
}

void TExportDialogModel::ClearUserFormats() {
  s_.UserFormats.Clear();
  Changed();
}

TExport& TExportDialogModel::Exporter(TAllowedExport t) {
  const TExportTypeInfo& info = ExportTypeInfo(t);
  std::unique_ptr<TExport>& slot = exporters_[info.ExporterKey];
  if (!slot) slot = info.Create();
  return *slot;
}

}  // namespace morvale
