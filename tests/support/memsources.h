// In-memory sources for tests: a dataset whose values are given as the texts a field would show,
// and the list view, data-aware grid and string grid the engine can read from.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "export/core/dataset.h"
#include "export/core/export.h"
#include "export/core/sources.h"

namespace morvale::test {

using Cell = std::optional<std::string>;  // nullopt is NULL

class TMemField : public TField {
 public:
  bool IsNull() const override;
  void GetText(std::string& out) const override;

 private:
  friend class TMemDataSet;
  const class TMemDataSet* owner_ = nullptr;
};

// Fields are declared with AddField; rows hold one text per field (nullopt for NULL).
class TMemDataSet : public TDataSet {
 public:
  TField& AddField(const std::string& name, TFieldType type, int size = 0, int displayWidth = -1);
  void AddRow(std::vector<Cell> row) { rows_.push_back(std::move(row)); }
  void Open() { active_ = true, cur_ = 0; }
  void Close() { active_ = false; }
  int RecNo() const { return cur_; }  // 0-based
  void SetRecNo(int i) { cur_ = i; }

  bool Active() const override { return active_; }
  void First() override { cur_ = 0; }
  void Next() override {
    if (cur_ < static_cast<int>(rows_.size())) ++cur_;
  }
  bool Eof() const override { return cur_ >= static_cast<int>(rows_.size()); }
  bool IsEmpty() override { return rows_.empty(); }
  int RecordCount() override { return static_cast<int>(rows_.size()); }
  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  TField& Fields(int i) const override { return *fields_[static_cast<size_t>(i)]; }
  TBookmark GetBookmark() override {
    ++bookmarks;
    return cur_;
  }
  void GotoBookmark(TBookmark b) override { cur_ = static_cast<int>(b); }
  void FreeBookmark(TBookmark) override { --bookmarks; }

  int bookmarks = 0;  // bookmarks taken and not freed

 private:
  friend class TMemField;
  const Cell& Value(int field) const;
  std::vector<std::unique_ptr<TMemField>> fields_;
  std::vector<std::vector<Cell>> rows_;
  bool active_ = true;
  int cur_ = 0;
};

class TMemListView : public TListView {
 public:
  struct Column {
    std::string caption;
    int width = 64;
  };
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> items;  // caption, then sub-items
  int selected = -1;
  int focused = -1;

  int ColumnCount() const override { return static_cast<int>(columns.size()); }
  std::string ColumnCaption(int c) const override { return columns[c].caption; }
  int ColumnWidth(int c) const override { return columns[c].width; }
  int ItemCount() const override { return static_cast<int>(items.size()); }
  std::string ItemCaption(int i) const override { return items[i].empty() ? "" : items[i][0]; }
  int SubItemCount(int i) const override {
    return items[i].empty() ? 0 : static_cast<int>(items[i].size()) - 1;
  }
  std::string SubItem(int i, int s) const override {
    return s + 1 < static_cast<int>(items[i].size()) ? items[i][s + 1] : "";
  }
  int SelectedIndex() const override { return selected; }
  void FocusItem(int i) override { focused = i; }
};

class TMemDBGrid : public TDBGrid {
 public:
  struct Column {
    TField* field = nullptr;
    int width = 64;
    std::string title;
  };
  TDataSet* dataSet = nullptr;
  std::vector<Column> columns;
  int charWidth = 8;

  TDataSet* DataSet() const override { return dataSet; }
  int ColumnCount() const override { return static_cast<int>(columns.size()); }
  TField* ColumnField(int c) const override { return columns[c].field; }
  int ColumnWidth(int c) const override { return columns[c].width; }
  std::string ColumnTitle(int c) const override { return columns[c].title; }
  int TextWidth(const std::string& t) const override {
    return charWidth * static_cast<int>(t.size());
  }
};

class TMemStringGrid : public TStringGrid {
 public:
  std::vector<std::vector<std::string>> cells;  // [row][col]
  int colCount = 0;
  int fixedRows = 1;
  int row = 1;
  int colWidth = 64;
  int charWidth = 8;

  int ColCount() const override { return colCount; }
  int RowCount() const override { return static_cast<int>(cells.size()); }
  int FixedRows() const override { return fixedRows; }
  int Row() const override { return row; }
  void SetRow(int r) override { row = r; }
  std::string Cell(int c, int r) const override {
    return c < static_cast<int>(cells[r].size()) ? cells[r][c] : "";
  }
  int ColWidth(int) const override { return colWidth; }
  int TextWidth(const std::string& t) const override {
    return charWidth * static_cast<int>(t.size());
  }
};

// The shared fixture every exporter's suite runs on: ID integer, NAME string(20), PRICE float,
// BORN date, NOTE memo; rows with NULLs, Cyrillic, quotes, separators and line breaks.
void FillSampleDataSet(TMemDataSet& ds);

// Runs `e` into /dev/full and gives the message it raised, or "" when the full disk passed as a
// finished export.
std::string FullDiskError(TExportText& e);

}  // namespace morvale::test
