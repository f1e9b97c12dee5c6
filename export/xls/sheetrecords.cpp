#include "export/xls/sheetrecords.h"

#include <algorithm>
#include <cmath>

#include "export/workbook/unicode.h"
#include "export/xls/extras.h"

namespace morvale {

void WriteHeaderFooter(TbiffWriter& w, uint16_t id, std::string_view text) {
  if (text.empty()) {
    w.WriteRecord(id, 0);
    return;
  }
  std::u16string s = Utf16(text);
  // Texts in Latin-1 are stored as 8-bit characters; anything else (Cyrillic page headers) as
  // UTF-16, which every reader decodes, instead of bytes a reader would take for Latin-1. The
  // character count is 16 bits, and the text is cut to what one record holds.
  bool compressed = IsLatin1(s);
  size_t room = (biff::kMaxRecordData - 3) / (compressed ? 1 : 2);
  if (s.size() > room) s.resize(room);
  uint8_t* d = w.Data();
  PutU16(d, static_cast<unsigned>(s.size()));
  d[2] = compressed ? 0 : 1;
  for (size_t i = 0; i < s.size(); ++i) {
    if (compressed)
      d[3 + i] = static_cast<uint8_t>(s[i]);
    else
      PutU16(d + 3 + 2 * i, s[i]);
  }
  w.WriteRecord(id, 3 + s.size() * (compressed ? 1 : 2));
}

void WriteColInfo(TbiffWriter& w, const TxlsColInfo& c) {
  uint8_t* d = w.Data();
  PutU16(d, c.Column);
  PutU16(d + 2, c.Column);
  PutU16(d + 4, c.Width);
  PutU16(d + 6, c.XF);
  PutU16(d + 8, c.Flags);
  d[10] = 0;
  w.WriteRecord(biff::kColInfo, 11);
}

void WriteDimensions(TbiffWriter& w) {
  std::fill(w.Data(), w.Data() + 14, uint8_t{0});
  w.WriteRecord(biff::kDimensions, 14);
}

void WriteWindow2(TbiffWriter& w) {
  uint8_t* d = w.Data();
  std::fill(d, d + 18, uint8_t{0});
  // Grid lines, headers, zeros, default header colour, outline symbols, selected, displayed.
  PutU16(d, 0x06B6);
  w.WriteRecord(biff::kWindow2, 18);
}

void WriteSelection(TbiffWriter& w) {
  uint8_t* d = w.Data();
  std::fill(d, d + 16, uint8_t{0});
  d[0] = 3;          // pane
  PutU16(d + 7, 1);  // one reference, A1:A1
  w.WriteRecord(biff::kSelection, 16);
}

TxlsBoundSheet& TxlsWorkbook::BeginSheetStream(int sheetIndex, const std::string& title,
                                               const TxlsSheetSetup& setup) {
  auto sheet = std::make_unique<TxlsBoundSheet>();
  sheet->SheetIndex = sheetIndex;
  sheet->Title = title;
  sheet->StreamPos = stream_.Position();
  TbiffWriter& w = writer_;
  WriteBOF(w, biff::kWorksheet);
  w.WriteWordRecord(biff::kCalcMode, 1);
  w.WriteWordRecord(biff::kCalcCount, 100);
  w.WriteWordRecord(biff::kRefMode, 1);
  w.WriteWordRecord(biff::kIteration, 0);
  PutDouble(w.Data(), 0.001);
  w.WriteRecord(biff::kDelta, 8);
  w.WriteWordRecord(biff::kSaveRecalc, 1);
  w.WriteWordRecord(biff::kPrintHeaders, 0);
  w.WriteWordRecord(biff::kPrintGridLines, 0);
  w.WriteWordRecord(biff::kGridSet, 1);
  std::fill(w.Data(), w.Data() + 8, uint8_t{0});
  w.WriteRecord(biff::kGuts, 8);
  w.WriteWordRecord(biff::kDefColWidth, static_cast<unsigned>(setup.DefColWidth));
  PutU16(w.Data(), 0);
  PutU16(w.Data() + 2, static_cast<unsigned>(std::trunc(setup.DefRowHeight * 20)));
  w.WriteRecord(biff::kDefaultRowHeight, 4);
  w.WriteWordRecord(biff::kWsBool, 0x04C1);
  WriteHeaderFooter(w, biff::kHeader, setup.PageHeader);
  WriteHeaderFooter(w, biff::kFooter, setup.PageFooter);
  w.WriteWordRecord(biff::kHCenter, 0);
  w.WriteWordRecord(biff::kVCenter, 0);
  if (setup.Background) WriteBackground(w, *setup.Background);
  std::vector<TxlsColInfo> columns = setup.Columns;
  std::stable_sort(columns.begin(), columns.end(),
                   [](const TxlsColInfo& a, const TxlsColInfo& b) { return a.Column < b.Column; });
  sheet->ColInfoPos = stream_.Position();
  for (const TxlsColInfo& c : columns) WriteColInfo(w, c);
  sheet->DimensionsPos = stream_.Position();
  WriteDimensions(w);
  sheets_.push_back(std::move(sheet));
  return *sheets_.back();
}

void TxlsWorkbook::PatchColumnWidths(const TxlsBoundSheet& sheet, const std::vector<int>& widths) {
  int64_t end = stream_.Position();
  for (size_t j = 0; j < widths.size(); ++j) {
    // Each COLINFO is 15 bytes; its width sits after the header and the two column fields.
    uint8_t v[2];
    PutU16(v, static_cast<unsigned>(std::clamp(widths[j], 0, 255) * 256));
    stream_.Seek(sheet.ColInfoPos + static_cast<int64_t>(15 * j) + 8);
    stream_.Write(v, 2);
  }
  stream_.Seek(end);
}

}  // namespace morvale
