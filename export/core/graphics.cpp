#include "export/core/graphics.h"

#include <charconv>
#include <cstdio>

#include "export/core/properties.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

struct NamedColor {
  TColor color;
  const char* name;
};

constexpr NamedColor kColorNames[] = {
    {clBlack, "clBlack"},     {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},     {clOlive, "clOlive"},
    {clNavy, "clNavy"},       {clPurple, "clPurple"},
    {clTeal, "clTeal"},       {clGray, "clGray"},
    {clSilver, "clSilver"},   {clRed, "clRed"},
    {clLime, "clLime"},       {clYellow, "clYellow"},
    {clBlue, "clBlue"},       {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},       {clWhite, "clWhite"},
    {clNone, "clNone"},       {clDefault, "clDefault"},
    {clWindow, "clWindow"},   {clWindowText, "clWindowText"},
    {clBtnFace, "clBtnFace"},
};

}  // namespace

TColor ColorToRGB(TColor c) {
  if (c >= 0) return c;
  switch (c) {
    case clWindow:
      return clWhite;
    case clWindowText:
      return clBlack;
    case clBtnFace:
      return 0xF0F0F0;
    default:
      return clBlack;
  }
}

std::string ColorToString(TColor c) {
  for (const auto& n : kColorNames)
    if (n.color == c) return n.name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(c));
  return buf;
}

bool StringToColor(std::string_view s, TColor& c) {
  s = TrimView(s);
  for (const auto& n : kColorNames)
    if (SameText(n.name, s)) {
      c = n.color;
      return true;
    }
  if (s.empty()) return false;
  int base = 10;
  if (s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  bool neg = !s.empty() && s[0] == '-' && base == 10;
  if (neg) s.remove_prefix(1);
  uint32_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (s.empty() || ec != std::errc() || p != s.data() + s.size()) return false;
  c = neg ? -static_cast<TColor>(v) : static_cast<TColor>(v);
  return true;
}

const TPropList& TFont::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TFont>(l)
        .Str("Name", &TFont::Name)
        .Int("Size", &TFont::Size)
        .Custom(
            "Color", "TColor", [](const TFont& f) { return ColorToString(f.Color); },
            [](TFont& f, std::string_view v) {
              if (!StringToColor(v, f.Color))
                throw EPropertyError(Format(TranslateText("Engine", "Invalid colour '%s'"), {v}));
            })
        .Custom(
            "Style", "TFontStyles",
            [](const TFont& f) {
              std::string s;
              const char* names[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
              for (int i = 0; i < 4; ++i)
                if (f.Style & (1 << i)) s += (s.empty() ? "" : ",") + std::string(names[i]);
              return "[" + s + "]";
            },
            [](TFont& f, std::string_view v) {
              const char* names[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
              int style = 0;
              std::string t(v);
              for (char& ch : t)
                if (ch == '[' || ch == ']') ch = ' ';
              size_t pos = 0;
              while (pos <= t.size()) {
                size_t comma = t.find(',', pos);
                std::string_view item = TrimView(std::string_view(t).substr(
                    pos, comma == std::string::npos ? std::string::npos : comma - pos));
                if (!item.empty()) {
                  int bit = -1;
                  for (int i = 0; i < 4; ++i)
                    if (SameText(item, names[i])) bit = i;
                  if (bit < 0)
                    throw EPropertyError(
                        Format(TranslateText("Engine", "Invalid font style '%s'"), {item}));
                  style |= 1 << bit;
                }
                if (comma == std::string::npos) break;
                pos = comma + 1;
              }
              f.Style = style;
            })
        .Int("Charset", &TFont::Charset);
    return l;
  }();
  return list;
}

}  // namespace morvale
