// The RTF writer: the document's first line, its font and colour tables, and the control words
// of fonts, colours and alignments. Fonts and colours enter their tables when first used; the
// tables stand at the top of the file, so a new entry is inserted into what is already written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/export.h"

namespace morvale {

class TMemoryStream;

struct TRTFHeader {
  int Version = 1;
  std::string CharSet = "ansi";
  int DefaultFont = 0;
  int DefaultTabWidth = 720;
  // "{\rtf1\ansi\deff0\deftab720"
  std::string Text() const;
};

struct TRTFFontTableItem {
  int Number = 0;
  std::string Family = "nil";
  std::string Name;
  std::string Text() const;  // "{\f0\fnil Arial;}"
};

struct TRTFColorTableItem {
  int Red = 0, Green = 0, Blue = 0;
  std::string Text() const;  // "\red0\green0\blue0;"
};

class TRTFFontTable {
 public:
  std::vector<TRTFFontTableItem> Items;
  // The number of the first font of that name (without regard to case), or -1.
  int Find(std::string_view name) const;
  // A new font numbered one above the highest number.
  TRTFFontTableItem& Add(std::string_view name);
  std::string Text() const;  // "{\fonttbl" items "}"
};

class TRTFColorTable {
 public:
  std::vector<TRTFColorTableItem> Items;
  // The index of the colour with the same red, green and blue, or -1.
  int Find(TColor color) const;
  int Add(TColor color);
  std::string Text() const;  // "{\colortbl" items "}"
};

enum TRTFColorKind : int { ckFont, ckBackground, ckHighlight };

namespace detail {
// Outputs that cannot be read back and rewritten (a pipe, standard output) get the document in
// memory first; it is a base so that it exists before the writer's own base is built on it.
struct TRTFSpool {
  explicit TRTFSpool(TStream& output);
  TStream& Target() { return spool ? static_cast<TStream&>(*spool) : *target; }
  std::unique_ptr<TMemoryStream> spool;
  TStream* target;
};
}  // namespace detail

class TRTFWriter : private detail::TRTFSpool, public TExportWriter {
 public:
  TRTFWriter(TExport& owner, TStream& stream);
  ~TRTFWriter() override;

  TRTFHeader Header;
  TRTFFontTable FontTable;
  TRTFColorTable ColorTable;

  void WriteHeader();      // the first line
  void WriteFontTable();   // one line
  void WriteColorTable();  // one line
  // "\f%d\fs%d" of the font (its number found or added by name); written as a line when asked.
  std::string FontToRTF(const TFont& font, bool writeLine = false);
  // "\cf%d", "\cbpat%d" or "\highlight%d" of the colour's number (found or added).
  std::string ColorToRTF(TColor color, TRTFColorKind kind);
  void WritePar() { WriteLn("\\par"); }
  // ecaLeft "\ql", ecaCenter "\qc", ecaRight "\qr", anything else nothing.
  void AlignToStr(TExportColAlign align, std::string& s) override;

  int FontNumber(std::string_view name);
  int ColorNumber(TColor color);

  // Hands a spooled document to its output; call once the last byte is written.
  void Finish();

 private:
  // Writes `text` at `pos` of the document and moves what followed behind it.
  void InsertAt(int64_t pos, std::string_view text);
  int64_t FontTableEnd() const;   // position of the font table's closing brace
  int64_t ColorTableEnd() const;  // position of the colour table's closing brace
  int64_t docStart_ = 0;
  size_t headerLen_ = 0, fontLen_ = 0, colorLen_ = 0;  // texts as written, line ends included
  bool fontsWritten_ = false, colorsWritten_ = false;
};

}  // namespace morvale
