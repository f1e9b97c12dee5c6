#include "export/xls/sheetwriter.h"

#include <cmath>

#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/platform.h"
#include "export/xls/cells.h"
#include "export/xls/sheetrecords.h"
#include "export/xls/unicode.h"

namespace morvale {

std::string SheetName(std::string_view title, const std::vector<std::string>& taken) {
  std::u16string name = Utf16(title);
  for (char16_t& c : name)
    if (c == '[' || c == ']' || c == ':' || c == '*' || c == '?' || c == '/' || c == '\\') c = '_';
  if (name.empty()) name = u"Sheet";
  auto cut = [](std::u16string s, size_t n) {
    if (s.size() > n) {
      s.resize(n);
      if (!s.empty() && s.back() >= 0xD800 && s.back() < 0xDC00) s.pop_back();
    }
    return s;
  };
  auto isTaken = [&taken](const std::string& n) {
    for (const std::string& t : taken)
      if (SameText(t, n)) return true;
    return false;
  };
  std::string candidate = FromUtf16Text(cut(name, 31));
  for (int n = 2; isTaken(candidate); ++n) {
    std::u16string suffix = Utf16(" (" + std::to_string(n) + ")");
    candidate = FromUtf16Text(cut(name, 31 - suffix.size()) + suffix);
  }
  return candidate;
}

void StoreLineBreaks(std::string& s) {
  size_t out = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      if (i + 1 < s.size() && s[i + 1] == '\n') continue;
      s[out++] = '\n';
    } else {
      s[out++] = s[i];
    }
  }
  s.resize(out);
}

TxlsCellKind CellKindOf(TExportColType type) {
  switch (type) {
    case ectInteger:
    case ectBigint:
    case ectFloat:
    case ectCurrency:
      return ckNumber;
    case ectDate:
    case ectTime:
    case ectDateTime:
      return ckDate;
    case ectString:
      return ckString;
    case ectBoolean:
      return ckBoolean;
    default:
      return ckNone;
  }
}

bool PositionSheetRecords(TExportXLS& x, TxlsSheet& sheet) {
  const TSourceAdapterPtr src = sheet.Source();
  if (sheet.GoToFirstRecord) src->First();
  int counter = 0;
  for (int i = 0; i < sheet.SkipRecCount; ++i) {
    src->Next(counter);
    if (x.OnSkippedRecord) x.OnSkippedRecord(&x, counter);
  }
  return !x.Aborted();
}

void SheetRecordLoop(TExportXLS& x, TxlsSheet& sheet, int index,
                     const std::function<void()>& dataRow) {
  const TSourceAdapterPtr src = sheet.Source();
  sheet.RecordCounter = 0;
  while (!src->Eof(sheet.RecordCounter)) {
    if (sheet.ExportRecCount > 0 && sheet.RecordCounter >= sheet.ExportRecCount) break;
    if (x.Aborted() && !x.CanContinue()) break;
    sheet.FillRow();
    bool accept = true;
    if (x.OnBeforeExportRow) x.OnBeforeExportRow(&x, sheet.Row(), accept);
    if (accept && x.OnAdvancedBeforeExportRow)
      x.OnAdvancedBeforeExportRow(&x, index, sheet.Row(), accept);
    if (accept) dataRow();
    if (sheet.CurrentRecordOnly) break;
    src->Next(sheet.RecordCounter);
    ++x.RecordCounter;
    if (x.OnExportedRecord) x.OnExportedRecord(&x, x.RecordCounter);
    if (x.OnAdvancedExportedRecord) x.OnAdvancedExportedRecord(&x, index, sheet.RecordCounter);
  }
}

void SheetBlock(TxlsSheet& sheet, int index, const TStringList& lines, int rows, TxlsFormat& format,
                const TxlsCellTextEvent& ev, const std::function<void()>& room,
                const std::function<void(int col, const std::string& text)>& cell) {
  if (rows == 0) rows = lines.Count();
  std::string s;
  for (int r = 0; r < rows; ++r) {
    room();
    std::string line = r < lines.Count() ? lines[r] : std::string();
    if (!line.empty() && line.back() != '\t') line += '\t';
    size_t start = 0;
    for (int j = 0; j < TxlsSheetWriter::kMaxCols; ++j) {
      size_t tab = line.find('\t', start);
      if (tab == std::string::npos) {
        s.clear();
      } else {
        s.assign(line, start, tab - start);
        start = tab + 1;
      }
      if (ev) ev(&sheet, index, j, sheet.OutputRow, format, s);
      if (!s.empty()) cell(j, s);
      if (tab == std::string::npos && !ev) break;  // nothing more can appear on this line
    }
    ++sheet.OutputRow;
  }
}

void BeforeDataCells(
    TExportXLS& x, TxlsSheet& sheet, int index,
    const std::function<void(int col, TxlsFormat& look, const std::string&)>& cell) {
  if (!x.OnGetBeforeDataParams || sheet.StartDataCol <= 0) return;
  for (int j = 0; j < sheet.StartDataCol; ++j) {
    TxlsFormat f;
    f.Assign(sheet.Options.DataFormat);
    std::string s;
    x.OnGetBeforeDataParams(&sheet, index, j, sheet.OutputRow, f, s);
    if (!s.empty()) cell(j, f, s);
  }
}

bool TagAggregateColumns(TxlsSheet& sheet) {
  TExportColumns& cols = sheet.Columns();
  cols.ResetTags();
  bool any = false;
  for (int e = 0; e < sheet.FieldFormats.Count(); ++e) {
    const TxlsFieldFormat& f = sheet.FieldFormats[e];
    int c = f.Aggregate == aggNone ? -1 : cols.IndexOfName(f.FieldName);
    if (c < 0) continue;
    cols[c].Tag = e + 1;
    any = true;
  }
  return any;
}

TxlsSheetWriter::TxlsSheetWriter(TExportXLS& exporter, TxlsSheet& sheet, int sheetIndex)
    : x_(exporter),
      sheet_(sheet),
      index_(sheetIndex),
      wb_(*exporter.Workbook()),
      w_(wb_.Writer()),
      sst_(wb_.SST()) {}

void TxlsSheetWriter::Prepare() {
  sheet_.SheetIndex = index_;
  sheet_.OutputRow = 0;
  sheet_.RecordCounter = 0;
  sheet_.SetFormatSettings(x_.FormatSettings());
  // The sheet builds its columns and row buffer from its own source and settings.
  sheet_.BeginExport();
  sheet_.RegisterSheetStyles();
  TExportColumns& cols = sheet_.Columns();
  kinds_.clear();
  autoWidths_.clear();
  wrapXF_.clear();
  xfHeight_.clear();
  rowHeights_.clear();
  dataRows_.assign(static_cast<size_t>(cols.Count()), {-1, -1});
  hasImages_ = false;
  for (const auto& image : sheet_.Extras.Images) {
    int p = x_.Pictures.IndexOf(image->PictureName);
    if (p >= 0 && x_.PictureStore().BlipIndex[static_cast<size_t>(p)] > 0) hasImages_ = true;
  }
  fonts_.assign(static_cast<size_t>(cols.Count()), {0xFFFF, TFont()});
  for (int j = 0; j < cols.Count(); ++j) {
    autoWidths_.push_back(cols[j].Width);
    kinds_.push_back(CellKindOf(cols[j].ColType));
  }
  TFont zeroFont;
  TxlsFont().AssignTo(zeroFont);
  zeroWidth_ = std::max(1, TextMetrics().TextWidth(zeroFont, "0"));
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
  TPart part;
  part.bound = &wb_.BeginSheetStream(index_, PartTitle(static_cast<int>(parts_.size()) + 1), setup);
  part.position = wb_.BoundSheets().size() - 1;
  parts_.push_back(part);
  sheet_.OutputRow = 0;
}

// The extras address the cells of the sheet's first part: they are written with it.
void TxlsSheetWriter::EndPart() {
  const bool first = parts_.size() == 1;
  if (first) WriteCellExtras();
  WriteWindow2(w_);
  WriteSelection(w_);
  if (first) WriteLinksAndDrawing();
  WriteEOF(w_);
}

TxlsSheetContext TxlsSheetWriter::Context() {
  return {wb_,
          sheet_,
          sheet_.Extras,
          x_.Pictures,
          x_.PictureStore(),
          *parts_[0].bound,
          static_cast<int>(parts_[0].position),
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
    if (cell->IsValid()) TrackRowHeight(sheet_.GetXFIndex("General", &cell->Format), cell->Row - 1);
}

void TxlsSheetWriter::WriteLinksAndDrawing() {
  TxlsSheetContext c = Context();
  WriteSheetLinksAndDrawing(c);
}

TxlsDataRange TxlsSheetWriter::FieldRange(std::string_view field) const {
  TxlsDataRange r;
  const int j = sheet_.Columns().IndexOfName(field);
  if (j < 0 || dataRows_[static_cast<size_t>(j)].first < 0) return r;
  const auto& rows = dataRows_[static_cast<size_t>(j)];
  r.Col1 = r.Col2 = sheet_.StartDataCol + j + 1;
  r.Row1 = rows.first + 1;
  r.Row2 = rows.second + 1;
  return r;
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
  const uint16_t wrapped = sheet_.GetXFIndex(text, &f);
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

// Called before every row is written: a full sheet continues on a further one, captions first.
void TxlsSheetWriter::Room() {
  if (sheet_.OutputRow < kMaxRows) return;
  EndPart();
  BeginPart();
  if (sheet_.AllowCaptions) CaptionRow();
  parts_.back().dataStart = sheet_.OutputRow;
}

void TxlsSheetWriter::Label(int row, int col, uint16_t xf, std::string_view text) {
  WriteLabelSST(w_, row, col, xf, sst_.AddString(text));
  Track(row, col);
  if (hasImages_) TrackRowHeight(xf, row);
}

void TxlsSheetWriter::Block(const TStringList& lines, int rows, TxlsFormat& format,
                            const TxlsCellTextEvent& ev) {
  SheetBlock(
      sheet_, index_, lines, rows, format, ev, [this] { Room(); },
      [&](int col, const std::string& s) {
        Label(sheet_.OutputRow, col, sheet_.GetXFIndex("General", &format), s);
      });
}

void TxlsSheetWriter::BeforeData() {
  BeforeDataCells(x_, sheet_, index_, [this](int col, TxlsFormat& f, const std::string& s) {
    Label(sheet_.OutputRow, col, sheet_.GetXFIndex("General", &f), s);
  });
}

void TxlsSheetWriter::CaptionRow() {
  Room();
  BeforeData();
  TExportColumns& cols = sheet_.Columns();
  for (int j = 0; j < cols.Count(); ++j) {
    const int col = sheet_.StartDataCol + j;
    TxlsFormat f;
    f.Assign(sheet_.Options.CaptionsFormat);
    std::string caption = cols[j].Caption;
    if (x_.OnGetCaptionParams) x_.OnGetCaptionParams(&sheet_, index_, col, f, caption);
    if (caption.empty()) continue;
    uint16_t xf =
        f.IsDefaultFormat() ? TxlsStyleRegistry::kDefaultXF : sheet_.GetXFIndex("General", &f);
    Label(sheet_.OutputRow, col, xf, caption);
    if (sheet_.AutoCalcColWidth) Measure(j, caption, xf);
  }
  ++sheet_.OutputRow;
}

void TxlsSheetWriter::DataRow() {
  Room();
  BeforeData();
  const int row = sheet_.OutputRow;
  TExportRow& buffer = sheet_.Row();
  const int n = sheet_.Columns().Count();
  for (int j = 0; j < n; ++j) {
    int cell = buffer.CellOfColumn(j);
    if (cell < 0) continue;
    DataCell(j, buffer[cell].Data, row);
  }
  parts_.back().dataEnd = row;
  ++sheet_.OutputRow;
}

void TxlsSheetWriter::DataCell(int j, std::string& s, int row) {
  if (x_.OnGetExportText) x_.OnGetExportText(&sheet_, j, s);
  if (x_.OnAdvancedGetExportText) x_.OnAdvancedGetExportText(&sheet_, index_, j, s);
  uint16_t xf = sheet_.GetDataXF(j);
  const int col = sheet_.StartDataCol + j;
  const TFormatSettings& fs = sheet_.FormatSettings();
  const TxlsCellKind kind = kinds_[static_cast<size_t>(j)];
  bool written = true;
  if (s.empty()) {
    WriteBlank(w_, row, col, xf);
  } else if (s == sheet_.Formats.NullString()) {
    WriteLabelSST(w_, row, col, xf, sst_.AddString(s));
  } else {
    switch (kind) {
      case ckNumber: {
        double v = 0;
        if (!TryStrToFloat(s, v, fs)) v = 0;
        WriteNumber(w_, row, col, xf, v);
        break;
      }
      case ckDate: {
        TDateTime t = 0;
        if (!TryStrToDateTime(s, t, fs)) t = 0;
        if (t <= 1) {
          // Day 0 and day 1 have no serial in the 1900 system; they are written as text.
          scratch_.clear();
          FormatDateTime(sheet_.Columns()[j].Format, t, fs, scratch_);
          WriteLabelSST(w_, row, col, xf, sst_.AddString(scratch_));
        } else {
          // The 1900 system counts the leap day 29 February 1900 that never was.
          WriteNumber(w_, row, col, xf, t <= 60 ? t - 1 : t);
        }
        break;
      }
      case ckString:
        // A line break inside a cell is LF alone (a CR shows as a stray character in some
        // readers and is dropped by others), and the cell wraps so that its lines show.
        if (s.find_first_of("\r\n") != std::string::npos) {
          StoreLineBreaks(s);
          if (s.find('\n') != std::string::npos) xf = WrapXF(xf);
        }
        WriteLabelSST(w_, row, col, xf, sst_.AddString(s));
        break;
      case ckBoolean:
        WriteBoolErr(w_, row, col, xf, SameText(s, sheet_.Formats.BooleanTrue()));
        break;
      case ckNone:
        written = false;  // no cell, but the text still counts for the width
        break;
    }
  }
  if (written) {
    Track(row, col);
    if (parts_.size() == 1) {
      auto& rows = dataRows_[static_cast<size_t>(j)];
      if (rows.first < 0) rows.first = row;
      rows.second = row;
    }
    if (hasImages_) TrackRowHeight(xf, row);
  }
  if (sheet_.AutoCalcColWidth) Measure(j, s, xf);
}

void TxlsSheetWriter::AggregateRow() {
  TExportColumns& cols = sheet_.Columns();
  if (!TagAggregateColumns(sheet_)) return;
  Room();
  const int row = sheet_.OutputRow;
  bool written = false;
  for (int j = 0; j < cols.Count(); ++j) {
    const int col = sheet_.StartDataCol + j;
    TxlsFormat f;
    f.Assign(sheet_.Options.AggregateFormat);
    std::string value;
    if (cols[j].Tag > 0) {
      std::string text = cols[j].Format.empty() ? "General" : cols[j].Format;
      if (x_.OnGetAggregateParams) x_.OnGetAggregateParams(&sheet_, index_, j, f, text, value);
      if (text.empty()) text = "General";
      uint16_t xf = text == "General" && f.IsDefaultFormat() ? TxlsStyleRegistry::kDefaultXF
                                                             : sheet_.GetXFIndex(text, &f);
      TxlsAggregate agg = sheet_.FieldFormats[cols[j].Tag - 1].Aggregate;
      // The rows of this sheet, and of the sheets this one continues, through EXTERNSHEET.
      std::vector<TxlsFormulaRange> ranges;
      for (size_t p = 0; p + 1 < parts_.size(); ++p)
        if (parts_[p].dataEnd >= parts_[p].dataStart)
          ranges.push_back({static_cast<int>(parts_[p].position),
                            static_cast<unsigned>(parts_[p].dataStart),
                            static_cast<unsigned>(parts_[p].dataEnd), static_cast<unsigned>(col)});
      const TPart& cur = parts_.back();
      if (ranges.empty() || cur.dataEnd >= cur.dataStart)
        ranges.push_back({-1, static_cast<unsigned>(cur.dataStart), static_cast<unsigned>(row - 1),
                          static_cast<unsigned>(col)});
      if (ranges.size() > 1 || ranges[0].ExternSheet >= 0) wb_.WriteExternSheets = true;
      WriteFormula(w_, row, col, xf, agg, ranges.data(), ranges.size());
      Track(row, col);
      written = true;
    } else if (x_.OnGetAggregateParams) {
      std::string text = "General";
      x_.OnGetAggregateParams(&sheet_, index_, j, f, text, value);
      if (value.empty()) continue;
      uint16_t xf = sheet_.GetXFIndex("General", &f);
      Label(row, col, xf, value);
      if (sheet_.AutoCalcColWidth) Measure(j, value, xf);
      written = true;
    }
  }
  if (written) ++sheet_.OutputRow;
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
  scratch_.assign(text);
  scratch_ += 'I';
  int px = TextMetrics().TextWidth(font, scratch_);
  int chars = (px + zeroWidth_ - 1) / zeroWidth_;
  int& w = autoWidths_[static_cast<size_t>(j)];
  if (w < chars) w = chars;
}

void TxlsSheetWriter::ApplyWidths() {
  for (const TPart& p : parts_) wb_.PatchColumnWidths(*p.bound, autoWidths_);
}

bool TxlsSheetWriter::Write() {
  Prepare();
  x_.SetAborted(false);
  BeginPart();
  Block(sheet_.Header, sheet_.HeaderRows, sheet_.Options.HeaderFormat, x_.OnGetHeaderParams);
  if (x_.Aborted()) return false;
  if (sheet_.AllowCaptions) CaptionRow();
  if (x_.Aborted()) return false;
  if (!PositionSheetRecords(x_, sheet_)) return false;
  parts_.back().dataStart = sheet_.OutputRow;
  SheetRecordLoop(x_, sheet_, index_, [this] { DataRow(); });
  AggregateRow();
  Block(sheet_.Footer, sheet_.FooterRows, sheet_.Options.FooterFormat, x_.OnGetFooterParams);
  if (sheet_.AutoCalcColWidth) ApplyWidths();
  EndPart();
  return true;
}

}  // namespace morvale
