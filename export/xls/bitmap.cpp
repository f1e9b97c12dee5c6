// The sheet background: a picture drawn as 24-bit rows and stored in BITMAP records. JPEG files
// are decoded with libjpeg, 24-bit BMP files are taken as they are; other pictures cannot be
// drawn without a picture library and leave the sheet without a background.
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "export/xls/extras.h"

namespace morvale {

namespace biff {
constexpr uint16_t kBitmap = 0x00E9;
}

namespace {

// libjpeg reports a broken file through error_exit, which must not return: it jumps back to the
// decoding function, which then gives up on the picture.
struct TJpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1);
}

void JpegSilence(j_common_ptr, int) {}

// Decodes into `rgb` (top-down RGB rows) when `rgb` is given, else reads the header alone. Only
// plain C objects live here, since a longjmp skips destructors.
bool DecodeJpeg(const unsigned char* data, unsigned long size,
                unsigned char* (*grow)(void*, size_t), void* ctx, int& width, int& height) {
  jpeg_decompress_struct info;
  TJpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegErrorExit;
  err.mgr.emit_message = JpegSilence;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  width = static_cast<int>(info.image_width);
  height = static_cast<int>(info.image_height);
  // What a BITMAP record can say, and no more than 256 MB of pixels.
  if (grow && (width > 0xFFFF || height > 0xFFFF ||
               size_t{info.image_width} * 3 * info.image_height > (size_t{1} << 28))) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  if (grow) {
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const size_t stride = static_cast<size_t>(info.output_width) * 3;
    unsigned char* out = grow(ctx, stride * info.output_height);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = out + stride * info.output_scanline;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
  }
  jpeg_destroy_decompress(&info);
  return true;
}

unsigned char* GrowString(void* ctx, size_t n) {
  auto* s = static_cast<std::string*>(ctx);
  s->assign(n, '\0');
  return reinterpret_cast<unsigned char*>(s->data());
}

size_t Stride(int width) {
  return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
}

bool BmpPixels(const std::string& f, std::string& pixels, int& width, int& height) {
  const auto* b = reinterpret_cast<const uint8_t*>(f.data());
  if (f.size() < 54 || f[0] != 'B' || f[1] != 'M') return false;
  const uint32_t offset = GetU32(b + 10);
  const auto w = static_cast<int32_t>(GetU32(b + 18));
  const auto h = static_cast<int32_t>(GetU32(b + 22));
  if (GetU16(b + 28) != 24 || GetU32(b + 30) != 0 || w <= 0 || w > 0xFFFF || h == 0 ||
      h < -0xFFFF || h > 0xFFFF)
    return false;
  width = w;
  height = h < 0 ? -h : h;
  const size_t stride = Stride(width);
  if (offset > f.size() || f.size() - offset < stride * static_cast<size_t>(height)) return false;
  pixels.assign(f, offset, stride * static_cast<size_t>(height));
  if (h < 0)  // top-down rows: BITMAP keeps them bottom-up
    for (int r = 0; r < height / 2; ++r)
      std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(stride * r),
                       pixels.begin() + static_cast<std::ptrdiff_t>(stride * (r + 1)),
                       pixels.begin() + static_cast<std::ptrdiff_t>(stride * (height - 1 - r)));
  return true;
}

}  // namespace

bool xlsJpegSize(const std::string& bytes, int& width, int& height) {
  return DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), nullptr,
                    nullptr, width, height);
}

bool xlsDecodeToBitmap(TxlsGraphicType type, const std::string& file, std::string& pixels,
                       int& width, int& height) {
  if (type == gtBMP) return BmpPixels(file, pixels, width, height);
  if (type != gtJPEG) return false;
  std::string rgb;
  if (!DecodeJpeg(reinterpret_cast<const unsigned char*>(file.data()), file.size(), GrowString,
                  &rgb, width, height) ||
      width <= 0 || height <= 0)
    return false;
  // Bottom-up rows of blue, green, red, each padded to 4 bytes.
  const size_t stride = Stride(width), in = static_cast<size_t>(width) * 3;
  pixels.assign(stride * static_cast<size_t>(height), '\0');
  for (int r = 0; r < height; ++r) {
    const char* src = rgb.data() + in * static_cast<size_t>(r);
    char* dst = pixels.data() + stride * static_cast<size_t>(height - 1 - r);
    for (int x = 0; x < width; ++x) {
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  return true;
}

void WriteBackground(TbiffWriter& w, const TxlsGraphic& bg) {
  std::string pixels;
  int width = bg.Width, height = bg.Height;
  if (!bg.Content.empty()) {
    pixels = bg.Content;
  } else {
    if (bg.FileName.empty()) return;
    std::ifstream in(bg.FileName, std::ios::binary);
    if (!in) return;
    std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!xlsDecodeToBitmap(bg.GraphicType(), file, pixels, width, height)) return;
  }
  if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return;
  uint8_t* d = w.Data();
  PutU16(d, 9);  // a bitmap
  PutU16(d + 2, 1);
  PutU32(d + 4, static_cast<uint32_t>(pixels.size() + 12));
  PutU32(d + 8, 12);  // the core header that follows
  PutU16(d + 12, static_cast<unsigned>(width));
  PutU16(d + 14, static_cast<unsigned>(height));
  PutU16(d + 16, 1);
  PutU16(d + 18, 24);
  size_t first = pixels.size() + 20 <= biff::kMaxObjectData ? pixels.size() : 8200;
  std::copy(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(first), d + 20);
  w.WriteRecord(biff::kBitmap, 20 + first);
  for (size_t at = first; at < pixels.size();) {
    const size_t n = std::min<size_t>(8212, pixels.size() - at);
    std::copy(pixels.begin() + static_cast<std::ptrdiff_t>(at),
              pixels.begin() + static_cast<std::ptrdiff_t>(at + n), w.Data());
    w.WriteRecord(biff::kContinue, n);
    at += n;
  }
}

}  // namespace morvale
