// Shared by the text-format tests: running an exporter into memory, a scratch folder per test,
// and running the independent readers (xmllint, Debian's python3, pdflatex) on what was written.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "export/core/export.h"
#include "export/core/streams.h"
#include "tests/support/demo.h"
#include "tests/support/memsources.h"

namespace morvale::test {

inline std::string ExportToString(TExport& e) {
  TMemoryStream ms;
  e.ExportToStream(ms);
  return ms.Data();
}

// A fresh empty folder for the running test, ending in '/'.
inline std::string ScratchFolder() {
  return FreshFolder("files");
}

struct TCommandResult {
  int status = -1;
  std::string out;
};

inline TCommandResult RunCommand(const std::string& command) {
  TCommandResult r;
  r.status = RunCommand(command, r.out);
  return r;
}

inline bool HaveCommand(const std::string& name) {
  return RunCommand("command -v " + name + " >/dev/null 2>&1").status == 0;
}

// The checker scripts live beside the tests.
inline std::string TestScript(const std::string& name) {
  return ShellQuote(std::string(MORVALE_SOURCE_DIR) + "/tests/export/text/" + name);
}

}  // namespace morvale::test
