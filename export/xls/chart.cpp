// The chart sub-stream embedded after a chart's OBJ record: a fixed template in which only the
// series and their ranges, the titles, the chart type, the 3-D flag, the legend and the series
// colours vary. Series and categories are 3-D area references through EXTERNSHEET.
#include "export/workbook/unicode.h"
#include "export/xls/extras.h"
#include "export/xls/sheetrecords.h"

namespace morvale {

namespace biff {
constexpr uint16_t kSetup = 0x00A1, kPrintSize = 0x0033, kScl = 0x00A0, kUnits = 0x1001,
                   kChartRec = 0x1002, kSeries = 0x1003, kDataFormat = 0x1006, kLineFormat = 0x1007,
                   kAreaFormat = 0x100A, kSeriesText = 0x100D, kChartFormat = 0x1014,
                   kLegend = 0x1015, kBar = 0x1017, kLine = 0x1018, kPie = 0x1019, kArea = 0x101A,
                   kAxis = 0x101D, kTick = 0x101E, kValueRange = 0x101F, kCatSerRange = 0x1020,
                   kAxisLine = 0x1021, kDefaultText = 0x1024, kText = 0x1025, kFontX = 0x1026,
                   kObjectLink = 0x1027, kFrame = 0x1032, kBegin = 0x1033, kEnd = 0x1034,
                   kPlotArea = 0x1035, kChart3D = 0x103A, kRadar = 0x103E, kSurf = 0x103F,
                   kRadarArea = 0x1040, kAxisParent = 0x1041, kShtProps = 0x1044,
                   kSerToCrt = 0x1045, kAxesUsed = 0x1046, kPos = 0x104F, kBRAI = 0x1051,
                   kChart3DBarShape = 0x105F, kFBI = 0x1060, kAxcExt = 0x1062, kPlotGrowth = 0x1064,
                   kSIIndex = 0x1065;
}

namespace {

// Assembles one record's data in the record buffer, 16 or 32 bits at a time.
class TRec {
 public:
  explicit TRec(TbiffWriter& w) : w_(w), d_(w.Data()) {}
  TRec& U8(unsigned v) {
    d_[n_++] = static_cast<uint8_t>(v);
    return *this;
  }
  TRec& U16(unsigned v) {
    PutU16(d_ + n_, v);
    n_ += 2;
    return *this;
  }
  TRec& U32(uint32_t v) {
    PutU32(d_ + n_, v);
    n_ += 4;
    return *this;
  }
  TRec& F64(double v) {
    PutDouble(d_ + n_, v);
    n_ += 8;
    return *this;
  }
  TRec& Zeros(size_t n) {
    std::fill(d_ + n_, d_ + n_ + n, uint8_t{0});
    n_ += n;
    return *this;
  }
  void Write(uint16_t id) { w_.WriteRecord(id, n_); }

 private:
  TbiffWriter& w_;
  uint8_t* d_;
  size_t n_ = 0;
};

void Begin(TbiffWriter& w) {
  w.WriteRecord(biff::kBegin, 0);
}
void End(TbiffWriter& w) {
  w.WriteRecord(biff::kEnd, 0);
}

void Pos(TbiffWriter& w, unsigned topLeft, unsigned bottomRight, uint32_t x1, uint32_t y1,
         uint32_t x2, uint32_t y2) {
  TRec(w).U16(topLeft).U16(bottomRight).U32(x1).U32(y1).U32(x2).U32(y2).Write(biff::kPos);
}

void LineFormat(TbiffWriter& w, uint32_t color, unsigned weight, unsigned flags, unsigned index) {
  TRec(w).U32(color).U16(0).U16(weight).U16(flags).U16(index).Write(biff::kLineFormat);
}

void AreaFormat(TbiffWriter& w, uint32_t fore, uint32_t back, unsigned flags, unsigned foreIndex,
                unsigned backIndex) {
  TRec(w).U32(fore).U32(back).U16(1).U16(flags).U16(foreIndex).U16(backIndex).Write(
      biff::kAreaFormat);
}

void Tick(TbiffWriter& w) {
  TRec(w).U8(2).U8(0).U8(3).U8(1).U32(0).Zeros(16).U16(0x0023).U16(77).U16(0).Write(biff::kTick);
}

void TextRecord(TbiffWriter& w) {
  TRec(w)
      .U8(2)
      .U8(2)
      .U16(1)
      .U32(0)
      .U32(1643)
      .U32(82)
      .U32(714)
      .U32(397)
      .U16(0x0081)
      .U16(77)
      .U16(0x3D20)
      .U16(0)
      .Write(biff::kText);
}

// A link to a title (no formula).
void AITitle(TbiffWriter& w, unsigned id) {
  TRec(w).U8(id).U8(1).U16(0).U16(0).U16(0).Write(biff::kBRAI);
}

// A link to a cell range of the sheet, through its EXTERNSHEET entry; unknown ranges refer to
// row and column -1 as they stand.
void AIRange(TbiffWriter& w, unsigned id, int externSheet, const TxlsDataRange& r) {
  TRec(w)
      .U8(id)
      .U8(2)
      .U16(0)
      .U16(0)
      .U16(11)
      .U8(0x3B)
      .U16(static_cast<unsigned>(externSheet))
      .U16(static_cast<unsigned>(r.Row1 - 1))
      .U16(static_cast<unsigned>(r.Row2 - 1))
      .U16(static_cast<unsigned>(r.Col1 - 1))
      .U16(static_cast<unsigned>(r.Col2 - 1))
      .Write(biff::kBRAI);
}

void SeriesText(TbiffWriter& w, const std::string& title) {
  std::u16string t = Utf16(title).substr(0, 255);
  TRec r(w);
  r.U16(0).U8(static_cast<unsigned>(t.size())).U8(1);
  for (char16_t c : t) r.U16(c);
  r.Write(biff::kSeriesText);
}

// A text block: TEXT, Begin, POS, FONTX, AI(0, text); the caller ends it.
void TextBlock(TbiffWriter& w, const uint32_t (&pos)[6]) {
  TextRecord(w);
  Begin(w);
  Pos(w, pos[0], pos[1], pos[2], pos[3], pos[4], pos[5]);
  w.WriteWordRecord(biff::kFontX, 0);
  AITitle(w, 0);
}

bool Is3D(TxlsChartStyle s) {
  return s == xcsColumn3d || s == xcsBar3d || s == xcsLine3d || s == xcsPie3d || s == xcsArea3d ||
         s == xcsSurface3d;
}

void ChartType(TbiffWriter& w, TxlsChartStyle s) {
  switch (s) {
    case xcsColumn:
    case xcsColumn3d:
      TRec(w).U16(0).U16(150).U16(0).Write(biff::kBar);
      break;
    case xcsBar:
    case xcsBar3d:
      TRec(w).U16(0).U16(150).U16(1).Write(biff::kBar);  // horizontal bars
      break;
    case xcsLine:
    case xcsLineMark:
    case xcsLine3d:
      w.WriteWordRecord(biff::kLine, 0);
      break;
    case xcsPie:
    case xcsPie3d:
      TRec(w).U16(0).U16(0).U16(1).Write(biff::kPie);
      break;
    case xcsArea:
    case xcsArea3d:
      w.WriteWordRecord(biff::kArea, 0);
      break;
    case xcsSurface:
    case xcsSurface3d:
      w.WriteWordRecord(biff::kSurf, 0);
      break;
    case xcsRadar:
      w.WriteWordRecord(biff::kRadar, 0);
      break;
    case xcsRadarArea:
      w.WriteWordRecord(biff::kRadarArea, 0);
      break;
  }
}

void SeriesRecords(TbiffWriter& w, const TxlsChart& chart, int externSheet,
                   const std::function<TxlsDataRange(std::string_view)>& fieldRange) {
  const TxlsDataRange categories = chart.CategoryLabelsType == rtColumn
                                       ? fieldRange(chart.CategoryLabelsColumn)
                                       : chart.CategoryLabels;
  for (int s = 0; s < chart.Series.Count(); ++s) {
    const TxlsChartSeries& series = chart.Series[s];
    // 13 values on both axes whatever the rows: readers count them from the references.
    TRec(w).U16(1).U16(1).U16(13).U16(13).U16(1).U16(0).Write(biff::kSeries);
    Begin(w);
    AITitle(w, 0);
    if (!series.Title.empty()) SeriesText(w, series.Title);
    AIRange(w, 1, externSheet,
            series.DataRangeType == rtColumn ? fieldRange(series.DataColumn) : series.DataRange);
    AIRange(w, 2, externSheet, categories);
    AITitle(w, 3);
    const auto n = static_cast<unsigned>(s);
    TRec(w).U16(0xFFFF).U16(n).U16(n).U16(0).Write(biff::kDataFormat);
    Begin(w);
    TRec(w).U16(0).Write(biff::kChart3DBarShape);
    if (!chart.AutoColor) {
      LineFormat(w, 0, 0, 0, 8);
      AreaFormat(w, 0xA0A0A0, 0x909090, 0, xlsPaletteIndex(series.Color), 8);
    }
    End(w);
    w.WriteWordRecord(biff::kSerToCrt, 0);
    End(w);
  }
}

void Axes(TbiffWriter& w) {
  TRec(w).U16(0).Zeros(16).Write(biff::kAxis);  // category axis
  Begin(w);
  TRec(w).U16(1).U16(1).U16(1).U16(1).Write(biff::kCatSerRange);
  TRec(w).U16(0).U16(0).U16(1).U16(0).U16(1).U16(0).U16(0).U16(0).U16(0x00EF).Write(biff::kAxcExt);
  Tick(w);
  End(w);
  TRec(w).U16(1).Zeros(16).Write(biff::kAxis);  // value axis
  Begin(w);
  TRec(w).Zeros(40).U16(0x001F).Write(biff::kValueRange);
  Tick(w);
  w.WriteWordRecord(biff::kAxisLine, 1);
  LineFormat(w, 0, 0xFFFF, 9, 77);
  End(w);
}

void Legend(TbiffWriter& w, const TxlsChart& chart) {
  TRec(w)
      .U32(3239)
      .U32(1947)
      .U32(710)
      .U32(333)
      .U8(static_cast<unsigned>(chart.LegendPlacement))
      .U8(1)
      .U16(0x001F)
      .Write(biff::kLegend);
  Begin(w);
  Pos(w, 5, 2, 3239, 1947, 0, 0);
  TextRecord(w);
  Begin(w);
  Pos(w, 0, 2, 0, 0, 0, 0);
  AITitle(w, 0);
  End(w);
  End(w);
}

}  // namespace

void xlsChartAnchor(const TxlsChart& chart, const TxlsUsedRange* bound, uint16_t (&cells)[8]) {
  std::fill(cells, cells + 8, uint16_t{0});
  int c[4];
  if (!xlsChartCells(chart, bound, c)) return;
  for (int i = 0; i < 4; ++i) cells[2 * i] = static_cast<uint16_t>(c[i]);
}

void WriteChart(TbiffWriter& w, const TxlsChart& chart, int externSheet,
                const std::function<TxlsDataRange(std::string_view)>& fieldRange) {
  WriteBOF(w, biff::kChart);
  w.WriteRecord(biff::kHeader, 0);
  w.WriteRecord(biff::kFooter, 0);
  w.WriteWordRecord(biff::kHCenter, 0);
  w.WriteWordRecord(biff::kVCenter, 0);
  TRec(w)
      .U16(0)
      .U16(18)
      .U16(1)
      .U16(1)
      .U16(1)
      .U16(0x003B)
      .U16(0)
      .U16(2208)
      .F64(0)
      .F64(0)
      .U16(1)
      .Write(biff::kSetup);
  w.WriteWordRecord(biff::kPrintSize, 3);
  const unsigned fbi[3][2] = {{240, 0}, {200, 1}, {200, 0}};
  for (const auto& f : fbi)
    TRec(w).U16(0x1635).U16(0x111C).U16(f[0]).U16(f[1]).U16(0).Write(biff::kFBI);
  w.WriteWordRecord(biff::kProtect, 0);
  w.WriteWordRecord(biff::kUnits, 0);
  TRec(w).U32(0x0000F000).U32(0).U32(0x00EFFFE8).U32(0x00B27FD0).Write(biff::kChartRec);
  Begin(w);
  TRec(w).U16(1).U16(1).Write(biff::kScl);
  TRec(w).U32(0x00010000).U32(0x00010000).Write(biff::kPlotGrowth);
  TRec(w).U16(0).U16(2).Write(biff::kFrame);
  Begin(w);
  LineFormat(w, 0, 0xFFFF, 9, 77);
  AreaFormat(w, 0xFFFFFF, 0, 1, 78, 77);
  End(w);
  SeriesRecords(w, chart, externSheet, fieldRange);
  TRec(w).U16(0x000A).U16(0).Write(biff::kShtProps);
  for (unsigned kind : {2u, 3u}) {
    w.WriteWordRecord(biff::kDefaultText, kind);
    TextBlock(w, {0, 2, 0, 0, 0, 0});
    End(w);
  }
  w.WriteWordRecord(biff::kAxesUsed, 1);
  TRec(w).U16(0).U32(490).U32(895).U32(2606).U32(2456).Write(biff::kAxisParent);
  Begin(w);
  Pos(w, 2, 2, 129, 719, 2968, 3105);
  Axes(w);
  w.WriteRecord(biff::kPlotArea, 0);
  TRec(w).U16(0).U16(3).Write(biff::kFrame);
  Begin(w);
  LineFormat(w, 0x808080, 0, 0, 23);
  AreaFormat(w, 0xC0C0C0, 0, 0, 22, 79);
  End(w);
  const bool pie = chart.Style == xcsPie || chart.Style == xcsPie3d;
  TRec(w).Zeros(16).U16(pie ? 1 : 0).U16(0).Write(biff::kChartFormat);
  Begin(w);
  ChartType(w, chart.Style);
  if (Is3D(chart.Style))
    TRec(w).U16(20).U16(15).U16(30).U16(100).U16(100).U16(150).U16(0x0015).Write(biff::kChart3D);
  if (chart.ShowLegend) Legend(w, chart);
  End(w);  // chart format
  End(w);  // axis parent
  if (!chart.Title.empty()) {
    TextBlock(w, {2, 2, 0, 0, 52, 22});
    SeriesText(w, chart.Title);
    TRec(w).U16(1).U16(0).U16(0).Write(biff::kObjectLink);
    End(w);
  }
  End(w);  // chart
  TRec(w).U32(0).U32(13).U16(0).U16(1).U16(0).Write(biff::kDimensions);
  for (unsigned i : {1u, 2u, 3u}) w.WriteWordRecord(biff::kSIIndex, i);
  WriteEOF(w);
}

}  // namespace morvale
