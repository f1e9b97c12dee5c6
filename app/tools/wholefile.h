// Writing a file that replaces another only once it is complete: the text goes to a temporary
// file beside it, renamed over the target at the end (export/core/outputfiles.h), so that a
// failure (a full disk, a lost connection) leaves the earlier file as it was.
#pragma once

#include <functional>
#include <string>

#include "export/core/classes.h"
#include "export/core/streams.h"

namespace morvale {

void WriteWholeFile(const std::string& fileName, const std::function<void(TStream&)>& write);

// Each line followed by CR LF, as the text files of the desktop program end their lines.
void WriteCrLfLines(TStream& out, const TStringList& lines);

}  // namespace morvale
