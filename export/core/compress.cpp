#include "export/core/compress.h"

#include <zlib.h>
#include <zstd.h>

#include <vector>

#include "export/core/translate.h"

namespace morvale {

bool CompressionByName(std::string_view name, TCompression& compression) {
  if (SameText(name, "none")) {
    compression = cmpNone;
  } else if (SameText(name, "gzip") || SameText(name, "gz")) {
    compression = cmpGzip;
  } else if (SameText(name, "zstd") || SameText(name, "zst")) {
    compression = cmpZstd;
  } else {
    return false;
  }
  return true;
}

std::string CompressionName(TCompression compression) {
  switch (compression) {
    case cmpGzip:
      return "gzip";
    case cmpZstd:
      return "zstd";
    default:
      return "none";
  }
}

std::string CompressionExtension(TCompression compression) {
  switch (compression) {
    case cmpGzip:
      return ".gz";
    case cmpZstd:
      return ".zst";
    default:
      return {};
  }
}

namespace {

constexpr size_t kOut = 1 << 16;

[[noreturn]] void RaiseCompress(const std::string& fileName, const std::string& reason) {
  throw Exception(Format(TranslateText("Engine", "Cannot compress '%s': %s"), {fileName, reason}));
}

}  // namespace

struct TCompressStream::TCodec {
  TCompression kind;
  std::string fileName;
  std::vector<char> out = std::vector<char>(kOut);
  z_stream z{};
  bool zOpen = false;
  ZSTD_CStream* zstd = nullptr;

  ~TCodec() {
    if (zOpen) deflateEnd(&z);
    if (zstd) ZSTD_freeCStream(zstd);
  }

  // Feeds `size` bytes (none with `last`, which ends the stream) and writes what comes out.
  void Pack(TStream& target, const char* data, size_t size, bool last) {
    if (kind == cmpGzip) {
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
      z.avail_in = static_cast<uInt>(size);
      int r;
      do {
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        r = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (r == Z_STREAM_ERROR) RaiseCompress(fileName, z.msg ? z.msg : "zlib");
        target.Write(out.data(), out.size() - z.avail_out);
      } while (z.avail_out == 0 || (last && r != Z_STREAM_END));
      return;
    }
    ZSTD_inBuffer in{data, size, 0};
    for (;;) {
      ZSTD_outBuffer o{out.data(), out.size(), 0};
      const size_t left = ZSTD_compressStream2(zstd, &o, &in, last ? ZSTD_e_end : ZSTD_e_continue);
      if (ZSTD_isError(left)) RaiseCompress(fileName, ZSTD_getErrorName(left));
      target.Write(out.data(), o.pos);
      if (last ? left == 0 : in.pos == in.size) return;
    }
  }
};

TCompressStream::TCompressStream(TStream& target, TCompression compression,
                                 const std::string& fileName)
    : target_(target), codec_(std::make_unique<TCodec>()) {
  codec_->kind = compression;
  codec_->fileName = fileName;
  if (compression == cmpGzip) {
    // 15 + 16: a deflate window of 32 KB in a gzip wrapper (header, CRC-32 and length trailer).
    if (deflateInit2(&codec_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
      RaiseCompress(fileName, "zlib");
    codec_->zOpen = true;
  } else if (compression == cmpZstd) {
    codec_->zstd = ZSTD_createCStream();
    if (!codec_->zstd) RaiseCompress(fileName, "libzstd");
    ZSTD_CCtx_setParameter(codec_->zstd, ZSTD_c_compressionLevel, ZSTD_CLEVEL_DEFAULT);
    ZSTD_CCtx_setParameter(codec_->zstd, ZSTD_c_checksumFlag, 1);
  } else {
    RaiseCompress(fileName, "no compression chosen");
  }
}

TCompressStream::~TCompressStream() = default;

void TCompressStream::Write(const void* data, size_t size) {
  taken_ += static_cast<int64_t>(size);
  // zlib counts in 32 bits: a larger write goes in slices.
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const size_t slice = std::min<size_t>(size, 1u << 30);
    codec_->Pack(target_, p, slice, false);
    p += slice;
    size -= slice;
  }
}

void TCompressStream::Finish() {
  codec_->Pack(target_, nullptr, 0, true);
}

}  // namespace morvale
