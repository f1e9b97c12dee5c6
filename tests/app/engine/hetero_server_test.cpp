// One console query across the demo SQLite database, a dBASE folder, PostgreSQL and MariaDB, run
// on the tool's own alias over the connection slots: the same CSV as the same join in one SQLite
// database, with the filters and the join values passed to the servers.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/engine/query.h"
#include "app/engine/remotevtab.h"
#include "app/engine/slots.h"
#include "tests/support/heterofixture.h"

namespace morvale {
namespace {

class HeteroServers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!servers_.Missing().empty()) GTEST_SKIP() << servers_.Missing() << " is not set";
    std::string e = servers_.SetUp();
    ASSERT_EQ(e, "");
    session_ = std::make_unique<TSession>("~~hetero-test~~");
    session_->ConfigMode = cfmSession;
    auto alias = [&](const std::string& name, const std::string& text) {
      TDriverKind kind;
      TStringList params;
      ASSERT_TRUE(ParseDatabaseText(text, kind, params));
      session_->AddAlias(name, DriverName(kind), params);
    };
    alias("LITE", "sqlite:" + test::DemoDatabase());
    alias("DBF", "dbf:" + servers_.Folder);
    alias("PG", servers_.PgUrl);
    alias("MY", servers_.MyUrl);
    // The own alias: a folder alias on a folder of no tables.
    const std::string own = test::FreshFolder("hetero-own");
    session_->AddStandardAlias(kHeteroAliasName, own, "");
    slots_ = std::make_unique<TConnectionSlots>(session_->SessionName());
    int i = 0;
    for (const char* name : {"LITE", "DBF", "PG", "MY"}) slots_->Use(i++, name);
    slots_->ConnectAll();
    SetRemoteObserver([this](const std::string& source, const std::string& sql, int64_t rows) {
      scans_.push_back({source, sql, rows});
    });
  }
  void TearDown() override {
    SetRemoteObserver(nullptr);
    slots_.reset();
    session_.reset();
    servers_.TearDown();
  }

  std::string Console(const std::string& sql) {
    TQuery q;
    q.SessionName = session_->SessionName();
    q.DatabaseName = kHeteroAliasName;
    q.SetFormatSettings(TFormatSettings::English());
    q.SQL.SetText(sql);
    q.Open();
    return test::THeteroServers::Csv(q);
  }
  std::string Reference() {
    auto ds = OpenQuery("sqlite:" + servers_.CopyDatabase, servers_.Join("", "", "", ""),
                        TFormatSettings::English());
    return test::THeteroServers::Csv(*ds);
  }

  struct TScan {
    std::string source, sql;
    int64_t rows;
  };
  int64_t RowsFrom(const std::string& source) const {
    int64_t n = 0;
    for (const TScan& s : scans_)
      if (s.source == source) n += s.rows;
    return n;
  }

  test::THeteroServers servers_;
  std::unique_ptr<TSession> session_;
  std::unique_ptr<TConnectionSlots> slots_;
  std::vector<TScan> scans_;
};

TEST_F(HeteroServers, JoinOfFourEnginesEqualsTheJoinOfTheCopies) {
  const std::string expected = Reference();
  // Six item lines of the four orders over 10 whose customer has a city.
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 7) << expected;
  EXPECT_EQ(Console(servers_.Join("LITE.", "DBF.", "PG.", "MY.")), expected);

  // Only the matching rows came from the servers: the orders (of an unknown size to SQLite, as
  // the server has no statistics of them yet) are looked up with the filter and the join value;
  // the items (a few rows by the server's statistics) are read once.
  std::string all;
  for (const TScan& s : scans_)
    all += s.source + " " + std::to_string(s.rows) + ": " + s.sql + "\n";
  int pgScans = 0;
  for (const TScan& s : scans_) {
    if (s.source != "PG") continue;
    ++pgScans;
    EXPECT_NE(s.sql.find("\"total\" > 10"), std::string::npos) << all;
    EXPECT_NE(s.sql.find(" = "), std::string::npos) << all;
    EXPECT_LE(s.rows, 1) << all;
  }
  EXPECT_GT(pgScans, 0) << all;
  EXPECT_LE(RowsFrom("MY"), test::THeteroServers::kItems) << all;

  // The quoted form of the same query.
  EXPECT_EQ(Console(servers_.Join("\":LITE:", "\":DBF:", "\":PG:", "\":MY:")), expected);
}

TEST_F(HeteroServers, ServerTypesReachTheResultAsTheEngineMapsThem) {
  TQuery q;
  q.SessionName = session_->SessionName();
  q.DatabaseName = kHeteroAliasName;
  q.SQL.SetText("SELECT o.id, o.total, o.ordered, o.note, i.qty, i.title FROM PG." +
                servers_.Orders + " o JOIN MY." + servers_.Items +
                " i ON i.order_id = o.id WHERE o.id = 4 ORDER BY i.line");
  q.Open();
  EXPECT_EQ(q.FieldByName("id").DataType, ftInteger);
  EXPECT_EQ(q.FieldByName("total").DataType, ftBCD);
  EXPECT_EQ(q.FieldByName("ordered").DataType, ftDateTime);
  EXPECT_EQ(q.FieldByName("note").DataType, ftString);
  EXPECT_EQ(q.FieldByName("note").Size, 40);
  EXPECT_EQ(q.FieldByName("title").AsString(), "Молоток");
  q.Next();
  EXPECT_TRUE(q.FieldByName("qty").IsNull());
  EXPECT_EQ(q.FieldByName("title").AsString(), "Drill");
}

TEST_F(HeteroServers, TwoTablesOfOneServerJoinWhileOneStreams) {
  // The outer scan holds the server connection while the inner one looks rows up on another
  // (kept between look-ups).
  const std::string csv = Console("SELECT a.id, b.note FROM PG." + servers_.Orders + " a JOIN PG." +
                                  servers_.Orders + " b ON b.id = a.id + 1 ORDER BY a.id");
  EXPECT_EQ(csv,
            "\"id\",\"note\"\r\n\"1\",\"\"\r\n\"2\",\"O'Neil \"\"quoted\"\"\"\r\n"
            "\"3\",\"Müller; Köln\"\r\n\"4\",\"Завод\"\r\n\"5\",\"small\"\r\n"
            "\"6\",\"no city\"\r\n");
}

TEST_F(HeteroServers, RefusedLoginStopsConnectAllWithTheServersMessage) {
  TDriverKind kind;
  TStringList params;
  ASSERT_TRUE(ParseDatabaseText(servers_.PgUrl, kind, params));
  params.SetValue("PASSWORD", "not-the-password");
  session_->AddAlias("PG_BAD", "POSTGRESQL", params);
  slots_->Use(4, "PG_BAD");
  slots_->Use(5, "LITE");
  slots_->DisconnectAll();
  try {
    slots_->ConnectAll();
    FAIL() << "the wrong password was taken";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("PG_BAD: "), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("password authentication failed"), std::string::npos)
        << e.what();
  }
  EXPECT_TRUE(slots_->SlotConnected(3));
  EXPECT_FALSE(slots_->SlotConnected(4));
  EXPECT_FALSE(slots_->SlotConnected(5));
  // A slot that is not connected is no schema of the query.
  try {
    Console("SELECT * FROM PG_BAD.x");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("база данных 'PG_BAD' не подключена"), std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace morvale
