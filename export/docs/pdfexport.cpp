#include "export/docs/pdfexport.h"

#include <algorithm>
#include <cmath>

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

std::vector<int> TExportPDF::EdgesAt(int size, int first, int last) {
  std::vector<int> edges(1, area_.Left);
  for (int i = first; i < last; ++i)
    edges.push_back(edges.back() + PDFAverageWidth(Columns()[i].Width + Options.ColSpacing, size));
  return edges;
}

void TExportPDF::FitColumns() {
  const int count = Columns().Count();
  const int dataSize = Options.DataFont.FontSize, captionSize = Options.CaptionFont.FontSize;
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
  if (rooms[page.Orientation()] <= 0) {
    groups_.assign(1, TColumnGroup{0, EdgesAt(dataSize, 0, count)});
    return;
  }
  const TTableFit fit =
      FitTable(page.Orientation(), Options.AutoOrientation && rooms[0] > 0 && rooms[1] > 0,
               dataSize, Options.MinFontSize, [&](TExportPageOrientation o, int size) {
                 return int64_t{EdgesAt(size, 0, count).back() - area_.Left} - rooms[o];
               });
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
    const int floor = std::min(std::max(Options.MinFontSize, 1), dataSize);
    captionFont_.FontSize = std::max(std::min(floor, captionSize),
                                     Trunc(captionSize * static_cast<double>(size) / dataSize));
  }
  std::vector<int> edges = EdgesAt(size, 0, count);
  if (fit.Fits) {
    groups_.assign(1, TColumnGroup{0, edges});
    return;
  }
  // Still too wide at the floor: as many whole columns per group as fit. A column wider than
  // the print area on its own is narrowed to it.
  groups_.clear();
  for (int first = 0; first < count;) {
    int last = first + 1;
    while (last < count && EdgesAt(size, first, last + 1).back() - area_.Left <= avail) ++last;
    TColumnGroup g{first, EdgesAt(size, first, last)};
    if (g.edges.back() > area_.Right) g.edges.back() = area_.Right;
    groups_.push_back(std::move(g));
    first = last;
  }
}

void TExportPDF::Layout() {
  laidOut_ = true;
  FitColumns();
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
  if (AutoCalcColWidth)
    for (int i = 0; i < Columns().Count(); ++i)
      if (ColumnsWidth.IndexOfName(Columns()[i].Name) < 0) Columns()[i].Width = 0;

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
  y_ = base - HalfSpacing(size);
  int indent = PDFAverageWidth(Options.ColSpacing / 2, size);
  for (int g = 0; g < ColumnGroups(); ++g) {
    const TColumnGroup& group = groups_[static_cast<size_t>(g)];
    doc.SelectPage(g);
    doc.DrawLine(Options.GridLineColor, group.edges.front(), top, group.edges.back(), top);
    for (size_t k = 0; k + 1 < group.edges.size(); ++k) {
      GetColCaption(group.first + static_cast<int>(k), text_);
      captionText_.Prepare(text_);
      const int left = group.edges[k], right = group.edges[k + 1];
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
  if (y_ - LineStep(size) - HalfSpacing(size) < area_.Bottom) NewTablePage(font.FontColor);
  DrawCaptions();
  captionsDrawn_ = true;
}

void TExportPDF::WriteDataRow() {
  if (!laidOut_) Layout();
  TPDFDocument& doc = Document();
  const TPDFFont& font = dataFont_;
  doc.SetFont(font);
  int size = font.FontSize;
  double spacing = Options.RowSpacing;
  if (y_ - Trunc((spacing + 1) * size) < area_.Bottom) {
    NewTablePage(font.FontColor);
    doc.SetFont(font);  // the repeated captions took the caption font
  }
  // The table's top rule: drawn by the caption row, or here on a new page and, without
  // captions, above the first row.
  bool topRule = !topRuled_;
  int top = y_, base = y_ - LineStep(size);
  int bottom = base - HalfSpacing(size);
  int indent = PDFAverageWidth(Options.ColSpacing / 2, size);
  TExportRow& row = Row();
  for (int g = 0; g < ColumnGroups(); ++g) {
    const TColumnGroup& group = groups_[static_cast<size_t>(g)];
    doc.SelectPage(g);
    if (topRule)
      doc.DrawLine(Options.GridLineColor, group.edges.front(), top, group.edges.back(), top);
    for (size_t k = 0; k + 1 < group.edges.size(); ++k) {
      int i = group.first + static_cast<int>(k);
      const TExportColumn& col = Columns()[i];
      row[i].GetExportedValue(true, text_);
      TExportColAlign align = col.ColAlign;
      cellFont_.Color = font.FontColor;
      TColor background = clWhite;
      DoGetCellParams(RecordCounter, i, text_, align, &cellFont_, background);
      int left = group.edges[k], right = group.edges[k + 1];
      if (background != clWhite)
        doc.FillRect(background, left, base - size * spacing / 2, right - left,
                     (spacing + 1) * size - Options.GridLineWidth / 2.0);
      dataText_.Prepare(text_);
      int width = dataText_.Width(size);
      int x = left + indent;
      if (align == ecaCenter)
        x += (PDFAverageWidth(col.Width, size) - width) / 2;
      else if (align == ecaRight)
        x = right - indent - width;
      // A value wider than its cell would run over its neighbours: it starts at the cell's left
      // whatever its alignment, so that its beginning shows, and is cut at the cell's edges.
      const bool overflows = left + indent + width > right;
      if (overflows) {
        x = left + indent;
        doc.BeginClip(left, bottom, right - left, top - bottom);
        if (CutChangesMeaning(col.ColType)) FitNumber(right - left - 2 * indent, width, size);
      }
      dataText_.Draw(doc, x, base, cellFont_.Color);
      if (overflows) doc.EndClip();
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
