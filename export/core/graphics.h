// Colours and fonts as the exporters describe them: 32-bit 0x00BBGGRR colours and a font record.
#pragma once

#include <cstdint>
#include <string>

#include "export/core/classes.h"

namespace morvale {

using TColor = int32_t;  // 0x00BBGGRR; negative values are system colours

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);

// The RGB a system colour stands for on a light desktop theme; other colours unchanged.
TColor ColorToRGB(TColor c);
// "clRed", "clWindow" or "$00BBGGRR" for colours without a name; and back (names, $hex, decimal).
std::string ColorToString(TColor c);
bool StringToColor(std::string_view s, TColor& c);

enum TFontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;  // a set of TFontStyle bits

class TFont : public TPersistent {
 public:
  std::string Name = "Arial";
  int Size = 10;  // points
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  int Charset = 1;  // DEFAULT_CHARSET

  const TPropList& Published() const override;
  bool operator==(const TFont& o) const {
    return Name == o.Name && Size == o.Size && Color == o.Color && Style == o.Style &&
           Charset == o.Charset;
  }
};

}  // namespace morvale
