// Plain-text exports: fixed-width text, separated values, the Data Interchange Format and the
// symbolic link format. All four share the engine's run and differ only in the steps below.
#pragma once

#include "export/core/export.h"
#include "export/text/csvline.h"

namespace morvale {

enum TExportASCIIType : int { etTXT, etCSV, etDIF, etSYLK };

// Final: the CSV rows are written cell by cell into a line without the virtual steps between
// (GetColData, EscapeString), which a descendant could otherwise change.
class TExportASCII final : public TExportFormatText {
 public:
  TExportASCII();
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportASCII"; }

  TExportASCIIType ExportType() const { return exportType_; }
  // Switching to etTXT turns the width pass on: fixed-width text needs measured columns.
  void SetExportType(TExportASCIIType t);

  char CSVComma;
  char CSVQuote = '"';  // '\0': no quoting
  bool CSVQuoteStrings = true;
  int TXTSpacing = 1;

  // The records the DIF pre-pass counted in the current run.
  int TupleCount() const { return tupleCount_; }

  void BeginExport() override;
  void EndExport() override;
  void WriteCaptionRow() override;
  void WriteDataRow() override;
  void GetColCaption(int colNo, std::string& S) override;
  void GetColData(TExportCol& col, std::string& S) override;
  bool FormatsTypedValues() const override { return true; }
  // DIF declares its rows up front and SYLK numbers them: only text and CSV are cut into parts.
  bool SplitsIntoParts() const override { return exportType_ == etTXT || exportType_ == etCSV; }

 protected:
  void EndPart() override { WriteClosing(); }
  void BeginPart() override;

 private:
  void WriteOpening();
  void WriteClosing();
  void Decorate(const TExportColumn& column, std::string_view text, std::string& out) const;
  void WriteLine(std::string& line);
  void WriteCsvDataRow();
  bool CountTuples();
  void WriteDifCell(const TExportCol& cell, std::string_view text);

  TExportASCIIType exportType_ = etTXT;
  int tupleCount_ = 0;
  std::string line_, cell_;
  TCsvLine csvLine_;
};

}  // namespace morvale
