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

// Integers below this magnitude are exact as doubles and print the same digits either way.
constexpr int64_t kExactInDouble = 1000000000000000;

}  // namespace

bool DateTextsReadBack(TFieldType type, const std::string& dateTimeFormat,
                       const TFormatSettings& fs) {
  if (ClassOf(type) != TRenderClass::DateTime) return false;
  // An afternoon, the last second of a minute, a day above 12, years outside any two-digit
  // window, a date before day 0 and a time of day 0, each with milliseconds to drop.
  static const double samples[] = {45999.5734143519,  -18000.9999826389, 0.0416701389,
                                   73415.999994213,   36526.0,           2.25,
                                   -693593.000011574, 2958465.99998843};
  TCell cell;
  cell.Kind = TCellKind::DateTime;
  std::string text;
  for (double dt : samples) {
    cell.Float = dt;
    RenderCell(cell, {}, type, dateTimeFormat, fs, text);
    TDateTime back;
    if (!TryStrToDateTime(TrimView(text), back, fs) || back != WholeSeconds(dt)) return false;
  }
  return true;
}

void CellValue(const TCell& cell, std::string_view bytes, TFieldType type,
               const std::string& dateTimeFormat, bool typedDates, const TFormatSettings& fs,
               std::string& scratch, TFieldValue& out) {
  const TRenderClass cls = ClassOf(type);
  auto rendered = [&] {
    RenderCell(cell, bytes, type, dateTimeFormat, fs, scratch);
    SetText(scratch, out);
  };
  auto dateTime = [&](double dt, bool whole) {
    if (!typedDates) return rendered();
    out.Kind = TValueKind::DateTime;
    out.Float = whole ? dt : WholeSeconds(dt);
  };
  switch (cell.Kind) {
    case TCellKind::Null:
      out.Kind = TValueKind::Null;
      return;
    case TCellKind::Int:
      if (cls == TRenderClass::Boolean) return SetBoolean(cell.Int != 0, out);
      if (cls == TRenderClass::Float) {
        if (cell.Int <= -kExactInDouble || cell.Int >= kExactInDouble) return rendered();
        out.Kind = TValueKind::Float;
        out.Float = static_cast<double>(cell.Int);
        return;
      }
      out.Kind = TValueKind::Integer;
      out.Int = cell.Int;
      return;
    case TCellKind::Float:
      if (cls == TRenderClass::Boolean) return SetBoolean(cell.Float != 0, out);
      out.Kind = TValueKind::Float;
      out.Float = cell.Float;
      return;
    case TCellKind::DateTime:
      if (cls != TRenderClass::DateTime) return rendered();
      // A whole day of the years 1 to 9999 reads back as itself.
      return dateTime(cell.Float, std::trunc(cell.Float) == cell.Float && cell.Float >= -693593 &&
                                      cell.Float <= 2958465);
    case TCellKind::Blob:
      return SetText(bytes, out);
    case TCellKind::Text:
      break;
  }
  switch (cls) {
    case TRenderClass::Float: {
      double v;
      if (!ParsePlainNumber(bytes, v)) break;
      // A server's exact decimal (NUMERIC, DECIMAL) keeps its digits beside the double.
      out.Kind = IsPlainDecimal(bytes) ? TValueKind::Decimal : TValueKind::Float;
      out.Float = v;
      out.Text = bytes;
      return;
    }
    case TRenderClass::DateTime: {
      TDateTime dt;
      if (!TryParseIsoDateTime(bytes, dt)) break;
      // An ISO text without a fraction of a second is read to the second already.
      return dateTime(dt, bytes.find('.') == std::string_view::npos);
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

void RenderCell(const TCell& cell, std::string_view bytes, TFieldType type,
                const std::string& dateTimeFormat, const TFormatSettings& fs, std::string& out) {
  out.clear();
  switch (cell.Kind) {
    case TCellKind::Null:
      return;
    case TCellKind::Int:
      switch (ClassOf(type)) {
        case TRenderClass::Boolean:
          out += cell.Int != 0 ? kTrueWord : kFalseWord;
          return;
        default:
          AppendInt(cell.Int, out);
          return;
      }
    case TCellKind::Float:
      if (ClassOf(type) == TRenderClass::Boolean) {
        out += cell.Float != 0 ? kTrueWord : kFalseWord;
        return;
      }
      FloatToStrGeneral(cell.Float, fs, out);
      return;
    case TCellKind::DateTime:
      AppendDateTime(cell.Float, dateTimeFormat, type, fs, out);
      return;
    case TCellKind::Blob:
      out.assign(bytes);
      return;
    case TCellKind::Text:
      break;
  }
  // Text in a typed column: what a server sends as text, or what SQLite keeps as written. What
  // does not read as the column's type is shown as it is stored.
  switch (ClassOf(type)) {
    case TRenderClass::Float: {
      double v;
      if (ParsePlainNumber(bytes, v)) {
        FloatToStrGeneral(v, fs, out);
        return;
      }
      break;
    }
    case TRenderClass::DateTime: {
      TDateTime dt;
      if (TryParseIsoDateTime(bytes, dt)) {
        AppendDateTime(dt, dateTimeFormat, type, fs, out);
        return;
      }
      break;
    }
    case TRenderClass::Boolean: {
      int flag = FlagOf(bytes);
      if (flag >= 0) {
        out += flag ? kTrueWord : kFalseWord;
        return;
      }
      break;
    }
    default:
      break;
  }
  out.assign(bytes);
}

}  // namespace morvale
