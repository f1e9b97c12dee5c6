// TDlgView_List_1: a list viewer (the row view of the grid) with a title line, the row count, OK,
// an optional Cancel and a copy button.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "export/core/classes.h"
#include "export/core/dataset.h"

namespace Ui {
class TDlgView_List_1;
}

namespace morvale {

class TDlgView_List_1 : public QDialog {
  Q_OBJECT

 public:
  explicit TDlgView_List_1(QWidget* parent = nullptr);
  ~TDlgView_List_1() override;

  // Fills the viewer (trimmed title, lines, "Кол-во строк = " + count, Cancel only when asked),
  // shows it modally, remembers the selection on OK and empties the viewer again. True on OK.
  bool ShowList(const std::string& title, const TStringList& lines, bool withCancel);
  // What ShowList shows, without showing it (for a caller that shows the viewer itself).
  void Fill(const std::string& title, const TStringList& lines, bool withCancel);
  void Clear();

  // After an OK: the selected row (-1 for none) and its trimmed text.
  int SelectedRow() const { return selectedRow_; }
  const std::string& SelectedText() const { return selectedText_; }

 public slots:
  void SpeedButton2Click();  // the rows to the clipboard, one per line

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  std::unique_ptr<Ui::TDlgView_List_1> ui;
  int selectedRow_ = -1;
  std::string selectedText_;
};

// The row view: a fresh viewer with the current record's name=value lines, titled "Содержание
// строки таблицы", without Cancel; destroyed afterwards. Nothing happens for a closed dataset.
void ShowRowView(QWidget* parent, const TDataSet& ds);

}  // namespace morvale
