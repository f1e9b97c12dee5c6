// The sheet epilog's extras and the drawing layer: extra cells and merged ranges, hyperlink title
// cells and HLINK records, the sheet drawing (notes, images, charts with their OBJ, TXO and NOTE
// records and chart sub-streams), the workbook's drawing group with the picture store, and the
// sheet background bitmap.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/workbook/items.h"
#include "export/workbook/placement.h"
#include "export/xls/workbook.h"

namespace morvale {

class TxlsSheetStyles;

// The workbook's picture store: the pictures that go into the drawing group, read once per run.
struct TxlsPictureStore {
  struct TEntry {
    unsigned BlipType = 0;  // BSE numbering: WMF 2, EMF 3, JPEG 5, PNG 6 (also GIF), BMP 7
    std::string Bytes;      // what the BLIP holds (a BMP without its file header)
    std::string File;       // the file as read, for measuring
    TxlsGraphicType Type = gtUnknown;
    uint32_t Refs = 0;
  };
  std::vector<TEntry> Entries;
  // Per picture of the collection: its 1-based BSE index, 0 when it was left out.
  std::vector<int> BlipIndex;

  // Reads every picture whose file exists and has a storable type; counts the images of all
  // sheets that show each.
  static TxlsPictureStore Build(const TxlsPictures& pictures,
                                const std::vector<const TxlsImages*>& images);
  // The MSODRAWINGGROUP data: the drawing group of `shapes` shapes and the store.
  std::string DrawingGroupData(unsigned shapes) const;
};

// Size in pixels of a picture file's image (GIF, PNG, JPEG, BMP); 0 x 0 when it cannot be read.
void xlsPictureSize(TxlsGraphicType type, const std::string& bytes, int& width, int& height);

// What the extras of one sheet need from the sheet writer.
struct TxlsSheetContext {
  TxlsWorkbook& Workbook;
  TxlsSheetStyles& Styles;
  const TxlsExtras& Extras;
  const TxlsPictures& Pictures;
  const TxlsPictureStore& Store;
  TxlsBoundSheet& Bound;
  int ExternSheet = 0;            // the sheet's EXTERNSHEET entry (its written position)
  std::vector<int> ColumnWidths;  // characters, per exported column
  int StartDataCol = 0;
  int DefColWidth = 8;
  double DefRowHeight = 12.75;
  int ZeroWidth = 1;                                  // pixels of "0" in the default font
  const std::vector<uint16_t>* RowHeights = nullptr;  // twips by row, 0 = the default height
  // The data cells of an exported field as a 1-based range; all 0 for an unknown field.
  std::function<TxlsDataRange(std::string_view field)> FieldRange;
};

// Extra cells, MERGEDCELLS and the hyperlink title cells, before WINDOW2.
void WriteSheetCellExtras(TxlsSheetContext& c);
// HLINK records, the drawing with notes, images and charts, and the NOTE records, after
// SELECTION.
void WriteSheetLinksAndDrawing(TxlsSheetContext& c);

// MERGEDCELLS records for the valid ranges: 1,027 ranges fill one record, more continue in
// further records.
void WriteMergedCells(TbiffWriter& w, const TxlsMergedCellList& ranges);
// One HLINK record (and HLINKTOOLTIP when it has a screen tip).
void WriteHyperlink(TbiffWriter& w, const TxlsHyperlink& link);

// The BITMAP records of a sheet's background, when it has a picture that can be drawn (a 24-bit
// BMP or a JPEG, decoded with libjpeg); nothing otherwise.
void WriteBackground(TbiffWriter& w, const TxlsGraphic& background);
// A picture file as 24-bit bottom-up BGR rows padded to 4 bytes; false when it cannot be drawn.
bool xlsDecodeToBitmap(TxlsGraphicType type, const std::string& file, std::string& pixels,
                       int& width, int& height);

// The client anchor of a chart's shape: first column, row, last column, row (offsets 0).
void xlsChartAnchor(const TxlsChart& chart, const TxlsUsedRange* bound, uint16_t (&cells)[8]);
// The chart sub-stream, BOF of type chart ... EOF.
void WriteChart(TbiffWriter& w, const TxlsChart& chart, int externSheet,
                const std::function<TxlsDataRange(std::string_view)>& fieldRange);

}  // namespace morvale
