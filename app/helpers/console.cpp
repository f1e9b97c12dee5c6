#include "app/helpers/console.h"

#include <fstream>

#include "app/helpers/files.h"
#include "app/helpers/helpers.h"
#include "export/core/translate.h"

namespace morvale {

bool IsCommentLine(std::string_view line) {
  return !TrimSpaces(line).empty() && line.substr(0, 2) == "/*";
}

void RemoveCommentLines(TStringList& lines) {
  for (int i = lines.Count() - 1; i >= 0; --i)
    if (IsCommentLine(lines[i])) lines.Delete(i);
}

TCommandKind CommandKind(const TStringList& lines) {
  TStringList text = lines;
  RemoveCommentLines(text);
  int first = FirstNonBlankLine(text);
  if (first < 0) return ckNone;
  std::string head = UpperText(TrimSpaces(text[first]));
  auto starts = [&](std::string_view word) { return head.compare(0, word.size(), word) == 0; };
  if (starts("SELECT")) return ckSelect;
  if (starts("SHOW")) return ckShow;
  if (starts("DESC")) return ckDesc;
  return ckNone;
}

std::string SavedQueryName(const TClockStamp& now) {
  long date = now.Year * 10000L + now.Month * 100L + now.Day;
  long time = now.Hour * 10000L + now.Minute * 100L + now.Second;
  return "SQL_" + std::to_string(date) + "_" + std::to_string(time) + ".txt";
}

std::string SaveQueryText(const std::string& folder, const TClockStamp& now,
                          const TStringList& lines) {
  std::string path = UniqueFileName(WithSlash(folder) + SafeFileName(SavedQueryName(now)));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  out.close();
  if (!out) throw Exception(Format(TranslateText("Engine", "Cannot write the file %s"), {path}));
  return path;
}

}  // namespace morvale
