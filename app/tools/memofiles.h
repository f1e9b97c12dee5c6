// One text file per record for a memo column: the files are named after the table, the memo field
// and a record number or the value of an identifying field, and always land in the export folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "export/core/dataset.h"

namespace morvale {

struct TMemoExport {
  std::string Folder;     // the export folder, ending in '/'
  std::string TableName;  // the selected table; empty gives "Unknown"
  std::string MemoField;  // as the box holds it; MemoFieldName normalises it
  std::string IdField;    // as the box holds it; empty: files are numbered
};

struct TMemoExportResult {
  std::string BaseName;  // folder + table part + memo field + "-"
  int Records = 0;       // records read
  int Files = 0;         // files written
};

// Called once per record with the progress in percent, so that a window can process its messages.
using TMemoProgress = std::function<void(int percent)>;

// The memo field's name as its box shows it before the run: trimmed and upper-cased.
std::string MemoFieldName(std::string_view typed);
// folder + table part + "_" + memo field + "-". The table and field parts are made safe, so that
// no part of the name leaves the folder.
std::string MemoBaseName(const std::string& folder, std::string_view table,
                         std::string_view memoField);
// The file of record n (from 1): base + value + ".txt" with an identifying field whose trimmed
// value is not empty (made safe: "/" and the other characters SafeFileName replaces become "_"),
// base + "~_" + n + ".txt" when that value is empty, base + n + ".txt" without an identifying
// field.
std::string MemoFileName(const std::string& base, bool hasIdField, std::string_view idValue, int n);

// Writes the memo text of every record that holds a non-blank line to its file (lines ended by
// CR LF); a later record of the same name replaces the earlier file. The files appear together
// when the walk has finished; a walk that fails leaves every earlier file as it was. Raises
// "MEMO-поле указано некорректно ..." for an empty or non-memo field and the engine's "Field '%s'
// not found" for a name the dataset lacks. The dataset is left after its last record.
TMemoExportResult ExportMemoFiles(TDataSet& ds, const TMemoExport& job,
                                  const TMemoProgress& progress = {});

}  // namespace morvale
