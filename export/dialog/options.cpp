#include "export/dialog/options.h"

#include "export/core/formatsettings.h"
#include "export/core/properties.h"
#include "export/core/propertyerror.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

template <class C>
void AddColor(PropBuilder<C>& b, const std::string& name, TColor C::*m) {
  b.Custom(
      name, "TColor", [m](const C& o) { return ColorToString(o.*m); },
      [m, name](C& o, std::string_view v) {
        if (!StringToColor(v, o.*m))
          throw InvalidPropertyValue(v, name, TranslateText("Engine", "expected a colour"));
      });
}

const std::vector<std::string> kOrientationNames{"poPortrait", "poLandscape"};

}  // namespace

bool SameXlsFormat(const TxlsFormat& a, const TxlsFormat& b) {
  return a.Font == b.Font && a.Borders == b.Borders && a.Fill == b.Fill &&
         a.Alignment == b.Alignment && a.Wrap == b.Wrap;
}

bool SameXlsFieldFormat(const TxlsFieldFormat& a, const TxlsFieldFormat& b) {
  return SameXlsFormat(a, b) && a.FieldName == b.FieldName && a.Width == b.Width &&
         a.Aggregate == b.Aggregate;
}

bool SameXlsNoteFormat(const TxlsNoteFormat& a, const TxlsNoteFormat& b) {
  return a.Alignment == b.Alignment && a.BackgroundColor == b.BackgroundColor &&
         a.ForegroundColor == b.ForegroundColor && a.FillType == b.FillType && a.Font == b.Font &&
         a.Transparency == b.Transparency && a.Orientation == b.Orientation &&
         a.Gradient == b.Gradient;
}

bool SamePDFPage(const TExportPDFPageOptions& a, const TExportPDFPageOptions& b) {
  return a.Format() == b.Format() && a.Units == b.Units && a.Orientation() == b.Orientation() &&
         a.WidthPoints() == b.WidthPoints() && a.HeightPoints() == b.HeightPoints() &&
         a.LeftPoints() == b.LeftPoints() && a.RightPoints() == b.RightPoints() &&
         a.TopPoints() == b.TopPoints() && a.BottomPoints() == b.BottomPoints();
}

// RTF

TExportRTFOptions::TExportRTFOptions(TExportDialog* owner) : TExportOptions(owner) {
  CaptionStyle.Font.Style = fsBold;
  CaptionStyle.Alignment = talCenter;
}

bool TExportRTFOptions::operator==(const TExportRTFOptions& o) const {
  if (StripStyles.Count() != o.StripStyles.Count()) return false;
  for (int i = 0; i < StripStyles.Count(); ++i)
    if (!(StripStyles[i] == o.StripStyles[i])) return false;
  return CaptionAligns == o.CaptionAligns && CaptionStyle == o.CaptionStyle &&
         DataStyle == o.DataStyle && FooterStyle == o.FooterStyle && HeaderStyle == o.HeaderStyle &&
         PageOrientation == o.PageOrientation && StripType == o.StripType;
}

const TPropList& TExportRTFOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportRTFOptions>(l)
        .Strings("CaptionAligns", &TExportRTFOptions::CaptionAligns)
        .Object("CaptionStyle", "TrtfStyle", &TExportRTFOptions::CaptionStyle)
        .Object("DataStyle", "TrtfStyle", &TExportRTFOptions::DataStyle)
        .Object("FooterStyle", "TrtfStyle", &TExportRTFOptions::FooterStyle)
        .Object("HeaderStyle", "TrtfStyle", &TExportRTFOptions::HeaderStyle)
        .Enum("PageOrientation", "TExportPageOrientation", &TExportRTFOptions::PageOrientation,
              kOrientationNames)
        .Object("StripStyles", "TrtfStyles", &TExportRTFOptions::StripStyles)
        .Enum("StripType", "TrtfStripType", &TExportRTFOptions::StripType,
              {"stNone", "stCol", "stRow"});
    return l;
  }();
  return list;
}

// XML, SQL

const TPropList& TExportXMLOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportXMLOptions>(l)
        .Bool("Standalone", &TExportXMLOptions::Standalone)
        .Str("Encoding", &TExportXMLOptions::Encoding);
    return l;
  }();
  return list;
}

const TPropList& TExportSQLOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportSQLOptions>(l)
        .Str("TableName", &TExportSQLOptions::TableName)
        .Bool("CreateTable", &TExportSQLOptions::CreateTable)
        .Int("CommitRecCount", &TExportSQLOptions::CommitRecCount)
        .Bool("CommitAfterScript", &TExportSQLOptions::CommitAfterScript)
        .Str("CommitStatement", &TExportSQLOptions::CommitStatement)
        .Char("StatementTerm", &TExportSQLOptions::StatementTerm);
    return l;
  }();
  return list;
}

// HTML

const TPropList& TExportHTMLTableOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    using C = TExportHTMLTableOptions;
    PropBuilder<C> b(l);
    b.Int("BorderWidth", &C::BorderWidth)
        .Int("CellPadding", &C::CellPadding)
        .Int("CellSpacing", &C::CellSpacing)
        .Strings("AdvancedAttributes", &C::AdvancedAttributes);
    AddColor(b, "HeadersRowBgColor", &C::HeadersRowBgColor);
    AddColor(b, "HeadersRowFontColor", &C::HeadersRowFontColor);
    AddColor(b, "TableBgColor", &C::TableBgColor);
    AddColor(b, "TableFontColor", &C::TableFontColor);
    AddColor(b, "OddRowBgColor", &C::OddRowBgColor);
    AddColor(b, "BorderColor", &C::BorderColor);
    b.Str("BackgroundFileName", &C::BackgroundFileName);
    return l;
  }();
  return list;
}

TExportHTMLPageOptions::TExportHTMLPageOptions(TExportDialog* owner) : TExportOptions(owner) {
  TextFont.Name = "Arial";
  TextFont.Color = clWhite;
}

const TPropList& TExportHTMLPageOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    using C = TExportHTMLPageOptions;
    PropBuilder<C> b(l);
    b.Str("Title", &C::Title);
    AddColor(b, "BackgroundColor", &C::BackgroundColor);
    b.Object("TextFont", "TFont", &C::TextFont);
    AddColor(b, "LinkColor", &C::LinkColor);
    AddColor(b, "VLinkColor", &C::VLinkColor);
    AddColor(b, "ALinkColor", &C::ALinkColor);
    b.Str("BackgroundFileName", &C::BackgroundFileName)
        .Strings("AdvancedAttributes", &C::AdvancedAttributes)
        .Enum("UsingCSS", "TUsingCSS", &C::UsingCSS, {"usInternal", "usExternal"})
        .Str("CSSFileName", &C::CSSFileName)
        .Bool("OverwriteCSSFile", &C::OverwriteCSSFile)
        .Bool("BoolAsCheckBox", &C::BoolAsCheckBox);
    return l;
  }();
  return list;
}

const TPropList& TExportHTMLMultiFileOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    using C = TExportHTMLMultiFileOptions;
    PropBuilder<C>(l)
        .Int("FileRecCount", &C::FileRecCount)
        .Bool("GenerateIndex", &C::GenerateIndex)
        .Str("IndexLinkTemplate", &C::IndexLinkTemplate)
        .Bool("NavigationOnTop", &C::NavigationOnTop)
        .Bool("NavigationOnBottom", &C::NavigationOnBottom)
        .Str("IndexLinkTitle", &C::IndexLinkTitle)
        .Str("FirstLinkTitle", &C::FirstLinkTitle)
        .Str("PriorLinkTitle", &C::PriorLinkTitle)
        .Str("NextLinkTitle", &C::NextLinkTitle)
        .Str("LastLinkTitle", &C::LastLinkTitle);
    return l;
  }();
  return list;
}

// TXT, CSV

const TPropList& TExportTXTOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportTXTOptions>(l)
        .Bool("AutoCalcColWidth", &TExportTXTOptions::AutoCalcColWidth)
        .Int("ColSpacing", &TExportTXTOptions::ColSpacing);
    return l;
  }();
  return list;
}

const TPropList& TExportJSONOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportJSONOptions>(l).Bool("JSONLines", &TExportJSONOptions::JSONLines);
    return l;
  }();
  return list;
}

const TPropList& TExportDBFOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportDBFOptions>(l).Bool("DateTimeAsText", &TExportDBFOptions::DateTimeAsText);
    return l;
  }();
  return list;
}

TExportCSVOptions::TExportCSVOptions(TExportDialog* owner) : TExportOptions(owner) {
  const std::string& sep = DefaultFormatSettings().ListSeparator;
  Comma = sep.empty() ? ',' : sep[0];
}

const TPropList& TExportCSVOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportCSVOptions>(l)
        .Char("Comma", &TExportCSVOptions::Comma)
        .Char("Quote", &TExportCSVOptions::Quote)
        .Bool("QuoteStrings", &TExportCSVOptions::QuoteStrings);
    return l;
  }();
  return list;
}

// PDF

bool TExportPDFOptions::operator==(const TExportPDFOptions& o) const {
  return SamePDFPage(PageOptions, o.PageOptions) && HeaderFont == o.HeaderFont &&
         CaptionFont == o.CaptionFont && DataFont == o.DataFont && FooterFont == o.FooterFont &&
         RowSpacing == o.RowSpacing && ColSpacing == o.ColSpacing &&
         GridLineWidth == o.GridLineWidth;
}

const TPropList& TExportPDFOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    using C = TExportPDFOptions;
    PropBuilder<C>(l)
        .Object("PageOptions", "TExportPDFPageOptions", &C::PageOptions)
        .Object("HeaderFont", "TPDFFont", &C::HeaderFont)
        .Object("CaptionFont", "TPDFFont", &C::CaptionFont)
        .Object("DataFont", "TPDFFont", &C::DataFont)
        .Object("FooterFont", "TPDFFont", &C::FooterFont)
        .Double("RowSpacing", &C::RowSpacing)
        .Double("ColSpacing", &C::ColSpacing)
        .Int("GridLineWidth", &C::GridLineWidth);
    return l;
  }();
  return list;
}

// XLS

TExportXLSOptions::TExportXLSOptions(TExportDialog* owner) : TExportOptions(owner) {
  CaptionFormat.Font.Set(xfsBold, true);
  HyperlinkFormat.Font.Color = clrBlue;
  HyperlinkFormat.Font.Underline = fulSingle;
}

bool TExportXLSOptions::operator==(const TExportXLSOptions& o) const {
  if (FieldFormats.Count() != o.FieldFormats.Count() ||
      StripStyles.Count() != o.StripStyles.Count())
    return false;
  for (int i = 0; i < FieldFormats.Count(); ++i)
    if (!SameXlsFieldFormat(FieldFormats[i], o.FieldFormats[i])) return false;
  for (int i = 0; i < StripStyles.Count(); ++i)
    if (!SameXlsFormat(StripStyles[i], o.StripStyles[i])) return false;
  return AutoCalcColWidth == o.AutoCalcColWidth && PageHeader == o.PageHeader &&
         PageFooter == o.PageFooter && SheetTitle == o.SheetTitle &&
         PageBackground == o.PageBackground && SameXlsFormat(HeaderFormat, o.HeaderFormat) &&
         SameXlsFormat(CaptionFormat, o.CaptionFormat) && SameXlsFormat(DataFormat, o.DataFormat) &&
         SameXlsFormat(AggregateFormat, o.AggregateFormat) &&
         SameXlsFormat(FooterFormat, o.FooterFormat) &&
         SameXlsFormat(HyperlinkFormat, o.HyperlinkFormat) &&
         SameXlsNoteFormat(NoteFormat, o.NoteFormat) && StripType == o.StripType &&
         SheetPerTable == o.SheetPerTable;
}

const TPropList& TExportXLSOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    using C = TExportXLSOptions;
    PropBuilder<C>(l)
        .Bool("AutoCalcColWidth", &C::AutoCalcColWidth)
        .Bool("SheetPerTable", &C::SheetPerTable)
        .Str("PageHeader", &C::PageHeader)
        .Str("PageFooter", &C::PageFooter)
        .Str("SheetTitle", &C::SheetTitle)
        .Str("PageBackground", &C::PageBackground)
        .Object("HeaderFormat", "TxlsFormat", &C::HeaderFormat)
        .Object("CaptionFormat", "TxlsFormat", &C::CaptionFormat)
        .Object("DataFormat", "TxlsFormat", &C::DataFormat)
        .Object("AggregateFormat", "TxlsFormat", &C::AggregateFormat)
        .Object("FooterFormat", "TxlsFormat", &C::FooterFormat)
        .Object("HyperlinkFormat", "TxlsFormat", &C::HyperlinkFormat)
        .Object("NoteFormat", "TxlsNoteFormat", &C::NoteFormat)
        .Enum("StripType", "TxlsStripType", &C::StripType, {"ssNone", "ssCol", "ssRow"});
    return l;
  }();
  return list;
}

}  // namespace morvale
