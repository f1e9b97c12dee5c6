// The value encodings of a Parquet page body: the RLE/bit-packed hybrid that carries definition
// levels and dictionary indexes, and the little-endian PLAIN layout of fixed-width values.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace morvale::parquet {

// Appends `values` (each below 2^bitWidth) in the RLE/bit-packed hybrid: a repeat of eight or
// more becomes one RLE run, the rest bit-packed groups of eight. Only the last group may hold
// padding, so the sequence must be a page's whole set of levels or indexes.
void AppendHybrid(const std::vector<uint32_t>& values, int bitWidth, std::string& out);

// The fewest bits that hold every value below `count` (at least 1).
int BitWidthFor(uint32_t count);

void AppendULEB128(uint64_t v, std::string& out);

template <class T>
void AppendPlain(T v, std::string& out) {
  // The build machines are little-endian, as Parquet's PLAIN layout is.
  char bytes[sizeof(T)];
  std::memcpy(bytes, &v, sizeof(T));
  out.append(bytes, sizeof(T));
}

inline void AppendU32(uint32_t v, std::string& out) {
  AppendPlain(v, out);
}

}  // namespace morvale::parquet
