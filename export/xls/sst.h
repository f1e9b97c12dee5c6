// The shared string table: every text cell refers to one of its strings by index. Strings are
// kept once, in insertion order, in one pool of UTF-16 characters and found again through a hash
// table, so a text repeated in a thousand cells costs one entry and no allocation per cell. The
// record layout (the SST record and the CONTINUE records behind it) is planned as strings arrive,
// and written by the same rule at the end.
//
// The table goes before the sheets, so it is complete only when the last cell is written. Once
// the pool holds its budget of characters, a string it does not know goes to a temporary file
// instead and gets an index of its own each time it comes (the table may hold a text twice;
// readers take every entry by its index): a sheet of a million distinct texts keeps memory flat.
// The texts that repeat most are usually met early, and those stay shared.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/streams.h"
#include "export/xls/tempstream.h"

namespace morvale {

class TsstStrings {
 public:
  // A string holds at most this many characters: its character count is a 16-bit field.
  static constexpr size_t kMaxChars = 65535;

  // Characters the pool holds before new strings go to the temporary file.
  static constexpr size_t kKeptChars = size_t{1} << 18;

  explicit TsstStrings(size_t keptChars = kKeptChars);
  ~TsstStrings();

  // Index of the text (system code page), adding it when new.
  uint32_t AddString(std::string_view text);
  uint32_t AddString16(std::u16string_view text);

  uint32_t TotalCount() const { return total_; }  // every AddString call
  // Strings in the table (those in the temporary file included).
  uint32_t UniqueCount() const { return static_cast<uint32_t>(entries_.size()) + spilled_; }
  // A string the pool holds, and how many cells refer to it (not for those in the file).
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
  uint32_t Spill(std::u16string_view s);
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
  size_t keptChars_, poolChars_ = 0;
  // The strings past the budget: their character counts and characters, as the records hold
  // them, in insertion order after the pool's.
  std::unique_ptr<TxlsTempStream> spill_;
  uint32_t spilled_ = 0;
  std::vector<uint32_t> chunks_;  // closed chunks
  uint32_t current_ = 8;          // the chunk being filled starts with the two counts
};

}  // namespace morvale
