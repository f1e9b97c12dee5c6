#include "cli/formats.h"

#include "export/text/ascii.h"
#include "export/xls/exportxls.h"

namespace morvale::cli {

namespace {

std::function<std::unique_ptr<TExport>()> Ascii(TExportASCIIType type) {
  return [type] {
    auto e = std::make_unique<TExportASCII>();
    e->SetExportType(type);
    return e;
  };
}

}  // namespace

const std::vector<TCliExportType>& ExportTypes() {
  static const std::vector<TCliExportType> types = {
      {"txt", "fixed-width text", Ascii(etTXT), true},
      {"csv", "separated values", Ascii(etCSV), true},
      {"dif", "Data Interchange Format", Ascii(etDIF), true},
      {"slk", "symbolic link (SYLK)", Ascii(etSYLK), true},
      // A workbook is a compound document patched at the end: it needs a file, not a pipe.
      {"xls", "Excel 97 workbook (BIFF8)", [] { return std::make_unique<TExportXLS>(); }, false},
  };
  return types;
}

const TCliExportType* FindExportType(const std::string& name) {
  for (const auto& t : ExportTypes())
    if (SameText(t.Name, name)) return &t;
  return nullptr;
}

}  // namespace morvale::cli
