// The server drivers against real servers: scripts/test-services starts private ones and names
// them in MORVALE_TEST_POSTGRESQL, MORVALE_TEST_MYSQL and MORVALE_TEST_ODBC; a driver whose
// variable is not set is skipped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/engine/connect.h"
#include "app/engine/cursordataset.h"
#include "app/engine/mysqlcursor.h"
#include "app/engine/qtconnection.h"
#include "app/engine/session.h"
#include "export/core/datetime.h"
#include "tests/support/timezone.h"

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
void PrintTo(const TServer& s, std::ostream* os) {
  *os << s.name;
}

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
  // SELECT `columns` over the integers i = 1 ... n (in order when asked: a sort makes the server
  // build the whole result before its first row).
  std::string Series(int64_t n, const std::string& columns, bool ordered = true) const {
    if (!Is(TDriverKind::MySql))
      return "SELECT " + columns + " FROM generate_series(1, " + std::to_string(n) + ") AS g(i)";
    std::string digits = "SELECT 0 AS n";
    for (int d = 1; d < 10; ++d) digits += " UNION ALL SELECT " + std::to_string(d);
    std::string sum = "1", from;
    int64_t scale = 1;
    for (int k = 0; scale < n; ++k, scale *= 10) {
      std::string t = "d" + std::to_string(k);
      sum += " + " + std::to_string(scale) + " * " + t + ".n";
      from += (from.empty() ? "d " : ", d ") + t;
    }
    return "WITH d(n) AS (" + digits + "), s(i) AS (SELECT " + sum + " AS i FROM " + from +
           ") SELECT " + columns + " FROM s WHERE i <= " + std::to_string(n) +
           (ordered ? " ORDER BY i" : "");
  }
  // The ids of the server sessions running a statement that contains `marker`, but this one's.
  std::vector<std::string> SessionsRunning(const std::string& marker) {
    std::string sql = Is(TDriverKind::MySql)
                          ? "SELECT ID FROM information_schema.PROCESSLIST WHERE INFO LIKE '%" +
                                marker + "%' AND ID <> CONNECTION_ID()"
                          : "SELECT pid FROM pg_stat_activity WHERE query LIKE '%" + marker +
                                "%' AND pid <> pg_backend_pid()";
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(admin_)));
    EXPECT_TRUE(q.exec(QString::fromStdString(sql))) << ErrorText(q.lastError());
    std::vector<std::string> ids;
    while (q.next()) ids.push_back(q.value(0).toString().toStdString());
    return ids;
  }

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
    // TEXT sets no length: its 255 is only a default, which an SQL script must not declare.
    if (want[i].type == ftString) {
      EXPECT_EQ(f.Unbounded, i == 11);
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
  test::TTimeZoneGuard berlin("Europe/Berlin");
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
}

// A query whose columns the binary COPY reader decodes streams through COPY. A statement that
// COPY does not take (one that starts with a comment) is read row by row in the same binary
// forms, and one with a column the binary reader does not know (json) in the server's texts,
// as Qt's driver read every statement. All three give the same fields and texts.
TEST_P(Server, PostgreSqlCopyGivesTheRowByRowFieldsAndTexts) {
  if (!Is(TDriverKind::PostgreSql)) GTEST_SKIP() << "PostgreSQL only";
  const std::string values =
      "SELECT b::bool AS b, 7::int2 AS s, (-2147483648)::int4 AS i, 9223372036854775807::int8 AS "
      "l, 42::oid AS o, f4::float4 AS f4, f8::float8 AS f8, n::numeric AS n, n::numeric(12,3) "
      "AS nf, d::date AS d, t::time AS t, ts::timestamp AS ts, 'a0eebc99-9c0b-4ef8-bb6d-"
      "6bb9bd380a11'::uuid AS u, '\\x00ff41'::bytea AS by, 'Москва'::text AS tx, 'x'::char(3) "
      "AS c, 'v'::varchar(7) AS v, 'nm'::name AS nm FROM (VALUES "
      "(true, '1.5', '0.1', '12.3450', '2008-03-07', '09:05:01.25', '2008-03-07 23:59:59.9999'),"
      "(false, '3.4e38', '-0', '-0.00001', '0044-03-15 BC', '24:00', '0044-03-15 12:00 BC'),"
      "(NULL, 'NaN', '1e-320', 'NaN', 'infinity', '00:00:00.000001', '-infinity'),"
      "(true, '-Infinity', '123456.789', '10000', '5874897-12-31', '13:14:15', "
      "'1850-01-01 00:00:00.5')) AS x(b, f4, f8, n, d, t, ts)";
  for (const std::string& sql :
       {"/* row by row */ " + values, "SELECT v.*, NULL::json AS j FROM (" + values + ") AS v"}) {
    SCOPED_TRACE(sql.substr(0, 20));
    auto copied = Open(values);
    auto rowByRow = Open(sql);
    ASSERT_EQ(copied->FieldCount() + (sql[0] == 'S' ? 1 : 0), rowByRow->FieldCount());
    for (int i = 0; i < copied->FieldCount(); ++i) {
      const TField& a = copied->Fields(i);
      const TField& b = rowByRow->Fields(i);
      EXPECT_EQ(a.FieldName, b.FieldName);
      EXPECT_EQ(a.DataType, b.DataType) << a.FieldName;
      EXPECT_EQ(a.Size, b.Size) << a.FieldName;
    }
    int rows = 0;
    for (; !copied->Eof(); copied->Next(), rowByRow->Next(), ++rows) {
      ASSERT_FALSE(rowByRow->Eof());
      for (int i = 0; i < copied->FieldCount(); ++i)
        EXPECT_EQ(copied->Fields(i).AsString(), rowByRow->Fields(i).AsString())
            << copied->Fields(i).FieldName << " row " << rows;
    }
    EXPECT_EQ(rows, 4);
    EXPECT_TRUE(rowByRow->Eof());
  }

  // While a long result streams, the server runs it as a COPY; a move back runs it again.
  auto ds = Open(Series(200000, "i AS copy_marker, i * 0.5 AS half"));
  QSqlQuery q(QSqlDatabase::database(QString::fromStdString(admin_)));
  ASSERT_TRUE(
      q.exec("SELECT query FROM pg_stat_activity WHERE query LIKE '%copy_marker%' AND "
             "pid <> pg_backend_pid()"));
  ASSERT_TRUE(q.next());
  EXPECT_TRUE(q.value(0).toString().startsWith("COPY (")) << q.value(0).toString().toStdString();
  for (int n = 0; n < 5000; ++n) ds->Next();
  EXPECT_EQ(ds->Fields(0).AsString(), "5001");
  ds->First();
  EXPECT_EQ(ds->Fields(1).AsString(), "0,5");
  EXPECT_EQ(ds->RecordCount(), 200000);

  // An export walk (controls disabled, read ahead on, as the command line sets it) reads the
  // next rows on a second thread, through COPY and row by row alike.
  auto threads = [] {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task"))
      ++n;
    return n;
  };
  for (const char* prefix : {"", "/* row by row */ "}) {
    SCOPED_TRACE(prefix);
    auto walked = Open(std::string(prefix) + Series(20000, "i"));
    auto* cursor = dynamic_cast<TCursorDataSet*>(walked.get());
    ASSERT_NE(cursor, nullptr);
    const size_t before = threads();
    cursor->SetReadAhead(true);
    walked->DisableControls();
    int64_t sum = 0, rows = 0;
    for (walked->First(); !walked->Eof(); walked->Next(), ++rows)
      sum += std::atoi(walked->Fields(0).AsString().c_str());
    walked->EnableControls();
    EXPECT_EQ(threads(), before + 1);
    EXPECT_EQ(rows, 20000);
    EXPECT_EQ(sum, int64_t{20000} * 20001 / 2);
  }
}

// The stored values of a table shaped like real data, as each PostgreSQL reader gives them: COPY,
// row by row in binary, row by row in the server's texts. All three give the same kinds and the
// same numbers, texts and bytes, and those are the values the server holds.
TEST_P(Server, PostgreSqlReadersAgreeOnRealShapedValues) {
  if (!Is(TDriverKind::PostgreSql)) GTEST_SKIP() << "PostgreSQL only";
  // A name with a space, a quote and Cyrillic, which only quotes keep.
  const std::string t = "\"real shaped " + suffix_ + "\"";
  Admin("DROP TABLE IF EXISTS " + t);
  Admin("CREATE TABLE " + t +
        " (\"Номер заказа\" BIGINT, \"Client's \"\"name\"\"\" TEXT, amount NUMERIC(20,6), "
        "stamp TIMESTAMP(6), born DATE, at_time TIME, paid BOOLEAN, ratio FLOAT8, note TEXT, "
        "photo BYTEA)");
  created_.push_back(t);
  Admin("INSERT INTO " + t +
        " VALUES (1234567890123456789, 'O''Brien \"Ltd\", Москва', 12345678901234.123456, "
        "'2024-03-05 10:11:12.123456', '1850-03-01', '23:59:58.5', true, 0.1, "
        "repeat('Длинный текст; ', 20000), (SELECT decode(string_agg(lpad(to_hex(b), 2, '0'), '' "
        "ORDER BY b), 'hex') FROM generate_series(0, 255) AS g(b))), "
        "(-9223372036854775808, NULL, -0.000001, '1899-12-31 00:00:00.000001', '0900-01-01', "
        "'00:00:00', false, NULL, '', '\\x'), (0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
        "NULL)");
  const std::string order = " ORDER BY 1 DESC";
  std::vector<std::unique_ptr<TDataSet>> readers;
  readers.push_back(Open("SELECT * FROM " + t + order));
  readers.push_back(Open("/* row by row */ SELECT * FROM " + t + order));
  readers.push_back(Open("SELECT *, NULL::json AS j FROM " + t + order));
  TFieldValue v;
  auto stored = [&](TDataSet& ds, int i) {
    ds.Fields(i).GetStoredValue(v);
    return v;
  };
  // The first reader's values, against what the server holds.
  TDataSet& copy = *readers[0];
  EXPECT_EQ(copy.Fields(0).FieldName, "Номер заказа");
  EXPECT_EQ(copy.Fields(1).FieldName, "Client's \"name\"");
  EXPECT_EQ(copy.Fields(2).DataType, ftBCD);
  EXPECT_EQ(stored(copy, 0).Int, 1234567890123456789);
  EXPECT_EQ(stored(copy, 1).Text, "O'Brien \"Ltd\", Москва");
  EXPECT_EQ(stored(copy, 2).Kind, TValueKind::Decimal);
  EXPECT_EQ(stored(copy, 2).Text, "12345678901234.123456");
  EXPECT_EQ(stored(copy, 3).Kind, TValueKind::DateTime);
  EXPECT_EQ(stored(copy, 3).Text, "2024-03-05 10:11:12.123456");
  EXPECT_EQ(stored(copy, 4).Float, EncodeDate(1850, 3, 1));
  EXPECT_EQ(stored(copy, 5).Text, "23:59:58.5");
  EXPECT_EQ(stored(copy, 6).Kind, TValueKind::Boolean);
  EXPECT_EQ(stored(copy, 8).Text.size(), 20000 * std::string("Длинный текст; ").size());
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  EXPECT_EQ(stored(copy, 9).Text, bytes);
  for (size_t r = 1; r < readers.size(); ++r) {
    SCOPED_TRACE(r == 1 ? "binary" : "texts");
    TDataSet& other = *readers[r];
    for (copy.First(), other.First(); !copy.Eof(); copy.Next(), other.Next()) {
      ASSERT_FALSE(other.Eof());
      for (int i = 0; i < copy.FieldCount(); ++i) {
        SCOPED_TRACE(copy.Fields(i).FieldName + " of " + copy.Fields(0).AsString());
        const TFieldValue a = stored(copy, i), b = stored(other, i);
        EXPECT_EQ(copy.Fields(i).DataType, other.Fields(i).DataType);
        ASSERT_EQ(a.Kind, b.Kind);
        if (a.Kind == TValueKind::Integer) {
          EXPECT_EQ(a.Int, b.Int);
        } else if (a.Kind == TValueKind::Float || a.Kind == TValueKind::DateTime) {
          EXPECT_EQ(a.Float, b.Float);
        }
        EXPECT_EQ(std::string(a.Text), std::string(b.Text));
      }
    }
    EXPECT_TRUE(other.Eof());
  }
}

// Qt's ODBC driver makes a local date-time of a timestamp; one that a daylight-saving change
// skips must still read as stored, not moved by the gap.
TEST_P(Server, OdbcTimestampInADaylightSavingGap) {
  if (!Is(TDriverKind::Odbc)) GTEST_SKIP() << "ODBC only";
  test::TTimeZoneGuard berlin("Europe/Berlin");
  std::string t = Table("gap", "gap TIMESTAMP, d DATE");
  Admin("INSERT INTO " + t + " VALUES ('2021-03-28 02:30:00', '2021-03-28')");
  auto ds = Open("SELECT * FROM " + t);
  EXPECT_EQ(ds->Fields(0).DataType, ftDateTime);
  EXPECT_EQ(ds->Fields(0).AsString(), "28.03.2021 02:30:00");
  EXPECT_EQ(ds->Fields(1).AsString(), "28.03.2021");
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
  if (Is(TDriverKind::Odbc)) GTEST_SKIP() << "rows of this driver arrive all at once";
  // PostgreSQL: through COPY, and row by row (a statement COPY does not take).
  std::vector<std::string> prefixes = {""};
  if (Is(TDriverKind::PostgreSql)) prefixes.push_back("/* row by row */ ");
  for (const std::string& prefix : prefixes) {
    SCOPED_TRACE(prefix);
    std::string marker = "dropme_" + std::to_string(prefix.size()) + "_" + suffix_;
    auto ds = Open(prefix + Series(5000000, "i, '" + marker + "' AS m", false));
    std::vector<std::string> sessions = SessionsRunning(marker);
    ASSERT_EQ(sessions.size(), 1u);
    Admin(Is(TDriverKind::MySql) ? "KILL CONNECTION " + sessions[0]
                                 : "SELECT pg_terminate_backend(" + sessions[0] + ")");
    try {
      while (!ds->Eof()) ds->Next();
      ADD_FAILURE() << "the walk ended as if the result were complete";
    } catch (const Exception& e) {
      std::string text = e.what();
      if (Is(TDriverKind::MySql))
        EXPECT_TRUE(text.find("Lost connection") != std::string::npos ||
                    text.find("killed") != std::string::npos)
            << text;
      else
        EXPECT_NE(text.find("terminat"), std::string::npos) << text;
    }
    // The session keeps the database connected; the tests after this one need a live
    // connection.
    ds.reset();
    if (TDatabase* db = TSession::Default().FindDatabase(url_)) db->Close();
  }
}

// Peak resident memory of this process in kB since the peak was last reset.
int64_t PeakKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6);
  return -1;
}

// Starts the peak again from the memory in use now (Linux 4.0 on); false where it cannot.
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5" << std::flush;
  return clear.good();
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

TEST_P(Server, LargeResultIsWalkedInBoundedMemory) {
  if (Is(TDriverKind::Odbc)) GTEST_SKIP() << "rows of this driver arrive all at once";
  // PostgreSQL: through COPY, and row by row (a statement COPY does not take).
  std::vector<std::string> prefixes = {""};
  if (Is(TDriverKind::PostgreSql)) prefixes.push_back("/* row by row */ ");
  for (const std::string& prefix : prefixes) {
    SCOPED_TRACE(prefix);
    // 200,000 rows of 500 characters: a driver that held the result would hold 100 MB of it.
    const int64_t rows = 200000;
    ResetPeak();
    const int64_t before = PeakKb();
    auto ds = Open(prefix + Series(rows, "i, REPEAT('x', 500) AS pad"));
    int64_t n = 1;
    TBookmark third = -1;
    while (n < rows / 2) {
      ds->Next();
      if (++n == 3) third = ds->GetBookmark();
    }
    EXPECT_EQ(ds->Fields(0).AsString(), std::to_string(rows / 2));
    // Back to a row the window has given up: the rest of the first run is read off (or
    // cancelled) and the statement runs again.
    ds->GotoBookmark(third);
    EXPECT_EQ(ds->Fields(0).AsString(), "3");
    for (n = 3, ds->Next(); !ds->Eof(); ds->Next()) ++n;
    EXPECT_EQ(n, rows);
    EXPECT_EQ(ds->Fields(0).AsString(), std::to_string(rows));
    EXPECT_EQ(ds->Fields(1).AsString(), std::string(500, 'x'));
    EXPECT_EQ(ds->RecordCount(), rows);
    ds.reset();
    // libpq allocates each row anew, and AddressSanitizer holds freed memory back for a while.
    if (kSanitized && Is(TDriverKind::PostgreSql)) continue;
    const int64_t grown = PeakKb() - before;
    EXPECT_LT(grown, 16 * 1024) << "the walk took " << grown / 1024 << " MB";
  }
}

// The first value of the first row a window holds, as text whether a number or not.
std::string FirstCell(const TRowWindow& w) {
  const TCell& cell = w.At(w.FirstRow(), 0);
  return cell.Kind == TCellKind::Int ? std::to_string(cell.Int) : std::string(w.Bytes(cell));
}

// Reads the first row of a statement and gives its first value as text.
std::string FirstValue(TCursor& c) {
  c.Execute();
  EXPECT_TRUE(c.Step());
  TFieldDefs defs = c.Describe(true);
  TRowWindow w;
  w.Reset(static_cast<int>(defs.size()), 0);
  c.ReadRow(w);
  return FirstCell(w);
}

// A server connection in the middle of a streaming result serves nothing else: the table list
// and the record count asked meanwhile go to connections of their own, and the walk goes on.
TEST_P(Server, StatementsWhileAResultStreams) {
  if (Is(TDriverKind::Odbc)) GTEST_SKIP() << "rows of this driver arrive all at once";
  std::string t = Table("listed", "a INTEGER");
  auto conn = Connect(kind_, params_);
  auto walk = conn->OpenCursor(Series(100000, "i"));
  EXPECT_EQ(FirstValue(*walk), "1");
  TStringList names;
  conn->GetTableNames("*.*", false, false, names);
  EXPECT_NE(names.IndexOf(t), -1) << names.Text();
  EXPECT_EQ(walk->CountRows(), 100000);
  TRowWindow w;
  w.Reset(1, 0);
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(walk->Step());
  walk->ReadRow(w);
  EXPECT_EQ(FirstCell(w), "11");

  // A result closed early is stopped (MySQL's read off), so that the connection takes the next
  // statement; so are the results of further statements.
  walk.reset();
  EXPECT_EQ(FirstValue(*conn->OpenCursor("SELECT 'next'")), "next");
  EXPECT_EQ(FirstValue(*conn->OpenCursor("SELECT 1; SELECT 2")), "1");
  // A statement that cannot stand in a subquery is counted by walking it.
  EXPECT_EQ(conn->OpenCursor(Is(TDriverKind::MySql) ? "SHOW VARIABLES LIKE 'version'"
                                                    : "SHOW server_version")
                ->CountRows(),
            1);
  auto none = conn->OpenCursor(Is(TDriverKind::MySql) ? "DO 1" : "SET application_name = 'x'");
  try {
    none->Execute();
    ADD_FAILURE() << "DO gave rows";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "The SQL statement returns no result set");
  }
  none.reset();
  EXPECT_EQ(FirstValue(*conn->OpenCursor("SELECT 'still'")), "still");
  if (!Is(TDriverKind::MySql)) return;

  // A procedure's rows, and the statement after them.
  const std::string procedure = "rows_" + suffix_;
  Admin("DROP PROCEDURE IF EXISTS " + procedure);
  Admin("CREATE PROCEDURE " + procedure + "() SELECT 'called' UNION ALL SELECT 'twice'");
  EXPECT_EQ(FirstValue(*conn->OpenCursor("CALL " + procedure + "()")), "called");
  EXPECT_EQ(FirstValue(*conn->OpenCursor("SELECT 'after'")), "after");
  Admin("DROP PROCEDURE " + procedure);
}

// The connection settings reach the client library: PostgreSQL's OPTIONS as settings of the
// session (a value with blanks and quotes), MySQL's server reached by its socket file.
TEST_P(Server, ConnectionSettingsReachTheClientLibrary) {
  if (Is(TDriverKind::Odbc)) GTEST_SKIP() << "Qt's ODBC driver takes them";
  TStringList params = params_;
  std::string sql = "SELECT current_setting('application_name')", want = "Morvale's \\ test";
  if (Is(TDriverKind::MySql)) {
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(admin_)));
    ASSERT_TRUE(q.exec("SELECT @@socket") && q.next());
    want = q.value(0).toString().toStdString();
    if (want.empty() || want[0] != '/') GTEST_SKIP() << "the server listens on no socket file";
    params.SetValue("SERVER NAME", want);
    params.SetValue("OPTIONS", "MYSQL_OPT_CONNECT_TIMEOUT=5");
    sql = "SELECT @@socket";
  } else {
    params.SetValue("OPTIONS", "application_name=" + want + "; connect_timeout=5");
  }
  auto conn = Connect(kind_, params);
  EXPECT_EQ(FirstValue(*conn->OpenCursor(sql)), want);
}

// The field types stay those Qt's MySQL driver described; its values too, but for BIT, which it
// gave as raw bytes, and zero dates, which it turned into the year 10000.
TEST_P(Server, MySqlTypesAsQtDescribesThem) {
  if (!Is(TDriverKind::MySql)) GTEST_SKIP() << "MySQL only";
  test::TTimeZoneGuard berlin("Europe/Berlin");
  std::string t =
      Table("mytypes",
            "t1 TINYINT(1), tu TINYINT UNSIGNED, mi MEDIUMINT, y YEAR, b1 BIT(1), b8 BIT(8), "
            "b64 BIT(64), ubig BIGINT UNSIGNED, fl FLOAT, d30 DECIMAL(30,10), dt6 DATETIME(6), "
            "ts TIMESTAMP NULL, tm TIME, zd DATE, zdt DATETIME, en ENUM('a','bb'), bl BLOB, "
            "bn BINARY(3), lt LONGTEXT, mt MEDIUMTEXT, vbin VARCHAR(10) COLLATE utf8mb4_bin, "
            "gap DATETIME, c200 CHAR(200)");
  Admin("SET SESSION sql_mode = ''");
  Admin("INSERT INTO " + t + " VALUES (5, 255, -8388608, 2024, b'1', b'10000001', b'" +
        std::string(64, '1') +
        "', 18446744073709551615, 1.25, 12345678901234567890.1234567890, "
        "'2008-03-07 09:05:01.123456', '2008-03-07 09:05:01', '-838:59:59', '0000-00-00', "
        "'0000-00-00 00:00:00', 'bb', X'00FF41', 'ab', 'long', 'medium', 'Bin', "
        "'2021-03-28 02:30:00', 'c')");
  std::vector<std::pair<const char*, const char*>> want = {
      {"t1", "True"},
      {"tu", "255"},
      {"mi", "-8388608"},
      {"y", "2024"},
      {"b1", "True"},
      {"b8", "129"},
      {"b64", "18446744073709551615"},
      {"ubig", "18446744073709551615"},
      {"fl", "1,25"},
      {"d30", "1,23456789012346E+19"},
      {"dt6", "07.03.2008 09:05:01"},
      {"ts", "07.03.2008 09:05:01"},
      {"tm", "-838:59:59"},
      {"zd", nullptr},
      {"zdt", nullptr},
      {"en", "bb"},
      {"bl", "\\0\\xffA"},
      {"bn", "ab\\0"},
      {"lt", "long"},
      {"mt", "medium"},
      {"vbin", "Bin"},
      {"gap", "28.03.2021 02:30:00"},  // a local time that a daylight-saving change skips
      {"c200", "c"}};
  for (const std::string& sql :
       {"SELECT * FROM " + t,
        "SELECT 1 AS a, 1.5 AS b, 2.5e0 AS c, NOW() AS d, NULL AS e, CONCAT('a', 1) AS f, "
        "COUNT(*) AS g, CAST('x' AS BINARY) AS h, SUM(tu) AS k FROM " +
            t,
        "SELECT * FROM information_schema.COLUMNS WHERE TABLE_NAME = '" + t + "'"}) {
    SCOPED_TRACE(sql);
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(admin_)));
    ASSERT_TRUE(q.exec(QString::fromStdString(sql)));
    QSqlRecord record = q.record();
    auto ds = Open(sql);
    ASSERT_EQ(ds->FieldCount(), record.count());
    for (int i = 0; i < record.count(); ++i) {
      const QSqlField field = record.field(i);
      TFieldDef qt =
          MySqlFieldDef(field.name().toStdString(), field.typeID(), field.length(),
                        field.precision(), field.metaType().id() == QMetaType::QByteArray);
      TField& f = ds->Fields(i);
      SCOPED_TRACE(f.FieldName);
      EXPECT_EQ(f.FieldName, qt.Name);
      EXPECT_EQ(f.DataType, qt.DataType);
      EXPECT_EQ(f.Size, qt.Size);
      EXPECT_EQ(f.DataSize, qt.DataSize);
      EXPECT_EQ(f.DisplayWidth, qt.DisplayWidth);
    }
    if (sql != "SELECT * FROM " + t) continue;
    ASSERT_EQ(ds->FieldCount(), static_cast<int>(want.size()));
    for (size_t i = 0; i < want.size(); ++i) {
      TField& f = ds->Fields(static_cast<int>(i));
      SCOPED_TRACE(f.FieldName);
      EXPECT_EQ(f.FieldName, want[i].first);
      if (!want[i].second) {
        EXPECT_TRUE(f.IsNull());
        continue;
      }
      std::string text = f.AsString(), shown;
      for (unsigned char c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, c == 0 ? "\\0" : c < 0x20 || c > 0x7e ? "\\x%02x" : "%c", c);
        shown += hex;
      }
      EXPECT_EQ(shown, want[i].second);
    }
  }
}

// The stored values of a table shaped like real data, as MySQL's two readers give them: a
// prepared statement's typed rows and the text rows of a text the server cannot prepare (two
// statements). Both give the same kinds and values; the prepared one keeps the microseconds of a
// DATETIME(6) in its text.
TEST_P(Server, MySqlReadersAgreeOnRealShapedValues) {
  if (!Is(TDriverKind::MySql)) GTEST_SKIP() << "MySQL only";
  std::string bytes, hex;
  for (int b = 0; b < 256; ++b) {
    bytes += static_cast<char>(b);
    char two[3];
    std::snprintf(two, sizeof two, "%02X", b);
    hex += two;
  }
  const std::string t = "`real shaped " + suffix_ + "`";
  Admin("DROP TABLE IF EXISTS " + t);
  Admin("CREATE TABLE " + t +
        " (`Номер заказа` BIGINT, `Client's \"name\"` TEXT, amount DECIMAL(20,6), "
        "stamp DATETIME(6), born DATE, at_time TIME, paid BOOLEAN, flag BIT(1), ratio DOUBLE, "
        "note LONGTEXT, photo LONGBLOB, top BIGINT UNSIGNED) CHARACTER SET utf8mb4");
  created_.push_back(t);
  Admin("INSERT INTO " + t +
        " VALUES (1234567890123456789, 'O''Brien \"Ltd\", Москва', 12345678901234.123456, "
        "'2024-03-05 10:11:12.123456', '1850-03-01', '23:59:58', TRUE, b'1', 0.1, "
        "REPEAT('Длинный текст; ', 20000), X'" +
        hex +
        "', 18446744073709551615), (-9223372036854775808, NULL, -0.000001, "
        "'1899-12-31 00:00:00.000001', '0900-01-01', '-838:59:59', FALSE, b'0', NULL, '', '', 0), "
        "(0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)");
  const std::string select = "SELECT * FROM " + t + " ORDER BY 1 DESC";
  auto prepared = Open(select);
  auto texts = Open(select + "; DO 1");
  TFieldValue v;
  auto stored = [&](TDataSet& ds, int i) {
    ds.Fields(i).GetStoredValue(v);
    return v;
  };
  TDataSet& p = *prepared;
  EXPECT_EQ(p.Fields(0).FieldName, "Номер заказа");
  EXPECT_EQ(p.Fields(1).FieldName, "Client's \"name\"");
  EXPECT_EQ(p.Fields(2).DataType, ftBCD);
  EXPECT_EQ(stored(p, 0).Int, 1234567890123456789);
  EXPECT_EQ(stored(p, 1).Text, "O'Brien \"Ltd\", Москва");
  EXPECT_EQ(stored(p, 2).Kind, TValueKind::Decimal);
  EXPECT_EQ(stored(p, 2).Text, "12345678901234.123456");
  EXPECT_EQ(stored(p, 3).Kind, TValueKind::DateTime);
  EXPECT_EQ(stored(p, 3).Text, "2024-03-05 10:11:12.123456");
  EXPECT_EQ(stored(p, 4).Float, EncodeDate(1850, 3, 1));
  EXPECT_EQ(stored(p, 5).Text, "23:59:58");
  EXPECT_EQ(stored(p, 6).Kind, TValueKind::Boolean);
  EXPECT_TRUE(stored(p, 7).Bool);
  EXPECT_EQ(stored(p, 8).Float, 0.1);
  EXPECT_EQ(stored(p, 9).Text.size(), 20000 * std::string("Длинный текст; ").size());
  EXPECT_EQ(stored(p, 10).Text, bytes);
  EXPECT_EQ(stored(p, 11).Text, "18446744073709551615");
  TDataSet& q = *texts;
  for (p.First(), q.First(); !p.Eof(); p.Next(), q.Next()) {
    ASSERT_FALSE(q.Eof());
    for (int i = 0; i < p.FieldCount(); ++i) {
      SCOPED_TRACE(p.Fields(i).FieldName + " of " + p.Fields(0).AsString());
      const TFieldValue a = stored(p, i), b = stored(q, i);
      EXPECT_EQ(p.Fields(i).DataType, q.Fields(i).DataType);
      ASSERT_EQ(a.Kind, b.Kind);
      if (a.Kind == TValueKind::Integer) {
        EXPECT_EQ(a.Int, b.Int);
      } else if (a.Kind == TValueKind::Float || a.Kind == TValueKind::DateTime) {
        EXPECT_EQ(a.Float, b.Float);
      } else {
        EXPECT_EQ(std::string(a.Text), std::string(b.Text));
      }
    }
  }
  EXPECT_TRUE(q.Eof());
  // A row of NULLs, then the other ends of the ranges.
  p.First();
  p.Next();
  for (int i = 1; i < p.FieldCount(); ++i) EXPECT_TRUE(p.Fields(i).IsNull()) << i;
  p.Next();
  EXPECT_EQ(stored(p, 0).Int, INT64_MIN);
  EXPECT_EQ(stored(p, 2).Text, "-0.000001");
  EXPECT_EQ(stored(p, 3).Text, "1899-12-31 00:00:00.000001");
  EXPECT_EQ(stored(p, 5).Text, "-838:59:59");
  EXPECT_FALSE(stored(p, 7).Bool);
  EXPECT_EQ(stored(p, 10).Kind, TValueKind::Text);
  EXPECT_TRUE(stored(p, 10).Text.empty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, Server,
                         ::testing::Values(TServer{"PostgreSql", "MORVALE_TEST_POSTGRESQL"},
                                           TServer{"MySql", "MORVALE_TEST_MYSQL"},
                                           TServer{"Odbc", "MORVALE_TEST_ODBC"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace morvale
