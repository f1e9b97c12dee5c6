#include "export/core/formatsettings.h"

#include <gtest/gtest.h>
#include <locale.h>

#include "export/core/classes.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"

namespace morvale {
namespace {

bool Installed(const char* name) {
  locale_t loc = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
  if (loc) freelocale(loc);
  return loc != static_cast<locale_t>(0);
}

#define REQUIRE_LOCALE(name) \
  if (!Installed(name)) GTEST_SKIP() << name << " is not installed"

void ExpectSame(const TFormatSettings& a, const TFormatSettings& b) {
  EXPECT_EQ(a.DecimalSeparator, b.DecimalSeparator);
  EXPECT_EQ(a.ThousandSeparator, b.ThousandSeparator);
  EXPECT_EQ(a.DateSeparator, b.DateSeparator);
  EXPECT_EQ(a.TimeSeparator, b.TimeSeparator);
  EXPECT_EQ(a.ListSeparator, b.ListSeparator);
  EXPECT_EQ(a.ShortDateFormat, b.ShortDateFormat);
  EXPECT_EQ(a.LongDateFormat, b.LongDateFormat);
  EXPECT_EQ(a.ShortTimeFormat, b.ShortTimeFormat);
  EXPECT_EQ(a.LongTimeFormat, b.LongTimeFormat);
  EXPECT_EQ(a.TimeAMString, b.TimeAMString);
  EXPECT_EQ(a.TimePMString, b.TimePMString);
  EXPECT_EQ(a.CurrencyString, b.CurrencyString);
  EXPECT_EQ(a.CurrencyFormat, b.CurrencyFormat);
  EXPECT_EQ(a.ShortMonthNames, b.ShortMonthNames);
  EXPECT_EQ(a.LongMonthNames, b.LongMonthNames);
  EXPECT_EQ(a.ShortDayNames, b.ShortDayNames);
  EXPECT_EQ(a.LongDayNames, b.LongDayNames);
  EXPECT_EQ(a.TwoDigitYearCenturyWindow, b.TwoDigitYearCenturyWindow);
}

TDateTime Sample() {
  return EncodeDate(2008, 3, 7) + (14 * 3600 + 5 * 60 + 9) / 86400.0;
}

TEST(FormatSettings, Presets) {
  TFormatSettings en = TFormatSettings::English();
  EXPECT_EQ(en.ShortDateFormat, "m/d/yyyy");
  EXPECT_EQ(en.LongMonthNames[2], "March");
  EXPECT_EQ(en.ShortDayNames[0], "Sun");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, en), "1,234.50");

  TFormatSettings ru = TFormatSettings::Russian();
  EXPECT_EQ(ru.DecimalSeparator, ",");
  EXPECT_EQ(ru.ThousandSeparator, "\xC2\xA0");
  EXPECT_EQ(ru.ListSeparator, ";");
  EXPECT_EQ(ru.CurrencyString, "р.");
  EXPECT_EQ(ru.CurrencyFormat, 3);
  EXPECT_EQ(ru.LongDayNames[5], "Пятница");
  EXPECT_TRUE(ru.TimeAMString.empty() && ru.TimePMString.empty());

  TFormatSettings iso = TFormatSettings::Iso();
  EXPECT_EQ(FormatDateTime("ddddd", Sample(), iso), "2008-03-07");
  EXPECT_EQ(FormatDateTime("tt", Sample(), iso), "14:05:09");
  // Date-times are written in the short forms: under the C locale they keep their seconds.
  EXPECT_EQ(FormatDateTime("c", Sample(), iso), "2008-03-07 14:05:09");
  EXPECT_EQ(FormatDateTime("t", Sample(), iso), "14:05:09");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, iso), "1234.50");
  EXPECT_TRUE(iso.CurrencyString.empty());
}

TEST(FormatSettings, FromTheCLocaleIsTheIsoPreset) {
  ExpectSame(TFormatSettings::FromLocale("C"), TFormatSettings::Iso());
  ExpectSame(TFormatSettings::FromLocale("POSIX"), TFormatSettings::Iso());
}

TEST(FormatSettings, FromEnglishLocale) {
  REQUIRE_LOCALE("en_US.UTF-8");
  TFormatSettings fs = TFormatSettings::FromLocale("en_US.UTF-8");
  EXPECT_EQ(fs.DecimalSeparator, ".");
  EXPECT_EQ(fs.ThousandSeparator, ",");
  EXPECT_EQ(fs.ListSeparator, ",");
  EXPECT_EQ(fs.DateSeparator, "/");
  EXPECT_EQ(fs.ShortDateFormat, "mm/dd/yyyy");
  EXPECT_EQ(fs.LongTimeFormat, "hh:nn:ss AMPM");
  EXPECT_EQ(fs.ShortTimeFormat, "hh:nn AMPM");
  EXPECT_EQ(fs.CurrencyString, "$");
  EXPECT_EQ(fs.CurrencyFormat, 0);
  TFormatSettings en = TFormatSettings::English();
  EXPECT_EQ(fs.ShortMonthNames, en.ShortMonthNames);
  EXPECT_EQ(fs.LongMonthNames, en.LongMonthNames);
  EXPECT_EQ(fs.ShortDayNames, en.ShortDayNames);
  EXPECT_EQ(fs.LongDayNames, en.LongDayNames);
  EXPECT_EQ(FormatDateTime("c", Sample(), fs), "03/07/2008 02:05:09 PM");
  TDateTime dt;
  ASSERT_TRUE(TryStrToDateTime("03/07/2008 02:05:09 PM", dt, fs));
  EXPECT_DOUBLE_EQ(dt, Sample());
}

TEST(FormatSettings, FromRussianLocale) {
  REQUIRE_LOCALE("ru_RU.UTF-8");
  TFormatSettings fs = TFormatSettings::FromLocale("ru_RU.UTF-8");
  TFormatSettings preset = TFormatSettings::Russian();
  EXPECT_EQ(fs.DecimalSeparator, ",");
  EXPECT_FALSE(fs.ThousandSeparator.empty());  // a no-break space of some width
  EXPECT_EQ(fs.ListSeparator, ";");
  EXPECT_EQ(fs.DateSeparator, ".");
  EXPECT_EQ(fs.TimeSeparator, ":");
  EXPECT_EQ(fs.ShortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(fs.LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(fs.ShortTimeFormat, "hh:nn");
  EXPECT_EQ(fs.LongDateFormat, "d mmmm yyyy");
  EXPECT_EQ(fs.CurrencyFormat, 3);  // after the amount, with a blank
  EXPECT_FALSE(fs.CurrencyString.empty());
  EXPECT_EQ(fs.LongMonthNames, preset.LongMonthNames);
  EXPECT_EQ(fs.LongDayNames, preset.LongDayNames);
  EXPECT_EQ(FormatDateTime("c", Sample(), fs), "07.03.2008 14:05:09");
  EXPECT_EQ(FormatDateTime("dddddd", Sample(), fs), "7 марта 2008");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, fs), "1" + fs.ThousandSeparator + "234,50");
  EXPECT_DOUBLE_EQ(StrToFloat("1234,5", fs), 1234.5);
}

TEST(FormatSettings, FromSingleByteRussianLocale) {
  REQUIRE_LOCALE("ru_RU.CP1251");
  TFormatSettings fs = TFormatSettings::FromLocale("ru_RU.CP1251");
  // The locale's texts stay in its own code page.
  EXPECT_EQ(fs.ThousandSeparator, "\xA0");
  EXPECT_EQ(fs.LongMonthNames[2], "\xEC\xE0\xF0\xF2\xE0");
  EXPECT_EQ(fs.CurrencyString, "\xF0\xF3\xE1");
  EXPECT_EQ(fs.ShortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(FormatFloat("#,##0", 1234567, fs),
            "1\xA0"
            "234\xA0"
            "567");
}

TEST(FormatSettings, UnknownLocaleIsNamedInTheError) {
  try {
    TFormatSettings::FromLocale("xx_XX.NOPE");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("xx_XX.NOPE"), std::string::npos) << e.what();
  }
}

TEST(FormatSettings, DefaultsCanBeReplaced) {
  const TFormatSettings& before = DefaultFormatSettings();
  TFormatSettings saved = before;
  SetDefaultFormatSettings(TFormatSettings::Russian());
  EXPECT_EQ(DefaultFormatSettings().DecimalSeparator, ",");
  EXPECT_EQ(&DefaultFormatSettings(), &before);  // references stay valid
  EXPECT_EQ(before.ListSeparator, ";");
  SetDefaultFormatSettings(saved);
  EXPECT_EQ(DefaultFormatSettings().ShortDateFormat, saved.ShortDateFormat);
}

}  // namespace
}  // namespace morvale
