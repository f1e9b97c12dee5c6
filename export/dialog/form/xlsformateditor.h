// The editor of spreadsheet cell formats: the sheets "&Шрифт", "&Границы", "Заливка" and, for
// field formats, "&Функции", with the sample cell "  Пример" under them. It edits the formats it
// is given in place: every control writes its property into the focused format and then into
// every other selected one, and FormatChanged tells the owner (which may have to copy the format
// on, as the hyperlinks follow the "HYPERLINK" format). With several formats selected, the font
// name and size, the four border styles and the pattern are blank where the formats disagree.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "export/workbook/styles.h"

class QTabWidget;

namespace morvale::form {

class TxlsFormatEditor : public QWidget {
  Q_OBJECT

 public:
  explicit TxlsFormatEditor(QWidget* parent = nullptr);
  ~TxlsFormatEditor() override;

  // The formats to edit, the focused one among them; no focused format: the editor does nothing
  // and its controls are disabled. With showAggregate every selected format is a TxlsFieldFormat
  // and the sheet "&Функции" is shown. The formats stay the caller's; call again after changing
  // them behind the editor's back (a reset) or before freeing them.
  void SetFormats(std::vector<TxlsFormat*> selected, TxlsFormat* focused, bool showAggregate);
  // Shows the formats' values again.
  void Refresh();

  // The sheets, so that an owner can add its own in front (an extra cell's "Общее") and remember
  // which one was last in front.
  QTabWidget* Sheets() const;

 signals:
  void FormatChanged();

 private:
  struct TControls;
  void Build();
  void Connect();
  void Show();
  std::unique_ptr<TControls> c_;
  std::vector<TxlsFormat*> selected_;
  TxlsFormat* focused_ = nullptr;
  bool aggregate_ = false;
  int showing_ = 0;
};

}  // namespace morvale::form
