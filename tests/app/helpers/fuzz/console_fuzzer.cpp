// libFuzzer entry for the console's command rules; built by MORVALE_FUZZ, run by
// tests/fuzz/run-fuzzers.
#include "tests/app/helpers/fuzz/console_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvale::test::StopOnFailure(morvale::test::RunConsoleFuzzInput(data, size));
  return 0;
}
