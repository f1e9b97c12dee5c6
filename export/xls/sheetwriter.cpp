#include "export/xls/sheetwriter.h"

#include <algorithm>
#include <cmath>

#include "export/core/platform.h"
#include "export/xls/cells.h"
#include "export/xls/sheetrecords.h"

namespace morvale {

TxlsSheetWriter::TxlsSheetWriter(TExportXLS& exporter, TxlsSheet& sheet, int sheetIndex)
    : TxlsSheetRows(exporter, sheet, sheetIndex, kMaxRows),
      xls_(exporter),
      wb_(*exporter.Workbook()),
      w_(wb_.Writer()),
      sst_(wb_.SST()),
      styles_(exporter, sheet, wb_.Styles()) {}

void TxlsSheetWriter::PrepareFormat() {
  styles_.Register(looks_);
  wrapXF_.clear();
  xfHeight_.clear();
  rowHeights_.clear();
  hasImages_ = false;
  for (const auto& image : sheet_.Extras.Images) {
    int p = x_.Pictures.IndexOf(image->PictureName);
    if (p >= 0 && xls_.PictureStore().BlipIndex[static_cast<size_t>(p)] > 0) hasImages_ = true;
  }
  fonts_.assign(static_cast<size_t>(sheet_.Columns().Count()), {0xFFFF, TFont()});
  std::vector<std::string> taken;
  for (const auto& b : wb_.BoundSheets()) taken.push_back(b->Title);
  baseTitle_ = SheetName(sheet_.Title, taken);
}

std::string TxlsSheetWriter::PartTitle(int partNumber) const {
  if (partNumber == 1) return baseTitle_;
  std::vector<std::string> taken;
  for (const auto& b : wb_.BoundSheets()) taken.push_back(b->Title);
  return SheetName(baseTitle_ + " (" + std::to_string(partNumber) + ")", taken);
}

void TxlsSheetWriter::BeginPart() {
  TxlsSheetSetup setup;
  setup.DefColWidth = sheet_.DefColWidth;
  setup.DefRowHeight = sheet_.DefRowHeight;
  setup.PageHeader = sheet_.Options.PageHeader;
  setup.PageFooter = sheet_.Options.PageFooter;
  setup.Background = &sheet_.Extras.Background;
  TExportColumns& cols = sheet_.Columns();
  for (int j = 0; j < cols.Count(); ++j) {
    // (W + 1 + 1/w0) characters, in 1/256 of a character, halves to even; a column holds at most
    // 255 characters, so the 16-bit field cannot wrap.
    double chars = std::clamp(cols[j].Width, 0, 254) + 1 + 1.0 / zeroWidth_;
    auto width = static_cast<uint16_t>(std::nearbyint(chars * 256));
    setup.Columns.push_back({static_cast<uint16_t>(sheet_.StartDataCol + j), width, 15, 0});
  }
  TPartSheet part;
  part.bound =
      &wb_.BeginSheetStream(index_, PartTitle(static_cast<int>(sheets_.size()) + 1), setup);
  part.position = wb_.BoundSheets().size() - 1;
  sheets_.push_back(part);
}

// The extras address the cells of the sheet's first part: they are written with it.
void TxlsSheetWriter::EndPart() {
  const bool first = sheets_.size() == 1;
  if (first) WriteCellExtras();
  WriteWindow2(w_);
  WriteSelection(w_);
  if (first) WriteLinksAndDrawing();
  WriteEOF(w_);
}

// The measured widths go into the COLINFO records of every part, then the last part ends.
void TxlsSheetWriter::Finish() {
  if (sheet_.AutoCalcColWidth)
    for (const TPartSheet& p : sheets_) wb_.PatchColumnWidths(*p.bound, autoWidths_);
  EndPart();
}

TxlsSheetContext TxlsSheetWriter::Context() {
  return {wb_,
          styles_,
          sheet_.Extras,
          x_.Pictures,
          xls_.PictureStore(),
          *sheets_[0].bound,
          static_cast<int>(sheets_[0].position),
          autoWidths_,
          sheet_.StartDataCol,
          sheet_.DefColWidth,
          sheet_.DefRowHeight,
          zeroWidth_,
          &rowHeights_,
          [this](std::string_view field) { return FieldRange(field); }};
}

void TxlsSheetWriter::WriteCellExtras() {
  TxlsSheetContext c = Context();
  WriteSheetCellExtras(c);
  if (!hasImages_) return;
  for (const auto& cell : sheet_.Extras.Cells)
    if (cell->IsValid())
      TrackRowHeight(styles_.GetXFIndex("General", &cell->Format), cell->Row - 1);
}

void TxlsSheetWriter::WriteLinksAndDrawing() {
  TxlsSheetContext c = Context();
  WriteSheetLinksAndDrawing(c);
}

uint16_t TxlsSheetWriter::WrapXF(uint16_t xf) {
  for (const auto& [from, to] : wrapXF_)
    if (from == xf) return to;
  TxlsFormat f;
  std::string text = "General";
  if (const TxlsXFormat* style = wb_.Styles().FindXF(xf)) {
    f.Font.Assign(style->Font ? *style->Font : sheet_.Options.DataFormat.Font);
    f.Borders = style->Borders;
    f.Fill = style->Fill;
    f.Alignment = style->Alignment;
    if (style->Format) text = style->Format->Text;
  } else {
    f.Font.Assign(sheet_.Options.DataFormat.Font);
  }
  f.Wrap = true;
  const uint16_t wrapped = styles_.GetXFIndex(text, &f);
  wrapXF_.emplace_back(xf, wrapped);
  return wrapped;
}

void TxlsSheetWriter::TrackRowHeight(uint16_t xf, int row) {
  if (xf == TxlsStyleRegistry::kDefaultXF || row < 0) return;
  uint16_t twips = 0;
  bool known = false;
  for (const auto& [x, h] : xfHeight_)
    if (x == xf) {
      twips = h;
      known = true;
    }
  if (!known) {
    const TxlsXFormat* style = wb_.Styles().FindXF(xf);
    const TxlsFont* font = style ? style->Font : nullptr;
    if (font && !(SameText(font->Name, "arial") && font->Size == 10 && font->Style == 0)) {
      TFont screen;
      font->AssignTo(screen);
      // The line height with its leading, in twips at 96 pixels an inch.
      const int px = TextMetrics().TextHeight(screen, "Wg") + 1;
      twips = static_cast<uint16_t>(std::clamp(px * 15, 0, 0x7FFF));
    }
    xfHeight_.emplace_back(xf, twips);
  }
  if (twips == 0) return;
  const auto r = static_cast<size_t>(row);
  if (rowHeights_.size() <= r) rowHeights_.resize(r + 1, 0);
  rowHeights_[r] = std::max(rowHeights_[r], twips);
}

void TxlsSheetWriter::Label(int row, int col, uint16_t xf, std::string_view text) {
  WriteLabelSST(w_, row, col, xf, sst_.AddString(text));
  Track(row, col);
  if (hasImages_) TrackRowHeight(xf, row);
}

void TxlsSheetWriter::TextCell(int row, int col, const TxlsFormat& look, const std::string& text) {
  Label(row, col, styles_.GetXFIndex("General", &look), text);
}

// A caption whose look was left as it is takes the default XF rather than one of its own.
void TxlsSheetWriter::CaptionCell(int j, int col, const TxlsFormat& look, const std::string& text) {
  uint16_t xf =
      look.IsDefaultFormat() ? TxlsStyleRegistry::kDefaultXF : styles_.GetXFIndex("General", &look);
  Label(sheet_.OutputRow, col, xf, text);
  if (sheet_.AutoCalcColWidth) Measure(j, text, xf);
}

void TxlsSheetWriter::DataCell(int j, const TxlsCellValue& v, int row) {
  uint16_t xf = styles_.DataXF(j);
  const int col = sheet_.StartDataCol + j;
  switch (v.Kind) {
    case TxlsCellValue::cvBlank:
      WriteBlank(w_, row, col, xf);
      break;
    case TxlsCellValue::cvText:
      if (v.Wrap) xf = WrapXF(xf);
      WriteLabelSST(w_, row, col, xf, sst_.AddString(v.Text()));
      break;
    case TxlsCellValue::cvNumber:
      WriteNumber(w_, row, col, xf, v.Number);
      break;
    case TxlsCellValue::cvDateTime:
      if (double serial = 0; xlsSerialDate(v.Number, serial))
        WriteNumber(w_, row, col, xf, serial);
      else
        WriteLabelSST(w_, row, col, xf, sst_.AddString(DateText(j, v.Number)));
      break;
    case TxlsCellValue::cvBoolean:
      WriteBoolErr(w_, row, col, xf, v.Boolean);
      break;
    case TxlsCellValue::cvNone:
      break;  // no cell, but the text still counts for the width
  }
  if (v.Kind != TxlsCellValue::cvNone) {
    Track(row, col);
    NoteDataRow(j, row);
    if (hasImages_) TrackRowHeight(xf, row);
  }
  if (sheet_.AutoCalcColWidth) Measure(j, v.Text(), xf);
}

// A formula over the column's data rows: those of this sheet, and of the sheets this one
// continues through EXTERNSHEET.
void TxlsSheetWriter::AggregateCell(int, int col, int row, const TxlsFormat& look,
                                    const std::string& numberFormat, TxlsAggregate aggregate) {
  const std::string text = numberFormat.empty() ? "General" : numberFormat;
  uint16_t xf = text == "General" && look.IsDefaultFormat() ? TxlsStyleRegistry::kDefaultXF
                                                            : styles_.GetXFIndex(text, &look);
  std::vector<TxlsFormulaRange> ranges;
  for (size_t p = 0; p + 1 < parts_.size(); ++p)
    if (parts_[p].dataEnd >= parts_[p].dataStart)
      ranges.push_back({static_cast<int>(sheets_[p].position),
                        static_cast<unsigned>(parts_[p].dataStart),
                        static_cast<unsigned>(parts_[p].dataEnd), static_cast<unsigned>(col)});
  const TPartRows& cur = parts_.back();
  if (ranges.empty() || cur.dataEnd >= cur.dataStart)
    ranges.push_back({-1, static_cast<unsigned>(cur.dataStart), static_cast<unsigned>(row - 1),
                      static_cast<unsigned>(col)});
  if (ranges.size() > 1 || ranges[0].ExternSheet >= 0) wb_.WriteExternSheets = true;
  WriteFormula(w_, row, col, xf, aggregate, ranges.data(), ranges.size());
  Track(row, col);
}

void TxlsSheetWriter::AggregateText(int j, int col, int row, const TxlsFormat& look,
                                    const std::string& text) {
  uint16_t xf = styles_.GetXFIndex("General", &look);
  Label(row, col, xf, text);
  if (sheet_.AutoCalcColWidth) Measure(j, text, xf);
}

void TxlsSheetWriter::Measure(int j, std::string_view text, uint16_t xf) {
  auto& [fontXF, font] = fonts_[static_cast<size_t>(j)];
  if (fontXF != xf) {
    const TxlsXFormat* style = wb_.Styles().FindXF(xf);
    TxlsFont f;
    if (style && style->Font) f.Assign(*style->Font);
    f.AssignTo(font);
    fontXF = xf;
  }
  MeasureText(j, text, font);
}

}  // namespace morvale
