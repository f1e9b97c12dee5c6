#include "export/core/columns.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/export.h"
#include "export/core/switches.h"

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

void TrimInPlace(std::string& s) {
  size_t e = s.size();
  while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  size_t b = 0;
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  if (b > 0 || e < s.size()) {
    s.erase(e);
    s.erase(0, b);
  }
}

// ---- source operations ----------------------------------------------------------------------

namespace {

// The list view and the string grid cannot run out by themselves: their end is a count.
int AvailableCount(int n, int skip, int limit) {
  int rest = n - skip;
  int avail = limit <= 0 ? rest : std::min(limit, rest);
  return avail < 0 ? 0 : avail;
}

}  // namespace

bool TSourceRef::Assigned() const {
  switch (Kind) {
    case esDataSet:
      return DataSet != nullptr;
    case esListView:
      return ListView != nullptr;
    case esDBGrid:
      return DBGrid != nullptr && GridDataSet() != nullptr;
    case esStringGrid:
      return StringGrid != nullptr;
    case esCustom:
      return CustomSource != nullptr;
  }
  return false;
}

bool TSourceRef::Active() const {
  switch (Kind) {
    case esDataSet:
      return DataSet->Active();
    case esDBGrid:
      return GridDataSet()->Active();
    default:
      return true;
  }
}

bool TSourceRef::Empty() const {
  switch (Kind) {
    case esDataSet:
      return DataSet->IsEmpty();
    case esListView:
      return ListView->ItemCount() == 0;
    case esDBGrid:
      return GridDataSet()->IsEmpty();
    case esStringGrid:
      return StringGrid->RowCount() == StringGrid->FixedRows();
    case esCustom:
      return true;
  }
  return true;
}

void TSourceRef::BeginUpdate() const {
  switch (Kind) {
    case esDataSet:
      DataSet->DisableControls();
      break;
    case esListView:
      ListView->BeginUpdate();
      break;
    case esDBGrid:
      GridDataSet()->DisableControls();
      break;
    default:
      break;
  }
}

void TSourceRef::EndUpdate() const {
  switch (Kind) {
    case esDataSet:
      DataSet->EnableControls();
      break;
    case esListView:
      ListView->EndUpdate();
      break;
    case esDBGrid:
      GridDataSet()->EnableControls();
      break;
    default:
      break;
  }
}

void TSourceRef::First() const {
  switch (Kind) {
    case esDataSet:
      DataSet->First();
      break;
    case esListView:
      if (ListView->ItemCount() > 0) ListView->FocusItem(0);
      break;
    case esDBGrid:
      if (GridDataSet() && GridDataSet()->Active()) GridDataSet()->First();
      break;
    case esStringGrid:
      StringGrid->SetRow(StringGrid->FixedRows());
      break;
    case esCustom:
      CustomSource->First();
      break;
  }
}

void TSourceRef::Next(int& counter) const {
  ++counter;
  switch (Kind) {
    case esDataSet:
      DataSet->Next();
      break;
    case esDBGrid:
      GridDataSet()->Next();
      break;
    case esStringGrid:
      if (StringGrid->Row() < StringGrid->RowCount() - 1) StringGrid->SetRow(StringGrid->Row() + 1);
      break;
    case esCustom:
      CustomSource->Next();
      break;
    default:
      break;
  }
}

bool TSourceRef::Eof(int counter) const {
  switch (Kind) {
    case esDataSet:
      return DataSet->Eof();
    case esListView:
      return counter >= AvailableCount(ListView->ItemCount(), SkipRecCount, ExportRecCount);
    case esDBGrid:
      return GridDataSet()->Eof();
    case esStringGrid:
      return counter >= AvailableCount(StringGrid->RowCount() - StringGrid->FixedRows(),
                                       SkipRecCount, ExportRecCount);
    case esCustom:
      return CustomSource->AtEnd();
  }
  return true;
}

TBookmark TSourceRef::GetBookmark() const {
  switch (Kind) {
    case esDataSet:
      return DataSet->GetBookmark();
    case esListView:
      return std::max(ListView->SelectedIndex(), 0);
    case esDBGrid:
      return GridDataSet()->GetBookmark();
    case esStringGrid:
      return StringGrid->Row();
    case esCustom:
      return 0;
  }
  return 0;
}

void TSourceRef::GotoBookmark(TBookmark b) const {
  switch (Kind) {
    case esDataSet:
      DataSet->GotoBookmark(b);
      break;
    case esListView:
      ListView->FocusItem(static_cast<int>(b));
      break;
    case esDBGrid:
      GridDataSet()->GotoBookmark(b);
      break;
    case esStringGrid:
      StringGrid->SetRow(static_cast<int>(b));
      break;
    case esCustom:
      break;
  }
}

void TSourceRef::FreeBookmark(TBookmark b) const {
  if (Kind == esDataSet) DataSet->FreeBookmark(b);
  if (Kind == esDBGrid) GridDataSet()->FreeBookmark(b);
}

// ---- types ------------------------------------------------------------------------------------

TExportColType FieldTypeToColType(TFieldType t) {
  switch (t) {
    case ftString:
    case ftWideString:
    case ftFixedChar:
    case ftBlob:
    case ftMemo:
      return ectString;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return ectInteger;
    case ftLargeint:
      return ectBigint;
    case ftBoolean:
      return ectBoolean;
    case ftFloat:
    case ftBCD:
      return ectFloat;
    case ftCurrency:
      return ectCurrency;
    case ftDate:
      return ectDate;
    case ftTime:
      return ectTime;
    case ftDateTime:
      return ectDateTime;
    default:
      return ectUnknown;
  }
}

std::string FieldSQLType(const TField* f) {
  if (!f) return "UNKNOWN";
  switch (f->DataType) {
    case ftString:
    case ftWideString:
    case ftFixedChar:
      return "CHAR(" + std::to_string(f->Size) + ")";
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
      return "BLOB";
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftLargeint:
    case ftBoolean:
      return "INTEGER";
    case ftAutoInc:
      return "UNKNOWN";
    case ftFloat:
    case ftBCD:
    case ftCurrency:
      return "DOUBLE PRECISION";
    case ftDate:
    case ftTime:
    case ftDateTime:
      return "DATE";
    default:
      return "UNKNOWN";
  }
}

static std::string SQLTypeOf(TExportColType t, int width) {
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

TExportColType GuessColType(const std::string& text, const std::string& booleanTrue,
                            const std::string& booleanFalse, const TFormatSettings& fs) {
  if (text.empty()) return ectString;
  if (SameText(text, booleanTrue) || SameText(text, booleanFalse)) return ectBoolean;
  int32_t i;
  if (TryStrToInt(text, i)) return ectInteger;
  double d;
  if (TryStrToFloat(text, d, fs)) return ectFloat;
  TDateTime dt;
  if (TryStrToDateTime(text, dt, fs)) {
    double days = 0;
    double frac = std::modf(dt, &days);
    if (frac == 0) return ectDate;
    if (days == 0) return ectTime;
    return ectDateTime;
  }
  return ectString;
}

// ---- columns ----------------------------------------------------------------------------------

bool TExportColumn::IsDefaultFormat() const {
  const TExportFormats* f = owner_->Formats;
  if (!AllowFormat || !f) return false;
  switch (ColType) {
    case ectInteger:
    case ectBigint:
      return Format == f->IntegerFormat();
    case ectFloat:
      return Format == f->FloatFormat();
    case ectCurrency:
      return Format == f->CurrencyFormat();
    case ectDate:
      return Format == f->DateFormat();
    case ectTime:
      return Format == f->TimeFormat();
    case ectDateTime:
      return Format == f->DateTimeFormat();
    default:
      return false;
  }
}

const TNumberFormat& TExportColumn::NumberFormat() const {
  if (!numberValid_ || compiledNumber_.Source() != Format) {
    compiledNumber_ = TNumberFormat(Format);
    numberValid_ = true;
  }
  return compiledNumber_;
}

const TDateTimeFormat& TExportColumn::DateTimeFormat() const {
  if (!dateValid_ || compiledDate_.Source() != Format) {
    compiledDate_ = TDateTimeFormat(Format);
    dateValid_ = true;
  }
  return compiledDate_;
}

TExportColumn& TExportColumns::Add() {
  auto c = std::make_unique<TExportColumn>();
  c->owner_ = this;
  c->index_ = Count();
  items_.push_back(std::move(c));
  return *items_.back();
}

int TExportColumns::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText((*this)[i].Name, name)) return i;
  return -1;
}

bool TExportColumns::IsNull(int index) const {
  const TExportColumn& c = (*this)[index];
  if (Source.Kind != esDataSet && Source.Kind != esDBGrid) return false;
  return c.Field && c.Field->IsNull();
}

void TExportColumns::ResetTags() {
  for (auto& c : items_) c->Tag = 0;
}

bool TExportColumns::HasBlobColumns() const {
  return std::any_of(items_.begin(), items_.end(), [](const auto& c) { return c->IsBlob; });
}

void TExportColumns::GetRawText(int index, int counter, std::string& out) const {
  const TExportColumn& c = (*this)[index];
  switch (Source.Kind) {
    case esDataSet:
    case esDBGrid:
      if (c.Field)
        c.Field->GetText(out);
      else
        out.clear();
      break;
    case esListView: {
      int item = Source.SkipRecCount + counter;
      if (item < 0 || item >= Source.ListView->ItemCount())
        out.clear();
      else
        out = c.Number == 0 ? Source.ListView->ItemCaption(item)
                            : Source.ListView->SubItem(item, c.Number - 1);
      break;
    }
    case esStringGrid:
      out = Source.StringGrid->Cell(c.Number, Source.StringGrid->Row());
      break;
    case esCustom:
      out = Source.CustomSource->Column(c.Number).GetValue();
      break;
  }
}

void TExportColumns::ReadHolderSettings() {
  TExport& h = holder_;
  auto pub = [&h](TPublishedSwitch name) { return Publishes(h, name); };
  auto list = [&](TPublishedSwitch name, const TStringList& l) { return pub(name) ? &l : nullptr; };
  TSourceRef ref = h.SourceRef();
  Source = TSourceRef();
  if (pub("ExportSource")) Source.Kind = ref.Kind;
  if (pub("DataSet")) Source.DataSet = ref.DataSet;
  if (pub("CustomSource")) Source.CustomSource = ref.CustomSource;
  if (pub("ListView")) Source.ListView = ref.ListView;
  if (pub("DBGrid")) Source.DBGrid = ref.DBGrid;
  if (pub("StringGrid")) Source.StringGrid = ref.StringGrid;
  if (pub("SkipRecCount")) Source.SkipRecCount = h.SkipRecCount;
  if (pub("ExportRecCount")) Source.ExportRecCount = h.ExportRecCount;
  ExportedFields = list("ExportedFields", h.ExportedFields);
  UserFormats = list("UserFormats", h.UserFormats);
  ColumnsWidth = list("ColumnsWidth", h.ColumnsWidth);
  Captions = list("Captions", h.Captions);
  ColumnsAlign = list("ColumnsAlign", h.ColumnsAlign);
  ColumnsLength = list("ColumnsLength", h.ColumnsLength);
  Formats = pub("Formats") ? &h.Formats : nullptr;
  OnlyVisibleFields = pub("OnlyVisibleFields") && h.OnlyVisibleFields;
  AutoCalcStrType = pub("AutoCalcStrType") && h.AutoCalcStrType;
  CaptionRow = pub("CaptionRow") ? h.CaptionRow : -1;
  OnFetchedRecord = pub("OnFetchedRecord") ? h.OnFetchedRecord : nullptr;
}

void TExportColumns::Fill(bool allowBlobs) {
  ReadHolderSettings();
  SelectColumns(allowBlobs);
  for (auto& c : items_) DeriveAttributes(*c);
}

void TExportColumns::SelectColumns(bool allowBlobs) {
  const bool listed = ExportedFields && !ExportedFields->Empty();
  auto addNumber = [this](int number, TField* field) {
    TExportColumn& c = Add();
    c.Number = number;
    c.Field = field;
  };
  auto fieldAllowed = [&](const TField& f, bool named) {
    if (OnlyVisibleFields && !f.Visible) return false;
    return named || allowBlobs || !f.IsBlob();
  };
  switch (Source.Kind) {
    case esDataSet: {
      TDataSet* ds = Source.DataSet;
      if (!ds) return;
      if (listed) {
        for (const std::string& name : *ExportedFields) {
          TField& f = ds->FieldByName(name);
          if (fieldAllowed(f, true)) addNumber(f.Index, &f);
        }
      } else {
        for (int i = 0; i < ds->FieldCount(); ++i)
          if (fieldAllowed(ds->Fields(i), false)) addNumber(i, &ds->Fields(i));
      }
      break;
    }
    case esListView: {
      TListView* lv = Source.ListView;
      if (!lv) return;
      if (listed) {
        for (const std::string& name : *ExportedFields) {
          int found = -1;
          for (int i = 0; i < lv->ColumnCount(); ++i)
            if (SameText(lv->ColumnCaption(i), name)) found = i;  // the last one wins
          if (found >= 0) addNumber(found, nullptr);
        }
      } else {
        for (int i = 0; i < lv->ColumnCount(); ++i) addNumber(i, nullptr);
      }
      break;
    }
    case esDBGrid: {
      TDBGrid* g = Source.DBGrid;
      if (!g) return;
      if (listed) {
        for (const std::string& name : *ExportedFields) {
          int found = -1;
          for (int i = 0; i < g->ColumnCount(); ++i) {
            TField* f = g->ColumnField(i);
            if (f && SameText(f->FieldName, name)) found = i;
          }
          if (found >= 0 && fieldAllowed(*g->ColumnField(found), true))
            addNumber(found, g->ColumnField(found));
        }
      } else {
        for (int i = 0; i < g->ColumnCount(); ++i) {
          TField* f = g->ColumnField(i);
          if (f && fieldAllowed(*f, false)) addNumber(i, f);
        }
      }
      break;
    }
    case esStringGrid: {
      TStringGrid* sg = Source.StringGrid;
      if (!sg) return;
      if (listed) {
        for (const std::string& name : *ExportedFields) {
          int32_t n;
          if (TryStrToInt(TrimView(name), n) && n >= 0 && n < sg->ColCount()) addNumber(n, nullptr);
        }
      } else {
        for (int i = 0; i < sg->ColCount(); ++i) addNumber(i, nullptr);
      }
      break;
    }
    case esCustom: {
      TCustomSource* cs = Source.CustomSource;
      if (!cs) return;
      if (listed) {
        for (const std::string& name : *ExportedFields) {
          for (int i = 0; i < cs->ColumnCount(); ++i)
            if (SameText(cs->Column(i).ColumnName(), name)) {
              addNumber(i, nullptr);
              break;
            }
        }
      } else {
        for (int i = 0; i < cs->ColumnCount(); ++i) addNumber(i, nullptr);
      }
      break;
    }
  }
}

namespace {

// The value of the first "NAME=value" line for the column, if the list has one.
bool Entry(const TStringList* list, const std::string& name, std::string& value) {
  if (!list) return false;
  int i = list->IndexOfName(name);
  if (i < 0) return false;
  value = std::string(TStringList::ValuePart((*list)[i]));
  return true;
}

int EntryInt(const std::string& v, int fallback) {
  int32_t n;
  return TryStrToInt(TrimView(v), n) ? n : fallback;
}

int PixelsToChars(int pixels, int charPixels) {
  return charPixels > 0 ? pixels / charPixels : 0;
}

}  // namespace

TExportColType TExportColumns::GuessFromSample(const std::string& sample) const {
  const TExportFormats& f = holder_.Formats;
  return GuessColType(sample, f.BooleanTrue(), f.BooleanFalse(), holder_.FormatSettings());
}

void TExportColumns::DeriveAttributes(TExportColumn& c) {
  const TSourceRef& s = Source;
  const int n = c.Number;
  // Name
  switch (s.Kind) {
    case esDataSet:
    case esDBGrid:
      c.Name = c.Field ? c.Field->FieldName : std::string();
      break;
    case esListView:
      c.Name = s.ListView->ColumnCaption(n);
      break;
    case esStringGrid:
      c.Name = std::to_string(n);
      break;
    case esCustom:
      c.Name = s.CustomSource->Column(n).ColumnName();
      break;
  }
  // ColType
  switch (s.Kind) {
    case esDataSet:
    case esDBGrid:
      c.ColType = c.Field ? FieldTypeToColType(c.Field->DataType) : ectUnknown;
      break;
    case esCustom:
      c.ColType = s.CustomSource->Column(n).ColumnType;
      break;
    case esListView:
      if (!AutoCalcStrType)
        c.ColType = ectString;
      else if (s.ListView->ItemCount() == 0)
        c.ColType = ectInteger;  // nothing to look at: the guess keeps its starting point
      else
        c.ColType =
            GuessFromSample(n == 0 ? s.ListView->ItemCaption(0) : s.ListView->SubItem(0, n - 1));
      break;
    case esStringGrid:
      c.ColType =
          AutoCalcStrType ? GuessFromSample(s.StringGrid->Cell(n, s.StringGrid->Row())) : ectString;
      break;
  }
  // Caption
  std::string v;
  if (Entry(Captions, c.Name, v)) {
    c.Caption = v;
  } else {
    switch (s.Kind) {
      case esDataSet:
        c.Caption = c.Field ? c.Field->GetDisplayLabel() : std::string();
        break;
      case esListView:
        c.Caption = s.ListView->ColumnCaption(n);
        break;
      case esDBGrid:
        c.Caption = s.DBGrid->ColumnTitle(n);
        break;
      case esStringGrid:
        c.Caption =
            CaptionRow < 0 ? "ColNo_" + std::to_string(n) : s.StringGrid->Cell(n, CaptionRow);
        break;
      case esCustom:
        c.Caption = s.CustomSource->Column(n).Caption;
        break;
    }
  }
  // Width
  if (Entry(ColumnsWidth, c.Name, v)) {
    c.Width = EntryInt(v, 0);
  } else {
    switch (s.Kind) {
      case esDataSet:
        c.Width = c.Field ? c.Field->DisplayWidth : 0;
        break;
      case esListView:
        c.Width = s.ListView->ColumnWidth(n) / 8;
        break;
      case esDBGrid:
        c.Width = PixelsToChars(s.DBGrid->ColumnWidth(n), s.DBGrid->TextWidth("X"));
        break;
      case esStringGrid:
        c.Width = PixelsToChars(s.StringGrid->ColWidth(n), s.StringGrid->TextWidth("X"));
        break;
      case esCustom:
        c.Width = s.CustomSource->Column(n).Width;
        break;
    }
  }
  // Format
  c.Format.clear();
  if (Formats) {
    switch (c.ColType) {
      case ectInteger:
      case ectBigint:
        c.Format = Formats->IntegerFormat();
        break;
      case ectFloat:
        c.Format = Formats->FloatFormat();
        break;
      case ectCurrency:
        c.Format = Formats->CurrencyFormat();
        break;
      case ectDate:
        c.Format = Formats->DateFormat();
        break;
      case ectTime:
        c.Format = Formats->TimeFormat();
        break;
      case ectDateTime:
        c.Format = Formats->DateTimeFormat();
        break;
      default:
        break;
    }
  }
  if (Entry(UserFormats, c.Name, v)) c.Format = v;
  // ColAlign: only formats that publish ColumnsAlign align by type.
  c.ColAlign = ecaLeft;
  if (ColumnsAlign) {
    if (Entry(ColumnsAlign, c.Name, v)) {
      char first =
          v.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(v[0])));
      c.ColAlign = first == 'C' ? ecaCenter : first == 'R' ? ecaRight : ecaLeft;
    } else if (c.ColType == ectInteger || c.ColType == ectBigint || c.ColType == ectFloat ||
               c.ColType == ectCurrency) {
      c.ColAlign = ecaRight;
    } else if (c.ColType == ectBoolean) {
      c.ColAlign = ecaCenter;
    }
  }
  // SQLType
  c.SQLType = (s.Kind == esDataSet || s.Kind == esDBGrid) ? FieldSQLType(c.Field)
                                                          : SQLTypeOf(c.ColType, c.Width);
  c.IsString = c.ColType == ectString;
  // Length
  c.Length = 0;
  if (c.IsString) {
    if ((s.Kind == esListView || s.Kind == esStringGrid) && Entry(ColumnsLength, c.Name, v)) {
      c.Length = EntryInt(v, 254);
    } else {
      switch (s.Kind) {
        case esDataSet:
        case esDBGrid:
          c.Length = std::min(c.Field ? c.Field->Size : 0, 254);
          break;
        case esListView:
        case esStringGrid:
          c.Length = 254;
          break;
        case esCustom:
          c.Length = std::min(s.CustomSource->Column(n).Size, 254);
          break;
      }
    }
  }
  c.AllowFormat = c.ColType >= ectInteger && c.ColType <= ectDateTime;
  c.IsNumeric = c.ColType == ectInteger || c.ColType == ectBigint || c.ColType == ectFloat ||
                c.ColType == ectCurrency;
  c.IsBlob = (s.Kind == esDataSet || s.Kind == esDBGrid) && c.Field && c.Field->IsBlob();
  c.IsVisible = (s.Kind == esDataSet || s.Kind == esDBGrid) && c.Field ? c.Field->Visible : true;
}

void TExportColumns::AutoCalcColWidth() {
  for (auto& c : items_) c->Width = std::max(c->Width, static_cast<int>(TextLength(c->Caption)));
  std::string text;
  ForEachRecord([&](int counter) {
    for (int i = 0; i < Count(); ++i) {
      GetRawText(i, counter, text);
      TExportColumn& c = (*this)[i];
      c.Width = std::max(c.Width, static_cast<int>(TextLength(text)));
    }
    return true;
  });
}

void TExportColumns::ForEachRecord(const std::function<bool(int counter)>& visit) {
  const TSourceRef& s = Source;
  TBookmark mark = s.GetBookmark();
  try {
    s.First();
    int skipped = 0;
    for (int i = 0; i < s.SkipRecCount; ++i) s.Next(skipped);
    RecordCounter = 0;
    while (!s.Eof(RecordCounter) && (s.ExportRecCount == 0 || RecordCounter < s.ExportRecCount)) {
      if (!visit(RecordCounter)) break;
      s.Next(RecordCounter);
      if (OnFetchedRecord) OnFetchedRecord(&holder_, RecordCounter);
    }
    s.GotoBookmark(mark);
  } catch (...) {
    s.FreeBookmark(mark);
    throw;
  }
  s.FreeBookmark(mark);
}

// ---- row buffer -------------------------------------------------------------------------------

TExportColumn& TExportCol::Column() const {
  return row_->Holder().Columns()[ColumnIndex];
}

void TExportCol::GetExportedValue(bool format, std::string& out) {
  TExport& h = row_->Holder();
  TExportColumns& cols = h.Columns();
  if (ColumnIndex >= 0 && cols.IsNull(ColumnIndex)) {
    h.EscapeString(h.Formats.NullString(), Data);
  } else if (format && ColumnIndex >= 0) {
    FormatValue(Data, cols[ColumnIndex], true, h, out);
    Data.swap(out);
  }
  h.GetColData(*this, out);
}

void TExportRow::Add(std::string_view name, int columnIndex) {
  auto c = std::make_unique<TExportCol>();
  c->Name = Trim(name);
  c->ColumnIndex = columnIndex;
  c->row_ = this;
  cells_.push_back(std::move(c));
}

void TExportRow::Clear() {
  cells_.clear();
  index_.clear();
  cellOfColumn_.clear();
}

void TExportRow::Delete(int index) {
  cells_.erase(cells_.begin() + index);
  IndexNames();
}

void TExportRow::IndexNames() {
  index_.clear();
  for (int i = 0; i < Count(); ++i) index_.emplace_back(UpperCaseAscii((*this)[i].Name), i);
  // Stable, so that of two columns with one name the first receives the values.
  std::stable_sort(index_.begin(), index_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  cellOfColumn_.clear();
  TExportColumns& cols = holder_.Columns();
  for (int i = 0; i < cols.Count(); ++i) cellOfColumn_.push_back(IndexOfName(Trim(cols[i].Name)));
}

int TExportRow::IndexOfName(std::string_view name) const {
  std::string key = UpperCaseAscii(name);
  auto it = std::lower_bound(index_.begin(), index_.end(), key,
                             [](const auto& e, const std::string& k) { return e.first < k; });
  return (it != index_.end() && it->first == key) ? it->second : -1;
}

int TExportRow::CellOfColumn(int columnIndex) const {
  return columnIndex >= 0 && columnIndex < static_cast<int>(cellOfColumn_.size())
             ? cellOfColumn_[static_cast<size_t>(columnIndex)]
             : -1;
}

void TExportRow::SetValue(std::string_view name, std::string_view value) {
  int i = IndexOfName(TrimView(name));
  if (i < 0) return;
  (*this)[i].Data.assign(TrimView(value));
}

}  // namespace morvale
