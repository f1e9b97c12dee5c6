#include "export/docs/pdfoptions.h"

#include <cmath>
#include <utility>

#include "export/core/properties.h"
#include "export/core/propertyerror.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

const char* const kBaseFontNames[] = {
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Symbol",      "ZapfDingbats"};

const char* const kEncodingNames[] = {"StandardEncoding", "WinAnsiEncoding", "MacRomanEncoding",
                                      "PDFDocEncoding"};

// Portrait width and height in inches, in the order of TExportPageFormat.
const double kPageInches[][2] = {{8.5, 11},    {8.5, 14},     {11.69, 16.54}, {8.27, 11.69},
                                 {5.83, 8.27}, {7.17, 10.12}, {14.88, 11},    {8.5, 12}};

// Measures are truncated to whole points; the small nudge keeps a value such as 0.1 × 72, which
// binary floating point holds as 7.199999…, from losing a point it was meant to have.
int TruncPoints(double v) {
  return static_cast<int>(std::trunc(v + (v < 0 ? -1e-7 : 1e-7)));
}

template <class C>
void ColorProperty(PropBuilder<C>& b, const std::string& name, TColor C::*m) {
  b.Custom(
      name, "TColor", [m](const C& o) { return ColorToString(o.*m); },
      [m, name](C& o, std::string_view v) {
        TColor c = 0;
        if (!StringToColor(v, c))
          throw InvalidPropertyValue(v, name, TranslateText("Engine", "expected a colour"));
        o.*m = c;
      });
}

// A page measure: read and written in the page's units.
void MeasureProperty(PropBuilder<TExportPDFPageOptions>& b, const std::string& name,
                     double (TExportPDFPageOptions::*get)() const,
                     void (TExportPDFPageOptions::*set)(double)) {
  b.Custom(
      name, "Double", [get](const TExportPDFPageOptions& o) { return PropDoubleText((o.*get)()); },
      [set, name](TExportPDFPageOptions& o, std::string_view v) {
        (o.*set)(TextToDouble(v, name));
      });
}

std::vector<std::string> FontNames() {
  return {"poHelvetica",  "poHelveticaBold", "poHelveticaOblique", "poHelveticaBoldOblique",
          "poCourier",    "poCourierBold",   "poCourierOblique",   "poCourierBoldOblique",
          "poTimesRoman", "poTimesBold",     "poTimesItalic",      "poTimesBoldItalic",
          "poSymbol",     "poZapfDingbats"};
}

}  // namespace

const char* PDFBaseFontName(TPDFFontName f) {
  return f >= poHelvetica && f <= poZapfDingbats ? kBaseFontNames[f] : "Helvetica";
}

const char* PDFEncodingName(TPDFFontEncoding e) {
  return e >= poStandardEncoding && e <= poPDFDocEncoding ? kEncodingNames[e] : "WinAnsiEncoding";
}

const TPropList& TPDFFont::Published() const {
  static const TPropList list = [this] {
    TPropList l(&TPersistent::Published());
    PropBuilder<TPDFFont> b(l);
    b.Enum("BaseFont", "TPDFFontName", &TPDFFont::BaseFont, FontNames())
        .Enum("FontEncoding", "TPDFFontEncoding", &TPDFFont::FontEncoding,
              {"poStandardEncoding", "poWinAnsiEncoding", "poMacRomanEncoding", "poPDFDocEncoding"})
        .Int("FontSize", &TPDFFont::FontSize);
    ColorProperty(b, "FontColor", &TPDFFont::FontColor);
    return l;
  }();
  return list;
}

const TPropList& TPDFBox::Published() const {
  static const TPropList list = [this] {
    TPropList l(&TPersistent::Published());
    PropBuilder<TPDFBox>(l)
        .Int("Left", &TPDFBox::Left)
        .Int("Bottom", &TPDFBox::Bottom)
        .Int("Right", &TPDFBox::Right)
        .Int("Top", &TPDFBox::Top);
    return l;
  }();
  return list;
}

TExportPDFPageOptions::TExportPDFPageOptions() {
  SetFormat(pfA4);
  SetMarginLeft(1.18);
  SetMarginRight(0.59);
  SetMarginTop(0.79);
  SetMarginBottom(0.79);
}

void TExportPDFPageOptions::SetFormat(TExportPageFormat f) {
  format_ = f;
  if (f < pfLetter || f >= pfUser) return;
  width_ = TruncPoints(kPageInches[f][0] * 72);
  height_ = TruncPoints(kPageInches[f][1] * 72);
  // A named format keeps the orientation the page already has: a landscape page stays landscape.
  if (orientation_ == poLandscape) std::swap(width_, height_);
}

void TExportPDFPageOptions::SetOrientation(TExportPageOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  std::swap(width_, height_);
  int l = left_, r = right_, t = top_, b = bottom_;
  if (o == poLandscape) {
    left_ = b, right_ = t, top_ = l, bottom_ = r;
  } else {
    left_ = t, right_ = b, top_ = r, bottom_ = l;
  }
}

void TExportPDFPageOptions::SetWidth(double v) {
  width_ = ToPoints(v);
  format_ = pfUser;
}

void TExportPDFPageOptions::SetHeight(double v) {
  height_ = ToPoints(v);
  format_ = pfUser;
}

int TExportPDFPageOptions::ToPoints(double v) const {
  switch (Units) {
    case unInch:
      return TruncPoints(v * 72);
    case unMillimeter:
      return TruncPoints(v / 25.4 * 72);
    default:
      return TruncPoints(v);
  }
}

// Inches are shown with two decimals and millimetres with one, rounded up: the shown value is the
// smallest that converts back to the same whole point, so reading a measure and writing it back
// never moves the page (42 points are 0.5833 inch; rounded to 0.58 they would come back as 41).
double TExportPDFPageOptions::FromPoints(int p) const {
  switch (Units) {
    case unInch:
      return std::ceil(p / 72.0 * 100 - 1e-9) / 100;
    case unMillimeter:
      return std::ceil(p / 72.0 * 254 - 1e-9) / 10;
    default:
      return p;
  }
}

TPDFBox TExportPDFPageOptions::MediaBox() const {
  return {0, 0, width_ - 1, height_ - 1};
}

TPDFBox TExportPDFPageOptions::PrintArea() const {
  return {left_, bottom_, width_ - right_ - 1, height_ - top_ - 1};
}

const TPropList& TExportPDFPageOptions::Published() const {
  using P = TExportPDFPageOptions;
  static const TPropList list = [this] {
    TPropList l(&TPersistent::Published());
    // Settings are read back in this order, and the order makes a saved page come back as it was:
    // units before any measure, orientation before the size (turning swaps the size), the size
    // before the format (setting a size makes the format pfUser, a named format sets its own
    // size again), and the margins last (turning the page turns them).
    PropBuilder<P> b(l);
    b.Enum("Units", "TExportUnits", &P::Units, {"unInch", "unMillimeter", "unDot"});
    std::vector<std::string> orientations{"poPortrait", "poLandscape"};
    b.Custom(
        "Orientation", "TExportPageOrientation",
        [orientations](const P& o) { return orientations[o.Orientation()]; },
        [orientations](P& o, std::string_view v) {
          o.SetOrientation(
              static_cast<TExportPageOrientation>(TextToEnum(v, orientations, "Orientation")));
        },
        orientations);
    MeasureProperty(b, "Width", &P::Width, &P::SetWidth);
    MeasureProperty(b, "Height", &P::Height, &P::SetHeight);
    std::vector<std::string> formats{"pfLetter", "pfLegal",          "pfA3",      "pfA4",  "pfA5",
                                     "pfB5_JIS", "pfUS_Std_Fanfold", "pfFanfold", "pfUser"};
    b.Custom(
        "Format", "TExportPageFormat", [formats](const P& o) { return formats[o.Format()]; },
        [formats](P& o, std::string_view v) {
          o.SetFormat(static_cast<TExportPageFormat>(TextToEnum(v, formats, "Format")));
        },
        formats);
    MeasureProperty(b, "MarginLeft", &P::MarginLeft, &P::SetMarginLeft);
    MeasureProperty(b, "MarginRight", &P::MarginRight, &P::SetMarginRight);
    MeasureProperty(b, "MarginTop", &P::MarginTop, &P::SetMarginTop);
    MeasureProperty(b, "MarginBottom", &P::MarginBottom, &P::SetMarginBottom);
    return l;
  }();
  return list;
}

const TPropList& TPDFOptions::Published() const {
  static const TPropList list = [this] {
    TPropList l(&TPersistent::Published());
    PropBuilder<TPDFOptions> b(l);
    b.Object("PageOptions", "TExportPDFPageOptions", &TPDFOptions::PageOptions)
        .Object("HeaderFont", "TPDFFont", &TPDFOptions::HeaderFont)
        .Object("CaptionFont", "TPDFFont", &TPDFOptions::CaptionFont)
        .Object("DataFont", "TPDFFont", &TPDFOptions::DataFont)
        .Object("FooterFont", "TPDFFont", &TPDFOptions::FooterFont)
        .Double("RowSpacing", &TPDFOptions::RowSpacing)
        .Double("ColSpacing", &TPDFOptions::ColSpacing)
        .Int("GridLineWidth", &TPDFOptions::GridLineWidth);
    ColorProperty(b, "GridLineColor", &TPDFOptions::GridLineColor);
    b.Bool("RepeatCaptions", &TPDFOptions::RepeatCaptions)
        .Int("MinFontSize", &TPDFOptions::MinFontSize)
        .Bool("AutoOrientation", &TPDFOptions::AutoOrientation)
        .Str("UnicodeFont", &TPDFOptions::UnicodeFont);
    return l;
  }();
  return list;
}

}  // namespace morvale
