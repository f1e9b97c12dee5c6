// The sheet and page settings of the workbook exporter and of each of its sheets: page header and
// footer, the sheet title, and one cell format per kind of row.
#pragma once

#include <string>

#include "export/core/properties.h"
#include "export/workbook/styles.h"

namespace morvale {

class TXLSOptions : public TPersistent {
 public:
  TXLSOptions();

  std::string PageHeader;
  std::string PageFooter = "Page &P of &N";
  const std::string& SheetTitle() const { return sheetTitle_; }
  // The empty text stores "Sheet1".
  void SetSheetTitle(const std::string& title) { sheetTitle_ = title.empty() ? "Sheet1" : title; }
  TxlsFormat HeaderFormat;
  TxlsFormat CaptionsFormat;  // bold by default
  TxlsFormat DataFormat;
  TxlsFormat AggregateFormat;
  TxlsFormat FooterFormat;
  TxlsFormat HyperlinkFormat;  // blue, single underline by default
  TxlsNoteFormat NoteFormat;

  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  // Copies all ten settings, the formats by value.
  void Assign(const TXLSOptions& other) { *this = other; }

 private:
  std::string sheetTitle_ = "Sheet 1";
};

}  // namespace morvale
