#include "export/core/platform.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cmath>

#include "export/core/codepage.h"
#include "export/core/translate.h"

extern char** environ;

namespace morvale {

namespace {

IClipboard* installedClipboard = nullptr;
IShell* installedShell = nullptr;
ITextMetrics* installedMetrics = nullptr;

// Runs a program with arguments and waits; the exit status, or -1 when it could not start.
int Run(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

IClipboard& Clipboard() {
  static TMemoryClipboard fallback;
  return installedClipboard ? *installedClipboard : fallback;
}

IShell& Shell() {
  static TCommandShell fallback;
  return installedShell ? *installedShell : fallback;
}

ITextMetrics& TextMetrics() {
  static TFixedTextMetrics fallback;
  return installedMetrics ? *installedMetrics : fallback;
}

void SetClipboard(IClipboard* c) {
  installedClipboard = c;
}
void SetShell(IShell* s) {
  installedShell = s;
}
void SetTextMetrics(ITextMetrics* m) {
  installedMetrics = m;
}

void TCommandShell::Execute(const std::string& verb, const std::string& fileName) {
  if (verb == "open") {
    if (Run({"xdg-open", fileName}) != 0)
      throw Exception(
          Format(TranslateText("Engine", "Cannot open '%s': xdg-open failed or is not installed"),
                 {fileName}));
  } else if (verb == "print") {
    if (Run({"lp", fileName}) != 0)
      throw Exception(Format(
          TranslateText("Engine", "Cannot print '%s': the lp command failed or is not installed"),
          {fileName}));
  } else {
    throw Exception(Format(TranslateText("Engine", "Unknown shell verb '%s'"), {verb}));
  }
}

int TFixedTextMetrics::TextWidth(const TFont& font, const std::string& text) {
  double px = font.Size * 96.0 / 72.0;
  return static_cast<int>(std::lround(static_cast<double>(TextLength(text)) * px * 0.6));
}

int TFixedTextMetrics::TextHeight(const TFont& font, const std::string&) {
  return static_cast<int>(std::lround(font.Size * 96.0 / 72.0 * 1.2));
}

std::string ProgramFolder() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

}  // namespace morvale
