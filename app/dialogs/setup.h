// The settings dialog: the width limit of the grid's columns and the interface language, read from
// and written to the program's settings file. The limit's two controls hold it in memory for the
// whole run; the language is read once, at the program's start.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
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

  // The keys from the file into the controls (a limit below 2 raised to 2).
  void ReadSettings(const std::string& iniFile);
  // Reads the file, shows the dialog and writes the keys on OK; true on OK.
  bool Execute(const std::string& iniFile);

  bool LimitOn() const;
  // The limit in use: never below 2 (the control is raised too).
  int Limit();
  QCheckBox* LimitBox() const;
  QSpinBox* LimitEdit() const;
  // "Как в системе", "Русский", "English": the entries in the order of TLanguageChoice.
  QComboBox* LanguageBox() const;

 private:
  std::unique_ptr<Ui::TDlg_SetUp> ui;
};

}  // namespace morvale
