#include "export/xlsx/xlsxextras.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "export/core/codepage.h"
#include "export/workbook/palette.h"
#include "export/xlsx/xlsxsheet.h"
#include "export/xlsx/xlsxstyles.h"

namespace morvale {

namespace {

// What the package takes: a note or cell of 32,767 characters, a link target of 2,079 and a
// screen tip of 255 (longer ones are refused, not cut).
constexpr size_t kMaxText = 32767, kMaxTip = 255;

// The package's default sizes: a chart of 480 x 288 pixels, rows of 20 pixels, columns of 64.
constexpr double kChartWidth = 480, kChartHeight = 288;
constexpr int kRowPixels = 20, kDefaultColumnPixels = 64;

// Screen colours are 0x00BBGGRR; the package wants 0xRRGGBB, and black spelt as its own value
// because 0 means "no colour" to it.
lxw_color_t PackageColor(unsigned bgr) {
  const unsigned rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
  return static_cast<lxw_color_t>(rgb == 0 ? unsigned{LXW_COLOR_BLACK} : rgb);
}

// A local file is linked by its file URL when absolute; a relative path stays relative to the
// workbook, which is how spreadsheet programs resolve it.
std::string LinkTarget(const TxlsHyperlink& link) {
  if (link.Style == hlsLocalFile && !link.Target.empty() && link.Target.front() == '/')
    return "file://" + link.Target;
  return link.Target;
}

// The pictures the package can embed: PNG, JPEG, GIF and BMP.
bool EmbeddablePicture(TxlsGraphicType type) {
  return type == gtPNG || type == gtJPEG || type == gtGIF || type == gtBMP;
}

uint8_t ChartType(TxlsChartStyle style) {
  // The package draws no 3-D and no surface charts: those become their flat kin, and a surface
  // becomes columns, as LibreOffice shows a surface it cannot draw.
  switch (style) {
    case xcsBar:
    case xcsBar3d:
      return LXW_CHART_BAR;
    case xcsLine:
    case xcsLineMark:
    case xcsLine3d:
      return LXW_CHART_LINE;
    case xcsPie:
    case xcsPie3d:
      return LXW_CHART_PIE;
    case xcsArea:
    case xcsArea3d:
      return LXW_CHART_AREA;
    case xcsRadar:
      return LXW_CHART_RADAR;
    case xcsRadarArea:
      return LXW_CHART_RADAR_FILLED;
    default:
      return LXW_CHART_COLUMN;
  }
}

uint8_t LegendPosition(const TxlsChart& chart) {
  if (!chart.ShowLegend) return LXW_CHART_LEGEND_NONE;
  switch (chart.LegendPlacement) {
    case clpBottom:
      return LXW_CHART_LEGEND_BOTTOM;
    case clpCorner:
      return LXW_CHART_LEGEND_TOP_RIGHT;
    case clpTop:
      return LXW_CHART_LEGEND_TOP;
    case clpLeft:
      return LXW_CHART_LEGEND_LEFT;
    default:
      return LXW_CHART_LEGEND_RIGHT;
  }
}

bool Known(const TxlsDataRange& r) {
  return r.Col1 > 0 && r.Row1 > 0 && r.Col2 > 0 && r.Row2 > 0;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

void xlsxCutToChars(std::string& s, size_t chars) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && n++ == chars) {
      s.resize(i);
      return;
    }
}

TxlsxExtras::TxlsxExtras(const TxlsExtras& extras, const TxlsPictures& pictures,
                         lxw_workbook* workbook, TxlsxStyles& styles)
    : extras_(extras), pictures_(pictures), wb_(workbook), styles_(styles) {
  for (const auto& cell : extras.Cells)
    if (cell->IsValid() && cell->Row <= TxlsxSheetWriter::kMaxRows && cell->Row > 0 &&
        cell->Col > 0 && cell->Col <= TxlsxSheetWriter::kMaxCols)
      pending_.push_back({cell->Row - 1, cell.get(), nullptr});
  for (const auto& link : extras.Hyperlinks)
    if (link->IsValid() && link->Row <= TxlsxSheetWriter::kMaxRows)
      pending_.push_back({link->Row - 1, nullptr, link.get()});
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const TPending& a, const TPending& b) { return a.row < b.row; });
}

const char* TxlsxExtras::Utf8(std::string_view s, size_t maxChars) {
  ToUtf8(s, utf8_);
  if (utf8_.size() > maxChars) xlsxCutToChars(utf8_, maxChars);
  return utf8_.c_str();
}

std::vector<const TxlsMergedCells*> TxlsxExtras::MergeableRanges(const TxlsMergedCellList& ranges) {
  struct TBox {
    int r1, c1, r2, c2;
  };
  std::vector<TBox> taken;
  std::vector<const TxlsMergedCells*> out;
  for (const auto& m : ranges) {
    if (!m->IsValid()) continue;
    TBox b{std::min(m->FirstRow, m->LastRow), std::min(m->FirstCol, m->LastCol),
           std::max(m->FirstRow, m->LastRow), std::max(m->FirstCol, m->LastCol)};
    if (b.r1 < 1 || b.c1 < 1 || b.r2 > TxlsxSheetWriter::kMaxRows ||
        b.c2 > TxlsxSheetWriter::kMaxCols || (b.r1 == b.r2 && b.c1 == b.c2))
      continue;
    const bool overlaps = std::any_of(taken.begin(), taken.end(), [&b](const TBox& t) {
      return b.r1 <= t.r2 && t.r1 <= b.r2 && b.c1 <= t.c2 && t.c1 <= b.c2;
    });
    if (overlaps) continue;
    taken.push_back(b);
    out.push_back(m.get());
  }
  return out;
}

void TxlsxExtras::Begin(lxw_worksheet* sheet) {
  ws_ = sheet;
  next_ = 0;
  for (const auto& note : extras_.Notes) {
    if (!note->IsValid()) continue;
    const TxlsNoteFormat& f = note->Format;
    lxw_comment_options o{};
    o.color = PackageColor(static_cast<unsigned>(f.ForegroundColor));
    std::string font = f.Font.Name;
    o.font_name = font.data();
    o.font_size = f.Font.Size;
    worksheet_write_comment_opt(ws_, static_cast<lxw_row_t>(note->Row - 1),
                                static_cast<lxw_col_t>(note->Col - 1), Utf8(note->Text(), kMaxText),
                                &o);
  }
  // The background is tiled behind the cells, as in the workbook exporter; a missing picture or
  // one the package cannot embed leaves none. The package writer numbers a background and the
  // pictures of images on the same sheet inconsistently (the sheet would name pictures that are
  // not in the file), so a sheet that shows images goes without its background.
  const TxlsGraphic& background = extras_.Background;
  std::string bytes;
  const bool images =
      std::any_of(extras_.Images.begin(), extras_.Images.end(),
                  [this, &bytes](const auto& image) { return ImageBytes(*image, bytes); });
  if (!images && !background.FileName.empty() && EmbeddablePicture(background.GraphicType()) &&
      ReadWholeFile(background.FileName, bytes))
    worksheet_set_background_buffer(ws_, reinterpret_cast<const unsigned char*>(bytes.data()),
                                    bytes.size());
  // An empty text and no format make the package record the range without writing its cells:
  // the first cell keeps the value the sheet writes there, as in the workbook exporter.
  for (const TxlsMergedCells* m : MergeableRanges(extras_.MergedCells))
    worksheet_merge_range(ws_, static_cast<lxw_row_t>(m->FirstRow - 1),
                          static_cast<lxw_col_t>(m->FirstCol - 1),
                          static_cast<lxw_row_t>(m->LastRow - 1),
                          static_cast<lxw_col_t>(m->LastCol - 1), "", nullptr);
}

void TxlsxExtras::CellsAbove(int row, TxlsUsedRange& used) {
  for (; next_ < pending_.size() && pending_[next_].row < row; ++next_) {
    const TPending& p = pending_[next_];
    if (p.cell) {
      WriteCell(*p.cell);
    } else {
      WriteLink(*p.link);
      used.Track(p.link->Row - 1, p.link->Col - 1);
    }
  }
}

void TxlsxExtras::WriteCell(const TxlsCell& cell) {
  const auto r = static_cast<lxw_row_t>(cell.Row - 1);
  const auto c = static_cast<lxw_col_t>(cell.Col - 1);
  switch (cell.CellType) {
    case ctBoolean:
      worksheet_write_boolean(ws_, r, c, cell.BooleanValue, styles_.Get(&cell.Format, {}));
      break;
    case ctDateTime:
      // A fixed date-time is written as it stands, as in the workbook exporter.
      worksheet_write_number(ws_, r, c, cell.DateTimeValue,
                             styles_.Get(&cell.Format, cell.DateTimeFormat));
      break;
    case ctNumeric:
      worksheet_write_number(ws_, r, c, cell.NumericValue,
                             styles_.Get(&cell.Format, cell.NumericFormat));
      break;
    case ctString:
      if (cell.StringValue.empty())
        worksheet_write_blank(ws_, r, c, styles_.Get(&cell.Format, {}));
      else
        worksheet_write_string(ws_, r, c, Utf8(cell.StringValue, kMaxText),
                               styles_.Get(&cell.Format, {}));
      break;
  }
}

void TxlsxExtras::WriteLink(const TxlsHyperlink& link) {
  const auto r = static_cast<lxw_row_t>(link.Row - 1);
  const auto c = static_cast<lxw_col_t>(link.Col - 1);
  lxw_format* format = styles_.Get(&link.Format, {});
  std::string target, title, tip;
  ToUtf8(LinkTarget(link), target);
  ToUtf8(link.Title, title);
  xlsxCutToChars(title, kMaxText);
  ToUtf8(link.ScreenTip, tip);
  xlsxCutToChars(tip, kMaxTip);
  const lxw_error e = worksheet_write_url_opt(ws_, r, c, target.c_str(), format, title.c_str(),
                                              tip.empty() ? nullptr : tip.c_str());
  // A target the package refuses (too long, or past its 65,530 links) still leaves the title.
  if (e != LXW_NO_ERROR) worksheet_write_string(ws_, r, c, title.c_str(), format);
}

void TxlsxExtras::End(const TxlsxSheetPlace& place) {
  for (const auto& image : extras_.Images) InsertImage(*image);
  for (const auto& chart : extras_.Charts) InsertChart(*chart, place);
}

// A picture that is missing, of a type the package cannot embed or shown at zoom 0 is left out,
// as the workbook exporter leaves out what its picture store cannot hold.
bool TxlsxExtras::ImageBytes(const TxlsImage& image, std::string& bytes) const {
  const int p = pictures_.IndexOf(image.PictureName);
  if (p < 0 || image.Zoom <= 0 || image.Col < 0 || image.Row < 0) return false;
  const TxlsPicture& picture = pictures_[p];
  if (!EmbeddablePicture(picture.Content.empty() ? picture.GraphicType() : gtBMP)) return false;
  bytes = picture.Content;
  return !bytes.empty() || ReadWholeFile(picture.FileName, bytes);
}

void TxlsxExtras::InsertImage(const TxlsImage& image) {
  std::string bytes;
  if (!ImageBytes(image, bytes)) return;
  lxw_image_options o{};
  o.x_scale = o.y_scale = std::min(image.Zoom, 1000) / 100.0;
  std::string title;
  ToUtf8(image.Title, title);
  o.description = title.data();
  worksheet_insert_image_buffer_opt(
      ws_, static_cast<lxw_row_t>(image.Row), static_cast<lxw_col_t>(image.Col),
      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &o);
}

// Width in pixels of a column as the package sizes it: a column of w characters is w digits of
// 7 pixels and 5 of padding.
int TxlsxExtras::ColumnPixels(int col, const TxlsxSheetPlace& place) const {
  const int j = col - place.StartDataCol;
  if (j < 0 || j >= static_cast<int>(place.ColumnWidths.size())) return kDefaultColumnPixels;
  const int chars = std::clamp(place.ColumnWidths[static_cast<size_t>(j)], 0, 255);
  return chars == 0 ? 0 : chars * 7 + 5;
}

// A chart spans the cells its position names; its series and categories refer to the exported
// columns' data cells (or the ranges given) on the sheet's first part. A series of a field that
// was not exported has no cells and is left out, and a chart left with no series is not drawn.
void TxlsxExtras::InsertChart(const TxlsChart& chart, const TxlsxSheetPlace& place) {
  int cells[4];
  if (!xlsChartCells(chart, place.Used, cells)) return;
  const int firstCol = cells[0], firstRow = cells[1];
  if (firstCol < 0 || firstRow < 0 || firstCol >= TxlsxSheetWriter::kMaxCols ||
      firstRow >= TxlsxSheetWriter::kMaxRows)
    return;
  const TxlsDataRange categories = chart.CategoryLabelsType == rtColumn
                                       ? place.FieldRange(chart.CategoryLabelsColumn)
                                       : chart.CategoryLabels;
  std::vector<std::pair<const TxlsChartSeries*, TxlsDataRange>> series;
  for (const auto& s : chart.Series) {
    TxlsDataRange r = s->DataRangeType == rtColumn ? place.FieldRange(s->DataColumn) : s->DataRange;
    if (Known(r)) series.emplace_back(s.get(), r);
  }
  if (series.empty()) return;

  lxw_chart* c = workbook_add_chart(wb_, ChartType(chart.Style));
  if (!c) return;
  std::string sheetName, text;
  ToUtf8(place.Title, sheetName);
  for (const auto& [s, r] : series) {
    lxw_chart_series* cs = chart_add_series(c, nullptr, nullptr);
    if (!cs) return;
    chart_series_set_values(cs, sheetName.c_str(), static_cast<lxw_row_t>(r.Row1 - 1),
                            static_cast<lxw_col_t>(r.Col1 - 1), static_cast<lxw_row_t>(r.Row2 - 1),
                            static_cast<lxw_col_t>(r.Col2 - 1));
    if (Known(categories))
      chart_series_set_categories(
          cs, sheetName.c_str(), static_cast<lxw_row_t>(categories.Row1 - 1),
          static_cast<lxw_col_t>(categories.Col1 - 1), static_cast<lxw_row_t>(categories.Row2 - 1),
          static_cast<lxw_col_t>(categories.Col2 - 1));
    if (!s->Title.empty()) chart_series_set_name(cs, Utf8(s->Title, kMaxTip));
    if (chart.Style == xcsLineMark) chart_series_set_marker_type(cs, LXW_CHART_MARKER_AUTOMATIC);
    if (!chart.AutoColor) {
      lxw_chart_fill fill{};
      fill.color = PackageColor(static_cast<unsigned>(xlsColorToScreen(s->Color)));
      lxw_chart_line line{};
      line.color = fill.color;
      chart_series_set_fill(cs, &fill);
      chart_series_set_line(cs, &line);
    }
  }
  if (!chart.Title.empty()) {
    ToUtf8(chart.Title, text);
    chart_title_set_name(c, text.c_str());
  }
  chart_legend_set_position(c, LegendPosition(chart));

  // The package places a chart by its top-left cell and its size: the size is that of the cells
  // the position spans, at least one cell.
  int width = 0;
  for (int col = firstCol; col < std::min(cells[2], TxlsxSheetWriter::kMaxCols); ++col)
    width += ColumnPixels(col, place);
  const int height = std::max(cells[3] - firstRow, 1) * kRowPixels;
  lxw_chart_options o{};
  o.x_scale = std::max(width, kDefaultColumnPixels) / kChartWidth;
  o.y_scale = height / kChartHeight;
  worksheet_insert_chart_opt(ws_, static_cast<lxw_row_t>(firstRow),
                             static_cast<lxw_col_t>(firstCol), c, &o);
}

}  // namespace morvale
