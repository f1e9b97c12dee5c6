#include "cli/login.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace morvale::cli {

namespace {

// One line from the terminal; echo off for a password.
bool AskLine(int tty, const std::string& prompt, bool secret, std::string& answer) {
  // Echo goes off before the prompt shows: whoever answers it may type at once, and switching
  // afterwards would flush what was already typed.
  termios saved{};
  bool restore = false;
  if (secret && tcgetattr(tty, &saved) == 0) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    restore = tcsetattr(tty, TCSAFLUSH, &quiet) == 0;
  }
  bool ok = write(tty, prompt.data(), prompt.size()) >= 0;
  answer.clear();
  char c;
  bool line = false;
  while (ok && read(tty, &c, 1) == 1) {
    if (c == '\n') {
      line = true;
      break;
    }
    if (c != '\r') answer += c;
  }
  if (restore) {
    tcsetattr(tty, TCSANOW, &saved);
    (void)!write(tty, "\n", 1);
  }
  return line;
}

}  // namespace

bool TerminalLogin(TDatabase& database, TStringList& loginParams) {
  if (!isatty(STDIN_FILENO)) return true;  // no one to ask: connect as given
  int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
  if (tty < 0) return true;
  std::string name = database.AliasName.empty() ? database.DatabaseName : database.AliasName;
  // A URL's password is not shown back in the prompt.
  size_t at = name.rfind('@');
  size_t scheme = name.find("://");
  if (at != std::string::npos && scheme != std::string::npos) name = name.substr(at + 1);
  std::string user = loginParams.Value("USER NAME"), password;
  bool ok = true;
  if (user.empty()) ok = AskLine(tty, "User name for " + name + ": ", false, user);
  if (ok) ok = AskLine(tty, "Password for " + user + "@" + name + ": ", true, password);
  close(tty);
  if (!ok) return false;
  loginParams.SetValue("USER NAME", user);
  loginParams.SetValue("PASSWORD", password);
  return true;
}

}  // namespace morvale::cli
