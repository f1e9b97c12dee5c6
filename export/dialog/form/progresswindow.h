// The small window shown while the export dialog runs an export: the state, the records passed,
// the elapsed time and the rate, and one button that cancels the run or, once it is over,
// dismisses the window. Its model (export/dialog/progress.h) holds the logic; the window shows
// the model's texts and owns the two timers.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <memory>

#include "export/dialog/progress.h"

namespace Ui {
class TfmExportProgress;
}

namespace morvale::form {

class TfmExportProgress : public QDialog {
  Q_OBJECT

 public:
  // Owned by `owner` (it stays above it) when one is given; centred on the screen.
  TfmExportProgress(TExport* exporter, QWidget* owner);
  ~TfmExportProgress() override;

  TExportProgress& Model() { return model_; }
  // One notification of the run (TExportProgressCode); the caller then serves the event loop.
  void Notify(int code) {
    model_.Notify(code);
    if (model_.TimerRunning() != timer_.isActive()) SyncTimer();
  }
  // The button was pressed after the run (the window's modal result is OK).
  bool Done() const { return model_.Done(); }

  // One second of the timer; public so that tests need not wait for a real one.
  void Tick();
  // Shows the model's texts now (the counters otherwise follow at the repaint pace).
  void Refresh();

  // The counters are shown at most this often, however fast records go by: setting a label's
  // text for each of a million records would cost the run more than the export itself.
  static constexpr int kRepaintMs = 100;
  // The window's height without a note.
  static constexpr int kHeight = 140;

 protected:
  // Escape is the button, never a way to leave the window while a run goes on.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void btnCancelClick();

 private:
  void SyncTimer();
  // Shows a text of the model in a label of the window's own; true when its height changed.
  bool ShowLabel(QLabel* label, const std::string& text);
  void StateChanged();

  std::unique_ptr<Ui::TfmExportProgress> ui_;
  TExportProgress model_;
  QTimer timer_;    // the one-second tick
  QTimer repaint_;  // the counters' pace
  QLabel* note_ = nullptr;
  QLabel* table_ = nullptr;
  QLabel* parts_ = nullptr;  // a line a part of a run read in ranges
  uint32_t shown_ = 0;
};

}  // namespace morvale::form
