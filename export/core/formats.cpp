#include "export/core/formats.h"

#include "export/core/properties.h"

namespace morvale {

TExportFormats::TExportFormats(const TFormatSettings& fs) {
  SetLocale(fs);
  ResetFormats();
}

TExportFormats& TExportFormats::operator=(const TExportFormats& other) {
  if (this == &other) return *this;
  // The receiving object keeps its own locale defaults; empty values take them.
  if (defDate_.empty()) {
    defDate_ = other.defDate_;
    defTime_ = other.defTime_;
    defDateTime_ = other.defDateTime_;
    defCurrency_ = other.defCurrency_;
  }
  SetIntegerFormat(other.integer_);
  SetFloatFormat(other.float_);
  SetDateFormat(other.date_);
  SetTimeFormat(other.time_);
  SetDateTimeFormat(other.dateTime_);
  SetCurrencyFormat(other.currency_);
  SetBooleanTrue(other.true_);
  SetBooleanFalse(other.false_);
  SetNullString(other.null_);
  return *this;
}

std::string TExportFormats::CurrencyDefault(const TFormatSettings& fs) {
  const std::string n = DefaultFloat();
  const std::string& cs = fs.CurrencyString;
  if (cs.empty()) return n;
  // A symbol holding format characters ("р." has a point) is quoted, or the point would be read
  // as a second decimal point and dropped; plain symbols stay as they are.
  const bool special = cs.find_first_of("0#.,;Ee'\"") != std::string::npos;
  const std::string q = special ? "\"" + cs + "\"" : cs;
  switch (fs.CurrencyFormat) {
    case 1:
      return n + q;
    case 2:
      return q + " " + n;
    case 3:
      return n + " " + q;
    default:
      return q + n;
  }
}

void TExportFormats::SetLocale(const TFormatSettings& fs) {
  std::string date = fs.ShortDateFormat, time = fs.ShortTimeFormat;
  std::string dateTime = date + " " + time, currency = CurrencyDefault(fs);
  // Values that still hold the old defaults follow the new locale.
  if (date_ == defDate_) date_ = date;
  if (time_ == defTime_) time_ = time;
  if (dateTime_ == defDateTime_) dateTime_ = dateTime;
  if (currency_ == defCurrency_) currency_ = currency;
  defDate_ = date;
  defTime_ = time;
  defDateTime_ = dateTime;
  defCurrency_ = currency;
}

void TExportFormats::ResetFormats() {
  integer_ = DefaultInteger();
  float_ = DefaultFloat();
  date_ = defDate_;
  time_ = defTime_;
  dateTime_ = defDateTime_;
  currency_ = defCurrency_;
  true_ = DefaultTrue();
  false_ = DefaultFalse();
}

const TPropList& TExportFormats::Published() const {
  using F = TExportFormats;
  static const TPropList list = [] {
    TPropList l;
    auto prop = [&l](const char* name, const std::string& (F::*get)() const,
                     void (F::*set)(const std::string&)) {
      PropBuilder<F>(l).Custom(
          name, "String", [get](const F& f) { return (f.*get)(); },
          [set](F& f, std::string_view v) { (f.*set)(std::string(v)); });
    };
    prop("IntegerFormat", &F::IntegerFormat, &F::SetIntegerFormat);
    prop("DateFormat", &F::DateFormat, &F::SetDateFormat);
    prop("TimeFormat", &F::TimeFormat, &F::SetTimeFormat);
    prop("DateTimeFormat", &F::DateTimeFormat, &F::SetDateTimeFormat);
    prop("FloatFormat", &F::FloatFormat, &F::SetFloatFormat);
    prop("CurrencyFormat", &F::CurrencyFormat, &F::SetCurrencyFormat);
    prop("BooleanTrue", &F::BooleanTrue, &F::SetBooleanTrue);
    prop("BooleanFalse", &F::BooleanFalse, &F::SetBooleanFalse);
    prop("NullString", &F::NullString, &F::SetNullString);
    return l;
  }();
  return list;
}

}  // namespace morvale
