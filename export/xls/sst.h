// The shared string table: every text cell refers to one of its strings by index. Strings are
// kept once, in insertion order, in one pool of UTF-16 characters and found again through a hash
// table, so a text repeated in a thousand cells costs one entry and no allocation per cell. The
// record layout (the SST record and the CONTINUE records behind it) is planned as strings arrive,
// and written by the same rule at the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/streams.h"

namespace morvale {

class TsstStrings {
 public:
  // A string holds at most this many characters: its character count is a 16-bit field.
  static constexpr size_t kMaxChars = 65535;

  TsstStrings();

  // Index of the text (system code page), adding it when new.
  uint32_t AddString(std::string_view text);
  uint32_t AddString16(std::u16string_view text);

  uint32_t TotalCount() const { return total_; }  // every AddString call
  uint32_t UniqueCount() const { return static_cast<uint32_t>(entries_.size()); }
  std::u16string_view String(uint32_t index) const;
  uint32_t RefCount(uint32_t index) const { return entries_[index].refs; }
  // Data lengths of the SST record and of each CONTINUE behind it, the chunk being filled last.
  std::vector<uint32_t> ChunkSizes() const;
  // Bytes of all records the table writes, headers included.
  size_t RecordsSize() const;

  // The SST record and its CONTINUE records (no EXTSST).
  void WriteTo(TStream& stream) const;

 private:
  struct Entry {
    const char16_t* data;  // in one of the pool's blocks
    uint32_t length;       // characters
    uint32_t refs;
    uint32_t hash;
  };
  uint32_t Insert(std::u16string_view s, uint32_t hash);
  const char16_t* Store(std::u16string_view s);
  void Plan(size_t chars);
  void Grow();
  // The characters of all strings, in blocks that never move: growing never copies the strings
  // already stored, so the pool costs its size and no more.
  static constexpr size_t kBlockChars = size_t{1} << 16;
  std::vector<std::unique_ptr<char16_t[]>> blocks_, large_;
  size_t blockFree_ = 0;
  std::vector<Entry> entries_;
  std::vector<uint32_t> table_;  // entry index + 1; 0 is a free slot
  std::u16string scratch_;
  uint32_t total_ = 0;
  std::vector<uint32_t> chunks_;  // closed chunks
  uint32_t current_ = 8;          // the chunk being filled starts with the two counts
};

}  // namespace morvale
