#include "export/core/sourceadapter.h"

#include <algorithm>

#include "export/core/columns.h"

namespace morvale {

const char* SourceName(TExportSource s) {
  switch (s) {
    case esDataSet:
      return "DataSet";
    case esListView:
      return "ListView";
    case esDBGrid:
      return "DBGrid";
    case esStringGrid:
      return "StringGrid";
    case esCustom:
      return "CustomSource";
  }
  return "";
}

namespace {

// The list view and the string grid cannot run out by themselves: their end is a count.
int AvailableCount(int n, int skip, int limit) {
  int rest = n - skip;
  int avail = limit <= 0 ? rest : std::min(limit, rest);
  return avail < 0 ? 0 : avail;
}

int PixelsToChars(int pixels, int charPixels) {
  return charPixels > 0 ? pixels / charPixels : 0;
}

bool FieldAllowed(const TField& f, bool named, const TColumnChoice& choice) {
  if (choice.OnlyVisible && !f.Visible) return false;
  return named || choice.AllowBlobs || !f.IsBlob();
}

bool Listed(const TColumnChoice& choice) {
  return choice.Names && !choice.Names->Empty();
}

// ---- a dataset: the columns are its fields ---------------------------------------------------

class TDataSetAdapter : public TSourceAdapter {
 public:
  explicit TDataSetAdapter(TDataSet* ds = nullptr) : ds_(ds) {}

  bool Active() const override { return Data()->Active(); }
  bool Empty() const override { return Data()->IsEmpty(); }
  void BeginUpdate() const override { Data()->DisableControls(); }
  void EndUpdate() const override { Data()->EnableControls(); }
  void First() const override { Data()->First(); }
  bool Eof(int) const override { return Data()->Eof(); }
  bool PastLast() const override { return !Data() || Data()->Eof(); }
  TBookmark GetBookmark() const override { return Data()->GetBookmark(); }
  void GotoBookmark(TBookmark b) const override { Data()->GotoBookmark(b); }
  void FreeBookmark(TBookmark b) const override { Data()->FreeBookmark(b); }

  void ListColumns(const TColumnChoice& choice,
                   const std::function<void(int, TField*)>& add) const override {
    TDataSet* ds = ds_;
    if (Listed(choice)) {
      for (const std::string& name : *choice.Names) {
        TField& f = ds->FieldByName(name);
        if (FieldAllowed(f, true, choice)) add(f.Index, &f);
      }
    } else {
      for (int i = 0; i < ds->FieldCount(); ++i)
        if (FieldAllowed(ds->Fields(i), false, choice)) add(i, &ds->Fields(i));
    }
  }
  std::string ColumnName(const TExportColumn& c) const override {
    return c.Field ? c.Field->FieldName : std::string();
  }
  TExportColType ColumnType(const TExportColumn& c, const TColTypeGuess&) const override {
    return c.Field ? FieldTypeToColType(c.Field->DataType) : ectUnknown;
  }
  std::string ColumnCaption(const TExportColumn& c, int) const override {
    return c.Field ? c.Field->GetDisplayLabel() : std::string();
  }
  int ColumnWidth(const TExportColumn& c) const override {
    return c.Field ? c.Field->DisplayWidth : 0;
  }
  std::string ColumnSQLType(const TExportColumn& c) const override { return FieldSQLType(c.Field); }
  int ColumnLength(const TExportColumn& c) const override {
    return std::min(c.Field ? c.Field->Size : 0, 254);
  }
  bool ReadsFields() const override { return true; }

  bool IsNull(const TExportColumn& c) const override { return c.Field && c.Field->IsNull(); }
  void GetText(const TExportColumn& c, int, std::string& out) const override {
    if (c.Field)
      c.Field->GetText(out);
    else
      out.clear();
  }

 protected:
  // The grid's dataset is asked each time: the grid may be given another one between runs.
  virtual TDataSet* Data() const { return ds_; }
  void Advance() const override { Data()->Next(); }

 private:
  TDataSet* ds_;
};

// ---- a data-aware grid: its columns are fields of its dataset, in the grid's order -----------

class TDBGridAdapter : public TDataSetAdapter {
 public:
  explicit TDBGridAdapter(TDBGrid* grid) : grid_(grid) {}

  bool Assigned() const override { return Data() != nullptr; }
  void First() const override {
    if (Data() && Data()->Active()) Data()->First();
  }

  void ListColumns(const TColumnChoice& choice,
                   const std::function<void(int, TField*)>& add) const override {
    TDBGrid* g = grid_;
    if (Listed(choice)) {
      for (const std::string& name : *choice.Names) {
        int found = -1;
        for (int i = 0; i < g->ColumnCount(); ++i) {
          TField* f = g->ColumnField(i);
          if (f && SameText(f->FieldName, name)) found = i;
        }
        if (found >= 0 && FieldAllowed(*g->ColumnField(found), true, choice))
          add(found, g->ColumnField(found));
      }
    } else {
      for (int i = 0; i < g->ColumnCount(); ++i) {
        TField* f = g->ColumnField(i);
        if (f && FieldAllowed(*f, false, choice)) add(i, f);
      }
    }
  }
  std::string ColumnCaption(const TExportColumn& c, int) const override {
    return grid_->ColumnTitle(c.Number);
  }
  int ColumnWidth(const TExportColumn& c) const override {
    return PixelsToChars(grid_->ColumnWidth(c.Number), grid_->TextWidth("X"));
  }

 protected:
  TDataSet* Data() const override { return grid_->DataSet(); }

 private:
  TDBGrid* grid_;
};

// ---- a list view: the item caption is column 0, the sub-items follow -------------------------

class TListViewAdapter : public TSourceAdapter {
 public:
  TListViewAdapter(TListView* lv, int skip, int limit) : lv_(lv), skip_(skip), limit_(limit) {}

  bool Empty() const override { return lv_->ItemCount() == 0; }
  void BeginUpdate() const override { lv_->BeginUpdate(); }
  void EndUpdate() const override { lv_->EndUpdate(); }
  void First() const override {
    if (lv_->ItemCount() > 0) lv_->FocusItem(0);
  }
  bool Eof(int counter) const override {
    return counter >= AvailableCount(lv_->ItemCount(), skip_, limit_);
  }
  TBookmark GetBookmark() const override { return std::max(lv_->SelectedIndex(), 0); }
  void GotoBookmark(TBookmark b) const override { lv_->FocusItem(static_cast<int>(b)); }

  void ListColumns(const TColumnChoice& choice,
                   const std::function<void(int, TField*)>& add) const override {
    if (Listed(choice)) {
      for (const std::string& name : *choice.Names) {
        int found = -1;
        for (int i = 0; i < lv_->ColumnCount(); ++i)
          if (SameText(lv_->ColumnCaption(i), name)) found = i;  // the last one wins
        if (found >= 0) add(found, nullptr);
      }
    } else {
      for (int i = 0; i < lv_->ColumnCount(); ++i) add(i, nullptr);
    }
  }
  std::string ColumnName(const TExportColumn& c) const override {
    return lv_->ColumnCaption(c.Number);
  }
  TExportColType ColumnType(const TExportColumn& c, const TColTypeGuess& guess) const override {
    if (!guess) return ectString;
    if (lv_->ItemCount() == 0) return ectInteger;  // nothing to look at: the guess's start
    return guess(ItemText(0, c.Number));
  }
  std::string ColumnCaption(const TExportColumn& c, int) const override {
    return lv_->ColumnCaption(c.Number);
  }
  int ColumnWidth(const TExportColumn& c) const override { return lv_->ColumnWidth(c.Number) / 8; }
  int ColumnLength(const TExportColumn&) const override { return 254; }
  bool HasColumnSizes() const override { return false; }

  void GetText(const TExportColumn& c, int counter, std::string& out) const override {
    int item = skip_ + counter;
    if (item < 0 || item >= lv_->ItemCount())
      out.clear();
    else
      out = ItemText(item, c.Number);
  }

 protected:
  // The list view has no position to move: its items are addressed by the walk's counter.
  void Advance() const override {}

 private:
  std::string ItemText(int item, int col) const {
    return col == 0 ? lv_->ItemCaption(item) : lv_->SubItem(item, col - 1);
  }
  TListView* lv_;
  int skip_, limit_;
};

// ---- a string grid: columns by number, rows below the fixed ones -----------------------------

class TStringGridAdapter : public TSourceAdapter {
 public:
  TStringGridAdapter(TStringGrid* sg, int skip, int limit) : sg_(sg), skip_(skip), limit_(limit) {}

  bool Empty() const override { return sg_->RowCount() == sg_->FixedRows(); }
  void First() const override { sg_->SetRow(sg_->FixedRows()); }
  bool Eof(int counter) const override {
    return counter >= AvailableCount(sg_->RowCount() - sg_->FixedRows(), skip_, limit_);
  }
  TBookmark GetBookmark() const override { return sg_->Row(); }
  void GotoBookmark(TBookmark b) const override { sg_->SetRow(static_cast<int>(b)); }

  void ListColumns(const TColumnChoice& choice,
                   const std::function<void(int, TField*)>& add) const override {
    if (Listed(choice)) {
      for (const std::string& name : *choice.Names) {
        int32_t n;
        if (TryStrToInt(TrimView(name), n) && n >= 0 && n < sg_->ColCount()) add(n, nullptr);
      }
    } else {
      for (int i = 0; i < sg_->ColCount(); ++i) add(i, nullptr);
    }
  }
  std::string ColumnName(const TExportColumn& c) const override { return std::to_string(c.Number); }
  TExportColType ColumnType(const TExportColumn& c, const TColTypeGuess& guess) const override {
    return guess ? guess(sg_->Cell(c.Number, sg_->Row())) : ectString;
  }
  std::string ColumnCaption(const TExportColumn& c, int captionRow) const override {
    return captionRow < 0 ? "ColNo_" + std::to_string(c.Number) : sg_->Cell(c.Number, captionRow);
  }
  int ColumnWidth(const TExportColumn& c) const override {
    return PixelsToChars(sg_->ColWidth(c.Number), sg_->TextWidth("X"));
  }
  int ColumnLength(const TExportColumn&) const override { return 254; }
  bool HasColumnSizes() const override { return false; }

  void GetText(const TExportColumn& c, int, std::string& out) const override {
    out = sg_->Cell(c.Number, sg_->Row());
  }

 protected:
  void Advance() const override {
    if (sg_->Row() < sg_->RowCount() - 1) sg_->SetRow(sg_->Row() + 1);
  }

 private:
  TStringGrid* sg_;
  int skip_, limit_;
};

// ---- a custom source: columns declared on it, values from its callbacks ----------------------

class TCustomSourceAdapter : public TSourceAdapter {
 public:
  explicit TCustomSourceAdapter(TCustomSource* cs) : cs_(cs) {}

  bool Empty() const override { return true; }
  void First() const override { cs_->First(); }
  bool Eof(int) const override { return cs_->AtEnd(); }
  bool PastLast() const override { return cs_->AtEnd(); }

  void ListColumns(const TColumnChoice& choice,
                   const std::function<void(int, TField*)>& add) const override {
    if (Listed(choice)) {
      for (const std::string& name : *choice.Names) {
        for (int i = 0; i < cs_->ColumnCount(); ++i)
          if (SameText(cs_->Column(i).ColumnName(), name)) {
            add(i, nullptr);
            break;
          }
      }
    } else {
      for (int i = 0; i < cs_->ColumnCount(); ++i) add(i, nullptr);
    }
  }
  std::string ColumnName(const TExportColumn& c) const override {
    return cs_->Column(c.Number).ColumnName();
  }
  TExportColType ColumnType(const TExportColumn& c, const TColTypeGuess&) const override {
    return cs_->Column(c.Number).ColumnType;
  }
  std::string ColumnCaption(const TExportColumn& c, int) const override {
    return cs_->Column(c.Number).Caption;
  }
  int ColumnWidth(const TExportColumn& c) const override { return cs_->Column(c.Number).Width; }
  int ColumnLength(const TExportColumn& c) const override {
    return std::min(cs_->Column(c.Number).Size, 254);
  }

  void GetText(const TExportColumn& c, int, std::string& out) const override {
    out = cs_->Column(c.Number).GetValue();
  }

 protected:
  void Advance() const override { cs_->Next(); }

 private:
  TCustomSource* cs_;
};

// ---- no source -------------------------------------------------------------------------------

class TNoSourceAdapter : public TSourceAdapter {
 public:
  bool Assigned() const override { return false; }
  bool Empty() const override { return true; }
  void First() const override {}
  bool Eof(int) const override { return true; }
  bool PastLast() const override { return true; }
  void ListColumns(const TColumnChoice&, const std::function<void(int, TField*)>&) const override {}
  std::string ColumnName(const TExportColumn&) const override { return {}; }
  TExportColType ColumnType(const TExportColumn&, const TColTypeGuess&) const override {
    return ectUnknown;
  }
  std::string ColumnCaption(const TExportColumn&, int) const override { return {}; }
  int ColumnWidth(const TExportColumn&) const override { return 0; }
  int ColumnLength(const TExportColumn&) const override { return 0; }
  void GetText(const TExportColumn&, int, std::string& out) const override { out.clear(); }

 protected:
  void Advance() const override {}
};

std::string SQLTypeOf(TExportColType t, int width) {
  switch (t) {
    case ectFloat:
    case ectCurrency:
      return "DOUBLE PRECISION";
    case ectDate:
    case ectTime:
    case ectDateTime:
      return "DATE";
    case ectString:
      return "CHAR(" + std::to_string(width) + ")";
    case ectInteger:
    case ectBigint:
    case ectBoolean:
      return "INTEGER";
    default:
      return "";
  }
}

}  // namespace

std::string TSourceAdapter::ColumnSQLType(const TExportColumn& c) const {
  return SQLTypeOf(c.ColType, c.Width);
}

TSourceAdapterPtr MakeSourceAdapter(const TSourceRef& ref) {
  switch (ref.Kind) {
    case esDataSet:
      if (ref.DataSet) return std::make_shared<const TDataSetAdapter>(ref.DataSet);
      break;
    case esListView:
      if (ref.ListView)
        return std::make_shared<const TListViewAdapter>(ref.ListView, ref.SkipRecCount,
                                                        ref.ExportRecCount);
      break;
    case esDBGrid:
      if (ref.DBGrid) return std::make_shared<const TDBGridAdapter>(ref.DBGrid);
      break;
    case esStringGrid:
      if (ref.StringGrid)
        return std::make_shared<const TStringGridAdapter>(ref.StringGrid, ref.SkipRecCount,
                                                          ref.ExportRecCount);
      break;
    case esCustom:
      if (ref.CustomSource) return std::make_shared<const TCustomSourceAdapter>(ref.CustomSource);
      break;
  }
  return nullptr;
}

const TSourceAdapterPtr& NoSourceAdapter() {
  static const TSourceAdapterPtr none = std::make_shared<const TNoSourceAdapter>();
  return none;
}

TSourceAdapterPtr TSourceAdapterCache::Get(const TSourceRef& ref) {
  if (!adapter_ || !(ref == ref_)) {
    ref_ = ref;
    adapter_ = MakeSourceAdapter(ref);
    if (!adapter_) adapter_ = NoSourceAdapter();
  }
  return adapter_;
}

}  // namespace morvale
