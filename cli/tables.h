// morvale-export --tables: which tables the patterns name, where their files go, and the line per
// table and the summary on standard error.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "export/dialog/tablebatch.h"

namespace morvale::cli {

// The tables of `database` the patterns of --tables name, with the table list's wildcards ('*'
// and '%' any run of characters, '?' and '_' one, letters without regard to case): each
// pattern's tables in the list's order, the patterns in their order, every table once. Views
// are tables of the list. A pattern that names no table is a usage error: a mistyped name must
// not pass for an empty export.
std::vector<std::string> MatchTables(const std::vector<std::string>& tableList,
                                     const std::vector<std::string>& patterns);

// The file name pattern of a run over several tables from -o: a folder (an existing one, or a
// name ending in '/') holds "${table}.${type}" in it; a pattern is taken as it is, and must
// tell the tables apart (${table} or ${n}) unless the tables go to one workbook. A plain file
// name is a usage error then, since every table would overwrite the one before.
std::string TablesOutputPattern(const std::string& output, bool oneWorkbook);

// The line of each table as it ends, and the summary.
class TTablesReport : public TTableBatchObserver {
 public:
  explicit TTablesReport(std::ostream& err) : err_(err) {}
  void TableStarting(int, int, const std::string&) override {}
  void TableDone(int number, int count, const TTableResult& result) override;
  // What the table's run counted, when it wrote a file of its own, and told (its notes), printed
  // with its line.
  long Records = -1;
  std::string Notes;
  // "N of M tables written" and the tables that failed; the exit status: 1 when any failed.
  int Summary(const TTableBatch& batch);

 private:
  std::ostream& err_;
};

}  // namespace morvale::cli
