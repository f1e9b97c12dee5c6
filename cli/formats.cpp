#include "cli/formats.h"

#include <algorithm>

#include "app/tools/sdf.h"

namespace morvale::cli {

namespace {

void WriteSDFQuery(TDataSet& ds, const std::string& output, TStream& out) {
  if (output == "-")
    WriteSDF(ds, out);
  else
    SaveSDF(ds, output);
}

// The SDF file is the main window's tool, no exporter of the dialog: it has no ordinal.
TCliExportType SDF() {
  TCliExportType t;
  t.Name = "sdf";
  t.Description = "SDF file: quoted field names, then quoted values";
  t.Streamable = true;
  t.WriteQuery = WriteSDFQuery;
  return t;
}

TCliExportType FromRegistry(const TExportTypeInfo& type, const TExportTypeWord& word) {
  TCliExportType t;
  t.Name = word.Word;
  t.Description = word.Description;
  t.Create = word.Create;
  t.Streamable = type.Streamable;
  t.NeedsOutput = type.WritesFile();
  t.BlobsNeedFile = type.BlobsNeedFile;
  t.Info = &type;
  t.OptionsType = word.HasOptionsFile ? &type : nullptr;
  t.TextParts = WritesTextParts(type.Type);
  return t;
}

// --help lists the text formats first, then the documents and the workbooks; a type not named
// here follows these in the registry's order.
constexpr const char* kHelpOrder[] = {"txt", "csv",       "dif",   "slk", "sql",  "xml",    "html",
                                      "tex", "json",      "jsonl", "md",  "pdf",  "dbf",    "rtf",
                                      "doc", "clipboard", "sdf",   "xls", "xlsx", "parquet"};

std::vector<TCliExportType> BuildTypes() {
  std::vector<TCliExportType> all;
  for (const TExportTypeInfo& type : ExportTypeTable())
    for (const TExportTypeWord& word : type.Words) all.push_back(FromRegistry(type, word));
  all.push_back(SDF());
  auto rank = [](const TCliExportType& t) {
    auto at = std::find_if(std::begin(kHelpOrder), std::end(kHelpOrder),
                           [&t](const char* w) { return t.Name == w; });
    return at - std::begin(kHelpOrder);
  };
  std::stable_sort(all.begin(), all.end(),
                   [&rank](const auto& a, const auto& b) { return rank(a) < rank(b); });
  return all;
}

}  // namespace

const std::vector<TCliExportType>& ExportTypes() {
  static const std::vector<TCliExportType> types = BuildTypes();
  return types;
}

const TCliExportType* FindExportType(const std::string& name) {
  for (const auto& t : ExportTypes())
    if (SameText(t.Name, name)) return &t;
  return nullptr;
}

}  // namespace morvale::cli
