#include "export/workbook/items.h"

#include "export/core/numfmt.h"
#include "export/core/stamp.h"
#include "export/core/translate.h"
#include "export/workbook/options.h"

namespace morvale {

namespace {

const std::vector<std::string> kHyperlinkStyleNames = {"hlsURL", "hlsLocalFile"};
const std::vector<std::string> kRangeTypeNames = {"rtColumn", "rtCustom"};
const std::vector<std::string> kLegendNames = {"clpBottom", "clpCorner", "clpTop", "clpRight",
                                               "clpLeft"};
const std::vector<std::string> kPlacementNames = {"cpBottom", "cpRight"};
const std::vector<std::string> kPositionTypeNames = {"cptAuto", "cptCustom"};
const std::vector<std::string> kCellTypeNames = {"ctBoolean", "ctDateTime", "ctNumeric",
                                                 "ctString"};

bool IsBlankOrControl(unsigned char c) {
  return c <= ' ' || c == 0x7F;
}

}  // namespace

// --- hyperlinks and notes ------------------------------------------------------------------------

const TPropList& TxlsHyperlink::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsHyperlink>(l)
        .Int("Row", &TxlsHyperlink::Row)
        .Int("Col", &TxlsHyperlink::Col)
        .Enum("Style", "TxlsHyperlinkStyle", &TxlsHyperlink::Style, kHyperlinkStyleNames)
        .Str("Title", &TxlsHyperlink::Title)
        .Str("Target", &TxlsHyperlink::Target)
        .Str("ScreenTip", &TxlsHyperlink::ScreenTip)
        .Object("Format", "TxlsFormat", &TxlsHyperlink::Format);
    return l;
  }();
  return list;
}

void TxlsHyperlink::StartFrom(const TXLSOptions& options) {
  Format.Assign(options.HyperlinkFormat);
}

const TPropList& TxlsNote::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsNote>(l)
        .Int("Row", &TxlsNote::Row)
        .Int("Col", &TxlsNote::Col)
        .Strings("Lines", &TxlsNote::Lines)
        .Object("Format", "TxlsNoteFormat", &TxlsNote::Format);
    return l;
  }();
  return list;
}

void TxlsNote::StartFrom(const TXLSOptions& options) {
  Format.Assign(options.NoteFormat);
}

std::string TxlsNote::Text() const {
  std::string joined;
  for (int i = 0; i < Lines.Count(); ++i) {
    if (i) joined += '\n';
    joined += Lines[i];
  }
  std::string text;
  text.reserve(joined.size());
  for (char c : joined)
    if (c != '\r') text += c;
  size_t b = 0, e = text.size();
  while (b < e && IsBlankOrControl(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && IsBlankOrControl(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

// --- pictures and images -------------------------------------------------------------------------

TxlsGraphicType xlsGraphicType(std::string_view fileName) {
  std::string name = Trim(fileName);
  size_t dot = name.rfind('.');
  size_t slash = name.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return gtUnknown;
  std::string ext = name.substr(dot + 1);
  if (SameText(ext, "WMF")) return gtWMF;
  if (SameText(ext, "EMF")) return gtEMF;
  if (SameText(ext, "JPG") || SameText(ext, "JPEG")) return gtJPEG;
  if (SameText(ext, "PNG")) return gtPNG;
  if (SameText(ext, "GIF")) return gtGIF;
  if (SameText(ext, "BMP") || SameText(ext, "QBMP")) return gtBMP;
  if (SameText(ext, "ICO")) return gtICO;
  return gtUnknown;
}

static const TPropList& GraphicProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsGraphic>(l).Str("FileName", &TxlsGraphic::FileName);
    return l;
  }();
  return list;
}

const TPropList& TxlsGraphic::Published() const {
  return GraphicProps();
}

const TPropList& TxlsPicture::Published() const {
  static const TPropList list = [] {
    TPropList l(&GraphicProps());
    PropBuilder<TxlsPicture>(l).Custom(
        "Name", "String", [](const TxlsPicture& p) { return p.Name(); },
        [](TxlsPicture& p, std::string_view v) {
          if (p.list_)
            p.list_->SetName(p, std::string(v));
          else
            p.name_ = std::string(v);
        });
    return l;
  }();
  return list;
}

void TxlsPictures::Renumber() {
  for (auto& p : items_) p->list_ = this;
}

int TxlsPictures::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i]->name_, name)) return static_cast<int>(i);
  return -1;
}

TxlsPicture& TxlsPictures::Add() {
  std::string name;
  for (int n = 0;; ++n) {
    name = "Picture_" + std::to_string(n);
    if (IndexOf(name) < 0) break;
  }
  TxlsPicture& p = TxlsCollection::Add();
  p.name_ = name;
  return p;
}

TxlsPicture& TxlsPictures::At(int i) {
  while (Count() <= i) Add();
  return (*this)[i];
}

void TxlsPictures::SetName(TxlsPicture& picture, const std::string& name) {
  if (name.empty()) throw Exception(TranslateText("Engine", "A picture name cannot be empty"));
  int i = IndexOf(name);
  if (i >= 0 && &(*this)[i] != &picture)
    throw Exception(
        morvale::Format(TranslateText("Engine", "A picture %s already exists"), {name}));
  picture.name_ = name;
}

const TPropList& TxlsImage::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsImage>(l)
        .Int("Col", &TxlsImage::Col)
        .Int("Row", &TxlsImage::Row)
        .Str("PictureName", &TxlsImage::PictureName)
        .Str("Title", &TxlsImage::Title)
        .Int("Zoom", &TxlsImage::Zoom);
    return l;
  }();
  return list;
}

TxlsImage& TxlsImages::Add() {
  std::string title;
  for (int n = 0;; ++n) {
    title = "Image_" + std::to_string(n);
    bool taken = false;
    for (const auto& i : items_) taken = taken || SameText(i->Title, title);
    if (!taken) break;
  }
  TxlsImage& image = TxlsOwnedList::Add();
  image.Title = title;
  return image;
}

// --- charts --------------------------------------------------------------------------------------

const std::vector<std::string>& xlsChartStyleNames() {
  static const std::vector<std::string> n = {
      "xcsColumn",   "xcsColumn3d", "xcsBar",       "xcsBar3d", "xcsLine",
      "xcsLineMark", "xcsLine3d",   "xcsPie",       "xcsPie3d", "xcsArea",
      "xcsArea3d",   "xcsSurface",  "xcsSurface3d", "xcsRadar", "xcsRadarArea"};
  return n;
}

const TPropList& TxlsDataRange::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsDataRange>(l)
        .Int("Col1", &TxlsDataRange::Col1)
        .Int("Row1", &TxlsDataRange::Row1)
        .Int("Col2", &TxlsDataRange::Col2)
        .Int("Row2", &TxlsDataRange::Row2);
    return l;
  }();
  return list;
}

const TPropList& TxlsChartSeries::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsChartSeries>(l)
        .Str("Title", &TxlsChartSeries::Title)
        .Enum("DataRangeType", "TxlsRangeType", &TxlsChartSeries::DataRangeType, kRangeTypeNames)
        .Str("DataColumn", &TxlsChartSeries::DataColumn)
        .Object("DataRange", "TxlsDataRange", &TxlsChartSeries::DataRange)
        .Enum("Color", "TxlsColor", &TxlsChartSeries::Color, xlsColorIdentifiers());
    return l;
  }();
  return list;
}

const TPropList& TxlsChartAutoPosition::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsChartAutoPosition>(l)
        .Enum("Placement", "TxlsChartPlacement", &TxlsChartAutoPosition::Placement, kPlacementNames)
        .Int("Left", &TxlsChartAutoPosition::Left)
        .Int("Top", &TxlsChartAutoPosition::Top)
        .Int("Width", &TxlsChartAutoPosition::Width)
        .Int("Height", &TxlsChartAutoPosition::Height);
    return l;
  }();
  return list;
}

const TPropList& TxlsChartCustomPosition::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsChartCustomPosition>(l)
        .Int("X1", &TxlsChartCustomPosition::X1)
        .Int("Y1", &TxlsChartCustomPosition::Y1)
        .Int("X2", &TxlsChartCustomPosition::X2)
        .Int("Y2", &TxlsChartCustomPosition::Y2);
    return l;
  }();
  return list;
}

const TPropList& TxlsChartPosition::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsChartPosition>(l)
        .Enum("PositionType", "TxlsChartPositionType", &TxlsChartPosition::PositionType,
              kPositionTypeNames)
        .Object("AutoPosition", "TxlsChartAutoPosition", &TxlsChartPosition::AutoPosition)
        .Object("CustomPosition", "TxlsChartCustomPosition", &TxlsChartPosition::CustomPosition);
    return l;
  }();
  return list;
}

const TPropList& TxlsChart::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsChart>(l)
        .Str("Title", &TxlsChart::Title)
        .Enum("Style", "TxlsChartStyle", &TxlsChart::Style, xlsChartStyleNames());
    l.Add(xlsListProperty<TxlsOwnedList<TxlsChartSeries>>(
        "Series", "TxlsChartSeriesList", [](TPersistent& o) -> TxlsOwnedList<TxlsChartSeries>& {
          return static_cast<TxlsChart&>(o).Series;
        }));
    PropBuilder<TxlsChart>(l)
        .Enum("CategoryLabelsType", "TxlsRangeType", &TxlsChart::CategoryLabelsType,
              kRangeTypeNames)
        .Str("CategoryLabelsColumn", &TxlsChart::CategoryLabelsColumn)
        .Object("CategoryLabels", "TxlsDataRange", &TxlsChart::CategoryLabels)
        .Object("Position", "TxlsChartPosition", &TxlsChart::Position)
        .Bool("ShowLegend", &TxlsChart::ShowLegend)
        .Enum("LegendPlacement", "TxlsChartLegendPlacement", &TxlsChart::LegendPlacement,
              kLegendNames)
        .Bool("AutoColor", &TxlsChart::AutoColor);
    return l;
  }();
  return list;
}

// --- extra cells and merged ranges ---------------------------------------------------------------

TxlsCell::TxlsCell() : DateTimeValue(StampDate(ExportStamp())) {
  const TFormatSettings& fs = DefaultFormatSettings();
  DateTimeFormat = fs.ShortDateFormat + " " + fs.LongTimeFormat;
}

std::string TxlsCell::DisplayName() const {
  return "Col: " + std::to_string(Col) + " Row: " + std::to_string(Row) + " ";
}

std::string TxlsCell::Value() const {
  const TFormatSettings& fs = DefaultFormatSettings();
  switch (CellType) {
    case ctBoolean:
      return BooleanValue ? "True" : "False";
    case ctDateTime:
      return FormatDateTime(DateTimeFormat, DateTimeValue, fs);
    case ctNumeric:
      return FloatToStr(NumericValue, fs);
    case ctString:
      break;
  }
  return StringValue;
}

void TxlsCell::SetValue(std::string_view text) {
  const TFormatSettings& fs = DefaultFormatSettings();
  switch (CellType) {
    case ctBoolean: {
      std::string_view t = TrimView(text);
      if (SameText(t, "True") || t == "1")
        BooleanValue = true;
      else
        BooleanValue = false;  // "False", and what does not convert
      break;
    }
    case ctDateTime:
      if (!TryStrToDateTime(text, DateTimeValue, fs)) DateTimeValue = StampDateTime(ExportStamp());
      break;
    case ctNumeric:
      if (!TryStrToFloat(text, NumericValue, fs)) NumericValue = 0;
      break;
    case ctString:
      StringValue = std::string(text);
      break;
  }
}

const TPropList& TxlsCell::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsCell>(l)
        .Enum("CellType", "TxlsCellType", &TxlsCell::CellType, kCellTypeNames)
        .Int("Col", &TxlsCell::Col)
        .Int("Row", &TxlsCell::Row)
        .Str("DateTimeFormat", &TxlsCell::DateTimeFormat)
        .Str("NumericFormat", &TxlsCell::NumericFormat)
        .Object("Format", "TxlsFormat", &TxlsCell::Format)
        .Custom(
            "Value", "Variant", [](const TxlsCell& c) { return c.Value(); },
            [](TxlsCell& c, std::string_view v) { c.SetValue(v); });
    return l;
  }();
  return list;
}

std::string TxlsMergedCells::DisplayName() const {
  return "Merged Cells (" + std::to_string(FirstCol) + ", " + std::to_string(FirstRow) + ", " +
         std::to_string(LastCol) + ", " + std::to_string(LastRow) + ")";
}

const TPropList& TxlsMergedCells::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TxlsMergedCells>(l)
        .Int("FirstCol", &TxlsMergedCells::FirstCol)
        .Int("FirstRow", &TxlsMergedCells::FirstRow)
        .Int("LastCol", &TxlsMergedCells::LastCol)
        .Int("LastRow", &TxlsMergedCells::LastRow);
    return l;
  }();
  return list;
}

// --- the lists as properties -------------------------------------------------------------------

void xlsAddExtrasProperties(TPropList& l, std::function<TxlsExtras&(TPersistent&)> extras) {
  auto list = [&l, extras](const char* name, const char* type, auto member) {
    using List = std::remove_reference_t<decltype(extras(std::declval<TPersistent&>()).*member)>;
    l.Add(xlsListProperty<List>(
        name, type, [extras, member](TPersistent& o) -> List& { return extras(o).*member; }));
  };
  list("Hyperlinks", "TxlsHyperlinks", &TxlsExtras::Hyperlinks);
  list("Notes", "TxlsNotes", &TxlsExtras::Notes);
  list("Charts", "TxlsCharts", &TxlsExtras::Charts);
  list("Images", "TxlsImages", &TxlsExtras::Images);
  list("Cells", "TxlsCells", &TxlsExtras::Cells);
  list("MergedCells", "TxlsMergedCellList", &TxlsExtras::MergedCells);
  l.Add({"Background",
         "TxlsGraphic",
         {},
         {},
         {},
         [extras](TPersistent& o) -> TPersistent* { return &extras(o).Background; },
         {}});
}

}  // namespace morvale
