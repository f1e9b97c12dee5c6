// The export run: record walk, skip, count, current record, events, abort, and the errors for
// unusable sources, on a recording exporter that writes one line per record.
#include <gtest/gtest.h>

#include "export/core/export.h"
#include "export/core/platform.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::TMemDataSet;

// Writes "caption row" and one line per data row (the formatted cells joined by '|'), and logs
// the steps the run takes.
class TRecordingExport : public TExportFormatText {
 public:
  std::vector<std::string> log;
  void BeginExport() override {
    TExportFormatText::BeginExport();
    log.push_back("begin");
  }
  void EndExport() override {
    log.push_back("end");
    TExportFormatText::EndExport();
  }
  void AfterExport() override { log.push_back("after"); }
  void WriteCaptionRow() override {
    std::string s;
    GetCaptionRow(s);
    Writer()->WriteLn(s);
  }
  void WriteDataRow() override {
    std::string s;
    for (int i = 0; i < Row().Count(); ++i) {
      if (i) s += "|";
      s += Row()[i].GetExportedValue(true);
    }
    Writer()->WriteLn(s);
    log.push_back("row " + s);
  }
};

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.AddField("ID", ftInteger);
    ds.AddField("NAME", ftString, 10);
    for (int i = 1; i <= 5; ++i) ds.AddRow({std::to_string(i), "n" + std::to_string(i)});
    e.SetFormatSettings(TFormatSettings::English());
    e.Formats.SetIntegerFormat("0");
    e.SetDataSet(&ds);
    e.AllowCaptions = false;
  }
  std::string Run() {
    TMemoryStream s;
    e.ExportToStream(s);
    return s.Data();
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> r;
    for (auto& l : e.log)
      if (l.starts_with("row ")) r.push_back(l.substr(4));
    return r;
  }
  TMemDataSet ds;
  TRecordingExport e;
};

TEST_F(RunTest, CountSkipAndTheirEvents) {
  std::vector<int> exported, skipped;
  e.OnExportedRecord = [&](TObject*, int n) { exported.push_back(n); };
  e.OnSkippedRecord = [&](TObject*, int n) { skipped.push_back(n); };
  e.ExportRecCount = 2;
  Run();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|n1", "2|n2"}));
  EXPECT_EQ(exported, (std::vector<int>{0, 1}));

  e.log.clear(), exported.clear();
  e.ExportRecCount = 0;
  e.SkipRecCount = 3;
  Run();
  EXPECT_EQ(skipped, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"4|n4", "5|n5"}));
  EXPECT_EQ(ds.bookmarks, 0);
  EXPECT_FALSE(ds.ControlsDisabled());
}

TEST_F(RunTest, RefusedRowsStillCount) {
  int seen = 0;
  e.OnBeforeExportRow = [&](TObject*, TExportRow&, bool& accept) { accept = (seen++ % 2) == 0; };
  e.ExportRecCount = 4;
  Run();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|n1", "3|n3"}));
  EXPECT_EQ(seen, 4);
}

TEST_F(RunTest, BeforeExportRowMayChangeCells) {
  e.OnBeforeExportRow = [](TObject*, TExportRow& row, bool&) { row[1].Data = "x"; };
  e.ExportRecCount = 1;
  Run();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|x"}));
}

TEST_F(RunTest, CurrentRecordOnly) {
  e.CurrentRecordOnly = true;
  e.GoToFirstRecord = false;
  ds.SetRecNo(2);
  Run();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"3|n3"}));
  e.log.clear();
  e.GoToFirstRecord = true;
  e.SkipRecCount = 1;
  Run();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"2|n2"}));
}

TEST_F(RunTest, AbortStopsUnlessStopEventContinues) {
  e.OnExportedRecord = [&](TObject*, int n) {
    if (n == 2) e.Abort();
  };
  int asked = 0;
  e.OnStopExport = [&](TObject*, bool& can) {
    ++asked;
    can = false;
  };
  Run();
  EXPECT_EQ(Rows().size(), 3u);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(e.Aborted());
  EXPECT_EQ(e.log.back(), "end");
  EXPECT_EQ(e.log[e.log.size() - 2], "after");

  e.log.clear();
  e.OnStopExport = [&](TObject*, bool& can) { can = true; };
  Run();
  EXPECT_EQ(Rows().size(), 5u);
  EXPECT_FALSE(e.Aborted());
}

TEST_F(RunTest, AbortBeforeTheRunHasNoEffect) {
  e.Abort();
  Run();
  EXPECT_EQ(Rows().size(), 5u);
}

TEST_F(RunTest, AbortInBeginExportSkipsEnd) {
  e.OnBeginExport = [&](TObject*) { e.Abort(); };
  Run();
  EXPECT_EQ(e.log, (std::vector<std::string>{"begin"}));
  EXPECT_FALSE(ds.ControlsDisabled());
}

TEST_F(RunTest, EmptySourceAndSourceErrors) {
  TMemDataSet empty;
  empty.AddField("ID", ftInteger);
  e.SetDataSet(&empty);
  e.AllowCaptions = true;
  EXPECT_EQ(Run(), "ID\r\n");
  e.ExportEmpty = false;
  try {
    Run();
    FAIL();
  } catch (const Exception& ex) {
    EXPECT_STREQ(ex.what(), "Источник данных (DataSet) пуст");
  }
  empty.Close();
  e.ExportEmpty = true;
  EXPECT_THROW(
      {
        try {
          Run();
        } catch (const Exception& ex) {
          EXPECT_STREQ(ex.what(), "Источник данных (DataSet) закрыт");
          throw;
        }
      },
      Exception);
  e.SetDataSet(nullptr);
  e.ExportSource = esStringGrid;
  try {
    Run();
    FAIL();
  } catch (const Exception& ex) {
    EXPECT_STREQ(ex.what(), "Источник данных (StringGrid) не определен");
  }
}

TEST_F(RunTest, DestroyedSourceClearsTheReference) {
  {
    TMemDataSet temp;
    e.SetDataSet(&temp);
    EXPECT_EQ(e.DataSet(), &temp);
  }
  EXPECT_EQ(e.DataSet(), nullptr);
}

TEST_F(RunTest, ConversionErrorEndsTheRunButEndExportRuns) {
  TMemDataSet bad;
  bad.AddField("P", ftFloat);
  bad.AddRow({"1.5"});
  bad.AddRow({"n/a"});
  e.SetDataSet(&bad);
  try {
    Run();
    FAIL();
  } catch (const EConvertError& ex) {
    EXPECT_STREQ(ex.what(), "'n/a' is not a valid floating point value");
  }
  EXPECT_EQ(e.log.back(), "end");
  EXPECT_FALSE(bad.ControlsDisabled());
}

TEST_F(RunTest, WidthPassMeasuresCaptionsAndRawValues) {
  TMemDataSet d;
  d.AddField("Amount", ftString, 3, 1);
  d.AddRow({"abc"});
  d.AddRow({" x "});
  e.SetDataSet(&d);
  e.AutoCalcColWidth = true;
  int fetched = 0;
  e.OnFetchedRecord = [&](TObject*, int) { ++fetched; };
  Run();
  EXPECT_EQ(e.Columns()[0].Width, 6);
  EXPECT_EQ(fetched, 0);  // the recording format does not publish OnFetchedRecord
  EXPECT_EQ(d.bookmarks, 0);
}

TEST(ExportText, ExecuteCreatesFoldersAndReportsWhatItCannot) {
  TMemDataSet ds;
  ds.AddField("A", ftString, 5);
  ds.AddRow({"x"});
  TRecordingExport e;
  e.SetDataSet(&ds);
  std::string dir = ::testing::TempDir() + "morvale_exec/a/b/";
  e.FileName = dir + "out.txt";
  e.Execute();
  FILE* f = std::fopen(e.FileName.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  e.FileName = "/proc/forbidden/x.txt";
  try {
    e.Execute();
    FAIL();
  } catch (const Exception& ex) {
    EXPECT_STREQ(ex.what(), "Directory '/proc/forbidden/' not found and cannot be created");
  }
}

class TOneLineMemory : public TExportMemory {
 public:
  void WriteDataRow() override {
    std::string s;
    GetDataRow(true, s);
    Writer()->WriteLn(s);
  }
};

TEST(ExportMemory, ExecutePutsTheTextOnTheClipboard) {
  TMemDataSet ds;
  ds.AddField("A", ftString, 5);
  ds.AddRow({"x"});
  ds.AddRow({"y"});
  TOneLineMemory e;
  e.SetDataSet(&ds);
  TMemoryClipboard clip;
  SetClipboard(&clip);
  e.Execute();
  SetClipboard(nullptr);
  EXPECT_EQ(clip.GetText(), "x\r\ny\r\n");
}

TEST(Writer, Padding) {
  EXPECT_EQ(TExportWriter::PadBoth("ab", ' ', 7), "  ab   ");
  EXPECT_EQ(TExportWriter::PadBoth("ab", ' ', 1), "ab");
  EXPECT_EQ(TExportWriter::PadLeft("ab", '.', 4), "..ab");
  EXPECT_EQ(TExportWriter::PadRight("ab", '.', 4), "ab..");
  EXPECT_EQ(TExportWriter::PadRight("abcdef", '.', 4), "abcdef");
  // Widths count characters: two Cyrillic letters take two places, not four bytes.
  EXPECT_EQ(TExportWriter::PadRight("Яд", '.', 4), "Яд..");
  TMemoryStream s;
  TRecordingExport e;
  TExportWriter w(e, s);
  w.CharLine('-', 3);
  w.EmptyLine();
  std::string a;
  w.AlignToStr(ecaCenter, a);
  EXPECT_EQ(s.Data(), "---\r\n\r\n");
  EXPECT_EQ(a, "Center alignment");
  w.AlignToStr(static_cast<TExportColAlign>(7), a);
  EXPECT_EQ(a, "Unknown alignment");
}

}  // namespace
}  // namespace morvale
