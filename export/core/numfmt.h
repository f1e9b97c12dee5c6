// Numbers as text: the engine's number format language (digit placeholders, grouping, sections,
// exponents, quoted literals) and the parsing rules for integers and floating-point texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/formatsettings.h"

namespace morvale {

// A number format compiled once and applied to many values.
class TNumberFormat {
 public:
  TNumberFormat() = default;
  explicit TNumberFormat(std::string_view format);

  const std::string& Source() const { return source_; }
  // True where the format renders the general form (an empty format among them).
  bool IsGeneral() const { return sections_.empty(); }
  // Appends the rendering of v to out. An empty format renders the general form.
  void Render(double v, const TFormatSettings& fs, std::string& out) const;
  void Render(int64_t v, const TFormatSettings& fs, std::string& out) const;
  // Renders a floating-point text (the grammar of TryStrToFloat) as Render of its value would;
  // false, with nothing written, when the text is not one. Plain decimal texts are rounded from
  // their own digits, without a trip through a double.
  bool RenderFloatText(std::string_view text, const TFormatSettings& fs, std::string& out) const;

  struct Section {
    std::string pattern;  // the section's text
    int intPlaceholders = 0;
    int minIntDigits = 0;
    int fracPlaceholders = 0;
    int minFracDigits = 0;
    bool grouping = false;
    bool scientific = false;
    bool expSignAlways = false;
    int expDigits = 0;
    // Digit placeholders, grouping and a point only (no literal, no exponent): "#,##0.00".
    bool plain = false;

    // The section compiled: what to write, in order.
    enum class ItemKind : uint8_t { kLiteral, kIntDigit, kDecimalPoint, kFracDigit, kExponent };
    struct Item {
      ItemKind kind;
      int index;  // kIntDigit: place (0 = units); kFracDigit: 0 = first after the point
      uint32_t offset = 0, length = 0;  // kLiteral: text in `literals`; kExponent: the 'E'/'e'
    };
    std::vector<Item> items;
    std::string literals;
  };

  // A value as decimal digits, rounded once and written by any section.
  struct Digits {
    char d[24];     // significant digits, no leading or trailing zeros
    int n = 0;      // 0 for the value zero
    int point = 0;  // digits before the decimal point (may be negative or beyond n)
  };

 private:
  void RenderSection(const Section& sec, double absValue, bool minus, const TFormatSettings& fs,
                     std::string& out) const;
  void RenderDigits(const Section& sec, Digits digits, bool minus, const TFormatSettings& fs,
                    std::string& out) const;
  void RenderValue(const Digits& abs, bool negative, const TFormatSettings& fs,
                   std::string& out) const;
  std::string source_;
  std::vector<Section> sections_;  // 0, 1, 2 or 3; empty for the general form
};

// FormatFloat: one-off rendering with a format text.
std::string FormatFloat(std::string_view format, double v, const TFormatSettings& fs);

// General form: up to 15 significant digits, no grouping, the locale's decimal separator,
// scientific notation for very large or small magnitudes ("1.5E+20").
void FloatToStrGeneral(double v, const TFormatSettings& fs, std::string& out);
std::string FloatToStr(double v, const TFormatSettings& fs);
// Every digit of a double: the shortest digits that read back as the same value, no grouping,
// the locale's decimal separator, scientific notation only past twenty-one integer digits or
// six zeros after the point.
void FloatToStrExact(double v, const TFormatSettings& fs, std::string& out);
// Appends a plain decimal text ("-12.3400": a sign, digits, '.' and digits, as servers send their
// exact decimals) with every digit and its scale, the locale's decimal separator in place of the
// point; false, with nothing written, for any other text.
bool DecimalToStrExact(std::string_view text, const TFormatSettings& fs, std::string& out);

// Optional sign, decimal digits, or "$" and hexadecimal digits. False when the text is not one.
bool TryStrToInt64(std::string_view s, int64_t& v);
bool TryStrToInt(std::string_view s, int32_t& v);
// Optional sign, digits, the locale's decimal separator, an optional exponent, surrounding blanks;
// no thousands separators.
bool TryStrToFloat(std::string_view s, double& v, const TFormatSettings& fs);
// Raises "'%s' is not a valid floating point value".
double StrToFloat(std::string_view s, const TFormatSettings& fs);

}  // namespace morvale
