// What the program settles before its first window: which folder is its own (settings file and
// working folders) and that no other copy of it runs.
#pragma once

#include <memory>
#include <string>

namespace morvale {

// $MORVALE_HOME when set; else the executable's folder when it holds Morvale.ini and is
// writable (a portable copy); else the user's data folder, made now. Ends in '/'.
std::string ResolveProgramFolder(const std::string& executable);

// An exclusive lock on a file named after the executable's file name in the user's runtime
// folder, held until the process ends (the kernel drops it even after a crash).
class TSingleInstance {
 public:
  enum TResult { siFirst, siRunning, siFailed };
  // executableName: the file name alone ("morvale").
  explicit TSingleInstance(const std::string& executableName);
  ~TSingleInstance();
  TResult Result() const { return result_; }
  // The message for a second copy, or for a lock that could not be made.
  std::string Message() const;

 private:
  std::string name_;
  int fd_ = -1;
  TResult result_ = siFailed;
};

}  // namespace morvale
