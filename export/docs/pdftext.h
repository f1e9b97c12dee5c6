// A text as the PDF exporter draws it: in the standard font when the font's encoding holds every
// character, otherwise in the TrueType font that stands in for it, so Cyrillic and every other
// script show as written instead of transliterated. Documents whose texts all fit the standard
// fonts never load a TrueType font and stay as they were.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/docs/pdfdocument.h"
#include "export/docs/pdfencoding.h"
#include "export/docs/pdfmetrics.h"
#include "export/docs/pdftruetype.h"

namespace morvale {

// The TrueType faces of one run, loaded at first need and shared by the fonts that use them, so
// the document embeds each face once.
class TPDFFaceCache {
 public:
  // `file` names the font for every standard font; empty: the DejaVu face of the font's family,
  // weight and slant, found through fontconfig.
  explicit TPDFFaceCache(std::string file = {}) : file_(std::move(file)) {}
  // The face for `font`, or null when no font is named and fontconfig finds none (the texts are
  // then transliterated as without embedding). A named file that cannot be read is an error.
  std::shared_ptr<TPDFTrueTypeFace> FaceFor(TPDFFontName font);

 private:
  std::string file_;
  std::map<std::string, std::shared_ptr<TPDFTrueTypeFace>> byPath_;
  std::map<int, std::string> pathOf_;  // by standard font
};

class TPDFText {
 public:
  TPDFText() = default;
  TPDFText(const TPDFFont& font, const TPDFCodePage& cp, TPDFFaceCache* faces);

  // Makes `text` the one measured and drawn next. `trueType`: in the TrueType font even when the
  // standard font could show it, as the lines of a wrapped value are set in the font the whole
  // value needs, so that their widths add up to what was measured.
  void Prepare(std::string_view text, bool trueType = false);
  // Width of the prepared text in thousandths of the font size: exact, to be scaled once.
  int64_t Units() const;
  // Width of the prepared text in points at `size`, truncated.
  int Width(int size) const { return static_cast<int>(Units() * size / 1000); }
  // Draws the prepared text with the document's current font (its size and resource).
  void Draw(TPDFDocument& doc, int x, int y, TColor color) const;
  bool InTrueType() const { return inTrueType_; }

 private:
  TPDFTextEncoder encoder_;
  TPDFFontName base_ = poHelvetica;
  const TPDFWidths* widths_ = &PDFFontWidths(poHelvetica, poWinAnsiEncoding);
  TPDFFaceCache* faces_ = nullptr;
  std::shared_ptr<TPDFTrueTypeFace> face_;
  bool faceLooked_ = false;
  bool inTrueType_ = false;
  std::string bytes_;
  std::vector<char32_t> chars_;
  std::vector<uint16_t> glyphs_;
};

}  // namespace morvale
