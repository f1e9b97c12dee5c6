#include "export/xlsx/xlsxstyles.h"

#include <xlsxwriter.h>

#include "export/workbook/numberformat.h"

namespace morvale {

unsigned xlsxRgb(TxlsColor c) {
  const auto bgr = static_cast<unsigned>(xlsColorToScreen(c));
  const unsigned rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
  // The library reads 0 as "no colour set", so a black fill or line would be left out.
  return rgb == 0 ? static_cast<unsigned>(LXW_COLOR_BLACK) : rgb;
}

namespace {

// Everything a look shows, as the key of the cache; the pattern colours count only with a pattern.
void AppendKey(const TxlsFormat& f, std::string& key) {
  auto add = [&key](int v) {
    key += std::to_string(v);
    key += ',';
  };
  const TxlsFont& t = f.Font;
  add(t.Size), add(static_cast<int>(t.Style)), add(t.Color), add(t.Script), add(t.Underline);
  key += t.Name;
  key += ',';
  for (const TxlsBorder* b : {&f.Borders.Left, &f.Borders.Right, &f.Borders.Top, &f.Borders.Bottom,
                              &f.Borders.DiagDown, &f.Borders.DiagUp})
    add(b->Style), add(b->Style == bstNone ? 0 : b->Color);
  add(f.Fill.Pattern);
  if (f.Fill.Pattern != ptNone) add(f.Fill.Background), add(f.Fill.Foreground);
  add(f.Alignment.Horizontal), add(f.Alignment.Vertical), add(f.Wrap);
}

// The BIFF enumerations the looks use are numbered as the package's own: pattern, border style,
// underline and script values carry over unchanged.
void SetFont(lxw_format* x, const TxlsFont& f) {
  format_set_font_name(x, f.Name.c_str());
  format_set_font_size(x, f.Size);
  if (f.Color != clrBlack) format_set_font_color(x, xlsxRgb(f.Color));
  if (f.Has(xfsBold)) format_set_bold(x);
  if (f.Has(xfsItalic)) format_set_italic(x);
  if (f.Has(xfsStrikeOut)) format_set_font_strikeout(x);
  if (f.Underline != fulNone) format_set_underline(x, static_cast<uint8_t>(f.Underline));
  if (f.Script != fscNone) format_set_font_script(x, static_cast<uint8_t>(f.Script));
}

void SetBorders(lxw_format* x, const TxlsBorders& b) {
  auto side = [x](const TxlsBorder& s, void (*style)(lxw_format*, uint8_t),
                  void (*color)(lxw_format*, lxw_color_t)) {
    if (s.Style == bstNone) return;
    style(x, static_cast<uint8_t>(s.Style));
    color(x, xlsxRgb(s.Color));
  };
  side(b.Left, format_set_left, format_set_left_color);
  side(b.Right, format_set_right, format_set_right_color);
  side(b.Top, format_set_top, format_set_top_color);
  side(b.Bottom, format_set_bottom, format_set_bottom_color);
  // The package has one diagonal line style for both directions.
  const bool down = b.DiagDown.Style != bstNone, up = b.DiagUp.Style != bstNone;
  if (!down && !up) return;
  format_set_diag_type(x, down && up ? LXW_DIAGONAL_BORDER_UP_DOWN
                          : up       ? LXW_DIAGONAL_BORDER_UP
                                     : LXW_DIAGONAL_BORDER_DOWN);
  const TxlsBorder& line = down ? b.DiagDown : b.DiagUp;
  format_set_diag_border(x, static_cast<uint8_t>(line.Style));
  format_set_diag_color(x, xlsxRgb(line.Color));
}

void SetAlignment(lxw_format* x, const TxlsAlignment& a, bool wrap) {
  static constexpr uint8_t horizontal[] = {LXW_ALIGN_NONE, LXW_ALIGN_LEFT, LXW_ALIGN_CENTER,
                                           LXW_ALIGN_RIGHT, LXW_ALIGN_FILL};
  static constexpr uint8_t vertical[] = {LXW_ALIGN_VERTICAL_TOP, LXW_ALIGN_VERTICAL_CENTER,
                                         LXW_ALIGN_VERTICAL_BOTTOM, LXW_ALIGN_VERTICAL_JUSTIFY};
  if (a.Horizontal > halGeneral && a.Horizontal <= halFill)
    format_set_align(x, horizontal[a.Horizontal]);
  // Bottom is the package's default and is left unwritten.
  if (a.Vertical != valBottom && a.Vertical >= valTop && a.Vertical <= valJustify)
    format_set_align(x, vertical[a.Vertical]);
  if (wrap) format_set_text_wrap(x);
}

}  // namespace

lxw_format* TxlsxStyles::Get(const TxlsFormat* look, std::string_view numberFormat) {
  static const TxlsFormat plain = [] {
    TxlsFormat f;
    f.Fill.Foreground = clrWhite;
    return f;
  }();
  const TxlsFormat& f = look ? *look : plain;
  if (SameText(numberFormat, "General")) numberFormat = {};
  key_.clear();
  AppendKey(f, key_);
  key_ += '\x01';
  key_ += numberFormat;
  auto it = formats_.find(key_);
  if (it != formats_.end()) return it->second;
  lxw_format* x = Make(f, std::string(numberFormat));
  formats_.emplace(key_, x);
  return x;
}

lxw_format* TxlsxStyles::Make(const TxlsFormat& f, const std::string& numberFormat) {
  lxw_format* x = workbook_add_format(wb_);
  SetFont(x, f.Font);
  SetBorders(x, f.Borders);
  if (f.Fill.Pattern != ptNone) {
    // The pattern is drawn in Background over Foreground: the package's fg and bg colours.
    format_set_pattern(x, static_cast<uint8_t>(f.Fill.Pattern));
    format_set_fg_color(x, xlsxRgb(f.Fill.Background));
    if (f.Fill.Pattern != ptSolid) format_set_bg_color(x, xlsxRgb(f.Fill.Foreground));
  }
  SetAlignment(x, f.Alignment, f.Wrap);
  if (!numberFormat.empty()) format_set_num_format(x, ExcelNumberFormat(numberFormat, fs_).c_str());
  return x;
}

}  // namespace morvale
