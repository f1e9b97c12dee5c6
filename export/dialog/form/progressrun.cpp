#include "export/dialog/form/progressrun.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "export/dialog/form/prompts.h"

namespace morvale::form {

std::chrono::microseconds TProgressRun::ServeInterval{1000};

QString TProgressRun::AbortTitle() {
  return QCoreApplication::translate("TExportDialogF", "Вы уверены?");
}

QString TProgressRun::AbortQuestion() {
  return QCoreApplication::translate("TExportDialogF",
                                     "Вы действительно хотите прервать процесс экспорта?");
}

TProgressRun::TProgressRun(TExport& exporter, QWidget* owner)
    : exporter_(exporter),
      window_(std::make_unique<TfmExportProgress>(&exporter, owner)),
      begin_(exporter.OnBeginExport),
      end_(exporter.OnEndExport),
      fetched_(exporter.OnFetchedRecord),
      skipped_(exporter.OnSkippedRecord),
      exported_(exporter.OnExportedRecord),
      stop_(exporter.OnStopExport) {
  // The form under the window takes no clicks while a run is inside one of its handlers: a second
  // start or a close of the form would pull the exporter from under the run.
  if (owner) window_->setWindowModality(Qt::WindowModal);
  Hook();
}

TProgressRun::~TProgressRun() {
  exporter_.OnBeginExport = begin_;
  exporter_.OnEndExport = end_;
  exporter_.OnFetchedRecord = fetched_;
  exporter_.OnSkippedRecord = skipped_;
  exporter_.OnExportedRecord = exported_;
  exporter_.OnStopExport = stop_;
}

void TProgressRun::Serve() {
  next_ = Clock::now() + ServeInterval;
  QCoreApplication::processEvents();
}

// The dialog's own events come after the window's notification for begin, end, skip and stop,
// and before it for exported and fetched records.
void TProgressRun::Hook() {
  exporter_.OnBeginExport = [this](TObject* sender) {
    window_->Notify(pcBeginExport);
    Serve();
    if (begin_) begin_(sender);
  };
  exporter_.OnEndExport = [this](TObject* sender) {
    if (!exporter_.Aborted()) {
      window_->Notify(pcEndExport);
      window_->Refresh();
      Serve();
    }
    if (end_) end_(sender);
  };
  exporter_.OnSkippedRecord = [this](TObject* sender, int recNo) {
    window_->Notify(pcSkippedRecord);
    ServeRecord();
    if (skipped_) skipped_(sender, recNo);
  };
  exporter_.OnFetchedRecord = [this](TObject* sender, int recNo) {
    if (fetched_) fetched_(sender, recNo);
    window_->Notify(pcFetchedRecord);
    ServeRecord();
  };
  exporter_.OnExportedRecord = [this](TObject* sender, int recNo) {
    if (exported_) exported_(sender, recNo);
    window_->Notify(pcExportedRecord);
    ServeRecord();
  };
  exporter_.OnStopExport = [this](TObject* sender, bool& canContinue) {
    window_->Notify(pcAbortAsked);
    window_->Refresh();
    Serve();
    canContinue = !Prompts().Question(window_.get(), AbortTitle(), AbortQuestion(), false);
    // The dialog's handler may change the answer; the window shows the one that holds.
    if (stop_) stop_(sender, canContinue);
    window_->Notify(canContinue ? pcAbortDeclined : pcAbortConfirmed);
    window_->Refresh();
    Serve();
  };
}

void TProgressRun::Run(const std::function<void()>& execute, bool fileOpensAfter) {
  window_->show();
  Serve();
  execute();
  window_->Refresh();
  if (!fileOpensAfter) {
    // The window stays, showing how the run ended, until the user presses its button.
    if (!window_->Done()) {
      QEventLoop loop;
      QObject::connect(window_.get(), &QDialog::finished, &loop, &QEventLoop::quit);
      if (!window_->Done()) loop.exec();
    }
  } else if (!exporter_.Aborted()) {
    window_->Notify(pcClose);
  }
  window_->hide();
}

}  // namespace morvale::form
