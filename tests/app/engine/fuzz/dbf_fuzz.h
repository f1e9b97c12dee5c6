// One input of the dBASE reader fuzzer: the first four bytes give the length of the table file
// (little-endian), the table file follows and the rest is its memo file. Every record and field
// is decoded; errors are expected, crashes and hangs are not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/engine/dbf.h"
#include "export/core/classes.h"

namespace morvale::test {

inline void RunDbfFuzzInput(const uint8_t* data, size_t size) {
  if (size < 4) return;
  size_t tableSize = data[0] | data[1] << 8 | data[2] << 16 | static_cast<size_t>(data[3]) << 24;
  data += 4;
  size -= 4;
  if (tableSize > size) tableSize = size;
  std::string table(reinterpret_cast<const char*>(data), tableSize);
  std::string memo(reinterpret_cast<const char*>(data) + tableSize, size - tableSize);
  try {
    TDbfTable t("fuzz.dbf", MemorySource(table), memo.empty() ? nullptr : MemorySource(memo));
    TDbfReader reader(t);
    TDbfValue value;
    for (const TDbfField& f : t.Fields()) (void)TDbfTable::DeclaredType(f);
    for (uint32_t i = 0; i < t.RecordCount() && i < 5000 && reader.Seek(i); ++i) {
      (void)reader.Deleted();
      for (const TDbfField& f : t.Fields()) {
        try {
          DecodeDbfValue(t, f, reader.FieldBytes(f), value);
        } catch (const Exception&) {
        }
      }
    }
  } catch (const Exception&) {
  }
}

}  // namespace morvale::test
