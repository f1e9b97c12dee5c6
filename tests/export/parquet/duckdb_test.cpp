// Parquet files written by morvale-export, read back by DuckDB (npm @duckdb/node-api): the
// column types DuckDB's DESCRIBE shows, and every value equal to the source's as SQLite holds
// it, for the demo database and a table of awkward names and edge values.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "export/parquet/file.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/duckdb.h"

namespace morvale::test {
namespace {

#define SKIP_WITHOUT_DUCKDB()                       \
  do {                                              \
    std::string why;                                \
    if (!DuckDBAvailable(why)) GTEST_SKIP() << why; \
  } while (false)

using TRow = std::vector<std::optional<std::string>>;

// One line of duckdb-read.cjs: a JSON array of strings and nulls.
TRow ParseRow(std::string_view line) {
  TRow row;
  size_t i = 1;
  while (i < line.size() && line[i] != ']') {
    if (line[i] == ',') ++i;
    if (line.compare(i, 4, "null") == 0) {
      row.emplace_back();
      i += 4;
      continue;
    }
    std::string s;
    for (++i; line[i] != '"'; ++i) {
      if (line[i] != '\\') {
        s += line[i];
        continue;
      }
      const char e = line[++i];
      if (e == 'n')
        s += '\n';
      else if (e == 't')
        s += '\t';
      else if (e == 'r')
        s += '\r';
      else if (e == 'b')
        s += '\b';
      else if (e == 'f')
        s += '\f';
      else if (e == 'u') {
        s += static_cast<char>(std::stoi(std::string(line.substr(i + 1, 4)), nullptr, 16));
        i += 4;
      } else
        s += e;
    }
    ++i;
    row.push_back(std::move(s));
  }
  return row;
}

std::vector<TRow> ParseRows(const std::string& text) {
  std::vector<TRow> rows;
  size_t at = 0;
  for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    rows.push_back(ParseRow(std::string_view(text).substr(at, end - at)));
  return rows;
}

std::vector<std::string> Types(const std::string& describe) {
  std::vector<std::string> types;
  size_t at = 0;
  for (size_t end; (end = describe.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = describe.substr(at, end - at);
    types.push_back(line.substr(line.find('\t') + 1));
  }
  return types;
}

// A date-time text without the zeros that end its fraction: both sides write it in ISO 8601,
// one with a 'T' or without a time of day.
std::string NormalTime(std::string s, bool withTime) {
  if (s.size() > 10 && s[10] == 'T') s[10] = ' ';
  if (withTime && s.size() == 10) s += " 00:00:00";
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

std::string Hex(const void* data, int size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  for (int i = 0; i < size; ++i) {
    const auto b = static_cast<const unsigned char*>(data)[i];
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

// What the value DuckDB read (as text, of `type`) must be, given the source value as SQLite
// holds it; empty when they agree.
std::string Compare(const std::string& type, const std::optional<std::string>& duck,
                    sqlite3_stmt* st, int column) {
  const int kind = sqlite3_column_type(st, column);
  if (kind == SQLITE_NULL || !duck)
    return (kind == SQLITE_NULL) == !duck ? "" : "NULL on one side only";
  const std::string source =
      kind == SQLITE_BLOB ? Hex(sqlite3_column_blob(st, column), sqlite3_column_bytes(st, column))
                          : reinterpret_cast<const char*>(sqlite3_column_text(st, column));
  const std::string& d = *duck;
  bool same;
  if (type == "BOOLEAN") {
    same = d == (sqlite3_column_int64(st, column) != 0 ? "true" : "false");
  } else if (type == "DOUBLE") {
    same = std::strtod(d.c_str(), nullptr) == sqlite3_column_double(st, column);
  } else if (type.starts_with("DECIMAL(")) {
    const int scale = std::atoi(type.c_str() + type.find(',') + 1);
    const size_t point = d.find('.');
    const long double a = std::strtold(d.c_str(), nullptr),
                      b = std::strtold(source.c_str(), nullptr);
    same = (scale == 0 ? point == std::string::npos : d.size() - point - 1 == size_t(scale));
    if (kind == SQLITE_INTEGER)  // every digit, more than a double holds
      same = same && d == source + (scale ? "." + std::string(size_t(scale), '0') : "");
    else  // a REAL as SQLite shows it (15 digits), to the column's scale
      same = same && std::fabs(a - b) <= std::max(0.5L * std::pow(10.0L, -scale) * 1.000001L,
                                                  std::fabs(b) * 1e-14L);
  } else if (type == "DATE") {
    same = d == source.substr(0, 10);
  } else if (type.starts_with("TIMESTAMP") || type == "TIME") {
    same = NormalTime(d, type != "TIME") == NormalTime(source, type != "TIME");
  } else {
    same = d == source;  // integers as digits, texts and BLOBs (hex) as they are
  }
  return same ? ""
              : "DuckDB read '" + d.substr(0, 100) + "', the source holds '" +
                    source.substr(0, 100) + "'";
}

// Exports `table` to Parquet and compares DuckDB's reading of it with SQLite's, row by row.
// Returns DuckDB's column types.
std::vector<std::string> ExportAndCompare(const std::string& db, const std::string& table,
                                          const std::string& fields,
                                          std::vector<std::string> extra = {}) {
  const std::string file = FreshFolder("parquet") + "out.parquet";
  std::vector<std::string> args = {"--db", "sqlite:" + db, "--table", table, "--fields",
                                   fields, "--type",       "parquet", "-o",  file};
  args.insert(args.end(), extra.begin(), extra.end());
  const Result r = Cli(args);
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> types = Types(DuckDBRead(file, "describe"));
  const std::vector<TRow> rows = ParseRows(DuckDBRead(file, "rows"));

  sqlite3* handle = nullptr;
  EXPECT_EQ(sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  auto quote = [](const std::string& name) {
    std::string q = "\"";
    for (char c : name) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
  };
  std::string select;
  for (size_t at = 0, end; at <= fields.size(); at = end + 1) {
    end = std::min(fields.find(',', at), fields.size());
    select += (select.empty() ? "" : ", ") + quote(fields.substr(at, end - at));
  }
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(handle, ("SELECT " + select + " FROM " + quote(table)).c_str(), -1,
                               &st, nullptr),
            SQLITE_OK)
      << sqlite3_errmsg(handle);
  size_t n = 0;
  for (; sqlite3_step(st) == SQLITE_ROW; ++n) {
    if (n >= rows.size()) break;
    EXPECT_EQ(rows[n].size(), types.size());
    for (size_t c = 0; c < types.size() && c < rows[n].size(); ++c)
      EXPECT_EQ(Compare(types[c], rows[n][c], st, static_cast<int>(c)), "")
          << table << " row " << n + 1 << " column " << sqlite3_column_name(st, int(c)) << " ("
          << types[c] << ")";
  }
  EXPECT_EQ(n, rows.size()) << table << ": rows in the source and in the file";
  sqlite3_finalize(st);
  sqlite3_close(handle);
  return types;
}

std::string Joined(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& x : v) s += (s.empty() ? "" : ",") + x;
  return s;
}

TEST(ParquetDuckDB, DemoTablesReadBackWithTheirTypesAndValues) {
  SKIP_WITHOUT_DUCKDB();
  const std::map<std::string, std::string> expected = {
      {"customers", "BIGINT,VARCHAR,VARCHAR,VARCHAR,BOOLEAN,DATE,VARCHAR"},
      {"products", "BIGINT,VARCHAR,VARCHAR,DOUBLE,DOUBLE,SMALLINT,BOOLEAN,TIMESTAMP,VARCHAR"},
      {"orders", "BIGINT,BIGINT,TIMESTAMP,DATE,TIME,DECIMAL(12,2),BOOLEAN,VARCHAR"},
      {"order_items", "BIGINT,SMALLINT,BIGINT,BIGINT,DOUBLE,DOUBLE,BIGINT"},
  };
  for (const auto& [table, types] : expected)
    EXPECT_EQ(Joined(ExportAndCompare(DemoDatabase(), table, DemoFields(table))), types) << table;
}

std::string AwkwardParquetDatabase() {
  const std::string db = FreshFolder("awkward") + "awkward.db";
  std::string out;
  EXPECT_EQ(
      RunCommand("sqlite3 " + ShellQuote(db) + " < " +
                     ShellQuote(MORVALE_SOURCE_DIR "/tests/export/parquet/awkward.sql") + " 2>&1",
                 out),
      0)
      << out;
  return db;
}

constexpr const char* kAwkwardTable = "Заказы \"всё\"";
constexpr const char* kAwkwardFields =
    "№,Имя клиента,it's \"q\",Сумма,Big Decimal,tiny,mid,ratio,flag,born,stamp,at,picture,"
    "plain number";

TEST(ParquetDuckDB, AwkwardNamesAndEdgeValuesReadBackExactly) {
  SKIP_WITHOUT_DUCKDB();
  const std::string db = AwkwardParquetDatabase();
  EXPECT_EQ(Joined(ExportAndCompare(db, kAwkwardTable, kAwkwardFields)),
            "BIGINT,VARCHAR,VARCHAR,DECIMAL(12,2),DECIMAL(30,6),SMALLINT,INTEGER,DOUBLE,BOOLEAN,"
            "DATE,TIMESTAMP,TIME,BLOB,DOUBLE");
  // The names as written, and the values a double would have rounded, to the last digit.
  const std::string file = FreshFolder("names") + "names.parquet";
  ASSERT_EQ(Cli({"--db", "sqlite:" + db, "--table", kAwkwardTable, "--fields", kAwkwardFields,
                 "--type", "parquet", "-o", file})
                .status,
            0);
  const std::string names = "№\tBIGINT\nИмя клиента\tVARCHAR\nit's \"q\"\tVARCHAR\n";
  EXPECT_EQ(DuckDBRead(file, "describe").substr(0, names.size()), names);
  EXPECT_EQ(DuckDBRead(file, "sql",
                       "SELECT \"Big Decimal\"::VARCHAR, stamp::VARCHAR, \"at\"::VARCHAR, "
                       "born::VARCHAR FROM t ORDER BY \"№\""),
            "[\"1234567890123456789.000000\",\"2024-02-29 23:59:59.123456\","
            "\"14:30:05.250001\",\"1969-07-20\"]\n"
            "[\"-0.000001\",\"1950-06-01 00:00:00.000001\",\"00:00:00\",\"1899-12-30\"]\n"
            "[\"0.000000\",\"1899-12-29 06:00:00\",\"23:59:59.999999\",\"0001-01-01\"]\n"
            "[null,null,null,null]\n");
}

TEST(ParquetDuckDB, UncompressedPagesAndMillisecondTimes) {
  SKIP_WITHOUT_DUCKDB();
  const std::string db = AwkwardParquetDatabase();
  const std::string file = FreshFolder("ms") + "ms.parquet";
  ASSERT_EQ(
      Cli({"--db", "sqlite:" + db, "--table", kAwkwardTable, "--fields", "stamp,at", "--type",
           "parquet", "-o", file, "--set", "Compression=pcNone", "--set", "TimeUnit=ptuMillis"})
          .status,
      0);
  // DuckDB reads milliseconds into its own microseconds: the file's schema says what was written.
  EXPECT_EQ(DuckDBRead(file, "sql",
                       "SELECT name, type, logical_type FROM parquet_schema('" + file +
                           "') WHERE type IS NOT NULL"),
            "[\"stamp\",\"INT64\",\"TimestampType(isAdjustedToUTC=0, unit=TimeUnit(MILLIS="
            "MilliSeconds(), MICROS=<null>, NANOS=<null>))\"]\n"
            "[\"at\",\"INT32\",\"TimeType(isAdjustedToUTC=0, unit=TimeUnit(MILLIS=MilliSeconds(), "
            "MICROS=<null>, NANOS=<null>))\"]\n");
  EXPECT_EQ(
      DuckDBRead(file, "sql", "SELECT DISTINCT compression FROM parquet_metadata('" + file + "')"),
      "[\"UNCOMPRESSED\"]\n");
  // Cut to the millisecond, never rounded into the next second or day; before 1900 too.
  EXPECT_EQ(DuckDBRead(file, "rows"),
            "[\"2024-02-29 23:59:59.123\",\"14:30:05.25\"]\n"
            "[\"1950-06-01 00:00:00\",\"00:00:00\"]\n"
            "[\"1899-12-29 06:00:00\",\"23:59:59.999\"]\n"
            "[null,null]\n");
}

// Many row groups, a dictionary that outgrows its bounds half-way and one that does not, pages
// of NULLs: in-process, with row groups made small.
TEST(ParquetDuckDB, RowGroupsAndDictionaryFallbackKeepEveryValue) {
  SKIP_WITHOUT_DUCKDB();
  const std::string dir = FreshFolder("groups");
  const std::string db = dir + "groups.db";
  std::string out;
  ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db) + " " +
                           ShellQuote("CREATE TABLE g(id INTEGER, unique_text VARCHAR(20), "
                                      "city VARCHAR(20), maybe VARCHAR(5));"
                                      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                      "FROM n WHERE i < 150000) INSERT INTO g SELECT i, "
                                      "'Текст ' || i, CASE i % 3 WHEN 0 THEN 'Москва' WHEN 1 "
                                      "THEN 'Köln' ELSE NULL END, CASE WHEN i > 100000 THEN "
                                      "'x' END FROM n;"),
                       out),
            0);
  const size_t saved = parquet::TParquetFile::RowGroupBytes;
  parquet::TParquetFile::RowGroupBytes = 512 << 10;
  const std::string file = dir + "g.parquet";
  const Result r = Cli({"--db", "sqlite:" + db, "--table", "g", "--type", "parquet", "-o", file});
  parquet::TParquetFile::RowGroupBytes = saved;
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(DuckDBRead(file, "sql",
                       "SELECT count(*), sum(id), count(DISTINCT unique_text), "
                       "sum(CASE WHEN unique_text = 'Текст ' || id THEN 1 END), "
                       "count(city), count(DISTINCT city), count(maybe), "
                       "(SELECT count(*) FROM parquet_metadata('" +
                           file + "') WHERE column_id = 0) > 3 FROM t"),
            "[\"150000\",\"11250075000\",\"150000\",\"150000\",\"100000\",\"2\",\"50000\","
            "\"true\"]\n");
}

// SQLite keeps whatever it is given: an empty text in a DATE column is the NULL it stands for, a
// word in an INTEGER column stops the run with the record, value and column named, and the file
// that stood there stays as it was.
TEST(ParquetCli, WhatAColumnCannotHoldIsNamedAndThePreviousFileStays) {
  const std::string dir = FreshFolder("refuse");
  const std::string db = dir + "r.db";
  std::string out;
  ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db) + " " +
                           ShellQuote("CREATE TABLE r(n INTEGER, d DATE);"
                                      "INSERT INTO r VALUES (1, ''), (2, '2020-02-02');"
                                      "CREATE TABLE bad(n INTEGER);"
                                      "INSERT INTO bad VALUES (1), ('abc');"),
                       out),
            0);
  const std::string file = dir + "r.parquet";
  Result r = Cli({"--db", "sqlite:" + db, "--table", "r", "--type", "parquet", "-o", file});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string before = ReadFile(file);
  EXPECT_EQ(before.substr(0, 4), "PAR1");
  EXPECT_EQ(before.substr(before.size() - 4), "PAR1");
  // Written front to back, so standard output takes it as well.
  r = Cli({"--db", "sqlite:" + db, "--table", "r", "--type", "parquet", "-o", "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, before);

  r = Cli({"--db", "sqlite:" + db, "--table", "bad", "--type", "parquet", "-o", file});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Record 2: the value 'abc' does not fit the Parquet column 'n' of its type"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(file), before);

  std::string why;
  if (!DuckDBAvailable(why)) GTEST_SKIP() << why;
  EXPECT_EQ(DuckDBRead(file, "rows"), "[\"1\",null]\n[\"2\",\"2020-02-02\"]\n");
}

}  // namespace
}  // namespace morvale::test
