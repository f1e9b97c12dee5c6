#include "export/xls/officeart.h"

namespace morvale {

namespace {

void Append16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Append32(std::string& out, uint32_t v) {
  Append16(out, v & 0xFFFF);
  Append16(out, v >> 16);
}

std::string Words32(std::initializer_list<uint32_t> values) {
  std::string s;
  for (uint32_t v : values) Append32(s, v);
  return s;
}

}  // namespace

void TmsoObject::WriteHeader(std::string& out, uint32_t length) const {
  Append16(out, (version_ & 0x0F) | (instance_ << 4));
  Append16(out, type_);
  Append32(out, length);
}

void TmsoObject::WriteToStream(TStream& stream) const {
  std::string out;
  WriteToBuffer(out);
  stream.Write(out.data(), out.size());
}

void TmsoAtom::WriteToBuffer(std::string& out) const {
  WriteHeader(out, static_cast<uint32_t>(data_.size()));
  out += data_;
}

size_t TmsoContainer::GetSize() const {
  size_t n = 8;
  for (const auto& c : children_) n += c->GetSize();
  return n;
}

void TmsoContainer::WriteToBuffer(std::string& out) const {
  WriteHeader(out, static_cast<uint32_t>(GetSize() - 8 + ExtraLength));
  for (const auto& c : children_) c->WriteToBuffer(out);
}

std::unique_ptr<TmsoAtom> msoDgg(unsigned shapes) {
  // Largest shape id, clusters, shapes saved, drawings saved; one cluster: drawing 1 and the
  // next shape id in it.
  return std::make_unique<TmsoAtom>(mso::kDgg, 0, 0,
                                    Words32({shapes + 1025, 2, shapes + 1, 1, 1, shapes + 1}));
}

std::unique_ptr<TmsoAtom> msoDg() {
  return std::make_unique<TmsoAtom>(mso::kDg, 0, 1, Words32({2, 1025}));
}

std::unique_ptr<TmsoAtom> msoSpgr() {
  return std::make_unique<TmsoAtom>(mso::kSpgr, 1, 0, std::string(16, '\0'));
}

std::unique_ptr<TmsoAtom> msoSp(unsigned version, unsigned shapeType, uint32_t id, uint32_t flags) {
  return std::make_unique<TmsoAtom>(mso::kSp, version, shapeType, Words32({id, flags}));
}

std::unique_ptr<TmsoAtom> msoClientAnchor(unsigned flag, const uint16_t (&cells)[8]) {
  std::string d;
  Append16(d, flag);
  for (uint16_t v : cells) Append16(d, v);
  return std::make_unique<TmsoAtom>(mso::kClientAnchor, 0, 0, d);
}

std::unique_ptr<TmsoAtom> msoClientData() {
  return std::make_unique<TmsoAtom>(mso::kClientData, 0, 0);
}

std::unique_ptr<TmsoAtom> msoClientTextBox() {
  return std::make_unique<TmsoAtom>(mso::kClientTextbox, 0, 0);
}

std::unique_ptr<TmsoAtom> msoSplitMenuColors() {
  return std::make_unique<TmsoAtom>(mso::kSplitMenuColors, 0, 4,
                                    Words32({0x0800000D, 0x0800000C, 0x08000017, 0x100000F7}));
}

std::unique_ptr<TmsoAtom> msoBSE(unsigned blipType, const TmsoObject& blip, uint32_t refs) {
  std::string d;
  d += static_cast<char>(blipType);                    // type on Windows
  d += static_cast<char>(blipType);                    // type on the Macintosh
  d.append(16, '\0');                                  // identifier
  Append16(d, 0x00FF);                                 // tag
  Append32(d, static_cast<uint32_t>(blip.GetSize()));  // header, 17 bytes, picture
  Append32(d, refs);
  Append32(d, 0);  // offset in a delay stream: none, the picture follows
  Append16(d, 0);
  Append16(d, 0x023E);
  blip.WriteToBuffer(d);
  return std::make_unique<TmsoAtom>(mso::kBSE, 2, blipType, d);
}

std::unique_ptr<TmsoAtom> msoBLIP(unsigned blipType, const std::string& bytes) {
  unsigned instance = 0;
  switch (blipType) {
    case 2:
      instance = 0x216;
      break;
    case 3:
      instance = 0x3D4;
      break;
    case 5:
      instance = 0x46A;
      break;
    case 6:
      instance = 0x6E0;
      break;
    case 7:
      instance = 0x7A8;
      break;
    default:
      break;
  }
  std::string d(17, '\0');
  d += bytes;
  return std::make_unique<TmsoAtom>(static_cast<uint16_t>(mso::kBlipFirst + blipType), 0, instance,
                                    std::move(d));
}

TmsoOPT& TmsoOPT::Add(uint16_t id, uint32_t value) {
  props_.push_back({id, value, {}});
  instance_ = static_cast<unsigned>(props_.size());
  return *this;
}

TmsoOPT& TmsoOPT::AddString(uint16_t id, const std::u16string& text) {
  props_.push_back({id, static_cast<uint32_t>(2 * text.size() + 2), text});
  instance_ = static_cast<unsigned>(props_.size());
  return *this;
}

size_t TmsoOPT::GetSize() const {
  size_t n = 8;
  for (const TEntry& p : props_) n += 6 + ((p.id & 0x8000) ? p.value : 0);
  return n;
}

void TmsoOPT::WriteToBuffer(std::string& out) const {
  WriteHeader(out, static_cast<uint32_t>(GetSize() - 8));
  for (const TEntry& p : props_) {
    Append16(out, p.id);
    Append32(out, p.value);
  }
  for (const TEntry& p : props_) {
    if (!(p.id & 0x8000)) continue;
    for (char16_t c : p.text) Append16(out, c);
    Append16(out, 0);
  }
}

}  // namespace morvale
