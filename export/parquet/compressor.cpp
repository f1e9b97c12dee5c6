#include "export/parquet/compressor.h"

#include <zstd.h>

#include "export/core/classes.h"

namespace morvale::parquet {

TCompressor::TCompressor(TCodec codec, int level) : codec_(codec), level_(level) {
  if (codec_ == TCodec::kZstd) {
    context_ = ZSTD_createCCtx();
    if (!context_) throw Exception("zstd: out of memory");
  }
}

TCompressor::~TCompressor() {
  ZSTD_freeCCtx(context_);
}

std::string_view TCompressor::Compress(std::string_view body, std::string& scratch) {
  if (codec_ == TCodec::kUncompressed) return body;
  scratch.resize(ZSTD_compressBound(body.size()));
  const size_t n =
      ZSTD_compressCCtx(context_, scratch.data(), scratch.size(), body.data(), body.size(), level_);
  if (ZSTD_isError(n)) throw Exception(std::string("zstd: ") + ZSTD_getErrorName(n));
  scratch.resize(n);
  return scratch;
}

}  // namespace morvale::parquet
