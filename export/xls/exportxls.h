// The Excel 97 (BIFF8) workbook exporter: the shared workbook settings and sheets
// (exportworkbook.h) written as one Workbook stream in a compound document, with the drawing group
// of the pictures that the sheets show.
#pragma once

#include <memory>

#include "export/core/writer.h"
#include "export/workbook/exportworkbook.h"

namespace morvale {

class TxlsWorkbook;
class TxlsContainer;
struct TxlsPictureStore;

// The writer class the engine asks for; the workbook output does not go through it.
class TXLSWriter : public TExportWriter {
 public:
  using TExportWriter::TExportWriter;
};

class TExportXLS : public TExportWorkbook {
 public:
  TExportXLS();
  ~TExportXLS() override;

  const char* ClassName() const override { return "TExportXLS"; }

  // Writes the whole workbook into FileName, then opens or prints it when asked.
  void Execute() override;
  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;

  // The workbook of the current run (nullptr between runs).
  TxlsWorkbook* Workbook() const { return workbook_.get(); }
  // The pictures of the current run's drawing group.
  const TxlsPictureStore& PictureStore() const { return *store_; }

 private:
  void OpenWorkbook();
  void FinishWorkbook();
  void CloseWorkbook();
  void Run();
  void PrepareDrawingGroup();
  std::unique_ptr<TxlsWorkbook> workbook_;
  std::unique_ptr<TxlsContainer> container_;
  std::unique_ptr<TxlsPictureStore> store_;
  bool finished_ = false;
  int maxCols_ = 256;
};

}  // namespace morvale
