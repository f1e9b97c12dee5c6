// The tool's own exports and the heterogeneous connections as the main window starts them,
// through its buttons and menu entries.
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <map>

#include "app/dialogs/setconnect.h"
#include "app/engine/slots.h"
#include "app/tools/automation.h"
#include "tests/app/main/window.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class OwnToolsTest : public WindowTest {
 protected:
  void RunConsole(const std::string& sql) {
    ReadDemoTables();
    Form().SQL->setPlainText(QString::fromStdString(sql));
    Form().SpeedButton5->click();
    ASSERT_TRUE(Form().Query1().Active()) << sql;
  }
  // Runs `look` on the modal dialog once it shows.
  // The handlers let the window process its messages before the dialog shows: wait for it.
  void WhenShown(std::function<void(QDialog&)> look, int tries = 200) {
    QTimer::singleShot(10, [this, look, tries] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        if (tries > 0) WhenShown(look, tries - 1);
        return;
      }
      shown_ = true;
      look(*dialog);
    });
  }
  std::vector<std::string> ExportedFiles() {
    QStringList files = QDir(QString::fromStdString(home_ + "mvl_Export"))
                            .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    std::vector<std::string> out;
    for (const QString& f : files) out.push_back(f.toStdString());
    return out;
  }
  bool shown_ = false;
};

TEST_F(OwnToolsTest, SdfFromTheButtonAndTheMenu) {
  // Nothing open: the message, no chooser.
  Form().SpeedButton13->click();
  ASSERT_EQ(prompts_.Shown(), std::vector<std::string>{"Сначала откройте набор данных ..."});
  EXPECT_TRUE(prompts_.ChooserStarts().empty());

  RunConsole("SELECT id, name, 'say \"hi\"' AS q FROM customers WHERE id IN (1, 3)");
  std::string file = home_ + "out.sdf";
  prompts_.SetNextPath(file);
  Form().SpeedButton13->click();
  EXPECT_EQ(prompts_.ChooserStarts().back(), home_);  // the program folder, no name
  EXPECT_EQ(ReadFile(file),
            "\"id\",\"name\",\"q\"\r\n"
            "\"1\",\"Acme Tools Ltd\",\"say \"\"hi\"\"\"\r\n"
            "\"3\",\"O'Neil & Sons\",\"say \"\"hi\"\"\"\r\n");
  EXPECT_EQ(prompts_.Shown().back(), "Готово");

  // The table list's entry does the same; a cancelled chooser writes nothing and says nothing.
  size_t shown = prompts_.Shown().size();
  prompts_.SetNextCancel();
  Form().findChild<QAction*>("N8")->trigger();
  EXPECT_EQ(prompts_.Shown().size(), shown);
  RunConsole("SELECT id FROM customers WHERE id > 100");
  prompts_.SetNextPath(file);
  Form().findChild<QAction*>("N8")->trigger();
  EXPECT_EQ(ReadFile(file), "\"id\"\r\n");
}

TEST_F(OwnToolsTest, MemoColumnToTextFiles) {
  OpenDemoTable("customers");
  // The grid's menu names the memo field; the box is normalised before the run.
  Form().DBGrid1->setCurrentIndex(Form().GridModel().index(0, 6));
  Form().findChild<QAction*>("N11")->trigger();
  EXPECT_EQ(Form().Edit_FieldNameMEMO->text().toStdString(), "notes");
  Form().SpeedButton11->click();
  EXPECT_EQ(Form().Edit_FieldNameMEMO->text().toStdString(), "NOTES");
  std::string base = home_ + "mvl_Export/customers_NOTES-";
  ASSERT_FALSE(prompts_.Shown().empty());
  EXPECT_EQ(prompts_.Shown().back(), "Готово. Маска рез. файлов: " + base + "*.txt");
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Экспорт закончен");
  EXPECT_EQ(Form().Gauge1->value(), 0);
  // Records 3 and 6 have no memo text: no file for them.
  EXPECT_EQ(ExportedFiles(),
            (std::vector<std::string>{"customers_NOTES-1.txt", "customers_NOTES-2.txt",
                                      "customers_NOTES-4.txt", "customers_NOTES-5.txt"}));
  EXPECT_EQ(ReadFile(base + "1.txt").substr(0, 31), "Pays on time; prefers e-mail.\r\n");

  // An identifying field names the files after its value.
  std::filesystem::remove_all(home_ + "mvl_Export");
  std::filesystem::create_directories(home_ + "mvl_Export");
  Form().DBGrid1->setCurrentIndex(Form().GridModel().index(0, 2));
  Form().findChild<QAction*>("N12")->trigger();
  EXPECT_EQ(Form().Edit_FieldName_FN_MEMO->text().toStdString(), "city");
  Form().SpeedButton11->click();
  std::vector<std::string> files = ExportedFiles();
  EXPECT_NE(std::find(files.begin(), files.end(), "customers_NOTES-London.txt"), files.end());
  EXPECT_EQ(files.size(), 4u);

  // A field that is no memo: the message, nothing written, the status left as it was.
  Form().Edit_FieldNameMEMO->setText(QStringLiteral("name"));
  Form().Label_Info->setText(QStringLiteral("-"));
  Form().SpeedButton11->click();
  EXPECT_EQ(prompts_.Shown().back(),
            "MEMO-поле указано некорректно ...\nMEMO-поля этого набора данных: notes");
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "-");
  Form().Edit_FieldNameMEMO->setText(QStringLiteral("  "));
  Form().SpeedButton11->click();
  EXPECT_EQ(prompts_.Shown().back(),
            "MEMO-поле указано некорректно ...\nMEMO-поля этого набора данных: notes");
}

TEST_F(OwnToolsTest, InsertFramingShowsTheTextAndAsksBeforeSaving) {
  std::string file = home_ + "ins.sql";
  const std::string original = "INSERT INTO T\n  (A, B ,C)\nVALUES (1, 2, 3);\nINSERT INTO T\n()\n";
  WriteFile(file, original);
  std::string caption, text;
  auto closeWith = [&](const char* button) {
    WhenShown([&, button](QDialog& d) {
      caption = d.windowTitle().toStdString();
      text = d.findChild<QPlainTextEdit*>("INFO")->toPlainText().toStdString();
      if (std::string(button) == "OK")
        d.findChild<QPushButton*>("OKBtn")->click();
      else
        d.reject();
    });
  };
  // Cancel in the viewer leaves the file as it was.
  prompts_.SetNextPath(file);
  closeWith("Cancel");
  Form().SpeedButton10->click();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(caption, "Содержание файла : " + file);
  EXPECT_EQ(text, "INSERT INTO T\n  (\"A\",\"B\",\"C\")\nVALUES (1, 2, 3);\nINSERT INTO T\n()");
  EXPECT_EQ(ReadFile(file), original);
  EXPECT_EQ(prompts_.Shown(), std::vector<std::string>{"Err. Строка N 4 ()"});
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Обработка закончена");
  // The chooser starts in the folder of the file chosen last.
  EXPECT_EQ(Form().ExportDialog1.FileName, file);

  // OK, then Cancel to the overwrite question: still untouched.
  prompts_.ClearAsked();
  prompts_.SetNextPath(file);
  prompts_.SetNextAnswer(false);
  closeWith("OK");
  Form().SpeedButton10->click();
  EXPECT_EQ(prompts_.ChooserStarts().back(), home_.substr(0, home_.size() - 1));
  EXPECT_EQ(prompts_.Shown().back(), "Перезаписать файл ?");
  EXPECT_EQ(ReadFile(file), original);

  // OK twice: saved with CR LF, framed with the box's frame text.
  Form().EditSimb->setText(QStringLiteral(" ` "));
  prompts_.SetNextPath(file);
  prompts_.SetNextAnswer(true);
  closeWith("OK");
  Form().SpeedButton10->click();
  EXPECT_EQ(ReadFile(file),
            "INSERT INTO T\r\n  (`A`,`B`,`C`)\r\nVALUES (1, 2, 3);\r\nINSERT INTO T\r\n()\r\n");
  // The viewer is emptied afterwards.
  EXPECT_TRUE(Windows().ViewMemo->findChild<QPlainTextEdit*>("INFO")->toPlainText().isEmpty());
}

TEST_F(OwnToolsTest, PhpPageToTheClipboard) {
  Form().SpeedButton12->click();
  ASSERT_EQ(prompts_.Shown(), std::vector<std::string>{"Сначала откройте набор данных ..."});
  RunConsole("SELECT id, name\n\nFROM customers");
  std::string sql, fields;
  WhenShown([&](QDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "php-скрипт");
    sql = d.findChild<QPlainTextEdit*>("Memo_SQL")->toPlainText().toStdString();
    auto* list = d.findChild<QListWidget*>("List_Fields");
    for (int i = 0; i < list->count(); ++i) fields += list->item(i)->text().toStdString() + ";";
    d.findChild<QToolButton*>("SpeedButton1")->click();
    d.findChild<QToolButton*>("SpeedButton2")->click();
    Screenshot(d, "php-dialog");
    d.findChild<QPushButton*>("OKBtn")->click();
  });
  Form().findChild<QAction*>("N9")->trigger();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(sql, "SELECT id, name\nFROM customers");  // blank lines dropped
  EXPECT_EQ(fields, "id=id;name=name;");
  std::string page = clipboard_.GetText();
  EXPECT_EQ(page.substr(0, 16), "\r\n<html>\r\n<head>");
  EXPECT_NE(
      page.find("\r\n$_SQL=$_SQL . \"SELECT id, name \";\r\n$_SQL=$_SQL . \"FROM customers \";"
                "\r\n"),
      std::string::npos)
      << page;
  EXPECT_NE(page.find("<td align='center'><b>name</b></td>"), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 9), "</html>\r\n");
}

// The spreadsheet's side of the calls, doing nothing.
class TRecordingAutomation : public ISpreadsheetAutomation {
 public:
  void CreateApplication(const std::string&) override {}
  void SetVisible(bool) override {}
  void AddWorkbook() override {}
  int WorkbooksCount() override { return 1; }
  void SelectWorksheet(int) override {}
  void SetHorizontalAlignment(int, int, int) override {}
  void SetVerticalAlignment(int, int, int) override {}
  void SetValue(int, int, const std::string&) override {}
  void SetFontBold(int, int, int) override {}
  void SetBorderLineStyle(int, int, int, int) override {}
  void SetBorderWeight(int, int, int, int) override {}
  void Release() override {}
};

TEST_F(OwnToolsTest, GridExportThroughAutomation) {
  bool made = false;
  Form().MakeAutomation = [&]() -> std::unique_ptr<ISpreadsheetAutomation> {
    made = true;
    return std::make_unique<TRecordingAutomation>();
  };
  QAction* entry = Form().findChild<QAction*>("N16");
  ASSERT_TRUE(entry->isEnabled());
  entry->trigger();  // nothing open: nothing asked
  EXPECT_TRUE(prompts_.Shown().empty());
  RunConsole("SELECT id, name, '007' AS code FROM customers WHERE id = 1");
  prompts_.SetNextAnswer(false);
  entry->trigger();
  ASSERT_EQ(prompts_.Shown(), std::vector<std::string>{
                                  "Export таблицы через OLE. Это может быть долго. Продолжим ?"});
  EXPECT_FALSE(made);

  std::map<std::pair<int, int>, std::string> values;
  std::map<std::pair<int, int>, int> bold;
  Form().MakeAutomation = [&]() -> std::unique_ptr<ISpreadsheetAutomation> {
    // A wrapper handing the calls to a recording the test keeps.
    struct TForward : TRecordingAutomation {
      std::map<std::pair<int, int>, std::string>* v;
      std::map<std::pair<int, int>, int>* b;
      void SetValue(int r, int c, const std::string& t) override { (*v)[{r, c}] = t; }
      void SetFontBold(int r, int c, int x) override { (*b)[{r, c}] = x; }
    };
    auto app = std::make_unique<TForward>();
    app->v = &values;
    app->b = &bold;
    return app;
  };
  entry->trigger();
  EXPECT_EQ(prompts_.Shown().size(), 2u);  // the question only: no message closes the action
  EXPECT_EQ((values[{3, 1}]), "'Morvale.exe");
  EXPECT_EQ((bold[{3, 1}]), 1);
  EXPECT_EQ((values[{2, 1}]).substr(0, 8), "'Date : ");
  EXPECT_EQ((values[{5, 1}]), "id");
  EXPECT_EQ((values[{5, 3}]), "code");
  EXPECT_EQ((bold[{5, 2}]), 1);
  EXPECT_EQ((values[{6, 1}]), "1");
  EXPECT_EQ((values[{6, 2}]), "'Acme Tools Ltd");
  EXPECT_EQ((bold[{6, 2}]), 0);
  EXPECT_EQ(values.count({7, 1}), 0u);
}

TEST_F(OwnToolsTest, ConnectionsDialogFillsSlotsAndTheDisconnectButtonFollows) {
  ReadDemoTables();
  EXPECT_TRUE(Form().SB_Connect_DB->isEnabled());
  EXPECT_TRUE(Form().SpeedButton14->isEnabled());
  EXPECT_FALSE(Form().SB_DisConnect_DB->isEnabled());
  Screenshot(Form(), "main-console-buttons");

  // Nothing chosen: the button stays off; the dialog reset the main connection.
  WhenShown([&](QDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Настройка соединений на базы данных");
    EXPECT_EQ(d.findChild<QListWidget*>("List_Connect_Active")->count(), 30);
    d.accept();
  });
  Form().SB_Connect_DB->click();
  EXPECT_TRUE(shown_);
  EXPECT_FALSE(Form().SB_DisConnect_DB->isEnabled());
  EXPECT_EQ(Form().List_Tables->count(), 0);

  // DEMO into slot 0, connected, then OK.
  shown_ = false;
  bool enabledWhileShown = false;
  WhenShown([&](QDialog& d) {
    enabledWhileShown = Form().SB_DisConnect_DB->isEnabled();
    auto* aliases = d.findChild<QListWidget*>("List_Connect");
    auto* active = d.findChild<QListWidget*>("List_Connect_Active");
    auto demo = aliases->findItems(QStringLiteral("DEMO"), Qt::MatchExactly);
    ASSERT_EQ(demo.size(), 1);
    aliases->setCurrentItem(demo[0]);
    active->setCurrentRow(0);
    Form().ConnectDialog().N1Click();
    active->setCurrentRow(0);
    Form().ConnectDialog().N3Click();
    EXPECT_EQ(active->item(0)->text().toStdString(), "DEMO");
    EXPECT_EQ(active->item(0)->checkState(), Qt::Checked);
    Screenshot(d, "connections-dialog");
    d.accept();
  });
  Form().SB_Connect_DB->click();
  EXPECT_TRUE(shown_);
  EXPECT_TRUE(enabledWhileShown);
  EXPECT_TRUE(Form().SB_DisConnect_DB->isEnabled());
  EXPECT_EQ(Form().ConnectionSlots().AliasName(0), "DEMO");
  EXPECT_TRUE(Form().ConnectionSlots().SlotConnected(0));

  // The disconnect button empties every slot and the main connection, and goes off again.
  ReadDemoTables();
  Form().SB_DisConnect_DB->click();
  EXPECT_FALSE(Form().ConnectionSlots().AnyExists());
  EXPECT_FALSE(Form().SB_DisConnect_DB->isEnabled());
  EXPECT_TRUE(Form().Database1().AliasName.empty());
  EXPECT_TRUE(Form().Query1().DatabaseName.empty());
  EXPECT_TRUE(prompts_.Shown().empty()) << prompts_.Shown().front();
}

TEST_F(OwnToolsTest, ClosingTheWindowDropsTheSlots) {
  ASSERT_TRUE(Form().ConnectionSlots().Use(3, "DEMO"));
  Form().ConnectionSlots().SlotReconnect(3);
  Form().close();
  EXPECT_FALSE(Form().ConnectionSlots().AnyExists());
}

TEST_F(OwnToolsTest, OwnAliasAsksOnceThenRunsTheConsoleOnIt) {
  ASSERT_FALSE(AliasExists(kHeteroAliasName));
  // Refused: nothing made.
  prompts_.SetNextAnswer(false);
  Form().SpeedButton14->click();
  ASSERT_EQ(prompts_.Shown(), std::vector<std::string>{kOwnAliasQuestion});
  EXPECT_FALSE(AliasExists(kHeteroAliasName));
  // Accepted: made, and the program asks for a restart.
  Form().SpeedButton14->click();
  EXPECT_EQ(prompts_.Shown().back(), kOwnAliasCreated);
  EXPECT_TRUE(AliasExists(kHeteroAliasName));

  // The next run of the program lists it; the button selects it and runs the console text.
  prompts_.ClearAsked();
  windows_.reset();
  windows_ = std::make_unique<TProgramWindows>(home_);
  Form().show();
  Pump(150);
  Form().CheckBox3->setChecked(true);
  Form().CheckBox2->click();  // folder mode, to see the button switch back
  Form().SQL->setPlainText(QStringLiteral("SELECT 1 AS one"));
  Form().SpeedButton14->click();
  EXPECT_TRUE(prompts_.Shown().empty()) << prompts_.Shown().front();
  EXPECT_EQ(Form().CB_AliasBDE5->currentText().toUpper().toStdString(), "MVL_STD_HETERO_999");
  EXPECT_TRUE(Form().CheckBox1->isChecked());
  EXPECT_FALSE(Form().CheckBox2->isChecked());
  EXPECT_FALSE(Form().CheckBox3->isChecked());
  EXPECT_TRUE(Form().Query1().Active());
  EXPECT_EQ(Cell(0, 0), "1");
}

}  // namespace
}  // namespace morvale::test
