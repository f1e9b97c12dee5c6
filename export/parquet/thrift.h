// The Thrift compact protocol, write side only, as far as a Parquet footer and page headers need
// it: structs of integers, strings, Booleans, lists and nested structs. The caller writes fields
// in ascending id order; the encoder keeps the last id of every open struct for the short field
// headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvale::parquet {

// Compact type codes of a field header or a list's element type.
enum class TCompactType : uint8_t {
  kBoolTrue = 1,
  kBoolFalse = 2,
  kByte = 3,
  kI16 = 4,
  kI32 = 5,
  kI64 = 6,
  kDouble = 7,
  kBinary = 8,
  kList = 9,
  kStruct = 12
};

class TThriftWriter {
 public:
  explicit TThriftWriter(std::string& out) : out_(out) {}

  void BeginStruct() { lastId_.push_back(0); }
  // The stop byte; the enclosing struct's last field id comes back.
  void EndStruct();

  void I32(int16_t id, int32_t v);
  void I64(int16_t id, int64_t v);
  void I8(int16_t id, int8_t v);
  void Bool(int16_t id, bool v) {
    FieldHeader(id, v ? TCompactType::kBoolTrue : TCompactType::kBoolFalse);
  }
  void Binary(int16_t id, std::string_view v);
  // A struct field; its fields follow, then EndStruct.
  void StructField(int16_t id) {
    FieldHeader(id, TCompactType::kStruct);
    BeginStruct();
  }
  // A list field of `size` elements of `element` type; the elements follow (BeginStruct ..
  // EndStruct for each struct element, ListI32 and ListBinary for the others).
  void ListField(int16_t id, TCompactType element, uint32_t size);
  void ListI32(int32_t v) { Varint(ZigZag(v)); }
  void ListBinary(std::string_view v);

  static uint64_t ZigZag(int64_t n) {
    return (static_cast<uint64_t>(n) << 1) ^ static_cast<uint64_t>(n >> 63);
  }
  void Varint(uint64_t v);

 private:
  void FieldHeader(int16_t id, TCompactType type);
  std::string& out_;
  std::vector<int16_t> lastId_{0};
};

}  // namespace morvale::parquet
