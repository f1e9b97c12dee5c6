#include "export/xlsx/exportxlsx.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <vector>

#include "export/xlsx/xlsxsheet.h"
#include "export/xlsx/xlsxstyles.h"

namespace morvale {

namespace {

// The package being written: freed without a file when the run fails, closed into the temporary
// file and renamed over FileName when it succeeds.
class TPackage {
 public:
  explicit TPackage(const std::string& fileName)
      : fileName_(fileName), partName_(fileName + ".part~") {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    // Zip64 lets a sheet of a million rows of long texts pass 4 GB; readers take it either way.
    options.use_zip64 = LXW_TRUE;
    wb_ = workbook_new_opt(partName_.c_str(), &options);
    if (!wb_) throw Exception(Format("Cannot create the file '%s'", {fileName}));
  }
  TPackage(const TPackage&) = delete;
  TPackage& operator=(const TPackage&) = delete;
  ~TPackage() {
    if (wb_) lxw_workbook_free(wb_);
    std::remove(partName_.c_str());
  }
  lxw_workbook* Workbook() const { return wb_; }

  void Close() {
    lxw_workbook* wb = wb_;
    wb_ = nullptr;
    lxw_error e = workbook_close(wb);  // frees the workbook whatever the outcome
    if (e != LXW_NO_ERROR)
      throw Exception(Format("Cannot write the file '%s': %s", {fileName_, lxw_strerror(e)}));
    if (std::rename(partName_.c_str(), fileName_.c_str()) != 0)
      throw Exception(Format("Cannot write the file '%s'", {fileName_}));
  }

 private:
  std::string fileName_, partName_;
  lxw_workbook* wb_ = nullptr;
};

}  // namespace

void TExportXLSX::Execute() {
  bool complete = false;
  ExecuteSheets(TxlsxSheetWriter::kMaxCols, [this, &complete] { complete = Write(); });
  if (complete) AfterExecute();
}

bool TExportXLSX::Write() {
  TPackage package(FileName);
  TxlsxStyles styles(package.Workbook(), FormatSettings());
  std::vector<std::string> titles;
  RecordCounter = 0;
  BeginExport();
  BeforeExport();
  bool complete = !Aborted();
  for (int i = 0; complete && i < Sheets.Count(); ++i) {
    TxlsSheet& sheet = Sheets[i];
    if (!sheet.Exported) continue;
    complete = ExportSheetWith(i, sheet, [&] {
      return TxlsxSheetWriter(*this, sheet, i, package.Workbook(), styles, titles).Write();
    });
  }
  // A package needs a sheet; an aborted run keeps what it wrote, as the workbook exporter does.
  if (titles.empty()) workbook_add_worksheet(package.Workbook(), nullptr);
  package.Close();
  if (!complete) return false;
  AfterExport();
  EndExport();
  return true;
}

}  // namespace morvale
