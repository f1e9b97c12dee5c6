// The command-line exporter as a function, so that tests run it in-process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "export/core/streams.h"

namespace morvale::cli {

// Runs one command line (without the program name). `out` receives "-o -" output, `err` the
// messages. Returns the exit status: 0 success, 1 the export failed, 2 a usage error, 128 + the
// signal when SIGINT or SIGTERM stopped the export (its file then stays as it was).
int RunCli(const std::vector<std::string>& args, TStream& out, std::ostream& err);

}  // namespace morvale::cli
