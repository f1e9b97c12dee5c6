#include "export/xlsx/xlsxsheet.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/platform.h"
#include "export/xls/sheetwriter.h"
#include "export/xlsx/exportxlsx.h"
#include "export/xlsx/xlsxstyles.h"

namespace morvale {

namespace {

// A cell holds at most 32,767 characters; longer texts are cut rather than refused, as the
// workbook exporter does.
constexpr size_t kMaxCellChars = 32767;

// A spreadsheet keeps 15 significant digits: a 64-bit key past them (an order number, a serial)
// would come back changed, so it is written as its text instead.
constexpr double kExactDigits = 1e15;

std::string ColumnName(int col) {
  std::string name;
  for (int c = col + 1; c > 0; c = (c - 1) / 26)
    name.insert(name.begin(), char('A' + (c - 1) % 26));
  return name;
}

// A sheet name quoted for a formula: 'Sheet 1'!, with quotes doubled.
std::string SheetRef(const std::string& title) {
  std::string r = "'";
  for (char c : title) {
    if (c == '\'') r += c;
    r += c;
  }
  return r + "'!";
}

// The package refuses a sheet name that starts or ends with a quote.
std::string PackageSheetName(std::string name) {
  if (!name.empty() && name.front() == '\'') name.front() = '_';
  if (!name.empty() && name.back() == '\'') name.back() = '_';
  return name;
}

}  // namespace

void TxlsxSheetWriter::TTotals::Add(double v) {
  min = count ? std::min(min, v) : v;
  max = count ? std::max(max, v) : v;
  sum += v;
  ++count;
}

double TxlsxSheetWriter::TTotals::Result(int aggregate) const {
  switch (aggregate) {
    case aggSum:
      return sum;
    case aggAvg:
      return count ? sum / static_cast<double>(count) : 0;
    case aggMin:
      return min;
    case aggMax:
      return max;
    default:
      return 0;
  }
}

TxlsxSheetWriter::TxlsxSheetWriter(TExportXLSX& exporter, TxlsSheet& sheet, int sheetIndex,
                                   lxw_workbook* workbook, TxlsxStyles& styles,
                                   std::vector<std::string>& titles)
    : x_(exporter),
      sheet_(sheet),
      index_(sheetIndex),
      wb_(workbook),
      styles_(styles),
      titles_(titles) {}

void TxlsxSheetWriter::Check(int error, int row, int col) const {
  if (error == LXW_NO_ERROR) return;
  throw Exception(Format("Cannot write the cell %s of sheet %s: %s",
                         {ColumnName(col) + std::to_string(row + 1), parts_.back().title,
                          lxw_strerror(static_cast<lxw_error>(error))}));
}

void TxlsxSheetWriter::Prepare() {
  sheet_.SheetIndex = index_;
  sheet_.OutputRow = 0;
  sheet_.RecordCounter = 0;
  sheet_.SetFormatSettings(x_.FormatSettings());
  sheet_.BeginExport();
  TExportColumns& cols = sheet_.Columns();
  kinds_.clear();
  autoWidths_.clear();
  totals_.assign(static_cast<size_t>(cols.Count()), {});
  fonts_.assign(static_cast<size_t>(cols.Count()), TFont());
  for (int j = 0; j < cols.Count(); ++j) {
    autoWidths_.push_back(cols[j].Width);
    kinds_.push_back(CellKindOf(cols[j].ColType));
  }
  PrepareLooks();
  dataRows_.assign(static_cast<size_t>(cols.Count()), {-1, -1});
  used_ = TxlsBoundSheet();
  extras_ = std::make_unique<TxlsxExtras>(sheet_.Extras, x_.Pictures, wb_, styles_);
  TFont zeroFont;
  TxlsFont().AssignTo(zeroFont);
  zeroWidth_ = std::max(1, TextMetrics().TextWidth(zeroFont, "0"));
  baseTitle_ = PackageSheetName(SheetName(sheet_.Title, titles_));
}

// Strip styles win over field formats, as in the workbook exporter; a column with neither gets the
// data format.
void TxlsxSheetWriter::PrepareLooks() {
  TExportColumns& cols = sheet_.Columns();
  const int strips = sheet_.StripStyles.Count();
  looks_.clear();
  formats_.clear();
  for (int j = 0; j < cols.Count(); ++j) {
    std::vector<lxw_format*> f;
    const TxlsFormat* look = &sheet_.Options.DataFormat;
    if (strips > 0 && sheet_.StripType == ssRow) {
      for (int s = 0; s < strips; ++s)
        f.push_back(styles_.Get(&sheet_.StripStyles[s], cols[j].Format));
    } else {
      if (strips > 0 && sheet_.StripType == ssCol) {
        look = &sheet_.StripStyles[j % strips];
      } else {
        int ff = sheet_.FieldFormats.IndexOf(cols[j].Name);
        if (ff >= 0) look = &sheet_.FieldFormats[ff];
      }
      f.push_back(styles_.Get(look, cols[j].Format));
    }
    looks_.push_back(look);
    formats_.push_back(std::move(f));
    TxlsFont font;
    font.Assign(look->Font);
    font.AssignTo(fonts_[static_cast<size_t>(j)]);
  }
}

void TxlsxSheetWriter::BeginPart() {
  // The extras belong to the first part: what is left of them goes there before it ends.
  if (parts_.size() == 1) extras_->CellsAbove(kMaxRows, used_);
  TPart part;
  part.title = parts_.empty()
                   ? baseTitle_
                   : PackageSheetName(SheetName(
                         baseTitle_ + " (" + std::to_string(parts_.size() + 1) + ")", titles_));
  part.sheet = workbook_add_worksheet(wb_, part.title.c_str());
  if (!part.sheet) throw Exception("Cannot add the sheet " + part.title + " to the workbook");
  titles_.push_back(part.title);
  // A text that names no part of the line (&L, &C, &R) is centred, as the workbook's own header
  // is; saying so keeps readers that insist on a part from dropping it.
  auto headerText = [](std::string s) {
    if (s.find("&L") == std::string::npos && s.find("&C") == std::string::npos &&
        s.find("&R") == std::string::npos)
      s.insert(0, "&C");
    xlsxCutToChars(s, LXW_HEADER_FOOTER_MAX);
    return s;
  };
  if (!sheet_.Options.PageHeader.empty())
    worksheet_set_header(part.sheet, headerText(sheet_.Options.PageHeader).c_str());
  if (!sheet_.Options.PageFooter.empty())
    worksheet_set_footer(part.sheet, headerText(sheet_.Options.PageFooter).c_str());
  parts_.push_back(part);
  if (parts_.size() == 1) extras_->Begin(part.sheet);
  // Widths measured from the data are known only at the end (the package writes the column
  // records after the rows, so they can still be set then).
  if (!sheet_.AutoCalcColWidth) ApplyWidths(parts_.back());
  sheet_.OutputRow = 0;
}

// Runs before each row is written: the rows above it are complete, so the extra cells they hold
// go out now, after the sheet's own cells (the package takes no cell above the current row).
void TxlsxSheetWriter::Room() {
  if (parts_.size() == 1) extras_->CellsAbove(sheet_.OutputRow, used_);
  if (sheet_.OutputRow < kMaxRows) return;
  BeginPart();
  if (sheet_.AllowCaptions) CaptionRow();
  parts_.back().dataStart = sheet_.OutputRow;
}

// Texts travel in the system code page; the package wants UTF-8 and rejects nothing, so bytes that
// are no UTF-8 would make the sheet unreadable: they become U+FFFD.
void TxlsxSheetWriter::String(int row, int col, lxw_format* format, std::string_view text) {
  ToUtf8(text, utf8_);
  if (utf8_.size() > kMaxCellChars) xlsxCutToChars(utf8_, kMaxCellChars);
  Check(worksheet_write_string(parts_.back().sheet, static_cast<lxw_row_t>(row),
                               static_cast<lxw_col_t>(col), utf8_.c_str(), format),
        row, col);
  Track(row, col);
}

void TxlsxSheetWriter::Block(const TStringList& lines, int rows, TxlsFormat& format,
                             const TxlsCellTextEvent& ev) {
  SheetBlock(
      sheet_, index_, lines, rows, format, ev, [this] { Room(); },
      [&](int col, const std::string& s) {
        String(sheet_.OutputRow, col, styles_.Get(&format, {}), s);
      });
}

void TxlsxSheetWriter::BeforeData() {
  BeforeDataCells(x_, sheet_, index_, [this](int col, TxlsFormat& f, const std::string& s) {
    String(sheet_.OutputRow, col, styles_.Get(&f, {}), s);
  });
}

void TxlsxSheetWriter::CaptionRow() {
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
    String(sheet_.OutputRow, col, styles_.Get(&f, {}), caption);
    if (sheet_.AutoCalcColWidth) {
      TFont font;
      f.Font.AssignTo(font);
      Measure(j, caption, font);
    }
  }
  ++sheet_.OutputRow;
}

void TxlsxSheetWriter::DataRow() {
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

lxw_format* TxlsxSheetWriter::DataFormat(int j, bool wrap) {
  const auto& f = formats_[static_cast<size_t>(j)];
  lxw_format* format =
      f.size() == 1 ? f[0] : f[static_cast<size_t>(sheet_.RecordCounter) % f.size()];
  if (!x_.OnGetDataParams && !wrap) return format;
  TxlsFormat look;
  const int strips = static_cast<int>(f.size());
  look.Assign(strips > 1 ? sheet_.StripStyles[sheet_.RecordCounter % strips]
                         : *looks_[static_cast<size_t>(j)]);
  std::string text = sheet_.Columns()[j].Format;
  if (x_.OnGetDataParams) {
    x_.OnGetDataParams(&sheet_, index_, sheet_.StartDataCol + j, sheet_.OutputRow, look, text);
    if (text.empty()) text = sheet_.Columns()[j].Format;
  }
  if (wrap) look.Wrap = true;
  return styles_.Get(&look, text);
}

void TxlsxSheetWriter::DataCell(int j, std::string& s, int row) {
  if (x_.OnGetExportText) x_.OnGetExportText(&sheet_, j, s);
  if (x_.OnAdvancedGetExportText) x_.OnAdvancedGetExportText(&sheet_, index_, j, s);
  // A text's line breaks are stored as LF, and a cell that holds one wraps so its lines show.
  bool wrap = false;
  if (kinds_[static_cast<size_t>(j)] == ckString && s.find_first_of("\r\n") != std::string::npos) {
    StoreLineBreaks(s);
    wrap = s.find('\n') != std::string::npos;
  }
  lxw_format* format = DataFormat(j, wrap);
  lxw_worksheet* ws = parts_.back().sheet;
  const int col = sheet_.StartDataCol + j;
  const auto r = static_cast<lxw_row_t>(row);
  const auto c = static_cast<lxw_col_t>(col);
  const TFormatSettings& fs = sheet_.FormatSettings();
  int error = LXW_NO_ERROR;
  if (s.empty()) {
    error = worksheet_write_blank(ws, r, c, format);
  } else if (s == sheet_.Formats.NullString()) {
    String(row, col, format, s);
  } else {
    switch (kinds_[static_cast<size_t>(j)]) {
      case ckNumber: {
        double v = 0;
        if (!TryStrToFloat(s, v, fs) || !std::isfinite(v)) v = 0;
        if (std::fabs(v) >= kExactDigits && sheet_.Columns()[j].ColType == ectBigint) {
          String(row, col, format, s);
          break;
        }
        totals_[static_cast<size_t>(j)].Add(v);
        error = worksheet_write_number(ws, r, c, v, format);
        break;
      }
      case ckDate: {
        TDateTime t = 0;
        if (!TryStrToDateTime(s, t, fs)) t = 0;
        if (sheet_.Columns()[j].ColType == ectTime && t >= 0) {
          // A time of day is the fraction of a day, as the spreadsheet keeps times itself.
          const double time = t - std::floor(t);
          totals_[static_cast<size_t>(j)].Add(time);
          error = worksheet_write_number(ws, r, c, time, format);
        } else if (t <= 1) {
          // Day 0 and day 1 have no serial in the 1900 system; they are written as text.
          scratch_.clear();
          FormatDateTime(sheet_.Columns()[j].Format, t, fs, scratch_);
          String(row, col, format, scratch_);
        } else {
          // The 1900 system counts the leap day 29 February 1900 that never was.
          const double serial = t <= 60 ? t - 1 : t;
          totals_[static_cast<size_t>(j)].Add(serial);
          error = worksheet_write_number(ws, r, c, serial, format);
        }
        break;
      }
      case ckString:
        String(row, col, format, s);
        break;
      case ckBoolean:
        error =
            worksheet_write_boolean(ws, r, c, SameText(s, sheet_.Formats.BooleanTrue()), format);
        break;
      case ckNone:
        break;  // no cell, but the text still counts for the width
    }
  }
  Check(error, row, col);
  if (kinds_[static_cast<size_t>(j)] != ckNone) {
    Track(row, col);
    if (parts_.size() == 1) {
      auto& rows = dataRows_[static_cast<size_t>(j)];
      if (rows.first < 0) rows.first = row;
      rows.second = row;
    }
  }
  if (sheet_.AutoCalcColWidth) Measure(j, s, fonts_[static_cast<size_t>(j)]);
}

// The data rows of this sheet and of the sheets it continues, by reference to each.
std::string TxlsxSheetWriter::AggregateFormula(int aggregate, int col, int row) const {
  static const char* const names[] = {"", "SUM", "AVERAGE", "MIN", "MAX"};
  std::string f = std::string("=") + names[aggregate] + "(";
  const std::string letter = ColumnName(col);
  bool first = true;
  for (size_t p = 0; p < parts_.size(); ++p) {
    const TPart& part = parts_[p];
    const bool current = p + 1 == parts_.size();
    const int end = current ? row - 1 : part.dataEnd;
    if (end < part.dataStart && !(current && first)) continue;
    if (!first) f += ',';
    first = false;
    if (!current) f += SheetRef(part.title);
    // An empty range (no rows) still names the row after the captions, as an empty sum.
    f += letter + std::to_string(part.dataStart + 1) + ":" + letter +
         std::to_string(std::max(end, part.dataStart) + 1);
  }
  return f + ")";
}

void TxlsxSheetWriter::AggregateRow() {
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
      TxlsAggregate agg = sheet_.FieldFormats[cols[j].Tag - 1].Aggregate;
      Check(worksheet_write_formula_num(
                parts_.back().sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                AggregateFormula(agg, col, row).c_str(), styles_.Get(&f, text),
                totals_[static_cast<size_t>(j)].Result(agg)),
            row, col);
      Track(row, col);
      written = true;
    } else if (x_.OnGetAggregateParams) {
      std::string text = "General";
      x_.OnGetAggregateParams(&sheet_, index_, j, f, text, value);
      if (value.empty()) continue;
      String(row, col, styles_.Get(&f, {}), value);
      if (sheet_.AutoCalcColWidth) {
        TFont font;
        f.Font.AssignTo(font);
        Measure(j, value, font);
      }
      written = true;
    }
  }
  if (written) ++sheet_.OutputRow;
}

void TxlsxSheetWriter::Measure(int j, std::string_view text, const TFont& font) {
  scratch_.assign(text);
  scratch_ += 'I';
  int px = TextMetrics().TextWidth(font, scratch_);
  int chars = (px + zeroWidth_ - 1) / zeroWidth_;
  int& w = autoWidths_[static_cast<size_t>(j)];
  if (w < chars) w = chars;
}

// Widths in characters, as the workbook exporter gives them; the package adds the cell padding
// itself. A column holds at most 255 characters.
void TxlsxSheetWriter::ApplyWidths(const TPart& part) {
  for (size_t j = 0; j < autoWidths_.size(); ++j) {
    const auto col = static_cast<lxw_col_t>(sheet_.StartDataCol + static_cast<int>(j));
    worksheet_set_column(part.sheet, col, col, std::clamp(autoWidths_[j], 0, 255), nullptr);
  }
}

bool TxlsxSheetWriter::Write() {
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
  if (parts_.size() == 1) extras_->CellsAbove(kMaxRows, used_);
  if (sheet_.AutoCalcColWidth)
    for (const TPart& p : parts_) ApplyWidths(p);
  PlaceExtras();
  return true;
}

TxlsDataRange TxlsxSheetWriter::FieldRange(std::string_view field) const {
  TxlsDataRange r;
  const int j = sheet_.Columns().IndexOfName(field);
  if (j < 0 || dataRows_[static_cast<size_t>(j)].first < 0) return r;
  const auto& rows = dataRows_[static_cast<size_t>(j)];
  r.Col1 = r.Col2 = sheet_.StartDataCol + j + 1;
  r.Row1 = rows.first + 1;
  r.Row2 = rows.second + 1;
  return r;
}

void TxlsxSheetWriter::PlaceExtras() {
  TxlsxSheetPlace place{parts_[0].title, &used_, autoWidths_, sheet_.StartDataCol,
                        [this](std::string_view field) { return FieldRange(field); }};
  extras_->End(place);
}

}  // namespace morvale
