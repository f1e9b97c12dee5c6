#include "export/docs/pdfexport.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "export/core/properties.h"

namespace morvale {

namespace {

// A number or a date cut at its cell's edge reads as another value (9007199254740993 as
// 900719925474099): such a value is squeezed into its cell, down to this share of its width, and
// past it shown as a row of '#', as spreadsheet programs show a number too wide for its column.
constexpr int kMinSqueezePercent = 50;

bool CutChangesMeaning(TExportColType t) {
  return t != ectString && t != ectUnknown && t != ectBoolean;
}

// Truncation of a layout measure; the nudge keeps a spacing such as 1.1, which binary floating
// point holds a hair low, from losing a point the user asked for.
int Trunc(double v) {
  return static_cast<int>(std::trunc(v + (v < 0 ? -1e-9 : 1e-9)));
}

}  // namespace

TExportPDF::TExportPDF() {
  // Columns as wide as what they hold: declared widths (a text field's 255 characters, a memo's
  // 10) say little about the page a table needs.
  AutoCalcColWidth = true;
}

const TPropList& TExportPDF::Published() const {
  static const TPropList list = [this] {
    TPropList l(&TExportFormatText::Published());
    PropBuilder<TExportPDF>(l)
        .Object("Options", "TPDFOptions", &TExportPDF::Options)
        .Strings("ColumnsWidth", &TExportPDF::ColumnsWidth)
        .Strings("ColumnsAlign", &TExportPDF::ColumnsAlign)
        .Bool("AutoCalcColWidth", &TExport::AutoCalcColWidth)
        .Event("OnGetCellParams");
    return l;
  }();
  return list;
}

std::unique_ptr<TExportWriter> TExportPDF::CreateWriter(TStream& stream) {
  return std::make_unique<TPDFWriter>(*this, stream);
}

TPDFDocument& TExportPDF::Document() {
  return static_cast<TPDFWriter*>(Writer())->Document;
}

int TExportPDF::LineStep(int size) const {
  return Trunc((Options.RowSpacing / 2 + 1) * size);
}

int TExportPDF::HalfSpacing(int size) const {
  return Trunc(size * Options.RowSpacing / 2);
}

int TExportPDF::CaptionSizeAt(int size) const {
  const int dataSize = Options.DataFont.FontSize, captionSize = Options.CaptionFont.FontSize;
  if (size == dataSize || dataSize <= 0) return captionSize;
  const int floor = std::min(std::max(Options.MinFontSize, 1), dataSize);
  return std::max(std::min(floor, captionSize),
                  Trunc(captionSize * static_cast<double>(size) / dataSize));
}

int TExportPDF::Indent(int size) const {
  return PDFAverageWidth(Options.ColSpacing / 2, size);
}

void TExportPDF::Measure(TPDFText& t, std::string_view text, TMeasure& m) {
  t.Prepare(text);
  const bool trueType = t.InTrueType();
  const int64_t units = t.Units();
  m.text = std::max(m.text, units);
  if (units <= m.word) return;  // no word of it can be wider
  // Each word in the font of the whole text: its lines are drawn in that font.
  ForEachWord(text, [&](std::string_view word) {
    t.Prepare(word, trueType);
    m.word = std::max(m.word, t.Units());
  });
}

void TExportPDF::MeasureValue(int column, std::string_view text) {
  if (column >= 0 && static_cast<size_t>(column) < values_.size())
    Measure(dataText_, text, values_[static_cast<size_t>(column)]);
}

int64_t TExportPDF::MeasuredWidth(int column, int size, bool least) {
  const TMeasure& v = values_[static_cast<size_t>(column)];
  const TMeasure& c = captions_[static_cast<size_t>(column)];
  // Numbers and dates never wrap: their least is the whole value.
  const bool wraps = !CutChangesMeaning(Columns()[column].ColType);
  const int64_t data = least && wraps ? v.word : v.text;
  const int64_t caption = least ? c.word : c.text;
  const int64_t content = std::max(data * size, caption * CaptionSizeAt(size));
  int64_t width = (content + 999) / 1000 + 2 * Indent(size);
  if (const int set = setWidths_[static_cast<size_t>(column)]; set > 0)
    width = std::max<int64_t>(width, PDFAverageWidth(set + Options.ColSpacing, size));
  return width;
}

void TExportPDF::FitColumns() {
  const int count = Columns().Count();
  const int dataSize = Options.DataFont.FontSize;
  captionFont_ = Options.CaptionFont;
  dataFont_ = Options.DataFont;
  TExportPDFPageOptions page = Options.PageOptions;
  auto roomOn = [&page](TExportPageOrientation o) {
    TExportPDFPageOptions turned = page;
    turned.SetOrientation(o);
    const TPDFBox a = turned.PrintArea();
    return a.Right - a.Left;
  };
  const int rooms[2] = {roomOn(poPortrait), roomOn(poLandscape)};
  // Column widths at a data size: measured (whole texts, or with `least` their longest words),
  // or the declared widths in average characters.
  auto widthsAt = [&](int size, bool least) {
    std::vector<int64_t> w;
    for (int i = 0; i < count; ++i)
      w.push_back(measured_ ? MeasuredWidth(i, size, least)
                            : PDFAverageWidth(Columns()[i].Width + Options.ColSpacing, size));
    return w;
  };
  auto total = [](const std::vector<int64_t>& w) {
    int64_t t = 0;
    for (int64_t x : w) t += x;
    return t;
  };
  auto edgesOf = [&](const std::vector<int64_t>& w, int first, int last) {
    std::vector<int> edges(1, area_.Left);
    for (int i = first; i < last; ++i)
      edges.push_back(edges.back() + static_cast<int>(w[static_cast<size_t>(i)]));
    return edges;
  };
  TTableFit fit{page.Orientation(), dataSize, true};
  const bool mayTurn = Options.AutoOrientation && rooms[0] > 0 && rooms[1] > 0;
  if (rooms[page.Orientation()] > 0) {
    auto excess = [&](bool least) {
      return [&, least](TExportPageOrientation o, int size) {
        return total(widthsAt(size, least)) - rooms[o];
      };
    };
    if (!measured_) {
      fit = FitTable(page.Orientation(), mayTurn, dataSize, Options.MinFontSize, excess(false));
    } else {
      // The table whole in its type, on the page as given or turned; else its long texts
      // wrapped, on the wider page (where fewer lines wrap), in the largest type that keeps
      // every word whole.
      fit = FitTable(page.Orientation(), mayTurn, dataSize, dataSize, excess(false));
      if (!fit.Fits)
        fit = FitTable(mayTurn ? poLandscape : page.Orientation(), mayTurn, dataSize,
                       Options.MinFontSize, excess(true));
    }
  }
  if (fit.Orientation != page.Orientation()) {
    // The run's own page: the options keep what the user chose.
    page.SetOrientation(fit.Orientation);
    area_ = page.PrintArea();
    y_ = tableTop_ = area_.Top;
    Document().MediaBox = page.MediaBox();
    Document().TrimBox = area_;
  }
  const int size = fit.Size, avail = rooms[fit.Orientation];
  if (size != dataSize) {
    dataFont_.FontSize = size;
    captionFont_.FontSize = CaptionSizeAt(size);
  }
  std::vector<int64_t> widths = widthsAt(size, false);
  if (fit.Fits || rooms[page.Orientation()] <= 0) {
    if (measured_ && avail > 0) FitColumnWidths(widths, avail, widthsAt(size, true));
    groups_.assign(1, TColumnGroup{0, edgesOf(widths, 0, count)});
    return;
  }
  // Still too wide at the floor: as many whole columns per group as fit. A column wider than
  // the print area on its own is narrowed to it.
  groups_.clear();
  for (int first = 0; first < count;) {
    int last = first + 1;
    while (last < count && edgesOf(widths, first, last + 1).back() - area_.Left <= avail) ++last;
    TColumnGroup g{first, edgesOf(widths, first, last)};
    if (g.edges.back() > area_.Right) g.edges.back() = area_.Right;
    groups_.push_back(std::move(g));
    first = last;
  }
}

bool TExportPDF::Wrap(TPDFText& t, const std::string& text, int room, int size,
                      std::vector<std::string>& lines) {
  lines.clear();
  t.Prepare(text);
  const bool trueType = t.InTrueType();
  if (t.Width(size) <= room) return trueType;
  auto fits = [&](size_t from, size_t to) {
    t.Prepare(std::string_view(text).substr(from, to - from), trueType);
    return t.Width(size) <= room;
  };
  std::vector<std::pair<size_t, size_t>> pieces;
  ForEachWord(text, [&](std::string_view w) {
    const auto at = static_cast<size_t>(w.data() - text.data());
    pieces.emplace_back(at, at + w.size());
  });
  const bool utf8 = TextCodePage.IsUtf8();
  size_t start = std::string::npos, good = 0;
  for (auto [from, to] : pieces) {
    if (start != std::string::npos) {
      if (fits(start, to)) {
        good = to;
        continue;
      }
      lines.push_back(text.substr(start, good - start));
    }
    start = from;
    good = to;
    if (fits(from, to)) continue;
    // A word wider than the line on its own: cut where the line is full, never before its
    // first character.
    std::vector<size_t> ends;
    for (size_t i = from; i < to;) {
      ++i;
      while (utf8 && i < to && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
      ends.push_back(i);
    }
    size_t at = from, k = 0;
    while (k < ends.size()) {
      size_t lo = k, hi = ends.size() - 1;  // the last end that fits, at least the first
      while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        if (fits(at, ends[mid]))
          lo = mid;
        else
          hi = mid - 1;
      }
      if (lo + 1 == ends.size()) break;
      lines.push_back(text.substr(at, ends[lo] - at));
      at = ends[lo];
      k = lo + 1;
    }
    start = at;
  }
  if (start != std::string::npos) lines.push_back(text.substr(start, good - start));
  if (lines.empty()) lines.emplace_back();
  if (static_cast<int>(lines.size()) > maxLines_) lines.resize(static_cast<size_t>(maxLines_));
  return trueType;
}

void TExportPDF::Layout() {
  laidOut_ = true;
  const int count = Columns().Count();
  captions_.assign(static_cast<size_t>(count), TMeasure{});
  if (measured_) {
    values_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      GetColCaption(i, text_);
      Measure(captionText_, text_, captions_[static_cast<size_t>(i)]);
    }
  }
  FitColumns();
  lefts_.assign(static_cast<size_t>(count), 0);
  rights_.assign(static_cast<size_t>(count), 0);
  for (const TColumnGroup& g : groups_)
    for (size_t k = 0; k + 1 < g.edges.size(); ++k) {
      lefts_[static_cast<size_t>(g.first) + k] = g.edges[k];
      rights_[static_cast<size_t>(g.first) + k] = g.edges[k + 1];
    }
  // Wrapped captions, and the most lines a row may take: what a page holds below them. A longer
  // text is cut there, as a value too wide for its cell is cut at its edge.
  captionLines_.assign(static_cast<size_t>(count), {});
  captionTT_.assign(static_cast<size_t>(count), false);
  captionLineCount_ = 1;
  maxLines_ = std::numeric_limits<int>::max();
  const int captionSize = captionFont_.FontSize, size = dataFont_.FontSize;
  if (measured_) {
    for (int i = 0; i < count; ++i) {
      const auto at = static_cast<size_t>(i);
      GetColCaption(i, text_);
      captionTT_[at] = Wrap(captionText_, text_, rights_[at] - lefts_[at] - 2 * Indent(captionSize),
                            captionSize, captionLines_[at]);
      captionLineCount_ = std::max(captionLineCount_, static_cast<int>(captionLines_[at].size()));
    }
  }
  const int captionRow = AllowCaptions ? LineStep(captionSize) + HalfSpacing(captionSize) +
                                             (captionLineCount_ - 1) * Lead(captionSize)
                                       : 0;
  const int rowRoom = area_.Top - area_.Bottom - captionRow - LineStep(size) - HalfSpacing(size);
  maxLines_ = std::max(1, rowRoom / std::max(Lead(size), 1) + 1);
  TPDFDocument& doc = Document();
  doc.BeginPages(ColumnGroups());
  doc.LineWidth = Options.GridLineWidth;
  doc.LineSpacing = Options.RowSpacing;
  for (int g = 0; g < ColumnGroups(); ++g) {
    doc.SelectPage(g);
    doc.SetStrokeColor(Options.GridLineColor);
  }
  if (!Header.Empty()) {
    DrawLines(Header, Options.HeaderFont, headerText_, true);
    y_ -= HalfSpacing(Options.HeaderFont.FontSize);
  }
  tableTop_ = y_;
  topRuled_ = false;
}

void TExportPDF::DrawRule() {
  TPDFDocument& doc = Document();
  for (int g = 0; g < ColumnGroups(); ++g) {
    const std::vector<int>& edges = groups_[static_cast<size_t>(g)].edges;
    doc.SelectPage(g);
    doc.DrawLine(Options.GridLineColor, edges.front(), y_, edges.back(), y_);
  }
  topRuled_ = true;
}

void TExportPDF::DrawColumnRules() {
  // The rules reach half a line width beyond the top and bottom rules so the corners close.
  double half = Options.GridLineWidth / 2.0;
  TPDFDocument& doc = Document();
  for (int g = 0; g < ColumnGroups(); ++g) {
    doc.SelectPage(g);
    for (int x : groups_[static_cast<size_t>(g)].edges)
      doc.DrawLine(Options.GridLineColor, x, tableTop_ + half, x, y_ - half);
  }
}

void TExportPDF::NewTablePage(TColor fill) {
  if (tableTop_ != y_) DrawColumnRules();
  y_ = tableTop_ = area_.Top;
  topRuled_ = false;
  TPDFDocument& doc = Document();
  doc.BeginPages(ColumnGroups());
  for (int g = 0; g < ColumnGroups(); ++g) {
    doc.SelectPage(g);
    doc.SetFillColor(fill);
    doc.SetStrokeColor(Options.GridLineColor);
  }
  if (Options.RepeatCaptions && captionsDrawn_) DrawCaptions();
}

void TExportPDF::DrawLines(const TStringList& lines, const TPDFFont& font, TPDFText& text,
                           bool setColors) {
  TPDFDocument& doc = Document();
  doc.SetFont(font);
  int step = LineStep(font.FontSize);
  for (const std::string& line : lines) {
    y_ -= step;
    if (y_ < area_.Bottom) {
      doc.BeginPages(ColumnGroups());
      for (int g = 0; setColors && g < ColumnGroups(); ++g) {
        doc.SelectPage(g);
        doc.SetFillColor(font.FontColor);
        doc.SetStrokeColor(Options.GridLineColor);
      }
      y_ = area_.Top - step;
    }
    text.Prepare(line);
    for (int g = 0; g < ColumnGroups(); ++g) {
      doc.SelectPage(g);
      text.Draw(doc, area_.Left, y_, font.FontColor);
    }
  }
}

void TExportPDF::BeginExport() {
  TExportFormatText::BeginExport();
  const TExportPDFPageOptions& page = Options.PageOptions;
  area_ = page.PrintArea();
  y_ = tableTop_ = area_.Top;
  laidOut_ = captionsDrawn_ = false;
  groups_.assign(1, TColumnGroup{});
  // Measured widths start from nothing, not from the declared width, so a column is as wide as
  // its widest value (or caption); a width the user set stays the least it gets.
  measured_ = AutoCalcColWidth;
  setWidths_.assign(static_cast<size_t>(Columns().Count()), 0);
  values_.assign(static_cast<size_t>(Columns().Count()), TMeasure{});
  if (AutoCalcColWidth)
    for (int i = 0; i < Columns().Count(); ++i) {
      if (ColumnsWidth.IndexOfName(Columns()[i].Name) < 0) Columns()[i].Width = 0;
      setWidths_[static_cast<size_t>(i)] = Columns()[i].Width;
    }
  if (measured_)
    Columns().MeasureText = [this](int column, std::string_view text) {
      MeasureValue(column, text);
    };
  else
    Columns().MeasureText = nullptr;

  faces_ = std::make_unique<TPDFFaceCache>(Options.UnicodeFont);
  headerText_ = TPDFText(Options.HeaderFont, TextCodePage, faces_.get());
  captionText_ = TPDFText(Options.CaptionFont, TextCodePage, faces_.get());
  dataText_ = TPDFText(Options.DataFont, TextCodePage, faces_.get());
  footerText_ = TPDFText(Options.FooterFont, TextCodePage, faces_.get());

  TPDFDocument& doc = Document();
  doc.MediaBox = page.MediaBox();
  doc.TrimBox = area_;
  doc.BeginDocument();
  for (const TPDFFont* f :
       {&Options.DataFont, &Options.CaptionFont, &Options.HeaderFont, &Options.FooterFont})
    doc.AddFont(*f);
}

void TExportPDF::DrawCaptions() {
  TPDFDocument& doc = Document();
  const TPDFFont& font = captionFont_;
  doc.SetFont(font);
  int size = font.FontSize;
  int top = y_, base = y_ - LineStep(size);
  y_ = base - (captionLineCount_ - 1) * Lead(size) - HalfSpacing(size);
  int indent = Indent(size);
  for (int g = 0; g < ColumnGroups(); ++g) {
    const TColumnGroup& group = groups_[static_cast<size_t>(g)];
    doc.SelectPage(g);
    doc.DrawLine(Options.GridLineColor, group.edges.front(), top, group.edges.back(), top);
    for (size_t k = 0; k + 1 < group.edges.size(); ++k) {
      const int i = group.first + static_cast<int>(k);
      const int left = group.edges[k], right = group.edges[k + 1];
      const std::vector<std::string>& lines = captionLines_[static_cast<size_t>(i)];
      if (!lines.empty()) {
        for (size_t n = 0; n < lines.size(); ++n)
          DrawCellLine(captionText_, captionTT_[static_cast<size_t>(i)], lines[n], Columns()[i],
                       ecaLeft, font.FontColor, left, right, top,
                       base - static_cast<int>(n) * Lead(size), y_, size);
        continue;
      }
      GetColCaption(i, text_);
      captionText_.Prepare(text_);
      const bool overflows = left + indent + captionText_.Width(size) > right;
      if (overflows) doc.BeginClip(left, y_, right - left, top - y_);
      captionText_.Draw(doc, left + indent, base, font.FontColor);
      if (overflows) doc.EndClip();
    }
    doc.DrawLine(Options.GridLineColor, group.edges.front(), y_, group.edges.back(), y_);
  }
  topRuled_ = true;
}

void TExportPDF::WriteCaptionRow() {
  if (!laidOut_) Layout();
  const TPDFFont& font = captionFont_;
  Document().SetFont(font);
  int size = font.FontSize;
  // Header lines that fill the page would push the captions below the margin, off the paper.
  if (y_ - LineStep(size) - (captionLineCount_ - 1) * Lead(size) - HalfSpacing(size) < area_.Bottom)
    NewTablePage(font.FontColor);
  DrawCaptions();
  captionsDrawn_ = true;
}

void TExportPDF::DrawCellLine(TPDFText& t, bool trueType, std::string_view line,
                              const TExportColumn& col, TExportColAlign align, TColor color,
                              int left, int right, int top, int base, int bottom, int size) {
  TPDFDocument& doc = Document();
  const int indent = Indent(size);
  t.Prepare(line, trueType);
  const int width = t.Width(size);
  int x = left + indent;
  if (align == ecaCenter)
    x += measured_ ? (right - left - 2 * indent - width) / 2
                   : (PDFAverageWidth(col.Width, size) - width) / 2;
  else if (align == ecaRight)
    x = right - indent - width;
  // A value wider than its cell would run over its neighbours: it starts at the cell's left
  // whatever its alignment, so that its beginning shows, and is cut at the cell's edges.
  const bool overflows = left + indent + width > right;
  if (overflows) {
    x = left + indent;
    doc.BeginClip(left, bottom, right - left, top - bottom);
    if (&t == &dataText_ && CutChangesMeaning(col.ColType))
      FitNumber(right - left - 2 * indent, width, size);
  }
  t.Draw(doc, x, base, color);
  if (overflows) doc.EndClip();
}

void TExportPDF::WriteDataRow() {
  if (!laidOut_) Layout();
  TPDFDocument& doc = Document();
  const TPDFFont& font = dataFont_;
  int size = font.FontSize;
  double spacing = Options.RowSpacing;
  // The cells first, as the event leaves them, so that the row knows its height before a rule
  // is drawn.
  TExportRow& row = Row();
  const int count = Columns().Count();
  cells_.resize(static_cast<size_t>(count));
  int lines = 1;
  for (int i = 0; i < count; ++i) {
    TCell& c = cells_[static_cast<size_t>(i)];
    const TExportColumn& col = Columns()[i];
    row[i].GetExportedValue(true, c.text);
    c.align = col.ColAlign;
    cellFont_.Color = font.FontColor;
    c.background = clWhite;
    DoGetCellParams(RecordCounter, i, c.text, c.align, &cellFont_, c.background);
    c.color = cellFont_.Color;
    c.lines.clear();
    if (measured_ && !CutChangesMeaning(col.ColType)) {
      const auto at = static_cast<size_t>(i);
      c.trueType =
          Wrap(dataText_, c.text, rights_[at] - lefts_[at] - 2 * Indent(size), size, c.lines);
      lines = std::max(lines, static_cast<int>(c.lines.size()));
    }
  }
  const int extra = (lines - 1) * Lead(size);
  doc.SetFont(font);
  if (y_ - Trunc((spacing + 1) * size) - extra < area_.Bottom) {
    NewTablePage(font.FontColor);
    doc.SetFont(font);  // the repeated captions took the caption font
  }
  // The table's top rule: drawn by the caption row, or here on a new page and, without
  // captions, above the first row.
  bool topRule = !topRuled_;
  int top = y_, base = y_ - LineStep(size);
  int bottom = base - extra - HalfSpacing(size);
  for (int g = 0; g < ColumnGroups(); ++g) {
    const TColumnGroup& group = groups_[static_cast<size_t>(g)];
    doc.SelectPage(g);
    if (topRule)
      doc.DrawLine(Options.GridLineColor, group.edges.front(), top, group.edges.back(), top);
    for (size_t k = 0; k + 1 < group.edges.size(); ++k) {
      int i = group.first + static_cast<int>(k);
      const TCell& c = cells_[static_cast<size_t>(i)];
      int left = group.edges[k], right = group.edges[k + 1];
      if (c.background != clWhite)
        doc.FillRect(c.background, left, base - extra - size * spacing / 2, right - left,
                     (spacing + 1) * size + extra - Options.GridLineWidth / 2.0);
      if (c.lines.empty()) {
        DrawCellLine(dataText_, false, c.text, Columns()[i], c.align, c.color, left, right, top,
                     base, bottom, size);
        continue;
      }
      for (size_t n = 0; n < c.lines.size(); ++n)
        DrawCellLine(dataText_, c.trueType, c.lines[n], Columns()[i], c.align, c.color, left, right,
                     top, base - static_cast<int>(n) * Lead(size), bottom, size);
    }
    doc.DrawLine(Options.GridLineColor, group.edges.front(), bottom, group.edges.back(), bottom);
  }
  y_ = bottom;
  topRuled_ = true;
}

void TExportPDF::FitNumber(int room, int width, int size) {
  if (width <= 0) return;  // nothing drawn: a cell narrower than its indent only
  const int percent = room > 0 ? static_cast<int>(int64_t{room} * 100 / width) : 0;
  if (percent >= kMinSqueezePercent) {
    Document().SetHorizontalScale(percent);
    return;
  }
  dataText_.Prepare("#");
  const int mark = std::max(dataText_.Width(size), 1);
  dataText_.Prepare(std::string(static_cast<size_t>(std::max(room / mark, 1)), '#'));
}

void TExportPDF::EndExport() {
  if (!laidOut_) Layout();
  if (tableTop_ != y_) DrawColumnRules();
  if (!Footer.Empty()) DrawLines(Footer, Options.FooterFont, footerText_, false);
  Document().FinishDocument();
  TExportFormatText::EndExport();
}

}  // namespace morvale
