// Runs one export under the progress window: the exporter's events become the window's
// notifications, the event loop is served between records so the window repaints and its button
// reaches the run, and a stop request asks the user first.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "export/core/export.h"
#include "export/dialog/form/progresswindow.h"

namespace morvale::form {

class TProgressRun {
 public:
  // Wraps the exporter's events for the life of this object; the handlers already set (the
  // dialog's own forwarding) still run, in the order the dialog promises its users.
  TProgressRun(TExport& exporter, QWidget* owner);
  ~TProgressRun();
  TProgressRun(const TProgressRun&) = delete;
  TProgressRun& operator=(const TProgressRun&) = delete;

  // Runs `execute` to its end under the window. Then, when the file is not opened afterwards (or
  // the run was aborted), waits until the user dismisses the window; otherwise closes it.
  // An error of the run propagates after the window is gone.
  void Run(const std::function<void()>& execute, bool fileOpensAfter);

  TfmExportProgress& Window() { return *window_; }

  // The abort question.
  static QString AbortTitle();
  static QString AbortQuestion();

  // How often at most the run hands the event loop a turn between two records. A turn costs
  // a few microseconds (it polls the display connection), more than writing a CSV record, so
  // handing one over at every record would double a large export; a millisecond apart is still
  // far quicker than a person can notice. Zero serves the loop at every record (the benchmark
  // measures what that costs).
  static std::chrono::microseconds ServeInterval;

 private:
  // Serves the event loop now, whatever the interval.
  void Serve();
  // Serves it when the interval has passed since the last turn.
  void ServeRecord() {
    if (ServeInterval.count() == 0 || Clock::now() >= next_) Serve();
  }
  void Hook();

  using Clock = std::chrono::steady_clock;
  TExport& exporter_;
  std::unique_ptr<TfmExportProgress> window_;
  Clock::time_point next_{};
  TNotifyEvent begin_, end_;
  TRecordEvent fetched_, skipped_, exported_;
  TStopExportEvent stop_;
};

}  // namespace morvale::form
