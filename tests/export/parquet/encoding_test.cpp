// The byte layouts the Parquet writer produces below the file: the Thrift compact protocol of
// the footer and page headers, the RLE/bit-packed hybrid of levels and indexes, and the
// conversions of dates, times and decimals.
#include <gtest/gtest.h>

#include "export/parquet/encoding.h"
#include "export/parquet/schema.h"
#include "export/parquet/thrift.h"
#include "export/parquet/values.h"

namespace morvale::parquet {
namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s += static_cast<char>(v);
  return s;
}

std::string Digits(TInt128 v) {
  std::string s;
  const bool negative = v < 0;
  if (negative) v = -v;
  do {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  } while (v != 0);
  return negative ? "-" + s : s;
}

TEST(ParquetThrift, FieldHeadersListsAndNestedStructs) {
  std::string out;
  TThriftWriter w(out);
  w.BeginStruct();
  w.I32(1, -1);        // delta 1, i32: 0x15, zigzag(-1) = 1
  w.I64(3, 300);       // delta 2, i64: 0x26, zigzag(300) = 600 = 0xD8 0x04
  w.Bool(4, true);     // delta 1, true in the type nibble
  w.Binary(20, "ab");  // delta 16: long form, type byte then zigzag id 40
  w.StructField(21);
  w.Bool(1, false);
  w.EndStruct();
  w.I32(22, 7);  // the outer struct's last id is 21 again: delta 1
  w.ListField(23, TCompactType::kI32, 2);
  w.ListI32(1);
  w.ListI32(-2);
  w.EndStruct();
  EXPECT_EQ(out, Bytes({0x15, 0x01, 0x26, 0xD8, 0x04, 0x11, 0x08, 0x28, 0x02, 'a', 'b',
                        0x1C, 0x12, 0x00, 0x15, 0x0E, 0x19, 0x25, 0x02, 0x03, 0x00}));

  std::string big;
  TThriftWriter l(big);
  l.BeginStruct();
  l.ListField(1, TCompactType::kBinary, 15);  // 15 elements and more: size after the byte
  EXPECT_EQ(big, Bytes({0x19, 0xF8, 0x0F}));
}

TEST(ParquetHybrid, RepeatsBecomeRunsTheRestGroupsOfEight) {
  std::string out;
  // Ten ones: one RLE run, header 10 << 1, the value in one byte.
  AppendHybrid(std::vector<uint32_t>(10, 1), 1, out);
  EXPECT_EQ(out, Bytes({0x14, 0x01}));

  // 1,0,1,0,1: one bit-packed group, padded: header (1 << 1) | 1, bits LSB first.
  out.clear();
  AppendHybrid({1, 0, 1, 0, 1}, 1, out);
  EXPECT_EQ(out, Bytes({0x03, 0x15}));

  // Eight mixed values, then a run of nine threes at width 2: a group, then a run.
  out.clear();
  AppendHybrid({0, 1, 2, 3, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}, 2, out);
  EXPECT_EQ(out, Bytes({0x03, 0xE4, 0xE4, 0x12, 0x03}));

  // A dictionary index of width 9 repeated: the value in two bytes.
  out.clear();
  AppendHybrid(std::vector<uint32_t>(8, 300), 9, out);
  EXPECT_EQ(out, Bytes({0x10, 0x2C, 0x01}));

  EXPECT_EQ(BitWidthFor(1), 1);
  EXPECT_EQ(BitWidthFor(2), 1);
  EXPECT_EQ(BitWidthFor(3), 2);
  EXPECT_EQ(BitWidthFor(256), 8);
  EXPECT_EQ(BitWidthFor(257), 9);
}

TEST(ParquetValues, DatesAndTimesBeforeAndAfter1970ToTheMicrosecond) {
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(1969, 7, 20), -165);
  EXPECT_EQ(DaysFromCivil(1899, 12, 30), -25569);
  EXPECT_EQ(DaysFromCivil(2024, 2, 29), 19782);
  EXPECT_EQ(DaysFromCivil(1, 1, 1), -719162);

  TDayTime t;
  ASSERT_TRUE(DayTimeFromIso("2024-02-29 23:59:59.123456", t));
  EXPECT_EQ(t.Days, 19782);
  EXPECT_EQ(t.Micros, 86399123456);
  ASSERT_TRUE(DayTimeFromIso("1969-07-20T20:17:40.5", t));
  EXPECT_EQ(t.Days, -165);
  EXPECT_EQ(t.Micros, (20 * 3600 + 17 * 60 + 40) * 1000000LL + 500000);
  ASSERT_TRUE(DayTimeFromIso("14:30", t));
  EXPECT_EQ(t.Days, 0);
  EXPECT_EQ(t.Micros, (14 * 3600 + 30 * 60) * 1000000LL);
  EXPECT_FALSE(DayTimeFromIso("2024-13-01", t));
  EXPECT_FALSE(DayTimeFromIso("25:00", t));
  EXPECT_FALSE(DayTimeFromIso("2024-01-01 10:00 +03", t));

  // Serial days: before day 0 the fraction is still the time of day, counted forward.
  ASSERT_TRUE(DayTimeFromSerial(-1.25, t));
  EXPECT_EQ(t.Days, -25570);
  EXPECT_EQ(t.Micros, 6 * 3600 * 1000000LL);
  ASSERT_TRUE(DayTimeFromSerial(25569.0 + 0.5 / 86400e6 * 0.9, t));  // rounds to midnight
  EXPECT_EQ(t.Days, 0);
  EXPECT_EQ(t.Micros, 0);
  ASSERT_TRUE(DayTimeFromSerial(45000.999999999999, t));  // a whole day up: the next date
  EXPECT_EQ(t.Days, 45001 - 25569);
  EXPECT_EQ(t.Micros, 0);
}

TEST(ParquetValues, DecimalsKeepTheirDigitsAndRoundBeyondTheScale) {
  TInt128 v;
  ASSERT_TRUE(UnscaledDecimal("-12.3400", 2, 12, v));
  EXPECT_TRUE(v == -1234);
  ASSERT_TRUE(UnscaledDecimal("7", 4, 10, v));
  EXPECT_TRUE(v == 70000);
  ASSERT_TRUE(UnscaledDecimal("0.125", 2, 5, v));  // half away from zero
  EXPECT_TRUE(v == 13);
  ASSERT_TRUE(UnscaledDecimal("-0.125", 2, 5, v));
  EXPECT_TRUE(v == -13);
  EXPECT_FALSE(UnscaledDecimal("1000", 2, 5, v));   // six digits in five
  EXPECT_FALSE(UnscaledDecimal("9.999", 2, 3, v));  // rounds up to four digits
  EXPECT_FALSE(UnscaledDecimal("1e5", 0, 10, v));
  EXPECT_FALSE(UnscaledDecimal("", 0, 10, v));
  ASSERT_TRUE(UnscaledDecimal("12345678901234567890123456789.123456789", 9, 38, v));
  EXPECT_EQ(Digits(v), "12345678901234567890123456789123456789");
  ASSERT_TRUE(UnscaledDecimal("-99999999999999999999999999999999999999", 0, 38, v));
  EXPECT_EQ(Digits(v), "-99999999999999999999999999999999999999");

  std::string buffer;
  EXPECT_EQ(PlainDigits(1e-7, buffer), "0.0000001");
  EXPECT_EQ(PlainDigits(0.1, buffer), "0.1");
  EXPECT_EQ(PlainDigits(1e15, buffer), "1000000000000000");

  EXPECT_EQ(DecimalBytes(9), 4);
  EXPECT_EQ(DecimalBytes(18), 8);
  EXPECT_EQ(DecimalBytes(19), 9);
  EXPECT_EQ(DecimalBytes(38), 16);
}

}  // namespace
}  // namespace morvale::parquet
