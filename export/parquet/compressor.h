// Page compression: a zstd frame of the page body through one reused context, or the body as it
// is.
#pragma once

#include <string>
#include <string_view>

#include "export/parquet/schema.h"

struct ZSTD_CCtx_s;

namespace morvale::parquet {

class TCompressor {
 public:
  explicit TCompressor(TCodec codec, int level = 1);
  ~TCompressor();
  TCompressor(const TCompressor&) = delete;
  TCompressor& operator=(const TCompressor&) = delete;

  TCodec Codec() const { return codec_; }
  // The body as it goes into the file: compressed into `scratch`, or `body` itself.
  std::string_view Compress(std::string_view body, std::string& scratch);

 private:
  TCodec codec_;
  int level_;
  ZSTD_CCtx_s* context_ = nullptr;
};

}  // namespace morvale::parquet
