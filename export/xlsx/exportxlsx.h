// The Office Open XML workbook exporter (.xlsx). It takes the shared workbook settings and sheets
// (exportworkbook.h) as they are (sheet title, captions, header and footer rows, the caption,
// data, aggregate and footer formats, field formats with their number formats, aggregates, strip
// styles, column widths, page header and footer, the events) and writes them through libxlsxwriter
// in its constant-memory mode: each row goes to a temporary file as it is written, so memory stays
// flat however many rows there are.
//
// Texts are written as inline strings: constant-memory mode cannot collect a shared-string table
// without keeping every distinct text in memory, which is what the mode is there to avoid. Every
// reader of the format (the spreadsheet programs, openpyxl, LibreOffice) reads inline strings.
#pragma once

#include <string>

#include "export/workbook/exportworkbook.h"

namespace morvale {

class TExportXLSX : public TExportWorkbook {
 public:
  const char* ClassName() const override { return "TExportXLSX"; }

  // Writes the whole workbook into FileName; a run that fails or stops leaves the previous file
  // as it was (the package replaces it only when complete).
  void Execute() override;

 private:
  // False when the run was aborted (nothing is written).
  bool Write();
};

}  // namespace morvale
