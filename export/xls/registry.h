// The style registry: every distinct combination of number format, font, borders, fill, alignment
// and wrap flag becomes one cell style (XF) with an index handed out on first use. The registries
// belong to the workbook, so sheets with equal styles share their FONT, FORMAT and XF records.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "export/workbook/styles.h"
#include "export/xls/records.h"

namespace morvale {

// A registered number format string and its index (50, 51, ...).
struct TxlsTextFormat {
  uint16_t Index = 0;
  std::string Text = "General";
};

// A registered cell style.
struct TxlsXFormat {
  uint16_t Index = 0;
  const TxlsFont* Font = nullptr;          // a registered font, or none (the default font 1)
  const TxlsTextFormat* Format = nullptr;  // a registered number format, or none ("General")
  TxlsBorders Borders;
  TxlsFill Fill;
  TxlsAlignment Alignment;
  bool Wrap = false;
};

class TxlsStyleRegistry {
 public:
  // The XF every cell without a style of its own uses.
  static constexpr uint16_t kDefaultXF = 15;
  // The first index the font, format and XF counters hand out: font 4 is never used.
  static constexpr uint16_t kFirstFont = 5, kFirstFormat = 50, kFirstXF = 16;

  TxlsStyleRegistry() = default;
  TxlsStyleRegistry(const TxlsStyleRegistry&) = delete;
  TxlsStyleRegistry& operator=(const TxlsStyleRegistry&) = delete;

  // The XF index of a cell with number format `formatText` and look `format` (or none). A font
  // equal to `referenceFont` (the data format's) counts as no font of its own.
  uint16_t GetXFIndex(std::string_view formatText, const TxlsFormat* format,
                      const TxlsFont& referenceFont);
  // A font by value (the note writer registers its fonts directly); gives its font index.
  uint16_t RegisterFont(const TxlsFont& font);

  // Registered entries in registration (= index) order.
  const std::deque<TxlsFont>& Fonts() const { return fonts_; }
  const std::deque<TxlsTextFormat>& Formats() const { return formats_; }
  const std::deque<TxlsXFormat>& XFormats() const { return xfs_; }
  // The registered style of an XF index; nullptr for the fixed XFs 0-15.
  const TxlsXFormat* FindXF(uint16_t index) const;

  // Per-field styles: (sheet, field name ignoring case) -> XF; 15 when there is none.
  void AddFieldXF(int sheet, std::string_view fieldName, uint16_t xf);
  bool HasFieldXF(int sheet, std::string_view fieldName) const;
  uint16_t FieldXF(int sheet, std::string_view fieldName) const;
  // Strip styles: (sheet, key) -> XF; 15 when there is none.
  void AddStripXF(int sheet, int key, uint16_t xf);
  uint16_t StripXF(int sheet, int key) const;
  bool HasStrips() const { return !strips_.empty(); }

  // The XF record of a registered style.
  static TbiffXF EncodeXF(const TxlsXFormat& xf);

 private:
  std::string Key(const TxlsXFormat& candidate, std::string_view formatText) const;
  const TxlsFont* FindOrAddFont(const TxlsFont& font);
  const TxlsTextFormat* FindOrAddFormat(std::string_view text);

  // Deques keep every entry where it is, so the styles may point at their font and format.
  std::deque<TxlsFont> fonts_;
  std::deque<TxlsTextFormat> formats_;
  std::deque<TxlsXFormat> xfs_;
  std::unordered_map<std::string, uint16_t> xfByKey_;
  struct TFieldEntry {
    int sheet;
    std::string name;
    uint16_t xf;
  };
  std::vector<TFieldEntry> fields_;
  struct TStripEntry {
    int sheet;
    int key;
    uint16_t xf;
  };
  std::vector<TStripEntry> strips_;
};

// The 16 fixed XF records that begin every workbook's XF list, and XF 15's bytes.
extern const uint8_t kFixedXF[16][20];

}  // namespace morvale
