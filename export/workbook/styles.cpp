#include "export/workbook/styles.h"

#include "export/core/propertyerror.h"
#include "export/core/translate.h"

namespace morvale {

const std::vector<std::string>& xlsBorderStyleNames() {
  static const std::vector<std::string> n = {"bstNone",
                                             "bstThin",
                                             "bstMedium",
                                             "bstDashed",
                                             "bstDotted",
                                             "bstThick",
                                             "bstDouble",
                                             "bstHair",
                                             "bstMediumDashed",
                                             "bstDashDot",
                                             "bstMediumDashDot",
                                             "bstDashDotDot",
                                             "bstMediumDashDotDot",
                                             "bstSlantedDashDot"};
  return n;
}

const std::vector<std::string>& xlsPatternNames() {
  static const std::vector<std::string> n = {
      "ptNone",         "ptSolid",          "ptChess",         "ptWhiteSpots",
      "ptBlackSpots",   "ptBoldHorizontal", "ptBoldVertical",  "ptBoldDiagRight",
      "ptBoldDiagLeft", "ptBoldChess",      "ptRingMail",      "ptThinGorizontal",
      "ptThinVertical", "ptThinDiagLeft",   "ptThinDiagRight", "ptCells",
      "ptCrissCross",   "ptThinSpots",      "ptThinThinSpots"};
  return n;
}

const std::vector<std::string>& xlsAggregateNames() {
  static const std::vector<std::string> n = {"aggNone", "aggSum", "aggAvg", "aggMin", "aggMax"};
  return n;
}

namespace {

const std::vector<std::string> kScriptNames = {"fscNone", "fscSuperscript", "fscSubscript"};
const std::vector<std::string> kUnderlineNames = {"fulNone", "fulSingle", "fulDouble",
                                                  "fulSingleAccounting", "fulDoubleAccounting"};
const std::vector<std::string> kHorizontalNames = {"halGeneral", "halLeft", "halCenter", "halRight",
                                                   "halFill"};
const std::vector<std::string> kVerticalNames = {"valTop", "valCenter", "valBottom", "valJustify"};
const std::vector<std::string> kStyleNames = {"xfsBold", "xfsItalic", "xfsStrikeOut"};
const std::vector<std::string> kFillTypeNames = {"nftSolid", "nftGradient"};
const std::vector<std::string> kGradientNames = {"ngrHorizontal", "ngrVertical",
                                                 "ngrDiagonalUp", "ngrDiagonalDown",
                                                 "ngrFromCorner", "ngrFromCenter"};
const std::vector<std::string> kOrientationNames = {"xrtNoRotation", "xlrTopToBottom",
                                                    "xlrCounterClockWise", "xlrClockWise"};

// A palette colour from text: its identifier (clrSkyBlue) or any colour text (clRed, $00FFCC00).
TxlsColor ColorFromSetting(std::string_view text, std::string_view prop) {
  const auto& ids = xlsColorIdentifiers();
  for (size_t i = 0; i < ids.size(); ++i)
    if (SameText(ids[i], TrimView(text))) return static_cast<TxlsColor>(i);
  TColor c = 0;
  if (!StringToColor(TrimView(text), c))
    throw InvalidPropertyValue(text, prop, TranslateText("Engine", "expected a palette colour"));
  return ScreenToxlsColor(c);
}

template <class C>
void AddColor(PropBuilder<C>& b, const std::string& name, TxlsColor C::*m) {
  b.Custom(
      name, "TxlsColor",
      [m](const C& o) { return xlsColorIdentifiers()[static_cast<size_t>(o.*m)]; },
      [m, name](C& o, std::string_view v) { o.*m = ColorFromSetting(v, name); },
      xlsColorIdentifiers());
}

// A font style set as "xfsBold,xfsItalic" (brackets and blanks allowed, empty for none).
std::string StyleText(TxlsFontStyles s) {
  std::string r;
  for (size_t i = 0; i < kStyleNames.size(); ++i)
    if (s & (1u << i)) r += (r.empty() ? "" : ",") + kStyleNames[i];
  return r;
}

TxlsFontStyles StyleFromText(std::string_view text) {
  TxlsFontStyles s = 0;
  std::string t;
  for (char c : text)
    if (c != '[' && c != ']' && c != ' ') t += c;
  size_t start = 0;
  while (start < t.size()) {
    size_t comma = t.find(',', start);
    std::string item =
        t.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!item.empty()) {
      // "Bold" is accepted as well as "xfsBold".
      std::string full = SameText(item.substr(0, 3), "xfs") ? item : "xfs" + item;
      s |= 1u << TextToEnum(full, kStyleNames, "Font.Style");
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return s;
}

}  // namespace

// --- TxlsFont ------------------------------------------------------------------------------------

const TPropList& TxlsFont::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsFont> b(l);
    b.Str("Name", &TxlsFont::Name).Int("Size", &TxlsFont::Size);
    b.Custom(
        "Style", "TxlsFontStyles", [](const TxlsFont& f) { return StyleText(f.Style); },
        [](TxlsFont& f, std::string_view v) { f.Style = StyleFromText(v); }, kStyleNames);
    AddColor(b, "Color", &TxlsFont::Color);
    b.Enum("Script", "TxlsFontScript", &TxlsFont::Script, kScriptNames)
        .Enum("Underline", "TxlsFontUnderline", &TxlsFont::Underline, kUnderlineNames)
        .Int("Charset", &TxlsFont::Charset);
    return l;
  }();
  return list;
}

bool TxlsFont::operator==(const TxlsFont& o) const {
  return Size == o.Size && Style == o.Style && Color == o.Color && Script == o.Script &&
         Underline == o.Underline && Charset == o.Charset && Name == o.Name;
}

bool TxlsFont::NameStored() const {
  return !SameText(Name, "arial");
}

void TxlsFont::Assign(const TxlsFont& o) {
  Size = o.Size;
  Style = o.Style;
  Color = o.Color;
  Script = o.Script;
  Underline = o.Underline;
  Charset = o.Charset;
  Name = o.Name;
}

static TxlsColor ScreenFontColor(TColor c) {
  switch (c) {
    case clMaroon:
      return clrDarkRed;
    case clRed:
      return clrRed;
    case clGreen:
      return clrGreen;
    case clOlive:
      return clrDarkYellow;
    case clLime:
      return clrBrightGreen;
    case clYellow:
      return clrYellow;
    case clNavy:
      return clrDarkBlue;
    case clPurple:
      return clrViolet;
    case clTeal:
      return clrTeal;
    case clGray:
      return clrGray50Percent;
    case clSilver:
      return clrGray25Percent;
    case clBlue:
      return clrBlue;
    case clFuchsia:
      return clrPink;
    case clAqua:
      return clrTurquoise;
    case clWhite:
      return clrWhite;
    default:
      return clrBlack;
  }
}

void TxlsFont::Assign(const TFont& screen) {
  Size = screen.Size;
  Style = 0;
  Set(xfsBold, screen.Style & fsBold);
  Set(xfsItalic, screen.Style & fsItalic);
  Set(xfsStrikeOut, screen.Style & fsStrikeOut);
  Underline = (screen.Style & fsUnderline) ? fulSingle : fulNone;
  Script = fscNone;
  Charset = screen.Charset;
  Name = screen.Name;
  Color = ScreenFontColor(screen.Color);
}

void TxlsFont::AssignTo(TFont& screen) const {
  screen.Size = Size;
  screen.Style = (Has(xfsBold) ? fsBold : 0) | (Has(xfsItalic) ? fsItalic : 0) |
                 (Has(xfsStrikeOut) ? fsStrikeOut : 0) | (Underline != fulNone ? fsUnderline : 0);
  screen.Color = xlsColorToScreen(Color);
  screen.Charset = Charset;
  screen.Name = Name;
}

// --- borders, fill, alignment --------------------------------------------------------------------

const TPropList& TxlsBorder::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsBorder> b(l);
    b.Enum("Style", "TxlsBorderStyle", &TxlsBorder::Style, xlsBorderStyleNames());
    AddColor(b, "Color", &TxlsBorder::Color);
    return l;
  }();
  return list;
}

const TPropList& TxlsBorders::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsBorders>(l)
        .Object("Left", "TxlsBorder", &TxlsBorders::Left)
        .Object("Right", "TxlsBorder", &TxlsBorders::Right)
        .Object("Top", "TxlsBorder", &TxlsBorders::Top)
        .Object("Bottom", "TxlsBorder", &TxlsBorders::Bottom)
        .Object("DiagDown", "TxlsBorder", &TxlsBorders::DiagDown)
        .Object("DiagUp", "TxlsBorder", &TxlsBorders::DiagUp);
    return l;
  }();
  return list;
}

bool TxlsBorders::operator==(const TxlsBorders& o) const {
  return Left == o.Left && Right == o.Right && Top == o.Top && Bottom == o.Bottom &&
         DiagDown == o.DiagDown && DiagUp == o.DiagUp;
}

bool TxlsBorders::AnyStyle() const {
  for (const TxlsBorder* b : {&Left, &Right, &Top, &Bottom, &DiagDown, &DiagUp})
    if (b->Style != bstNone) return true;
  return false;
}

const TPropList& TxlsFill::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsFill> b(l);
    AddColor(b, "Background", &TxlsFill::Background);
    b.Enum("Pattern", "TxlsPattern", &TxlsFill::Pattern, xlsPatternNames());
    AddColor(b, "Foreground", &TxlsFill::Foreground);
    return l;
  }();
  return list;
}

const TPropList& TxlsAlignment::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsAlignment>(l)
        .Enum("Horizontal", "TxlsHorizontalAlignment", &TxlsAlignment::Horizontal, kHorizontalNames)
        .Enum("Vertical", "TxlsVerticalAlignment", &TxlsAlignment::Vertical, kVerticalNames);
    return l;
  }();
  return list;
}

// --- formats -------------------------------------------------------------------------------------

const TPropList& TxlsFormat::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsFormat>(l)
        .Object("Font", "TxlsFont", &TxlsFormat::Font)
        .Object("Borders", "TxlsBorders", &TxlsFormat::Borders)
        .Object("Fill", "TxlsFill", &TxlsFormat::Fill)
        .Object("Alignment", "TxlsAlignment", &TxlsFormat::Alignment)
        .Bool("Wrap", &TxlsFormat::Wrap);
    return l;
  }();
  return list;
}

std::string TxlsFormat::DisplayName() const {
  if (!DisplayPrefix.empty()) return DisplayPrefix + std::to_string(CollectionIndex);
  return TxlsCustomItem::DisplayName();
}

void TxlsFormat::Reset() {
  Font = TxlsFont();
  Borders = TxlsBorders();
  Fill = TxlsFill();
  Alignment = TxlsAlignment();
  Wrap = false;
}

void TxlsFormat::Assign(const TxlsFormat& o) {
  Font.Assign(o.Font);
  Borders = o.Borders;
  Fill = o.Fill;
  Alignment = o.Alignment;
  Wrap = o.Wrap;
}

bool TxlsFormat::IsDefaultFormat() const {
  return Font.Size == 10 && Font.Style == 0 && Font.Color == clrBlack && Font.Script == fscNone &&
         Font.Underline == fulNone && Font.Charset == 1 && Font.Name == "arial" &&
         !Borders.AnyStyle() && Fill.Background == clrWhite && Fill.Pattern == ptNone &&
         Fill.Foreground == clrWhite && Alignment.Horizontal == halGeneral &&
         Alignment.Vertical == valBottom && !Wrap;
}

const TPropList& TxlsFieldFormat::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TxlsFormat::ClassProps());
    PropBuilder<TxlsFieldFormat>(l)
        .Str("FieldName", &TxlsFieldFormat::FieldName)
        .Int("Width", &TxlsFieldFormat::Width)
        .Enum("Aggregate", "TxlsAggregate", &TxlsFieldFormat::Aggregate, xlsAggregateNames());
    return l;
  }();
  return list;
}

std::string TxlsFieldFormat::DisplayName() const {
  return FieldName.empty() ? TxlsFormat::DisplayName() : FieldName;
}

void TxlsFieldFormat::Reset() {
  TxlsFormat::Reset();
  FieldName.clear();
  Width = 0;
  Aggregate = aggNone;
}

void TxlsFieldFormat::Assign(const TxlsFieldFormat& o) {
  TxlsFormat::Assign(o);
  FieldName = o.FieldName;
  Width = o.Width;
  Aggregate = o.Aggregate;
}

void TxlsFormats::Renumber() {
  for (size_t i = 0; i < items_.size(); ++i) {
    items_[i]->DisplayPrefix = strip_ ? "StripStyle_" : "";
    items_[i]->CollectionIndex = static_cast<int>(i);
  }
}

int TxlsFieldFormats::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i]->FieldName, name)) return static_cast<int>(i);
  return -1;
}

TxlsFieldFormat& TxlsFieldFormats::ForField(std::string_view name) {
  int i = IndexOf(name);
  if (i >= 0) return (*this)[i];
  TxlsFieldFormat& f = Add();
  f.FieldName = std::string(name);
  return f;
}

// --- note format ---------------------------------------------------------------------------------

TxlsNoteFormat::TxlsNoteFormat() {
  Alignment.Horizontal = halLeft;
  Alignment.Vertical = valTop;
  Font.Name = "Tahoma";
  Font.Size = 8;
  Font.Style = xlsStyle(xfsBold);
}

const TPropList& TxlsNoteFormat::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsNoteFormat> b(l);
    b.Object("Alignment", "TxlsAlignment", &TxlsNoteFormat::Alignment);
    for (auto m : {&TxlsNoteFormat::BackgroundColor, &TxlsNoteFormat::ForegroundColor}) {
      std::string name =
          m == &TxlsNoteFormat::BackgroundColor ? "BackgroundColor" : "ForegroundColor";
      b.Custom(
          name, "TColor", [m](const TxlsNoteFormat& o) { return ColorToString(o.*m); },
          [m, name](TxlsNoteFormat& o, std::string_view v) {
            TColor c = 0;
            if (!StringToColor(TrimView(v), c))
              throw InvalidPropertyValue(v, name, TranslateText("Engine", "expected a colour"));
            o.*m = c;
          });
    }
    b.Enum("FillType", "TxlsNoteFillType", &TxlsNoteFormat::FillType, kFillTypeNames)
        .Object("Font", "TxlsFont", &TxlsNoteFormat::Font)
        .Int("Transparency", &TxlsNoteFormat::Transparency)
        .Enum("Orientation", "TxlsOrientation", &TxlsNoteFormat::Orientation, kOrientationNames)
        .Enum("Gradient", "TxlsNoteGradient", &TxlsNoteFormat::Gradient, kGradientNames);
    return l;
  }();
  return list;
}

}  // namespace morvale
