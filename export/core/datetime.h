// Dates and times as serial days (day 0 = 30 December 1899, the fraction is the time of day), the
// engine's date-time format language and the locale-driven date-time parser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/formatsettings.h"

namespace morvale {

using TDateTime = double;

bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);  // throws EConvertError on a bad date
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
// The proleptic Gregorian date (year 0 is 1 BC) of a count of days since 1 January 1970, for
// any count: the readers of servers whose dates reach beyond the years 1 to 9999.
void CivilFromDays(int64_t days, int& year, int& month, int& day);
int DayOfWeek(TDateTime dt);
// The value a text of dt that shows it to the second reads back as: its milliseconds dropped
// after the rounding that rendering does.
TDateTime WholeSeconds(TDateTime dt);  // 1 = Sunday .. 7 = Saturday
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// A date-time format compiled once and applied to many values. The elements that stand for the
// locale's own formats ("c", "ddddd", "t", ...) are looked up in the settings at each rendering.
class TDateTimeFormat {
 public:
  TDateTimeFormat() : TDateTimeFormat(std::string_view()) {}
  explicit TDateTimeFormat(std::string_view format);  // empty = "c"

  const std::string& Source() const { return source_; }
  void Render(TDateTime dt, const TFormatSettings& fs, std::string& out) const;

  enum class Kind : uint8_t {
    kLiteral,
    kDateSep,
    kTimeSep,
    kDateTime,
    kDay,
    kDay2,
    kDayShort,
    kDayLong,
    kShortDate,
    kLongDate,
    kMonth,
    kMonth2,
    kMonthShort,
    kMonthLong,
    kYear2,
    kYear4,
    kHour,
    kHour2,
    kMinute,
    kMinute2,
    kSecond,
    kSecond2,
    kMsec,
    kMsec3,
    kShortTime,
    kLongTime,
    kAmPm,
    kAP,
    kAmPmLocale
  };
  struct Element {
    Kind kind;
    uint32_t offset = 0, length = 0;  // literal text, or the am/pm element as written
  };

 private:
  // Only numbers, separators and literal text: rendered without looking anything up.
  bool RenderNumeric(TDateTime dt, const TFormatSettings& fs, std::string& out) const;
  std::string source_;
  std::vector<Element> elements_;
  bool twelveHour_ = false;
  bool numeric_ = false;
};

// Appends the rendering of dt with a format of the date-time language; empty format = "c".
void FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& fs,
                    std::string& out);
std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& fs);

// A date in the order of the short date format with the date separator, optionally followed by a
// time with the time separator and an am/pm marker, or a time alone (on day 0).
bool TryStrToDateTime(std::string_view s, TDateTime& out, const TFormatSettings& fs);
// Raises "'%s' is not a valid date and time".
TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs);

// ISO texts as stored by SQLite ("2008-03-07", "2008-03-07 14:30:05.250", "14:30", with 'T' too).
bool TryParseIsoDateTime(std::string_view s, TDateTime& out);

}  // namespace morvale
