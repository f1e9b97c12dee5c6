// Export dialog options files on the command line: --options runs the dialog's own Start on a
// loaded file, --save-options writes what the flags set in the dialog's sections.
#pragma once

#include <memory>

#include "cli/options.h"
#include "export/core/dataset.h"
#include "export/core/export.h"
#include "export/dialog/exportdialog.h"
#include "export/dialog/model.h"

namespace morvale::cli {

// Sets one of the nine formats by the word --format uses ("integer" ... "null").
void SetFormatKind(TExportFormats& f, const std::string& kind, const std::string& fmt);

// The --type word of a dialog type ("csv" for aeCSV, "clipboard"), and the other way round.
std::string CliTypeName(TAllowedExport t);
const TExportTypeInfo* DialogTypeOf(const std::string& cliType);

// The dialog and its model that an export from an options file runs in: the flags before
// --options go into the component, the file is loaded over them, the flags after it override the
// file, and the exporter is prepared as the dialog's Start prepares it. The exporter lives as
// long as this object.
class TOptionsFileExport {
 public:
  TOptionsFileExport(const TCliOptions& o, TDataSet& ds);
  TExport& Exporter() { return *exporter_; }
  TExportDialogModel& Model() { return *model_; }

 private:
  TExportDialog dialog_;
  std::unique_ptr<TExportDialogModel> model_;
  TExport* exporter_ = nullptr;
};

// Writes the options file of an exporter configured from the command line.
void SaveCommandLineOptions(const TCliOptions& o, const TExport& e, TDataSet& ds);

}  // namespace morvale::cli
