// Replays the inputs kept from fuzzing the options-file loader (tests/export/dialog/fuzz/
// regressions): each must load, prepare and export without a crash or a sanitizer report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/export/dialog/fuzz/options_fuzz.h"

namespace morvale::test {
namespace {

TEST(OptionsFuzzRegressions, KeptInputsLoadWithoutACrash) {
  std::filesystem::path dir =
      std::filesystem::path(MORVALE_SOURCE_DIR) / "tests/export/dialog/fuzz/regressions";
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().filename().string());
    RunOptionsFuzzInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace morvale::test
