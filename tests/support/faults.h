// Faults for the tests of what a failed run leaves behind: a limit on the size of the files the
// process writes (the kernel then fails a write past N bytes with "File too large", as a full
// disk fails it), and a picture of a folder (every name, hidden ones included, with its bytes) to
// compare before and after.
#pragma once

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <map>
#include <string>

#include "tests/support/demo.h"

namespace morvale::test {

// While it lives, every file the process writes fails past `bytes`.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &oldAction_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::sigaction(SIGXFSZ, &oldAction_, nullptr);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit old_{};
  struct sigaction oldAction_ {};
};

// Every entry of a folder by name: a file's bytes, "<folder>" for a folder, "<other>" otherwise.
inline std::map<std::string, std::string> FolderPicture(const std::string& dir) {
  std::map<std::string, std::string> picture;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return picture;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    std::string path = dir + name;
    if (::lstat(path.c_str(), &st) != 0) continue;
    picture[name] = S_ISREG(st.st_mode)   ? ReadFile(path)
                    : S_ISDIR(st.st_mode) ? "<folder>"
                                          : "<other>";
  }
  ::closedir(d);
  return picture;
}

// The names of a folder's entries, hidden ones included, for a message.
inline std::string FolderNames(const std::string& dir) {
  std::string names;
  for (const auto& [name, bytes] : FolderPicture(dir)) names += (names.empty() ? "" : " ") + name;
  return names;
}

}  // namespace morvale::test
