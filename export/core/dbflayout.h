// The dBASE table and memo file layout, named once for the reader (app/engine/dbf.cpp) and the
// writer (export/docs/dbffile.cpp): a 32-byte main header, one 32-byte descriptor per field, a
// terminator, then fixed-width records each led by a deletion flag; memo texts in blocks of a
// .dbt file. Integers in the headers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morvale {

// The first byte of the main header.
constexpr uint8_t kDBFVersion = 0x03;       // dBASE III table without memo file
constexpr uint8_t kDBFVersionMemo = 0x83;   // dBASE III table with a .dbt memo file
constexpr uint8_t kDBFVersionMemo4 = 0x8B;  // dBASE IV table with a memo file

// The main header: version, date of the last update (year since 1900, month, day), then these.
constexpr size_t kDBFHeaderSize = 32;
constexpr size_t kDBFYearAt = 1;           // then month, then day, a byte each
constexpr size_t kDBFRecordCountAt = 4;    // 32 bits
constexpr size_t kDBFHeaderLengthAt = 8;   // 16 bits: main header, descriptors and terminator
constexpr size_t kDBFRecordLengthAt = 10;  // 16 bits: the deletion flag and every field

// A field descriptor: the name padded with zeros (10 bytes and a terminator), then these.
constexpr size_t kDBFDescriptorSize = 32;
constexpr size_t kDBFNameBytes = 11;
constexpr size_t kDBFNameMaxLength = 10;
constexpr size_t kDBFTypeAt = 11;
constexpr size_t kDBFFieldOffsetAt = 12;  // 32 bits, within the record
constexpr size_t kDBFLengthAt = 16;
constexpr size_t kDBFDecimalsAt = 17;  // of a character field: the high byte of its length

// The type letters of the descriptor.
constexpr char kDBFCharacter = 'C';
constexpr char kDBFNumeric = 'N';
constexpr char kDBFFloat = 'F';
constexpr char kDBFDate = 'D';
constexpr char kDBFLogical = 'L';
constexpr char kDBFMemo = 'M';

constexpr char kDBFHeaderEnd = 0x0D;     // after the last field descriptor
constexpr char kDBFFileEnd = 0x1A;       // after the last record; the end of a dBASE III memo
constexpr char kDBFRecordLive = 0x20;    // deletion flag of a record that is not deleted
constexpr char kDBFRecordDeleted = '*';  // deletion flag of a deleted record

// The memo file: block 0 is the header (the next free block first, 32 bits); an M field holds
// the number of its first block as text, right-aligned in 10 bytes.
constexpr int kDBFMemoBlock = 512;  // dBASE III block size
constexpr int kDBFMemoFieldLength = 10;
constexpr size_t kDBFMemo4BlockSizeAt = 20;  // 16 bits in a dBASE IV memo header
// A dBASE IV memo block starts with this marker and the length of the text with these 8 bytes.
constexpr uint32_t kDBFMemo4Marker = 0x0008FFFFu;
constexpr size_t kDBFMemo4BlockHead = 8;

}  // namespace morvale
