#include "export/text/xml.h"

#include <gtest/gtest.h>

#include "export/core/codepage.h"
#include "export/core/properties.h"
#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

const char* kExample =
    "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
    "<DATAPACKET Version=\"2.0\">\r\n"
    "<METADATA>\r\n"
    "<FIELDS>\r\n"
    "<FIELD FieldName=\"ID\" DisplayLabel=\"ID\" FieldType=\"Integer\" FieldClass=\"TField\"/>\r\n"
    "<FIELD FieldName=\"FIRST_NAME\" DisplayLabel=\"FIRST_NAME\" FieldType=\"String\" "
    "FieldClass=\"TField\"/>\r\n"
    "</FIELDS>\r\n"
    "</METADATA>\r\n"
    "<ROWDATA>\r\n"
    "<ROW ID=\"7\" FIRST_NAME=\"Ann &amp; Bob\"/>\r\n"
    "</ROWDATA>\r\n"
    "</DATAPACKET>\r\n";

TEST(ExportXML, Example) {
  SetSystemCodePage("UTF-8");
  TMemDataSet ds;
  ds.AddField("ID", ftInteger);
  ds.AddField("FIRST NAME", ftString, 20);
  ds.AddRow({"7", "Ann & Bob"});
  ds.Open();
  TExportXML e;
  e.SetFormatSettings(TFormatSettings::English());
  e.SetDataSet(&ds);
  e.Formats.SetIntegerFormat("0");
  e.Captions = {"ID=Number"};  // captions have no effect on this format
  EXPECT_EQ(ExportToString(e), kExample);

  e.Options.Encoding = "windows-1251";
  e.Options.StandAlone = false;
  EXPECT_TRUE(ExportToString(e).starts_with(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"no\"?>\r\n"));
}

TEST(ExportXML, ValuesNullsAndEmptySource) {
  SetSystemCodePage("UTF-8");
  TMemDataSet ds;
  ds.AddField("S", ftString, 20);
  ds.AddField("COUNT(*)", ftInteger);
  ds.AddField("B", ftBoolean);
  ds.AddRow({"say \"hi\" <now>\r\n\tok\x01go", std::nullopt, "True"});
  ds.Open();
  TExportXML e;
  e.SetFormatSettings(TFormatSettings::English());
  e.SetDataSet(&ds);
  e.Formats.SetNullString("null");
  std::string s = ExportToString(e);
  // Names XML cannot take are made into names; line breaks and tabs survive as references.
  EXPECT_NE(s.find("<FIELD FieldName=\"COUNT___\" DisplayLabel=\"COUNT___\" FieldType=\"Integer\""),
            std::string::npos)
      << s;
  EXPECT_NE(
      s.find("<ROW S=\"say &quot;hi&quot; &lt;now&gt;&#13;&#10;&#9;ok?go\" COUNT___=\"null\""),
      std::string::npos)
      << s;
  EXPECT_NE(s.find(" B=\"True\"/>"), std::string::npos) << s;

  // An empty source; a name given twice (SELECT a.ID, b.ID) stays two distinct attributes.
  TMemDataSet empty;
  empty.AddField("ID", ftString, 3);
  empty.AddField("ID", ftString, 3);
  empty.AddField("2ND", ftString, 3);
  empty.Open();
  e.SetDataSet(&empty);
  s = ExportToString(e);
  EXPECT_NE(s.find("<FIELD FieldName=\"ID_2\""), std::string::npos) << s;
  EXPECT_NE(s.find("<FIELD FieldName=\"_2ND\""), std::string::npos) << s;
  EXPECT_TRUE(s.ends_with("</METADATA>\r\n<ROWDATA>\r\n</ROWDATA>\r\n</DATAPACKET>\r\n"));
}

// The sample rows read back by libxml2 and by Python's parser give the values written.
TEST(ExportXML, ReadersAgree) {
  SetSystemCodePage("UTF-8");
  std::string folder = ScratchFolder();
  TMemDataSet ds;
  FillSampleDataSet(ds);
  for (const char* encoding : {"", "windows-1251", "ISO-8859-1"}) {
    SCOPED_TRACE(encoding);
    TExportXML e;
    e.SetFormatSettings(TFormatSettings::English());
    e.SetDataSet(&ds);
    e.ExportedFields = {"ID", "NAME", "NOTE"};
    e.Options.Encoding = encoding;
    e.FileName = folder + "sample" + encoding + ".xml";
    e.Execute();
    TCommandResult lint = RunCommand("xmllint --noout " + ShellQuote(e.FileName) + " 2>&1");
    EXPECT_EQ(lint.status, 0) << lint.out;
    TCommandResult py =
        RunCommand(Python() + " " + TestScript("read_xml.py") + " " + ShellQuote(e.FileName));
    ASSERT_EQ(py.status, 0);
    EXPECT_EQ(py.out,
              "ID|NAME|NOTE\n"
              "1|Bolt|plain\n"
              "2|Гайка \"M6\"|line one\\r\\nline two\n"
              "3|a;b,c\\td|\n"
              "-4|<tag> & 'q'|Ünïcødé ✓\n");
  }
  // Characters a code page lacks become references instead of question marks.
  std::string latin1 = ReadFile(folder + "sampleISO-8859-1.xml");
  EXPECT_NE(latin1.find("&#1043;&#1072;"), std::string::npos);  // Га
  EXPECT_NE(latin1.find("\xDCn\xEF"
                        "c\xF8"
                        "d\xE9 &#10003;"),
            std::string::npos);
}

TEST(ExportXML, EightBitSystemCodePageIsDeclared) {
  SetSystemCodePage("CP1251");
  TMemDataSet ds;
  ds.AddField("N", ftString, 10);
  ds.AddRow({"\xC3\xE0\xE9\xEA\xE0"});  // Гайка in Windows-1251
  ds.Open();
  TExportXML e;
  e.SetDataSet(&ds);
  std::string s = ExportToString(e);
  SetSystemCodePage("UTF-8");
  EXPECT_TRUE(s.starts_with("<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>"))
      << s;
  EXPECT_NE(s.find("N=\"\xC3\xE0\xE9\xEA\xE0\""), std::string::npos);

  e.Options.Encoding = "no-such-encoding";
  EXPECT_THROW(ExportToString(e), Exception);
}

TEST(ExportXML, PublishedSettings) {
  TExportXML e;
  for (const char* name : {"Captions", "Formats", "UserFormats", "Options", "FileName"})
    EXPECT_TRUE(Publishes(e, name)) << name;
  for (const char* name : {"Header", "Footer", "AllowCaptions", "ColumnsAlign"})
    EXPECT_FALSE(Publishes(e, name)) << name;
  SetPropertyText(e, "Options.Encoding", "windows-1251");
  SetPropertyText(e, "Options.StandAlone", "false");
  SetPropertyText(e, "Options.Version", "1.1");
  SetPropertyText(e, "Formats.NullString", "null");
  EXPECT_EQ(e.Options.Encoding, "windows-1251");
  EXPECT_FALSE(e.Options.StandAlone);
  EXPECT_EQ(e.Options.Version, "1.1");
  EXPECT_EQ(e.Formats.NullString(), "null");
}

}  // namespace
}  // namespace morvale::test
