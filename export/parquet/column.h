// One column of the row group being written: values go into the open page as PLAIN bytes or, for
// a text column, as indexes into the chunk's dictionary; a full page is encoded, compressed and
// kept with its header until the row group is written out. A dictionary that grows past its bounds
// ends for the rest of the chunk: later pages hold their texts PLAIN, as readers expect of a
// writer that gives up on a dictionary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/parquet/schema.h"

namespace morvale {
class TStream;
}

namespace morvale::parquet {

class TCompressor;

// Where a finished chunk landed in the file and what it holds, for the footer.
struct TChunkInfo {
  int64_t NumValues = 0;
  int64_t UncompressedSize = 0, CompressedSize = 0;  // page headers included
  int64_t DataPageOffset = 0, DictionaryPageOffset = -1;
  bool UsedDictionary = false;
};

class TColumnChunk {
 public:
  TColumnChunk(const TColumnSchema& schema, TCompressor& compressor);

  const TColumnSchema& Schema() const { return schema_; }

  void AddNull();
  void AddBool(bool v);
  void AddInt32(int32_t v);
  void AddInt64(int64_t v);
  void AddDouble(double v);
  // BYTE_ARRAY, or FIXED_LEN_BYTE_ARRAY of the schema's length.
  void AddBytes(std::string_view v);

  // Bytes held for the row group so far: finished pages and the open page.
  size_t HeldBytes() const;
  // Closes the open page and writes the whole chunk (dictionary page first) to `out` at its
  // position; then starts an empty chunk.
  TChunkInfo Finish(TStream& out);

 private:
  void Defined() {
    levels_.push_back(1);
    if (PageFull()) FlushPage();
  }
  bool PageFull() const;
  void FlushPage();
  // The page's header and compressed body appended to `to`; sizes counted into info_.
  void WritePage(std::string& to, std::string_view body, int32_t numValues, bool dictionaryPage,
                 int32_t encoding);
  // The index of a text in the dictionary, added when new; -1 when the dictionary is full.
  int64_t DictionaryIndex(std::string_view v);
  void EndDictionary();

  TColumnSchema schema_;
  TCompressor& compressor_;
  // The open page.
  std::vector<uint32_t> levels_;   // definition levels: 1 a value, 0 a NULL
  std::string values_;             // PLAIN values
  std::vector<uint32_t> indexes_;  // dictionary indexes, while the dictionary lasts
  std::vector<uint32_t> bits_;     // BOOLEAN values, packed when the page closes
  // The chunk.
  std::string pages_;              // data pages, header and body each
  std::string dictionary_;         // the dictionary's texts, PLAIN
  std::vector<uint32_t> offsets_;  // where each dictionary text starts in dictionary_
  std::vector<uint32_t> slots_;    // open-addressing hash of dictionary indexes + 1; 0 is free
  bool dictionaryOn_ = false;
  TChunkInfo info_;
  std::string body_, scratch_;
};

}  // namespace morvale::parquet
