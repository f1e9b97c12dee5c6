// One input of the --set fuzzer: the first line is an export type (--type), every further line a
// PROPERTY=VALUE given to --set. The command line runs in-process on the demo orders (every
// column kind, NULLs, Cyrillic, line breaks) into a file, as morvale-export would. A usage error
// or a failed export is an answer; crashes, sanitizer reports and hangs are not, nor is an export
// whose failure reaches the caller as an exception instead of a message and exit status 1.
#pragma once

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "export/core/platform.h"
#include "export/core/streams.h"
#include "tests/support/demo.h"
#include "tests/support/fuzz.h"

namespace morvale::test {

class TNoShell : public IShell {
 public:
  void Execute(const std::string&, const std::string&) override {}
};

inline std::string RunSetFuzzInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    std::string f = "/tmp/morvale-set-fuzz-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(f);
    return f;
  }();
  constexpr size_t kMaxSets = 16;
  std::vector<std::string_view> lines = FuzzLines(data, size, kMaxSets + 1);
  std::string type(lines[0]);
  // The workbooks and the page files of HTML want a file of their own; the type word may be
  // anything, so it names no path.
  std::string output = folder + "out";
  std::vector<std::string> args = {"--db",
                                   "sqlite:" + DemoDatabase(),
                                   "--sql",
                                   "SELECT o.*, c.name AS customer FROM orders o"
                                   " JOIN customers c ON c.id = o.customer_id ORDER BY o.id",
                                   "--type",
                                   type,
                                   "-o",
                                   output};
  for (size_t i = 1; i < lines.size(); ++i) {
    // The fuzzer writes only into its own folder: no property that names a file to write.
    std::string path(lines[i].substr(0, lines[i].find('=')));
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lines[i].empty() || path.find("filename") != std::string::npos) continue;
    args.insert(args.end(), {"--set", std::string(lines[i])});
  }
  // ShowFile and PrintFile would start a viewer or a printer job for every input.
  static TNoShell shell;
  SetShell(&shell);
  TFuzzCheck check;
  TMemoryStream out;
  std::ostringstream err;
  try {
    int status = cli::RunCli(args, out, err);
    check.Expect(status >= 0 && status <= 2, "the exit status is one the program documents");
    check.Expect(status == 0 || !err.str().empty(), "a failure says why");
  } catch (const std::exception& e) {
    check.Expect(false, "the command line reports its failures itself", e.what());
  }
  return check.failure;
}

}  // namespace morvale::test
