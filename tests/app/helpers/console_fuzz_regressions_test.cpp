// Replays the inputs kept from fuzzing the console's command rules
// (tests/app/helpers/fuzz/regressions): each must be classified and read without a crash, a
// sanitizer report or a broken expectation.
#include "tests/app/helpers/fuzz/console_fuzz.h"
#include "tests/support/fuzzreplay.h"

namespace morvale::test {
namespace {

TEST(ConsoleFuzzRegressions, KeptInputsAreHandled) {
  EXPECT_GT(ReplayFuzzRegressions("tests/app/helpers/fuzz/regressions", RunConsoleFuzzInput), 0);
}

}  // namespace
}  // namespace morvale::test
