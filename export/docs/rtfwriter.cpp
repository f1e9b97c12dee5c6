#include "export/docs/rtfwriter.h"

#include <new>

#include "export/core/streams.h"
#include "export/core/translate.h"

namespace morvale {

std::string TRTFHeader::Text() const {
  return "{\\rtf" + std::to_string(Version) + "\\" + CharSet + "\\deff" +
         std::to_string(DefaultFont) + "\\deftab" + std::to_string(DefaultTabWidth);
}

std::string TRTFFontTableItem::Text() const {
  return "{\\f" + std::to_string(Number) + "\\f" + Family + " " + Name + ";}";
}

std::string TRTFColorTableItem::Text() const {
  return "\\red" + std::to_string(Red) + "\\green" + std::to_string(Green) + "\\blue" +
         std::to_string(Blue) + ";";
}

int TRTFFontTable::Find(std::string_view name) const {
  for (const TRTFFontTableItem& f : Items)
    if (SameText(f.Name, name)) return f.Number;
  return -1;
}

TRTFFontTableItem& TRTFFontTable::Add(std::string_view name) {
  int number = 0;
  for (const TRTFFontTableItem& f : Items) number = std::max(number, f.Number + 1);
  TRTFFontTableItem item;
  item.Number = number;
  item.Name = std::string(name);
  Items.push_back(std::move(item));
  return Items.back();
}

std::string TRTFFontTable::Text() const {
  std::string s = "{\\fonttbl";
  for (const TRTFFontTableItem& f : Items) s += f.Text();
  return s + "}";
}

static TRTFColorTableItem ItemOf(TColor color) {
  TColor rgb = ColorToRGB(color);
  return {rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF};
}

int TRTFColorTable::Find(TColor color) const {
  TRTFColorTableItem c = ItemOf(color);
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i].Red == c.Red && Items[i].Green == c.Green && Items[i].Blue == c.Blue)
      return static_cast<int>(i);
  return -1;
}

int TRTFColorTable::Add(TColor color) {
  Items.push_back(ItemOf(color));
  return static_cast<int>(Items.size()) - 1;
}

std::string TRTFColorTable::Text() const {
  std::string s = "{\\colortbl";
  for (const TRTFColorTableItem& c : Items) s += c.Text();
  return s + "}";
}

detail::TRTFSpool::TRTFSpool(TStream& output) : target(&output) {
  if (!dynamic_cast<TFileStream*>(&output) && !dynamic_cast<TMemoryStream*>(&output))
    spool = std::make_unique<TMemoryStream>();
}

TRTFWriter::TRTFWriter(TExport& owner, TStream& stream)
    : TRTFSpool(stream), TExportWriter(owner, Target()) {}

TRTFWriter::~TRTFWriter() = default;

void TRTFWriter::WriteHeader() {
  docStart_ = Stream().Position();
  std::string line = Header.Text();
  WriteLn(line);
  headerLen_ = line.size() + 2;
}

void TRTFWriter::WriteFontTable() {
  std::string text = FontTable.Text();
  WriteLn(text);
  fontLen_ = text.size();
  fontsWritten_ = true;
}

void TRTFWriter::WriteColorTable() {
  std::string text = ColorTable.Text();
  WriteLn(text);
  colorLen_ = text.size();
  colorsWritten_ = true;
}

int64_t TRTFWriter::FontTableEnd() const {
  return docStart_ + static_cast<int64_t>(headerLen_ + fontLen_) - 1;
}

int64_t TRTFWriter::ColorTableEnd() const {
  return docStart_ + static_cast<int64_t>(headerLen_ + fontLen_ + 2 + colorLen_) - 1;
}

void TRTFWriter::InsertAt(int64_t pos, std::string_view text) {
  TStream& s = Stream();
  if (auto* mem = dynamic_cast<TMemoryStream*>(&s)) {
    mem->Data().insert(static_cast<size_t>(pos), text);
    mem->Seek(mem->Size());
    return;
  }
  auto& file = dynamic_cast<TFileStream&>(s);
  file.Flush();
  int64_t end = file.Size();
  std::string tail;
  try {
    tail.resize(static_cast<size_t>(end - pos));
  } catch (const std::bad_alloc&) {
    throw Exception(TranslateText("Engine", "VirtualAlloc failed! :-("));
  }
  tail.resize(file.ReadAt(pos, tail.data(), tail.size()));
  file.Seek(pos);
  file.Write(text.data(), text.size());
  file.Write(tail.data(), tail.size());
}

int TRTFWriter::FontNumber(std::string_view name) {
  int n = FontTable.Find(name);
  if (n >= 0) return n;
  TRTFFontTableItem& item = FontTable.Add(name);
  if (fontsWritten_) {
    std::string text = item.Text();
    InsertAt(FontTableEnd(), text);
    fontLen_ += text.size();
  }
  return item.Number;
}

int TRTFWriter::ColorNumber(TColor color) {
  int n = ColorTable.Find(color);
  if (n >= 0) return n;
  n = ColorTable.Add(color);
  if (colorsWritten_) {
    std::string text = ColorTable.Items.back().Text();
    InsertAt(ColorTableEnd(), text);
    colorLen_ += text.size();
  }
  return n;
}

std::string TRTFWriter::FontToRTF(const TFont& font, bool writeLine) {
  std::string s =
      "\\f" + std::to_string(FontNumber(font.Name)) + "\\fs" + std::to_string(font.Size * 2);
  if (writeLine) WriteLn(s);
  return s;
}

std::string TRTFWriter::ColorToRTF(TColor color, TRTFColorKind kind) {
  static const char* const kWords[] = {"\\cf", "\\cbpat", "\\highlight"};
  return kWords[kind] + std::to_string(ColorNumber(color));
}

void TRTFWriter::AlignToStr(TExportColAlign align, std::string& s) {
  switch (align) {
    case ecaLeft:
      s = "\\ql";
      break;
    case ecaCenter:
      s = "\\qc";
      break;
    case ecaRight:
      s = "\\qr";
      break;
    default:
      s.clear();
  }
}

void TRTFWriter::Finish() {
  if (!spool) return;
  target->Write(spool->Data());
  spool->Clear();
}

}  // namespace morvale
