#include "app/tools/sdf.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/helpers/helpers.h"

namespace morvale {

void WriteSDF(TDataSet& ds, TStream& out, const TSDFProgress& progress) {
  if (!ds.Active()) throw Exception("Сначала откройте набор данных ...");
  ds.First();
  std::string line, value;
  for (int i = 0; i < ds.FieldCount(); ++i) {
    if (i) line += ',';
    AppendQuoted(ds.Fields(i).FieldName, line);
  }
  line += "\r\n";
  out.Write(line);
  while (!ds.Eof()) {
    line.clear();
    for (int i = 0; i < ds.FieldCount(); ++i) {
      if (i) line += ',';
      ds.Fields(i).GetText(value);  // a NULL gives the empty text
      AppendQuoted(value, line);
    }
    line += "\r\n";
    out.Write(line);
    if (progress) progress();
    ds.Next();
  }
}

void SaveSDF(TDataSet& ds, const std::string& fileName, const TSDFProgress& progress) {
  if (!ds.Active()) throw Exception("Сначала откройте набор данных ...");
  std::string temp = fileName + ".~" + std::to_string(getpid());
  try {
    TFileStream f(temp);
    WriteSDF(ds, f, progress);
    f.Close();
    std::filesystem::rename(temp, fileName);
  } catch (...) {
    std::remove(temp.c_str());
    throw;
  }
}

}  // namespace morvale
