// A one-pass PDF 1.3 writer: pages are content streams of text, line and rectangle operators,
// written as they are drawn; the fonts, resources, page tree, catalog, cross-reference table and
// trailer follow when the document is finished, from the lists kept on the way. Fonts are the
// standard Type 1 fonts referred to by name, never embedded.
//
// Lines end with a lone CR, except after the "stream" keyword: readers require CR LF or LF there,
// because a CR alone could be the first byte of the stream data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/classes.h"
#include "export/core/graphics.h"
#include "export/core/streams.h"
#include "export/docs/pdfoptions.h"

namespace morvale {

// Character widths in thousandths of the font size, by code; the layout measures every font
// with this one table, and every font object carries it.
extern const int kPDFCharWidths[256];
constexpr int kPDFCharWidthSum = 123990;

// Width in points of `text` (bytes in the font's encoding) at size `size`, truncated.
int PDFTextWidth(std::string_view text, int size);
// Width in points of `chars` average characters at size `size`, truncated; `chars` may be
// fractional.
int PDFAverageWidth(double chars, int size);

class TPDFDocument : public TComponent {
 public:
  explicit TPDFDocument(TStream& stream) : stream_(stream) {}
  const TPropList& Published() const override;

  int ObjNumber() const { return static_cast<int>(offsets_.size()); }
  TPDFFont Font;  // the current font, a copy
  double LineWidth = 1.0;
  double LineSpacing = 1.0;  // kept for callers; not used in the output
  TColor LineColor() const { return stroke_; }
  TColor FillColor() const { return fill_; }
  TPDFBox MediaBox{0, 0, 612, 792};
  TPDFBox TrimBox{50, 50, 562, 742};

  void BeginDocument();
  // A new object number; the object's offset is where the output ends now.
  int NewObject();
  // Closes the open page and opens a new content stream.
  void BeginPage();
  void EndPage();
  // Registers a font under its resource name; raises "Font %s already exists" for a name taken.
  void AddFont(const TPDFFont& font);
  void SetFont(const TPDFFont& font) { Font = font; }
  // Write the colour operator, make the colour current and give back the previous one.
  TColor SetStrokeColor(TColor c);
  TColor SetFillColor(TColor c);
  // `text` is in the current font's encoding; it is written as a string literal.
  void DrawText(int x, int y, TColor color, std::string_view text);
  void DrawLine(TColor color, double x1, double y1, double x2, double y2);
  void FillRect(TColor color, double x, double y, double width, double height);
  // Closes the last page and writes the closing objects, the cross-reference table and trailer.
  void FinishDocument();

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Bytes of the document written so far (buffered or not).
  int64_t Offset() const { return flushed_ + static_cast<int64_t>(buf_.size()); }

 private:
  void Put(std::string_view s) { buf_.append(s); }
  void PutInt(int64_t v);
  void PutFixed(double v, int decimals);
  void PutColor(TColor c, const char* op);
  void PutFontObject(const TPDFFont& font);
  void PutBox(const char* key, const TPDFBox& box);
  void Flush();

  TStream& stream_;
  std::string buf_;
  int64_t flushed_ = 0;
  bool failed_ = false;           // a write failed: the rest of the document is dropped
  std::vector<int> pages_;        // content stream object of each page
  std::vector<int64_t> offsets_;  // object start offsets by number - 1
  std::vector<TPDFFont> fonts_;   // in order of registration
  bool pageOpen_ = false;
  int64_t streamStart_ = 0;
  TColor stroke_ = clBlack, fill_ = clBlack;
};

}  // namespace morvale
