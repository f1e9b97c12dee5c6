// The alias and table browser, driven through the real widgets.
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTest>

#include "tests/app/main/window.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

std::vector<std::string> Lines(const TStringList& l) {
  return l.Lines();
}

TEST_F(WindowTest, StartsInAliasModeWithTheDemoAliasListed) {
  EXPECT_EQ(Form().windowTitle().toStdString(), "Morvale");
  EXPECT_TRUE(Form().CheckBox1->isChecked());
  EXPECT_FALSE(Form().CheckBox2->isChecked());
  EXPECT_TRUE(Form().CheckBox1->font().bold());
  EXPECT_FALSE(Form().CheckBox2->font().bold());
  EXPECT_GE(Form().CB_AliasBDE5->findText("DEMO"), 0);
  EXPECT_EQ(Form().FilterExt1->count(), 3);
  EXPECT_EQ(Form().FilterExt1->currentText().toStdString(), "dbf-файлы");
  EXPECT_EQ(Form().FilterExt1->itemData(2).toString().toStdString(), "*.*");
  EXPECT_EQ(ConsoleText(), "SELECT *\nFROM\n???\n");
  EXPECT_FALSE(Form().Label_YesModify->isVisible());
  EXPECT_EQ(Form().EditSimb->text().toStdString(), "\"");
  // The working folders beside the settings file.
  EXPECT_EQ(Form().ExportFolder(), home_ + "mvl_Export/");
  EXPECT_TRUE(std::filesystem::is_directory(home_ + "mvl_SQL"));
  // The connection buttons are on; disconnecting waits for a slot with a database.
  EXPECT_TRUE(Form().SB_Connect_DB->isEnabled());
  EXPECT_TRUE(Form().SpeedButton14->isEnabled());
  EXPECT_FALSE(Form().SB_DisConnect_DB->isEnabled());
  EXPECT_TRUE(Form().findChild<QAction*>("N16")->isEnabled());
}

TEST_F(WindowTest, ReadsTheTablesOfTheAliasAndItsParameters) {
  ReadDemoTables();
  std::vector<std::string> tables;
  for (int i = 0; i < Form().List_Tables->count(); ++i)
    tables.push_back(Form().List_Tables->item(i)->text().toStdString());
  EXPECT_EQ(tables, (std::vector<std::string>{"customers", "order_items", "orders", "products"}));
  EXPECT_EQ(Form().InfoAboutAlias->toPlainText().toStdString(), "PATH=" + DemoDatabase());
  // Without the standard login there is no user name.
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "USER_NAME = ");

  // Copying the list: one name per line.
  Form().findChild<QAction*>("N4")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
            "customers\r\norder_items\r\norders\r\nproducts\r\n");

  // A change of alias empties the list, the info and the grid.
  SelectTable("orders");
  Form().List_TablesDblClick();
  ASSERT_TRUE(Form().Query1().Active());
  Form().CB_AliasBDE5->addItem("OTHER");
  Form().CB_AliasBDE5->setCurrentText("OTHER");
  EXPECT_EQ(Form().List_Tables->count(), 0);
  EXPECT_TRUE(Form().InfoAboutAlias->toPlainText().isEmpty());
  EXPECT_FALSE(Form().Query1().Active());
  EXPECT_EQ(Form().GridModel().rowCount(), 0);
  EXPECT_TRUE(Form().Query1().SQL.Empty());
}

TEST_F(WindowTest, OpensATableSortedByTheTrimmedSortText) {
  ReadDemoTables();
  SelectTable("customers");
  Form().Field_IndexName->setText("  city, id  ");
  DoubleClickTable();
  EXPECT_EQ(Lines(Form().Query1().SQL),
            (std::vector<std::string>{"SELECT *", "FROM customers", "ORDER BY city, id"}));
  EXPECT_EQ(Form().Field_IndexName->text().toStdString(), "city, id");
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Таблица customers - открыта");
  // The console mirrors the generated text, which does not count as a change.
  EXPECT_EQ(ConsoleText(), "SELECT *\nFROM customers\nORDER BY city, id");
  EXPECT_FALSE(Form().Label_YesModify->isVisible());
  // The grid shows the result in its order, captions from the fields.
  EXPECT_EQ(Form().GridModel().columnCount(), 7);
  EXPECT_EQ(
      Form().GridModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
      "name");
  EXPECT_EQ(Cell(0, 1), "Blank Notes Inc");  // a NULL city sorts first, shown blank
  EXPECT_EQ(Cell(0, 2), "");
  EXPECT_EQ(Cell(1, 2), "Dublin");
  EXPECT_EQ(Cell(5, 1), "ООО \"Ромашка\"");
  EXPECT_EQ(Form().GridModel().rowCount(), Form().Query1().RecordCount());
}

TEST_F(WindowTest, ShowAndDescribeWriteTheirCommandsAndLeaveTheMarkerOn) {
  ReadDemoTables();
  SelectTable("orders");
  Form().Field_IndexName->setText(" id ");
  Form().findChild<QAction*>("DESC1")->trigger();
  EXPECT_EQ(Lines(Form().Query1().SQL), (std::vector<std::string>{"DESCRIBE ", "orders"}));
  EXPECT_EQ(Form().Field_IndexName->text().toStdString(), " id ");  // untouched
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Таблица orders - команда выполнена");
  EXPECT_TRUE(Form().Query1().Active());
  EXPECT_TRUE(Form().Label_YesModify->isVisible());

  Form().findChild<QAction*>("index1")->trigger();  // the entry captioned "поля" ("fields")
  EXPECT_EQ(Lines(Form().Query1().SQL), (std::vector<std::string>{"SHOW FIELDS", "FROM orders"}));
  EXPECT_EQ(Form().findChild<QAction*>("index1")->text().toStdString(), "поля");
  EXPECT_EQ(Cell(0, 0), "id");
  Form().findChild<QAction*>("fields1")->trigger();  // "индексы" ("index")
  EXPECT_EQ(Lines(Form().Query1().SQL), (std::vector<std::string>{"SHOW INDEX", "FROM orders"}));
  EXPECT_EQ(ConsoleText(), "SHOW INDEX\nFROM orders");
}

TEST_F(WindowTest, NothingSelectedOnlyClosesTheQuery) {
  OpenDemoTable("orders");
  ASSERT_TRUE(Form().Query1().Active());
  Form().List_Tables->clearSelection();
  Form().List_Tables->setCurrentItem(nullptr);
  Form().SpeedButton3->click();
  EXPECT_FALSE(Form().Query1().Active());
  EXPECT_TRUE(Form().Query1().SQL.Empty());
  EXPECT_EQ(ConsoleText(), "");
}

TEST_F(WindowTest, AFailedOpeningKeepsTheRunningStatusAndShowsTheEngineMessage) {
  ReadDemoTables();
  Form().List_Tables->addItem("no_such_table");
  SelectTable("no_such_table");
  Form().SpeedButton3->click();
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Пытаемся открыть таблицу ...");
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_NE(prompts_.Shown()[0].find("no_such_table"), std::string::npos) << prompts_.Shown()[0];
  EXPECT_EQ(ConsoleText(), "");  // step 7 did not run
}

TEST_F(WindowTest, UsersOnlyWithTheStandardLoginAsksForTheUsersTables) {
  Form().CheckBox3->click();
  EXPECT_FALSE(Form().Database1().LoginPrompt);
  EXPECT_EQ(Lines(Form().Database1().Params),
            (std::vector<std::string>{"USER NAME=SYSDBA", "password=brickmoss"}));
  Form().CB_UsersOnly->click();
  ReadDemoTables();
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "USER_NAME = SYSDBA");
  // SQLite has no owners: no table belongs to SYSDBA.
  EXPECT_EQ(Form().List_Tables->count(), 0);
  Form().CB_UsersOnly->click();
  ReadDemoTables();
  EXPECT_EQ(Form().List_Tables->count(), 4);
  Form().CheckBox3->click();
  EXPECT_TRUE(Form().Database1().LoginPrompt);
  EXPECT_TRUE(Form().Database1().Params.Empty());
}

class FolderModeTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    folder_ = FreshFolder("main_dbf_tables");
    TDbfBuilder b;
    b.Add("ID", 'N', 5);
    b.Add("NAME", 'C', 12);
    b.rows = {{"2", "Беляев"}, {"1", "Adams"}};
    WriteFile(folder_ + "orders.dbf", b.Build());
    WriteFile(folder_ + "notes.db", "");
    WriteFile(folder_ + "readme.txt", "");
  }
  std::string folder_;
};

TEST_F(FolderModeTest, ListsTheFolderByPatternAndOpensTheQuotedPath) {
  Form().CheckBox2->click();
  EXPECT_TRUE(Form().CheckBox2->isChecked());
  EXPECT_FALSE(Form().CheckBox1->isChecked());
  EXPECT_TRUE(Form().CheckBox2->font().bold());
  EXPECT_FALSE(Form().CB_UsersOnly->isVisible());
  prompts_.SetNextPath(folder_.substr(0, folder_.size() - 1) + "  ");
  Form().SpeedButton1->click();
  EXPECT_EQ(Form().Edit_DirFileTable->text().toStdString(), folder_);
  Form().SpeedButton2->click();
  ASSERT_EQ(Form().List_Tables->count(), 1);
  EXPECT_EQ(Form().List_Tables->item(0)->text().toStdString(), "orders.dbf");
  Form().FilterExt1->setCurrentIndex(2);  // "*.*": a change of pattern empties the list
  EXPECT_EQ(Form().List_Tables->count(), 0);
  Form().SpeedButton2->click();
  EXPECT_EQ(Form().List_Tables->count(), 3);

  SelectTable("orders.dbf");
  Form().Field_IndexName->setText("ID");
  Form().SpeedButton3->click();
  EXPECT_EQ(
      Lines(Form().Query1().SQL),
      (std::vector<std::string>{"SELECT *", "FROM \"" + folder_ + "orders.dbf\"", "ORDER BY ID"}));
  ASSERT_TRUE(Form().Query1().Active()) << (prompts_.Shown().empty() ? "" : prompts_.Shown()[0]);
  EXPECT_EQ(Cell(0, 1), "Adams");
  EXPECT_EQ(Cell(1, 1), "Беляев");
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Таблица orders.dbf - открыта");

  // Back to alias mode: the connection is reset and the sort text cleared.
  Form().CheckBox1->click();
  EXPECT_TRUE(Form().CheckBox1->isChecked());
  EXPECT_FALSE(Form().CheckBox2->isChecked());
  EXPECT_FALSE(Form().Query1().Active());
  EXPECT_TRUE(Form().Field_IndexName->text().isEmpty());
  EXPECT_TRUE(Form().CB_UsersOnly->isVisible());
}

TEST_F(FolderModeTest, ACancelledFolderChooserChangesNothing) {
  Form().CheckBox2->click();
  Form().Edit_DirFileTable->setText(QString::fromStdString(folder_));
  Form().SpeedButton1->click();  // no answer scripted: cancelled
  EXPECT_EQ(Form().Edit_DirFileTable->text().toStdString(), folder_);
  ASSERT_EQ(prompts_.ChooserStarts().size(), 1u);
  EXPECT_EQ(prompts_.ChooserStarts()[0], folder_);
}

}  // namespace
}  // namespace morvale::test
