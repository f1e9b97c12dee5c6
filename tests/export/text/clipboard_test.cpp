#include "export/text/clipboard.h"

#include <gtest/gtest.h>

#include "export/core/platform.h"
#include "export/core/properties.h"
#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

class ExportClipboard : public testing::Test {
 protected:
  void SetUp() override {
    SetClipboard(&clipboard_);
    ds_.AddField("NAME", ftString, 4);
    ds_.AddField("QTY", ftInteger, 0, 3);
    ds_.AddRow({"Bolt", "12"});
    ds_.Open();
    e_.SetFormatSettings(TFormatSettings::English());
    e_.SetDataSet(&ds_);
    e_.Formats.SetIntegerFormat("0");
  }
  void TearDown() override { SetClipboard(nullptr); }
  std::string Run() {
    e_.Execute();
    return clipboard_.GetText();
  }
  TMemoryClipboard clipboard_;
  TMemDataSet ds_;
  TExportClipboard e_;
};

TEST_F(ExportClipboard, Separated) {
  e_.Separator = ';';
  EXPECT_EQ(Run(), "NAME;QTY;\r\nBolt;12;\r\n");

  // Stored only: neither changes the text.
  e_.Spacing = 9;
  e_.ClipboardViewer = "other";
  EXPECT_EQ(Run(), "NAME;QTY;\r\nBolt;12;\r\n");

  e_.Title = "Parts";
  e_.Header = {"h1", "h2"};
  e_.Footer = {"f"};
  EXPECT_EQ(Run(), "Parts\r\nh1\r\nh2\r\n\r\nNAME;QTY;\r\nBolt;12;\r\nf\r\n\r\n");
}

TEST_F(ExportClipboard, Fixed) {
  SetPropertyText(e_, "ExportType", "etFixed");
  EXPECT_TRUE(e_.AutoCalcColWidth);
  // Widths from the width pass: NAME 4, QTY 3; values right-aligned, columns touching.
  EXPECT_EQ(Run(), "NAMEQTY\r\nBolt 12\r\n");
  e_.AutoCalcColWidth = false;  // every run measures again
  EXPECT_EQ(Run(), "NAMEQTY\r\nBolt 12\r\n");
  e_.SetExportType(etSeparated);
  EXPECT_FALSE(e_.AutoCalcColWidth);
}

TEST_F(ExportClipboard, DefaultSeparatorFollowsTheLocale) {
  TExportClipboard c;
  const std::string& list = c.FormatSettings().ListSeparator;
  EXPECT_EQ(c.Separator, list.empty() ? ',' : list[0]);
  for (const char* name : {"Header", "Footer", "AllowCaptions", "Captions", "Formats",
                           "UserFormats", "OnFetchedRecord", "Separator", "Spacing"})
    EXPECT_TRUE(Publishes(c, name)) << name;
  EXPECT_FALSE(Publishes(c, "FileName"));
}

}  // namespace
}  // namespace morvale::test
