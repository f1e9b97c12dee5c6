#include "export/parquet/thrift.h"

namespace morvale::parquet {

void TThriftWriter::Varint(uint64_t v) {
  while (v >= 0x80) {
    out_ += static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  out_ += static_cast<char>(v);
}

void TThriftWriter::FieldHeader(int16_t id, TCompactType type) {
  const int delta = id - lastId_.back();
  if (delta > 0 && delta <= 15) {
    out_ += static_cast<char>(delta << 4 | static_cast<int>(type));
  } else {
    out_ += static_cast<char>(type);
    Varint(ZigZag(id));
  }
  lastId_.back() = id;
}

void TThriftWriter::EndStruct() {
  out_ += '\0';
  lastId_.pop_back();
}

void TThriftWriter::I32(int16_t id, int32_t v) {
  FieldHeader(id, TCompactType::kI32);
  Varint(ZigZag(v));
}

void TThriftWriter::I64(int16_t id, int64_t v) {
  FieldHeader(id, TCompactType::kI64);
  Varint(ZigZag(v));
}

void TThriftWriter::I8(int16_t id, int8_t v) {
  FieldHeader(id, TCompactType::kByte);
  out_ += static_cast<char>(v);
}

void TThriftWriter::Binary(int16_t id, std::string_view v) {
  FieldHeader(id, TCompactType::kBinary);
  ListBinary(v);
}

void TThriftWriter::ListBinary(std::string_view v) {
  Varint(v.size());
  out_ += v;
}

void TThriftWriter::ListField(int16_t id, TCompactType element, uint32_t size) {
  FieldHeader(id, TCompactType::kList);
  if (size < 15) {
    out_ += static_cast<char>(size << 4 | static_cast<unsigned>(element));
  } else {
    out_ += static_cast<char>(0xF0 | static_cast<unsigned>(element));
    Varint(size);
  }
}

}  // namespace morvale::parquet
