#include "app/engine/valuetext.h"

#include <charconv>
#include <cmath>

#include "export/core/datetime.h"
#include "export/core/numfmt.h"

namespace morvale {

std::string DateTimeFormatFor(TFieldType type, const TFormatSettings& fs) {
  switch (type) {
    case ftDate:
      return fs.ShortDateFormat;
    case ftTime:
      return fs.LongTimeFormat;
    case ftDateTime:
      return fs.ShortDateFormat + " " + fs.LongTimeFormat;
    default:
      return std::string();
  }
}

namespace {

enum class TRenderClass { Text, Integer, Float, DateTime, Boolean };

TRenderClass ClassOf(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
      return TRenderClass::Integer;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
      return TRenderClass::Float;
    case ftDate:
    case ftTime:
    case ftDateTime:
      return TRenderClass::DateTime;
    case ftBoolean:
      return TRenderClass::Boolean;
    default:
      return TRenderClass::Text;
  }
}

void AppendInt(int64_t v, std::string& out) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, static_cast<size_t>(r.ptr - buf));
}

// A number as servers send it in text ("12.50", "-3e5"): read with the point whatever the locale.
bool ParsePlainNumber(std::string_view s, double& v) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

// A decimal of at most fifteen digits with an optional sign and point (what servers send for a
// NUMERIC of prices and amounts) read without a general reader: its digits as an integer and a
// power of ten both are exact doubles, and one division rounds correctly, so the value is the
// one from_chars gives. False for any other text.
bool ParseShortDecimal(std::string_view s, double& v) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s.size() > 16) return false;
  uint64_t digits = 0;
  int count = 0, scale = -1;  // scale: digits after the point, -1 before it
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      digits = digits * 10 + static_cast<uint64_t>(c - '0');
      ++count;
      if (scale >= 0) ++scale;
    } else if (c == '.' && scale < 0) {
      scale = 0;
    } else {
      return false;
    }
  }
  if (count == 0 || count > 15) return false;
  v = static_cast<double>(digits);
  if (scale > 0) v /= kPowers[scale];
  if (negative) v = -v;
  return true;
}

// Digits with an optional sign and point, no exponent: how servers send exact decimals.
bool IsPlainDecimal(std::string_view s) {
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  bool digits = false, point = false;
  for (char c : s) {
    if (c >= '0' && c <= '9')
      digits = true;
    else if (c == '.' && !point)
      point = true;
    else
      return false;
  }
  return digits;
}

bool SameWord(std::string_view s, std::string_view word) {
  return SameText(s, word);
}

// 1 true, 0 false, -1 not a flag.
int FlagOf(std::string_view s) {
  // PostgreSQL's "t" and "f" come for every Boolean value of a result: one letter is settled
  // without comparing words.
  if (s.size() == 1) {
    switch (s[0]) {
      case '1':
      case 't':
      case 'T':
      case 'y':
      case 'Y':
        return 1;
      case '0':
      case 'f':
      case 'F':
      case 'n':
      case 'N':
        return 0;
      default:
        return -1;
    }
  }
  for (auto w : {"1", "t", "true", "y", "yes", "on"})
    if (SameWord(s, w)) return 1;
  for (auto w : {"0", "f", "false", "n", "no", "off"})
    if (SameWord(s, w)) return 0;
  return -1;
}

void AppendDateTime(double dt, const std::string& format, TFieldType type,
                    const TFormatSettings& fs, std::string& out) {
  // A date column that holds a time of day too, or a time column with a date, shows both rather
  // than drop part of what is stored.
  double day = std::trunc(dt);
  bool hasTime = dt != day;
  bool hasDate = day != 0;
  if ((type == ftDate && hasTime) || (type == ftTime && hasDate))
    FormatDateTime(fs.ShortDateFormat + " " + fs.LongTimeFormat, dt, fs, out);
  else
    FormatDateTime(format, dt, fs, out);
}

// Boolean words as RenderCell writes them.
constexpr std::string_view kTrueWord = "True", kFalseWord = "False";

void SetBoolean(bool v, TFieldValue& out) {
  out.Kind = TValueKind::Boolean;
  out.Bool = v;
  out.Text = v ? kTrueWord : kFalseWord;
}

void SetText(std::string_view text, TFieldValue& out) {
  out.Kind = TValueKind::Text;
  out.Text = text;
}

}  // namespace

void StoredCellValue(const TCell& cell, std::string_view bytes, TFieldType type, TFieldValue& out) {
  const TRenderClass cls = ClassOf(type);
  out.Text = {};
  switch (cell.Kind) {
    case TCellKind::Null:
      out.Kind = TValueKind::Null;
      return;
    case TCellKind::Int:
      if (cls == TRenderClass::Boolean) return SetBoolean(cell.Int != 0, out);
      out.Kind = TValueKind::Integer;
      out.Int = cell.Int;
      return;
    case TCellKind::Float:
      if (cls == TRenderClass::Boolean) return SetBoolean(cell.Float != 0, out);
      out.Kind = TValueKind::Float;
      out.Float = cell.Float;
      return;
    case TCellKind::DateTime:
      out.Kind = TValueKind::DateTime;
      out.Float = cell.Float;
      return;
    case TCellKind::Blob:
      return SetText(bytes, out);
    case TCellKind::Text:
      break;
  }
  switch (cls) {
    case TRenderClass::Float: {
      double v;
      if (ParseShortDecimal(bytes, v)) {
        out.Kind = TValueKind::Decimal;
        out.Float = v;
        out.Text = bytes;
        return;
      }
      if (!ParsePlainNumber(bytes, v)) break;
      out.Kind = IsPlainDecimal(bytes) ? TValueKind::Decimal : TValueKind::Float;
      out.Float = v;
      out.Text = bytes;
      return;
    }
    case TRenderClass::DateTime: {
      TDateTime dt;
      if (!TryParseIsoDateTime(bytes, dt)) break;
      out.Kind = TValueKind::DateTime;
      out.Float = dt;
      out.Text = bytes;
      return;
    }
    case TRenderClass::Boolean: {
      int flag = FlagOf(bytes);
      if (flag < 0) break;
      return SetBoolean(flag != 0, out);
    }
    default:
      break;
  }
  SetText(bytes, out);
}

void RenderValue(const TFieldValue& value, TFieldType type, const std::string& dateTimeFormat,
                 const TFormatSettings& fs, std::string& out) {
  out.clear();
  switch (value.Kind) {
    case TValueKind::Null:
      return;
    case TValueKind::Integer:
      AppendInt(value.Int, out);
      return;
    case TValueKind::Float:
    case TValueKind::Decimal:
      FloatToStrGeneral(value.Float, fs, out);
      return;
    case TValueKind::DateTime:
      AppendDateTime(value.Float, dateTimeFormat, type, fs, out);
      return;
    case TValueKind::Boolean:
    case TValueKind::Text:
      out.assign(value.Text);
      return;
  }
}

void RenderCell(const TCell& cell, std::string_view bytes, TFieldType type,
                const std::string& dateTimeFormat, const TFormatSettings& fs, std::string& out) {
  TFieldValue value;
  StoredCellValue(cell, bytes, type, value);
  RenderValue(value, type, dateTimeFormat, fs, out);
}

}  // namespace morvale
