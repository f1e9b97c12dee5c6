#include "app/tools/views.h"

#include <algorithm>
#include <iterator>

#include "app/helpers/helpers.h"
#include "export/core/codepage.h"

namespace morvale {

namespace {

// Indexed by TFieldType code.
const char* const kTypeNames[] = {
    "Unknown",    "String",     "SmallInt", "Integer",     "Word",      "Boolean",
    "Float",      "Currency",   "BCD",      "Date",        "Time",      "DateTime",
    "Bytes",      "VarBytes",   "AutoInc",  "Blob",        "Memo",      "Graphic",
    "FmtMemo",    "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor",    "FixedChar",
    "WideString", "LargeInt",   "ADT",      "Array",       "Reference", "DataSet",
    "OraBlob",    "OraClob",    "Variant",  "Interface",   "Dispatch",  "Guid"};
static_assert(std::size(kTypeNames) == ftGuid + 1);

// The row view leaves out what has no readable one-line text.
bool HiddenInRowView(TFieldType t) {
  switch (t) {
    case ftUnknown:
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftArray:
      return true;
    default:
      return false;
  }
}

}  // namespace

const char* FieldTypeDisplayName(TFieldType t) {
  int i = static_cast<int>(t);
  return i >= 0 && i < static_cast<int>(std::size(kTypeNames)) ? kTypeNames[i] : kTypeNames[0];
}

TStringList RowViewLines(const TDataSet& ds) {
  TStringList lines;
  std::string value;
  // An empty result has no current record: every field reads as null.
  const bool noRecord = ds.Eof();
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const TField& f = ds.Fields(i);
    if (HiddenInRowView(f.DataType)) continue;
    if (noRecord || f.IsNull()) {
      value = "null";
    } else {
      f.GetText(value);
      if (value.empty()) value = " ";
    }
    lines.SetValue(f.FieldName, value);
  }
  return lines;
}

std::vector<TStructureRow> StructureRows(const TDataSet& ds) {
  std::vector<TStructureRow> rows;
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const TField& f = ds.Fields(i);
    std::string type = TrimSpaces(FieldTypeDisplayName(f.DataType));
    int size = UpperText(type) == "STRING" ? f.Size : f.DataSize;
    rows.push_back({TrimSpaces(f.FieldName), type, std::to_string(size)});
  }
  return rows;
}

int FitColumnChars(const std::vector<std::string>& cells) {
  size_t longest = 0;
  for (const std::string& c : cells) longest = std::max(longest, TextLength(c));
  return static_cast<int>(std::clamp<size_t>(longest, 1, 100)) + 1;
}

int FitColumnWidth(int samplePixels, int screenWidth) {
  int half = screenWidth / 2;
  return samplePixels > half ? half + half / 2 : samplePixels;
}

}  // namespace morvale
