// The settings of the dialog's pages, each declared once: where the dialog keeps it, the
// exporter's property it prepares, its key in the options file and the widget that edits it.
// Prepare, capture, save, load and bind walk the same list with a visitor each (pages.cpp,
// pagesfile.cpp, pageedits.cpp, form/bindkeys.h), so a new setting is one line here. A page's
// list is in the order of its section in the options file: saving walks it, and a file saved
// before keeps its bytes. A setting whose property is nullptr reaches the exporter with others,
// as one value (the formats, the PDF paper and fonts).
#pragma once

#include <limits>
#include <type_traits>
#include <utility>

#include "export/dialog/model.h"
#include "export/docs/dbfexport.h"
#include "export/docs/pdfexport.h"
#include "export/docs/rtfexport.h"
#include "export/text/ascii.h"
#include "export/text/html.h"
#include "export/text/json.h"
#include "export/text/sql.h"
#include "export/text/xml.h"
#include "export/workbook/exportworkbook.h"

namespace morvale::pages {

// A member reached through a chain of member pointers: TMember<&A::b, &B::c>::Of(a) is a.b.c.
template <auto... M>
struct TMember {
  template <class T>
  static constexpr auto& Of(T& o) {
    return (o.*....*M);
  }
};
template <auto... M>
inline constexpr TMember<M...> kAt{};

// The kinds of setting, which the visitors tell apart by these tags.
namespace key {
struct Text {};  // a text, in a line edit
struct Bool {};  // a check box
// A number, in a line edit or a spin box, that a file may not make below Min nor above Max (the
// default is kept then).
struct Count {
  int Max = std::numeric_limits<int>::max();
  int Min = 0;
};
struct Color {};   // "$00BBGGRR" in the file, a colour button on the page
struct Line {};    // a list kept as one line in the file and edited as text
struct Choice {};  // an enumeration: its ordinal in the file, an option button per value
struct Font {};    // a font's name, in a font box
struct Pick {};    // a text typed or chosen in an editable drop-down
struct Char {};    // one character; the file writes those below 33 as "#" and the code ("#9")
// The statement terminator: the character itself in the file, nothing for none, when the
// exporter keeps its own.
struct Term {};
// A spacing in points, written with one decimal and a point whatever the locale.
struct Spacing {};
// A count whose field, left empty or below Min, takes the default value (the component's); the
// file treats it as a Count.
struct Measure : Count {};
// A display format, behind the accessors of the formats (an empty text is the default format).
// A file that leaves it out keeps the component's.
struct Format {};
// An enumeration chosen in a drop-down, the item's index its value; its ordinal in the file, where
// one beyond Last reads as the default.
struct Listed {
  int Last;
};
// A number of rows, 0 for no limit: digits in the file and in the field, which is left empty for
// none. A file's text that is no such number keeps the default.
struct Rows {};
// A size in bytes, 0 for no limit: "100M" in the file and in the field, which is left empty for
// none ("0" in the file). A text that is no size keeps the default.
struct Bytes {};
// The compression: its name in the file ("none", "gzip", "zstd"), its item in a drop-down. A name
// this version does not know keeps the default.
struct Compression {};
// A measure of the PDF page in points whatever units it shows; 0 to 100000 in the file.
struct Points {};
// The page's width or height. Setting one makes the format the user's, so a file gives them for
// that format alone; a size it leaves out is the one the format and the orientation gave.
struct PageSize : Points {};
}  // namespace key

// Besides these, a visitor has Limit(key, count widget, switch widgets, count, switch, property):
// a count with the switch that makes it count. The file and the exporter hold 0 while the switch
// is off, and a count above 0 in either turns it on. The switch is a check box, or two option
// buttons, off then on.

// The widgets of a Choice are named in one text, a space between two names, in value order.
constexpr int ChoiceCount(std::string_view widgets) {
  int n = 1;
  for (char c : widgets) n += c == ' ';
  return n;
}

// A display format of the working copy through its getter and setter: Of gives its text, or on a
// working copy that may change, what takes a new text.
template <auto Get, auto Set>
struct TFormatAt {
  struct TSet {
    TExportFormats& f;
    const std::string& Text() const { return (f.*Get)(); }
    void operator=(const std::string& v) { (f.*Set)(v); }
  };
  static const std::string& Of(const TDialogSettings& s) { return (s.Formats.*Get)(); }
  static TSet Of(TDialogSettings& s) { return {s.Formats}; }
};
template <auto Get, auto Set>
inline constexpr TFormatAt<Get, Set> kFormat{};

// The formats page, in the order of its section. No exporter property: Start hands the exporter
// the formats as one value.
template <class V>
void FormatSettings(V& v) {
  using F = TExportFormats;
  constexpr auto none = nullptr;
  v(key::Format{}, "Integer", "edInteger", kFormat<&F::IntegerFormat, &F::SetIntegerFormat>, none);
  v(key::Format{}, "Float", "edFloat", kFormat<&F::FloatFormat, &F::SetFloatFormat>, none);
  v(key::Format{}, "Date", "edDate", kFormat<&F::DateFormat, &F::SetDateFormat>, none);
  v(key::Format{}, "Time", "edTime", kFormat<&F::TimeFormat, &F::SetTimeFormat>, none);
  v(key::Format{}, "DateTime", "edDateTime", kFormat<&F::DateTimeFormat, &F::SetDateTimeFormat>,
    none);
  v(key::Format{}, "Currency", "edCurrency", kFormat<&F::CurrencyFormat, &F::SetCurrencyFormat>,
    none);
  v(key::Format{}, "BooleanTrue", "edBooleanTrue", kFormat<&F::BooleanTrue, &F::SetBooleanTrue>,
    none);
  v(key::Format{}, "BooleanFalse", "edBooleanFalse", kFormat<&F::BooleanFalse, &F::SetBooleanFalse>,
    none);
  v(key::Format{}, "NullString", "edNullString", kFormat<&F::NullString, &F::SetNullString>, none);
}

// "Параллельное чтение" on the common page, in its section of its own. No exporter takes it: the
// host runs such a start (TRangeReads), so the property is none.
inline constexpr const char* kParallelSection = "PARALLEL_READING";
template <class V>
void ParallelSettings(V& v) {
  using S = TDialogSettings;
  using R = TParallelReading;
  v(key::Bool{}, "Enabled", "cbParallelReading", kAt<&S::Parallel, &R::On>, nullptr);
  v(key::Count{R::kMaxConnections, R::kMinConnections}, "Connections", "seParallelConnections",
    kAt<&S::Parallel, &R::Connections>, nullptr);
}

// "Части и сжатие" on the common page, in a section of its own that is written only when parts
// are asked for. No property: Start hands a text exporter the parts as one value.
template <class V>
void PartsSettings(V& v) {
  using S = TDialogSettings;
  using P = TOutputParts;
  constexpr auto none = nullptr;
  v(key::Rows{}, "SplitRows", "edSplitRows", kAt<&S::Parts, &P::SplitRows>, none);
  v(key::Bytes{}, "SplitSize", "edSplitSize", kAt<&S::Parts, &P::SplitSize>, none);
  v(key::Compression{}, "Compression", "cbCompression", kAt<&S::Parts, &P::Compression>, none);
  v(key::Bool{}, "Manifest", "cbManifest", kAt<&S::Parts, &P::Manifest>, none);
}

// The records per page file, behind the HTML exporter's accessors.
struct TMaxRecords {
  struct TSet {
    TExportHTML& h;
    void operator=(int n) { h.SetMaxRecords(n); }
  };
  static int Of(const TExportHTML& h) { return h.MaxRecords(); }
  static TSet Of(TExportHTML& h) { return {h}; }
};

// The written file's switches, the keys of [GENERAL] after the type and the file's name. Their
// exporter property is a file's (R a TExportText), or the component's.
template <class R = TExportText, class V>
void FileSettings(V& v) {
  using S = TDialogSettings;
  v(key::Bool{}, "ShowFile", "cbShowFile", kAt<&S::ShowFile>, kAt<&R::ShowFile>);
  v(key::Bool{}, "PrintFile", "cbPrintFile", kAt<&S::PrintFile>, kAt<&R::PrintFile>);
}

// The common page "Опции": where a start reads from and how many records, in the order of their
// keys in [GENERAL]. The component and the exporter keep them under the same names, and R, whose
// members are the properties, is either: Start prepares a TExport, and a new form copies the
// component's, a TExportDialog. "Экспортировать все" is the record count's switch off.
inline constexpr const char* kGeneralSection = "GENERAL";
template <class R = TExport, class V>
void RunSettings(V& v) {
  using S = TDialogSettings;
  v(key::Bool{}, "GoToFirstRecord", "cbGoToFirstRecord", kAt<&S::GoToFirstRecord>,
    kAt<&R::GoToFirstRecord>);
  v(key::Bool{}, "ExportEmpty", "cbExportEmpty", kAt<&S::ExportEmpty>, kAt<&R::ExportEmpty>);
  v(key::Bool{}, "CurrentRecordOnly", "cbCurrentRecordOnly", kAt<&S::CurrentRecordOnly>,
    kAt<&R::CurrentRecordOnly>);
  v.Limit("ExportRecCount", "edExportRecCount", "rbExportAll rbExportOnly", kAt<&S::ExportRecCount>,
          kAt<&S::ExportLimited>, kAt<&R::ExportRecCount>);
  v(key::Count{}, "SkipRecCount", "edSkipRecCount", kAt<&S::SkipRecCount>, kAt<&R::SkipRecCount>);
}

// The captions page's switch, and the row of a grid source that holds the captions (-1: none):
// the last keys of [GENERAL]. As with the records, R is the exporter or the component.
template <class R = TExport, class V>
void CaptionSettings(V& v) {
  using S = TDialogSettings;
  v(key::Bool{}, "AllowCaptions", "cbAllowCaptions", kAt<&S::AllowCaptions>,
    kAt<&R::AllowCaptions>);
  v(key::Count{std::numeric_limits<int>::max(), -1}, "CaptionRow", "edCaptionRow",
    kAt<&S::CaptionRow>, kAt<&R::CaptionRow>);
}

// The HTML page. The records per page file come with their switch, so that entry is a Limit.
template <class V>
void HTMLSettings(V& v) {
  using S = TDialogSettings;
  using P = TExportHTMLPageOptions;
  using T = TExportHTMLTableOptions;
  using M = TExportHTMLMultiFileOptions;
  using X = TExportHTML;
  using O = THTMLOptions;
  using B = TTableOptions;
  using N = TExportHTMLNavigation;
  v(key::Text{}, "Title", "edHTMLTitle", kAt<&S::HTMLPage, &P::Title>, kAt<&X::Title>);
  v(key::Choice{}, "CSS", "rbHTMLCSSInternal rbHTMLCSSExternal", kAt<&S::HTMLPage, &P::UsingCSS>,
    kAt<&X::UsingCSS>);
  v(key::Text{}, "CSSFile", "edHTMLCSSFile", kAt<&S::HTMLPage, &P::CSSFileName>,
    kAt<&X::CSSFileName>);
  v(key::Bool{}, "OverwriteCSSFile", "cbHTMLOverwriteCSS", kAt<&S::HTMLPage, &P::OverwriteCSSFile>,
    kAt<&X::OverwriteCSSFile>);
  v.Limit("FileRecCount", "edHTMLFileRecCount", "cbHTMLMultiFile",
          kAt<&S::HTMLMultiFile, &M::FileRecCount>, kAt<&S::HTMLMultiFileOn>, TMaxRecords{});
  v(key::Bool{}, "GenerateIndex", "cbHTMLGenerateIndex", kAt<&S::HTMLMultiFile, &M::GenerateIndex>,
    kAt<&X::GenerateIndex>);
  v(key::Text{}, "IndexLinkTemplate", "edHTMLIndexLinkTemplate",
    kAt<&S::HTMLMultiFile, &M::IndexLinkTemplate>, kAt<&X::Navigation, &N::IndexLinkTemplate>);
  v(key::Bool{}, "NavigationOnTop", "cbHTMLNavigationOnTop",
    kAt<&S::HTMLMultiFile, &M::NavigationOnTop>, kAt<&X::Navigation, &N::OnTop>);
  v(key::Bool{}, "NavigationOnBottom", "cbHTMLNavigationOnBottom",
    kAt<&S::HTMLMultiFile, &M::NavigationOnBottom>, kAt<&X::Navigation, &N::OnBottom>);
  v(key::Text{}, "IndexLinkTitle", "edHTMLIndexLinkTitle",
    kAt<&S::HTMLMultiFile, &M::IndexLinkTitle>, kAt<&X::Navigation, &N::IndexLinkTitle>);
  v(key::Text{}, "FirstLinkTitle", "edHTMLFirstLinkTitle",
    kAt<&S::HTMLMultiFile, &M::FirstLinkTitle>, kAt<&X::Navigation, &N::FirstLinkTitle>);
  v(key::Text{}, "PriorLinkTitle", "edHTMLPriorLinkTitle",
    kAt<&S::HTMLMultiFile, &M::PriorLinkTitle>, kAt<&X::Navigation, &N::PriorLinkTitle>);
  v(key::Text{}, "NextLinkTitle", "edHTMLNextLinkTitle", kAt<&S::HTMLMultiFile, &M::NextLinkTitle>,
    kAt<&X::Navigation, &N::NextLinkTitle>);
  v(key::Text{}, "LastLinkTitle", "edHTMLLastLinkTitle", kAt<&S::HTMLMultiFile, &M::LastLinkTitle>,
    kAt<&X::Navigation, &N::LastLinkTitle>);
  v(key::Font{}, "FontName", "cbxHTMLFont", kAt<&S::HTMLPage, &P::TextFont, &TFont::Name>,
    kAt<&X::HTMLOptions, &O::TextFont, &TFont::Name>);
  v(key::Text{}, "BackgroundFile", "edHTMLBackground", kAt<&S::HTMLPage, &P::BackgroundFileName>,
    kAt<&X::HTMLOptions, &O::BackgroundFileName>);
  v(key::Line{}, "BodyAdvanced", "edHTMLBodyAdvanced", kAt<&S::HTMLPage, &P::AdvancedAttributes>,
    kAt<&X::HTMLOptions, &O::AdvancedAttributes>);
  v(key::Count{}, "CellPadding", "edHTMLCellPadding", kAt<&S::HTMLTable, &T::CellPadding>,
    kAt<&X::TableOptions, &B::CellPadding>);
  v(key::Count{}, "CellSpacing", "edHTMLCellSpacing", kAt<&S::HTMLTable, &T::CellSpacing>,
    kAt<&X::TableOptions, &B::CellSpacing>);
  v(key::Count{}, "BorderWidth", "edHTMLBorderWidth", kAt<&S::HTMLTable, &T::BorderWidth>,
    kAt<&X::TableOptions, &B::Border>);
  v(key::Text{}, "TableBackground", "edHTMLTableBackground",
    kAt<&S::HTMLTable, &T::BackgroundFileName>, kAt<&X::TableOptions, &B::BackgroundFileName>);
  v(key::Line{}, "TableAdvanced", "edHTMLTableAdvanced", kAt<&S::HTMLTable, &T::AdvancedAttributes>,
    kAt<&X::TableOptions, &B::AdvancedAttributes>);
  v(key::Color{}, "BackgroundColor", "bHTMLBackgroundColor", kAt<&S::HTMLPage, &P::BackgroundColor>,
    kAt<&X::HTMLOptions, &O::BackgroundColor>);
  v(key::Color{}, "FontColor", "bHTMLFontColor", kAt<&S::HTMLPage, &P::TextFont, &TFont::Color>,
    kAt<&X::HTMLOptions, &O::TextFont, &TFont::Color>);
  v(key::Color{}, "HeadBackgroundColor", "bHTMLHeadBackgroundColor",
    kAt<&S::HTMLTable, &T::HeadersRowBgColor>, kAt<&X::TableOptions, &B::HeadersRowBgColor>);
  v(key::Color{}, "HeadFontColor", "bHTMLHeadFontColor",
    kAt<&S::HTMLTable, &T::HeadersRowFontColor>, kAt<&X::TableOptions, &B::HeadersRowFontColor>);
  v(key::Color{}, "OddRowBackgroundColor", "bHTMLOddRowBgColor",
    kAt<&S::HTMLTable, &T::OddRowBgColor>, kAt<&X::TableOptions, &B::OddRowBgColor>);
  v(key::Color{}, "EvenRowBackgroundColor", "bHTMLTableBgColor",
    kAt<&S::HTMLTable, &T::TableBgColor>, kAt<&X::TableOptions, &B::TableBgColor>);
  v(key::Color{}, "DataFontColor", "bHTMLTableFontColor", kAt<&S::HTMLTable, &T::TableFontColor>,
    kAt<&X::TableOptions, &B::TableFontColor>);
  v(key::Color{}, "LinkColor", "bHTMLLinkColor", kAt<&S::HTMLPage, &P::LinkColor>,
    kAt<&X::HTMLOptions, &O::LinkColor>);
  v(key::Color{}, "VLinkColor", "bHTMLVLinkColor", kAt<&S::HTMLPage, &P::VLinkColor>,
    kAt<&X::HTMLOptions, &O::VLinkColor>);
  v(key::Color{}, "ALinkColor", "bHTMLALinkColor", kAt<&S::HTMLPage, &P::ALinkColor>,
    kAt<&X::HTMLOptions, &O::ALinkColor>);
}

template <class V>
void XMLSettings(V& v) {
  using S = TDialogSettings;
  using P = TExportXMLOptions;
  using X = TExportXML;
  v(key::Bool{}, "Standalone", "cbXMLStandalone", kAt<&S::XML, &P::Standalone>,
    kAt<&X::Options, &TXMLOptions::StandAlone>);
  v(key::Pick{}, "Encoding", "cbxXMLEncoding", kAt<&S::XML, &P::Encoding>,
    kAt<&X::Options, &TXMLOptions::Encoding>);
}

// The SQL page. An empty table name is the file's name, which Start puts in its place.
template <class V>
void SQLSettings(V& v) {
  using S = TDialogSettings;
  using P = TExportSQLOptions;
  using X = TExportSQL;
  v(key::Text{}, "TableName", "edSQLTableName", kAt<&S::SQL, &P::TableName>, kAt<&X::TableName>);
  v(key::Bool{}, "CreateTable", "cbSQLCreateTable", kAt<&S::SQL, &P::CreateTable>,
    kAt<&X::CreateTable>);
  v(key::Count{}, "CommitRecCount", "edSQLCommitRecCount", kAt<&S::SQL, &P::CommitRecCount>,
    kAt<&X::CommitRecCount>);
  v(key::Bool{}, "CommitAfterScript", "cbSQLCommitAfterScript", kAt<&S::SQL, &P::CommitAfterScript>,
    kAt<&X::CommitAfterScript>);
  v(key::Text{}, "CommitStatement", "edSQLCommitStatement", kAt<&S::SQL, &P::CommitStatement>,
    kAt<&X::CommitStatement>);
  v(key::Term{}, "StatementTerm", "edSQLStatementTerm", kAt<&S::SQL, &P::StatementTerm>,
    kAt<&X::StatementTerm>);
}

// The text page holds two types' settings, each in its own section.
template <class V>
void TXTSettings(V& v) {
  using S = TDialogSettings;
  using P = TExportTXTOptions;
  using X = TExportASCII;
  v(key::Bool{}, "AutoCalcColWidth", "cbTXTAutoCalcColWidth", kAt<&S::TXT, &P::AutoCalcColWidth>,
    kAt<&X::AutoCalcColWidth>);
  v(key::Count{1000}, "Spacing", "edTXTSpacing", kAt<&S::TXT, &P::ColSpacing>, kAt<&X::TXTSpacing>);
}

template <class V>
void CSVSettings(V& v) {
  using S = TDialogSettings;
  using P = TExportCSVOptions;
  using X = TExportASCII;
  v(key::Bool{}, "QuoteStrings", "cbCSVQuoteStrings", kAt<&S::CSV, &P::QuoteStrings>,
    kAt<&X::CSVQuoteStrings>);
  v(key::Char{}, "Comma", "edCSVComma", kAt<&S::CSV, &P::Comma>, kAt<&X::CSVComma>);
  v(key::Char{}, "Quote", "edCSVQuote", kAt<&S::CSV, &P::Quote>, kAt<&X::CSVQuote>);
}

template <class V>
void JSONSettings(V& v) {
  v(key::Bool{}, "JSONLines", "cbJSONLines",
    kAt<&TDialogSettings::JSON, &TExportJSONOptions::JSONLines>, kAt<&TExportJSON::JSONLines>);
}

template <class V>
void DBFSettings(V& v) {
  v(key::Bool{}, "DateTimeAsText", "cbDBFDateTimeAsText",
    kAt<&TDialogSettings::DBF, &TExportDBFOptions::DateTimeAsText>,
    kAt<&TExportDBF::DateTimeAsText>);
}

// The Word and RTF page; its style lists keep sections of their own.
template <class V>
void RTFSettings(V& v) {
  using S = TDialogSettings;
  using P = TRTFPage;
  using X = TExportRTF;
  using O = TRTFOptions;
  v(key::Choice{}, "PageOrientation", "rbRTFPortrait rbRTFLandscape",
    kAt<&S::RTF, &P::PageOrientation>, kAt<&X::Options, &O::PageOrientation>);
  v(key::Choice{}, "StripType", "rbRTFStripNone rbRTFStripColumn rbRTFStripRow",
    kAt<&S::RTF, &P::StripType>, kAt<&X::Options, &O::StripType>);
}

// A bit of a font's styles, as a switch of its own.
template <TFontStyle Bit>
struct TStyleBit {
  struct TSet {
    TFontStyles& styles;
    operator bool() const { return styles & Bit; }
    void operator=(bool on) const { styles = on ? (styles | Bit) : (styles & ~Bit); }
  };
  static bool Of(const TrtfStyle& s) { return s.Font.Style & Bit; }
  static TSet Of(TrtfStyle& s) { return {s.Font.Style}; }
};

// The alignment of an RTF style as its drop-down lists it: left, centre, right, fill (the values
// run left, right, centre, fill).
struct TRTFAlignmentItem {
  static constexpr TrtfTextAlignment kItems[] = {talLeft, talCenter, talRight, talFill};
  struct TSet {
    TrtfTextAlignment& a;
    operator int() const { return Item(a); }
    void operator=(int item) const { a = kItems[item]; }
  };
  static int Item(TrtfTextAlignment a) {
    for (int i = 0; i < 4; ++i)
      if (kItems[i] == a) return i;
    return 0;
  }
  static int Of(const TrtfStyle& s) { return Item(s.Alignment); }
  static TSet Of(TrtfStyle& s) { return {s.Alignment}; }
};

// A style of the RTF page's lists, on the widgets of the editor, which edits the style chosen in
// either list; each colour follows the switch that lets it be picked. A style keeps its own section
// (TrtfStyle::SaveToIni, which the exporter's style files share), so these keys name its keys there
// but the options file does not walk this list; neither has a style an exporter property of its
// own: Start hands the exporter each style whole.
template <class V>
void RTFStyleSettings(V& v) {
  using T = TrtfStyle;
  constexpr auto none = nullptr;
  v(key::Font{}, "FontName", "cbxRTFFont", kAt<&T::Font, &TFont::Name>, none);
  v(key::Count{1638, 1}, "FontSize", "seRTFFontSize", kAt<&T::Font, &TFont::Size>, none);
  v(key::Color{}, "FontColor", "bRTFFontColor", kAt<&T::Font, &TFont::Color>, none);
  v(key::Bool{}, "FontBold", "cbRTFBold", TStyleBit<fsBold>{}, none);
  v(key::Bool{}, "FontItalic", "cbRTFItalic", TStyleBit<fsItalic>{}, none);
  v(key::Bool{}, "FontUnderline", "cbRTFUnderline", TStyleBit<fsUnderline>{}, none);
  v(key::Bool{}, "FontStrikeOut", "cbRTFStrikeOut", TStyleBit<fsStrikeOut>{}, none);
  v(key::Color{}, "BackgroundColor", "bRTFBackgroundColor", kAt<&T::BackgroundColor>, none);
  v(key::Bool{}, "AllowBackground", "cbRTFAllowBackground", kAt<&T::AllowBackground>, none);
  v(key::Bool{}, "AllowHighlight", "cbRTFAllowHighlight", kAt<&T::AllowHighlight>, none);
  v(key::Color{}, "HighlightColor", "bRTFHighlightColor", kAt<&T::HighlightColor>, none);
  v(key::Listed{3}, "Alignment", "cbxRTFAlignment", TRTFAlignmentItem{}, none);
}

// The spreadsheet page. The sheet title is behind accessors in the exporter: an empty title is
// stored as "Sheet1".
struct TSheetTitle {
  struct TSet {
    TXLSOptions& o;
    void operator=(const std::string& v) { o.SetSheetTitle(v); }
  };
  static std::string Of(const TExportWorkbook& x) { return x.Options.SheetTitle(); }
  static TSet Of(TExportWorkbook& x) { return {x.Options}; }
};

template <class V>
void XLSSettings(V& v) {
  using S = TDialogSettings;
  using P = TXLSPage;
  using W = TExportWorkbook;
  using O = TXLSOptions;
  v(key::Text{}, "PageHeader", "edXLSPageHeader", kAt<&S::XLS, &P::PageHeader>,
    kAt<&W::Options, &O::PageHeader>);
  v(key::Text{}, "PageFooter", "edXLSPageFooter", kAt<&S::XLS, &P::PageFooter>,
    kAt<&W::Options, &O::PageFooter>);
  v(key::Text{}, "SheetTitle", "edXLSSheetTitle", kAt<&S::XLS, &P::SheetTitle>, TSheetTitle{});
  v(key::Choice{}, "StripType", "rbXLSStripNone rbXLSStripColumn rbXLSStripRow",
    kAt<&S::XLS, &P::StripType>, kAt<&W::StripType>);
  v(key::Bool{}, "AutoCalcColWidth", "cbXLSAutoCalcColWidth", kAt<&S::XLS, &P::AutoCalcColWidth>,
    kAt<&W::AutoCalcColWidth>);
  v(key::Bool{}, "SheetPerTable", "cbXLSSheetPerTable", kAt<&S::XLS, &P::SheetPerTable>,
    kAt<&W::SheetPerTable>);
  v(key::Text{}, "PageBackground", "edXLSPageBackground", kAt<&S::XLS, &P::PageBackground>,
    kAt<&W::Extras, &TxlsExtras::Background, &TxlsGraphic::FileName>);
}

// A value of the PDF page behind its getter and setter: Of gives it, or on a working copy that may
// change, what reads and takes it. A measure is set in points, whatever units the page shows.
template <auto Get, auto Set>
struct TPageAt {
  using P = TExportPDFPageOptions;
  using T = decltype((std::declval<const P&>().*Get)());
  struct TSet {
    P& p;
    operator T() const { return (p.*Get)(); }
    void operator=(T v) const {
      if constexpr (std::is_same_v<T, int>) {
        const TExportUnits units = std::exchange(p.Units, unDot);
        (p.*Set)(v);
        p.Units = units;
      } else {
        (p.*Set)(v);
      }
    }
  };
  static T Of(const TDialogSettings& s) { return (s.PDF.PageOptions.*Get)(); }
  static TSet Of(TDialogSettings& s) { return {s.PDF.PageOptions}; }
};
template <auto Get, auto Set>
inline constexpr TPageAt<Get, Set> kPage{};

// The PDF page, in the order of its section: the spacings and the grid, then the paper. The
// paper has no exporter property: Start hands the exporter the page as one value, in points. The
// order is the one a file is read in: the format, then the orientation (turning the paper turns
// its size and margins), then the size, then the margins.
template <class V>
void PDFSettings(V& v) {
  using S = TDialogSettings;
  using P = TExportPDFOptions;
  using X = TExportPDF;
  using O = TPDFOptions;
  using G = TExportPDFPageOptions;
  constexpr auto none = nullptr;
  v(key::Spacing{}, "ColSpacing", "edPDFColSpacing", kAt<&S::PDF, &P::ColSpacing>,
    kAt<&X::Options, &O::ColSpacing>);
  v(key::Spacing{}, "RowSpacing", "edPDFRowSpacing", kAt<&S::PDF, &P::RowSpacing>,
    kAt<&X::Options, &O::RowSpacing>);
  v(key::Measure{{1000}}, "GridLineWidth", "edPDFGridLineWidth", kAt<&S::PDF, &P::GridLineWidth>,
    kAt<&X::Options, &O::GridLineWidth>);
  v(key::Listed{pfUser}, "PageFormat", "cbxPDFPageFormat", kPage<&G::Format, &G::SetFormat>, none);
  v(key::Listed{unDot}, "PageUnits", "cbxPDFUnits", kAt<&S::PDF, &P::PageOptions, &G::Units>, none);
  v(key::Choice{}, "PageOrientation", "rbPDFPortrait rbPDFLandscape",
    kPage<&G::Orientation, &G::SetOrientation>, none);
  v(key::PageSize{}, "PageWidth", "edPDFPageWidth", kPage<&G::WidthPoints, &G::SetWidth>, none);
  v(key::PageSize{}, "PageHeight", "edPDFPageHeight", kPage<&G::HeightPoints, &G::SetHeight>, none);
  v(key::Points{}, "PageMarginLeft", "edPDFMarginLeft", kPage<&G::LeftPoints, &G::SetMarginLeft>,
    none);
  v(key::Points{}, "PageMarginRight", "edPDFMarginRight",
    kPage<&G::RightPoints, &G::SetMarginRight>, none);
  v(key::Points{}, "PageMarginTop", "edPDFMarginTop", kPage<&G::TopPoints, &G::SetMarginTop>, none);
  v(key::Points{}, "PageMarginBottom", "edPDFMarginBottom",
    kPage<&G::BottomPoints, &G::SetMarginBottom>, none);
}

// A font of the PDF page. The page edits one font at a time, the one chosen in its list, so the
// widgets are the font editor's. No exporter property: Start hands the exporter each font as one
// value.
template <class V>
void PDFFontSettings(V& v) {
  using F = TPDFFont;
  constexpr auto none = nullptr;
  v(key::Listed{poZapfDingbats}, "FontName", "cbxPDFFontName", kAt<&F::BaseFont>, none);
  v(key::Listed{poPDFDocEncoding}, "FontEncoding", "cbxPDFFontEncoding", kAt<&F::FontEncoding>,
    none);
  v(key::Measure{{1000, 1}}, "FontSize", "edPDFFontSize", kAt<&F::FontSize>, none);
  v(key::Color{}, "FontColor", "bPDFFontColor", kAt<&F::FontColor>, none);
}

// The PDF page's fonts in the order of its list, each with its section of the options file.
struct TPDFFontSection {
  const char* Section;
  TPDFFont TExportPDFOptions::*Font;
};
inline constexpr TPDFFontSection kPDFFonts[] = {
    {"PDF_OPTION_HEADER", &TExportPDFOptions::HeaderFont},
    {"PDF_OPTION_CAPTION", &TExportPDFOptions::CaptionFont},
    {"PDF_OPTION_DATA", &TExportPDFOptions::DataFont},
    {"PDF_OPTION_FOOTER", &TExportPDFOptions::FooterFont}};

}  // namespace morvale::pages
