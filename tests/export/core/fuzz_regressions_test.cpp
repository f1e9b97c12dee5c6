// Replays the inputs kept from fuzzing the number and date-time format languages and the INI file
// reader (tests/export/core/fuzz/regressions/*): each must render, translate and read back without
// a crash, a sanitizer report or a broken round trip.
#include "tests/export/core/fuzz/datetime_fuzz.h"
#include "tests/export/core/fuzz/inifile_fuzz.h"
#include "tests/export/core/fuzz/numfmt_fuzz.h"
#include "tests/support/fuzzreplay.h"

namespace morvale::test {
namespace {

TEST(CoreFuzzRegressions, KeptInputsAreHandled) {
  EXPECT_GT(
      ReplayFuzzRegressions("tests/export/core/fuzz/regressions/numfmt", RunNumberFormatFuzzInput),
      0);
  EXPECT_GT(
      ReplayFuzzRegressions("tests/export/core/fuzz/regressions/datetime", RunDateTimeFuzzInput),
      0);
  EXPECT_GT(
      ReplayFuzzRegressions("tests/export/core/fuzz/regressions/inifile", RunIniFileFuzzInput), 0);
}

}  // namespace
}  // namespace morvale::test
