#include "export/workbook/sheetrows.h"

#include <algorithm>
#include <cmath>

#include "export/core/numfmt.h"
#include "export/core/platform.h"
#include "export/workbook/unicode.h"

namespace morvale {

namespace {

// A line of the header or footer block is split into at most as many cells as a BIFF8 sheet has
// columns, in both formats.
constexpr int kBlockCols = 256;

}  // namespace

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

bool xlsSerialDate(TDateTime t, double& serial) {
  if (t <= 1) return false;
  // The 1900 system counts the leap day 29 February 1900 that never was.
  serial = t < 61 ? t - 1 : t;
  return true;
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

TxlsSheetRows::TxlsSheetRows(TExportWorkbook& exporter, TxlsSheet& sheet, int sheetIndex,
                             int maxRows)
    : x_(exporter), sheet_(sheet), index_(sheetIndex), maxRows_(maxRows) {}

bool TxlsSheetRows::Write() {
  Prepare();
  x_.SetAborted(false);
  NewPart();
  Block(sheet_.Header, sheet_.HeaderRows, sheet_.Options.HeaderFormat, x_.OnGetHeaderParams);
  if (x_.Aborted()) return false;
  if (sheet_.AllowCaptions) CaptionRow();
  if (x_.Aborted()) return false;
  if (!PositionRecords()) return false;
  parts_.back().dataStart = sheet_.OutputRow;
  RecordLoop();
  AggregateRow();
  Block(sheet_.Footer, sheet_.FooterRows, sheet_.Options.FooterFormat, x_.OnGetFooterParams);
  Finish();
  return true;
}

void TxlsSheetRows::Prepare() {
  sheet_.SheetIndex = index_;
  sheet_.OutputRow = 0;
  sheet_.RecordCounter = 0;
  sheet_.SetFormatSettings(x_.FormatSettings());
  // The row holds the fields' stored values unless a handler reads or changes its texts.
  textEvents_ = x_.OnGetExportText || x_.OnAdvancedGetExportText;
  sheet_.SetRowValues(!textEvents_ && !x_.OnBeforeExportRow && !x_.OnAdvancedBeforeExportRow);
  // The sheet builds its columns and row buffer from its own source and settings.
  sheet_.BeginExport();
  TExportColumns& cols = sheet_.Columns();
  kinds_.clear();
  autoWidths_.clear();
  for (int j = 0; j < cols.Count(); ++j) {
    autoWidths_.push_back(cols[j].Width);
    kinds_.push_back(CellKindOf(cols[j].ColType));
  }
  looks_ = sheet_.ColumnLooks();
  dataRows_.assign(static_cast<size_t>(cols.Count()), {-1, -1});
  TFont zeroFont;
  TxlsFont().AssignTo(zeroFont);
  zeroWidth_ = std::max(1, TextMetrics().TextWidth(zeroFont, "0"));
  PrepareFormat();
}

void TxlsSheetRows::NewPart() {
  BeginPart();
  parts_.emplace_back();
  sheet_.OutputRow = 0;
}

// Called before every row is written: a full sheet continues on a further one, captions first.
void TxlsSheetRows::Room() {
  BeforeRow();
  if (sheet_.OutputRow < maxRows_) return;
  EndPart();
  NewPart();
  if (sheet_.AllowCaptions) CaptionRow();
  parts_.back().dataStart = sheet_.OutputRow;
}

// `rows` lines (0: as many as there are), each split at its tabs into cells; the event sees every
// cell of a line, the empty ones too.
void TxlsSheetRows::Block(const TStringList& lines, int rows, TxlsFormat& format,
                          const TxlsCellTextEvent& ev) {
  if (rows == 0) rows = lines.Count();
  std::string s;
  for (int r = 0; r < rows; ++r) {
    Room();
    std::string line = r < lines.Count() ? lines[r] : std::string();
    if (!line.empty() && line.back() != '\t') line += '\t';
    size_t start = 0;
    for (int j = 0; j < kBlockCols; ++j) {
      size_t tab = line.find('\t', start);
      if (tab == std::string::npos) {
        s.clear();
      } else {
        s.assign(line, start, tab - start);
        start = tab + 1;
      }
      if (ev) ev(&sheet_, index_, j, sheet_.OutputRow, format, s);
      if (!s.empty()) TextCell(sheet_.OutputRow, j, format, s);
      if (tab == std::string::npos && !ev) break;  // nothing more can appear on this line
    }
    ++sheet_.OutputRow;
  }
}

// The cells before the data columns, filled by OnGetBeforeDataParams.
void TxlsSheetRows::BeforeData() {
  if (!x_.OnGetBeforeDataParams || sheet_.StartDataCol <= 0) return;
  for (int j = 0; j < sheet_.StartDataCol; ++j) {
    TxlsFormat f;
    f.Assign(sheet_.Options.DataFormat);
    std::string s;
    x_.OnGetBeforeDataParams(&sheet_, index_, j, sheet_.OutputRow, f, s);
    if (!s.empty()) TextCell(sheet_.OutputRow, j, f, s);
  }
}

void TxlsSheetRows::CaptionRow() {
  Room();
  BeforeData();
  TExportColumns& cols = sheet_.Columns();
  for (int j = 0; j < cols.Count(); ++j) {
    const int col = sheet_.StartDataCol + j;
    TxlsFormat f;
    f.Assign(sheet_.Options.CaptionsFormat);
    std::string caption = cols[j].Caption;
    if (x_.OnGetCaptionParams) x_.OnGetCaptionParams(&sheet_, index_, col, f, caption);
    if (!caption.empty()) CaptionCell(j, col, f, caption);
  }
  ++sheet_.OutputRow;
}

// Goes to the sheet source's first record and past the records to skip; false when aborted.
bool TxlsSheetRows::PositionRecords() {
  TRecordWalk walk(*sheet_.Source(), sheet_.RecordRange(), sheet_.RecordCounter);
  walk.Start();
  walk.OnSkipped = [this](int recNo) {
    if (x_.OnSkippedRecord) x_.OnSkippedRecord(&x_, recNo);
  };
  walk.Skip();
  return !x_.Aborted();
}

// Every accepted record's row; every record, accepted or not, counted by the exporter's record
// events (the run's counter and the sheet's, each as it stands after the record).
void TxlsSheetRows::RecordLoop() {
  const TSourceAdapterPtr src = sheet_.Source();
  TRecordWalk walk(*src, sheet_.RecordRange(), sheet_.RecordCounter);
  walk.Stopped = [this] { return x_.Aborted() && !x_.CanContinue(); };
  walk.Records([this](int counter) {
    sheet_.FillRow();
    bool accept = true;
    if (x_.OnBeforeExportRow) x_.OnBeforeExportRow(&x_, sheet_.Row(), accept);
    if (accept && x_.OnAdvancedBeforeExportRow)
      x_.OnAdvancedBeforeExportRow(&x_, index_, sheet_.Row(), accept);
    if (accept) DataRow();
    ++x_.RecordCounter;
    if (x_.OnExportedRecord) x_.OnExportedRecord(&x_, x_.RecordCounter);
    if (x_.OnAdvancedExportedRecord) x_.OnAdvancedExportedRecord(&x_, index_, counter + 1);
    return true;
  });
}

void TxlsSheetRows::DataRow() {
  Room();
  BeforeData();
  const int row = sheet_.OutputRow;
  TExportRow& buffer = sheet_.Row();
  const int n = sheet_.Columns().Count();
  TxlsCellValue value;
  for (int j = 0; j < n; ++j) {
    int cell = buffer.CellOfColumn(j);
    if (cell < 0) continue;
    TExportCol& c = buffer[cell];
    if (textEvents_) {
      // A handler reads or rewrites the text, and the cell then holds what it left.
      std::string& s = c.Text();
      c.Stored = false;
      if (x_.OnGetExportText) x_.OnGetExportText(&sheet_, j, s);
      if (x_.OnAdvancedGetExportText) x_.OnAdvancedGetExportText(&sheet_, index_, j, s);
    }
    ReadValue(j, c, value);
    DataCell(j, value, row);
  }
  parts_.back().dataEnd = row;
  ++sheet_.OutputRow;
}

bool TxlsSheetRows::TakeStoredValue(int j, const TFieldValue& stored, TxlsCellValue& v) const {
  switch (stored.Kind) {
    case TValueKind::Null:
      v.Kind = TxlsCellValue::cvBlank;  // as the empty text of a NULL always was
      return true;
    case TValueKind::Integer:
      if (kinds_[static_cast<size_t>(j)] != ckNumber) return false;
      v.Kind = TxlsCellValue::cvNumber;
      v.Number = static_cast<double>(stored.Int);
      return true;
    case TValueKind::Float:
    case TValueKind::Decimal:
      // The words for infinities and NaN are texts.
      if (kinds_[static_cast<size_t>(j)] != ckNumber || !std::isfinite(stored.Float)) return false;
      v.Kind = TxlsCellValue::cvNumber;
      v.Number = stored.Float;
      return true;
    case TValueKind::DateTime:
      if (kinds_[static_cast<size_t>(j)] != ckDate) return false;
      v.Kind = TxlsCellValue::cvDateTime;
      v.Number = stored.Float;
      return true;
    case TValueKind::Boolean:
      if (kinds_[static_cast<size_t>(j)] != ckBoolean) return false;
      v.Kind = TxlsCellValue::cvBoolean;
      v.Boolean = stored.Bool;
      return true;
    case TValueKind::Text:
      return false;
  }
  return false;
}

// The one place where a cell's value is decided: taken as the source holds it, or read back
// from the cell's text where the row holds text.
void TxlsSheetRows::ReadValue(int j, TExportCol& cell, TxlsCellValue& v) const {
  v = TxlsCellValue();
  v.Cell = &cell;
  if (cell.Stored && TakeStoredValue(j, cell.Value, v)) return;
  std::string& s = cell.Text();
  const TFormatSettings& fs = sheet_.FormatSettings();
  if (s.empty()) {
    v.Kind = TxlsCellValue::cvBlank;
    return;
  }
  if (s == sheet_.Formats.NullString()) {
    v.Kind = TxlsCellValue::cvText;
    return;
  }
  switch (kinds_[static_cast<size_t>(j)]) {
    case ckNumber:
      v.Kind = TxlsCellValue::cvNumber;
      if (!TryStrToFloat(s, v.Number, fs)) v.Number = 0;
      break;
    case ckDate: {
      v.Kind = TxlsCellValue::cvDateTime;
      TDateTime t = 0;
      if (!TryStrToDateTime(s, t, fs)) t = 0;
      v.Number = t;
      break;
    }
    case ckString:
      // A line break inside a cell is LF alone (a CR shows as a stray character in some readers
      // and is dropped by others), and the cell wraps so that its lines show.
      v.Kind = TxlsCellValue::cvText;
      if (s.find_first_of("\r\n") != std::string::npos) {
        StoreLineBreaks(s);
        v.Wrap = s.find('\n') != std::string::npos;
      }
      break;
    case ckBoolean:
      v.Kind = TxlsCellValue::cvBoolean;
      v.Boolean = SameText(s, sheet_.Formats.BooleanTrue());
      break;
    case ckNone:
      break;
  }
}

const std::string& TxlsSheetRows::DateText(int j, TDateTime t) {
  scratch_.clear();
  FormatDateTime(sheet_.Columns()[j].Format, t, sheet_.FormatSettings(), scratch_);
  return scratch_;
}

void TxlsSheetRows::AggregateRow() {
  if (!TagAggregateColumns()) return;
  Room();
  TExportColumns& cols = sheet_.Columns();
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
      AggregateCell(j, col, row, f, text, sheet_.FieldFormats[cols[j].Tag - 1].Aggregate);
      written = true;
    } else if (x_.OnGetAggregateParams) {
      std::string text = "General";
      x_.OnGetAggregateParams(&sheet_, index_, j, f, text, value);
      if (value.empty()) continue;
      AggregateText(j, col, row, f, value);
      written = true;
    }
  }
  if (written) ++sheet_.OutputRow;
}

// Tags the columns that have an aggregate with their field format's position + 1; false when none.
bool TxlsSheetRows::TagAggregateColumns() {
  TExportColumns& cols = sheet_.Columns();
  cols.ResetTags();
  bool any = false;
  for (int e = 0; e < sheet_.FieldFormats.Count(); ++e) {
    const TxlsFieldFormat& f = sheet_.FieldFormats[e];
    int c = f.Aggregate == aggNone ? -1 : cols.IndexOfName(f.FieldName);
    if (c < 0) continue;
    cols[c].Tag = e + 1;
    any = true;
  }
  return any;
}

void TxlsSheetRows::MeasureText(int j, std::string_view text, const TFont& font) {
  measured_.assign(text);
  measured_ += 'I';
  int px = TextMetrics().TextWidth(font, measured_);
  int chars = (px + zeroWidth_ - 1) / zeroWidth_;
  int& w = autoWidths_[static_cast<size_t>(j)];
  if (w < chars) w = chars;
}

TxlsDataRange TxlsSheetRows::FieldRange(std::string_view field) const {
  TxlsDataRange r;
  const int j = sheet_.Columns().IndexOfName(field);
  if (j < 0 || dataRows_[static_cast<size_t>(j)].first < 0) return r;
  const auto& rows = dataRows_[static_cast<size_t>(j)];
  r.Col1 = r.Col2 = sheet_.StartDataCol + j + 1;
  r.Row1 = rows.first + 1;
  r.Row2 = rows.second + 1;
  return r;
}

}  // namespace morvale
