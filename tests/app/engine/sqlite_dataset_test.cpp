#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>

#include "app/engine/cursordataset.h"
#include "app/engine/sqlitecursor.h"
#include "app/engine/sqlitedb.h"

namespace morvale {
namespace {

// Russian-style settings written out here so the expectations do not follow the presets.
TFormatSettings CommaSettings() {
  TFormatSettings fs;
  fs.DecimalSeparator = ",";
  fs.ThousandSeparator = " ";
  fs.DateSeparator = ".";
  fs.TimeSeparator = ":";
  fs.ShortDateFormat = "dd.mm.yyyy";
  fs.LongTimeFormat = "hh:nn:ss";
  return fs;
}

class SqliteDataSet : public ::testing::Test {
 protected:
  void SetUp() override { db_ = TSqliteDatabase::OpenMemory(); }
  void Exec(const std::string& sql) { db_->Exec(sql); }
  std::unique_ptr<TCursorDataSet> Open(const std::string& sql,
                                       const TFormatSettings& fs = CommaSettings()) {
    auto ds = std::make_unique<TCursorDataSet>();
    ds->SetFormatSettings(fs);
    ds->OpenCursor(std::make_unique<TSqliteCursor>(db_, sql));
    return ds;
  }
  std::shared_ptr<TSqliteDatabase> db_;
};

TEST_F(SqliteDataSet, EveryDeclaredTypeRendersWithTheFormatSettings) {
  Exec(
      "CREATE TABLE t (i INTEGER, s SMALLINT, b BIGINT, r REAL, n NUMERIC(10,2), m MONEY,"
      " d DATE, tm TIME, dt DATETIME, f BOOLEAN, c VARCHAR(10), tx TEXT, me MEMO, bl BLOB);"
      "INSERT INTO t VALUES (42, -7, 9007199254740993, 2.5, 1234.5, 10.25, '2008-03-07',"
      " '14:30:05', '2008-03-07 09:05:01', 1, 'Bolt', 'Привет, мир', 'line1\nline2',"
      " x'00FF41');"
      "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL,"
      " NULL, NULL, NULL);");
  auto ds = Open("SELECT * FROM t");
  ASSERT_EQ(ds->FieldCount(), 14);
  const char* expected[] = {
      "42",          "-7",       "9007199254740993",    "2,5",  "1234,5", "10,25",
      "07.03.2008",  "14:30:05", "07.03.2008 09:05:01", "True", "Bolt",   "Привет, мир",
      "line1\nline2"};
  for (int i = 0; i < 13; ++i) {
    SCOPED_TRACE(ds->Fields(i).FieldName);
    EXPECT_FALSE(ds->Fields(i).IsNull());
    EXPECT_EQ(ds->Fields(i).AsString(), expected[i]);
  }
  EXPECT_EQ(ds->Fields(13).AsString(), std::string("\0\xff"
                                                   "A",
                                                   3));
  EXPECT_EQ(ds->Fields(9).DataType, ftBoolean);
  EXPECT_EQ(ds->Fields(11).DataType, ftString);  // plain TEXT exports with SELECT *
  EXPECT_EQ(ds->Fields(12).DataType, ftMemo);
  EXPECT_TRUE(ds->Fields(12).IsBlob());
  EXPECT_FALSE(ds->Fields(11).IsBlob());

  ds->Next();
  ASSERT_FALSE(ds->Eof());
  for (int i = 0; i < 14; ++i) {
    if (i == 9) continue;
    SCOPED_TRACE(ds->Fields(i).FieldName);
    EXPECT_TRUE(ds->Fields(i).IsNull());
    EXPECT_EQ(ds->Fields(i).AsString(), "");
  }
  EXPECT_EQ(ds->Fields(9).AsString(), "False");
}

TEST_F(SqliteDataSet, EnglishSettingsUseTheirOwnSeparatorsAndAmPm) {
  Exec(
      "CREATE TABLE t (r REAL, d DATE, dt TIMESTAMP, tm TIME);"
      "INSERT INTO t VALUES (0.1, '2008-03-07', '2008-03-07T14:30:05', '09:05');");
  TFormatSettings fs;
  fs.DecimalSeparator = ".";
  fs.DateSeparator = "/";
  fs.ShortDateFormat = "m/d/yyyy";
  fs.LongTimeFormat = "h:nn:ss AMPM";
  auto ds = Open("SELECT * FROM t", fs);
  EXPECT_EQ(ds->Fields(0).AsString(), "0.1");
  EXPECT_EQ(ds->Fields(1).AsString(), "3/7/2008");
  EXPECT_EQ(ds->Fields(2).AsString(), "3/7/2008 2:30:05 PM");
  EXPECT_EQ(ds->Fields(3).AsString(), "9:05:00 AM");
}

TEST_F(SqliteDataSet, ValuesThatDoNotFitTheirColumnTypeAreShownAsStored) {
  // SQLite keeps whatever was written; nothing of it may be lost or turned into zero.
  Exec(
      "CREATE TABLE t (i INTEGER, r REAL, d DATE, f BOOLEAN, c CHAR(3));"
      "INSERT INTO t VALUES ('n/a', 'abc', 'someday', 'maybe', 12345);"
      "INSERT INTO t VALUES (1.5, 3, '2008-03-07 10:00:00', 'yes', 1.5);"
      "INSERT INTO t VALUES (5000000000, 1e300, '12:00', 'F', x'41');");
  auto ds = Open("SELECT * FROM t");
  const char* rows[][5] = {{"n/a", "abc", "someday", "maybe", "12345"},
                           {"1,5", "3", "07.03.2008 10:00:00", "True", "1.5"},
                           {"5000000000", "1E+300", "30.12.1899 12:00:00", "False", "A"}};
  for (auto& row : rows) {
    ASSERT_FALSE(ds->Eof());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ds->Fields(i).AsString(), row[i]) << i;
    ds->Next();
  }
  EXPECT_TRUE(ds->Eof());
}

TEST_F(SqliteDataSet, ExpressionsTakeTheirTypeFromTheFirstRow) {
  auto ds = Open(
      "SELECT 1 AS a, 2.5 AS b, 'x' AS c, x'00' AS d, NULL AS e, count(*) AS n "
      "FROM (SELECT 1)");
  EXPECT_EQ(ds->Fields(0).DataType, ftLargeint);
  EXPECT_EQ(ds->Fields(1).DataType, ftFloat);
  EXPECT_EQ(ds->Fields(2).DataType, ftString);
  EXPECT_EQ(ds->Fields(2).Size, 255);
  EXPECT_EQ(ds->Fields(3).DataType, ftBlob);
  EXPECT_EQ(ds->Fields(4).DataType, ftString);
  EXPECT_EQ(ds->Fields(5).DataType, ftLargeint);
  EXPECT_EQ(ds->Fields(1).AsString(), "2,5");
  EXPECT_EQ(&ds->FieldByName("C"), &ds->Fields(2));
  EXPECT_EQ(ds->FindField("zz"), nullptr);
  EXPECT_EQ(ds->Fields(0).GetDisplayLabel(), "a");
}

TEST_F(SqliteDataSet, EmptyResultKeepsItsFields) {
  Exec("CREATE TABLE t (a INTEGER, b VARCHAR(8))");
  auto ds = Open("SELECT * FROM t");
  EXPECT_TRUE(ds->Active());
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecordCount(), 0);
  ASSERT_EQ(ds->FieldCount(), 2);
  EXPECT_EQ(ds->Fields(1).Size, 8);
  EXPECT_TRUE(ds->Fields(0).IsNull());
  ds->First();
  ds->Next();
  EXPECT_TRUE(ds->Eof());
}

TEST_F(SqliteDataSet, EngineErrorsPassThrough) {
  Exec("CREATE TABLE t (a INTEGER)");
  auto message = [&](const std::string& sql) {
    try {
      Open(sql);
    } catch (const Exception& e) {
      return std::string(e.what());
    }
    return std::string("(no error)");
  };
  EXPECT_EQ(message("SELECT * FROM missing"), "no such table: missing");
  EXPECT_EQ(message("SELEC 1"), "near \"SELEC\": syntax error");
  EXPECT_EQ(message("SELECT 1; SELECT 2"), "Only one SQL statement can be run at a time");
  EXPECT_EQ(message("  -- nothing\n"), "The SQL text holds no statement");
  EXPECT_EQ(message("DELETE FROM t"), "The SQL statement returns no result set");
  // Trailing semicolons and comments are not a second statement.
  EXPECT_EQ(message("SELECT 1; -- done\n /* really */ ;"), "(no error)");
  // A failure while stepping (not while preparing) reaches the caller too.
  Exec("INSERT INTO t VALUES (1)");
  EXPECT_EQ(message("SELECT abs(-9223372036854775807 - 1) FROM t"), "integer overflow");
}

// Counts a long result without a table: a recursive series of n rows of ten columns.
std::string Series(int64_t n) {
  return "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < " +
         std::to_string(n) +
         ") SELECT i, 'name ' || i AS name, i * 0.5 AS half, i % 7 AS k, 'x' AS a, 'y' AS b, "
         "'z' AS c, i AS d, i AS e, 'Note, \"quoted\"' AS note FROM s";
}

TEST_F(SqliteDataSet, LongResultWalksForwardAndBackByBookmarks) {
  const int64_t n = 5000;  // several windows
  auto ds = Open(Series(n));
  TBookmark early = 0, late = 0;
  int64_t seen = 0;
  std::string text;
  for (ds->First(); !ds->Eof(); ds->Next()) {
    ++seen;
    ds->Fields(0).GetText(text);
    ASSERT_EQ(text, std::to_string(seen));
    if (seen == 3) early = ds->GetBookmark();
    if (seen == 4000) late = ds->GetBookmark();
  }
  EXPECT_EQ(seen, n);
  // At the end the last record stays current.
  EXPECT_EQ(ds->Fields(0).AsString(), std::to_string(n));
  EXPECT_EQ(ds->RecordCount(), n);
  ds->GotoBookmark(early);
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->Fields(1).AsString(), "name 3");
  ds->GotoBookmark(late);
  EXPECT_EQ(ds->Fields(0).AsString(), "4000");
  ds->Next();
  EXPECT_EQ(ds->Fields(0).AsString(), "4001");
  ds->First();
  EXPECT_EQ(ds->Fields(0).AsString(), "1");
  EXPECT_TRUE(ds->Bof());
  EXPECT_THROW(ds->GotoBookmark(n + 10), Exception);
  // A bookmark that does not exist leaves the cursor where it was.
  EXPECT_EQ(ds->Fields(0).AsString(), "1");
  ds->Next();
  EXPECT_EQ(ds->Fields(0).AsString(), "2");
}

TEST_F(SqliteDataSet, RecordCountBeforeTheWalkAndForStatementsThatCannotBeWrapped) {
  auto ds = Open(Series(3000) + ";  -- trailing comment");
  EXPECT_EQ(ds->RecordCount(), 3000);
  EXPECT_EQ(ds->Fields(0).AsString(), "1");  // counting does not move the cursor
  ds->Next();
  EXPECT_EQ(ds->Fields(0).AsString(), "2");
  Exec("CREATE TABLE a (x); CREATE TABLE b (y);");
  auto pragma = Open("PRAGMA table_list");
  EXPECT_GE(pragma->RecordCount(), 2);
  auto values = Open("VALUES (1), (2), (3)");
  EXPECT_EQ(values->RecordCount(), 3);
}

// A database file (the statements of one may be stepped on the read-ahead thread): the walk with
// read ahead gives the texts and the error of the walk without it.
TEST_F(SqliteDataSet, ReadAheadOnAFileGivesTheSameRowsAndTheSameError) {
  const std::string path = ::testing::TempDir() + "/read-ahead-" + std::to_string(getpid()) + ".db";
  Exec("CREATE TABLE t AS " + Series(5000));
  Exec("VACUUM INTO '" + path + "'");
  std::shared_ptr<TSqliteDatabase> file = TSqliteDatabase::OpenReadOnly(path);
  ::unlink(path.c_str());  // the open connection keeps it
  auto walk = [&](bool ahead, const std::string& sql, std::string& error) {
    TCursorDataSet ds;
    ds.SetFormatSettings(CommaSettings());
    ds.SetReadAhead(ahead);
    ds.OpenCursor(std::make_unique<TSqliteCursor>(file, sql));
    ds.DisableControls();
    std::string all, text;
    try {
      for (ds.First(); !ds.Eof(); ds.Next())
        for (int i = 0; i < ds.FieldCount(); ++i) {
          ds.Fields(i).GetText(text);
          all += text + '|';
        }
    } catch (const Exception& e) {
      error = e.what();
    }
    ds.EnableControls();
    return all;
  };
  std::string error, aheadError;
  const std::string plain = walk(false, "SELECT * FROM t", error);
  EXPECT_EQ(walk(true, "SELECT * FROM t", aheadError), plain);
  EXPECT_NE(plain.find("|5000|name 5000|"), std::string::npos);
  EXPECT_EQ(aheadError, "");
  // json() fails on the row it cannot read, in the third window.
  const std::string failing = "SELECT i, CASE WHEN i = 2500 THEN json('{') ELSE name END FROM t";
  EXPECT_EQ(walk(true, failing, aheadError), walk(false, failing, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(aheadError, error);
}

}  // namespace
}  // namespace morvale
