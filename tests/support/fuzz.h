// What the libFuzzer targets share: the input split into lines, and expectations that an input
// may break besides crashing (a round trip that loses something). The fuzzer's entry stops on a
// broken one, so libFuzzer keeps the input; the test that replays the kept inputs shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace morvale::test {

// The first `count` lines of the input (LF-separated, CR kept), the last one holding the rest;
// missing lines are empty.
inline std::vector<std::string_view> FuzzLines(const uint8_t* data, size_t size, size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> lines;
  while (lines.size() + 1 < count) {
    size_t nl = rest.find('\n');
    if (nl == std::string_view::npos) break;
    lines.push_back(rest.substr(0, nl));
    rest.remove_prefix(nl + 1);
  }
  lines.push_back(rest);
  lines.resize(count);
  return lines;
}

// The first expectation an input broke, with what it was about; empty while all held.
struct TFuzzCheck {
  std::string failure;
  void Expect(bool ok, std::string_view what, std::string_view detail = {}) {
    if (ok || !failure.empty()) return;
    failure = std::string(what);
    if (!detail.empty()) failure += ": " + std::string(detail);
  }
};

// For the fuzzers' entries: a broken expectation is a crash with its message.
inline void StopOnFailure(const std::string& failure) {
  if (failure.empty()) return;
  std::fprintf(stderr, "fuzz expectation broken: %s\n", failure.c_str());
  std::abort();
}

}  // namespace morvale::test
