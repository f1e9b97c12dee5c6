#include "cli/clipboard.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace morvale::cli {

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    std::string full = (dir.empty() ? "." : dir) + "/" + name;
    if (access(full.c_str(), X_OK) == 0) return full;
  }
  return {};
}

namespace {

// Feeds the text to a clipboard program; true when it took it. The program keeps serving the
// clipboard after it exits, from a child that must not hold our output open, hence /dev/null.
bool Pipe(const std::string& program, const std::string& args, const std::string& text) {
  struct sigaction ignore {
  }, old{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);  // a program that dies early must not take us with it
  std::string cmd = "'" + program + "' " + args + " >/dev/null 2>&1";
  FILE* p = popen(cmd.c_str(), "w");
  bool ok = p != nullptr;
  if (p) {
    ok = std::fwrite(text.data(), 1, text.size(), p) == text.size();
    int status = pclose(p);
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  sigaction(SIGPIPE, &old, nullptr);
  return ok;
}

bool Set(const char* env) {
  const char* v = std::getenv(env);
  return v && *v;
}

}  // namespace

void TCliClipboard::SetText(const std::string& text) {
  text_ = text;
  std::string program;
  const char* args = "";
  if (Set("WAYLAND_DISPLAY") && !(program = FindProgram("wl-copy")).empty()) {
    args = "--type text/plain";
  } else if (Set("DISPLAY") && !(program = FindProgram("xclip")).empty()) {
    args = "-selection clipboard -i";
  }
  if (!program.empty() && Pipe(program, args, text)) {
    err_ << "morvale-export: the text is on the clipboard\n";
    if (TextEncodingConverts(encoding_))
      err_ << "morvale-export: a clipboard holds characters; --encoding applies to standard "
              "output only\n";
    return;
  }
  if (!program.empty())
    err_ << "morvale-export: " << program
         << " could not take the text; it goes to standard output\n";
  else if (Set("DISPLAY") || Set("WAYLAND_DISPLAY"))
    err_ << "morvale-export: no clipboard program (xclip, wl-copy); the text goes to standard "
            "output\n";
  else
    err_ << "morvale-export: no display; the text goes to standard output\n";
  if (!TextEncodingConverts(encoding_)) {
    out_.Write(text);
  } else {
    // Converted whole before anything is written: a character the encoding lacks stops the run
    // with nothing half-written on the output.
    TMemoryStream converted;
    TEncodingStream encoded(converted, encoding_);
    encoded.Write(text);
    encoded.Finish();
    out_.Write(converted.Data());
  }
  out_.Flush();
}

}  // namespace morvale::cli
