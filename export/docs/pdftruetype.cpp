#include "export/docs/pdftruetype.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H
#include <hb-subset.h>

#include <algorithm>
#include <string_view>

#include "export/core/classes.h"
#include "export/core/translate.h"

namespace morvale {

// One FreeType library for the process: faces are only read, never changed after loading.
struct TPDFTrueTypeFace::Library {
  FT_Library ft = nullptr;
  Library() {
    if (FT_Init_FreeType(&ft) != 0) ft = nullptr;
  }
  ~Library() {
    if (ft) FT_Done_FreeType(ft);
  }
  static FT_Library Get() {
    static Library lib;
    return lib.ft;
  }
};

namespace {

constexpr uint16_t kNotLooked = 0xFFFF;

// Font units to thousandths of the em, rounded.
int Thousandths(long units, int unitsPerEm) {
  if (unitsPerEm <= 0) return 0;
  long v = units * 1000;
  return static_cast<int>(v >= 0 ? (v + unitsPerEm / 2) / unitsPerEm
                                 : -((-v + unitsPerEm / 2) / unitsPerEm));
}

}  // namespace

std::string TPDFTrueTypeFace::StandInFamily(TPDFFontName f) {
  if (f >= poCourier && f <= poCourierBoldOblique) return "DejaVu Sans Mono";
  if (f >= poTimesRoman && f <= poTimesBoldItalic) return "DejaVu Serif";
  return "DejaVu Sans";
}

std::string TPDFTrueTypeFace::FindFile(const std::string& family, bool bold, bool italic) {
  if (!FcInit()) return {};
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string path;
  if (match) {
    // fontconfig always answers with some font; only a font of the asked family will do, since
    // another one may lack the very script the text needs.
    FcChar8* got = nullptr;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &got) == FcResultMatch &&
        FcStrCmpIgnoreCase(got, reinterpret_cast<const FcChar8*>(family.c_str())) == 0 &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      path = reinterpret_cast<const char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}

std::shared_ptr<TPDFTrueTypeFace> TPDFTrueTypeFace::Load(const std::string& path) {
  FT_Library lib = Library::Get();
  if (!lib) throw Exception(TranslateText("Engine", "FreeType could not be started"));
  FT_Face face = nullptr;
  if (FT_New_Face(lib, path.c_str(), 0, &face) != 0)
    throw Exception(Format(TranslateText("Engine", "Cannot read the font file %s"), {path}));
  std::shared_ptr<TPDFTrueTypeFace> f(new TPDFTrueTypeFace);
  f->ftFace_ = face;
  f->path_ = path;
  // Only glyf outlines can be embedded as a CIDFontType2 program; a CFF font would need another
  // font type.
  FT_ULong glyf = 0;
  if (!FT_IS_SFNT(face) || !FT_IS_SCALABLE(face) ||
      FT_Load_Sfnt_Table(face, FT_MAKE_TAG('g', 'l', 'y', 'f'), 0, nullptr, &glyf) != 0)
    throw Exception(
        Format(TranslateText("Engine", "The font file %s holds no TrueType outlines"), {path}));
  int upem = face->units_per_EM;
  f->advances_.resize(static_cast<size_t>(face->num_glyphs));
  for (FT_Long g = 0; g < face->num_glyphs; ++g) {
    FT_Fixed adv = 0;
    FT_Get_Advance(face, static_cast<FT_UInt>(g), FT_LOAD_NO_SCALE, &adv);
    f->advances_[static_cast<size_t>(g)] = Thousandths(adv, upem);
  }
  f->bmpGlyph_.assign(0x10000, kNotLooked);
  f->charOfGlyph_.assign(static_cast<size_t>(face->num_glyphs), 0);
  f->ascent_ = Thousandths(face->ascender, upem);
  f->descent_ = Thousandths(face->descender, upem);
  f->bbox_[0] = Thousandths(face->bbox.xMin, upem);
  f->bbox_[1] = Thousandths(face->bbox.yMin, upem);
  f->bbox_[2] = Thousandths(face->bbox.xMax, upem);
  f->bbox_[3] = Thousandths(face->bbox.yMax, upem);
  f->fixedPitch_ = FT_IS_FIXED_WIDTH(face);
  f->capHeight_ = f->ascent_;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      os2 && os2->version >= 2 && os2->sCapHeight > 0)
    f->capHeight_ = Thousandths(os2->sCapHeight, upem);
  if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST)))
    f->italicAngle_ = static_cast<int>(post->italicAngle >> 16);
  const char* ps = FT_Get_Postscript_Name(face);
  // A PDF name may not hold blanks or delimiters; the PostScript name never should, but a
  // font made by hand might.
  for (const char* p = ps ? ps : "Unnamed"; *p; ++p)
    if (*p > ' ' && *p < 127 && std::string_view("()<>[]{}/%#").find(*p) == std::string_view::npos)
      f->psName_ += *p;
  if (f->psName_.empty()) f->psName_ = "Unnamed";
  return f;
}

TPDFTrueTypeFace::~TPDFTrueTypeFace() {
  if (ftFace_) FT_Done_Face(static_cast<FT_Face>(ftFace_));
}

uint16_t TPDFTrueTypeFace::Glyph(char32_t c) {
  uint16_t g;
  if (c < 0x10000 && bmpGlyph_[c] != kNotLooked) {
    g = bmpGlyph_[c];
  } else {
    FT_UInt index = FT_Get_Char_Index(static_cast<FT_Face>(ftFace_), c);
    g = index < 0xFFFF ? static_cast<uint16_t>(index) : 0;
    if (c < 0x10000) bmpGlyph_[c] = g;
  }
  if (g != 0 && charOfGlyph_[g] == 0) {
    charOfGlyph_[g] = c;
    usedGlyphs_.push_back(g);
  }
  return g;
}

std::vector<std::pair<uint16_t, char32_t>> TPDFTrueTypeFace::UsedGlyphs() const {
  std::vector<std::pair<uint16_t, char32_t>> r;
  r.reserve(usedGlyphs_.size());
  for (uint16_t g : usedGlyphs_) r.emplace_back(g, charOfGlyph_[g]);
  std::sort(r.begin(), r.end());
  return r;
}

std::string TPDFTrueTypeFace::SubsetTag() const {
  uint32_t h = 2166136261u;  // FNV-1a over the glyph set
  for (auto [g, c] : UsedGlyphs()) {
    h = (h ^ g) * 16777619u;
    h = (h ^ (g >> 8)) * 16777619u;
  }
  std::string tag;
  for (int i = 0; i < 6; ++i, h /= 26) tag += static_cast<char>('A' + h % 26);
  return tag;
}

std::string TPDFTrueTypeFace::Subset() const {
  hb_blob_t* blob = hb_blob_create_from_file_or_fail(path_.c_str());
  if (!blob)
    throw Exception(Format(TranslateText("Engine", "Cannot read the font file %s"), {path_}));
  hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(faceIndex_));
  hb_blob_destroy(blob);
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  hb_set_t* glyphs = hb_subset_input_glyph_set(input);
  hb_set_add(glyphs, 0);
  for (uint16_t g : usedGlyphs_) hb_set_add(glyphs, g);
  // Kept numbers make the CIDs of the page content the glyph numbers of the subset. Hinting and
  // the layout tables only matter to a rasteriser at screen sizes and to shaping, which the page
  // content has already done; without them the subset is a fraction of the size.
  hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
  hb_set_t* drop = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (const char* t : {"GSUB", "GPOS", "GDEF", "kern", "hdmx", "VDMX", "LTSH", "DSIG"})
    hb_set_add(drop, HB_TAG(t[0], t[1], t[2], t[3]));
  hb_face_t* sub = hb_subset_or_fail(face, input);
  hb_subset_input_destroy(input);
  hb_face_destroy(face);
  if (!sub)
    throw Exception(Format(TranslateText("Engine", "The font %s could not be subset"), {path_}));
  hb_blob_t* out = hb_face_reference_blob(sub);
  unsigned length = 0;
  const char* data = hb_blob_get_data(out, &length);
  std::string bytes(data ? data : "", data ? length : 0);
  hb_blob_destroy(out);
  hb_face_destroy(sub);
  if (bytes.empty())
    throw Exception(Format(TranslateText("Engine", "The font %s could not be subset"), {path_}));
  return bytes;
}

}  // namespace morvale
