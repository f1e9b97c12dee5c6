#include "export/parquet/column.h"

#include <functional>

#include "export/core/streams.h"
#include "export/parquet/compressor.h"
#include "export/parquet/encoding.h"
#include "export/parquet/thrift.h"

namespace morvale::parquet {

namespace {

// A page of about a megabyte: large enough that headers cost nothing, small enough that a reader
// skips little it does not need.
constexpr size_t kPageBytes = 1 << 20;
// And at most this many values: Booleans and dictionary indexes take a bit or two each, and the
// levels kept beside them until the page closes would otherwise grow far past the page.
constexpr size_t kPageValues = 1 << 16;
// A dictionary pays while texts repeat; past these bounds it is more index than saving, and its
// memory would grow with the data.
constexpr size_t kDictionaryBytes = 1 << 20;
constexpr size_t kDictionaryEntries = 1 << 16;
constexpr size_t kSlots = kDictionaryEntries * 2;  // a power of two, at most half full

}  // namespace

int DecimalBytes(int precision) {
  // The fewest bytes whose two's complement holds 10^precision - 1: 8n - 1 bits >= p log2(10).
  int n = 1;
  while ((8 * n - 1) * 0.30102999566398120 < precision) ++n;
  return n;
}

TColumnChunk::TColumnChunk(const TColumnSchema& schema, TCompressor& compressor)
    : schema_(schema), compressor_(compressor) {
  dictionaryOn_ = schema_.Dictionary;
}

void TColumnChunk::AddNull() {
  levels_.push_back(0);
  if (PageFull()) FlushPage();
}

void TColumnChunk::AddBool(bool v) {
  bits_.push_back(v ? 1 : 0);
  Defined();
}

void TColumnChunk::AddInt32(int32_t v) {
  AppendPlain(v, values_);
  Defined();
}

void TColumnChunk::AddInt64(int64_t v) {
  AppendPlain(v, values_);
  Defined();
}

void TColumnChunk::AddDouble(double v) {
  AppendPlain(v, values_);
  Defined();
}

void TColumnChunk::AddBytes(std::string_view v) {
  if (dictionaryOn_) {
    const int64_t index = DictionaryIndex(v);
    if (index >= 0) {
      indexes_.push_back(static_cast<uint32_t>(index));
      Defined();
      return;
    }
    EndDictionary();
  }
  if (schema_.Physical == TPhysical::kByteArray)
    AppendU32(static_cast<uint32_t>(v.size()), values_);
  values_ += v;
  Defined();
}

int64_t TColumnChunk::DictionaryIndex(std::string_view v) {
  if (slots_.empty()) slots_.assign(kSlots, 0);
  size_t slot = std::hash<std::string_view>()(v) & (kSlots - 1);
  for (;; slot = (slot + 1) & (kSlots - 1)) {
    const uint32_t entry = slots_[slot];
    if (entry == 0) break;
    const uint32_t at = offsets_[entry - 1];
    uint32_t length;
    std::memcpy(&length, dictionary_.data() + at, 4);
    if (std::string_view(dictionary_.data() + at + 4, length) == v) return entry - 1;
  }
  if (offsets_.size() >= kDictionaryEntries || dictionary_.size() + v.size() > kDictionaryBytes)
    return -1;
  offsets_.push_back(static_cast<uint32_t>(dictionary_.size()));
  AppendU32(static_cast<uint32_t>(v.size()), dictionary_);
  dictionary_ += v;
  slots_[slot] = static_cast<uint32_t>(offsets_.size());
  return static_cast<int64_t>(offsets_.size()) - 1;
}

void TColumnChunk::EndDictionary() {
  // The page so far holds indexes; what follows is PLAIN, on pages of its own.
  if (!indexes_.empty()) FlushPage();
  dictionaryOn_ = false;
  std::vector<uint32_t>().swap(slots_);
}

bool TColumnChunk::PageFull() const {
  return levels_.size() >= kPageValues || values_.size() >= kPageBytes;
}

size_t TColumnChunk::HeldBytes() const {
  return pages_.size() + dictionary_.size() + values_.size() + indexes_.size() * 4 + bits_.size() +
         levels_.size() * 4;
}

void TColumnChunk::FlushPage() {
  if (levels_.empty()) return;
  body_.clear();
  // Definition levels: every column is OPTIONAL, so they are always there, length first.
  body_.append(4, '\0');
  AppendHybrid(levels_, 1, body_);
  const uint32_t levelBytes = static_cast<uint32_t>(body_.size() - 4);
  std::memcpy(body_.data(), &levelBytes, 4);
  int32_t encoding = kPlain;
  if (!indexes_.empty()) {
    const int width = BitWidthFor(static_cast<uint32_t>(offsets_.size()));
    body_ += static_cast<char>(width);
    AppendHybrid(indexes_, width, body_);
    encoding = kRleDictionary;
    info_.UsedDictionary = true;
  } else if (!bits_.empty()) {
    uint8_t byte = 0;
    for (size_t i = 0; i < bits_.size(); ++i) {
      byte |= static_cast<uint8_t>(bits_[i] << (i % 8));
      if (i % 8 == 7 || i + 1 == bits_.size()) {
        body_ += static_cast<char>(byte);
        byte = 0;
      }
    }
  } else {
    body_ += values_;
  }
  WritePage(pages_, body_, static_cast<int32_t>(levels_.size()), false, encoding);
  info_.NumValues += static_cast<int64_t>(levels_.size());
  levels_.clear();
  values_.clear();
  indexes_.clear();
  bits_.clear();
}

void TColumnChunk::WritePage(std::string& to, std::string_view body, int32_t numValues,
                             bool dictionaryPage, int32_t encoding) {
  const std::string_view stored = compressor_.Compress(body, scratch_);
  const size_t start = to.size();
  TThriftWriter w(to);
  w.BeginStruct();
  w.I32(1, dictionaryPage ? 2 : 0);  // DICTIONARY_PAGE, DATA_PAGE
  w.I32(2, static_cast<int32_t>(body.size()));
  w.I32(3, static_cast<int32_t>(stored.size()));
  w.StructField(dictionaryPage ? 7 : 5);
  w.I32(1, numValues);
  w.I32(2, encoding);
  if (!dictionaryPage) {
    w.I32(3, kRle);  // definition levels
    w.I32(4, kRle);  // repetition levels (none in a flat column)
  }
  w.EndStruct();
  w.EndStruct();
  const size_t header = to.size() - start;
  to += stored;
  info_.UncompressedSize += static_cast<int64_t>(header + body.size());
  info_.CompressedSize += static_cast<int64_t>(header + stored.size());
}

TChunkInfo TColumnChunk::Finish(TStream& out) {
  FlushPage();
  TChunkInfo info = info_;
  if (info.UsedDictionary) {
    info.DictionaryPageOffset = out.Position();
    info_ = TChunkInfo();
    body_.clear();
    WritePage(body_, dictionary_, static_cast<int32_t>(offsets_.size()), true, kPlain);
    info.UncompressedSize += info_.UncompressedSize;
    info.CompressedSize += info_.CompressedSize;
    out.Write(body_);
  }
  info.DataPageOffset = out.Position();
  out.Write(pages_);
  // The next row group starts its own chunk, and its own dictionary.
  info_ = TChunkInfo();
  pages_.clear();
  dictionary_.clear();
  offsets_.clear();
  std::vector<uint32_t>().swap(slots_);
  dictionaryOn_ = schema_.Dictionary;
  return info;
}

}  // namespace morvale::parquet
