// Heterogeneous queries without servers: server tables over a fake connection that records every
// statement and answers with all its rows, so what reaches the server and what SQLite keeps of it
// are both seen; dBASE folders and SQLite files attached by name; the connection slots.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/engine/cursordataset.h"
#include "app/engine/memcursor.h"
#include "app/engine/remotevtab.h"
#include "app/engine/slots.h"
#include "app/engine/sqliteconnection.h"
#include "tests/support/dbfbuilder.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

namespace fs = std::filesystem;

// A server that understands only the statements the module sends: the select list is read, the
// WHERE clause ignored (every row comes back, as from a server that filters nothing).
class TFakeServer : public TConnection {
 public:
  TFieldDefs Defs;
  std::vector<TMemCursor::Row> Rows;
  std::vector<std::string> Statements;
  int64_t Estimate = 1000000;  // the rows the server's statistics give

  std::unique_ptr<TCursor> OpenCursor(const std::string& sql) override {
    if (sql.find("pg_class") != std::string::npos ||
        sql.find("information_schema") != std::string::npos)
      return std::make_unique<TMemCursor>(TFieldDefs{MakeFieldDef("rows", ftLargeint)},
                                          std::vector<TMemCursor::Row>{{std::to_string(Estimate)}});
    Statements.push_back(sql);
    size_t from = sql.find(" FROM ");
    std::string list = sql.substr(7, from - 7);
    std::vector<int> columns;
    if (list == "*") {
      for (size_t i = 0; i < Defs.size(); ++i) columns.push_back(static_cast<int>(i));
    } else if (list != "1") {
      for (size_t start = 0; start < list.size();) {
        size_t comma = list.find(", ", start);
        std::string name =
            list.substr(start + 1, (comma == std::string::npos ? list.size() : comma) - start - 2);
        for (size_t i = 0; i < Defs.size(); ++i)
          if (Defs[i].Name == name) columns.push_back(static_cast<int>(i));
        start = comma == std::string::npos ? list.size() : comma + 2;
      }
    }
    TFieldDefs defs;
    for (int c : columns) defs.push_back(Defs[static_cast<size_t>(c)]);
    if (columns.empty()) defs.push_back(MakeFieldDef("1", ftInteger));
    std::vector<TMemCursor::Row> rows;
    if (sql.find("WHERE 1 = 0") == std::string::npos)
      for (const auto& r : Rows) {
        TMemCursor::Row out;
        for (int c : columns) out.push_back(r[static_cast<size_t>(c)]);
        if (columns.empty()) out.push_back("1");
        rows.push_back(std::move(out));
      }
    return std::make_unique<TMemCursor>(std::move(defs), std::move(rows));
  }
  void GetTableNames(const std::string&, bool, bool, TStringList&) override {}

  // The statements that read rows (not the one that describes the table).
  std::vector<std::string> Scans() const {
    std::vector<std::string> r;
    for (const auto& s : Statements)
      if (s.find("WHERE 1 = 0") == std::string::npos) r.push_back(s);
    return r;
  }
};

class Hetero : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test::FreshFolder("hetero");
    fs::create_directories(dir_ / "dbf");
    test::TDbfBuilder b;
    b.Add("CITY", 'C', 20);
    b.Add("REGION", 'C', 10);
    b.rows = {{"London", "Europe"}, {"Dublin", "Europe"}, {"Lima", "America"}};
    std::ofstream(dir_ / "dbf" / "cities.dbf", std::ios::binary) << b.Build();

    pg_ = std::make_shared<TFakeServer>();
    pg_->Defs = {MakeFieldDef("id", ftInteger), MakeFieldDef("city", ftString, 20),
                 MakeFieldDef("total", ftBCD, 2, 12), MakeFieldDef("day", ftDate),
                 MakeFieldDef("rate", ftFloat)};
    pg_->Rows = {{"1", "London", "12.50", "2024-01-05", "0.5"},
                 {"2", "Dublin", "7.25", "2024-02-01", "1.5"},
                 {"3", "Lima", "100.00", "2024-01-05", std::nullopt},
                 {"4", "O'Neil", "3.00", std::nullopt, "2"}};
    my_ = std::make_shared<TFakeServer>();
    my_->Defs = {MakeFieldDef("order_id", ftInteger), MakeFieldDef("title", ftString, 40)};
    my_->Rows = {{"1", "Hammer"}, {"3", "Saw"}, {"3", "Nails"}, {"9", "Glue"}};

    MakeEngine();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A new query engine: its server tables are made again, with the servers' estimates of then.
  void MakeEngine() {
    engine_ = std::make_unique<TFolderConnection>("");
    engine_->AttachedDatabases = [this] {
      return TFolderConnection::TAttachedList{
          {"PG", TDriverKind::PostgreSql, "", pg_},
          {"MY", TDriverKind::MySql, "", my_},
          {"DBF", TDriverKind::Standard, (dir_ / "dbf").string() + "/", {}},
          {"LITE", TDriverKind::Sqlite, test::DemoDatabase(), {}}};
    };
  }

  // The rows of a query, one line each, values separated by '|' (NULL as "-").
  std::string Rows(const std::string& sql) {
    TCursorDataSet ds;
    TFormatSettings fs = TFormatSettings::English();
    fs.ShortDateFormat = "yyyy-mm-dd";
    fs.DateSeparator = "-";
    ds.SetFormatSettings(fs);
    ds.OpenCursor(engine_->OpenCursor(sql));
    std::string out;
    for (; !ds.Eof(); ds.Next()) {
      for (int i = 0; i < ds.FieldCount(); ++i)
        out +=
            (i ? "|" : "") + (ds.Fields(i).IsNull() ? std::string("-") : ds.Fields(i).AsString());
      out += "\n";
    }
    return out;
  }
  std::string Error(const std::string& sql) {
    try {
      Rows(sql);
    } catch (const Exception& e) {
      return e.what();
    }
    return "(no error)";
  }

  fs::path dir_;
  std::shared_ptr<TFakeServer> pg_, my_;
  std::unique_ptr<TFolderConnection> engine_;
};

TEST_F(Hetero, SimpleComparisonsReachTheServerAndSqliteChecksThemAgain) {
  EXPECT_EQ(Rows("SELECT id FROM PG.orders WHERE id >= 2 AND id < 4 AND city = 'O''Neil'"), "");
  EXPECT_EQ(Rows("SELECT id, city FROM PG.orders WHERE id >= 2 AND id <= 4 AND day = '2024-01-05'"),
            "3|Lima\n");
  ASSERT_EQ(pg_->Scans().size(), 2u);
  const std::string first = pg_->Scans()[0], second = pg_->Scans()[1];
  // Only the columns the query reads, named as the server names them.
  EXPECT_EQ(first.substr(0, first.find(" FROM ")), "SELECT \"id\", \"city\"");
  EXPECT_NE(first.find(" FROM orders WHERE "), std::string::npos) << first;
  for (const char* part : {"\"id\" >= 2", "\"id\" < 4", "\"city\" = 'O''Neil'"})
    EXPECT_NE(first.find(part), std::string::npos) << part << " in " << first;
  for (const char* part : {"\"id\" >= 2", "\"id\" <= 4", "\"day\" = '2024-01-05'"})
    EXPECT_NE(second.find(part), std::string::npos) << part << " in " << second;
}

TEST_F(Hetero, NumbersSentAsTextCompareAsNumbers) {
  // The server gives 7.25 and 100.00 as texts; compared as texts both would be above 10.
  EXPECT_EQ(Rows("SELECT id, total FROM PG.orders WHERE total > 10 ORDER BY total"),
            "1|12.5\n3|100\n");
}

TEST_F(Hetero, ComparisonsTheServerMightAnswerDifferentlyStayWithSqlite) {
  // A range over texts (collations differ), a float column (single precision on the server), a
  // date against a date-time, an expression, a text with a backslash: all left to SQLite.
  EXPECT_EQ(Rows("SELECT id FROM PG.orders WHERE city > 'Dublin' AND rate < 1.7 AND "
                 "day < '2024-01-05 10:00' AND lower(city) <> 'x' AND city <> 'a\\b' ORDER BY id"),
            "1\n");
  ASSERT_EQ(pg_->Scans().size(), 1u);
  EXPECT_EQ(pg_->Scans()[0].find("WHERE"), std::string::npos) << pg_->Scans()[0];
  // A text that is a number compares as the number; NULL matches nothing and asks nothing.
  EXPECT_EQ(Rows("SELECT id FROM PG.orders WHERE id = '3'"), "3\n");
  EXPECT_NE(pg_->Scans().back().find("\"id\" = 3"), std::string::npos) << pg_->Scans().back();
  size_t scans = pg_->Scans().size();
  EXPECT_EQ(Rows("SELECT id FROM PG.orders WHERE id = NULL"), "");
  EXPECT_EQ(pg_->Scans().size(), scans);
}

TEST_F(Hetero, JoinAcrossEnginesPassesTheJoinValueToEachScan) {
  const std::string sql =
      "SELECT c.name, d.REGION, o.total, o.day, i.title FROM LITE.customers c"
      " JOIN DBF.cities d ON d.CITY = c.city JOIN PG.orders o ON o.city = c.city"
      " JOIN MY.items i ON i.order_id = o.id ORDER BY i.title";
  // London has order 1 with one item; Dublin's order 2 has none; Lima is no customer's city.
  EXPECT_EQ(Rows(sql), "Acme Tools Ltd|Europe|12.5|2024-01-05|Hammer\n");
  // The items are read per order: MySQL's quoting, the order's id as the value.
  bool perOrder = false;
  for (const std::string& s : my_->Scans())
    perOrder = perOrder || s.find("WHERE `order_id` = 1") != std::string::npos;
  EXPECT_TRUE(perOrder) << my_->Scans().front();
  // The quoted form reads the same tables.
  std::string quoted = sql;
  for (auto [from, to] : {std::pair{"LITE.customers", "\":LITE:customers\""},
                          {"DBF.cities", "\":DBF:cities\""},
                          {"PG.orders", "\":PG:orders\""},
                          {"MY.items", "\":MY:items\""}})
    quoted.replace(quoted.find(from), std::string(from).size(), to);
  EXPECT_EQ(Rows(quoted), Rows(sql));
}

TEST_F(Hetero, ColumnsKeepTheFieldTypesOfTheirOwnEngine) {
  TCursorDataSet ds;
  ds.OpenCursor(engine_->OpenCursor(
      "SELECT o.total, o.id, p.total AS pg_total, p.id AS pg_id, d.CITY FROM LITE.orders o,"
      " PG.orders p, DBF.cities d WHERE p.id = 1 AND o.id = 1001 AND d.CITY = 'Lima'"));
  EXPECT_EQ(ds.FieldByName("total").DataType, ftBCD);  // NUMERIC(12,2) in SQLite
  EXPECT_EQ(ds.FieldByName("total").AsString(), "1234.56");
  EXPECT_EQ(ds.FieldByName("id").DataType, ftLargeint);
  EXPECT_EQ(ds.FieldByName("pg_total").DataType, ftBCD);
  EXPECT_EQ(ds.FieldByName("pg_id").DataType, ftInteger);
  EXPECT_EQ(ds.FieldByName("CITY").DataType, ftString);
}

TEST_F(Hetero, SmallServerTablesAreReadOnceLargeOnesLookedUpPerRow) {
  const std::string sql =
      "SELECT count(*) FROM LITE.customers c JOIN MY.items i ON i.order_id = c.id WHERE c.id < 4";
  my_->Estimate = 50;
  EXPECT_EQ(Rows(sql), "3\n");  // items 1, 3 and 3
  ASSERT_EQ(my_->Scans().size(), 1u);
  EXPECT_EQ(my_->Scans()[0], "SELECT `order_id` FROM items");
  my_->Statements.clear();
  my_->Estimate = 5000000;
  MakeEngine();
  EXPECT_EQ(Rows(sql), "3\n");
  EXPECT_EQ(my_->Scans(),
            (std::vector<std::string>{"SELECT `order_id` FROM items WHERE `order_id` = 1",
                                      "SELECT `order_id` FROM items WHERE `order_id` = 2",
                                      "SELECT `order_id` FROM items WHERE `order_id` = 3"}));
}

TEST_F(Hetero, UnknownAndDisconnectedDatabasesAreNamed) {
  EXPECT_NE(Error("SELECT * FROM NOPE.orders").find("база данных 'NOPE' не подключена"),
            std::string::npos)
      << Error("SELECT * FROM NOPE.orders");
  const std::string quoted = Error("SELECT * FROM \":NOPE:orders\"");
  EXPECT_NE(quoted.find("Нет такой таблицы: \":NOPE:orders\": база данных 'NOPE' не подключена"),
            std::string::npos)
      << quoted;
  EXPECT_NE(quoted.find("PG"), std::string::npos) << quoted;  // the ones that are
  // A table file the folder does not have.
  EXPECT_NE(Error("SELECT * FROM DBF.absent").find("нет файла таблицы \"absent\""),
            std::string::npos)
      << Error("SELECT * FROM DBF.absent");
  // A database that went away between two queries.
  EXPECT_EQ(Rows("SELECT count(*) FROM PG.orders"), "4\n");
  pg_.reset();
  const std::string gone = Error("SELECT count(*) FROM PG.orders");
  EXPECT_NE(gone.find("База данных 'PG' не подключена"), std::string::npos) << gone;
}

TEST(ConnectionSlots, UseFindFreeAndConnectAllStopsAtTheFirstFailure) {
  const fs::path dir = test::FreshFolder("slots");
  TSession session("slots-test");
  session.ConfigMode = cfmSession;
  session.AddAlias("GOOD", "SQLITE", TStringList{"PATH=" + test::DemoDatabase()});
  session.AddAlias("BAD", "SQLITE", TStringList{"PATH=" + (dir / "missing.db").string()});
  {
    TConnectionSlots slots("slots-test");
    EXPECT_FALSE(slots.Use(30, "GOOD"));
    EXPECT_FALSE(slots.SlotNew(-1));
    EXPECT_FALSE(slots.AnyExists());
    ASSERT_TRUE(slots.Use(0, "GOOD"));
    ASSERT_TRUE(slots.Use(1, "BAD"));
    ASSERT_TRUE(slots.Use(2, "GOOD2"));
    EXPECT_EQ(slots.FindAlias(" good "), 0);
    EXPECT_EQ(slots.Database(0)->DatabaseName, "GOOD");
    EXPECT_EQ(slots.Database(0)->SessionName, "slots-test");
    EXPECT_FALSE(slots.SlotConnected(0));
    std::vector<int> seen;
    try {
      slots.ConnectAll([&](int i) { seen.push_back(i); });
      ADD_FAILURE() << "the missing database connected";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("BAD: "), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("missing.db"), std::string::npos) << e.what();
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1}));  // the rows after it are not tried
    EXPECT_TRUE(slots.SlotConnected(0));
    EXPECT_FALSE(slots.SlotConnected(1));
    EXPECT_FALSE(slots.SlotConnected(2));
    slots.DisconnectAll();
    EXPECT_FALSE(slots.SlotConnected(0));
    EXPECT_TRUE(slots.SlotFree(1));
    EXPECT_FALSE(slots.SlotExists(1));
    EXPECT_EQ(slots.AliasName(1), "");
  }
  // The slots' databases went with them.
  EXPECT_TRUE(session.Databases().empty());
  fs::remove_all(dir);
}

TEST(OwnAlias, CreatedOnceKeptInTheUserFileAndReplaced) {
  const fs::path dir = test::FreshFolder("ownalias");
  const std::string file = (dir / "engine.ini").string();
  TAliasConfig::Instance().Load(file, (dir / "none.ini").string());
  EXPECT_FALSE(AliasExists(kHeteroAliasName));
  EXPECT_FALSE(AliasExists("  "));
  EXPECT_FALSE(CreateAlias(true, kHeteroAliasName, " ", ""));
  ASSERT_TRUE(CreateAlias(true, kHeteroAliasName, (dir / "a").string(), ""));
  EXPECT_TRUE(AliasExists(" MVL_STD_HETERO_999 "));
  EXPECT_FALSE(CreateAlias(false, kHeteroAliasName, (dir / "b").string(), ""));
  ASSERT_TRUE(CreateAlias(true, kHeteroAliasName, (dir / "b").string(), ""));
  // Read back from the file, as the next run of the program does.
  TAliasConfig::Instance().Load(file, (dir / "none.ini").string());
  const TAlias* a = TAliasConfig::Instance().Find(kHeteroAliasName);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Driver, "STANDARD");
  EXPECT_EQ(a->Params.Value("PATH"), (dir / "b").string());
  TAliasConfig::Instance().LoadDefault();
  fs::remove_all(dir);
}

TEST(OwnAlias, FirstRunAsksCreatesAndAsksForARestartTheNextOneRuns) {
  const fs::path dir = test::FreshFolder("ownrun");
  const std::string file = (dir / "engine.ini").string();
  TAliasConfig::Instance().Load(file, (dir / "none.ini").string());
  std::vector<std::string> said;
  int resets = 0;
  bool answer = false;
  TOwnAliasSteps steps{[&](const std::string& q) {
                         said.push_back("? " + q);
                         return answer;
                       },
                       [&] { ++resets; }, [&](const std::string& m) { said.push_back(m); }};
  EXPECT_EQ(PrepareOwnAlias((dir / "one/").string(), steps), TOwnAliasResult::Cancelled);
  EXPECT_FALSE(AliasExists(kHeteroAliasName));
  EXPECT_EQ(resets, 0);
  answer = true;
  said.clear();
  EXPECT_EQ(PrepareOwnAlias((dir / "one/").string(), steps), TOwnAliasResult::CreatedRestart);
  EXPECT_EQ(said,
            (std::vector<std::string>{std::string("? ") + kOwnAliasQuestion, kOwnAliasCreated}));
  // After the restart: no question, the alias follows the program folder.
  TAliasConfig::Instance().Load(file, (dir / "none.ini").string());
  said.clear();
  EXPECT_EQ(PrepareOwnAlias((dir / "two/").string(), steps), TOwnAliasResult::Ready);
  EXPECT_TRUE(said.empty());
  EXPECT_EQ(resets, 2);
  EXPECT_EQ(TAliasConfig::Instance().Find(kHeteroAliasName)->Params.Value("PATH"),
            (dir / "two/").string());
  TAliasConfig::Instance().LoadDefault();
  fs::remove_all(dir);
}

}  // namespace
}  // namespace morvale
