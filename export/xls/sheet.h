// One sheet of the workbook: its own source and settings (a sheet is an exporter of its own for
// the engine, so its columns are built from its own source, lists and formats), its look, and the
// style operations that turn its formats into XF indexes of the workbook's registry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/export.h"
#include "export/xls/items.h"
#include "export/xls/styles.h"
#include "export/xls/xlsoptions.h"

namespace morvale {

class TExportXLS;
class TxlsStyleRegistry;

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

class TxlsSheet : public TExport, public TxlsSheetSettings {
 public:
  explicit TxlsSheet(TExportXLS* owner = nullptr);

  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TxlsSheet"; }

  // The sheet's name in the workbook is the engine's Title.
  double DefRowHeight = 12.75;
  int DefColWidth = 8;
  bool Exported = true;
  int Tag = 0;

  TExportXLS* Owner() const { return owner_; }
  // Copies every published property except DefRowHeight, DefColWidth, Exported and Tag.
  void Assign(const TxlsSheet& other);
  // Takes the workbook settings and what the engine reads of `from` (its source, lists, formats
  // and record range); not the title.
  void TakeSettings(const TExport& from, const TxlsSheetSettings& settings);

  // The XF index of a cell with number format `formatText` and look `format` (or none).
  uint16_t GetXFIndex(std::string_view formatText, const TxlsFormat* format);
  // Registers the field and strip styles of the sheet's columns; once, before its first row.
  void RegisterSheetStyles();
  // The XF of the data cell of column j in the current record.
  uint16_t GetDataXF(int j);

  // Run state, set while the sheet is written.
  int SheetIndex = 0;
  int OutputRow = 0;  // 0-based row of the sheet being written

 private:
  friend class TExportXLS;
  TxlsStyleRegistry& Registry() const;
  TExportXLS* owner_;
  // Per column: its field XF (15 when none), and its strip XFs (by strip style for ssRow).
  std::vector<uint16_t> fieldXF_;
  std::vector<std::vector<uint16_t>> stripXF_;
};

class TxlsSheets : public TObject {
 public:
  explicit TxlsSheets(TExportXLS* owner) : owner_(owner) {}
  int Count() const { return static_cast<int>(items_.size()); }
  TxlsSheet& operator[](int i) const { return *items_[static_cast<size_t>(i)]; }
  // A new sheet titled "Sheet <n>", n the number of sheets including it.
  TxlsSheet& Add();
  void Delete(int i) { items_.erase(items_.begin() + i); }
  void Clear() { items_.clear(); }
  bool AnyExported() const;

 private:
  TExportXLS* owner_;
  std::vector<std::unique_ptr<TxlsSheet>> items_;
};

}  // namespace morvale
