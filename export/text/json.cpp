#include "export/text/json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/properties.h"

namespace morvale {

namespace {

// The number grammar of JSON: no sign but '-', no leading zeros, digits on both sides of a point.
bool IsJSONNumber(std::string_view s) {
  size_t i = 0;
  auto digits = [&] {
    size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - start;
  };
  if (i < s.size() && s[i] == '-') ++i;
  size_t intStart = i, n = digits();
  if (n == 0 || (n > 1 && s[intStart] == '0')) return false;
  if (i < s.size() && s[i] == '.') {
    ++i;
    if (digits() == 0) return false;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == s.size();
}

}  // namespace

void AppendJSONString(std::string_view s, std::string& out) {
  // Plain ASCII needs no conversion; the runs between characters to escape go in whole.
  thread_local std::string utf8;
  std::string_view text = s;
  if (std::any_of(s.begin(), s.end(),
                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    ToUtf8(s, utf8);
    text = utf8;
  }
  out += '"';
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(text.data() + run, i - run);
    run = i + 1;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default: {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out += buf;
      }
    }
  }
  out.append(text.data() + run, text.size() - run);
  out += '"';
}

const TPropList& TExportJSON::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    PropBuilder<TExportJSON>(l).Bool("JSONLines", &TExportJSON::JSONLines);
    return l;
  }();
  return list;
}

void TExportJSON::BeginExport() {
  TExportFormatText::BeginExport();
  keys_.clear();
  std::string caption;
  for (int i = 0; i < Row().Count(); ++i) {
    const int c = Row()[i].ColumnIndex;
    caption = c >= 0 ? Columns()[c].Caption : Row()[i].Name;
    std::string key;
    AppendJSONString(caption, key);
    keys_.push_back(key + ':');
  }
  BeginPart();
}

void TExportJSON::BeginPart() {
  first_ = true;
  if (!JSONLines) Writer()->Write("[");
}

void TExportJSON::EndPart() {
  if (!JSONLines) Writer()->Write(first_ ? "]\n" : "\n]\n");
}

void TExportJSON::WriteDataRow() {
  TExportRow& row = Row();
  line_.assign(JSONLines ? "" : first_ ? "\n" : ",\n");
  line_ += '{';
  for (int i = 0; i < row.Count(); ++i) {
    if (i) line_ += ',';
    line_ += keys_[static_cast<size_t>(i)];
    row[i].GetExportedValue(false, value_);
    line_ += value_;
  }
  line_ += '}';
  if (JSONLines) line_ += '\n';
  Writer()->Write(line_);
  first_ = false;
}

void TExportJSON::EndExport() {
  EndPart();
  TExportFormatText::EndExport();
}

void TExportJSON::AppendNumber(const std::string& text, TExportColType type, std::string& out) {
  const TFormatSettings& fs = FormatSettings();
  // The source's own digits, none lost to a double, once the locale's separators are out.
  std::string& plain = plain_;
  plain = text;
  if (!fs.ThousandSeparator.empty())
    for (size_t p = plain.find(fs.ThousandSeparator); p != std::string::npos;
         p = plain.find(fs.ThousandSeparator, p))
      plain.erase(p, fs.ThousandSeparator.size());
  if (!fs.DecimalSeparator.empty() && fs.DecimalSeparator != ".")
    if (size_t p = plain.find(fs.DecimalSeparator); p != std::string::npos)
      plain.replace(p, fs.DecimalSeparator.size(), ".");
  if (IsJSONNumber(plain)) {
    out += plain;
    return;
  }
  if (type == ectInteger || type == ectBigint) {
    int64_t v;
    if (TryStrToInt64(text, v)) {
      out += std::to_string(v);
      return;
    }
  }
  double v;
  if (!TryStrToFloat(text, v, fs)) {
    AppendJSONString(text, out);  // a text a handler put in a number column stays readable
    return;
  }
  if (!std::isfinite(v)) {
    out += "null";  // JSON has no infinity or NaN
    return;
  }
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);  // the shortest text that reads back
  out.append(buf, ec == std::errc() ? end : buf);
}

void TExportJSON::AppendDateTime(const std::string& text, TExportColType type,
                                 std::string& out) const {
  TDateTime dt = 0;
  if (!TryStrToDateTime(text, dt, FormatSettings())) {
    AppendJSONString(text, out);
    return;
  }
  int h, n, s, ms;
  DecodeTime(dt, h, n, s, ms);
  const char* time = ms ? "hh\":\"nn\":\"ss\".\"zzz" : "hh\":\"nn\":\"ss";
  std::string format = type == ectDate   ? std::string("yyyy\"-\"mm\"-\"dd")
                       : type == ectTime ? std::string(time)
                                         : std::string("yyyy\"-\"mm\"-\"dd\"T\"") + time;
  out += '"';
  out += FormatDateTime(format, dt, FormatSettings());
  out += '"';
}

bool TExportJSON::AppendStored(const TFieldValue& value, TExportColType type, std::string& out) {
  const bool number =
      type == ectInteger || type == ectBigint || type == ectFloat || type == ectCurrency;
  switch (value.Kind) {
    case TValueKind::Integer:
    case TValueKind::Float:
    case TValueKind::Decimal:
      if (!number) return false;
      // Every digit the source holds: a NUMERIC's own digits, a double's shortest exact ones.
      if (!AppendExactNumber(value, PointSettings(), out)) out += "null";  // no infinity in JSON
      return true;
    case TValueKind::DateTime:
      if (type != ectDate && type != ectTime && type != ectDateTime) return false;
      out += '"';
      AppendIsoValue(value, type, 'T', out);
      out += '"';
      return true;
    case TValueKind::Boolean:
      if (type != ectBoolean) return false;
      out += value.Bool ? "true" : "false";
      return true;
    default:
      return false;
  }
}

void TExportJSON::GetColData(TExportCol& col, std::string& S) {
  S.clear();
  if (col.ColumnIndex < 0) {
    AppendJSONString(col.Data, S);
    return;
  }
  if (Columns().IsNull(col.ColumnIndex)) {
    S = "null";
    return;
  }
  const TExportColType type = Columns()[col.ColumnIndex].ColType;
  if (col.Stored && AppendStored(col.Value, type, S)) return;
  const std::string& v = col.Text();
  switch (type) {
    case ectInteger:
    case ectBigint:
    case ectFloat:
    case ectCurrency:
      if (v.empty())
        S = "null";
      else
        AppendNumber(v, type, S);
      return;
    case ectBoolean:
      S = SameText(TrimView(v), "true") || TrimView(v) == "1" ? "true" : "false";
      return;
    case ectDate:
    case ectTime:
    case ectDateTime:
      if (v.empty())
        S = "null";
      else
        AppendDateTime(v, type, S);
      return;
    default:
      AppendJSONString(v, S);
      return;
  }
}

}  // namespace morvale
