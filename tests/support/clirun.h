// Runs the command-line exporter in-process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "export/core/streams.h"

namespace morvale::test {

struct Result {
  int status;
  std::string out, err;
};

inline Result Cli(std::vector<std::string> args) {
  TMemoryStream out;
  std::ostringstream err;
  int status = cli::RunCli(args, out, err);
  return {status, out.Data(), err.str()};
}

}  // namespace morvale::test
