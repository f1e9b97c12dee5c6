// One query read in ranges by several processes, all inside one snapshot of the database: --jobs
// (the processes on this machine, their shares joined into the one file), --plan (the snapshot
// held and the ranges printed, for parts started anywhere) and --part (one range of a plan).
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/splitreason.h"

namespace morvale::cli {

// A query as a range reader sees it: a SELECT of one table, its condition and its sort column.
struct TQueryShape {
  TSplitReason Why;     // None when the query can be read in ranges; else why not
  std::string Select;   // "SELECT a, b"
  std::string From;     // the FROM clause: the table, with its alias when it has one
  std::string Table;    // the table alone, as the query's SQL writes it
  std::string Where;    // the condition, or empty
  std::string OrderBy;  // the sort, or empty (only ever the --split-by column)
};
TQueryShape ShapeOf(const std::string& sql, const std::string& splitBy);
// The query of one range: the shape's query with `range` added to its condition.
std::string RangeQuery(const TQueryShape& shape, const std::string& range);

// The boundaries of n ranges over the integers [low, high]: n - 1 values, ascending.
std::vector<int64_t> SplitPoints(int64_t low, int64_t high, int n);

struct TPlanPart {
  std::string Query;   // the part's query
  std::string Output;  // the file the part writes
};

struct TPlan {
  std::string Server;    // "postgresql", "mysql", "sqlite"
  std::string Snapshot;  // PostgreSQL: the exported snapshot; SQLite: the file's change counter;
                         // MySQL: the plan's connection, and whether it holds the table
  std::string Query;     // the query of the whole export, as the command line gives it
  std::string Type;      // the --type word
  std::string Split;     // "pages", "rowid" or "key COLUMN"
  bool Joins = false;    // the parts' files are shares of one file, written one after the other
  // The parts report to the plan's run (--plan); those of --jobs do not, their run waits for
  // them itself.
  bool Reports = true;
  std::vector<TPlanPart> Parts;
  std::string Created;  // UTC, ISO 8601

  // The SHA-256 of everything above but the time: what a part checks the plan by.
  std::string Digest() const;
  // The id the parts report under: the digest's first 16 digits.
  std::string Id() const { return Digest().substr(0, 16); }
  std::string Json() const;
  // Raises EUsageError naming `fileName` when the text is no plan or its digest does not match.
  static TPlan FromJson(const std::string& text, const std::string& fileName);
};

// True for the types whose files are shares of one file.
bool TypeJoins(const std::string& type);
// True for the types --jobs writes as part files with a manifest.
bool TypeSplitsIntoFiles(const std::string& type);

// The ways in: each returns the exit status. `exportOne` runs the plain one-job export of `o`.
using TExportOne = std::function<int(const TCliOptions& o)>;
int RunJobs(const TCliOptions& o, std::ostream& err, const TExportOne& exportOne);
int RunPlan(const TCliOptions& o, TStream& out, std::ostream& err);
// `exportPart` exports `o` (its query and -o replaced by the part's) as a share when `first` or
// `last` is false, sets `rows` to the records written and returns the exit status.
using TExportPart = std::function<int(const TCliOptions& o, bool first, bool last, int64_t& rows)>;
int RunPart(const TCliOptions& o, std::ostream& err, const TExportPart& exportPart);

}  // namespace morvale::cli
