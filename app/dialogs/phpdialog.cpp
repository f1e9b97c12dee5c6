#include "app/dialogs/phpdialog.h"

#include <QFontDatabase>
#include <QMenu>

#include "app/dialogs/qtext.h"
#include "app/helpers/helpers.h"
#include "export/core/platform.h"
#include "export/dialog/form/prompts.h"
#include "ui_phpdialog.h"

namespace morvale {

namespace {

// An entry shows as name=label with its check box.
QListWidgetItem* NewEntry(const TPHPField& f) {
  auto* item = new QListWidgetItem(ToQ(f.Name + "=" + f.Label));
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(f.Checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

TPHPField EntryOf(const QListWidgetItem* item) {
  std::string line = FromQ(item->text());
  return {std::string(TStringList::NamePart(line)), std::string(TStringList::ValuePart(line)),
          item->checkState() == Qt::Checked};
}

}  // namespace

TDlg_PHP::TDlg_PHP(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TDlg_PHP>()) {
  ui->setupUi(this);
  // "Courier New" where it is installed, the system's fixed font otherwise.
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setFamilies({"Courier New", fixed.family()});
  ui->Memo_PHP->setFont(fixed);
  addActions({ui->N3, ui->N5, ui->N6, ui->N1});
  connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui->SpeedButton1, &QToolButton::clicked, this, &TDlg_PHP::SpeedButton1Click);
  connect(ui->SpeedButton2, &QToolButton::clicked, this, &TDlg_PHP::SpeedButton2Click);
  connect(ui->SpeedButton3, &QToolButton::clicked, this, &TDlg_PHP::SpeedButton3Click);
  connect(ui->SpeedButton4, &QToolButton::clicked, this, &TDlg_PHP::SpeedButton4Click);
  connect(ui->SpeedButton5, &QToolButton::clicked, this, &TDlg_PHP::SpeedButton5Click);
  connect(ui->N3, &QAction::triggered, this, &TDlg_PHP::N3Click);
  connect(ui->N5, &QAction::triggered, this, &TDlg_PHP::N5Click);
  connect(ui->N6, &QAction::triggered, this, &TDlg_PHP::N6Click);
  connect(ui->N1, &QAction::triggered, this, &TDlg_PHP::N1Click);
  connect(ui->List_Fields, &QListWidget::itemDoubleClicked, this, &TDlg_PHP::N3Click);
  connect(ui->List_Fields, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.addAction(ui->N3);
    QMenu* add = menu.addMenu(tr("Новое поле"));
    add->setObjectName("N4");
    add->addAction(ui->N5);
    add->addAction(ui->N6);
    menu.addAction(ui->N1);
    menu.exec(ui->List_Fields->viewport()->mapToGlobal(at));
  });
}

TDlg_PHP::~TDlg_PHP() = default;

void TDlg_PHP::Fill(TDataSet* ds, const TStringList& consoleLines) {
  Clear();
  ds_ = ds;
  TStringList sql = consoleLines;
  DropBlankLines(sql);
  ui->Memo_SQL->setPlainText(ToQ(sql.Text()));
  if (ds && ds->Active())
    for (const TPHPField& f : PHPFieldsOf(*ds)) ui->List_Fields->addItem(NewEntry(f));
}

void TDlg_PHP::Clear() {
  ui->Memo_SQL->clear();
  ui->List_Fields->clear();
  ui->Memo_PHP->clear();
}

void TDlg_PHP::Execute(TDataSet* ds, const TStringList& consoleLines) {
  Fill(ds, consoleLines);
  exec();
  Clear();
  ds_ = nullptr;
}

TPHPFields TDlg_PHP::Fields() const {
  TPHPFields fields;
  for (int i = 0; i < ui->List_Fields->count(); ++i)
    fields.push_back(EntryOf(ui->List_Fields->item(i)));
  return fields;
}

TStringList TDlg_PHP::PageLines() const {
  TStringList lines;
  if (!ui->Memo_PHP->document()->isEmpty()) lines.SetText(FromQ(ui->Memo_PHP->toPlainText()));
  return lines;
}

void TDlg_PHP::SpeedButton1Click() {
  ui->Memo_PHP->clear();
  if (!ds_ || !ds_->Active()) return;
  TStringList sql;
  sql.SetText(FromQ(ui->Memo_SQL->toPlainText()));
  ui->Memo_PHP->setPlainText(ToQ(BuildPHPPage(sql, Fields(), *ds_, PageSettings).Text()));
}

void TDlg_PHP::SpeedButton2Click() {
  TStringList lines = PageLines();
  if (!lines.Empty()) Clipboard().SetText(LinesText(lines));
}

void TDlg_PHP::SpeedButton3Click() {
  for (int i = 0; i < ui->List_Fields->count(); ++i)
    ui->List_Fields->item(i)->setCheckState(Qt::Checked);
}

void TDlg_PHP::SpeedButton4Click() {
  for (int i = 0; i < ui->List_Fields->count(); ++i)
    ui->List_Fields->item(i)->setCheckState(Qt::Unchecked);
}

void TDlg_PHP::SpeedButton5Click() {
  for (int i = 0; i < ui->List_Fields->count(); ++i) {
    QListWidgetItem* item = ui->List_Fields->item(i);
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
  }
}

void TDlg_PHP::N3Click() {
  QListWidgetItem* item = ui->List_Fields->currentItem();
  if (!item) return;
  TPHPField entry = EntryOf(item);
  QString answer = ToQ(entry.Label);
  if (!Prompts().InputText(this, tr("Поле: <%1>").arg(ToQ(entry.Name)), tr("Отредактируйте"),
                           answer))
    return;
  entry.Label = PHPEditedLabel(FromQ(answer), entry.Name);
  item->setText(ToQ(entry.Name + "=" + entry.Label));
  // The grid and later exports show the new caption too; an added entry names no field.
  try {
    if (ds_) ds_->FieldByName(entry.Name).DisplayLabel = entry.Label;
  } catch (const Exception& e) {
    ShowMessage(e.what());
  }
}

bool TDlg_PHP::AskEntryName(std::string& name) {
  QString answer;
  if (!Prompts().InputText(this, tr("Новое поле"), tr("Введите имя поля"), answer)) return false;
  name = PHPEntryName(FromQ(answer));
  if (name.empty()) return false;
  if (PHPHasEntry(Fields(), name)) {
    ShowMessage(FromQ(tr("Такое поле уже есть в списке")));
    return false;
  }
  return true;
}

void TDlg_PHP::AddEntry(int row, const std::string& name) {
  ui->List_Fields->insertItem(row, NewEntry({name, name, false}));
}

void TDlg_PHP::N6Click() {
  std::string name;
  if (!AskEntryName(name)) return;
  AddEntry(ui->List_Fields->count(), name);
  ui->List_Fields->setCurrentRow(ui->List_Fields->count() - 1);
}

void TDlg_PHP::N5Click() {
  int selected = ui->List_Fields->currentRow();
  if (selected < 0) {
    N6Click();
    return;
  }
  std::string name;
  if (!AskEntryName(name)) return;
  AddEntry(selected, name);
  ui->List_Fields->setCurrentRow(selected > 0 ? selected - 1 : selected);
}

void TDlg_PHP::N1Click() {
  int selected = ui->List_Fields->currentRow();
  if (selected >= 0) delete ui->List_Fields->takeItem(selected);
}

}  // namespace morvale
