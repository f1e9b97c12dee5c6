// The previous file is safe, shown on a million rows through the built morvale-export: over an
// existing file, a CSV, PDF, XLSX and dBASE export killed with SIGKILL while its output grows, one
// stopped by Ctrl+C, and one that fills the disk (a file size limit in the child, as a full disk
// fails a write) each leave the previous files byte for byte and nothing else in the folder.
// The table is made once into the build folder with sqlite3.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <set>
#include <thread>

#include "tests/support/bigtable.h"
#include "tests/support/demo.h"
#include "tests/support/faults.h"

namespace morvale::test {
namespace {

using Clock = std::chrono::steady_clock;
using TPicture = std::map<std::string, std::string>;

// A morvale-export of the big table, its messages kept in a folder apart from the output's.
class TExporter {
 public:
  TExporter(const std::string& type, const std::string& output, rlim_t fileLimit = RLIM_INFINITY)
      : log_(FreshFolder("log") + "err.txt") {
    std::vector<std::string> args = {MORVALE_EXPORT_PROGRAM,
                                     "--db",
                                     "sqlite:" + BigTable(),
                                     "--table",
                                     "big",
                                     "--fields",
                                     "id,name,amount,day,note",
                                     "--type",
                                     type,
                                     "-o",
                                     output,
                                     "--progress"};
    WriteFile(log_, "");
    pid_ = ::fork();
    if (pid_ != 0) return;
    int err = ::open(log_.c_str(), O_WRONLY | O_APPEND);
    ::dup2(err, 2);
    ::dup2(err, 1);
    if (fileLimit != RLIM_INFINITY) {
      // A write past the limit then fails with "File too large", as one on a full disk fails.
      ::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{fileLimit, fileLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ~TExporter() {
    if (pid_ > 0) Signal(SIGKILL);
  }

  // The bytes the process's unnamed files hold (its run's temporaries, and libxlsxwriter's
  // sheet files), and how many there are; `inFolder` counts those of one folder only.
  int64_t UnnamedBytes(const std::string& inFolder = {}, int* count = nullptr) const {
    int64_t bytes = 0;
    std::set<ino_t> seen;  // a file may be open more than once
    const std::string fds = "/proc/" + std::to_string(pid_) + "/fd/";
    for (int fd = 0; fd < 256; ++fd) {
      char link[4096];
      ssize_t n = ::readlink((fds + std::to_string(fd)).c_str(), link, sizeof link - 1);
      if (n <= 0) continue;
      std::string target(link, static_cast<size_t>(n));
      if (!target.ends_with(" (deleted)") || !target.starts_with(inFolder)) continue;
      struct stat st;
      if (::stat((fds + std::to_string(fd)).c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
          !seen.insert(st.st_ino).second)
        continue;
      bytes += st.st_size;
      if (count) ++*count;
    }
    return bytes;
  }

  // Waits until the run has exported `records` (its --progress line says so); false when the
  // process ended first.
  bool Reaches(long records) const {
    const auto giveUp = Clock::now() + std::chrono::seconds(120);
    while (Clock::now() < giveUp) {
      int status;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) return false;
      if (Exported() >= records) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  // The last count of the progress line.
  long Exported() const {
    const std::string text = ReadFile(log_);
    const size_t end = text.rfind(" records exported");
    if (end == std::string::npos) return 0;
    const size_t start = text.rfind('\r', end);
    return std::atol(text.c_str() + (start == std::string::npos ? 0 : start + 1));
  }

  // Sends the signal and waits for the end: the exit status, or 128 + the signal that ended it.
  int Signal(int signal) {
    ::kill(pid_, signal);
    return Wait();
  }
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  std::string Messages() const { return ReadFile(log_); }

 private:
  std::string log_;
  pid_t pid_ = -1;
};

struct TKilled {
  const char* type;
  const char* file;
  std::vector<const char*> others;  // further files of the run
};

std::ostream& operator<<(std::ostream& os, const TKilled& k) {
  return os << k.type;
}

class MillionRows : public ::testing::TestWithParam<TKilled> {
 protected:
  void SetUp() override { ASSERT_FALSE(BigTable().empty()) << "sqlite3 made no table"; }
  // The user's files from an earlier run.
  TPicture Previous(const std::string& dir) {
    TPicture files{{GetParam().file, std::string("an earlier export\0\r\n", 20)}};
    for (const char* other : GetParam().others) files[other] = "its memo file";
    for (const auto& [name, bytes] : files) WriteFile(dir + name, bytes);
    return FolderPicture(dir);
  }
};

TEST_P(MillionRows, KilledWhileWritingLeavesThePreviousFile) {
  const std::string dir = FreshFolder("killed");
  const TPicture before = Previous(dir);
  TExporter run(GetParam().type, dir + GetParam().file);
  // Half-way through the rows.
  ASSERT_TRUE(run.Reaches(kRows / 2)) << run.Messages();
  EXPECT_GT(run.UnnamedBytes(), 1 << 20) << "the output does not grow";
  // What the run writes for its target is an unnamed file of the target's folder.
  int unnamed = 0;
  run.UnnamedBytes(dir, &unnamed);
  EXPECT_EQ(unnamed, 1 + static_cast<int>(GetParam().others.size()));
  EXPECT_EQ(FolderPicture(dir), before) << "during the run: " << FolderNames(dir);
  EXPECT_EQ(run.Signal(SIGKILL), 128 + SIGKILL);
  EXPECT_EQ(FolderPicture(dir), before) << FolderNames(dir);
}

TEST_P(MillionRows, FullDiskLeavesThePreviousFile) {
  const std::string dir = FreshFolder("full");
  const TPicture before = Previous(dir);
  TExporter run(GetParam().type, dir + GetParam().file, 2 << 20);
  EXPECT_EQ(run.Wait(), 1);
  const std::string messages = run.Messages();
  EXPECT_NE(messages.find("File too large"), std::string::npos) << messages;
  EXPECT_NE(messages.find("the export failed; '" + dir + GetParam().file + "' is unchanged"),
            std::string::npos)
      << messages;
  EXPECT_EQ(messages.find("morvale-part"), std::string::npos) << messages;
  EXPECT_EQ(FolderPicture(dir), before) << FolderNames(dir);
}

INSTANTIATE_TEST_SUITE_P(Types, MillionRows,
                         ::testing::Values(TKilled{"csv", "big.csv", {}},
                                           TKilled{"pdf", "big.pdf", {}},
                                           TKilled{"xlsx", "big.xlsx", {}},
                                           TKilled{"dbf", "big.dbf", {"big.dbt"}}),
                         [](const auto& info) { return std::string(info.param.type); });

TEST(MillionRowsCancel, CtrlCStopsTheRunAndSaysThePreviousFileIsUnchanged) {
  ASSERT_FALSE(BigTable().empty());
  const std::string dir = FreshFolder("interrupted");
  WriteFile(dir + "big.csv", "an earlier export");
  const TPicture before = FolderPicture(dir);
  TExporter run("csv", dir + "big.csv");
  ASSERT_TRUE(run.Reaches(kRows / 2)) << run.Messages();
  EXPECT_EQ(run.Signal(SIGINT), 128 + SIGINT);
  // After the progress line, on a line of its own.
  EXPECT_TRUE(run.Messages().ends_with("\nmorvale-export: the export was cancelled; '" + dir +
                                       "big.csv' is unchanged\n"))
      << run.Messages();
  EXPECT_EQ(FolderPicture(dir), before) << FolderNames(dir);
}

}  // namespace
}  // namespace morvale::test
