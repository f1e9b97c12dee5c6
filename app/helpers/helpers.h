// Text helpers of the desktop program and its own exports: trimming spaces, upper-casing in the
// system code page, words on a character set, quoting a list of values into one line, blank-line
// handling and safe file names.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

#include "export/core/classes.h"

namespace morvale {

using TCharSet = std::bitset<256>;

TCharSet CharSet(std::string_view chars);

// Removes characters of the set from the right end, then from the left end.
std::string StripSet(const TCharSet& set, std::string_view text);

// Each item stripped of the set, its double quotes doubled, enclosed in double quotes; items
// separated by a comma. An empty list gives the empty text.
std::string QuoteJoin(const TCharSet& set, const TStringList& list);
// Appends one item as QuoteJoin writes it (nothing stripped).
void AppendQuoted(std::string_view item, std::string& out);

// Removes the space character (only it: tabs stay) at both ends.
std::string TrimSpaces(std::string_view text);
// Latin and Cyrillic letters upper-cased in the system code page (UTF-8 or Windows-1251),
// whatever the locale; every other byte unchanged.
std::string UpperText(std::string_view text);
// The text trimmed, stripped of the set and trimmed again: n = 0 gives that whole text, n >= 1
// its n-th word (a run of characters outside the set), trimmed; empty past the last word.
std::string WordAt(const TCharSet& set, std::string_view text, int n);
// Clears `words` and adds WordAt for n = 1, 2, ... up to the first empty one; gives the count.
int SplitWords(const TCharSet& set, std::string_view text, TStringList& words);
// The index of the first line whose trimmed text is not empty, or -1.
int FirstNonBlankLine(const TStringList& lines);
// Removes the lines whose trimmed text is empty; gives how many are left.
int DropBlankLines(TStringList& lines);
// Trimmed; empty becomes "_"; space, '*', '/', ':', '?', '\\' and '|' become '_'. The result
// holds no '/', so a name made of a prefix and it stays in the prefix's folder.
std::string SafeFileName(std::string_view text);

}  // namespace morvale
