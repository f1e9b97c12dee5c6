// Start over several tables: the working copy's settings applied to each table of the component's
// Tables in turn, under one progress window.
#include "export/core/stamp.h"
#include "export/core/translate.h"
#include "export/dialog/model.h"
#include "export/workbook/exportworkbook.h"

namespace morvale {

namespace {

// What the progress window sees of a run over several tables: one run, begun by the first table
// and ended after the last (each table's own end would show the run finished and turn the window's
// button from cancelling into closing), with each table's start between.
class TTablesObserver : public TExportRunObserver, public TTableBatchObserver {
 public:
  TTablesObserver(TExport& e, TExportRunObserver* run, TTableBatchObserver* tables)
      : e_(e), run_(run), tables_(tables) {}

  void Notify(TExportNotify code, int recNo) override {
    if (code == enEndExport || code == enClose) return;
    if (code == enAbortConfirmed) confirmed_ = true;
    if (run_) run_->Notify(code, recNo);
  }
  bool ConfirmAbort() override { return run_ ? run_->ConfirmAbort() : true; }

  void TableStarting(int number, int count, const std::string& table) override {
    if (tables_) tables_->TableStarting(number, count, table);
  }
  void TableDone(int number, int count, const TTableResult& result) override {
    if (tables_) tables_->TableDone(number, count, result);
  }
  // A press of the window's button between two tables (after one run's records, before the next
  // one begins) reached no record loop that would have asked: it is asked here.
  bool StopRequested() override {
    if (confirmed_) return true;
    if (!e_.Aborted()) return false;
    Notify(enAbortRequested, 0);
    confirmed_ = ConfirmAbort();
    Notify(confirmed_ ? enAbortConfirmed : enGoOn, 0);
    return confirmed_;
  }
  // The user confirmed a stop.
  bool Confirmed() const { return confirmed_; }
  void Finished(int records) {
    if (run_ && !confirmed_) run_->Notify(enEndExport, records);
  }

 private:
  TExport& e_;
  TExportRunObserver* run_;
  TTableBatchObserver* tables_;
  bool confirmed_ = false;
};

void ClearSources(TExport& e) {
  e.SetDataSet(nullptr);
  e.SetCustomSource(nullptr);
  e.SetListView(nullptr);
  e.SetDBGrid(nullptr);
  e.SetStringGrid(nullptr);
  e.ExportSource = esDataSet;
}

// The progress window's closing note: how many tables were written, and each one that was not
// with the reason.
std::string Summary(const TTableBatch& batch, bool workbook) {
  const int total = static_cast<int>(batch.Results().size());
  const int written = batch.Count(tsWritten);
  const std::string counts[] = {std::to_string(written), std::to_string(total)};
  std::string note =
      workbook && written > 0
          ? Format(TranslateText("Progress", "Записано таблиц: %s из %s в книгу %s."),
                   {counts[0], counts[1], batch.Results().front().FileName})
          : Format(TranslateText("Progress", "Записано таблиц: %s из %s."), {counts[0], counts[1]});
  if (!batch.OpenError().empty())
    note += " " + Format(TranslateText("Progress", "Книга не открыта: %s."), {batch.OpenError()});
  if (!batch.WorkbookError().empty())
    note +=
        " " + Format(TranslateText("Progress", "Книга не записана: %s."), {batch.WorkbookError()});
  for (const TTableResult& r : batch.Results()) {
    if (r.Status == tsFailed && r.Error != batch.WorkbookError())
      note += " " + Format(TranslateText("Progress", "Не записана %s: %s."), {r.Table, r.Error});
    if (r.Status == tsCancelled)
      note += " " + Format(TranslateText("Progress", "Прервана на таблице %s."), {r.Table});
  }
  if (batch.Stopped() && batch.Count(tsNotRun) > 0)
    note += " " + Format(TranslateText("Progress", "Не начаты: %s."),
                         {std::to_string(batch.Count(tsNotRun))});
  return note;
}

}  // namespace

bool TExportDialogModel::ManyTables() const {
  return dialog_.Tables.size() > 1 && dialog_.OpenTable && TypeInfo().WritesFile();
}

std::string TExportDialogModel::RunTables(TExportRunObserver* observer,
                                          TTableBatchObserver* tables) {
  const TExportTypeInfo& info = TypeInfo();
  TExport& e = Exporter(s_.ExportType);
  TTablesObserver watch(e, observer, tables);
  Wire(e, &watch);
  running_ = &e;
  struct TGuard {
    TExport*& slot;
    TExport& e;
    ~TGuard() {
      slot = nullptr;
      Unwire(e);
      ClearSources(e);
    }
  } guard{running_, e};

  TFileNameFields fields;
  fields.Type = info.Extension;
  fields.Stamp = ExportStamp();
  TTableBatch batch(dialog_.Tables, dialog_.OpenTable, fields, &watch);
  auto* workbook = dynamic_cast<TExportWorkbook*>(&e);
  int records = 0;
  if (workbook && s_.XLS.SheetPerTable) {
    PrepareFor(std::string());
    ClearSources(e);
    batch.RunWorkbook(*workbook, s_.FileName, s_.ExportedFields,
                      [&watch] { return watch.Confirmed(); });
    records = e.RecordCounter;
  } else {
    batch.RunFiles(s_.FileName, [&](const std::string&, TDataSet& ds, const std::string& file) {
      PrepareFor(file);
      ClearSources(e);
      e.SetDataSet(&ds);
      e.ExportedFields.Clear();
      for (const std::string& f :
           s_.ExportedFields.empty() ? PlainFieldsOf(ds) : FieldsOfTable(s_.ExportedFields, ds))
        e.ExportedFields.Add(f);
      // A run over many tables opens none of its files: that would be one window per table.
      if (auto* text = dynamic_cast<TExportText*>(&e)) text->ShowFile = text->PrintFile = false;
      e.Execute();
      records += e.RecordCounter;
      return !(e.Aborted() && watch.Confirmed());
    });
  }
  if (!batch.Stopped()) watch.Finished(records);
  return Summary(batch, workbook && s_.XLS.SheetPerTable);
}

}  // namespace morvale
