#include "export/xls/sst.h"

#include "export/workbook/unicode.h"
#include "export/xls/records.h"

namespace morvale {

namespace {

// A string that does not fit a record: its first piece holds the count, the option byte and 4110
// characters (8223 bytes); every further piece an option byte and up to 4111 characters.
constexpr size_t kFirstPieceChars = (biff::kMaxRecordData - 3) / 2;
constexpr size_t kNextPieceChars = (biff::kMaxRecordData - 1) / 2;

uint32_t Hash(std::u16string_view s) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (char16_t c : s) h = (h ^ c) * 0x100000001b3ull;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

// Cuts a text to the 16-bit character count without separating a surrogate pair.
std::u16string_view Capped(std::u16string_view s) {
  if (s.size() <= TsstStrings::kMaxChars) return s;
  size_t n = TsstStrings::kMaxChars;
  if (s[n - 1] >= 0xD800 && s[n - 1] < 0xDC00) --n;
  return s.substr(0, n);
}

}  // namespace

TsstStrings::TsstStrings(size_t keptChars) : table_(1024, 0), keptChars_(keptChars) {}

TsstStrings::~TsstStrings() = default;

uint32_t TsstStrings::AddString(std::string_view text) {
  scratch_.clear();
  AppendUtf16(text, scratch_);
  return AddString16(scratch_);
}

uint32_t TsstStrings::AddString16(std::u16string_view text) {
  std::u16string_view s = Capped(text);
  ++total_;
  uint32_t h = Hash(s);
  size_t mask = table_.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    uint32_t slot = table_[i];
    if (slot == 0) break;
    Entry& e = entries_[slot - 1];
    if (e.hash == h && e.length == s.size() && std::u16string_view(e.data, e.length) == s) {
      ++e.refs;
      return slot - 1;
    }
  }
  // Once one string has gone to the file, every new one follows it: indexes are handed out in
  // the order the strings are written, the pool's first.
  if (spilled_ > 0 || poolChars_ + s.size() > keptChars_) return Spill(s);
  return Insert(s, h);
}

uint32_t TsstStrings::Spill(std::u16string_view s) {
  if (!spill_) spill_ = std::make_unique<TxlsTempStream>();
  uint8_t buf[512];
  PutU16(buf, static_cast<unsigned>(s.size()));
  spill_->Write(buf, 2);
  for (size_t at = 0; at < s.size(); at += sizeof buf / 2) {
    const size_t n = std::min(s.size() - at, sizeof buf / 2);
    for (size_t i = 0; i < n; ++i) PutU16(buf + 2 * i, s[at + i]);
    spill_->Write(buf, 2 * n);
  }
  Plan(s.size());
  const uint32_t index = UniqueCount();
  ++spilled_;
  return index;
}

uint32_t TsstStrings::Insert(std::u16string_view s, uint32_t hash) {
  if ((entries_.size() + 1) * 2 > table_.size()) Grow();
  auto index = static_cast<uint32_t>(entries_.size());
  entries_.push_back({Store(s), static_cast<uint32_t>(s.size()), 1, hash});
  poolChars_ += s.size();
  size_t mask = table_.size() - 1;
  size_t i = hash & mask;
  while (table_[i] != 0) i = (i + 1) & mask;
  table_[i] = index + 1;
  Plan(s.size());
  return index;
}

const char16_t* TsstStrings::Store(std::u16string_view s) {
  if (s.size() > kBlockChars / 4) {
    // A long string gets a block of its own; the current block stays open for short ones.
    large_.push_back(std::make_unique<char16_t[]>(s.size()));
    std::copy(s.begin(), s.end(), large_.back().get());
    return large_.back().get();
  }
  if (blocks_.empty() || s.size() > blockFree_) {
    blocks_.push_back(std::make_unique<char16_t[]>(kBlockChars));
    blockFree_ = kBlockChars;
  }
  char16_t* p = blocks_.back().get() + (kBlockChars - blockFree_);
  std::copy(s.begin(), s.end(), p);
  blockFree_ -= s.size();
  return p;
}

void TsstStrings::Grow() {
  std::vector<uint32_t> bigger(table_.size() * 2, 0);
  size_t mask = bigger.size() - 1;
  for (size_t k = 0; k < entries_.size(); ++k) {
    size_t i = entries_[k].hash & mask;
    while (bigger[i] != 0) i = (i + 1) & mask;
    bigger[i] = static_cast<uint32_t>(k + 1);
  }
  table_.swap(bigger);
}

void TsstStrings::Plan(size_t chars) {
  size_t s = 3 + 2 * chars;
  if (current_ + s > biff::kMaxRecordData) {
    chunks_.push_back(current_);
    current_ = 0;
  }
  if (s <= biff::kMaxRecordData) {
    current_ += static_cast<uint32_t>(s);
    return;
  }
  // A string longer than a record: the first piece fills a record, the rest follow in pieces.
  chunks_.push_back(static_cast<uint32_t>(3 + 2 * kFirstPieceChars));
  size_t rest = chars - kFirstPieceChars;
  while (rest > kNextPieceChars) {
    chunks_.push_back(static_cast<uint32_t>(1 + 2 * kNextPieceChars));
    rest -= kNextPieceChars;
  }
  current_ = static_cast<uint32_t>(1 + 2 * rest);
}

std::u16string_view TsstStrings::String(uint32_t index) const {
  const Entry& e = entries_[index];
  return std::u16string_view(e.data, e.length);
}

std::vector<uint32_t> TsstStrings::ChunkSizes() const {
  std::vector<uint32_t> all = chunks_;
  all.push_back(current_);
  return all;
}

size_t TsstStrings::RecordsSize() const {
  size_t size = 0;
  for (uint32_t c : ChunkSizes()) size += 4 + c;
  return size;
}

namespace {

// Writes the planned records: a header whenever a chunk begins, the strings in between.
class TsstWriter {
 public:
  TsstWriter(TStream& stream, std::vector<uint32_t> chunks)
      : stream_(stream), chunks_(std::move(chunks)) {}

  void Header(uint16_t id) {
    uint8_t h[4];
    PutU16(h, id);
    PutU16(h + 2, chunks_[next_++]);
    stream_.Write(h, 4);
    offset_ = 0;
  }
  void Counts(uint32_t total, uint32_t unique) {
    uint8_t c[8];
    PutU32(c, total);
    PutU32(c + 4, unique);
    stream_.Write(c, 8);
    offset_ = 8;
  }
  void String(std::u16string_view s) {
    size_t size = 3 + 2 * s.size();
    if (offset_ + size > biff::kMaxRecordData) Header(biff::kContinue);
    uint8_t h[3];
    PutU16(h, static_cast<unsigned>(s.size()));
    h[2] = 1;  // UTF-16 characters
    stream_.Write(h, 3);
    if (size <= biff::kMaxRecordData) {
      Chars(s);
      offset_ += size;
      return;
    }
    Chars(s.substr(0, kFirstPieceChars));
    s.remove_prefix(kFirstPieceChars);
    while (!s.empty()) {
      size_t n = std::min(s.size(), kNextPieceChars);
      Header(biff::kContinue);
      const uint8_t option = 1;
      stream_.Write(&option, 1);
      Chars(s.substr(0, n));
      s.remove_prefix(n);
      offset_ = 1 + 2 * n;
    }
  }

 private:
  void Chars(std::u16string_view s) {
    uint8_t buf[512];
    while (!s.empty()) {
      size_t n = std::min<size_t>(s.size(), sizeof buf / 2);
      for (size_t i = 0; i < n; ++i) PutU16(buf + 2 * i, s[i]);
      stream_.Write(buf, 2 * n);
      s.remove_prefix(n);
    }
  }
  TStream& stream_;
  std::vector<uint32_t> chunks_;
  size_t next_ = 0;
  size_t offset_ = 0;
};

}  // namespace

namespace {

// Reads the temporary file of strings back in large pieces, from its start.
class TSpillReader {
 public:
  explicit TSpillReader(TxlsTempStream& spill) : spill_(spill), buffer_(size_t{1} << 16) {}
  void Read(uint8_t* to, size_t size) {
    while (size > 0) {
      if (at_ == filled_) Refill();
      const size_t n = std::min(size, filled_ - at_);
      std::copy_n(buffer_.data() + at_, n, to);
      at_ += n;
      to += n;
      size -= n;
    }
  }

 private:
  void Refill() {
    filled_ = static_cast<size_t>(
        std::min<int64_t>(spill_.Size() - position_, static_cast<int64_t>(buffer_.size())));
    spill_.ReadAt(position_, buffer_.data(), filled_);
    position_ += static_cast<int64_t>(filled_);
    at_ = 0;
  }
  TxlsTempStream& spill_;
  std::vector<uint8_t> buffer_;
  int64_t position_ = 0;
  size_t filled_ = 0, at_ = 0;
};

}  // namespace

void TsstStrings::WriteTo(TStream& stream) const {
  TsstWriter w(stream, ChunkSizes());
  w.Header(biff::kSST);
  w.Counts(total_, UniqueCount());
  for (uint32_t i = 0; i < entries_.size(); ++i) w.String(String(i));
  if (!spill_) return;
  TSpillReader reader(*spill_);
  std::u16string s;
  std::vector<uint8_t> bytes;
  for (uint32_t i = 0; i < spilled_; ++i) {
    uint8_t count[2];
    reader.Read(count, 2);
    s.resize(GetU16(count));
    bytes.resize(2 * s.size());
    reader.Read(bytes.data(), bytes.size());
    for (size_t c = 0; c < s.size(); ++c)
      s[c] = static_cast<char16_t>(GetU16(bytes.data() + 2 * c));
    w.String(s);
  }
}

}  // namespace morvale
