// The dBASE III table layout, apart from any exporter: the 32-byte main header, the 32-byte field
// descriptors, the rendering of one value into its fixed-width field, and the 512-byte blocks of
// the memo file. The exporter decides what goes into a table; this file decides how it is laid out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/dbflayout.h"
#include "export/core/utf8.h"  // Utf8Prefix

namespace morvale {

constexpr size_t kDBFMemoMaxBytes = 65536;  // larger memo values are not stored
constexpr int kDBFMaxCharLength = 254;      // longest C field

// One field of the table as its descriptor describes it.
struct TDBFField {
  std::string Name;           // at most 10 bytes, already upper-cased
  char Type = kDBFCharacter;  // C, N, D, L or M
  int Offset = 0;             // within the record, the deletion flag not counted
  int Length = 0;             // bytes; a single byte in the descriptor
  int Decimals = 0;           // a single byte in the descriptor

  // The 32-byte descriptor block.
  std::string Descriptor() const;
};

// The stored form of a field name: letters a-z upper-cased, other bytes unchanged, cut to 10
// bytes. In a UTF-8 system code page the cut never splits a character.
std::string DBFFieldName(std::string_view name, bool utf8);

// The 32-byte main header. `recordCount` is patched in place as records are added.
std::string DBFMainHeader(uint8_t version, int year, int month, int day, uint32_t recordCount,
                          const std::vector<TDBFField>& fields);

// Header length and record length of a table with these fields; raises when a table of this shape
// cannot be described by the 16-bit header fields.
int DBFHeaderLength(size_t fieldCount);
int DBFRecordLength(const std::vector<TDBFField>& fields);
void CheckDBFShape(const std::vector<TDBFField>& fields);

// Appends exactly field.Length bytes for `text` (already converted for its type): blanks, then the
// text placed by type. C fields are left-aligned and cut (never inside a UTF-8 character when
// `utf8`); N and M fields are right-aligned, and a number that does not fit fills its field with
// '*', the dBASE mark of an overflowing number, so that no reader sees a truncated number.
void RenderDBFField(const TDBFField& field, std::string_view text, bool utf8, std::string& record);

// "%*.*f" with '.' as the decimal point whatever the locale.
std::string DBFFixed(double value, int width, int decimals);

// The same for an exact decimal's digits ("-12.3400", '.' as the point), rounded half away from
// zero at `decimals` without passing through a double, so that every digit of a wide NUMERIC
// stays; false for a text that is no plain decimal.
bool DBFFixedDecimal(std::string_view digits, int width, int decimals, std::string& out);

// The logical-field letter of a boolean text: T, F or a blank.
char DBFLogical(std::string_view text);

// The memo blocks one value takes: the bytes, two 0x1A bytes, zeros up to the block end.
std::string DBFMemoBlocks(std::string_view value);
int DBFMemoBlockCount(size_t valueBytes);

}  // namespace morvale
