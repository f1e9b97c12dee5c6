// The connections dialog of heterogeneous queries: the aliases on the left, the 30 connection
// slots on the right (a check shows a connected one), the menu actions and the three "all"
// buttons, over the widget-free slot model.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/engine/slots.h"

class QListWidgetItem;
namespace Ui {
class TDlg_SetConnect_to_DB;
}

namespace morvale {

class TDlg_SetConnect_to_DB : public QDialog {
  Q_OBJECT

 public:
  explicit TDlg_SetConnect_to_DB(TConnectionSlots& connectionSlots, QWidget* parent = nullptr);
  ~TDlg_SetConnect_to_DB() override;

  // Shows the dialog modally over the main window's alias names. OK gives true; Cancel (or closing
  // the window) disconnects every slot, which keep their databases, and gives false.
  bool Execute(const QStringList& aliasNames);
  // What Execute does before showing: the main window's connection is reset, both lists filled.
  void Fill(const QStringList& aliasNames);

  // Called first when the dialog is shown: the main window empties its own connection.
  std::function<void()> ResetConnection;
  // How a failed action's message is shown (a message box unless a test answers it).
  std::function<void(const QString&)> ShowError;

  // The handlers, named after the controls they serve.
  void N1Click();  // "Использовать"
  void N2Click();  // "Удалить"
  void N3Click();  // "Соединить"
  void N4Click();  // "Разъединить"
  void List_Connect_ActiveDblClick();
  void List_Connect_ActiveClickCheck(QListWidgetItem* item);
  void List_Connect_ActiveClick();
  void List_ConnectClick();
  void SpeedButton2Click();       // "Соединить ВСЕ"
  void SB_Disconnect_AllClick();  // "Разъединить ВСЕ"
  void SB_Destroy_AllClick();     // "Очистить ВСЕ"

  // Row i as slot i is: its alias name, checked when connected.
  void RefreshRow(int i);

 private:
  int SelectedRow() const;
  void SelectRow(int i);
  // One row of "Соединить ВСЕ" and "Разъединить ВСЕ": the previous row shows its state, this
  // one is selected.
  void StepToRow(int i);
  // Runs an action; an engine failure ends it with its message.
  void Guarded(const std::function<void()>& action);
  std::unique_ptr<Ui::TDlg_SetConnect_to_DB> ui_;
  TConnectionSlots& slots_;
  bool refreshing_ = false;
};

}  // namespace morvale
