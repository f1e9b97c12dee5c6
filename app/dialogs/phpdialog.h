// TDlg_PHP: the PHP page generator's dialog: the console's SQL, the field list with check boxes
// and its menu, and the generated page with a copy button.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "app/helpers/prompts.h"
#include "app/tools/phppage.h"
#include "export/core/classes.h"
#include "export/core/dataset.h"

namespace Ui {
class TDlg_PHP;
}

namespace morvale {

class TDlg_PHP : public QDialog {
  Q_OBJECT

 public:
  explicit TDlg_PHP(QWidget* parent = nullptr);
  ~TDlg_PHP() override;

  // Fills the dialog from the open dataset and the console's lines, shows it modally (OK only)
  // and empties it afterwards. The dataset's DisplayLabel changes when a caption is edited.
  void Execute(TDataSet* ds, const TStringList& consoleLines);
  // What Execute shows, without showing it.
  void Fill(TDataSet* ds, const TStringList& consoleLines);
  void Clear();

  // The list as it stands, and the page's lines.
  TPHPFields Fields() const;
  TStringList PageLines() const;

  TPHPPageSettings PageSettings;

 public slots:
  void SpeedButton1Click();  // generate the page
  void SpeedButton2Click();  // the page to the clipboard
  void SpeedButton3Click();  // check every entry
  void SpeedButton4Click();  // uncheck every entry
  void SpeedButton5Click();  // invert every entry's check
  void N3Click();            // edit the selected entry's caption
  void N5Click();            // insert an entry before the selected one
  void N6Click();            // append an entry
  void N1Click();            // remove the selected entry

 private:
  bool AskEntryName(std::string& name);
  void AddEntry(int row, const std::string& name);
  std::unique_ptr<Ui::TDlg_PHP> ui;
  TDataSet* ds_ = nullptr;
};

}  // namespace morvale
