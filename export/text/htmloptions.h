// The settings of the HTML exporter that live in their own records: page colours and font, table
// attributes and colours, the navigation bars of paged output, and the nine colour templates.
#pragma once

#include <string>

#include "export/core/classes.h"
#include "export/core/graphics.h"

namespace morvale {

enum THTMLTemplate : int {
  htBW,
  htClassic,
  htColorFul,
  htGray,
  htMS_Money,
  htMurky,
  htOlive,
  htPlain,
  htSimple,
  htCustom
};

enum TUsingCSS : int { usInternal, usExternal };

// Font properties the style sheet leaves to the browser.
enum THTMLDefaultOption : int { doFontName = 1, doFontSize = 2 };
using THTMLDefaultOptions = int;  // a set of THTMLDefaultOption bits

class THTMLOptions : public TPersistent {
 public:
  THTMLOptions();
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  TColor BackgroundColor = clWhite;
  TColor LinkColor = clBlue;
  TColor VLinkColor = clPurple;
  TColor ALinkColor = clRed;
  std::string BackgroundFileName;
  TFont TextFont;
  TStringList AdvancedAttributes;  // kept for the settings; the pages do not use it
  THTMLDefaultOptions DefaultOptions = doFontSize;
};

class TTableOptions : public TPersistent {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  int Border = 1;
  int CellPadding = 4;
  int CellSpacing = 1;
  TStringList AdvancedAttributes;  // kept for the settings; the pages do not use it
  TColor HeadersRowBgColor = clBlack;
  TColor HeadersRowFontColor = clWhite;
  TColor TableBgColor = clWhite;  // background of the even rows
  TColor TableFontColor = clBlack;
  TColor OddRowBgColor = clWhite;
  TColor BorderColor = clWhite;
  std::string BackgroundFileName;
};

class TExportHTMLNavigation : public TPersistent {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  std::string IndexLinkTemplate;
  bool OnTop = true;
  bool OnBottom = true;
  std::string IndexLinkTitle = "Index";
  std::string FirstLinkTitle = "First";
  std::string PriorLinkTitle = "Prior";
  std::string NextLinkTitle = "Next";
  std::string LastLinkTitle = "Last";
};

// Copies a template's colours (and the font name Arial) into the options; htCustom copies nothing.
void ApplyHTMLTemplate(THTMLTemplate t, THTMLOptions& html, TTableOptions& table);

// "#rrggbb" of a colour: red first, lowercase; system colours as the desktop shows them.
std::string HTMLColor(TColor c);

}  // namespace morvale
