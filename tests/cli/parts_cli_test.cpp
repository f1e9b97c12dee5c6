// Split and compressed output through the command line: every text type cut into parts that are
// each a whole file (read by Python, xmllint and sqlite3), the parts together equal to the whole,
// gzip and zstd unpacked by their own programs, the manifest checked by Python's hashlib, the
// options file's PARTS section, and runs that fail leaving the previous parts as they were.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/faults.h"

namespace morvale {
namespace {

using test::Cli;
using test::ReadFile;
using test::Result;
using test::RunCommand;
using test::ShellQuote;

constexpr int kRows = 25;

// Customers as a real table holds them: blanks and quotes in names, commas, line breaks, Cyrillic,
// NULLs and a long text.
const std::string& Database() {
  static const std::string db = [] {
    const std::string path = test::FreshFolder("partsdb") + "shop.db";
    std::string sql =
        "CREATE TABLE \"клиенты магазина\"(id INTEGER PRIMARY KEY, \"имя клиента\" VARCHAR(80), "
        "city VARCHAR(40), balance NUMERIC(12,2), note TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRows) +
        ") INSERT INTO \"клиенты магазина\" SELECT i, 'Ёжик \"' || i || '\", ООО', "
        "CASE WHEN i % 4 = 0 THEN NULL ELSE 'Санкт-Петербург; ' || char(10) || 'Невский' END, "
        "i * 10.25 - 100, CASE WHEN i = 7 THEN printf('%.*c', 3000, 'ж') ELSE 'О''Брайен & <Co>' "
        "END FROM n;";
    std::string out;
    EXPECT_EQ(RunCommand("sqlite3 " + ShellQuote(path) + " " + ShellQuote(sql), out), 0);
    return path;
  }();
  return db;
}

std::vector<std::string> Args(const std::string& type, const std::string& output,
                              std::vector<std::string> more = {}) {
  std::vector<std::string> args = {"--db",     "sqlite:" + Database(),
                                   "--table",  "\"клиенты магазина\"",
                                   "--fields", "id,имя клиента,city,balance,note",
                                   "--type",   type,
                                   "-o",       output,
                                   "--locale", "C"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

std::string Py(const std::string& script, const std::vector<std::string>& files) {
  std::string command = test::Python() + " -c " + ShellQuote(script);
  for (const std::string& f : files) command += " " + ShellQuote(f);
  std::string out;
  EXPECT_EQ(RunCommand(command + " 2>&1", out), 0) << out;
  return out;
}

std::vector<std::string> Parts(const std::string& dir, const std::string& stem,
                               const std::string& ext, int count) {
  std::vector<std::string> files;
  for (int i = 1; i <= count; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%03d", i);
    files.push_back(dir + stem + ".part" + number + ext);
  }
  return files;
}

// Reads each file as a whole file of its type and prints its rows, one repr a line, after a line
// "FILE n" with the file's row count: the whole file read the same way gives the same rows.
const char* kReader = R"(
import csv, html.parser, io, json, sys, xml.etree.ElementTree as ET
kind, files = sys.argv[1], sys.argv[2:]
for name in files:
    text = open(name, encoding='utf-8', newline='').read()
    if kind == 'csv':
        rows = list(csv.reader(io.StringIO(text), delimiter=','))
        assert rows[0] == ['id', 'имя клиента', 'city', 'balance', 'note'], rows[0]
        rows = rows[1:]
    elif kind == 'json':
        rows = [sorted(o.items()) for o in json.loads(text)]
    elif kind == 'jsonl':
        rows = [sorted(json.loads(l).items()) for l in text.splitlines()]
    elif kind == 'xml':
        root = ET.fromstring(text.encode('utf-8'))
        assert root.find('METADATA/FIELDS') is not None
        rows = [sorted(r.attrib.items()) for r in root.iter('ROW')]
    elif kind == 'html':
        class P(html.parser.HTMLParser):
            rows, cell, closed = [], None, False
            def handle_starttag(self, tag, a):
                if tag == 'tr': self.rows.append([])
                if tag == 'td': self.cell = ''
            def handle_endtag(self, tag):
                if tag == 'td': self.rows[-1].append(self.cell); self.cell = None
                if tag == 'html': self.closed = True
            def handle_data(self, d):
                if self.cell is not None: self.cell += d
        p = P(); p.rows = []; p.feed(text)
        assert p.closed and p.rows[0][0] == 'id', p.rows[:1]
        rows = p.rows[1:]
    elif kind == 'txt':
        lines = text.split('\r\n')
        assert lines[0].split()[:2] == ['id', 'имя'], lines[0]
        rows = [l for l in lines[1:] if l]
    print('FILE', len(rows))
    for r in rows: print(repr(r))
)";

struct TTypeCase {
  const char* type;
  const char* ext;
  const char* reader;
};

class SplitTextType : public ::testing::TestWithParam<TTypeCase> {};

TEST_P(SplitTextType, PartsAreWholeFilesThatAddUpToTheWhole) {
  const TTypeCase& c = GetParam();
  const std::string dir = test::FreshFolder(std::string("split-") + c.type);
  Result whole = Cli(Args(c.type, dir + "whole." + c.ext));
  ASSERT_EQ(whole.status, 0) << whole.err;
  Result split = Cli(Args(c.type, dir + "клиенты." + c.ext, {"--split-rows", "10"}));
  ASSERT_EQ(split.status, 0) << split.err;
  const std::vector<std::string> parts = Parts(dir, "клиенты", std::string(".") + c.ext, 3);
  std::string names;
  for (const auto& [name, bytes] : test::FolderPicture(dir)) names += name + " ";
  EXPECT_EQ(names, "whole." + std::string(c.ext) + " клиенты.part001." + c.ext +
                       " клиенты.part002." + c.ext + " клиенты.part003." + c.ext + " ");

  std::string wholeRows = Py(kReader, {c.reader, dir + "whole." + c.ext});
  std::vector<std::string> args = {c.reader};
  args.insert(args.end(), parts.begin(), parts.end());
  std::string partRows = Py(kReader, args);
  EXPECT_NE(partRows.find("FILE 10\n"), std::string::npos) << partRows;
  EXPECT_EQ(std::count(partRows.begin(), partRows.end(), '\n'), kRows + 3);
  // Without the per-file lines the parts read as the whole file does.
  auto strip = [](std::string text) {
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
      if (!line.starts_with("FILE ")) out += line + "\n";
    return out;
  };
  EXPECT_EQ(strip(partRows), strip(wholeRows));
  EXPECT_NE(wholeRows.find("FILE 25\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SplitTextType,
    ::testing::Values(TTypeCase{"csv", "csv", "csv"}, TTypeCase{"txt", "txt", "txt"},
                      TTypeCase{"json", "json", "json"}, TTypeCase{"jsonl", "jsonl", "jsonl"},
                      TTypeCase{"xml", "xml", "xml"}, TTypeCase{"html", "html", "html"}),
    [](const auto& info) { return std::string(info.param.type); });

TEST(SplitParts, XmlPartsAreWellFormedAndSqlPartsLoadInOrder) {
  const std::string dir = test::FreshFolder("split-xml-sql");
  ASSERT_EQ(Cli(Args("xml", dir + "c.xml", {"--split-rows", "7"})).status, 0);
  std::string out;
  for (const std::string& f : Parts(dir, "c", ".xml", 4))
    EXPECT_EQ(RunCommand("xmllint --noout " + ShellQuote(f) + " 2>&1", out), 0) << f << out;

  // Rows committed in runs of 4: each part begins its own transaction and ends it, and only the
  // first creates the table, so sqlite3 loads the parts one after another.
  Result r = Cli(
      Args("sql", dir + "c.sql",
           {"--split-rows", "10", "--set", "SQLDialect=sdSQLite", "--set", "TableName=копия",
            "--set", "CreateTable=True", "--set", "CommitRecCount=4", "--format", "null=null"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string db = dir + "load.db";
  for (const std::string& f : Parts(dir, "c", ".sql", 3))
    ASSERT_EQ(RunCommand("sqlite3 -bail " + ShellQuote(db) + " < " + ShellQuote(f) + " 2>&1", out),
              0)
        << f << ": " << out;
  EXPECT_EQ(ReadFile(Parts(dir, "c", ".sql", 3)[1]).find("CREATE TABLE"), std::string::npos);
  const std::string compare =
      "ATTACH " + ShellQuote(Database()) +
      " AS src; SELECT count(*) FROM копия; SELECT count(*) FROM (SELECT * FROM копия EXCEPT "
      "SELECT * FROM src.\"клиенты магазина\");";
  ASSERT_EQ(RunCommand("sqlite3 " + ShellQuote(db) + " " + ShellQuote(compare), out), 0) << out;
  EXPECT_EQ(out, "25\n0\n");
}

TEST(SplitParts, SizeLimitEndsAPartAtTheRowThatReachesIt) {
  const std::string dir = test::FreshFolder("split-size");
  Result r = Cli(Args("csv", dir + "c.csv", {"--split-size", "1K", "--manifest"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string check = R"(
import json, os, sys
m = json.load(open(sys.argv[1]))
files = m['files']
assert len(files) >= 3, files
for f in files[:-1]:
    data = open(os.path.join(os.path.dirname(sys.argv[1]), f['name']), 'rb').read()
    # Where each record ends: a line break outside quotes.
    ends, quoted = [], False
    for i, b in enumerate(data):
        if b == 34: quoted = not quoted
        elif b == 10 and not quoted: ends.append(i + 1)
    # The part reached 1024 bytes with its last record, and not before it.
    assert ends[-1] == len(data) and ends[-2] < 1024 <= len(data), (f, ends[-2:])
print(sum(f['rows'] for f in files))
)";
  EXPECT_EQ(Py(check, {dir + "c.csv.manifest.json"}), "25\n");
}

TEST(CompressedOutput, GzipAndZstdUnpackToThePlainFile) {
  const std::string dir = test::FreshFolder("compress");
  ASSERT_EQ(Cli(Args("csv", dir + "plain.csv")).status, 0);
  ASSERT_EQ(Cli(Args("csv", dir + "g.csv", {"--compress", "gzip"})).status, 0);
  ASSERT_EQ(Cli(Args("csv", dir + "z.csv", {"--compress", "zstd"})).status, 0);
  std::string out;
  ASSERT_EQ(RunCommand("gzip -dc " + ShellQuote(dir + "g.csv.gz"), out), 0);
  EXPECT_EQ(out, ReadFile(dir + "plain.csv"));
  ASSERT_EQ(RunCommand("zstd -qdc " + ShellQuote(dir + "z.csv.zst"), out), 0);
  EXPECT_EQ(out, ReadFile(dir + "plain.csv"));
  EXPECT_FALSE(test::FolderPicture(dir).count("g.csv"));

  // Parts packed one by one, each with its own byte order mark in UTF-16: unpacked, the parts of
  // a plain split run.
  for (const char* kind : {"gzip", "zstd"}) {
    const std::string sub = test::FreshFolder(std::string("compress-parts-") + kind);
    const std::vector<std::string> more = {"--split-rows", "9", "--encoding", "utf-16le"};
    ASSERT_EQ(Cli(Args("xml", sub + "p.xml", more)).status, 0);
    std::vector<std::string> packed = more;
    packed.insert(packed.end(), {"--compress", kind});
    ASSERT_EQ(Cli(Args("xml", sub + "k.xml", packed)).status, 0);
    const std::string ext = std::string(kind) == "gzip" ? ".xml.gz" : ".xml.zst";
    const auto plainParts = Parts(sub, "p", ".xml", 3);
    const auto packedParts = Parts(sub, "k", ext, 3);
    for (size_t i = 0; i < 3; ++i) {
      const std::string unpack = std::string(kind) == "gzip" ? "gzip -dc " : "zstd -qdc ";
      ASSERT_EQ(RunCommand(unpack + ShellQuote(packedParts[i]), out), 0);
      EXPECT_EQ(out, ReadFile(plainParts[i])) << packedParts[i];
      EXPECT_EQ(out.substr(0, 2), "\xff\xfe");
      EXPECT_EQ(RunCommand("xmllint --noout " + ShellQuote(plainParts[i]) + " 2>&1", out), 0)
          << out;
    }
  }

  // Standard output takes a packed stream too.
  Result r = Cli(Args("jsonl", "-", {"--compress", "gzip"}));
  ASSERT_EQ(r.status, 0) << r.err;
  test::WriteFile(dir + "stdout.gz", r.out);
  ASSERT_EQ(RunCommand("gzip -dc " + ShellQuote(dir + "stdout.gz"), out), 0);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), kRows);
}

TEST(Manifest, ListsEveryFileWithItsRowsBytesAndDigest) {
  const std::string dir = test::FreshFolder("manifest");
  Result r = Cli(Args("csv", dir + "orders-${part}.csv",
                      {"--split-rows", "10", "--compress", "zstd", "--manifest"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string check = R"(
import hashlib, json, os, sys
path = sys.argv[1]
m = json.load(open(path))
assert m['compression'] == 'zstd' and m['rows'] == 25, m
for f in m['files']:
    data = open(os.path.join(os.path.dirname(path), f['name']), 'rb').read()
    assert f['bytes'] == len(data) and f['sha256'] == hashlib.sha256(data).hexdigest(), f
    print(f['name'], f['rows'])
)";
  EXPECT_EQ(Py(check, {dir + "orders.csv.manifest.json"}),
            "orders-001.csv.zst 10\norders-002.csv.zst 10\norders-003.csv.zst 5\n");
}

TEST(SplitParts, RefusedWhereTheFilesWouldNotBeWhole) {
  const std::string dir = test::FreshFolder("split-refused");
  for (const char* type : {"dif", "slk", "xlsx", "pdf"}) {
    Result r = Cli(Args(type, dir + "x." + type, {"--split-rows", "5"}));
    EXPECT_EQ(r.status, 2) << type << ": " << r.err;
    EXPECT_NE(r.err.find("--split-rows"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Cli(Args("csv", "-", {"--manifest"})).status, 2);
  EXPECT_EQ(Cli(Args("csv", dir + "x.csv", {"--compress", "rar"})).status, 2);
  EXPECT_EQ(Cli(Args("csv", dir + "x.csv", {"--split-size", "1.5G"})).status, 2);
  EXPECT_EQ(Cli(Args("csv", dir + "x.csv", {"--split-rows", "0"})).status, 2);
  EXPECT_TRUE(test::FolderPicture(dir).empty());
  // Packing alone suits every text type.
  EXPECT_EQ(Cli(Args("dif", dir + "x.dif", {"--compress", "gzip"})).status, 0);
  EXPECT_TRUE(test::FolderPicture(dir).count("x.dif.gz"));
}

TEST(SplitParts, AFailedRunLeavesThePreviousPartsAndNoNewOnes) {
  const std::string full = test::FreshFolder("parts-full");
  const std::vector<std::string> more = {"--split-rows", "6", "--compress", "gzip", "--manifest"};
  ASSERT_EQ(Cli(Args("csv", full + "c.csv", more)).status, 0);
  size_t total = 0;
  for (const auto& [name, bytes] : test::FolderPicture(full)) total = std::max(total, bytes.size());

  const std::string dir = test::FreshFolder("parts-failed");
  std::map<std::string, std::string> previous = {{"c.part001.csv.gz", "previous part 1"},
                                                 {"c.part002.csv.gz", "previous part 2"},
                                                 {"c.csv.manifest.json", "{}"}};
  for (const auto& [name, bytes] : previous) test::WriteFile(dir + name, bytes);
  for (size_t limit : {size_t{0}, total / 2, total - 1}) {
    Result r;
    {
      const test::TFileSizeLimit disk(limit);
      r = Cli(Args("csv", dir + "c.csv", more));
    }
    EXPECT_EQ(r.status, 1) << limit << ": " << r.err;
    EXPECT_EQ(r.err.find("morvale-part"), std::string::npos) << r.err;
    EXPECT_EQ(test::FolderPicture(dir), previous) << limit << ": " << test::FolderNames(dir);
  }
  // A run that finishes replaces them all together.
  ASSERT_EQ(Cli(Args("csv", dir + "c.csv", more)).status, 0);
  EXPECT_EQ(test::FolderPicture(dir).size(), 6u) << test::FolderNames(dir);
}

TEST(PartsOptionsFile, SavedAndRunAgainWithTheSameParts) {
  const std::string dir = test::FreshFolder("parts-options");
  Result saved = Cli(Args("csv", dir + "a.csv",
                          {"--split-rows", "10", "--split-size", "100M", "--compress", "zstd",
                           "--manifest", "--save-options", dir + "parts.cfg"}));
  ASSERT_EQ(saved.status, 0) << saved.err;
  const std::string cfg = ReadFile(dir + "parts.cfg");
  EXPECT_NE(cfg.find("[PARTS]\nSplitRows=10\nSplitSize=100M\nCompression=zstd\nManifest=1\n"),
            std::string::npos)
      << cfg;
  // From the file alone: the same parts.
  Result again = Cli({"--db", "sqlite:" + Database(), "--table", "\"клиенты магазина\"", "--locale",
                      "C", "--options", dir + "parts.cfg", "-o", dir + "b.csv"});
  ASSERT_EQ(again.status, 0) << again.err;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadFile(Parts(dir, "b", ".csv.zst", 3)[static_cast<size_t>(i)]),
              ReadFile(Parts(dir, "a", ".csv.zst", 3)[static_cast<size_t>(i)]));
  EXPECT_TRUE(test::FolderPicture(dir).count("b.csv.manifest.json"));
  // Flags after the file override it.
  Result over = Cli({"--db", "sqlite:" + Database(), "--table", "\"клиенты магазина\"", "--locale",
                     "C", "--options", dir + "parts.cfg", "-o", dir + "c.csv", "--split-rows", "20",
                     "--compress", "none"});
  ASSERT_EQ(over.status, 0) << over.err;
  EXPECT_TRUE(test::FolderPicture(dir).count("c.part002.csv"));
  EXPECT_FALSE(test::FolderPicture(dir).count("c.part003.csv"));
}

}  // namespace
}  // namespace morvale
