#include "export/xls/tempstream.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "export/core/classes.h"
#include "export/core/translate.h"

namespace morvale {

static std::string TempFolder() {
  const char* t = getenv("TMPDIR");
  return (t && *t) ? std::string(t) : std::string("/tmp");
}

TxlsTempStream::TxlsTempStream() : buffer_(new uint8_t[kBufferSize]) {
  std::string path = TempFolder() + "/morvale-xls-XXXXXX";
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  fd_ = mkstemp(name.data());
  if (fd_ < 0)
    throw Exception(
        Format(TranslateText("Engine", "Cannot create a temporary file in %s"), {TempFolder()}));
  // Unlinked at once: the space goes back to the system however the run ends.
  unlink(name.data());
}

TxlsTempStream::~TxlsTempStream() {
  if (fd_ >= 0) close(fd_);
}

void TxlsTempStream::PWrite(int64_t position, const void* data, size_t size) {
  auto p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    ssize_t n = pwrite(fd_, p, size, position);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw Exception(TranslateText("Engine", "Error writing output file"));
    p += n;
    size -= static_cast<size_t>(n);
    position += n;
  }
}

void TxlsTempStream::Flush() {
  if (fill_ == 0) return;
  PWrite(bufStart_, buffer_.get(), fill_);
  bufStart_ += static_cast<int64_t>(fill_);
  fill_ = 0;
}

void TxlsTempStream::WriteSlow(const void* data, size_t size) {
  Flush();
  if (size >= kBufferSize) {
    PWrite(bufStart_, data, size);
    bufStart_ += static_cast<int64_t>(size);
    if (bufStart_ > size_) size_ = bufStart_;
    return;
  }
  Write(data, size);
}

void TxlsTempStream::Seek(int64_t position) {
  if (position < 0 || position > size_)
    throw Exception(TranslateText("Engine", "Seek outside the workbook stream"));
  Flush();
  bufStart_ = position;
}

void TxlsTempStream::ReadAt(int64_t position, void* data, size_t size) {
  Flush();
  auto p = static_cast<uint8_t*>(data);
  while (size > 0) {
    ssize_t n = pread(fd_, p, size, position);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw Exception(TranslateText("Engine", "Error reading the workbook stream"));
    p += n;
    size -= static_cast<size_t>(n);
    position += n;
  }
}

void TxlsTempStream::CopyRange(int64_t from, int64_t to,
                               const std::function<void(const void*, size_t)>& sink) {
  std::vector<uint8_t> chunk(size_t{1} << 18);
  while (from < to) {
    size_t n =
        static_cast<size_t>(std::min<int64_t>(to - from, static_cast<int64_t>(chunk.size())));
    ReadAt(from, chunk.data(), n);
    sink(chunk.data(), n);
    from += static_cast<int64_t>(n);
  }
}

}  // namespace morvale
