#include "app/tools/sdf.h"

#include "app/helpers/helpers.h"
#include "app/tools/wholefile.h"
#include "export/core/translate.h"

namespace morvale {

void WriteSDF(TDataSet& ds, TStream& out, const TSDFProgress& progress) {
  if (!ds.Active()) throw Exception(TranslateText("Engine", "Сначала откройте набор данных ..."));
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
  if (!ds.Active()) throw Exception(TranslateText("Engine", "Сначала откройте набор данных ..."));
  WriteWholeFile(fileName, [&](TStream& out) { WriteSDF(ds, out, progress); });
}

}  // namespace morvale
