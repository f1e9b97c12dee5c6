#include "export/dialog/tablebatch.h"

#include <utility>

#include "export/workbook/exportworkbook.h"

namespace morvale {

std::vector<std::string> FieldsOfTable(const std::vector<std::string>& chosen, const TDataSet& ds) {
  std::vector<std::string> fields;
  for (const std::string& name : chosen)
    if (const TField* f = ds.FindField(name)) fields.push_back(f->FieldName);
  if (!chosen.empty() && fields.empty()) {
    std::string list;
    for (const std::string& name : chosen) list += (list.empty() ? "" : ", ") + name;
    throw Exception(Format("The table has none of the fields chosen for export: %s", {list}));
  }
  return fields;
}

std::vector<std::string> PlainFieldsOf(const TDataSet& ds) {
  std::vector<std::string> fields;
  for (int i = 0; i < ds.FieldCount(); ++i)
    if (!ds.Fields(i).IsBlob()) fields.push_back(ds.Fields(i).FieldName);
  return fields;
}

TTableBatch::TTableBatch(std::vector<std::string> tables, TTableOpener open, TFileNameFields fields,
                         TTableBatchObserver* observer)
    : tables_(std::move(tables)),
      open_(std::move(open)),
      fields_(std::move(fields)),
      observer_(observer) {
  for (const std::string& t : tables_) results_.push_back({t, {}, tsNotRun, {}});
}

std::string TTableBatch::FileNameFor(const std::string& pattern, size_t index) const {
  TFileNameFields f = fields_;
  f.Table = tables_[index];
  f.Number = static_cast<int>(index) + 1;
  f.Count = static_cast<int>(tables_.size());
  return ExpandFileNamePattern(pattern, f);
}

std::string TTableBatch::UniqueFileName(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot <= start) dot = name.size();
  std::string candidate = name;
  for (int n = 2; taken_.count(candidate) > 0; ++n)
    candidate = name.substr(0, dot) + " (" + std::to_string(n) + ")" + name.substr(dot);
  taken_.insert(candidate);
  return candidate;
}

void TTableBatch::Finish(size_t index, TTableResult& result) {
  if (observer_)
    observer_->TableDone(static_cast<int>(index) + 1, static_cast<int>(tables_.size()), result);
}

bool TTableBatch::Starting(size_t index) {
  if (!observer_) return false;
  observer_->TableStarting(static_cast<int>(index) + 1, static_cast<int>(tables_.size()),
                           tables_[index]);
  stopped_ = observer_->StopRequested();
  return stopped_;
}

void TTableBatch::RunFiles(const std::string& pattern, const TRunTable& run) {
  // A pattern that cannot be expanded fails the run before anything is opened.
  if (!tables_.empty()) FileNameFor(pattern, 0);
  for (size_t i = 0; i < tables_.size(); ++i) {
    TTableResult& r = results_[i];
    // Asked after the table is shown: a stop pressed while it showed (or between two tables,
    // where no record loop asks) is seen before the next export starts and forgets it.
    if (Starting(i)) return;
    try {
      r.FileName = UniqueFileName(FileNameFor(pattern, i));
      std::unique_ptr<TDataSet> ds = open_(r.Table);
      r.Status = run(r.Table, *ds, r.FileName) ? tsWritten : tsCancelled;
    } catch (const std::exception& e) {
      r.Status = tsFailed;
      r.Error = e.what();
    }
    Finish(i, r);
    if (r.Status == tsCancelled) {
      stopped_ = true;
      return;
    }
  }
}

void TTableBatch::RunWorkbook(TExportWorkbook& x, const std::string& pattern,
                              const std::vector<std::string>& chosen,
                              const std::function<bool()>& stopped) {
  // ${n} of a workbook that holds every table is 1, and ${table} the first table.
  TFileNameFields first = fields_;
  if (!tables_.empty()) first.Table = tables_[0];
  const std::string fileName = ExpandFileNamePattern(pattern, first);
  for (TTableResult& r : results_) r.FileName = fileName;

  struct TRestore {
    TExportWorkbook& x;
    ~TRestore() {
      x.OnOpenSheet = nullptr;
      x.OnCloseSheet = nullptr;
      x.Sheets.Clear();
    }
  } restore{x};
  x.Sheets.Clear();
  for (const std::string& table : tables_) {
    TxlsSheet& sheet = x.Sheets.Add();
    sheet.TakeSettings(x, x);
    sheet.Title = table;  // made a valid, unique sheet name when it is written
  }
  const int count = static_cast<int>(tables_.size());
  std::unique_ptr<TDataSet> ds;
  int sheets = 0;
  x.OnOpenSheet = [&](TxlsSheet& sheet, int i) {
    TTableResult& r = results_[static_cast<size_t>(i)];
    if (stopped() || Starting(static_cast<size_t>(i))) {
      stopped_ = true;
      return TExportWorkbook::soStop;
    }
    try {
      ds = open_(r.Table);
      sheet.ExportedFields.Clear();
      for (const std::string& f : FieldsOfTable(chosen, *ds)) sheet.ExportedFields.Add(f);
      sheet.ExportSource = esDataSet;
      sheet.SetDataSet(ds.get());
      x.CheckSheet(sheet);
      return TExportWorkbook::soWrite;
    } catch (const std::exception& e) {
      sheet.SetDataSet(nullptr);
      ds.reset();
      r.Status = tsFailed;
      r.Error = e.what();
      Finish(static_cast<size_t>(i), r);
      // A workbook none of whose tables could be read is not finished as an empty one.
      return i == count - 1 && sheets == 0 ? TExportWorkbook::soStop : TExportWorkbook::soSkip;
    }
  };
  x.OnCloseSheet = [&](TxlsSheet& sheet, int i) {
    sheet.SetDataSet(nullptr);
    ds.reset();
    TTableResult& r = results_[static_cast<size_t>(i)];
    r.Records = sheet.RecordCounter;
    r.Status = stopped() ? tsCancelled : tsWritten;
    if (r.Status == tsCancelled) stopped_ = true;
    ++sheets;
    Finish(static_cast<size_t>(i), r);
  };
  x.FileName = fileName;
  std::string& error = workbookError_;
  // The workbook is opened or printed once it is written, apart: a viewer that cannot be started
  // does not unwrite its sheets.
  const bool show = std::exchange(x.ShowFile, false), print = std::exchange(x.PrintFile, false);
  try {
    x.Execute();
  } catch (const std::exception& e) {
    error = e.what();
  }
  x.ShowFile = show;
  x.PrintFile = print;
  if (error.empty()) {
    try {
      x.AfterExecute();
    } catch (const std::exception& e) {
      openError_ = e.what();
    }
  }
  // The sheets are only as good as the workbook that holds them.
  for (TTableResult& r : results_) {
    if (r.Status != tsWritten) continue;
    if (!error.empty()) {
      r.Status = tsFailed;
      r.Error = error;
    } else if (stopped_ || x.Aborted()) {
      r.Status = tsCancelled;
    }
  }
  if (x.Aborted()) stopped_ = stopped_ || sheets > 0;
}

std::vector<std::string> TTableBatch::FailedTables() const {
  std::vector<std::string> out;
  for (const TTableResult& r : results_)
    if (r.Status == tsFailed) out.push_back(r.Table);
  return out;
}

int TTableBatch::Count(TTableStatus status) const {
  int n = 0;
  for (const TTableResult& r : results_) n += r.Status == status;
  return n;
}

}  // namespace morvale
