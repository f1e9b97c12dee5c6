// What the viewers show of the open query, without a window.
#pragma once

#include "export/core/classes.h"
#include "export/core/dataset.h"

namespace morvale {

// The current record as "FieldName=value" lines: "null" for a null value, one space for an
// empty one; binary, memo and array fields left out; a second field of a name replaces the first.
TStringList RecordPairs(const TDataSet& dataSet);

// The field types the row view leaves out.
bool HiddenInRowView(TFieldType type);

}  // namespace morvale
