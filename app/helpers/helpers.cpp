#include "app/helpers/helpers.h"

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

}  // namespace morvale
