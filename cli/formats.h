// The export types the command line offers: the words of the registry of export types
// (export/dialog/exporttypes.h) in the order --help lists them, and the SDF file, which only the
// command line writes.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/core/dataset.h"
#include "export/core/export.h"
#include "export/dialog/exporttypes.h"

namespace morvale::cli {

struct TCliExportType {
  std::string Name;         // the --type word
  std::string Description;  // shown by --help
  std::function<std::unique_ptr<TExport>()> Create;
  bool Streamable;          // may write to standard output with "-o -"
  bool NeedsOutput = true;  // false: the type writes no file (the clipboard), -o may be left out
  // A type that is no exporter (the SDF file): writes the whole open query to the file `output`,
  // or to `out` when `output` is "-". Create is empty for it.
  std::function<void(TDataSet& ds, const std::string& output, TStream& out)> WriteQuery;
  // Memo and binary columns go to a second file named after the output (the dBASE memo file), so
  // with "-o -" they would be lost: such an export is refused instead.
  bool BlobsNeedFile = false;
  // The registry's type of the word; nullptr for the SDF file.
  const TExportTypeInfo* Info = nullptr;
  // The dialog type whose options files the word reads and writes; nullptr when it has none.
  const TExportTypeInfo* OptionsType = nullptr;
  // Whether --split-rows, --split-size, --compress and --manifest apply.
  bool TextParts = false;
};

const std::vector<TCliExportType>& ExportTypes();
const TCliExportType* FindExportType(const std::string& name);

}  // namespace morvale::cli
