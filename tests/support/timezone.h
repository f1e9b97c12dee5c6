// Sets the process's time zone for one scope and gives the previous one back when it ends, so a
// test that fails half-way does not leave its zone to the tests after it.
#pragma once

#include <optional>
#include <string>

namespace morvale::test {

class TTimeZoneGuard {
 public:
  explicit TTimeZoneGuard(const std::string& zone);
  ~TTimeZoneGuard();
  TTimeZoneGuard(const TTimeZoneGuard&) = delete;
  TTimeZoneGuard& operator=(const TTimeZoneGuard&) = delete;

 private:
  std::optional<std::string> saved_;  // nullopt: TZ was not set
};

}  // namespace morvale::test
