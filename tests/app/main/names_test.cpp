// Tables and views whose names need quoting, opened from the table list as a person opens them:
// the awkward SQLite database, dBASE files named with spaces, quotes and Cyrillic (folder mode and
// a folder alias), and awkward names on CI's private PostgreSQL and MariaDB and through ODBC.
#include <sqlite3.h>

#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <map>

#include "app/engine/aliases.h"
#include "tests/app/main/window.h"
#include "tests/support/awkward.h"
#include "tests/support/awkwardserver.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

// An alias section of engine.ini for a database named by a URL.
std::string AliasSection(const std::string& alias, const std::string& url) {
  TDriverKind kind;
  TStringList params;
  if (!ParseDatabaseText(url, kind, params)) return "";
  std::string section = "[" + alias + "]\nDRIVER=" + DriverName(kind) + "\n";
  for (const std::string& line : params) section += line + "\n";
  // An ODBC data source carries its password in its connection text: nothing to ask for.
  if (!params.HasName("PASSWORD")) section += "PASSWORD=\n";
  return section;
}

// One count of an SQLite query, read with SQLite itself.
int64_t SqliteCount(const std::string& database, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  int64_t n = -1;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW)
    n = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n;
}

class NamesTest : public WindowTest {
 protected:
  void BeforeWindows() override {
    folder_ = FreshFolder("main_awkward_dbf");
    std::string ini = ReadFile(home_ + "engine.ini") +
                      "[AWKWARD]\nDRIVER=SQLITE\nPATH=" + AwkwardDatabase() +
                      "\n[AWKWARD FILES]\nDRIVER=STANDARD\nPATH=" + folder_ + "\n";
    for (const auto& [alias, variable] : kServers)
      if (const char* url = std::getenv(variable)) ini += AliasSection(alias, url);
    WriteFile(home_ + "engine.ini", ini);
    TAliasConfig::Instance().Load(home_ + "user.ini", home_ + "engine.ini");
  }
  void ReadTables(const std::string& alias) {
    Form().CB_AliasBDE5->setCurrentText(QString::fromStdString(alias));
    Form().SpeedButton2->click();
  }
  std::vector<std::string> Listed() {
    std::vector<std::string> names;
    for (int i = 0; i < Form().List_Tables->count(); ++i)
      names.push_back(Form().List_Tables->item(i)->text().toStdString());
    return names;
  }
  // Double-clicks `name` in the list; false (with the message shown) when it did not open.
  ::testing::AssertionResult Open(const std::string& name) {
    prompts_.ClearAsked();
    SelectTable(name);
    DoubleClickTable();
    if (Form().Query1().Active()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << name << ": " << (prompts_.Shown().empty() ? "" : prompts_.Shown().back());
  }
  // Runs a structure command of the list's menu on `name`; the first cell of its result.
  std::string Structure(const char* action, const std::string& name) {
    prompts_.ClearAsked();
    SelectTable(name);
    Form().findChild<QAction*>(action)->trigger();
    if (!Form().Query1().Active())
      return "failed: " + (prompts_.Shown().empty() ? "" : prompts_.Shown().back());
    return Cell(0, 0);
  }
  std::string Header(int col) {
    return Form()
        .GridModel()
        .headerData(col, Qt::Horizontal, Qt::DisplayRole)
        .toString()
        .toStdString();
  }
  // dBASE files named the awkward way, each with the rows 1 ... n.
  void MakeTableFiles() {
    for (const auto& [file, rows] : kTableFiles) {
      TDbfBuilder b;
      b.Add("ID", 'N', 5);
      b.Add("NAME", 'C', 12);
      for (int i = rows; i >= 1; --i)
        b.rows.push_back({std::to_string(i), "Имя " + std::to_string(i)});
      WriteFile(folder_ + file, b.Build());
    }
  }
  // Every table of a server alias opens from the list, and shows its fields and structure.
  void OpensEveryServerTable(const char* variable, const std::string& alias,
                             const std::map<std::string, std::string>& references,
                             const std::string& orderBy);

  static constexpr std::pair<const char*, const char*> kServers[] = {
      {"AWK PG", "MORVALE_TEST_POSTGRESQL"},
      {"AWK MY", "MORVALE_TEST_MYSQL"},
      {"AWK ODBC", "MORVALE_TEST_ODBC"}};
  static inline const std::map<std::string, int> kTableFiles = {
      {"my table.dbf", 3}, {"Клиенты.dbf", 2}, {"Order.dbf", 1}, {"say \"hi\".dbf", 2}};
  std::string folder_;
};

TEST_F(NamesTest, EveryTableAndViewOfTheAwkwardDatabaseOpensFromTheList) {
  ReadTables("AWKWARD");
  std::vector<std::string> listed = Listed();
  // The SQL text: bare where SQLite reads the name back as written, quoted otherwise.
  const std::map<std::string, std::string> references = {{"my table", "\"my table\""},
                                                         {"Order Details", "\"Order Details\""},
                                                         {"Order", "\"Order\""},
                                                         {"Group", "\"Group\""},
                                                         {"Select", "\"Select\""},
                                                         {"Клиенты", "\"Клиенты\""},
                                                         {"CamelOrders", "CamelOrders"},
                                                         {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                                         {"all types", "\"all types\""},
                                                         {"my view", "\"my view\""},
                                                         {"Select View", "\"Select View\""},
                                                         {"Представление", "\"Представление\""}};
  std::vector<std::string> all = AwkwardTables();
  all.insert(all.end(), AwkwardViews().begin(), AwkwardViews().end());
  for (const std::string& name : all) {
    SCOPED_TRACE(name);
    // Listed as the catalogue spells it.
    EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end());
    ASSERT_TRUE(Open(name));
    const std::string reference = references.at(name);
    EXPECT_EQ(ConsoleText(), "SELECT *\nFROM " + reference);
    EXPECT_EQ(Form().Label_Info->text().toStdString(), "Таблица " + name + " - открыта");
    const std::string count = "SELECT count(*) FROM " + reference;
    EXPECT_EQ(Form().GridModel().rowCount(), SqliteCount(AwkwardDatabase(), count));
    const std::string firstColumn = Header(0);
    EXPECT_EQ(Structure("index1", name), firstColumn);  // "fields": SHOW FIELDS
    EXPECT_EQ(ConsoleText(), "SHOW FIELDS\nFROM " + reference);
    EXPECT_EQ(Structure("DESC1", name), firstColumn);
    EXPECT_EQ(ConsoleText(), "DESCRIBE \n" + reference);
    // SHOW INDEX: every table has a primary key, a view none.
    const bool view =
        std::find(AwkwardViews().begin(), AwkwardViews().end(), name) != AwkwardViews().end();
    EXPECT_EQ(Structure("fields1", name), view ? "" : name);
  }
  ASSERT_TRUE(Open("my table"));
  Screenshot(Form(), "main-window-awkward-names");
}

TEST_F(NamesTest, SortTextNamesTheFieldsAsTheGridShowsThem) {
  ReadTables("AWKWARD");
  Form().Field_IndexName->setText("  Shipped At DESC, productid ");
  ASSERT_TRUE(Open("Order Details"));
  EXPECT_EQ(ConsoleText(),
            "SELECT *\nFROM \"Order Details\"\nORDER BY \"Shipped At\" DESC, productid");
  EXPECT_EQ(Form().Field_IndexName->text().toStdString(), "Shipped At DESC, productid");
  EXPECT_EQ(Cell(0, 1), "42");  // shipped 1996-07-16 00:00:00, the greatest text
  // A reserved word as a field, and an expression, as written.
  Form().Field_IndexName->setText("Order DESC, length(\"Table\")");
  ASSERT_TRUE(Open("Group"));
  EXPECT_EQ(ConsoleText(), "SELECT *\nFROM \"Group\"\nORDER BY \"Order\" DESC, length(\"Table\")");
  EXPECT_EQ(Cell(0, 1), "7");
}

TEST_F(NamesTest, TableFilesNamedWithSpacesQuotesAndCyrillicOpenInFolderMode) {
  MakeTableFiles();
  Form().CheckBox2->click();
  Form().Edit_DirFileTable->setText(QString::fromStdString(folder_));
  Form().SpeedButton2->click();
  for (const auto& [file, rows] : kTableFiles) {
    SCOPED_TRACE(file);
    std::string path = folder_ + file, quoted;
    for (char c : path) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    Form().Field_IndexName->setText("ID");
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(ConsoleText(), "SELECT *\nFROM \"" + quoted + "\"\nORDER BY ID");
    EXPECT_EQ(Form().GridModel().rowCount(), rows);
    EXPECT_EQ(Cell(0, 1), "Имя 1");
    EXPECT_EQ(Structure("index1", file), "ID");
    EXPECT_EQ(Structure("DESC1", file), "ID");
    EXPECT_EQ(ConsoleText(), "DESCRIBE \n\"" + quoted + "\"");
  }
}

TEST_F(NamesTest, TableFilesOfAFolderAliasOpenByTheirNames) {
  MakeTableFiles();
  ReadTables("AWKWARD FILES");
  EXPECT_EQ(Listed(), (std::vector<std::string>{"my table", "Order", "say \"hi\"", "Клиенты"}));
  const std::map<std::string, std::string> references = {{"my table", "\"my table\""},
                                                         {"Order", "\"Order\""},
                                                         {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                                         {"Клиенты", "\"Клиенты\""}};
  for (const auto& [name, reference] : references) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(Open(name));
    EXPECT_EQ(ConsoleText(), "SELECT *\nFROM " + reference);
    EXPECT_EQ(Form().GridModel().rowCount(), kTableFiles.at(name + ".dbf"));
    EXPECT_EQ(Structure("index1", name), "ID");
  }
}

void NamesTest::OpensEveryServerTable(const char* variable, const std::string& alias,
                                      const std::map<std::string, std::string>& references,
                                      const std::string& orderBy) {
  // ODBC reaches the tables made in PostgreSQL.
  TAwkwardServer server(std::string(variable) == "MORVALE_TEST_ODBC" ? "MORVALE_TEST_POSTGRESQL"
                                                                     : variable);
  if (!std::getenv(variable) || server.Skipped()) GTEST_SKIP() << variable << " is not set";
  ASSERT_EQ(server.Error(), "");
  // The window lets go of the tables before they are dropped: an open ODBC result keeps a lock.
  struct TLetGo {
    TForm1& form;
    ~TLetGo() { form.ResetConnection(); }
  } letGo{Form()};
  ReadTables(alias);
  ASSERT_TRUE(prompts_.Shown().empty()) << prompts_.Shown()[0];
  std::vector<std::string> listed = Listed();
  for (const TAwkwardServerTable& t : server.Tables()) {
    SCOPED_TRACE(t.Name);
    if (references.count(t.Name) == 0) continue;
    // Listed as the catalogue spells it, without quotes.
    EXPECT_NE(std::find(listed.begin(), listed.end(), t.Name), listed.end());
    ASSERT_TRUE(Open(t.Name));
    EXPECT_EQ(ConsoleText(), "SELECT *\nFROM " + references.at(t.Name));
    EXPECT_EQ(Form().GridModel().rowCount(), t.Rows);
    EXPECT_EQ(Header(0), t.FirstColumn);
    EXPECT_EQ(Structure("index1", t.Name), t.FirstColumn);
    EXPECT_EQ(Structure("DESC1", t.Name), t.FirstColumn);
  }
  // SHOW INDEX names the key of the mixed-case table; the sort text names fields that need
  // quotes (PostgreSQL would fold Total to total).
  EXPECT_EQ(Structure("fields1", "Orders"), "Orders");
  Form().Field_IndexName->setText("Total DESC, Customer Name");
  ASSERT_TRUE(Open("Orders"));
  EXPECT_EQ(ConsoleText(), "SELECT *\nFROM " + references.at("Orders") + "\nORDER BY " + orderBy);
  EXPECT_EQ(Form().GridModel().rowCount(), 3);
  EXPECT_EQ(Cell(0, 0) + "," + Cell(1, 0),
            server.Postgres() ? "3,1" : "1,2");  // NULLs first in PostgreSQL's DESC
}

TEST_F(NamesTest, PostgreSQLTablesOpenFromTheList) {
  OpensEveryServerTable("MORVALE_TEST_POSTGRESQL", "AWK PG",
                        {{"Orders", "\"Orders\""},
                         {"my table", "\"my table\""},
                         {"Order", "\"Order\""},
                         {"Клиенты", "\"Клиенты\""},
                         {"say \"hi\"", "\"say \"\"hi\"\"\""},
                         {"my view", "\"my view\""},
                         {"Sales Dept.Orders", "\"Sales Dept\".\"Orders\""}},
                        "\"Total\" DESC, \"Customer Name\"");
}

TEST_F(NamesTest, MariaDBTablesOpenFromTheList) {
  OpensEveryServerTable("MORVALE_TEST_MYSQL", "AWK MY",
                        {{"Orders", "Orders"},
                         {"my table", "`my table`"},
                         {"Order", "`Order`"},
                         {"Клиенты", "`Клиенты`"},
                         {"say \"hi\"", "`say \"hi\"`"},
                         {"my view", "`my view`"}},
                        "Total DESC, `Customer Name`");
}

TEST_F(NamesTest, OdbcTablesOpenFromTheList) {
  // The data source folds bare names to lower case, as PostgreSQL does: Orders needs quotes.
  OpensEveryServerTable("MORVALE_TEST_ODBC", "AWK ODBC",
                        {{"Orders", "\"Orders\""},
                         {"my table", "\"my table\""},
                         {"Order", "\"Order\""},
                         {"Клиенты", "\"Клиенты\""},
                         {"my view", "\"my view\""}},
                        "\"Total\" DESC, \"Customer Name\"");
}

// The PHP page runs on MySQL: the names the console quoted for SQLite are quoted for MySQL.
TEST_F(NamesTest, PhpPageQuotesTheNamesForMySQL) {
  ReadTables("AWKWARD");
  Form().Field_IndexName->setText("Group");
  ASSERT_TRUE(Open("my table"));
  bool shown = false;
  std::string page;
  std::function<void(int)> whenShown = [&](int tries) {
    QTimer::singleShot(10, [&, tries] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!d) {
        if (tries > 0) whenShown(tries - 1);
        return;
      }
      shown = true;
      d->findChild<QToolButton*>("SpeedButton1")->click();
      d->findChild<QToolButton*>("SpeedButton2")->click();
      d->findChild<QPushButton*>("OKBtn")->click();
    });
  };
  whenShown(200);
  Form().findChild<QAction*>("N9")->trigger();
  ASSERT_TRUE(shown);
  page = clipboard_.GetText();
  EXPECT_NE(page.find("$_SQL=$_SQL . \"SELECT * \";\r\n$_SQL=$_SQL . \"FROM `my table` \";\r\n"
                      "$_SQL=$_SQL . \"ORDER BY `Group` \";"),
            std::string::npos)
      << page;
}

}  // namespace
}  // namespace morvale::test
