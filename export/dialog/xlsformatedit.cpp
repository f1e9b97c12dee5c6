#include "export/dialog/xlsformatedit.h"

#include "export/dialog/pages.h"

namespace morvale {

TxlsBorder& BorderOf(TxlsFormat& f, TxlsBorderSide side) {
  switch (side) {
    case xbsTop:
      return f.Borders.Top;
    case xbsBottom:
      return f.Borders.Bottom;
    case xbsLeft:
      return f.Borders.Left;
    case xbsRight:
      break;
  }
  return f.Borders.Right;
}

const TxlsBorder& BorderOf(const TxlsFormat& f, TxlsBorderSide side) {
  return BorderOf(const_cast<TxlsFormat&>(f), side);
}

const std::vector<int>& xlsFontSizes() {
  static const std::vector<int> sizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
  return sizes;
}

int xlsFontSizeFromText(std::string_view text) {
  int v = 0;
  return pages::WholeNumber(text, v) ? v : 10;
}

namespace {

// The value when every selected format (and the focused one) has the same, else nothing.
template <class T, class Get>
std::optional<T> Agreed(const std::vector<TxlsFormat*>& selected, const TxlsFormat& focused,
                        Get get) {
  T v = get(focused);
  for (const TxlsFormat* f : selected)
    if (!(get(*f) == v)) return std::nullopt;
  return v;
}

}  // namespace

TxlsFormatView ViewOf(const std::vector<TxlsFormat*>& selected, const TxlsFormat& focused) {
  TxlsFormatView v;
  v.FontName = Agreed<std::string>(selected, focused, [](const TxlsFormat& f) { return f.Font.Name; });
  v.FontSize = Agreed<int>(selected, focused, [](const TxlsFormat& f) { return f.Font.Size; });
  for (int s = xbsTop; s <= xbsRight; ++s)
    v.Borders[s] = Agreed<TxlsBorderStyle>(selected, focused, [s](const TxlsFormat& f) {
      return BorderOf(f, static_cast<TxlsBorderSide>(s)).Style;
    });
  v.Pattern = Agreed<TxlsPattern>(selected, focused, [](const TxlsFormat& f) { return f.Fill.Pattern; });
  return v;
}

template <class F>
void TxlsFormatEdit::Each(F set) {
  if (!focused_) return;
  set(*focused_);
  for (TxlsFormat* f : selected_)
    if (f != focused_) set(*f);
}

void TxlsFormatEdit::SetFontName(const std::string& name) {
  Each([&](TxlsFormat& f) { f.Font.Name = name; });
}

int TxlsFormatEdit::SetFontSize(std::string_view text) {
  int size = xlsFontSizeFromText(text);
  Each([&](TxlsFormat& f) { f.Font.Size = size; });
  return size;
}

void TxlsFormatEdit::SetFontColor(TxlsColor c) {
  Each([&](TxlsFormat& f) { f.Font.Color = c; });
}

void TxlsFormatEdit::SetFontStyle(TxlsFontStyle s, bool on) {
  Each([&](TxlsFormat& f) { f.Font.Set(s, on); });
}

void TxlsFormatEdit::SetUnderline(TxlsFontUnderline u, bool down) {
  Each([&](TxlsFormat& f) { f.Font.Underline = down ? u : fulNone; });
}

void TxlsFormatEdit::SetHorizontal(TxlsHorizontalAlignment a, bool down) {
  Each([&](TxlsFormat& f) { f.Alignment.Horizontal = down ? a : halGeneral; });
}

void TxlsFormatEdit::SetVertical(TxlsVerticalAlignment a) {
  Each([&](TxlsFormat& f) { f.Alignment.Vertical = a; });
}

void TxlsFormatEdit::SetBorderStyle(TxlsBorderSide side, TxlsBorderStyle s) {
  Each([&](TxlsFormat& f) { BorderOf(f, side).Style = s; });
}

void TxlsFormatEdit::ToggleBorder(TxlsBorderSide side, bool down) {
  if (!focused_) return;
  // The focused border decides, as its toggle is the one shown; the others take its style.
  TxlsBorderStyle now = BorderOf(*focused_, side).Style;
  TxlsBorderStyle s = !down ? bstNone : (now == bstNone ? bstThin : now);
  SetBorderStyle(side, s);
}

void TxlsFormatEdit::SetBorderColor(TxlsBorderSide side, TxlsColor c) {
  Each([&](TxlsFormat& f) { BorderOf(f, side).Color = c; });
}

void TxlsFormatEdit::SetPattern(TxlsPattern p) {
  Each([&](TxlsFormat& f) {
    f.Fill.Pattern = p;
    if (p == ptNone) f.Fill.Background = clrWhite;
  });
}

void TxlsFormatEdit::SetBackground(TxlsColor c) {
  Each([&](TxlsFormat& f) {
    f.Fill.Background = c;
    if (c != clrWhite && f.Fill.Pattern == ptNone) f.Fill.Pattern = ptSolid;
  });
}

void TxlsFormatEdit::SetForeground(TxlsColor c) {
  Each([&](TxlsFormat& f) { f.Fill.Foreground = c; });
}

void TxlsFormatEdit::SetAggregate(TxlsAggregate a) {
  Each([&](TxlsFormat& f) {
    if (auto* ff = dynamic_cast<TxlsFieldFormat*>(&f)) ff->Aggregate = a;
  });
}

}  // namespace morvale
