#include "app/engine/connect.h"
#include "app/engine/session.h"
#include "tests/support/demo.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace morvale {
namespace {

namespace fs = std::filesystem;

class Connect : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = test::FreshFolder("connect"); }
  void TearDown() override {
    TSession::Default().SetActive(false);
    fs::remove_all(dir_);
  }
  std::string MakeDatabase(const std::string& name, const std::string& sql) {
    std::string path = (dir_ / name).string();
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    return path;
  }
  std::string Error(const std::string& database, const std::string& sql = "SELECT 1") {
    try {
      OpenQuery(database, sql, TFormatSettings());
    } catch (const Exception& e) {
      return e.what();
    }
    return "(no error)";
  }
  fs::path dir_;
};

TEST_F(Connect, OpensASqliteFileAndRunsATableQuery) {
  std::string path = MakeDatabase("parts.db",
                                  "CREATE TABLE parts (name VARCHAR(10), qty INTEGER);"
                                  "INSERT INTO parts VALUES ('Bolt', 12), ('Nut', 7);");
  EXPECT_EQ(TableQuery("sqlite:" + path, "parts"), "SELECT *\nFROM parts");
  auto ds = OpenQuery("sqlite:" + path, TableQuery("sqlite:" + path, "parts"), TFormatSettings());
  ASSERT_TRUE(ds->Active());
  ASSERT_EQ(ds->FieldCount(), 2);
  EXPECT_EQ(ds->Fields(0).FieldName, "name");
  EXPECT_EQ(ds->Fields(0).AsString(), "Bolt");
  EXPECT_EQ(ds->Fields(1).AsString(), "12");
  ds->Next();
  EXPECT_EQ(ds->Fields(0).AsString(), "Nut");
  EXPECT_EQ(ds->RecordCount(), 2);
}

TEST_F(Connect, DatabaseNamesNeverCreateOrSurprise) {
  std::string missing = (dir_ / "missing.db").string();
  EXPECT_EQ(Error("sqlite:" + missing),
            "Cannot open the database \"" + missing + "\": unable to open database file");
  EXPECT_FALSE(fs::exists(missing));

  // Names that SQLite would otherwise read as a URI or an in-memory database are files too.
  fs::path before = fs::current_path();
  fs::current_path(dir_);
  EXPECT_NE(Error("sqlite::memory:"), "(no error)");
  EXPECT_NE(Error("sqlite:file:x.db?mode=rwc"), "(no error)");
  EXPECT_TRUE(fs::is_empty(dir_));
  MakeDatabase("file:odd.db", "CREATE TABLE t (a); INSERT INTO t VALUES (5);");
  auto ds = OpenQuery("sqlite:file:odd.db", "SELECT a FROM t", TFormatSettings());
  EXPECT_EQ(ds->Fields(0).AsString(), "5");
  fs::current_path(before);

  std::ofstream(dir_ / "notes.txt") << "not a database, just some text that is long enough";
  EXPECT_EQ(
      Error("sqlite:" + (dir_ / "notes.txt").string()),
      "Cannot open the database \"" + (dir_ / "notes.txt").string() + "\": file is not a database");
  EXPECT_EQ(Error("sqlite:"), "No database file is given");
  EXPECT_EQ(Error("oracle:x"), "Unknown database alias 'oracle:x'");
}

TEST_F(Connect, DatabaseIsOpenedReadOnly) {
  std::string path = MakeDatabase("ro.db", "CREATE TABLE t (a)");
  EXPECT_EQ(Error("sqlite:" + path, "INSERT INTO t VALUES (1) RETURNING a"),
            "attempt to write a readonly database");
}

}  // namespace
}  // namespace morvale
