// The workbook stream while it is being written: a seekable buffer in an unlinked temporary file,
// so that a sheet of a million cells keeps memory flat. The finishing step patches records in it
// (DIMENSIONS, COLINFO) and finally copies it into the compound document in one piece.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

#include "export/core/streams.h"

namespace morvale {

class TxlsTempStream : public TStream {
 public:
  TxlsTempStream();
  ~TxlsTempStream() override;
  TxlsTempStream(const TxlsTempStream&) = delete;
  TxlsTempStream& operator=(const TxlsTempStream&) = delete;

  // Small writes land in the buffer: the hot path of every cell record.
  void Write(const void* data, size_t size) override {
    if (size <= kBufferSize - fill_) {
      std::memcpy(buffer_.get() + fill_, data, size);
      fill_ += size;
      int64_t end = bufStart_ + static_cast<int64_t>(fill_);
      if (end > size_) size_ = end;
      return;
    }
    WriteSlow(data, size);
  }
  using TStream::Write;
  int64_t Position() const override { return bufStart_ + static_cast<int64_t>(fill_); }
  int64_t Size() const override { return size_; }
  void Seek(int64_t position) override;
  void Flush() override;
  // Reads bytes already written (at any position); the write position stays.
  void ReadAt(int64_t position, void* data, size_t size);
  // Hands the bytes of [from, to) to `sink` in large pieces.
  void CopyRange(int64_t from, int64_t to, const std::function<void(const void*, size_t)>& sink);

 private:
  static constexpr size_t kBufferSize = size_t{1} << 16;
  void WriteSlow(const void* data, size_t size);
  void PWrite(int64_t position, const void* data, size_t size);
  int fd_ = -1;
  std::unique_ptr<uint8_t[]> buffer_;
  size_t fill_ = 0;       // bytes in the buffer
  int64_t bufStart_ = 0;  // stream position of buffer_[0]
  int64_t size_ = 0;      // logical size of the stream
};

}  // namespace morvale
