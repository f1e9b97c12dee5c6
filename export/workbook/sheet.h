// One sheet of a workbook run: its own source and settings (a sheet is an exporter of its own for
// the engine, so its columns are built from its own source, lists and formats), its look, and
// which look each of its data cells takes. Both workbook formats write the same sheets; how a
// look becomes a cell style is each format's own affair.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/core/export.h"
#include "export/workbook/items.h"
#include "export/workbook/options.h"
#include "export/workbook/styles.h"

namespace morvale {

class TExportWorkbook;

enum TxlsStripType : int { ssNone, ssCol, ssRow };

// The workbook settings of a sheet beside the engine's: the exporter holds them for its single
// sheet and each sheet of Sheets its own, so both derive from this value and a sheet takes them
// with one assignment.
struct TxlsSheetSettings {
  // The exporter's own strip styles are named apart from a sheet's (see TxlsFormats).
  explicit TxlsSheetSettings(bool exporterStrips = false) : StripStyles(exporterStrips) {}

  TXLSOptions Options;
  TxlsFieldFormats FieldFormats;
  TxlsFormats StripStyles;
  TxlsExtras Extras{&Options};
  TxlsStripType StripType = ssNone;
  int HeaderRows = 0;
  int StartDataCol = 0;
  int FooterRows = 0;
};

// Where the data cells of a column take their look from. Strip styles win over field formats; a
// column with neither takes the sheet's data format.
enum TxlsLookSource : uint8_t { lsData, lsField, lsStrip };
struct TxlsColumnLook {
  TxlsLookSource Source = lsData;
  // lsField: the column's field format; lsStrip: its column strip, or with row strips every strip
  // in turn, one per record; lsData: none.
  std::vector<const TxlsFormat*> Looks;
};

class TxlsSheet : public TExport, public TxlsSheetSettings {
 public:
  explicit TxlsSheet(TExportWorkbook* owner = nullptr);

  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TxlsSheet"; }

  // The sheet's name in the workbook is the engine's Title.
  double DefRowHeight = 12.75;
  int DefColWidth = 8;
  bool Exported = true;
  int Tag = 0;

  TExportWorkbook* Owner() const { return owner_; }
  // Copies every published property except DefRowHeight, DefColWidth, Exported and Tag.
  void Assign(const TxlsSheet& other);
  // Takes the workbook settings and what the engine reads of `from` (its source, lists, formats
  // and record range); not the title.
  void TakeSettings(const TExport& from, const TxlsSheetSettings& settings);

  // Where each built column's data cells take their look from, in column order.
  std::vector<TxlsColumnLook> ColumnLooks();

  // Run state, set while the sheet is written.
  int SheetIndex = 0;
  int OutputRow = 0;  // 0-based row of the sheet being written

 private:
  TExportWorkbook* owner_;
};

class TxlsSheets : public TObject {
 public:
  explicit TxlsSheets(TExportWorkbook* owner) : owner_(owner) {}
  int Count() const { return static_cast<int>(items_.size()); }
  TxlsSheet& operator[](int i) const { return *items_[static_cast<size_t>(i)]; }
  // A new sheet titled "Sheet <n>", n the number of sheets including it.
  TxlsSheet& Add();
  void Delete(int i) { items_.erase(items_.begin() + i); }
  void Clear() { items_.clear(); }
  bool AnyExported() const;

 private:
  TExportWorkbook* owner_;
  std::vector<std::unique_ptr<TxlsSheet>> items_;
};

}  // namespace morvale
