// What the viewers of the open result show: the current record as name=value lines, the result's
// structure with its sizes, and the character widths a string grid's columns are fitted to.
#pragma once

#include <string>
#include <vector>

#include "export/core/classes.h"
#include "export/core/dataset.h"

namespace morvale {

// "Unknown", "String", "SmallInt", ... by TFieldType code; "Unknown" past the last.
const char* FieldTypeDisplayName(TFieldType t);

// The current record, field by field, as FieldName=value: "null" for a null, " " for an empty
// text; memo, BLOB, byte and array fields are left out; a second field of a name replaces the
// first one's value. Without a current record (an empty result) every value is "null".
TStringList RowViewLines(const TDataSet& ds);

// One row of the structure view: the field's trimmed name, its type's display name, and Size for
// strings or DataSize for the rest.
struct TStructureRow {
  std::string Field, Type, Size;
  bool operator==(const TStructureRow&) const = default;
};
std::vector<TStructureRow> StructureRows(const TDataSet& ds);

// The number of sample characters a string grid column is made wide enough for: its longest
// cell in characters, header included, kept within 1..100, plus one.
int FitColumnChars(const std::vector<std::string>& cells);
// The column's pixel width from the width of that many sample characters: past half the screen
// width it becomes three quarters of it.
int FitColumnWidth(int samplePixels, int screenWidth);

}  // namespace morvale
