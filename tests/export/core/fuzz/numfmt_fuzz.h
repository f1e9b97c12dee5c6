// One input of the number-format fuzzer: the first line is a format of the number format
// language, the second a number as text. The format renders the text, its value as a double and
// as an integer, and a few values at the edges, under every fuzz locale, and is translated for the
// workbook. Beside crashes and hangs it looks for three broken promises: a decimal text rendered
// otherwise than its value, an integer rendered otherwise than the same double, and a format
// translated into one a spreadsheet reader refuses.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "export/core/classes.h"
#include "export/core/numfmt.h"
#include "export/workbook/numberformat.h"
#include "tests/export/core/fuzz/format_fuzz.h"

namespace morvale::test {

namespace numfmt_fuzz {

// Significant digits of a plain decimal text (sign, digits, separator, digits), or -1 for any
// other text. Fifteen or fewer survive a trip through a double unchanged.
inline int PlainSignificantDigits(std::string_view s, const TFormatSettings& fs) {
  s = TrimView(s);
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
  std::string digits;
  bool point = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') {
      digits += s[i];
    } else if (!point && s.substr(i).starts_with(fs.DecimalSeparator)) {
      point = true;
      i += fs.DecimalSeparator.size() - 1;
    } else {
      return -1;
    }
  }
  size_t first = digits.find_first_not_of('0'), last = digits.find_last_not_of('0');
  return first == std::string::npos ? 0 : static_cast<int>(last - first + 1);
}

}  // namespace numfmt_fuzz

inline std::string RunNumberFormatFuzzInput(const uint8_t* data, size_t size) {
  std::vector<std::string_view> lines = FuzzLines(data, size, 2);
  std::string_view format = lines[0], text = lines[1];
  TFuzzCheck check;
  const TNumberFormat compiled(format);
  static const double kEdges[] = {0.0,
                                  -0.0,
                                  0.5,
                                  -1.005,
                                  1e15,
                                  123456789012345678.0,
                                  1e308,
                                  5e-324,
                                  -1e-7,
                                  9.995,
                                  1e-300,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::infinity()};
  static const int64_t kIntegers[] = {0, -1, 999, std::numeric_limits<int64_t>::min(),
                                      std::numeric_limits<int64_t>::max()};
  for (const TFormatSettings& fs : FuzzLocales()) {
    std::string out;
    for (double v : kEdges) compiled.Render(v, fs, out);
    for (int64_t v : kIntegers) compiled.Render(v, fs, out);
    out.clear();
    bool rendered = compiled.RenderFloatText(text, fs, out);
    double v = 0;
    bool isFloat = TryStrToFloat(text, v, fs);
    // A plain decimal text renders from its digits even past a double's range (a NUMERIC(400)
    // value must not stop the export); any other text renders exactly when it reads as a number.
    int plainDigits = numfmt_fuzz::PlainSignificantDigits(text, fs);
    bool plainPastDouble = !isFloat && plainDigits > 0 && !compiled.IsGeneral();
    check.Expect(rendered == (isFloat || plainPastDouble),
                 "a number text is rendered exactly when it is a number", text);
    if (isFloat) {
      std::string viaDouble;
      compiled.Render(v, fs, viaDouble);
      int digits = plainDigits;
      bool exact = digits >= 0 && digits <= 15 &&
                   (v == 0 || (std::fabs(v) > 1e-300 && std::fabs(v) < 1e300));
      check.Expect(!exact || out == viaDouble, "the text and its value render alike",
                   out + " | " + viaDouble);
      // The general form reads back as the same number.
      std::string general = FloatToStr(v, fs);
      double back = 0;
      check.Expect(!std::isfinite(v) || TryStrToFloat(general, back, fs),
                   "the general form reads back", general);
      check.Expect(!std::isfinite(v) || FloatToStr(back, fs) == general,
                   "the general form reads back as itself", general);
    }
    int64_t i = 0;
    // Fifteen digits or fewer: the double holds them all.
    if (TryStrToInt64(text, i) && i > -1000000000000000 && i < 1000000000000000) {
      std::string asInt, asDouble;
      compiled.Render(i, fs, asInt);
      compiled.Render(static_cast<double>(i), fs, asDouble);
      check.Expect(asInt == asDouble, "an integer renders as the same double",
                   asInt + " | " + asDouble);
    }
    std::string sheet = ExcelNumberFormat(format, fs);
    check.Expect(WellFormedSheetFormat(sheet), "the workbook's format is well formed", sheet);
  }
  return check.failure;
}

}  // namespace morvale::test
