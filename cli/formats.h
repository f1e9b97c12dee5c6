// The export types the command line offers, each a factory for a configured exporter.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/core/export.h"

namespace morvale::cli {

struct TCliExportType {
  std::string Name;         // the --type word
  std::string Description;  // shown by --help
  std::function<std::unique_ptr<TExport>()> Create;
  bool Streamable;  // may write to standard output with "-o -"
};

const std::vector<TCliExportType>& ExportTypes();
const TCliExportType* FindExportType(const std::string& name);

}  // namespace morvale::cli
