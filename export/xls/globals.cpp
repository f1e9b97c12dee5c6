// The workbook globals: the fixed head written first, and the block built at the end (fonts,
// formats, XFs, styles, sheet directory, shared strings) that goes in front of the sheets.
#include <algorithm>

#include "export/workbook/numberformat.h"
#include "export/workbook/unicode.h"
#include "export/xls/workbook.h"

namespace morvale {

namespace {

void WriteWriteAccess(TbiffWriter& w, const std::string& writerName) {
  // The identification text is written as 8-bit characters, padded with blanks to 112 bytes.
  std::string text = writerName + " 3.10";
  text.resize(std::min<size_t>(text.size(), 109));
  uint8_t* d = w.Data();
  std::fill(d, d + 112, uint8_t{0x20});
  PutU16(d, static_cast<unsigned>(text.size()));
  d[2] = 0;
  std::copy(text.begin(), text.end(), d + 3);
  w.WriteRecord(biff::kWriteAccess, 112);
}

void WriteWindow1(TbiffWriter& w) {
  const unsigned values[9] = {120, 120, 23820, 15720, 0x0038, 0, 0, 1, 600};
  for (int i = 0; i < 9; ++i) PutU16(w.Data() + 2 * i, values[i]);
  w.WriteRecord(biff::kWindow1, 18);
}

}  // namespace

void TxlsWorkbook::WriteGlobalsHead() {
  TbiffWriter& w = writer_;
  WriteBOF(w, biff::kGlobals);
  WriteWriteAccess(w, writerName_);
  w.WriteWordRecord(biff::kCodePage, 1252);
  w.WriteWordRecord(biff::kDSF, 0);
  w.WriteWordRecord(biff::kFnGroupCount, 14);
  w.WriteWordRecord(biff::kWindowProtect, 0);
  w.WriteWordRecord(biff::kProtect, 0);
  w.WriteWordRecord(biff::kPassword, 0);
  w.WriteWordRecord(biff::kProt4Rev, 0);
  w.WriteWordRecord(biff::kProt4RevPass, 0);
  WriteWindow1(w);
  w.WriteWordRecord(biff::kBackup, 0);
  w.WriteWordRecord(biff::kHideObj, 0);
  w.WriteWordRecord(biff::kDateMode, 0);  // the 1900 date system
  w.WriteWordRecord(biff::kPrecision, 1);
  w.WriteWordRecord(biff::kRefreshAll, 0);
  w.WriteWordRecord(biff::kBookBool, 0);
  insertPoint_ = stream_.Position();
  WriteEOF(w);
}

namespace {

void WriteFonts(TStream& s, const TxlsStyleRegistry& styles) {
  auto write = [&s](const TxlsFont& f) {
    TbiffFont r(Utf16(f.Name));
    r.SetHeight(static_cast<unsigned>(f.Size * 20));
    // Bit 0 repeats the bold weight: readers that look at the flags alone see bold too.
    r.SetOptions((f.Has(xfsBold) ? 0x0001u : 0u) | (f.Has(xfsItalic) ? 0x0002u : 0u) |
                 (f.Has(xfsStrikeOut) ? 0x0008u : 0u));
    r.SetColorIndex(xlsPaletteIndex(f.Color));
    r.SetWeight(f.Has(xfsBold) ? 700 : 400);
    r.SetEscapement(static_cast<unsigned>(f.Script));
    static const unsigned underline[] = {0, 1, 2, 0x21, 0x22};
    r.SetUnderline(underline[f.Underline >= 0 && f.Underline <= 4 ? f.Underline : 0]);
    r.SetCharset(static_cast<unsigned>(f.Charset));
    r.WriteTo(s);
  };
  // Fonts 0-3 are the default font; index 4 is never used, so the registered ones start at 5.
  const TxlsFont defaultFont;
  for (int i = 0; i < 4; ++i) write(defaultFont);
  for (const TxlsFont& f : styles.Fonts()) write(f);
}

void WriteFormats(TStream& s, const TxlsStyleRegistry& styles, const TFormatSettings& fs) {
  for (const TxlsTextFormat& f : styles.Formats())
    TbiffFormat(f.Index, Utf16(ExcelNumberFormat(f.Text, fs))).WriteTo(s);
}

void WriteXFs(TStream& s, const TxlsStyleRegistry& styles) {
  for (const auto& fixed : kFixedXF) TbiffXF(fixed).WriteTo(s);
  for (const TxlsXFormat& x : styles.XFormats()) TxlsStyleRegistry::EncodeXF(x).WriteTo(s);
}

// Comma, Comma [0], Currency, Currency [0], Normal, Percent. The first five name XF 16-20 (the
// first registered cell styles), the Normal style XF 0.
void WriteStyles(TStream& s) {
  static const uint8_t kStyles[6][4] = {{0x10, 0x80, 0x03, 0xFF}, {0x11, 0x80, 0x06, 0xFF},
                                        {0x12, 0x80, 0x04, 0xFF}, {0x13, 0x80, 0x07, 0xFF},
                                        {0x00, 0x80, 0x00, 0xFF}, {0x14, 0x80, 0x05, 0xFF}};
  for (const auto& st : kStyles) TbiffStyle(st).WriteTo(s);
}

}  // namespace

// Everything of the globals block before the shared strings. The BOUNDSHEET offsets already
// count the SST behind it, whose size is known from its plan without writing it.
std::string TxlsWorkbook::BlockBeforeSST() {
  TMemoryStream block;
  WriteFonts(block, styles_);
  WriteFormats(block, styles_, FormatSettings);
  WriteXFs(block, styles_);
  WriteStyles(block);
  for (auto& sheet : sheets_) {
    sheet->BoundSheetPos = static_cast<size_t>(block.Position());
    TbiffBoundSheet(Utf16(sheet->Title)).WriteTo(block);
  }
  TbiffCountry().WriteTo(block);
  if (WriteExternSheets) {
    TbiffSupbookInternal(static_cast<unsigned>(sheets_.size())).WriteTo(block);
    TbiffExternSheet(static_cast<unsigned>(sheets_.size())).WriteTo(block);
  }
  for (const auto& extra : GlobalsExtras) extra(block);
  // The sheets move behind the block: each BOUNDSHEET gets its sheet's final offset.
  std::string bytes = std::move(block.Data());
  const auto blockSize = static_cast<int64_t>(bytes.size() + sst_.RecordsSize());
  for (auto& sheet : sheets_)
    PutU32(reinterpret_cast<uint8_t*>(bytes.data()) + sheet->BoundSheetPos + 4,
           static_cast<uint32_t>(sheet->StreamPos + blockSize));
  return bytes;
}

std::string TxlsWorkbook::BuildGlobalsBlock() {
  TMemoryStream block;
  block.Write(BlockBeforeSST());
  sst_.WriteTo(block);
  return std::move(block.Data());
}

void TxlsWorkbook::PatchDimensions() {
  int64_t end = stream_.Position();
  for (auto& sheet : sheets_) {
    if (!sheet->Tracked()) continue;
    uint8_t d[12];
    PutU32(d, static_cast<uint32_t>(sheet->FirstRow));
    PutU32(d + 4, static_cast<uint32_t>(sheet->LastRow + 1));
    PutU16(d + 8, static_cast<unsigned>(sheet->FirstCol));
    PutU16(d + 10, static_cast<unsigned>(sheet->LastCol + 1));
    stream_.Seek(sheet->DimensionsPos + 4);
    stream_.Write(d, sizeof d);
  }
  stream_.Seek(end);
}

namespace {

// Hands what is written to a sink in large pieces.
class TSinkStream : public TStream {
 public:
  explicit TSinkStream(const std::function<void(const void*, size_t)>& sink) : sink_(sink) {}
  void Write(const void* data, size_t size) override {
    buffer_.append(static_cast<const char*>(data), size);
    written_ += static_cast<int64_t>(size);
    if (buffer_.size() >= (size_t{1} << 16)) Flush();
  }
  int64_t Position() const override { return written_; }
  void Flush() override {
    if (!buffer_.empty()) sink_(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  const std::function<void(const void*, size_t)>& sink_;
  std::string buffer_;
  int64_t written_ = 0;
};

}  // namespace

// The stream goes to the sink as head, globals block, sheets. The shared strings are written
// straight through rather than built in memory first: with many distinct texts they are the
// largest part of the block.
void TxlsWorkbook::FinishWorkbook(const std::function<void(const void*, size_t)>& sink) {
  PatchDimensions();
  std::string block = BlockBeforeSST();
  stream_.CopyRange(0, insertPoint_, sink);
  sink(block.data(), block.size());
  TSinkStream sst(sink);
  sst_.WriteTo(sst);
  sst.Flush();
  stream_.CopyRange(insertPoint_, stream_.Size(), sink);
}

}  // namespace morvale
