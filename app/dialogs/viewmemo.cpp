#include "app/dialogs/viewmemo.h"

#include <QKeyEvent>

#include "app/dialogs/qtext.h"
#include "export/core/platform.h"
#include "ui_viewmemo.h"

namespace morvale {

TDlg_ViewMemo::TDlg_ViewMemo(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TDlg_ViewMemo>()) {
  ui->setupUi(this);
  connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui->SpeedButton1, &QToolButton::clicked, this, &TDlg_ViewMemo::SpeedButton1Click);
}

TDlg_ViewMemo::~TDlg_ViewMemo() = default;

bool TDlg_ViewMemo::ShowText(bool clear, const std::string& text) {
  if (clear) ui->INFO->clear();
  if (!text.empty()) SetText(text);
  bool ok = exec() == QDialog::Accepted;
  if (clear) ui->INFO->clear();
  return ok;
}

void TDlg_ViewMemo::SetText(const std::string& text) {
  ui->INFO->setPlainText(ToQ(text));
}

std::string TDlg_ViewMemo::Text() const {
  return FromQ(ui->INFO->toPlainText());
}

void TDlg_ViewMemo::SetLines(const TStringList& lines) {
  SetText(lines.Text());
}

TStringList TDlg_ViewMemo::Lines() const {
  TStringList lines;
  if (!ui->INFO->document()->isEmpty()) lines.SetText(Text());
  return lines;
}

void TDlg_ViewMemo::SpeedButton1Click() {
  TStringList lines = Lines();
  if (!lines.Empty()) Clipboard().SetText(LinesText(lines));
}

// Escape closes the viewer as OK does: the text was only looked at.
void TDlg_ViewMemo::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace morvale
