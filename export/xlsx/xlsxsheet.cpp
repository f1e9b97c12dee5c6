#include "export/xlsx/xlsxsheet.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/translate.h"
#include "export/workbook/sheetrows.h"
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
    : TxlsSheetRows(exporter, sheet, sheetIndex, kMaxRows),
      wb_(workbook),
      styles_(styles),
      titles_(titles) {}

void TxlsxSheetWriter::Check(int error, int row, int col) const {
  if (error == LXW_NO_ERROR) return;
  throw Exception(Format(TranslateText("Engine", "Cannot write the cell %s of sheet %s: %s"),
                         {ColumnName(col) + std::to_string(row + 1), sheets_.back().title,
                          lxw_strerror(static_cast<lxw_error>(error))}));
}

void TxlsxSheetWriter::PrepareFormat() {
  const auto n = static_cast<size_t>(sheet_.Columns().Count());
  totals_.assign(n, {});
  fonts_.assign(n, TFont());
  PrepareLooks();
  used_ = TxlsUsedRange();
  extras_ = std::make_unique<TxlsxExtras>(sheet_.Extras, x_.Pictures, wb_, styles_);
  baseTitle_ = PackageSheetName(SheetName(sheet_.Title, titles_));
}

// The looks of each column (sheet.h) made into the package's formats with its number format.
void TxlsxSheetWriter::PrepareLooks() {
  TExportColumns& cols = sheet_.Columns();
  formats_.clear();
  for (int j = 0; j < cols.Count(); ++j) {
    const TxlsColumnLook& column = looks_[static_cast<size_t>(j)];
    std::vector<lxw_format*> f;
    for (const TxlsFormat* look : column.Looks) f.push_back(styles_.Get(look, cols[j].Format));
    const TxlsFormat* look = column.Source == lsData ? &sheet_.Options.DataFormat : column.Looks[0];
    if (column.Looks.empty()) f.push_back(styles_.Get(look, cols[j].Format));
    formats_.push_back(std::move(f));
    // Row strips take turns, so their columns are measured in the data format's font.
    const bool rowStrips = column.Source == lsStrip && sheet_.StripType == ssRow;
    TxlsFont font;
    font.Assign(rowStrips ? sheet_.Options.DataFormat.Font : look->Font);
    font.AssignTo(fonts_[static_cast<size_t>(j)]);
  }
}

void TxlsxSheetWriter::BeginPart() {
  TPartSheet part;
  part.title = sheets_.empty()
                   ? baseTitle_
                   : PackageSheetName(SheetName(
                         baseTitle_ + " (" + std::to_string(sheets_.size() + 1) + ")", titles_));
  part.sheet = workbook_add_worksheet(wb_, part.title.c_str());
  if (!part.sheet)
    throw Exception(
        Format(TranslateText("Engine", "Cannot add the sheet %s to the workbook"), {part.title}));
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
  sheets_.push_back(part);
  if (sheets_.size() == 1) extras_->Begin(part.sheet);
  // Widths measured from the data are known only at the end (the package writes the column
  // records after the rows, so they can still be set then).
  if (!sheet_.AutoCalcColWidth) ApplyWidths(sheets_.back());
}

// The extras belong to the first part: what is left of them goes there before it ends.
void TxlsxSheetWriter::EndPart() {
  if (parts_.size() == 1) extras_->CellsAbove(kMaxRows, used_);
}

void TxlsxSheetWriter::Finish() {
  EndPart();
  if (sheet_.AutoCalcColWidth)
    for (const TPartSheet& p : sheets_) ApplyWidths(p);
  PlaceExtras();
}

// The rows above the one about to be written are complete, so the extra cells they hold go out
// now, after the sheet's own cells (the package takes no cell above the current row).
void TxlsxSheetWriter::BeforeRow() {
  if (parts_.size() == 1) extras_->CellsAbove(sheet_.OutputRow, used_);
}

// Texts travel in the system code page; the package wants UTF-8 and rejects nothing, so bytes that
// are no UTF-8 would make the sheet unreadable: they become U+FFFD.
void TxlsxSheetWriter::String(int row, int col, lxw_format* format, std::string_view text) {
  ToUtf8(text, utf8_);
  if (utf8_.size() > kMaxCellChars) xlsxCutToChars(utf8_, kMaxCellChars);
  Check(worksheet_write_string(sheets_.back().sheet, static_cast<lxw_row_t>(row),
                               static_cast<lxw_col_t>(col), utf8_.c_str(), format),
        row, col);
  Track(row, col);
}

void TxlsxSheetWriter::MeasuredString(int j, int row, int col, const TxlsFormat& look,
                                      std::string_view text) {
  String(row, col, styles_.Get(&look, {}), text);
  if (!sheet_.AutoCalcColWidth) return;
  TFont font;
  look.Font.AssignTo(font);
  MeasureText(j, text, font);
}

void TxlsxSheetWriter::TextCell(int row, int col, const TxlsFormat& look, const std::string& text) {
  String(row, col, styles_.Get(&look, {}), text);
}

void TxlsxSheetWriter::CaptionCell(int j, int col, const TxlsFormat& look,
                                   const std::string& text) {
  MeasuredString(j, sheet_.OutputRow, col, look, text);
}

lxw_format* TxlsxSheetWriter::DataFormat(int j, bool wrap) {
  const auto& f = formats_[static_cast<size_t>(j)];
  lxw_format* format =
      f.size() == 1 ? f[0] : f[static_cast<size_t>(sheet_.RecordCounter) % f.size()];
  if (!x_.OnGetDataParams && !wrap) return format;
  TxlsFormat look;
  const TxlsFormat* from = DataLook(j);
  look.Assign(from ? *from : sheet_.Options.DataFormat);
  std::string text = sheet_.Columns()[j].Format;
  if (x_.OnGetDataParams) {
    x_.OnGetDataParams(&sheet_, index_, sheet_.StartDataCol + j, sheet_.OutputRow, look, text);
    if (text.empty()) text = sheet_.Columns()[j].Format;
  }
  if (wrap) look.Wrap = true;
  return styles_.Get(&look, text);
}

void TxlsxSheetWriter::DataCell(int j, const TxlsCellValue& v, int row) {
  lxw_format* format = DataFormat(j, v.Wrap);
  lxw_worksheet* ws = sheets_.back().sheet;
  const int col = sheet_.StartDataCol + j;
  const auto r = static_cast<lxw_row_t>(row);
  const auto c = static_cast<lxw_col_t>(col);
  TTotals& totals = totals_[static_cast<size_t>(j)];
  int error = LXW_NO_ERROR;
  switch (v.Kind) {
    case TxlsCellValue::cvBlank:
      error = worksheet_write_blank(ws, r, c, format);
      break;
    case TxlsCellValue::cvText:
      String(row, col, format, v.Text());
      break;
    case TxlsCellValue::cvNumber: {
      const double n = std::isfinite(v.Number) ? v.Number : 0;
      if (std::fabs(n) >= kExactDigits && sheet_.Columns()[j].ColType == ectBigint) {
        String(row, col, format, v.Text());
        break;
      }
      totals.Add(n);
      error = worksheet_write_number(ws, r, c, n, format);
      break;
    }
    case TxlsCellValue::cvDateTime: {
      const TDateTime t = v.Number;
      double serial = 0;
      if (sheet_.Columns()[j].ColType == ectTime && t >= 0) {
        // A time of day is the fraction of a day, as the spreadsheet keeps times itself.
        const double time = t - std::floor(t);
        totals.Add(time);
        error = worksheet_write_number(ws, r, c, time, format);
      } else if (xlsSerialDate(t, serial)) {
        totals.Add(serial);
        error = worksheet_write_number(ws, r, c, serial, format);
      } else {
        String(row, col, format, DateText(j, t));
      }
      break;
    }
    case TxlsCellValue::cvBoolean:
      error = worksheet_write_boolean(ws, r, c, v.Boolean, format);
      break;
    case TxlsCellValue::cvNone:
      break;  // no cell, but the text still counts for the width
  }
  Check(error, row, col);
  if (kinds_[static_cast<size_t>(j)] != ckNone) {
    Track(row, col);
    NoteDataRow(j, row);
  }
  if (sheet_.AutoCalcColWidth) MeasureText(j, v.Text(), fonts_[static_cast<size_t>(j)]);
}

// The data rows of this sheet and of the sheets it continues, by reference to each.
std::string TxlsxSheetWriter::AggregateFormula(int aggregate, int col, int row) const {
  static const char* const names[] = {"", "SUM", "AVERAGE", "MIN", "MAX"};
  std::string f = std::string("=") + names[aggregate] + "(";
  const std::string letter = ColumnName(col);
  bool first = true;
  for (size_t p = 0; p < parts_.size(); ++p) {
    const TPartRows& part = parts_[p];
    const bool current = p + 1 == parts_.size();
    const int end = current ? row - 1 : part.dataEnd;
    if (end < part.dataStart && !(current && first)) continue;
    if (!first) f += ',';
    first = false;
    if (!current) f += SheetRef(sheets_[p].title);
    // An empty range (no rows) still names the row after the captions, as an empty sum.
    f += letter + std::to_string(part.dataStart + 1) + ":" + letter +
         std::to_string(std::max(end, part.dataStart) + 1);
  }
  return f + ")";
}

void TxlsxSheetWriter::AggregateCell(int j, int col, int row, const TxlsFormat& look,
                                     const std::string& numberFormat, TxlsAggregate aggregate) {
  Check(worksheet_write_formula_num(
            sheets_.back().sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
            AggregateFormula(aggregate, col, row).c_str(), styles_.Get(&look, numberFormat),
            totals_[static_cast<size_t>(j)].Result(aggregate)),
        row, col);
  Track(row, col);
}

void TxlsxSheetWriter::AggregateText(int j, int col, int row, const TxlsFormat& look,
                                     const std::string& text) {
  MeasuredString(j, row, col, look, text);
}

// Widths in characters, as the workbook exporter gives them; the package adds the cell padding
// itself. A column holds at most 255 characters.
void TxlsxSheetWriter::ApplyWidths(const TPartSheet& part) {
  for (size_t j = 0; j < autoWidths_.size(); ++j) {
    const auto col = static_cast<lxw_col_t>(sheet_.StartDataCol + static_cast<int>(j));
    worksheet_set_column(part.sheet, col, col, std::clamp(autoWidths_[j], 0, 255), nullptr);
  }
}

void TxlsxSheetWriter::PlaceExtras() {
  TxlsxSheetPlace place{sheets_[0].title, &used_, autoWidths_, sheet_.StartDataCol,
                        [this](std::string_view field) { return FieldRange(field); }};
  extras_->End(place);
}

}  // namespace morvale
