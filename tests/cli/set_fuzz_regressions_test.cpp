// Replays the inputs kept from fuzzing the command line's --set (tests/cli/fuzz/regressions):
// each must end in an export, a usage error or a failed export with its message.
#include "tests/cli/fuzz/set_fuzz.h"
#include "tests/support/fuzzreplay.h"

namespace morvale::test {
namespace {

TEST(SetFuzzRegressions, KeptInputsAreHandled) {
  EXPECT_GT(ReplayFuzzRegressions("tests/cli/fuzz/regressions", RunSetFuzzInput), 0);
}

}  // namespace
}  // namespace morvale::test
