#include "export/docs/pdfexport.h"

#include <cmath>

#include "export/core/properties.h"

namespace morvale {

namespace {

// Truncation of a layout measure; the nudge keeps a spacing such as 1.1, which binary floating
// point holds a hair low, from losing a point the user asked for.
int Trunc(double v) {
  return static_cast<int>(std::trunc(v + (v < 0 ? -1e-9 : 1e-9)));
}

TPDFTextEncoder EncoderFor(const TPDFFont& f, const TPDFCodePage& cp) {
  return TPDFTextEncoder(f.FontEncoding, IsSymbolicFont(f.BaseFont), cp);
}

}  // namespace

const TPropList& TExportPDF::Published() const {
  static const TPropList list = [this] {
    TPropList l(&TExportFormatText::Published());
    PropBuilder<TExportPDF>(l)
        .Object("Options", "TPDFOptions", &TExportPDF::Options)
        .Strings("ColumnsWidth", &TExportPDF::ColumnsWidth)
        .Strings("ColumnsAlign", &TExportPDF::ColumnsAlign)
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

void TExportPDF::DrawRule() {
  Document().DrawLine(Options.GridLineColor, edges_.front(), y_, edges_.back(), y_);
  topRuled_ = true;
}

void TExportPDF::DrawColumnRules() {
  // The rules reach half a line width beyond the top and bottom rules so the corners close.
  double half = Options.GridLineWidth / 2.0;
  for (int x : edges_)
    Document().DrawLine(Options.GridLineColor, x, tableTop_ + half, x, y_ - half);
}

void TExportPDF::NewTablePage(TColor fill) {
  if (tableTop_ != y_) DrawColumnRules();
  y_ = tableTop_ = area_.Top;
  topRuled_ = false;
  TPDFDocument& doc = Document();
  doc.BeginPage();
  doc.SetFillColor(fill);
  doc.SetStrokeColor(Options.GridLineColor);
}

void TExportPDF::DrawLines(const TStringList& lines, const TPDFFont& font,
                           const TPDFTextEncoder& enc, bool setColors) {
  TPDFDocument& doc = Document();
  doc.SetFont(font);
  int step = LineStep(font.FontSize);
  for (const std::string& line : lines) {
    y_ -= step;
    if (y_ < area_.Bottom) {
      doc.BeginPage();
      if (setColors) {
        doc.SetFillColor(font.FontColor);
        doc.SetStrokeColor(Options.GridLineColor);
      }
      y_ = area_.Top - step;
    }
    enc.Encode(line, encoded_);
    doc.DrawText(area_.Left, y_, font.FontColor, encoded_);
  }
}

void TExportPDF::BeginExport() {
  TExportFormatText::BeginExport();
  const TExportPDFPageOptions& page = Options.PageOptions;
  area_ = page.PrintArea();
  y_ = tableTop_ = area_.Top;

  int dataSize = Options.DataFont.FontSize;
  edges_.assign(1, area_.Left);
  for (int i = 0; i < Columns().Count(); ++i)
    edges_.push_back(edges_.back() +
                     PDFAverageWidth(Columns()[i].Width + Options.ColSpacing, dataSize));

  headerEnc_ = EncoderFor(Options.HeaderFont, TextCodePage);
  captionEnc_ = EncoderFor(Options.CaptionFont, TextCodePage);
  dataEnc_ = EncoderFor(Options.DataFont, TextCodePage);
  footerEnc_ = EncoderFor(Options.FooterFont, TextCodePage);

  TPDFDocument& doc = Document();
  doc.MediaBox = page.MediaBox();
  doc.TrimBox = area_;
  doc.BeginDocument();
  doc.BeginPage();
  doc.LineWidth = Options.GridLineWidth;
  doc.LineSpacing = Options.RowSpacing;
  doc.SetStrokeColor(Options.GridLineColor);

  if (!Header.Empty()) {
    DrawLines(Header, Options.HeaderFont, headerEnc_, true);
    y_ -= HalfSpacing(Options.HeaderFont.FontSize);
  }
  tableTop_ = y_;
  topRuled_ = false;

  for (const TPDFFont* f :
       {&Options.DataFont, &Options.CaptionFont, &Options.HeaderFont, &Options.FooterFont})
    doc.AddFont(*f);
}

void TExportPDF::WriteCaptionRow() {
  TPDFDocument& doc = Document();
  const TPDFFont& font = Options.CaptionFont;
  doc.SetFont(font);
  int size = font.FontSize;
  // Header lines that fill the page would push the captions below the margin, off the paper.
  if (y_ - LineStep(size) - HalfSpacing(size) < area_.Bottom) NewTablePage(font.FontColor);
  DrawRule();
  y_ -= LineStep(size);
  int indent = PDFAverageWidth(Options.ColSpacing / 2, size);
  for (int i = 0; i < Columns().Count(); ++i) {
    GetColCaption(i, text_);
    captionEnc_.Encode(text_, encoded_);
    doc.DrawText(edges_[i] + indent, y_, font.FontColor, encoded_);
  }
  y_ -= HalfSpacing(size);
  DrawRule();
}

void TExportPDF::WriteDataRow() {
  TPDFDocument& doc = Document();
  const TPDFFont& font = Options.DataFont;
  doc.SetFont(font);
  int size = font.FontSize;
  double spacing = Options.RowSpacing;
  if (y_ - Trunc((spacing + 1) * size) < area_.Bottom) NewTablePage(font.FontColor);
  // The table's top rule: drawn by the caption row, or here on a new page and, without
  // captions, above the first row.
  if (!topRuled_) DrawRule();
  y_ -= LineStep(size);
  int indent = PDFAverageWidth(Options.ColSpacing / 2, size);
  TExportRow& row = Row();
  for (int i = 0; i < Columns().Count(); ++i) {
    const TExportColumn& col = Columns()[i];
    row[i].GetExportedValue(true, text_);
    TExportColAlign align = col.ColAlign;
    cellFont_.Color = font.FontColor;
    TColor background = clWhite;
    DoGetCellParams(RecordCounter, i, text_, align, &cellFont_, background);
    int left = edges_[static_cast<size_t>(i)], right = edges_[static_cast<size_t>(i) + 1];
    if (background != clWhite)
      doc.FillRect(background, left, y_ - size * spacing / 2, right - left,
                   (spacing + 1) * size - Options.GridLineWidth / 2.0);
    dataEnc_.Encode(text_, encoded_);
    int width = PDFTextWidth(encoded_, size);
    int x = left + indent;
    if (align == ecaCenter)
      x += (PDFAverageWidth(col.Width, size) - width) / 2;
    else if (align == ecaRight)
      x = right - indent - width;
    doc.DrawText(x, y_, cellFont_.Color, encoded_);
  }
  y_ -= HalfSpacing(size);
  DrawRule();
}

void TExportPDF::EndExport() {
  if (tableTop_ != y_) DrawColumnRules();
  if (!Footer.Empty()) DrawLines(Footer, Options.FooterFont, footerEnc_, false);
  Document().FinishDocument();
  TExportFormatText::EndExport();
}

}  // namespace morvale
