// One separated-values line built in place. Each cell is copied once, straight into the line, with
// its quote characters doubled and the separator after it: the CSV export writes millions of
// cells, and a copy per step (escape, quote, decorate, append) costs more than the values' own
// rendering.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace morvale {

// Writes `text` enclosed in `quote`, each quote inside doubled, at p, which has room for
// 2 * text.size() + 2 bytes; returns the end. The one quoting rule of the CSV and DIF exports.
inline char* CopyQuoted(char* p, std::string_view text, char quote) {
  // Every cell of a CSV file comes here. Eight bytes at a time go in one move when none of them
  // is the quote, which is nearly always; a library search and copy per run costs more than that
  // on cells this short. The bytes around a quote, and the last few, go one by one.
  constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  const uint64_t quotes = kOnes * static_cast<unsigned char>(quote);
  const char* s = text.data();
  const char* const end = s + text.size();
  *p++ = quote;
  while (end - s >= 8) {
    uint64_t word;
    std::memcpy(&word, s, 8);
    const uint64_t x = word ^ quotes;  // a zero byte where the quote is
    if (((x - kOnes) & ~x & kHighs) == 0) {
      std::memcpy(p, &word, 8);
      p += 8;
    } else {
      for (int i = 0; i < 8; ++i) {
        *p++ = s[i];
        if (s[i] == quote) *p++ = quote;
      }
    }
    s += 8;
  }
  for (; s != end; ++s) {
    *p++ = *s;
    if (*s == quote) *p++ = quote;
  }
  *p++ = quote;
  return p;
}

// Appends `text` quoted as CopyQuoted writes it.
inline void AppendQuoted(std::string_view text, char quote, std::string& out) {
  const size_t used = out.size();
  out.resize(used + text.size() * 2 + 2);
  out.resize(static_cast<size_t>(CopyQuoted(out.data() + used, text, quote) - out.data()));
}

class TCsvLine {
 public:
  // Starts an empty line whose cells end in `comma` and are enclosed in `quote`; with quote
  // '\0' cells go as they are.
  void Start(char comma, char quote) {
    comma_ = comma;
    quote_ = quote;
    used_ = 0;
  }
  // Appends the cell and the separator after it. A quoted cell keeps every byte, separators
  // and line breaks included: inside quotes readers take them as data.
  void AddCell(std::string_view text) {
    char* p = Room(text.size() * 2 + 3);
    if (quote_ == '\0') {
      if (!text.empty()) std::memcpy(p, text.data(), text.size());
      p += text.size();
    } else {
      p = CopyQuoted(p, text, quote_);
    }
    *p++ = comma_;
    used_ = static_cast<size_t>(p - buffer_.data());
  }
  // The line without the separator after its last cell; empty for a line without cells.
  std::string_view Text() const {
    return std::string_view(buffer_.data(), used_ > 0 ? used_ - 1 : 0);
  }
  // Text followed by `ending` (the line break), for the file to take in one write. The line
  // takes no cells after it until Start.
  std::string_view Finish(std::string_view ending) {
    if (used_ > 0) --used_;
    char* p = Room(ending.size());
    std::memcpy(p, ending.data(), ending.size());
    used_ += ending.size();
    return std::string_view(buffer_.data(), used_);
  }

 private:
  // At least n writable bytes after the used part; the buffer grows and keeps its size, so a
  // long export resizes it a few times and then never again.
  char* Room(size_t n) {
    if (buffer_.size() - used_ < n) buffer_.resize(std::max(buffer_.size() * 2, used_ + n + 256));
    return buffer_.data() + used_;
  }

  std::string buffer_;
  size_t used_ = 0;
  char comma_ = ',', quote_ = '"';
};

}  // namespace morvale
