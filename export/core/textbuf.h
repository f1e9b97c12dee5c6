// A small stack buffer in front of a std::string: the value renderers write a character at a
// time, and std::string's per-character growth check costs more than the formatting itself.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace morvale {

class TTextBuffer {
 public:
  explicit TTextBuffer(std::string& out) : out_(out) {}
  ~TTextBuffer() { Flush(); }
  TTextBuffer(const TTextBuffer&) = delete;
  TTextBuffer& operator=(const TTextBuffer&) = delete;

  void Put(char c) {
    if (n_ == sizeof buf_) Flush();
    buf_[n_++] = c;
  }
  void Put(std::string_view s) {
    if (s.size() > sizeof buf_ - n_) {
      Flush();
      if (s.size() > sizeof buf_) {
        out_.append(s);
        return;
      }
    }
    std::memcpy(buf_ + n_, s.data(), s.size());
    n_ += s.size();
  }
  void Repeat(char c, size_t count) {
    while (count--) Put(c);
  }
  // Unsigned decimal with at least minDigits digits (leading zeros).
  void Number(uint64_t v, int minDigits) {
    // Dates and times are made of one- and two-digit parts: those skip the general loop.
    if (v < 100 && minDigits <= 2 && n_ + 2 <= sizeof buf_) {
      if (v >= 10 || minDigits == 2) buf_[n_++] = static_cast<char>('0' + v / 10);
      buf_[n_++] = static_cast<char>('0' + v % 10);
      return;
    }
    char tmp[20];
    int len = 0;
    do {
      tmp[len++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v);
    for (int i = len; i < minDigits; ++i) Put('0');
    while (len) Put(tmp[--len]);
  }
  void Flush() {
    out_.append(buf_, n_);
    n_ = 0;
  }

 private:
  std::string& out_;
  size_t n_ = 0;
  char buf_[128];
};

}  // namespace morvale
