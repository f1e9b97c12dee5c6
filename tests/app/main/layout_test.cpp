// Nothing in the windows moves or changes size when the console's change marker shows, when the
// table source switches to a folder, or when another export type is chosen: the geometry of every
// control shown before and after is compared, and so is the window's own size.
#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <map>

#include "export/dialog/exporttypes.h"
#include "tests/app/main/window.h"

namespace morvale::test {
namespace {

// Every control shown, by its place in the tree of widgets (names where they have them), with its
// rectangle in the window's coordinates; the window itself under "".
using TGeometry = std::map<std::string, QRect>;

std::string PathOf(const QWidget* w, const QWidget* top) {
  std::string path;
  for (; w && w != top; w = w->parentWidget()) {
    std::string part = w->objectName().toStdString();
    if (part.empty()) {
      // An unnamed child: its class and its place among the parent's children of that class.
      int index = 0;
      if (const QObject* parent = w->parent())
        for (const QObject* sibling : parent->children()) {
          if (sibling == w) break;
          if (sibling->metaObject() == w->metaObject()) ++index;
        }
      part = std::string(w->metaObject()->className()) + "#" + std::to_string(index);
    }
    path = "/" + part + path;
  }
  return path;
}

TGeometry Geometry(QWidget& top) {
  TGeometry g;
  g[""] = QRect(QPoint(), top.size());
  for (QWidget* w : top.findChildren<QWidget*>()) {
    if (!w->isVisible() || w->isWindow()) continue;
    const std::string path = PathOf(w, &top);
    const QPoint at = w->mapTo(&top, QPoint());
    g[path] = QRect(at, w->size());
    // A tab's title may change with what its page shows (the captions page names its grid's
    // columns), so a tab bar is compared by where its tabs begin.
    if (auto* bar = qobject_cast<QTabBar*>(w)) {
      g[path] = QRect(at, QSize(0, w->height()));
      for (int i = 0; i < bar->count(); ++i)
        g[path + "/tab" + std::to_string(i)] =
            QRect(at + bar->tabRect(i).topLeft(), QSize(0, bar->tabRect(i).height()));
    }
  }
  return g;
}

// The controls shown both times whose place or size differ, one line each.
std::string Moved(const TGeometry& before, const TGeometry& after) {
  auto text = [](const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
  };
  std::string out;
  for (const auto& [path, rect] : before) {
    auto it = after.find(path);
    if (it != after.end() && it->second != rect)
      out += (path.empty() ? "the window" : path) + ": " + text(rect) + " -> " + text(it->second) +
             "\n";
  }
  return out;
}

class SteadyLayoutTest : public WindowTest {};

TEST_F(SteadyLayoutTest, TheMarkerAndTheFolderModeMoveNothing) {
  ReadDemoTables();
  Pump();
  const TGeometry start = Geometry(Form());
  ASSERT_GT(start.size(), 50u);

  // The change marker shows at the first key typed into the console.
  ASSERT_FALSE(Form().Label_YesModify->isVisible());
  Form().SQL->setFocus();
  QTest::keyClicks(Form().SQL, QStringLiteral(" "));
  Pump();
  ASSERT_TRUE(Form().Label_YesModify->isVisible());
  const TGeometry marked = Geometry(Form());
  EXPECT_EQ(Moved(start, marked), "");
  Screenshot(Form(), "layout-marker");

  // Folder mode: the users-only switch hides, the captions change their weight.
  QTest::mouseClick(Form().CheckBox2, Qt::LeftButton, {},
                    QPoint(8, Form().CheckBox2->height() / 2));
  Pump();
  ASSERT_TRUE(Form().CheckBox2->isChecked());
  ASSERT_FALSE(Form().CB_UsersOnly->isVisible());
  EXPECT_EQ(Moved(marked, Geometry(Form())), "");
  Screenshot(Form(), "layout-folder-mode");
  QTest::mouseClick(Form().CheckBox1, Qt::LeftButton, {},
                    QPoint(8, Form().CheckBox1->height() / 2));
  Pump();
  EXPECT_EQ(Moved(marked, Geometry(Form())), "");
}

TEST_F(SteadyLayoutTest, EveryExportTypeKeepsTheDialogAsItIs) {
  OpenDemoTable("orders");
  ASSERT_TRUE(Form().Query1().Active());
  int types = 0;
  bool shown = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown = true;
    Pump();
    auto* list = dialog->findChild<QListWidget*>("lbExportType");
    const TGeometry first = Geometry(*dialog);
    for (int i = 0; i < list->count(); ++i) {
      list->scrollToItem(list->item(i));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                        list->visualItemRect(list->item(i)).center());
      Pump(20);
      ASSERT_EQ(list->currentRow(), i);
      EXPECT_EQ(Moved(first, Geometry(*dialog)), "") << list->item(i)->text().toStdString();
      ++types;
    }
    dialog->findChild<QPushButton*>("bClose")->click();
  });
  Form().SpeedButton4->click();
  ASSERT_TRUE(shown);
  EXPECT_EQ(types, static_cast<int>(ExportTypeTable().size()));
}

}  // namespace
}  // namespace morvale::test
