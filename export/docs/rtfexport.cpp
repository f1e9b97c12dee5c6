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
constexpr int kCellPadding = 60;      // twips: \li30 and \ri30 of every cell's paragraph
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
  // Columns as wide as what they hold: declared widths (a text field's 255 characters, a memo's
  // 10) say little about the page a table needs.
  AutoCalcColWidth = true;
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
  const int floor = std::max(Options.MinFontSize, 1);
  return std::max(std::min(size, floor), static_cast<int>(size * fontScale_ + 1e-9));
}

int TExportRTF::PrintWidth(TExportPageOrientation o) {
  // The document sets no margins, so readers take the format's default of 1800 twips a side.
  return (o == poLandscape ? 16838 : 11906) - 2 * kDefaultMargin;
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

std::vector<int64_t> TExportRTF::LeastWidths() {
  // A reader wraps a cell's text between words (and after a hyphen); a word wider than its cell
  // it breaks inside. The words are measured in the fonts they are set in, the caption's in the
  // caption font; a pixel and 3% more stand for the reader's own rounding of the same faces.
  TFont caption = Options.CaptionStyle.Font, data = Options.DataStyle.Font;
  caption.Size = FittedSize(caption.Size);
  data.Size = FittedSize(data.Size);
  ITextMetrics& m = TextMetrics();
  std::vector<int64_t> least;
  std::string words;
  for (int i = 0; i < Columns().Count(); ++i) {
    const TExportColumn& c = Columns()[i];
    int px = 0;
    ForEachWord(c.Caption, [&](std::string_view w) {
      px = std::max(px, m.TextWidth(caption, std::string(w)));
    });
    for (const std::string& w : c.LongWords) px = std::max(px, m.TextWidth(data, w));
    least.push_back(px == 0 ? 0 : (int64_t{px} * 103 / 100 + 1) * kTwipsPerPixel + kCellPadding);
  }
  return least;
}

void TExportRTF::LayOut() {
  const int asked = Options.DataStyle.Font.Size;
  const TExportPageOrientation given = Options.PageOrientation;
  const bool mayTurn = Options.AutoOrientation;
  auto scaleTo = [&](int size) {
    fontScale_ = asked > 0 && size < asked ? static_cast<double>(size) / asked : 1;
  };
  auto total = [](const std::vector<int64_t>& w) {
    int64_t t = 0;
    for (int64_t x : w) t += x;
    return t;
  };
  auto room = [](TExportPageOrientation o) { return int64_t{PrintWidth(o)} - kTableLeft; };
  // First the table whole, each column as wide as its longest value, in the type asked, on the
  // page as given or turned; then the same type with long texts wrapped between words, on the
  // wider page when it may turn (the fewer lines wrap); then a smaller type, down to the floor,
  // on whichever page takes the larger.
  fontScale_ = 1;
  TTableFit fit = FitTable(given, mayTurn, asked, asked, [&](TExportPageOrientation o, int) {
    return total(WidthsAt(Options.CaptionStyle.Font.Size)) - room(o);
  });
  const TExportPageOrientation wider = mayTurn ? poLandscape : given;
  if (!fit.Fits)
    fit =
        FitTable(wider, mayTurn, asked, Options.MinFontSize, [&](TExportPageOrientation o, int s) {
          scaleTo(s);
          return total(LeastWidths()) - room(o);
        });
  orientation_ = fit.Orientation;
  scaleTo(fit.Size);
  std::vector<int64_t> widths = WidthsAt(FittedSize(Options.CaptionStyle.Font.Size));
  // A word longer than the line of the page is broken wherever it lands; the rest keep theirs.
  if (!FitColumnWidths(widths, room(orientation_), LeastWidths()))
    FitColumnWidths(widths, room(orientation_));
  edges_.clear();
  int64_t edge = kTableLeft;
  for (int64_t w : widths) {
    edge += w;
    edges_.push_back(static_cast<int>(edge));
  }
  laidOut_ = true;
}

std::vector<int> TExportRTF::ColumnEdges() {
  if (!laidOut_) LayOut();
  return edges_;
}

void TExportRTF::WriteDocumentStart() {
  if (documentStarted_) return;
  documentStarted_ = true;
  if (!laidOut_) LayOut();
  TRTFWriter& w = RTFWriter();
  if (orientation_ == poLandscape) {
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
}

void TExportRTF::WriteTableDefinition() {
  if (tableDefined_) return;
  tableDefined_ = true;
  WriteDocumentStart();
  TRTFWriter& w = RTFWriter();
  w.WriteLn("\\trowd\\trql\\trgaph0\\trleft" + std::to_string(kTableLeft));
  for (int edge : edges_) {
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
  // The page, the header lines and the table follow once the width pass has measured the
  // columns: the page turns for a table that needs it.
  laidOut_ = documentStarted_ = tableDefined_ = false;
  fontScale_ = 1;
  orientation_ = Options.PageOrientation;
  Columns().MeasureWords = AutoCalcColWidth;
  for (int i = 0; i < Columns().Count(); ++i) Columns()[i].LongWords.clear();
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
    WriteDocumentStart();
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
