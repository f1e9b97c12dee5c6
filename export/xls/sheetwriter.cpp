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
  const TSourceRef src = sheet.SourceRef();
  if (sheet.GoToFirstRecord) src.First();
  int counter = 0;
  for (int i = 0; i < sheet.SkipRecCount; ++i) {
    src.Next(counter);
    if (x.OnSkippedRecord) x.OnSkippedRecord(&x, counter);
  }
  return !x.Aborted();
}

void SheetRecordLoop(TExportXLS& x, TxlsSheet& sheet, int index,
                     const std::function<void()>& dataRow) {
  const TSourceRef src = sheet.SourceRef();
  sheet.RecordCounter = 0;
  while (!src.Eof(sheet.RecordCounter)) {
    if (sheet.ExportRecCount > 0 && sheet.RecordCounter >= sheet.ExportRecCount) break;
    if (x.Aborted() && !x.CanContinue()) break;
    sheet.FillRow();
    bool accept = true;
    if (x.OnBeforeExportRow) x.OnBeforeExportRow(&x, sheet.Row(), accept);
    if (accept && x.OnAdvancedBeforeExportRow)
      x.OnAdvancedBeforeExportRow(&x, index, sheet.Row(), accept);
    if (accept) dataRow();
    if (sheet.CurrentRecordOnly) break;
    src.Next(sheet.RecordCounter);
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

void TxlsSheetWriter::EndPart() {
  // Extra cells, merged ranges and hyperlink titles come before the window records; hyperlinks
  // and the drawing after the selection.
  WriteWindow2(w_);
  WriteSelection(w_);
  WriteEOF(w_);
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
  const uint16_t xf = sheet_.GetDataXF(j);
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
  if (written) Track(row, col);
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
