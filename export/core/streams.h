// Byte streams the writers write to: a buffered file, memory, standard output. Write failures raise
// an Exception naming the file, so a full disk never passes as a finished export.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "export/core/classes.h"

namespace morvale {

class TOutputFiles;

class TStream : public TObject {
 public:
  virtual void Write(const void* data, size_t size) = 0;
  void Write(std::string_view s) { Write(s.data(), s.size()); }
  // Current write position and total size; streams that cannot seek answer what they have written.
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const { return Position(); }
  // Moves the write position (used to patch a header after the data); throws when not seekable.
  virtual void Seek(int64_t position);
  virtual void Flush() {}
};

class TMemoryStream : public TStream {
 public:
  using TStream::Write;
  void Write(const void* data, size_t size) override;
  int64_t Position() const override { return static_cast<int64_t>(pos_); }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
  void Seek(int64_t position) override;
  const std::string& Data() const { return data_; }
  std::string& Data() { return data_; }
  void Clear() {
    data_.clear();
    pos_ = 0;
  }

 private:
  std::string data_;
  size_t pos_ = 0;
};

// A file created (replacing any file of the name) and written through a buffer.
class TFileStream : public TStream {
 public:
  enum Mode { fmCreate, fmOpenRead, fmOpenReadWrite };
  TFileStream(const std::string& fileName, Mode mode = fmCreate);
  // A stream over a descriptor it now owns, positioned at the file's start: `fileName` names it
  // in messages, `path` opens it again by name, `files` is the group it writes in (outputfiles.h).
  TFileStream(int fd, std::string fileName, std::string path, TOutputFiles* files);
  ~TFileStream() override;
  using TStream::Write;
  void Write(const void* data, size_t size) override;
  size_t Read(void* data, size_t size);
  // Reads back bytes written before, at `position`, leaving the write position where it is.
  size_t ReadAt(int64_t position, void* data, size_t size);
  int64_t Position() const override;
  int64_t Size() const override;
  void Seek(int64_t position) override;
  void Flush() override;
  // Flushes and closes; raises on a write error that the buffer was hiding.
  void Close();
  const std::string& FileName() const { return fileName_; }
  // Where the bytes written so far can be opened again by name: the file's own name, or the
  // temporary of a file that its group puts in place later.
  const std::string& Path() const { return path_.empty() ? fileName_ : path_; }
  // The group of files the stream belongs to (a sibling such as a memo file joins it), or nullptr.
  TOutputFiles* Files() const { return files_; }
  int Handle() const { return fd_; }

 private:
  void FlushBuffer();
  void WriteBehind();
  static constexpr int64_t kWriteBehind = 8 << 20;
  std::string fileName_;
  std::string path_;
  TOutputFiles* files_ = nullptr;
  int fd_ = -1;
  std::string buffer_;
  int64_t filePos_ = 0;      // position of the buffer's start in the file
  int64_t writtenBack_ = 0;  // the bytes before it are on their way to the disk
};

// Standard output or any open descriptor, buffered; not seekable.
class TFdStream : public TStream {
 public:
  explicit TFdStream(int fd, std::string name = "standard output") : fd_(fd), name_(name) {}
  ~TFdStream() override;
  using TStream::Write;
  void Write(const void* data, size_t size) override;
  int64_t Position() const override { return written_ + static_cast<int64_t>(buffer_.size()); }
  void Flush() override;

 private:
  int fd_;
  std::string name_;
  std::string buffer_;
  int64_t written_ = 0;
};

}  // namespace morvale
