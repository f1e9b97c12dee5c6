#include "app/tools/insertframe.h"

#include <cmath>

#include "app/helpers/helpers.h"
#include "app/tools/wholefile.h"
#include "export/core/streams.h"
#include "export/core/translate.h"

namespace morvale {

std::string FramedColumnList(const TStringList& words, std::string_view frame) {
  std::string line = "  (";
  for (int i = 0; i < words.Count(); ++i) {
    if (i) line += ',';
    line.append(frame).append(words[i]).append(frame);
  }
  return line + ")";
}

namespace {

// Scripts are often indented with tabs: a tab before INSERT or before a column list is blank
// space here, not part of a name (trimming spaces alone would miss the INSERT and frame the tab).
std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

}  // namespace

int FrameInsertFields(TStringList& lines, std::string_view frameText, const TFrameMessage& message,
                      const TFrameProgress& progress) {
  const std::string frame = TrimSpaces(frameText);
  // The frame's own characters are delimiters, so a framed list splits into the bare names.
  TCharSet delimiters = CharSet("(),\t");
  delimiters |= CharSet(frame);
  const int count = lines.Count();
  bool afterInsert = false;
  int changed = 0;
  TStringList words;
  for (int i = 0; i < count; ++i) {
    std::string t(TrimBlanks(lines[i]));
    if (!t.empty()) {
      if (UpperText(t).starts_with("INSERT")) {
        afterInsert = true;
      } else if (afterInsert) {
        afterInsert = false;
        if (SplitWords(delimiters, t, words) == 0) {
          if (message)
            message(Format(TranslateText("Engine", "Err. Строка N %s %s"), {std::to_string(i), t}));
        } else {
          lines[i] = FramedColumnList(words, frame);
          ++changed;
        }
      }
    }
    if (progress)
      progress(count > 1 ? static_cast<int>(std::lround(100.0 * i / (count - 1))) : 100);
  }
  return changed;
}

TStringList LoadScriptLines(const std::string& fileName) {
  TFileStream f(fileName, TFileStream::fmOpenRead);
  std::string text;
  char buf[65536];
  for (size_t n; (n = f.Read(buf, sizeof buf)) > 0;) text.append(buf, n);
  TStringList lines;
  lines.SetText(text);
  return lines;
}

void SaveScriptLines(const std::string& fileName, const TStringList& lines) {
  WriteWholeFile(fileName, [&](TStream& out) { WriteCrLfLines(out, lines); });
}

}  // namespace morvale
