#include "export/docs/pdfdocument.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "export/core/properties.h"
#include "export/core/translate.h"
#include "export/docs/pdfmetrics.h"

namespace morvale {

namespace {

// The glyph names of PDFDocEncoding where it differs from WinAnsiEncoding. Readers know only
// WinAnsi, MacRoman and MacExpert by name, so PDFDocEncoding is spelled out as differences.
const char kPDFDocDifferences[] =
    "24 /breve /caron /circumflex /dotaccent /hungarumlaut /ogonek /ring /tilde\r"
    "128 /bullet /dagger /daggerdbl /ellipsis /emdash /endash /florin /fraction /guilsinglleft "
    "/guilsinglright /minus /perthousand /quotedblbase /quotedblleft /quotedblright /quoteleft "
    "/quoteright /quotesinglbase /trademark /fi /fl /Lslash /OE /Scaron /Ydieresis /Zcaron "
    "/dotlessi /lslash /oe /scaron /zcaron /.notdef\r"
    "160 /Euro\r"
    "173 /.notdef";

}  // namespace

int PDFTextWidth(std::string_view text, const TPDFFont& font) {
  const TPDFWidths& widths = PDFFontWidths(font.BaseFont, font.FontEncoding);
  int64_t sum = 0;
  for (char c : text) sum += widths[static_cast<unsigned char>(c)];
  return static_cast<int>(sum * font.FontSize / 1000);
}

int PDFAverageWidth(double chars, int size) {
  double w = size * chars * kPDFCharWidthSum / 256.0 / 1000.0;
  return static_cast<int>(std::trunc(w + (w < 0 ? -1e-9 : 1e-9)));
}

const TPropList& TPDFDocument::Published() const {
  static const TPropList list = [this] {
    TPropList l(&TComponent::Published());
    PropBuilder<TPDFDocument> b(l);
    b.Custom(
         "ObjNumber", "Integer",
         [](const TPDFDocument& d) { return std::to_string(d.ObjNumber()); }, nullptr)
        .Object("Font", "TPDFFont", &TPDFDocument::Font)
        .Double("LineWidth", &TPDFDocument::LineWidth)
        .Double("LineSpacing", &TPDFDocument::LineSpacing)
        .Custom(
            "LineColor", "TColor",
            [](const TPDFDocument& d) { return ColorToString(d.LineColor()); }, nullptr)
        .Custom(
            "FillColor", "TColor",
            [](const TPDFDocument& d) { return ColorToString(d.FillColor()); }, nullptr)
        .Object("MediaBox", "TPDFBox", &TPDFDocument::MediaBox)
        .Object("TrimBox", "TPDFBox", &TPDFDocument::TrimBox);
    return l;
  }();
  return list;
}

void TPDFDocument::PutInt(int64_t v) {
  char b[24];
  auto [p, ec] = std::to_chars(b, b + sizeof b, v);
  buf_.append(b, p);
}

// Numbers in the file always use '.', whatever the locale: to_chars never looks at it.
void TPDFDocument::PutFixed(double v, int decimals) {
  char b[64];
  auto [p, ec] = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return Put("0");
  buf_.append(b, p);
}

void TPDFDocument::Flush() {
  if (failed_) return buf_.clear();
  if (buf_.empty()) return;
  try {
    stream_.Write(buf_.data(), buf_.size());
  } catch (...) {
    // The stream's error ends the run; what the run's end still draws has nowhere to go.
    failed_ = true;
    buf_.clear();
    throw;
  }
  flushed_ += static_cast<int64_t>(buf_.size());
  buf_.clear();
}

void TPDFDocument::DrawInt(int64_t v) {
  char b[24];
  auto [p, ec] = std::to_chars(b, b + sizeof b, v);
  page_->content.append(b, p);
}

void TPDFDocument::DrawFixed(double v, int decimals) {
  char b[64];
  auto [p, ec] = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return Draw("0");
  page_->content.append(b, p);
}

void TPDFDocument::BeginDocument() {
  pages_.clear();
  offsets_.clear();
  fonts_.clear();
  faces_.clear();
  open_.clear();
  closed_ = TPageCanvas();
  page_ = &closed_;
  LineWidth = 1.0;
  LineSpacing = 1.0;
  Put("%PDF-1.3\r");
}

int TPDFDocument::NewObject() {
  offsets_.push_back(Offset());
  return ObjNumber();
}

void TPDFDocument::BeginPages(int count) {
  EndPage();
  // Every content stream starts with the default graphics state: black for both colours.
  open_.assign(static_cast<size_t>(std::max(count, 1)), TPageCanvas());
  page_ = &open_.front();
}

void TPDFDocument::SelectPage(int index) {
  if (index >= 0 && index < OpenPages()) page_ = &open_[static_cast<size_t>(index)];
}

void TPDFDocument::EndPage() {
  for (TPageCanvas& canvas : open_) {
    int n = NewObject();
    pages_.push_back(n);
    PutInt(n);
    Put(" 0 obj\r<< /Length ");
    PutInt(n + 1);
    Put(" 0 R >>\rstream\r\n");
    Put(canvas.content);
    Put("endstream\rendobj\r");
    PutInt(NewObject());
    Put(" 0 obj\r");
    PutInt(static_cast<int64_t>(canvas.content.size()));
    Put(" \rendobj\r");
    if (buf_.size() >= (1 << 16)) Flush();
  }
  open_.clear();
  closed_ = TPageCanvas();
  page_ = &closed_;
}

void TPDFDocument::AddFont(const TPDFFont& font) {
  for (const TPDFFont& f : fonts_)
    if (f.ResourceName() == font.ResourceName())
      throw Exception(
          Format(TranslateText("Engine", "Font %s already exists"), {font.ResourceName()}));
  fonts_.push_back(font);
}

void TPDFDocument::PutColor(TColor c, const char* op) {
  TColor rgb = ColorToRGB(c);
  for (int shift : {0, 8, 16}) {
    DrawFixed(((rgb >> shift) & 0xFF) / 255.0, 6);
    Draw(" ");
  }
  Draw(op);
  Draw("\r");
}

TColor TPDFDocument::SetStrokeColor(TColor c) {
  TColor prev = page_->stroke;
  PutColor(c, "RG");
  page_->stroke = c;
  return prev;
}

TColor TPDFDocument::SetFillColor(TColor c) {
  TColor prev = page_->fill;
  PutColor(c, "rg");
  page_->fill = c;
  return prev;
}

void TPDFDocument::BeginText(std::string_view resource, int x, int y) {
  Draw("BT\r/");
  Draw(resource);
  Draw(" ");
  DrawInt(Font.FontSize);
  Draw(" Tf\r");
  DrawInt(x);
  Draw(" ");
  DrawInt(y);
  Draw(" Td (");
}

void TPDFDocument::DrawText(int x, int y, TColor color, std::string_view text) {
  bool other = color != page_->fill;
  TColor prev = other ? SetFillColor(color) : page_->fill;
  BeginText(Font.ResourceName(), x, y);
  // A string literal ends at an unbalanced parenthesis and a backslash starts an escape: all
  // three are escaped, so any value, header or footer line shows as it is.
  std::string& out = page_->content;
  for (char c : text) {
    if (c == '\\' || c == '(' || c == ')') out += '\\';
    out += c;
  }
  Draw(") Tj\rET\r");
  if (other) SetFillColor(prev);
}

void TPDFDocument::DrawGlyphs(int x, int y, TColor color,
                              const std::shared_ptr<TPDFTrueTypeFace>& face,
                              const std::vector<uint16_t>& glyphs) {
  size_t index = 0;
  while (index < faces_.size() && faces_[index] != face) ++index;
  if (index == faces_.size()) faces_.push_back(face);
  bool other = color != page_->fill;
  TColor prev = other ? SetFillColor(color) : page_->fill;
  // Identity-H: two bytes per glyph, the glyph number, high byte first. A literal string holds
  // them in half the bytes of hexadecimal; the delimiters are escaped, and so are the line ends,
  // which a reader would otherwise turn into a line feed.
  BeginText(TrueTypeResource(index), x, y);
  std::string& out = page_->content;
  out.reserve(out.size() + glyphs.size() * 2 + 16);
  auto put = [&out](char b) {
    switch (b) {
      case '\\':
      case '(':
      case ')':
        out += '\\';
        out += b;
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += b;
    }
  };
  for (uint16_t g : glyphs) {
    put(static_cast<char>(g >> 8));
    put(static_cast<char>(g & 0xFF));
  }
  Draw(") Tj\rET\r");
  if (other) SetFillColor(prev);
}

void TPDFDocument::DrawLine(TColor color, double x1, double y1, double x2, double y2) {
  bool other = color != page_->stroke;
  TColor prev = other ? SetStrokeColor(color) : page_->stroke;
  DrawFixed(x1, 1), Draw(" "), DrawFixed(y1, 1), Draw(" m \r");
  DrawFixed(x2, 1), Draw(" "), DrawFixed(y2, 1), Draw(" l \r");
  DrawFixed(LineWidth, 1), Draw(" w \rS\r");
  if (other) SetStrokeColor(prev);
}

void TPDFDocument::FillRect(TColor color, double x, double y, double width, double height) {
  bool other = color != page_->fill;
  TColor prev = other ? SetFillColor(color) : page_->fill;
  DrawFixed(x, 1), Draw(" "), DrawFixed(y, 1), Draw(" ");
  DrawFixed(width, 1), Draw(" "), DrawFixed(height, 1), Draw(" re f\r");
  if (other) SetFillColor(prev);
}

void TPDFDocument::BeginClip(double x, double y, double width, double height) {
  Draw("q\r");
  DrawFixed(x, 1), Draw(" "), DrawFixed(y, 1), Draw(" ");
  DrawFixed(width, 1), Draw(" "), DrawFixed(height, 1), Draw(" re W n\r");
}

void TPDFDocument::SetHorizontalScale(int percent) {
  DrawInt(percent);
  Draw(" Tz\r");
}

void TPDFDocument::PutFontObject(const TPDFFont& font) {
  PutInt(NewObject());
  Put(" 0 obj\r<< /Type /Font\r/Subtype /Type1\r/Name /");
  Put(font.ResourceName());
  Put("\r/BaseFont /");
  Put(PDFBaseFontName(font.BaseFont));
  if (IsSymbolicFont(font.BaseFont)) {
    // Symbol and ZapfDingbats carry their own encoding; a text encoding imposed on them names
    // glyphs (a, b, c) the fonts lack, and readers then draw nothing.
  } else if (font.FontEncoding == poPDFDocEncoding) {
    Put("\r/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding\r/Differences [");
    Put(kPDFDocDifferences);
    Put("] >>");
  } else {
    Put("\r/Encoding /");
    Put(PDFEncodingName(font.FontEncoding));
  }
  Put("\r/FirstChar 0\r/LastChar 255\r/Widths [");
  for (int w : PDFFontWidths(font.BaseFont, font.FontEncoding)) PutInt(w), Put(" ");
  Put("]\r>>\rendobj\r");
}

void TPDFDocument::PutStream(std::string_view data, std::string_view extra) {
  Put(" 0 obj\r<< /Length ");
  PutInt(static_cast<int64_t>(data.size()));
  Put(extra);
  Put(" >>\rstream\r\n");
  Put(data);
  // The end of line before "endstream" is not part of the data.
  Put("\rendstream\rendobj\r");
  if (buf_.size() >= (1 << 16)) Flush();
}

namespace {

void AppendHex4(std::string& out, unsigned v) {
  static const char kHex[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(v >> shift) & 15];
}

// The character in UTF-16BE, as the hexadecimal a ToUnicode map writes.
void AppendUtf16Hex(std::string& out, char32_t c) {
  if (c < 0x10000) return AppendHex4(out, static_cast<unsigned>(c));
  c -= 0x10000;
  AppendHex4(out, 0xD800 + static_cast<unsigned>(c >> 10));
  AppendHex4(out, 0xDC00 + static_cast<unsigned>(c & 0x3FF));
}

// Maps every used glyph back to its character, so a reader copies the text out as written.
std::string ToUnicodeMap(const std::vector<std::pair<uint16_t, char32_t>>& used) {
  std::string m =
      "/CIDInit /ProcSet findresource begin\r12 dict begin\rbegincmap\r"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\r"
      "/CMapName /Adobe-Identity-UCS def\r/CMapType 2 def\r"
      "1 begincodespacerange\r<0000> <FFFF>\rendcodespacerange\r";
  // A bfchar block holds at most 100 entries.
  for (size_t from = 0; from < used.size(); from += 100) {
    size_t to = std::min(used.size(), from + 100);
    m += std::to_string(to - from) + " beginbfchar\r";
    for (size_t i = from; i < to; ++i) {
      m += '<';
      AppendHex4(m, used[i].first);
      m += "> <";
      AppendUtf16Hex(m, used[i].second);
      m += ">\r";
    }
    m += "endbfchar\r";
  }
  m += "endcmap\rCMapName currentdict /CMap defineresource pop\rend\rend\r";
  return m;
}

}  // namespace

void TPDFDocument::PutTrueTypeFont(const TPDFTrueTypeFace& face) {
  auto used = face.UsedGlyphs();
  std::string name = face.SubsetTag() + "+" + face.PostScriptName();
  int type0 = NewObject();
  PutInt(type0);
  Put(" 0 obj\r<< /Type /Font\r/Subtype /Type0\r/BaseFont /");
  Put(name);
  Put("\r/Encoding /Identity-H\r/DescendantFonts [");
  PutInt(type0 + 1);
  Put(" 0 R]\r/ToUnicode ");
  PutInt(type0 + 4);
  Put(" 0 R\r>>\rendobj\r");

  PutInt(NewObject());
  Put(" 0 obj\r<< /Type /Font\r/Subtype /CIDFontType2\r/BaseFont /");
  Put(name);
  Put("\r/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>\r"
      "/FontDescriptor ");
  PutInt(type0 + 2);
  Put(" 0 R\r/DW ");
  PutInt(face.Advance(0));
  // Widths of runs of consecutive glyphs: first [w1 w2 ...].
  Put("\r/W [");
  for (size_t i = 0; i < used.size();) {
    PutInt(used[i].first);
    Put(" [");
    size_t j = i;
    do {
      PutInt(face.Advance(used[j].first));
      Put(" ");
      ++j;
    } while (j < used.size() && used[j].first == used[j - 1].first + 1);
    Put("] ");
    i = j;
  }
  Put("]\r/CIDToGIDMap /Identity\r>>\rendobj\r");

  PutInt(NewObject());
  Put(" 0 obj\r<< /Type /FontDescriptor\r/FontName /");
  Put(name);
  // Symbolic: the glyphs are reached by number, never through a standard character set.
  int flags = 4 | (face.FixedPitch() ? 1 : 0) | (face.ItalicAngle() != 0 ? 64 : 0);
  Put("\r/Flags ");
  PutInt(flags);
  Put("\r/FontBBox [");
  for (int k = 0; k < 4; ++k) PutInt(face.BBox()[k]), Put(k < 3 ? " " : "");
  Put("]\r/ItalicAngle ");
  PutInt(face.ItalicAngle());
  Put("\r/Ascent ");
  PutInt(face.Ascent());
  Put("\r/Descent ");
  PutInt(face.Descent());
  Put("\r/CapHeight ");
  PutInt(face.CapHeight());
  Put("\r/StemV 80\r/FontFile2 ");
  PutInt(type0 + 3);
  Put(" 0 R\r>>\rendobj\r");

  std::string program = face.Subset();
  PutInt(NewObject());
  PutStream(program, " /Length1 " + std::to_string(program.size()));
  PutInt(NewObject());
  PutStream(ToUnicodeMap(used));
}

void TPDFDocument::PutBox(const char* key, const TPDFBox& box) {
  Put(key);
  Put(" [");
  PutInt(box.Left), Put(" "), PutInt(box.Bottom), Put(" ");
  PutInt(box.Right), Put(" "), PutInt(box.Top), Put("]\r");
}

void TPDFDocument::FinishDocument() {
  EndPage();
  int outlines = NewObject();
  PutInt(outlines);
  Put(" 0 obj\r<< /Type /Outlines\r/Count 0\r>>\rendobj\r");

  std::vector<int> fontObjects;
  for (const TPDFFont& f : fonts_) {
    fontObjects.push_back(ObjNumber() + 1);
    PutFontObject(f);
  }

  std::vector<int> faceObjects;
  for (const auto& face : faces_) {
    faceObjects.push_back(ObjNumber() + 1);
    PutTrueTypeFont(*face);
  }

  int resources = NewObject();
  PutInt(resources);
  Put(" 0 obj\r<< /Font <<");
  for (size_t i = 0; i < fonts_.size(); ++i) {
    Put("/"), Put(fonts_[i].ResourceName()), Put(" "), PutInt(fontObjects[i]), Put(" 0 R ");
  }
  for (size_t i = 0; i < faces_.size(); ++i) {
    Put("/"), Put(TrueTypeResource(i)), Put(" "), PutInt(faceObjects[i]), Put(" 0 R ");
  }
  Put(" >> /ProcSet [ /PDF /Text ] >>\rendobj\r");

  int pagesObj = NewObject();
  PutInt(pagesObj);
  Put(" 0 obj\r<< /Type /Pages\r/Count ");
  PutInt(PageCount());
  Put("\r/Kids [");
  for (int i = 0; i < PageCount(); ++i) PutInt(pagesObj + 1 + i), Put(" 0 R ");
  Put("]\r>>\rendobj\r");

  for (int content : pages_) {
    PutInt(NewObject());
    Put(" 0 obj\r<< /Type /Page\r/Parent ");
    PutInt(pagesObj);
    Put(" 0 R\r/Resources ");
    PutInt(resources);
    Put(" 0 R\r");
    PutBox("/MediaBox", MediaBox);
    PutBox("/TrimBox", TrimBox);
    Put("/Contents ");
    PutInt(content);
    Put(" 0 R\r>>\rendobj\r");
    if (buf_.size() >= (1 << 16)) Flush();
  }

  int catalog = NewObject();
  PutInt(catalog);
  Put(" 0 obj\r<< /Type /Catalog \r/Pages ");
  PutInt(pagesObj);
  Put(" 0 R \r/Outlines ");
  PutInt(outlines);
  Put(" 0 R \r>>\rendobj\r");

  int64_t xref = Offset();
  Put("xref\r0 ");
  PutInt(ObjNumber() + 1);
  Put("\r0000000000 65535 f \r");
  char entry[24];
  for (int64_t off : offsets_) {
    // Every entry is exactly 20 bytes: ten digits, generation, kind, blank and CR.
    std::snprintf(entry, sizeof entry, "%010lld 00000 n \r", static_cast<long long>(off));
    Put(entry);
    if (buf_.size() >= (1 << 16)) Flush();
  }
  Put("trailer\r<< /Size ");
  PutInt(ObjNumber() + 1);
  Put("\r/Root ");
  PutInt(catalog);
  Put(" 0 R\r>>\rstartxref\r");
  PutInt(xref);
  Put("\r%%EOF");
  Flush();
}

}  // namespace morvale
