// Clipboard export: the rows as plain text, separated by a character or in right-aligned
// fixed-width columns, put on the clipboard as one text.
#pragma once

#include <string>

#include "export/core/export.h"

namespace morvale {

enum TClipboardExportType : int { etSeparated, etFixed };

class TExportClipboard : public TExportMemory {
 public:
  TExportClipboard();
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportClipboard"; }

  TClipboardExportType ExportType() const { return exportType_; }
  // etFixed measures the columns first (AutoCalcColWidth), etSeparated does not.
  void SetExportType(TClipboardExportType t);

  char Separator;
  int Spacing = 2;                              // kept for the settings; no effect on the text
  std::string ClipboardViewer = "Clipbrd.exe";  // kept for the settings; no effect on the text

  // The text in the system code page, whatever Encoding says: a desktop clipboard holds
  // characters, not bytes, so the encoding is left to a clipboard that ends as bytes (the command
  // line's standard output).
  void Execute() override;
  void BeginExport() override;
  void WriteCaptionRow() override;
  void WriteDataRow() override;
  void EndExport() override;

 private:
  void AppendCell(const std::string& text, int column);
  TClipboardExportType exportType_ = etSeparated;
  std::string line_, cell_;
};

}  // namespace morvale
