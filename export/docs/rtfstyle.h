// Text styles of the RTF export (font, colours, highlight, alignment) and the exporter's options:
// the styles of the four kinds of text, the strip styles that alternate by row or column, and the
// page orientation.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/graphics.h"
#include "export/core/page.h"
#include "export/core/properties.h"

namespace morvale {

class TIniFile;

// The stored "Alignment" key is this ordinal: 0 left, 1 right, 2 centre, 3 fill.
enum TrtfTextAlignment : int { talLeft, talRight, talCenter, talFill };
enum TrtfStripType : int { stNone, stCol, stRow };

class TrtfStyle : public TPersistent {
 public:
  TrtfStyle() { Reset(); }

  TFont Font;
  TColor BackgroundColor = clWhite;
  TColor HighlightColor = clWhite;
  bool AllowHighlight = false;
  bool AllowBackground = true;
  TrtfTextAlignment Alignment = talLeft;

  // "Arial" 10, black, no font styles; white background written, white highlight not written;
  // left-aligned.
  void Reset();
  void Assign(const TrtfStyle& other) { *this = other; }
  bool operator==(const TrtfStyle& o) const;

  // One section of a settings file: FontName, FontSize, FontColor, FontBold, FontItalic,
  // FontUnderline, FontStrikeOut, BackgroundColor, HighlightColor, AllowHighlight,
  // AllowBackground, Alignment.
  void SaveToIni(TIniFile& ini, std::string_view section) const;
  // Resets first; a missing key keeps the default.
  void LoadFromIni(const TIniFile& ini, std::string_view section);

  const TPropList& Published() const override;
};

// The strip styles. Published as "Count" and one entry per style named by its index, so that
// "Options.StripStyles.Count=2" and "Options.StripStyles.1.Font.Color=clRed" reach every item;
// "File" loads the strip styles of a style file (sections "RTF_STRIP_STYLE_...").
class TrtfStyles : public TPersistent {
 public:
  TrtfStyles() = default;
  TrtfStyles(const TrtfStyles& o) : TPersistent(), items_(o.items_) {}
  TrtfStyles& operator=(const TrtfStyles& o) {
    items_ = o.items_;
    return *this;
  }

  int Count() const { return static_cast<int>(items_.size()); }
  TrtfStyle& operator[](int i) { return items_[static_cast<size_t>(i)]; }
  const TrtfStyle& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
  TrtfStyle& Add() { return items_.emplace_back(); }
  void Delete(int i) { items_.erase(items_.begin() + i); }
  void Clear() { items_.clear(); }
  // New items have the style defaults; surplus items are dropped.
  void SetCount(int n);

  // Replaces the list with the "RTF_STRIP_STYLE_..." sections of a settings file, in file order.
  void LoadFromIni(const TIniFile& ini);
  // Writes "RTF_STRIP_STYLE_0", "RTF_STRIP_STYLE_1", ...
  void SaveToIni(TIniFile& ini) const;

  const TPropList& Published() const override;

 private:
  std::vector<TrtfStyle> items_;
  mutable std::unique_ptr<TPropList> props_;
  mutable int propsCount_ = -1;
};

class TRTFOptions : public TPersistent {
 public:
  TRTFOptions();

  TStringList CaptionAligns;  // NAME=Left|Center|Right
  TrtfStyle CaptionStyle;     // the data style's defaults, bold, centred
  TrtfStyle DataStyle;
  TExportPageOrientation PageOrientation = poPortrait;
  TrtfStyles StripStyles;
  TrtfStripType StripType = stNone;
  TrtfStyle HeaderStyle, FooterStyle;
  // A table too wide for the page is set in a smaller type, never below MinFontSize points, and
  // on the turned page when that takes it in a larger type (AutoOrientation), so that no column
  // gets narrower than its longest word.
  int MinFontSize = 8;
  bool AutoOrientation = true;

  void Assign(const TRTFOptions& other) { *this = other; }

  const TPropList& Published() const override;
};

}  // namespace morvale
