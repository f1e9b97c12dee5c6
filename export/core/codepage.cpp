#include "export/core/codepage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <iterator>
#include <mutex>

#include "export/core/classes.h"
#include "export/core/translate.h"
#include "export/core/utf8.h"

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

bool SingleByteHighHalf(std::string_view codePage, TSingleByteHighHalf& high) {
  const std::string cs = UpperCaseAscii(codePage);
  if (cs.empty() || cs == "UTF-8" || cs == "UTF8" || cs == "ANSI_X3.4-1968" || cs == "ASCII")
    return false;
  iconv_t cd = iconv_open("UTF-32LE", cs.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  for (int b = 0x80; b < 0x100; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8] = {};
    char* ip = &in;
    char* op = reinterpret_cast<char*>(out);
    size_t il = 1, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool one = iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && ol == 4;
    high[static_cast<size_t>(b - 0x80)] =
        one ? static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16)) : 0;
  }
  iconv_close(cd);
  return true;
}

namespace {

iconv_t OpenConverter(const std::string& from, const std::string& to) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw Exception(
        Format(TranslateText("Engine", "Cannot convert text from %s to %s"), {from, to}));
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

// ---- text encodings of the text exports ------------------------------------------------------

namespace {

struct TEncodingInfo {
  const char *Identifier, *Name, *CodePage, *Mark;
};

constexpr TEncodingInfo kEncodings[] = {
    {"encSystem", "system", nullptr, ""},
    {"encUTF8", "utf-8", "UTF-8", ""},
    {"encUTF8BOM", "utf-8-bom", "UTF-8", "\xEF\xBB\xBF"},
    {"encUTF16LE", "utf-16le", "UTF-16LE", "\xFF\xFE"},
    {"encWindows1251", "windows-1251", "CP1251", ""},
};

const TEncodingInfo& Info(TTextEncoding e) {
  auto i = static_cast<size_t>(e);
  return kEncodings[i < std::size(kEncodings) ? i : 0];
}

// Converts in slices of this size, so that a long run holds one slice at a time.
constexpr size_t kSlice = 64 * 1024;

}  // namespace

const std::vector<std::string>& TextEncodingIdentifiers() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const auto& e : kEncodings) v.emplace_back(e.Identifier);
    return v;
  }();
  return names;
}

bool TextEncodingByName(std::string_view name, TTextEncoding& encoding) {
  for (size_t i = 0; i < std::size(kEncodings); ++i)
    if (SameText(name, kEncodings[i].Name) || SameText(name, kEncodings[i].Identifier)) {
      encoding = static_cast<TTextEncoding>(i);
      return true;
    }
  return false;
}

std::string TextEncodingName(TTextEncoding encoding) {
  return Info(encoding).Name;
}

std::string TextEncodingCodePage(TTextEncoding encoding) {
  const char* cp = Info(encoding).CodePage;
  return cp ? cp : SystemCodePage();
}

bool TextEncodingConverts(TTextEncoding encoding) {
  const TEncodingInfo& e = Info(encoding);
  if (*e.Mark) return true;
  if (!e.CodePage) return false;
  std::string a = e.CodePage, b = SystemCodePage();
  auto key = [](std::string s) {
    std::string k;
    for (char c : s)
      if (c != '-' && c != '_') k += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (k == "WINDOWS1251") k = "CP1251";
    return k;
  };
  return key(a) != key(b);
}

TEncodingStream::TEncodingStream(TStream& target, TTextEncoding encoding)
    : target_(target), encoding_(encoding) {
  cd_ = OpenConverter(SystemCodePage(), TextEncodingCodePage(encoding));
  target_.Write(std::string_view(Info(encoding).Mark));
}

TEncodingStream::~TEncodingStream() {
  iconv_close(cd_);
}

void TEncodingStream::Write(const void* data, size_t size) {
  pending_.append(static_cast<const char*>(data), size);
  position_ += static_cast<int64_t>(size);
  if (pending_.size() >= kSlice) Convert(false);
}

void TEncodingStream::Flush() {
  Convert(false);
  target_.Flush();
}

void TEncodingStream::Finish() {
  Convert(true);
  target_.Flush();
}

void TEncodingStream::Convert(bool last) {
  char* in = pending_.data();
  size_t inLeft = pending_.size();
  while (inLeft > 0) {
    out_.resize(inLeft * 4 + 16);
    char* outp = out_.data();
    size_t outLeft = out_.size();
    size_t r = iconv(cd_, &in, &inLeft, &outp, &outLeft);
    const int err = errno;
    target_.Write(out_.data(), out_.size() - outLeft);
    if (r != static_cast<size_t>(-1)) break;
    if (err == E2BIG) continue;
    if (err == EINVAL && !last) break;  // the rest of the character comes with the next write
    Unrepresentable(static_cast<size_t>(in - pending_.data()));
  }
  pending_.erase(0, pending_.size() - inLeft);
}

// The character at `at` and the text of its line around it, so the user can find the value.
void TEncodingStream::Unrepresentable(size_t at) const {
  const std::string_view text = pending_;
  const std::string target = TextEncodingName(encoding_);
  const bool utf8 = SystemCodePageIsUtf8();
  size_t n = utf8 ? Utf8SequenceLength(text, at) : 1;
  if (n == 0)
    throw Exception(Format(
        TranslateText("Engine",
                      "The text holds bytes that are no %s text and cannot be written in %s"),
        {SystemCodePage(), target}));
  unsigned cp = static_cast<unsigned char>(text[at]);
  if (utf8 && n > 1) {
    cp &= 0x3Fu >> (n - 1);
    for (size_t k = 1; k < n; ++k) cp = cp << 6 | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  }
  size_t start = text.rfind('\n', at), end = text.find_first_of("\r\n", at);
  start = start == std::string_view::npos ? 0 : start + 1;
  if (end == std::string_view::npos) end = text.size();
  if (at - start > 40) start = at - 40;
  if (end - at > 40) end = at + 40;
  if (utf8) {
    while (start < at && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) ++start;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", cp);
  throw Exception(
      Format(TranslateText("Engine", "The character \"%s\" (%s) in \"%s\" cannot be written in %s"),
             {std::string(text.substr(at, n)), code, std::string(text.substr(start, end - start)),
              target}));
}

}  // namespace morvale
