#include "app/helpers/texts.h"

namespace morvale {

std::string TrimSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return std::string(text);
}

std::string UpperText(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 32);
    } else if (i + 1 < out.size()) {
      unsigned char d = static_cast<unsigned char>(out[i + 1]);
      if (c == 0xD0 && d >= 0xB0 && d <= 0xBF) {  // а..п
        out[i + 1] = static_cast<char>(d - 0x20);
        ++i;
      } else if (c == 0xD1 && d >= 0x80 && d <= 0x8F) {  // р..я
        out[i] = static_cast<char>(0xD0);
        out[i + 1] = static_cast<char>(d + 0x20);
        ++i;
      } else if (c == 0xD1 && d == 0x91) {  // ё
        out[i] = static_cast<char>(0xD0);
        out[i + 1] = static_cast<char>(0x81);
        ++i;
      } else if (c >= 0xC0) {
        ++i;  // the second byte of another two-byte character is never a letter to change
      }
    }
  }
  return out;
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

}  // namespace morvale
