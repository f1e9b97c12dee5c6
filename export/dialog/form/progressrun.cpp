#include "export/dialog/form/progressrun.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "export/dialog/form/prompts.h"

namespace morvale::form {

std::chrono::microseconds TProgressRun::ServeInterval{0};

QString TProgressRun::AbortTitle() {
  return QCoreApplication::translate("TExportDialogF", "Вы уверены?");
}

QString TProgressRun::AbortQuestion() {
  return QCoreApplication::translate("TExportDialogF",
                                     "Вы действительно хотите прервать процесс экспорта?");
}

TProgressRun::TProgressRun(TExport& exporter, QWidget* owner)
    : window_(std::make_unique<TfmExportProgress>(&exporter, owner)) {
  // The form under the window takes no clicks while a run is inside one of its handlers: a second
  // start or closing the form would pull the exporter from under the run.
  if (owner) window_->setWindowModality(Qt::WindowModal);
}

TProgressRun::~TProgressRun() = default;

void TProgressRun::Serve() {
  next_ = Clock::now() + ServeInterval;
  QCoreApplication::processEvents();
}

void TProgressRun::Notify(TExportNotify code, int) {
  window_->Notify(code);
  switch (code) {
    case enFetchedRecord:
    case enSkippedRecord:
    case enExportedRecord:
      if (ServeInterval.count() == 0 || Clock::now() >= next_) Serve();
      break;
    default:
      // A new state is shown at once, however soon the previous turn was.
      window_->Refresh();
      Serve();
      break;
  }
}

bool TProgressRun::ConfirmAbort() {
  return Prompts().Question(window_.get(), AbortTitle(), AbortQuestion(), IPrompts::TButtons::YesNo,
                            false);
}

void TProgressRun::TableStarting(int number, int count, const std::string& table) {
  window_->Model().SetTable(number, count, table);
  window_->Refresh();
  Serve();
}

void TProgressRun::PartRows(int part, int parts, int64_t rows) {
  // The counters follow at the window's repaint pace; the host serves the event loop itself.
  window_->Model().SetPartRows(part, parts, rows);
  window_->Notify(0);  // no event: the window's timer follows the model's
}

void TProgressRun::RunNote(const std::string& note) {
  window_->Model().SetPartsNote(note);
}

void TProgressRun::Summary(const std::string& note) {
  window_->Model().SetNote(note);
  window_->Refresh();
}

void TProgressRun::Run(const std::function<void()>& execute) {
  window_->show();
  Serve();
  TExportProgress& model = window_->Model();
  model.NoteTarget();
  try {
    execute();
  } catch (const std::exception& e) {
    // The message says, after the error, that the previous file is as it was.
    const std::string kept = model.FailedText();
    if (kept.empty()) throw;
    throw Exception(std::string(e.what()) + "\n\n" + kept);
  }
  model.RunEnded();
  window_->Refresh();
  if (!window_->Model().CloseRequested() && !window_->Done()) {
    QEventLoop loop;
    QObject::connect(window_.get(), &QDialog::finished, &loop, &QEventLoop::quit);
    loop.exec();
  }
  window_->hide();
}

}  // namespace morvale::form
