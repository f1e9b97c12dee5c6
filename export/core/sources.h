// The record sources other than a dataset: what the engine needs of a list view, a data-aware
// grid and a string grid (the desktop program adapts its widgets to these; tests use in-memory
// ones), and the custom source that feeds an export from two callbacks.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "export/core/classes.h"
#include "export/core/dataset.h"

namespace morvale {

enum TExportColType : int {
  ectUnknown,
  ectInteger,
  ectBigint,
  ectFloat,
  ectCurrency,
  ectDate,
  ectTime,
  ectDateTime,
  ectString,
  ectBoolean
};
const char* ColTypeName(TExportColType t);

class TListView : public TComponent {
 public:
  virtual int ColumnCount() const = 0;
  virtual std::string ColumnCaption(int col) const = 0;
  virtual int ColumnWidth(int col) const = 0;  // pixels
  virtual int ItemCount() const = 0;
  virtual std::string ItemCaption(int item) const = 0;
  virtual int SubItemCount(int item) const = 0;
  virtual std::string SubItem(int item, int sub) const = 0;
  virtual int SelectedIndex() const = 0;  // -1 when none
  virtual void FocusItem(int item) = 0;
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

class TDBGrid : public TComponent {
 public:
  // The dataset of the grid's data source; nullptr when there is no data source or no dataset.
  virtual TDataSet* DataSet() const = 0;
  virtual int ColumnCount() const = 0;
  virtual TField* ColumnField(int col) const = 0;  // nullptr for a column without a field
  virtual int ColumnWidth(int col) const = 0;      // pixels
  virtual std::string ColumnTitle(int col) const = 0;
  virtual int TextWidth(const std::string& text) const = 0;  // pixels in the grid's font
};

class TStringGrid : public TComponent {
 public:
  virtual int ColCount() const = 0;
  virtual int RowCount() const = 0;
  virtual int FixedRows() const = 0;
  virtual int Row() const = 0;
  virtual void SetRow(int row) = 0;
  virtual std::string Cell(int col, int row) const = 0;
  virtual int ColWidth(int col) const = 0;  // pixels
  virtual int TextWidth(const std::string& text) const = 0;
};

// A custom value: Null, or a text, number or flag converted to text when asked.
using TCustomValue = std::optional<std::string>;

class TCustomSource;

class TCustomColumn : public TObject {
 public:
  const std::string& ColumnName() const { return name_; }
  // Ignored when the name is empty or another column of the same source already has it.
  void SetColumnName(const std::string& name);
  TExportColType ColumnType = ectString;
  std::string Caption;
  int Width = 15;
  int Size = 15;

  TCustomSource* Source() const { return source_; }
  // The value of the source's current record as text; empty without a source or handler.
  std::string GetValue() const;

 private:
  friend class TCustomSource;
  TCustomSource* source_ = nullptr;
  std::string name_;
};

class TCustomSource : public TComponent {
 public:
  using TGetNextRecordEvent = std::function<void(TObject* Sender, int RecNo, bool& Eof)>;
  using TGetColumnValueEvent =
      std::function<void(TObject* Sender, int RecNo, TCustomColumn& Column, TCustomValue& Value)>;

  TCustomSource() = default;
  // A new column named "Column%d" (first free number from 0), type string, its name as caption.
  TCustomColumn& AddColumn();
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  TCustomColumn& Column(int i) const { return *columns_[static_cast<size_t>(i)]; }
  TCustomColumn* FindColumn(std::string_view name) const;
  void DeleteColumn(int i);

  TGetNextRecordEvent OnGetNextRecord;
  TGetColumnValueEvent OnGetColumnValue;
  int RecNo = 1;
  bool Eof = false;

  void First() { RecNo = 1; }
  void Next();
  bool AtEnd() const { return Eof || !OnGetNextRecord; }

 private:
  std::vector<std::unique_ptr<TCustomColumn>> columns_;
};

}  // namespace morvale
