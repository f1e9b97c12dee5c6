#include "export/core/numfmt.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "export/core/classes.h"
#include "export/core/textbuf.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

using Digits = TNumberFormat::Digits;
using Section = TNumberFormat::Section;
using ItemKind = Section::ItemKind;

// Fifteen significant digits is what a double holds reliably; rounding on them (not on the
// binary value) is what makes 1.005 round to 1.01 as a reader of the text expects.
constexpr int kSignificant = 15;

void DropTrailingZeros(Digits& g) {
  while (g.n > 0 && g.d[g.n - 1] == '0') --g.n;
  if (g.n == 0) g.point = 0;
}

void RoundAt(Digits& g, int keep);

constexpr double kPowersOf10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};

// The shortest digits of a positive value that is a decimal of at most fourteen significant
// digits, which is what columns of prices, amounts and measures hold; false for any other value.
// The decimal m / 10^k reads back as a exactly when the division, correctly rounded like the
// reading of a text, gives a. With a * 10^k below 10^14 the values that read back as a span
// less than 0.03 at scale 10^k, and the product is off by less than that: the integer nearest
// the product is the only candidate of its scale. The first scale that has one gives the fewest
// significant digits, the digits to_chars finds, at a fraction of its cost.
bool ShortDecimalDigits(double a, Digits& g) {
  for (int k = 0; k < 15; ++k) {
    const double p = a * kPowersOf10[k];
    if (p >= 1e14) return false;
    const double m = std::nearbyint(p);
    if (m == 0 || m / kPowersOf10[k] != a) continue;
    auto r = std::to_chars(g.d, g.d + sizeof g.d, static_cast<uint64_t>(m));
    g.n = static_cast<int>(r.ptr - g.d);
    g.point = g.n - k;
    DropTrailingZeros(g);
    return true;
  }
  return false;
}

// The shortest digits that read back as the value (at most 17). Shortest is what was typed or
// stored, and it is several times faster to find than a fixed precision.
Digits ShortestDigits(double a) {
  Digits g;
  if (a == 0) return g;
  if (ShortDecimalDigits(a, g)) return g;
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
  const char* p = buf;
  g.d[g.n++] = *p++;
  if (*p == '.')
    for (++p; *p != 'e'; ++p) g.d[g.n++] = *p;
  ++p;  // 'e'
  if (*p == '+') ++p;
  int exponent = 0;
  std::from_chars(p, r.ptr, exponent);
  g.point = exponent + 1;
  DropTrailingZeros(g);
  return g;
}

// The shortest digits, rounded to 15 like any other decimal.
Digits FromDouble(double a) {
  Digits g = ShortestDigits(a);
  RoundAt(g, kSignificant);
  return g;
}

Digits FromUnsigned(uint64_t u) {
  Digits g;
  if (u == 0) return g;
  auto r = std::to_chars(g.d, g.d + sizeof g.d, u);
  g.n = static_cast<int>(r.ptr - g.d);
  g.point = g.n;
  DropTrailingZeros(g);
  return g;
}

// Keeps the first `keep` significant digits, halves away from zero.
void RoundAt(Digits& g, int keep) {
  if (keep >= g.n) return;
  if (keep < 0) {
    g.n = 0;
    g.point = 0;
    return;
  }
  bool up = g.d[keep] >= '5';
  g.n = keep;
  if (!up) {
    DropTrailingZeros(g);
    return;
  }
  int i = keep - 1;
  while (i >= 0 && g.d[i] == '9') --i;
  if (i < 0) {  // 0.999 -> 1, or nothing kept and the first dropped digit was 5 or more
    g.d[0] = '1';
    g.n = 1;
    g.point += 1;
  } else {
    ++g.d[i];
    g.n = i + 1;
  }
}

int MantissaIntDigits(const Section& sec) {
  return std::max(sec.intPlaceholders, 1);
}

void RoundForSection(const Section& sec, Digits& g) {
  if (sec.scientific)
    RoundAt(g, MantissaIntDigits(sec) + sec.fracPlaceholders);
  else
    RoundAt(g, g.point + sec.fracPlaceholders);
}

// The digits of an absolute value as they are, positional while the exponent lies in
// [minExponent, maxExponent], in scientific notation ("1.5E+20") beyond.
void AppendDigits(const Digits& g, bool negative, int minExponent, int maxExponent,
                  const TFormatSettings& fs, std::string& text) {
  TTextBuffer out(text);
  if (g.n == 0) {
    out.Put('0');
    return;
  }
  if (negative) out.Put('-');
  std::string_view d(g.d, static_cast<size_t>(g.n));
  int e = g.point - 1;
  if (e > maxExponent || e < minExponent) {
    out.Put(d[0]);
    if (g.n > 1) {
      out.Put(fs.DecimalSeparator);
      out.Put(d.substr(1));
    }
    out.Put('E');
    out.Put(e < 0 ? '-' : '+');
    out.Number(static_cast<uint64_t>(e < 0 ? -e : e), 1);
  } else if (g.point <= 0) {
    out.Put('0');
    out.Put(fs.DecimalSeparator);
    out.Repeat('0', static_cast<size_t>(-g.point));
    out.Put(d);
  } else if (g.point >= g.n) {
    out.Put(d);
    out.Repeat('0', static_cast<size_t>(g.point - g.n));
  } else {
    out.Put(d.substr(0, static_cast<size_t>(g.point)));
    out.Put(fs.DecimalSeparator);
    out.Put(d.substr(static_cast<size_t>(g.point)));
  }
}

// The general form of an already absolute value. Sixteen integer digits cannot all be
// significant; tiny fractions would be mostly zeros.
void AppendGeneral(Digits g, bool negative, const TFormatSettings& fs, std::string& text) {
  RoundAt(g, kSignificant);
  AppendDigits(g, negative, -5, kSignificant - 1, fs, text);
}

void AddLiteral(Section& sec, std::string_view text) {
  if (text.empty()) return;
  auto offset = static_cast<uint32_t>(sec.literals.size());
  sec.literals.append(text);
  if (!sec.items.empty()) {
    Section::Item& last = sec.items.back();
    if (last.kind == ItemKind::kLiteral && last.offset + last.length == offset) {
      last.length += static_cast<uint32_t>(text.size());
      return;
    }
  }
  sec.items.push_back({ItemKind::kLiteral, 0, offset, static_cast<uint32_t>(text.size())});
}

Section CompileSection(std::string_view text) {
  Section sec;
  sec.pattern = std::string(text);
  bool seenPoint = false, seenExp = false;
  int firstIntZero = -1, lastFracZero = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"' || c == '\'') {
      size_t close = text.find(c, i + 1);
      if (close == std::string_view::npos) close = text.size();
      AddLiteral(sec, text.substr(i + 1, close - i - 1));
      i = close;
    } else if ((c == '0' || c == '#') && !seenExp) {
      if (!seenPoint) {
        if (c == '0' && firstIntZero < 0) firstIntZero = sec.intPlaceholders;
        sec.items.push_back({ItemKind::kIntDigit, sec.intPlaceholders++});
      } else {
        if (c == '0') lastFracZero = sec.fracPlaceholders;
        sec.items.push_back({ItemKind::kFracDigit, sec.fracPlaceholders++});
      }
    } else if (c == '0' || c == '#' || c == ',') {
      // placeholders after the exponent mean nothing; commas only switch grouping on
      if (c == ',') sec.grouping = true;
    } else if (c == '.') {
      if (!seenPoint && !seenExp) {
        seenPoint = true;
        sec.items.push_back({ItemKind::kDecimalPoint, 0});
      }
    } else if ((c == 'E' || c == 'e') && !seenExp && i + 1 < text.size() &&
               (text[i + 1] == '+' || text[i + 1] == '-')) {
      seenExp = true;
      sec.scientific = true;
      sec.expSignAlways = text[i + 1] == '+';
      auto offset = static_cast<uint32_t>(sec.literals.size());
      sec.literals += c;
      sec.items.push_back({ItemKind::kExponent, 0, offset, 1});
      i += 2;
      int zeros = 0;
      while (i < text.size() && text[i] == '0') ++zeros, ++i;
      sec.expDigits = std::min(zeros, 4);
      --i;
    } else {
      AddLiteral(sec, text.substr(i, 1));
    }
  }
  // A section such as ".00" still needs a place for the integer digits: before the point.
  if (sec.intPlaceholders == 0 && (seenPoint || seenExp)) {
    auto at = std::find_if(sec.items.begin(), sec.items.end(),
                           [](const Section::Item& it) { return it.kind != ItemKind::kLiteral; });
    sec.items.insert(at, {ItemKind::kIntDigit, 0});
    sec.intPlaceholders = 1;
  }
  // Integer placeholders were numbered from the left; the renderer wants their place.
  for (Section::Item& it : sec.items)
    if (it.kind == ItemKind::kIntDigit) it.index = sec.intPlaceholders - 1 - it.index;
  sec.minIntDigits = firstIntZero < 0 ? 0 : sec.intPlaceholders - firstIntZero;
  sec.minFracDigits = lastFracZero + 1;
  sec.plain = !sec.scientific && sec.intPlaceholders > 0 &&
              std::none_of(sec.items.begin(), sec.items.end(),
                           [](auto& it) { return it.kind == ItemKind::kLiteral; });
  return sec;
}

}  // namespace

TNumberFormat::TNumberFormat(std::string_view format) : source_(format) {
  if (format.empty()) return;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i <= format.size() && sections_.size() < 3; ++i) {
    char c = i < format.size() ? format[i] : ';';
    if (quote) {
      if (c == quote) quote = 0;
      if (i < format.size()) continue;
    } else if (c == '"' || c == '\'') {
      quote = c;
      continue;
    }
    if (c != ';' && i < format.size()) continue;
    sections_.push_back(CompileSection(format.substr(start, i - start)));
    start = i + 1;
  }
}

void TNumberFormat::RenderDigits(const Section& sec, Digits g, bool minus,
                                 const TFormatSettings& fs, std::string& text) const {
  TTextBuffer out(text);
  int exponent = 0;
  if (sec.scientific && g.n > 0) {
    exponent = g.point - MantissaIntDigits(sec);
    g.point = MantissaIntDigits(sec);
  }
  if (minus) out.Put('-');
  int intDigits = g.n > 0 ? std::max(g.point, 0) : 0;
  int shown = std::max(intDigits, sec.minIntDigits);
  int fracShown = std::clamp(std::max(g.n - g.point, sec.minFracDigits), 0, sec.fracPlaceholders);
  auto digitAt = [&g](int index) { return index >= 0 && index < g.n ? g.d[index] : '0'; };
  bool group = sec.grouping && !fs.ThousandSeparator.empty();
  auto writeInt = [&](int place) {
    out.Put(digitAt(g.point - 1 - place));
    if (group && place > 0 && place % 3 == 0) out.Put(fs.ThousandSeparator);
  };
  if (sec.plain) {
    // The integer placeholders come first and the fraction's last: the loop below writes the
    // shown integer places from the highest down, the point when a fraction digit shows, then
    // the fraction digits shown. The columns of numbers take this way for every value.
    for (int place = shown - 1; place >= 0; --place) writeInt(place);
    if (fracShown > 0) {
      out.Put(fs.DecimalSeparator);
      for (int i = 0; i < fracShown; ++i) out.Put(digitAt(g.point + i));
    }
    return;
  }
  std::string_view literals = sec.literals;
  for (const Section::Item& it : sec.items) {
    switch (it.kind) {
      case ItemKind::kLiteral:
        out.Put(literals.substr(it.offset, it.length));
        break;
      case ItemKind::kIntDigit:
        // The leftmost placeholder takes every digit the format has no place for.
        if (it.index == sec.intPlaceholders - 1)
          for (int place = shown - 1; place > it.index; --place) writeInt(place);
        if (it.index < shown) writeInt(it.index);
        break;
      case ItemKind::kDecimalPoint:
        if (fracShown > 0) out.Put(fs.DecimalSeparator);
        break;
      case ItemKind::kFracDigit:
        if (it.index < fracShown) out.Put(digitAt(g.point + it.index));
        break;
      case ItemKind::kExponent:
        out.Put(literals.substr(it.offset, it.length));
        if (exponent < 0)
          out.Put('-');
        else if (sec.expSignAlways)
          out.Put('+');
        out.Number(static_cast<uint64_t>(exponent < 0 ? -exponent : exponent),
                   std::max(sec.expDigits, 1));
        break;
    }
  }
}

void TNumberFormat::RenderSection(const Section& sec, double absValue, bool minus,
                                  const TFormatSettings& fs, std::string& out) const {
  Digits g = FromDouble(absValue);
  RoundForSection(sec, g);
  RenderDigits(sec, g, minus, fs, out);
}

void TNumberFormat::RenderValue(const Digits& abs, bool negative, const TFormatSettings& fs,
                                std::string& out) const {
  const Section& positive = sections_[0];
  if (positive.pattern.empty()) {
    AppendGeneral(abs, negative, fs, out);
    return;
  }
  Digits rounded = abs;
  RoundForSection(positive, rounded);
  if (rounded.n == 0) {
    // Whatever its sign, a value that shows as zero is zero.
    if (sections_.size() >= 3 && !sections_[2].pattern.empty())
      RenderDigits(sections_[2], Digits{}, false, fs, out);
    else
      RenderDigits(positive, rounded, false, fs, out);
    return;
  }
  if (negative && sections_.size() >= 2 && !sections_[1].pattern.empty()) {
    Digits g = abs;
    RoundForSection(sections_[1], g);
    RenderDigits(sections_[1], g, false, fs, out);
    return;
  }
  RenderDigits(positive, rounded, negative, fs, out);
}

void TNumberFormat::Render(double v, const TFormatSettings& fs, std::string& out) const {
  if (std::isnan(v)) {
    out += "NAN";
    return;
  }
  if (std::isinf(v)) {
    out += v < 0 ? "-INF" : "INF";
    return;
  }
  if (sections_.empty()) {
    FloatToStrGeneral(v, fs, out);
    return;
  }
  RenderValue(FromDouble(std::fabs(v)), v < 0, fs, out);
}

void TNumberFormat::Render(int64_t v, const TFormatSettings& fs, std::string& out) const {
  // Integers keep every digit: 19 digits do not survive a trip through a double.
  uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  if (sections_.empty()) {
    TTextBuffer buf(out);
    if (v < 0) buf.Put('-');
    buf.Number(magnitude, 1);
    return;
  }
  // The integer formats of nearly every export ("0", "#,##0" where the settings group with no
  // separator) show the digits as they are, after the zeros the format asks for: written so
  // for every value of a column, without the section walk below.
  const Section& only = sections_[0];
  if (sections_.size() == 1 && only.plain && only.minFracDigits == 0 &&
      (!only.grouping || fs.ThousandSeparator.empty())) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, magnitude);
    const int n = magnitude == 0 ? 0 : static_cast<int>(r.ptr - digits);
    if (v < 0) out += '-';
    if (only.minIntDigits > n) out.append(static_cast<size_t>(only.minIntDigits - n), '0');
    out.append(digits, static_cast<size_t>(n));
    return;
  }
  RenderValue(FromUnsigned(magnitude), v < 0, fs, out);
}

namespace {

// The digits of a plain decimal text (sign, digits, the decimal separator, digits; no exponent),
// as many as rounding at fifteen digits needs. False for any other text.
bool PlainDecimalDigits(std::string_view s, const TFormatSettings& fs, Digits& g, bool& negative) {
  s = TrimView(s);
  const std::string& sep = fs.DecimalSeparator;
  size_t i = 0, n = s.size();
  negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool any = false, seenPoint = false;
  g = Digits();
  int lead = 0;  // zeros after the point before the first significant digit
  for (; i < n; ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      any = true;
      if (g.n == 0 && c == '0') {
        if (seenPoint) ++lead;
        continue;
      }
      if (g.n < kSignificant + 1) g.d[g.n++] = c;
      if (!seenPoint) ++g.point;
    } else if (!seenPoint && !sep.empty() && s.substr(i).starts_with(sep)) {
      seenPoint = true;
      i += sep.size() - 1;
    } else {
      return false;  // an exponent or anything else: the general reader takes it
    }
  }
  if (!any) return false;
  if (g.n == 0) {
    g.point = 0;
    return true;
  }
  if (g.point == 0) g.point = -lead;
  DropTrailingZeros(g);
  RoundAt(g, kSignificant);
  return true;
}

}  // namespace

bool TNumberFormat::RenderFloatText(std::string_view text, const TFormatSettings& fs,
                                    std::string& out) const {
  Digits g;
  bool negative;
  if (!sections_.empty() && PlainDecimalDigits(text, fs, g, negative)) {
    RenderValue(g, negative, fs, out);
    return true;
  }
  double v;
  if (!TryStrToFloat(text, v, fs)) return false;
  Render(v, fs, out);
  return true;
}

std::string FormatFloat(std::string_view format, double v, const TFormatSettings& fs) {
  std::string out;
  TNumberFormat(format).Render(v, fs, out);
  return out;
}

void FloatToStrGeneral(double v, const TFormatSettings& fs, std::string& out) {
  if (std::isnan(v)) {
    out += "NAN";
  } else if (std::isinf(v)) {
    out += v < 0 ? "-INF" : "INF";
  } else {
    AppendGeneral(FromDouble(std::fabs(v)), v < 0, fs, out);
  }
}

void FloatToStrExact(double v, const TFormatSettings& fs, std::string& out) {
  if (!std::isfinite(v)) return FloatToStrGeneral(v, fs, out);
  // Positional up to twenty-one integer digits and down to six zeros after the point, as the
  // shortest form of a number is commonly written.
  AppendDigits(ShortestDigits(std::fabs(v)), std::signbit(v) && v != 0, -7, 20, fs, out);
}

bool DecimalToStrExact(std::string_view text, const TFormatSettings& fs, std::string& out) {
  auto IsAsciiDigit = [](char c) { return c >= '0' && c <= '9'; };
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t intStart = i;
  while (i < text.size() && IsAsciiDigit(text[i])) ++i;
  const size_t intEnd = i;
  size_t fracStart = i, fracEnd = i;
  if (i < text.size() && text[i] == '.') {
    fracStart = ++i;
    while (i < text.size() && IsAsciiDigit(text[i])) ++i;
    fracEnd = i;
  }
  if (i != text.size() || (intEnd == intStart && fracEnd == fracStart)) return false;
  std::string_view whole = text.substr(intStart, intEnd - intStart);
  std::string_view fraction = text.substr(fracStart, fracEnd - fracStart);
  auto zero = [](std::string_view s) { return s.find_first_not_of('0') == std::string_view::npos; };
  if (negative && !(zero(whole) && zero(fraction))) out += '-';
  out += whole.empty() ? std::string_view("0") : whole;
  if (!fraction.empty()) {
    out += fs.DecimalSeparator;
    out += fraction;
  }
  return true;
}

std::string FloatToStr(double v, const TFormatSettings& fs) {
  std::string out;
  FloatToStrGeneral(v, fs, out);
  return out;
}

namespace {

bool ParseInteger(std::string_view s, uint64_t maxPositive, uint64_t& magnitude, bool& negative) {
  size_t i = 0;
  negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  }
  const char* end = s.data() + s.size();
  // from_chars reads no sign into an unsigned type, so "--1" and "$-1" fail here.
  auto r = std::from_chars(s.data() + i, end, magnitude, base);
  if (r.ec != std::errc() || r.ptr != end) return false;
  return magnitude <= maxPositive + (negative ? 1 : 0);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool TryStrToInt64(std::string_view s, int64_t& v) {
  uint64_t m;
  bool negative;
  if (!ParseInteger(s, static_cast<uint64_t>(std::numeric_limits<int64_t>::max()), m, negative))
    return false;
  v = negative ? static_cast<int64_t>(0 - m) : static_cast<int64_t>(m);
  return true;
}

bool TryStrToInt(std::string_view s, int32_t& v) {
  uint64_t m;
  bool negative;
  if (!ParseInteger(s, static_cast<uint64_t>(std::numeric_limits<int32_t>::max()), m, negative))
    return false;
  v = static_cast<int32_t>(negative ? -static_cast<int64_t>(m) : static_cast<int64_t>(m));
  return true;
}

bool TryStrToFloat(std::string_view s, double& v, const TFormatSettings& fs) {
  s = TrimView(s);
  const std::string& sep = fs.DecimalSeparator;
  size_t i = 0, n = s.size();
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  size_t intStart = i;
  while (i < n && IsDigit(s[i])) ++i;
  size_t intEnd = i, fracStart = i, fracEnd = i;
  if (!sep.empty() && s.substr(i).starts_with(sep)) {
    i += sep.size();
    fracStart = i;
    while (i < n && IsDigit(s[i])) ++i;
    fracEnd = i;
  }
  if (intEnd == intStart && fracEnd == fracStart) return false;
  int64_t exponent = 0;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
    size_t expStart = i;
    for (; i < n && IsDigit(s[i]); ++i)
      if (exponent < 1000000000) exponent = exponent * 10 + (s[i] - '0');
    if (i == expStart) return false;
    if (expNegative) exponent = -exponent;
  }
  if (i != n) return false;

  // from_chars wants "." and no "+": write the number in that form, on the stack.
  char stack[256];
  std::string heap;
  size_t need = n + 24;
  char* buf = stack;
  if (need > sizeof stack) {
    heap.resize(need);
    buf = heap.data();
  }
  char* p = buf;
  if (negative) *p++ = '-';
  p = std::copy(s.data() + intStart, s.data() + intEnd, p);
  if (fracEnd > fracStart) {
    *p++ = '.';
    p = std::copy(s.data() + fracStart, s.data() + fracEnd, p);
  }
  *p++ = 'e';
  p = std::to_chars(p, buf + need, exponent).ptr;
  auto r = std::from_chars(buf, p, v, std::chars_format::scientific);
  if (r.ec == std::errc() && r.ptr == p) return true;
  if (r.ec != std::errc::result_out_of_range) return false;
  // Too large fails; too small is zero. Find the decimal exponent of the first significant digit.
  size_t k = intStart;
  while (k < intEnd && s[k] == '0') ++k;
  int64_t magnitude;
  if (k < intEnd) {
    magnitude = exponent + static_cast<int64_t>(intEnd - k);
  } else {
    size_t f = fracStart;
    while (f < fracEnd && s[f] == '0') ++f;
    magnitude = exponent - static_cast<int64_t>(f - fracStart);
  }
  if (magnitude > 0) return false;
  v = negative ? -0.0 : 0.0;
  return true;
}

double StrToFloat(std::string_view s, const TFormatSettings& fs) {
  double v;
  if (!TryStrToFloat(s, v, fs))
    throw EConvertError(
        Format(TranslateText("Engine", "'%s' is not a valid floating point value"), {s}));
  return v;
}

}  // namespace morvale
