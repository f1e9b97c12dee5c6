#include "export/docs/rtfstyle.h"

#include "export/core/inifile.h"
#include "export/core/propertyerror.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

const std::vector<std::string> kAlignmentNames{"talLeft", "talRight", "talCenter", "talFill"};
const std::vector<std::string> kStripTypeNames{"stNone", "stCol", "stRow"};
const std::vector<std::string> kOrientationNames{"poPortrait", "poLandscape"};
constexpr std::string_view kStripSection = "RTF_STRIP_STYLE_";

TColor ColorFromText(std::string_view text, std::string_view prop) {
  TColor c = 0;
  if (!StringToColor(text, c))
    throw InvalidPropertyValue(text, prop, TranslateText("Engine", "expected a colour"));
  return c;
}

template <class C>
void AddColor(TPropList& l, const std::string& name, TColor C::*m) {
  PropBuilder<C>(l).Custom(
      name, "TColor", [m](const C& o) { return ColorToString(o.*m); },
      [m, name](C& o, std::string_view v) { o.*m = ColorFromText(v, name); });
}

}  // namespace

void TrtfStyle::Reset() {
  Font = TFont();
  Font.Name = "Arial";
  Font.Size = 10;
  Font.Color = clBlack;
  Font.Style = 0;
  BackgroundColor = clWhite;
  HighlightColor = clWhite;
  AllowHighlight = false;
  AllowBackground = true;
  Alignment = talLeft;
}

bool TrtfStyle::operator==(const TrtfStyle& o) const {
  return Font == o.Font && BackgroundColor == o.BackgroundColor &&
         HighlightColor == o.HighlightColor && AllowHighlight == o.AllowHighlight &&
         AllowBackground == o.AllowBackground && Alignment == o.Alignment;
}

void TrtfStyle::SaveToIni(TIniFile& ini, std::string_view s) const {
  ini.BeginUpdate();
  ini.WriteString(s, "FontName", Font.Name);
  ini.WriteInteger(s, "FontSize", Font.Size);
  ini.WriteInteger(s, "FontColor", Font.Color);
  ini.WriteBool(s, "FontBold", Font.Style & fsBold);
  ini.WriteBool(s, "FontItalic", Font.Style & fsItalic);
  ini.WriteBool(s, "FontUnderline", Font.Style & fsUnderline);
  ini.WriteBool(s, "FontStrikeOut", Font.Style & fsStrikeOut);
  ini.WriteInteger(s, "BackgroundColor", BackgroundColor);
  ini.WriteInteger(s, "HighlightColor", HighlightColor);
  ini.WriteBool(s, "AllowHighlight", AllowHighlight);
  ini.WriteBool(s, "AllowBackground", AllowBackground);
  ini.WriteInteger(s, "Alignment", Alignment);
  ini.EndUpdate();
}

void TrtfStyle::LoadFromIni(const TIniFile& ini, std::string_view s) {
  Reset();
  Font.Name = ini.ReadString(s, "FontName", Font.Name);
  Font.Size = ini.ReadInteger(s, "FontSize", Font.Size);
  Font.Color = ini.ReadInteger(s, "FontColor", Font.Color);
  TFontStyles st = 0;
  const std::pair<const char*, TFontStyle> bits[] = {{"FontBold", fsBold},
                                                     {"FontItalic", fsItalic},
                                                     {"FontUnderline", fsUnderline},
                                                     {"FontStrikeOut", fsStrikeOut}};
  for (auto [key, bit] : bits)
    if (ini.ReadBool(s, key, Font.Style & bit)) st |= bit;
  Font.Style = st;
  BackgroundColor = ini.ReadInteger(s, "BackgroundColor", BackgroundColor);
  HighlightColor = ini.ReadInteger(s, "HighlightColor", HighlightColor);
  AllowHighlight = ini.ReadBool(s, "AllowHighlight", AllowHighlight);
  AllowBackground = ini.ReadBool(s, "AllowBackground", AllowBackground);
  int a = ini.ReadInteger(s, "Alignment", Alignment);
  Alignment = a >= talLeft && a <= talFill ? static_cast<TrtfTextAlignment>(a) : talLeft;
}

const TPropList& TrtfStyle::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TrtfStyle>(l).Object("Font", "TFont", &TrtfStyle::Font);
    AddColor(l, "BackgroundColor", &TrtfStyle::BackgroundColor);
    AddColor(l, "HighlightColor", &TrtfStyle::HighlightColor);
    PropBuilder<TrtfStyle>(l)
        .Bool("AllowHighlight", &TrtfStyle::AllowHighlight)
        .Bool("AllowBackground", &TrtfStyle::AllowBackground)
        .Enum("Alignment", "TrtfTextAlignment", &TrtfStyle::Alignment, kAlignmentNames);
    return l;
  }();
  return list;
}

void TrtfStyles::SetCount(int n) {
  items_.resize(static_cast<size_t>(std::max(n, 0)));
}

void TrtfStyles::LoadFromIni(const TIniFile& ini) {
  TStringList sections;
  ini.ReadSections(sections);
  items_.clear();
  for (const std::string& s : sections)
    if (s.size() >= kStripSection.size() &&
        SameText(s.substr(0, kStripSection.size()), kStripSection))
      Add().LoadFromIni(ini, s);
}

void TrtfStyles::SaveToIni(TIniFile& ini) const {
  for (int i = 0; i < Count(); ++i)
    items_[static_cast<size_t>(i)].SaveToIni(ini, std::string(kStripSection) + std::to_string(i));
}

const TPropList& TrtfStyles::Published() const {
  // The table names the items, so it follows the number of items.
  if (!props_ || propsCount_ != Count()) {
    auto l = std::make_unique<TPropList>();
    PropBuilder<TrtfStyles>(*l)
        .Custom(
            "Count", "Integer", [](const TrtfStyles& o) { return std::to_string(o.Count()); },
            [](TrtfStyles& o, std::string_view v) { o.SetCount(TextToInt(v, "Count")); })
        .Custom("File", "String", nullptr, [](TrtfStyles& o, std::string_view v) {
          TIniFile ini{std::string(v)};
          o.LoadFromIni(ini);
        });
    for (int i = 0; i < Count(); ++i)
      l->Add({std::to_string(i),
              "TrtfStyle",
              {},
              {},
              {},
              [i](TPersistent& o) -> TPersistent* { return &static_cast<TrtfStyles&>(o)[i]; },
              {}});
    props_ = std::move(l);
    propsCount_ = Count();
  }
  return *props_;
}

TRTFOptions::TRTFOptions() {
  CaptionStyle.Font.Style = fsBold;
  CaptionStyle.Alignment = talCenter;
}

const TPropList& TRTFOptions::Published() const {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TRTFOptions>(l)
        .Strings("CaptionAligns", &TRTFOptions::CaptionAligns)
        .Object("CaptionStyle", "TrtfStyle", &TRTFOptions::CaptionStyle)
        .Object("DataStyle", "TrtfStyle", &TRTFOptions::DataStyle)
        .Enum("PageOrientation", "TExportPageOrientation", &TRTFOptions::PageOrientation,
              kOrientationNames)
        .Object("StripStyles", "TrtfStyles", &TRTFOptions::StripStyles)
        .Enum("StripType", "TrtfStripType", &TRTFOptions::StripType, kStripTypeNames)
        .Object("HeaderStyle", "TrtfStyle", &TRTFOptions::HeaderStyle)
        .Object("FooterStyle", "TrtfStyle", &TRTFOptions::FooterStyle)
        .Int("MinFontSize", &TRTFOptions::MinFontSize)
        .Bool("AutoOrientation", &TRTFOptions::AutoOrientation);
    return l;
  }();
  return list;
}

}  // namespace morvale
