// The files of one run: nothing under a final name before the commit and everything together
// after it; the previous files byte for byte after a failure, a discard or a kill; permissions
// and symbolic links kept; temporaries never named in a message; and the staged temporaries of a
// run that is gone swept away by the next run in the folder, those of a live run left alone.
#include "export/core/outputfiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/support/faults.h"

namespace morvale {
namespace {

using test::FolderNames;
using test::FolderPicture;
using test::FreshFolder;
using test::ReadFile;
using test::WriteFile;
using TPicture = std::map<std::string, std::string>;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A message that names a temporary would send the user looking for a file that is not there.
void ExpectNamesOnlyTheTarget(const std::string& message, const std::string& target) {
  EXPECT_NE(message.find("'" + target + "'"), std::string::npos) << message;
  EXPECT_EQ(message.find("morvale-part"), std::string::npos) << message;
  EXPECT_EQ(message.find("/proc/"), std::string::npos) << message;
}

struct THeldLimit {
  explicit THeldLimit(int n) : old(TOutputFiles::HeldLimit) { TOutputFiles::HeldLimit = n; }
  ~THeldLimit() { TOutputFiles::HeldLimit = old; }
  int old;
};

TEST(OutputFiles, FilesAppearTogetherOnlyAtTheCommit) {
  const std::string dir = FreshFolder("together");
  WriteFile(dir + "table.dbf", "old table");
  const TPicture before = FolderPicture(dir);
  {
    TOutputFiles files;
    files.Create(dir + "table.dbf").Write("new table");
    files.Create(dir + "table.dbt").Write("memo");
    EXPECT_EQ(FolderPicture(dir), before) << "the run shows in the folder before its commit";
    EXPECT_EQ(files.Read(dir + "table.dbf"), "new table");
    EXPECT_TRUE(files.Existed(dir + "table.dbf"));
    EXPECT_FALSE(files.Existed(dir + "table.dbt"));
    files.Commit();
  }
  EXPECT_EQ(FolderPicture(dir), (TPicture{{"table.dbf", "new table"}, {"table.dbt", "memo"}}));
}

TEST(OutputFiles, DiscardedRunLeavesThePreviousFilesAndNothingElse) {
  const std::string dir = FreshFolder("discard");
  WriteFile(dir + "report.csv", std::string("old\0bytes\r\n", 11));
  const TPicture before = FolderPicture(dir);
  {
    TOutputFiles files;
    TFileStream& f = files.Create(dir + "report.csv");
    for (int i = 0; i < 1000; ++i) f.Write(std::string(1000, 'x'));
    files.Create(dir + "report01.htm").Write("page");
  }
  EXPECT_EQ(FolderPicture(dir), before);
}

TEST(OutputFiles, CreatingANameAgainStartsItAfresh) {
  const std::string dir = FreshFolder("again");
  TOutputFiles files;
  files.Create(dir + "index.htm").Write("the first page, long");
  files.Create(dir + "index.htm").Write("index");
  // What a library that writes by name opens is the run's file, not the target.
  EXPECT_EQ(ReadFile(files.OpenName(dir + "index.htm")), "index");
  files.Commit();
  EXPECT_EQ(FolderPicture(dir), (TPicture{{"index.htm", "index"}}));
}

TEST(OutputFiles, ReplacedFileKeepsItsPermissionsNewFileTakesTheUmask) {
  const std::string dir = FreshFolder("modes");
  WriteFile(dir + "kept.csv", "old");
  ::chmod((dir + "kept.csv").c_str(), 0640);
  const mode_t mask = ::umask(027);
  {
    TOutputFiles files;
    files.Create(dir + "kept.csv").Write("new");
    files.Create(dir + "new.csv").Write("new");
    files.Commit();
  }
  ::umask(mask);
  EXPECT_EQ(ModeOf(dir + "kept.csv"), 0640u);
  EXPECT_EQ(ModeOf(dir + "new.csv"), 0640u);  // 0666 less the umask
  EXPECT_EQ(ReadFile(dir + "kept.csv"), "new");
}

TEST(OutputFiles, SymbolicLinksAreWrittenThrough) {
  const std::string dir = FreshFolder("links");
  ::mkdir((dir + "data").c_str(), 0755);
  WriteFile(dir + "data/real.csv", "old");
  ASSERT_EQ(::symlink("data/real.csv", (dir + "link.csv").c_str()), 0);
  ASSERT_EQ(::symlink("data/made.csv", (dir + "dangling.csv").c_str()), 0);
  {
    TOutputFiles files;
    files.Create(dir + "link.csv").Write("new");
    files.Create(dir + "dangling.csv").Write("made");
    files.Commit();
  }
  EXPECT_TRUE(IsLink(dir + "link.csv"));
  EXPECT_TRUE(IsLink(dir + "dangling.csv"));
  EXPECT_EQ(FolderPicture(dir + "data/"), (TPicture{{"made.csv", "made"}, {"real.csv", "new"}}));
  EXPECT_EQ(FolderNames(dir), "dangling.csv data link.csv");
}

TEST(OutputFiles, WriteErrorsNameTheTargetAndKeepThePreviousFile) {
  const std::string dir = FreshFolder("full");
  const std::string target = dir + "orders.csv";
  WriteFile(target, "the previous orders");
  const TPicture before = FolderPicture(dir);
  const test::TFileSizeLimit limit(4096);
  // A write past the limit while the run goes ...
  try {
    TOutputFiles files;
    TFileStream& f = files.Create(target);
    for (int i = 0; i < 100; ++i) f.Write(std::string(1000, 'x'));
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    ExpectNamesOnlyTheTarget(e.what(), target);
    EXPECT_NE(std::string(e.what()).find("File too large"), std::string::npos) << e.what();
  }
  EXPECT_EQ(FolderPicture(dir), before);
  // ... and one that the stream's buffer held until the commit closed it.
  try {
    TOutputFiles files;
    files.Create(target).Write(std::string(5000, 'x'));
    files.Commit();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    ExpectNamesOnlyTheTarget(e.what(), target);
  }
  EXPECT_EQ(FolderPicture(dir), before);
}

TEST(OutputFiles, DevicesAreWrittenDirectlyAndAFolderIsNoFile) {
  {
    TOutputFiles files;
    files.Create("/dev/null").Write("nothing");
    EXPECT_EQ(files.OpenName("/dev/null"), "/dev/null");
    files.Commit();
  }
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  const std::string dir = FreshFolder("folder");
  ::mkdir((dir + "sub").c_str(), 0755);
  TOutputFiles files;
  try {
    files.Create(dir + "sub");
    ADD_FAILURE() << "a folder was taken for a file";
  } catch (const Exception& e) {
    ExpectNamesOnlyTheTarget(e.what(), dir + "sub");
  }
}

TEST(OutputFiles, ManyFilesAreStagedAndStillAppearTogether) {
  const THeldLimit held(2);
  const std::string dir = FreshFolder("staged");
  WriteFile(dir + "memo-1.txt", "old");
  TPicture committed;
  {
    TOutputFiles files;
    for (int i = 1; i <= 5; ++i) {
      std::string name = "memo-" + std::to_string(i) + ".txt";
      files.Create(dir + name).Write("text " + std::to_string(i));
      committed[name] = "text " + std::to_string(i);
    }
    // The run shows as one hidden folder, nothing under a final name.
    TPicture during = FolderPicture(dir);
    ASSERT_EQ(during.size(), 2u) << FolderNames(dir);
    EXPECT_EQ(during["memo-1.txt"], "old");
    EXPECT_TRUE(during.begin()->first.ends_with(".morvale-part")) << FolderNames(dir);
    EXPECT_EQ(files.Read(dir + "memo-5.txt"), "text 5");
    files.Commit();
  }
  EXPECT_EQ(FolderPicture(dir), committed);
  {
    TOutputFiles files;
    for (int i = 1; i <= 5; ++i)
      files.Create(dir + "memo-" + std::to_string(i) + ".txt").Write("x");
  }
  EXPECT_EQ(FolderPicture(dir), committed);
}

// A child process that writes `name` in `dir` and waits to be killed.
pid_t WriterToKill(const std::string& dir, const std::string& name, int held) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    TOutputFiles::HeldLimit = held;
    TOutputFiles files;
    TFileStream& f = files.Create(dir + name);
    f.Write(std::string(100000, 'x'));
    f.Flush();
    if (::write(ready[1], "r", 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  char c;
  if (::read(ready[0], &c, 1) != 1) ADD_FAILURE() << "the writer did not start";
  ::close(ready[0]);
  ::close(ready[1]);
  return pid;
}

void Kill(pid_t pid) {
  ::kill(pid, SIGKILL);
  int status;
  ::waitpid(pid, &status, 0);
}

TEST(OutputFiles, AKilledRunLeavesNothingOrWhatTheNextRunSweeps) {
  const std::string dir = FreshFolder("killed");
  WriteFile(dir + "orders.csv", "old");
  const TPicture before = FolderPicture(dir);
  Kill(WriterToKill(dir, "orders.csv", TOutputFiles::HeldLimit));
  EXPECT_EQ(FolderPicture(dir), before) << "an unnamed temporary outlived its process";

  // A staged run that was killed leaves its hidden folder; a live run's folder is locked.
  Kill(WriterToKill(dir, "orders.csv", 0));
  EXPECT_EQ(FolderPicture(dir).size(), 2u) << FolderNames(dir);
  const std::string live = dir + ".live.morvale-part";
  ::mkdir(live.c_str(), 0700);
  int lock = ::open(live.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  {
    TOutputFiles files;
    files.Create(dir + "items.csv").Write("items");
    files.Commit();
  }
  ::close(lock);
  EXPECT_EQ(FolderNames(dir), ".live.morvale-part items.csv orders.csv");
  EXPECT_EQ(ReadFile(dir + "orders.csv"), "old");
}

}  // namespace
}  // namespace morvale
