#include "export/text/sql.h"

#include <gtest/gtest.h>

#include "export/core/properties.h"
#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

// ID integer, NAME string, PRICE float: the shape of the script's own example.
void FillPriceList(TMemDataSet& ds, std::vector<std::vector<Cell>> rows) {
  ds.AddField("ID", ftInteger);
  ds.AddField("NAME", ftString, 20);
  ds.AddField("PRICE", ftFloat);
  for (auto& r : rows) ds.AddRow(std::move(r));
  ds.Open();
}

TEST(ExportSQL, ExampleAndLiterals) {
  TMemDataSet ds;
  FillPriceList(ds, {{"1", "O'Neil", "2,5"}});
  TExportSQL e;
  e.SetFormatSettings(TFormatSettings::Russian());
  e.SetDataSet(&ds);
  e.TableName = "T";
  EXPECT_EQ(ExportToString(e),
            "INSERT INTO T\r\n  (ID,NAME,PRICE)\r\nVALUES(1,'O''Neil',2.5);\r\n\r\n");

  // Another terminator, and a float that a handler rewrote with grouping and a decimal comma.
  TFormatSettings fs = TFormatSettings::Russian();
  fs.ThousandSeparator = " ";
  e.SetFormatSettings(fs);
  e.StatementTerm = '/';
  e.OnBeforeExportRow = [](TObject*, TExportRow& row, bool&) {
    row[row.IndexOfName("PRICE")].Data = "1 234,5";
  };
  EXPECT_EQ(ExportToString(e),
            "INSERT INTO T\r\n  (ID,NAME,PRICE)\r\nVALUES(1,'O''Neil',1234.5)/\r\n\r\n");
}

TEST(ExportSQL, NullsAndBooleans) {
  TMemDataSet ds;
  ds.AddField("S", ftString, 5);
  ds.AddField("N", ftInteger);
  ds.AddField("B", ftBoolean);
  ds.AddRow({std::nullopt, std::nullopt, "True"});
  ds.AddRow({"", "7", "False"});
  ds.Open();
  TExportSQL e;
  e.SetDataSet(&ds);
  e.TableName = "T";
  e.Formats.SetNullString("null");
  e.Formats.SetBooleanTrue("1");
  e.Formats.SetBooleanFalse("0");
  std::string s = ExportToString(e);
  EXPECT_NE(s.find("VALUES(null,null,1);"), std::string::npos) << s;
  EXPECT_NE(s.find("VALUES('',7,0);"), std::string::npos) << s;

  // The component's own default NULL text is empty; an empty literal is no SQL, NULL is.
  e.Formats.SetNullString("");
  s = ExportToString(e);
  EXPECT_NE(s.find("VALUES(NULL,NULL,1);"), std::string::npos) << s;
}

TEST(ExportSQL, CreateTableCommitsHeaderAndFooter) {
  TMemDataSet ds;
  ds.AddField("ID", ftAutoInc);
  ds.AddField("NAME", ftString, 12);
  ds.AddField("NOTE", ftMemo);
  for (int i = 1; i <= 5; ++i) ds.AddRow({std::to_string(i), "n" + std::to_string(i), "x"});
  ds.Open();
  TExportSQL e;
  e.SetDataSet(&ds);
  e.ExportedFields = {"ID", "NAME", "NOTE"};
  e.TableName = "T";
  e.CreateTable = true;
  e.CommitRecCount = 2;
  e.CommitAfterScript = true;
  e.Header = {"-- head"};
  e.Footer = {"-- foot"};
  std::string s = ExportToString(e);
  std::string create =
      "-- head\r\nCREATE TABLE T(\r\n  ID  UNKNOWN,\r\n  NAME  CHAR(12),\r\n"
      "  NOTE  BLOB);\r\n\r\n";
  EXPECT_EQ(s.substr(0, create.size()), create);
  // Commits follow rows 1, 3 and 5, then the one after the script.
  std::string commit = "COMMIT WORK;\r\n\r\n";
  for (int row : {1, 3, 5}) {
    std::string after = "'n" + std::to_string(row) + "','x');\r\n\r\n" + commit;
    EXPECT_NE(s.find(after), std::string::npos) << row;
  }
  for (int row : {2, 4})
    EXPECT_EQ(s.find("'n" + std::to_string(row) + "','x');\r\n\r\nCOMMIT"), std::string::npos);
  EXPECT_TRUE(s.ends_with("'n5','x');\r\n\r\nCOMMIT WORK;\r\n\r\nCOMMIT WORK;\r\n-- foot\r\n"))
      << s;

  e.TableName.clear();
  EXPECT_EQ(ExportToString(e).find("CREATE TABLE"), std::string::npos);
}

TEST(ExportSQL, PostgreSQLDialect) {
  TMemDataSet ds;
  ds.AddField("ID", ftAutoInc);
  ds.AddField("NAME", ftString, 12);
  ds.AddField("NOTE", ftMemo);
  ds.AddField("D", ftDate);
  ds.AddField("T", ftTime);
  ds.AddField("DT", ftDateTime);
  ds.AddField("B", ftBoolean);
  ds.AddField("BIG", ftLargeint);
  ds.AddField("PIC", ftGraphic);
  ds.AddRow({"1", "a", "m", "07.03.2008", "14:30:05", "31.12.1999 23:59:58", "True", "9", {}});
  ds.Open();
  TExportSQL e;
  e.SetFormatSettings(TFormatSettings::Russian());
  e.SetDataSet(&ds);
  e.ExportedFields = {"ID", "NAME", "NOTE", "D", "T", "DT", "B", "BIG", "PIC"};
  e.TableName = "T";
  e.CreateTable = true;
  SetPropertyText(e, "SQLDialect", "sdPostgreSQL");
  std::string s = ExportToString(e);
  EXPECT_NE(s.find("CREATE TABLE T(\r\n  ID  INTEGER,\r\n  NAME  VARCHAR(12),\r\n  NOTE  TEXT,\r\n"
                   "  D  DATE,\r\n  T  TIME,\r\n  DT  TIMESTAMP,\r\n  B  BOOLEAN,\r\n"
                   "  BIG  BIGINT,\r\n  PIC  BYTEA);"),
            std::string::npos)
      << s;
  // Dates in ISO form, whatever the locale's order of day and month.
  EXPECT_NE(s.find("VALUES(1,'a','m','2008-03-07','14:30:05','1999-12-31 23:59:58',true,9,NULL);"),
            std::string::npos)
      << s;
}

TEST(ExportSQL, SQLiteDialect) {
  TMemDataSet ds;
  ds.AddField("ID", ftAutoInc);
  ds.AddField("NAME", ftString, 12);
  ds.AddField("PRICE", ftCurrency);
  ds.AddField("W", ftFloat);
  ds.AddField("DT", ftDateTime);
  ds.AddField("B", ftBoolean);
  ds.AddField("PIC", ftGraphic);
  for (const char* id : {"1", "2", "3"})
    ds.AddRow({id, "a\\b", "2,5", "0,125", "31.12.1999 23:59:58", "True", {}});
  ds.Open();
  TExportSQL e;
  e.SetFormatSettings(TFormatSettings::Russian());
  e.SetDataSet(&ds);
  e.ExportedFields = {"ID", "NAME", "PRICE", "W", "DT", "B", "PIC"};
  e.TableName = "T";
  e.CreateTable = true;
  e.CommitRecCount = 3;  // the last two rows are a run that only the end of the script commits
  SetPropertyText(e, "SQLDialect", "sdSQLite");
  std::string s = ExportToString(e);
  EXPECT_NE(s.find("CREATE TABLE T(\r\n  ID  INTEGER,\r\n  NAME  TEXT,\r\n  PRICE  NUMERIC,\r\n"
                   "  W  REAL,\r\n  DT  TEXT,\r\n  B  INTEGER,\r\n  PIC  BLOB);"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("VALUES(1,'a\\b',2.5,0.125,'1999-12-31 23:59:58',1,NULL);"), std::string::npos)
      << s;
  // Every run of rows is opened and committed, the last one too, without COMMIT WORK.
  auto count = [&s](const std::string& what) {
    size_t n = 0;
    for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("BEGIN;\r\n"), count("COMMIT;\r\n"));
  EXPECT_GE(count("BEGIN;\r\n"), 2u);
  EXPECT_EQ(s.find("COMMIT WORK"), std::string::npos);
  EXPECT_EQ(s.substr(s.size() - 9), "COMMIT;\r\n");
}

TEST(ExportSQL, MySQLDialect) {
  TMemDataSet ds;
  ds.AddField("ID", ftInteger);
  ds.AddField("NAME", ftString, 12);
  ds.AddField("NOTE", ftMemo);
  ds.AddField("T", ftTime);
  ds.AddField("DT", ftDateTime);
  ds.AddField("B", ftBoolean);
  ds.AddField("PIC", ftGraphic);
  ds.AddRow({"1", "C:\\tmp\\'x'", "m", "14:30:05", "31.12.1999 23:59:58", "False", {}});
  ds.Open();
  TExportSQL e;
  e.SetFormatSettings(TFormatSettings::Russian());
  e.SetDataSet(&ds);
  e.ExportedFields = {"ID", "NAME", "NOTE", "T", "DT", "B", "PIC"};
  e.TableName = "T";
  e.CreateTable = true;
  SetPropertyText(e, "SQLDialect", "sdMySQL");
  std::string s = ExportToString(e);
  EXPECT_NE(
      s.find("CREATE TABLE T(\r\n  ID  INTEGER,\r\n  NAME  VARCHAR(12),\r\n  NOTE  LONGTEXT,\r\n"
             "  T  TIME(3),\r\n  DT  DATETIME(3),\r\n  B  BOOLEAN,\r\n  PIC  LONGBLOB);"),
      std::string::npos)
      << s;
  // MySQL reads backslashes in literals as escapes: doubled, as the quotes are.
  EXPECT_NE(
      s.find(R"(VALUES(1,'C:\\tmp\\''x''','m','14:30:05','1999-12-31 23:59:58',false,NULL);)"),
      std::string::npos)
      << s;

  // No column at all: MySQL has no DEFAULT VALUES form.
  TMemDataSet none;
  none.AddField("PIC", ftGraphic);
  none.AddRow({"x"});
  none.Open();
  e.SetDataSet(&none);
  e.ExportedFields.Clear();
  e.CreateTable = false;
  EXPECT_EQ(ExportToString(e), "INSERT INTO T () VALUES ();\r\n\r\n");
}

// A value of no listed type is written bare when it is a number and quoted otherwise, so that a
// quote or a semicolon in it cannot end the statement.
TEST(ExportSQL, UnknownTypesAreQuotedUnlessNumbers) {
  TMemDataSet ds;
  ds.AddField("G", ftGuid, 38);
  ds.AddField("F", ftFmtMemo);
  ds.AddRow({"12.5e-3", "x'); DROP TABLE T; --"});
  ds.AddRow({"{6F9619FF-8B86-D011-B42D-00C04FC964FF}", "-7"});
  ds.AddRow({"1.", "1e"});
  ds.Open();
  TExportSQL e;
  e.SetDataSet(&ds);
  e.ExportedFields = {"G", "F"};
  e.TableName = "T";
  std::string s = ExportToString(e);
  EXPECT_NE(s.find("VALUES(12.5e-3,'x''); DROP TABLE T; --');"), std::string::npos) << s;
  EXPECT_NE(s.find("VALUES('{6F9619FF-8B86-D011-B42D-00C04FC964FF}',-7);"), std::string::npos);
  EXPECT_NE(s.find("VALUES(1.,'1e');"), std::string::npos);
}

TEST(ExportSQL, PublishedSettings) {
  TExportSQL e;
  for (const char* name : {"Formats", "Captions", "UserFormats", "ColumnsAlign"})
    EXPECT_FALSE(Publishes(e, name)) << name;
  for (const char* name : {"FileName", "Header", "Footer", "ExportedFields"})
    EXPECT_TRUE(Publishes(e, name)) << name;
  SetPropertyText(e, "TableName", "ORDERS");
  SetPropertyText(e, "CreateTable", "true");
  SetPropertyText(e, "CommitRecCount", "100");
  SetPropertyText(e, "CommitAfterScript", "true");
  SetPropertyText(e, "CommitStatement", "COMMIT;");
  SetPropertyText(e, "StatementTerm", "/");
  EXPECT_EQ(e.TableName, "ORDERS");
  EXPECT_TRUE(e.CreateTable);
  EXPECT_EQ(e.CommitRecCount, 100);
  EXPECT_TRUE(e.CommitAfterScript);
  EXPECT_EQ(e.CommitStatement, "COMMIT;");
  EXPECT_EQ(e.StatementTerm, '/');
  EXPECT_THROW(SetPropertyText(e, "SQLDialect", "sdOracle"), EPropertyError);
}

// The scripts are loaded into SQLite and PostgreSQL by tests/cli/text_types_test.cpp, on the
// whole demo database.

}  // namespace
}  // namespace morvale::test
