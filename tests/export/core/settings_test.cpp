// Format strings, published properties and INI files: the settings every exporter carries.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "export/core/export.h"
#include "export/core/inifile.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

TEST(ExportFormats, DefaultsAndRules) {
  TExportFormats f(TFormatSettings::English());
  EXPECT_EQ(f.IntegerFormat(), "#,###,##0");
  EXPECT_EQ(f.FloatFormat(), "#,###,##0.00");
  EXPECT_EQ(f.DateFormat(), "m/d/yyyy");
  EXPECT_EQ(f.DateTimeFormat(), "m/d/yyyy h:nn AMPM");
  EXPECT_EQ(f.CurrencyFormat(), "$#,###,##0.00");
  f.SetIntegerFormat("0");
  f.SetIntegerFormat("");
  EXPECT_EQ(f.IntegerFormat(), "#,###,##0");
  f.SetNullString("  null \t");
  EXPECT_EQ(f.NullString(), "null");
  f.SetDateFormat("yyyy");
  f.ResetFormats();
  EXPECT_EQ(f.DateFormat(), "m/d/yyyy");
  EXPECT_EQ(f.NullString(), "null");

  // A symbol with a point is quoted, or the point would be taken for a second decimal point.
  TExportFormats r(TFormatSettings::Russian());
  EXPECT_EQ(r.CurrencyFormat(), "#,###,##0.00 \"р.\"");
  TFormatSettings before = TFormatSettings::English();
  before.CurrencyFormat = 2;
  EXPECT_EQ(TExportFormats::CurrencyDefault(before), "$ #,###,##0.00");
  before.CurrencyFormat = 1;
  EXPECT_EQ(TExportFormats::CurrencyDefault(before), "#,###,##0.00$");

  // Defaults follow a new locale; a value the user chose stays.
  f.SetTimeFormat("hh");
  f.SetLocale(TFormatSettings::Russian());
  EXPECT_EQ(f.DateFormat(), "dd/mm/yyyy");
  EXPECT_EQ(f.TimeFormat(), "hh");

  TExportFormats copy(TFormatSettings::English());
  copy = f;
  EXPECT_EQ(copy.TimeFormat(), "hh");
  EXPECT_EQ(copy.NullString(), "null");
}

TEST(Properties, DottedAndKeyedNames) {
  TExportFormatText e;
  SetPropertyText(e, "Formats.NullString", "NULL");
  SetPropertyText(e, "formats.integerformat", "0");
  SetPropertyText(e, "Captions.PRICE", "Price");
  SetPropertyText(e, "Captions.PRICE", "Cost");
  SetPropertyText(e, "Header", "one\ntwo");
  SetPropertyText(e, "SkipRecCount", "3");
  SetPropertyText(e, "AllowCaptions", "false");
  SetPropertyText(e, "ExportSource", "esCustom");
  EXPECT_EQ(e.Formats.NullString(), "NULL");
  EXPECT_EQ(e.Formats.IntegerFormat(), "0");
  EXPECT_EQ(e.Captions.Count(), 1);
  EXPECT_EQ(e.Captions.Value("price"), "Cost");
  EXPECT_EQ(e.Header.Count(), 2);
  EXPECT_EQ(e.SkipRecCount, 3);
  EXPECT_FALSE(e.AllowCaptions);
  EXPECT_EQ(e.ExportSource, esCustom);
  EXPECT_EQ(GetPropertyText(e, "Formats.IntegerFormat"), "0");

  auto message = [&](const char* path, const char* value) {
    try {
      SetPropertyText(e, path, value);
    } catch (const EPropertyError& ex) {
      return std::string(ex.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message("Nope", "1"), "Unknown property 'Nope'");
  EXPECT_EQ(message("SkipRecCount", "x"),
            "Invalid value 'x' for property 'SkipRecCount': expected an integer");
  EXPECT_EQ(message("AllowCaptions", "maybe"),
            "Invalid value 'maybe' for property 'AllowCaptions': expected True or False");
  EXPECT_EQ(message("ExportSource", "esNothing"),
            "Invalid value 'esNothing' for property 'ExportSource': expected one of esDataSet, "
            "esListView, esDBGrid, esStringGrid, esCustom");
  EXPECT_EQ(message("DataSet", "x"), "Property 'DataSet' cannot be set from text");
  EXPECT_EQ(message("Formats.Nope", "x"), "Unknown property 'Nope'");

  // Not published by this class: the column builder must not see it.
  EXPECT_FALSE(Publishes(e, "ColumnsAlign"));
  EXPECT_TRUE(Publishes(e, "Header"));
  TExportText t;
  EXPECT_FALSE(Publishes(t, "Header"));

  auto lines = ListProperties(e);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Header=one\\ntwo"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Formats.NullString=NULL"), lines.end());
}

TEST(Properties, CharactersFromText) {
  EXPECT_EQ(TextToChar(";", "C"), ';');
  EXPECT_EQ(TextToChar("#9", "C"), '\t');
  EXPECT_EQ(TextToChar("#0", "C"), '\0');
  EXPECT_EQ(CharToText('\0'), "#0");
  EXPECT_THROW(TextToChar("ab", "C"), EPropertyError);
  EXPECT_THROW(TextToChar("#300", "C"), EPropertyError);
}

class IniFileTest : public ::testing::Test {
 protected:
  std::string path;
  void SetUp() override { path = test::FreshFolder("ini") + "settings.ini"; }
  void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  std::string Read() {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(IniFileTest, ClassicSemantics) {
  Write("; comment\r\n[Tables]\r\nLimit=40\r\nlimit=99\r\nFlag=0\r\n[Other]\r\nName= a b \r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("TABLES", "LIMIT", 0), 40);  // case-insensitive, first key wins
  EXPECT_FALSE(ini.ReadBool("tables", "flag", true));
  EXPECT_EQ(ini.ReadString("other", "name", ""), "a b");
  EXPECT_EQ(ini.ReadInteger("other", "name", 7), 7);
  EXPECT_EQ(ini.ReadString("missing", "x", "def"), "def");
  TStringList l;
  ini.ReadSections(l);
  EXPECT_EQ(l.Text(), "Tables\nOther");
  ini.ReadSection("tables", l);
  EXPECT_EQ(l.Text(), "Limit\nFlag");

  ini.WriteBool("Tables", "Flag", true);
  ini.WriteString("New", "Line", "a\nb");
  ini.EraseSection("other");
  TIniFile again(path);
  EXPECT_TRUE(again.ReadBool("Tables", "Flag", false));
  EXPECT_EQ(again.ReadString("New", "Line", ""), "a b");
  EXPECT_FALSE(again.SectionExists("Other"));
  EXPECT_EQ(Read(), "[Tables]\nLimit=40\nFlag=1\n\n[New]\nLine=a b\n");
  again.DeleteKey("Tables", "Limit");
  EXPECT_FALSE(TIniFile(path).ValueExists("Tables", "Limit"));
}

TEST_F(IniFileTest, ExporterPropertiesRoundTrip) {
  TExportFormatText a;
  a.Header = {"x", "y"};
  a.Formats.SetFloatFormat("0.0");
  a.SkipRecCount = 4;
  {
    TIniFile ini(path);
    a.SaveProperties(ini);
  }
  TExportFormatText b;
  TIniFile ini(path);
  b.LoadProperties(ini);
  EXPECT_EQ(b.Header, a.Header);
  EXPECT_EQ(b.Formats.FloatFormat(), "0.0");
  EXPECT_EQ(b.SkipRecCount, 4);
}

}  // namespace
}  // namespace morvale
