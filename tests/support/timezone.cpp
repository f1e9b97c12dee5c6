#include "tests/support/timezone.h"

#include <cstdlib>
#include <ctime>

namespace morvale::test {

TTimeZoneGuard::TTimeZoneGuard(const std::string& zone) {
  if (const char* tz = std::getenv("TZ")) saved_ = tz;
  setenv("TZ", zone.c_str(), 1);
  tzset();
}

TTimeZoneGuard::~TTimeZoneGuard() {
  if (saved_)
    setenv("TZ", saved_->c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace morvale::test
