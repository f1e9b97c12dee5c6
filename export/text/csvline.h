// One separated-values line built in place. Each cell is copied once, straight into the line, with
// its quote characters doubled and the separator after it: the CSV export writes millions of
// cells, and a copy per step (escape, quote, decorate, append) costs more than the values' own
// rendering.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace morvale {

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
      p = Copy(p, text);
    } else {
      *p++ = quote_;
      for (const char* q; (q = Find(text, quote_)) != nullptr;) {
        const size_t run = static_cast<size_t>(q - text.data()) + 1;
        p = Copy(p, text.substr(0, run));
        *p++ = quote_;
        text.remove_prefix(run);
      }
      p = Copy(p, text);
      *p++ = quote_;
    }
    *p++ = comma_;
    used_ = static_cast<size_t>(p - buffer_.data());
  }
  // The line without the separator after its last cell; empty for a line without cells.
  std::string_view Text() const {
    return std::string_view(buffer_.data(), used_ > 0 ? used_ - 1 : 0);
  }

 private:
  // At least n writable bytes after the used part; the buffer grows and keeps its size, so a
  // long export resizes it a few times and then never again.
  char* Room(size_t n) {
    if (buffer_.size() - used_ < n) buffer_.resize(std::max(buffer_.size() * 2, used_ + n + 256));
    return buffer_.data() + used_;
  }
  static char* Copy(char* p, std::string_view s) {
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
    return p + s.size();
  }
  static const char* Find(std::string_view s, char c) {
    return s.empty() ? nullptr : static_cast<const char*>(std::memchr(s.data(), c, s.size()));
  }

  std::string buffer_;
  size_t used_ = 0;
  char comma_ = ',', quote_ = '"';
};

}  // namespace morvale
