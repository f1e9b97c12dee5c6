#include "export/parquet/file.h"

#include "export/core/streams.h"
#include "export/parquet/encoding.h"
#include "export/parquet/thrift.h"

namespace morvale::parquet {

namespace {

constexpr char kMagic[] = "PAR1";
constexpr int32_t kOptional = 1;
constexpr int kCheckEvery = 1024;  // rows between two looks at the held bytes

// The legacy annotation old readers know; none for TIME and TIMESTAMP, whose legacy forms mean
// instants in UTC, which a local date-time is not.
int32_t ConvertedType(const TColumnSchema& c) {
  switch (c.Logical) {
    case TLogical::kString:
      return 0;  // UTF8
    case TLogical::kDecimal:
      return 5;
    case TLogical::kDate:
      return 6;
    case TLogical::kInteger:
      return c.BitWidth == 8 ? 15 : c.BitWidth == 16 ? 16 : c.BitWidth == 32 ? 17 : 18;
    default:
      return -1;
  }
}

void WriteTimeUnit(TThriftWriter& w, bool millis) {
  w.StructField(2);
  w.StructField(millis ? 1 : 2);  // MILLIS, MICROS: empty structs
  w.EndStruct();
  w.EndStruct();
}

void WriteLogicalType(TThriftWriter& w, const TColumnSchema& c) {
  w.StructField(10);
  switch (c.Logical) {
    case TLogical::kString:
      w.StructField(1);
      break;
    case TLogical::kDecimal:
      w.StructField(5);
      w.I32(1, c.Scale);
      w.I32(2, c.Precision);
      break;
    case TLogical::kDate:
      w.StructField(6);
      break;
    case TLogical::kTime:
    case TLogical::kTimestamp:
      w.StructField(c.Logical == TLogical::kTime ? 7 : 8);
      // Values are the source's local date-times, written as they read: no instant in UTC.
      w.Bool(1, false);
      WriteTimeUnit(w, c.Millis);
      break;
    case TLogical::kInteger:
      w.StructField(10);
      w.I8(1, static_cast<int8_t>(c.BitWidth));
      w.Bool(2, true);
      break;
    case TLogical::kNone:
      break;
  }
  w.EndStruct();  // the member
  w.EndStruct();  // the union
}

void WriteSchemaElement(TThriftWriter& w, const TColumnSchema& c) {
  w.BeginStruct();
  w.I32(1, static_cast<int32_t>(c.Physical));
  if (c.Physical == TPhysical::kFixedLenByteArray) w.I32(2, c.TypeLength);
  w.I32(3, kOptional);
  w.Binary(4, c.Name);
  if (const int32_t converted = ConvertedType(c); converted >= 0) w.I32(6, converted);
  if (c.Logical == TLogical::kDecimal) {
    w.I32(7, c.Scale);
    w.I32(8, c.Precision);
  }
  if (c.Logical != TLogical::kNone) WriteLogicalType(w, c);
  w.EndStruct();
}

}  // namespace

size_t TParquetFile::RowGroupBytes = 8 << 20;

TParquetFile::TParquetFile(TStream& out, const std::vector<TColumnSchema>& columns, TCodec codec)
    : out_(out), compressor_(codec) {
  for (const TColumnSchema& c : columns)
    columns_.push_back(std::make_unique<TColumnChunk>(c, compressor_));
  out_.Write(kMagic, 4);
}

TParquetFile::~TParquetFile() = default;

void TParquetFile::EndRow() {
  ++rows_;
  if (++groupRows_ % kCheckEvery != 0) return;
  size_t held = 0;
  for (const auto& c : columns_) held += c->HeldBytes();
  if (held >= RowGroupBytes) WriteRowGroup();
}

void TParquetFile::WriteRowGroup() {
  if (groupRows_ == 0) return;
  TRowGroup g;
  g.Rows = groupRows_;
  g.Offset = out_.Position();
  for (const auto& c : columns_) g.Chunks.push_back(c->Finish(out_));
  groups_.push_back(std::move(g));
  groupRows_ = 0;
}

void TParquetFile::Finish(const std::vector<TColumnSchema>& schema, const std::string& createdBy) {
  WriteRowGroup();
  const std::string footer = Footer(schema, createdBy);
  out_.Write(footer);
  std::string tail;
  AppendU32(static_cast<uint32_t>(footer.size()), tail);
  tail += kMagic;
  out_.Write(tail);
}

std::string TParquetFile::Footer(const std::vector<TColumnSchema>& schema,
                                 const std::string& createdBy) const {
  std::string out;
  TThriftWriter w(out);
  w.BeginStruct();
  w.I32(1, 1);
  w.ListField(2, TCompactType::kStruct, static_cast<uint32_t>(schema.size() + 1));
  w.BeginStruct();
  w.Binary(4, "schema");
  w.I32(5, static_cast<int32_t>(schema.size()));
  w.EndStruct();
  for (const TColumnSchema& c : schema) WriteSchemaElement(w, c);
  w.I64(3, rows_);
  w.ListField(4, TCompactType::kStruct, static_cast<uint32_t>(groups_.size()));
  for (const TRowGroup& g : groups_) {
    int64_t uncompressed = 0, compressed = 0;
    w.BeginStruct();
    w.ListField(1, TCompactType::kStruct, static_cast<uint32_t>(g.Chunks.size()));
    for (size_t i = 0; i < g.Chunks.size(); ++i) {
      const TChunkInfo& k = g.Chunks[i];
      const TColumnSchema& c = schema[i];
      uncompressed += k.UncompressedSize;
      compressed += k.CompressedSize;
      w.BeginStruct();
      w.I64(2, k.UsedDictionary ? k.DictionaryPageOffset : k.DataPageOffset);
      w.StructField(3);
      w.I32(1, static_cast<int32_t>(c.Physical));
      w.ListField(2, TCompactType::kI32, k.UsedDictionary ? 3 : 2);
      w.ListI32(kPlain);
      w.ListI32(kRle);
      if (k.UsedDictionary) w.ListI32(kRleDictionary);
      w.ListField(3, TCompactType::kBinary, 1);
      w.ListBinary(c.Name);
      w.I32(4, static_cast<int32_t>(compressor_.Codec()));
      w.I64(5, k.NumValues);
      w.I64(6, k.UncompressedSize);
      w.I64(7, k.CompressedSize);
      w.I64(9, k.DataPageOffset);
      if (k.UsedDictionary) w.I64(11, k.DictionaryPageOffset);
      w.EndStruct();
      w.EndStruct();
    }
    w.I64(2, uncompressed);
    w.I64(3, g.Rows);
    w.I64(5, g.Offset);
    w.I64(6, compressed);
    w.EndStruct();
  }
  w.Binary(6, createdBy);
  w.EndStruct();
  return out;
}

}  // namespace morvale::parquet
