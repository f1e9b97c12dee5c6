#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/engine/connect.h"
#include "app/engine/dbf.h"
#include "app/engine/session.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

namespace fs = std::filesystem;
using test::TDbfBuilder;

TFormatSettings Settings() {
  TFormatSettings fs;
  fs.DecimalSeparator = ",";
  fs.DateSeparator = ".";
  fs.ShortDateFormat = "dd.mm.yyyy";
  fs.LongTimeFormat = "hh:nn:ss";
  return fs;
}

class DbfFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test::FreshFolder("dbf");
    TDbfBuilder c;
    c.Add("ID", 'N', 4);
    c.Add("NAME", 'C', 20);
    c.Add("BALANCE", 'N', 10, 2);
    c.Add("RATE", 'F', 8, 3);
    c.Add("SINCE", 'D', 8);
    c.Add("VIP", 'L', 1);
    c.Add("NOTES", 'M', 10);
    c.Add("CODE", 'N', 12);
    c.rows = {
        {"1", "Acme Tools", "1234.50", "0.125", "20150307", "T", "Pays on time", "123456789012"},
        {"2", "Ромашка", "-7.00", "", "", "F", "Line one\r\nline two", ""},
        {"3", "Gone", "0.00", "1.000", "20000101", "?", "", "1"},
        {"4", "  Leading", "", "2.500", "19991231", "y", "", "-5"}};
    c.deleted = {false, false, true, false};
    std::string dbt;
    Write("customers.dbf", c.Build(&dbt));
    Write("customers.dbt", dbt);
    TDbfBuilder o;
    o.Add("ORDER_ID", 'N', 6);
    o.Add("CUST", 'N', 4);
    o.Add("TOTAL", 'N', 12, 2);
    o.rows = {{"10", "1", "99.90"}, {"11", "4", "5.00"}, {"12", "1", "0.10"}, {"13", "2", "7.25"}};
    Write("ORDERS.DBF", o.Build());
    Write("readme.txt", "not a table");
  }
  void TearDown() override {
    TSession::Default().SetActive(false);
    fs::remove_all(dir_);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Db() const { return "dbf:" + dir_.string(); }
  std::unique_ptr<TDataSet> Open(const std::string& sql) {
    return OpenQuery(Db(), sql, Settings());
  }
  // Every record as "a|b|c" lines.
  std::string Rows(TDataSet& ds) {
    std::string all;
    for (ds.First(); !ds.Eof(); ds.Next()) {
      for (int i = 0; i < ds.FieldCount(); ++i) all += (i ? "|" : "") + ds.Fields(i).AsString();
      all += "\n";
    }
    return all;
  }
  std::string Error(const std::string& sql) {
    try {
      Open(sql);
    } catch (const Exception& e) {
      return e.what();
    }
    return "(no error)";
  }
  fs::path dir_;
};

TEST_F(DbfFolder, FieldTypesAndValues) {
  auto ds = Open("SELECT * FROM customers");
  struct Want {
    const char* name;
    TFieldType type;
    int size;
  };
  const Want want[] = {{"ID", ftSmallint, 0}, {"NAME", ftString, 20}, {"BALANCE", ftFloat, 0},
                       {"RATE", ftFloat, 0},  {"SINCE", ftDate, 0},   {"VIP", ftBoolean, 0},
                       {"NOTES", ftMemo, 0},  {"CODE", ftLargeint, 0}};
  ASSERT_EQ(ds->FieldCount(), 8);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(want[i].name);
    EXPECT_EQ(ds->Fields(i).FieldName, want[i].name);
    EXPECT_EQ(ds->Fields(i).DataType, want[i].type);
    EXPECT_EQ(ds->Fields(i).Size, want[i].size);
  }
  // The deleted record is not there; blanks are NULL except in character fields.
  EXPECT_EQ(Rows(*ds),
            "1|Acme Tools|1234,5|0,125|07.03.2015|True|Pays on time|123456789012\n"
            "2|Ромашка|-7|||False|Line one\r\nline two|\n"
            "4|  Leading||2,5|31.12.1999|True||-5\n");
  ds->First();
  ds->Next();
  EXPECT_TRUE(ds->FieldByName("RATE").IsNull());
  EXPECT_FALSE(ds->FieldByName("NAME").IsNull());
  EXPECT_EQ(ds->RecordCount(), 3);
}

TEST_F(DbfFolder, FullSqlOverTableFiles) {
  // WHERE and ORDER BY, a join of two files, and each way of naming a table.
  EXPECT_EQ(
      Rows(*Open("SELECT NAME FROM customers WHERE BALANCE > 0 OR ID = 4 ORDER BY NAME DESC")),
      "Acme Tools\n  Leading\n");
  EXPECT_EQ(Rows(*Open("SELECT c.NAME, SUM(o.TOTAL) AS S FROM customers.dbf c JOIN orders o "
                       "ON o.CUST = c.ID GROUP BY c.NAME ORDER BY S")),
            "  Leading|5\nРомашка|7,25\nAcme Tools|100\n");
  std::string quoted = "SELECT COUNT(*) FROM \"" + (dir_ / "ORDERS.DBF").string() + "\"";
  EXPECT_EQ(Rows(*Open(quoted)), "4\n");
  EXPECT_EQ(Rows(*OpenQuery("dbf:/nonexistent-folder", quoted, Settings())), "4\n");
  EXPECT_EQ(Rows(*Open("SELECT ORDER_ID FROM \"ORDERS.DBF\" WHERE TOTAL < 1")), "12\n");
  EXPECT_EQ(Error("SELECT * FROM missing"), "no such table: missing");
  EXPECT_EQ(Error("SELECT * FROM \"readme.txt\""), "no such table: readme.txt");
}

TEST_F(DbfFolder, TableListAndStructureCommands) {
  EXPECT_EQ(TableNames(Db(), "*.*"), (std::vector<std::string>{"customers", "ORDERS"}));
  EXPECT_EQ(TableNames(Db(), "ord*"), (std::vector<std::string>{"ORDERS"}));
  EXPECT_EQ(Rows(*Open("SHOW TABLES")), "customers.dbf\nORDERS.DBF\n");
  EXPECT_EQ(Rows(*Open("SHOW FIELDS\nFROM \"" + (dir_ / "ORDERS.DBF").string() + "\"")),
            "ORDER_ID|NUMERIC(6,0)|YES|||\nCUST|NUMERIC(4,0)|YES|||\nTOTAL|NUMERIC(12,2)|YES|||\n");
  auto describe = Open("DESCRIBE \ncustomers");
  EXPECT_EQ(describe->Fields(0).FieldName, "Field");
  EXPECT_EQ(describe->Fields(1).FieldName, "Type");
  EXPECT_EQ(describe->RecordCount(), 8);
  auto index = Open("SHOW INDEX\nFROM ORDERS");
  EXPECT_EQ(index->FieldCount(), 12);
  EXPECT_TRUE(index->IsEmpty());
  EXPECT_EQ(Error("SHOW FIELDS FROM nothing"), "no such table: nothing");
}

TEST_F(DbfFolder, ChangedFileIsReadAgain) {
  EXPECT_EQ(Rows(*Open("SELECT COUNT(*) FROM orders")), "4\n");
  TDbfBuilder o;
  o.Add("ORDER_ID", 'N', 6);
  o.rows = {{"1"}, {"2"}};
  o.rows.push_back({"3"});
  Write("ORDERS.DBF", o.Build());
  EXPECT_EQ(Rows(*Open("SELECT COUNT(*) FROM orders")), "3\n");
}

// Damaged files: each gives a message naming the file, never a crash.
TEST_F(DbfFolder, DamagedFilesAreReportedByName) {
  TDbfBuilder t;
  t.Add("A", 'C', 5);
  t.Add("M", 'M', 10);
  t.rows = {{"x", "memo"}, {"y", ""}};
  std::string dbt;
  const std::string good = t.Build(&dbt);
  auto path = [&](const char* name) { return (dir_ / name).string(); };
  struct Case {
    const char* file;
    std::string bytes;
    std::string message;
  };
  std::string truncated = good.substr(0, good.size() - 10);
  std::string badHeader = good;
  badHeader[8] = 0x10, badHeader[9] = 0;  // header size 16
  std::string hugeHeader = good;
  hugeHeader[8] = '\xff', hugeHeader[9] = '\x7f';
  std::string noTerminator = good;
  noTerminator[32 + 64] = 'X';
  std::string smallRecord = good;
  smallRecord[10] = 3, smallRecord[11] = 0;
  std::string zeroLength = good;
  zeroLength[32 + 16] = 0;
  std::string farMemo = good;
  size_t memoAt = 32 + 64 + 1 + 1 + 5;
  farMemo.replace(memoAt, 10, "    999999");
  const Case cases[] = {
      {"text.dbf", "just some text, not a table at all........", "is not a dBASE table"},
      {"empty.dbf", "", "is not a dBASE table"},
      {"trunc.dbf", truncated, "is truncated"},
      {"head.dbf", badHeader, "is damaged: the header size is wrong"},
      {"huge.dbf", hugeHeader, "is damaged: the header size is wrong"},
      {"term.dbf", noTerminator, "is damaged: the field list is not terminated"},
      {"rec.dbf", smallRecord, "is damaged: the record size does not hold the fields"},
      {"zero.dbf", zeroLength, "is damaged: field A has no length"},
      {"nomemo.dbf", good, "Memo file \"" + path("nomemo.dbt") + "\" not found"},
      {"far.dbf", farMemo,
       "Memo file \"" + path("far.dbt") + "\" is damaged: block 999999 is past its end"},
  };
  Write("far.dbt", dbt);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Write(c.file, c.bytes);
    std::string e = Error(std::string("SELECT * FROM \"") + c.file + "\"");
    EXPECT_NE(e.find(c.message), std::string::npos) << e;
    if (c.message.rfind("Memo", 0) != 0) {
      EXPECT_NE(e.find(path(c.file)), std::string::npos) << e;
    }
  }
}

}  // namespace
}  // namespace morvale
