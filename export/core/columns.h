// The ordered list of exported columns, derived once per run from the source and the exporter's
// settings, and the row buffer that holds the texts of the current record.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/core/classes.h"
#include "export/core/dataset.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/sourceadapter.h"
#include "export/core/sources.h"

namespace morvale {

class TExport;
class TExportFormats;
class TExportColumns;
class TExportRow;

enum TExportColAlign : int { ecaLeft, ecaCenter, ecaRight };

class TExportColumn : public TObject {
 public:
  int Number = 0;
  TExportColType ColType = ectUnknown;
  std::string Name;
  std::string Caption;
  int Width = 0;
  TExportColAlign ColAlign = ecaLeft;
  std::string Format;
  std::string SQLType;
  int Length = 0;
  int Tag = 0;
  bool AllowFormat = false;
  bool IsNumeric = false;
  bool IsString = false;
  bool IsBlob = false;
  bool IsVisible = true;
  TField* Field = nullptr;  // dataset and grid sources
  bool Stored = false;      // the field gives its values as the source holds them
  // A float or currency column rendered with every digit of its values instead of Format
  // (TExport::ExactFloats, ExactCurrency).
  bool ExactDigits = false;
  // The longest words of the column's values, longest first, when the width pass was
  // asked for them (TExportColumns::MeasureWords): a layout that wraps text in its cells keeps a
  // column at least as wide as these, so that no word breaks inside.
  std::vector<std::string> LongWords;

  // AllowFormat and Format equal to the holder's format string for the column's type.
  bool IsDefaultFormat() const;
  TExportColumns& Columns() const { return *owner_; }
  int Index() const { return index_; }

  // Format compiled as a number or a date-time format, rebuilt when Format changes.
  const TNumberFormat& NumberFormat() const;
  const TDateTimeFormat& DateTimeFormat() const;

 private:
  friend class TExportColumns;
  TExportColumns* owner_ = nullptr;
  int index_ = 0;
  mutable TNumberFormat compiledNumber_;
  mutable TDateTimeFormat compiledDate_;
  mutable bool numberValid_ = false, dateValid_ = false;
};

class TExportColumns : public TObject {
 public:
  explicit TExportColumns(TExport& holder) : holder_(holder) {}

  int Count() const { return static_cast<int>(items_.size()); }
  TExportColumn& operator[](int i) const { return *items_[static_cast<size_t>(i)]; }
  TExportColumn& Add();
  void Clear() { items_.clear(); }
  TExport& Holder() const { return holder_; }

  // Appends one column per selected source column and derives every attribute; the caller clears
  // the list first. allowBlobs: binary and memo fields are listed even when not named.
  void Fill(bool allowBlobs);
  // The width pass: widths become the longest of caption and raw values; with MeasureWords the
  // columns' LongWords are collected on the way.
  void AutoCalcColWidth();
  bool MeasureWords = false;
  // Given every raw value of the pass with its column, when set: a format that sets text in fonts
  // of its own measures the values on paper, where a count of characters says too little.
  std::function<void(int column, std::string_view text)> MeasureText;
  // How many of the longest words a column keeps: a word of fewer characters may still be the
  // wider one on paper (capitals), so the layout measures a few.
  static constexpr size_t kLongWords = 3;
  // Walks the records the run exports (where it starts, SkipRecCount, ExportRecCount, the current
  // record only) and comes back to the current one; `visit` gets the walk's counter and returns
  // false to stop early. Passes that must see every value before the file begins use it.
  void ForEachRecord(const std::function<bool(int counter)>& visit);
  int IndexOfName(std::string_view name) const;
  bool IsNull(int index) const;
  void ResetTags();
  bool HasBlobColumns() const;

  // The raw text of column `index` for the current record; `counter` is the walk's record counter
  // (the list view is addressed by it).
  void GetRawText(int index, int counter, std::string& out) const;

  // The source as the holder publishes it, copied at the start of Fill, and its adapter.
  const TSourceRef& SourceRef() const { return sourceRef_; }
  void SetSourceRef(const TSourceRef& ref);
  const TSourceAdapter& Source() const { return *source_; }

  // Settings copied from the holder at the start of Fill; absent when the holder does not publish.
  const TExportFormats* Formats = nullptr;
  const TStringList* ExportedFields = nullptr;
  const TStringList* UserFormats = nullptr;
  const TStringList* ColumnsWidth = nullptr;
  const TStringList* Captions = nullptr;
  const TStringList* ColumnsAlign = nullptr;
  const TStringList* ColumnsLength = nullptr;
  bool OnlyVisibleFields = false;
  bool AutoCalcStrType = false;
  bool ExactFloats = false, ExactCurrency = false;
  int CaptionRow = -1;
  std::function<void(TObject*, int)> OnFetchedRecord;
  int RecordCounter = 0;  // the width pass's own counter

 private:
  void ReadHolderSettings();
  void SelectColumns(bool allowBlobs);
  void DeriveAttributes(TExportColumn& c);
  TExportColType GuessFromSample(const std::string& sample) const;
  TExport& holder_;
  std::vector<std::unique_ptr<TExportColumn>> items_;
  TSourceRef sourceRef_;
  TSourceAdapterPtr source_ = NoSourceAdapter();
};

// The pieces of `text` a reader may end a line after: words between blanks, tabs and line breaks,
// a word with hyphens cut after each ("Санкт-", "Петербург").
void ForEachWord(std::string_view text, const std::function<void(std::string_view)>& visit);

// Guesses a column type from a sample text (AutoCalcStrType).
TExportColType GuessColType(const std::string& text, const std::string& booleanTrue,
                            const std::string& booleanFalse, const TFormatSettings& fs);
// Field data type to column type and SQL type text.
TExportColType FieldTypeToColType(TFieldType t);
std::string FieldSQLType(const TField* f);

class TExportCol : public TObject {
 public:
  std::string Name;
  std::string Data;
  TFieldValue Value;
  // When Stored, Value holds the field's value as the source holds it (TField::GetStoredValue)
  // and Data is empty: a format that stores values takes Value, a formatted cell is Value
  // rendered by the column's format (GetExportedValue), and Text renders the field's text only
  // where one is needed. A number, a date or a flag then reaches its cell without becoming a text
  // that is read back.
  bool Stored = false;
  int ColumnIndex = -1;
  TExportRow& Row() const { return *row_; }
  TExportColumn& Column() const;

  // The cell's text as the field gives it (trimmed), rendered on the first call for a cell that
  // holds a stored value; Data otherwise.
  std::string& Text() {
    if (Stored && !textRendered_) RenderText();
    return Data;
  }
  // Takes the field's stored value for the current record (see Stored).
  void TakeStoredValue(const TField& field) {
    field.GetStoredValue(Value);
    Stored = true;
    textRendered_ = false;
    Data.clear();
  }

  // The final text of the cell: NULL text, formatted value, then the exporter's GetColData.
  void GetExportedValue(bool format, std::string& out);
  // The first half of GetExportedValue: Data becomes the NULL text or the (formatted) value,
  // escaped by the exporter; scratch is working space. A format that decorates cells itself
  // reads Data after it.
  void ResolveData(bool format, std::string& scratch);
  // True, with `text` set, when ResolveData(true, ...) would make Data the stored text as it
  // stands (trimmed): a text of a text column in a format that escapes nothing, the word of a
  // flag. Such a cell can be written from its value without the copy into Data.
  bool StoredTextAsItStands(std::string_view& text) const;
  std::string GetExportedValue(bool format) {
    std::string s;
    GetExportedValue(format, s);
    return s;
  }

 private:
  friend class TExportRow;
  void RenderText();
  TExportRow* row_ = nullptr;
  bool textRendered_ = false;
};

class TExportRow : public TObject {
 public:
  explicit TExportRow(TExport& holder) : holder_(holder) {}
  int Count() const { return static_cast<int>(cells_.size()); }
  TExportCol& operator[](int i) const { return *cells_[static_cast<size_t>(i)]; }
  void Add(std::string_view name, int columnIndex);
  void Clear();
  void Delete(int index);
  // Sets the Data of the cell with that name, trimmed of blanks and control characters; a name
  // not in the index is ignored.
  void SetValue(std::string_view name, std::string_view value);
  // Builds the sorted name index; after it every column position knows the cell SetValue would
  // choose for its name, so the record loop fills cells without a lookup per value.
  void IndexNames();
  // The cell that receives the values of column `columnIndex` (see IndexNames), or -1. Asked
  // for every value of the record loop, so it is inline.
  int CellOfColumn(int columnIndex) const {
    return columnIndex >= 0 && columnIndex < static_cast<int>(cellOfColumn_.size())
               ? cellOfColumn_[static_cast<size_t>(columnIndex)]
               : -1;
  }
  int IndexOfName(std::string_view name) const;
  TExport& Holder() const { return holder_; }

 private:
  TExport& holder_;
  std::vector<std::unique_ptr<TExportCol>> cells_;
  std::vector<std::pair<std::string, int>> index_;  // upper-cased name, cell position; sorted
  std::vector<int> cellOfColumn_;
};

// Trims blanks and control characters from both ends of s in place.
void TrimInPlace(std::string& s);

}  // namespace morvale
