// The million-row table of the slow tests, made once into the build folder with sqlite3.
#pragma once

#include <unistd.h>

#include <string>

#include "tests/support/demo.h"

namespace morvale::test {

constexpr int kRows = 1000000;

// id, a name, an amount, a date and every tenth row a note (a memo column in dBASE).
inline const std::string& BigTable() {
  static const std::string path = [] {
    std::string db = std::string(MORVALE_BINARY_DIR) + "/tests/million.db";
    std::string out;
    RunCommand("sqlite3 " + ShellQuote(db) +
                   " \"SELECT count(*) FROM big WHERE (SELECT type FROM pragma_table_info('big') "
                   "WHERE name = 'note') = 'MEMO'\" 2>/dev/null",
               out);
    if (out != std::to_string(kRows) + "\n") {
      ::unlink(db.c_str());
      std::string sql =
          "CREATE TABLE big(id INTEGER PRIMARY KEY, name VARCHAR(30), amount DOUBLE, day DATE, "
          "note MEMO);"
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
          std::to_string(kRows) +
          ") INSERT INTO big SELECT i, 'Name ' || i, i * 1.25, "
          "date('2020-01-01', '+' || (i % 3650) || ' days'), "
          "CASE WHEN i % 10 = 0 THEN 'A note on row ' || i END FROM n;";
      if (RunCommand("sqlite3 " + ShellQuote(db) + " " + ShellQuote(sql), out) != 0) db.clear();
    }
    return db;
  }();
  return path;
}

}  // namespace morvale::test
