// A value as a field gives it: the stored cell read as the field's type (GetStoredValue), and
// its text (AsString) rendered from that value with the dataset's format settings. Every driver
// stores its values as cells, so this is the one place where the engine decides what a date, a
// number or a flag is, and what it looks like as text.
#pragma once

#include <string>

#include "app/engine/rowwindow.h"
#include "export/core/dataset.h"
#include "export/core/formatsettings.h"

namespace morvale {

// The date-time format a field of this type renders with: the short date, the long time, or
// both with a blank between; empty for the other types.
std::string DateTimeFormatFor(TFieldType type, const TFormatSettings& fs);

// The value of the cell as it is stored (see TField::GetStoredValue): no format settings, nothing
// dropped; what does not read as the column's type is given as Text.
void StoredCellValue(const TCell& cell, std::string_view bytes, TFieldType type, TFieldValue& out);

// Replaces out with the text of a stored value, the one way a field's text is made: numbers as
// FloatToStrGeneral gives them, date-times in dateTimeFormat (DateTimeFormatFor(type, fs); a date
// that holds a time of day too, or a time with a date, shows both), Booleans as their words.
void RenderValue(const TFieldValue& value, TFieldType type, const std::string& dateTimeFormat,
                 const TFormatSettings& fs, std::string& out);

// RenderValue of the cell's StoredCellValue.
void RenderCell(const TCell& cell, std::string_view bytes, TFieldType type,
                const std::string& dateTimeFormat, const TFormatSettings& fs, std::string& out);

}  // namespace morvale
