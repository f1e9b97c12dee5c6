// TDlg_TableStruct: the structure of the open result (field, type, size) and the query's SQL.
#pragma once

#include <QDialog>
#include <memory>

#include "export/core/classes.h"
#include "export/core/dataset.h"

namespace Ui {
class TDlg_TableStruct;
}

namespace morvale {

class TDlg_TableStruct : public QDialog {
  Q_OBJECT

 public:
  explicit TDlg_TableStruct(QWidget* parent = nullptr);
  ~TDlg_TableStruct() override;

  // "Сначала откройте таблицу ..." and false for a missing or closed dataset; otherwise fills the
  // grid and the SQL text, shows the dialog modally and empties it again. True on OK.
  bool ShowStructure(const TDataSet* ds, const TStringList& sql);
  // What ShowStructure shows, without showing it; false (and the message) as ShowStructure.
  bool Fill(const TDataSet* ds, const TStringList& sql);
  void Reset();

 private:
  void FitColumns(char sample);
  std::unique_ptr<Ui::TDlg_TableStruct> ui;
};

}  // namespace morvale
