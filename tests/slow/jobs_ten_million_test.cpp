// Ten million PostgreSQL rows to CSV through the built morvale-export: --jobs 4 writes the bytes
// of --jobs 1, and every process of the run (the coordinator and its four jobs) stays in flat
// memory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/demo.h"

namespace morvale::test {
namespace {

constexpr long kRows = 10000000;
constexpr long kMemoryLimitKB = 80 * 1024;

// The program run to its end; the peak resident size of it and of the jobs it waited for, in
// kilobytes, or -1 when it failed.
long RunMeasured(const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    // A process of its own, so that the children's peak it reports is this run's alone.
    const pid_t inner = ::fork();
    if (inner == 0) {
      std::vector<char*> argv;
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(inner, &status, 0);
    struct rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ::_exit(255);
    // The peak in megabytes as the exit status: enough for a limit of tens of megabytes.
    ::_exit(static_cast<int>(std::min<long>(usage.ru_maxrss / 1024, 254)));
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
  return WEXITSTATUS(status) * 1024L;
}

TEST(JobsTenMillion, FourJobsGiveTheBytesOfOneInFlatMemory) {
  const char* url = std::getenv("MORVALE_TEST_POSTGRESQL");
  if (!url) GTEST_SKIP() << "MORVALE_TEST_POSTGRESQL is not set: no PostgreSQL server";
  std::string out;
  ASSERT_EQ(RunCommand("psql " + ShellQuote(url) + " -X -q -v ON_ERROR_STOP=1 -c " +
                           ShellQuote("DROP TABLE IF EXISTS jobs_ten_million; "
                                      "CREATE TABLE jobs_ten_million AS SELECT i AS id, "
                                      "'Ёжик \"' || i || '\", ООО' AS name, "
                                      "CASE WHEN i % 7 = 0 THEN NULL ELSE i * 1.25 END AS amount, "
                                      "DATE '2020-01-01' + (i % 1000) AS day "
                                      "FROM generate_series(1, " +
                                      std::to_string(kRows) + ") i") +
                           " 2>&1",
                       out),
            0)
      << out;
  const std::string dir = FreshFolder("ten-million");
  long peak[2] = {};
  int i = 0;
  for (const char* jobs : {"1", "4"}) {
    peak[i] = RunMeasured({MORVALE_EXPORT_PROGRAM, "--db", url, "--table", "jobs_ten_million",
                           "--type", "csv", "-o", dir + "jobs" + jobs + ".csv", "--jobs", jobs});
    ASSERT_GT(peak[i], 0) << "--jobs " << jobs << " failed";
    EXPECT_LT(peak[i], kMemoryLimitKB) << "--jobs " << jobs << ": peak " << peak[i] / 1024 << " MB";
    ++i;
  }
  std::cout << "[ jobs ] 10,000,000 rows, peak resident memory of a process: --jobs 1 "
            << peak[0] / 1024 << " MB, --jobs 4 " << peak[1] / 1024 << " MB\n";
  EXPECT_EQ(
      RunCommand("cmp " + ShellQuote(dir + "jobs1.csv") + " " + ShellQuote(dir + "jobs4.csv"), out),
      0)
      << out;
  EXPECT_EQ(RunCommand("wc -l < " + ShellQuote(dir + "jobs4.csv"), out), 0);
  EXPECT_EQ(out, std::to_string(kRows + 1) + "\n");
  RunCommand("rm -rf " + ShellQuote(dir) + "; psql " + ShellQuote(url) +
                 " -X -q -c 'DROP TABLE jobs_ten_million'",
             out);
}

}  // namespace
}  // namespace morvale::test
