#include "app/helpers/records.h"

namespace morvale {

bool HiddenInRowView(TFieldType type) {
  switch (type) {
    case ftUnknown: case ftBytes: case ftVarBytes: case ftBlob: case ftMemo: case ftGraphic:
    case ftFmtMemo: case ftArray:
      return true;
    default:
      return false;
  }
}

TStringList RecordPairs(const TDataSet& dataSet) {
  TStringList pairs;
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    const TField& f = dataSet.Fields(i);
    if (HiddenInRowView(f.DataType)) continue;
    std::string value = f.IsNull() ? "null" : f.AsString();
    if (value.empty()) value.push_back(' ');  // (assigning " " trips a GCC 12 -Wrestrict false alarm)
    pairs.SetValue(f.FieldName, value);
  }
  return pairs;
}

}  // namespace morvale
