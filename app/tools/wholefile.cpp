#include "app/tools/wholefile.h"

#include "export/core/outputfiles.h"

namespace morvale {

void WriteWholeFile(const std::string& fileName, const std::function<void(TStream&)>& write) {
  TOutputFiles files;
  write(files.Create(fileName));
  files.Commit();
}

void WriteCrLfLines(TStream& out, const TStringList& lines) {
  for (const std::string& line : lines) {
    out.Write(line);
    out.Write("\r\n");
  }
}

}  // namespace morvale
