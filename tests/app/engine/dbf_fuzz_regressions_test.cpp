// Replays the inputs kept from fuzzing the dBASE reader (tests/app/engine/fuzz/regressions): each
// must end in a value or a clear error, never in a crash, a sanitizer report or a hang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/app/engine/fuzz/dbf_fuzz.h"

namespace morvale {
namespace {

TEST(DbfFuzzRegressions, KeptInputsAreHandled) {
  std::filesystem::path dir =
      std::filesystem::path(MORVALE_SOURCE_DIR) / "tests/app/engine/fuzz/regressions";
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().filename().string());
    test::RunDbfFuzzInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace morvale
