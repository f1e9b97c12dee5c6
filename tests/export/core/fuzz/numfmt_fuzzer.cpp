// libFuzzer entry for the number format language; built by MORVALE_FUZZ, run by
// tests/fuzz/run-fuzzers.
#include "tests/export/core/fuzz/numfmt_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvale::test::StopOnFailure(morvale::test::RunNumberFormatFuzzInput(data, size));
  return 0;
}
