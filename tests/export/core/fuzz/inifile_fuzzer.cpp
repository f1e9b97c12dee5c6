// libFuzzer entry for the INI file reader; built by MORVALE_FUZZ, run by
// tests/fuzz/run-fuzzers.
#include "tests/export/core/fuzz/inifile_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morvale::test::StopOnFailure(morvale::test::RunIniFileFuzzInput(data, size));
  return 0;
}
