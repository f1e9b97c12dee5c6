// The viewers and the PHP dialog on the demo database, driven through their widgets under the
// offscreen platform; a screenshot of each is kept in the build folder (tests/screenshots/).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/dialogs/phpdialog.h"
#include "app/dialogs/qtext.h"
#include "app/dialogs/tablestruct.h"
#include "app/dialogs/viewlist.h"
#include "app/dialogs/viewmemo.h"
#include "app/engine/query.h"
#include "app/tools/views.h"
#include "export/core/platform.h"
#include "tests/support/demo.h"
#include "tests/support/scriptedprompts.h"

namespace morvale::test {
namespace {

using ::testing::HasSubstr;

QApplication& App() {
  return *static_cast<QApplication*>(QCoreApplication::instance());
}

void Screenshot(QWidget& w, const char* name) {
  w.show();
  QApplication::processEvents();
  QString dir = QString(MORVALE_BINARY_DIR) + "/tests/screenshots";
  QDir().mkpath(dir);
  EXPECT_TRUE(w.grab().save(dir + "/" + name + ".png")) << name;
  w.hide();
}

// Runs `answer` on the modal dialog once its event loop has started.
void WhenShown(QDialog& d, std::function<void()> answer) {
  QTimer::singleShot(0, &d, [&d, answer] {
    EXPECT_TRUE(d.isVisible());
    answer();
  });
}

template <class T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    SetClipboard(&clipboard);
  }
  void TearDown() override { SetClipboard(nullptr); }
  void Open(std::initializer_list<std::string> sql) {
    query.DatabaseName = "sqlite:" + DemoDatabase();
    query.SQL = TStringList(sql);
    query.Open();
  }
  TMemoryClipboard clipboard;
  TQuery query;
  TScriptedPrompts prompts;
  TPromptsGuard promptsGuard{prompts};
};

TEST_F(Dialogs, MemoViewer) {
  Open({"SELECT notes FROM customers WHERE id = 2"});
  TDlg_ViewMemo memo;
  EXPECT_EQ(memo.windowTitle(), "Содержание MEMO-поля");
  auto* info = Child<QPlainTextEdit>(memo, "INFO");
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->isReadOnly());
  EXPECT_EQ(info->lineWrapMode(), QPlainTextEdit::NoWrap);

  memo.setWindowTitle("Содержание поля");
  WhenShown(memo, [&] {
    EXPECT_EQ(info->toPlainText(), "Доставка только по будням.\nЗвонить заранее.");
    QTest::mouseClick(Child<QToolButton>(memo, "SpeedButton1"), Qt::LeftButton);
    QTest::keyClick(&memo, Qt::Key_Escape);  // Escape is OK
  });
  EXPECT_TRUE(memo.ShowText(true, query.Fields(0).AsString()));
  EXPECT_EQ(clipboard.GetText(), "Доставка только по будням.\r\nЗвонить заранее.\r\n");
  EXPECT_TRUE(info->toPlainText().isEmpty());  // cleared again afterwards

  // Without clearing, an empty text keeps what the buffer holds; Cancel answers false.
  memo.SetLines(TStringList{"INSERT INTO T", "  (\"A\")"});
  WhenShown(memo,
            [&] { QTest::mouseClick(Child<QPushButton>(memo, "CancelBtn"), Qt::LeftButton); });
  EXPECT_FALSE(memo.ShowText(false, ""));
  EXPECT_EQ(memo.Lines(), (TStringList{"INSERT INTO T", "  (\"A\")"}));

  memo.SetText(query.Fields(0).AsString());
  Screenshot(memo, "TDlg_ViewMemo");
}

TEST_F(Dialogs, RowViewer) {
  Open({"SELECT * FROM customers WHERE id = 6"});  // a NULL city and phone, an empty note
  TDlgView_List_1 list;
  auto* rows = Child<QListWidget>(list, "ListView");
  auto* count = Child<QLabel>(list, "Label_Count");
  ASSERT_TRUE(rows && count);
  WhenShown(list, [&] {
    EXPECT_EQ(Child<QLabel>(list, "LabelHead")->text(), "Содержание строки таблицы");
    EXPECT_EQ(count->text(), "Кол-во строк = 6");
    EXPECT_FALSE(Child<QPushButton>(list, "CancelBtn")->isVisible());
    QStringList texts;
    for (int i = 0; i < rows->count(); ++i) texts << rows->item(i)->text();
    // notes is a memo column: left out.
    // The date in the locale's form.
    QString since = "since=" + QString::fromStdString(query.FieldByName("since").AsString());
    EXPECT_EQ(texts, (QStringList{"id=6", "name=Blank Notes Inc", "city=null", "phone=null",
                                  "vip=False", since}))
        << texts.join('|').toStdString();
    rows->setCurrentRow(1);
    QTest::mouseClick(Child<QToolButton>(list, "SpeedButton2"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(list, "OKBtn"), Qt::LeftButton);
  });
  EXPECT_TRUE(list.ShowList("  Содержание строки таблицы ", RowViewLines(query), false));
  EXPECT_EQ(list.SelectedRow(), 1);
  EXPECT_EQ(list.SelectedText(), "name=Blank Notes Inc");
  EXPECT_THAT(clipboard.GetText(), HasSubstr("id=6\r\nname=Blank Notes Inc\r\ncity=null\r\n"));
  EXPECT_EQ(rows->count(), 0);
  EXPECT_EQ(count->text(), "Кол-во строк = 0");

  WhenShown(list, [&] { QTest::keyClick(&list, Qt::Key_Escape); });
  EXPECT_FALSE(list.ShowList("t", TStringList{"a"}, true));

  query.Close();
  Open({"SELECT * FROM customers WHERE id = 4"});
  list.Fill("Содержание строки таблицы", RowViewLines(query), false);
  Screenshot(list, "TDlgView_List_1");
}

TEST_F(Dialogs, StructureViewer) {
  TDlg_TableStruct st;
  EXPECT_FALSE(st.ShowStructure(&query, {}));
  EXPECT_EQ(prompts.Shown(), std::vector<std::string>{"Сначала откройте таблицу ..."});

  Open({"SELECT *", "FROM products", "ORDER BY id"});
  ASSERT_TRUE(st.Fill(&query, query.SQL));
  auto* grid = Child<QTableWidget>(st, "SG_Str");
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->rowCount(), query.FieldCount());
  auto cell = [&](int r, int c) { return grid->item(r, c)->text().toStdString(); };
  EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Размер");
  for (int r = 0; r < grid->rowCount(); ++r) {
    const TField& f = query.Fields(r);
    EXPECT_EQ(cell(r, 0), f.FieldName);
    EXPECT_EQ(cell(r, 2), std::to_string(f.DataType == ftString ? f.Size : f.DataSize))
        << f.FieldName;
  }
  EXPECT_EQ(cell(2, 0), "title");
  EXPECT_EQ(cell(2, 1), "String");
  EXPECT_EQ(cell(2, 2), "60");
  EXPECT_EQ(Child<QPlainTextEdit>(st, "RE_SQL")->toPlainText(),
            "SELECT *\nFROM products\nORDER BY id");
  Screenshot(st, "TDlg_TableStruct");

  WhenShown(st, [&] { QTest::mouseClick(Child<QPushButton>(st, "OKBtn"), Qt::LeftButton); });
  EXPECT_TRUE(st.ShowStructure(&query, query.SQL));
  EXPECT_TRUE(Child<QPlainTextEdit>(st, "RE_SQL")->toPlainText().isEmpty());
  EXPECT_EQ(grid->rowCount(), 1);
}

TEST_F(Dialogs, PHPDialog) {
  Open({"SELECT id, name, city", "FROM customers", "ORDER BY id"});
  TDlg_PHP php;
  php.Fill(&query, TStringList{"SELECT id, name, city", "", "  ", "FROM customers", "ORDER BY id"});
  EXPECT_EQ(Child<QPlainTextEdit>(php, "Memo_SQL")->toPlainText(),
            "SELECT id, name, city\nFROM customers\nORDER BY id");
  auto* list = Child<QListWidget>(php, "List_Fields");
  ASSERT_TRUE(list);
  EXPECT_EQ(php.Fields(),
            (TPHPFields{{"id", "id", true}, {"name", "name", true}, {"city", "city", true}}));

  // "добавить": the first word of the answer, unchecked, selected; a name twice is refused.
  prompts.SetNextText(QStringLiteral("TOTAL x=y"));
  php.N6Click();
  EXPECT_EQ(php.Fields().back(), (TPHPField{"TOTAL", "TOTAL", false}));
  EXPECT_EQ(list->currentRow(), 3);
  prompts.SetNextText(QStringLiteral("name"));
  php.N6Click();
  EXPECT_EQ(prompts.Shown().back(), "Такое поле уже есть в списке");
  // "вставить" before the selected entry.
  list->setCurrentRow(1);
  prompts.SetNextText(QStringLiteral("EXTRA"));
  php.N5Click();
  EXPECT_EQ(php.Fields()[1].Name, "EXTRA");
  EXPECT_EQ(list->currentRow(), 0);
  list->setCurrentRow(1);
  php.N1Click();
  EXPECT_EQ(php.Fields().size(), 4u);

  // A caption edit reaches the query's field; an added entry has none to reach.
  list->setCurrentRow(1);
  prompts.SetNextText(QStringLiteral("  Имя клиента "));
  php.N3Click();
  const auto& input = prompts.Asked().back();
  EXPECT_EQ(input.kind, TScriptedPrompts::TAsked::Input);
  EXPECT_EQ((input.title + " / " + input.text + " / " + input.value).toStdString(),
            "Поле: <name> / Отредактируйте / name");
  EXPECT_EQ(php.Fields()[1].Label, "Имя клиента");
  EXPECT_EQ(query.FieldByName("name").DisplayLabel, "Имя клиента");
  list->setCurrentRow(3);
  prompts.SetNextText(QStringLiteral("Итого"));
  php.N3Click();
  EXPECT_EQ(prompts.Shown().back(), "Field 'TOTAL' not found");
  EXPECT_EQ(php.Fields()[3].Label, "Итого");

  QTest::mouseClick(Child<QToolButton>(php, "SpeedButton4"), Qt::LeftButton);
  EXPECT_FALSE(php.Fields()[0].Checked);
  QTest::mouseClick(Child<QToolButton>(php, "SpeedButton5"), Qt::LeftButton);
  EXPECT_TRUE(php.Fields()[0].Checked);
  list->item(2)->setCheckState(Qt::Unchecked);
  QTest::mouseClick(Child<QToolButton>(php, "SpeedButton1"), Qt::LeftButton);
  std::string page = php.PageLines().Text();
  EXPECT_THAT(page, HasSubstr("<b>Имя клиента</b>"));
  EXPECT_THAT(page, ::testing::Not(HasSubstr("<b>city</b>")));
  EXPECT_THAT(page, HasSubstr("    $_city = htmlspecialchars((string)$_row->city"));
  EXPECT_THAT(page, HasSubstr("    $_TOTAL = \"\";"));
  EXPECT_THAT(page, HasSubstr("$_SQL=$_SQL . \"FROM customers \";"));
  QTest::mouseClick(Child<QToolButton>(php, "SpeedButton2"), Qt::LeftButton);
  EXPECT_EQ(clipboard.GetText(), LinesText(php.PageLines()));
  EXPECT_EQ(php.PageLines().Count(), 164 + 3 + 8 + 3 + 3);  // blocks A to D
  Screenshot(php, "TDlg_PHP");

  WhenShown(php, [&] { QTest::mouseClick(Child<QPushButton>(php, "OKBtn"), Qt::LeftButton); });
  php.Execute(&query, query.SQL);
  EXPECT_EQ(list->count(), 0);
  EXPECT_TRUE(php.PageLines().Empty());
}

}  // namespace
}  // namespace morvale::test

// The application lives as long as the tests and ends before the program does, so that the font
// database lets go of fontconfig's caches (a leaked or static one leaves them to the leak check).
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
