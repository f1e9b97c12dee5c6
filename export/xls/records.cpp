#include "export/xls/records.h"

#include <algorithm>

namespace morvale {

void WriteBOF(TbiffWriter& w, uint16_t substreamType) {
  uint8_t* d = w.Data();
  PutU16(d, 0x0600);  // BIFF8
  PutU16(d + 2, substreamType);
  PutU16(d + 4, 0x0DBB);  // build
  PutU16(d + 6, 0x07CC);  // build year
  PutU32(d + 8, 0);       // file history
  PutU32(d + 12, 0x206);  // lowest version that can read the file
  w.WriteRecord(biff::kBOF, 16);
}

void WriteEOF(TbiffWriter& w) {
  w.WriteRecord(biff::kEOF, 0);
}

TbiffRecord::TbiffRecord(uint16_t id, const void* data, size_t size)
    : id_(id), data_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

void TbiffRecord::PutChars(size_t offset, const std::u16string& s) {
  for (size_t i = 0; i < s.size(); ++i) PutU16(At(offset + 2 * i), s[i]);
}

void TbiffRecord::WriteTo(TStream& stream) const {
  size_t size = GetDataSize();
  const uint8_t* p = data_.data();
  uint16_t id = id_;
  uint8_t header[4];
  // The first piece goes under the record's own id, the rest under CONTINUE; an empty record is
  // its header alone.
  do {
    size_t n = std::min(size, biff::kMaxObjectData);
    PutU16(header, id);
    PutU16(header + 2, static_cast<unsigned>(n));
    stream.Write(header, 4);
    if (n) stream.Write(p, n);
    p += n;
    size -= n;
    id = biff::kContinue;
  } while (size > 0);
}

// Names longer than the 8-bit length field are cut to what it can say.
static std::u16string ShortName(const std::u16string& s) {
  return s.substr(0, 255);
}

TbiffFont::TbiffFont(const std::u16string& name) : TbiffRecord(biff::kFont, 16) {
  std::u16string n = ShortName(name);
  Resize(16 + 2 * n.size());
  PutU8(At(14), static_cast<unsigned>(n.size()));
  PutU8(At(15), 1);  // UTF-16 characters
  PutChars(16, n);
}

TbiffFormat::TbiffFormat(unsigned index, const std::u16string& text)
    : TbiffRecord(biff::kFormat, 5) {
  std::u16string t = text.substr(0, 255);
  Resize(5 + 2 * t.size());
  PutU16(At(0), index);
  PutU16(At(2), static_cast<unsigned>(t.size()));
  PutU8(At(4), 1);
  PutChars(5, t);
}

TbiffBoundSheet::TbiffBoundSheet(const std::u16string& name) : TbiffRecord(biff::kBoundSheet, 8) {
  std::u16string n = ShortName(name);
  Resize(8 + 2 * n.size());
  PutU8(At(6), static_cast<unsigned>(n.size()));
  PutU8(At(7), 1);
  PutChars(8, n);
}

TbiffCountry::TbiffCountry() : TbiffRecord(biff::kCountry, 4) {
  PutU16(At(0), 1);
  PutU16(At(2), 1);
}

TbiffSupbookInternal::TbiffSupbookInternal(unsigned sheetCount) : TbiffRecord(biff::kSupBook, 4) {
  PutU16(At(0), sheetCount);
  PutU16(At(2), 0x0401);  // this workbook
}

TbiffExternSheet::TbiffExternSheet(unsigned sheetCount)
    : TbiffRecord(biff::kExternSheet, 2 + 6 * size_t{sheetCount}) {
  PutU16(At(0), sheetCount);
  for (unsigned i = 0; i < sheetCount; ++i) {
    PutU16(At(2 + 6 * i), 0);
    PutU16(At(4 + 6 * i), i);
    PutU16(At(6 + 6 * i), i);
  }
}

}  // namespace morvale
