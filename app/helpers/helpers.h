// Text helpers of the desktop program and its own exports: stripping a character set from the
// ends of a text, the words of a text on a character set, and quoting a list of values into one
// line.
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

// The text trimmed, stripped of the set and trimmed again: n = 0 gives that whole text, n >= 1
// its n-th word (a run of characters outside the set), trimmed; empty past the last word.
std::string WordAt(const TCharSet& set, std::string_view text, int n);
// Clears `words` and adds WordAt for n = 1, 2, ... up to the first empty one; gives the count.
int SplitWords(const TCharSet& set, std::string_view text, TStringList& words);

}  // namespace morvale
