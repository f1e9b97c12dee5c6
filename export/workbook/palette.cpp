#include "export/workbook/palette.h"

#include "export/core/classes.h"

namespace morvale {

namespace {

struct TPaletteEntry {
  uint32_t rgb;  // 0xRRGGBB as the palette is usually written
  unsigned index;
  const char* name;
  const char* identifier;
};

constexpr TPaletteEntry kPalette[kxlsColorCount] = {
    {0x000000, 8, "Black", "clrBlack"},
    {0x993300, 60, "Brown", "clrBrown"},
    {0x333300, 59, "Olive Green", "clrOliveGreen"},
    {0x003300, 58, "Dark Green", "clrDarkGreen"},
    {0x003366, 56, "Dark Teal", "clrDarkTeal"},
    {0x000080, 18, "Dark Blue", "clrDarkBlue"},
    {0x333399, 62, "Indigo", "clrIndigo"},
    {0x333333, 63, "Gray-80%", "clrGray80Percent"},
    {0x800000, 16, "Dark Red", "clrDarkRed"},
    {0xFF6600, 53, "Orange", "clrOrange"},
    {0x808000, 19, "Dark Yellow", "clrDarkYellow"},
    {0x008000, 17, "Green", "clrGreen"},
    {0x008080, 21, "Teal", "clrTeal"},
    {0x0000FF, 12, "Blue", "clrBlue"},
    {0x666699, 54, "Blue-Gray", "clrBlueGray"},
    {0x808080, 23, "Gray-50%", "clrGray50Percent"},
    {0xFF0000, 10, "Red", "clrRed"},
    {0xFF9900, 52, "Light Orange", "clrLightOrange"},
    {0x99CC00, 50, "Lime", "clrLime"},
    {0x339966, 57, "Sea Green", "clrSeaGreen"},
    {0x33CCCC, 49, "Aqua", "clrAqua"},
    {0x3366FF, 48, "Light Blue", "clrLightBlue"},
    {0x800080, 20, "Violet", "clrViolet"},
    {0x969696, 55, "Gray-40%", "clrGray40Percent"},
    {0xFF00FF, 14, "Pink", "clrPink"},
    {0xFFCC00, 51, "Gold", "clrGold"},
    {0xFFFF00, 13, "Yellow", "clrYellow"},
    {0x00FF00, 11, "Bright Green", "clrBrightGreen"},
    {0x00FFFF, 15, "Turquoise", "clrTurquoise"},
    {0x00CCFF, 40, "Sky Blue", "clrSkyBlue"},
    {0x993366, 61, "Plum", "clrPlum"},
    {0xC0C0C0, 22, "Gray-25%", "clrGray25Percent"},
    {0xFF99CC, 45, "Rose", "clrRose"},
    {0xFFCC99, 47, "Tan", "clrTan"},
    {0xFFFF99, 43, "Light Yellow", "clrLightYellow"},
    {0xCCFFCC, 42, "Liht Green", "clrLihtGreen"},
    {0xCCFFFF, 41, "Light Turquoise", "clrLightTurquoise"},
    {0x99CCFF, 44, "Pale Blue", "clrPaleBlue"},
    {0xCC99FF, 46, "Lavender", "clrLavender"},
    {0xFFFFFF, 9, "White", "clrWhite"},
};

const TPaletteEntry& Entry(TxlsColor c) {
  int i = static_cast<int>(c);
  return kPalette[i >= 0 && i < kxlsColorCount ? i : 0];
}

}  // namespace

TColor xlsColorToScreen(TxlsColor c) {
  uint32_t rgb = Entry(c).rgb;
  return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16));
}

unsigned xlsPaletteIndex(TxlsColor c) {
  return Entry(c).index;
}

const char* xlsColorName(TxlsColor c) {
  return Entry(c).name;
}

const std::vector<std::string>& xlsColorIdentifiers() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const auto& e : kPalette) v.emplace_back(e.identifier);
    return v;
  }();
  return names;
}

std::string ColorToText(TxlsColor c) {
  return ColorToString(xlsColorToScreen(c));
}

TxlsColor ScreenToxlsColor(TColor c) {
  for (int i = 0; i < kxlsColorCount; ++i)
    if (xlsColorToScreen(static_cast<TxlsColor>(i)) == c) return static_cast<TxlsColor>(i);
  return clrBlack;
}

TxlsColor TextToColor(std::string_view text) {
  TColor c = 0;
  if (!StringToColor(text, c))
    throw EConvertError("'" + std::string(text) + "' is not a valid colour");
  return ScreenToxlsColor(c);
}

}  // namespace morvale
