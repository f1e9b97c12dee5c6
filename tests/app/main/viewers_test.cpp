// The viewers as the main window opens them: a field's text, the current record, the structure.
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "tests/app/main/window.h"

namespace morvale::test {
namespace {

class ViewersTest : public WindowTest {
 protected:
  // Looks at the modal dialog once it shows, keeps its picture and closes it with OK.
  void WhenShown(const std::string& screenshot, std::function<void(QDialog&)> look) {
    QTimer::singleShot(0, [this, screenshot, look] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      shown_ = true;
      look(*dialog);
      Screenshot(*dialog, screenshot);
      dialog->findChild<QPushButton*>("OKBtn")->click();
    });
  }
  void SelectCell(int row, int col) {
    Form().DBGrid1->setCurrentIndex(Form().GridModel().index(row, col));
  }
  bool shown_ = false;
};

TEST_F(ViewersTest, FieldTextOfTheSelectedCell) {
  OpenDemoTable("customers");
  SelectCell(1, 6);  // a memo of two lines; the grid shows the first
  EXPECT_EQ(Cell(1, 6), "Доставка только по будням.");
  std::string text;
  WhenShown("view-field", [&](QDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Содержание поля");
    text = d.findChild<QPlainTextEdit*>("INFO")->toPlainText().toStdString();
  });
  QWidget* viewport = Form().DBGrid1->viewport();
  QPoint at = Form().DBGrid1->visualRect(Form().DBGrid1->currentIndex()).center();
  QTest::mousePress(viewport, Qt::LeftButton, {}, at);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
  EXPECT_TRUE(shown_);
  EXPECT_EQ(text, "Доставка только по будням.\nЗвонить заранее.");
  // Emptied again afterwards.
  EXPECT_TRUE(Windows().ViewMemo->findChild<QPlainTextEdit*>("INFO")->toPlainText().isEmpty());
}

TEST_F(ViewersTest, RowViewShowsNullAndEmptyValuesAndLeavesMemosOut) {
  ReadDemoTables();
  Form().SQL->setPlainText("SELECT id, name, city, '' AS empty, notes FROM customers WHERE id = 6");
  Form().SpeedButton5->click();
  ASSERT_TRUE(Form().Query1().Active());
  SelectCell(0, 1);
  std::vector<std::string> rows;
  std::string head, count;
  WhenShown("view-row", [&](QDialog& d) {
    head = d.findChild<QLabel*>("LabelHead")->text().toStdString();
    count = d.findChild<QLabel*>("Label_Count")->text().toStdString();
    auto* list = d.findChild<QListWidget*>("ListView");
    for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
  });
  Form().findChild<QAction*>("N15")->trigger();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(head, "Содержание строки таблицы");
  EXPECT_EQ(count, "Кол-во строк = 4");
  EXPECT_EQ(rows,
            (std::vector<std::string>{"id=6", "name=Blank Notes Inc", "city=null", "empty= "}));
}

TEST_F(ViewersTest, StructureOfTheOpenQuery) {
  // Nothing open: the message, no dialog.
  Form().findChild<QAction*>("N7")->trigger();
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0], "Сначала откройте таблицу ...");

  OpenDemoTable("customers");
  std::vector<std::vector<std::string>> cells;
  std::string sql;
  WhenShown("view-structure", [&](QDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Структура таблицы");
    auto* grid = d.findChild<QTableWidget*>("SG_Str");
    for (int r = 0; r < 3 && r < grid->rowCount(); ++r) {
      std::vector<std::string> row;
      for (int c = 0; c < 3; ++c)
        row.push_back(grid->item(r, c) ? grid->item(r, c)->text().toStdString() : "");
      cells.push_back(row);
    }
    sql = d.findChild<QPlainTextEdit*>("RE_SQL")->toPlainText().toStdString();
  });
  Form().findChild<QAction*>("N7")->trigger();
  EXPECT_TRUE(shown_);
  ASSERT_GE(cells.size(), 2u);
  EXPECT_EQ(sql, "SELECT *\nFROM customers");
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Таблица customers - структура считана");
}

}  // namespace
}  // namespace morvale::test
