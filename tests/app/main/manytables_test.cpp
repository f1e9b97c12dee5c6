// Several tables of the list exported in one run from the main window: chosen with Ctrl and
// Shift, "Экспорт" opens the dialog once, each table gets its file under one progress window,
// and that window's button stops the run between two tables. On the awkward database, whose
// names hold spaces and Cyrillic.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/engine/aliases.h"
#include "tests/app/main/window.h"
#include "tests/support/awkward.h"
#include "tests/support/demo.h"
#include "tests/support/scriptedprompts.h"

namespace morvale::test {
namespace {

class ManyTablesTest : public WindowTest {
 protected:
  void BeforeWindows() override {
    WriteFile(home_ + "engine.ini", "[AWKWARD]\nDRIVER=SQLITE\nPATH=" + AwkwardDatabase() + "\n");
    TAliasConfig::Instance().Load(home_ + "user.ini", home_ + "engine.ini");
  }

  // Reads the awkward tables, clicks the first of `names`, Shift-clicks the second and
  // Ctrl-clicks the rest, as a person picks them.
  void PickTables(const std::vector<std::string>& names) {
    Form().CB_AliasBDE5->setCurrentText(QStringLiteral("AWKWARD"));
    Form().SpeedButton2->click();
    QListWidget* list = Form().List_Tables;
    for (size_t i = 0; i < names.size(); ++i) {
      auto found = list->findItems(QString::fromStdString(names[i]), Qt::MatchExactly);
      ASSERT_EQ(found.size(), 1) << names[i];
      const Qt::KeyboardModifiers keys = i == 0   ? Qt::NoModifier
                                         : i == 1 ? Qt::ShiftModifier
                                                  : Qt::ControlModifier;
      QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                        list->visualItemRect(found[0]).center());
    }
  }

  // Presses "Экспорт"; in the dialog that opens, chooses the type, lets `setUp` set the dialog,
  // presses the start, then closes the dialog. `watch` is called with the progress window on
  // every turn of the event loop until it is gone. Returns how many times the dialog was shown
  // and the file name it showed.
  int ExportAs(int type, const std::function<void(QWidget& progress)>& watch, std::string& fileName,
               const std::function<void(QWidget& dialog)>& setUp = {}) {
    int shown = 0;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      ++shown;
      auto* types = dialog->findChild<QListWidget*>("lbExportType");
      for (int i = 0; i < types->count(); ++i)
        if (types->item(i)->data(Qt::UserRole).toInt() == type) types->setCurrentRow(i);
      if (setUp) setUp(*dialog);
      fileName = dialog->findChild<QLineEdit*>("edFileName")->text().toStdString();
      auto* poll = new QTimer(dialog);
      QObject::connect(poll, &QTimer::timeout, [&watch] {
        for (QWidget* w : QApplication::topLevelWidgets())
          if (w->objectName() == "fmExportProgress" && w->isVisible()) watch(*w);
      });
      poll->start(0);
      dialog->findChild<QPushButton*>("bStart")->click();
      dialog->findChild<QPushButton*>("bClose")->click();
    });
    Form().SpeedButton4->click();
    return shown;
  }

  std::string Folder() const { return home_ + "mvl_Export/"; }
};

std::string Text(QWidget& window, const char* label) {
  auto* l = window.findChild<QLabel*>(label);
  return l && l->isVisible() ? l->text().toStdString() : std::string();
}

// Presses the progress window's button once the run is over ("OK") and what became of the
// tables is shown, keeping its texts.
void CloseWhenDone(QWidget& progress, std::string& table, std::string& note) {
  auto* button = progress.findChild<QPushButton*>("btnCancel");
  if (button->text() != "OK" || Text(progress, "laNote").empty()) return;
  table = Text(progress, "laTable");
  note = Text(progress, "laNote");
  button->click();
}

// Row counts and captions of each CSV against its table, read by python3's csv and sqlite3.
std::string CsvAgainstTables(const std::vector<std::string>& files) {
  const std::string script = R"(
import csv, os, sqlite3, sys
con = sqlite3.connect(sys.argv[1])
for f in sys.argv[2:]:
    table = os.path.basename(f)[:-4]
    rows = list(csv.reader(open(f, encoding='utf-8', newline=''), delimiter=';'))
    cur = con.execute('SELECT * FROM "' + table.replace('"', '""') + '"')
    columns = [d[0] for d in cur.description]
    print(table, len(rows) - 1, len(cur.fetchall()), all(c in columns for c in rows[0]))
)";
  std::string command =
      Python() + " -c " + ShellQuote(script) + " " + ShellQuote(AwkwardDatabase());
  for (const std::string& f : files) command += " " + ShellQuote(f);
  std::string out;
  return RunCommand(command + " 2>&1", out) == 0 ? out : "python failed: " + out;
}

TEST_F(ManyTablesTest, SelectedTablesEachGetAFileFromOneDialog) {
  prompts_.ClearAsked();  // what the export dialog asks from here on
  PickTables({"my table", "my view", "Клиенты"});
  ASSERT_EQ(Form().List_Tables->selectedItems().size(), 3);
  std::string file, table, note;
  bool pictured = false;
  const int shown = ExportAs(
      aeCSV,
      [&](QWidget& progress) {
        if (!pictured && !Text(progress, "laNote").empty()) {
          Screenshot(progress, "progress-many-tables");
          pictured = true;
        }
        CloseWhenDone(progress, table, note);
      },
      file);
  EXPECT_EQ(shown, 1);
  for (const auto& asked : prompts_.Asked()) ADD_FAILURE() << asked.text.toStdString();
  EXPECT_EQ(file, Folder() + "${table}.csv");
  EXPECT_EQ(table, "Таблица 3 из 3: Клиенты");
  EXPECT_EQ(note, "Записано таблиц: 3 из 3.");
  EXPECT_EQ(CsvAgainstTables(
                {Folder() + "my table.csv", Folder() + "my view.csv", Folder() + "Клиенты.csv"}),
            "my table 4 4 True\nmy view 3 3 True\nКлиенты 3 3 True\n");
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Экспорт закончен");
}

TEST_F(ManyTablesTest, TheProgressWindowStopsTheRunBetweenTables) {
  prompts_.ClearAsked();         // what the export dialog asks from here on
  prompts_.SetNextAnswer(true);  // "... прервать процесс экспорта?" Yes
  PickTables({"my table", "my view", "Клиенты"});
  std::string file, table, note;
  bool pressed = false;
  ExportAs(
      aeCSV,
      [&](QWidget& progress) {
        if (!pressed && Text(progress, "laTable").starts_with("Таблица 2 из 3")) {
          pressed = true;
          progress.findChild<QPushButton*>("btnCancel")->click();
        }
        CloseWhenDone(progress, table, note);
      },
      file);
  ASSERT_TRUE(pressed);
  ASSERT_EQ(prompts_.Asked().size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(Folder() + "my table.csv"));
  EXPECT_FALSE(std::filesystem::exists(Folder() + "my view.csv"));
  EXPECT_FALSE(std::filesystem::exists(Folder() + "Клиенты.csv"));
  EXPECT_EQ(note, "Записано таблиц: 1 из 3. Не начаты: 2.");
}

// The spreadsheet page's option puts every table on a sheet of its own in one workbook, read back
// by openpyxl; the file is named after the first table.
TEST_F(ManyTablesTest, OneWorkbookWithASheetPerTable) {
  prompts_.ClearAsked();  // what the export dialog asks from here on
  PickTables({"say \"hi\"", "Select", "Клиенты"});
  std::string file, table, note;
  ExportAs(
      aeXLSX, [&](QWidget& progress) { CloseWhenDone(progress, table, note); }, file,
      [](QWidget& dialog) { dialog.findChild<QCheckBox*>("cbXLSSheetPerTable")->click(); });
  for (const auto& asked : prompts_.Asked()) ADD_FAILURE() << asked.text.toStdString();
  const std::string workbook = Folder() + "say \"hi\".xlsx";
  EXPECT_EQ(note, "Записано таблиц: 3 из 3 в книгу " + workbook + ".");
  std::string out;
  const std::string script =
      "import sys, openpyxl\n"
      "wb = openpyxl.load_workbook(sys.argv[1])\n"
      "for ws in wb: print(ws.title, ws.max_row, ws['A1'].value)\n";
  ASSERT_EQ(RunCommand(Python() + " -c " + ShellQuote(script) + " " + ShellQuote(workbook), out), 0)
      << out;
  EXPECT_EQ(out, "say \"hi\" 3 id\nSelect 3 id\nКлиенты 4 Код\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace morvale::test
