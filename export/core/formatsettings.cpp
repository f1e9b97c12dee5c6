#include "export/core/formatsettings.h"

#include <langinfo.h>
#include <locale.h>

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "export/core/classes.h"

namespace morvale {

namespace {

void SetEnglishNames(TFormatSettings& fs) {
  fs.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  fs.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                       "July",    "August",   "September", "October", "November", "December"};
  fs.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  fs.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
}

// ---- strftime formats to the date-time format language ----

// One piece of a strftime format after expanding %D, %T, %R, %r and %F.
struct StrfToken {
  enum Kind {
    kLiteral,
    kDay,
    kDayNoPad,
    kMonth,
    kYear4,
    kYear2,
    kHour24,
    kHour12,
    kMinute,
    kSecond,
    kAmPm,
    kMonthShort,
    kMonthLong,
    kDayShort,
    kDayLong
  };
  Kind kind;
  std::string text;  // literal text
  bool IsDate() const {
    return kind == kDay || kind == kDayNoPad || kind == kMonth || kind == kYear4 ||
           kind == kYear2 || kind == kMonthShort || kind == kMonthLong;
  }
  bool IsTime() const {
    return kind == kHour24 || kind == kHour12 || kind == kMinute || kind == kSecond;
  }
};

struct StrfConversion {
  char letter;
  StrfToken::Kind kind;
};
constexpr StrfConversion kConversions[] = {
    {'d', StrfToken::kDay},        {'e', StrfToken::kDayNoPad},  {'m', StrfToken::kMonth},
    {'Y', StrfToken::kYear4},      {'y', StrfToken::kYear2},     {'H', StrfToken::kHour24},
    {'I', StrfToken::kHour12},     {'M', StrfToken::kMinute},    {'S', StrfToken::kSecond},
    {'p', StrfToken::kAmPm},       {'P', StrfToken::kAmPm},      {'b', StrfToken::kMonthShort},
    {'h', StrfToken::kMonthShort}, {'B', StrfToken::kMonthLong}, {'a', StrfToken::kDayShort},
    {'A', StrfToken::kDayLong},
};
struct StrfShorthand {
  char letter;
  const char* expansion;
};
constexpr StrfShorthand kShorthands[] = {
    {'D', "%m/%d/%y"}, {'T', "%H:%M:%S"}, {'R', "%H:%M"}, {'r', "%I:%M:%S %p"}, {'F', "%Y-%m-%d"},
};

void TokenizeStrftime(std::string_view f, std::vector<StrfToken>& out) {
  auto literal = [&](std::string_view t) {
    if (!out.empty() && out.back().kind == StrfToken::kLiteral)
      out.back().text.append(t);
    else
      out.push_back({StrfToken::kLiteral, std::string(t)});
  };
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 == f.size()) {
      literal(f.substr(i, 1));
      continue;
    }
    char c = f[++i];
    // glibc's flags and alternatives ("%-d", "%Ey") change nothing the language can express.
    while ((c == '-' || c == '_' || c == '0' || c == '^' || c == '#' || c == 'E' || c == 'O') &&
           i + 1 < f.size())
      c = f[++i];
    if (c == '%') literal("%");
    if (c == 'n' || c == 't') literal(" ");
    for (const StrfConversion& conv : kConversions)
      if (conv.letter == c) out.push_back({conv.kind, {}});
    // The shorthands expand to plain conversions only, so this recursion is one level deep.
    for (const StrfShorthand& sh : kShorthands)
      if (sh.letter == c) TokenizeStrftime(sh.expansion, out);
    // Anything else (time zones, week numbers) has no place in a value's text.
  }
}

// The first literal between two date (or two time) elements: the locale's separator.
std::string FindSeparator(const std::vector<StrfToken>& toks, bool date) {
  for (size_t i = 1; i + 1 < toks.size(); ++i) {
    const StrfToken& t = toks[i];
    if (t.kind != StrfToken::kLiteral) continue;
    bool before = date ? toks[i - 1].IsDate() : toks[i - 1].IsTime();
    bool after = date ? toks[i + 1].IsDate() : toks[i + 1].IsTime();
    if (before && after) return t.text;
  }
  return {};
}

// Literal text in the format language: quoted when it holds letters or characters that would
// otherwise mean something.
void AppendLiteral(std::string_view text, std::string& out) {
  bool plain = true;
  for (char c : text) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter || c == '/' || c == ':' || c == '"' || c == '\'') plain = false;
  }
  if (plain) {
    out.append(text);
    return;
  }
  char q = text.find('"') == std::string_view::npos ? '"' : '\'';
  out += q;
  out.append(text);
  out += q;
}

// Converts strftime tokens. `sep` is written as '/' (date) or ':' (time) when it stands between
// two elements of that kind; `dropSeconds` leaves out the seconds and the separator before them.
std::string ConvertStrftime(const std::vector<StrfToken>& toks, const std::string& dateSep,
                            const std::string& timeSep, bool dropSeconds) {
  bool twelve = false, hasAmPm = false;
  for (const StrfToken& t : toks) {
    if (t.kind == StrfToken::kHour12) twelve = true;
    if (t.kind == StrfToken::kAmPm) hasAmPm = true;
  }
  std::string out;
  for (size_t i = 0; i < toks.size(); ++i) {
    const StrfToken& t = toks[i];
    switch (t.kind) {
      case StrfToken::kLiteral: {
        bool between = i > 0 && i + 1 < toks.size();
        if (dropSeconds && i + 1 < toks.size() && toks[i + 1].kind == StrfToken::kSecond) break;
        if (between && toks[i - 1].IsDate() && toks[i + 1].IsDate() && t.text == dateSep)
          out += '/';
        else if (between && toks[i - 1].IsTime() && toks[i + 1].IsTime() && t.text == timeSep)
          out += ':';
        else
          AppendLiteral(t.text, out);
        break;
      }
      case StrfToken::kDay:
        out += "dd";
        break;
      case StrfToken::kDayNoPad:
        out += "d";
        break;
      case StrfToken::kMonth:
        out += "mm";
        break;
      case StrfToken::kYear4:
        out += "yyyy";
        break;
      case StrfToken::kYear2:
        out += "yy";
        break;
      case StrfToken::kHour24:
      case StrfToken::kHour12:
        out += "hh";
        break;
      case StrfToken::kMinute:
        out += "nn";
        break;
      case StrfToken::kSecond:
        if (!dropSeconds) out += "ss";
        break;
      case StrfToken::kAmPm:
        out += "AMPM";
        break;
      case StrfToken::kMonthShort:
        out += "mmm";
        break;
      case StrfToken::kMonthLong:
        out += "mmmm";
        break;
      case StrfToken::kDayShort:
        out += "ddd";
        break;
      case StrfToken::kDayLong:
        out += "dddd";
        break;
    }
  }
  // A 12-hour clock without its marker would make the afternoon unreadable.
  if (twelve && !hasAmPm) out += " AMPM";
  return out;
}

// Day, month and year in the order of their first appearance (quoted text skipped).
std::string DateOrder(std::string_view fmt) {
  std::string order;
  char quote = 0;
  for (char c : fmt) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
      continue;
    }
    char l = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos) order += l;
  }
  return order;
}

class LocaleHandle {
 public:
  explicit LocaleHandle(const std::string& name) {
    loc_ = newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(0));
    if (!loc_) {
      throw Exception(name.empty()
                          ? std::string("The locale named by the environment is not installed")
                          : "The locale '" + name + "' is not installed");
    }
  }
  ~LocaleHandle() { freelocale(loc_); }
  LocaleHandle(const LocaleHandle&) = delete;
  LocaleHandle& operator=(const LocaleHandle&) = delete;
  std::string Info(nl_item item) const {
    const char* s = nl_langinfo_l(item, loc_);
    return s ? s : "";
  }
  locale_t get() const { return loc_; }

 private:
  locale_t loc_;
};

}  // namespace

TFormatSettings TFormatSettings::English() {
  TFormatSettings fs;
  SetEnglishNames(fs);
  return fs;
}

TFormatSettings TFormatSettings::Russian() {
  TFormatSettings fs;
  fs.DecimalSeparator = ",";
  fs.ThousandSeparator = "\xC2\xA0";
  fs.DateSeparator = ".";
  fs.TimeSeparator = ":";
  fs.ListSeparator = ";";
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.LongDateFormat = "d mmmm yyyy '\xD0\xB3.'";
  fs.ShortTimeFormat = "h:nn";
  fs.LongTimeFormat = "h:nn:ss";
  fs.TimeAMString = "";
  fs.TimePMString = "";
  fs.CurrencyString = "\xD1\x80.";
  fs.CurrencyFormat = 3;
  // Month names in the genitive, as a date reads in Russian ("7 марта 2008 г.") and as the
  // system's ru_RU locale gives them.
  fs.ShortMonthNames = {"янв", "фев", "мар", "апр", "мая", "июн",
                        "июл", "авг", "сен", "окт", "ноя", "дек"};
  fs.LongMonthNames = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                       "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
  fs.ShortDayNames = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
  fs.LongDayNames = {"Воскресенье", "Понедельник", "Вторник", "Среда",
                     "Четверг",     "Пятница",     "Суббота"};
  return fs;
}

TFormatSettings TFormatSettings::Iso() {
  TFormatSettings fs;
  fs.DecimalSeparator = ".";
  fs.ThousandSeparator = "";
  fs.DateSeparator = "-";
  fs.TimeSeparator = ":";
  fs.ListSeparator = ",";
  fs.ShortDateFormat = "yyyy/mm/dd";
  fs.LongDateFormat = "yyyy/mm/dd";
  // The short time keeps its seconds here: date-times are written in the short forms, and a
  // timestamp column exported under the C locale would otherwise lose them silently.
  fs.ShortTimeFormat = "hh:nn:ss";
  fs.LongTimeFormat = "hh:nn:ss";
  fs.CurrencyString = "";
  fs.CurrencyFormat = 0;
  SetEnglishNames(fs);
  return fs;
}

TFormatSettings TFormatSettings::FromLocale(const std::string& name) {
  LocaleHandle loc(name);
  TFormatSettings fs;
  fs.DecimalSeparator = loc.Info(RADIXCHAR);
  if (fs.DecimalSeparator.empty()) fs.DecimalSeparator = ".";
  fs.ThousandSeparator = loc.Info(THOUSEP);
  // POSIX has no list separator; a comma decimal separator forces the semicolon.
  fs.ListSeparator = fs.DecimalSeparator == "," ? ";" : ",";

  for (int i = 0; i < 12; ++i) {
    fs.LongMonthNames[i] = loc.Info(static_cast<nl_item>(MON_1 + i));
    fs.ShortMonthNames[i] = loc.Info(static_cast<nl_item>(ABMON_1 + i));
  }
  for (int i = 0; i < 7; ++i) {
    fs.LongDayNames[i] = loc.Info(static_cast<nl_item>(DAY_1 + i));
    fs.ShortDayNames[i] = loc.Info(static_cast<nl_item>(ABDAY_1 + i));
  }
  fs.TimeAMString = loc.Info(AM_STR);
  fs.TimePMString = loc.Info(PM_STR);

  // CRNCYSTR: '-' before the amount, '+' after it, '.' in place of the decimal separator.
  std::string crncy = loc.Info(CRNCYSTR);
  bool after = !crncy.empty() && crncy[0] == '+';
  fs.CurrencyString = crncy.empty() ? "" : crncy.substr(1);
  locale_t old = uselocale(loc.get());
  const lconv* lc = localeconv();
  bool blank = lc && lc->p_sep_by_space == 1;
  uselocale(old);
  fs.CurrencyFormat = (after ? 1 : 0) + (blank ? 2 : 0);

  std::vector<StrfToken> date, time;
  TokenizeStrftime(loc.Info(D_FMT), date);
  std::string tfmt = loc.Info(T_FMT);
  if (tfmt.empty()) tfmt = loc.Info(T_FMT_AMPM);
  TokenizeStrftime(tfmt, time);

  bool twoDigitYear = false;
  for (const StrfToken& t : date) twoDigitYear |= t.kind == StrfToken::kYear2;
  if (date.empty() || time.empty() || twoDigitYear) {
    // A two-digit year would lose its century in a round trip through text: take ISO forms.
    TFormatSettings iso = Iso();
    fs.DateSeparator = iso.DateSeparator;
    fs.TimeSeparator = iso.TimeSeparator;
    fs.ShortDateFormat = iso.ShortDateFormat;
    fs.LongDateFormat = iso.LongDateFormat;
    fs.ShortTimeFormat = iso.ShortTimeFormat;
    fs.LongTimeFormat = iso.LongTimeFormat;
    return fs;
  }

  fs.DateSeparator = FindSeparator(date, true);
  if (fs.DateSeparator.empty()) fs.DateSeparator = "/";
  fs.TimeSeparator = FindSeparator(time, false);
  if (fs.TimeSeparator.empty()) fs.TimeSeparator = ":";
  fs.ShortDateFormat = ConvertStrftime(date, fs.DateSeparator, fs.TimeSeparator, false);
  fs.LongTimeFormat = ConvertStrftime(time, fs.DateSeparator, fs.TimeSeparator, false);
  fs.ShortTimeFormat = ConvertStrftime(time, fs.DateSeparator, fs.TimeSeparator, true);
  // POSIX has no long date format: spell the month out in the short date's order.
  std::string order = DateOrder(fs.ShortDateFormat);
  if (order.rfind("dm", 0) == 0)
    fs.LongDateFormat = "d mmmm yyyy";
  else if (order.rfind("y", 0) == 0)
    fs.LongDateFormat = "yyyy mmmm d";
  else
    fs.LongDateFormat = "dddd, mmmm d, yyyy";
  return fs;
}

namespace {

std::mutex& DefaultMutex() {
  static std::mutex m;
  return m;
}

std::unique_ptr<TFormatSettings>& DefaultSlot() {
  static std::unique_ptr<TFormatSettings> slot;
  return slot;
}

}  // namespace

const TFormatSettings& DefaultFormatSettings() {
  std::lock_guard<std::mutex> lock(DefaultMutex());
  auto& slot = DefaultSlot();
  if (!slot) {
    try {
      slot = std::make_unique<TFormatSettings>(TFormatSettings::FromLocale(""));
    } catch (const Exception&) {
      // The environment names a locale that is not installed; the C library falls back to the
      // C locale in that case too.
      slot = std::make_unique<TFormatSettings>(TFormatSettings::Iso());
    }
  }
  return *slot;
}

void SetDefaultFormatSettings(const TFormatSettings& fs) {
  std::lock_guard<std::mutex> lock(DefaultMutex());
  auto& slot = DefaultSlot();
  if (slot)
    *slot = fs;  // in place: references handed out earlier stay valid
  else
    slot = std::make_unique<TFormatSettings>(fs);
}

}  // namespace morvale
