// What the window says when an action cannot do what was asked: an empty console, a memo export
// given a field that is no memo, a table folder that has gone; and what it offers: the memo
// entry of the grid's menu on memo columns only, the Boolean words a Boolean field writes, no
// printing of the clipboard.
#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "export/dialog/exporttypes.h"
#include "tests/app/main/window.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class FeedbackTest : public WindowTest {
 protected:
  int Column(const std::string& field) {
    for (int c = 0; c < Form().GridModel().columnCount(); ++c)
      if (Form()
              .GridModel()
              .headerData(c, Qt::Horizontal, Qt::DisplayRole)
              .toString()
              .toStdString() == field)
        return c;
    ADD_FAILURE() << field;
    return 0;
  }
  // The grid's menu opened on the first row's cell of `field`; whether the memo entry is offered.
  bool MemoEntryOfferedOn(const std::string& field) {
    QWidget* viewport = Form().DBGrid1->viewport();
    QPoint at = Form().DBGrid1->visualRect(Form().GridModel().index(0, Column(field))).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    bool offered = Form().N11->isEnabled();
    Form().GridMenu()->close();
    return offered;
  }
};

TEST_F(FeedbackTest, AnEmptyConsoleSaysSo) {
  for (const char* text : {"", "  \n\t\n"}) {
    prompts_.ClearAsked();
    Form().SQL->setPlainText(QString::fromUtf8(text));
    Form().SpeedButton5->click();
    ASSERT_EQ(prompts_.Shown().size(), 1u) << '"' << text << '"';
    EXPECT_EQ(prompts_.Shown()[0],
              "SQL-запрос пуст. Введите команду SELECT, SHOW или DESC и нажмите кнопку ещё раз");
    EXPECT_EQ(Form().Label_Info->text().toStdString(), "SQL-запрос пуст");
    EXPECT_FALSE(Form().Query1().Active());
  }
}

TEST_F(FeedbackTest, TheMemoExportNamesTheMemoFieldsAndTheMenuOffersOnlyThem) {
  OpenDemoTable("customers");
  ASSERT_TRUE(Form().Query1().Active());
  EXPECT_FALSE(MemoEntryOfferedOn("name"));
  EXPECT_TRUE(MemoEntryOfferedOn("notes"));
  Form().N11->trigger();
  EXPECT_EQ(Form().Edit_FieldNameMEMO->text().toStdString(), "notes");

  Form().Edit_FieldNameMEMO->setText(QStringLiteral("name"));
  Form().SpeedButton11->click();
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0],
            "MEMO-поле указано некорректно ...\nMEMO-поля этого набора данных: notes");

  // A result without memo fields says that there is none.
  prompts_.ClearAsked();
  Form().List_Tables->setCurrentItem(nullptr);
  Form().SQL->setPlainText(QStringLiteral("SELECT id, name FROM customers"));
  Form().SpeedButton5->click();
  ASSERT_TRUE(Form().Query1().Active());
  EXPECT_FALSE(MemoEntryOfferedOn("name"));
  Form().Edit_FieldNameMEMO->setText(QStringLiteral("id"));
  Form().SpeedButton11->click();
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0],
            "MEMO-поле указано некорректно ...\nВ этом наборе данных нет MEMO-полей.");
}

TEST_F(FeedbackTest, ATableFolderThatIsGoneIsAnError) {
  const std::string folder = home_ + "tables/";
  std::filesystem::create_directories(folder);
  TDbfBuilder b;
  b.Add("ID", 'N', 5);
  b.rows = {{"1"}};
  WriteFile(folder + "one.dbf", b.Build());
  // On its box: the widget is wider than its caption.
  QTest::mouseClick(Form().CheckBox2, Qt::LeftButton, {},
                    QPoint(8, Form().CheckBox2->height() / 2));
  Form().Edit_DirFileTable->setText(QString::fromStdString(folder));
  Form().SpeedButton2->click();
  ASSERT_EQ(Form().List_Tables->count(), 1);
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Список таблиц прочитан");

  std::filesystem::remove_all(folder);
  Form().SpeedButton2->click();
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0], "Папка таблиц не найдена или недоступна: " + folder);
  EXPECT_EQ(Form().List_Tables->count(), 0);
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Читаем список таблиц ...");
}

TEST_F(FeedbackTest, TheDialogShowsTheBooleanWordsAndPrintsNoClipboard) {
  OpenDemoTable("customers");
  EXPECT_EQ(Cell(0, Column("vip")), "True");  // what a Boolean field writes
  bool shown = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    shown = true;
    EXPECT_EQ(d->findChild<QLineEdit*>("edBooleanTrue")->text().toStdString(), "True");
    EXPECT_EQ(d->findChild<QLineEdit*>("edBooleanFalse")->text().toStdString(), "False");
    auto* types = d->findChild<QListWidget*>("lbExportType");
    auto* print = d->findChild<QAbstractButton*>("cbPrintFile");
    auto* show = d->findChild<QAbstractButton*>("cbShowFile");
    for (int i = 0; i < types->count(); ++i) {
      types->setCurrentRow(i);
      const bool file = types->item(i)->data(Qt::UserRole).toInt() != aeClipboard;
      EXPECT_EQ(print->isEnabled(), file) << types->item(i)->text().toStdString();
      EXPECT_EQ(show->isEnabled(), file) << types->item(i)->text().toStdString();
      if (!file) {
        Pump(50);  // laid out at the size it shows with
        Screenshot(*d, "export-dialog-clipboard");
      }
    }
    d->findChild<QPushButton*>("bClose")->click();
  });
  Form().SpeedButton4->click();
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace morvale::test
