// The spreadsheet page's format editing without widgets: what the editor shows for a selection of
// formats, and the edits its controls make. Every edit writes one property into the focused
// format and then the same property into every other selected one, so that a selection of
// several entries is edited as one; the rules that tie two properties together (an empty pattern
// has a white background, a coloured background needs a pattern to show) hold for each format.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/workbook/styles.h"

namespace morvale {

// The four borders the editor offers, in the order of its sheet.
enum TxlsBorderSide : int { xbsTop, xbsBottom, xbsLeft, xbsRight };
TxlsBorder& BorderOf(TxlsFormat& f, TxlsBorderSide side);
const TxlsBorder& BorderOf(const TxlsFormat& f, TxlsBorderSide side);

// The sizes the font size list offers.
const std::vector<int>& xlsFontSizes();
// A size as typed: a number, or 10 for anything else.
int xlsFontSizeFromText(std::string_view text);

// What the lists of the editor show for a selection: a value where every selected format agrees,
// nothing (a blank list) where they differ. The toggles and colours show the focused format.
struct TxlsFormatView {
  std::optional<std::string> FontName;
  std::optional<int> FontSize;
  std::optional<TxlsBorderStyle> Borders[4];  // by TxlsBorderSide
  std::optional<TxlsPattern> Pattern;
};
TxlsFormatView ViewOf(const std::vector<TxlsFormat*>& selected, const TxlsFormat& focused);

// The edits of the editor's controls over one selection. The focused format need not be among
// `selected`; a selection without a focused format edits nothing.
class TxlsFormatEdit {
 public:
  TxlsFormatEdit(std::vector<TxlsFormat*> selected, TxlsFormat* focused)
      : selected_(std::move(selected)), focused_(focused) {}

  void SetFontName(const std::string& name);
  // Returns the size stored (10 for a text that is no number).
  int SetFontSize(std::string_view text);
  void SetFontColor(TxlsColor c);
  void SetFontStyle(TxlsFontStyle s, bool on);
  // The underline toggles: the underline while down, none when released.
  void SetUnderline(TxlsFontUnderline u, bool down);
  // The horizontal toggles: the alignment while down, general when released.
  void SetHorizontal(TxlsHorizontalAlignment a, bool down);
  void SetVertical(TxlsVerticalAlignment a);
  void SetBorderStyle(TxlsBorderSide side, TxlsBorderStyle s);
  // The border toggle is down exactly when the style is not none: pressing it on a border
  // without a line gives a thin one, releasing it removes the line.
  void ToggleBorder(TxlsBorderSide side, bool down);
  void SetBorderColor(TxlsBorderSide side, TxlsColor c);
  // The empty pattern turns the background white.
  void SetPattern(TxlsPattern p);
  // A coloured background on a format without pattern makes the pattern solid, or the colour
  // would not show.
  void SetBackground(TxlsColor c);
  void SetForeground(TxlsColor c);
  // Field formats only; other formats of the selection are left.
  void SetAggregate(TxlsAggregate a);

 private:
  template <class F>
  void Each(F set);
  std::vector<TxlsFormat*> selected_;
  TxlsFormat* focused_;
};

}  // namespace morvale
