// The settings dialog: the width limit of the grid's columns, read from and written to the
// program's settings file. Its two controls hold the settings in memory for the whole run.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

class QCheckBox;
class QSpinBox;

namespace Ui {
class TDlg_SetUp;
}

namespace morvale {

class TDlg_SetUp : public QDialog {
  Q_OBJECT

 public:
  explicit TDlg_SetUp(QWidget* parent = nullptr);
  ~TDlg_SetUp() override;

  // Both keys from the file into the controls (a limit below 2 raised to 2).
  void ReadSettings(const std::string& iniFile);
  // Reads the file, shows the dialog and writes both keys on OK; true on OK.
  bool Execute(const std::string& iniFile);

  bool LimitOn() const;
  // The limit in use: never below 2 (the control is raised too).
  int Limit();
  QCheckBox* LimitBox() const;
  QSpinBox* LimitEdit() const;

 private:
  std::unique_ptr<Ui::TDlg_SetUp> ui;
};

}  // namespace morvale
