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

}  // namespace

void RenderCell(const TCell& cell, std::string_view bytes, TFieldType type,
                const std::string& dateTimeFormat, const TFormatSettings& fs, std::string& out) {
  out.clear();
  switch (cell.Kind) {
    case TCellKind::Null:
      return;
    case TCellKind::Int:
      switch (ClassOf(type)) {
        case TRenderClass::Boolean:
          out += cell.Int != 0 ? "True" : "False";
          return;
        default:
          AppendInt(cell.Int, out);
          return;
      }
    case TCellKind::Float:
      if (ClassOf(type) == TRenderClass::Boolean) {
        out += cell.Float != 0 ? "True" : "False";
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
        out += flag ? "True" : "False";
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
