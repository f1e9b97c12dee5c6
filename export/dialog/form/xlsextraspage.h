// The sub-page "Extensions" of the spreadsheet page: the tree of the sheet's extras (hyperlinks,
// notes, charts with their series, extra cells, merged ranges) with its add and delete buttons,
// and in front of it the editor of the selected node's kind. What the editors change goes
// straight into the working copy's items through the tree's nodes.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "export/dialog/xlsextrastree.h"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace morvale::form {

class TxlsFormatEditor;

class TxlsExtrasPage : public QWidget {
  Q_OBJECT

 public:
  // `columns`: the export columns' names, in column order, offered by the charts and series.
  TxlsExtrasPage(TXLSPage& page, QStringList columns, QWidget* parent = nullptr);
  ~TxlsExtrasPage() override;

  // Follows the working copy: builds the tree anew when the page's extras were replaced (an
  // options file loaded), and shows the selected item again.
  void Refresh();
  TxlsExtrasTree& Tree() { return tree_; }
  // The sheets of the extra cell's editor: "Общее", then the format editor's.
  QTabWidget* CellSheets() const { return cellSheets_; }

  void tbAddExtraClick();
  void tbDeleteExtraClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildHyperlinkEditor();
  QWidget* BuildNoteEditor();
  QWidget* BuildNoteFontSheet();
  QWidget* BuildNoteFillSheet();
  QWidget* BuildChartEditor();
  QWidget* BuildChartPositionSheet();
  QWidget* BuildChartLabelsSheet();
  QWidget* BuildSeriesEditor();
  QWidget* BuildCellEditor();
  QWidget* BuildMergedEditor();

  // Shows the tree's nodes again, selecting the tree's selected node.
  void ShowTree();
  void SelectionChanged();
  // Brings the selected kind's editor to the front and shows the item.
  void ShowEditor();
  void UpdateNodeText(TxlsExtrasNode& node);

  // The item of the selected node, when it is a T.
  template <class T>
  T* Item() const {
    return tree_.Selected() ? tree_.Selected()->As<T>() : nullptr;
  }
  // An integer field of the selected item, read when it loses the focus (and on Enter with
  // `onEnter`): kept in `bits` bits, the stored value shown back.
  template <class T>
  QLineEdit* IntField(const char* name, int bits, std::function<int&(T&)> field,
                      bool onEnter = false);
  // A text field stored on every change.
  template <class T>
  QLineEdit* TextField(const char* name, std::function<void(T&, const std::string&)> set);
  // A drop-down of the export columns bound to a column name of the selected item.
  template <class T>
  QComboBox* ColumnField(const char* name, std::function<std::string&(T&)> field);
  // "Column" with a choice of the export columns, or "Custom" with "Col 1", "Row 1", "Col 2",
  // "Row 2"; the fields of the choice not taken are disabled. Named rb<name>Column,
  // cbx<name>Column, ed<name>Col1 ...
  template <class T>
  void RangeField(QFormLayout* form, const std::string& name,
                  std::function<TxlsRangeType&(T&)> type, std::function<std::string&(T&)> column,
                  std::function<TxlsDataRange&(T&)> range);
  // A drop-down whose index is an enumeration value of the selected item.
  template <class T>
  QComboBox* IndexField(const char* name, const QStringList& items, std::function<int(T&)> get,
                        std::function<void(T&, int)> set);
  // How the current editor's controls show the selected item (run while showing_ is up).
  void OnShow(std::function<void()> show) {
    show_[static_cast<size_t>(building_)].push_back(std::move(show));
  }

  TxlsExtrasTree tree_;
  QStringList columns_;
  QTreeWidget* tvExtras_ = nullptr;
  QToolButton* tbAdd_ = nullptr;
  QToolButton* tbDelete_ = nullptr;
  QStackedWidget* editors_ = nullptr;
  QTabWidget* cellSheets_ = nullptr;
  TxlsFormatEditor* cellFormat_ = nullptr;
  std::map<QObject*, std::function<void()>> focusOut_;
  // What each editor does to show the selected item, by kind.
  std::vector<std::vector<std::function<void()>>> show_;
  int building_ = 0;  // the kind whose editor is being built
  int showing_ = 0;
};

}  // namespace morvale::form
