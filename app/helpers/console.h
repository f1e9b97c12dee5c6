// The SQL console's rules, without a window: which texts it lets through (read commands only),
// which lines are comments to leave out of a run, and where a query that ran is saved.
#pragma once

#include <string>
#include <string_view>

#include "export/core/classes.h"

namespace morvale {

enum TCommandKind { ckNone, ckSelect, ckShow, ckDesc };

// A line that begins with "/*" in its first column (no space before it).
bool IsCommentLine(std::string_view line);
void RemoveCommentLines(TStringList& lines);

// Decided by the first non-blank line after the comment lines are removed, trimmed and
// upper-cased: "SELECT", "SHOW" or "DESC" at its start (so DESCRIBE counts); no other line counts.
TCommandKind CommandKind(const TStringList& lines);

struct TClockStamp {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

// "SQL_" + yyyymmdd + "_" + hhmmss + ".txt", both numbers in decimal without leading zeros. The
// numbers come from the clock itself, so every locale gives the same kind of name.
std::string SavedQueryName(const TClockStamp& now);

// Writes the lines to a new file in `folder` (ending in '/') named SavedQueryName, "-1", "-2"...
// added when that name is taken, each line ended by CR LF; returns the path. Raises when the
// file cannot be written.
std::string SaveQueryText(const std::string& folder, const TClockStamp& now,
                          const TStringList& lines);

}  // namespace morvale
