// Compressed text outputs: gzip through zlib and zstd through libzstd, streamed block by block, so
// a file of any size is packed in the memory of one compression window.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "export/core/streams.h"

namespace morvale {

enum TCompression : int { cmpNone, cmpGzip, cmpZstd };

// "none", "gzip", "zstd" (any case; "gz" and "zst" too).
bool CompressionByName(std::string_view name, TCompression& compression);
std::string CompressionName(TCompression compression);
// ".gz", ".zst"; empty for none.
std::string CompressionExtension(TCompression compression);

// Packs what is written to it into `target`. Finish ends the compressed stream (its trailer and
// checksum); a stream dropped without Finish leaves an unfinished file, which the run discards.
class TCompressStream : public TStream {
 public:
  TCompressStream(TStream& target, TCompression compression, const std::string& fileName);
  ~TCompressStream() override;
  TCompressStream(const TCompressStream&) = delete;
  TCompressStream& operator=(const TCompressStream&) = delete;
  using TStream::Write;
  void Write(const void* data, size_t size) override;
  // Bytes taken in, before compression.
  int64_t Position() const override { return taken_; }
  // A flush would end a compression block early and cost ratio for nothing: the bytes are packed
  // when a block is full or when the stream finishes.
  void Flush() override {}
  void Finish();

 private:
  struct TCodec;
  TStream& target_;
  std::unique_ptr<TCodec> codec_;
  int64_t taken_ = 0;
};

}  // namespace morvale
