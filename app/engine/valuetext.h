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

}  // namespace morvale
