// The clipboard of the command-line exporter: the desktop's clipboard when there is a display to
// reach it through (wl-copy under Wayland, xclip under X), standard output otherwise. Which of the
// two took the text is said on standard error.
#pragma once

#include <ostream>
#include <string>

#include "export/core/codepage.h"
#include "export/core/platform.h"
#include "export/core/streams.h"

namespace morvale::cli {

class TCliClipboard : public IClipboard {
 public:
  // Standard output gets the text in `encoding`; the desktop's clipboard holds characters and
  // gets them as they are.
  TCliClipboard(TStream& out, std::ostream& err, TTextEncoding encoding = encSystem)
      : out_(out), err_(err), encoding_(encoding) {}
  void SetText(const std::string& text) override;
  std::string GetText() override { return text_; }

 private:
  TStream& out_;
  std::ostream& err_;
  std::string text_;
  TTextEncoding encoding_ = encSystem;
};

// The full path of a program found on PATH, or the empty text.
std::string FindProgram(const std::string& name);

}  // namespace morvale::cli
