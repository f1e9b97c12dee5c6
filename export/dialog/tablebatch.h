// A run over several tables with one set of settings, for the command line's --tables and the
// export dialog's multiple selection: each table is opened in turn, exported and closed, so one
// result is read at a time; a table that fails is named and the others are still written. The
// tables go to one file each, named from a pattern (export/core/namepattern.h), or to one workbook
// with a sheet each.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export/core/dataset.h"
#include "export/core/namepattern.h"

namespace morvale {

class TExportWorkbook;

// Opens a table for export: the query of the whole table, on its first record. Raises the
// engine's message when the table cannot be read.
using TTableOpener = std::function<std::unique_ptr<TDataSet>(const std::string& table)>;

enum TTableStatus {
  tsWritten,
  tsFailed,     // Error says why
  tsCancelled,  // stopped by the user while it was written: its file is not complete
  tsNotRun      // the run stopped before it
};

struct TTableResult {
  std::string Table;
  std::string FileName;  // its file; for a workbook, the workbook
  TTableStatus Status = tsNotRun;
  std::string Error;
  long Records = -1;  // the records its sheet counted, in a workbook of one sheet per table
};

// What a run tells while it goes, and asks between tables.
class TTableBatchObserver {
 public:
  virtual ~TTableBatchObserver() = default;
  // Before table `number` (from 1) of `count` is opened.
  virtual void TableStarting(int number, int count, const std::string& table) = 0;
  virtual void TableDone(int number, int count, const TTableResult& result) = 0;
  // Asked as each table starts, after TableStarting: true stops the run there.
  virtual bool StopRequested() { return false; }
};

// The fields of `ds` a run over several tables exports when `chosen` were chosen (on another
// table): those the table has, in the chosen order and spelled as the table spells them, found
// without regard to case. Nothing chosen gives nothing (the exporter's own default then: every
// field but the binary and memo ones). Raises an Exception when fields were chosen and the table
// has none of them: an export of none of the wanted columns is no export.
std::vector<std::string> FieldsOfTable(const std::vector<std::string>& chosen, const TDataSet& ds);
// Every field of `ds` but the binary and memo ones, in their order.
std::vector<std::string> PlainFieldsOf(const TDataSet& ds);

class TTableBatch {
 public:
  // `fields` carries the type's extension and the moment of the run; the table and its number
  // are filled in for each table.
  TTableBatch(std::vector<std::string> tables, TTableOpener open, TFileNameFields fields,
              TTableBatchObserver* observer = nullptr);

  // Runs one table: the open table and the file it goes to. Returns false when the user
  // stopped it; raises what made it fail.
  using TRunTable =
      std::function<bool(const std::string& table, TDataSet& ds, const std::string& fileName)>;
  // One file per table, named by `pattern` ("${table}.${type}"). Two tables whose names come out
  // alike get "name (2).ext" and so on, so that no file of the run overwrites another.
  void RunFiles(const std::string& pattern, const TRunTable& run);

  // One workbook of `exporter`'s type, a sheet per table named after it, each sheet taking the
  // exporter's own settings with the fields `chosen` as FieldsOfTable finds them. `fileName` is
  // expanded with the first table. `stop` answers whether the user stopped the table being
  // written (its workbook is then left unfinished).
  void RunWorkbook(TExportWorkbook& exporter, const std::string& fileName,
                   const std::vector<std::string>& chosen, const std::function<bool()>& stopped);

  const std::vector<TTableResult>& Results() const { return results_; }
  // Tables that failed, in the run's order.
  std::vector<std::string> FailedTables() const;
  int Count(TTableStatus status) const;
  // The user stopped the run.
  bool Stopped() const { return stopped_; }
  // Why the workbook of RunWorkbook could not be written (its tables are failed with it); empty
  // when it was, or for a run of files.
  const std::string& WorkbookError() const { return workbookError_; }
  // Why the written workbook could not be opened or printed as asked; empty when it was.
  const std::string& OpenError() const { return openError_; }

 private:
  std::string UniqueFileName(const std::string& name);
  std::string FileNameFor(const std::string& pattern, size_t index) const;
  void Finish(size_t index, TTableResult& result);
  // Shows the table starting; true when the user stopped the run there.
  bool Starting(size_t index);

  std::vector<std::string> tables_;
  TTableOpener open_;
  TFileNameFields fields_;
  TTableBatchObserver* observer_;
  std::vector<TTableResult> results_;
  std::set<std::string> taken_;
  bool stopped_ = false;
  std::string workbookError_;
  std::string openError_;
};

}  // namespace morvale
