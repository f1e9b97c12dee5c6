#include "export/core/columns.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/export.h"
#include "export/core/switches.h"

namespace morvale {

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
      // A string whose type sets no length (TEXT) holds texts of any length: CHAR of the size it
      // is shown with would refuse the longer ones.
      if (f->Unbounded) return "TEXT";
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
  return source_->IsNull((*this)[index]);
}

void TExportColumns::ResetTags() {
  for (auto& c : items_) c->Tag = 0;
}

bool TExportColumns::HasBlobColumns() const {
  return std::any_of(items_.begin(), items_.end(), [](const auto& c) { return c->IsBlob; });
}

void TExportColumns::GetRawText(int index, int counter, std::string& out) const {
  source_->GetText((*this)[index], counter, out);
}

void TExportColumns::SetSourceRef(const TSourceRef& ref) {
  sourceRef_ = ref;
  source_ = MakeSourceAdapter(ref);
  if (!source_) source_ = NoSourceAdapter();
}

void TExportColumns::ReadHolderSettings() {
  TExport& h = holder_;
  auto pub = [&h](TPublishedSwitch name) { return Publishes(h, name); };
  auto list = [&](TPublishedSwitch name, const TStringList& l) { return pub(name) ? &l : nullptr; };
  TSourceRef ref = h.SourceRef();
  TSourceRef source;
  if (pub("ExportSource")) source.Kind = ref.Kind;
  if (pub("DataSet")) source.DataSet = ref.DataSet;
  if (pub("CustomSource")) source.CustomSource = ref.CustomSource;
  if (pub("ListView")) source.ListView = ref.ListView;
  if (pub("DBGrid")) source.DBGrid = ref.DBGrid;
  if (pub("StringGrid")) source.StringGrid = ref.StringGrid;
  if (pub("SkipRecCount")) source.SkipRecCount = h.SkipRecCount;
  if (pub("ExportRecCount")) source.ExportRecCount = h.ExportRecCount;
  SetSourceRef(source);
  ExportedFields = list("ExportedFields", h.ExportedFields);
  UserFormats = list("UserFormats", h.UserFormats);
  ColumnsWidth = list("ColumnsWidth", h.ColumnsWidth);
  Captions = list("Captions", h.Captions);
  ColumnsAlign = list("ColumnsAlign", h.ColumnsAlign);
  ColumnsLength = list("ColumnsLength", h.ColumnsLength);
  Formats = pub("Formats") ? &h.Formats : nullptr;
  ExactFloats = Formats && h.ExactFloats;
  ExactCurrency = Formats && h.ExactCurrency;
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
  TColumnChoice choice;
  choice.Names = ExportedFields;
  choice.OnlyVisible = OnlyVisibleFields;
  choice.AllowBlobs = allowBlobs;
  source_->ListColumns(choice, [this](int number, TField* field) {
    TExportColumn& c = Add();
    c.Number = number;
    c.Field = field;
  });
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

}  // namespace

TExportColType TExportColumns::GuessFromSample(const std::string& sample) const {
  const TExportFormats& f = holder_.Formats;
  return GuessColType(sample, f.BooleanTrue(), f.BooleanFalse(), holder_.FormatSettings());
}

void TExportColumns::DeriveAttributes(TExportColumn& c) {
  const TSourceAdapter& s = *source_;
  c.Name = s.ColumnName(c);
  TColTypeGuess guess;
  if (AutoCalcStrType)
    guess = [this](const std::string& sample) { return GuessFromSample(sample); };
  c.ColType = s.ColumnType(c, guess);
  std::string v;
  c.Caption = Entry(Captions, c.Name, v) ? v : s.ColumnCaption(c, CaptionRow);
  c.Width = Entry(ColumnsWidth, c.Name, v) ? EntryInt(v, 0) : s.ColumnWidth(c);
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
  c.ExactDigits =
      (c.ColType == ectFloat && ExactFloats) || (c.ColType == ectCurrency && ExactCurrency);
  if (Entry(UserFormats, c.Name, v)) {
    c.Format = v;
    c.ExactDigits = false;
  }
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
  c.SQLType = s.ColumnSQLType(c);
  c.IsString = c.ColType == ectString;
  c.Length = 0;
  if (c.IsString)
    c.Length = !s.HasColumnSizes() && Entry(ColumnsLength, c.Name, v) ? EntryInt(v, 254)
                                                                      : s.ColumnLength(c);
  c.AllowFormat = c.ColType >= ectInteger && c.ColType <= ectDateTime;
  c.IsNumeric = c.ColType == ectInteger || c.ColType == ectBigint || c.ColType == ectFloat ||
                c.ColType == ectCurrency;
  c.IsBlob = s.ReadsFields() && c.Field && c.Field->IsBlob();
  c.IsVisible = s.ReadsFields() && c.Field ? c.Field->Visible : true;
}

void ForEachWord(std::string_view text, const std::function<void(std::string_view)>& visit) {
  size_t i = 0;
  while (i < text.size()) {
    i = text.find_first_not_of(" \t\r\n", i);
    if (i == std::string_view::npos) break;
    size_t end = text.find_first_of(" \t\r\n-", i);
    if (end == std::string_view::npos)
      end = text.size();
    else if (text[end] == '-')
      ++end;  // the hyphen stays with the piece before it
    visit(text.substr(i, end - i));
    i = end;
  }
}

namespace {

// Keeps the kLongWords longest distinct words of `text` in `words`, longest first.
void KeepLongWords(std::string_view text, std::vector<std::string>& words) {
  ForEachWord(text, [&words](std::string_view word) {
    const size_t len = TextLength(word);
    if (words.size() == TExportColumns::kLongWords && len <= TextLength(words.back())) return;
    if (std::find(words.begin(), words.end(), word) != words.end()) return;
    auto at = std::find_if(words.begin(), words.end(),
                           [len](const std::string& w) { return TextLength(w) < len; });
    words.insert(at, std::string(word));
    if (words.size() > TExportColumns::kLongWords) words.pop_back();
  });
}

}  // namespace

void TExportColumns::AutoCalcColWidth() {
  for (auto& c : items_) {
    c->Width = std::max(c->Width, static_cast<int>(TextLength(c->Caption)));
    c->LongWords.clear();
  }
  std::string text;
  ForEachRecord([&](int counter) {
    for (int i = 0; i < Count(); ++i) {
      GetRawText(i, counter, text);
      TExportColumn& c = (*this)[i];
      c.Width = std::max(c.Width, static_cast<int>(TextLength(text)));
      if (MeasureWords) KeepLongWords(text, c.LongWords);
      if (MeasureText) MeasureText(i, text);
    }
    return true;
  });
}

void TExportColumns::ForEachRecord(const std::function<bool(int counter)>& visit) {
  const TSourceAdapterPtr held = source_;  // the visitor may refill the columns
  // The records the run writes: the counts as the holder publishes them, where it starts and
  // whether it takes one record as the run takes them.
  TRecordRange range = holder_.RecordRange();
  range.SkipRecCount = sourceRef_.SkipRecCount;
  range.ExportRecCount = sourceRef_.ExportRecCount;
  TRecordWalk walk(*held, range, RecordCounter);
  walk.OnNext = [this](int counter) {
    if (OnFetchedRecord) OnFetchedRecord(&holder_, counter);
  };
  // An abort request ends the run after the pass whatever OnStopExport would answer, so the pass
  // need not read on to its end first.
  walk.Stopped = [this] { return holder_.Aborted(); };
  walk.Pass(visit);
}

// ---- row buffer -------------------------------------------------------------------------------

TExportColumn& TExportCol::Column() const {
  return row_->Holder().Columns()[ColumnIndex];
}

void TExportCol::RenderText() {
  Column().Field->GetText(Data);
  TrimInPlace(Data);
  textRendered_ = true;
}

void TExportCol::GetExportedValue(bool format, std::string& out) {
  ResolveData(format, out);
  row_->Holder().GetColData(*this, out);
}

void TExportCol::ResolveData(bool format, std::string& scratch) {
  TExport& h = row_->Holder();
  TExportColumns& cols = h.Columns();
  if (Stored) {
    if (Value.Kind == TValueKind::Null) {
      Stored = false;  // from here on Data holds the cell's text
      h.EscapeString(h.Formats.NullString(), Data);
    } else if (format) {
      Stored = false;
      // The value is not Data's bytes, so it renders straight into Data.
      FormatFieldValue(Value, Column(), true, h, Data);
    } else if (!h.StoresValues()) {
      Text();
      Stored = false;
    }
    // Else the value goes on to the format's GetColData, which takes it as it is.
  } else if (ColumnIndex >= 0 && cols.IsNull(ColumnIndex)) {
    h.EscapeString(h.Formats.NullString(), Data);
  } else if (format && ColumnIndex >= 0) {
    FormatValue(Data, cols[ColumnIndex], true, h, scratch);
    Data.swap(scratch);
  }
}

bool TExportCol::StoredTextAsItStands(std::string_view& text) const {
  if (!Stored || (Value.Kind != TValueKind::Text && Value.Kind != TValueKind::Boolean))
    return false;
  // FormatFieldValue gives texts and flags to FormatValue, which copies them trimmed into a text
  // or a Boolean column.
  const TExportColType type = Column().ColType;
  if (type != ectString && type != ectBoolean) return false;
  // A format that escapes its texts changes them on the way; flags keep their words in any.
  if (type == ectString && !row_->Holder().EscapesNothing()) return false;
  text = TrimView(Value.Text);
  return true;
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

void TExportRow::SetValue(std::string_view name, std::string_view value) {
  int i = IndexOfName(TrimView(name));
  if (i < 0) return;
  (*this)[i].Data.assign(TrimView(value));
}

}  // namespace morvale
