// The system code page: the locale's (UTF-8 on a modern Linux) or a single-byte one such as
// Windows-1251. Text travels as bytes in it; only where a file format demands another encoding
// (UTF-16 workbook strings) is it converted.
#pragma once

#include <iconv.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/streams.h"

namespace morvale {

// The code page name iconv knows ("UTF-8", "CP1251", ...), from nl_langinfo(CODESET) at first use
// unless set.
const std::string& SystemCodePage();
void SetSystemCodePage(const std::string& name);
bool SystemCodePageIsUtf8();

// Length in characters: what the fixed-width layouts pad to, so that Cyrillic text in UTF-8 lines
// up with Latin text.
size_t TextLength(std::string_view s);

// The characters that a single-byte code page's bytes 0x80..0xFF stand for, 0 where a byte
// stands for none (0x98 in Windows-1251): what the PDF and RTF writers read a code page's texts
// by. False for UTF-8 and ASCII, which are no such tables, and for what iconv does not know.
using TSingleByteHighHalf = std::array<char32_t, 128>;
bool SingleByteHighHalf(std::string_view codePage, TSingleByteHighHalf& high);

// Converts between code pages with iconv; characters the target lacks become '?'.
std::string ConvertText(std::string_view s, const std::string& from, const std::string& to);
// The text in UTF-8, for formats that are UTF-8 whatever the system code page (the .xlsx package,
// JSON): converted from a single-byte system code page; bytes that are no UTF-8 become U+FFFD, so
// one broken value never makes the whole file unreadable.
void ToUtf8(std::string_view s, std::string& out);
// System code page to UTF-16LE bytes, and back.
std::u16string ToUtf16(std::string_view s);
std::string FromUtf16(std::u16string_view s);

// The encodings a text export can be written in: the system code page (as the text travels), or
// one that a spreadsheet program or a reader elsewhere wants (a UTF-8 file with a byte order mark
// is what spreadsheet programs open without asking).
enum TTextEncoding : int { encSystem, encUTF8, encUTF8BOM, encUTF16LE, encWindows1251 };
// The property's identifiers ("encSystem", ...), in the order of the enumeration.
const std::vector<std::string>& TextEncodingIdentifiers();
// The names users give ("system", "utf-8", "utf-8-bom", "utf-16le", "windows-1251"), any case.
bool TextEncodingByName(std::string_view name, TTextEncoding& encoding);
std::string TextEncodingName(TTextEncoding encoding);
// What iconv calls it ("UTF-8", "UTF-16LE", "CP1251"; the system code page for encSystem).
std::string TextEncodingCodePage(TTextEncoding encoding);
// False when the encoding writes the bytes as they travel (the system code page, no mark).
bool TextEncodingConverts(TTextEncoding encoding);

// Converts what is written to it from the system code page into an encoding, its byte order
// mark first, on the way to `target`. A character the encoding lacks stops the export with an
// Exception naming the character and the text around it: nothing is silently replaced.
class TEncodingStream : public TStream {
 public:
  TEncodingStream(TStream& target, TTextEncoding encoding);
  ~TEncodingStream() override;
  TEncodingStream(const TEncodingStream&) = delete;
  TEncodingStream& operator=(const TEncodingStream&) = delete;
  using TStream::Write;
  void Write(const void* data, size_t size) override;
  int64_t Position() const override { return position_; }
  // Converts what waits (a character cut at the end of the last write waits for the rest).
  void Flush() override;
  // Converts the rest; a character left incomplete at the end is an error.
  void Finish();

 private:
  void Convert(bool last);
  [[noreturn]] void Unrepresentable(size_t at) const;
  TStream& target_;
  TTextEncoding encoding_;
  iconv_t cd_;
  std::string pending_, out_;
  int64_t position_ = 0;  // bytes of the system code page written to this stream
};

}  // namespace morvale
