// TDlg_ViewMemo: a read-only text viewer with OK and Cancel, the field-text view and the line
// buffer the memo-file export and the INSERT framing show their text in.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "export/core/classes.h"

namespace Ui {
class TDlg_ViewMemo;
}

namespace morvale {

class TDlg_ViewMemo : public QDialog {
  Q_OBJECT

 public:
  explicit TDlg_ViewMemo(QWidget* parent = nullptr);
  ~TDlg_ViewMemo() override;

  // With `clear`, INFO is emptied before and after; a non-empty text replaces INFO's text. Shows
  // the viewer modally; true when it closed with OK (or Escape). Callers set the caption first.
  bool ShowText(bool clear, const std::string& text);
  // INFO's text, without showing the viewer.
  void SetText(const std::string& text);
  std::string Text() const;
  void SetLines(const TStringList& lines);
  TStringList Lines() const;

 public slots:
  void SpeedButton1Click();  // INFO's lines to the clipboard, each ended by CR LF

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  std::unique_ptr<Ui::TDlg_ViewMemo> ui;
};

}  // namespace morvale
