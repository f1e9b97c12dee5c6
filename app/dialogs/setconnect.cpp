#include "app/dialogs/setconnect.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/engine/messages.h"
#include "ui_setconnect.h"

namespace morvale {

namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

TDlg_SetConnect_to_DB::TDlg_SetConnect_to_DB(TConnectionSlots& connectionSlots, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TDlg_SetConnect_to_DB>()), slots_(connectionSlots) {
  ui_->setupUi(this);
  ui_->List_Connect->addAction(ui_->N1);
  for (QAction* a : {ui_->N3, ui_->N4, ui_->N2}) ui_->List_Connect_Active->addAction(a);
  ShowError = [this](const QString& message) {
    QMessageBox::critical(this, windowTitle(), message);
  };
  connect(ui_->N1, &QAction::triggered, this, [this] { N1Click(); });
  connect(ui_->N2, &QAction::triggered, this, [this] { N2Click(); });
  connect(ui_->N3, &QAction::triggered, this, [this] { N3Click(); });
  connect(ui_->N4, &QAction::triggered, this, [this] { N4Click(); });
  connect(ui_->List_Connect, &QListWidget::itemDoubleClicked, this, [this] { N1Click(); });
  connect(ui_->List_Connect, &QListWidget::itemClicked, this, [this] { List_ConnectClick(); });
  connect(ui_->List_Connect_Active, &QListWidget::itemDoubleClicked, this,
          [this] { List_Connect_ActiveDblClick(); });
  connect(ui_->List_Connect_Active, &QListWidget::itemClicked, this,
          [this] { List_Connect_ActiveClick(); });
  connect(ui_->List_Connect_Active, &QListWidget::itemChanged, this,
          [this](QListWidgetItem* item) { List_Connect_ActiveClickCheck(item); });
  connect(ui_->SpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
  connect(ui_->SB_Disconnect_All, &QPushButton::clicked, this,
          [this] { SB_Disconnect_AllClick(); });
  connect(ui_->SB_Destroy_All, &QPushButton::clicked, this, [this] { SB_Destroy_AllClick(); });
  connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TDlg_SetConnect_to_DB::~TDlg_SetConnect_to_DB() = default;

void TDlg_SetConnect_to_DB::Fill(const QStringList& aliasNames) {
  ui_->List_Connect_Active->clear();
  if (ResetConnection) ResetConnection();
  ui_->List_Connect->clear();
  ui_->List_Connect->addItems(aliasNames);
  refreshing_ = true;
  for (int i = 0; i < TConnectionSlots::kCount; ++i) {
    auto* item = new QListWidgetItem(ui_->List_Connect_Active);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  }
  refreshing_ = false;
  for (int i = 0; i < TConnectionSlots::kCount; ++i) RefreshRow(i);
}

bool TDlg_SetConnect_to_DB::Execute(const QStringList& aliasNames) {
  Fill(aliasNames);
  if (exec() == QDialog::Accepted) return true;
  SB_Disconnect_AllClick();
  return false;
}

void TDlg_SetConnect_to_DB::RefreshRow(int i) {
  QListWidgetItem* item = ui_->List_Connect_Active->item(i);
  if (!item) return;
  refreshing_ = true;
  item->setText(Q(slots_.AliasName(i)));
  item->setCheckState(slots_.SlotConnected(i) ? Qt::Checked : Qt::Unchecked);
  refreshing_ = false;
}

int TDlg_SetConnect_to_DB::SelectedRow() const {
  QListWidgetItem* item = ui_->List_Connect_Active->currentItem();
  return item && item->isSelected() ? ui_->List_Connect_Active->row(item) : -1;
}

void TDlg_SetConnect_to_DB::SelectRow(int i) {
  ui_->List_Connect_Active->setCurrentRow(i);
}

void TDlg_SetConnect_to_DB::StepToRow(int i) {
  if (i > 0) RefreshRow(i - 1);
  SelectRow(i);
  // The window repaints and shows the row being connected while a server answers.
  QCoreApplication::processEvents();
}

void TDlg_SetConnect_to_DB::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    if (ShowError) ShowError(QString::fromStdString(DatabaseMessageText(e.what())));
  }
}

void TDlg_SetConnect_to_DB::N1Click() {
  if (SelectedRow() < 0 && ui_->List_Connect_Active->count() > 0) SelectRow(0);
  int row = SelectedRow();
  if (row < 0) return;
  QListWidgetItem* alias = ui_->List_Connect->currentItem();
  if (!alias || !alias->isSelected()) {
    slots_.SlotFree(row);
  } else {
    const std::string name = alias->text().toStdString();
    int shown = slots_.FindAlias(name);
    if (shown >= 0) {
      SelectRow(shown);
      return;
    }
    slots_.Use(row, name);
    RefreshRow(row);
    if (row + 1 < ui_->List_Connect_Active->count()) SelectRow(++row);
  }
  RefreshRow(row);
}

void TDlg_SetConnect_to_DB::N2Click() {
  int row = SelectedRow();
  slots_.SlotFree(row);
  RefreshRow(row);
}

void TDlg_SetConnect_to_DB::N3Click() {
  int row = SelectedRow();
  Guarded([&] {
    slots_.SlotDisconnect(row);
    slots_.SlotReconnect(row);
  });
  RefreshRow(row);
}

void TDlg_SetConnect_to_DB::N4Click() {
  int row = SelectedRow();
  slots_.SlotDisconnect(row);
  RefreshRow(row);
}

void TDlg_SetConnect_to_DB::List_Connect_ActiveDblClick() {
  int row = SelectedRow();
  Guarded(
      [&] { slots_.SlotConnected(row) ? slots_.SlotDisconnect(row) : slots_.SlotReconnect(row); });
  RefreshRow(row);
}

void TDlg_SetConnect_to_DB::List_Connect_ActiveClickCheck(QListWidgetItem* item) {
  // A check shows the connection state; clicking it changes nothing but the view.
  if (!refreshing_) RefreshRow(ui_->List_Connect_Active->row(item));
}

void TDlg_SetConnect_to_DB::List_Connect_ActiveClick() {
  int row = SelectedRow();
  RefreshRow(row);
  const QString alias = Q(slots_.AliasName(row));
  if (alias.isEmpty()) return;
  const auto found = ui_->List_Connect->findItems(alias, Qt::MatchFixedString);
  if (!found.isEmpty()) ui_->List_Connect->setCurrentItem(found.front());
}

void TDlg_SetConnect_to_DB::List_ConnectClick() {
  QListWidgetItem* alias = ui_->List_Connect->currentItem();
  if (!alias) return;
  int shown = slots_.FindAlias(alias->text().toStdString());
  if (shown >= 0) SelectRow(shown);
}

void TDlg_SetConnect_to_DB::SpeedButton2Click() {
  // A failure stops at its row, which stays selected, with the engine's message.
  Guarded([&] {
    slots_.ConnectAll([&](int i) { StepToRow(i); });
    RefreshRow(TConnectionSlots::kCount - 1);
    SelectRow(0);
  });
  RefreshRow(SelectedRow());
}

void TDlg_SetConnect_to_DB::SB_Disconnect_AllClick() {
  slots_.DisconnectAll([&](int i) { StepToRow(i); });
  RefreshRow(TConnectionSlots::kCount - 1);
  SelectRow(0);
}

void TDlg_SetConnect_to_DB::SB_Destroy_AllClick() {
  slots_.SlotsFreeAll();
  for (int i = 0; i < TConnectionSlots::kCount; ++i) {
    QCoreApplication::processEvents();
    RefreshRow(i);
  }
  SelectRow(0);
}

}  // namespace morvale
