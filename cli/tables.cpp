#include "cli/tables.h"

#include <algorithm>
#include <filesystem>

#include "app/engine/sqltext.h"
#include "cli/options.h"

namespace morvale::cli {

std::vector<std::string> MatchTables(const std::vector<std::string>& tableList,
                                     const std::vector<std::string>& patterns) {
  std::vector<std::string> tables;
  for (const std::string& pattern : patterns) {
    bool matched = false;
    for (const std::string& name : tableList) {
      if (!MatchesTablePattern(name, pattern)) continue;
      matched = true;
      if (std::find(tables.begin(), tables.end(), name) == tables.end()) tables.push_back(name);
    }
    if (!matched) throw EUsageError("No table matches '" + pattern + "' given to --tables");
  }
  return tables;
}

std::string TablesOutputPattern(const std::string& output, bool oneWorkbook) {
  if (IsFileNamePattern(output)) {
    if (!oneWorkbook && !PatternNamesEachTable(output))
      throw EUsageError("-o '" + output +
                        "' gives every table the same name: put ${table} or ${n} in it");
    return output;
  }
  std::error_code ec;
  if (output.ends_with('/') || std::filesystem::is_directory(output, ec))
    return output + (output.ends_with('/') ? "" : "/") + "${table}.${type}";
  if (oneWorkbook) return output;
  throw EUsageError("-o '" + output +
                    "' names one file: give --tables a folder, or a name with ${table} or ${n}");
}

void TTablesReport::TableDone(int number, int count, const TTableResult& r) {
  err_ << "morvale-export: [" << number << "/" << count << "] " << r.Table << ": ";
  switch (r.Status) {
    case tsWritten:
      if (const long records = r.Records >= 0 ? r.Records : Records; records >= 0)
        err_ << records << " records ";
      err_ << "-> " << r.FileName;
      break;
    case tsFailed:
      err_ << "failed: " << r.Error;
      break;
    default:
      err_ << "stopped";
      break;
  }
  err_ << "\n" << Notes;
  Records = -1;
  Notes.clear();
}

int TTablesReport::Summary(const TTableBatch& batch) {
  const std::vector<std::string> failed = batch.FailedTables();
  err_ << "morvale-export: " << batch.Count(tsWritten) << " of " << batch.Results().size()
       << " tables written";
  if (!failed.empty()) {
    err_ << "; failed:";
    for (const std::string& t : failed) err_ << (&t == &failed.front() ? " " : ", ") << t;
  }
  err_ << "\n";
  return failed.empty() && batch.Count(tsWritten) == static_cast<int>(batch.Results().size()) ? 0
                                                                                              : 1;
}

}  // namespace morvale::cli
