// Text helpers of the desktop program: trimming spaces only (a tab is text), upper-casing that
// does not depend on the locale, and the blank-line tests the console and the exports share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/core/classes.h"

namespace morvale {

// Removes the space character (0x20) at both ends; tabs and other control characters stay.
std::string TrimSpaces(std::string_view text);

// Latin a-z and the Cyrillic lower-case letters (UTF-8, the system code page here) upper-cased,
// whatever the locale; every other byte unchanged.
std::string UpperText(std::string_view text);

// The first line whose trimmed text is not empty, or -1.
int FirstNonBlankLine(const TStringList& lines);

// Removes every line whose trimmed text is empty; the other lines stay untrimmed and in order.
int DropBlankLines(TStringList& lines);

}  // namespace morvale
