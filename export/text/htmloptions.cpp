#include "export/text/htmloptions.h"

#include <cstdio>

#include "export/core/properties.h"
#include "export/core/propertyerror.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

// "#rrggbb", as the pages write colours.
bool HTMLColorToColor(std::string_view v, TColor& c) {
  v = TrimView(v);
  if (v.size() != 7 || v[0] != '#') return false;
  uint32_t rgb = 0;
  for (char ch : v.substr(1)) {
    int d = ch >= '0' && ch <= '9'   ? ch - '0'
            : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
            : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                     : -1;
    if (d < 0) return false;
    rgb = rgb << 4 | static_cast<uint32_t>(d);
  }
  c = static_cast<TColor>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
  return true;
}

template <class C>
void AddColor(PropBuilder<C>& b, const std::string& name, TColor C::*m) {
  b.Custom(
      name, "TColor", [m](const C& o) { return ColorToString(o.*m); },
      [m, name](C& o, std::string_view v) {
        TColor c;
        if (!HTMLColorToColor(v, c) && !StringToColor(v, c))
          throw InvalidPropertyValue(
              v, name,
              TranslateText("Engine", "expected a colour (clRed, $00BBGGRR, #rrggbb or a number)"));
        o.*m = c;
      });
}

// A colour given as the "#rrggbb" the pages show.
constexpr TColor Rgb(uint32_t rrggbb) {
  return static_cast<TColor>((rrggbb >> 16 & 0xFF) | (rrggbb & 0xFF00) | (rrggbb & 0xFF) << 16);
}

struct TTemplateColors {
  uint32_t page, link, vlink, alink, text, headBg, headText, evenBg, tableText, oddBg;
};

// In the order of THTMLTemplate, htBW to htSimple.
constexpr TTemplateColors kTemplates[] = {
    {0xffffff, 0xff0000, 0x800080, 0x0000ff, 0x000000, 0x000000, 0xffffff, 0xffffff, 0x000000,
     0xf3f3f3},
    {0x333399, 0x69ef7d, 0xff00ff, 0x00ff00, 0xffffff, 0xff0000, 0xffffff, 0x007aec, 0xffffff,
     0x006bce},
    {0x339966, 0x0066cc, 0x923fc1, 0x0000ff, 0xffffff, 0xcc0033, 0xffffff, 0xffffff, 0x000000,
     0xfaf100},
    {0xffffff, 0xff0000, 0x800080, 0x0000ff, 0x000000, 0x808080, 0xffffff, 0xffffff, 0x000000,
     0xeeeeee},
    {0xffffff, 0xff0000, 0x800080, 0x0000ff, 0x000000, 0xcec6b5, 0x000000, 0xdee7de, 0x000000,
     0xfffbf0},
    {0x317676, 0xffe760, 0xcccc39, 0xffff00, 0xffffff, 0x3a9393, 0xffffff, 0x276262, 0xffe760,
     0x367800},
    {0xffffff, 0xff0000, 0x800080, 0x0000ff, 0x5f605f, 0xcfc890, 0x000000, 0xffffff, 0x5f605f,
     0xffffcf},
    {0xffffff, 0xff0000, 0x800080, 0x0000ff, 0x000000, 0x068fe6, 0xffffff, 0xffffff, 0x000000,
     0xfffcd9},
    {0xffffff, 0xff0000, 0x800080, 0x0000ff, 0x004080, 0x336699, 0xffffff, 0xffffff, 0x000000,
     0xffffcf},
};

}  // namespace

THTMLOptions::THTMLOptions() {
  TextFont.Name = "Arial";
}

const TPropList& THTMLOptions::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<THTMLOptions> b(l);
    AddColor(b, "BackgroundColor", &THTMLOptions::BackgroundColor);
    AddColor(b, "LinkColor", &THTMLOptions::LinkColor);
    AddColor(b, "VLinkColor", &THTMLOptions::VLinkColor);
    AddColor(b, "ALinkColor", &THTMLOptions::ALinkColor);
    b.Str("BackgroundFileName", &THTMLOptions::BackgroundFileName)
        .Object("TextFont", "TFont", &THTMLOptions::TextFont)
        .Strings("AdvancedAttributes", &THTMLOptions::AdvancedAttributes)
        .Custom(
            "DefaultOptions", "THTMLDefaultOptions",
            [](const THTMLOptions& o) {
              std::string s;
              if (o.DefaultOptions & doFontName) s = "doFontName";
              if (o.DefaultOptions & doFontSize) s += s.empty() ? "doFontSize" : ",doFontSize";
              return "[" + s + "]";
            },
            [](THTMLOptions& o, std::string_view v) {
              // "[doFontName,doFontSize]", without brackets too, "[]" for none.
              std::string_view t = TrimView(v);
              if (!t.empty() && t.front() == '[') t.remove_prefix(1);
              if (!t.empty() && t.back() == ']') t.remove_suffix(1);
              THTMLDefaultOptions set = 0;
              while (!TrimView(t).empty()) {
                size_t comma = t.find(',');
                std::string_view item = TrimView(t.substr(0, comma));
                set |= 1 << TextToEnum(item, {"doFontName", "doFontSize"}, "DefaultOptions");
                t = comma == std::string_view::npos ? std::string_view() : t.substr(comma + 1);
              }
              o.DefaultOptions = set;
            });
    return l;
  }();
  return list;
}

const TPropList& TTableOptions::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TTableOptions> b(l);
    b.Int("Border", &TTableOptions::Border)
        .Int("CellPadding", &TTableOptions::CellPadding)
        .Int("CellSpacing", &TTableOptions::CellSpacing)
        .Strings("AdvancedAttributes", &TTableOptions::AdvancedAttributes);
    AddColor(b, "HeadersRowBgColor", &TTableOptions::HeadersRowBgColor);
    AddColor(b, "HeadersRowFontColor", &TTableOptions::HeadersRowFontColor);
    AddColor(b, "TableBgColor", &TTableOptions::TableBgColor);
    AddColor(b, "TableFontColor", &TTableOptions::TableFontColor);
    AddColor(b, "OddRowBgColor", &TTableOptions::OddRowBgColor);
    AddColor(b, "BorderColor", &TTableOptions::BorderColor);
    b.Str("BackgroundFileName", &TTableOptions::BackgroundFileName);
    return l;
  }();
  return list;
}

const TPropList& TExportHTMLNavigation::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TExportHTMLNavigation>(l)
        .Str("IndexLinkTemplate", &TExportHTMLNavigation::IndexLinkTemplate)
        .Bool("OnTop", &TExportHTMLNavigation::OnTop)
        .Bool("OnBottom", &TExportHTMLNavigation::OnBottom)
        .Str("IndexLinkTitle", &TExportHTMLNavigation::IndexLinkTitle)
        .Str("FirstLinkTitle", &TExportHTMLNavigation::FirstLinkTitle)
        .Str("PriorLinkTitle", &TExportHTMLNavigation::PriorLinkTitle)
        .Str("NextLinkTitle", &TExportHTMLNavigation::NextLinkTitle)
        .Str("LastLinkTitle", &TExportHTMLNavigation::LastLinkTitle);
    return l;
  }();
  return list;
}

void ApplyHTMLTemplate(THTMLTemplate t, THTMLOptions& html, TTableOptions& table) {
  if (t < htBW || t >= htCustom) return;
  const TTemplateColors& c = kTemplates[t];
  html.BackgroundColor = Rgb(c.page);
  html.LinkColor = Rgb(c.link);
  html.VLinkColor = Rgb(c.vlink);
  html.ALinkColor = Rgb(c.alink);
  html.TextFont.Color = Rgb(c.text);
  html.TextFont.Name = "Arial";
  table.HeadersRowBgColor = Rgb(c.headBg);
  table.HeadersRowFontColor = Rgb(c.headText);
  table.TableBgColor = Rgb(c.evenBg);
  table.TableFontColor = Rgb(c.tableText);
  table.OddRowBgColor = Rgb(c.oddBg);
}

std::string HTMLColor(TColor c) {
  uint32_t v = static_cast<uint32_t>(ColorToRGB(c)) & 0xFFFFFF;
  uint32_t rgb = (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%.6x", rgb);
  return buf;
}

}  // namespace morvale
