#include "export/core/datetime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

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

// The proleptic calendar day by day, counted here without the date arithmetic under test: every
// day of some eleven thousand years around 1970 follows the one before, and so do the days where
// the short form of the arithmetic hands over to the general one, thirty thousand years away.
TEST(DateTime, CivilFromDaysWalksTheCalendar) {
  auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
  auto length = [&](int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
  };
  auto next = [&](int& y, int& m, int& d) {
    if (++d <= length(y, m)) return;
    d = 1;
    if (++m <= 12) return;
    m = 1;
    ++y;
  };
  auto previous = [&](int& y, int& m, int& d) {
    if (--d >= 1) return;
    if (--m < 1) {
      m = 12;
      --y;
    }
    d = length(y, m);
  };
  int y = 1970, m = 1, d = 1, cy, cm, cd;
  for (int64_t z = 0; z <= 2000000; ++z, next(y, m, d)) {
    CivilFromDays(z, cy, cm, cd);
    ASSERT_TRUE(cy == y && cm == m && cd == d) << z << ": " << cy << "-" << cm << "-" << cd;
  }
  y = 1970, m = 1, d = 1;
  for (int64_t z = 0; z >= -2000000; --z, previous(y, m, d)) {
    CivilFromDays(z, cy, cm, cd);
    ASSERT_TRUE(cy == y && cm == m && cd == d) << z << ": " << cy << "-" << cm << "-" << cd;
  }
  for (int64_t edge : {int64_t{-12000000}, int64_t{12000000}}) {
    CivilFromDays(edge - 1000, y, m, d);
    for (int64_t z = edge - 999; z <= edge + 1000; ++z) {
      next(y, m, d);
      CivilFromDays(z, cy, cm, cd);
      ASSERT_TRUE(cy == y && cm == m && cd == d) << z << ": " << cy << "-" << cm << "-" << cd;
    }
  }
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

// The servers' fixed forms are read by position; a blank in front sends the same text through
// the general reader, which must give the same answer and the same value to the bit.
TEST(IsoDateTime, FixedFormsReadAsTheGeneralReaderReadsThem) {
  std::vector<std::string> texts = {
      "0001-01-01",          "9999-12-31",          "0000-01-01",          "10000-01-01",
      "2000-02-29",          "1900-02-29",          "2001-02-29",          "2000-13-01",
      "2000-00-10",          "2000-01-00",          "2000-01-32",          "2000-1-011",
      "2000/01/01",          "2000-01-01 00:00:00", "2000-01-01T23:59:59", "2000-01-01 24:00:00",
      "2000-01-01 23:60:00", "2000-01-01 23:59:60", "2000-01-01X12:00:00", "2000-01-01 12:00:0x",
      "2000-01-01 12-00-00", "0001-01-01 00:00:01", "9999-12-31 23:59:59", "1899-12-30 06:00:00",
      "1850-01-01 06:00:00", "+200-01-01",          "-200-01-01",          "2000-01-01 1:00:000"};
  unsigned seed = 99;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245 + 12345;
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1 + seed % 9999,
                  1 + (seed >> 3) % 12, 1 + (seed >> 7) % 31, (seed >> 11) % 24, (seed >> 13) % 60,
                  (seed >> 17) % 60);
    texts.push_back(text);
    texts.push_back(std::string(text, 10));
  }
  for (const std::string& t : texts) {
    TDateTime fixed = -7, general = -7;
    const bool read = TryParseIsoDateTime(t, fixed);
    ASSERT_EQ(read, TryParseIsoDateTime(" " + t, general)) << t;
    if (read) {
      ASSERT_EQ(std::memcmp(&fixed, &general, sizeof fixed), 0) << t;
    }
  }
}

// Rendering and reading keep the last day they met: values that take turns between days, and
// the same day after another, still come out as their own.
TEST(DateTimeFormat, DaysTakingTurns) {
  const TFormatSettings fs = TFormatSettings::Iso();
  const TDateTimeFormat format("yyyy-mm-dd hh:nn:ss");
  const int days[][3] = {{2008, 3, 7},   {1850, 1, 1}, {2008, 3, 7}, {2008, 3, 8},
                         {9999, 12, 31}, {1, 1, 1},    {2008, 3, 8}, {1899, 12, 30}};
  for (int round = 0; round < 2; ++round) {
    for (const auto& d : days) {
      char text[32];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d 13:14:15", d[0], d[1], d[2]);
      // The general reader (a blank in front) keeps nothing between values.
      TDateTime read = -1, general = -2;
      ASSERT_TRUE(TryParseIsoDateTime(text, read)) << text;
      ASSERT_TRUE(TryParseIsoDateTime(std::string(" ") + text, general)) << text;
      EXPECT_EQ(read, general) << text;
      std::string out;
      format.Render(read, fs, out);
      EXPECT_EQ(out, text);
      // A bad time after a good day, and a bad day with the last day's time, stay unread.
      std::string bad = std::string(text, 11) + "25:00:00";
      EXPECT_FALSE(TryParseIsoDateTime(bad, read)) << bad;
      bad = std::string(text, 8) + "32" + std::string(text + 10);
      EXPECT_FALSE(TryParseIsoDateTime(bad, read)) << bad;
    }
  }
  TDateTime read;
  EXPECT_FALSE(TryParseIsoDateTime(std::string(10, '\0'), read));
}

// A value without its milliseconds: the day and the whole seconds of its text, encoded again.
TEST(WholeSecondsOf, TheDateAndTimeItShowsEncodedAgain) {
  std::vector<double> values = {0,
                                0.5,
                                -0.5,
                                -1.25,
                                45999.5734143519,
                                -693593.5,
                                2958465.99999999,
                                3e6,
                                -7e5,
                                1.0 / 86400000 * 999.5,
                                -18000.9999826389};
  unsigned seed = 5;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1664525 + 1013904223;
    values.push_back((static_cast<double>(seed) / 4294967296.0 - 0.3) * 3.2e6);
  }
  for (double dt : values) {
    int y, m, d, h, n, s, ms;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, ms);
    const double date = EncodeDate(y, m, d);
    const double time = static_cast<double>(((h * 60LL + n) * 60 + s) * 1000) / 86400000;
    const double expected = date < 0 ? date - time : date + time;
    const double whole = WholeSeconds(dt);
    ASSERT_EQ(std::memcmp(&whole, &expected, sizeof whole), 0) << dt;
  }
}

}  // namespace
}  // namespace morvale
