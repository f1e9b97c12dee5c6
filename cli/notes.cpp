#include "cli/notes.h"

#include "export/docs/dbfexport.h"

namespace morvale::cli {

namespace {

std::string Quoted(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "'" : ", '") + name + "'";
  return text;
}

// Memo and binary fields are exported only when named; with no field named, the defaults left
// out every one the query returns.
void NoteBlobsLeftOut(const TDataSet& ds, TExport& e, std::ostream& err) {
  if (!e.ExportedFields.Empty()) return;
  std::vector<std::string> left, all;
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const TField& f = ds.Fields(i);
    all.push_back(f.FieldName);
    if (f.IsBlob() && e.Columns().IndexOfName(f.FieldName) < 0) left.push_back(f.FieldName);
  }
  if (left.empty()) return;
  std::string fields;
  for (const std::string& name : all) fields += (fields.empty() ? "" : ",") + name;
  err << "morvale-export: the memo and binary columns " << Quoted(left)
      << " were left out; name them in --fields to export them (--fields " << fields << ")\n";
}

void NoteTimesDropped(const TExport& e, std::ostream& err) {
  const auto* dbf = dynamic_cast<const TExportDBF*>(&e);
  if (!dbf || dbf->TimeDroppedColumns().empty()) return;
  err << "morvale-export: dBASE date fields keep no time of day: the times in "
      << Quoted(dbf->TimeDroppedColumns())
      << " were left out; --set DateTimeAsText=True writes date-times as text\n";
}

}  // namespace

bool GivesFormat(const TCliOptions& o, const std::string& kind) {
  for (const auto& [k, unused] : o.Formats)
    if (SameText(k, kind)) return true;
  const std::string property = "Formats." + kind + "Format";
  for (const auto& [path, unused] : o.Sets)
    if (SameText(path, property)) return true;
  return false;
}

void KeepDigits(TExport& e, const TCliOptions& o, bool fileGivesFloat, bool fileGivesCurrency) {
  e.ExactFloats = !fileGivesFloat && !GivesFormat(o, "float");
  e.ExactCurrency = !fileGivesCurrency && !GivesFormat(o, "currency");
}

void PrintRunNotes(const TDataSet& ds, TExport& e, std::ostream& err) {
  NoteBlobsLeftOut(ds, e, err);
  NoteTimesDropped(e, err);
}

}  // namespace morvale::cli
