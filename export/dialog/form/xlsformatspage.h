// The sub-page "Формат данных" of the spreadsheet page: the lists "Поля", "Опции" and "Стили"
// over the working copy's field formats, base formats and strip styles, the format editor that
// follows the focused entry of the list in front, the resets and the strip-style tools. The
// model decides (marks, resets, the hyperlinks that follow "HYPERLINK", the strip list's edits);
// this class shows the lists and keeps their selection.
#pragma once

#include <QObject>
#include <vector>

#include "export/dialog/model.h"

class QListWidget;
class QWidget;

namespace Ui {
class TXLSPage;
}

namespace morvale::form {

class TxlsFormatEditor;

class TXLSFormatsPage : public QObject {
  Q_OBJECT

 public:
  TXLSFormatsPage(TExportDialogModel& model, Ui::TXLSPage& ui, QWidget* page);

  // The lists from the working copy (entries kept selected where the list did not change), then
  // the editor.
  void Refresh();
  TXLSFormatList Front() const;
  TxlsFormatEditor* Editor() const { return editor_; }

  void bXLSResetClick();
  void bXLSResetAllClick();
  void tbXLSAddStyleClick();
  void tbXLSDeleteStyleClick();
  void tbXLSStyleMoveClick(int delta);
  void tbXLSSaveStyleClick();
  void tbXLSLoadStyleClick();

 private:
  QListWidget* List(TXLSFormatList list) const;
  std::vector<int> Selected(TXLSFormatList list) const;
  void FillList(TXLSFormatList list);
  // Makes `row` the only selected and the focused entry of the strip list.
  void SelectStyle(int row);
  void ShowEditor();
  void FormatEdited();

  TExportDialogModel& model_;
  Ui::TXLSPage& ui_;
  QWidget* page_;
  TxlsFormatEditor* editor_;
  int refreshing_ = 0;
};

}  // namespace morvale::form
