#include "export/docs/pdftext.h"

namespace morvale {

std::shared_ptr<TPDFTrueTypeFace> TPDFFaceCache::FaceFor(TPDFFontName font) {
  auto known = pathOf_.find(font);
  std::string path;
  if (known != pathOf_.end()) {
    path = known->second;
  } else {
    path = file_;
    if (path.empty()) {
      bool bold = font == poHelveticaBold || font == poHelveticaBoldOblique ||
                  font == poCourierBold || font == poCourierBoldOblique || font == poTimesBold ||
                  font == poTimesBoldItalic;
      bool italic = font == poHelveticaOblique || font == poHelveticaBoldOblique ||
                    font == poCourierOblique || font == poCourierBoldOblique ||
                    font == poTimesItalic || font == poTimesBoldItalic;
      path = TPDFTrueTypeFace::FindFile(TPDFTrueTypeFace::StandInFamily(font), bold, italic);
    }
    pathOf_[font] = path;
  }
  if (path.empty()) return nullptr;
  auto& face = byPath_[path];
  if (!face) face = TPDFTrueTypeFace::Load(path);
  return face;
}

TPDFText::TPDFText(const TPDFFont& font, const TPDFCodePage& cp, TPDFFaceCache* faces)
    : encoder_(font.FontEncoding, IsSymbolicFont(font.BaseFont), cp),
      base_(font.BaseFont),
      faces_(faces) {}

void TPDFText::Prepare(std::string_view text) {
  inTrueType_ = false;
  if (encoder_.Fits(text, chars_) || !faces_) return encoder_.Encode(text, bytes_);
  if (!faceLooked_) {
    face_ = faces_->FaceFor(base_);
    faceLooked_ = true;
  }
  if (!face_) return encoder_.Encode(text, bytes_);
  inTrueType_ = true;
  glyphs_.resize(chars_.size());
  for (size_t i = 0; i < chars_.size(); ++i) glyphs_[i] = face_->Glyph(chars_[i]);
}

int TPDFText::Width(int size) const {
  if (!inTrueType_) return PDFTextWidth(bytes_, size);
  int64_t sum = 0;
  for (uint16_t g : glyphs_) sum += face_->Advance(g);
  return static_cast<int>(sum * size / 1000);
}

void TPDFText::Draw(TPDFDocument& doc, int x, int y, TColor color) const {
  if (inTrueType_)
    doc.DrawGlyphs(x, y, color, face_, glyphs_);
  else
    doc.DrawText(x, y, color, bytes_);
}

}  // namespace morvale
