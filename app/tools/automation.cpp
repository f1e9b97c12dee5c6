#include "app/tools/automation.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "app/helpers/helpers.h"
#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/outputfiles.h"
#include "export/core/stamp.h"
#include "export/core/translate.h"
#include "export/xls/cells.h"
#include "export/xls/container.h"
#include "export/xls/sheetrecords.h"
#include "export/xls/workbook.h"

namespace morvale {

const char* const kAutomationQuestion =
    MVL_TEXT_NOOP("Engine", "Export таблицы через OLE. Это может быть долго. Продолжим ?");

namespace {

constexpr int kTitleRow = 3;
// The spreadsheet's codes: left and top alignment, a continuous line, a thin weight.
constexpr int kAlignLeft = 2, kAlignTop = 1, kLineContinuous = 1, kWeightThin = 2;

// Fixed-width and wide strings are strings too: a CHAR(8) code 00123 stays 00123.
bool IsTextField(TFieldType t) {
  return t == ftString || t == ftFixedChar || t == ftWideString;
}

void WriteCell(ISpreadsheetAutomation& app, int row, int col, const std::string& text, bool bold,
               bool borders) {
  app.SetHorizontalAlignment(row, col, kAlignLeft);
  app.SetVerticalAlignment(row, col, kAlignTop);
  app.SetValue(row, col, text);
  app.SetFontBold(row, col, bold ? 1 : 0);
  if (!borders) return;
  for (int i = 1; i <= 4; ++i) {
    app.SetBorderLineStyle(row, col, i, kLineContinuous);
    app.SetBorderWeight(row, col, i, kWeightThin);
  }
}

}  // namespace

void ExportByAutomation(TDataSet& ds, ISpreadsheetAutomation& app, const std::string& now,
                        const std::function<void()>& progress) {
  if (!ds.Active()) return;
  app.CreateApplication("Excel.Application");
  app.SetVisible(true);
  app.AddWorkbook();
  if (app.WorkbooksCount() < 1) return;
  app.SelectWorksheet(1);

  int row = kTitleRow;
  const std::string title = TrimSpaces("Morvale.exe");
  if (!title.empty()) {
    WriteCell(app, kTitleRow, 1, "'" + title, true, false);
    WriteCell(app, kTitleRow - 1, 1, TrimSpaces("'Date : " + now), false, false);
    row += 2;
  } else {
    row += 1;
  }
  for (int j = 0; j < ds.FieldCount(); ++j)
    WriteCell(app, row, j + 1, TrimSpaces(ds.Fields(j).FieldName), true, true);

  std::string value;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    ++row;
    for (int j = 0; j < ds.FieldCount(); ++j) {
      const TField& f = ds.Fields(j);
      f.GetText(value);
      // The apostrophe keeps a string such as 007 a text in the spreadsheet.
      WriteCell(app, row, j + 1, TrimSpaces(IsTextField(f.DataType) ? "'" + value : value), false,
                false);
    }
    if (progress) progress();
  }
  app.Release();
}

std::string AutomationNow(const TFormatSettings& fs) {
  std::string out;
  TDateTimeFormat("c").Render(StampDateTime(ExportStamp()), fs, out);
  return out;
}

// ---- the workbook behind the automation calls ----

namespace {

struct TCell {
  std::string Value;
  bool Bold = false;
  int HAlign = 1, VAlign = 3;  // general, bottom: the spreadsheet's defaults
  int LineStyle[4] = {0, 0, 0, 0};
  int Weight[4] = {0, 0, 0, 0};
};

}  // namespace

struct TWorkbookAutomation::TCells {
  bool created = false, workbook = false;
  std::map<std::pair<int, int>, TCell> cells;  // (row, column) from 1: written in row order
  TFormatSettings settings;

  TCell& At(int row, int col) {
    if (!workbook)
      throw Exception(TranslateText("Engine", "The spreadsheet has no workbook to write to"));
    if (row < 1 || row > 65536 || col < 1 || col > 256)
      throw Exception(Format(TranslateText("Engine", "Cell (%s, %s) lies outside a sheet"),
                             {std::to_string(row), std::to_string(col)}));
    return cells[{row, col}];
  }
};

TWorkbookAutomation::TWorkbookAutomation(IShell* shell)
    : cells_(std::make_unique<TCells>()), shell_(shell) {
  cells_->settings = DefaultFormatSettings();
}

TWorkbookAutomation::~TWorkbookAutomation() = default;

void TWorkbookAutomation::CreateApplication(const std::string&) {
  cells_->created = true;
}
void TWorkbookAutomation::SetVisible(bool) {}
void TWorkbookAutomation::AddWorkbook() {
  if (!cells_->created)
    throw Exception(TranslateText("Engine", "The spreadsheet application was not started"));
  cells_->workbook = true;
}
int TWorkbookAutomation::WorkbooksCount() {
  return cells_->workbook ? 1 : 0;
}
void TWorkbookAutomation::SelectWorksheet(int index) {
  if (index != 1) throw Exception(TranslateText("Engine", "The workbook has one worksheet"));
}
void TWorkbookAutomation::SetHorizontalAlignment(int row, int col, int value) {
  cells_->At(row, col).HAlign = value;
}
void TWorkbookAutomation::SetVerticalAlignment(int row, int col, int value) {
  cells_->At(row, col).VAlign = value;
}
void TWorkbookAutomation::SetValue(int row, int col, const std::string& text) {
  cells_->At(row, col).Value = text;
}
void TWorkbookAutomation::SetFontBold(int row, int col, int bold) {
  cells_->At(row, col).Bold = bold != 0;
}
void TWorkbookAutomation::SetBorderLineStyle(int row, int col, int index, int style) {
  if (index >= 1 && index <= 4) cells_->At(row, col).LineStyle[index - 1] = style;
}
void TWorkbookAutomation::SetBorderWeight(int row, int col, int index, int weight) {
  if (index >= 1 && index <= 4) cells_->At(row, col).Weight[index - 1] = weight;
}

namespace {

// What the spreadsheet makes of a value sent as text.
struct TTyped {
  enum { kText, kNumber, kBoolean, kBlank } Kind = kText;
  std::string Text;
  double Number = 0;
  const char* Format = "General";
};

TTyped Interpret(const std::string& value, const TFormatSettings& fs) {
  TTyped t;
  if (value.empty()) {
    t.Kind = TTyped::kBlank;
  } else if (value[0] == '\'') {
    t.Text = value.substr(1);
  } else if (TryStrToFloat(value, t.Number, fs) && std::isfinite(t.Number)) {
    t.Kind = TTyped::kNumber;
  } else if (SameText(value, "TRUE") || SameText(value, "FALSE")) {
    t.Kind = TTyped::kBoolean;
    t.Number = SameText(value, "TRUE");
  } else if (TDateTime dt; TryStrToDateTime(value, dt, fs) || TryParseIsoDateTime(value, dt)) {
    t.Kind = TTyped::kNumber;
    t.Number = dt;
    bool hasTime = dt != std::floor(dt), hasDate = dt >= 1 || dt < 0;
    t.Format = !hasTime ? "yyyy-mm-dd" : hasDate ? "yyyy-mm-dd hh:mm:ss" : "hh:mm:ss";
  } else {
    t.Text = value;
  }
  return t;
}

TxlsBorder Border(int lineStyle, int weight) {
  TxlsBorder b;
  if (lineStyle == 1) b.Style = weight >= 4 ? bstThick : weight == 3 ? bstMedium : bstThin;
  return b;
}

// The spreadsheet's alignment codes (1 general, 2 left, 3 centre, 4 right, 5 fill; 1 top,
// 2 centre, 3 bottom, 4 justify) as the workbook's.
TxlsAlignment Alignment(const TCell& c) {
  TxlsAlignment a;
  a.Horizontal = static_cast<TxlsHorizontalAlignment>(std::clamp(c.HAlign - 1, 0, 4));
  a.Vertical = static_cast<TxlsVerticalAlignment>(std::clamp(c.VAlign - 1, 0, 3));
  return a;
}

uint16_t StyleOf(TxlsWorkbook& wb, const TCell& c, const char* numberFormat) {
  TxlsFormat f;
  f.Font.Set(xfsBold, c.Bold);
  f.Borders.Left = Border(c.LineStyle[0], c.Weight[0]);
  f.Borders.Right = Border(c.LineStyle[1], c.Weight[1]);
  f.Borders.Top = Border(c.LineStyle[2], c.Weight[2]);
  f.Borders.Bottom = Border(c.LineStyle[3], c.Weight[3]);
  f.Alignment = Alignment(c);
  return wb.Styles().GetXFIndex(numberFormat, &f, TxlsFont());
}

}  // namespace

void TWorkbookAutomation::SaveAs(const std::string& fileName) const {
  // Column widths from the longest text of the data and header rows, so that a first look shows
  // the values; the title and date rows overflow into the empty cells beside them.
  std::map<int, size_t> longest;
  for (const auto& [pos, cell] : cells_->cells)
    if (pos.first > kTitleRow)
      longest[pos.second] = std::max(longest[pos.second], TextLength(cell.Value));
  TxlsSheetSetup setup;
  for (const auto& [col, chars] : longest) {
    int width = static_cast<int>(std::clamp<size_t>(chars + 2, 8, 60));
    setup.Columns.push_back(
        {static_cast<uint16_t>(col - 1), static_cast<uint16_t>(width * 256), 15, 0});
  }

  TxlsWorkbook wb("Morvale");
  wb.FormatSettings = cells_->settings;
  // The workbook replaces a file of the name only once it is whole.
  TOutputFiles files;
  TxlsContainer container(files.Create(fileName));
  wb.WriteGlobalsHead();
  wb.BeginSheetStream(0, "Лист1", setup);
  TbiffWriter& w = wb.Writer();
  for (const auto& [pos, cell] : cells_->cells) {
    const unsigned r = static_cast<unsigned>(pos.first - 1),
                   c = static_cast<unsigned>(pos.second - 1);
    TTyped t = Interpret(cell.Value, cells_->settings);
    uint16_t xf = StyleOf(wb, cell, t.Format);
    switch (t.Kind) {
      case TTyped::kText:
        WriteLabelSST(w, wb.SST(), r, c, xf, t.Text);
        break;
      case TTyped::kNumber:
        WriteNumber(w, r, c, xf, t.Number);
        break;
      case TTyped::kBoolean:
        WriteBoolErr(w, r, c, xf, t.Number != 0);
        break;
      case TTyped::kBlank:
        WriteBlank(w, r, c, xf);
        break;
    }
    wb.TrackCell(0, static_cast<int32_t>(r), static_cast<int32_t>(c));
  }
  WriteWindow2(w);
  WriteSelection(w);
  WriteEOF(w);
  wb.FinishWorkbook([&](const void* d, size_t n) { container.Write(d, n); });
  container.Close();
  files.Commit();
}

void TWorkbookAutomation::Release() {
  std::string pattern = (std::filesystem::temp_directory_path() / "morvale-XXXXXX.xls").string();
  int fd = mkstemps(pattern.data(), 4);
  if (fd < 0)
    throw Exception(
        Format(TranslateText("Engine", "Cannot create a temporary workbook in %s"), {pattern}));
  ::close(fd);
  SaveAs(pattern);
  fileName_ = pattern;
  try {
    (shell_ ? *shell_ : Shell()).Execute("open", fileName_);
  } catch (const Exception& e) {
    throw Exception(Format(TranslateText("Engine",
                                         "Книга записана в файл %s, но открыть её нечем: не "
                                         "найдена программа электронных таблиц (например, "
                                         "LibreOffice Calc).\n%s"),
                           {fileName_, e.what()}));
  }
}

}  // namespace morvale
