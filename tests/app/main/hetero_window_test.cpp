// A heterogeneous query as a person makes one in the main window: two SQLite aliases and a folder
// of dBASE tables put into the connection slots through the connections dialog, a join across
// the three typed into the console and run on the program's own alias (made on the first press,
// read after a restart), the grid's rows exported through the export dialog to CSV, and the file
// compared with the same join computed by Python's sqlite3 module and dbfread.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/engine/aliases.h"
#include "app/engine/slots.h"
#include "tests/app/main/window.h"
#include "tests/support/awkward.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"
#include "tests/support/scriptedprompts.h"

namespace morvale::test {
namespace {

class HeteroWindowTest : public WindowTest {
 protected:
  void BeforeWindows() override {
    folder_ = home_ + "dbf/";
    std::filesystem::create_directories(folder_);
    TDbfBuilder b;
    b.Add("CITY", 'C', 30);
    b.Add("REGION", 'C', 20);
    b.rows = {{"Москва", "Евразия"}, {"Екатеринбург", "Урал"}, {"Lima", "America"}};
    WriteFile(folder_ + "cities.dbf", b.Build());
    WriteFile(home_ + "engine.ini", "[DEMO]\nDRIVER=SQLITE\nPATH=" + DemoDatabase() +
                                        "\n[AWK]\nDRIVER=SQLITE\nPATH=" + AwkwardDatabase() +
                                        "\n[CITIES]\nDRIVER=STANDARD\nPATH=" + folder_ + "\n");
    TAliasConfig::Instance().Load(home_ + "user.ini", home_ + "engine.ini");
  }

  // A new run of the program on the same folder and configuration files.
  void Restart() {
    windows_.reset();
    TAliasConfig::Instance().Load(home_ + "user.ini", home_ + "engine.ini");
    windows_ = std::make_unique<TProgramWindows>(home_);
    Form().resize(1180, 760);
    Form().show();
    Pump(150);
  }

  // Runs `look` on the modal dialog once it shows (the handlers may let the window process its
  // messages first).
  void WhenModal(std::function<void(QDialog&)> look, int tries = 200) {
    QTimer::singleShot(10, [this, look, tries] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        if (tries > 0) WhenModal(look, tries - 1);
        return;
      }
      look(*dialog);
    });
  }

  static void DoubleClick(QListWidget* list, QListWidgetItem* item) {
    QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  }

  // The connections dialog: each alias double-clicked into the next slot, "Соединить ВСЕ", OK.
  void ConnectAliases(const QStringList& aliases) {
    bool shown = false;
    WhenModal([&](QDialog& d) {
      shown = true;
      auto* all = d.findChild<QListWidget*>("List_Connect");
      auto* active = d.findChild<QListWidget*>("List_Connect_Active");
      for (const QString& alias : aliases) {
        auto found = all->findItems(alias, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << alias.toStdString();
        DoubleClick(all, found[0]);
      }
      d.findChild<QPushButton*>("SpeedButton2")->click();
      for (int i = 0; i < aliases.size(); ++i) {
        EXPECT_EQ(active->item(i)->text(), aliases[i]);
        EXPECT_EQ(active->item(i)->checkState(), Qt::Checked) << i;
      }
      Screenshot(d, "hetero-connections");
      auto* box = d.findChild<QDialogButtonBox*>();
      QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    Form().SB_Connect_DB->click();
    ASSERT_TRUE(shown);
  }

  // The console text, typed.
  void Type(const QString& sql) {
    Form().SQL->clear();
    Form().SQL->setFocus();
    TypeText(Form().SQL, sql);
  }

  // Exports the open result through the export dialog as CSV; returns the file.
  std::string ExportCsv() {
    std::string file;
    WhenModal([&](QDialog& dialog) {
      auto* types = dialog.findChild<QListWidget*>("lbExportType");
      for (int i = 0; i < types->count(); ++i)
        if (types->item(i)->data(Qt::UserRole).toInt() == aeCSV) types->setCurrentRow(i);
      file = dialog.findChild<QLineEdit*>("edFileName")->text().toStdString();
      PressOkWhenTheRunEnds(dialog);
      QTest::mouseClick(dialog.findChild<QPushButton*>("bStart"), Qt::LeftButton);
      QTest::mouseClick(dialog.findChild<QPushButton*>("bClose"), Qt::LeftButton);
    });
    Form().SpeedButton4->click();
    return file;
  }

  std::string folder_;
};

// Python's own join: the awkward database's customers with the demo's orders (sqlite3), their
// regions looked up in the dBASE table (dbfread); NULL written as the window's "null".
constexpr const char* kCompare = R"(
import csv, sqlite3, sys, dbfread
awk, demo, dbf, out = sys.argv[1:5]
db = sqlite3.connect(awk)
db.execute('ATTACH ? AS demo', (demo,))
regions = {r['CITY']: r['REGION'] for r in dbfread.DBF(dbf, encoding='utf-8')}
rows = db.execute('SELECT k."Код", k."Название", o.id, o.comment, k."Город" FROM "Клиенты" k '
                  'JOIN demo.orders o ON o.customer_id = k."Код" ORDER BY o.id').fetchall()
text = lambda v: 'null' if v is None else str(v)
want = [['Код', 'Название', 'id', 'comment', 'REGION']]
want += [[text(a), text(b), text(c), text(d), text(regions.get(city))] for a, b, c, d, city in rows]
got = list(csv.reader(open(out, newline='', encoding='utf-8'), delimiter=';'))
print('same' if got == want and len(want) > 2 else 'got %r\nwant %r' % (got, want))
)";

TEST_F(HeteroWindowTest, JoinOfThreeDatabasesFromTheWindowToCsv) {
  prompts_.ClearAsked();  // what the export dialog asks from here on
  const QString join = QStringLiteral(
      "SELECT k.\"Код\", k.\"Название\", o.id, o.comment, c.REGION FROM AWK.\"Клиенты\" k "
      "JOIN DEMO.orders o ON o.customer_id = k.\"Код\" "
      "LEFT JOIN \":CITIES:cities\" c ON c.CITY = k.\"Город\" ORDER BY o.id");

  // The first press makes the own alias and asks for a restart.
  ASSERT_FALSE(AliasExists(kHeteroAliasName));
  Type(join);
  Form().SpeedButton14->click();
  ASSERT_EQ(prompts_.Shown(), (std::vector<std::string>{kOwnAliasQuestion, kOwnAliasCreated}));
  Restart();
  prompts_.ClearAsked();

  ConnectAliases({"AWK", "CITIES", "DEMO"});
  EXPECT_TRUE(Form().SB_DisConnect_DB->isEnabled());
  Type(join);
  Form().SpeedButton14->click();
  ASSERT_TRUE(prompts_.Shown().empty()) << prompts_.Shown().front();
  ASSERT_TRUE(Form().Query1().Active());
  ASSERT_EQ(Form().GridModel().rowCount(), 4);
  EXPECT_EQ(Cell(0, 1), "ООО «Ромашка»");
  EXPECT_EQ(Cell(0, 4), "Евразия");
  EXPECT_EQ(Cell(1, 1), "Завод \"Прогресс\"");
  EXPECT_EQ(Cell(1, 4), "Урал");
  Screenshot(Form(), "hetero-main-window");

  std::string file = ExportCsv();
  for (const auto& asked : prompts_.Asked()) ADD_FAILURE() << asked.text.toStdString();
  EXPECT_EQ(file, home_ + "mvl_Export/Unknown.csv");
  ASSERT_TRUE(std::filesystem::exists(file));
  std::string out;
  ASSERT_EQ(RunCommand(Python() + " -c " + ShellQuote(kCompare) + " " +
                           ShellQuote(AwkwardDatabase()) + " " + ShellQuote(DemoDatabase()) + " " +
                           ShellQuote(folder_ + "cities.dbf") + " " + ShellQuote(file),
                       out),
            0);
  EXPECT_EQ(out, "same\n");

  // A database that is not connected is named, with the ones that are, in Russian.
  for (const char* sql : {"SELECT * FROM NOPE.orders", "SELECT * FROM \":NOPE:orders\""}) {
    prompts_.ClearAsked();
    Type(QString::fromUtf8(sql));
    Form().SpeedButton14->click();
    ASSERT_EQ(prompts_.Shown().size(), 1u) << sql;
    const std::string& message = prompts_.Shown()[0];
    EXPECT_NE(message.find("база данных 'NOPE' не подключена"), std::string::npos) << message;
    EXPECT_NE(message.find("(подключены: AWK, CITIES, DEMO)"), std::string::npos) << message;
  }
  // A connected database without the table says so.
  prompts_.ClearAsked();
  Type(QStringLiteral("SELECT * FROM DEMO.nosuch"));
  Form().SpeedButton14->click();
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0],
            "Нет такой таблицы: DEMO.nosuch: в базе данных 'DEMO' нет таблицы \"nosuch\"");
}

}  // namespace
}  // namespace morvale::test
