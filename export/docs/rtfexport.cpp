#include "export/docs/rtfexport.h"

#include <algorithm>

#include "export/core/page.h"
#include "export/core/platform.h"
#include "export/docs/rtftext.h"

namespace morvale {

namespace {

constexpr int kTableLeft = 36;        // twips, \trleft and the first column's left edge
constexpr int kTwipsPerPixel = 15;    // at 96 pixels per inch
constexpr int kCellEdgeExtra = 10;    // twips added to every column
constexpr int kDefaultMargin = 1800;  // twips, left and right, when a document names none
constexpr int kMinFontSize = 6;       // points: a fitted table's fonts go no smaller
constexpr int kMinColumnChars = 8;    // a fitted column narrower than this shrinks the fonts
constexpr const char* kCellStart = "\\pard\\intbl\\li30\\ri30";
constexpr const char* kCellBorders =
    "\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth";

std::string FontStyles(TFontStyles s) {
  std::string r;
  if (s & fsBold) r += "\\b";
  if (s & fsItalic) r += "\\i";
  if (s & fsUnderline) r += "\\ul";
  if (s & fsStrikeOut) r += "\\strike";
  return r;
}

// RTF readers skip bare line ends, so every line break of a value becomes a paragraph mark.
// CR LF is the break of the system's own texts; a lone LF or CR (texts made on other systems)
// would otherwise run two lines together.
void BreaksToPar(std::string& s) {
  if (s.find_first_of("\r\n") == std::string::npos) return;
  std::string r;
  r.reserve(s.size() + 16);
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      r += " \\par ";
    } else {
      r += c;
    }
  }
  s.swap(r);
}

}  // namespace

const char* RtfAlignment(TrtfTextAlignment a) {
  switch (a) {
    case talRight:
      return "\\qr";
    case talCenter:
      return "\\qc";
    case talFill:
      return "\\qj";
    default:
      return "\\ql";
  }
}

TExportRTF::TExportRTF() {
  Name = "ExportRTF";
}

const TPropList& TExportRTF::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    PropBuilder<TExportRTF>(l)
        .Object("Options", "TRTFOptions", &TExportRTF::Options)
        .Strings("ColumnsWidth", &TExportRTF::ColumnsWidth)
        .Strings("ColumnsAlign", &TExportRTF::ColumnsAlign)
        .Bool("AutoCalcColWidth", &TExport::AutoCalcColWidth)
        .Event("OnGetHeaderStyle")
        .Event("OnGetFooterStyle")
        .Event("OnGetCaptionStyle")
        .Event("OnGetDataStyle");
    return l;
  }();
  return list;
}

std::unique_ptr<TExportWriter> TExportRTF::CreateWriter(TStream& stream) {
  return std::make_unique<TRTFWriter>(*this, stream);
}

std::string TExportRTF::Background(const TrtfStyle& s) {
  return s.AllowBackground ? RTFWriter().ColorToRTF(s.BackgroundColor, ckBackground)
                           : std::string();
}

std::string TExportRTF::Highlight(const TrtfStyle& s) {
  return s.AllowHighlight ? RTFWriter().ColorToRTF(s.HighlightColor, ckHighlight) : std::string();
}

std::string TExportRTF::TextFormat(const TrtfStyle& s, bool inTable) {
  TRTFWriter& w = RTFWriter();
  TFont font = s.Font;
  if (inTable) font.Size = FittedSize(font.Size);
  std::string r = w.FontToRTF(font);
  r += w.ColorToRTF(s.Font.Color, ckFont);
  r += FontStyles(s.Font.Style);
  r += ' ';
  return r;
}

int TExportRTF::FittedSize(int size) const {
  if (fontScale_ >= 1) return size;
  return std::max(std::min(size, kMinFontSize), static_cast<int>(size * fontScale_ + 1e-9));
}

int TExportRTF::PrintWidth() const {
  // The document sets no margins, so readers take the format's default of 1800 twips a side.
  return (Options.PageOrientation == poLandscape ? 16838 : 11906) - 2 * kDefaultMargin;
}

int64_t TExportRTF::WidthsAt(int captionSize, int chars) {
  // The width of "X" in the caption font stands for one character of the column's width.
  TFont font = Options.CaptionStyle.Font;
  font.Size = captionSize;
  int x = TextMetrics().TextWidth(font, "X");
  return static_cast<int64_t>(chars) * x * kTwipsPerPixel + kCellEdgeExtra;
}

std::vector<int64_t> TExportRTF::WidthsAt(int captionSize) {
  std::vector<int64_t> widths;
  for (int i = 0; i < Columns().Count(); ++i)
    widths.push_back(WidthsAt(captionSize, Columns()[i].Width));
  return widths;
}

std::vector<int> TExportRTF::ColumnEdges() {
  int captionSize = Options.CaptionStyle.Font.Size;
  std::vector<int64_t> widths = WidthsAt(captionSize);
  int64_t total = 0;
  for (int64_t w : widths) total += w;
  // A table wider than the print area would run off the paper, taking its last columns with it.
  // The widest columns give way, their text wrapping in the cell. When that would leave them
  // too narrow for a word (fewer than kMinColumnChars characters), the table's fonts also
  // shrink, as in PDF, by the factor that fits it, down to a readable floor.
  int64_t avail = PrintWidth() - kTableLeft;
  fontScale_ = 1;
  std::vector<int64_t> fitted = widths;
  FitColumnWidths(fitted, avail);
  int64_t widest = fitted.empty() ? 0 : *std::max_element(fitted.begin(), fitted.end());
  int64_t narrowest = WidthsAt(captionSize, kMinColumnChars);
  if (total > avail && widest < narrowest && captionSize > 0) {
    fontScale_ = static_cast<double>(avail) / static_cast<double>(total);
    fitted = WidthsAt(FittedSize(captionSize));
    FitColumnWidths(fitted, avail);
  }
  widths = std::move(fitted);
  std::vector<int> edges;
  int64_t edge = kTableLeft;
  for (int64_t w : widths) {
    edge += w;
    edges.push_back(static_cast<int>(edge));
  }
  return edges;
}

void TExportRTF::WriteTableDefinition() {
  if (tableDefined_) return;
  tableDefined_ = true;
  TRTFWriter& w = RTFWriter();
  w.WriteLn("\\trowd\\trql\\trgaph0\\trleft" + std::to_string(kTableLeft));
  for (int edge : ColumnEdges()) {
    w.WriteLn(kCellBorders);
    w.WriteLn("\\cellx" + std::to_string(edge));
  }
}

void TExportRTF::WriteTextBlock(const TStringList& lines, TrtfStyle style) {
  TRTFWriter& w = RTFWriter();
  std::string open = "{";
  open += RtfAlignment(style.Alignment);
  std::string bg = Background(style);
  if (!bg.empty()) open += bg + " ";
  w.WriteLn(open);
  for (const std::string& line : lines) {
    std::string s = "{";
    s += Highlight(style);
    s += TextFormat(style, false);
    // Header and footer lines may carry control words of their own; only their non-ASCII
    // characters are escaped.
    TRtfCharset::System().Encode(line, s);
    s += "}";
    w.WriteLn(s);
    w.WritePar();
  }
  w.WriteLn("}");
}

void TExportRTF::BeginExport() {
  TExportFormatText::BeginExport();
  TRTFWriter& w = RTFWriter();
  // Two fonts even when the names agree: 0 is the caption font, 1 the data font.
  w.FontTable.Add(Options.CaptionStyle.Font.Name);
  w.FontTable.Add(Options.DataStyle.Font.Name);
  w.ColorTable.Add(clBlack);
  w.WriteHeader();
  w.WriteFontTable();
  w.WriteColorTable();
  w.WriteLn("\\f1\\fs" + std::to_string(Options.DataStyle.Font.Size * 2));
  if (Options.PageOrientation == poLandscape) {
    w.WriteLn("\\landscape");
    w.WriteLn("\\paperw16838");
    w.WriteLn("\\paperh11906");
  } else {
    w.WriteLn("\\paperw11906");
    w.WriteLn("\\paperh16838");
  }
  if (!Header.Empty()) {
    TrtfStyle style = Options.HeaderStyle;
    if (OnGetHeaderStyle) OnGetHeaderStyle(this, style);
    WriteTextBlock(Header, style);
  }
  w.WritePar();
  // The table definition follows once the width pass has measured the columns.
  tableDefined_ = false;
  fontScale_ = 1;
  if (AutoCalcColWidth)
    for (int i = 0; i < Columns().Count(); ++i)
      if (ColumnsWidth.IndexOfName(Columns()[i].Name) < 0) Columns()[i].Width = 0;
}

void TExportRTF::WriteCaptionRow() {
  WriteTableDefinition();
  TRTFWriter& w = RTFWriter();
  w.WriteLn("\\f0\\fs" + std::to_string(FittedSize(Options.CaptionStyle.Font.Size) * 2));
  std::string row;
  GetCaptionRow(row);
  row += "\\row";
  w.WriteLn(row);
}

void TExportRTF::GetColCaption(int colNo, std::string& S) {
  TrtfStyle style = Options.CaptionStyle;
  if (OnGetCaptionStyle) OnGetCaptionStyle(this, colNo, style);
  const TExportColumn& column = Columns()[colNo];
  // The caption's own alignment: the style's, unless CaptionAligns names the column.
  char align = style.Alignment == talRight ? 'R' : style.Alignment == talCenter ? 'C' : 'L';
  std::string line = Options.CaptionAligns.Value(column.Name);
  if (!line.empty()) {
    char first = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    align = first == 'C' || first == 'R' ? first : 'L';
  }
  S = kCellStart;
  S += Background(style);
  S += align == 'R' ? "\\qr" : align == 'C' ? "\\qc" : "\\ql";
  S += "{";
  S += Highlight(style);
  S += TextFormat(style, true);
  S += EscapeString(column.Caption);
  S += "}\\cell";
}

const TrtfStyle& TExportRTF::DataStyleOf(int colNo) const {
  const TrtfStyles& strips = Options.StripStyles;
  if (Options.StripType == stNone || strips.Count() == 0) return Options.DataStyle;
  int n = Options.StripType == stCol ? colNo : RecordCounter;
  return strips[n % strips.Count()];
}

void TExportRTF::GetColData(TExportCol& col, std::string& S) {
  int colNo = col.ColumnIndex;
  TrtfStyle style = DataStyleOf(colNo);
  if (OnGetDataStyle) OnGetDataStyle(this, SkipRecCount + RecordCounter, colNo, style);
  std::string align;
  RTFWriter().AlignToStr(Columns()[colNo].ColAlign, align);
  S = kCellStart;
  S += Background(style);
  S += Highlight(style);
  S += align;
  S += "{";
  S += TextFormat(style, true);
  // Booleans and values of unknown type reach here unescaped; a backslash or brace among them
  // would break the document.
  const TExportColumn& column = Columns()[colNo];
  if (!column.IsString && !column.AllowFormat && !Columns().IsNull(colNo))
    EscapeString(col.Data, cell_);
  else
    cell_ = col.Data;
  BreaksToPar(cell_);
  S += cell_;
  S += "}\\cell";
}

void TExportRTF::BeforeExport() {
  TExportFormatText::BeforeExport();
  WriteTableDefinition();
  RTFWriter().WriteLn("\\f1\\fs" + std::to_string(FittedSize(Options.DataStyle.Font.Size) * 2));
}

void TExportRTF::WriteDataRow() {
  std::string row;
  GetDataRow(true, row);
  row += "\\row";
  RTFWriter().WriteLn(row);
}

void TExportRTF::EndExport() {
  if (Writer()) {
    TRTFWriter& w = RTFWriter();
    w.WriteLn("\\pard");
    if (!Footer.Empty()) {
      TrtfStyle style = Options.FooterStyle;
      if (OnGetFooterStyle) OnGetFooterStyle(this, style);
      w.WritePar();
      WriteTextBlock(Footer, style);
    }
    w.Write("}");
    w.Finish();
  }
  TExportFormatText::EndExport();
}

void TExportRTF::EscapeString(std::string_view S, std::string& Result) {
  Result.clear();
  std::string plain;
  plain.reserve(S.size());
  for (char c : S) {
    if (c == '\\' || c == '{' || c == '}') plain += '\\';
    plain += c;
  }
  TRtfCharset::System().Encode(plain, Result);
}

}  // namespace morvale
