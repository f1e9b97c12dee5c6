// The server drivers against real servers: scripts/test-services starts private ones and names
// them in MORVALE_TEST_POSTGRESQL, MORVALE_TEST_MYSQL and MORVALE_TEST_ODBC; a driver whose
// variable is not set is skipped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cstdlib>

#include "app/engine/connect.h"
#include "app/engine/cursordataset.h"
#include "app/engine/qtconnection.h"
#include "app/engine/session.h"

namespace morvale {
namespace {

TFormatSettings Settings() {
  TFormatSettings fs;
  fs.DecimalSeparator = ",";
  fs.DateSeparator = ".";
  fs.ShortDateFormat = "dd.mm.yyyy";
  fs.LongTimeFormat = "hh:nn:ss";
  return fs;
}

struct TServer {
  const char* name;
  const char* variable;
};

// Test listings show the server's name, not the bytes of the parameter.
void PrintTo(const TServer& s, std::ostream* os) { *os << s.name; }

class Server : public ::testing::TestWithParam<TServer> {
 protected:
  void SetUp() override {
    const char* url = std::getenv(GetParam().variable);
    if (!url || !*url) GTEST_SKIP() << GetParam().variable << " is not set";
    url_ = url;
    ASSERT_TRUE(ParseDatabaseText(url_, kind_, params_));
    suffix_ = std::to_string(getpid());
    EnsureQtApplication();
    // The tests write their tables through a connection of their own: the engine's are read-only.
    admin_ = "admin-" + suffix_;
    QSqlDatabase db = QSqlDatabase::addDatabase(kind_ == TDriverKind::PostgreSql ? "QPSQL"
                                                : kind_ == TDriverKind::MySql    ? "QMYSQL"
                                                                                 : "QODBC",
                                                QString::fromStdString(admin_));
    if (kind_ == TDriverKind::Odbc) {
      db.setDatabaseName(QString::fromStdString(params_.Value("ODBC DSN")));
    } else {
      db.setHostName(QString::fromStdString(params_.Value("SERVER NAME")));
      db.setPort(std::atoi(params_.Value("PORT").c_str()));
      db.setDatabaseName(QString::fromStdString(params_.Value("DATABASE NAME")));
      db.setUserName(QString::fromStdString(params_.Value("USER NAME")));
      db.setPassword(QString::fromStdString(params_.Value("PASSWORD")));
    }
    ASSERT_TRUE(db.open()) << ErrorText(db.lastError());
  }
  void TearDown() override {
    if (admin_.empty()) return;
    for (const std::string& t : created_) Admin("DROP TABLE IF EXISTS " + t);
    QSqlDatabase::removeDatabase(QString::fromStdString(admin_));
  }
  void Admin(const std::string& sql) {
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(admin_)));
    ASSERT_TRUE(q.exec(QString::fromStdString(sql))) << sql << ": " << ErrorText(q.lastError());
  }
  // A table of this test process: its name, created with `columns` and filled by `inserts`.
  std::string Table(const std::string& base, const std::string& columns) {
    std::string name = base + "_" + suffix_;
    Admin("DROP TABLE IF EXISTS " + name);
    Admin("CREATE TABLE " + name + " (" + columns + ")");
    created_.push_back(name);
    return name;
  }
  std::unique_ptr<TDataSet> Open(const std::string& sql) {
    return OpenQuery(url_, sql, Settings());
  }
  std::string Error(const std::string& sql, const std::string& database = "") {
    try {
      OpenQuery(database.empty() ? url_ : database, sql, Settings());
    } catch (const Exception& e) {
      return e.what();
    }
    return "(no error)";
  }
  bool Is(TDriverKind k) const { return kind_ == k; }

  std::string url_, suffix_, admin_;
  TDriverKind kind_ = TDriverKind::Sqlite;
  TStringList params_;
  std::vector<std::string> created_;
};

TEST_P(Server, FieldTypesSizesAndValues) {
  // The ODBC tests reach a PostgreSQL server.
  const bool pg = !Is(TDriverKind::MySql);
  std::string t =
      Table("types", std::string("i INTEGER PRIMARY KEY, s SMALLINT, b BIGINT, ") +
                         "r DOUBLE PRECISION, n NUMERIC(10,2), d DATE, tm TIME, " +
                         (pg ? "dt TIMESTAMP, f BOOLEAN, " : "dt DATETIME, f BOOLEAN, ") +
                         "c VARCHAR(10), ch CHAR(3), tx TEXT" + (pg ? ", m MONEY" : ""));
  Admin("INSERT INTO " + t +
        " VALUES (42, -7, 9007199254740993, 2.5, 1234.5, '2008-03-07', '14:30:05', "
        "'2008-03-07 09:05:01', TRUE, 'Bolt', 'ab', 'Привет, мир'" +
        (pg ? ", 1234.5)" : ")"));
  Admin("INSERT INTO " + t + " (i) VALUES (43)");
  auto ds = Open("SELECT * FROM " + t + " ORDER BY i");
  struct Want {
    TFieldType type;
    int size;
    const char* text;
  };
  std::vector<Want> want = {{ftInteger, 0, "42"},
                            {ftSmallint, 0, "-7"},
                            {ftLargeint, 0, "9007199254740993"},
                            {ftFloat, 0, "2,5"},
                            {ftBCD, 2, "1234,5"},
                            {ftDate, 0, "07.03.2008"},
                            {ftTime, 0, "14:30:05"},
                            {ftDateTime, 0, "07.03.2008 09:05:01"},
                            {ftBoolean, 0, "True"},
                            {ftString, 10, "Bolt"},
                            {ftString, 3, pg ? "ab " : "ab"},
                            {ftString, 255, "Привет, мир"}};
  if (pg) want.push_back({Is(TDriverKind::Odbc) ? ftFloat : ftCurrency, 0, "1234,5"});
  if (Is(TDriverKind::Odbc)) {
    // The PostgreSQL ODBC driver shows booleans as characters and text as long text by default.
    want[8] = {ftString, 5, "1"};
    want[11] = {ftMemo, 0, "Привет, мир"};
  }
  ASSERT_EQ(ds->FieldCount(), static_cast<int>(want.size()));
  for (size_t i = 0; i < want.size(); ++i) {
    TField& f = ds->Fields(static_cast<int>(i));
    SCOPED_TRACE(f.FieldName);
    EXPECT_EQ(f.DataType, want[i].type);
    if (want[i].type == ftString || want[i].type == ftBCD) {
      EXPECT_EQ(f.Size, want[i].size);
    }
    EXPECT_EQ(f.AsString(), want[i].text);
  }
  ds->Next();
  for (int i = 1; i < ds->FieldCount(); ++i) EXPECT_TRUE(ds->Fields(i).IsNull()) << i;
}

// PostgreSQL values are read as the server writes them: a time zone offset goes, bytes arrive as
// bytes, and a local time that a daylight-saving change skips is not moved.
TEST_P(Server, PostgreSqlTextsAsTheServerGivesThem) {
  if (!Is(TDriverKind::PostgreSql)) GTEST_SKIP() << "PostgreSQL only";
  // A local zone with a daylight-saving gap at 2021-03-28 02:00.
  std::string savedTz = std::getenv("TZ") ? std::getenv("TZ") : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  std::string t = Table("texts",
                        "tz TIMESTAMPTZ, ttz TIMETZ, by BYTEA, gap TIMESTAMP, f FLOAT8, "
                        "iv INTERVAL");
  Admin("INSERT INTO " + t +
        " VALUES ('2008-03-07 09:05:01.25', '09:05:01+03', '\\x00ff41', "
        "'2021-03-28 02:30:00', 'NaN', '1 day 02:00')");
  auto ds = Open("SELECT * FROM " + t);
  EXPECT_EQ(ds->Fields(0).DataType, ftDateTime);
  EXPECT_EQ(ds->Fields(0).AsString(), "07.03.2008 09:05:01");
  EXPECT_EQ(ds->Fields(1).AsString(), "09:05:01");
  EXPECT_EQ(ds->Fields(2).DataType, ftBlob);
  EXPECT_EQ(ds->Fields(2).AsString(), std::string("\0\xff"
                                                  "A",
                                                  3));
  EXPECT_EQ(ds->Fields(3).AsString(), "28.03.2021 02:30:00");
  EXPECT_EQ(ds->Fields(4).AsString(), "NaN");
  EXPECT_EQ(ds->Fields(5).AsString(), "1 day 02:00:00");
  savedTz.empty() ? unsetenv("TZ") : setenv("TZ", savedTz.c_str(), 1);
  tzset();
}

TEST_P(Server, StructureCommandsAndTableLists) {
  std::string t = Table("parts", "id INTEGER NOT NULL PRIMARY KEY, code VARCHAR(8), qty INTEGER");
  Admin("CREATE INDEX parts_code_" + suffix_ + " ON " + t + " (code)");
  for (const std::string& sql : {"SHOW FIELDS\nFROM " + t, "DESCRIBE \n" + t}) {
    SCOPED_TRACE(sql);
    auto ds = Open(sql);
    EXPECT_EQ(ds->Fields(0).FieldName, "Field");
    std::string fields;
    for (; !ds->Eof(); ds->Next())
      fields += ds->FieldByName("Field").AsString() + ":" + ds->FieldByName("Key").AsString() + ";";
    EXPECT_EQ(fields, Is(TDriverKind::Odbc) ? "id:PRI;code:;qty:;" : "id:PRI;code:MUL;qty:;");
  }
  auto index = Open("SHOW INDEX\nFROM " + t);
  std::string columns;
  for (; !index->Eof(); index->Next())
    columns += index->FieldByName("Column_name").AsString() + ";";
  EXPECT_EQ(columns, Is(TDriverKind::Odbc) ? "id;" : "id;code;");
  EXPECT_NE(Error("SHOW FIELDS FROM nothing_" + suffix_), "(no error)");

  std::vector<std::string> names = TableNames(url_, "*.*");
  EXPECT_NE(std::find(names.begin(), names.end(), t), names.end());
  names = TableNames(url_, "parts_" + suffix_ + "*");
  EXPECT_EQ(names, std::vector<std::string>{t});
  auto shown = Open("SHOW TABLES");
  EXPECT_GE(shown->RecordCount(), 1);
}

TEST_P(Server, EngineMessagesPassThroughAndNothingIsWritten) {
  std::string misspelt = Error("SELECT * FROM no_such_table_" + suffix_);
  if (Is(TDriverKind::PostgreSql))
    EXPECT_NE(misspelt.find("relation \"no_such_table_" + suffix_ + "\" does not exist"),
              std::string::npos)
        << misspelt;
  else if (Is(TDriverKind::MySql))
    EXPECT_NE(misspelt.find("no_such_table_" + suffix_ + "' doesn't exist"), std::string::npos)
        << misspelt;
  else
    EXPECT_NE(misspelt.find("no_such_table_" + suffix_), std::string::npos) << misspelt;

  std::string t = Table("guarded", "a INTEGER");
  std::string write = Error("INSERT INTO " + t + " VALUES (1)");
  EXPECT_NE(write, "(no error)");
  QSqlQuery q(QSqlDatabase::database(QString::fromStdString(admin_)));
  ASSERT_TRUE(q.exec(QString::fromStdString("SELECT COUNT(*) FROM " + t)) && q.next());
  EXPECT_EQ(q.value(0).toInt(), 0);

  if (!Is(TDriverKind::Odbc)) {
    TStringList p = params_;
    std::string wrong = url_;
    wrong.replace(wrong.find(":" + p.Value("PASSWORD") + "@"), p.Value("PASSWORD").size() + 2,
                  ":wrong-password@");
    std::string refused = Error("SELECT 1", wrong);
    EXPECT_TRUE(refused.find("password authentication failed") != std::string::npos ||
                refused.find("Access denied") != std::string::npos)
        << refused;
  }
}

TEST_P(Server, LongResultStreamsWithBookmarksAndCount) {
  std::string series =
      Is(TDriverKind::MySql)
          ? "WITH d(n) AS (SELECT 0 UNION ALL SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3 "
            "UNION ALL SELECT 4 UNION ALL SELECT 5 UNION ALL SELECT 6 UNION ALL SELECT 7 "
            "UNION ALL SELECT 8 UNION ALL SELECT 9), s(i) AS (SELECT 1 + a.n + 10 * b.n + 100 * "
            "c.n "
            "+ 1000 * e.n + 10000 * f.n FROM d a, d b, d c, d e, d f) "
            "SELECT i, CONCAT('name ', i) AS name FROM s WHERE i <= 20000 ORDER BY i"
          : "SELECT i, 'name ' || i AS name FROM generate_series(1, 20000) AS g(i)";
  auto ds = Open(series);
  TBookmark b = 0;
  int64_t n = 0;
  for (; !ds->Eof(); ds->Next())
    if (++n == 5) b = ds->GetBookmark();
  EXPECT_EQ(n, 20000);
  EXPECT_EQ(ds->Fields(1).AsString(), "name 20000");
  EXPECT_EQ(ds->RecordCount(), 20000);
  ds->GotoBookmark(b);
  EXPECT_EQ(ds->Fields(1).AsString(), "name 5");
  ds->First();
  EXPECT_EQ(ds->Fields(0).AsString(), "1");
  // Counting while a walk is under way does not disturb it.
  auto other = Open(series);
  other->Next();
  EXPECT_EQ(other->RecordCount(), 20000);
  other->Next();
  EXPECT_EQ(other->Fields(0).AsString(), "3");
}

TEST_P(Server, DroppedConnectionEndsTheWalkWithAnError) {
  if (!Is(TDriverKind::PostgreSql)) GTEST_SKIP() << "rows of this driver arrive all at once";
  std::string marker = "dropme_" + suffix_;
  auto ds = Open("SELECT i, '" + marker + "' FROM generate_series(1, 5000000) AS g(i)");
  Admin("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE query LIKE '%" + marker +
        "%' AND pid <> pg_backend_pid()");
  try {
    while (!ds->Eof()) ds->Next();
    ADD_FAILURE() << "the walk ended as if the result were complete";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("terminat"), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Drivers, Server,
                         ::testing::Values(TServer{"PostgreSql", "MORVALE_TEST_POSTGRESQL"},
                                           TServer{"MySql", "MORVALE_TEST_MYSQL"},
                                           TServer{"Odbc", "MORVALE_TEST_ODBC"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace morvale
