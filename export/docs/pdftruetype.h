// A TrueType font for the texts the standard PDF fonts cannot show (Cyrillic, Greek, CJK, ...).
// The face is read with FreeType for its metrics and character map; the document embeds only the
// glyphs the text used, cut out with HarfBuzz's subsetter. Glyphs keep their numbers in the
// subset, so the glyph number written in the page content is the CID and the font needs no
// CIDToGIDMap stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/docs/pdfoptions.h"

namespace morvale {

class TPDFTrueTypeFace {
 public:
  // Reads the face from a TrueType or OpenType (glyf) file; raises a clear error when the file is
  // missing or is no such font.
  static std::shared_ptr<TPDFTrueTypeFace> Load(const std::string& path);
  // The file fontconfig picks for `family` with the weight and slant of a standard font, or ""
  // when fontconfig knows no font of that family.
  static std::string FindFile(const std::string& family, bool bold, bool italic);
  // The DejaVu family that stands in for a standard font: Sans for Helvetica, Serif for Times,
  // Sans Mono for Courier.
  static std::string StandInFamily(TPDFFontName f);

  ~TPDFTrueTypeFace();
  TPDFTrueTypeFace(const TPDFTrueTypeFace&) = delete;
  TPDFTrueTypeFace& operator=(const TPDFTrueTypeFace&) = delete;

  const std::string& Path() const { return path_; }
  // The glyph of a character, 0 (the font's "missing" box) when the face has none; marks it used
  // so the subset carries it and the text copies out as `c`.
  uint16_t Glyph(char32_t c);
  // Advance width in thousandths of the font size.
  int Advance(uint16_t glyph) const { return glyph < advances_.size() ? advances_[glyph] : 0; }
  bool Used() const { return !usedGlyphs_.empty(); }

  // What the document's font objects need.
  std::string PostScriptName() const { return psName_; }
  // Six capital letters that name this subset: the same glyphs give the same tag.
  std::string SubsetTag() const;
  // Used glyphs in ascending order, each with the character it shows.
  std::vector<std::pair<uint16_t, char32_t>> UsedGlyphs() const;
  // The subset font program (a TrueType file) holding the used glyphs.
  std::string Subset() const;
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  int CapHeight() const { return capHeight_; }
  int ItalicAngle() const { return italicAngle_; }
  bool FixedPitch() const { return fixedPitch_; }
  const int* BBox() const { return bbox_; }  // left, bottom, right, top

 private:
  TPDFTrueTypeFace() = default;
  struct Library;

  std::string path_, psName_;
  int faceIndex_ = 0;
  void* ftFace_ = nullptr;  // FT_Face, kept for the character map
  std::vector<int> advances_;
  // Glyph of every BMP character looked up so far (0xFFFF: not looked up yet); the character map
  // search is the costly part of a Cyrillic row.
  std::vector<uint16_t> bmpGlyph_;
  std::vector<char32_t> charOfGlyph_;  // the character each used glyph shows, by glyph
  std::vector<uint16_t> usedGlyphs_;   // in order of first use
  int ascent_ = 0, descent_ = 0, capHeight_ = 0, italicAngle_ = 0;
  int bbox_[4] = {0, 0, 0, 0};
  bool fixedPitch_ = false;
};

}  // namespace morvale
