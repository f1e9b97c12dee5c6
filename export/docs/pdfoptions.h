// Settings of the PDF exporter: the four fonts, the page (size, units, orientation, margins) and
// the table's spacing and rules. Page measures are held as whole points; the units only convert
// when a measure is read or written, so switching units never moves anything on the page.
#pragma once

#include <string>

#include "export/core/classes.h"
#include "export/core/graphics.h"
#include "export/core/page.h"

namespace morvale {

enum TPDFFontName : int {
  poHelvetica,
  poHelveticaBold,
  poHelveticaOblique,
  poHelveticaBoldOblique,
  poCourier,
  poCourierBold,
  poCourierOblique,
  poCourierBoldOblique,
  poTimesRoman,
  poTimesBold,
  poTimesItalic,
  poTimesBoldItalic,
  poSymbol,
  poZapfDingbats
};

enum TPDFFontEncoding : int {
  poStandardEncoding,
  poWinAnsiEncoding,
  poMacRomanEncoding,
  poPDFDocEncoding
};

enum TExportPageFormat : int {
  pfLetter,
  pfLegal,
  pfA3,
  pfA4,
  pfA5,
  pfB5_JIS,
  pfUS_Std_Fanfold,
  pfFanfold,
  pfUser
};

enum TExportUnits : int { unInch, unMillimeter, unDot };

// "Helvetica", ... "ZapfDingbats"; "StandardEncoding", ... "PDFDocEncoding".
const char* PDFBaseFontName(TPDFFontName f);
const char* PDFEncodingName(TPDFFontEncoding e);
// Symbol and ZapfDingbats draw pictures, not letters: their text is not transcoded.
inline bool IsSymbolicFont(TPDFFontName f) {
  return f == poSymbol || f == poZapfDingbats;
}

class TPDFFont : public TPersistent {
 public:
  TPDFFont() = default;
  explicit TPDFFont(std::string resourceName) : resourceName_(std::move(resourceName)) {}

  const TPropList& Published() const override;

  TPDFFontName BaseFont = poHelvetica;
  TPDFFontEncoding FontEncoding = poWinAnsiEncoding;
  int FontSize = 10;
  TColor FontColor = clBlack;

  // The name the page content refers to the font by ("DataFont", ...).
  const std::string& ResourceName() const { return resourceName_; }
  void SetResourceName(std::string name) { resourceName_ = std::move(name); }

  bool operator==(const TPDFFont& o) const {
    return BaseFont == o.BaseFont && FontEncoding == o.FontEncoding && FontSize == o.FontSize &&
           FontColor == o.FontColor && resourceName_ == o.resourceName_;
  }

 private:
  std::string resourceName_;
};

class TPDFBox : public TPersistent {
 public:
  TPDFBox() = default;
  TPDFBox(int left, int bottom, int right, int top)
      : Left(left), Bottom(bottom), Right(right), Top(top) {}
  const TPropList& Published() const override;

  int Left = 0, Bottom = 0, Right = 0, Top = 0;

  bool operator==(const TPDFBox& o) const {
    return Left == o.Left && Bottom == o.Bottom && Right == o.Right && Top == o.Top;
  }
};

class TExportPDFPageOptions : public TPersistent {
 public:
  TExportPDFPageOptions();
  const TPropList& Published() const override;

  TExportPageFormat Format() const { return format_; }
  // A named format sets its size (in the current orientation); pfUser keeps the size.
  void SetFormat(TExportPageFormat f);
  TExportUnits Units = unInch;
  TExportPageOrientation Orientation() const { return orientation_; }
  // Swaps width and height and turns the margins with the paper.
  void SetOrientation(TExportPageOrientation o);

  // In Units. Setting the width or the height makes the format pfUser.
  double Width() const { return FromPoints(width_); }
  double Height() const { return FromPoints(height_); }
  void SetWidth(double v);
  void SetHeight(double v);
  double MarginLeft() const { return FromPoints(left_); }
  double MarginRight() const { return FromPoints(right_); }
  double MarginTop() const { return FromPoints(top_); }
  double MarginBottom() const { return FromPoints(bottom_); }
  void SetMarginLeft(double v) { left_ = ToPoints(v); }
  void SetMarginRight(double v) { right_ = ToPoints(v); }
  void SetMarginTop(double v) { top_ = ToPoints(v); }
  void SetMarginBottom(double v) { bottom_ = ToPoints(v); }

  // The measures in points, whatever the units.
  int WidthPoints() const { return width_; }
  int HeightPoints() const { return height_; }
  int LeftPoints() const { return left_; }
  int RightPoints() const { return right_; }
  int TopPoints() const { return top_; }
  int BottomPoints() const { return bottom_; }

  // (0, 0, width - 1, height - 1) and the part of the page inside the margins.
  TPDFBox MediaBox() const;
  TPDFBox PrintArea() const;

  int ToPoints(double v) const;
  double FromPoints(int points) const;

 private:
  TExportPageFormat format_ = pfA4;
  TExportPageOrientation orientation_ = poPortrait;
  int width_ = 0, height_ = 0;
  int left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
};

class TPDFOptions : public TPersistent {
 public:
  const TPropList& Published() const override;

  TExportPDFPageOptions PageOptions;
  TPDFFont HeaderFont{"HeaderFont"};
  TPDFFont CaptionFont{"CaptionFont"};
  TPDFFont DataFont{"DataFont"};
  TPDFFont FooterFont{"FooterFont"};
  double RowSpacing = 1.0;
  double ColSpacing = 3.0;
  int GridLineWidth = 1;
  TColor GridLineColor = clBlack;
  // The caption row again at the top of every page of the table.
  bool RepeatCaptions = false;
  // A table wider than the print area is drawn smaller to fit it, but never in a font below this
  // size (points); past it the columns that do not fit continue on pages of their own.
  int MinFontSize = 8;
  // A table that does not fit the page at its font size turns the page when the turned page
  // takes it in a larger type.
  bool AutoOrientation = true;
  // The TrueType file for the texts the standard fonts cannot show; empty: DejaVu Sans (Serif,
  // Mono for Times and Courier) found through fontconfig.
  std::string UnicodeFont;
};

}  // namespace morvale
