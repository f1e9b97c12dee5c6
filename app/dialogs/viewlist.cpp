#include "app/dialogs/viewlist.h"

#include <QKeyEvent>

#include "app/dialogs/qtext.h"
#include "app/helpers/helpers.h"
#include "app/tools/views.h"
#include "export/core/platform.h"
#include "ui_viewlist.h"

namespace morvale {

TDlgView_List_1::TDlgView_List_1(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TDlgView_List_1>()) {
  ui->setupUi(this);
  connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui->SpeedButton2, &QToolButton::clicked, this, &TDlgView_List_1::SpeedButton2Click);
  connect(ui->ListView, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

TDlgView_List_1::~TDlgView_List_1() = default;

void TDlgView_List_1::Fill(const std::string& title, const TStringList& lines, bool withCancel) {
  ui->CancelBtn->setVisible(withCancel);
  ui->LabelHead->setText(ToQ(TrimSpaces(title)));
  ui->ListView->clear();
  for (const std::string& line : lines) ui->ListView->addItem(ToQ(line));
  ui->Label_Count->setText(tr("Кол-во строк = ") + QString::number(lines.Count()));
  if (lines.Count() > 0) ui->ListView->setCurrentRow(0);
}

void TDlgView_List_1::Clear() {
  ui->LabelHead->clear();
  ui->ListView->clear();
  ui->Label_Count->setText(tr("Кол-во строк = 0"));
}

bool TDlgView_List_1::ShowList(const std::string& title, const TStringList& lines,
                               bool withCancel) {
  Fill(title, lines, withCancel);
  bool ok = exec() == QDialog::Accepted;
  if (ok) {
    selectedRow_ = ui->ListView->currentRow();
    QListWidgetItem* item = ui->ListView->currentItem();
    selectedText_ = item ? TrimSpaces(FromQ(item->text())) : std::string();
  }
  Clear();
  return ok;
}

void TDlgView_List_1::SpeedButton2Click() {
  TStringList lines;
  for (int i = 0; i < ui->ListView->count(); ++i) lines.Add(FromQ(ui->ListView->item(i)->text()));
  if (!lines.Empty()) Clipboard().SetText(LinesText(lines));
}

void TDlgView_List_1::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    reject();
    return;
  }
  QDialog::keyPressEvent(e);
}

void ShowRowView(QWidget* parent, const TDataSet& ds) {
  if (!ds.Active()) return;
  TDlgView_List_1 view(parent);
  view.ShowList(FromQ(TDlgView_List_1::tr("Содержание строки таблицы")), RowViewLines(ds), false);
}

}  // namespace morvale
