#include "export/dialog/form/progresswindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "ui_progresswindow.h"

namespace morvale::form {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

TfmExportProgress::TfmExportProgress(TExport* exporter, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TfmExportProgress>()), model_(exporter) {
  ui_->setupUi(this);
  // A dialog border without the close and help buttons: the window ends through its button.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(301, kHeight);
  setWindowTitle(tr("Идет экспорт..."));
  ui_->laStatus->setText(tr("Статус"));
  ui_->laTime->setText(tr("Время"));
  ui_->laSpeed->setText(tr("Скорость"));
  ui_->btnCancel->setFixedSize(75, 22);
  // What the finished run has to tell about the file, under the counters; the window grows to
  // hold it.
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("laNote"));
  note_->setWordWrap(true);
  note_->setContentsMargins(6, 6, 6, 6);
  note_->hide();
  ui_->layoutWindow->insertWidget(1, note_);
  // The table of a run over several, above the counters.
  table_ = new QLabel(this);
  table_->setObjectName(QStringLiteral("laTable"));
  table_->setWordWrap(true);
  table_->setAlignment(Qt::AlignCenter);
  table_->setContentsMargins(6, 6, 6, 0);
  table_->hide();
  ui_->layoutWindow->insertWidget(0, table_);
  // The parts of a run read in ranges, a line each, under the counters.
  parts_ = new QLabel(this);
  parts_->setObjectName(QStringLiteral("laParts"));
  parts_->setWordWrap(true);
  parts_->setContentsMargins(6, 0, 6, 0);
  parts_->hide();
  ui_->layoutWindow->insertWidget(ui_->layoutWindow->indexOf(note_), parts_);
  if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &TfmExportProgress::Tick);
  repaint_.setInterval(kRepaintMs);
  connect(&repaint_, &QTimer::timeout, this, [this] {
    if (model_.ExportedCount() + model_.ReadCount() + model_.SkippedCount() != shown_) Refresh();
  });
  repaint_.start();
  connect(ui_->btnCancel, &QPushButton::clicked, this, &TfmExportProgress::btnCancelClick);
  model_.OnStateChange = [this] { StateChanged(); };
  Refresh();
}

TfmExportProgress::~TfmExportProgress() = default;

void TfmExportProgress::SyncTimer() {
  if (model_.TimerRunning())
    timer_.start();
  else
    timer_.stop();
}

void TfmExportProgress::Tick() {
  model_.Tick();
  ui_->laTimeValue->setText(Q(model_.TimeText()));
  ui_->laSpeedValue->setText(Q(model_.SpeedText()));
}

void TfmExportProgress::Refresh() {
  shown_ = model_.ExportedCount() + model_.ReadCount() + model_.SkippedCount();
  ui_->laStatusValue->setText(Q(model_.StatusText()));
  ui_->laCount->setText(Q(model_.CountCaption()));
  ui_->laCountValue->setText(Q(model_.CountText()));
  ui_->laTimeValue->setText(Q(model_.TimeText()));
  ui_->laSpeedValue->setText(Q(model_.SpeedText()));
  ui_->btnCancel->setText(Q(model_.ButtonCaption()));
  const bool noteGrew = ShowLabel(note_, model_.NoteText());
  const bool tableGrew = ShowLabel(table_, model_.TableText());
  const bool partsGrew = ShowLabel(parts_, model_.PartsText());
  if (noteGrew || tableGrew || partsGrew) {
    int height = kHeight;
    for (QLabel* label : {note_, table_, parts_})
      if (!label->isHidden()) height += label->heightForWidth(width());
    setFixedSize(width(), height);
  }
}

bool TfmExportProgress::ShowLabel(QLabel* label, const std::string& text) {
  if (text.empty() || label->text() == Q(text)) return false;
  const int before = label->isHidden() ? 0 : label->heightForWidth(width());
  label->setText(Q(text));
  label->show();
  return label->heightForWidth(width()) != before;
}

void TfmExportProgress::StateChanged() {
  if (model_.Done()) {
    repaint_.stop();
    accept();
    return;
  }
  if (model_.CloseRequested()) {
    repaint_.stop();
    timer_.stop();
    done(QDialog::Accepted);
    return;
  }
  Refresh();
}

void TfmExportProgress::btnCancelClick() {
  model_.ButtonClick();
}

void TfmExportProgress::reject() {
  btnCancelClick();
}

void TfmExportProgress::closeEvent(QCloseEvent* event) {
  // The window manager's close works like the button: a running export is asked to stop.
  if (!model_.Done() && !model_.CloseRequested()) {
    event->ignore();
    btnCancelClick();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace morvale::form
