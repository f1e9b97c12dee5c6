// One whole session on the demo database, as a person works: choose DEMO, read the tables, open
// orders, run a console query, export it to CSV through the export dialog, and read the file
// back with Python's csv module.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "tests/app/main/window.h"
#include "tests/support/demo.h"
#include "tests/support/scriptedprompts.h"

namespace morvale::test {
namespace {

TEST_F(WindowTest, EndToEndOnTheDemoDatabase) {
  prompts_.ClearAsked();  // what the export dialog asks from here on
  ReadDemoTables();
  ASSERT_EQ(Form().List_Tables->count(), 4);
  SelectTable("orders");
  DoubleClickTable();
  ASSERT_TRUE(Form().Query1().Active());
  EXPECT_EQ(Form().GridModel().rowCount(), 6);
  EXPECT_EQ(Cell(0, 0), "1001");

  Form().List_Tables->setCurrentItem(nullptr);
  Form().SQL->setPlainText(
      "/* the orders of customer 1 */\nSELECT id, customer_id, comment FROM orders\nWHERE "
      "customer_id = 1 ORDER BY id");
  Form().SpeedButton5->click();
  ASSERT_TRUE(Form().Query1().Active()) << (prompts_.Shown().empty() ? "" : prompts_.Shown()[0]);
  ASSERT_EQ(Form().GridModel().rowCount(), 2);

  std::string file;
  bool shown = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    shown = true;
    auto* types = dialog->findChild<QListWidget*>("lbExportType");
    for (int i = 0; i < types->count(); ++i)
      if (types->item(i)->data(Qt::UserRole).toInt() == aeCSV) types->setCurrentRow(i);
    file = dialog->findChild<QLineEdit*>("edFileName")->text().toStdString();
    Screenshot(*dialog, "export-dialog");
    PressOkWhenTheRunEnds(*dialog);
    dialog->findChild<QPushButton*>("bStart")->click();
    dialog->findChild<QPushButton*>("bClose")->click();
  });
  Form().SpeedButton4->click();
  ASSERT_TRUE(shown);
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Экспорт закончен");
  EXPECT_EQ(file, home_ + "mvl_Export/Unknown.csv");
  for (const auto& asked : prompts_.Asked()) ADD_FAILURE() << asked.text.toStdString();
  ASSERT_TRUE(std::filesystem::exists(file));

  std::string out;
  std::string script =
      "import csv, sys\n"
      "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8'), delimiter=';'))\n"
      "for r in rows: print('|'.join(r))\n";
  ASSERT_EQ(RunCommand(Python() + " -c " + ShellQuote(script) + " " + ShellQuote(file), out), 0);
  EXPECT_EQ(out, "id|customer_id|comment\n1001|1|Urgent\n1006|1|\n") << out;
  Screenshot(Form(), "main-window-query");
}

}  // namespace
}  // namespace morvale::test
