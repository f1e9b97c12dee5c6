// The spreadsheet export through automation: the calls of the spreadsheet's object model, in the
// order the export makes them, behind a small interface. TWorkbookAutomation lays the cells out in
// a workbook written by the project's BIFF8 writer and opens it with the desktop's spreadsheet
// program; tests drive a recording fake.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "export/core/dataset.h"
#include "export/core/platform.h"

namespace morvale {

class ISpreadsheetAutomation {
 public:
  virtual ~ISpreadsheetAutomation() = default;
  // create the object "Excel.Application"; Visible := true; Workbooks.Add
  virtual void CreateApplication(const std::string& className) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void AddWorkbook() = 0;
  // Workbooks.Count
  virtual int WorkbooksCount() = 0;
  // ActiveWorkbook.WorkSheets(index)
  virtual void SelectWorksheet(int index) = 0;
  // Cells(row, column).<property> := value; rows and columns from 1
  virtual void SetHorizontalAlignment(int row, int col, int value) = 0;
  virtual void SetVerticalAlignment(int row, int col, int value) = 0;
  virtual void SetValue(int row, int col, const std::string& text) = 0;
  virtual void SetFontBold(int row, int col, int bold) = 0;
  // Cells(row, column).Borders(index).LineStyle / .Weight
  virtual void SetBorderLineStyle(int row, int col, int index, int style) = 0;
  virtual void SetBorderWeight(int row, int col, int index, int weight) = 0;
  // Releases the objects; the application stays open.
  virtual void Release() = 0;
};

// The question asked before the export: "Export таблицы через OLE. Это может быть долго.
// Продолжим ?" (OK and Cancel).
extern const char* const kAutomationQuestion;

// Copies the dataset: date row 2, bold title "Morvale.exe" in row 3, bold bordered field names in
// row 5, one row per record from row 6. ftString values go as "'" + text (kept as text), others as
// their text, every text trimmed of spaces. `now` is the current date and time as the locale
// shows it. Does nothing for a closed dataset; `progress` runs once per record.
void ExportByAutomation(TDataSet& ds, ISpreadsheetAutomation& app, const std::string& now,
                        const std::function<void()>& progress = {});

// The automation layer over a workbook: cells are collected as the calls set them; Release writes
// them with the BIFF8 writer to a temporary .xls file and opens it through the shell's "open".
// A text with a leading apostrophe is stored as the text after it; a number is stored as a
// number; anything else as text.
class TWorkbookAutomation : public ISpreadsheetAutomation {
 public:
  // `shell`: what opens the workbook (the desktop's by default).
  explicit TWorkbookAutomation(IShell* shell = nullptr);
  ~TWorkbookAutomation() override;

  void CreateApplication(const std::string& className) override;
  void SetVisible(bool visible) override;
  void AddWorkbook() override;
  int WorkbooksCount() override;
  void SelectWorksheet(int index) override;
  void SetHorizontalAlignment(int row, int col, int value) override;
  void SetVerticalAlignment(int row, int col, int value) override;
  void SetValue(int row, int col, const std::string& text) override;
  void SetFontBold(int row, int col, int bold) override;
  void SetBorderLineStyle(int row, int col, int index, int style) override;
  void SetBorderWeight(int row, int col, int index, int weight) override;
  // Raises, the workbook kept on disk, when no program opens it.
  void Release() override;

  // The workbook written by Release (empty before).
  const std::string& FileName() const { return fileName_; }
  // Writes the collected cells to `fileName` (what Release does before opening it).
  void SaveAs(const std::string& fileName) const;

 private:
  struct TCells;
  std::unique_ptr<TCells> cells_;
  IShell* shell_;
  std::string fileName_;
};

}  // namespace morvale
