// The automation export: the calls it makes in order on a recording fake, and the workbook the
// workbook layer writes for them, read back by xlrd.
#include "app/tools/automation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/demo.h"
#include "tests/support/envguard.h"
#include "tests/support/memsources.h"

namespace morvale::test {
namespace {

using ::testing::HasSubstr;

// Records every call as one line.
class TRecordingAutomation : public ISpreadsheetAutomation {
 public:
  std::vector<std::string> calls;
  int workbooks = 0;

  void CreateApplication(const std::string& name) override { Log("create " + name); }
  void SetVisible(bool v) override { Log(std::string("Visible := ") + (v ? "true" : "false")); }
  void AddWorkbook() override {
    ++workbooks;
    Log("Workbooks.Add");
  }
  int WorkbooksCount() override {
    Log("Workbooks.Count");
    return workbooks;
  }
  void SelectWorksheet(int i) override { Log("WorkSheets(" + std::to_string(i) + ")"); }
  void SetHorizontalAlignment(int r, int c, int v) override {
    Log(Cell(r, c) + ".HorizontalAlignment := " + std::to_string(v));
  }
  void SetVerticalAlignment(int r, int c, int v) override {
    Log(Cell(r, c) + ".VerticalAlignment := " + std::to_string(v));
  }
  void SetValue(int r, int c, const std::string& t) override { Log(Cell(r, c) + ".Value := " + t); }
  void SetFontBold(int r, int c, int b) override {
    Log(Cell(r, c) + ".Font.Bold := " + std::to_string(b));
  }
  void SetBorderLineStyle(int r, int c, int i, int s) override {
    Log(Cell(r, c) + ".Borders(" + std::to_string(i) + ").LineStyle := " + std::to_string(s));
  }
  void SetBorderWeight(int r, int c, int i, int w) override {
    Log(Cell(r, c) + ".Borders(" + std::to_string(i) + ").Weight := " + std::to_string(w));
  }
  void Release() override { Log("release"); }

  // The Value assignments only.
  std::vector<std::string> Values() const {
    std::vector<std::string> v;
    for (const auto& c : calls)
      if (c.find(".Value := ") != std::string::npos) v.push_back(c);
    return v;
  }

 private:
  static std::string Cell(int r, int c) {
    return "Cells(" + std::to_string(r) + "," + std::to_string(c) + ")";
  }
  void Log(std::string s) { calls.push_back(std::move(s)); }
};

void Parts(TMemDataSet& ds, bool withRows) {
  ds.AddField("CODE", ftString, 8);
  ds.AddField("QTY", ftInteger);
  ds.AddField("NOTE", ftMemo);
  ds.AddField("PART", ftFixedChar, 5);
  if (withRows) {
    ds.AddRow({"007", "7", "  spaced  ", "00123"});
    ds.AddRow({std::nullopt, "-12", "Болт", "12"});
  }
  ds.Open();
}

std::vector<std::string> CellWrite(const std::string& cell, const std::string& value, int bold,
                                   bool borders) {
  std::vector<std::string> v{cell + ".HorizontalAlignment := 2", cell + ".VerticalAlignment := 1",
                             cell + ".Value := " + value,
                             cell + ".Font.Bold := " + std::to_string(bold)};
  for (int i = 1; borders && i <= 4; ++i) {
    v.push_back(cell + ".Borders(" + std::to_string(i) + ").LineStyle := 1");
    v.push_back(cell + ".Borders(" + std::to_string(i) + ").Weight := 2");
  }
  return v;
}

TEST(Automation, CallsInOrder) {
  TMemDataSet ds;
  Parts(ds, true);
  TRecordingAutomation app;
  int progress = 0;
  ExportByAutomation(ds, app, "09.12.2026 14:05:03", [&] { ++progress; });
  std::vector<std::string> want{"create Excel.Application", "Visible := true", "Workbooks.Add",
                                "Workbooks.Count", "WorkSheets(1)"};
  auto add = [&](std::vector<std::string> v) { want.insert(want.end(), v.begin(), v.end()); };
  add(CellWrite("Cells(3,1)", "'Morvale.exe", 1, false));
  add(CellWrite("Cells(2,1)", "'Date : 09.12.2026 14:05:03", 0, false));
  add(CellWrite("Cells(5,1)", "CODE", 1, true));
  add(CellWrite("Cells(5,2)", "QTY", 1, true));
  add(CellWrite("Cells(5,3)", "NOTE", 1, true));
  add(CellWrite("Cells(5,4)", "PART", 1, true));
  // Strings keep their text behind an apostrophe; the rest go as their text, trimmed.
  add(CellWrite("Cells(6,1)", "'007", 0, false));
  add(CellWrite("Cells(6,2)", "7", 0, false));
  add(CellWrite("Cells(6,3)", "spaced", 0, false));
  add(CellWrite("Cells(6,4)", "'00123", 0, false));
  add(CellWrite("Cells(7,1)", "'", 0, false));
  add(CellWrite("Cells(7,2)", "-12", 0, false));
  add(CellWrite("Cells(7,3)", "Болт", 0, false));
  add(CellWrite("Cells(7,4)", "'12", 0, false));
  want.push_back("release");
  EXPECT_EQ(app.calls, want);
  EXPECT_EQ(progress, 2);

  TMemDataSet empty;
  Parts(empty, false);
  TRecordingAutomation none;
  ExportByAutomation(empty, none, "now");
  EXPECT_EQ(none.Values(),
            (std::vector<std::string>{"Cells(3,1).Value := 'Morvale.exe",
                                      "Cells(2,1).Value := 'Date : now", "Cells(5,1).Value := CODE",
                                      "Cells(5,2).Value := QTY", "Cells(5,3).Value := NOTE",
                                      "Cells(5,4).Value := PART"}));

  // A closed dataset: nothing at all; no workbook: nothing after the check.
  empty.Close();
  TRecordingAutomation closed;
  ExportByAutomation(empty, closed, "now");
  EXPECT_TRUE(closed.calls.empty());
  struct TNoWorkbook : TRecordingAutomation {
    void AddWorkbook() override {}
  } noBook;
  ExportByAutomation(ds, noBook, "now");
  EXPECT_EQ(noBook.calls.back(), "Workbooks.Count");
}

TEST(Automation, NowInTheLocalesForms) {
  {
    test::TEnvGuard clock("SOURCE_DATE_EPOCH", nullptr);
    // yyyy-mm-dd hh:nn:ss in the ISO forms of the C locale
    EXPECT_THAT(AutomationNow(TFormatSettings::Iso()),
                ::testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"));
  }
  // The sheet's heading follows SOURCE_DATE_EPOCH like every date an export writes.
  test::TEnvGuard pinned("SOURCE_DATE_EPOCH", "1700000000");
  EXPECT_EQ(AutomationNow(TFormatSettings::Iso()), "2023-11-14 22:13:20");
}

class TRecordingShell : public IShell {
 public:
  std::vector<std::string> opened;
  bool fail = false;
  void Execute(const std::string& verb, const std::string& fileName) override {
    if (fail)
      throw Exception("Cannot open '" + fileName + "': xdg-open failed or is not installed");
    opened.push_back(verb + " " + fileName);
  }
};

std::string Cells(const std::string& xls) {
  std::string out;
  int status =
      RunCommand(Python() + " " +
                     ShellQuote(std::string(MORVALE_SOURCE_DIR) + "/tests/app/tools/xlscells.py") +
                     " " + ShellQuote(xls) + " 2>&1",
                 out);
  EXPECT_EQ(status, 0) << out;
  return out;
}

TEST(Automation, WorkbookReadByXlrd) {
  TMemDataSet ds;
  Parts(ds, true);
  TRecordingShell shell;
  TWorkbookAutomation app(&shell);
  ExportByAutomation(ds, app, "09.12.2026 14:05:03");
  ASSERT_EQ(shell.opened, std::vector<std::string>{"open " + app.FileName()});
  EXPECT_TRUE(app.FileName().ends_with(".xls"));
  EXPECT_EQ(Cells(app.FileName()),
            "2 1 text Date : 09.12.2026 14:05:03 bold=0 borders=0000\n"
            "3 1 text Morvale.exe bold=1 borders=0000\n"
            "5 1 text CODE bold=1 borders=1111\n"
            "5 2 text QTY bold=1 borders=1111\n"
            "5 3 text NOTE bold=1 borders=1111\n"
            "5 4 text PART bold=1 borders=1111\n"
            "6 1 text 007 bold=0 borders=0000\n"
            "6 2 number 7.0 bold=0 borders=0000\n"
            "6 3 text spaced bold=0 borders=0000\n"
            "6 4 text 00123 bold=0 borders=0000\n"
            "7 1 text  bold=0 borders=0000\n"
            "7 2 number -12.0 bold=0 borders=0000\n"
            "7 3 text Болт bold=0 borders=0000\n"
            "7 4 text 12 bold=0 borders=0000\n");
  // Kept beside the dialogs' screenshots for a person to open.
  std::string kept = std::string(MORVALE_BINARY_DIR) + "/tests/screenshots";
  std::filesystem::create_directories(kept);
  std::filesystem::copy_file(app.FileName(), kept + "/automation.xls",
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove(app.FileName());

  TMemDataSet empty;
  Parts(empty, false);
  TWorkbookAutomation none(&shell);
  ExportByAutomation(empty, none, "now");
  EXPECT_EQ(Cells(none.FileName()),
            "2 1 text Date : now bold=0 borders=0000\n"
            "3 1 text Morvale.exe bold=1 borders=0000\n"
            "5 1 text CODE bold=1 borders=1111\n"
            "5 2 text QTY bold=1 borders=1111\n"
            "5 3 text NOTE bold=1 borders=1111\n"
            "5 4 text PART bold=1 borders=1111\n");
  std::filesystem::remove(none.FileName());
}

TEST(Automation, TypedValuesAndNoSpreadsheetProgram) {
  std::string dir = FreshFolder("automation");
  TRecordingShell shell;
  TWorkbookAutomation app(&shell);
  app.CreateApplication("Excel.Application");
  app.AddWorkbook();
  app.SetValue(1, 1, "2026-12-09");
  app.SetValue(1, 2, "TRUE");
  app.SetValue(1, 3, "1.5e3");
  app.SetValue(1, 4, "12 apples");
  app.SaveAs(dir + "t.xls");
  EXPECT_EQ(Cells(dir + "t.xls"),
            "1 1 date 46365.0 bold=0 borders=0000\n"
            "1 2 bool 1.0 bold=0 borders=0000\n"
            "1 3 number 1500.0 bold=0 borders=0000\n"
            "1 4 text 12 apples bold=0 borders=0000\n");
  EXPECT_THROW(app.SetValue(0, 1, "x"), Exception);

  shell.fail = true;
  TMemDataSet ds;
  Parts(ds, true);
  TWorkbookAutomation orphan(&shell);
  try {
    ExportByAutomation(ds, orphan, "now");
    FAIL() << "no spreadsheet program passed as opened";
  } catch (const Exception& e) {
    EXPECT_THAT(e.what(), HasSubstr("не найдена программа электронных таблиц"));
    EXPECT_THAT(e.what(), HasSubstr(orphan.FileName()));
  }
  // The workbook stays for the user to open by hand.
  EXPECT_TRUE(std::filesystem::exists(orphan.FileName()));
  std::filesystem::remove(orphan.FileName());
}

}  // namespace
}  // namespace morvale::test
