// Fixed-width text, CSV, DIF and SYLK: the documented example byte for byte, the edge cases of
// each type, and the escapes readers need.
#include <gtest/gtest.h>

#include "export/text/ascii.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::TMemDataSet;

class AsciiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TField& name = ds.AddField("NAME", ftString, 20, 6);
    TField& qty = ds.AddField("QTY", ftInteger, 0, 3);
    (void)name, (void)qty;
    ds.AddRow({"Bolt", "12"});
    e.SetFormatSettings(TFormatSettings::English());
    e.SetDataSet(&ds);
    e.Formats.SetIntegerFormat("0");
  }
  std::string Run(TExportASCIIType type) {
    e.SetExportType(type);
    TMemoryStream s;
    e.ExportToStream(s);
    return s.Data();
  }
  TMemDataSet ds;
  TExportASCII e;
};

TEST_F(AsciiTest, DocumentedExample) {
  EXPECT_EQ(Run(etTXT), "NAME   QTY \r\nBolt    12 \r\n");
  e.CSVComma = ';';
  EXPECT_EQ(Run(etCSV), "\"NAME\";\"QTY\"\r\n\"Bolt\";\"12\"\r\n");
  EXPECT_EQ(Run(etDIF),
            "TABLE\r\n0,1\r\n\"\"\r\nVECTORS\r\n0,2\r\n\"\"\r\nTUPLES\r\n0,1\r\n\"\"\r\nDATA\r\n"
            "0,0\r\n\"\"\r\n-1,0\r\nBOT\r\n1,0\r\n\"NAME\"\r\n1,0\r\n\"QTY\"\r\n-1,0\r\nBOT\r\n"
            "1,0\r\n\"Bolt\"\r\n0,12\r\nV\r\n-1,0\r\nEOD\r\n");
  EXPECT_EQ(Run(etSYLK),
            "ID;PVASCIIEXPORT\r\nC;X1;Y1;K\"NAME\"\r\nC;X2;Y1;K\"QTY\"\r\nC;X1;Y2;K\"Bolt\"\r\n"
            "C;X2;Y2;K\"12\"\r\nE\r\n");
}

TEST_F(AsciiTest, TxtTitleHeaderFooterAndLongValues) {
  ds.AddRow({"a very long name", "7"});
  e.Title = "Parts";
  e.Header = {"h1"};
  e.Footer = {"f1"};
  e.AutoCalcColWidth = false;
  EXPECT_EQ(Run(etTXT),
            "Parts\r\n" + std::string(80, '-') +
                "\r\n\r\nh1\r\nNAME   QTY \r\nBolt    12 \r\na very long name   7 \r\nf1\r\n");
  e.Title.clear();
  e.TXTSpacing = 0;
  e.ColumnsAlign = {"NAME=center"};
  EXPECT_TRUE(Run(etTXT).starts_with("h1\r\n NAME QTY\r\n Bolt  12\r\n"));
}

TEST_F(AsciiTest, TxtLineBreaksInValuesKeepTheFixedLayout) {
  ds.AddRow({"Line one\r\nLine two\nthree\rfour", "5"});
  const std::string txt = Run(etTXT);
  // Three lines: the captions and two records, each break inside the value written as a blank.
  EXPECT_EQ(txt.find("Line one Line two three four"), txt.find("\r\nLine one") + 2);
  size_t lines = 0;
  for (size_t p = txt.find("\r\n"); p != std::string::npos; p = txt.find("\r\n", p + 2)) ++lines;
  EXPECT_EQ(lines, 3u);
  EXPECT_EQ(txt.find('\n'), txt.find("\r\n") + 1);
}

TEST_F(AsciiTest, TypeSwitchTurnsWidthPassOn) {
  e.SetExportType(etCSV);
  Run(etCSV);
  EXPECT_FALSE(e.AutoCalcColWidth);  // a run of another type turns it off for good
  e.SetExportType(etTXT);
  EXPECT_TRUE(e.AutoCalcColWidth);
}

TEST_F(AsciiTest, CsvQuotingAndSeparators) {
  TMemDataSet d;
  d.AddField("A", ftString, 10);
  d.AddField("B", ftString, 10);
  d.AddRow({"ab\"c", "x,y"});
  e.SetDataSet(&d);
  e.CSVComma = ',';
  e.Header = {"head"};
  e.Footer = {"foot"};
  EXPECT_EQ(Run(etCSV), "head,\r\n\"A\",\"B\"\r\n\"ab\"\"c\",\"x,y\"\r\nfoot,\r\n");
  e.CSVQuoteStrings = false;
  e.Header.Clear(), e.Footer.Clear();
  EXPECT_EQ(Run(etCSV), "A,B\r\nab\"c,x,y\r\n");
  e.CSVQuoteStrings = true;
  e.CSVQuote = '\0';
  EXPECT_EQ(Run(etCSV), "A,B\r\nab\"c,x,y\r\n");
  e.CSVQuote = '\'';
  e.AllowCaptions = false;
  EXPECT_EQ(Run(etCSV), "'ab\"c','x,y'\r\n");
}

TEST_F(AsciiTest, CsvCellsNullEmptyBlanksAndBreaks) {
  TMemDataSet d;
  d.AddField("A", ftString, 20);
  d.AddField("B", ftString, 20);
  d.AddField("N", ftInteger);
  d.AddRow({std::nullopt, "", std::nullopt});
  d.AddRow({"  both ends  ", "one\r\ntwo\nthree", "7"});
  d.AddRow({"\"", ",", "-12"});
  e.SetDataSet(&d);
  e.CSVComma = ',';
  e.AllowCaptions = false;
  // NULL gives the NULL text, quoted like any value; the outer blanks of a value are trimmed as
  // in every format, and the line breaks inside it stay within the quotes.
  e.Formats.SetNullString("NULL");
  EXPECT_EQ(Run(etCSV),
            "\"NULL\",\"\",\"NULL\"\r\n\"both ends\",\"one\r\ntwo\nthree\",\"7\"\r\n"
            "\"\"\"\",\",\",\"-12\"\r\n");
  e.Formats.SetNullString("");
  e.CSVQuoteStrings = false;
  e.CSVComma = ';';
  EXPECT_EQ(Run(etCSV), ";;\r\nboth ends;one\r\ntwo\nthree;7\r\n\";,;-12\r\n");
}

TEST_F(AsciiTest, CsvWithoutColumnsWritesEmptyLines) {
  TMemDataSet d;
  d.AddField("M", ftMemo);
  d.AddRow({"x"});
  d.AddRow({"y"});
  e.SetDataSet(&d);
  EXPECT_EQ(Run(etCSV), "\r\n\r\n\r\n");
}

TEST_F(AsciiTest, DifSkipCountsAndFiresTwice) {
  for (int i = 2; i <= 5; ++i) ds.AddRow({"n" + std::to_string(i), std::to_string(i)});
  int skipped = 0, fetched = 0;
  e.OnSkippedRecord = [&](TObject*, int) { ++skipped; };
  e.OnFetchedRecord = [&](TObject*, int) { ++fetched; };
  e.SkipRecCount = 2;
  std::string out = Run(etDIF);
  EXPECT_NE(out.find("TUPLES\r\n0,3\r\n"), std::string::npos);
  EXPECT_EQ(skipped, 4);
  EXPECT_EQ(fetched, 3);
  EXPECT_NE(out.find("\"n3\""), std::string::npos);
  EXPECT_EQ(out.find("\"n2\""), std::string::npos);
  EXPECT_EQ(ds.bookmarks, 0);
}

TEST_F(AsciiTest, DifStoppedDuringCountEndsAfterTuples) {
  e.OnFetchedRecord = [&](TObject*, int) { e.Abort(); };
  ds.AddRow({"b", "2"});
  std::string out = Run(etDIF);
  EXPECT_TRUE(out.ends_with("TUPLES\r\n")) << out;
}

// The passes before the run read the records the run writes. Fixed-width text measured other
// records than it wrote (a column could be narrower than a value written in it), and DIF declared
// a count of rows it did not write, when the run took the current record only or did not start
// at the first record.
TEST_F(AsciiTest, PassesBeforeTheRunReadWhatTheRunWrites) {
  TMemDataSet d;
  d.AddField("N", ftString, 20, 1);
  for (const char* name : {"a", "bb", "ccc", "dddd", "eeeee"}) d.AddRow({name});
  e.SetDataSet(&d);
  e.AllowCaptions = false;
  std::vector<int> fetched;
  e.OnFetchedRecord = [&](TObject*, int n) { fetched.push_back(n); };

  d.SetRecNo(1);
  e.GoToFirstRecord = false;
  e.ExportRecCount = 2;
  EXPECT_EQ(Run(etTXT), "bb  \r\nccc \r\n");
  EXPECT_EQ(fetched, (std::vector<int>{1, 2}));
  d.SetRecNo(1);
  e.ExportRecCount = 0;
  std::string dif = Run(etDIF);
  EXPECT_NE(dif.find("TUPLES\r\n0,4\r\n"), std::string::npos) << dif;
  EXPECT_EQ(dif.find("\"a\""), std::string::npos) << dif;

  e.GoToFirstRecord = true;
  e.ExportRecCount = 0;
  e.SkipRecCount = 3;
  e.CurrentRecordOnly = true;
  EXPECT_EQ(Run(etTXT), "dddd \r\n");
  dif = Run(etDIF);
  EXPECT_NE(dif.find("TUPLES\r\n0,1\r\n"), std::string::npos) << dif;
  EXPECT_EQ(d.bookmarks, 0);
}

// A stop asked for during the width pass ends the pass there; the run writes no row.
TEST_F(AsciiTest, StopDuringTheWidthPass) {
  for (int i = 2; i <= 5; ++i) ds.AddRow({"n" + std::to_string(i), std::to_string(i)});
  int fetched = 0;
  e.OnFetchedRecord = [&](TObject*, int) {
    if (++fetched == 2) e.Abort();
  };
  EXPECT_EQ(Run(etTXT), "");
  EXPECT_EQ(fetched, 2);
  EXPECT_EQ(ds.RecNo(), 0);
  EXPECT_EQ(ds.bookmarks, 0);
}

TEST_F(AsciiTest, DifCellsReadersCanParse) {
  TMemDataSet d;
  d.AddField("S", ftString, 10);
  d.AddField("F", ftFloat);
  d.AddField("C", ftCurrency);
  d.AddField("D", ftDate);
  d.AddField("B", ftBoolean);
  d.AddRow({"say \"hi\"", "1234.5", "-3", "3/7/2008", "True"});
  d.AddRow({std::nullopt, std::nullopt, "2", "3/8/2008", "False"});
  e.SetDataSet(&d);
  e.AllowCaptions = false;
  e.Formats.SetNullString("null");
  std::string out = Run(etDIF);
  std::string rows = out.substr(out.find("BOT\r\n") + 5);
  EXPECT_EQ(rows,
            "1,0\r\n\"say \"\"hi\"\"\"\r\n0,1234.50\r\nV\r\n0,-3.00\r\nV\r\n"
            "1,0\r\n\"3/7/2008\"\r\n1,0\r\n\"True\"\r\n"
            "-1,0\r\nBOT\r\n1,0\r\n\"null\"\r\n1,0\r\n\"null\"\r\n0,2.00\r\nV\r\n"
            "1,0\r\n\"3/8/2008\"\r\n1,0\r\n\"False\"\r\n-1,0\r\nEOD\r\n");
  // A decimal comma and a blank grouping become the plain number readers expect.
  e.SetFormatSettings(TFormatSettings::Russian());
  d.First();
  TMemDataSet r;
  r.AddField("F", ftFloat);
  r.AddRow({"1234,5"});
  e.SetDataSet(&r);
  out = Run(etDIF);
  EXPECT_NE(out.find("BOT\r\n0,1234.50\r\nV\r\n"), std::string::npos) << out;
}

TEST_F(AsciiTest, SylkRowsAndEscapes) {
  e.AllowCaptions = false;
  ds.AddRow({"a;b \"q\"\r\nc\nd", "3"});
  EXPECT_EQ(Run(etSYLK),
            "ID;PVASCIIEXPORT\r\nC;X1;Y1;K\"Bolt\"\r\nC;X2;Y1;K\"12\"\r\n"
            "C;X1;Y2;K\"a;;b \"q\"\x1b :c\x1b :d\"\r\nC;X2;Y2;K\"3\"\r\nE\r\n");
}

TEST_F(AsciiTest, AbortWritesEachTrailerOnce) {
  for (int i = 0; i < 5; ++i) ds.AddRow({"r", "1"});
  e.OnExportedRecord = [&](TObject*, int n) {
    if (n == 1) e.Abort();
  };
  e.Footer = {"F"};
  e.CSVComma = ',';
  std::string csv = Run(etCSV);
  EXPECT_EQ(csv, "\"NAME\",\"QTY\"\r\n\"Bolt\",\"12\"\r\n\"r\",\"1\"\r\nF,\r\n");
  std::string dif = Run(etDIF);
  EXPECT_EQ(dif.find("EOD"), dif.rfind("EOD"));
}

TEST_F(AsciiTest, SharedSampleRows) {
  TMemDataSet d;
  test::FillSampleDataSet(d);
  e.SetDataSet(&d);
  e.ExportedFields = {"ID", "NAME", "PRICE", "BORN", "NOTE"};
  e.Formats.SetNullString("NULL");
  e.CSVComma = ',';
  std::string csv = Run(etCSV);
  EXPECT_EQ(csv,
            "\"ID\",\"NAME\",\"PRICE\",\"BORN\",\"NOTE\"\r\n"
            "\"1\",\"Bolt\",\"12.50\",\"3/7/2008\",\"plain\"\r\n"
            "\"2\",\"Гайка \"\"M6\"\"\",\"0.10\",\"12/31/1999\",\"line one\r\nline two\"\r\n"
            "\"3\",\"a;b,c\td\",\"NULL\",\"NULL\",\"NULL\"\r\n"
            "\"-4\",\"<tag> & 'q'\",\"-1,234,567.89\",\"2/29/2000\",\"Ünïcødé ✓\"\r\n");
  // Cyrillic text is measured in characters, so the columns line up.
  e.ExportedFields = {"NAME", "ID"};
  e.AllowCaptions = false;
  std::string txt = Run(etTXT);
  EXPECT_NE(txt.find("\nГайка \"M6\"" + std::string(16, ' ') + "2 \r\n"), std::string::npos) << txt;
  EXPECT_NE(txt.find("Bolt" + std::string(22, ' ') + "1 \r\n"), std::string::npos) << txt;
}

}  // namespace
}  // namespace morvale
