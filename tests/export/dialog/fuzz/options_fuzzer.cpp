// libFuzzer entry for the options-file loader; built by MORVALE_FUZZ, run by
// tests/fuzz/run-fuzzers.
#include "tests/export/dialog/fuzz/options_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvale::test::RunOptionsFuzzInput(data, size);
  return 0;
}
