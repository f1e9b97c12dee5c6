#include "export/parquet/values.h"

#include <charconv>
#include <cmath>

namespace morvale::parquet {

namespace {

constexpr int64_t kMicrosPerDay = 86400LL * 1000000;
constexpr int64_t kSerialOf1970 = 25569;  // 1 January 1970 in serial days

bool Digits(std::string_view s, size_t& at, size_t count, int64_t& v) {
  if (at + count > s.size()) return false;
  v = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = s[at + i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  at += count;
  return true;
}

bool Match(std::string_view s, size_t& at, char c) {
  if (at >= s.size() || s[at] != c) return false;
  ++at;
  return true;
}

bool ParseTime(std::string_view s, size_t& at, int64_t& micros) {
  int64_t h, n, sec = 0;
  if (!Digits(s, at, 2, h) || !Match(s, at, ':') || !Digits(s, at, 2, n)) return false;
  int64_t fraction = 0;
  if (Match(s, at, ':')) {
    if (!Digits(s, at, 2, sec)) return false;
    if (Match(s, at, '.')) {
      int64_t scale = 100000;
      size_t start = at;
      for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at) {
        fraction += (s[at] - '0') * scale;
        scale /= 10;
      }
      if (at == start) return false;
    }
  }
  if (h > 23 || n > 59 || sec > 59) return false;
  micros = ((h * 60 + n) * 60 + sec) * 1000000 + fraction;
  return true;
}

}  // namespace

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  // Counting years from March puts the leap day last; eras of 400 years repeat exactly.
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool DayTimeFromSerial(double serial, TDayTime& out) {
  if (!std::isfinite(serial) || std::fabs(serial) > 1e8) return false;
  double day = std::trunc(serial);
  int64_t micros = std::llround(std::fabs(serial - day) * static_cast<double>(kMicrosPerDay));
  if (micros >= kMicrosPerDay) {
    micros -= kMicrosPerDay;
    day += 1;
  }
  out.Days = static_cast<int64_t>(day) - kSerialOf1970;
  out.Micros = micros;
  return true;
}

bool DayTimeFromIso(std::string_view s, TDayTime& out) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  size_t at = 0;
  out = TDayTime();
  if (s.size() >= 10 && s[4] == '-') {
    int64_t y, m, d;
    if (!Digits(s, at, 4, y) || !Match(s, at, '-') || !Digits(s, at, 2, m) || !Match(s, at, '-') ||
        !Digits(s, at, 2, d) || m < 1 || m > 12 || d < 1 || d > 31)
      return false;
    out.Days = DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
    if (at == s.size()) return true;
    if (!Match(s, at, ' ') && !Match(s, at, 'T')) return false;
  }
  return ParseTime(s, at, out.Micros) && at == s.size();
}

std::string_view PlainDigits(double v, std::string& buffer) {
  buffer.resize(400);  // the longest double without an exponent, with room to spare
  auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, std::chars_format::fixed);
  return std::string_view(buffer.data(), static_cast<size_t>(r.ptr - buffer.data()));
}

bool UnscaledDecimal(std::string_view s, int scale, int precision, TInt128& out) {
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const size_t point = s.find('.');
  const std::string_view whole = s.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? "" : s.substr(point + 1);
  if (whole.empty() && fraction.empty()) return false;
  TInt128 limit = 1;
  for (int i = 0; i < precision; ++i) limit *= 10;
  TInt128 v = 0;
  auto push = [&](char c) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    return v < limit;
  };
  for (char c : whole)
    if (!push(c)) return false;
  for (int i = 0; i < scale; ++i)
    if (!push(static_cast<size_t>(i) < fraction.size() ? fraction[static_cast<size_t>(i)] : '0'))
      return false;
  for (size_t i = static_cast<size_t>(scale); i < fraction.size(); ++i)
    if (fraction[i] < '0' || fraction[i] > '9') return false;
  if (fraction.size() > static_cast<size_t>(scale) && fraction[static_cast<size_t>(scale)] >= '5')
    if (++v >= limit) return false;
  out = negative ? -v : v;
  return true;
}

}  // namespace morvale::parquet
