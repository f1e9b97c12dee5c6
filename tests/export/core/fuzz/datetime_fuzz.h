// One input of the date-time format fuzzer: the first line is a format of the date-time format
// language, the second a date-time as text. The format renders values across the years 1 to 9999
// (and beyond them, held at the edges) under every fuzz locale, compiled and one-off, and is
// translated for the workbook; the text is read by the locale's parser and the ISO one. Beside
// crashes and hangs it looks for broken round trips: a value written in the locale's own form or
// in the ISO form that reads back as another second, and a format the workbook's reader refuses.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "export/core/datetime.h"
#include "export/workbook/numberformat.h"
#include "tests/export/core/fuzz/format_fuzz.h"

namespace morvale::test {

inline std::string RunDateTimeFuzzInput(const uint8_t* data, size_t size) {
  std::vector<std::string_view> lines = FuzzLines(data, size, 2);
  std::string_view format = lines[0], text = lines[1];
  TFuzzCheck check;
  const TDateTimeFormat compiled(format);
  // Day 0, before it with a time, a leap day, the last millisecond of a day, the first and last
  // days, and values past them.
  static const double kValues[] = {0.0,        -1.25,     39514.6041666667, 36585.0,
                                   0.99999999, -693593.0, 2958465.999,      1e300,
                                   -1e300,     NAN};
  const std::string iso = "yyyy-mm-dd hh:nn:ss.zzz", seconds = "yyyy-mm-dd hh:nn:ss";
  for (const TFormatSettings& fs : FuzzLocales()) {
    std::string out;
    for (double v : kValues) {
      compiled.Render(v, fs, out);
      FormatDateTime(format, v, fs, out);
    }
    TDateTime dt = 0;
    if (TryStrToDateTime(text, dt, fs)) {
      // What the locale's parser gives, written as the locale writes it, reads back to the second.
      std::string shown = FormatDateTime("c", dt, fs);
      TDateTime back = 0;
      bool read = TryStrToDateTime(shown, back, fs);
      check.Expect(read, "the locale's own form reads back", shown);
      if (read)
        check.Expect(FormatDateTime(seconds, back, fs) == FormatDateTime(seconds, dt, fs),
                     "the locale's own form keeps the value to the second", shown);
    }
    std::string sheet = ExcelNumberFormat(format, fs);
    check.Expect(WellFormedSheetFormat(sheet), "the workbook's format is well formed", sheet);
  }
  TDateTime dt = 0;
  if (TryParseIsoDateTime(text, dt)) {
    const TFormatSettings& fs = FuzzLocales().back();
    std::string shown = FormatDateTime(iso, dt, fs);
    TDateTime back = 0;
    bool read = TryParseIsoDateTime(shown, back);
    check.Expect(read, "the ISO form reads back", shown);
    if (read)
      check.Expect(FormatDateTime(iso, back, fs) == shown, "the ISO form keeps the value", shown);
  }
  return check.failure;
}

}  // namespace morvale::test
