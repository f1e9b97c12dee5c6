// The conversions from the values a source gives (serial days, ISO 8601 texts, decimal digits) to
// what a Parquet column stores: days and microseconds since 1970, unscaled decimals.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvale::parquet {

__extension__ typedef __int128 TInt128;  // a DECIMAL of up to 38 digits, unscaled

// A date and a time of day: days since 1970-01-01 and microseconds since midnight.
struct TDayTime {
  int64_t Days = 0;
  int64_t Micros = 0;
};

// From serial days (day 0 = 30 December 1899, the fraction the time of day also before day 0),
// rounded to the microsecond; false for a value no date can be made of.
bool DayTimeFromSerial(double serial, TDayTime& out);
// From "yyyy-mm-dd", "yyyy-mm-dd hh:nn[:ss[.fraction]]" (or with 'T') or "hh:nn[:ss[.fraction]]",
// every digit of the fraction up to the microsecond kept; false for any other text.
bool DayTimeFromIso(std::string_view s, TDayTime& out);
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);

// The value of decimal digits ("-12.3400", "7", "1e-07") scaled by 10^scale, rounded half away
// from zero beyond the scale; false when the text is no number or the result needs more than
// `precision` digits.
bool UnscaledDecimal(std::string_view digits, int scale, int precision, TInt128& out);
// The shortest digits that read back as v, without an exponent.
std::string_view PlainDigits(double v, std::string& buffer);

}  // namespace morvale::parquet
