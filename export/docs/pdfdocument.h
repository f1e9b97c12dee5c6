// A one-pass PDF 1.3 writer: pages are content streams of text, line and rectangle operators,
// written as they are drawn; the fonts, resources, page tree, catalog, cross-reference table and
// trailer follow when the document is finished, from the lists kept on the way. Fonts are the
// standard Type 1 fonts referred to by name; texts they cannot show are drawn in TrueType fonts
// embedded as subsets (Type 0 fonts over CIDFontType2, Identity-H, with a ToUnicode map), which
// appear in the file only when a text used them.
//
// Pages may be open side by side: a table too wide for the paper continues its columns on a
// page of their own for every page of rows, and the rows are drawn on all of them at once. A
// page's content is held until the set of pages ends, then written page after page.
//
// Lines end with a lone CR, except after the "stream" keyword: readers require CR LF or LF there,
// because a CR alone could be the first byte of the stream data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/classes.h"
#include "export/core/graphics.h"
#include "export/core/streams.h"
#include "export/docs/pdfoptions.h"
#include "export/docs/pdftruetype.h"

namespace morvale {

// The average character width that widths given in characters are laid out with: 256 times the
// average, in thousandths of the font size.
constexpr int kPDFCharWidthSum = 123990;

// Width in points of `text` (bytes in the encoding of `font`) at the font's size, truncated.
int PDFTextWidth(std::string_view text, const TPDFFont& font);
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
  TColor LineColor() const { return page_->stroke; }
  TColor FillColor() const { return page_->fill; }
  TPDFBox MediaBox{0, 0, 612, 792};
  TPDFBox TrimBox{50, 50, 562, 742};

  void BeginDocument();
  // A new object number; the object's offset is where the output ends now.
  int NewObject();
  // Closes the open pages and opens a new content stream.
  void BeginPage() { BeginPages(1); }
  // Closes the open pages and opens `count` new ones side by side; drawing goes to the first.
  void BeginPages(int count);
  // Makes page `index` of the open set the one drawn on.
  void SelectPage(int index);
  int OpenPages() const { return static_cast<int>(open_.size()); }
  void EndPage();
  // Registers a font under its resource name; raises "Font %s already exists" for a name taken.
  void AddFont(const TPDFFont& font);
  void SetFont(const TPDFFont& font) { Font = font; }
  // Write the colour operator, make the colour current and give back the previous one.
  TColor SetStrokeColor(TColor c);
  TColor SetFillColor(TColor c);
  // `text` is in the current font's encoding; it is written as a string literal.
  void DrawText(int x, int y, TColor color, std::string_view text);
  // Glyphs of an embedded face at the current font's size; the face joins the document's fonts
  // at its first use.
  void DrawGlyphs(int x, int y, TColor color, const std::shared_ptr<TPDFTrueTypeFace>& face,
                  const std::vector<uint16_t>& glyphs);
  void DrawLine(TColor color, double x1, double y1, double x2, double y2);
  void FillRect(TColor color, double x, double y, double width, double height);
  // What is drawn until EndClip shows only inside the rectangle. The graphics state is saved and
  // restored around it, so only drawing that restores its colours itself (text) goes inside.
  void BeginClip(double x, double y, double width, double height);
  void EndClip() { Draw("Q\r"); }
  // Text drawn after it is squeezed to `percent` of its width; inside a clip, whose end restores
  // the full width.
  void SetHorizontalScale(int percent);
  // Closes the last page and writes the closing objects, the cross-reference table and trailer.
  void FinishDocument();

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Bytes of the document written so far (buffered or not).
  int64_t Offset() const { return flushed_ + static_cast<int64_t>(buf_.size()); }

 private:
  // What a page draws: its content and the colours its graphics state holds.
  struct TPageCanvas {
    std::string content;
    TColor stroke = clBlack, fill = clBlack;
  };

  void Put(std::string_view s) { buf_.append(s); }
  // Page content goes to the page drawn on.
  void Draw(std::string_view s) { page_->content.append(s); }
  void DrawInt(int64_t v);
  void DrawFixed(double v, int decimals);
  // "BT", the font and size, the position and the opening of the string literal.
  void BeginText(std::string_view resource, int x, int y);
  void PutInt(int64_t v);
  void PutFixed(double v, int decimals);
  void PutColor(TColor c, const char* op);
  void PutFontObject(const TPDFFont& font);
  void PutTrueTypeFont(const TPDFTrueTypeFace& face);
  void PutStream(std::string_view data, std::string_view extra = {});
  std::string TrueTypeResource(size_t index) const { return "U" + std::to_string(index + 1); }
  void PutBox(const char* key, const TPDFBox& box);
  void Flush();

  TStream& stream_;
  std::string buf_;
  int64_t flushed_ = 0;
  bool failed_ = false;           // a write failed: the rest of the document is dropped
  std::vector<int> pages_;        // content stream object of each page
  std::vector<int64_t> offsets_;  // object start offsets by number - 1
  std::vector<TPDFFont> fonts_;   // in order of registration
  std::vector<std::shared_ptr<TPDFTrueTypeFace>> faces_;  // in order of first use
  std::vector<TPageCanvas> open_;                         // the pages open side by side
  TPageCanvas closed_;  // drawn on while no page is open; never written
  TPageCanvas* page_ = &closed_;
};

}  // namespace morvale
