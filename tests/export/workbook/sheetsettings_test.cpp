// A sheet takes the workbook settings whole: from another sheet by Assign, and from the exporter
// for the single sheet of a run without Sheets. A setting left out would be lost without a sound.
#include <gtest/gtest.h>

#include <map>

#include "export/core/properties.h"
#include "export/workbook/exportworkbook.h"

namespace morvale {
namespace {

// Non-default values of the settings a sheet shares with the exporter.
const std::vector<std::pair<std::string, std::string>> kChanged = {
    {"AutoCalcColWidth", "True"},
    {"StripType", "ssRow"},
    {"HeaderRows", "2"},
    {"StartDataCol", "3"},
    {"FooterRows", "1"},
    {"Header", "top"},
    {"Captions.PRICE", "Price"},
    {"Footer", "bottom"},
    {"Formats.IntegerFormat", "#,##0"},
    {"UserFormats.PRICE", "0.00"},
    {"ColumnsWidth.PRICE", "12"},
    {"AllowCaptions", "False"},
    {"ExportedFields", "PRICE"},
    {"SkipRecCount", "4"},
    {"ExportRecCount", "5"},
    {"CaptionRow", "2"},
    {"OnlyVisibleFields", "True"},
    {"AutoCalcStrType", "True"},
    {"CurrentRecordOnly", "True"},
    {"GoToFirstRecord", "False"},
    {"Options.CaptionsFormat.Font.Size", "14"},
    {"Notes.0.Col", "2"}};

std::map<std::string, std::string> Properties(TPersistent& o) {
  std::map<std::string, std::string> m;
  for (const std::string& line : ListProperties(o)) {
    size_t eq = line.find('=');
    m[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return m;
}

class TProbeWorkbook : public TExportWorkbook {
 public:
  using TExportWorkbook::LoadTemporarySheet;
};

TEST(XlsSheetSettings, AssignAndTheSingleSheetTakeEverySetting) {
  TProbeWorkbook x;
  TxlsSheet& a = x.Sheets.Add();
  for (const auto& [name, value] : kChanged) {
    SetPropertyText(a, name, value);
    SetPropertyText(x, name, value);
  }
  a.FieldFormats.Add().FieldName = "PRICE";
  x.FieldFormats.Add().FieldName = "PRICE";

  TxlsSheet& b = x.Sheets.Add();
  b.Assign(a);
  TxlsSheet& single = x.Sheets.Add();
  x.LoadTemporarySheet(single);
  const auto from = Properties(a);
  ASSERT_NE(from.at("HeaderRows"), Properties(x.Sheets.Add()).at("HeaderRows"));
  auto copied = Properties(b), loaded = Properties(single);
  for (const auto& [name, value] : from) {
    if (name == "Title" || name == "DefRowHeight" || name == "DefColWidth" || name == "Exported" ||
        name == "Tag")
      continue;
    EXPECT_EQ(copied[name], value) << "Assign: " << name;
    EXPECT_EQ(loaded[name], value) << "single sheet: " << name;
  }
  EXPECT_EQ(b.Title, a.Title);
  EXPECT_EQ(single.Title, x.Options.SheetTitle());
  EXPECT_EQ(b.FieldFormats.Count(), 1);
  EXPECT_EQ(single.FieldFormats.Count(), 1);
  // The exporter's strip styles keep their own names; a sheet's copy takes a sheet's.
  EXPECT_EQ(single.StripStyles.Count(), x.StripStyles.Count());
}

}  // namespace
}  // namespace morvale
