// The few services the engine needs from the desktop: the clipboard, shell verbs on a written
// file, screen text metrics. The programs install real implementations at start-up; the built-in
// ones are deterministic so that every exporter runs headless and its tests are reproducible.
#pragma once

#include <string>

#include "export/core/graphics.h"

namespace morvale {

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string GetText() = 0;
};

class IShell {
 public:
  virtual ~IShell() = default;
  // Carries out "open" or "print" on a file; raises on failure.
  virtual void Execute(const std::string& verb, const std::string& fileName) = 0;
};

class ITextMetrics {
 public:
  virtual ~ITextMetrics() = default;
  // Width and height in pixels of `text` (bytes in the system code page) drawn in `font`.
  virtual int TextWidth(const TFont& font, const std::string& text) = 0;
  virtual int TextHeight(const TFont& font, const std::string& text) = 0;
};

// Process-wide services; the built-in fallbacks when nothing was installed.
IClipboard& Clipboard();
IShell& Shell();
ITextMetrics& TextMetrics();
// Installs a service (nullptr restores the fallback); the caller keeps ownership.
void SetClipboard(IClipboard* c);
void SetShell(IShell* s);
void SetTextMetrics(ITextMetrics* m);

// The fallback clipboard keeps its text in memory.
class TMemoryClipboard : public IClipboard {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string GetText() override { return text_; }

 private:
  std::string text_;
};

// Runs xdg-open for "open" and lp for "print"; a clear error when the command is missing.
class TCommandShell : public IShell {
 public:
  void Execute(const std::string& verb, const std::string& fileName) override;
};

// Character-cell metrics: every character (UTF-8 sequence) is Size*0.6 points wide at 96 dpi,
// rounded; the height is the font's pixel size * 1.2. Stable across machines.
class TFixedTextMetrics : public ITextMetrics {
 public:
  int TextWidth(const TFont& font, const std::string& text) override;
  int TextHeight(const TFont& font, const std::string& text) override;
};

// The folder of the running program, ending in '/'.
std::string ProgramFolder();

}  // namespace morvale
