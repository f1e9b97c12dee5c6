// The result sets the engine answers SHOW FIELDS, SHOW INDEX, DESCRIBE and SHOW TABLES with: the
// same column names for every driver, and string columns sized for names rather than for text.
#pragma once

#include <memory>

#include "app/engine/cursor.h"
#include "export/core/classes.h"

namespace morvale {

// Gives the string columns of a catalogue result their sizes (Field 64, Type 40, Null 3...).
std::unique_ptr<TCursor> CatalogueCursor(std::unique_ptr<TCursor> cursor);

// The answer to SHOW TABLES: one column "Table", a row per name.
std::unique_ptr<TCursor> TableListCursor(const TStringList& names);

}  // namespace morvale
