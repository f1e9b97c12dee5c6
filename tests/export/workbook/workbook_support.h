// What the workbook model's tests share: a fresh file name under the build folder, named after
// the running test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace morvale::test {

inline std::string WorkbookTempPath(const std::string& name) {
  std::string dir = MORVALE_BINARY_DIR "/test-output/workbook";
  std::filesystem::create_directories(dir);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string path = dir + "/";
  if (info) path += std::string(info->test_suite_name()) + "." + info->name() + ".";
  path += name;
  std::remove(path.c_str());
  return path;
}

}  // namespace morvale::test
