// SHA-256 (FIPS 180-4), fed as the bytes go by: the manifest of a split export names each file's
// digest, computed while the file is written rather than by reading it back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvale {

class TSha256 {
 public:
  TSha256();
  void Update(const void* data, size_t size);
  void Update(std::string_view s) { Update(s.data(), s.size()); }
  // The digest of everything fed so far; the object is spent afterwards.
  std::array<uint8_t, 32> Final();
  // The digest as 64 lower-case hexadecimal digits, as sha256sum prints it.
  std::string FinalHex();

 private:
  void Block(const uint8_t* p);
  std::array<uint32_t, 8> h_;
  std::array<uint8_t, 64> buffer_{};
  size_t used_ = 0;
  uint64_t length_ = 0;  // bytes fed
};

}  // namespace morvale
