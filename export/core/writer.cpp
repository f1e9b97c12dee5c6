#include "export/core/writer.h"

#include "export/core/codepage.h"

namespace morvale {

void TExportWriter::CharLine(char ch, int count) {
  WriteLn(std::string(count > 0 ? static_cast<size_t>(count) : 0, ch));
}

// Widths count characters, not bytes, so multi-byte text lines up with single-byte text.
std::string TExportWriter::PadLeft(std::string_view s, char ch, int width) {
  size_t w = width > 0 ? static_cast<size_t>(width) : 0;
  size_t len = TextLength(s);
  if (len >= w) return std::string(s);
  return std::string(w - len, ch) + std::string(s);
}

std::string TExportWriter::PadRight(std::string_view s, char ch, int width) {
  size_t w = width > 0 ? static_cast<size_t>(width) : 0;
  size_t len = TextLength(s);
  std::string r(s);
  if (len < w) r.append(w - len, ch);
  return r;
}

std::string TExportWriter::PadBoth(std::string_view s, char ch, int width) {
  int d = width - static_cast<int>(TextLength(s));
  if (d <= 0) return std::string(s);
  std::string r(static_cast<size_t>(d / 2), ch);
  r += s;
  r.append(static_cast<size_t>(d - d / 2), ch);
  return r;
}

void TExportWriter::AlignToStr(TExportColAlign align, std::string& s) {
  switch (align) {
    case ecaLeft:
      s = "Left alignment";
      break;
    case ecaCenter:
      s = "Center alignment";
      break;
    case ecaRight:
      s = "Right alignment";
      break;
    default:
      s = "Unknown alignment";
  }
}

}  // namespace morvale
