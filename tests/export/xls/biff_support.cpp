#include "tests/export/xls/biff_support.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace morvale::test {

std::vector<TRecord> ParseRecords(const std::string& s) {
  std::vector<TRecord> out;
  size_t p = 0;
  auto u8 = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  while (p + 4 <= s.size()) {
    uint16_t id = static_cast<uint16_t>(u8(p) | (u8(p + 1) << 8));
    size_t len = u8(p + 2) | (u8(p + 3) << 8);
    if (p + 4 + len > s.size()) {
      ADD_FAILURE() << "record " << std::hex << id << " at " << std::dec << p
                    << " runs past the end";
      break;
    }
    TRecord r{id, std::vector<uint8_t>(s.begin() + p + 4, s.begin() + p + 4 + len), p};
    out.push_back(std::move(r));
    p += 4 + len;
  }
  EXPECT_EQ(p, s.size()) << "trailing bytes after the last record";
  return out;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  char buf[4];
  for (uint8_t b : bytes) {
    snprintf(buf, sizeof buf, "%02X", b);
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

std::string Hex(const std::string& bytes) {
  return Hex(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> Bytes(const std::string& hex) {
  std::vector<uint8_t> out;
  std::istringstream in(hex);
  std::string b;
  while (in >> b) out.push_back(static_cast<uint8_t>(std::stoul(b, nullptr, 16)));
  return out;
}

std::string IdList(const std::vector<TRecord>& records) {
  std::string out;
  char buf[8];
  for (const TRecord& r : records) {
    snprintf(buf, sizeof buf, "%04X", r.id);
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

static std::string Run(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return "cannot run: " + command;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

std::string DumpWorkbook(const std::string& path) {
  return Run("/usr/bin/python3 " MORVALE_SOURCE_DIR "/tests/export/xls/xlsdump.py '" + path + "'");
}

std::string ReadWorkbookStream(const std::string& path) {
  std::string out = TempPath("stream.bin");
  std::string r =
      Run("/usr/bin/python3 -c \"import olefile,sys; "
          "open(sys.argv[2],'wb').write(olefile.OleFileIO(sys.argv[1])"
          ".openstream('Workbook').read())\" '" +
          path + "' '" + out + "'");
  EXPECT_EQ(r, "");
  std::ifstream in(out, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TempPath(const std::string& name) {
  std::string dir = MORVALE_BINARY_DIR "/test-output/xls";
  std::filesystem::create_directories(dir);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string prefix = info ? std::string(info->test_suite_name()) + "." + info->name() + "." : "";
  return dir + "/" + prefix + name;
}

}  // namespace morvale::test
