// libFuzzer entry for the command line's --set; built by MORVALE_FUZZ, run by
// tests/fuzz/run-fuzzers.
#include "tests/cli/fuzz/set_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvale::test::StopOnFailure(morvale::test::RunSetFuzzInput(data, size));
  return 0;
}
