#include "export/dialog/form/xlsformatspage.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/prompts.h"
#include "export/dialog/form/xlsformateditor.h"
#include "ui_xlspage.h"

namespace morvale::form {

TXLSFormatsPage::TXLSFormatsPage(TExportDialogModel& model, Ui::TXLSPage& ui, QWidget* page)
    : QObject(page), model_(model), ui_(ui), page_(page), editor_(new TxlsFormatEditor(page)) {
  ui_.layoutXLSFormatEditor->addWidget(editor_);
  for (TXLSFormatList l : {xflFields, xflBase, xflStrips}) {
    QListWidget* list = List(l);
    connect(list, &QListWidget::itemSelectionChanged, this, [this] {
      if (!refreshing_) ShowEditor();
    });
    connect(list, &QListWidget::currentRowChanged, this, [this] {
      if (!refreshing_) ShowEditor();
    });
  }
  connect(ui_.pcXLSLists, &QTabWidget::currentChanged, this, [this] { ShowEditor(); });
  connect(editor_, &TxlsFormatEditor::FormatChanged, this, &TXLSFormatsPage::FormatEdited);
  connect(ui_.bXLSReset, &QPushButton::clicked, this, &TXLSFormatsPage::bXLSResetClick);
  connect(ui_.bXLSResetAll, &QPushButton::clicked, this, &TXLSFormatsPage::bXLSResetAllClick);
  connect(ui_.tbXLSAddStyle, &QToolButton::clicked, this, &TXLSFormatsPage::tbXLSAddStyleClick);
  connect(ui_.tbXLSDeleteStyle, &QToolButton::clicked, this,
          &TXLSFormatsPage::tbXLSDeleteStyleClick);
  connect(ui_.tbXLSStyleUp, &QToolButton::clicked, this, [this] { tbXLSStyleMoveClick(-1); });
  connect(ui_.tbXLSStyleDown, &QToolButton::clicked, this, [this] { tbXLSStyleMoveClick(1); });
  connect(ui_.tbXLSSaveStyle, &QToolButton::clicked, this, &TXLSFormatsPage::tbXLSSaveStyleClick);
  connect(ui_.tbXLSLoadStyle, &QToolButton::clicked, this, &TXLSFormatsPage::tbXLSLoadStyleClick);
  Refresh();
}

QListWidget* TXLSFormatsPage::List(TXLSFormatList list) const {
  switch (list) {
    case xflFields:
      return ui_.lvXLSFields;
    case xflBase:
      return ui_.lvXLSOptions;
    case xflStrips:
      break;
  }
  return ui_.lvXLSStyles;
}

TXLSFormatList TXLSFormatsPage::Front() const {
  return static_cast<TXLSFormatList>(std::clamp(ui_.pcXLSLists->currentIndex(), 0, 2));
}

std::vector<int> TXLSFormatsPage::Selected(TXLSFormatList list) const {
  QListWidget* w = List(list);
  std::vector<int> rows;
  for (int i = 0; i < w->count(); ++i)
    if (w->item(i)->isSelected()) rows.push_back(i);
  return rows;
}

void TXLSFormatsPage::FillList(TXLSFormatList l) {
  QListWidget* list = List(l);
  std::vector<std::string> captions = model_.XLSFormatCaptions(l);
  bool same = list->count() == static_cast<int>(captions.size());
  for (int i = 0; same && i < list->count(); ++i) same = S(list->item(i)->text()) == captions[i];
  if (!same) {
    int row = list->currentRow();
    list->clear();
    for (const std::string& c : captions) list->addItem(Q(c));
    if (list->count() > 0) list->setCurrentRow(std::clamp(row, 0, list->count() - 1));
  }
  if (l == xflFields)
    for (int i = 0; i < list->count(); ++i)
      list->item(i)->setCheckState(model_.XLSFieldExported(i) ? Qt::Checked : Qt::Unchecked);
}

void TXLSFormatsPage::Refresh() {
  ++refreshing_;
  for (TXLSFormatList l : {xflFields, xflBase, xflStrips}) FillList(l);
  --refreshing_;
  ShowEditor();
}

void TXLSFormatsPage::ShowEditor() {
  TXLSFormatList front = Front();
  std::vector<TxlsFormat*> formats = model_.XLSFormats(front);
  std::vector<TxlsFormat*> selected;
  for (int i : Selected(front)) selected.push_back(formats[static_cast<size_t>(i)]);
  int focused = List(front)->currentRow();
  TxlsFormat* f =
      focused >= 0 && focused < static_cast<int>(formats.size()) ? formats[focused] : nullptr;
  editor_->SetFormats(selected, f, front == xflFields);
  ui_.bXLSReset->setText(selected.size() > 1 ? tr("Сбросить у выделенных") : tr("Сбросить"));
  ui_.bXLSReset->setEnabled(f != nullptr);
  ui_.bXLSResetAll->setEnabled(!formats.empty());
  TXLSStripButtons b = model_.XLSStripButtons(ui_.lvXLSStyles->currentRow(),
                                              static_cast<int>(Selected(xflStrips).size()));
  ui_.tbXLSDeleteStyle->setEnabled(b.Delete);
  ui_.tbXLSStyleUp->setEnabled(b.Up);
  ui_.tbXLSStyleDown->setEnabled(b.Down);
  ui_.tbXLSSaveStyle->setEnabled(b.Save);
}

void TXLSFormatsPage::FormatEdited() {
  model_.XLSFormatsEdited(Front(), Selected(Front()));
}

void TXLSFormatsPage::bXLSResetClick() {
  TXLSFormatList front = Front();
  std::vector<int> rows = Selected(front);
  int focused = List(front)->currentRow();
  if (focused >= 0 && std::find(rows.begin(), rows.end(), focused) == rows.end())
    rows.insert(rows.begin(), focused);
  if (rows.empty()) return;
  model_.ResetXLSFormats(front, rows);
  ShowEditor();
}

void TXLSFormatsPage::bXLSResetAllClick() {
  TXLSFormatList front = Front();
  QListWidget* list = List(front);
  if (list->count() == 0) return;
  if (!Prompts().Question(page_->window(), Q(TranslateText("ExportDialog", kXLSResetAllTitle)),
                          Q(TranslateText("ExportDialog", kXLSResetAllQuestion)),
                          IPrompts::TButtons::YesNo, false))
    return;
  int focused = list->currentRow();
  model_.ResetAllXLSFormats(front, focused);
  if (focused >= 0) {
    list->clearSelection();
    list->setCurrentRow(focused);
  }
  ShowEditor();
}

void TXLSFormatsPage::SelectStyle(int row) {
  QListWidget* list = ui_.lvXLSStyles;
  list->clearSelection();
  if (row >= 0 && row < list->count())
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  ShowEditor();
}

void TXLSFormatsPage::tbXLSAddStyleClick() {
  SelectStyle(model_.AddXLSStripStyle());
}

void TXLSFormatsPage::tbXLSDeleteStyleClick() {
  std::vector<int> rows = Selected(xflStrips);
  if (rows.empty()) return;
  SelectStyle(model_.DeleteXLSStripStyles(rows, ui_.lvXLSStyles->currentRow()));
}

void TXLSFormatsPage::tbXLSStyleMoveClick(int delta) {
  int row = ui_.lvXLSStyles->currentRow();
  TXLSStripButtons b = model_.XLSStripButtons(row, 1);
  if (delta < 0 ? !b.Up : !b.Down) return;
  SelectStyle(model_.MoveXLSStripStyle(row, delta));
}

// The style file's chooser; false when cancelled.
bool TXLSFormatsPage::StyleFileName(bool save, QString& name) {
  const TFileFilter filter{QString::fromUtf8(kXLSStyleFileFilter), kXLSStyleFileExt};
  QWidget* w = page_->window();
  return save ? Prompts().SaveFileName(w, filter, QString(), name)
              : Prompts().OpenFileName(w, filter, name);
}

void TXLSFormatsPage::tbXLSSaveStyleClick() {
  QString name;
  if (!StyleFileName(true, name)) return;
  RunShowingErrors(page_->window(), [&] { model_.SaveXLSStyles(S(name)); });
}

void TXLSFormatsPage::tbXLSLoadStyleClick() {
  QString name;
  if (!StyleFileName(false, name)) return;
  RunShowingErrors(page_->window(), [&] { model_.LoadXLSStyles(S(name)); });
  SelectStyle(ui_.lvXLSStyles->count() > 0 ? 0 : -1);
}

}  // namespace morvale::form
