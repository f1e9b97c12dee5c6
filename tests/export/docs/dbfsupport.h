// Helpers of the dBASE and RTF tests: a scratch folder, whole files, and the output of the
// independent readers (python3-dbfread, unrtf) that the tests compare with.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace morvale::test {

// A fresh folder under the build tree, removed when the test ends.
class TScratchDir {
 public:
  explicit TScratchDir(const std::string& name)
      : path_(std::filesystem::path(MORVALE_BINARY_DIR) / "tests-scratch" / name) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

// Runs a shell command; its standard output, and its exit status in `status`.
inline std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) {
    status = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  status = pclose(p);
  return out;
}

// Debian's python, which has the readers (not a python first on PATH).
inline std::string Python() {
  return "/usr/bin/python3";
}

// The table as python3-dbfread reads it (see dbfdump.py); "ERROR ..." when it cannot.
inline std::string DbfRead(const std::string& table, const std::string& encoding = "utf-8") {
  int status = 0;
  std::string out = RunCommand(Python() + " " MORVALE_SOURCE_DIR "/tests/export/docs/dbfdump.py '" +
                                   table + "' " + encoding + " 2>&1",
                               status);
  return status == 0 ? out : "ERROR " + out;
}

// The text unrtf finds in a document: its HTML output without tags, entities decoded, blank
// runs collapsed. "ERROR ..." when unrtf fails.
inline std::string UnrtfText(const std::string& document) {
  int status = 0;
  std::string out = RunCommand(
      "unrtf --html '" + document + "' 2>/dev/null >'" + document + ".html' && " + Python() +
          " -c \"import html,re,sys; t=re.sub(r'<[^>]*>',' ',sys.stdin.read()); "
          "print(' '.join(html.unescape(t).split()))\" <'" +
          document + ".html'",
      status);
  return status == 0 ? out : "ERROR " + out;
}

}  // namespace morvale::test
