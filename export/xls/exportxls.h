// The workbook exporter. Unlike the text formats it does not use the engine's record loop: one run
// writes one or more sheets, each fed by its own source, into one Excel 97 workbook. In sheet mode
// every exported sheet of Sheets is written; when no sheet is exported, a temporary sheet loaded
// from the exporter's own settings is written instead (single-sheet mode).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "export/core/export.h"
#include "export/core/writer.h"
#include "export/xls/items.h"
#include "export/xls/sheet.h"
#include "export/xls/styles.h"
#include "export/xls/xlsoptions.h"

namespace morvale {

class TxlsWorkbook;
class TxlsContainer;
struct TxlsPictureStore;

using TxlsSheetEvent = std::function<void(TObject* Sender, int SheetIndex)>;
using TxlsCellTextEvent = std::function<void(TObject* Sender, int Sheet, int Col, int Row,
                                             TxlsFormat& Format, std::string& S)>;
using TxlsCaptionEvent = std::function<void(TObject* Sender, int Sheet, int Col, TxlsFormat& Format,
                                            std::string& Caption)>;
using TxlsDataParamsEvent = std::function<void(TObject* Sender, int Sheet, int Col, int Row,
                                               TxlsFormat& Format, std::string& FormatText)>;
using TxlsAggregateEvent =
    std::function<void(TObject* Sender, int Sheet, int Col, TxlsFormat& Format,
                       std::string& FormatText, std::string& Value)>;
using TxlsExportTextEvent =
    std::function<void(TObject* Sender, int Sheet, int ColNo, std::string& Text)>;
using TxlsBeforeExportRowEvent =
    std::function<void(TObject* Sender, int Sheet, TExportRow& Row, bool& Accept)>;
using TxlsExportedRecordEvent = std::function<void(TObject* Sender, int Sheet, int RecNo)>;

// The writer class the engine asks for; the workbook output does not go through it.
class TXLSWriter : public TExportWriter {
 public:
  using TExportWriter::TExportWriter;
};

class TExportXLS : public TExportFormatText, public TxlsSheetSettings {
 public:
  TExportXLS();
  ~TExportXLS() override;

  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportXLS"; }

  // The single sheet's workbook settings are those of TxlsSheetSettings; its Extras hold notes,
  // hyperlinks, charts, images, extra cells, merged ranges and the background, and each sheet of
  // Sheets has its own.
  TxlsSheets Sheets{this};
  // The workbook's picture store, shown by the images of every sheet.
  TxlsPictures Pictures;

  TxlsSheetEvent OnBeforeExportSheet, OnAfterExportSheet;
  TxlsCellTextEvent OnGetHeaderParams, OnGetFooterParams, OnGetBeforeDataParams;
  TxlsCaptionEvent OnGetCaptionParams;
  TxlsDataParamsEvent OnGetDataParams;
  TxlsAggregateEvent OnGetAggregateParams;
  TxlsExportTextEvent OnAdvancedGetExportText;
  TxlsBeforeExportRowEvent OnAdvancedBeforeExportRow;
  TxlsExportedRecordEvent OnAdvancedExportedRecord;

  // Writes the whole workbook into FileName, then opens or prints it when asked.
  void Execute() override;
  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;
  // Clears the abort request and fires OnBeginExport. The sheets build their own columns, so the
  // exporter's own settings (a field list its source lacks) cannot fail a run in sheet mode.
  void BeginExport() override;

  // The extras of the single sheet and the pictures in an options file: the sections of
  // SaveExtrasToIni (items.h) and the background picture, key PageBackground of section XLS.
  void SaveExtrasToIni(TIniFile& ini) const;
  void LoadExtrasFromIni(const TIniFile& ini);

  // The workbook of the current run (nullptr between runs).
  TxlsWorkbook* Workbook() const { return workbook_.get(); }
  // The pictures of the current run's drawing group.
  const TxlsPictureStore& PictureStore() const { return *store_; }

 protected:
  // The sheet that stands for the exporter's own settings in single-sheet mode.
  void LoadTemporarySheet(TxlsSheet& sheet);
  // Every exported sheet's source usable and its columns within `maxCols`, before any writing.
  void CheckSheets(int maxCols = 256);
  // What every workbook format does around writing: the file name and its folder checked, the
  // temporary sheet of single-sheet mode added for the run, the sheets checked; then `write`.
  void ExecuteSheets(int maxCols, const std::function<void()>& write);
  // One sheet: its events around `write`, its source held for updates; false when the run stopped
  // before the sheet's records.
  bool ExportSheetWith(int index, TxlsSheet& sheet, const std::function<bool()>& write);

 private:
  friend class TxlsSheetRows;
  friend class TxlsSheetWriter;
  void OpenWorkbook();
  void FinishWorkbook();
  void CloseWorkbook();
  // False when the run stopped before the sheet's records (the workbook stays unfinished).
  bool ExportSheet(int index, TxlsSheet& sheet);
  void Run();
  void PrepareDrawingGroup();
  std::unique_ptr<TxlsWorkbook> workbook_;
  std::unique_ptr<TxlsContainer> container_;
  std::unique_ptr<TxlsPictureStore> store_;
  bool finished_ = false;
};

}  // namespace morvale
