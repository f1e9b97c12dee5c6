// The dialog form's model: the working copy of every setting the form shows, filled from the
// component when the form is made and read back only into an exporter on Start (the component's
// properties are not changed), and every behaviour of the form that is not drawing: the type
// change and the pages it shows, the fields page's moves, the user formats, the style lists of
// the RTF and spreadsheet pages, Start, and the options and style files. The Qt form binds its
// controls to Settings() and calls these operations; after editing Settings() directly it calls
// Changed() so that other views follow.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "export/core/export.h"
#include "export/core/translate.h"
#include "export/dialog/exportdialog.h"
#include "export/dialog/exporttypes.h"
#include "export/dialog/options.h"
#include "export/dialog/tablebatch.h"
#include "export/text/htmloptions.h"
#include "export/workbook/items.h"

namespace morvale {

// One row of the captions grid.
struct TCaptionRow {
  std::string FieldName;
  std::string Caption;
  TExportColAlign Align = ecaLeft;  // shown as "Влево", "По центру", "Вправо"
  int Width = 0;                    // characters, 0 to 1000
  bool operator==(const TCaptionRow&) const = default;
};

// A style of the RTF page's lists with the caption it is shown and saved under.
struct TNamedRtfStyle {
  std::string Caption;
  TrtfStyle Style;
  bool operator==(const TNamedRtfStyle&) const = default;
};

struct TRTFPage {
  TExportPageOrientation PageOrientation = poPortrait;
  TrtfStripType StripType = stNone;
  // "HEADER", "CAPTION", "DATA", "FOOTER", in this order.
  std::vector<TNamedRtfStyle> BaseStyles;
  std::vector<TNamedRtfStyle> StripStyles;  // "ITEM_1", ...
  bool operator==(const TRTFPage&) const = default;
};

// A format of the spreadsheet page's lists with its caption.
struct TNamedXlsFormat {
  std::string Caption;
  TxlsFormat Format;
  bool operator==(const TNamedXlsFormat& o) const {
    return Caption == o.Caption && SameXlsFormat(Format, o.Format);
  }
};

struct TXLSPage {
  std::string PageHeader, PageFooter, SheetTitle, PageBackground;
  TxlsStripType StripType = ssNone;
  bool AutoCalcColWidth = false;
  bool SheetPerTable = false;  // a run over several tables writes one workbook, a sheet each
  // "ШАПКА", "ЗАГОЛОВКИ", "ФУНКЦИИ", "ПОДВАЛ", "HYPERLINK": header, captions, aggregates,
  // footer, hyperlinks.
  std::vector<TNamedXlsFormat> BaseFormats;
  TxlsFieldFormats FieldFormats;  // one per column, in column order
  // The field list's mark of each field format: its column is exported (not compared, as it
  // follows the fields page).
  std::vector<bool> FieldExported;
  std::vector<TNamedXlsFormat> StripStyles;  // "ЭЛЕМЕНТ_1", ...
  TxlsNoteFormat NoteFormat;
  // Notes, hyperlinks, charts, images, extra cells and merged ranges of the sheet, and the
  // pictures its images show: kept as the options file gives them, into the exporter at Start.
  // The background picture is PageBackground.
  TxlsExtras Extras{nullptr};
  TxlsPictures Pictures;
  bool operator==(const TXLSPage& o) const;
};

// "Параллельное чтение": the source read in ranges over this many connections at once.
struct TParallelReading {
  bool On = false;
  int Connections = 4;
  static constexpr int kMinConnections = 2, kMaxConnections = 64;
  bool operator==(const TParallelReading&) const = default;
};

// Everything the form shows, as values.
struct TDialogSettings {
  std::string FileName;
  bool ShowFile = true;
  bool PrintFile = false;
  TAllowedExport ExportType = aeXLS;
  std::string OptionsFileName;
  // Run constraints.
  bool GoToFirstRecord = true;
  bool CurrentRecordOnly = false;
  bool ExportEmpty = true;
  int ExportRecCount = 0;
  int SkipRecCount = 0;
  bool ExportLimited = false;  // "Экспортировать только": on when ExportRecCount is above 0
  bool AllowCaptions = true;
  int CaptionRow = -1;
  TExportFormats Formats;
  TStringList UserFormats;                  // NAME=format
  std::vector<std::string> ExportedFields;  // in the user's order
  std::vector<TCaptionRow> Captions;        // one row per column, in column order
  TStringList Header, Footer;
  // The format pages.
  TRTFPage RTF;
  TXLSPage XLS;
  TExportHTMLPageOptions HTMLPage;
  TExportHTMLTableOptions HTMLTable;
  TExportHTMLMultiFileOptions HTMLMultiFile;
  bool HTMLMultiFileOn = false;  // records per file are used only with this switch
  THTMLTemplate HTMLTemplate = htCustom;
  TExportXMLOptions XML;
  TExportSQLOptions SQL;
  TExportTXTOptions TXT;
  TExportCSVOptions CSV;
  TExportPDFOptions PDF;
  TExportJSONOptions JSON;
  TExportDBFOptions DBF;
  // The output encoding of each text type (TextEncodingSection), by type ordinal; the others'
  // entries are unused.
  std::array<TTextEncoding, aeMarkdown + 1> Encodings{};
  // Parts and compression, for the types that write text (WritesTextParts).
  TOutputParts Parts;
  TParallelReading Parallel;
  TTextEncoding& EncodingOf(TAllowedExport t) { return Encodings.at(static_cast<size_t>(t)); }
  TTextEncoding EncodingOf(TAllowedExport t) const { return Encodings.at(static_cast<size_t>(t)); }

  bool operator==(const TDialogSettings& o) const;
};

bool SameFormats(const TExportFormats& a, const TExportFormats& b);

// Codes of the progress notifications, in the order of the progress window's messages.
enum TExportNotify : int {
  enBeginExport = 1,
  enFetchedRecord,
  enSkippedRecord,
  enExportedRecord,
  enAbortRequested,
  enGoOn,
  enAbortConfirmed,
  enEndExport,
  enClose
};

// What Start reports while the exporter runs; the form's progress window implements it and lets
// the event loop run in Notify, so that its button can call Abort.
class TExportRunObserver {
 public:
  virtual ~TExportRunObserver() = default;
  virtual void Notify(TExportNotify code, int recNo) = 0;
  // Asked after an abort request: "Вы действительно хотите прервать процесс экспорта?" (Yes
  // stops). The default stops.
  virtual bool ConfirmAbort() { return true; }
  // A run read in ranges: the records part `part` of `parts` has written so far, and what the
  // window must say of the run (it reads as one job, and why).
  virtual void PartRows(int, int, int64_t) {}
  virtual void RunNote(const std::string&) {}
};

// The file dialogs' filters and default extensions of the three files the dialog keeps.
constexpr const char* kOptionsFileFilter =
    MVL_TEXT_NOOP("Filters", "Configuration files (*.cfg)|*.cfg|All files (*.*)|*.*");
constexpr const char* kOptionsFileExt = "cfg";
constexpr const char* kRTFStyleFileFilter =
    MVL_TEXT_NOOP("Filters", "RTF style file (*.rst)|*.rst|All files (*.*)|*.*");
constexpr const char* kRTFStyleFileExt = "rst";
constexpr const char* kXLSStyleFileFilter =
    MVL_TEXT_NOOP("Filters", "Excel style file (*.xst)|*.xst|All files (*.*)|*.*");
constexpr const char* kXLSStyleFileExt = "xst";

// The three format lists of the spreadsheet page: "Поля", "Опции", "Стили".
enum TXLSFormatList : int { xflFields, xflBase, xflStrips };
// Which strip-style buttons can be used.
struct TXLSStripButtons {
  bool Delete = false, Up = false, Down = false, Save = false;
};
constexpr const char* kXLSResetAllTitle = MVL_TEXT_NOOP("ExportDialog", "Внимание!");
constexpr const char* kXLSResetAllQuestion = MVL_TEXT_NOOP(
    "ExportDialog", "Все настройки форматирования колонок будут сброшены\r\nХотите продолжить?");

// Alignment cells as shown: "Влево", "По центру", "Вправо" (or their translations, which read
// back too); the text of any other value is left.
std::string AlignCellText(TExportColAlign a);
// The same as an options file's [ALIGN] section holds it, whatever the interface's language:
// "Влево", "По ценру" (the spelling files have always had), "Вправо".
const char* AlignFileText(TExportColAlign a);
// The shown texts, and "Left", "Center", "Right" as well; anything else is left.
TExportColAlign AlignFromCellText(std::string_view text);

// Number fields of the form. A record count that is not a number leaves the value as it was; a
// PDF spacing or grid width that is not a number takes the option record's value; a PDF font size
// that is not a number becomes 10. Each returns the value to show.
int CountFromText(std::string_view text, int previous);
double PDFSpacingFromText(std::string_view text, double recordValue);
int PDFFontSizeFromText(std::string_view text);

// The example formats offered for a column type, the first to be selected first.
std::vector<std::string> UserFormatExamples(TExportColType type, const TFormatSettings& fs);

class TExportDialogModel {
 public:
  // Creating the form: the working copy from the component and its columns (which the
  // component's Execute rebuilt), the type list and the first type.
  explicit TExportDialogModel(TExportDialog& dialog);
  ~TExportDialogModel();
  TExportDialogModel(const TExportDialogModel&) = delete;
  TExportDialogModel& operator=(const TExportDialogModel&) = delete;

  // The form is shown: loads the options file with AutoLoadOptions, then raises OnGetHeader and
  // OnGetFooter with the header and footer lines.
  void Opened();
  // The form closes: saves the options file with AutoSaveOptions, and the remembered settings.
  void Closing();
  // "Сбросить": every setting back to the component's values and the first type, as a new form
  // starts without remembered settings.
  void ResetToDefaults();

  TExportDialog& Dialog() const { return dialog_; }
  TExportColumns& Columns() const;
  TDialogSettings& Settings() { return s_; }
  const TDialogSettings& Settings() const { return s_; }
  // Called after every change; the form refreshes its controls from Settings().
  std::function<void()> OnChanged;
  void Changed();

  // The type list: the allowed types in ordinal order.
  const std::vector<TAllowedExport>& TypeList() const { return types_; }
  const TExportTypeInfo& TypeInfo() const { return ExportTypeInfo(s_.ExportType); }
  // The type change: extension, pages, the page in front, the captions grid's alignment and
  // width cells from the columns. A type that is not in the list, or the current one, is ignored.
  void SetExportType(TAllowedExport t);
  // The file name, and the title and the start button that follow it.
  void SetFileName(const std::string& name);
  std::string Title() const;  // "Диалог экспорта -- Экспортировать в [name]"
  bool StartEnabled() const;
  bool FileControlsEnabled() const;  // off for a type that writes no file
  const char* SaveFilter() const;
  const char* DefaultExt() const;
  bool CaptionRowVisible() const;   // for a string-grid source
  bool OptionsPageVisible() const;  // the run constraints sub-page: coOptions
  bool ToolsVisible() const;        // SaveLoadButtons

  // Pages.
  bool PageVisible(TDialogPage p) const;
  std::vector<TDialogPage> VisiblePages() const;
  TDialogPage ActivePage() const { return active_; }
  void SetActivePage(TDialogPage p);
  // The captions grid's columns and the page's title ("Заголовок & Ширина & Выравнивание").
  TCaptionLayout CaptionLayout() const { return TypeInfo().Captions; }
  std::string CaptionsPageTitle() const;

  // Fields page. The available list is every column not exported, in column order, so a field
  // moved back returns to its former place.
  std::vector<std::string> AvailableFields() const;
  bool IsExported(std::string_view name) const;
  void MoveToExported(const std::string& name, int position = -1);  // -1: at the end
  void MoveAllToExported();
  void MoveBack(const std::string& name);
  void MoveAllBack();
  void MoveExported(int from, int to);  // a drag within the exported list
  // The exported list becomes the names that are columns, in their order; others are skipped.
  template <class Names>
  void SetExportedFields(const Names& names) {
    s_.ExportedFields.clear();
    for (const std::string& name : names) MoveToExported(name);
  }

  // Formats page.
  std::vector<std::string> UserFormatFields() const;  // columns of types integer to date-time
  std::vector<std::string> UserFormatExamples(const std::string& field) const;
  void AddUserFormat(const std::string& field, const std::string& format);  // replaces
  void EditUserFormat(int index, const std::string& format);
  void DeleteUserFormat(int index);
  void ClearUserFormats();

  // RTF page lists. Index -1 stands for no selection.
  void AddRTFStripStyle();
  int DeleteRTFStripStyle(int index);  // the new selection
  void MoveRTFStripStyle(int index, int delta);
  // The reset button: "CAPTION" to the caption defaults, any other style to the style defaults.
  void ResetRTFBaseStyle(int index);
  void ResetRTFStripStyle(int index);
  // Reset all: every base and strip style as the reset button does.
  void ResetAllRTFStyles();

  // The RTF and spreadsheet pages back to the component's records (styles, formats, lists).
  void ResetRTFPage();
  void ResetXLSPage();

  // Spreadsheet page lists. Selections are entry indexes; `focused` is -1 for none.
  std::vector<TxlsFormat*> XLSFormats(TXLSFormatList list);
  std::vector<std::string> XLSFormatCaptions(TXLSFormatList list) const;
  bool XLSFieldExported(int index) const;
  // After the editor changed the selected entries of a list: the hyperlinks of the extras take
  // the "HYPERLINK" format when it is the first one selected.
  void XLSFormatsEdited(TXLSFormatList list, const std::vector<int>& selected);
  // "Сбросить": the selected entries back to the format defaults, "ЗАГОЛОВКИ" with a bold font.
  void ResetXLSFormats(TXLSFormatList list, const std::vector<int>& selected);
  // "Сбросить все": every entry of the list, as "Сбросить" does; the focused entry stays the
  // one selected, so the hyperlinks follow when it is "HYPERLINK".
  void ResetAllXLSFormats(TXLSFormatList list, int focused);
  // Every hyperlink of the extras takes the "HYPERLINK" format.
  void XLSHyperlinksFollowFormat();
  // Add returns the new entry; delete removes the selected entries and returns the entry to
  // select then (the one now at the focused position, or the last; -1 for none); a move swaps
  // the formats of two neighbours, the captions staying, and returns where the format went.
  int AddXLSStripStyle();
  int DeleteXLSStripStyles(const std::vector<int>& selected, int focused);
  int MoveXLSStripStyle(int index, int delta);
  TXLSStripButtons XLSStripButtons(int focused, int selectedCount) const;

  // HTML page: a template other than htCustom takes that template's colours.
  void SetHTMLTemplate(THTMLTemplate t);

  // PDF page: the page's format, orientation and units (sizes follow as on the page).
  void SetPDFPageFormat(TExportPageFormat f);
  void SetPDFOrientation(TExportPageOrientation o);
  void SetPDFUnits(TExportUnits u);

  // Options file and style files. Load failures of single values fall back to defaults; a file
  // that cannot be read loads as an empty one.
  void SaveOptions(const std::string& fileName);
  void LoadOptions(const std::string& fileName);
  // The remembered settings (the component's RememberFileName): an options file of the chosen
  // type, as SaveOptions writes it but with the common pages always, and with every other
  // allowed type's own sections as well, so that each type finds its page as it was left. Loading
  // keeps the file name the host suggested, with the remembered type's extension.
  void SaveRememberedOptions(const std::string& fileName);
  void LoadRememberedOptions(const std::string& fileName);
  void SaveRTFStyles(const std::string& fileName) const;
  void LoadRTFStyles(const std::string& fileName);
  void SaveXLSStyles(const std::string& fileName) const;
  void LoadXLSStyles(const std::string& fileName);

  // Start: the exporter of the chosen type prepared with the working copy (steps 1 to 4); then
  // its run with the component's events and the observer's notifications. Errors of the run
  // reach the caller.
  // The file name may be a pattern (export/core/namepattern.h): ${table} is the component's
  // TableName.
  TExport& PrepareExporter();
  void RunExporter(TExport& exporter, TExportRunObserver* observer = nullptr);
  // Start over the component's Tables (more than one, and OpenTable set): each table is opened in
  // turn and exported with the working copy's settings, keyed by field name where the table has
  // the field, into a file of its own named by the file name as a pattern (${table} and ${n} tell
  // the tables apart; the dialog suggests "${table}"), or with the spreadsheet page's
  // SheetPerTable into one workbook, a sheet each. A table that fails is named and the others are
  // still written; the observers see one run (one begin, one end) and each table's start. Files
  // are neither opened nor printed, but the one workbook. Returns the progress window's closing
  // note.
  bool ManyTables() const;
  // Why this start cannot read the source in ranges, as the common page shows it; empty when it
  // can. RangeReadsOffered: the host runs such reads at all.
  bool RangeReadsOffered() const { return static_cast<bool>(dialog_.RangeReads.Run); }
  std::string RangeReadsWhy() const;
  // "Параллельное чтение" is on and this start can read in ranges: RunExporter hands the run to
  // the host.
  bool RangeReadsOn() const { return s_.Parallel.On && RangeReadsWhy().empty(); }
  // The handlers a start set on an exporter, dropped: its run is over.
  static void Unwire(TExport& e);
  std::string RunTables(TExportRunObserver* observer, TTableBatchObserver* tables = nullptr);
  void Start(TExportRunObserver* observer = nullptr);
  // The exporter that runs now, or nullptr; Abort asks it to stop before the next record.
  TExport* Running() const { return running_; }
  void Abort();
  // The form's exporter for a type, made on first use and reused across starts.
  TExport& Exporter(TAllowedExport t);

  // The page values of an exporter configured by other means, into the working copy (the
  // command line saves what its flags set).
  void CaptureExporter(const TExport& exporter);

 private:
  void FillFromComponent();
  void ApplyTypeChange();
  void ChangeFileExtToType();
  void WriteOptions(const std::string& fileName, bool everyType);
  void WriteTypeSections(TAllowedExport t, TIniFile& ini) const;
  void ReadTypeSections(TAllowedExport t, const TIniFile& ini);
  void FillCaptionCells();
  void MarkXLSFields(bool creating);
  void ResetEach(TXLSFormatList list, const std::vector<int>& selected);
  void Wire(TExport& e, TExportRunObserver* observer);
  // Start's steps 2 to 4 with the file the run writes.
  TExport& PrepareFor(const std::string& fileName);
  void RunRanges(TExport& e, TExportRunObserver* observer);
  std::string StartFileName();

  TExportDialog& dialog_;
  TDialogSettings s_;
  std::vector<TAllowedExport> types_;
  TDialogPage active_ = dpExportType;
  std::map<std::string, std::unique_ptr<TExport>> exporters_;
  TExport* running_ = nullptr;
};

// Colour text of the options file: a name when the colour has one, otherwise "$" and eight
// upper-case hexadecimal digits; reading takes a name, "$" and hexadecimal, or a decimal number.
std::string ColorText(TColor c);
bool ColorFromText(std::string_view text, TColor& c);
// Characters of the options file: themselves, or "#" and the decimal code below 33.
std::string CharText(char c);
char CharFromText(std::string_view text);

}  // namespace morvale
