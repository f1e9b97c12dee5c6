// One adapter per kind of record source: the walk over its records, the columns it offers and the
// text of a value of the current record. The exporters, the column builder and the workbook's
// sheets reach a source only through it, so each kind is described in one place; the desktop
// program's Qt grid is a TDBGrid and goes through the grid's adapter.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "export/core/classes.h"
#include "export/core/dataset.h"
#include "export/core/sources.h"

namespace morvale {

class TExportColumn;

enum TExportSource : int { esDataSet, esListView, esDBGrid, esStringGrid, esCustom };

const char* SourceName(TExportSource s);  // "DataSet", ...; empty for other values

// The five source references as an exporter keeps them, the kind that picks one of them, and the
// counts that bound a walk over the list view and the string grid.
struct TSourceRef {
  TExportSource Kind = esDataSet;
  TDataSet* DataSet = nullptr;
  TCustomSource* CustomSource = nullptr;
  TListView* ListView = nullptr;
  TDBGrid* DBGrid = nullptr;
  TStringGrid* StringGrid = nullptr;
  int SkipRecCount = 0;
  int ExportRecCount = 0;

  bool operator==(const TSourceRef&) const = default;
};

// Which of the source's columns the export takes.
struct TColumnChoice {
  const TStringList* Names = nullptr;  // ExportedFields: null or empty takes every column
  bool OnlyVisible = false;            // dataset fields only
  bool AllowBlobs = false;             // binary and memo fields even when not named
};

// The column type a sample text suggests (AutoCalcStrType); empty when the type is not guessed.
using TColTypeGuess = std::function<TExportColType(const std::string& sample)>;

// The adapter keeps no state of the walk itself: the position is the source's (or, for the list
// view, the walk's counter), so its operations are const and a copy of the references is enough
// to rebuild it.
class TSourceAdapter {
 public:
  virtual ~TSourceAdapter() = default;

  // ---- the walk
  // False when the reference is there but cannot be read (a grid without a dataset).
  virtual bool Assigned() const { return true; }
  virtual bool Active() const { return true; }
  virtual bool Empty() const = 0;
  virtual void BeginUpdate() const {}
  virtual void EndUpdate() const {}
  virtual void First() const = 0;
  // Moves to the next record; the counter always grows by one.
  void Next(int& counter) const {
    ++counter;
    Advance();
  }
  // `counter` is the walk's record counter: the list view and the string grid end at a count.
  virtual bool Eof(int counter) const = 0;
  // True when the source's own cursor has gone past its last record, whatever a walk counts: a
  // skip stops there. The list view and the string grid end at a count only (Eof), never here.
  virtual bool PastLast() const { return false; }
  virtual TBookmark GetBookmark() const { return 0; }
  virtual void GotoBookmark(TBookmark) const {}
  virtual void FreeBookmark(TBookmark) const {}

  // ---- the columns
  // Calls `add` with the source's column number and field (nullptr when the source has no
  // fields) for each column the choice takes, in the order they are exported.
  virtual void ListColumns(const TColumnChoice& choice,
                           const std::function<void(int number, TField* field)>& add) const = 0;
  // The column's attributes as the source gives them; the holder's lists override them.
  virtual std::string ColumnName(const TExportColumn& c) const = 0;
  virtual TExportColType ColumnType(const TExportColumn& c, const TColTypeGuess& guess) const = 0;
  virtual std::string ColumnCaption(const TExportColumn& c, int captionRow) const = 0;
  virtual int ColumnWidth(const TExportColumn& c) const = 0;  // characters
  virtual std::string ColumnSQLType(const TExportColumn& c) const;
  // The length of a string column; sources without sizes of their own take ColumnsLength.
  virtual int ColumnLength(const TExportColumn& c) const = 0;
  virtual bool HasColumnSizes() const { return true; }
  // The columns are dataset fields: they can be NULL, binary or hidden, and have a field size.
  virtual bool ReadsFields() const { return false; }

  // ---- the values of the current record
  virtual bool IsNull(const TExportColumn&) const { return false; }
  // The value as text; `counter` is the walk's record counter (the list view is addressed by it).
  virtual void GetText(const TExportColumn& c, int counter, std::string& out) const = 0;

 protected:
  virtual void Advance() const = 0;
};

// Shared, so that whoever holds an adapter through a run keeps it when the references change
// under it (an event handler may set other counts or another source).
using TSourceAdapterPtr = std::shared_ptr<const TSourceAdapter>;

// The adapter for the reference the kind picks; nullptr when that reference is not set.
TSourceAdapterPtr MakeSourceAdapter(const TSourceRef& ref);
// What stands for a source that is not set: not assigned, empty, without columns.
const TSourceAdapterPtr& NoSourceAdapter();

// Keeps the adapter for a set of references and rebuilds it when they change, so a caller that
// asks per record does not build one per record. Never null.
class TSourceAdapterCache {
 public:
  TSourceAdapterPtr Get(const TSourceRef& ref);

 private:
  TSourceRef ref_;
  TSourceAdapterPtr adapter_;
};

}  // namespace morvale
