// Test helpers: a record walker over a BIFF8 stream, hex texts for byte comparisons, and the
// independent reader run on a written file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvale::test {

struct TRecord {
  uint16_t id;
  std::vector<uint8_t> data;
  size_t offset;  // of the header in the stream
};

// Splits a stream into records; fails the test when a header claims more bytes than follow.
std::vector<TRecord> ParseRecords(const std::string& stream);
// "09 08 10 00" for bytes; spaces between bytes.
std::string Hex(const std::vector<uint8_t>& bytes);
std::string Hex(const std::string& bytes);
std::vector<uint8_t> Bytes(const std::string& hex);
// Record ids in order, as hex words ("0809 005C ...").
std::string IdList(const std::vector<TRecord>& records);
// Runs tests/export/xls/xlsdump.py on a file and returns what it printed (stderr on failure).
std::string DumpWorkbook(const std::string& path);
// The "Workbook" stream of a compound file, read back with olefile.
std::string ReadWorkbookStream(const std::string& path);
// A fresh file name under the build folder.
std::string TempPath(const std::string& name);

}  // namespace morvale::test
