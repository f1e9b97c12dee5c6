#include "tests/support/demo.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <stdexcept>

#include <gtest/gtest.h>

namespace morvale::test {

const std::string& DemoDatabase() {
  static std::string path;
  static std::once_flag once;
  std::call_once(once, [] {
    path = std::string(MORVALE_BINARY_DIR) + "/tests/demo.db";
    struct stat st;
    // An empty file is what opening a missing database leaves behind: make that one again too.
    if (::stat(path.c_str(), &st) == 0 && st.st_size > 0) return;
    std::string out;
    std::string cmd = ShellQuote(std::string(MORVALE_SOURCE_DIR) + "/samples/make-demo-db") + " " +
                      ShellQuote(path);
    if (RunCommand(cmd, out) != 0) throw std::runtime_error("cannot make the demo database");
  });
  return path;
}

std::string DemoFields(const std::string& table) {
  std::string fields;
  if (RunCommand("sqlite3 " + ShellQuote(DemoDatabase()) +
                     " \"SELECT group_concat(name) FROM pragma_table_info('" + table + "')\"",
                 fields) != 0)
    throw std::runtime_error("cannot read the columns of " + table);
  while (!fields.empty() && (fields.back() == '\n' || fields.back() == '\r')) fields.pop_back();
  return fields;
}

std::vector<std::string> DemoPlainArgs(const std::string& table) {
  return {"--db",     "sqlite:" + DemoDatabase(),
          "--table",  table,
          "--fields", DemoFields(table),
          "--locale", "C",
          "--format", "integer=0",
          "--format", "float=0.##########",
          "--format", "currency=0.##########",
          "--format", "datetime=yyyy-mm-dd hh:nn:ss",
          "--format", "time=hh:nn:ss"};
}

std::string FreshFolder(const std::string& name) {
  // ctest runs tests in parallel: each test gets folders of its own.
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string owner = info ? std::string(info->test_suite_name()) + "." + info->name() : "";
  std::string dir = ::testing::TempDir() + "morvale-" + owner + "-" + name + "/";
  std::string out;
  RunCommand("rm -rf " + ShellQuote(dir) + " && mkdir -p " + ShellQuote(dir), out);
  return dir;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

int RunCommand(const std::string& command, std::string& out) {
  out.clear();
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = ::pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Python() {
  return "/usr/bin/python3";
}

std::string ShellQuote(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'')
      r += "'\\''";
    else
      r += c;
  }
  return r + "'";
}

}  // namespace morvale::test
