#include "export/core/codepage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <mutex>

#include "export/core/classes.h"

namespace morvale {

namespace {

std::string& CodePageSlot() {
  static std::string name;
  return name;
}

std::once_flag codePageOnce;

}  // namespace

const std::string& SystemCodePage() {
  std::call_once(codePageOnce, [] {
    if (!CodePageSlot().empty()) return;
    // The environment's locale, without changing the process's own.
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    const char* cs = loc ? nl_langinfo_l(CODESET, loc) : "UTF-8";
    std::string name = cs && *cs ? cs : "UTF-8";
    if (loc) freelocale(loc);
    // ASCII-only C locale: treat as UTF-8, the only sensible reading of today's text files.
    if (name == "ANSI_X3.4-1968") name = "UTF-8";
    CodePageSlot() = name;
  });
  return CodePageSlot();
}

void SetSystemCodePage(const std::string& name) {
  std::call_once(codePageOnce, [] {});
  CodePageSlot() = name;
}

bool SystemCodePageIsUtf8() {
  const std::string& cp = SystemCodePage();
  return SameText(cp, "UTF-8") || SameText(cp, "UTF8");
}

size_t TextLength(std::string_view s) {
  if (!SystemCodePageIsUtf8()) return s.size();
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

namespace {

iconv_t OpenConverter(const std::string& from, const std::string& to) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw Exception("Cannot convert text from " + from + " to " + to);
  return cd;
}

}  // namespace

std::string ConvertText(std::string_view s, const std::string& from, const std::string& to) {
  if (s.empty()) return {};
  // The replacement for unconvertible characters, in the target's own encoding.
  static const std::string ascii = "ASCII";
  std::string question;
  {
    iconv_t q = OpenConverter(ascii, to);
    char qc = '?', buf[8];
    char *qi = &qc, *qo = buf;
    size_t qiLeft = 1, qoLeft = sizeof buf;
    iconv(q, &qi, &qiLeft, &qo, &qoLeft);
    question.assign(buf, static_cast<size_t>(qo - buf));
    iconv_close(q);
  }
  iconv_t cd = OpenConverter(from, to);
  std::string out(s.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(s.data());
  size_t inLeft = s.size();
  size_t used = 0;
  const bool fromUtf8 = SameText(from, "UTF-8") || SameText(from, "UTF8");
  while (inLeft > 0) {
    char* outp = out.data() + used;
    size_t outLeft = out.size() - used;
    size_t r = iconv(cd, &in, &inLeft, &outp, &outLeft);
    used = static_cast<size_t>(outp - out.data());
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // Unconvertible or broken input: one replacement, then past the offending character.
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (out.size() - used < question.size()) out.resize(out.size() * 2);
    out.replace(used, question.size(), question);
    used += question.size();
    ++in, --inLeft;
    if (fromUtf8)
      while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) ++in, --inLeft;
  }
  out.resize(used);
  iconv_close(cd);
  return out;
}

namespace {

// The length of the well-formed UTF-8 sequence at s[i], or 0 (overlong forms, surrogates and
// code points past U+10FFFF are not well-formed).
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto b = [&s](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c == 0xE0) lo = 0xA0;
  if (c == 0xED) hi = 0x9F;
  if (c == 0xF0) lo = 0x90;
  if (c == 0xF4) hi = 0x8F;
  if (b(i + 1) < lo || b(i + 1) > hi) return 0;
  for (size_t k = 2; k < n; ++k)
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

void ToUtf8(std::string_view s, std::string& out) {
  if (!SystemCodePageIsUtf8()) {
    out = ConvertText(s, SystemCodePage(), "UTF-8");
    return;
  }
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  out.assign(s.substr(0, i));
  while (i < s.size()) {
    size_t n = Utf8SequenceLength(s, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
}

std::u16string ToUtf16(std::string_view s) {
  std::string bytes = ConvertText(s, SystemCodePage(), "UTF-16LE");
  std::u16string r(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < r.size(); ++i)
    r[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return r;
}

std::string FromUtf16(std::u16string_view s) {
  std::string bytes;
  bytes.reserve(s.size() * 2);
  for (char16_t c : s) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return ConvertText(bytes, "UTF-16LE", SystemCodePage());
}

}  // namespace morvale
