// The exporter base of both workbook formats (.xls and .xlsx). Unlike the text formats it does not
// use the engine's record loop: one run writes one or more sheets, each fed by its own source,
// into one workbook. In sheet mode every exported sheet of Sheets is written; when no sheet is
// exported, a temporary sheet loaded from the exporter's own settings is written instead
// (single-sheet mode). The settings, events and published properties live here, so that the two
// formats read the same options files and the same --set keys; each format's exporter derives
// from this class and writes the file.
#pragma once

#include <functional>
#include <string>

#include "export/core/export.h"
#include "export/workbook/items.h"
#include "export/workbook/options.h"
#include "export/workbook/sheet.h"
#include "export/workbook/styles.h"

namespace morvale {

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

class TExportWorkbook : public TExportFormatText, public TxlsSheetSettings {
 public:
  TExportWorkbook();
  ~TExportWorkbook() override;

  // The properties both formats publish; options files and --list-properties name them under
  // the concrete exporter's class.
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

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

  // Several tables of one run, a sheet each (a published switch; TTableBatch writes the workbook).
  bool SheetPerTable = false;
  // Set by a run whose sheets read tables in turn (TTableBatch): each sheet's source is opened
  // here just before the sheet, checked by CheckSheet, and closed by OnCloseSheet after it, so
  // that one result is read at a time, and a table that cannot be read leaves its sheet out
  // rather than failing the workbook. The answer writes the sheet, leaves it out, or stops the
  // run there (a stopped run writes no workbook, and the previous file stays).
  enum TxlsSheetOpen { soWrite, soSkip, soStop };
  std::function<TxlsSheetOpen(TxlsSheet& sheet, int index)> OnOpenSheet;
  std::function<void(TxlsSheet& sheet, int index)> OnCloseSheet;
  // One sheet's source usable and its columns within the format's columns, before it is written.
  void CheckSheet(TxlsSheet& sheet);

  // Clears the abort request and fires OnBeginExport. The sheets build their own columns, so the
  // exporter's own settings (a field list its source lacks) cannot fail a run in sheet mode.
  void BeginExport() override;

  // The extras of the single sheet and the pictures in an options file: the sections of
  // SaveExtrasToIni (items.h) and the background picture, key PageBackground of section XLS.
  void SaveExtrasToIni(TIniFile& ini) const;
  void LoadExtrasFromIni(const TIniFile& ini);

 protected:
  // The rows of a sheet stop and resume the run as the exporter itself would.
  friend class TxlsSheetRows;
  // The sheet that stands for the exporter's own settings in single-sheet mode.
  void LoadTemporarySheet(TxlsSheet& sheet);
  // Every exported sheet's source usable and its columns within `maxCols`, before any writing
  // (with OnOpenSheet: each sheet as it comes).
  void CheckSheets(int maxCols);
  // What every workbook format does around writing: the file name and its folder checked, the
  // temporary sheet of single-sheet mode added for the run, the sheets checked; then `write`,
  // whose file (made in Outputs()) replaces FileName only when the run has finished.
  void ExecuteSheets(int maxCols, const std::function<void()>& write);
  // The run's records, sheet by sheet: the run's counter from 0, BeginExport and BeforeExport,
  // then `write` for each exported sheet, with the sheet's events around it and its source held
  // for updates. False when the run stopped before the end of the last sheet.
  bool WriteSheets(const std::function<bool(int index, TxlsSheet& sheet)>& write);

 private:
  bool WriteSheet(int index, TxlsSheet& sheet,
                  const std::function<bool(int index, TxlsSheet& sheet)>& write);
  int maxCols_ = 256;
};

}  // namespace morvale
