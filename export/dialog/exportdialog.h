// The export dialog component: a complete export configuration (source, the types offered, the
// pages shown, the common settings and one option record per format family) and Execute, which
// shows the dialog form on it. The component itself has no window: the form registers itself
// (SetExportDialogForm), so the component and its model run headless in tests and in the
// command line.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/core/columns.h"
#include "export/core/export.h"
#include "export/core/formats.h"
#include "export/dialog/exporttypes.h"
#include "export/dialog/options.h"

namespace morvale {

class TExportDialog;
class TExportDialogModel;

// One start read in ranges over several connections of the source at once, inside one snapshot
// (the command line's --jobs): what the dialog hands the host, which knows the database and the
// query and runs it.
struct TRangeRun {
  TAllowedExport Type = aeCSV;
  std::string OptionsFile;  // the settings of this start, saved for the run
  std::string FileName;     // the file the export writes
  int Connections = 2;
  // The records each part (from 1) has written so far, called as they move.
  std::function<void(int part, int parts, int64_t rows)> PartRows;
  // What the window must say of the run: that it reads the source as one job, and why.
  std::function<void(const std::string& note)> Note;
  // Asked while the run goes: true once the user has chosen to stop it.
  std::function<bool()> Stopped;
};

struct TRangeReads {
  // Why the source cannot be read in ranges into `type` (empty: it can). Unset: not offered.
  std::function<std::string(TAllowedExport type)> Why;
  // Runs the export, serving the event loop meanwhile: true when it finished, false when it was
  // stopped (the previous file kept); raises the run's error.
  std::function<bool(const TRangeRun& run)> Run;
};

using TExportGetColonEvent = std::function<void(TObject* Sender, TStringList& Colon)>;
using TExportEvent = std::function<void(TObject* Sender, TExport* Exporter)>;
using TRecordExportedEvent = std::function<void(TObject* Sender, int RecNo)>;
using TBeforeExportXLSRowEvent =
    std::function<void(TObject* Sender, int Sheet, TExportRow& Row, bool& Accept)>;
using TRecordExportedXLSEvent = std::function<void(TObject* Sender, int Sheet, int RecNo)>;
using TExportStopEvent = std::function<void(TObject* Sender, bool& CanContinue)>;
using TGetExportXLSTextEvent =
    std::function<void(TObject* Sender, int Sheet, int ColNo, std::string& Text)>;

// Shows the form on a model and returns when the user closes it. The Qt form registers one; a
// test registers its own script.
using TExportDialogShow = std::function<void(TExportDialogModel& model)>;
void SetExportDialogForm(TExportDialogShow show);
const TExportDialogShow& ExportDialogForm();

class TExportDialog : public TComponent {
 public:
  TExportDialog();
  ~TExportDialog() override;

  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  // Source. The references are weak: a referenced component that is destroyed clears itself.
  TExportSource ExportSource = esDataSet;
  TDataSet* DataSet() const { return src_.DataSet; }
  TCustomSource* CustomSource() const { return src_.CustomSource; }
  TListView* ListView() const { return src_.ListView; }
  TDBGrid* DBGrid() const { return src_.DBGrid; }
  TStringGrid* StringGrid() const { return src_.StringGrid; }
  void SetDataSet(TDataSet* v);
  void SetCustomSource(TCustomSource* v);
  void SetListView(TListView* v);
  void SetDBGrid(TDBGrid* v);
  void SetStringGrid(TStringGrid* v);

  TAllowedExports AllowedExports = TAllowedExports::All();
  TCommonOptions CommonOptions = TCommonOptions::All();
  bool AutoChangeFileExt = true;
  bool ConfirmAbort = true;  // kept with the component; the abort question is always asked
  bool OnlyVisibleFields = false;
  bool AutoCalcStrType = false;
  std::string OptionsFileName;
  bool AutoSaveOptions = false;
  bool AutoLoadOptions = false;
  bool SaveLoadButtons = false;
  // Beyond the classic component: an options file in which the form keeps every setting of every
  // type when it closes and from which it starts the next time (also in a later run); empty keeps
  // nothing.
  std::string RememberFileName;
  std::string FileName;
  bool ShowFile = true;
  bool PrintFile = false;
  TStringList ExportedFields, Header, Captions, Footer, UserFormats, ColumnsWidth, ColumnsAlign;
  bool AllowCaptions = true;
  int CaptionRow = -1;
  TExportFormats Formats;
  bool CurrentRecordOnly = false;
  bool ExportEmpty = true;
  bool GoToFirstRecord = true;
  int ExportRecCount = 0;
  int SkipRecCount = 0;
  // Split and compressed output of the text types (the group "Части и сжатие").
  TOutputParts Parts;

  TExportRTFOptions RTFOptions{this};
  TExportXMLOptions XMLOptions{this};
  TExportSQLOptions SQLOptions{this};
  TExportHTMLPageOptions HTMLPageOptions{this};
  TExportHTMLTableOptions HTMLTableOptions{this};
  TExportHTMLMultiFileOptions HTMLMultiFileOptions{this};
  TExportTXTOptions TXTOptions{this};
  TExportCSVOptions CSVOptions{this};
  TExportJSONOptions JSONOptions{this};
  TExportDBFOptions DBFOptions{this};
  TExportPDFOptions PDFOptions{this};
  TExportXLSOptions XLSOptions{this};

  // The table the source shows, for ${table} in the file name; empty for a query. Not stored.
  std::string TableName;
  // Several tables exported in one run with the settings the form shows for the source (the
  // first of them): their names, and how each is opened (TExportDialogModel::RunTables). Fewer
  // than two: the source alone. Not stored.
  std::vector<std::string> Tables;
  std::function<std::unique_ptr<TDataSet>(const std::string& table)> OpenTable;
  // Reading the source in ranges ("Параллельное чтение"), offered when the host sets it. Not
  // stored.
  TRangeReads RangeReads;

  TExportGetColonEvent OnGetHeader, OnGetFooter;
  TExportEvent OnBeginExport, OnEndExport;
  TRecordExportedEvent OnFetchedRecord, OnSkippedRecord, OnExportedRecord;
  TBeforeExportRowEvent OnBeforeExportRow;
  TBeforeExportXLSRowEvent OnBeforeExportXLSRow;
  TRecordExportedXLSEvent OnExportedRecordXLS;
  TExportStopEvent OnStopExport;
  TGetExportTextEvent OnGetExportText;
  TGetExportXLSTextEvent OnGetExportXLSText;

  // Checks the source and the allowed types, rebuilds the columns, then shows the form (the one
  // registered, or `show` when given) on a new model and returns when it is closed.
  void Execute(const TExportDialogShow& show = {});

  // The steps of Execute before the form, for callers that drive the model themselves (the
  // command line): "Источник данных (%s) не определен", "Свойство AllowedExports должно быть
  // определено".
  void CheckSource() const;
  // Clears and refills Columns() from the source, binary and memo fields included.
  void RebuildColumns();
  TExportColumns& Columns();

  // The source kind and references, as an exporter takes them.
  TSourceRef SourceRef() const;
  const TFormatSettings& FormatSettings() const;

 protected:
  void Notification(TComponent* component) override;

 private:
  template <class T>
  void Reference(T*& slot, T* v);
  class THolder;
  TSourceRef src_;
  std::unique_ptr<THolder> holder_;  // the columns' owner: an exporter with the dialog's settings
};

}  // namespace morvale
