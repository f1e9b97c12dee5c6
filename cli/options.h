// The command line of morvale-export, parsed into one value before anything is opened.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/core/classes.h"
#include "export/core/parts.h"

namespace morvale::cli {

// A usage error: the message names the argument at fault.
class EUsageError : public Exception {
 public:
  using Exception::Exception;
};

struct TCliOptions {
  std::string Database;  // --db
  // --attach NAME=DATABASE (or ALIAS alone): databases read as NAME.table in the same query
  std::vector<std::pair<std::string, std::string>> Attach;
  std::string Table;  // --table
  // --tables: patterns of the table list; every table they name is exported with the same
  // settings, each to a file of its own (or to one workbook, a sheet each)
  std::vector<std::string> Tables;
  std::string Sql;     // --sql, or the contents of --sql-file
  std::string Type;    // --type
  std::string Output;  // -o; "-" is standard output
  std::vector<std::string> Fields;
  bool NoCaptions = false;
  int Skip = 0;
  int Count = 0;
  bool CurrentRecordOnly = false;
  bool HasTitle = false;
  std::string Title;
  std::vector<std::string> Headers, Footers, Captions;
  std::vector<std::pair<std::string, std::string>> Formats;  // kind, format
  std::vector<std::pair<std::string, std::string>> Sets;     // property path, value
  std::string HtmlTemplate;  // --html-template: a colour template file, loaded before --set
  std::string XlsExtras;     // --xls-extras: the sheet's extras from an options file
  bool ListProperties = false;
  std::string Encoding;  // --encoding: the property identifier of the output's encoding
  // --split-rows, --split-size, --compress, --manifest
  TOutputParts Parts;
  bool HasLocale = false;
  std::string Locale;
  bool Progress = false;
  bool Help = false;
  bool ListAliases = false;  // --list-aliases
  bool ListTables = false;   // --list-tables, of --db
  std::string Pattern;       // --pattern for --list-tables ("*.*" when not given)
  // --options FILE: an export dialog options file. The options given before it are what the file
  // overrides, those after it override the file; Before and After hold them apart, and AfterArgs
  // the arguments themselves (to tell a value given from a default).
  std::string OptionsFile;
  std::shared_ptr<TCliOptions> Before, After;
  std::vector<std::string> AfterArgs;
  // --save-options FILE: the options file of what this command line sets.
  std::string SaveOptionsFile;
  // Reading in ranges (cli/jobs.h): --jobs N, --plan N, --part K/N, --plan-file, --split-by,
  // --plan-timeout.
  int Jobs = 0;
  int Plan = 0;
  int Part = 0, PartOf = 0;
  std::string PlanFile;
  std::string SplitBy;
  int PlanTimeout = 3600;  // seconds
  // The command line as given, which the jobs of --jobs are started with.
  std::vector<std::string> Args;
  // Set by the run of a part, not by an option: the share of the file it writes, and where the
  // records written go.
  bool ShareOpening = true, ShareClosing = true;
  int64_t* RecordsWritten = nullptr;
};

// `args` without the options named (and their values), in any of their spellings.
std::vector<std::string> ArgsWithout(const std::vector<std::string>& args,
                                     const std::vector<std::string>& names);

// Raises EUsageError for unknown options, missing or malformed values, and missing required ones.
TCliOptions ParseOptions(const std::vector<std::string>& args);
// The options file's type and target become the command line's when it gives none (after the
// file); an unreadable file is a usage error with the system's message. (cli/dialogfile.cpp)
void ApplyOptionsFileDefaults(TCliOptions& o);
std::string UsageText();

}  // namespace morvale::cli
