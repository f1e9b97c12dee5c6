// "Параллельное чтение" of the export dialog, from the main window: the open table read in ranges
// by morvale-export --jobs over three connections gives the bytes of the dialog's own one-pass
// export; the progress window shows a line a part while it runs; the choice is kept in the
// remembered options; a query or type that cannot be split says why; and Cancel stops every part
// and leaves the previous file as it was. On SQLite always, on PostgreSQL when
// MORVALE_TEST_POSTGRESQL names a server.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/engine/aliases.h"
#include "app/engine/session.h"
#include "app/main/rangeexport.h"
#include "tests/app/main/window.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

constexpr int kRows = 30000;
const char* const kTable = "Заказы клиентов";

// The rows every server gets: a name with a quote and a comma, NULLs, a long text now and then,
// decimals and dates.
std::string RowsSql(const std::string& series) {
  return "SELECT i AS id, 'Ёжик \"' || i || '\", ООО' AS \"Имя клиента\", "
         "CASE WHEN i % 7 = 0 THEN NULL ELSE i * 1.25 END AS \"Сумма\", "
         "CASE WHEN i % 5 = 0 THEN NULL ELSE 'О''Брайен & <Co>; ' || (i % 97) END AS note, "
         "CASE WHEN i % 1000 = 3 THEN " +
         series + " ELSE 'кратко' END AS \"Длинный текст\" FROM n";
}

class ParallelReadingTest : public WindowTest {
 protected:
  void BeforeWindows() override {
    // The window runs the program beside its own; a test's program lies elsewhere.
    ::setenv("MORVALE_EXPORT_PROGRAM", MORVALE_EXPORT_PROGRAM, 1);
    db_ = home_ + "база магазина.db";
    std::string out;
    const std::string script =
        "CREATE TABLE \"" + std::string(kTable) +
        "\"(id INTEGER PRIMARY KEY, \"Имя клиента\" TEXT, \"Сумма\" NUMERIC, note TEXT, "
        "\"Длинный текст\" TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRows) + ") INSERT INTO \"" + kTable + "\" " +
        RowsSql("printf('%.*c', 3000, 'ж')") + ";";
    ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db_) + " " + ShellQuote(script) + " 2>&1", out), 0)
        << out;
    std::string ini = "[RANGES]\nDRIVER=SQLITE\nPATH=" + db_ + "\n";
    if (const char* url = std::getenv("MORVALE_TEST_POSTGRESQL"); url && *url) {
      TDriverKind kind;
      TStringList params;
      ParseDatabaseText(url, kind, params);
      ini += "[RANGES PG]\nDRIVER=POSTGRESQL\n";
      for (const std::string& line : params) ini += line + "\n";
    }
    if (const char* url = std::getenv("MORVALE_TEST_MYSQL"); url && *url) {
      TDriverKind kind;
      TStringList params;
      ParseDatabaseText(url, kind, params);
      ini += "[RANGES MY]\nDRIVER=MYSQL\n";
      for (const std::string& line : params) ini += line + "\n";
    }
    WriteFile(home_ + "engine.ini", ini);
    TAliasConfig::Instance().Load(home_ + "user.ini", home_ + "engine.ini");
  }

  void OpenTable(const char* alias) {
    Form().CB_AliasBDE5->setCurrentText(QString::fromUtf8(alias));
    Form().SpeedButton2->click();
    SelectTable(kTable);
    DoubleClickTable();
    ASSERT_TRUE(Form().Query1().Active()) << (prompts_.Shown().empty() ? "" : prompts_.Shown()[0]);
  }

  // What the progress window showed of the parts: every text of "laParts" while the run went,
  // and the last one.
  struct TSeen {
    std::vector<std::string> running;
    std::string last;
  };

  // "Экспорт" on the open query: CSV, "Параллельное чтение" as `on` says with `connections`,
  // started; `watch` sees the progress window on every turn until it is dismissed. Returns the
  // file the dialog wrote to.
  std::string Export(bool on, int connections, TSeen& seen,
                     const std::function<void(QWidget& progress)>& watch = {}) {
    std::string file;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      auto* types = dialog->findChild<QListWidget*>("lbExportType");
      for (int i = 0; i < types->count(); ++i)
        if (types->item(i)->data(Qt::UserRole).toInt() == aeCSV) types->setCurrentRow(i);
      auto* box = dialog->findChild<QCheckBox*>("cbParallelReading");
      EXPECT_TRUE(box->isEnabled()) << Why(*dialog);
      if (box->isChecked() != on) box->click();
      dialog->findChild<QSpinBox*>("seParallelConnections")->setValue(connections);
      ShowCommonPage(*dialog);
      if (on) Screenshot(*dialog, "export-dialog-parallel");
      file = dialog->findChild<QLineEdit*>("edFileName")->text().toStdString();
      auto* poll = new QTimer(dialog);
      QObject::connect(poll, &QTimer::timeout, [&seen, &watch] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
          if (w->objectName() != "fmExportProgress" || !w->isVisible()) continue;
          auto* parts = w->findChild<QLabel*>("laParts");
          const std::string text = parts->isVisible() ? parts->text().toStdString() : "";
          auto* button = w->findChild<QPushButton*>("btnCancel");
          if (button->text() != "OK" && !text.empty() &&
              (seen.running.empty() || seen.running.back() != text))
            seen.running.push_back(text);
          if (watch) watch(*w);
          // A stopped run says so once its parts have ended, after the button reads "OK".
          const bool ended = w->findChild<QLabel*>("laStatusValue")->text() == "Завершено" ||
                             !w->findChild<QLabel*>("laNote")->isHidden();
          if (button->text() == "OK" && ended) {
            seen.last = text;
            button->click();
          }
        }
      });
      poll->start(0);
      dialog->findChild<QPushButton*>("bStart")->click();
      dialog->findChild<QPushButton*>("bClose")->click();
    });
    Form().SpeedButton4->click();
    return file;
  }

  static void ShowCommonPage(QWidget& dialog) {
    dialog.findChild<QTabWidget*>("pcExportType")
        ->setCurrentWidget(dialog.findChild<QWidget*>("tsTypeOptions"));
  }
  static std::string Why(QWidget& dialog) {
    auto* why = dialog.findChild<QLabel*>("laParallelWhy");
    return why->isHidden() ? "" : why->text().toStdString();
  }

  // The one-pass export, then the same with three connections: the same bytes, and the progress
  // window showed the rows of each of the three parts while they ran and at the end.
  void SameBytesFromThreeConnections(const char* alias, const std::string& name);

  std::string db_;
};

// The English a Russian text of the window has: words of Latin letters that are no SQL keyword
// (upper case) nor a name the window's texts use as they are, and the command line's "--".
std::string EnglishIn(const std::string& text) {
  static const std::set<std::string> names = {"SQLite", "PostgreSQL", "MySQL", "MariaDB", "rowid"};
  std::string found;
  for (size_t i = 0; i < text.size();) {
    if (!std::isalpha(static_cast<unsigned char>(text[i]))) {
      if (text.compare(i, 2, "--") == 0) found += " --";
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    const std::string word = text.substr(i, end - i);
    if (!names.count(word) && word != UpperCaseAscii(word)) found += " " + word;
    i = end;
  }
  return found;
}

// "Часть 1 из 3: 10000" ... as the window shows them; false when a line is not of that form.
bool PartRows(const std::string& text, std::vector<long long>& rows) {
  rows.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const std::string head = "Часть " + std::to_string(rows.size() + 1) + " из ";
    const size_t colon = line.find(": ");
    if (!line.starts_with(head) || colon == std::string::npos) return false;
    char* rest = nullptr;
    const long long r = std::strtoll(line.c_str() + colon + 2, &rest, 10);
    if (*rest) return false;
    rows.push_back(r);
    start = end + 1;
  }
  return !rows.empty();
}

void ParallelReadingTest::SameBytesFromThreeConnections(const char* alias,
                                                        const std::string& name) {
  prompts_.ClearAsked();
  OpenTable(alias);
  TSeen one, three;
  const std::string file = Export(false, 3, one);
  EXPECT_TRUE(one.running.empty() && one.last.empty()) << one.last;
  const std::string whole = ReadFile(file);
  ASSERT_GT(whole.size(), static_cast<size_t>(kRows) * 40);
  std::filesystem::remove(file);
  std::string pictured;
  EXPECT_EQ(Export(true, 3, three,
                   [&](QWidget& progress) {
                     // The latest picture of the parts all under way.
                     const std::string text =
                         progress.findChild<QLabel*>("laParts")->text().toStdString();
                     std::vector<long long> rows;
                     if (text != pictured && PartRows(text, rows) &&
                         std::all_of(rows.begin(), rows.end(), [](long long r) { return r > 0; })) {
                       Screenshot(progress, "progress-parallel-" + name);
                       pictured = text;
                     }
                   }),
            file);
  for (const auto& asked : prompts_.Asked()) ADD_FAILURE() << asked.text.toStdString();
  EXPECT_TRUE(ReadFile(file) == whole) << "the file read in ranges differs from the one-pass one";
  std::vector<long long> rows;
  ASSERT_TRUE(PartRows(three.last, rows)) << three.last;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0] + rows[1] + rows[2], kRows);
  for (long long r : rows) EXPECT_GT(r, 0) << three.last;
  // Shown while the run went, not only at its end.
  EXPECT_FALSE(three.running.empty());
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Экспорт закончен");
  // Nothing of the parts is left beside the file.
  for (const auto& entry : std::filesystem::directory_iterator(home_ + "mvl_Export/"))
    EXPECT_EQ(entry.path().string(), file);
}

TEST_F(ParallelReadingTest, ThreeConnectionsGiveTheOnePassBytes) {
  SameBytesFromThreeConnections("RANGES", "sqlite");
}

TEST_F(ParallelReadingTest, ThreeConnectionsGiveTheOnePassBytesOnPostgreSQL) {
  const char* url = std::getenv("MORVALE_TEST_POSTGRESQL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set";
  std::string out;
  const std::string psql = "psql " + ShellQuote(url) + " -X -q -v ON_ERROR_STOP=1 -c ";
  const std::string drop = "DROP TABLE IF EXISTS \"" + std::string(kTable) + "\"";
  ASSERT_EQ(
      RunCommand(psql +
                     ShellQuote(drop + "; CREATE TABLE \"" + kTable +
                                "\" AS WITH n(i) AS "
                                "(SELECT generate_series(1, " +
                                std::to_string(kRows) + ")) " + RowsSql("repeat('ж', 3000)")) +
                     " 2>&1",
                 out),
      0)
      << out;
  struct TDrop {
    TForm1& form;
    std::string command;
    ~TDrop() {
      form.ResetConnection();
      std::string ignored;
      RunCommand(command, ignored);
    }
  } dropped{Form(), psql + ShellQuote(drop) + " 2>&1"};
  SameBytesFromThreeConnections("RANGES PG", "postgresql");
}

// MariaDB by ranges of the primary key, each connection in a consistent snapshot.
TEST_F(ParallelReadingTest, ThreeConnectionsGiveTheOnePassBytesOnMariaDB) {
  const char* url = std::getenv("MORVALE_TEST_MYSQL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_TEST_MYSQL is not set";
  TDriverKind kind;
  TStringList p;
  ParseDatabaseText(url, kind, p);
  const std::string mariadb = "mariadb -h " + ShellQuote(p.Value("SERVER NAME")) + " -P " +
                              ShellQuote(p.Value("PORT")) + " -u " +
                              ShellQuote(p.Value("USER NAME")) + " " +
                              ShellQuote(p.Value("DATABASE NAME")) + " -e ";
  const std::string env = "MYSQL_PWD=" + ShellQuote(p.Value("PASSWORD")) + " ";
  const std::string drop = "DROP TABLE IF EXISTS `" + std::string(kTable) + "`";
  std::string out;
  ASSERT_EQ(RunCommand(env + mariadb +
                           ShellQuote(drop + "; CREATE TABLE `" + kTable +
                                      "` (id INT PRIMARY KEY, `Имя клиента` VARCHAR(80), "
                                      "`Сумма` DECIMAL(12,2), note VARCHAR(80), `Длинный текст` "
                                      "TEXT) DEFAULT CHARSET=utf8mb4; SET SESSION "
                                      "max_recursive_iterations = 100000; SET SESSION sql_mode "
                                      "= CONCAT(@@sql_mode, ',PIPES_AS_CONCAT,ANSI_QUOTES'); "
                                      "INSERT INTO `" +
                                      kTable +
                                      "` WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                      "SELECT i + 1 FROM n WHERE i < " +
                                      std::to_string(kRows) + ") " + RowsSql("repeat('ж', 3000)")) +
                           " 2>&1",
                       out),
            0)
      << out;
  struct TDrop {
    TForm1& form;
    std::string command;
    ~TDrop() {
      form.ResetConnection();
      std::string ignored;
      RunCommand(command, ignored);
    }
  } dropped{Form(), env + mariadb + ShellQuote(drop) + " 2>&1"};
  SameBytesFromThreeConnections("RANGES MY", "mariadb");
}

// The choice is kept with the dialog's remembered settings; where the start cannot read in ranges
// the box is off and the page says why.
TEST_F(ParallelReadingTest, KeptInTheOptionsAndRefusedWithItsReason) {
  OpenTable("RANGES");
  TSeen seen;
  Export(true, 5, seen);
  EXPECT_NE(ReadFile(home_ + "Morvale.cfg").find("[PARALLEL_READING]\nEnabled=1\nConnections=5\n"),
            std::string::npos);
  // A sorted query cannot be split: the box is off, and the reason is the range reader's.
  Form().SQL->setPlainText(QString::fromUtf8("SELECT * FROM \"Заказы клиентов\" ORDER BY note"));
  Form().SpeedButton5->click();
  ASSERT_TRUE(Form().Query1().Active());
  bool shown = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    shown = true;
    auto* box = dialog->findChild<QCheckBox*>("cbParallelReading");
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(dialog->findChild<QSpinBox*>("seParallelConnections")->value(), 5);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(Why(*dialog), "Параллельное чтение недоступно: запрос упорядочен (ORDER BY).");
    EXPECT_EQ(EnglishIn(Why(*dialog)), "");
    EXPECT_EQ(box->toolTip().toStdString(), Why(*dialog));
    // A type whose file is not made of shares says so too.
    auto* types = dialog->findChild<QListWidget*>("lbExportType");
    for (int i = 0; i < types->count(); ++i)
      if (types->item(i)->data(Qt::UserRole).toInt() == aeTXT) types->setCurrentRow(i);
    EXPECT_EQ(Why(*dialog),
              "Параллельное чтение недоступно: файл этого типа не собирается из частей.");
    EXPECT_EQ(EnglishIn(Why(*dialog)), "");
    for (int i = 0; i < types->count(); ++i)
      if (types->item(i)->data(Qt::UserRole).toInt() == aeCSV) types->setCurrentRow(i);
    ShowCommonPage(*dialog);
    Screenshot(*dialog, "export-dialog-parallel-refused");
    dialog->findChild<QPushButton*>("bClose")->click();
  });
  Form().SpeedButton4->click();
  EXPECT_TRUE(shown);
}

// A source the program reads as one job all the same (an SQLite database in WAL mode, which
// separate processes cannot read in one snapshot): the file is written, and the window says why.
TEST_F(ParallelReadingTest, ReadAsOneJobTheWindowSaysWhy) {
  std::string out;
  ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db_) + " 'PRAGMA journal_mode=WAL' 2>&1", out), 0);
  OpenTable("RANGES");
  TSeen seen;
  const std::string file = Export(true, 3, seen);
  EXPECT_EQ(seen.last,
            "Источник прочитан одним соединением: база SQLite работает в режиме WAL, в котором "
            "разные процессы не могут читать один общий снимок.\nЧасть 1 из 1: " +
                std::to_string(kRows));
  EXPECT_EQ(EnglishIn(seen.last), "");
  // The caption row and every record, a line each (no value holds a line break).
  const std::string written = ReadFile(file);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), kRows + 1);
}

// Cancel while the parts read: every part stops, the previous file stays as it was, and nothing
// of the run is left beside it. The query's condition makes each row slow to read, so the parts
// are surely still reading when the button is pressed.
TEST_F(ParallelReadingTest, CancelStopsEveryPartAndKeepsThePreviousFile) {
  Form().SQL->setPlainText(QString::fromUtf8(
      "SELECT * FROM \"Заказы клиентов\" WHERE length(hex(zeroblob(200000))) > 0"));
  Form().CB_AliasBDE5->setCurrentText(QStringLiteral("RANGES"));
  Form().SpeedButton2->click();
  Form().SpeedButton5->click();
  ASSERT_TRUE(Form().Query1().Active()) << (prompts_.Shown().empty() ? "" : prompts_.Shown()[0]);
  const std::string previous = "the previous file; Ёжик\n";
  const std::string file = home_ + "mvl_Export/Unknown.csv";
  WriteFile(file, previous);
  prompts_.ClearAsked();
  TSeen seen;
  std::string note;
  bool pressed = false;
  Export(true, 3, seen, [&](QWidget& progress) {
    auto* button = progress.findChild<QPushButton*>("btnCancel");
    std::vector<long long> rows;
    if (!pressed && button->text() == "Отмена" &&
        PartRows(progress.findChild<QLabel*>("laParts")->text().toStdString(), rows)) {
      pressed = true;
      button->click();  // the question that follows is answered Yes
    }
    auto* label = progress.findChild<QLabel*>("laNote");
    if (button->text() == "OK" && label->isVisible()) note = label->text().toStdString();
  });
  EXPECT_TRUE(pressed);
  ASSERT_EQ(prompts_.Asked().size(), 1u);
  EXPECT_EQ(prompts_.Asked()[0].text.toStdString(),
            "Вы действительно хотите прервать процесс экспорта?");
  EXPECT_EQ(note, "Экспорт прерван, прежний файл не изменён");
  EXPECT_EQ(ReadFile(file), previous);
  std::vector<long long> rows;
  ASSERT_TRUE(PartRows(seen.last, rows)) << seen.last;
  EXPECT_LT(rows[0] + rows[1] + rows[2], kRows);
  for (const auto& entry : std::filesystem::directory_iterator(home_ + "mvl_Export/"))
    EXPECT_EQ(entry.path().string(), file);
}

// Every reason the range reader gives, in the window's words: Russian, without the command line's
// advice, with the names it carries.
TEST(RangeReasonText, EveryReasonInTheWindowsWords) {
  using K = cli::TSplitReasonKind;
  for (int k = 1; k <= static_cast<int>(K::KeyNotInteger); ++k) {
    const cli::TSplitReason reason{static_cast<K>(k), "\"Заказы\"", "LIMIT"};
    const std::string text = RangeReasonText(reason);
    EXPECT_FALSE(text.empty()) << k;
    EXPECT_EQ(EnglishIn(text), "") << text;
    const bool named = cli::SplitReasonText(reason).find("\"Заказы\"") != std::string::npos;
    EXPECT_EQ(text.find("\"Заказы\"") != std::string::npos, named) << text;
  }
  EXPECT_EQ(RangeReasonText({K::NoPrimaryKey, "`Заказы клиентов`", ""}),
            "у таблицы `Заказы клиентов` нет первичного ключа (или это представление)");
  EXPECT_EQ(RangeReadsWhy(TDriverKind::Odbc, "SELECT * FROM t", aeCSV),
            "Параллельное чтение недоступно: частями читаются только базы PostgreSQL, "
            "MySQL/MariaDB и SQLite.");
  EXPECT_EQ(RangeReadsWhy(TDriverKind::Sqlite, "SELECT count(*) FROM t", aeCSV),
            "Параллельное чтение недоступно: запрос вычисляет агрегатные функции (count).");
  EXPECT_EQ(RangeReadsWhy(TDriverKind::MySql, "SELECT * FROM t", aeCSV), "");
}

// The program's standard error as it comes, in pieces cut anywhere: the parts' counts of every
// drawing, a one-job run's count and note, and the messages apart.
TEST(RangeProgressReader, ReadsThePartsAndTheMessages) {
  std::vector<std::string> seen;
  std::string note;
  TRangeProgressReader reader;
  reader.PartRows = [&seen](int part, int parts, int64_t rows) {
    seen.push_back(std::to_string(part) + "/" + std::to_string(parts) + "=" + std::to_string(rows));
  };
  reader.OneJob = [&note](const std::string& why) { note = why; };
  const std::string text =
      "\r12 records exported by 2 jobs (5 + 7), 0:00:00   \r30 records exported by 2 jobs (14 + "
      "16), 0:00:01   \nmorvale-export: part 2/2 failed: ERROR: division by zero\n"
      "morvale-export: the export failed; 't.csv' is unchanged\n";
  for (size_t i = 0; i < text.size(); i += 9) reader.Feed(text.substr(i, 9));
  EXPECT_EQ(seen.back(), "2/2=16");
  EXPECT_NE(std::find(seen.begin(), seen.end(), "1/2=5"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), "1/2=14"), seen.end());
  EXPECT_EQ(reader.Messages(),
            "part 2/2 failed: ERROR: division by zero\nthe export failed; 't.csv' is unchanged");
  seen.clear();
  reader.Feed(
      "morvale-export: --jobs 3 runs as one job: the query joins tables\n\r40 records exported, "
      "40 rec/s, 0:00:01   ");
  EXPECT_EQ(note, "the query joins tables");
  EXPECT_EQ(seen, (std::vector<std::string>{"1/1=40"}));
}

}  // namespace
}  // namespace morvale::test
