// Runs one export of the dialog model under the progress window: the model's notifications go to
// the window, the event loop is served between records so the window repaints and its button
// reaches the run, and a stop request asks the user first.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "export/core/export.h"
#include "export/dialog/form/progresswindow.h"
#include "export/dialog/model.h"

namespace morvale::form {

class TProgressRun : public TExportRunObserver, public TTableBatchObserver {
 public:
  // The window belongs to `exporter` (its button aborts it) and stays above `owner`.
  TProgressRun(TExport& exporter, QWidget* owner);
  ~TProgressRun() override;
  TProgressRun(const TProgressRun&) = delete;
  TProgressRun& operator=(const TProgressRun&) = delete;

  // Shows the window and runs `execute` (the model's RunExporter with this observer). Unless the
  // run told the window to close itself (a file to be opened, a run not aborted), the window then
  // stays, showing how the run ended (a stopped run: that the file is as it was), until the user
  // presses its button. An error of the run propagates once the window is gone, followed by the
  // sentence that says the previous file is unchanged.
  void Run(const std::function<void()>& execute);

  void Notify(TExportNotify code, int recNo) override;
  // "Вы действительно хотите прервать процесс экспорта?", Yes and No, No the default.
  bool ConfirmAbort() override;
  // A run over several tables: the window shows the table being exported, and at the end what
  // became of them all.
  void TableStarting(int number, int count, const std::string& table) override;
  void TableDone(int, int, const TTableResult&) override {}
  void Summary(const std::string& note);
  // A run read in ranges: the window shows a line a part.
  void PartRows(int part, int parts, int64_t rows) override;
  void RunNote(const std::string& note) override;

  TfmExportProgress& Window() { return *window_; }

  static QString AbortTitle();
  static QString AbortQuestion();

  // How often at most the run hands the event loop a turn between two records. Zero, the
  // default, serves it at every record, so a click reaches the run before the next record is
  // read; the window repaints its counters at most every 100 ms, which is what keeps the cost of a
  // turn small (bench/dialog-vs-cli measures it). A positive interval spaces the turns out.
  static std::chrono::microseconds ServeInterval;

 private:
  using Clock = std::chrono::steady_clock;
  // A turn of the event loop now.
  void Serve();

  std::unique_ptr<TfmExportProgress> window_;
  Clock::time_point next_{};
};

}  // namespace morvale::form
