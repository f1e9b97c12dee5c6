#include "export/text/sql.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdlib>

#include "export/core/datetime.h"
#include "export/core/numfmt.h"
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

// ---- Round trips through real databases ----

// Rows of every type the script converts, in the texts a dataset shows under a Russian locale
// (decimal comma, day.month.year dates): NULLs, quotes, Cyrillic, separators and line breaks.
struct TRoundTripData {
  TFormatSettings fs = TFormatSettings::Russian();
  TMemDataSet ds;
  TRoundTripData() {
    ds.AddField("ID", ftInteger);
    ds.AddField("NAME", ftString, 40);
    ds.AddField("PRICE", ftFloat);
    ds.AddField("AMOUNT", ftCurrency);
    ds.AddField("BORN", ftDate);
    ds.AddField("SEEN", ftDateTime);
    ds.AddField("AT", ftTime);
    ds.AddField("FLAG", ftBoolean);
    ds.AddField("NOTE", ftMemo);
    auto date = [&](int y, int m, int d) {
      return FormatDateTime("ddddd", EncodeDate(y, m, d), fs);
    };
    auto dt = [&](int y, int m, int d, int h, int n, int s) {
      TDateTime t;
      TryEncodeTime(h, n, s, 0, t);
      return FormatDateTime("ddddd tt", EncodeDate(y, m, d) + t, fs);
    };
    auto time = [&](int h, int n, int s) {
      TDateTime t;
      TryEncodeTime(h, n, s, 0, t);
      return FormatDateTime("tt", t, fs);
    };
    auto num = [&](double v) { return FloatToStr(v, fs); };
    ds.AddRow({"1", "Bolt", num(12.5), num(1234.56), date(2008, 3, 7), dt(2008, 3, 7, 14, 30, 5),
               time(9, 5, 3), "True", "plain"});
    ds.AddRow({"2", "Гайка \"M6\" O'Neil", num(0.1), num(-0.75), date(1999, 12, 31),
               dt(1999, 12, 31, 23, 59, 59), time(0, 0, 1), "False", "line one\r\nline two"});
    ds.AddRow({"3", "a;b,c\td", {}, {}, {}, {}, {}, {}, {}});
    ds.AddRow({"-4", "<tag> & 'q'", num(-1234567.891), num(0), date(2000, 2, 29),
               dt(2000, 2, 29, 0, 0, 0), time(23, 59, 59), "True", "Ünïcødé"});
    ds.AddRow({"5", "пять", num(1e-7), num(99.99), date(2024, 1, 1), dt(2024, 1, 1, 12, 0, 0),
               time(12, 0, 0), "False", "--; DROP TABLE x;"});
    ds.Open();
  }
  int Rows() { return ds.RecordCount(); }
  std::optional<std::string> Source(int row, int field) {
    ds.SetRecNo(row);
    TField& f = ds.Fields(field);
    if (f.IsNull()) return std::nullopt;
    return f.AsString();
  }
  void Configure(TExportSQL& e, const std::string& table, const std::string& commit) {
    e.SetFormatSettings(fs);
    e.SetDataSet(&ds);
    e.ExportedFields = {"ID", "NAME", "PRICE", "AMOUNT", "BORN", "SEEN", "AT", "FLAG", "NOTE"};
    e.TableName = table;
    e.CreateTable = true;
    e.CommitRecCount = 2;
    e.Header = {"BEGIN;"};
    e.CommitStatement = commit + " BEGIN;";
    e.Footer = {"COMMIT;"};
    e.Formats.SetNullString("null");
  }
  double Number(const std::string& text) { return StrToFloat(text, fs); }
  std::string Iso(const std::string& text, const char* format) {
    return FormatDateTime(format, StrToDateTime(text, fs), fs);
  }
};

TEST(ExportSQL, ScriptLoadsIntoSQLite) {
  TRoundTripData data;
  TExportSQL e;
  data.Configure(e, "T", "COMMIT;");
  std::string script = ExportToString(e);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  char* err = nullptr;
  ASSERT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, &err), SQLITE_OK)
      << (err ? err : "") << "\n"
      << script;
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT * FROM T ORDER BY rowid", -1, &st, nullptr), SQLITE_OK);
  int row = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    ASSERT_LT(row, data.Rows());
    for (int f = 0; f < 9; ++f) {
      SCOPED_TRACE("row " + std::to_string(row) + " field " + std::to_string(f));
      auto src = data.Source(row, f);
      if (!src) {
        EXPECT_EQ(sqlite3_column_type(st, f), SQLITE_NULL);
        continue;
      }
      std::string got = reinterpret_cast<const char*>(sqlite3_column_text(st, f));
      if (f == 2 || f == 3)
        EXPECT_DOUBLE_EQ(sqlite3_column_double(st, f), data.Number(*src));
      else if (f == 7)  // a boolean goes in as the keyword true or false
        EXPECT_EQ(got, *src == "True" ? "1" : "0");
      else  // integers, texts, and dates in the source's own text form
        EXPECT_EQ(got, *src);
    }
    ++row;
  }
  EXPECT_EQ(row, data.Rows());
  sqlite3_finalize(st);
  sqlite3_close(db);
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

// CI runs a private PostgreSQL server and names it in MORVALE_PG_URL.
TEST(ExportSQL, ScriptLoadsIntoPostgreSQL) {
  const char* url = std::getenv("MORVALE_PG_URL");
  if (!url || !*url) GTEST_SKIP() << "MORVALE_PG_URL is not set: no PostgreSQL server to load into";
  ASSERT_TRUE(HaveCommand("psql"));
  std::string psql = "psql " + ShellQuote(url) + " -X -q -v ON_ERROR_STOP=1 ";
  std::string table = "morvale_sql_" + std::to_string(getpid());

  TRoundTripData data;
  TExportSQL e;
  data.Configure(e, table, "COMMIT WORK;");
  e.SQLDialect = sdPostgreSQL;
  std::string folder = ScratchFolder();
  e.FileName = folder + "script.sql";
  e.Execute();
  ASSERT_EQ(RunCommand(psql + "-c " + ShellQuote("DROP TABLE IF EXISTS " + table)).status, 0);
  ASSERT_EQ(RunCommand(psql + "-f " + ShellQuote(e.FileName) + " >/dev/null").status, 0)
      << ReadFile(e.FileName);

  // Every value as hex of its text, so that line breaks and separators cannot confuse the split.
  std::string cols;
  for (const char* c : {"id", "name", "price", "amount", "born", "seen", "at", "flag", "note"})
    cols += std::string(cols.empty() ? "" : ",'|',") + "coalesce(encode(convert_to(" + c +
            "::text,'UTF8'),'hex'),'N')";
  TCommandResult r = RunCommand(psql + "-A -t -c " +
                                ShellQuote("SET DateStyle=ISO; SELECT concat(" + cols + ") FROM " +
                                           table + " ORDER BY id=-4, id"));
  RunCommand(psql + "-c " + ShellQuote("DROP TABLE " + table));
  ASSERT_EQ(r.status, 0);
  std::vector<std::string> lines;
  std::istringstream in(r.out);
  for (std::string l; std::getline(in, l);)
    if (!l.empty()) lines.push_back(l);
  ASSERT_EQ(static_cast<int>(lines.size()), data.Rows());
  int order[] = {0, 1, 2, 4, 3};  // sorted by id with -4 last
  for (int i = 0; i < data.Rows(); ++i) {
    int row = order[i];
    std::vector<std::string> vals;
    std::istringstream fields(lines[static_cast<size_t>(i)]);
    for (std::string v; std::getline(fields, v, '|');) vals.push_back(v);
    ASSERT_EQ(vals.size(), 9u) << lines[static_cast<size_t>(i)];
    for (int f = 0; f < 9; ++f) {
      SCOPED_TRACE("row " + std::to_string(row) + " field " + std::to_string(f));
      auto src = data.Source(row, f);
      if (!src) {
        EXPECT_EQ(vals[static_cast<size_t>(f)], "N");
        continue;
      }
      std::string got = Unhex(vals[static_cast<size_t>(f)]);
      switch (f) {
        case 2:
        case 3:
          EXPECT_DOUBLE_EQ(std::stod(got), data.Number(*src));
          break;
        case 4:
          EXPECT_EQ(got, data.Iso(*src, "yyyy\"-\"mm\"-\"dd"));
          break;
        case 5:
          EXPECT_EQ(got, data.Iso(*src, "yyyy\"-\"mm\"-\"dd hh\":\"nn\":\"ss"));
          break;
        case 6:
          EXPECT_EQ(got, data.Iso(*src, "hh\":\"nn\":\"ss"));
          break;
        case 7:
          EXPECT_EQ(got, *src == "True" ? "true" : "false");
          break;
        default:
          EXPECT_EQ(got, *src);
      }
    }
  }
}

}  // namespace
}  // namespace morvale::test
