// A million rows to Parquet through the built morvale-export: read back by DuckDB (npm
// @duckdb/node-api) with the same sums, counts and sample rows as the source, and written in
// flat memory (the peak resident size of the process stays under 60 MB).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/demo.h"
#include "tests/support/duckdb.h"

namespace morvale::test {
namespace {

constexpr int kRows = 1000000;
constexpr long kMemoryLimitKB = 60 * 1024;

// Integers, a repetitive Cyrillic text, a unique text, a decimal, a double, a date before and
// after 1970, a date-time with microseconds, a flag, and a note that is NULL on most rows.
const std::string& MillionTable() {
  static const std::string path = [] {
    std::string db = std::string(MORVALE_BINARY_DIR) + "/tests/parquet-million.db";
    std::string out;
    RunCommand("sqlite3 " + ShellQuote(db) + " 'SELECT count(*) FROM m' 2>/dev/null", out);
    if (out != std::to_string(kRows) + "\n") {
      ::unlink(db.c_str());
      const std::string sql =
          "CREATE TABLE m(id INTEGER PRIMARY KEY, city VARCHAR(20), name VARCHAR(30), "
          "amount NUMERIC(12,2), ratio DOUBLE, day DATE, stamp DATETIME, flag BOOLEAN, "
          "note TEXT);"
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
          std::to_string(kRows) +
          ") INSERT INTO m SELECT i, CASE i % 4 WHEN 0 THEN 'Москва' WHEN 1 THEN 'London' "
          "WHEN 2 THEN 'Köln' ELSE 'New York' END, 'Customer ' || i, (i % 100000) / 100.0, "
          "i / 7.0, date('1960-01-01', '+' || (i % 30000) || ' days'), "
          "strftime('%Y-%m-%d %H:%M:%S', '2000-01-01', '+' || i || ' minutes') || '.' || "
          "substr('000000' || (i % 1000000), -6), i % 2, "
          "CASE WHEN i % 10 = 0 THEN 'Note \"' || i || '\"' END FROM n;";
      if (RunCommand("sqlite3 " + ShellQuote(db) + " " + ShellQuote(sql), out) != 0) db.clear();
    }
    return db;
  }();
  return path;
}

// Runs the program to its end; its peak resident size in kilobytes, or -1 when it failed.
long RunMeasured(const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

TEST(ParquetMillion, ReadBackByDuckDBInFlatMemory) {
  std::string why;
  if (!DuckDBAvailable(why)) GTEST_SKIP() << why;
  ASSERT_FALSE(MillionTable().empty());
  const std::string file = FreshFolder("million") + "m.parquet";
  const long peak = RunMeasured(
      {MORVALE_EXPORT_PROGRAM, "--db", "sqlite:" + MillionTable(), "--table", "m", "--fields",
       "id,city,name,amount,ratio,day,stamp,flag,note", "--type", "parquet", "-o", file});
  ASSERT_GT(peak, 0) << "morvale-export failed";
  EXPECT_LT(peak, kMemoryLimitKB) << "peak resident memory " << peak / 1024 << " MB";
  std::cout << "[ parquet ] 1,000,000 rows, peak resident memory " << peak / 1024 << " MB\n";

  // The same aggregates from both sides; amounts summed exactly as cents.
  const std::string aggregates =
      "SELECT count(*), sum(id), count(DISTINCT city), count(DISTINCT name), "
      "CAST(round(sum(amount) * 100) AS BIGINT), round(sum(ratio), 3), min(day), max(day), "
      "strftime(min(stamp), '%Y-%m-%d %H:%M:%S.%f'), strftime(max(stamp), '%Y-%m-%d %H:%M:%S.%f'), "
      "sum(flag::INT), count(note)";
  std::string source;
  ASSERT_EQ(RunCommand("sqlite3 -separator '|' " + ShellQuote(MillionTable()) + " " +
                           ShellQuote("SELECT count(*), sum(id), count(DISTINCT city), "
                                      "count(DISTINCT name), CAST(round(sum(amount) * 100) AS "
                                      "INTEGER), round(sum(ratio), 3), min(day), max(day), "
                                      "min(stamp), max(stamp), sum(flag), count(note) FROM m"),
                       source),
            0);
  std::string read = DuckDBRead(file, "sql", aggregates + " FROM t");
  // ["a","b",...] to a|b|...
  std::string joined;
  for (char c : read)
    if (c == ',')
      joined += '|';
    else if (c != '"' && c != '[' && c != ']')
      joined += c;
  EXPECT_EQ(joined, source);

  // Sample rows, every value as text on both sides.
  const std::string where = " WHERE id % 99991 = 7 ORDER BY id";
  std::string sampleSource;
  RunCommand("sqlite3 -separator '|' " + ShellQuote(MillionTable()) + " " +
                 ShellQuote("SELECT id, city, name, printf('%.2f', amount), day, stamp, flag, "
                            "coalesce(note, 'NULL') FROM m" +
                            where),
             sampleSource);
  std::string sample = DuckDBRead(file, "sql",
                                  "SELECT id, city, name, amount, day, strftime(stamp, "
                                  "'%Y-%m-%d %H:%M:%S.%f'), flag::INT, coalesce(note, 'NULL') "
                                  "FROM t" +
                                      where);
  std::string sampleJoined;
  for (size_t i = 0; i < sample.size(); ++i) {
    const char c = sample[i];
    if (c == '\\' && i + 1 < sample.size())
      sampleJoined += sample[++i];
    else if (c == '"' && i + 2 < sample.size() && sample[i + 1] == ',' && sample[i + 2] == '"') {
      sampleJoined += '|';
      i += 2;
    } else if (c != '"' && c != '[' && c != ']')
      sampleJoined += c;
  }
  EXPECT_EQ(sampleJoined, sampleSource);
}

}  // namespace
}  // namespace morvale::test
