#include "export/parquet/exportparquet.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/properties.h"
#include "export/core/translate.h"
#include "export/parquet/file.h"
#include "export/parquet/values.h"

namespace morvale {

using parquet::TColumnSchema;
using parquet::TLogical;
using parquet::TPhysical;

namespace {

// DuckDB and the other engines keep a DECIMAL in at most 38 digits (128 bits).
constexpr int kMaxDecimalDigits = 38;

TColumnSchema Column(TPhysical physical, TLogical logical, int bitWidth = 0) {
  TColumnSchema s;
  s.Physical = physical;
  s.Logical = logical;
  s.BitWidth = bitWidth;
  return s;
}

TColumnSchema Text() {
  TColumnSchema s = Column(TPhysical::kByteArray, TLogical::kString);
  s.Dictionary = true;
  return s;
}

// Sources without fields (grids, list views) give texts whose column type was guessed.
TColumnSchema SchemaOfColType(TExportColType type) {
  switch (type) {
    case ectInteger:
    case ectBigint:
      return Column(TPhysical::kInt64, TLogical::kInteger, 64);
    case ectFloat:
    case ectCurrency:
      return Column(TPhysical::kDouble, TLogical::kNone);
    case ectDate:
      return Column(TPhysical::kInt32, TLogical::kDate);
    case ectTime:
      return Column(TPhysical::kInt64, TLogical::kTime);
    case ectDateTime:
      return Column(TPhysical::kInt64, TLogical::kTimestamp);
    case ectBoolean:
      return Column(TPhysical::kBoolean, TLogical::kNone);
    default:
      return Text();
  }
}

bool ParseInt(std::string_view s, int64_t& v) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// An integral double that an int64 holds exactly.
bool WholeNumber(double d, int64_t& v) {
  if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18) || std::trunc(d) != d)
    return false;
  v = static_cast<int64_t>(d);
  return true;
}

}  // namespace

struct TExportParquet::TPlan {
  TColumnSchema Schema;
  int Cell = -1;
  int Column = -1;
  const TField* Field = nullptr;  // read through GetStoredValue
  bool Beyond16 = false;          // an INTEGER(16) column met a wider value
};

TExportParquet::TExportParquet() {
  escapesNothing_ = true;
}

TExportParquet::~TExportParquet() = default;

const TPropList& TExportParquet::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportText::ClassProps());
    PropBuilder<TExportParquet>(l)
        .Strings("Captions", &TExport::Captions)
        .Enum("Compression", "TParquetCompression", &TExportParquet::Compression,
              {"pcZstd", "pcNone"})
        .Enum("TimeUnit", "TParquetTimeUnit", &TExportParquet::TimeUnit,
              {"ptuMicros", "ptuMillis"});
    return l;
  }();
  return list;
}

TColumnSchema TExportParquet::SchemaOf(const TExportColumn& column) const {
  TColumnSchema s;
  if (!column.Field) {
    s = SchemaOfColType(column.ColType);
  } else {
    const TField& f = *column.Field;
    switch (f.DataType) {
      case ftSmallint:
        s = Column(TPhysical::kInt32, TLogical::kInteger, 16);
        break;
      case ftInteger:
      case ftWord:
      case ftAutoInc:
        s = Column(TPhysical::kInt32, TLogical::kInteger, 32);
        break;
      case ftLargeint:
        s = Column(TPhysical::kInt64, TLogical::kInteger, 64);
        break;
      case ftFloat:
      case ftCurrency:
        s = Column(TPhysical::kDouble, TLogical::kNone);
        break;
      case ftBCD:
        // Without its declared digits a NUMERIC may hold anything: a double keeps it best.
        if (f.Precision < 1 || f.Precision > kMaxDecimalDigits || f.Size < 0 ||
            f.Size > f.Precision) {
          s = Column(TPhysical::kDouble, TLogical::kNone);
          break;
        }
        s.Logical = TLogical::kDecimal;
        s.Precision = f.Precision;
        s.Scale = f.Size;
        s.Physical = f.Precision <= 9    ? TPhysical::kInt32
                     : f.Precision <= 18 ? TPhysical::kInt64
                                         : TPhysical::kFixedLenByteArray;
        if (s.Physical == TPhysical::kFixedLenByteArray)
          s.TypeLength = parquet::DecimalBytes(f.Precision);
        break;
      case ftDate:
        s = Column(TPhysical::kInt32, TLogical::kDate);
        break;
      case ftTime:
        s = Column(TPhysical::kInt64, TLogical::kTime);
        break;
      case ftDateTime:
        s = Column(TPhysical::kInt64, TLogical::kTimestamp);
        break;
      case ftBoolean:
        s = Column(TPhysical::kBoolean, TLogical::kNone);
        break;
      case ftBytes:
      case ftVarBytes:
      case ftBlob:
      case ftGraphic:
      case ftParadoxOle:
      case ftDBaseOle:
      case ftTypedBinary:
      case ftOraBlob:
        s = Column(TPhysical::kByteArray, TLogical::kNone);
        break;
      default:
        s = Text();
        break;
    }
  }
  if (s.Logical == TLogical::kTime || s.Logical == TLogical::kTimestamp) {
    s.Millis = TimeUnit == ptuMillis;
    // A time of day in milliseconds fits 32 bits, and readers expect it there.
    if (s.Millis && s.Logical == TLogical::kTime) s.Physical = TPhysical::kInt32;
  }
  s.Name = column.Caption.empty() ? column.Name : column.Caption;
  return s;
}

void TExportParquet::BeginExport() {
  TExportText::BeginExport();
  plans_.clear();
  schema_.clear();
  for (int i = 0; i < Row().Count(); ++i) {
    TPlan plan;
    plan.Cell = i;
    plan.Column = Row()[i].ColumnIndex;
    if (plan.Column < 0) continue;
    const TExportColumn& column = Columns()[plan.Column];
    plan.Schema = SchemaOf(column);
    if (column.Field && column.Field->HasStoredValues()) plan.Field = column.Field;
    // Column names are UTF-8 and unique, or a reader cannot address them.
    ToUtf8(plan.Schema.Name, utf8_);
    const std::string base = utf8_.empty() ? "column" + std::to_string(i + 1) : utf8_;
    std::string name = base;
    for (int n = 2;; ++n) {
      bool taken = false;
      for (const TPlan& p : plans_) taken = taken || SameText(p.Schema.Name, name);
      if (!taken) break;
      name = base + "_" + std::to_string(n);
    }
    plan.Schema.Name = name;
    schema_.push_back(plan.Schema);
    plans_.push_back(std::move(plan));
  }
  // A handler that reads or changes the row's texts before they are written gets texts.
  texts_ = static_cast<bool>(OnBeforeExportRow);
  file_ = std::make_unique<parquet::TParquetFile>(
      Writer()->Stream(), schema_,
      Compression == pcNone ? parquet::TCodec::kUncompressed : parquet::TCodec::kZstd);
}

void TExportParquet::FillRow() {
  if (texts_) return TExportText::FillRow();
  for (const TPlan& p : plans_) {
    if (p.Field) continue;
    TExportCol& cell = Row()[p.Cell];
    Columns().GetRawText(p.Column, RecordCounter, cell.Data);
    TrimInPlace(cell.Data);
  }
}

void TExportParquet::WriteDataRow() {
  TFieldValue value;
  for (size_t i = 0; i < plans_.size(); ++i) {
    TPlan& p = plans_[i];
    if (p.Field && !texts_) {
      p.Field->GetStoredValue(value);
    } else {
      const TExportCol& cell = Row()[p.Cell];
      if (cell.Data.empty() && Columns().IsNull(p.Column))
        value = TFieldValue();
      else if (!ReadText(p, cell.Data, value))
        Refuse(p, value);
    }
    WriteValue(static_cast<int>(i), p, value);
  }
  file_->EndRow();
}

void TExportParquet::EndExport() {
  if (file_) {
    // An INTEGER(16) column that met wider values says what it holds.
    for (size_t i = 0; i < plans_.size(); ++i)
      if (plans_[i].Beyond16) schema_[i].BitWidth = 32;
    file_->Finish(schema_, "Morvale " MORVALE_VERSION);
    file_.reset();
  }
  TExportText::EndExport();
}

bool TExportParquet::ReadText(const TPlan& plan, std::string_view text, TFieldValue& value) {
  value = TFieldValue();
  value.Kind = TValueKind::Text;
  value.Text = text;
  const TColumnSchema& s = plan.Schema;
  switch (s.Logical) {
    case TLogical::kDate:
    case TLogical::kTime:
    case TLogical::kTimestamp: {
      parquet::TDayTime iso;
      if (parquet::DayTimeFromIso(text, iso)) return true;  // read exactly where it is written
      TDateTime dt;
      if (!TryStrToDateTime(text, dt, FormatSettings())) return false;
      value.Kind = TValueKind::DateTime;
      value.Float = dt;
      value.Text = {};
      return true;
    }
    case TLogical::kInteger:
    case TLogical::kDecimal:
      return true;  // digits are read as they stand
    default:
      break;
  }
  if (s.Physical == TPhysical::kDouble) {
    double v;
    if (!TryStrToFloat(text, v, FormatSettings())) return false;
    value.Kind = TValueKind::Float;
    value.Float = v;
  } else if (s.Physical == TPhysical::kBoolean) {
    const std::string_view t = TrimView(text);
    value.Kind = TValueKind::Boolean;
    if (SameText(t, Formats.BooleanTrue()) || SameText(t, "true") || t == "1")
      value.Bool = true;
    else if (SameText(t, Formats.BooleanFalse()) || SameText(t, "false") || t == "0")
      value.Bool = false;
    else
      return false;
  }
  return true;
}

void TExportParquet::Refuse(const TPlan& plan, const TFieldValue& value) const {
  std::string shown;
  switch (value.Kind) {
    case TValueKind::Integer:
      shown = std::to_string(value.Int);
      break;
    case TValueKind::Float:
    case TValueKind::DateTime:
      shown = PropDoubleText(value.Float);
      break;
    default:
      shown.assign(value.Text);
  }
  if (shown.size() > 60) shown = shown.substr(0, 60) + "...";
  throw Exception(Format(TranslateText("Engine",
                                       "Record %s: the value '%s' does not fit the Parquet "
                                       "column '%s' of its type"),
                         {std::to_string(RecordCounter + 1), shown, plan.Schema.Name}));
}

void TExportParquet::WriteValue(int index, TPlan& plan, const TFieldValue& value) {
  parquet::TColumnChunk& out = file_->Column(index);
  const TColumnSchema& s = plan.Schema;
  // An empty text where a number, date or flag belongs (SQLite takes one anywhere) holds no
  // value of the column's type: it is written as the NULL it stands for.
  if (value.Kind == TValueKind::Null ||
      (value.Kind == TValueKind::Text && s.Physical != TPhysical::kByteArray &&
       TrimView(value.Text).empty()))
    return out.AddNull();
  int64_t i = 0;
  switch (s.Logical) {
    case TLogical::kInteger: {
      bool ok = value.Kind == TValueKind::Integer   ? (i = value.Int, true)
                : value.Kind == TValueKind::Float   ? WholeNumber(value.Float, i)
                : value.Kind == TValueKind::Decimal ? WholeNumber(value.Float, i)
                : value.Kind == TValueKind::Boolean ? (i = value.Bool, true)
                : value.Kind == TValueKind::Text    ? ParseInt(TrimView(value.Text), i)
                                                    : false;
      if (!ok) Refuse(plan, value);
      if (s.Physical == TPhysical::kInt64) return out.AddInt64(i);
      if (i < std::numeric_limits<int32_t>::min() || i > std::numeric_limits<int32_t>::max())
        Refuse(plan, value);
      if (i < -32768 || i > 32767) plan.Beyond16 = true;
      return out.AddInt32(static_cast<int32_t>(i));
    }
    case TLogical::kDecimal: {
      std::string_view digits;
      if (value.Kind == TValueKind::Decimal || value.Kind == TValueKind::Text)
        digits = TrimView(value.Text);
      else if (value.Kind == TValueKind::Float)
        digits = parquet::PlainDigits(value.Float, digits_);
      else if (value.Kind == TValueKind::Integer)
        digits = digits_ = std::to_string(value.Int);
      parquet::TInt128 unscaled;
      if (!parquet::UnscaledDecimal(digits, s.Scale, s.Precision, unscaled)) Refuse(plan, value);
      if (s.Physical == TPhysical::kInt32) return out.AddInt32(static_cast<int32_t>(unscaled));
      if (s.Physical == TPhysical::kInt64) return out.AddInt64(static_cast<int64_t>(unscaled));
      // Big-endian two's complement in the column's width.
      scratch_.assign(static_cast<size_t>(s.TypeLength), '\0');
      for (int b = s.TypeLength - 1; b >= 0; --b, unscaled >>= 8)
        scratch_[static_cast<size_t>(b)] = static_cast<char>(unscaled & 0xFF);
      return out.AddBytes(scratch_);
    }
    case TLogical::kDate:
    case TLogical::kTime:
    case TLogical::kTimestamp: {
      parquet::TDayTime t;
      bool ok = (value.Kind == TValueKind::DateTime || value.Kind == TValueKind::Text) &&
                !value.Text.empty() && parquet::DayTimeFromIso(value.Text, t);
      if (!ok && value.Kind == TValueKind::DateTime)
        ok = parquet::DayTimeFromSerial(value.Float, t);
      if (!ok) Refuse(plan, value);
      if (s.Logical == TLogical::kDate) {
        if (t.Days < std::numeric_limits<int32_t>::min() ||
            t.Days > std::numeric_limits<int32_t>::max())
          Refuse(plan, value);
        return out.AddInt32(static_cast<int32_t>(t.Days));
      }
      const int64_t unit = s.Millis ? 1000 : 1;
      if (s.Logical == TLogical::kTime) {
        if (s.Physical == TPhysical::kInt32)
          return out.AddInt32(static_cast<int32_t>(t.Micros / unit));
        return out.AddInt64(t.Micros / unit);
      }
      // Floor division keeps the time of day of a moment before 1970 in milliseconds.
      const int64_t micros = t.Days * 86400000000LL + t.Micros;
      return out.AddInt64(micros >= 0 || unit == 1 ? micros / unit
                                                   : -((-micros + unit - 1) / unit));
    }
    default:
      break;
  }
  switch (s.Physical) {
    case TPhysical::kDouble:
      if (value.Kind == TValueKind::Float || value.Kind == TValueKind::Decimal)
        return out.AddDouble(value.Float);
      if (value.Kind == TValueKind::Integer) return out.AddDouble(static_cast<double>(value.Int));
      if (value.Kind == TValueKind::Text) {
        double d;
        if (TryStrToFloat(value.Text, d, FormatSettings())) return out.AddDouble(d);
      }
      Refuse(plan, value);
    case TPhysical::kBoolean:
      if (value.Kind == TValueKind::Boolean) return out.AddBool(value.Bool);
      if (value.Kind == TValueKind::Integer) return out.AddBool(value.Int != 0);
      if (value.Kind == TValueKind::Float) return out.AddBool(value.Float != 0);
      Refuse(plan, value);
    default:
      break;
  }
  // Texts and bytes; a number or a date in a text column (SQLite keeps what it is given) is
  // written as its source text or its plain digits.
  std::string_view bytes = value.Text;
  if (value.Kind == TValueKind::Integer) {
    bytes = digits_ = std::to_string(value.Int);
  } else if ((value.Kind == TValueKind::Float || value.Kind == TValueKind::DateTime) &&
             bytes.empty()) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value.Float);
    bytes = digits_.assign(buf, r.ptr);
  }
  if (s.Logical != TLogical::kString) return out.AddBytes(bytes);
  ToUtf8(bytes, utf8_);
  out.AddBytes(utf8_);
}

}  // namespace morvale
