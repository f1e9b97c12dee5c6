#include "cli/formats.h"

#include "app/tools/sdf.h"
#include "export/docs/dbfexport.h"
#include "export/docs/pdfexport.h"
#include "export/docs/rtfexport.h"
#include "export/parquet/exportparquet.h"
#include "export/text/ascii.h"
#include "export/text/clipboard.h"
#include "export/text/html.h"
#include "export/text/json.h"
#include "export/text/latex.h"
#include "export/text/markdown.h"
#include "export/text/sql.h"
#include "export/text/xml.h"
#include "export/xls/exportxls.h"
#include "export/xlsx/exportxlsx.h"

namespace morvale::cli {

namespace {

std::function<std::unique_ptr<TExport>()> Ascii(TExportASCIIType type) {
  return [type] {
    auto e = std::make_unique<TExportASCII>();
    e->SetExportType(type);
    return e;
  };
}

std::unique_ptr<TExport> JSONLines() {
  auto e = std::make_unique<TExportJSON>();
  e->JSONLines = true;
  return e;
}

template <class T>
std::unique_ptr<TExport> Make() {
  return std::make_unique<T>();
}

void WriteSDFQuery(TDataSet& ds, const std::string& output, TStream& out) {
  if (output == "-")
    WriteSDF(ds, out);
  else
    SaveSDF(ds, output);
}

}  // namespace

const std::vector<TCliExportType>& ExportTypes() {
  static const std::vector<TCliExportType> types = {
      {"txt", "fixed-width text", Ascii(etTXT), true, true, {}},
      {"csv", "separated values", Ascii(etCSV), true, true, {}},
      {"dif", "Data Interchange Format", Ascii(etDIF), true, true, {}},
      {"slk", "symbolic link (SYLK)", Ascii(etSYLK), true, true, {}},
      {"sql", "SQL script of INSERT statements", Make<TExportSQL>, true, true, {}},
      {"xml", "XML data packet", Make<TExportXML>, true, true, {}},
      {"html", "HTML page (MaxRecords: numbered page files)", Make<TExportHTML>, true, true, {}},
      {"tex", "LaTeX document", Make<TExportLaTeX>, true, true, {}},
      {"json", "JSON array of objects keyed by caption", Make<TExportJSON>, true, true, {}},
      {"jsonl", "JSON Lines: one object a line", JSONLines, true, true, {}},
      {"md", "Markdown pipe table (GitHub-flavoured)", Make<TExportMarkdown>, true, true, {}},
      {"pdf", "PDF document (a ruled table on pages)", Make<TExportPDF>, true, true, {}},
      {"dbf",
       "dBASE III table, memo columns in a .dbt beside it",
       Make<TExportDBF>,
       true,
       true,
       {},
       true},
      {"rtf", "RTF document", Make<TExportRTF>, true, true, {}},
      {"doc",
       "RTF document for word processors (give it a .doc name)",
       Make<TExportRTF>,
       true,
       true,
       {}},
      {"clipboard", "the clipboard, or standard output", Make<TExportClipboard>, true, false, {}},
      {"sdf", "SDF file: quoted field names, then quoted values", {}, true, true, WriteSDFQuery},
      // A workbook is a compound document patched at the end: it needs a file, not a pipe.
      {"xls", "Excel 97 workbook (BIFF8)", Make<TExportXLS>, false, true, {}},
      {"xlsx", "MS Excel 2007+ workbook (Office Open XML)", Make<TExportXLSX>, false, true, {}},
      // Written front to back, the footer last: a pipe takes it as well as a file.
      {"parquet", "Parquet: typed columns, zstd pages", Make<TExportParquet>, true, true, {}},
  };
  return types;
}

const TCliExportType* FindExportType(const std::string& name) {
  for (const auto& t : ExportTypes())
    if (SameText(t.Name, name)) return &t;
  return nullptr;
}

}  // namespace morvale::cli
