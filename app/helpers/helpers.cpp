#include "app/helpers/helpers.h"

#include "app/helpers/texts.h"

namespace morvale {

TCharSet CharSet(std::string_view chars) {
  TCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

std::string StripSet(const TCharSet& set, std::string_view text) {
  auto in = [&](char c) { return set.test(static_cast<unsigned char>(c)); };
  while (!text.empty() && in(text.back())) text.remove_suffix(1);
  while (!text.empty() && in(text.front())) text.remove_prefix(1);
  return std::string(text);
}

void AppendQuoted(std::string_view item, std::string& out) {
  out += '"';
  for (char c : item) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string QuoteJoin(const TCharSet& set, const TStringList& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    if (i) out += ',';
    AppendQuoted(set.none() ? std::string(list[i]) : StripSet(set, list[i]), out);
  }
  return out;
}

std::string WordAt(const TCharSet& set, std::string_view text, int n) {
  std::string whole = TrimSpaces(StripSet(set, TrimSpaces(text)));
  if (n <= 0) return whole;
  auto in = [&](char c) { return set.test(static_cast<unsigned char>(c)); };
  size_t i = 0;
  for (int word = 1; i < whole.size(); ++word) {
    while (i < whole.size() && in(whole[i])) ++i;
    size_t start = i;
    while (i < whole.size() && !in(whole[i])) ++i;
    if (start == i) break;
    if (word == n) return TrimSpaces(std::string_view(whole).substr(start, i - start));
  }
  return {};
}

int SplitWords(const TCharSet& set, std::string_view text, TStringList& words) {
  words.Clear();
  for (int n = 1; n <= 99999; ++n) {
    std::string w = WordAt(set, text, n);
    if (w.empty()) break;
    words.Add(std::move(w));
  }
  return words.Count();
}

}  // namespace morvale
