// Start: what each type copies into its exporter, the common settings and the captions grid, and
// the run with the component's events and the progress notifications.
#include <gtest/gtest.h>

#include "export/docs/pdfexport.h"
#include "export/docs/rtfexport.h"
#include "export/text/ascii.h"
#include "export/text/clipboard.h"
#include "export/text/html.h"
#include "export/text/json.h"
#include "export/text/latex.h"
#include "export/text/sql.h"
#include "export/text/xml.h"
#include "export/xls/exportxls.h"
#include "export/xlsx/exportxlsx.h"
#include "tests/export/dialog/dialogsupport.h"

namespace morvale::test {
namespace {

// Records the notifications and answers the abort question.
class TScriptedObserver : public TExportRunObserver {
 public:
  explicit TScriptedObserver(TExportDialogModel& m) : model_(m) {}
  void Notify(TExportNotify code, int) override {
    codes.push_back(code);
    if (code == enExportedRecord && ++exported == abortAt) model_.Abort();
  }
  bool ConfirmAbort() override {
    ++asked;
    return answer;
  }
  std::vector<int> codes;
  int exported = 0, abortAt = -1, asked = 0;
  bool answer = true;

 private:
  TExportDialogModel& model_;
};

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

TEST(Start, WithoutChosenFieldsEveryFieldButBinaryAndMemoIsExported) {
  TDialogFixture f;
  f.dialog.FileName = FreshFolder("allfields") + "t.csv";
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeCSV);
  m.Settings().CSV.Comma = ',';
  m.Start();
  EXPECT_EQ(FirstLine(ReadFile(m.Settings().FileName)), "\"ID\",\"NAME\",\"PRICE\",\"BORN\"");
  m.MoveToExported("NAME");
  m.MoveToExported("NOTE");
  m.Start();
  std::string text = ReadFile(m.Settings().FileName);
  EXPECT_EQ(FirstLine(text), "\"NAME\",\"NOTE\"");
  EXPECT_NE(text.find("memo three"), std::string::npos);
}

TEST(Start, CaptionsAlignmentsAndWidthsFromTheGrid) {
  TDialogFixture f;
  f.dialog.FileName = "/tmp/x.txt";
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeTXT);
  auto& rows = m.Settings().Captions;
  rows[0].Caption = "ID";    // equal to the field name: not written
  rows[1].Caption = "Name";  // differs only in case: written
  rows[2].Caption = "Цена";
  rows[1].Align = ecaCenter;
  rows[2].Width = 9;
  TExport& e = m.PrepareExporter();
  EXPECT_EQ(e.Captions, (TStringList{"NAME=Name", "PRICE=Цена"}));
  EXPECT_EQ(e.ColumnsAlign.Value("NAME"), "Center");
  EXPECT_EQ(e.ColumnsAlign.Value("ID"), "Right");
  // Only the width the user changed: the others are the columns' own, and passed on they would
  // fix every column's width for the formats that measure theirs.
  EXPECT_EQ(e.ColumnsWidth, (TStringList{"PRICE=9"}));

  m.SetExportType(aeHTML);
  TExport& h = m.PrepareExporter();
  EXPECT_EQ(h.ColumnsAlign.Count(), 6);
  EXPECT_TRUE(h.ColumnsWidth.Empty());
  m.SetExportType(aeXLS);
  TExport& x = m.PrepareExporter();
  EXPECT_TRUE(x.ColumnsAlign.Empty());
  EXPECT_TRUE(x.ColumnsWidth.Empty());  // another type shows the columns' own widths again
  m.SetExportType(aePDF);
  rows[2].Width = 9;
  EXPECT_EQ(m.PrepareExporter().ColumnsWidth, (TStringList{"PRICE=9"}));
  rows[2].Width = m.Columns()[2].Width;  // back to the column's own
  EXPECT_TRUE(m.PrepareExporter().ColumnsWidth.Empty());
  m.SetExportType(aeLaTeX);
  TExport& l = m.PrepareExporter();
  EXPECT_TRUE(l.ColumnsAlign.Empty() && l.ColumnsWidth.Empty());
}

TEST(Start, CommonSettingsReachTheExporter) {
  TDialogFixture f;
  f.dialog.FileName = "/tmp/morvale-start/x.csv";
  f.dialog.AutoCalcStrType = true;
  f.dialog.ExportRecCount = 5;
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeCSV);
  TDialogSettings& s = m.Settings();
  EXPECT_TRUE(s.ExportLimited);
  s.SkipRecCount = 1;
  s.CurrentRecordOnly = true;
  s.GoToFirstRecord = false;
  s.ExportEmpty = false;
  s.Header = {"H"};
  s.Footer = {"F"};
  s.Formats.SetFloatFormat("0.0");
  m.AddUserFormat("PRICE", "0.000");
  s.ShowFile = true;
  s.PrintFile = true;
  s.AllowCaptions = false;
  auto& e = static_cast<TExportASCII&>(m.PrepareExporter());
  EXPECT_TRUE(e.AutoCalcStrType);
  EXPECT_EQ(e.ExportRecCount, 5);
  EXPECT_EQ(e.SkipRecCount, 1);
  EXPECT_TRUE(e.CurrentRecordOnly);
  EXPECT_FALSE(e.GoToFirstRecord || e.ExportEmpty || e.AllowCaptions);
  EXPECT_EQ(e.Header, (TStringList{"H"}));
  EXPECT_EQ(e.Footer, (TStringList{"F"}));
  EXPECT_EQ(e.Formats.FloatFormat(), "0.0");
  EXPECT_EQ(e.UserFormats, (TStringList{"PRICE=0.000"}));
  EXPECT_EQ(e.FileName, "/tmp/morvale-start/x.csv");
  EXPECT_TRUE(e.ShowFile && e.PrintFile);
  EXPECT_EQ(e.DataSet(), &f.ds);
  EXPECT_EQ(e.ExportType(), etCSV);
  // "Экспортировать все" leaves the count field's value out.
  s.ExportLimited = false;
  EXPECT_EQ(m.PrepareExporter().ExportRecCount, 0);
  // The component itself is not changed by the form.
  EXPECT_EQ(f.dialog.SkipRecCount, 0);
  EXPECT_TRUE(f.dialog.Header.Empty());
}

TEST(Start, SQLTableNameComesFromTheFileName) {
  TDialogFixture f;
  f.dialog.FileName = FreshFolder("sqlname") + "orders.sql";
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeSQL);
  m.Settings().SQL.StatementTerm = '\0';
  m.Start();
  auto& q = static_cast<TExportSQL&>(m.Exporter(aeSQL));
  EXPECT_EQ(q.TableName, "ORDERS");
  EXPECT_EQ(q.StatementTerm, ';') << "an empty terminator field keeps the exporter's";
  EXPECT_NE(ReadFile(m.Settings().FileName).find("INSERT INTO ORDERS"), std::string::npos);
  m.Settings().SQL.TableName = "Items";
  m.Settings().SQL.StatementTerm = '!';
  m.PrepareExporter();
  EXPECT_EQ(q.TableName, "Items");
  EXPECT_EQ(q.StatementTerm, '!');
}

TEST(Start, UserPageTurnedToLandscapeExportsLandscapePages) {
  TDialogFixture f;
  f.dialog.FileName = FreshFolder("pdfpage") + "t.pdf";
  TExportDialogModel& m = f.Model();
  m.SetExportType(aePDF);
  m.SetPDFUnits(unDot);
  m.SetPDFPageFormat(pfUser);
  m.Settings().PDF.PageOptions.SetWidth(500);
  m.Settings().PDF.PageOptions.SetHeight(700);
  m.SetPDFOrientation(poLandscape);
  m.SetPDFUnits(unMillimeter);  // units only change how the page shows its measures
  m.Start();
  auto& p = static_cast<TExportPDF&>(m.Exporter(aePDF));
  EXPECT_EQ(p.Options.PageOptions.WidthPoints(), 700);
  EXPECT_EQ(p.Options.PageOptions.HeightPoints(), 500);
  EXPECT_EQ(p.Options.PageOptions.Units, unDot);
  TPDFBox box = p.Options.PageOptions.MediaBox();
  std::string expected =
      "/MediaBox [0 0 " + std::to_string(box.Right) + " " + std::to_string(box.Top) + "]";
  EXPECT_EQ(box.Right - box.Left, 699);
  EXPECT_NE(ReadFile(m.Settings().FileName).find(expected), std::string::npos);
}

TEST(Start, EachTypesPageAndStartingValues) {
  TDialogFixture f;
  f.dialog.FileName = "/tmp/x";
  TExportDialogModel& m = f.Model();
  TDialogSettings& s = m.Settings();
  // Types that share an exporter get the same object, reused across starts.
  EXPECT_EQ(&m.Exporter(aeTXT), &m.Exporter(aeCSV));
  EXPECT_EQ(&m.Exporter(aeWord), &m.Exporter(aeRTF));
  EXPECT_EQ(static_cast<TExportASCII&>(m.Exporter(aeTXT)).CSVComma, ';');
  EXPECT_EQ(static_cast<TExportClipboard&>(m.Exporter(aeClipboard)).Separator, ';');
  EXPECT_EQ(static_cast<TExportLaTeX&>(m.Exporter(aeLaTeX)).Options.DocumentParams, "a4paper");
  EXPECT_EQ(static_cast<TExportXML&>(m.Exporter(aeXML)).Options.Version, "1.0");
  const TxlsNoteFormat& note = static_cast<TExportXLS&>(m.Exporter(aeXLS)).Options.NoteFormat;
  EXPECT_EQ(note.Font.Name, "Tahoma");
  EXPECT_EQ(note.Font.Size, 8);
  EXPECT_TRUE(note.Font.Has(xfsBold));
  EXPECT_EQ(note.Alignment.Vertical, valTop);

  m.SetExportType(aeXLS);
  s.XLS.SheetTitle = "Лист";
  s.XLS.StripType = ssRow;
  s.XLS.BaseFormats[1].Format.Font.Size = 15;
  s.XLS.FieldFormats[2].Aggregate = aggAvg;
  m.AddXLSStripStyle();
  m.MoveToExported("PRICE");
  auto& x = static_cast<TExportXLS&>(m.PrepareExporter());
  EXPECT_EQ(x.Options.SheetTitle(), "Лист");
  EXPECT_EQ(x.StripType, ssRow);
  EXPECT_EQ(x.Options.CaptionsFormat.Font.Size, 15);
  ASSERT_EQ(x.FieldFormats.Count(), 1) << "one field format per exported field";
  EXPECT_EQ(x.FieldFormats[0].Aggregate, aggAvg);
  EXPECT_EQ(x.StripStyles.Count(), 1);
  m.MoveAllBack();
  EXPECT_EQ(static_cast<TExportXLS&>(m.PrepareExporter()).FieldFormats.Count(), 6);

  m.SetExportType(aeWord);
  s.RTF.PageOrientation = poLandscape;
  s.RTF.BaseStyles[0].Style.Font.Size = 18;
  m.AddRTFStripStyle();
  auto& r = static_cast<TExportRTF&>(m.PrepareExporter());
  EXPECT_EQ(r.Options.PageOrientation, poLandscape);
  EXPECT_EQ(r.Options.HeaderStyle.Font.Size, 18);
  EXPECT_EQ(r.Options.StripStyles.Count(), 1);
  EXPECT_EQ(r.FileName, "/tmp/x.doc");

  m.SetExportType(aeHTML);
  s.HTMLPage.Title = "Page";
  s.HTMLMultiFile.FileRecCount = 10;
  s.HTMLMultiFileOn = false;
  s.HTMLTable.OddRowBgColor = clYellow;
  s.HTMLPage.TextFont.Name = "Verdana";
  auto& h = static_cast<TExportHTML&>(m.PrepareExporter());
  EXPECT_EQ(h.Title, "Page");
  EXPECT_EQ(h.MaxRecords(), 0) << "records per file only with the multi-file switch";
  EXPECT_EQ(h.TableOptions.OddRowBgColor, clYellow);
  EXPECT_EQ(h.HTMLOptions.TextFont.Name, "Verdana");
  s.HTMLMultiFileOn = true;
  EXPECT_EQ(static_cast<TExportHTML&>(m.PrepareExporter()).MaxRecords(), 10);

  m.SetExportType(aeXML);
  s.XML.Standalone = false;
  s.XML.Encoding = "UTF-8";
  auto& xml = static_cast<TExportXML&>(m.PrepareExporter());
  EXPECT_FALSE(xml.Options.StandAlone);
  EXPECT_EQ(xml.Options.Encoding, "UTF-8");

  m.SetExportType(aeTXT);
  s.TXT.ColSpacing = 4;
  s.TXT.AutoCalcColWidth = false;
  auto& t = static_cast<TExportASCII&>(m.PrepareExporter());
  EXPECT_EQ(t.ExportType(), etTXT);
  EXPECT_EQ(t.TXTSpacing, 4);
  EXPECT_FALSE(t.AutoCalcColWidth);
  m.SetExportType(aeSylk);
  EXPECT_EQ(static_cast<TExportASCII&>(m.PrepareExporter()).ExportType(), etSYLK);
  m.SetExportType(aeDIFF);
  EXPECT_EQ(static_cast<TExportASCII&>(m.PrepareExporter()).ExportType(), etDIF);
}

// What an independent reader prints of a written file.
std::string PythonRead(const std::string& script, const std::string& path) {
  std::string out;
  RunCommand("/usr/bin/python3 -c " + ShellQuote(script) + " " + ShellQuote(path) + " 2>&1", out);
  return out;
}

// A form on the fixture whose file is out.txt in a fresh folder.
class StartToFile : public ::testing::Test {
 protected:
  TDialogFixture f;
  const std::string folder = FreshFolder("start-to-file");
  TExportDialogModel& m = (f.dialog.FileName = folder + "out.txt", f.Model());
  TDialogSettings& s = m.Settings();
};

TEST_F(StartToFile, NewerWorkbookAndJSONWriteFilesTheirReadersOpen) {
  m.MoveToExported("ID");
  m.MoveToExported("NAME");
  m.MoveToExported("PRICE");

  m.SetExportType(aeXLSX);
  EXPECT_EQ(s.FileName, folder + "out.xlsx");
  EXPECT_STREQ(m.DefaultExt(), "xlsx");
  EXPECT_TRUE(m.PageVisible(dpXLS));
  s.XLS.SheetTitle = "Лист";
  s.XLS.FieldFormats[2].Aggregate = aggSum;
  s.Captions[1].Caption = "Имя";
  TxlsNote& note = s.XLS.Extras.Notes.Add();
  note.Col = 2, note.Row = 2, note.Lines = {"checked"};
  TExport& x = m.PrepareExporter();
  ASSERT_NE(dynamic_cast<TExportXLSX*>(&x), nullptr);
  EXPECT_EQ(static_cast<TExportXLSX&>(x).Options.SheetTitle(), "Лист");
  EXPECT_EQ(static_cast<TExportXLSX&>(x).Extras.Notes.Count(), 1);
  EXPECT_NE(&x, &m.Exporter(aeXLS)) << "each workbook format has its own exporter";
  m.Start();
  EXPECT_EQ(PythonRead("import sys, openpyxl\n"
                       "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                       "print(ws.title)\n"
                       "for row in ws.iter_rows(values_only=True): print(row)\n",
                       s.FileName),
            "Лист\n('ID', 'Имя', 'PRICE')\n(1, 'Bolt', 12.5)\n(2, 'Nut', 0.25)\n"
            "(3, 'Гайка', 100)\n(None, None, '=SUM(C2:C4)')\n");

  m.SetExportType(aeJSON);
  EXPECT_EQ(s.FileName, folder + "out.json");
  EXPECT_FALSE(m.PageVisible(dpXLS));
  EXPECT_FALSE(m.PageVisible(dpFormats));
  EXPECT_TRUE(m.PageVisible(dpCaptions));
  m.Start();
  EXPECT_EQ(PythonRead("import sys, json\n"
                       "print(json.load(open(sys.argv[1], encoding='utf-8')))\n",
                       s.FileName),
            "[{'ID': 1, 'Имя': 'Bolt', 'PRICE': 12.5}, {'ID': 2, 'Имя': 'Nut', 'PRICE': 0.25}, "
            "{'ID': 3, 'Имя': 'Гайка', 'PRICE': 100}]\n");
}

// Each text type writes the encoding its page holds; the four plain-text types share one
// exporter, so a type without a choice of its own goes back to the system code page.
TEST_F(StartToFile, TextTypesWriteTheEncodingOfTheirPage) {
  m.MoveToExported("NAME");
  m.SetExportType(aeCSV);
  s.EncodingOf(aeCSV) = encUTF16LE;
  m.Start();
  const std::string csv = ReadFile(folder + "out.csv");
  EXPECT_EQ(csv.substr(0, 4), std::string("\xFF\xFE\"\0", 4)) << "the mark, then UTF-16LE";
  EXPECT_EQ(PythonRead("import csv, sys\n"
                       "print(list(csv.reader(open(sys.argv[1], encoding='utf-16'), "
                       "delimiter=';')))\n",
                       folder + "out.csv"),
            "[['NAME'], ['Bolt'], ['Nut'], ['Гайка']]\n");

  m.SetExportType(aeTXT);
  m.Start();
  EXPECT_EQ(ReadFile(folder + "out.txt").substr(0, 4), "NAME");

  m.SetExportType(aeHTML);
  s.EncodingOf(aeHTML) = encUTF8BOM;
  EXPECT_EQ(m.PrepareExporter().Encoding, encUTF8BOM);
  m.SetExportType(aeXLS);
  EXPECT_EQ(m.PrepareExporter().Encoding, encSystem) << "a workbook has no text encoding";
}

TEST(Start, NotificationsAndEventsOfARun) {
  TDialogFixture f;
  f.dialog.FileName = FreshFolder("notify") + "t.csv";
  std::vector<std::string> events;
  f.dialog.OnBeginExport = [&](TObject* sender, TExport* e) {
    events.push_back(std::string("begin ") + (sender == e ? "exporter" : "other"));
  };
  f.dialog.OnExportedRecord = [&](TObject*, int recNo) {
    events.push_back("exported " + std::to_string(recNo));
  };
  f.dialog.OnEndExport = [&](TObject*, TExport*) { events.push_back("end"); };
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeCSV);
  m.Settings().ShowFile = true;
  TScriptedObserver obs(m);
  m.Start(&obs);
  EXPECT_EQ(obs.codes.front(), enBeginExport);
  EXPECT_EQ(std::count(obs.codes.begin(), obs.codes.end(), enExportedRecord), 3);
  EXPECT_EQ(std::count(obs.codes.begin(), obs.codes.end(), enFetchedRecord), 0);
  EXPECT_EQ(obs.codes[obs.codes.size() - 2], enEndExport);
  EXPECT_EQ(obs.codes.back(), enClose) << "a file to be opened closes the progress window";
  EXPECT_EQ(events.front(), "begin exporter");
  EXPECT_EQ(events.back(), "end");
  EXPECT_EQ(f.shell.calls, (std::vector<std::string>{"open " + m.Settings().FileName}));
  EXPECT_EQ(m.Running(), nullptr);

  m.Settings().ShowFile = false;
  TScriptedObserver stays(m);
  m.Start(&stays);
  EXPECT_EQ(stays.codes.back(), enEndExport) << "without opening the window waits for its button";

  // Fixed-width text reads the records once to measure them: those are the fetched records.
  m.SetExportType(aeTXT);
  TScriptedObserver measured(m);
  m.Start(&measured);
  EXPECT_EQ(std::count(measured.codes.begin(), measured.codes.end(), enFetchedRecord), 3);
}

TEST(Start, AbortAsksAndStopsOnlyOnYes) {
  TDialogFixture f;
  f.dialog.FileName = FreshFolder("abort") + "t.csv";
  TObject* stopSender = nullptr;
  f.dialog.OnStopExport = [&](TObject* sender, bool&) { stopSender = sender; };
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeCSV);

  TScriptedObserver no(m);
  no.abortAt = 1;
  no.answer = false;
  m.Start(&no);
  EXPECT_EQ(no.asked, 1);
  EXPECT_EQ(no.exported, 3) << "No goes on";
  EXPECT_NE(std::find(no.codes.begin(), no.codes.end(), enGoOn), no.codes.end());
  EXPECT_EQ(no.codes.back(), enEndExport);
  EXPECT_EQ(stopSender, &f.dialog);

  TScriptedObserver yes(m);
  yes.abortAt = 1;
  m.Start(&yes);
  EXPECT_EQ(yes.exported, 1) << "Yes stops before the next record";
  auto at = std::find(yes.codes.begin(), yes.codes.end(), enAbortRequested);
  ASSERT_NE(at, yes.codes.end());
  EXPECT_EQ(*(at + 1), enAbortConfirmed);
  EXPECT_EQ(std::count(yes.codes.begin(), yes.codes.end(), enEndExport), 0);

  // The component's handler may overrule the answer.
  f.dialog.OnStopExport = [](TObject*, bool& canContinue) { canContinue = true; };
  TScriptedObserver overruled(m);
  overruled.abortAt = 2;
  m.Start(&overruled);
  EXPECT_EQ(overruled.exported, 3);
}

TEST(Start, ErrorsOfARunReachTheCaller) {
  TDialogFixture f;
  f.dialog.FileName = "/proc/morvale-no-such-folder/t.csv";
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeCSV);
  EXPECT_THROW(m.Start(), Exception);
  EXPECT_EQ(m.Running(), nullptr);
}

}  // namespace
}  // namespace morvale::test
