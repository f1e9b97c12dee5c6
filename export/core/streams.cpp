#include "export/core/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "export/core/translate.h"

namespace morvale {

namespace {

constexpr size_t kBufferSize = 1 << 16;

// `what` is a pattern with the file's name and the system's reason.
[[noreturn]] void RaiseIo(const char* what, const std::string& name, int err) {
  throw Exception(Format(TranslateText("Engine", what), {name, std::strerror(err)}));
}

// Writes everything or raises; short writes and EINTR are retried.
void WriteAll(int fd, const char* p, size_t n, const std::string& name) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      RaiseIo(MVL_TEXT_NOOP("Engine", "Cannot write to '%s': %s"), name, errno);
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
}

}  // namespace

void TStream::Seek(int64_t) {
  throw Exception(TranslateText("Engine", "Stream does not support seeking"));
}

void TMemoryStream::Write(const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  if (pos_ == data_.size()) {
    data_.append(p, size);
  } else {
    if (pos_ + size > data_.size()) data_.resize(pos_ + size);
    std::memcpy(&data_[pos_], p, size);
  }
  pos_ += size;
}

void TMemoryStream::Seek(int64_t position) {
  if (position < 0) throw Exception(TranslateText("Engine", "Invalid stream position"));
  pos_ = static_cast<size_t>(position);
  if (pos_ > data_.size()) data_.resize(pos_);
}

TFileStream::TFileStream(const std::string& fileName, Mode mode) : fileName_(fileName) {
  int flags =
      mode == fmCreate ? (O_WRONLY | O_CREAT | O_TRUNC) : (mode == fmOpenRead ? O_RDONLY : O_RDWR);
  // 0666: a new file gets the permissions the user's umask gives.
  fd_ = ::open(fileName.c_str(), flags | O_CLOEXEC, 0666);
  if (fd_ < 0)
    RaiseIo(mode == fmCreate ? MVL_TEXT_NOOP("Engine", "Cannot create file '%s': %s")
                             : MVL_TEXT_NOOP("Engine", "Cannot open file '%s': %s"),
            fileName, errno);
  buffer_.reserve(kBufferSize);
}

TFileStream::TFileStream(int fd, std::string fileName, std::string path, TOutputFiles* files)
    : fileName_(std::move(fileName)), path_(std::move(path)), files_(files), fd_(fd) {
  buffer_.reserve(kBufferSize);
}

TFileStream::~TFileStream() {
  if (fd_ < 0) return;
  try {
    FlushBuffer();
  } catch (...) {
    // A destructor cannot report; callers that care call Close() and see the error.
  }
  ::close(fd_);
}

void TFileStream::Write(const void* data, size_t size) {
  if (fd_ < 0) throw Exception(Format(TranslateText("Engine", "File '%s' is closed"), {fileName_}));
  if (buffer_.size() + size > kBufferSize) {
    FlushBuffer();
    if (size >= kBufferSize) {
      WriteAll(fd_, static_cast<const char*>(data), size, fileName_);
      filePos_ += static_cast<int64_t>(size);
      WriteBehind();
      return;
    }
  }
  buffer_.append(static_cast<const char*>(data), size);
}

size_t TFileStream::Read(void* data, size_t size) {
  FlushBuffer();
  size_t done = 0;
  while (done < size) {
    ssize_t r = ::read(fd_, static_cast<char*>(data) + done, size - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      RaiseIo(MVL_TEXT_NOOP("Engine", "Cannot read '%s': %s"), fileName_, errno);
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  filePos_ += static_cast<int64_t>(done);
  return done;
}

size_t TFileStream::ReadAt(int64_t position, void* data, size_t size) {
  FlushBuffer();
  // A file created for writing only is read through a descriptor of its own.
  int own = -1;
  if ((::fcntl(fd_, F_GETFL) & O_ACCMODE) == O_WRONLY) {
    own = ::open(Path().c_str(), O_RDONLY | O_CLOEXEC);
    if (own < 0) RaiseIo(MVL_TEXT_NOOP("Engine", "Cannot read '%s': %s"), fileName_, errno);
  }
  const int fd = own >= 0 ? own : fd_;
  size_t done = 0;
  int err = 0;
  while (done < size) {
    ssize_t r = ::pread(fd, static_cast<char*>(data) + done, size - done,
                        position + static_cast<int64_t>(done));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) err = errno;
    if (r <= 0) break;
    done += static_cast<size_t>(r);
  }
  if (own >= 0) ::close(own);
  if (err) RaiseIo(MVL_TEXT_NOOP("Engine", "Cannot read '%s': %s"), fileName_, err);
  return done;
}

void TFileStream::FlushBuffer() {
  if (buffer_.empty()) return;
  std::string pending;
  pending.swap(buffer_);
  buffer_.reserve(kBufferSize);
  WriteAll(fd_, pending.data(), pending.size(), fileName_);
  filePos_ += static_cast<int64_t>(pending.size());
  WriteBehind();
}

void TFileStream::WriteBehind() {
  // A file of a group is made durable before the group puts it in place (TOutputFiles::Commit).
  // Handing what is written to the disk as the file grows lets the disk work while the export
  // does, so that the sync at the end waits for the last few megabytes, not for the whole file.
  // Only a start: nothing waits here, and a failure shows in the sync.
  if (!files_ || filePos_ - writtenBack_ < kWriteBehind) return;
  ::sync_file_range(fd_, writtenBack_, filePos_ - writtenBack_, SYNC_FILE_RANGE_WRITE);
  writtenBack_ = filePos_;
}

int64_t TFileStream::Position() const {
  return filePos_ + static_cast<int64_t>(buffer_.size());
}

int64_t TFileStream::Size() const {
  struct stat st;
  if (fstat(fd_, &st) != 0) return Position();
  return std::max<int64_t>(st.st_size, Position());
}

void TFileStream::Seek(int64_t position) {
  FlushBuffer();
  if (::lseek(fd_, position, SEEK_SET) < 0)
    RaiseIo(MVL_TEXT_NOOP("Engine", "Cannot seek in '%s': %s"), fileName_, errno);
  filePos_ = position;
}

void TFileStream::Flush() {
  FlushBuffer();
}

void TFileStream::Close() {
  if (fd_ < 0) return;
  int fd = fd_;
  try {
    FlushBuffer();
  } catch (...) {
    ::close(fd);
    fd_ = -1;
    throw;
  }
  fd_ = -1;
  if (::close(fd) != 0)
    RaiseIo(MVL_TEXT_NOOP("Engine", "Cannot write to '%s': %s"), fileName_, errno);
}

TFdStream::~TFdStream() {
  try {
    Flush();
  } catch (...) {
  }
}

void TFdStream::Write(const void* data, size_t size) {
  buffer_.append(static_cast<const char*>(data), size);
  if (buffer_.size() >= kBufferSize) Flush();
}

void TFdStream::Flush() {
  if (buffer_.empty()) return;
  std::string pending;
  pending.swap(buffer_);
  WriteAll(fd_, pending.data(), pending.size(), name_);
  written_ += static_cast<int64_t>(pending.size());
}

}  // namespace morvale
