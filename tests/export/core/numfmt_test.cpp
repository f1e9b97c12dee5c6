#include "export/core/numfmt.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "export/core/classes.h"

namespace morvale {
namespace {

struct Case {
  const char* format;
  double value;
  const char* expected;
};

void ExpectRenders(const TFormatSettings& fs, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFloat(c.format, c.value, fs), c.expected)
        << "format \"" << c.format << "\", value " << c.value;
  }
}

std::string RenderInt(std::string_view format, int64_t v,
                      const TFormatSettings& fs = TFormatSettings::English()) {
  std::string out;
  TNumberFormat(format).Render(v, fs, out);
  return out;
}

TEST(NumberFormat, Placeholders) {
  ExpectRenders(TFormatSettings::English(), {
                                                {"#,###,##0.00", 1234.5, "1,234.50"},
                                                {"#,###,##0.00", 1234567, "1,234,567.00"},
                                                {"#,###,##0.00", 0, "0.00"},
                                                {"#,###,##0.00", 0.5, "0.50"},
                                                {"#,###,##0.00", -1234.5, "-1,234.50"},
                                                {"0", 1234.5, "1235"},
                                                {"000", 7, "007"},
                                                {"000", 12345, "12345"},
                                                {"#", 5, "5"},
                                                {"#", 0, ""},
                                                {"#.##", 0.5, ".5"},
                                                {"#.##", 1, "1"},
                                                {"0.##", 1.5, "1.5"},
                                                {"0.##", 1.999, "2"},
                                                {"0.0#", 1, "1.0"},
                                                {"0.0#", 1.25, "1.25"},
                                                {"0.0#", 1.254, "1.25"},
                                                {".00", 12.5, "12.50"},
                                                {".00", 0.5, ".50"},
                                                // only the first point counts
                                                {"0.00.0", 1.5, "1.500"},
                                                // literals between placeholders stay in place;
                                                // extra digits go to the first placeholder
                                                {"00-00", 1234, "12-34"},
                                                {"00-00", 5, "00-05"},
                                                {"00-00", 123456, "1234-56"},
                                                {"0 EUR", 5, "5 EUR"},
                                                {"[0]", -5, "-[5]"},
                                                {"'no digits'", 5, "no digits"},
                                            });
}

TEST(NumberFormat, RoundsHalvesAwayFromZeroOnFifteenDigits) {
  ExpectRenders(TFormatSettings::English(),
                {
                    {"0", 2.5, "3"},
                    {"0", 0.5, "1"},
                    {"0", -2.5, "-3"},
                    {"0", 3.5, "4"},
                    {"0.00", 1.005, "1.01"},
                    {"0.00", 2.675, "2.68"},
                    {"0.00", -1.005, "-1.01"},
                    {"0.00", 0.125, "0.13"},
                    {"0.00", 9.995, "10.00"},
                    {"#,##0", 999.5, "1,000"},
                    {"0.000", 0.0005, "0.001"},
                    {"0.000", 0.00049, "0.000"},
                    {"0.0000000000000000", 0.1 + 0.2, "0.3000000000000000"},
                    // a value that shows as zero has no sign
                    {"0", -0.4, "0"},
                    {"0.00", -0.001, "0.00"},
                    {"0.00", -0.0, "0.00"},
                });
}

TEST(NumberFormat, Grouping) {
  TFormatSettings en = TFormatSettings::English();
  ExpectRenders(en, {
                        {"#,##0", 1234567890, "1,234,567,890"},
                        {"0,", 1234, "1,234"},  // commas anywhere switch grouping on
                        {",0", 123, "123"},
                        {"000,000", 5, "000,005"},  // leading zeros are grouped too
                        {"#,##0.00", 999.999, "1,000.00"},
                    });
  ExpectRenders(TFormatSettings::Russian(), {
                                                {"#,##0.00", 1234.5,
                                                 "1\xC2\xA0"
                                                 "234,50"},
                                                {"#,##0", -1234567,
                                                 "-1\xC2\xA0"
                                                 "234\xC2\xA0"
                                                 "567"},
                                            });
  ExpectRenders(TFormatSettings::Iso(), {{"#,##0.00", 1234567.5, "1234567.50"}});
  TFormatSettings odd = en;
  odd.ThousandSeparator = "'";
  odd.DecimalSeparator = "\xD9\xAB";  // a two-byte decimal separator
  ExpectRenders(odd, {{"#,##0.0", 1234.5,
                       "1'234\xD9\xAB"
                       "5"}});
}

TEST(NumberFormat, Sections) {
  ExpectRenders(TFormatSettings::English(), {
                                                {"0.00;(0.00);'zero'", 1.5, "1.50"},
                                                {"0.00;(0.00);'zero'", -1.5, "(1.50)"},
                                                {"0.00;(0.00);'zero'", 0, "zero"},
                                                // zero as the positive section rounds it
                                                {"0.00;(0.00);'zero'", 0.001, "zero"},
                                                {"0.00;(0.00);'zero'", -0.001, "zero"},
                                                {"0.00;;'zero'", -1.5, "-1.50"},
                                                {"0.00;(0.00)", 0, "0.00"},
                                                {"0.00;(0.00)", -0.001, "0.00"},
                                                {"0;-0.00", -1.234, "-1.23"},
                                                {"'+'0;'-'0;'\xC2\xB1"
                                                 "0'",
                                                 5, "+5"},
                                                {"'+'0;'-'0;'\xC2\xB1"
                                                 "0'",
                                                 -5, "-5"},
                                                {"'+'0;'-'0;'\xC2\xB1"
                                                 "0'",
                                                 0,
                                                 "\xC2\xB1"
                                                 "0"},
                                                // a quoted semicolon does not split
                                                {"0' ;x';0", 5, "5 ;x"},
                                                {"0' ;x';0", -5, "5"},
                                                {"0;0;0;ignored", 5, "5"},
                                            });
}

TEST(NumberFormat, Scientific) {
  ExpectRenders(TFormatSettings::English(), {
                                                {"0.00E+00", 1234.5, "1.23E+03"},
                                                {"0.00E+00", 0.000123, "1.23E-04"},
                                                {"0.00E+00", 0, "0.00E+00"},
                                                {"0.00E+00", -1234.5, "-1.23E+03"},
                                                {"0.00E+00", 9.999, "1.00E+01"},
                                                {"0.00E-00", 1234.5, "1.23E03"},
                                                {"0.00E-00", 0.000123, "1.23E-04"},
                                                {"0.0e+0", 1.5e20, "1.5e+20"},
                                                {"00.0E+0", 1234.5, "12.3E+2"},
                                                {"0E+0000", 12345, "1E+0004"},
                                                {"0E+00000", 12345, "1E+0004"},
                                                {"#.##E+0", 1.5, "1.5E+0"},
                                                {"0.00E+00", 1e-300, "1.00E-300"},
                                            });
  EXPECT_EQ(RenderInt("0.00E+00", std::numeric_limits<int64_t>::max()), "9.22E+18");
}

TEST(NumberFormat, IntegersKeepEveryDigit) {
  EXPECT_EQ(RenderInt("0", 9007199254740993), "9007199254740993");
  EXPECT_EQ(RenderInt("#,##0", 9007199254740993), "9,007,199,254,740,993");
  EXPECT_EQ(RenderInt("#,##0.00", 123456789012345678), "123,456,789,012,345,678.00");
  EXPECT_EQ(RenderInt("0", std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(RenderInt("", std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(RenderInt("", 42), "42");
  EXPECT_EQ(RenderInt("#,###,##0", 0), "0");
  EXPECT_EQ(RenderInt("0;(0);'none'", -7), "(7)");
  EXPECT_EQ(RenderInt("0;(0);'none'", 0), "none");
  EXPECT_EQ(RenderInt("#,##0", -1234, TFormatSettings::Russian()),
            "-1\xC2\xA0"
            "234");
}

TEST(NumberFormat, GeneralForm) {
  TFormatSettings en = TFormatSettings::English();
  struct G {
    double v;
    const char* expected;
  };
  for (const G& g : std::initializer_list<G>{
           {0, "0"},
           {-0.0, "0"},
           {1.5, "1.5"},
           {-1.5, "-1.5"},
           {100, "100"},
           {0.1 + 0.2, "0.3"},
           {1.0 / 3, "0.333333333333333"},
           {123456789012345, "123456789012345"},
           {1e15, "1E+15"},
           {1.5e20, "1.5E+20"},
           {-2.5e100, "-2.5E+100"},
           {0.00001, "0.00001"},
           {1.23e-5, "0.0000123"},
           {1e-7, "1E-7"},
           {1.23456e-6, "1.23456E-6"},
           {std::numeric_limits<double>::quiet_NaN(), "NAN"},
           {std::numeric_limits<double>::infinity(), "INF"},
           {-std::numeric_limits<double>::infinity(), "-INF"},
       }) {
    EXPECT_EQ(FloatToStr(g.v, en), g.expected) << g.v;
    // An empty format is the general form.
    EXPECT_EQ(FormatFloat("", g.v, en), g.expected) << g.v;
  }
  EXPECT_EQ(FloatToStr(1.5, TFormatSettings::Russian()), "1,5");
  EXPECT_EQ(FloatToStr(1.5e20, TFormatSettings::Russian()), "1,5E+20");
  std::string out = "x=";
  FloatToStrGeneral(2.25, en, out);
  EXPECT_EQ(out, "x=2.25");  // appends
}

// The shortest digits that read back as a double, laid out plainly: what the general form must
// show for a value of at most fifteen such digits. Empty for the values it shows otherwise.
std::string ShortestPlain(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  std::string s(buf, r.ptr);
  const size_t e = s.find('e');
  std::string digits;
  for (size_t i = s[0] == '-' ? 1 : 0; i < e; ++i)
    if (s[i] != '.') digits += s[i];
  const int exponent = std::stoi(s.substr(e + 1));
  if (digits.size() > 15 || exponent >= 15 || exponent < -5) return {};
  std::string out = v < 0 ? "-" : "";
  const int point = exponent + 1;
  if (point <= 0) {
    out += "0." + std::string(static_cast<size_t>(-point), '0') + digits;
  } else if (point >= static_cast<int>(digits.size())) {
    out += digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(point)) + "." +
           digits.substr(static_cast<size_t>(point));
  }
  return out;
}

// Decimals of up to fourteen digits take a short way to their digits; it must find what the
// shortest reading finds, at every scale, next to its limits and past them.
TEST(NumberFormat, GeneralFormOfShortDecimalsIsTheShortestReading) {
  const TFormatSettings en = TFormatSettings::English();
  std::vector<double> values = {0.1,
                                0.2,
                                0.3,
                                0.7,
                                1.37,
                                0.145,
                                2.675,
                                1.005,
                                99.995,
                                1e-5,
                                1.5e-5,
                                1e14,
                                1e14 - 1,
                                9.9e13,
                                1e-14,
                                0.5,
                                1.0 / 3,
                                2.0 / 3,
                                0.1 + 0.2,
                                1e15,
                                1e13 + 0.5,
                                123456789.12345,
                                99999999999999.9,
                                0.30000000000000004,
                                5e-324,
                                2.2250738585072014e-308};
  unsigned seed = 2024;
  auto next = [&] { return seed = seed * 1664525 + 1013904223; };
  for (int i = 0; i < 200000; ++i) {
    // A decimal of 1 to 16 digits at a scale from 10^0 to 10^15, and a double of random bits.
    const int width = 1 + static_cast<int>(next() % 16);
    uint64_t m = (static_cast<uint64_t>(next()) << 32 | next()) % 10000000000000000;
    for (int d = width; d < 16; ++d) m /= 10;
    values.push_back(static_cast<double>(m) / std::pow(10.0, next() % 16));
    uint64_t bits = static_cast<uint64_t>(next()) << 32 | next();
    bits = (bits & 0x800fffffffffffff) | (static_cast<uint64_t>(1000 + next() % 60) << 52);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    values.push_back(v);
  }
  int checked = 0;
  for (double v : values) {
    for (double signed_v : {v, -v}) {
      const std::string expected = ShortestPlain(signed_v);
      if (expected.empty()) continue;
      ++checked;
      ASSERT_EQ(FloatToStr(signed_v, en), expected) << std::hexfloat << signed_v;
    }
  }
  EXPECT_GT(checked, 300000);
}

// Formats of placeholders alone take a short way; a literal after them sends the same format the
// general way, which must write the same number in front of it.
// Every digit: the shortest text that reads back as the same double (seventeen digits where it
// takes them), positional from 1e-7 to 21 integer digits; exact decimals as sent, with their
// scale. Both in the locale's notation, without grouping.
TEST(NumberFormat, ExactFormsKeepEveryDigit) {
  const TFormatSettings en = TFormatSettings::English(), ru = TFormatSettings::Russian();
  auto exact = [](double v, const TFormatSettings& fs) {
    std::string out;
    FloatToStrExact(v, fs, out);
    return out;
  };
  const std::pair<double, const char*> doubles[] = {{3.14159265, "3.14159265"},
                                                    {0.1 + 0.2, "0.30000000000000004"},
                                                    {1.0 / 3, "0.3333333333333333"},
                                                    {-1e-7, "-0.0000001"},
                                                    {1.5e-8, "1.5E-8"},
                                                    {1e15, "1000000000000000"},
                                                    {123456789012345678e3, "123456789012345680000"},
                                                    {1e21, "1E+21"},
                                                    {-0.0, "0"},
                                                    {0, "0"},
                                                    {9007199254740993.0, "9007199254740992"}};
  for (const auto& [v, text] : doubles) {
    EXPECT_EQ(exact(v, en), text) << v;
    double back = 0;
    ASSERT_TRUE(TryStrToFloat(exact(v, en), back, en)) << text;
    EXPECT_EQ(back, v) << text;
  }
  EXPECT_EQ(exact(1234.5, ru), "1234,5");
  EXPECT_EQ(exact(std::numeric_limits<double>::infinity(), en), "INF");

  auto decimal = [](std::string_view text, const TFormatSettings& fs) {
    std::string out;
    return DecimalToStrExact(text, fs, out) ? out : "not a decimal";
  };
  EXPECT_EQ(decimal("1.2000", en), "1.2000");
  EXPECT_EQ(decimal("-0.0001", ru), "-0,0001");
  EXPECT_EQ(decimal("-0.0000", en), "0.0000");
  EXPECT_EQ(decimal("12345678901234567890.123456789", en), "12345678901234567890.123456789");
  EXPECT_EQ(decimal("+5", en), "5");
  EXPECT_EQ(decimal(".5", en), "0.5");
  for (const char* no : {"", "-", ".", "1e5", "1.2.3", "NaN", " 1", "1,5"})
    EXPECT_EQ(decimal(no, en), "not a decimal") << no;
}

TEST(NumberFormat, PlainFormatsWriteWhatTheGeneralWayWrites) {
  const char* formats[] = {"0",
                           "#",
                           "#,##0",
                           "#,###,##0.00",
                           "0.###",
                           "000.0",
                           "#.##",
                           ".00",
                           "0.",
                           "#,#",
                           "0,000",
                           "#,##0.0#",
                           "0;0",
                           "#,##0.00;#,##0.00",
                           "0.0;-0.0;0.00"};
  std::vector<double> values = {0,      0.004, 0.005,   0.5,  1,
                                9.995,  12,    999.5,   1000, 1234567.891,
                                -0.004, -1,    -1234.5, 1e20, 123456789012345678.0};
  unsigned seed = 7;
  for (int i = 0; i < 2000; ++i) {
    seed = seed * 1103515245 + 12345;
    values.push_back((static_cast<int>(seed >> 4) % 20000001 - 10000000) /
                     std::pow(10.0, seed % 9));
  }
  // Settings that group with no separator, as the command line's do: grouped integer formats
  // then write their digits as they are.
  TFormatSettings ungrouped = TFormatSettings::English();
  ungrouped.ThousandSeparator.clear();
  for (const TFormatSettings& fs :
       {TFormatSettings::English(), TFormatSettings::Russian(), ungrouped}) {
    for (const char* f : formats) {
      // The literal goes at the end of every section.
      std::string marked;
      for (const char* c = f; *c; ++c) marked += *c == ';' ? std::string("x;") : std::string(1, *c);
      marked += 'x';
      for (double v : values) {
        const std::string plain = FormatFloat(f, v, fs), general = FormatFloat(marked, v, fs);
        ASSERT_EQ(plain + "x", general) << "format " << f << ", value " << v;
        std::string fromInt, fromIntMarked;
        const auto n = static_cast<int64_t>(v);
        TNumberFormat(f).Render(n, fs, fromInt);
        TNumberFormat(marked).Render(n, fs, fromIntMarked);
        ASSERT_EQ(fromInt + "x", fromIntMarked) << "format " << f << ", value " << n;
      }
    }
  }
}

TEST(NumberParse, Integers) {
  struct I {
    const char* text;
    bool ok32, ok64;
    int64_t value;
  };
  for (const I& c : std::initializer_list<I>{
           {"123", true, true, 123},
           {"-123", true, true, -123},
           {"+123", true, true, 123},
           {"007", true, true, 7},
           {"$FF", true, true, 255},
           {"$ff", true, true, 255},
           {"-$10", true, true, -16},
           {"2147483647", true, true, 2147483647},
           {"-2147483648", true, true, -2147483648LL},
           {"2147483648", false, true, 2147483648LL},
           {"$7FFFFFFF", true, true, 0x7FFFFFFF},
           {"$80000000", false, true, 0x80000000LL},
           {"9223372036854775807", false, true, std::numeric_limits<int64_t>::max()},
           {"-9223372036854775808", false, true, std::numeric_limits<int64_t>::min()},
           {"9223372036854775808", false, false, 0},
           {"99999999999999999999999", false, false, 0},
           {"", false, false, 0},
           {"-", false, false, 0},
           {"$", false, false, 0},
           {"12a", false, false, 0},
           {" 12", false, false, 0},
           {"12 ", false, false, 0},
           {"1.0", false, false, 0},
           {"0x10", false, false, 0},
           {"1e3", false, false, 0},
           {"--1", false, false, 0},
           {"$-1", false, false, 0},
           {"1,000", false, false, 0},
       }) {
    int32_t v32 = -99;
    int64_t v64 = -99;
    EXPECT_EQ(TryStrToInt(c.text, v32), c.ok32) << c.text;
    EXPECT_EQ(TryStrToInt64(c.text, v64), c.ok64) << c.text;
    if (c.ok32) {
      EXPECT_EQ(v32, c.value) << c.text;
    }
    if (c.ok64) {
      EXPECT_EQ(v64, c.value) << c.text;
    }
  }
}

TEST(NumberParse, Floats) {
  TFormatSettings en = TFormatSettings::English();
  TFormatSettings ru = TFormatSettings::Russian();
  TFormatSettings wide = en;
  wide.DecimalSeparator = "\xD9\xAB";
  struct F {
    const TFormatSettings* fs;
    const char* text;
    bool ok;
    double value;
  };
  std::string longDigits(300, '1');
  for (const F& c : std::initializer_list<F>{
           {&en, "1.5", true, 1.5},
           {&en, "  1.5\t", true, 1.5},
           {&en, "-1.5", true, -1.5},
           {&en, "+1.5", true, 1.5},
           {&en, "1.", true, 1},
           {&en, ".5", true, 0.5},
           {&en, "-.5e+1", true, -5},
           {&en, "1e3", true, 1000},
           {&en, "1.5E-2", true, 0.015},
           {&en, "007", true, 7},
           {&en, "1e-400", true, 0},
           {&en, "0.1", true, 0.1},
           {&en, "", false, 0},
           {&en, ".", false, 0},
           {&en, "e3", false, 0},
           {&en, "1e", false, 0},
           {&en, "1e+", false, 0},
           {&en, "1,5", false, 0},
           {&en, "1,000.5", false, 0},
           {&en, "1.5.", false, 0},
           {&en, "1 5", false, 0},
           {&en, "inf", false, 0},
           {&en, "nan", false, 0},
           {&en, "0x10", false, 0},
           {&en, "--1", false, 0},
           {&en, "n/a", false, 0},
           {&en, "1e400", false, 0},
           {&ru, "1,5", true, 1.5},
           {&ru, "-0,25", true, -0.25},
           {&ru, "1.5", false, 0},
           {&ru,
            "1\xC2\xA0"
            "234,5",
            false, 0},
           {&wide,
            "1\xD9\xAB"
            "5",
            true, 1.5},
           {&wide, "1\xD9", false, 0},
           {&wide, "1.5", false, 0},
       }) {
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v, *c.fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
  double v = 0;
  ASSERT_TRUE(TryStrToFloat(longDigits, v, ru));  // longer than any stack buffer
  EXPECT_DOUBLE_EQ(v, 1.1111111111111111e299);
}

TEST(NumberParse, StrToFloatRaisesTheConversionError) {
  EXPECT_DOUBLE_EQ(StrToFloat("2,5", TFormatSettings::Russian()), 2.5);
  try {
    StrToFloat("n/a", TFormatSettings::English());
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'n/a' is not a valid floating point value");
  }
}

}  // namespace
}  // namespace morvale

namespace morvale {
namespace {

// Rendering a float text from its own digits must give what rendering its value gives.
TEST(NumberFormatText, SameAsRenderingTheValue) {
  const TFormatSettings en = TFormatSettings::English(), ru = TFormatSettings::Russian();
  const char* formats[] = {"#,###,##0.00", "0", "0.###", "#,##0.0;(#,##0.0);zero", "0.00E+00", ""};
  std::vector<std::string> texts = {"0",      "-0",     "0.00",   "1.005",
                                    "2.5",    "-2.5",   "1234.5", "0.000123",
                                    "99.995", "-0.004", "007.50", "123456789012345678",
                                    "0.1",    "1e5",    "+3",     "5."};
  unsigned seed = 12345;
  for (int i = 0; i < 300; ++i) {
    seed = seed * 1103515245 + 12345;
    double v = (static_cast<int>(seed >> 8) % 2000000 - 1000000) / std::pow(10.0, seed % 7);
    texts.push_back(FloatToStr(v, en));
  }
  for (const char* f : formats) {
    TNumberFormat nf(f);
    for (const std::string& t : texts) {
      std::string fromText, fromValue;
      ASSERT_TRUE(nf.RenderFloatText(t, en, fromText)) << t;
      nf.Render(StrToFloat(t, en), en, fromValue);
      EXPECT_EQ(fromText, fromValue) << "format " << f << ", text " << t;
    }
  }
  std::string out;
  TNumberFormat nf("#,##0.00");
  EXPECT_TRUE(nf.RenderFloatText("1234,5", ru, out));
  EXPECT_EQ(out,
            "1\xC2\xA0"
            "234,50");
  // A NUMERIC value past a double's range still renders, rounded at fifteen digits, where the
  // general reader would refuse it and stop the export.
  out.clear();
  EXPECT_TRUE(TNumberFormat("0.00").RenderFloatText("-1" + std::string(400, '0') + ".5", en, out));
  EXPECT_EQ(out, "-1" + std::string(400, '0') + ".00");
  for (const char* bad : {"", "-", ".", "1,234.5", "n/a", "1.2.3", "1e", "0x10"}) {
    out.clear();
    EXPECT_FALSE(nf.RenderFloatText(bad, en, out)) << bad;
    EXPECT_EQ(out, "");
  }
}

}  // namespace
}  // namespace morvale
