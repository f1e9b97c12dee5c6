#include "app/tools/wholefile.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace morvale {

void WriteWholeFile(const std::string& fileName, const std::function<void(TStream&)>& write) {
  std::string temp = fileName + ".~" + std::to_string(getpid());
  try {
    TFileStream f(temp);
    write(f);
    f.Close();
    std::filesystem::rename(temp, fileName);
  } catch (...) {
    std::remove(temp.c_str());
    throw;
  }
}

void WriteCrLfLines(TStream& out, const TStringList& lines) {
  for (const std::string& line : lines) {
    out.Write(line);
    out.Write("\r\n");
  }
}

}  // namespace morvale
