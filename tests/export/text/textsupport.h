// Shared by the text-format tests: running an exporter into memory, a scratch folder, and
// running the independent readers (xmllint, Debian's python3) on what was written.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "export/core/export.h"
#include "export/core/streams.h"
#include "tests/support/memsources.h"

namespace morvale::test {

inline std::string ExportToString(TExport& e) {
  TMemoryStream ms;
  e.ExportToStream(ms);
  return ms.Data();
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

// A fresh empty folder per test, ending in '/'.
inline std::string ScratchFolder() {
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path p = std::filesystem::path(testing::TempDir()) / "morvale_text" /
                            (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(p);
  std::filesystem::create_directories(p);
  return p.string() + "/";
}

struct TCommandResult {
  int status = -1;
  std::string out;
};

// Runs a shell command and collects its standard output (standard error passes through).
inline TCommandResult RunCommand(const std::string& command) {
  TCommandResult r;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline bool HaveCommand(const std::string& name) {
  return RunCommand("command -v " + name + " >/dev/null 2>&1").status == 0;
}

// The checker scripts live beside the tests.
inline std::string TestScript(const std::string& name) {
  return std::string(MORVALE_SOURCE_DIR) + "/tests/export/text/" + name;
}

// Debian's python3 has the readers the tests rely on; a python3 earlier on PATH may not.
inline const char* Python() {
  return "/usr/bin/python3";
}

}  // namespace morvale::test
