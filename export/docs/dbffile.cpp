#include "export/docs/dbffile.h"

#include <algorithm>

#include <charconv>
#include <cmath>

#include "export/core/classes.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

void PutLE16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void PutLE32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string TDBFField::Descriptor() const {
  std::string d(kDBFDescriptorSize, '\0');
  // Byte 10 stays zero: a name of 10 bytes still has its terminator.
  Name.copy(d.data(), std::min(Name.size(), kDBFNameMaxLength));
  d[kDBFTypeAt] = Type;
  PutLE32(d, kDBFFieldOffsetAt, static_cast<uint32_t>(Offset));
  d[kDBFLengthAt] = static_cast<char>(Length & 0xFF);
  d[kDBFDecimalsAt] = static_cast<char>(Decimals & 0xFF);
  return d;
}

std::string DBFFieldName(std::string_view name, bool utf8) {
  std::string r(name.substr(
      0, utf8 ? Utf8Prefix(name, kDBFNameMaxLength) : std::min(name.size(), kDBFNameMaxLength)));
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

int DBFHeaderLength(size_t fieldCount) {
  return static_cast<int>(kDBFHeaderSize + kDBFDescriptorSize * fieldCount + 1);
}

int DBFRecordLength(const std::vector<TDBFField>& fields) {
  int len = 1;
  for (const TDBFField& f : fields) len += f.Length & 0xFF;
  return len;
}

void CheckDBFShape(const std::vector<TDBFField>& fields) {
  // Both lengths are 16-bit fields of the header; a table beyond them could not be read back.
  if (DBFHeaderLength(fields.size()) > 0xFFFF)
    throw Exception(Format(TranslateText("Engine", "Too many fields for a dBASE table: %d"),
                           {IntToStr(fields.size())}));
  if (DBFRecordLength(fields) > 0xFFFF)
    throw Exception(
        Format(TranslateText("Engine", "dBASE record too long: %d bytes, at most 65535"),
               {IntToStr(DBFRecordLength(fields))}));
}

std::string DBFMainHeader(uint8_t version, int year, int month, int day, uint32_t recordCount,
                          const std::vector<TDBFField>& fields) {
  std::string h(kDBFHeaderSize, '\0');
  h[0] = static_cast<char>(version);
  h[kDBFYearAt] = static_cast<char>((year - 1900) & 0xFF);
  h[kDBFYearAt + 1] = static_cast<char>(month);
  h[kDBFYearAt + 2] = static_cast<char>(day);
  PutLE32(h, kDBFRecordCountAt, recordCount);
  PutLE16(h, kDBFHeaderLengthAt, static_cast<uint32_t>(DBFHeaderLength(fields.size())));
  PutLE16(h, kDBFRecordLengthAt, static_cast<uint32_t>(DBFRecordLength(fields)));
  return h;
}

void RenderDBFField(const TDBFField& field, std::string_view text, bool utf8, std::string& record) {
  const size_t len = static_cast<size_t>(field.Length & 0xFF);
  const size_t start = record.size();
  record.append(len, ' ');
  if (text.empty() || len == 0) return;
  char* out = record.data() + start;
  switch (field.Type) {
    case kDBFCharacter: {
      size_t n = std::min<size_t>(len, kDBFMaxCharLength);
      n = utf8 ? Utf8Prefix(text, n) : std::min(n, text.size());
      text.copy(out, n);
      break;
    }
    case kDBFNumeric:
    case kDBFMemo:
      if (text.size() > len)
        std::fill(out, out + len, '*');
      else
        text.copy(out + (len - text.size()), text.size());
      break;
    default:  // D and L arrive in their exact width
      text.copy(out, std::min(len, text.size()));
  }
}

std::string DBFFixed(double value, int width, int decimals) {
  char buf[700];
  auto [end, ec] =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, std::max(decimals, 0));
  std::string s = ec == std::errc() ? std::string(buf, end) : std::string();
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
  return s;
}

bool DBFFixedDecimal(std::string_view digits, int width, int decimals, std::string& out) {
  decimals = std::max(decimals, 0);
  bool negative = false;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  const size_t point = digits.find('.');
  std::string_view whole = digits.substr(0, point);
  std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
  auto isDigits = [](std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if ((whole.empty() && fraction.empty()) || !isDigits(whole) || !isDigits(fraction)) return false;
  // The kept digits, with a leading 0 that takes the carry of a rounding up.
  std::string d = "0";
  d += whole.empty() ? std::string_view("0") : whole;
  const size_t intDigits = d.size();
  d += fraction.substr(0, std::min(fraction.size(), static_cast<size_t>(decimals)));
  d.append(intDigits + static_cast<size_t>(decimals) - d.size(), '0');
  if (fraction.size() > static_cast<size_t>(decimals) &&
      fraction[static_cast<size_t>(decimals)] >= '5') {
    size_t i = d.size();
    while (i-- > 0) {
      if (d[i] != '9') {
        ++d[i];
        break;
      }
      d[i] = '0';
    }
  }
  size_t first = d.find_first_not_of('0');
  if (first == std::string::npos || first >= intDigits) first = intDigits - 1;
  std::string s;
  if (negative && d.find_first_not_of('0') != std::string::npos) s += '-';
  s.append(d, first, intDigits - first);
  if (decimals > 0) {
    s += '.';
    s.append(d, intDigits, static_cast<size_t>(decimals));
  }
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
  out = std::move(s);
  return true;
}

char DBFLogical(std::string_view text) {
  std::string up = UpperCaseAscii(text);
  if (up.find("TRUE") != std::string::npos) return 'T';
  if (up.find("FALSE") != std::string::npos) return 'F';
  return ' ';
}

int DBFMemoBlockCount(size_t valueBytes) {
  return static_cast<int>((valueBytes + 2 + kDBFMemoBlock - 1) / kDBFMemoBlock);
}

std::string DBFMemoBlocks(std::string_view value) {
  std::string b(static_cast<size_t>(DBFMemoBlockCount(value.size())) * kDBFMemoBlock, '\0');
  value.copy(b.data(), value.size());
  b[value.size()] = kDBFFileEnd;
  b[value.size() + 1] = kDBFFileEnd;
  return b;
}

}  // namespace morvale
