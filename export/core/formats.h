// The nine format strings an exporter renders values with, and their locale-derived defaults.
#pragma once

#include <string>

#include "export/core/classes.h"
#include "export/core/formatsettings.h"

namespace morvale {

class TExportFormats : public TPersistent {
 public:
  explicit TExportFormats(const TFormatSettings& fs = DefaultFormatSettings());
  TExportFormats(const TExportFormats& other) : TPersistent() { *this = other; }
  // Copies the nine values through the property rules.
  TExportFormats& operator=(const TExportFormats& other);

  const TPropList& Published() const override;

  // Recomputes the locale-derived defaults; properties that held the old default follow.
  void SetLocale(const TFormatSettings& fs);
  // The first eight back to their defaults; NullString stays.
  void ResetFormats();

  const std::string& IntegerFormat() const { return integer_; }
  const std::string& FloatFormat() const { return float_; }
  const std::string& DateFormat() const { return date_; }
  const std::string& TimeFormat() const { return time_; }
  const std::string& DateTimeFormat() const { return dateTime_; }
  const std::string& CurrencyFormat() const { return currency_; }
  const std::string& BooleanTrue() const { return true_; }
  const std::string& BooleanFalse() const { return false_; }
  const std::string& NullString() const { return null_; }

  // The empty text stores the property's default.
  void SetIntegerFormat(const std::string& v) { Assign(integer_, v, DefaultInteger()); }
  void SetFloatFormat(const std::string& v) { Assign(float_, v, DefaultFloat()); }
  void SetDateFormat(const std::string& v) { Assign(date_, v, defDate_); }
  void SetTimeFormat(const std::string& v) { Assign(time_, v, defTime_); }
  void SetDateTimeFormat(const std::string& v) { Assign(dateTime_, v, defDateTime_); }
  void SetCurrencyFormat(const std::string& v) { Assign(currency_, v, defCurrency_); }
  void SetBooleanTrue(const std::string& v) { Assign(true_, v, DefaultTrue()); }
  void SetBooleanFalse(const std::string& v) { Assign(false_, v, DefaultFalse()); }
  // Stored trimmed of blanks and control characters.
  void SetNullString(const std::string& v) { null_ = Trim(v); }

  static const char* DefaultInteger() { return "#,###,##0"; }
  static const char* DefaultFloat() { return "#,###,##0.00"; }
  static const char* DefaultTrue() { return "true"; }
  static const char* DefaultFalse() { return "false"; }
  const std::string& DefaultDate() const { return defDate_; }
  const std::string& DefaultTime() const { return defTime_; }
  const std::string& DefaultDateTime() const { return defDateTime_; }
  const std::string& DefaultCurrency() const { return defCurrency_; }

  static std::string CurrencyDefault(const TFormatSettings& fs);

 private:
  static void Assign(std::string& field, const std::string& v, const std::string& def) {
    field = v.empty() ? def : v;
  }
  std::string defDate_, defTime_, defDateTime_, defCurrency_;
  std::string integer_, float_, date_, time_, dateTime_, currency_, true_, false_, null_;
};

}  // namespace morvale
