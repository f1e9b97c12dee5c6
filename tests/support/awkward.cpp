#include "tests/support/awkward.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <stdexcept>

#include "tests/support/demo.h"

namespace morvale::test {

const std::string& AwkwardDatabase() {
  static std::string path;
  static std::once_flag once;
  std::call_once(once, [] {
    path = std::string(MORVALE_BINARY_DIR) + "/tests/awkward.db";
    const std::string source = std::string(MORVALE_SOURCE_DIR) + "/tests/support/awkward.sql";
    struct stat db, sql;
    // Made again when the fixture changed, so that an old build folder never tests old data.
    if (::stat(path.c_str(), &db) == 0 && ::stat(source.c_str(), &sql) == 0 &&
        db.st_mtime >= sql.st_mtime)
      return;
    std::string out;
    // ctest runs several test programs at once: each makes its own copy and renames it in.
    const std::string tmp = path + "." + std::to_string(::getpid());
    if (RunCommand("rm -f " + ShellQuote(tmp) + " && sqlite3 -bail " + ShellQuote(tmp) + " < " +
                       ShellQuote(source) + " && mv " + ShellQuote(tmp) + " " + ShellQuote(path),
                   out) != 0)
      throw std::runtime_error("cannot make the awkward database");
  });
  return path;
}

const std::vector<std::string>& AwkwardTables() {
  static const std::vector<std::string> tables = {"my table",    "Order Details", "Order",
                                                  "Group",       "Select",        "Клиенты",
                                                  "CamelOrders", "say \"hi\"",    "all types"};
  return tables;
}

const std::vector<std::string>& AwkwardViews() {
  static const std::vector<std::string> views = {"my view", "Select View", "Представление"};
  return views;
}

}  // namespace morvale::test
