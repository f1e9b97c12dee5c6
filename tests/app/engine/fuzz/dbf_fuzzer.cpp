// libFuzzer entry for the dBASE reader; built by MORVALE_FUZZ, run by tests/fuzz/run-fuzzers.
#include "tests/app/engine/fuzz/dbf_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvale::test::RunDbfFuzzInput(data, size);
  return 0;
}
