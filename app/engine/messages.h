// The database's own messages inside the engine's errors, in the interface's language. SQLite
// says "no such table: x" or "near "x": syntax error"; the engine reads those English texts
// itself (to explain a table of a database that is not connected), so they are translated only
// where a window shows the error, not where they are raised.
#pragma once

#include <string>

namespace morvale {

// The message with a known database phrase at its start translated (the rest as it is); any
// other message unchanged.
std::string DatabaseMessageText(const std::string& message);

}  // namespace morvale
