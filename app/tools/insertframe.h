// Field-name framing in a script of INSERT statements: the column list on the first non-blank line
// after each line that begins with INSERT is rewritten with every name between frame characters.
// The frame characters are delimiters themselves, so framing framed names changes nothing.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "export/core/classes.h"

namespace morvale {

// "Err. Строка N " + zero-based line index + " " + trimmed line, for a column list without names.
using TFrameMessage = std::function<void(const std::string& message)>;
// Called once per line with the progress in percent.
using TFrameProgress = std::function<void(int percent)>;

// "  (" + f + w1 + f + "," + f + w2 + f + ... + ")".
std::string FramedColumnList(const TStringList& words, std::string_view frame);

// Rewrites the column lists of `lines` in place with the trimmed frame text; gives the number of
// lines rewritten.
int FrameInsertFields(TStringList& lines, std::string_view frame, const TFrameMessage& message = {},
                      const TFrameProgress& progress = {});

// The script's lines (LF or CR LF), and the lines written back each ended by CR LF; the file is
// replaced only once the whole text is written. Both raise with the system's message.
TStringList LoadScriptLines(const std::string& fileName);
void SaveScriptLines(const std::string& fileName, const TStringList& lines);

}  // namespace morvale
