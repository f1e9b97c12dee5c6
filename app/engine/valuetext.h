// A value's text as a field gives it (AsString): rendered from the stored cell by the field's
// type with the dataset's format settings. Every driver stores its values as cells, so this is
// the one place where the engine decides what a date, a number or a flag looks like as text.
#pragma once

#include <string>

#include "app/engine/rowwindow.h"
#include "export/core/dataset.h"
#include "export/core/formatsettings.h"

namespace morvale {

// The date-time format a field of this type renders with: the short date, the long time, or
// both with a blank between; empty for the other types.
std::string DateTimeFormatFor(TFieldType type, const TFormatSettings& fs);

// Replaces out with the text of the cell. dateTimeFormat is DateTimeFormatFor(type, fs).
void RenderCell(const TCell& cell, std::string_view bytes, TFieldType type,
                const std::string& dateTimeFormat, const TFormatSettings& fs, std::string& out);

// True when every date-time text RenderCell gives a field of this type reads back with
// TryStrToDateTime as the value to the second (WholeSeconds): a format with a four-digit year,
// numbers only, and the seconds shown. Tried on values that tell the cases apart.
bool DateTextsReadBack(TFieldType type, const std::string& dateTimeFormat,
                       const TFormatSettings& fs);

// The value of the cell that stands for the text RenderCell gives (see TFieldValue): numbers and
// dates as they are, text as a view of `bytes`. What only the text can say (a number in a text
// column, a date-time when typedDates is false) is rendered into `scratch` and given as Text.
void CellValue(const TCell& cell, std::string_view bytes, TFieldType type,
               const std::string& dateTimeFormat, bool typedDates, const TFormatSettings& fs,
               std::string& scratch, TFieldValue& out);

// The value of the cell as it is stored (see TField::GetStoredValue): no format settings, nothing
// dropped; what does not read as the column's type is given as Text.
void StoredCellValue(const TCell& cell, std::string_view bytes, TFieldType type, TFieldValue& out);

}  // namespace morvale
