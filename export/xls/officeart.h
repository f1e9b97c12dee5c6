// OfficeArt records, the drawing format of notes, pictures and charts: every record is an 8-byte
// header (version in bits 0-3 and instance in bits 4-15 of the first word, the record type, the
// length of what follows) and its data; containers hold other records. The workbook keeps them in
// MSODRAWINGGROUP (the picture store) and MSODRAWING records (each sheet's shapes).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/core/streams.h"

namespace morvale {

namespace mso {
constexpr uint16_t kDggContainer = 0xF000, kBStoreContainer = 0xF001, kDgContainer = 0xF002,
                   kSpgrContainer = 0xF003, kSpContainer = 0xF004, kDgg = 0xF006, kBSE = 0xF007,
                   kDg = 0xF008, kSpgr = 0xF009, kSp = 0xF00A, kOPT = 0xF00B,
                   kClientTextbox = 0xF00D, kClientAnchor = 0xF010, kClientData = 0xF011,
                   kBlipFirst = 0xF018, kSplitMenuColors = 0xF11E;
// Shape types.
constexpr unsigned kPictureFrame = 75, kHostControl = 201, kTextBox = 202;
}  // namespace mso

class TmsoObject {
 public:
  TmsoObject(uint16_t type, unsigned version, unsigned instance)
      : type_(type), version_(version), instance_(instance) {}
  virtual ~TmsoObject() = default;
  // The whole record, header included.
  virtual size_t GetSize() const = 0;
  void WriteToStream(TStream& stream) const;
  // Appends the record.
  virtual void WriteToBuffer(std::string& out) const = 0;
  uint16_t Type() const { return type_; }

 protected:
  void WriteHeader(std::string& out, uint32_t length) const;
  uint16_t type_;
  unsigned version_, instance_;
};

// A record whose data is a fixed run of bytes.
class TmsoAtom : public TmsoObject {
 public:
  TmsoAtom(uint16_t type, unsigned version, unsigned instance, std::string data = {})
      : TmsoObject(type, version, instance), data_(std::move(data)) {}
  size_t GetSize() const override { return 8 + data_.size(); }
  void WriteToBuffer(std::string& out) const override;

 protected:
  std::string data_;
};

class TmsoContainer : public TmsoObject {
 public:
  explicit TmsoContainer(uint16_t type, unsigned instance = 0) : TmsoObject(type, 15, instance) {}
  size_t GetSize() const override;
  void WriteToBuffer(std::string& out) const override;
  template <class T>
  T& Add(std::unique_ptr<T> child) {
    T& c = *child;
    children_.push_back(std::move(child));
    return c;
  }
  // Added to the header's length: records that follow the container in later MSODRAWING records
  // still belong to it.
  uint32_t ExtraLength = 0;

 private:
  std::vector<std::unique_ptr<TmsoObject>> children_;
};

// The drawing group's record: n shapes in one drawing.
std::unique_ptr<TmsoAtom> msoDgg(unsigned shapes);
std::unique_ptr<TmsoAtom> msoDg();
std::unique_ptr<TmsoAtom> msoSpgr();
std::unique_ptr<TmsoAtom> msoSp(unsigned version, unsigned shapeType, uint32_t id, uint32_t flags);
std::unique_ptr<TmsoAtom> msoClientAnchor(unsigned flag, const uint16_t (&cells)[8]);
std::unique_ptr<TmsoAtom> msoClientData();
std::unique_ptr<TmsoAtom> msoClientTextBox();
std::unique_ptr<TmsoAtom> msoSplitMenuColors();
// The picture's store entry: `blipType` by the BSE numbering (WMF 2, EMF 3, JPEG 5, PNG 6,
// BMP 7), `refs` the images that show it. The BLIP record is embedded in the entry and counted by
// its length: readers find the picture right behind the entry's 36 bytes only then.
std::unique_ptr<TmsoAtom> msoBSE(unsigned blipType, const TmsoObject& blip, uint32_t refs);
// The picture itself: 17 zero bytes (identifier and tag), then the bytes.
std::unique_ptr<TmsoAtom> msoBLIP(unsigned blipType, const std::string& bytes);

// Shape properties: 6-byte entries (16-bit id with bit 14 = blip index, bit 15 = complex; 32-bit
// value), then the complex data in the same order. The instance is the number of properties.
class TmsoOPT : public TmsoObject {
 public:
  explicit TmsoOPT(unsigned version = 3) : TmsoObject(mso::kOPT, version, 0) {}
  TmsoOPT& Add(uint16_t id, uint32_t value);
  // A complex property holding a wide string; its value is the byte length with the terminator.
  TmsoOPT& AddString(uint16_t id, const std::u16string& text);
  size_t GetSize() const override;
  void WriteToBuffer(std::string& out) const override;

 private:
  struct TEntry {
    uint16_t id;
    uint32_t value;
    std::u16string text;
  };
  std::vector<TEntry> props_;
};

}  // namespace morvale
