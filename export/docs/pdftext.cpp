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
      widths_(&PDFFontWidths(font.BaseFont, font.FontEncoding)),
      faces_(faces) {}

void TPDFText::Prepare(std::string_view text, bool trueType) {
  inTrueType_ = false;
  trueType = trueType && faces_ && !IsSymbolicFont(base_);
  if ((encoder_.Fits(text, chars_) && !trueType) || !faces_) return encoder_.Encode(text, bytes_);
  if (chars_.empty()) {
    // Plain ASCII, which the encoder passes on without decoding: its bytes are its characters.
    for (size_t i = 0; i < text.size(); ++i) {
      const auto b = static_cast<unsigned char>(text[i]);
      if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      chars_.push_back(b < 0x20 || b == 0x7F ? U' ' : static_cast<char32_t>(b));
    }
  }
  if (!faceLooked_) {
    face_ = faces_->FaceFor(base_);
    faceLooked_ = true;
  }
  if (!face_) return encoder_.Encode(text, bytes_);
  inTrueType_ = true;
  glyphs_.resize(chars_.size());
  for (size_t i = 0; i < chars_.size(); ++i) glyphs_[i] = face_->Glyph(chars_[i]);
}

int64_t TPDFText::Units() const {
  int64_t sum = 0;
  if (!inTrueType_) {
    for (char c : bytes_) sum += (*widths_)[static_cast<unsigned char>(c)];
    return sum;
  }
  for (uint16_t g : glyphs_) sum += face_->Advance(g);
  return sum;
}

void TPDFText::Draw(TPDFDocument& doc, int x, int y, TColor color) const {
  if (inTrueType_)
    doc.DrawGlyphs(x, y, color, face_, glyphs_);
  else
    doc.DrawText(x, y, color, bytes_);
}

}  // namespace morvale
