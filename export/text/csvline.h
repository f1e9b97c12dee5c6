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

// The room CopyQuoted needs for `size` bytes of text.
constexpr size_t QuotedRoom(size_t size) {
  return 2 * size + 2;
}

// Writes `text` enclosed in `quote`, each quote inside doubled, at p, which has room for
// QuotedRoom(text.size()) bytes; returns the end. The one quoting rule of the CSV and DIF exports.
inline char* CopyQuoted(char* p, std::string_view text, char quote) {
  // Every cell of a CSV file comes here. Eight bytes at a time go in one move when none of them
  // is the quote, which is nearly always; a library search and copy per run costs more than that
  // on cells this short. The last bytes of a longer text go as the last eight bytes again (those
  // before them are written over with themselves), and only words that hold a quote, and texts
  // shorter than a word, go byte by byte.
  constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  const uint64_t quotes = kOnes * static_cast<unsigned char>(quote);
  auto hasQuote = [&](uint64_t word) {
    const uint64_t x = word ^ quotes;  // a zero byte where the quote is
    return ((x - kOnes) & ~x & kHighs) != 0;
  };
  auto bytes = [&](const char* from, const char* to) {
    for (; from != to; ++from) {
      *p++ = *from;
      if (*from == quote) *p++ = quote;
    }
  };
  const char* s = text.data();
  const char* const end = s + text.size();
  *p++ = quote;
  uint64_t word;
  while (end - s >= 8) {
    std::memcpy(&word, s, 8);
    if (hasQuote(word)) {
      bytes(s, s + 8);
    } else {
      std::memcpy(p, &word, 8);
      p += 8;
    }
    s += 8;
  }
  if (s != end && text.size() >= 8) {
    std::memcpy(&word, end - 8, 8);
    if (!hasQuote(word)) {
      // No quote among the bytes already written either: they stand where they are read again.
      const size_t rest = static_cast<size_t>(end - s);
      std::memcpy(p - (8 - rest), &word, 8);
      p += rest;
      s = end;
    }
  }
  bytes(s, end);
  *p++ = quote;
  return p;
}

// Appends `text` quoted as CopyQuoted writes it.
inline void AppendQuoted(std::string_view text, char quote, std::string& out) {
  const size_t used = out.size();
  out.resize(used + QuotedRoom(text.size()));
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
    char* p = Room(QuotedRoom(text.size()) + 1);
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
