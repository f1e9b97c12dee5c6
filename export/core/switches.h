// Settings that switch a behaviour on by being published: the column builder takes a setting from
// an exporter only when the exporter's class publishes it (the dBASE exporter has no Formats, the
// clipboard no FileName), and the command line refuses --encoding for a type without Encoding.
// A name misspelt in such a test would switch the behaviour off without a sound, so every name
// asked for is one of this table's, checked while compiling; a test checks that some class
// publishes each of them.
#pragma once

#include <array>
#include <string_view>

#include "export/core/properties.h"

namespace morvale {

inline constexpr std::array<std::string_view, 20> kPublishedSwitches = {
    "ExportSource", "DataSet",      "CustomSource",    "ListView",          "DBGrid",
    "StringGrid",   "SkipRecCount", "ExportRecCount",  "ExportedFields",    "UserFormats",
    "ColumnsWidth", "Captions",     "ColumnsAlign",    "ColumnsLength",     "Formats",
    "CaptionRow",   "Encoding",     "AutoCalcStrType", "OnlyVisibleFields", "OnFetchedRecord"};

// A name from kPublishedSwitches; any other text does not compile.
class TPublishedSwitch {
 public:
  consteval TPublishedSwitch(const char* name) : name_(name) {  // NOLINT: implicit on purpose
    bool known = false;
    for (std::string_view s : kPublishedSwitches) known = known || s == name_;
    if (!known) throw "not a name of kPublishedSwitches";  // a compile-time error
  }
  std::string_view Name() const { return name_; }

 private:
  std::string_view name_;
};

inline bool Publishes(const TPersistent& obj, TPublishedSwitch setting) {
  return obj.Published().Publishes(setting.Name());
}

}  // namespace morvale
