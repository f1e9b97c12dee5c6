// The export dialog of the desktop program remembers what the user left in it: every setting of
// every type, after closing the dialog and after a new run of the program, kept as an options file
// in the program folder that the command-line exporter runs to the same bytes; "Сбросить" brings
// the defaults back.
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <map>

#include "export/dialog/exporttypes.h"
#include "tests/app/main/window.h"
#include "tests/support/demo.h"
#include "tests/support/scriptedprompts.h"

namespace morvale::test {
namespace {

using TShown = std::map<std::string, std::string>;

template <class T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

void ChooseType(QWidget& dialog, TAllowedExport type) {
  auto* list = Child<QListWidget>(dialog, "lbExportType");
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->data(Qt::UserRole).toInt() == type) {
      list->scrollToItem(list->item(i));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                        list->visualItemRect(list->item(i)).center());
    }
}

// Replaces a line's text as a person does: select all, type.
void Retype(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  TypeText(edit, text);
}

// A check or option box on its box, as it may be wider than its caption; a button anywhere.
void Click(QAbstractButton* button) {
  const bool box = button->isCheckable() && !qobject_cast<QPushButton*>(button);
  QTest::mouseClick(button, Qt::LeftButton, {},
                    box ? QPoint(8, button->height() / 2) : button->rect().center());
}

// What the dialog shows of the settings the test changes, on the CSV, PDF and RTF pages; the
// dialog is back on the type it showed at the end.
TShown Shown(QWidget& d) {
  TShown s;
  auto* list = Child<QListWidget>(d, "lbExportType");
  const auto type = static_cast<TAllowedExport>(list->currentItem()->data(Qt::UserRole).toInt());
  s["type"] = list->currentItem()->text().toStdString();
  s["file"] = Child<QLineEdit>(d, "edFileName")->text().toStdString();
  s["date"] = Child<QLineEdit>(d, "edDate")->text().toStdString();
  s["null"] = Child<QLineEdit>(d, "edNullString")->text().toStdString();
  s["true"] = Child<QLineEdit>(d, "edBooleanTrue")->text().toStdString();
  s["header"] = Child<QPlainTextEdit>(d, "memHeader")->toPlainText().toStdString();
  s["skip"] = Child<QLineEdit>(d, "edSkipRecCount")->text().toStdString();
  auto* exported = Child<QListWidget>(d, "lstExportedFields");
  s["fields"] = "";
  for (int i = 0; i < exported->count(); ++i)
    s["fields"] += exported->item(i)->text().toStdString() + ",";
  auto* grid = Child<QTableWidget>(d, "sgCaptions");
  for (int r = 0; r < grid->rowCount(); ++r)
    s["captions"] += grid->item(r, 1)->text().toStdString() + ",";
  ChooseType(d, aeCSV);
  s["comma"] = Child<QLineEdit>(d, "edCSVComma")->text().toStdString();
  s["quote strings"] = Child<QAbstractButton>(d, "cbCSVQuoteStrings")->isChecked() ? "1" : "0";
  ChooseType(d, aePDF);
  s["pdf landscape"] = Child<QRadioButton>(d, "rbPDFLandscape")->isChecked() ? "1" : "0";
  ChooseType(d, aeRTF);
  s["rtf rows"] = Child<QRadioButton>(d, "rbRTFStripRow")->isChecked() ? "1" : "0";
  ChooseType(d, type);
  return s;
}

class RememberTest : public WindowTest {
 protected:
  void Restart() {
    windows_.reset();
    windows_ = std::make_unique<TProgramWindows>(home_);
    Form().resize(1180, 760);
    Form().show();
    Pump(150);
  }

  // Opens the export dialog on the open query and runs `work` in it; the dialog is closed after.
  void InDialog(const std::function<void(QDialog&)>& work) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      shown = true;
      work(*dialog);
      Click(Child<QPushButton>(*dialog, "bClose"));
    });
    Form().SpeedButton4->click();
    ASSERT_TRUE(shown);
  }

  // Starts the export and presses the progress window's "OK" when the run is over.
  void Export(QDialog& dialog) {
    PressOkWhenTheRunEnds(dialog);
    Click(Child<QPushButton>(dialog, "bStart"));
  }
};

TEST_F(RememberTest, EverySettingAsLeftAfterClosingAndAfterANewRun) {
  prompts_.ClearAsked();  // what the export dialog asks from here on
  const std::string remembered = home_ + "Morvale.cfg";
  OpenDemoTable("customers");
  ASSERT_TRUE(Form().Query1().Active());

  TShown left;
  InDialog([&](QDialog& d) {
    // Pages of two other types first, then CSV with the common pages.
    ChooseType(d, aePDF);
    Click(Child<QRadioButton>(d, "rbPDFLandscape"));
    ChooseType(d, aeRTF);
    Click(Child<QRadioButton>(d, "rbRTFStripRow"));
    ChooseType(d, aeCSV);
    Retype(Child<QLineEdit>(d, "edCSVComma"), QStringLiteral("|"));
    Click(Child<QAbstractButton>(d, "cbCSVQuoteStrings"));
    Retype(Child<QLineEdit>(d, "edDate"), QStringLiteral("yyyy-mm-dd"));
    Retype(Child<QLineEdit>(d, "edNullString"), QStringLiteral("<пусто>"));
    Retype(Child<QLineEdit>(d, "edSkipRecCount"), QStringLiteral("1"));
    auto* header = Child<QPlainTextEdit>(d, "memHeader");
    header->setFocus();
    TypeText(header, QStringLiteral("Клиенты; все"));
    auto* all = Child<QListWidget>(d, "lstAllFields");
    for (const char* field : {"name", "vip", "since", "city"}) {
      auto found = all->findItems(QString::fromLatin1(field), Qt::MatchExactly);
      ASSERT_EQ(found.size(), 1) << field;
      all->setCurrentItem(found[0]);
      Click(Child<QPushButton>(d, "bAddOne"));
    }
    Child<QTableWidget>(d, "sgCaptions")->item(1, 1)->setText(QStringLiteral("Имя \"клиента\""));
    Export(d);
    left = Shown(d);
  });
  EXPECT_EQ(left["type"], "CSV File");
  EXPECT_EQ(left["comma"], "|");
  EXPECT_EQ(left["quote strings"], "0");
  EXPECT_EQ(left["pdf landscape"], "1");
  EXPECT_EQ(left["rtf rows"], "1");
  EXPECT_EQ(left["fields"], "name,vip,since,city,");
  EXPECT_EQ(left["true"], "True");
  const std::string exported = home_ + "mvl_Export/customers.csv";
  ASSERT_EQ(left["file"], exported);
  ASSERT_TRUE(std::filesystem::exists(exported));
  ASSERT_TRUE(std::filesystem::exists(remembered));
  for (const auto& asked : prompts_.Asked()) ADD_FAILURE() << asked.text.toStdString();

  TShown reopened;
  InDialog([&](QDialog& d) { reopened = Shown(d); });
  EXPECT_EQ(reopened, left);

  Restart();
  OpenDemoTable("customers");
  TShown nextRun;
  InDialog([&](QDialog& d) {
    nextRun = Shown(d);
    Screenshot(d, "export-dialog-remembered");
  });
  EXPECT_EQ(nextRun, left);

  // The command line runs the remembered file to the same bytes.
  const std::string cli = home_ + "cli.csv";
  std::string out;
  ASSERT_EQ(
      RunCommand(ShellQuote(MORVALE_EXPORT_PROGRAM) + " --db " +
                     ShellQuote("sqlite:" + DemoDatabase()) + " --table customers --options " +
                     ShellQuote(remembered) + " -o " + ShellQuote(cli) + " 2>&1",
                 out),
      0)
      << out;
  const std::string bytes = ReadFile(exported);
  EXPECT_EQ(ReadFile(cli), bytes);
  EXPECT_EQ(bytes.substr(0, bytes.find('\r')), "Клиенты; все|");  // a row of one value
  EXPECT_NE(bytes.find("Имя \"клиента\"|vip|since|city"), std::string::npos) << bytes;

  // "Сбросить", once agreed to, brings the defaults back, and they are what is kept then.
  prompts_.SetNextAnswer(true);
  TShown reset;
  InDialog([&](QDialog& d) {
    Click(Child<QPushButton>(d, "bReset"));
    reset = Shown(d);
  });
  EXPECT_EQ(reset["type"], "MS Excel");
  EXPECT_EQ(reset["fields"], "");
  EXPECT_EQ(reset["comma"], ";");
  EXPECT_EQ(reset["pdf landscape"], "0");
  EXPECT_EQ(reset["header"], "");
  EXPECT_EQ(reset["file"], home_ + "mvl_Export/customers.xls");
  TShown afterReset;
  InDialog([&](QDialog& d) { afterReset = Shown(d); });
  EXPECT_EQ(afterReset, reset);
}

}  // namespace
}  // namespace morvale::test
