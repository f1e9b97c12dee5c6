#include "export/xls/registry.h"

namespace morvale {

const uint8_t kFixedXF[16][20] = {
#define XF_STYLE(font)                                                                        \
  {                                                                                           \
    font, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x00, 0x00, 0x00, \
        0x00, 0x00, 0x00, 0xC0, 0x20                                                          \
  }
    {0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0x00,
     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
    XF_STYLE(0x01),
    XF_STYLE(0x01),
    XF_STYLE(0x02),
    XF_STYLE(0x02),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    XF_STYLE(0x00),
    // XF 15: the default cell XF (font 1, General, bottom-aligned).
    {0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00, 0x00, 0x00,
     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
#undef XF_STYLE
};

namespace {

void AppendFont(std::string& k, const TxlsFont& f) {
  k += std::to_string(f.Size) + ',' + std::to_string(f.Style) + ',' + std::to_string(f.Color) +
       ',' + std::to_string(f.Script) + ',' + std::to_string(f.Underline) + ',' +
       std::to_string(f.Charset) + ',' + std::to_string(f.Name.size()) + ':' + f.Name;
}

void AppendBorder(std::string& k, const TxlsBorder& b) {
  k += static_cast<char>('A' + b.Style);
  k += static_cast<char>('A' + b.Color);
}

}  // namespace

// A text that two styles share exactly when they are equal: number format, font, borders, fill,
// alignment and wrap. Lengths go in front of the free texts, so no two styles can run together.
std::string TxlsStyleRegistry::Key(const TxlsXFormat& c, std::string_view formatText) const {
  std::string k;
  if (c.Format) {
    k += 'N' + std::to_string(formatText.size()) + ':';
    k.append(formatText);
  } else {
    k += '-';
  }
  if (c.Font) {
    k += 'F';
    AppendFont(k, *c.Font);
  } else {
    k += '-';
  }
  const TxlsBorders& b = c.Borders;
  for (const TxlsBorder* x : {&b.Left, &b.Right, &b.Top, &b.Bottom, &b.DiagDown, &b.DiagUp})
    AppendBorder(k, *x);
  k += static_cast<char>('A' + c.Fill.Background);
  k += static_cast<char>('A' + c.Fill.Pattern);
  k += static_cast<char>('A' + c.Fill.Foreground);
  k += static_cast<char>('A' + c.Alignment.Horizontal);
  k += static_cast<char>('A' + c.Alignment.Vertical);
  k += c.Wrap ? 'W' : '-';
  return k;
}

uint16_t TxlsStyleRegistry::GetXFIndex(std::string_view formatText, const TxlsFormat* format,
                                       const TxlsFont& referenceFont) {
  if (formatText == "General" && !format) return kDefaultXF;
  if (formatText.empty()) formatText = "General";

  TxlsXFormat candidate;
  TxlsTextFormat numberFormat;
  TxlsFont ownFont;
  if (formatText != "General") {
    numberFormat.Text = std::string(formatText);
    candidate.Format = &numberFormat;
  }
  if (format) {
    if (!(format->Font == referenceFont)) {
      ownFont.Assign(format->Font);
      candidate.Font = &ownFont;
    }
    candidate.Borders = format->Borders;
    candidate.Fill = format->Fill;
    candidate.Alignment = format->Alignment;
    candidate.Wrap = format->Wrap;
  }
  std::string key = Key(candidate, formatText);
  auto found = xfByKey_.find(key);
  if (found != xfByKey_.end()) return found->second;

  if (candidate.Font) candidate.Font = FindOrAddFont(ownFont);
  if (candidate.Format) candidate.Format = FindOrAddFormat(formatText);
  candidate.Index = static_cast<uint16_t>(kFirstXF + xfs_.size());
  xfs_.push_back(candidate);
  xfByKey_.emplace(std::move(key), candidate.Index);
  return candidate.Index;
}

const TxlsFont* TxlsStyleRegistry::FindOrAddFont(const TxlsFont& font) {
  for (const TxlsFont& f : fonts_)
    if (f == font) return &f;
  TxlsFont& added = fonts_.emplace_back();
  added.Assign(font);
  added.Index = static_cast<uint16_t>(kFirstFont + fonts_.size() - 1);
  return &added;
}

uint16_t TxlsStyleRegistry::RegisterFont(const TxlsFont& font) {
  return FindOrAddFont(font)->Index;
}

const TxlsTextFormat* TxlsStyleRegistry::FindOrAddFormat(std::string_view text) {
  for (const TxlsTextFormat& f : formats_)
    if (f.Text == text) return &f;
  TxlsTextFormat& added = formats_.emplace_back();
  added.Text = std::string(text);
  added.Index = static_cast<uint16_t>(kFirstFormat + formats_.size() - 1);
  return &added;
}

const TxlsXFormat* TxlsStyleRegistry::FindXF(uint16_t index) const {
  if (index < kFirstXF || index - kFirstXF >= static_cast<int>(xfs_.size())) return nullptr;
  return &xfs_[index - kFirstXF];
}

void TxlsStyleRegistry::AddFieldXF(int sheet, std::string_view fieldName, uint16_t xf) {
  fields_.push_back({sheet, std::string(fieldName), xf});
}

bool TxlsStyleRegistry::HasFieldXF(int sheet, std::string_view fieldName) const {
  for (const TFieldEntry& e : fields_)
    if (e.sheet == sheet && SameText(e.name, fieldName)) return true;
  return false;
}

uint16_t TxlsStyleRegistry::FieldXF(int sheet, std::string_view fieldName) const {
  for (const TFieldEntry& e : fields_)
    if (e.sheet == sheet && SameText(e.name, fieldName)) return e.xf;
  return kDefaultXF;
}

void TxlsStyleRegistry::AddStripXF(int sheet, int key, uint16_t xf) {
  strips_.push_back({sheet, key, xf});
}

uint16_t TxlsStyleRegistry::StripXF(int sheet, int key) const {
  for (const TStripEntry& e : strips_)
    if (e.sheet == sheet && e.key == key) return e.xf;
  return kDefaultXF;
}

TbiffXF TxlsStyleRegistry::EncodeXF(const TxlsXFormat& s) {
  TbiffXF xf(kFixedXF[15]);
  // The pattern first: it shares its 32-bit word with the top and bottom border colours.
  xf.SetTopBottomPattern(static_cast<uint32_t>(s.Fill.Pattern) << 26);
  xf.SetFillColors((xlsPaletteIndex(s.Fill.Background) & 0x7F) |
                   ((xlsPaletteIndex(s.Fill.Foreground) & 0x7F) << 7) | (xf.FillColors() & 0xC000));
  if (s.Font) xf.SetFontIndex(s.Font->Index);
  if (s.Format) xf.SetFormatIndex(s.Format->Index);
  const TxlsBorders& b = s.Borders;
  if (b.AnyStyle()) {
    unsigned styles = 0, sides = 0;
    uint32_t topBottom = xf.TopBottomPattern();
    auto color = [](const TxlsBorder& x) { return xlsPaletteIndex(x.Color) & 0x7F; };
    if (b.Left.Style) styles |= b.Left.Style, sides |= color(b.Left);
    if (b.Right.Style) styles |= b.Right.Style << 4, sides |= color(b.Right) << 7;
    if (b.Top.Style) styles |= b.Top.Style << 8, topBottom |= color(b.Top);
    if (b.Bottom.Style) styles |= b.Bottom.Style << 12, topBottom |= color(b.Bottom) << 7;
    if (b.DiagDown.Style) sides |= 0x4000;
    if (b.DiagUp.Style) sides |= 0x8000;
    const TxlsBorder* diag = b.DiagDown.Style ? &b.DiagDown : b.DiagUp.Style ? &b.DiagUp : nullptr;
    if (diag)
      topBottom |= (color(*diag) << 14) | ((static_cast<uint32_t>(diag->Style) & 0xF) << 21);
    xf.SetLineStyles(styles);
    xf.SetSideColors(sides);
    xf.SetTopBottomPattern(topBottom);
  }
  unsigned attributes = 0x4000 | 0x1000;
  if (s.Font) attributes |= 0x0800;
  if (b.AnyStyle()) attributes |= 0x2000;
  xf.SetAttributes(attributes);
  xf.SetAlignment((s.Alignment.Horizontal & 7) | (s.Wrap ? 8u : 0u) |
                  ((s.Alignment.Vertical & 7) << 4));
  return xf;
}

}  // namespace morvale
