// Replays the inputs a fuzzer kept (its regressions folder: the seeds, and every input that once
// crashed it) through the fuzzer's own function, as part of the normal test run.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace morvale::test {

// `run` returns the expectation an input broke, or the empty text. Counts the inputs replayed.
inline int ReplayFuzzRegressions(const std::string& folder,
                                 const std::function<std::string(const uint8_t*, size_t)>& run) {
  int replayed = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(MORVALE_SOURCE_DIR) / folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "")
        << entry.path().filename().string();
    ++replayed;
  }
  return replayed;
}

}  // namespace morvale::test
