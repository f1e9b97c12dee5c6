// What the Parquet file says about one column: its physical type, its logical type with the
// logical type's parameters, and the numbers the footer names them by.
#pragma once

#include <cstdint>
#include <string>

namespace morvale::parquet {

// Physical types (the footer's Type enumeration).
enum class TPhysical : int32_t {
  kBoolean = 0,
  kInt32 = 1,
  kInt64 = 2,
  kDouble = 5,
  kByteArray = 6,
  kFixedLenByteArray = 7
};

enum class TLogical { kNone, kString, kInteger, kDecimal, kDate, kTime, kTimestamp };

// Page encodings and codecs, as numbered in the footer and the page headers.
enum TEncoding : int32_t { kPlain = 0, kRle = 3, kRleDictionary = 8 };
enum class TCodec : int32_t { kUncompressed = 0, kZstd = 6 };

struct TColumnSchema {
  std::string Name;
  TPhysical Physical = TPhysical::kByteArray;
  TLogical Logical = TLogical::kNone;
  int BitWidth = 0;              // INTEGER: 8, 16, 32 or 64
  int Precision = 0, Scale = 0;  // DECIMAL
  int TypeLength = 0;            // FIXED_LEN_BYTE_ARRAY: bytes of a value
  bool Millis = false;           // TIME and TIMESTAMP count milliseconds, not microseconds
  bool Dictionary = false;       // texts: dictionary-encoded while the dictionary stays small
};

// The bytes of a FIXED_LEN_BYTE_ARRAY that hold every unscaled decimal of `precision` digits.
int DecimalBytes(int precision);

}  // namespace morvale::parquet
