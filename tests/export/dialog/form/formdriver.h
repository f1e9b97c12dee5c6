// Drives the export dialog's form the way a person does: clicks, double clicks and typing,
// through QTest, with widgets found by their designer names.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "export/dialog/form/exportdialogform.h"
#include "tests/export/dialog/form/formsupport.h"

namespace morvale::test {

class TFormDriver {
 public:
  explicit TFormDriver(form::TExportDialogF& form) : form_(form) {}

  template <class T = QWidget>
  T* W(const char* name) {
    return Child<T>(&form_, name);
  }

  // Switches take a click on their box, not on the empty room a layout gives them on the right.
  void Click(QWidget* w) {
    const bool box = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, box ? QPoint(8, w->height() / 2) : w->rect().center());
  }
  // Types text as key presses; QTest's own typing knows only ASCII keys, so the other letters
  // (Cyrillic captions) are sent as key events that carry their text.
  static void Keys(QWidget* w, const QString& text) {
    for (QChar ch : text) {
      if (ch.unicode() < 128) {
        QTest::keyClicks(w, QString(ch));
      } else {
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
      }
    }
  }
  void Click(const char* name) { Click(W(name)); }

  QListWidgetItem* Item(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().compare(text, Qt::CaseInsensitive) == 0) return list->item(i);
    ADD_FAILURE() << "no item " << text.toStdString() << " in " << list->objectName().toStdString();
    return nullptr;
  }
  void ClickItem(const char* list, const QString& text) {
    auto* l = W<QListWidget>(list);
    if (QListWidgetItem* i = Item(l, text)) {
      l->scrollToItem(i);
      QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(i).center());
    }
  }
  void DoubleClickItem(const char* list, const QString& text) {
    auto* l = W<QListWidget>(list);
    if (QListWidgetItem* i = Item(l, text)) {
      l->scrollToItem(i);
      QPoint at = l->visualItemRect(i).center();
      QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
    }
  }

  // Brings a tab to the front by clicking it; false when the tab is hidden or greyed for the type.
  bool Tab(const char* tabs, const char* page) {
    auto* t = W<QTabWidget>(tabs);
    int i = t->indexOf(W(page));
    if (i < 0 || !t->isTabVisible(i) || !t->isTabEnabled(i)) return false;
    QTest::mouseClick(t->tabBar(), Qt::LeftButton, {}, t->tabBar()->tabRect(i).center());
    return t->currentIndex() == i;
  }

  void Type(const char* edit, const QString& text) {
    auto* e = W<QLineEdit>(edit);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    Keys(e, text);
  }
  void TypeLines(const char* memo, const QString& text) {
    auto* m = W<QPlainTextEdit>(memo);
    m->setFocus();
    Keys(m, text);
  }

  int GridRow(const QString& field) {
    auto* g = W<QTableWidget>("sgCaptions");
    for (int r = 0; r < g->rowCount(); ++r)
      if (g->item(r, 0)->text().compare(field, Qt::CaseInsensitive) == 0) return r;
    ADD_FAILURE() << "no captions row " << field.toStdString();
    return -1;
  }
  // Opens the cell's editor with a double click and returns it (the grid's one visible editor).
  QWidget* EditCell(int row, int column) {
    auto* g = W<QTableWidget>("sgCaptions");
    g->scrollToItem(g->item(row, column));
    QRect r = g->visualItemRect(g->item(row, column));
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, r.center());
    for (QWidget* w : g->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w->isVisible()) return w;
    ADD_FAILURE() << "no editor in row " << row << ", column " << column;
    return nullptr;
  }
  void Caption(const QString& field, const QString& caption) {
    int row = GridRow(field);
    if (row < 0) return;
    auto* e = qobject_cast<QLineEdit*>(EditCell(row, 1));
    ASSERT_NE(e, nullptr);
    e->selectAll();
    Keys(e, caption);
    Commit(e);
  }
  // Return ends the edit; the grid takes the value on its next turn of the event loop.
  static void Commit(QWidget* editor) {
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
  }
  // The grid's column with this header, or -1.
  int GridColumn(const QString& header) {
    auto* g = W<QTableWidget>("sgCaptions");
    for (int c = 0; c < g->columnCount(); ++c)
      if (g->horizontalHeaderItem(c) && g->horizontalHeaderItem(c)->text() == header) return c;
    return -1;
  }
  void Width(const QString& field, int width) {
    int row = GridRow(field), col = GridColumn(QStringLiteral("Ширина"));
    if (row < 0 || col < 0) return;
    auto* s = qobject_cast<QSpinBox*>(EditCell(row, col));
    ASSERT_NE(s, nullptr);
    s->selectAll();
    QTest::keyClicks(s, QString::number(width));
    Commit(s);
  }
  void Align(const QString& field, int index) {
    int row = GridRow(field), col = GridColumn(QStringLiteral("Выравнивание"));
    if (row < 0 || col < 0) return;
    auto* c = qobject_cast<QComboBox*>(EditCell(row, col));
    ASSERT_NE(c, nullptr);
    c->setCurrentIndex(index);
    Commit(c);
  }

 private:
  form::TExportDialogF& form_;
};

// Tab walks each editor's fields in reading order: down the form, left to right along a line, a
// column to its right after the one before.
// Returns the first pair out of order, empty when none is.
inline std::string FocusOutOfReadingOrder(QWidget* panel) {
  QWidget* start = panel->nextInFocusChain();
  std::vector<QWidget*> chain;
  for (QWidget* w = start; w; w = w->nextInFocusChain()) {
    if (panel->isAncestorOf(w) && w->isVisible() && w->isEnabled() &&
        (w->focusPolicy() & Qt::TabFocus))
      chain.push_back(w);
    if (w->nextInFocusChain() == start) break;
  }
  auto name = [](QWidget* w) {
    return (w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName())
        .toStdString();
  };
  for (size_t i = 1; i < chain.size(); ++i) {
    const QPoint a = chain[i - 1]->mapTo(panel, QPoint(0, 0));
    const QPoint b = chain[i]->mapTo(panel, QPoint(0, 0));
    const bool sameLine = std::abs(a.y() - b.y()) < chain[i - 1]->height() / 2 + 1;
    // Up is allowed only into a column further right, as a sheet of two columns walks them.
    if (sameLine ? b.x() < a.x() : b.y() < a.y() && b.x() <= a.x())
      return name(chain[i - 1]) + " then " + name(chain[i]);
  }
  return chain.size() < 2 ? "fewer than two fields" : "";
}

}  // namespace morvale::test
