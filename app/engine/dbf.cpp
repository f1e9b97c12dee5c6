#include "app/engine/dbf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "export/core/classes.h"
#include "export/core/dbflayout.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

class TFileSource : public TByteSource {
 public:
  TFileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~TFileSource() override { close(fd_); }
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* buffer, size_t n) const override {
    auto* p = static_cast<char*>(buffer);
    while (n > 0) {
      ssize_t got = pread(fd_, p, n, static_cast<off_t>(offset));
      if (got <= 0) return false;
      p += got;
      n -= static_cast<size_t>(got);
      offset += static_cast<uint64_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  uint64_t size_;
};

class TMemorySource : public TByteSource {
 public:
  explicit TMemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t n) const override {
    if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
    std::memcpy(buffer, bytes_.data() + offset, n);
    return true;
  }

 private:
  std::string bytes_;
};

uint16_t U16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

// Field names become column names: keep them printable and distinct.
std::string CleanName(const unsigned char* raw, size_t index,
                      const std::vector<TDbfField>& earlier) {
  std::string name;
  for (size_t i = 0; i < kDBFNameBytes && raw[i]; ++i) {
    unsigned char c = raw[i];
    name += (c > 32 && c < 127 && c != '"') ? static_cast<char>(c) : '_';
  }
  if (name.empty()) name = "FIELD" + std::to_string(index + 1);
  std::string unique = name;
  for (int n = 2;; ++n) {
    bool clash = std::any_of(earlier.begin(), earlier.end(),
                             [&](const TDbfField& f) { return SameText(f.Name, unique); });
    if (!clash) return unique;
    unique = name + "_" + std::to_string(n);
  }
}

std::string SwapExtension(const std::string& path, const char* ext) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  std::string base = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                         ? path.substr(0, dot)
                         : path;
  return base + ext;
}

}  // namespace

std::unique_ptr<TByteSource> OpenFileSource(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<TFileSource>(fd, static_cast<uint64_t>(st.st_size));
}

std::unique_ptr<TByteSource> MemorySource(std::string bytes) {
  return std::make_unique<TMemorySource>(std::move(bytes));
}

TDbfTable::TDbfTable(std::string name, std::unique_ptr<TByteSource> table,
                     std::unique_ptr<TByteSource> memo, std::string memoName)
    : name_(std::move(name)),
      memoName_(std::move(memoName)),
      table_(std::move(table)),
      memo_(std::move(memo)) {
  if (memoName_.empty()) memoName_ = SwapExtension(name_, ".dbt");
  ReadHeader();
}

std::unique_ptr<TDbfTable> TDbfTable::OpenFile(const std::string& path) {
  auto table = OpenFileSource(path);
  if (!table)
    throw Exception(Format(TranslateText("Engine", "Table file \"%s\" cannot be opened"), {path}));
  std::string memoName = SwapExtension(path, ".dbt");
  auto memo = OpenFileSource(memoName);
  if (!memo) {
    std::string upper = SwapExtension(path, ".DBT");
    memo = OpenFileSource(upper);
    if (memo) memoName = upper;
  }
  return std::make_unique<TDbfTable>(path, std::move(table), std::move(memo), memoName);
}

void TDbfTable::Damaged(const std::string& what) const {
  throw Exception(
      Format(TranslateText("Engine", "Table file \"%s\" is damaged: %s"), {name_, what}));
}

void TDbfTable::MemoDamaged(const std::string& what) const {
  throw Exception(
      Format(TranslateText("Engine", "Memo file \"%s\" is damaged: %s"), {memoName_, what}));
}

void TDbfTable::ReadHeader() {
  unsigned char head[kDBFHeaderSize];
  uint8_t version = 0;
  if (table_->Size() >= kDBFHeaderSize && table_->ReadAt(0, head, kDBFHeaderSize))
    version = head[0];
  // dBASE III and its kin (with or without memo, dBASE IV memo) only.
  if (version != kDBFVersion && version != kDBFVersionMemo && version != kDBFVersionMemo4)
    throw Exception(
        Format(TranslateText("Engine", "Table file \"%s\" is not a dBASE table"), {name_}));
  recordCount_ = U32(head + kDBFRecordCountAt);
  headerSize_ = U16(head + kDBFHeaderLengthAt);
  recordSize_ = U16(head + kDBFRecordLengthAt);
  if (static_cast<size_t>(headerSize_) < kDBFHeaderSize + kDBFDescriptorSize + 1 ||
      static_cast<uint64_t>(headerSize_) > table_->Size())
    Damaged("the header size is wrong");
  std::vector<unsigned char> desc(static_cast<size_t>(headerSize_) - kDBFHeaderSize);
  if (!table_->ReadAt(kDBFHeaderSize, desc.data(), desc.size()))
    Damaged("the header cannot be read");
  int offset = 0;
  bool terminated = false;
  for (size_t at = 0; at + 1 <= desc.size(); at += kDBFDescriptorSize) {
    if (desc[at] == kDBFHeaderEnd) {
      terminated = true;
      break;
    }
    if (at + kDBFDescriptorSize > desc.size()) break;
    const unsigned char* d = desc.data() + at;
    TDbfField f;
    f.Name = CleanName(d, fields_.size(), fields_);
    f.Type = static_cast<char>(std::toupper(d[kDBFTypeAt]));
    f.Length = d[kDBFLengthAt];
    f.Decimals = d[kDBFDecimalsAt];
    // Character fields longer than 255 keep the high byte of their length in the decimals.
    if (f.Type == kDBFCharacter) {
      f.Length += f.Decimals * 256;
      f.Decimals = 0;
    }
    if (f.Length == 0) Damaged("field " + f.Name + " has no length");
    f.Offset = offset;
    offset += f.Length;
    fields_.push_back(std::move(f));
  }
  if (fields_.empty()) Damaged("it has no fields");
  if (!terminated) Damaged("the field list is not terminated");
  if (recordSize_ < offset + 1) Damaged("the record size does not hold the fields");
  uint64_t needed =
      static_cast<uint64_t>(headerSize_) + static_cast<uint64_t>(recordCount_) * recordSize_;
  if (needed > table_->Size())
    throw Exception(Format(
        "Table file \"%s\" is truncated: it holds fewer records than its header says", {name_}));
  bool hasMemo = std::any_of(fields_.begin(), fields_.end(),
                             [](const TDbfField& f) { return f.Type == kDBFMemo; });
  if (hasMemo) {
    if (!memo_)
      throw Exception(Format(TranslateText("Engine", "Memo file \"%s\" not found"), {memoName_}));
    unsigned char mh[24];
    if (!memo_->ReadAt(0, mh, sizeof mh)) MemoDamaged("the header cannot be read");
    // dBASE IV keeps its block size in the header; dBASE III always uses 512.
    if (version == kDBFVersionMemo4) {
      uint16_t size = U16(mh + kDBFMemo4BlockSizeAt);
      if (size >= 64) memoBlockSize_ = size;
    }
  }
}

std::string TDbfTable::DeclaredType(const TDbfField& f) {
  std::string len = std::to_string(f.Length), dec = std::to_string(f.Decimals);
  switch (f.Type) {
    case kDBFNumeric:
      return "NUMERIC(" + len + "," + dec + ")";
    case kDBFFloat:
      return "FLOAT(" + len + "," + dec + ")";
    case kDBFDate:
      return "DATE";
    case kDBFLogical:
      return "LOGICAL";
    case kDBFMemo:
      return "MEMO";
    default:
      return "CHAR(" + len + ")";
  }
}

void TDbfTable::ReadRecords(uint32_t first, uint32_t n, char* buffer) const {
  uint64_t at = static_cast<uint64_t>(headerSize_) + static_cast<uint64_t>(first) * recordSize_;
  if (!table_->ReadAt(at, buffer, static_cast<size_t>(n) * static_cast<size_t>(recordSize_)))
    throw Exception(Format(
        "Table file \"%s\" is truncated: it holds fewer records than its header says", {name_}));
}

// A memo longer than this is taken for a damaged pointer rather than read into memory.
constexpr uint64_t kMaxMemo = 64u << 20;

bool TDbfTable::ReadMemo(std::string_view ref, std::string& out) const {
  out.clear();
  ref = TrimBlanks(ref);
  uint64_t block = 0;
  auto r = std::from_chars(ref.data(), ref.data() + ref.size(), block);
  if (ref.empty() || r.ec != std::errc() || r.ptr != ref.data() + ref.size() || block == 0)
    return false;
  if (!memo_)
    throw Exception(Format(TranslateText("Engine", "Memo file \"%s\" not found"), {memoName_}));
  uint64_t at = block * memoBlockSize_;
  uint64_t size = memo_->Size();
  if (block > size / memoBlockSize_ || at >= size)
    MemoDamaged("block " + std::to_string(block) + " is past its end");
  constexpr size_t kHead = kDBFMemo4BlockHead;
  unsigned char head[kHead];
  if (size - at >= kHead && memo_->ReadAt(at, head, kHead) && U32(head) == kDBFMemo4Marker) {
    // dBASE IV block: a marker and the length of the text with these 8 bytes.
    uint32_t length = U32(head + 4);
    if (length < kHead || length - kHead > size - at - kHead)
      MemoDamaged("the memo in block " + std::to_string(block) + " runs past its end");
    if (length - kHead > kMaxMemo)
      MemoDamaged("the memo in block " + std::to_string(block) + " is too long");
    out.resize(length - kHead);
    if (!memo_->ReadAt(at + kHead, out.data(), out.size())) MemoDamaged("it cannot be read");
    return true;
  }
  // dBASE III: the text runs to an end-of-file mark (0x1A), or to the end of the file.
  char chunk[kDBFMemoBlock];
  while (at < size) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(sizeof chunk, size - at));
    if (!memo_->ReadAt(at, chunk, n)) MemoDamaged("it cannot be read");
    const char* end = static_cast<const char*>(std::memchr(chunk, kDBFFileEnd, n));
    if (end) {
      out.append(chunk, static_cast<size_t>(end - chunk));
      return true;
    }
    out.append(chunk, n);
    at += n;
    if (out.size() > kMaxMemo)
      MemoDamaged("the memo in block " + std::to_string(block) + " has no end mark");
  }
  return true;
}

bool TDbfReader::Seek(uint32_t i) {
  if (i >= table_.RecordCount()) return false;
  if (i < first_ || i >= first_ + count_) {
    size_t size = static_cast<size_t>(table_.RecordSize());
    uint32_t n = static_cast<uint32_t>(std::max<size_t>(1, (64u << 10) / size));
    n = std::min(n, table_.RecordCount() - i);
    buffer_.resize(n * size);
    table_.ReadRecords(i, n, buffer_.data());
    first_ = i;
    count_ = n;
  }
  record_ = buffer_.data() + static_cast<size_t>(i - first_) * table_.RecordSize();
  return true;
}

namespace {

bool ParseInt(std::string_view s, int64_t& v) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ParseFloat(std::string_view s, double& v) {
  // Some writers put a decimal comma where dBASE has a point.
  char buf[64];
  if (s.empty() || s.size() >= sizeof buf) return false;
  size_t n = 0;
  for (char c : s) buf[n++] = c == ',' ? '.' : c;
  const char* b = buf;
  if (*b == '+') ++b;
  auto r = std::from_chars(b, buf + n, v);
  return r.ec == std::errc() && r.ptr == buf + n && std::isfinite(v);
}

}  // namespace

void DecodeDbfValue(const TDbfTable& table, const TDbfField& f, std::string_view bytes,
                    TDbfValue& out) {
  out.Kind = TDbfValueKind::Null;
  switch (f.Type) {
    case kDBFNumeric:
    case kDBFFloat: {
      std::string_view s = TrimBlanks(bytes);
      if (s.empty()) return;
      if (f.Decimals == 0 && ParseInt(s, out.Int)) {
        out.Kind = TDbfValueKind::Int;
      } else if (ParseFloat(s, out.Float)) {
        out.Kind = TDbfValueKind::Float;
      } else {  // an overflow mark such as "*****", or garbage: shown as it is
        out.Kind = TDbfValueKind::Text;
        out.Text.assign(s);
      }
      return;
    }
    case kDBFDate: {
      std::string_view s = TrimBlanks(bytes);
      if (s.empty() || s == "00000000") return;
      out.Kind = TDbfValueKind::Text;
      bool digits = s.size() == 8 &&
                    std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
      if (digits) {
        out.Text.assign(s.substr(0, 4))
            .append("-")
            .append(s.substr(4, 2))
            .append("-")
            .append(s.substr(6, 2));
      } else {
        out.Text.assign(s);
      }
      return;
    }
    case kDBFLogical: {
      char c = bytes.empty() ? ' ' : bytes[0];
      if (std::strchr("TtYy", c) && c) {
        out.Kind = TDbfValueKind::Int;
        out.Int = 1;
      } else if (std::strchr("FfNn", c) && c) {
        out.Kind = TDbfValueKind::Int;
        out.Int = 0;
      }
      return;
    }
    case kDBFMemo:
      if (table.ReadMemo(bytes, out.Text)) out.Kind = TDbfValueKind::Text;
      return;
    default: {
      // Character data keeps its leading blanks; the padding at the end is not part of it.
      std::string_view s = bytes;
      while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
      out.Kind = TDbfValueKind::Text;
      out.Text.assign(s);
      return;
    }
  }
}

}  // namespace morvale
