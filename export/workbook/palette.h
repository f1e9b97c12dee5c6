// The 40 colours a cell style can use: the colours of the default workbook palette, so no PALETTE
// record is ever written. Each has a screen colour (for the chooser and the settings text) and a
// palette index (what FONT and XF records store).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/core/graphics.h"

namespace morvale {

enum TxlsColor : int {
  clrBlack,
  clrBrown,
  clrOliveGreen,
  clrDarkGreen,
  clrDarkTeal,
  clrDarkBlue,
  clrIndigo,
  clrGray80Percent,
  clrDarkRed,
  clrOrange,
  clrDarkYellow,
  clrGreen,
  clrTeal,
  clrBlue,
  clrBlueGray,
  clrGray50Percent,
  clrRed,
  clrLightOrange,
  clrLime,
  clrSeaGreen,
  clrAqua,
  clrLightBlue,
  clrViolet,
  clrGray40Percent,
  clrPink,
  clrGold,
  clrYellow,
  clrBrightGreen,
  clrTurquoise,
  clrSkyBlue,
  clrPlum,
  clrGray25Percent,
  clrRose,
  clrTan,
  clrLightYellow,
  clrLihtGreen,
  clrLightTurquoise,
  clrPaleBlue,
  clrLavender,
  clrWhite
};
constexpr int kxlsColorCount = 40;

// 0x00BBGGRR screen colour of a palette colour.
TColor xlsColorToScreen(TxlsColor c);
// Index of the colour in the workbook's default palette.
unsigned xlsPaletteIndex(TxlsColor c);
// The chooser's hint ("Black", "Gray-80%", ...).
const char* xlsColorName(TxlsColor c);
// The enumeration's own names ("clrBlack", ...), for settings given as text.
const std::vector<std::string>& xlsColorIdentifiers();

// A palette colour as settings text ("clBlack", "$00FFCC00") and back; a colour outside the
// palette reads as clrBlack, a text that is no colour raises a conversion error.
std::string ColorToText(TxlsColor c);
TxlsColor TextToColor(std::string_view text);
// The first palette colour with that screen colour, or clrBlack.
TxlsColor ScreenToxlsColor(TColor c);

}  // namespace morvale
