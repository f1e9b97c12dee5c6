// A statement of a server connection as a driver cursor: forward only, on a Qt connection of its
// own while another statement of the same database is still reading.
#pragma once

#include <memory>
#include <string>

#include "app/engine/cursor.h"
#include "app/engine/qtconnection.h"

namespace morvale {

std::unique_ptr<TCursor> MakeQtCursor(std::shared_ptr<TQtConnection> connection,
                                      const std::string& sql);

}  // namespace morvale
