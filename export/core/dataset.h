// The open query result as the engine sees it: a cursor over records whose fields give their
// values as text. The database layer (app/engine) implements it over SQLite and Qt SQL; tests
// use the in-memory dataset of tests/support.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/classes.h"

namespace morvale {

// Field type codes; the numeric values are the codes that stored settings and tests rely on.
enum TFieldType : int {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid
};

const char* FieldTypeName(TFieldType t);  // "ftString", ...

// The field classes whose values are BLOBs (binary, memo, graphic and their kin).
bool IsBlobFieldType(TFieldType t);

class TDataSet;
struct TFormatSettings;

// A field's value as the source holds it, so that a format stores it or renders it by its own
// formats without reading a text back. Integer of any size, Float a double, DateTime serial days
// with the fraction of a second; Boolean with its word in Text ("True", "False"), Text the bytes
// in Text. Decimal is a Float whose source is an exact decimal: Text holds its digits as the
// server sent them ("-12.3400", '.' as the point), with more digits and its scale, for a
// rendering that keeps them. A DateTime read from the source's ISO 8601 text carries that text in
// Text, so that a format may take all its digits (microseconds). Text views bytes the dataset
// holds (its window of rows, or the field's own buffer) and stays valid until the dataset moves.
enum class TValueKind : uint8_t { Null, Integer, Float, DateTime, Boolean, Text, Decimal };

struct TFieldValue {
  TValueKind Kind = TValueKind::Null;
  union {
    int64_t Int;
    double Float;  // Float and DateTime (serial days)
    bool Bool;
  };
  std::string_view Text;  // Text, Boolean and Decimal
  TFieldValue() : Int(0) {}
};

class TField : public TObject {
 public:
  std::string FieldName;
  TFieldType DataType = ftUnknown;
  int Size = 0;            // declared size: characters for strings, 0 for fixed-size types
  int Precision = 0;       // digits of a BCD number (its Size holds the decimals); 0 when unknown
  bool Unbounded = false;  // a string whose type sets no length (TEXT): Size is only a default
  int DataSize = 0;        // bytes one value takes in a record buffer
  int DisplayWidth = 0;    // characters, writable
  std::string DisplayLabel;
  bool Visible = true;
  int Index = 0;

  virtual bool IsNull() const = 0;
  // The value's text in the owner's format settings; NULL gives the empty text.
  std::string AsString() const {
    std::string s;
    GetText(s);
    return s;
  }
  // Same as AsString into a caller's buffer, so the export loop can reuse its capacity.
  virtual void GetText(std::string& out) const = 0;
  bool IsBlob() const { return IsBlobFieldType(DataType); }
  // True when GetStoredValue gives this field's values, whatever the format settings.
  virtual bool HasStoredValues() const { return false; }
  // The value of the current record as the source holds it (see TFieldValue); GetText is this
  // value rendered with the owner's format settings.
  virtual void GetStoredValue(TFieldValue& out) const { out = TFieldValue(); }
  // A label set to the empty text reads back as the field name.
  const std::string& GetDisplayLabel() const {
    return DisplayLabel.empty() ? FieldName : DisplayLabel;
  }
};

using TBookmark = int64_t;  // an opaque position; only the dataset that gave it reads it

class TDataSet : public TComponent {
 public:
  virtual bool Active() const = 0;
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual bool Eof() const = 0;
  virtual bool IsEmpty() = 0;
  virtual int RecordCount() = 0;
  virtual int FieldCount() const = 0;
  virtual TField& Fields(int i) const = 0;
  virtual TBookmark GetBookmark() = 0;
  virtual void GotoBookmark(TBookmark b) = 0;
  virtual void FreeBookmark(TBookmark) {}
  virtual void DisableControls() { ++disableCount_; }
  virtual void EnableControls() {
    if (disableCount_ > 0) --disableCount_;
  }
  bool ControlsDisabled() const { return disableCount_ > 0; }

  // nullptr when no field has that name (case-insensitive).
  TField* FindField(std::string_view name) const;
  // Raises "Field '%s' not found".
  TField& FieldByName(std::string_view name) const;

 private:
  int disableCount_ = 0;
};

}  // namespace morvale
