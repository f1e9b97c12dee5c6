#include "app/engine/pgvalues.h"

#include <endian.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

#include "app/engine/pgtypes.h"
#include "export/core/datetime.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

bool DecodesBinary(Oid type) {
  switch (type) {
    case pg::kBool:
    case pg::kBytea:
    case pg::kName:
    case pg::kInt8:
    case pg::kInt2:
    case pg::kInt4:
    case pg::kText:
    case pg::kOid:
    case pg::kFloat4:
    case pg::kFloat8:
    case pg::kBpchar:
    case pg::kVarchar:
    case pg::kDate:
    case pg::kTime:
    case pg::kTimestamp:
    case pg::kNumeric:
    case pg::kUuid:
      return true;
    default:
      return false;
  }
}

// The protocol's integers are big-endian: one load and a byte swap each.
int16_t Int16(const char* p) {
  uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<int16_t>(be16toh(v));
}
int32_t Int32(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<int32_t>(be32toh(v));
}
int64_t Int64(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<int64_t>(be64toh(v));
}

// v in decimal with at least `width` digits; returns the end. Dates, times and NUMERIC's
// base-10000 digits are written for every value of a column, so the common widths are written
// digit by digit in place, without a general conversion and a copy.
char* PutDigits(char* p, int64_t v, int width) {
  if (width == 2 && v >= 0 && v < 100) {
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
    return p + 2;
  }
  if (width == 4 && v >= 0 && v < 10000) {
    p[0] = static_cast<char>('0' + v / 1000);
    p[1] = static_cast<char>('0' + v / 100 % 10);
    p[2] = static_cast<char>('0' + v / 10 % 10);
    p[3] = static_cast<char>('0' + v % 10);
    return p + 4;
  }
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  for (int n = static_cast<int>(r.ptr - buf); n < width; ++n) *p++ = '0';
  for (const char* d = buf; d != r.ptr; ++d) *p++ = *d;
  return p;
}

// The days 2000-01-01 is after 1970-01-01: the server counts dates and times from it.
constexpr int64_t kPgEpochDays = 10957;
constexpr int64_t kMicrosPerDay = 86400000000;

// A date as the server writes it in the ISO style: "2008-03-07", "0044-03-15" with bc set.
char* PutPgDate(char* p, int64_t daysSince2000, bool& bc) {
  // The timestamps of a result mostly fall on the day of the one before: that day's text is
  // made once. Years of five digits and more are made each time.
  thread_local int64_t lastDays = INT64_MIN;
  thread_local char lastText[10];
  thread_local bool lastBc = false;
  if (daysSince2000 == lastDays) {
    bc = lastBc;
    return std::copy_n(lastText, 10, p);
  }
  int year, month, day;
  CivilFromDays(daysSince2000 + kPgEpochDays, year, month, day);
  bc = year <= 0;
  char* const start = p;
  p = PutDigits(p, bc ? 1 - year : year, 4);
  *p++ = '-';
  p = PutDigits(p, month, 2);
  *p++ = '-';
  p = PutDigits(p, day, 2);
  if (p - start == 10) {
    std::copy_n(start, 10, lastText);
    lastDays = daysSince2000;
    lastBc = bc;
  }
  return p;
}

// A time of day in microseconds as "09:05:01" or "09:05:01.25" (the fraction's zeros dropped).
char* PutPgTime(char* p, int64_t micros) {
  const int64_t seconds = micros / 1000000;
  int64_t fraction = micros % 1000000;
  p = PutDigits(p, seconds / 3600, 2);
  *p++ = ':';
  p = PutDigits(p, seconds / 60 % 60, 2);
  *p++ = ':';
  p = PutDigits(p, seconds % 60, 2);
  if (fraction == 0) return p;
  int width = 6;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --width;
  }
  *p++ = '.';
  return PutDigits(p, fraction, width);
}

// The text of a date (int32 days) or a timestamp (int64 microseconds), "infinity" included.
std::string_view PgDateText(int32_t days, char* buf) {
  if (days == INT32_MAX) return "infinity";
  if (days == INT32_MIN) return "-infinity";
  bool bc;
  char* p = PutPgDate(buf, days, bc);
  if (bc) p = std::copy_n(" BC", 3, p);
  return std::string_view(buf, static_cast<size_t>(p - buf));
}

std::string_view PgTimestampText(int64_t micros, char* buf) {
  if (micros == INT64_MAX) return "infinity";
  if (micros == INT64_MIN) return "-infinity";
  int64_t days = micros / kMicrosPerDay, rest = micros % kMicrosPerDay;
  if (rest < 0) {
    rest += kMicrosPerDay;
    --days;
  }
  bool bc;
  char* p = PutPgDate(buf, days, bc);
  *p++ = ' ';
  p = PutPgTime(p, rest);
  if (bc) p = std::copy_n(" BC", 3, p);
  return std::string_view(buf, static_cast<size_t>(p - buf));
}

// NUMERIC's binary form (base-10000 digits, a weight, a sign and the display scale) as the
// server's text.
bool AppendPgNumeric(const char* p, int32_t len, std::string& out) {
  if (len < 8) return false;
  const int ndigits = Int16(p), weight = Int16(p + 2), dscale = Int16(p + 6);
  const uint16_t sign = static_cast<uint16_t>(Int16(p + 4));
  if (sign == 0xC000) return out.append("NaN"), true;
  if (sign == 0xD000) return out.append("Infinity"), true;
  if (sign == 0xF000) return out.append("-Infinity"), true;
  if (ndigits < 0 || len < 8 + 2 * ndigits) return false;
  for (int i = 0; i < ndigits; ++i)
    if (Int16(p + 8 + 2 * i) < 0 || Int16(p + 8 + 2 * i) > 9999) return false;
  auto digit = [&](int i) { return i >= 0 && i < ndigits ? Int16(p + 8 + 2 * i) : 0; };
  // Written in place: four characters for each base-10000 digit, the sign, the point and up to
  // three digits of the last group that the scale cuts off.
  const size_t integer = weight < 0 ? 1 : 4 * static_cast<size_t>(weight + 1);
  const size_t fraction = dscale > 0 ? static_cast<size_t>(dscale) + 4 : 0;
  const size_t used = out.size();
  out.resize(used + 2 + integer + fraction);
  char* const start = out.data() + used;
  char* q = start;
  if (sign == 0x4000) *q++ = '-';
  if (weight < 0) {
    *q++ = '0';
  } else {
    for (int i = 0; i <= weight; ++i) q = PutDigits(q, digit(i), i == 0 ? 1 : 4);
  }
  if (dscale > 0) {
    *q++ = '.';
    char* const point = q;
    for (int i = weight + 1; q - point < dscale; ++i) q = PutDigits(q, digit(i), 4);
    q = point + dscale;
  }
  out.resize(used + static_cast<size_t>(q - start));
  return true;
}

void AppendUuid(const char* p, std::string& out) {
  static const char hex[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += hex[static_cast<unsigned char>(p[i]) >> 4];
    out += hex[static_cast<unsigned char>(p[i]) & 15];
  }
}

// The words the server writes for the floating-point values that are no numbers.
const char* NonFiniteWord(double v) {
  return std::isnan(v) ? "NaN" : v < 0 ? "-Infinity" : "Infinity";
}

// bytea in hex output: "\\x00ff41".
bool DecodeHexBytea(const char* p, size_t len, std::string& out) {
  if (len < 2 || p[0] != '\\' || p[1] != 'x' || len % 2) return false;
  out.clear();
  auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  for (size_t i = 2; i + 1 < len; i += 2) out += static_cast<char>(hex(p[i]) << 4 | hex(p[i + 1]));
  return true;
}

// "2008-03-07 09:05:01+05:30" and "09:05:01-05": the zone goes (the text is already in the
// session's zone).
size_t WithoutZone(const char* p, size_t len) {
  size_t i = len;
  while (i > 0 && ((p[i - 1] >= '0' && p[i - 1] <= '9') || p[i - 1] == ':')) --i;
  if (i == 0 || i == len || (p[i - 1] != '+' && p[i - 1] != '-')) return len;
  size_t sign = i - 1;
  return std::string_view(p, sign).find(':') == std::string_view::npos ? len : sign;
}

// Amounts come as "-$1,234.50": keep the number.
void StripAmount(std::string& s) {
  std::string r;
  for (char c : s)
    if ((c >= '0' && c <= '9') || c == '.' || c == '-') r += c;
  if (!r.empty()) s = r;
}

}  // namespace

bool PgDecodesBinary(Oid type) {
  return DecodesBinary(type);
}

void ReadPgBinary(Oid type, const char* p, int32_t len, TCell& cell, TRowWindow& window,
                  std::string& scratch) {
  char text[64];
  auto integer = [&](int64_t v) {
    cell.Kind = TCellKind::Int;
    cell.Int = v;
  };
  auto real = [&](double v) {
    if (!std::isfinite(v)) return window.SetText(cell, std::string_view(NonFiniteWord(v)));
    cell.Kind = TCellKind::Float;
    cell.Float = v;
  };
  switch (type) {
    case pg::kBool:
      // As the server's word: a query across databases compares it as that text.
      return window.SetText(cell, std::string_view(len > 0 && p[0] != 0 ? "t" : "f"));
    case pg::kInt2:
      return integer(Int16(p));
    case pg::kInt4:
      return integer(Int32(p));
    case pg::kOid:
      return integer(static_cast<uint32_t>(Int32(p)));
    case pg::kInt8:
      return integer(Int64(p));
    case pg::kFloat8: {
      const int64_t bits = Int64(p);
      double v;
      std::memcpy(&v, &bits, sizeof v);
      return real(v);
    }
    case pg::kFloat4: {
      const int32_t bits = Int32(p);
      float f;
      std::memcpy(&f, &bits, sizeof f);
      if (!std::isfinite(f)) return real(f);
      // The server writes the shortest text that reads back as the float; the row-by-row
      // reader took that text as a double, which is not the float widened.
      char buf[32];
      auto r = std::to_chars(buf, buf + sizeof buf, f);
      double v = 0;
      std::from_chars(buf, r.ptr, v);
      return real(v);
    }
    case pg::kDate: {
      const int32_t days = Int32(p);
      const int64_t serial = days + kPgEpochDays + 25569;
      if (serial >= -693593 && serial <= 2958465) {
        // "YYYY-MM-DD" of a year from 1 to 9999 reads as this whole day, and is what a
        // query across databases writes for it again.
        cell.Kind = TCellKind::DateTime;
        cell.Float = static_cast<double>(serial);
        return;
      }
      return window.SetText(cell, PgDateText(days, text));
    }
    case pg::kTime: {
      char* end = PutPgTime(text, Int64(p));
      return window.SetText(cell, text, static_cast<size_t>(end - text));
    }
    case pg::kTimestamp:
      return window.SetText(cell, PgTimestampText(Int64(p), text));
    case pg::kNumeric:
      scratch.clear();
      if (!AppendPgNumeric(p, len, scratch))
        throw Exception(
            TranslateText("Engine", "PostgreSQL sent a NUMERIC this reader does not know"));
      return window.SetText(cell, scratch);
    case pg::kUuid:
      if (len != 16) break;
      scratch.clear();
      AppendUuid(p, scratch);
      return window.SetText(cell, scratch);
    case pg::kBytea:
      return window.SetText(cell, p, static_cast<size_t>(len), TCellKind::Blob);
    default:
      break;
  }
  window.SetText(cell, p, static_cast<size_t>(len));
}

void ReadPgText(Oid type, TFieldType fieldType, const char* p, size_t len, TCell& cell,
                TRowWindow& window, std::string& scratch) {
  // The numbers and dates that the binary reader gives as numbers: as the same numbers.
  const char* end = p + len;
  switch (type) {
    case pg::kInt2:
    case pg::kInt4:
    case pg::kInt8:
    case pg::kOid: {
      int64_t v;
      auto r = std::from_chars(p, end, v);
      if (r.ec != std::errc() || r.ptr != end) break;
      cell.Kind = TCellKind::Int;
      cell.Int = v;
      return;
    }
    case pg::kFloat4:
    case pg::kFloat8: {
      double v;
      auto r = std::from_chars(p, end, v);
      if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) break;
      cell.Kind = TCellKind::Float;
      cell.Float = v;
      return;
    }
    case pg::kDate: {
      // "YYYY-MM-DD" of the years 1 to 9999; a date BC or "infinity" stays the server's text.
      TDateTime day;
      if (len != 10 || !TryParseIsoDateTime(std::string_view(p, len), day)) break;
      cell.Kind = TCellKind::DateTime;
      cell.Float = day;
      return;
    }
    default:
      break;
  }
  switch (fieldType) {
    case ftBlob:
      if (DecodeHexBytea(p, len, scratch)) return window.SetText(cell, scratch, TCellKind::Blob);
      break;
    case ftCurrency:
      scratch.assign(p, len);
      StripAmount(scratch);
      return window.SetText(cell, scratch);
    case ftDateTime:
    case ftTime:
      len = WithoutZone(p, len);
      break;
    default:
      break;
  }
  window.SetText(cell, p, len);
}

TFieldDef PgFieldDef(const std::string& name, Oid type, int size, int modifier) {
  // The length and precision as Qt's driver took them from the modifier, which the field
  // sizes have always followed.
  int len = size, prec = modifier;
  if (type == pg::kNumeric) {
    if (modifier != -1) {
      len = modifier >> 16;
      prec = (modifier - 4) & 0xffff;
    }
  } else if (type == pg::kTimestamp) {
    prec = 3;
  } else if (len == -1 && modifier >= 4) {
    len = modifier - 4;
    prec = -1;
  }
  auto str = [&](int n) { return MakeFieldDef(name, ftString, n); };
  switch (type) {
    case pg::kBool:
      return MakeFieldDef(name, ftBoolean);
    case pg::kBytea:
      return MakeFieldDef(name, ftBlob);
    case pg::kChar:
      return str(1);
    case pg::kName:
      return str(63);
    case pg::kInt8:
      return MakeFieldDef(name, ftLargeint);
    case pg::kInt2:
      return MakeFieldDef(name, ftSmallint);
    case pg::kInt4:
      return MakeFieldDef(name, ftInteger);
    case pg::kOid:
      return MakeFieldDef(name, ftLargeint);  // oid is unsigned 32-bit
    case pg::kFloat4:
    case pg::kFloat8:
      return MakeFieldDef(name, ftFloat);
    case pg::kMoney:
      return MakeFieldDef(name, ftCurrency);
    case pg::kBpchar:
    case pg::kVarchar:
      return str(len);
    case pg::kDate:
      return MakeFieldDef(name, ftDate);
    case pg::kTime:
    case pg::kTimeTz:
      return MakeFieldDef(name, ftTime);
    case pg::kTimestamp:
    case pg::kTimestampTz:
      return MakeFieldDef(name, ftDateTime);
    case pg::kNumeric:
      // NUMERIC without digits: any number.
      if (len <= 0) return MakeFieldDef(name, ftFloat);
      return MakeFieldDef(name, ftBCD, std::max(0, prec), len);
    case pg::kUuid:
      return str(36);
    default:
      return str(0);  // text, json, xml, arrays...: shown as text
  }
}

TFieldDef PgColumnDef(const PGresult* r, int i) {
  return PgFieldDef(PQfname(r, i), PQftype(r, i), PQfsize(r, i), PQfmod(r, i));
}

std::string PgErrorText(const PGresult* r, PGconn* pg) {
  std::string text = PQerrorMessage(pg);
  if (const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr)
    text += "(" + std::string(state) + ")";
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text.empty() ? "PostgreSQL gave an unknown error" : text;
}

bool PgShortestFloats(PGconn* pg) {
  PGresult* r = PQexec(pg, "SHOW extra_float_digits");
  const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 &&
                  std::atoi(PQgetvalue(r, 0, 0)) > 0;
  PQclear(r);
  return ok;
}

}  // namespace morvale
