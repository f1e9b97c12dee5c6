// Sets or removes one environment variable for a scope and gives the previous value back when it
// ends, so a test that fails half-way does not leave its setting to the tests after it.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace morvale::test {

class TEnvGuard {
 public:
  // nullptr removes the variable for the scope.
  TEnvGuard(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    Set(value);
  }
  ~TEnvGuard() { Set(saved_ ? saved_->c_str() : nullptr); }
  TEnvGuard(const TEnvGuard&) = delete;
  TEnvGuard& operator=(const TEnvGuard&) = delete;

 private:
  void Set(const char* value) {
    if (value)
      setenv(name_.c_str(), value, 1);
    else
      unsetenv(name_.c_str());
  }

  std::string name_;
  std::optional<std::string> saved_;
};

}  // namespace morvale::test
