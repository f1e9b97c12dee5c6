// Locale settings as a value: read once from the POSIX locale and passed explicitly, so that no
// export ever changes a process-wide separator. Separators are texts because in UTF-8 they can be
// several bytes (Russian digit grouping is a no-break space).
#pragma once

#include <array>
#include <string>

namespace morvale {

struct TFormatSettings {
  std::string DecimalSeparator = ".";
  std::string ThousandSeparator = ",";
  std::string DateSeparator = "/";
  std::string TimeSeparator = ":";
  std::string ListSeparator = ",";
  // Date and time formats in the engine's date-time format language ("/" and ":" stand for the
  // separators above).
  std::string ShortDateFormat = "m/d/yyyy";
  std::string LongDateFormat = "dddd, mmmm d, yyyy";
  std::string ShortTimeFormat = "h:nn AMPM";
  std::string LongTimeFormat = "h:nn:ss AMPM";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::string CurrencyString = "$";
  // Placement of the currency symbol for positive amounts: 0 before, 1 after, 2 before with a
  // blank, 3 after with a blank.
  int CurrencyFormat = 0;
  std::array<std::string, 12> ShortMonthNames;
  std::array<std::string, 12> LongMonthNames;
  std::array<std::string, 7> ShortDayNames;  // Sunday first
  std::array<std::string, 7> LongDayNames;
  // Two-digit years are taken within this many years before the current year; 0 reads them as
  // the current century.
  int TwoDigitYearCenturyWindow = 50;

  bool operator==(const TFormatSettings&) const = default;

  // The settings of a named POSIX locale ("" for the environment's); throws when the locale is
  // not installed.
  static TFormatSettings FromLocale(const std::string& name);
  // Fixed presets so that tests do not depend on the machine's locales.
  static TFormatSettings English();  // en_US
  static TFormatSettings Russian();  // ru_RU, UTF-8
  static TFormatSettings Iso();      // what the C/POSIX locale maps to
};

// The settings read when the program started; programs set them once, before any exporter is
// made, and every exporter takes a copy.
const TFormatSettings& DefaultFormatSettings();
void SetDefaultFormatSettings(const TFormatSettings& fs);

}  // namespace morvale
