#include "tests/support/duckdb.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/demo.h"

namespace morvale::test {

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

std::string DuckDBTools() {
  return std::string(MORVALE_BINARY_DIR) + "/test-tools";
}

bool DuckDBAvailable(std::string& why) {
  const std::string package = DuckDBTools() + "/node_modules/@duckdb/node-api/package.json";
  if (Exists(package)) return true;
  std::string out;
  if (RunCommand("command -v npm && command -v node", out) != 0) {
    why =
        "npm and node are not installed (scripts/install-deps --tests): no DuckDB to read "
        "Parquet files with";
    return false;
  }
  // npm's ordinary client, into the build folder; the package brings DuckDB's own binary.
  const int status = RunCommand("mkdir -p " + ShellQuote(DuckDBTools()) +
                                    " && npm install --prefix " + ShellQuote(DuckDBTools()) +
                                    " --no-audit --no-fund --silent @duckdb/node-api 2>&1",
                                out);
  EXPECT_EQ(status, 0) << "npm install @duckdb/node-api failed:\n" << out;
  return status == 0 && Exists(package);
}

std::string DuckDBRead(const std::string& file, const std::string& mode, const std::string& query) {
  std::string out;
  const std::string errors = file + ".duckdb-errors";
  const int status = RunCommand(
      "MORVALE_DUCKDB_TOOLS=" + ShellQuote(DuckDBTools()) + " node " +
          ShellQuote(MORVALE_SOURCE_DIR "/tests/support/duckdb-read.cjs") + " " + ShellQuote(file) +
          " " + mode + " " + ShellQuote(query) + " 2>" + ShellQuote(errors),
      out);
  EXPECT_EQ(status, 0) << "DuckDB cannot read " << file << ": " << ReadFile(errors);
  return out;
}

}  // namespace morvale::test
