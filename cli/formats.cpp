#include "cli/formats.h"

#include "export/docs/dbfexport.h"
#include "export/docs/pdfexport.h"
#include "export/docs/rtfexport.h"
#include "export/text/ascii.h"

namespace morvale::cli {

namespace {

std::function<std::unique_ptr<TExport>()> Ascii(TExportASCIIType type) {
  return [type] {
    auto e = std::make_unique<TExportASCII>();
    e->SetExportType(type);
    return e;
  };
}

template <class T>
std::unique_ptr<TExport> Make() {
  return std::make_unique<T>();
}

}  // namespace

const std::vector<TCliExportType>& ExportTypes() {
  static const std::vector<TCliExportType> types = {
      {"txt", "fixed-width text", Ascii(etTXT), true},
      {"csv", "separated values", Ascii(etCSV), true},
      {"dif", "Data Interchange Format", Ascii(etDIF), true},
      {"slk", "symbolic link (SYLK)", Ascii(etSYLK), true},
      // Memo columns need a named file beside the table; to standard output they stay blank.
      {"dbf", "dBASE III table, memo columns in a .dbt beside it", Make<TExportDBF>, true},
      {"pdf", "PDF document (a ruled table on pages)",
       [] { return std::unique_ptr<TExport>(std::make_unique<TExportPDF>()); }, true},
      {"rtf", "RTF document", Make<TExportRTF>, true},
      {"doc", "RTF document for word processors (give it a .doc name)", Make<TExportRTF>, true},
  };
  return types;
}

const TCliExportType* FindExportType(const std::string& name) {
  for (const auto& t : ExportTypes())
    if (SameText(t.Name, name)) return &t;
  return nullptr;
}

}  // namespace morvale::cli
