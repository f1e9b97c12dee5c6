#include "app/helpers/helpers.h"

#include "export/core/codepage.h"

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

std::string TrimSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return std::string(text);
}

namespace {

// Windows-1251: а-я are 0xE0-0xFF, ё is 0xB8.
void UpperCp1251(std::string& s) {
  for (char& ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
      ch = static_cast<char>(c - 32);
    else if (c >= 0xE0)
      ch = static_cast<char>(c - 32);
    else if (c == 0xB8)
      ch = static_cast<char>(0xA8);
  }
}

// UTF-8: а-п are D0 B0-BF, р-я are D1 80-8F, ё is D1 91, ѐ-џ are D1 90-9F.
void UpperUtf8(std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'a' && c <= 'z') {
      s[i] = static_cast<char>(c - 32);
    } else if (i + 1 < s.size() && (c == 0xD0 || c == 0xD1)) {
      auto d = static_cast<unsigned char>(s[i + 1]);
      if (c == 0xD0 && d >= 0xB0 && d <= 0xBF) {
        s[i + 1] = static_cast<char>(d - 0x20);
      } else if (c == 0xD1 && d >= 0x80 && d <= 0x8F) {
        s[i] = static_cast<char>(0xD0);
        s[i + 1] = static_cast<char>(d + 0x20);
      } else if (c == 0xD1 && d >= 0x90 && d <= 0x9F) {
        s[i] = static_cast<char>(0xD0);
        s[i + 1] = static_cast<char>(d - 0x10);
      }
      ++i;
    }
  }
}

bool SystemCodePageIs1251() {
  const std::string& cp = SystemCodePage();
  return SameText(cp, "CP1251") || SameText(cp, "WINDOWS-1251");
}

}  // namespace

std::string UpperText(std::string_view text) {
  std::string s(text);
  if (SystemCodePageIs1251())
    UpperCp1251(s);
  else
    UpperUtf8(s);
  return s;
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

int FirstNonBlankLine(const TStringList& lines) {
  for (int i = 0; i < lines.Count(); ++i)
    if (!TrimSpaces(lines[i]).empty()) return i;
  return -1;
}

int DropBlankLines(TStringList& lines) {
  for (int i = lines.Count() - 1; i >= 0; --i)
    if (TrimSpaces(lines[i]).empty()) lines.Delete(i);
  return lines.Count();
}

std::string SafeFileName(std::string_view text) {
  std::string s = TrimSpaces(text);
  if (s.empty()) return "_";
  for (char& c : s)
    if (std::string_view(" */:?\\|").find(c) != std::string_view::npos) c = '_';
  return s;
}

}  // namespace morvale
