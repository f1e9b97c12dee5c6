// The moment exports write into their files: SOURCE_DATE_EPOCH read as the reproducible-builds
// convention has it, in UTC whatever the machine's zone, and the clock in local time otherwise.
#include "export/core/stamp.h"

#include <gtest/gtest.h>

#include "tests/support/envguard.h"
#include "tests/support/timezone.h"

namespace morvale {
namespace {

TEST(SourceDateEpoch, OnlyPlainDecimalSecondsRead) {
  EXPECT_EQ(ParseSourceDateEpoch("0"), 0);
  EXPECT_EQ(ParseSourceDateEpoch("1700000000"), 1700000000);
  EXPECT_EQ(ParseSourceDateEpoch("0001700000000"), 1700000000);
  // The last second of year 9999 is the last one a date field holds.
  EXPECT_EQ(ParseSourceDateEpoch("253402300799"), 253402300799);
  for (const char* bad : {"253402300800", "99999999999999999999999999", "", "-1", "+1", " 1", "1 ",
                          "1.5", "0x10", "1e9", "2023-11-14", "now"})
    EXPECT_EQ(ParseSourceDateEpoch(bad), std::nullopt) << '"' << bad << '"';
  EXPECT_EQ(ParseSourceDateEpoch(nullptr), std::nullopt);
}

TEST(SourceDateEpoch, PinnedInUtcAndTheClockInLocalTime) {
  // Nine hours east of Greenwich: a local rendering would move 23:59:59 UTC to the next day.
  test::TTimeZoneGuard zone("XST-9");
  TExportStamp pinned = ExportStampAt("86399", 5);
  EXPECT_TRUE(pinned.Pinned);
  EXPECT_EQ(pinned.Seconds, 86399);
  EXPECT_EQ(pinned.Fields.tm_year, 70);
  EXPECT_EQ(pinned.Fields.tm_mday, 1);
  EXPECT_EQ(pinned.Fields.tm_hour, 23);
  EXPECT_EQ(StampDateTime(pinned), EncodeDate(1970, 1, 1) + (86399.0 / 86400));

  for (const char* unset : {static_cast<const char*>(nullptr), "", "yesterday"}) {
    TExportStamp clock = ExportStampAt(unset, 86399);
    EXPECT_FALSE(clock.Pinned);
    EXPECT_EQ(clock.Seconds, 86399);
    EXPECT_EQ(clock.Fields.tm_mday, 2);
    EXPECT_EQ(clock.Fields.tm_hour, 8);
  }
}

TEST(SourceDateEpoch, DayAndDateTimeValues) {
  TExportStamp s = ExportStampAt("1700000000", 0);  // 2023-11-14 22:13:20 UTC
  EXPECT_EQ(StampDate(s), EncodeDate(2023, 11, 14));
  TDateTime time = 0;
  ASSERT_TRUE(TryEncodeTime(22, 13, 20, 0, time));
  EXPECT_DOUBLE_EQ(StampDateTime(s), EncodeDate(2023, 11, 14) + time);
  // The last second a date holds still makes a date.
  EXPECT_EQ(StampDate(ExportStampAt("253402300799", 0)), EncodeDate(9999, 12, 31));
}

TEST(SourceDateEpoch, ExportStampReadsTheEnvironment) {
  {
    test::TEnvGuard pin("SOURCE_DATE_EPOCH", "1700000000");
    EXPECT_TRUE(ExportStamp().Pinned);
    EXPECT_EQ(ExportStamp().Seconds, 1700000000);
  }
  test::TEnvGuard unset("SOURCE_DATE_EPOCH", nullptr);
  const std::time_t before = std::time(nullptr);
  TExportStamp now = ExportStamp();
  EXPECT_FALSE(now.Pinned);
  EXPECT_GE(now.Seconds, before);
  EXPECT_LE(now.Seconds, std::time(nullptr));
}

}  // namespace
}  // namespace morvale
