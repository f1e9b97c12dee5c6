#include "export/core/datetime.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>

#include "export/core/classes.h"
#include "export/core/textbuf.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Day 0 (30 December 1899) is this many days before 1 January 1970.
constexpr int64_t kUnixEpochSerial = 25569;
constexpr int64_t kMinSerial = -693593;  // 1 January 0001
constexpr int64_t kMaxSerial = 2958465;  // 31 December 9999

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  // Every date and time written goes through here. Within some thirty thousand years of 1970
  // the date comes from 32-bit multiplications and shifts (Neri and Schneider's form of the
  // same calendar arithmetic, counted from a day 82 cycles of 400 years before 1 March of year
  // 0); the counts beyond take the general way below.
  if (z >= -12000000 && z <= 12000000) {
    constexpr uint32_t kCycles = 82;
    const uint32_t n = static_cast<uint32_t>(z + 719468 + 146097 * kCycles);
    const uint32_t n1 = 4 * n + 3;
    const uint32_t century = n1 / 146097;
    const uint32_t n2 = (n1 % 146097) | 3;
    const uint64_t p2 = uint64_t{2939745} * n2;
    const uint32_t yearOfCentury = static_cast<uint32_t>(p2 >> 32);
    const uint32_t dayOfYear = static_cast<uint32_t>(p2) / 2939745 / 4;  // from 1 March
    const uint32_t n3 = 2141 * dayOfYear + 197913;
    const uint32_t m = n3 >> 16;
    const bool janOrFeb = dayOfYear >= 306;
    day = static_cast<int>((n3 & 0xFFFF) / 2141 + 1);
    month = static_cast<int>(janOrFeb ? m - 12 : m);
    year = static_cast<int>(100 * century + yearOfCentury) - static_cast<int>(400 * kCycles) +
           (janOrFeb ? 1 : 0);
    return;
  }
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

namespace {

// The day and the milliseconds of the day. Before day 0 the fraction still counts forward from
// midnight (-1.25 is 29 December 1899, 06:00), as stored values have always been read.
void Split(TDateTime dt, int64_t& days, int64_t& ms) {
  if (!std::isfinite(dt)) dt = 0;
  dt = std::clamp(dt, static_cast<double>(kMinSerial) - 1, static_cast<double>(kMaxSerial) + 1);
  double whole = std::trunc(dt);
  days = static_cast<int64_t>(whole);
  ms = std::llround(std::fabs(dt - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    days += dt < 0 ? -1 : 1;
  }
  // Nothing parsed lies outside the years 1 to 9999; anything else is held at the edges.
  days = std::clamp(days, kMinSerial, kMaxSerial);
}

struct Parts {
  int64_t days;  // the serial day
  int year, month, day, hour, minute, second, msec;
  bool midnight;
  // 1 = Sunday .. 7 = Saturday; asked for by day names only.
  int DayOfWeek() const { return static_cast<int>(((days % 7 + 7) % 7 + 6) % 7 + 1); }
};

Parts Decode(TDateTime dt) {
  int64_t days, ms;
  Split(dt, days, ms);
  Parts p;
  // Dates repeat down a column (the timestamps of one day, the date of an order's lines): the
  // last day decoded is kept.
  thread_local int64_t lastDays = INT64_MIN;
  thread_local int lastYear = 0, lastMonth = 0, lastDay = 0;
  if (days != lastDays) {
    CivilFromDays(days - kUnixEpochSerial, lastYear, lastMonth, lastDay);
    lastDays = days;
  }
  p.year = lastYear;
  p.month = lastMonth;
  p.day = lastDay;
  p.days = days;
  p.midnight = ms == 0;
  p.msec = static_cast<int>(ms % 1000);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.hour = static_cast<int>(ms / 3600000);
  return p;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

using Kind = TDateTimeFormat::Kind;
using Element = TDateTimeFormat::Element;

bool IsElementStart(char c) {
  switch (Lower(c)) {
    case 'c':
    case 'd':
    case 'm':
    case 'y':
    case 'h':
    case 'n':
    case 's':
    case 'z':
    case 't':
    case 'a':
    case '/':
    case ':':
    case '"':
    case '\'':
      return true;
    default:
      return false;
  }
}

// Reads the element at i; returns the position after it. `afterHour` carries what decides
// whether "m" is a month or minutes: any letter resets it, only "h" sets it.
size_t NextElement(std::string_view f, size_t i, bool& afterHour, Element& e) {
  char c = f[i];
  auto at = static_cast<uint32_t>(i);
  if (c == '"' || c == '\'') {
    size_t close = f.find(c, i + 1);
    if (close == std::string_view::npos) close = f.size();
    e = {Kind::kLiteral, at + 1, static_cast<uint32_t>(close - i - 1)};
    return std::min(close + 1, f.size());
  }
  if (c == '/' || c == ':') {
    e = {c == '/' ? Kind::kDateSep : Kind::kTimeSep};
    return i + 1;
  }
  char l = Lower(c);
  if (!IsElementStart(c)) {
    size_t j = i + 1;
    while (j < f.size() && !IsElementStart(f[j])) ++j;
    for (size_t k = i; k < j; ++k)
      if ((f[k] >= 'a' && f[k] <= 'z') || (f[k] >= 'A' && f[k] <= 'Z')) afterHour = false;
    e = {Kind::kLiteral, at, static_cast<uint32_t>(j - i)};
    return j;
  }
  size_t j = i;
  while (j < f.size() && Lower(f[j]) == l) ++j;
  size_t run = j - i;
  bool wasAfterHour = afterHour;
  afterHour = l == 'h';
  switch (l) {
    case 'c':
      e = {Kind::kDateTime};
      return i + 1;
    case 'd': {
      static constexpr Kind kDays[] = {Kind::kDay,     Kind::kDay2,      Kind::kDayShort,
                                       Kind::kDayLong, Kind::kShortDate, Kind::kLongDate};
      e = {kDays[std::min<size_t>(run, 6) - 1]};
      return j;
    }
    case 'm':
      if (wasAfterHour && run <= 2)
        e = {run == 1 ? Kind::kMinute : Kind::kMinute2};
      else
        e = {run == 1   ? Kind::kMonth
             : run == 2 ? Kind::kMonth2
             : run == 3 ? Kind::kMonthShort
                        : Kind::kMonthLong};
      return j;
    case 'y':
      e = {run <= 2 ? Kind::kYear2 : Kind::kYear4};
      return j;
    case 'h':
      e = {run == 1 ? Kind::kHour : Kind::kHour2};
      return j;
    case 'n':
      e = {run == 1 ? Kind::kMinute : Kind::kMinute2};
      return j;
    case 's':
      e = {run == 1 ? Kind::kSecond : Kind::kSecond2};
      return j;
    case 'z':
      e = {run == 1 ? Kind::kMsec : Kind::kMsec3};
      return j;
    case 't':
      e = {run == 1 ? Kind::kShortTime : Kind::kLongTime};
      return j;
    default: {  // 'a'
      std::string_view rest = f.substr(i);
      auto starts = [&rest](std::string_view w) {
        return rest.size() >= w.size() && SameText(rest.substr(0, w.size()), w);
      };
      if (starts("am/pm")) {
        e = {Kind::kAmPm, at, 5};
        return i + 5;
      }
      if (starts("a/p")) {
        e = {Kind::kAP, at, 3};
        return i + 3;
      }
      if (starts("ampm")) {
        e = {Kind::kAmPmLocale, at, 4};
        return i + 4;
      }
      e = {Kind::kLiteral, at, 1};
      return i + 1;
    }
  }
}

bool IsAmPm(Kind k) {
  return k == Kind::kAmPm || k == Kind::kAP || k == Kind::kAmPmLocale;
}

void AppendNumber(int v, int minDigits, TTextBuffer& out) {
  out.Number(static_cast<uint64_t>(v), minDigits);  // every part is 0 or more
}

void RenderText(std::string_view f, const Parts& p, const TFormatSettings& fs, TTextBuffer& out,
                int depth);

// The locale's formats may name each other ("c" within a short date); a few levels are plenty
// and keep a careless setting from recursing without end.
constexpr int kMaxDepth = 3;

void RenderElement(const Element& e, std::string_view f, const Parts& p, bool twelve,
                   const TFormatSettings& fs, TTextBuffer& out, int depth) {
  int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  bool morning = p.hour < 12;
  switch (e.kind) {
    case Kind::kLiteral:
      out.Put(f.substr(e.offset, e.length));
      break;
    case Kind::kDateSep:
      out.Put(fs.DateSeparator);
      break;
    case Kind::kTimeSep:
      out.Put(fs.TimeSeparator);
      break;
    case Kind::kDateTime:
      RenderText(fs.ShortDateFormat, p, fs, out, depth + 1);
      if (!p.midnight) {
        out.Put(' ');
        RenderText(fs.LongTimeFormat, p, fs, out, depth + 1);
      }
      break;
    case Kind::kDay:
      AppendNumber(p.day, 1, out);
      break;
    case Kind::kDay2:
      AppendNumber(p.day, 2, out);
      break;
    case Kind::kDayShort:
      out.Put(fs.ShortDayNames[p.DayOfWeek() - 1]);
      break;
    case Kind::kDayLong:
      out.Put(fs.LongDayNames[p.DayOfWeek() - 1]);
      break;
    case Kind::kShortDate:
      RenderText(fs.ShortDateFormat, p, fs, out, depth + 1);
      break;
    case Kind::kLongDate:
      RenderText(fs.LongDateFormat, p, fs, out, depth + 1);
      break;
    case Kind::kMonth:
      AppendNumber(p.month, 1, out);
      break;
    case Kind::kMonth2:
      AppendNumber(p.month, 2, out);
      break;
    case Kind::kMonthShort:
      out.Put(fs.ShortMonthNames[p.month - 1]);
      break;
    case Kind::kMonthLong:
      out.Put(fs.LongMonthNames[p.month - 1]);
      break;
    case Kind::kYear2:
      AppendNumber(p.year % 100, 2, out);
      break;
    case Kind::kYear4:
      AppendNumber(p.year, 4, out);
      break;
    case Kind::kHour:
      AppendNumber(twelve ? hour12 : p.hour, 1, out);
      break;
    case Kind::kHour2:
      AppendNumber(twelve ? hour12 : p.hour, 2, out);
      break;
    case Kind::kMinute:
      AppendNumber(p.minute, 1, out);
      break;
    case Kind::kMinute2:
      AppendNumber(p.minute, 2, out);
      break;
    case Kind::kSecond:
      AppendNumber(p.second, 1, out);
      break;
    case Kind::kSecond2:
      AppendNumber(p.second, 2, out);
      break;
    case Kind::kMsec:
      AppendNumber(p.msec, 1, out);
      break;
    case Kind::kMsec3:
      AppendNumber(p.msec, 3, out);
      break;
    case Kind::kShortTime:
      RenderText(fs.ShortTimeFormat, p, fs, out, depth + 1);
      break;
    case Kind::kLongTime:
      RenderText(fs.LongTimeFormat, p, fs, out, depth + 1);
      break;
    // The marker keeps the letters' case as the format writes them: "AM/PM" gives AM,
    // "am/pm" gives am.
    case Kind::kAmPm:
      out.Put(f.substr(e.offset + (morning ? 0 : 3), 2));
      break;
    case Kind::kAP:
      out.Put(f.substr(e.offset + (morning ? 0 : 2), 1));
      break;
    case Kind::kAmPmLocale:
      out.Put(morning ? fs.TimeAMString : fs.TimePMString);
      break;
  }
}

bool HasAmPm(std::string_view f) {
  bool afterHour = false;
  Element e{};
  for (size_t i = 0; i < f.size();) {
    i = NextElement(f, i, afterHour, e);
    if (IsAmPm(e.kind)) return true;
  }
  return false;
}

void RenderText(std::string_view f, const Parts& p, const TFormatSettings& fs, TTextBuffer& out,
                int depth) {
  if (depth > kMaxDepth) return;
  bool twelve = HasAmPm(f);
  bool afterHour = false;
  Element e{};
  for (size_t i = 0; i < f.size();) {
    i = NextElement(f, i, afterHour, e);
    RenderElement(e, f, p, twelve, fs, out, depth);
  }
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  out = static_cast<TDateTime>(DaysFromCivil(year, month, day) + kUnixEpochSerial);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    return false;
  int64_t ms = ((hour * 60LL + min) * 60 + sec) * 1000 + msec;
  out = static_cast<double>(ms) / kMsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime dt;
  if (!TryEncodeDate(year, month, day, dt))
    throw EConvertError(Format(TranslateText("Engine", "Invalid date %d-%d-%d"),
                               {std::to_string(year), std::to_string(month), std::to_string(day)}));
  return dt;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  Parts p = Decode(dt);
  year = p.year;
  month = p.month;
  day = p.day;
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  Parts p = Decode(dt);
  hour = p.hour;
  min = p.minute;
  sec = p.second;
  msec = p.msec;
}

int DayOfWeek(TDateTime dt) {
  return Decode(dt).DayOfWeek();
}

namespace {
TDateTime Combine(TDateTime date, int64_t ms);
}  // namespace

TDateTime WholeSeconds(TDateTime dt) {
  // Split holds the day within the years 1 to 9999, where decoding it into a date and encoding
  // that again gives the same day: the day goes back as it is.
  int64_t days, ms;
  Split(dt, days, ms);
  return Combine(static_cast<TDateTime>(days), ms - ms % 1000);
}

TDateTimeFormat::TDateTimeFormat(std::string_view format)
    : source_(format.empty() ? std::string_view("c") : format) {
  bool afterHour = false;
  Element e{};
  numeric_ = true;
  for (size_t i = 0; i < source_.size();) {
    i = NextElement(source_, i, afterHour, e);
    twelveHour_ |= IsAmPm(e.kind);
    switch (e.kind) {
      case Kind::kLiteral:
      case Kind::kDateSep:
      case Kind::kTimeSep:
      case Kind::kDay:
      case Kind::kDay2:
      case Kind::kMonth:
      case Kind::kMonth2:
      case Kind::kYear2:
      case Kind::kYear4:
      case Kind::kHour:
      case Kind::kHour2:
      case Kind::kMinute:
      case Kind::kMinute2:
      case Kind::kSecond:
      case Kind::kSecond2:
      case Kind::kMsec:
      case Kind::kMsec3:
        break;
      default:
        numeric_ = false;
    }
    elements_.push_back(e);
  }
  numeric_ = numeric_ && !twelveHour_;
}

namespace {

// Writes v with at least `digits` digits at p; returns the end. Days, months, hours, minutes,
// seconds and four-digit years, nearly every number written, take the short ways.
char* PutNumber(char* p, int v, int digits) {
  if (v >= 0 && v < 100 && digits <= 2) {
    if (v >= 10 || digits == 2) *p++ = static_cast<char>('0' + v / 10);
    *p++ = static_cast<char>('0' + v % 10);
    return p;
  }
  if (v >= 1000 && v < 10000 && digits <= 4) {
    p[0] = static_cast<char>('0' + v / 1000);
    p[1] = static_cast<char>('0' + v / 100 % 10);
    p[2] = static_cast<char>('0' + v / 10 % 10);
    p[3] = static_cast<char>('0' + v % 10);
    return p + 4;
  }
  char tmp[12];
  int n = 0;
  do {
    tmp[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  for (int k = n; k < digits; ++k) *p++ = '0';
  while (n) *p++ = tmp[--n];
  return p;
}

}  // namespace

// Dates and times in exports are almost always digits and separators ("dd.mm.yyyy hh:nn"): those
// go straight into a buffer, without the general renderer's per-element lookups and checks.
bool TDateTimeFormat::RenderNumeric(TDateTime dt, const TFormatSettings& fs,
                                    std::string& out) const {
  char buf[256];
  char* p = buf;
  char* const end = buf + sizeof buf - 16;
  const Parts t = Decode(dt);
  // Days, months, hours, minutes and seconds are below 100: written here, without a call.
  auto small = [&p](int v, bool twoDigits) {
    if (v >= 10 || twoDigits) *p++ = static_cast<char>('0' + v / 10);
    *p++ = static_cast<char>('0' + v % 10);
  };
  for (const Element& e : elements_) {
    std::string_view text;
    switch (e.kind) {
      case Kind::kLiteral:
        text = std::string_view(source_).substr(e.offset, e.length);
        break;
      case Kind::kDateSep:
        text = fs.DateSeparator;
        break;
      case Kind::kTimeSep:
        text = fs.TimeSeparator;
        break;
      case Kind::kDay:
      case Kind::kDay2:
        small(t.day, e.kind == Kind::kDay2);
        break;
      case Kind::kMonth:
      case Kind::kMonth2:
        small(t.month, e.kind == Kind::kMonth2);
        break;
      case Kind::kYear2:
        small(t.year % 100, true);
        break;
      case Kind::kYear4:
        p = PutNumber(p, t.year, 4);
        break;
      case Kind::kHour:
      case Kind::kHour2:
        small(t.hour, e.kind == Kind::kHour2);
        break;
      case Kind::kMinute:
      case Kind::kMinute2:
        small(t.minute, e.kind == Kind::kMinute2);
        break;
      case Kind::kSecond:
      case Kind::kSecond2:
        small(t.second, e.kind == Kind::kSecond2);
        break;
      case Kind::kMsec:
      case Kind::kMsec3:
        p = PutNumber(p, t.msec, e.kind == Kind::kMsec3 ? 3 : 1);
        break;
      default:
        return false;
    }
    if (text.size() == 1) {
      *p++ = text[0];
    } else if (!text.empty()) {
      if (text.size() > static_cast<size_t>(end - p)) return false;  // the general way copes
      p = std::copy(text.begin(), text.end(), p);
    }
    if (p > end) return false;
  }
  out.append(buf, static_cast<size_t>(p - buf));
  return true;
}

void TDateTimeFormat::Render(TDateTime dt, const TFormatSettings& fs, std::string& out) const {
  if (numeric_) {
    size_t before = out.size();
    if (RenderNumeric(dt, fs, out)) return;
    out.resize(before);
  }
  Parts p = Decode(dt);
  TTextBuffer buf(out);
  for (const Element& e : elements_) RenderElement(e, source_, p, twelveHour_, fs, buf, 0);
}

void FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& fs,
                    std::string& out) {
  // Callers pass the same few formats (a locale's short date, a column's format) for every value
  // of a run, so the last ones used are kept compiled instead of being read again each time.
  struct Compiled {
    std::string key;
    TDateTimeFormat format;
    bool used = false;
  };
  thread_local Compiled cache[4];
  thread_local unsigned next = 0;
  for (Compiled& c : cache)
    if (c.used && c.key == format) return c.format.Render(dt, fs, out);
  Compiled& c = cache[next++ % 4];
  c.key.assign(format);
  c.format = TDateTimeFormat(format);
  c.used = true;
  c.format.Render(dt, fs, out);
}

std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& fs) {
  std::string out;
  FormatDateTime(format, dt, fs, out);
  return out;
}

// ---- parsing ----

namespace {

struct Cursor {
  std::string_view s;
  size_t i = 0;

  bool AtEnd() const { return i == s.size(); }
  bool Match(std::string_view w) {
    if (w.empty() || s.size() - i < w.size() || s.compare(i, w.size(), w) != 0) return false;
    i += w.size();
    return true;
  }
  bool MatchText(std::string_view w) {  // ASCII letters without regard to case
    if (w.empty() || s.size() - i < w.size() || !SameText(s.substr(i, w.size()), w)) return false;
    i += w.size();
    return true;
  }
  void SkipBlanks() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  }
  // Decimal digits, at most `maxDigits` of them; `count` tells how many there were.
  bool Number(int& v, int& count, int maxDigits = 9) {
    size_t start = i;
    v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < size_t(maxDigits))
      v = v * 10 + (s[i++] - '0');
    count = static_cast<int>(i - start);
    return count > 0 && (i == s.size() || s[i] < '0' || s[i] > '9');
  }
  // A fraction of a second after its point, as milliseconds (rounded).
  bool Fraction(int& ms) {
    size_t start = i;
    int64_t scaled = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
      if (i - start < 4) scaled = scaled * 10 + (s[i] - '0');
    if (i == start) return false;
    for (size_t k = std::min<size_t>(i - start, 4); k < 4; ++k) scaled *= 10;
    ms = static_cast<int>((scaled + 5) / 10);
    return true;
  }
};

int CurrentYear() {
  // localtime_r is not free; the year is asked for every two-digit year read.
  static std::atomic<int64_t> cache{0};  // hour since the epoch << 16 | year
  time_t now = time(nullptr);
  int64_t c = cache.load(std::memory_order_relaxed);
  if (c != 0 && (c >> 16) == now / 3600) return static_cast<int>(c & 0xFFFF);
  tm t{};
  localtime_r(&now, &t);
  int year = t.tm_year + 1900;
  cache.store((static_cast<int64_t>(now / 3600) << 16) | year, std::memory_order_relaxed);
  return year;
}

int ExpandTwoDigitYear(int y, int window) {
  int current = CurrentYear();
  int century = current - window;
  y += century / 100 * 100;
  if (window > 0 && y < century) y += 100;
  return y;
}

// Milliseconds of the day of "h:n[:s[.z]]" with an optional am/pm marker.
bool ParseTime(Cursor& c, const TFormatSettings& fs, int64_t& ms) {
  int h, m, s = 0, z = 0, count;
  if (!c.Number(h, count, 2) || !c.Match(fs.TimeSeparator) || !c.Number(m, count, 2)) return false;
  if (c.Match(fs.TimeSeparator)) {
    if (!c.Number(s, count, 2)) return false;
    if ((c.Match(".") || c.Match(fs.DecimalSeparator)) && !c.Fraction(z)) return false;
  }
  c.SkipBlanks();
  int marker = 0;  // 1 morning, 2 afternoon
  if (c.MatchText("AM") || c.MatchText(fs.TimeAMString))
    marker = 1;
  else if (c.MatchText("PM") || c.MatchText(fs.TimePMString))
    marker = 2;
  if (marker) {
    if (h > 12) return false;
    if (h == 12) h = 0;
    if (marker == 2) h += 12;
  }
  if (h > 23 || m > 59 || s > 59) return false;
  ms = ((h * 60LL + m) * 60 + s) * 1000 + z;
  return true;
}

TDateTime Combine(TDateTime date, int64_t ms) {
  double time = static_cast<double>(ms) / kMsPerDay;
  return date < 0 ? date - time : date + time;
}

// The order of day, month and year in the short date format, as "dmy", "mdy" or "ymd".
void DateOrder(std::string_view fmt, char order[3]) {
  int n = 0;
  char quote = 0;
  for (char ch : fmt) {
    if (quote) {
      if (ch == quote) quote = 0;
      continue;
    }
    if (ch == '"' || ch == '\'') {
      quote = ch;
      continue;
    }
    char l = Lower(ch);
    if ((l == 'd' || l == 'm' || l == 'y') && std::find(order, order + n, l) == order + n)
      order[n++] = l;
  }
  for (char l : {'m', 'd', 'y'})
    if (std::find(order, order + n, l) == order + n) order[n++] = l;
}

bool ParseDate(Cursor& c, const TFormatSettings& fs, TDateTime& date) {
  int v[3], len[3], parts = 0;
  if (!c.Number(v[0], len[0]) || !c.Match(fs.DateSeparator)) return false;
  if (!c.Number(v[1], len[1])) return false;
  parts = 2;
  if (c.Match(fs.DateSeparator)) {
    if (!c.Number(v[2], len[2])) return false;
    parts = 3;
  }
  // Every value of a run is read with the same short date format: its order is kept.
  thread_local std::string orderOf;
  thread_local char order[3];
  if (orderOf.empty() || orderOf != fs.ShortDateFormat) {
    DateOrder(fs.ShortDateFormat, order);
    orderOf = fs.ShortDateFormat;
  }
  // The clock is read only for a date without a year: it costs more than the rest of the parse.
  int day = 0, month = 0, year = parts == 2 ? CurrentYear() : 0;
  for (int k = 0, part = 0; k < 3 && part < parts; ++k) {
    if (parts == 2 && order[k] == 'y') continue;  // two parts are day and month
    if (order[k] == 'd') day = v[part];
    if (order[k] == 'm') month = v[part];
    if (order[k] == 'y') {
      year = v[part];
      if (len[part] <= 2) year = ExpandTwoDigitYear(year, fs.TwoDigitYearCenturyWindow);
    }
    ++part;
  }
  return TryEncodeDate(year, month, day, date);
}

}  // namespace

bool TryStrToDateTime(std::string_view s, TDateTime& out, const TFormatSettings& fs) {
  Cursor c{TrimView(s)};
  if (c.AtEnd()) return false;
  TDateTime date = 0;
  if (ParseDate(c, fs, date)) {
    c.SkipBlanks();
    if (c.AtEnd()) {
      out = date;
      return true;
    }
  } else {
    c.i = 0;  // not a date: a time alone
  }
  int64_t ms;
  if (!ParseTime(c, fs, ms) || !c.AtEnd()) return false;
  out = Combine(date, ms);
  return true;
}

TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs) {
  TDateTime dt;
  if (!TryStrToDateTime(s, dt, fs))
    throw EConvertError(Format(TranslateText("Engine", "'%s' is not a valid date and time"), {s}));
  return dt;
}

namespace {

bool FixedNumber(Cursor& c, int digits, int& v) {
  int count;
  return c.Number(v, count, digits) && count == digits;
}

bool ParseIsoTime(Cursor& c, int64_t& ms) {
  int h, m, s = 0, z = 0;
  if (!FixedNumber(c, 2, h) || !c.Match(":") || !FixedNumber(c, 2, m)) return false;
  if (c.Match(":")) {
    if (!FixedNumber(c, 2, s)) return false;
    if (c.Match(".") && !c.Fraction(z)) return false;
  }
  if (h > 23 || m > 59 || s > 59) return false;
  ms = ((h * 60LL + m) * 60 + s) * 1000 + z;
  return true;
}

}  // namespace

namespace {

// The number in the n digits at s[at], n of them or nothing.
bool DigitsAt(std::string_view s, size_t at, size_t n, int& v) {
  v = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  return true;
}

// "2008-03-07" and "2008-03-07 14:30:05", the forms servers send for every DATE and DATETIME
// value, read by position; false for anything else, which the general reader then takes.
bool TryParseIsoFixed(std::string_view s, TDateTime& out) {
  int y, m, d, h, n, sec;
  if (s.size() != 10 && s.size() != 19) return false;
  // The timestamps of a result mostly fall on the day of the one before: that day's text is
  // read once.
  thread_local char lastDay[10] = {'1', '8', '9', '9', '-', '1', '2', '-', '3', '0'};
  thread_local TDateTime lastDate = 0;  // the serial of that text
  TDateTime date;
  if (std::memcmp(s.data(), lastDay, 10) == 0) {
    date = lastDate;
  } else {
    if (s[4] != '-' || s[7] != '-' || !DigitsAt(s, 0, 4, y) || !DigitsAt(s, 5, 2, m) ||
        !DigitsAt(s, 8, 2, d) || !TryEncodeDate(y, m, d, date))
      return false;
    std::memcpy(lastDay, s.data(), 10);
    lastDate = date;
  }
  if (s.size() == 10) {
    out = date;
    return true;
  }
  if ((s[10] != ' ' && s[10] != 'T') || s[13] != ':' || s[16] != ':' || !DigitsAt(s, 11, 2, h) ||
      !DigitsAt(s, 14, 2, n) || !DigitsAt(s, 17, 2, sec) || h > 23 || n > 59 || sec > 59)
    return false;
  out = Combine(date, ((h * 60LL + n) * 60 + sec) * 1000);
  return true;
}

}  // namespace

bool TryParseIsoDateTime(std::string_view s, TDateTime& out) {
  if (TryParseIsoFixed(s, out)) return true;
  Cursor c{TrimView(s)};
  TDateTime date = 0;
  int64_t ms = 0;
  if (c.s.size() >= 10 && c.s[4] == '-') {
    int y, m, d;
    if (!FixedNumber(c, 4, y) || !c.Match("-") || !FixedNumber(c, 2, m) || !c.Match("-") ||
        !FixedNumber(c, 2, d) || !TryEncodeDate(y, m, d, date))
      return false;
    if (c.AtEnd()) {
      out = date;
      return true;
    }
    if (!c.Match(" ") && !c.Match("T")) return false;
  }
  if (!ParseIsoTime(c, ms) || !c.AtEnd()) return false;
  out = Combine(date, ms);
  return true;
}

}  // namespace morvale
