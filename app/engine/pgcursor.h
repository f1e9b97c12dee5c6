// A PostgreSQL statement as a driver cursor. A query whose columns the binary COPY reader decodes
// streams through COPY; any other statement runs through the extended protocol one row at a time
// (so memory stays that of one row), in the binary forms when the reader decodes every column,
// else in the server's texts.
#pragma once

#include <memory>
#include <string>

#include "app/engine/cursor.h"
#include "app/engine/pgconnection.h"

namespace morvale {

std::unique_ptr<TCursor> MakePgCursor(std::shared_ptr<TPgConnection> connection,
                                      const std::string& sql);

// The row-by-row reader alone, whatever the statement (what MakePgCursor falls back on).
std::unique_ptr<TCursor> MakePgRowCursor(std::shared_ptr<TPgConnection> connection,
                                         const std::string& sql);

}  // namespace morvale
