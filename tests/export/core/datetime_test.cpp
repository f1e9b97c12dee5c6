#include "export/core/datetime.h"

#include <gtest/gtest.h>

#include <ctime>

#include "export/core/classes.h"

namespace morvale {
namespace {

// Friday, 7 March 2008, 14:05:09.045
TDateTime Sample() {
  TDateTime t;
  EXPECT_TRUE(TryEncodeTime(14, 5, 9, 45, t));
  return EncodeDate(2008, 3, 7) + t;
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  TDateTime t;
  EXPECT_TRUE(TryEncodeTime(h, mi, s, ms, t));
  return EncodeDate(y, mo, d) + t;
}

int ThisYear() {
  time_t now = time(nullptr);
  tm t{};
  localtime_r(&now, &t);
  return t.tm_year + 1900;
}

TEST(DateTime, EncodeAndDecode) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2008, 3, 7), 39514);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
  TDateTime dt;
  EXPECT_TRUE(TryEncodeDate(2008, 2, 29, dt));
  EXPECT_FALSE(TryEncodeDate(2007, 2, 29, dt));
  EXPECT_FALSE(TryEncodeDate(2008, 2, 30, dt));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, dt));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, dt));
  EXPECT_FALSE(TryEncodeDate(2008, 13, 1, dt));
  EXPECT_FALSE(TryEncodeDate(2008, 4, 31, dt));
  EXPECT_THROW(EncodeDate(2008, 2, 30), EConvertError);
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, dt));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, dt));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, dt));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_EQ(DaysInMonth(2008, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);

  int y, m, d, h, n, s, z;
  for (TDateTime v : {At(2008, 3, 7), At(1, 1, 1), At(9999, 12, 31), At(1600, 2, 29)}) {
    DecodeDate(v, y, m, d);
    EXPECT_EQ(EncodeDate(y, m, d), v);
  }
  DecodeTime(Sample(), h, n, s, z);
  EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + z, 140509045);
  // Before day 0 the fraction still counts from midnight.
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, z);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(h, 6);
  // A hair before midnight rounds to the next day, in the date too.
  TDateTime late = EncodeDate(2008, 3, 7) + (86400000 - 0.4) / 86400000;
  DecodeDate(late, y, m, d);
  DecodeTime(late, h, n, s, z);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20080308);
  EXPECT_EQ(h + n + s + z, 0);

  // Values no date can have are held at the edges of the years 1 to 9999.
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", 1e300, TFormatSettings::Iso()), "9999-12-31");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", -1e300, TFormatSettings::Iso()), "0001-01-01");

  EXPECT_EQ(DayOfWeek(0), 7);  // 30 December 1899 was a Saturday
  EXPECT_EQ(DayOfWeek(Sample()), 6);
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);
}

TEST(DateTimeFormat, Elements) {
  TFormatSettings en = TFormatSettings::English();
  struct Case {
    const char* format;
    const char* expected;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"d", "7"},
           {"dd", "07"},
           {"ddd", "Fri"},
           {"dddd", "Friday"},
           {"ddddd", "3/7/2008"},
           {"dddddd", "Friday, March 7, 2008"},
           {"m", "3"},
           {"mm", "03"},
           {"mmm", "Mar"},
           {"mmmm", "March"},
           {"y", "08"},
           {"yy", "08"},
           {"yyy", "2008"},
           {"yyyy", "2008"},
           {"h", "14"},
           {"hh", "14"},
           {"n", "5"},
           {"nn", "05"},
           {"s", "9"},
           {"ss", "09"},
           {"z", "45"},
           {"zzz", "045"},
           {"t", "2:05 PM"},
           {"tt", "2:05:09 PM"},
           {"c", "3/7/2008 2:05:09 PM"},
           {"", "3/7/2008 2:05:09 PM"},
           {"yyyy-mm-dd", "2008-03-07"},
           {"DD.MM.YYYY", "07.03.2008"},
           {"mm/dd/yyyy", "03/07/2008"},
           // m after h is minutes, also across literals; any other letter ends that
           {"hh:mm", "14:05"},
           {"hh:mm:ss", "14:05:09"},
           {"h d m", "14 7 3"},
           {"h:nn am/pm", "2:05 pm"},
           {"h:nn AM/PM", "2:05 PM"},
           {"h:nn Am/pM", "2:05 pM"},
           {"h a/p", "2 p"},
           {"h A/P", "2 P"},
           {"hh AMPM", "02 PM"},
           {"'Date:' yyyy", "Date: 2008"},
           {"\"hh\" hh", "hh 14"},
           {"yyyy x", "2008 x"},
           {"'unclosed", "unclosed"},
       }) {
    EXPECT_EQ(FormatDateTime(c.format, Sample(), en), c.expected) << c.format;
    std::string out;
    TDateTimeFormat(c.format).Render(Sample(), en, out);
    EXPECT_EQ(out, c.expected) << "compiled " << c.format;
  }
  EXPECT_EQ(FormatDateTime("h:nn AM/PM", At(2008, 3, 7, 0, 30), en), "12:30 AM");
  EXPECT_EQ(FormatDateTime("h:nn AM/PM", At(2008, 3, 7, 12), en), "12:00 PM");
  EXPECT_EQ(FormatDateTime("c", At(2008, 3, 7), en), "3/7/2008");  // midnight: no time
  EXPECT_EQ(FormatDateTime("c", At(2008, 3, 7, 0, 0, 0, 1), en), "3/7/2008 12:00:00 AM");
  EXPECT_EQ(FormatDateTime("yyyy", At(33, 1, 1), en), "0033");
}

TEST(DateTimeFormat, LocaleSettings) {
  TFormatSettings ru = TFormatSettings::Russian();
  EXPECT_EQ(FormatDateTime("c", Sample(), ru), "07.03.2008 14:05:09");
  EXPECT_EQ(FormatDateTime("dddddd", Sample(), ru), "7 марта 2008 г.");
  EXPECT_EQ(FormatDateTime("dddd, d mmm", Sample(), ru), "Пятница, 7 мар");
  EXPECT_EQ(FormatDateTime("dd/mm/yy hh:nn", Sample(), ru), "07.03.08 14:05");
  TFormatSettings iso = TFormatSettings::Iso();
  EXPECT_EQ(FormatDateTime("c", Sample(), iso), "2008-03-07 14:05:09");
  EXPECT_EQ(FormatDateTime("", At(2008, 3, 7), iso), "2008-03-07");

  // One compiled format follows whatever settings it is given.
  TDateTimeFormat c("c");
  std::string out;
  c.Render(Sample(), ru, out);
  out += '|';
  c.Render(Sample(), iso, out);
  EXPECT_EQ(out, "07.03.2008 14:05:09|2008-03-07 14:05:09");

  // Settings that name themselves end instead of recursing.
  TFormatSettings loop = iso;
  loop.ShortDateFormat = "c/ddddd";
  EXPECT_FALSE(FormatDateTime("c", Sample(), loop).empty());
}

TEST(DateTimeParse, LocaleOrderAndTime) {
  TFormatSettings en = TFormatSettings::English();
  TFormatSettings ru = TFormatSettings::Russian();
  TFormatSettings iso = TFormatSettings::Iso();
  struct Case {
    const TFormatSettings* fs;
    const char* text;
    TDateTime expected;
  };
  int year = ThisYear();
  for (const Case& c : std::initializer_list<Case>{
           {&en, "3/7/2008", At(2008, 3, 7)},
           {&en, " 3/7/2008 ", At(2008, 3, 7)},
           {&ru, "07.03.2008", At(2008, 3, 7)},
           {&iso, "2008-03-07", At(2008, 3, 7)},
           {&en, "3/7/2008 2:05 PM", At(2008, 3, 7, 14, 5)},
           {&en, "3/7/2008 2:05:09 pm", At(2008, 3, 7, 14, 5, 9)},
           {&en, "3/7/2008 12:05AM", At(2008, 3, 7, 0, 5)},
           {&en, "3/7/2008 14:05:09.045", At(2008, 3, 7, 14, 5, 9, 45)},
           {&ru, "07.03.2008 14:05", At(2008, 3, 7, 14, 5)},
           {&ru, "07.03.2008  14:05:09,5", At(2008, 3, 7, 14, 5, 9, 500)},
           {&iso, "2008-03-07 14:05:09", At(2008, 3, 7, 14, 5, 9)},
           {&en, "14:05", At(1899, 12, 30, 14, 5)},
           {&ru, "9:05:01", At(1899, 12, 30, 9, 5, 1)},
           {&en, "12:00 AM", 0},
           {&en, "12:30 PM", At(1899, 12, 30, 12, 30)},
           {&ru, "07.03", At(year, 3, 7)},
           {&en, "3/7", At(year, 3, 7)},
           {&iso, "03-07", At(year, 3, 7)},
       }) {
    TDateTime dt = -1;
    EXPECT_TRUE(TryStrToDateTime(c.text, dt, *c.fs)) << c.text;
    EXPECT_DOUBLE_EQ(dt, c.expected) << c.text;
  }
  // Before day 0 the time still runs forward from midnight.
  TDateTime dt;
  ASSERT_TRUE(TryStrToDateTime("29.12.1899 06:00", dt, ru));
  EXPECT_DOUBLE_EQ(dt, -1.25);

  for (const char* bad :
       {"", "abc", "31.02.2008", "07.03.2008x", "07.03.2008 25:00", "07.03.2008 12:60",
        "07.03.2008 14", "07..2008", "07.03.", "7/3/2008", "07.03.20080", "14:05:09.", "13:00 PM"})
    EXPECT_FALSE(TryStrToDateTime(bad, dt, ru)) << bad;
  EXPECT_FALSE(TryStrToDateTime("2008-03-07", dt, en));
  EXPECT_FALSE(TryStrToDateTime("13:00 PM", dt, en));
}

TEST(DateTimeParse, TwoDigitYears) {
  TFormatSettings ru = TFormatSettings::Russian();
  int year = ThisYear();
  auto parsedYear = [&ru](int yy) {
    char text[16];
    snprintf(text, sizeof text, "01.06.%02d", yy);
    TDateTime dt;
    EXPECT_TRUE(TryStrToDateTime(text, dt, ru)) << text;
    int y, m, d;
    DecodeDate(dt, y, m, d);
    return y;
  };
  // The window of 50 runs from 50 years before this year to 49 after it.
  EXPECT_EQ(parsedYear((year - 10) % 100), year - 10);
  EXPECT_EQ(parsedYear((year + 10) % 100), year + 10);
  EXPECT_EQ(parsedYear((year - 50) % 100), year - 50);
  EXPECT_EQ(parsedYear((year + 50) % 100), year - 50);
  ru.TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(parsedYear(99), year / 100 * 100 + 99);
  // Three digits are a year as written.
  TDateTime dt;
  ASSERT_TRUE(TryStrToDateTime("01.06.099", dt, ru));
  EXPECT_EQ(dt, EncodeDate(99, 6, 1));
}

TEST(DateTimeParse, StrToDateTimeRaisesTheConversionError) {
  EXPECT_EQ(StrToDateTime("07.03.2008", TFormatSettings::Russian()), EncodeDate(2008, 3, 7));
  try {
    StrToDateTime("31.02.2008", TFormatSettings::Russian());
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'31.02.2008' is not a valid date and time");
  }
}

TEST(DateTimeParse, IsoTexts) {
  struct Case {
    const char* text;
    TDateTime expected;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"2008-03-07", At(2008, 3, 7)},
           {"2008-03-07 14:30", At(2008, 3, 7, 14, 30)},
           {"2008-03-07T14:30:05", At(2008, 3, 7, 14, 30, 5)},
           {"2008-03-07 14:30:05.250", At(2008, 3, 7, 14, 30, 5, 250)},
           {"2008-03-07 14:30:05.123456", At(2008, 3, 7, 14, 30, 5, 123)},
           {"14:30", At(1899, 12, 30, 14, 30)},
           {"14:30:05.5", At(1899, 12, 30, 14, 30, 5, 500)},
           {"1850-01-01 06:00", -18260.25},
       }) {
    TDateTime dt = -1;
    EXPECT_TRUE(TryParseIsoDateTime(c.text, dt)) << c.text;
    EXPECT_DOUBLE_EQ(dt, c.expected) << c.text;
  }
  TDateTime dt;
  for (const char* bad : {"", "2008-3-7", "2008-02-30", "2008-03-07 24:00", "2008-03-07X14:30",
                          "2008-03-07 14", "14:3", "2008-03-07 14:30:5", "14:30:05.", "03/07/2008"})
    EXPECT_FALSE(TryParseIsoDateTime(bad, dt)) << bad;
  // What SQLite stores comes back unchanged through the ISO settings.
  ASSERT_TRUE(TryParseIsoDateTime("2008-03-07 14:30:05.250", dt));
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", dt, TFormatSettings::Iso()),
            "2008-03-07 14:30:05.250");
}

}  // namespace
}  // namespace morvale
