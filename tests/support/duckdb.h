// DuckDB as the independent reader of Parquet files: the npm package @duckdb/node-api, installed
// on first use into the build folder's test-tools, run by node with tests/support/duckdb-read.cjs.
#pragma once

#include <string>

namespace morvale::test {

// False, with the reason, when npm (and so node) is not there: the caller skips. An install that
// fails with npm present is no reason to skip; it fails the calling test.
bool DuckDBAvailable(std::string& why);
// What duckdb-read.cjs prints for `file` in `mode` ("describe", "rows", or "sql" with `query`
// over the view t); raises a test failure with DuckDB's message when it cannot read the file.
std::string DuckDBRead(const std::string& file, const std::string& mode,
                       const std::string& query = "");
// The folder holding node_modules/@duckdb/node-api.
std::string DuckDBTools();

}  // namespace morvale::test
