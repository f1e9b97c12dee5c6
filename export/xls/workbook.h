// One workbook being written: the stream, the record writer, the shared strings, the style
// registry and the sheet bookkeeping. The globals head goes first; every sheet is written whole
// behind it; what can only be known at the end (fonts, formats, XFs, sheet offsets, shared
// strings) is built as the globals block by FinishWorkbook and placed at the insert point while
// the stream is copied into the container.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/core/formatsettings.h"
#include "export/workbook/placement.h"
#include "export/xls/records.h"
#include "export/xls/registry.h"
#include "export/xls/sst.h"
#include "export/xls/tempstream.h"

namespace morvale {

// The used range and stream positions of one written sheet.
struct TxlsBoundSheet : TxlsUsedRange {
  int SheetIndex = 0;
  std::string Title;
  int64_t StreamPos = 0;      // its BOF
  size_t BoundSheetPos = 0;   // its BOUNDSHEET inside the globals block
  int64_t DimensionsPos = 0;  // its DIMENSIONS record
  int64_t ColInfoPos = 0;     // its first COLINFO record
};

// One COLINFO entry: a column, its width in 1/256 of a character, XF and flags.
struct TxlsColInfo {
  uint16_t Column = 0;
  uint16_t Width = 0;
  uint16_t XF = 15;
  uint16_t Flags = 0;
};

// What a sheet's prolog needs to know.
struct TxlsSheetSetup {
  int DefColWidth = 8;
  double DefRowHeight = 12.75;
  std::string PageHeader, PageFooter;
  std::vector<TxlsColInfo> Columns;
  const class TxlsGraphic* Background = nullptr;  // BITMAP records after HCENTER and VCENTER
};

class TxlsWorkbook {
 public:
  // `writerName`: the component named in WRITEACCESS.
  explicit TxlsWorkbook(std::string writerName = "TExportXLS");
  TxlsWorkbook(const TxlsWorkbook&) = delete;
  TxlsWorkbook& operator=(const TxlsWorkbook&) = delete;

  TxlsTempStream& Stream() { return stream_; }
  TbiffWriter& Writer() { return writer_; }
  TsstStrings& SST() { return sst_; }
  TxlsStyleRegistry& Styles() { return styles_; }
  const std::vector<std::unique_ptr<TxlsBoundSheet>>& BoundSheets() const { return sheets_; }
  TxlsBoundSheet* FindBoundSheet(int sheetIndex) const;
  // Widens the used range of the sheet with that index (no entry: nothing happens).
  void TrackCell(int sheetIndex, int32_t row, int32_t col);

  // BOF ... BOOKBOOL, the insert point, EOF.
  void WriteGlobalsHead();
  // Appends the bookkeeping entry and writes the prolog up to the zeroed DIMENSIONS.
  TxlsBoundSheet& BeginSheetStream(int sheetIndex, const std::string& title,
                                   const TxlsSheetSetup& setup);
  // Rewrites the widths of the sheet's COLINFO records (one per entry, in column order).
  void PatchColumnWidths(const TxlsBoundSheet& sheet, const std::vector<int>& widthsInChars);

  // The locale the number formats are written for ("/" and ":" in date-time formats).
  TFormatSettings FormatSettings;
  // SUPBOOK and EXTERNSHEET (one entry per written sheet), for formulas that refer to other
  // sheets.
  bool WriteExternSheets = false;
  // Extra globals records (SUPBOOK/EXTERNSHEET, the drawing group, ...): written after COUNTRY,
  // before the SST, in the order added.
  std::vector<std::function<void(TStream&)>> GlobalsExtras;

  // Patches DIMENSIONS, builds the globals block and hands the whole final stream to `sink`.
  void FinishWorkbook(const std::function<void(const void*, size_t)>& sink);
  // The globals block as FinishWorkbook places it (BOUNDSHEET offsets filled in).
  std::string BuildGlobalsBlock();
  int64_t GlobalsInsertPoint() const { return insertPoint_; }

 private:
  void PatchDimensions();
  std::string BlockBeforeSST();
  std::string writerName_;
  TxlsTempStream stream_;
  TbiffWriter writer_;
  TsstStrings sst_;
  TxlsStyleRegistry styles_;
  std::vector<std::unique_ptr<TxlsBoundSheet>> sheets_;
  int64_t insertPoint_ = 0;
};

}  // namespace morvale
