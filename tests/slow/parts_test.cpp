// Split and compressed output on a million rows through the built morvale-export: four CSV parts
// of at most 300,000 rows, each read by Python's csv module with its caption row, the rows adding
// up to the table and equal to the whole file's, the manifest's sizes and SHA-256 equal to the
// files; gzip and zstd outputs unpacked by gzip and zstd equal to the plain file, written in the
// plain run's memory (peak resident size measured by /usr/bin/time).
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "tests/support/bigtable.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

// Names with quotes, commas and Cyrillic, NULL notes on nine rows of ten.
const char* kQuery =
    "SELECT id, 'Имя \"' || name || '\", ООО' AS \"имя клиента\", amount, day, note FROM big";

struct TRun {
  double seconds = 0;
  long peakKb = 0;
};

// Runs the exporter with `more` after the common arguments; its time and peak memory.
TRun Export(const std::string& output, const std::string& more) {
  const std::string times = FreshFolder("parts-time") + "time.txt";
  const std::string command = "/usr/bin/time -f '%e %M' -o " + ShellQuote(times) + " " +
                              ShellQuote(MORVALE_EXPORT_PROGRAM) + " --db " +
                              ShellQuote("sqlite:" + BigTable()) + " --sql " + ShellQuote(kQuery) +
                              " --fields " + ShellQuote("id,имя клиента,amount,day,note") +
                              " --type csv --locale C -o " + ShellQuote(output) + " " + more;
  std::string out;
  EXPECT_EQ(RunCommand(command + " 2>&1", out), 0) << command << "\n" << out;
  TRun run;
  std::istringstream(ReadFile(times)) >> run.seconds >> run.peakKb;
  return run;
}

class MillionParts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_FALSE(BigTable().empty()) << "sqlite3 made no table";
    dir_ = FreshFolder("million-parts");
    plain_ = Export(dir_ + "plain.csv", "");
    std::printf("plain CSV: %.2f s, peak %ld KB\n", plain_.seconds, plain_.peakKb);
  }
  static inline std::string dir_;
  static inline TRun plain_;
};

TEST_F(MillionParts, FourCsvPartsWithTheirCaptionsAndAManifest) {
  const TRun run = Export(dir_ + "big.csv", "--split-rows 300000 --manifest");
  std::printf("split CSV: %.2f s, peak %ld KB\n", run.seconds, run.peakKb);
  const std::string check = R"(
import csv, hashlib, json, os, sys
folder = sys.argv[1]
manifest = json.load(open(folder + 'big.csv.manifest.json'))
names = ['big.part%03d.csv' % i for i in range(1, 5)]
assert [f['name'] for f in manifest['files']] == names, manifest
assert not os.path.exists(folder + 'big.part005.csv')
whole = hashlib.sha256()
with open(folder + 'plain.csv', newline='', encoding='utf-8') as f:
    rows = csv.reader(f)
    caption = next(rows)
    for r in rows: whole.update(repr(r).encode())
parts, total = hashlib.sha256(), 0
for entry in manifest['files']:
    path = folder + entry['name']
    data = open(path, 'rb').read()
    assert entry['bytes'] == len(data) == os.path.getsize(path), entry
    assert entry['sha256'] == hashlib.sha256(data).hexdigest(), entry
    with open(path, newline='', encoding='utf-8') as f:
        rows = csv.reader(f)
        assert next(rows) == caption == ['id', 'имя клиента', 'amount', 'day', 'note'], caption
        n = 0
        for r in rows:
            parts.update(repr(r).encode())
            n += 1
    assert n == entry['rows'], (n, entry)
    print(n)
    total += n
assert manifest['rows'] == total
assert parts.hexdigest() == whole.hexdigest()
print(total)
)";
  std::string out;
  ASSERT_EQ(
      RunCommand(Python() + " -c " + ShellQuote(check) + " " + ShellQuote(dir_) + " 2>&1", out), 0)
      << out;
  EXPECT_EQ(out, "300000\n300000\n300000\n100000\n1000000\n");
}

TEST_F(MillionParts, GzipAndZstdUnpackToThePlainFileInFlatMemory) {
  for (const char* kind : {"gzip", "zstd"}) {
    const TRun run = Export(dir_ + kind + ".csv", std::string("--compress ") + kind);
    std::printf("%s CSV: %.2f s, peak %ld KB\n", kind, run.seconds, run.peakKb);
    const std::string packed = dir_ + kind + (std::string(kind) == "gzip" ? ".csv.gz" : ".csv.zst");
    std::string out;
    EXPECT_EQ(RunCommand(std::string(kind) + " -dc " + ShellQuote(packed) + " | cmp - " +
                             ShellQuote(dir_ + "plain.csv") + " 2>&1",
                         out),
              0)
        << out;
    // The compressor's window and buffers, not the file: a few megabytes over the plain run.
    EXPECT_LT(run.peakKb, plain_.peakKb + 16 * 1024) << kind;
  }
}

}  // namespace
}  // namespace morvale::test
