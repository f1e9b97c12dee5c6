#include "export/parquet/encoding.h"

#include <algorithm>
#include <bit>

namespace morvale::parquet {

static_assert(std::endian::native == std::endian::little, "PLAIN values are written as in memory");

namespace {

constexpr size_t kMinRepeat = 8;

// How many times values[at] repeats from `at`, counted up to `limit`.
size_t RepeatAt(const std::vector<uint32_t>& values, size_t at, size_t limit) {
  size_t n = 1;
  while (n < limit && at + n < values.size() && values[at + n] == values[at]) ++n;
  return n;
}

void AppendRleRun(uint32_t value, size_t count, int bitWidth, std::string& out) {
  AppendULEB128(uint64_t{count} << 1, out);
  for (int byte = 0; byte < (bitWidth + 7) / 8; ++byte)
    out += static_cast<char>(value >> (8 * byte) & 0xFF);
}

// values[from, to) bit-packed, least significant bit first, padded to whole groups of eight.
void AppendPackedRun(const std::vector<uint32_t>& values, size_t from, size_t to, int bitWidth,
                     std::string& out) {
  const size_t groups = (to - from + 7) / 8;
  AppendULEB128(uint64_t{groups} << 1 | 1, out);
  uint64_t acc = 0;
  int bits = 0;
  for (size_t i = from; i < from + groups * 8; ++i) {
    acc |= uint64_t{i < to ? values[i] : 0} << bits;
    bits += bitWidth;
    while (bits >= 8) {
      out += static_cast<char>(acc & 0xFF);
      acc >>= 8;
      bits -= 8;
    }
  }
}

}  // namespace

void AppendULEB128(uint64_t v, std::string& out) {
  while (v >= 0x80) {
    out += static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  out += static_cast<char>(v);
}

int BitWidthFor(uint32_t count) {
  return count <= 2 ? 1 : std::bit_width(count - 1);
}

void AppendHybrid(const std::vector<uint32_t>& values, int bitWidth, std::string& out) {
  size_t i = 0;
  while (i < values.size()) {
    const size_t repeat = RepeatAt(values, i, values.size());
    if (repeat >= kMinRepeat) {
      AppendRleRun(values[i], repeat, bitWidth, out);
      i += repeat;
      continue;
    }
    // Whole groups of eight until a long repeat begins at a group's start or the values end.
    const size_t from = i;
    do {
      i += 8;
    } while (i < values.size() && RepeatAt(values, i, kMinRepeat) < kMinRepeat);
    AppendPackedRun(values, from, std::min(i, values.size()), bitWidth, out);
  }
}

}  // namespace morvale::parquet
