// The SQL console and the width limit, driven through the real widgets.
#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QTest>

#include "app/dialogs/setup.h"
#include "tests/app/main/window.h"
#include "tests/support/demo.h"

#include <QCheckBox>
#include <QSpinBox>

namespace morvale::test {
namespace {

class ConsoleTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ReadDemoTables();  // the query runs on DEMO
  }
  void Type(const std::string& text) {
    Form().SQL->clear();
    Form().SQL->setFocus();
    const QStringList lines = QString::fromStdString(text).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
      if (i) QTest::keyClick(Form().SQL, Qt::Key_Return);
      QTest::keyClicks(Form().SQL, lines[i]);
    }
  }
  void Run() { QTest::mouseClick(Form().SpeedButton5, Qt::LeftButton); }
  std::vector<std::string> Saved() {
    QStringList files =
        QDir(QString::fromStdString(home_ + "mvl_SQL")).entryList(QDir::Files, QDir::Name);
    std::vector<std::string> out;
    for (const QString& f : files) out.push_back(f.toStdString());
    return out;
  }
};

TEST_F(ConsoleTest, RunsWithoutItsCommentLinesAndSavesTheTextWithThem) {
  Type("/* customers of London */\nselect name from customers\n where city = 'London'");
  EXPECT_TRUE(Form().Label_YesModify->isVisible());
  const std::string dayBefore = QDate::currentDate().toString("yyyyMMdd").toStdString();
  Run();
  EXPECT_EQ(Form().Query1().SQL.Lines(),
            (std::vector<std::string>{"select name from customers", " where city = 'London'"}));
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "SQL-запрос выполнен");
  EXPECT_EQ(Cell(0, 0), "Acme Tools Ltd");
  EXPECT_EQ(Form().GridModel().rowCount(), 1);
  // The comment line is back in the console, the text saved and the marker off.
  EXPECT_EQ(ConsoleText(),
            "/* customers of London */\nselect name from customers\n where city = 'London'");
  EXPECT_FALSE(Form().Label_YesModify->isVisible());
  std::vector<std::string> saved = Saved();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(
      ReadFile(home_ + "mvl_SQL/" + saved[0]),
      "/* customers of London */\r\nselect name from customers\r\n where city = 'London'\r\n");
  // The name is the clock's date and time: SQL_yyyymmdd_hhmmss.txt, no leading zeros. The day is
  // read on both sides of the run, so that a run across midnight passes too.
  const std::string dayAfter = QDate::currentDate().toString("yyyyMMdd").toStdString();
  const std::string prefix = saved[0].substr(0, 13);
  EXPECT_TRUE(prefix == "SQL_" + dayBefore + "_" || prefix == "SQL_" + dayAfter + "_") << saved[0];

  // The same text again: unchanged, so nothing more is saved.
  Run();
  EXPECT_EQ(Saved().size(), 1u);
}

TEST_F(ConsoleTest, TwoChangedRunsInOneSecondAreNumbered) {
  Type("SELECT id FROM orders");
  Run();
  Type("SELECT id FROM products");
  Run();
  std::vector<std::string> saved = Saved();
  // Unless the clock ticked over between the two runs, the second name carries "-1".
  ASSERT_EQ(saved.size(), 2u);
  if (saved[0].substr(0, 19) == saved[1].substr(0, 19)) {
    std::string base = saved[0].find("-1") == std::string::npos ? saved[0] : saved[1];
    std::string numbered = base.substr(0, base.size() - 4) + "-1.txt";
    EXPECT_TRUE(saved[0] == numbered || saved[1] == numbered) << saved[0] << " " << saved[1];
  }
}

TEST_F(ConsoleTest, RefusesAnythingButReadCommands) {
  Type("COMMIT\nSELECT * FROM orders");
  Run();
  EXPECT_EQ(Form().Label_Info->text().toStdString(),
            "SQL-запрос некорректен. Допустима только команда SELECT, SHOW или DESC");
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0], "SQL-запрос некорректен. Допустима только команда SELECT");
  EXPECT_FALSE(Form().Query1().Active());
  EXPECT_TRUE(Form().Label_YesModify->isVisible());  // refused: left as it was
  EXPECT_TRUE(Saved().empty());
  // A comment indented by one space is no comment: it is the first line, and refused.
  Type(" /* note */\nSELECT * FROM orders");
  Run();
  EXPECT_EQ(prompts_.Shown().size(), 2u);
  EXPECT_EQ(ConsoleText(), " /* note */\nSELECT * FROM orders");
}

TEST_F(ConsoleTest, DescribeAndShowRunFromTheConsole) {
  Type("describe orders");
  Run();
  EXPECT_TRUE(Form().Query1().Active());
  EXPECT_EQ(Cell(1, 0), "customer_id");
  Type("SHOW INDEX FROM orders");
  Run();
  EXPECT_TRUE(Form().Query1().Active());
}

TEST_F(ConsoleTest, AnEngineErrorPutsTheTextBackAndSavesNothing) {
  Type("/* broken */\nSELECT x FROM nowhere");
  Run();
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_NE(prompts_.Shown()[0].find("nowhere"), std::string::npos) << prompts_.Shown()[0];
  EXPECT_EQ(ConsoleText(), "/* broken */\nSELECT x FROM nowhere");
  EXPECT_TRUE(Form().Label_YesModify->isVisible());
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Попытка выполнить SQL-запрос");
  EXPECT_TRUE(Saved().empty());
}

TEST_F(ConsoleTest, AutosaveOffKeepsTheMarker) {
  Form().CheckBox5->click();
  Type("SELECT id FROM orders");
  Run();
  EXPECT_TRUE(Form().Query1().Active());
  EXPECT_TRUE(Saved().empty());
  EXPECT_TRUE(Form().Label_YesModify->isVisible());
}

TEST_F(ConsoleTest, TheWidthLimitAppliesAfterEveryOpening) {
  TDlg_SetUp& setUp = *Windows().SetUp;
  setUp.LimitBox()->setChecked(true);
  setUp.LimitEdit()->setValue(20);
  Type("SELECT name, notes, id FROM customers");
  Run();
  TField& name = Form().Query1().Fields(0);
  EXPECT_EQ(name.DisplayWidth, 20);  // VARCHAR(40)
  EXPECT_EQ(Form().Query1().Fields(2).DisplayWidth <= 20, true);
  EXPECT_EQ(Form().DBGrid1->columnWidth(0), Form().GridSource().CharsToPixels(20));
  // A limit below 2 works as 2, and the dialog's box shows 2.
  setUp.LimitEdit()->setValue(1);
  Run();
  EXPECT_EQ(Form().Query1().Fields(0).DisplayWidth, 2);
  EXPECT_EQ(setUp.LimitEdit()->value(), 2);
  // Switched off, the fields keep their own widths.
  setUp.LimitBox()->setChecked(false);
  Run();
  EXPECT_EQ(Form().Query1().Fields(0).DisplayWidth, 40);
}

TEST_F(ConsoleTest, CaptionsFramedAndRestored) {
  Type("SELECT id, name FROM customers");
  Run();
  Form().EditSimb->setText(" [ ");
  Form().SpeedButton8->click();
  auto header = [&](int c) {
    return Form()
        .GridModel()
        .headerData(c, Qt::Horizontal, Qt::DisplayRole)
        .toString()
        .toStdString();
  };
  EXPECT_EQ(header(1), "[name[");
  EXPECT_EQ(Form().GridSource().ColumnTitle(1), "[name[");
  Form().EditSimb->setText("");
  Form().SpeedButton8->click();
  EXPECT_EQ(header(0), "id");
  Form().EditSimb->setText("\"");
  Form().SpeedButton8->click();
  EXPECT_EQ(header(0), "\"id\"");
  Form().SpeedButton9->click();
  EXPECT_EQ(header(0), "id");
}

}  // namespace
}  // namespace morvale::test
