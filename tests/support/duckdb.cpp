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
  // Made once the whole package is in: its package.json is there long before its binary.
  const std::string installed = DuckDBTools() + "/.installed";
  if (Exists(installed)) return true;
  std::string out;
  if (RunCommand("command -v npm && command -v node", out) != 0) {
    why =
        "npm and node are not installed (scripts/install-deps --tests): no DuckDB to read "
        "Parquet files with";
    return false;
  }
  // npm's ordinary client, into the build folder; the package brings DuckDB's own binary. Tests
  // run side by side: one installs under the lock while the others wait, because npm replacing
  // the native library under a reader that has it mapped ends that reader with SIGBUS.
  const std::string install = "test -f " + ShellQuote(installed) + " || { npm install --prefix " +
                              ShellQuote(DuckDBTools()) +
                              " --no-audit --no-fund --silent @duckdb/node-api && touch " +
                              ShellQuote(installed) + "; }";
  const int status = RunCommand("mkdir -p " + ShellQuote(DuckDBTools()) + " && flock " +
                                    ShellQuote(DuckDBTools() + "/.install-lock") + " sh -c " +
                                    ShellQuote(install) + " 2>&1",
                                out);
  EXPECT_EQ(status, 0) << "npm install @duckdb/node-api failed:\n" << out;
  return status == 0 && Exists(installed);
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
