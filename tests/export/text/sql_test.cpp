#include "export/text/sql.h"

#include <gtest/gtest.h>

#include <sstream>

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
  // Upper-case names are quoted: PostgreSQL would fold them to lower case.
  EXPECT_NE(
      s.find("CREATE TABLE \"T\"(\r\n  \"ID\"  INTEGER,\r\n  \"NAME\"  VARCHAR(12),\r\n"
             "  \"NOTE\"  TEXT,\r\n  \"D\"  DATE,\r\n  \"T\"  TIME,\r\n  \"DT\"  TIMESTAMP,\r\n"
             "  \"B\"  BOOLEAN,\r\n  \"BIG\"  BIGINT,\r\n  \"PIC\"  BYTEA);"),
      std::string::npos)
      << s;
  // Dates in ISO form, whatever the locale's order of day and month.
  EXPECT_NE(s.find("VALUES(1,'a','m','2008-03-07','14:30:05','1999-12-31 23:59:58',TRUE,9,NULL);"),
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
      s.find(R"(VALUES(1,'C:\\tmp\\''x''','m','14:30:05','1999-12-31 23:59:58',FALSE,NULL);)"),
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

TEST(ExportSQL, NamesAreQuotedByTheDialect) {
  TMemDataSet ds;
  ds.AddField("id", ftInteger);
  ds.AddField("it's", ftString, 20);
  ds.AddField("Group", ftString, 20);
  ds.AddField("Имя", ftString, 40);
  ds.AddField("MixedCase", ftInteger);
  ds.AddRow({"1", "a", "g", "Пётр", "10"});
  ds.Open();
  TExportSQL e;
  e.SetDataSet(&ds);
  e.TableName = "my table";
  e.CreateTable = true;
  const struct {
    const char* dialect;
    const char* create;
    const char* insert;
  } cases[] = {
      {"sdGeneric",
       "CREATE TABLE \"my table\"(\r\n  id  INTEGER,\r\n  \"it's\"  CHAR(20),\r\n"
       "  \"Group\"  CHAR(20),\r\n  \"Имя\"  CHAR(40),\r\n  MixedCase  INTEGER);",
       "INSERT INTO \"my table\"\r\n  (id,\"it's\",\"Group\",\"Имя\",MixedCase)\r\n"
       "VALUES(1,'a','g','Пётр',10);"},
      {"sdSQLite", "CREATE TABLE \"my table\"(\r\n  id  INTEGER,\r\n  \"it's\"  TEXT,",
       "INSERT INTO \"my table\"\r\n  (id,\"it's\",\"Group\",\"Имя\",MixedCase)\r\n"},
      // PostgreSQL would fold MixedCase to lower case: quoted, the table keeps its spelling.
      {"sdPostgreSQL",
       "CREATE TABLE \"my table\"(\r\n  id  INTEGER,\r\n  \"it's\"  VARCHAR(20),\r\n"
       "  \"Group\"  VARCHAR(20),\r\n  \"Имя\"  VARCHAR(40),\r\n  \"MixedCase\"  INTEGER);",
       "INSERT INTO \"my table\"\r\n  (id,\"it's\",\"Group\",\"Имя\",\"MixedCase\")\r\n"},
      {"sdMySQL", "CREATE TABLE `my table`(\r\n  id  INTEGER,\r\n  `it's`  VARCHAR(20),",
       "INSERT INTO `my table`\r\n  (id,`it's`,`Group`,`Имя`,MixedCase)\r\nVALUES(1,'a',"},
  };
  for (const auto& c : cases) {
    SetPropertyText(e, "SQLDialect", c.dialect);
    std::string s = ExportToString(e);
    EXPECT_NE(s.find(c.create), std::string::npos) << s;
    EXPECT_NE(s.find(c.insert), std::string::npos) << s;
  }
}

// TableName is the table's own name, quoted where needed, unless the user wrote it as SQL:
// quoted himself, or qualified by a schema.
TEST(ExportSQL, TableNameAsTheUserWroteIt) {
  TExportSQL e;
  const struct {
    const char* typed;
    const char* standard;  // generic and SQLite
    const char* postgres;
    const char* mysql;
  } cases[] = {
      {"orders", "orders", "orders", "orders"},
      {"Orders", "Orders", "\"Orders\"", "Orders"},
      {"Order", "\"Order\"", "\"Order\"", "`Order`"},
      {"Order Details", "\"Order Details\"", "\"Order Details\"", "`Order Details`"},
      {"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\"", "`say \"hi\"`"},
      {"Клиенты", "\"Клиенты\"", "\"Клиенты\"", "`Клиенты`"},
      // Written as SQL already: kept as typed.
      {"public.orders", "public.orders", "public.orders", "public.orders"},
      {"Sales.Orders", "Sales.Orders", "Sales.Orders", "Sales.Orders"},
      {"\"x\"", "\"x\"", "\"x\"", "\"x\""},
      {"shop.\"Order \"\"A\"\"\"", "shop.\"Order \"\"A\"\"\"", "shop.\"Order \"\"A\"\"\"",
       "shop.\"Order \"\"A\"\"\""},
      {"`my table`", "`my table`", "`my table`", "`my table`"},
      {"[my table]", "[my table]", "[my table]", "[my table]"},
      // Not SQL: a dot that qualifies nothing, a quote that does not close.
      {"v1.2", "\"v1.2\"", "\"v1.2\"", "`v1.2`"},
      {"a..b", "\"a..b\"", "\"a..b\"", "`a..b`"},
      {"\"open", "\"\"\"open\"", "\"\"\"open\"", "`\"open`"},
      {"\"x\"y", "\"\"\"x\"\"y\"", "\"\"\"x\"\"y\"", "`\"x\"y`"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    e.TableName = c.typed;
    e.SQLDialect = sdGeneric;
    EXPECT_EQ(e.SqlTableName(), c.standard) << c.typed;
    e.SQLDialect = sdSQLite;
    EXPECT_EQ(e.SqlTableName(), c.standard) << c.typed;
    e.SQLDialect = sdPostgreSQL;
    EXPECT_EQ(e.SqlTableName(), c.postgres) << c.typed;
    e.SQLDialect = sdMySQL;
    EXPECT_EQ(e.SqlTableName(), c.mysql) << c.typed;
  }
}

// A string without a declared length gets the dialect's unbounded type; bytes get the binary type
// and a binary literal that keeps every byte, NULs and blanks at the ends included.
TEST(ExportSQL, UnboundedTextsAndBinaryColumns) {
  TMemDataSet ds;
  ds.AddField("s", ftString, 20);
  ds.AddField("t", ftString, 255).Unbounded = true;
  ds.AddField("m", ftMemo);
  ds.AddField("p", ftBlob);
  ds.AddField("n", ftBCD, 4).Precision = 14;
  const std::string note(300, 'x');
  ds.AddRow({"s", note, "m",
             std::string("\0 \xFF"
                         "a ",
                         5),
             "1,5"});
  ds.AddRow({"s", "t", "m", std::string(), std::nullopt});
  ds.Open();
  TExportSQL e;
  e.SetFormatSettings(TFormatSettings::Russian());
  e.SetDataSet(&ds);
  e.ExportedFields = {"s", "t", "m", "p", "n"};
  e.TableName = "t";
  e.CreateTable = true;
  const struct {
    const char* dialect;
    const char* types;
    const char* bytes;
  } cases[] = {
      {"sdGeneric",
       "s  CHAR(20),\r\n  t  TEXT,\r\n  m  BLOB,\r\n  p  BLOB,\r\n  n  DOUBLE PRECISION",
       "X'0020FF6120'"},
      {"sdSQLite", "s  TEXT,\r\n  t  TEXT,\r\n  m  TEXT,\r\n  p  BLOB,\r\n  n  NUMERIC",
       "X'0020FF6120'"},
      {"sdPostgreSQL",
       "s  VARCHAR(20),\r\n  t  TEXT,\r\n  m  TEXT,\r\n  p  BYTEA,\r\n  n  NUMERIC(14,4)",
       "decode('0020FF6120','hex')"},
      {"sdMySQL",
       "s  VARCHAR(20),\r\n  t  LONGTEXT,\r\n  m  LONGTEXT,\r\n  p  LONGBLOB,\r\n  n  "
       "DECIMAL(14,4)",
       "X'0020FF6120'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dialect);
    SetPropertyText(e, "SQLDialect", c.dialect);
    std::string s = ExportToString(e);
    EXPECT_NE(s.find(std::string("CREATE TABLE t(\r\n  ") + c.types + ");"), std::string::npos)
        << s;
    EXPECT_NE(s.find("VALUES('s','" + note + "','m'," + c.bytes + ",1.5);"), std::string::npos);
    // An empty value is no NULL.
    const std::string empty = std::string(c.dialect) == "sdPostgreSQL" ? "decode('','hex')" : "X''";
    EXPECT_NE(s.find("VALUES('s','t','m'," + empty + ",NULL);"), std::string::npos) << s;
  }

  // Digits the dialect cannot declare leave the decimal a double.
  ds.Fields(4).Precision = 70;
  e.ExportedFields = {"n"};
  SetPropertyText(e, "SQLDialect", "sdMySQL");
  EXPECT_NE(ExportToString(e).find("n  DOUBLE);"), std::string::npos);
  SetPropertyText(e, "SQLDialect", "sdPostgreSQL");
  EXPECT_NE(ExportToString(e).find("n  NUMERIC(70,4));"), std::string::npos);
  ds.Fields(4).Precision = 0;
  EXPECT_NE(ExportToString(e).find("n  DOUBLE PRECISION);"), std::string::npos);
}

// A script reproduces stored strings: blanks, tabs and line breaks at their ends are part of
// them. A cell that a handler rewrote is written as the handler left it.
TEST(ExportSQL, StringsKeepTheirEnds) {
  TMemDataSet ds;
  ds.AddField("s", ftString, 30);
  ds.AddField("m", ftMemo);
  ds.AddRow({"  two blanks, a tab\t", "memo\r\n"});
  ds.Open();
  TExportSQL e;
  e.SetDataSet(&ds);
  e.ExportedFields = {"s", "m"};
  e.TableName = "t";
  EXPECT_NE(ExportToString(e).find("VALUES('  two blanks, a tab\t','memo\r\n');"),
            std::string::npos);
  e.OnBeforeExportRow = [](TObject*, TExportRow& row, bool&) {
    row[row.IndexOfName("s")].Data = "rewritten";
  };
  EXPECT_NE(ExportToString(e).find("VALUES('rewritten','memo\r\n');"), std::string::npos);
}

// What the formats show for NULL and Booleans elsewhere ("(none)", "Да") stays in the generic
// script; a script for a named database uses that database's words.
TEST(ExportSQL, NamedDialectsWriteTheirOwnNullsAndBooleans) {
  TMemDataSet ds;
  ds.AddField("B", ftBoolean);
  ds.AddField("S", ftString, 5);
  ds.AddRow({"True", std::nullopt});
  ds.AddRow({"False", "x"});
  ds.Open();
  TExportSQL e;
  e.SetDataSet(&ds);
  e.TableName = "T";
  e.Formats.SetNullString("(none)");
  e.Formats.SetBooleanTrue("Да");
  e.Formats.SetBooleanFalse("Нет");
  const struct {
    const char* dialect;
    const char* first;
    const char* second;
  } cases[] = {{"sdGeneric", "VALUES(Да,(none));", "VALUES(Нет,'x');"},
               {"sdSQLite", "VALUES(1,NULL);", "VALUES(0,'x');"},
               {"sdPostgreSQL", "VALUES(TRUE,NULL);", "VALUES(FALSE,'x');"},
               {"sdMySQL", "VALUES(TRUE,NULL);", "VALUES(FALSE,'x');"}};
  for (const auto& c : cases) {
    SetPropertyText(e, "SQLDialect", c.dialect);
    std::string s = ExportToString(e);
    EXPECT_NE(s.find(c.first), std::string::npos) << s;
    EXPECT_NE(s.find(c.second), std::string::npos) << s;
  }
}

// Whatever CommitRecCount and CommitAfterScript say, an SQLite script commits only a transaction
// it began and leaves none open. All the scripts one after the other are one script that
// sqlite3 -bail loads (a transaction left open would make the next BEGIN fail).
TEST(ExportSQL, SQLiteCommitsOnlyWhatItBegan) {
  std::string all, counts;
  for (int rows = 0; rows <= 4; ++rows) {
    TMemDataSet ds;
    ds.AddField("id", ftInteger);
    for (int i = 1; i <= rows; ++i) ds.AddRow({std::to_string(i)});
    ds.Open();
    for (int every = 0; every <= 5; ++every) {
      for (bool after : {false, true}) {
        const std::string table =
            "t" + std::to_string(rows) + "_" + std::to_string(every) + (after ? "_after" : "");
        SCOPED_TRACE(table);
        TExportSQL e;
        e.SetDataSet(&ds);
        e.TableName = table;
        e.CreateTable = true;
        e.CommitRecCount = every;
        e.CommitAfterScript = after;
        e.SQLDialect = sdSQLite;
        const std::string s = ExportToString(e);
        bool open = false;
        size_t inserts = 0, commits = 0;
        std::istringstream lines(s);
        for (std::string line; std::getline(lines, line);) {
          if (line == "BEGIN;\r") {
            EXPECT_FALSE(open) << s;
            open = true;
          } else if (line == "COMMIT;\r") {
            EXPECT_TRUE(open) << s;
            open = false;
            ++commits;
          } else if (line.starts_with("INSERT")) {
            ++inserts;
            // Rows asked to be committed are inside a transaction.
            EXPECT_EQ(open, every > 0 || after) << s;
          }
        }
        EXPECT_FALSE(open) << s;
        EXPECT_EQ(inserts, static_cast<size_t>(rows));
        EXPECT_EQ(commits > 0, rows > 0 && (every > 0 || after));
        all += s;
        counts +=
            (counts.empty() ? "SELECT " : "||','||") + ("(SELECT count(*) FROM " + table + ")");
      }
    }
  }
  if (!HaveCommand("sqlite3")) GTEST_SKIP() << "no sqlite3 shell";
  const std::string dir = ScratchFolder();
  WriteFile(dir + "all.sql", all);
  // Without a sync at every commit: the scripts hold 90 of them.
  TCommandResult r =
      RunCommand("sqlite3 -bail -cmd 'PRAGMA synchronous=OFF' " + ShellQuote(dir + "all.db") +
                 " < " + ShellQuote(dir + "all.sql") + " 2>&1 && sqlite3 " +
                 ShellQuote(dir + "all.db") + " " + ShellQuote(counts));
  EXPECT_EQ(r.status, 0) << r.out;
  std::string want;
  for (int rows = 0; rows <= 4; ++rows)
    for (int i = 0; i < 12; ++i) want += (want.empty() ? "" : ",") + std::to_string(rows);
  EXPECT_EQ(r.out, want + "\n");
}

// The scripts of every table of the awkward database and of the demo are loaded into sqlite3,
// PostgreSQL and MariaDB by tests/cli/sql_load_test.cpp.

}  // namespace
}  // namespace morvale::test
