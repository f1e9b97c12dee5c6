#include "export/text/json.h"

#include <gtest/gtest.h>

#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

TEST(ExportJSON, TypedValuesNullsAndEscapes) {
  TMemDataSet ds;
  ds.AddField("ID", ftLargeint);
  ds.AddField("NAME", ftString, 20);
  ds.AddField("PRICE", ftFloat);
  ds.AddField("OK", ftBoolean);
  ds.AddField("D", ftDateTime);
  ds.AddRow({"9007199254740993", "\"Тест\"\\\t\x01!", "1 234,5", "True", "31.12.1999 23:59:58"});
  ds.AddRow({{}, {}, {}, "False", {}});
  ds.Open();
  TExportJSON e;
  TFormatSettings fs = TFormatSettings::Russian();
  fs.ThousandSeparator = " ";
  e.SetFormatSettings(fs);
  e.SetDataSet(&ds);
  e.Captions.Add("NAME=Имя \"в кавычках\"");
  EXPECT_EQ(
      ExportToString(e),
      "[\n{\"ID\":9007199254740993,\"Имя \\\"в кавычках\\\"\":\"\\\"Тест\\\"\\\\\\t\\u0001!\","
      "\"PRICE\":1234.5,\"OK\":true,\"D\":\"1999-12-31T23:59:58\"},\n"
      "{\"ID\":null,\"Имя \\\"в кавычках\\\"\":null,\"PRICE\":null,\"OK\":false,\"D\":null}"
      "\n]\n");
  e.JSONLines = true;
  std::string lines = ExportToString(e);
  EXPECT_EQ(lines.substr(0, 8), "{\"ID\":90");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2);
}

TEST(ExportJSON, AnEmptyResultIsAnEmptyArray) {
  TMemDataSet ds;
  ds.AddField("ID", ftInteger);
  ds.Open();
  TExportJSON e;
  e.SetDataSet(&ds);
  EXPECT_EQ(ExportToString(e), "[]\n");
  e.JSONLines = true;
  EXPECT_EQ(ExportToString(e), "");
}

}  // namespace
}  // namespace morvale::test
