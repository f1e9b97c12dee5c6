// The BIFF8 record layer. Records are written in two ways: directly, assembled in the one reused
// record buffer and sent to the stream with their 4-byte header (every cell and sheet record, the
// globals head), or as record objects built in memory (the globals block), whose WriteTo splits
// data longer than a record into CONTINUE records.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "export/core/streams.h"

namespace morvale {

// Record identifiers.
namespace biff {
constexpr uint16_t kFormula = 0x0006, kEOF = 0x000A, kCalcCount = 0x000C, kCalcMode = 0x000D,
                   kPrecision = 0x000E, kRefMode = 0x000F, kDelta = 0x0010, kIteration = 0x0011,
                   kProtect = 0x0012, kPassword = 0x0013, kHeader = 0x0014, kFooter = 0x0015,
                   kExternSheet = 0x0017, kWindowProtect = 0x0019, kSelection = 0x001D,
                   kDateMode = 0x0022, kPrintHeaders = 0x002A, kPrintGridLines = 0x002B,
                   kFont = 0x0031, kContinue = 0x003C, kWindow1 = 0x003D, kBackup = 0x0040,
                   kCodePage = 0x0042, kDefColWidth = 0x0055, kWriteAccess = 0x005C,
                   kSaveRecalc = 0x005F, kColInfo = 0x007D, kGuts = 0x0080, kWsBool = 0x0081,
                   kGridSet = 0x0082, kHCenter = 0x0083, kVCenter = 0x0084, kBoundSheet = 0x0085,
                   kCountry = 0x008C, kHideObj = 0x008D, kFnGroupCount = 0x009C, kBookBool = 0x00DA,
                   kXF = 0x00E0, kMsoDrawingGroup = 0x00EB, kSST = 0x00FC, kLabelSST = 0x00FD,
                   kDSF = 0x0161, kSupBook = 0x01AE, kProt4Rev = 0x01AF, kRefreshAll = 0x01B7,
                   kProt4RevPass = 0x01BC, kDimensions = 0x0200, kBlank = 0x0201, kNumber = 0x0203,
                   kBoolErr = 0x0205, kDefaultRowHeight = 0x0225, kWindow2 = 0x023E,
                   kStyle = 0x0293, kFormat = 0x041E, kBOF = 0x0809;
// Substream types of BOF.
constexpr uint16_t kGlobals = 0x0005, kWorksheet = 0x0010, kChart = 0x0020;
// The largest record data: what the reused buffer holds, and what one SST chunk may carry.
constexpr size_t kMaxRecordData = 8224;
// Record objects continue after this many data bytes.
constexpr size_t kMaxObjectData = 8220;
}  // namespace biff

inline void PutU8(uint8_t* p, unsigned v) {
  p[0] = static_cast<uint8_t>(v);
}
inline void PutU16(uint8_t* p, unsigned v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, v & 0xFFFF);
  PutU16(p + 2, v >> 16);
}
inline void PutDouble(uint8_t* p, double v) {
  // IEEE doubles are stored little-endian, as this machine keeps them.
  static_assert(sizeof(double) == 8);
  std::memcpy(p, &v, 8);
}
inline uint16_t GetU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t GetU32(const uint8_t* p) {
  return GetU16(p) | (uint32_t{GetU16(p + 2)} << 16);
}

// Writes records straight into the stream through one record buffer owned for the whole run.
class TbiffWriter {
 public:
  explicit TbiffWriter(TStream& stream) : stream_(stream) {}

  TStream& Stream() const { return stream_; }
  // The record buffer: a record's data is assembled here before WriteRecord sends it. The 4 bytes
  // in front of it take the header, so a record leaves in one write.
  uint8_t* Data() { return buf_ + 4; }

  // Writes the header (id, length) and `length` bytes of the record buffer.
  void WriteRecord(uint16_t id, size_t length) {
    PutU16(buf_, id);
    PutU16(buf_ + 2, static_cast<unsigned>(length));
    stream_.Write(buf_, length + 4);
  }
  // A record whose data is one 16-bit value.
  void WriteWordRecord(uint16_t id, unsigned value) {
    PutU16(Data(), value);
    WriteRecord(id, 2);
  }

 private:
  TStream& stream_;
  alignas(8) uint8_t buf_[4 + biff::kMaxRecordData];
};

void WriteBOF(TbiffWriter& w, uint16_t substreamType);
void WriteEOF(TbiffWriter& w);

// A record built in memory. The data may exceed one record: WriteTo then continues it in CONTINUE
// records of at most 8220 data bytes each.
class TbiffRecord {
 public:
  TbiffRecord(uint16_t id, const void* data, size_t size);
  TbiffRecord(uint16_t id, size_t size) : id_(id), data_(size, 0) {}
  virtual ~TbiffRecord() = default;

  uint16_t Id() const { return id_; }
  virtual size_t GetDataSize() const { return data_.size(); }
  size_t GetRecordSize() const { return GetDataSize() + 4; }
  virtual void WriteTo(TStream& stream) const;
  // Zeroes the whole data buffer.
  virtual void Clear() { std::fill(data_.begin(), data_.end(), 0); }
  const std::vector<uint8_t>& Data() const { return data_; }

 protected:
  uint8_t* At(size_t offset) { return data_.data() + offset; }
  void Resize(size_t size) { data_.resize(size, 0); }
  // Writes `s` as UTF-16LE at offset (the buffer must hold it).
  void PutChars(size_t offset, const std::u16string& s);

 private:
  uint16_t id_;
  std::vector<uint8_t> data_;
};

class TbiffFont : public TbiffRecord {
 public:
  explicit TbiffFont(const std::u16string& name);
  void SetHeight(unsigned twips) { PutU16(At(0), twips); }
  void SetOptions(unsigned flags) { PutU16(At(2), flags); }
  void SetColorIndex(unsigned index) { PutU16(At(4), index); }
  void SetWeight(unsigned weight) { PutU16(At(6), weight); }
  void SetEscapement(unsigned e) { PutU16(At(8), e); }
  void SetUnderline(unsigned u) { PutU8(At(10), u); }
  void SetCharset(unsigned c) { PutU8(At(12), c); }
};

class TbiffXF : public TbiffRecord {
 public:
  // Starts from 20 given bytes (one of the fixed XF layouts).
  explicit TbiffXF(const uint8_t (&bytes)[20]) : TbiffRecord(biff::kXF, bytes, 20) {}
  void SetFontIndex(unsigned i) { PutU16(At(0), i); }
  void SetFormatIndex(unsigned i) { PutU16(At(2), i); }
  void SetAlignment(unsigned a) { PutU16(At(6), a); }
  void SetAttributes(unsigned a) { PutU16(At(8), a); }
  void SetLineStyles(unsigned s) { PutU16(At(10), s); }
  void SetSideColors(unsigned c) { PutU16(At(12), c); }
  void SetTopBottomPattern(uint32_t v) { PutU32(At(14), v); }
  void SetFillColors(unsigned c) { PutU16(At(18), c); }
  uint32_t TopBottomPattern() const { return GetU32(Data().data() + 14); }
  uint16_t FillColors() const { return GetU16(Data().data() + 18); }
};

class TbiffFormat : public TbiffRecord {
 public:
  TbiffFormat(unsigned index, const std::u16string& text);
};

class TbiffStyle : public TbiffRecord {
 public:
  explicit TbiffStyle(const uint8_t (&bytes)[4]) : TbiffRecord(biff::kStyle, bytes, 4) {}
};

class TbiffBoundSheet : public TbiffRecord {
 public:
  explicit TbiffBoundSheet(const std::u16string& name);
  void SetOffset(uint32_t streamPos) { PutU32(At(0), streamPos); }
};

class TbiffCountry : public TbiffRecord {
 public:
  TbiffCountry();
};

class TbiffSupbookInternal : public TbiffRecord {
 public:
  explicit TbiffSupbookInternal(unsigned sheetCount);
};

class TbiffExternSheet : public TbiffRecord {
 public:
  // One entry (SUPBOOK 0, sheet i, sheet i) per sheet.
  explicit TbiffExternSheet(unsigned sheetCount);
};

// The drawing group: its data is built elsewhere in one piece and may be far above 8224 bytes.
class TbiffMSODrawingGroup : public TbiffRecord {
 public:
  TbiffMSODrawingGroup(const void* data, size_t size)
      : TbiffRecord(biff::kMsoDrawingGroup, data, size) {}
};

}  // namespace morvale
