// The cell extras of a sheet's epilog: fixed extra cells, merged ranges, the title cells of the
// hyperlinks and their HLINK records.
#include "export/workbook/sheet.h"
#include "export/workbook/unicode.h"
#include "export/xls/cells.h"
#include "export/xls/extras.h"
#include "export/xls/sheetstyles.h"

namespace morvale {

namespace biff {
constexpr uint16_t kMergedCells = 0x00E5, kHLink = 0x01B8, kHLinkTooltip = 0x0800;
}

namespace {

// One MERGEDCELLS record holds 1,027 ranges: 2 + 8 * 1027 = 8218 bytes.
constexpr size_t kRangesPerRecord = 1027;
// Hyperlink texts are cut so that one HLINK record holds them all.
constexpr size_t kMaxLinkText = 1000;

void WriteExtraCell(TxlsSheetContext& c, const TxlsCell& cell) {
  TbiffWriter& w = c.Workbook.Writer();
  const unsigned row = static_cast<unsigned>(cell.Row - 1) & 0xFFFF;
  const unsigned col = static_cast<unsigned>(cell.Col - 1) & 0xFF;
  switch (cell.CellType) {
    case ctBoolean:
      WriteBoolErr(w, row, col, c.Styles.GetXFIndex("General", &cell.Format), cell.BooleanValue);
      break;
    case ctDateTime:
      // A fixed date-time is written as it stands: it was not read from a 1900-system source.
      WriteNumber(w, row, col, c.Styles.GetXFIndex(cell.DateTimeFormat, &cell.Format),
                  cell.DateTimeValue);
      break;
    case ctNumeric:
      WriteNumber(w, row, col, c.Styles.GetXFIndex(cell.NumericFormat, &cell.Format),
                  cell.NumericValue);
      break;
    case ctString: {
      uint16_t xf = c.Styles.GetXFIndex("General", &cell.Format);
      if (cell.StringValue.empty())
        WriteBlank(w, row, col, xf);
      else
        WriteLabelSST(w, c.Workbook.SST(), row, col, xf, cell.StringValue);
      break;
    }
  }
}

std::u16string LinkText(const std::string& s) {
  std::u16string t = Utf16(s);
  if (t.size() > kMaxLinkText) t.resize(kMaxLinkText);
  return t;
}

uint8_t* PutCells(uint8_t* d, const TxlsHyperlink& link) {
  PutU16(d, static_cast<unsigned>(link.Row - 1));
  PutU16(d + 2, static_cast<unsigned>(link.Row - 1));
  PutU16(d + 4, static_cast<unsigned>(link.Col - 1));
  PutU16(d + 6, static_cast<unsigned>(link.Col - 1));
  return d + 8;
}

uint8_t* PutBytes(uint8_t* d, const uint8_t (&bytes)[16]) {
  std::copy(bytes, bytes + 16, d);
  return d + 16;
}

// UTF-16, with a terminating zero when asked.
uint8_t* PutText(uint8_t* d, const std::u16string& s, bool terminated) {
  for (char16_t ch : s) {
    PutU16(d, ch);
    d += 2;
  }
  if (terminated) {
    PutU16(d, 0);
    d += 2;
  }
  return d;
}

constexpr uint8_t kStdLink[16] = {0xD0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                  0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr uint8_t kURLMoniker[16] = {0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                     0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr uint8_t kFileMoniker[16] = {0x03, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

}  // namespace

void WriteMergedCells(TbiffWriter& w, const TxlsMergedCellList& ranges) {
  std::vector<const TxlsMergedCells*> valid;
  for (const auto& m : ranges)
    if (m->IsValid()) valid.push_back(m.get());
  for (size_t start = 0; start < valid.size(); start += kRangesPerRecord) {
    const size_t k = std::min(kRangesPerRecord, valid.size() - start);
    uint8_t* d = w.Data();
    PutU16(d, static_cast<unsigned>(k));
    for (size_t i = 0; i < k; ++i) {
      const TxlsMergedCells& m = *valid[start + i];
      uint8_t* e = d + 2 + 8 * i;
      PutU16(e, static_cast<unsigned>(m.FirstRow - 1));
      PutU16(e + 2, static_cast<unsigned>(m.LastRow - 1));
      PutU16(e + 4, static_cast<unsigned>(m.FirstCol - 1));
      PutU16(e + 6, static_cast<unsigned>(m.LastCol - 1));
    }
    w.WriteRecord(biff::kMergedCells, 2 + 8 * k);
  }
}

void WriteHyperlink(TbiffWriter& w, const TxlsHyperlink& link) {
  const std::u16string title = LinkText(link.Title), target = LinkText(link.Target);
  uint8_t* d = PutCells(w.Data(), link);
  d = PutBytes(d, kStdLink);
  PutU32(d, 2);         // stream version
  PutU32(d + 4, 0x17);  // a moniker, absolute, with a display name
  PutU32(d + 8, static_cast<uint32_t>(title.size() + 1));
  d = PutText(d + 12, title, true);
  if (link.Style == hlsLocalFile) {
    d = PutBytes(d, kFileMoniker);
    PutU16(d, 0);  // no levels up
    // The 8-bit path comes first for old readers; characters it cannot hold become '_'.
    std::string shortPath;
    for (char16_t ch : target) shortPath += ch < 0x80 ? static_cast<char>(ch) : '_';
    PutU32(d + 2, static_cast<uint32_t>(shortPath.size() + 1));
    d += 6;
    std::copy(shortPath.begin(), shortPath.end(), d);
    d += shortPath.size();
    *d++ = 0;
    PutU16(d, 0xFFFF);
    PutU16(d + 2, 0xDEAD);
    std::fill(d + 4, d + 24, uint8_t{0});
    const auto bytes = static_cast<uint32_t>(2 * target.size());
    PutU32(d + 24, bytes + 6);
    PutU32(d + 28, bytes);
    PutU16(d + 32, 3);
    d = PutText(d + 34, target, false);
  } else {
    d = PutBytes(d, kURLMoniker);
    PutU32(d, static_cast<uint32_t>(2 * target.size() + 2));
    d = PutText(d + 4, target, true);
  }
  w.WriteRecord(biff::kHLink, static_cast<size_t>(d - w.Data()));
  if (link.ScreenTip.empty()) return;
  d = w.Data();
  PutU16(d, biff::kHLinkTooltip);
  d = PutText(PutCells(d + 2, link), LinkText(link.ScreenTip), true);
  w.WriteRecord(biff::kHLinkTooltip, static_cast<size_t>(d - w.Data()));
}

void WriteSheetCellExtras(TxlsSheetContext& c) {
  for (const auto& cell : c.Extras.Cells)
    if (cell->IsValid()) WriteExtraCell(c, *cell);
  WriteMergedCells(c.Workbook.Writer(), c.Extras.MergedCells);
  for (const auto& link : c.Extras.Hyperlinks) {
    if (!link->IsValid()) continue;
    const int row = link->Row - 1, col = link->Col - 1;
    WriteLabelSST(c.Workbook.Writer(), c.Workbook.SST(), static_cast<unsigned>(row),
                  static_cast<unsigned>(col), c.Styles.GetXFIndex("General", &link->Format),
                  link->Title);
    c.Bound.Track(row, col);
  }
}

}  // namespace morvale
