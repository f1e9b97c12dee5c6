// The one seam through which the desktop program asks the user anything: message boxes,
// questions, the login box and the folder and file choosers. The program installs the Qt
// implementation; tests install a scripted one and answer in advance, so nothing waits for a
// person.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace morvale {

class IPrompts {
 public:
  virtual ~IPrompts() = default;
  // A simple message box with OK.
  virtual void Message(const std::string& text) = 0;
  // An action's failure, as the application's default error handler shows it.
  virtual void Error(const std::string& text) = 0;
  // OK and Cancel; true for OK.
  virtual bool Question(const std::string& text) = 0;
  // The login box of a database; false when cancelled.
  virtual bool Login(const std::string& database, std::string& user, std::string& password) = 0;
  // A folder chooser that starts at `start` (may be empty) and lets the user make a new folder;
  // nothing when cancelled.
  virtual std::optional<std::string> FolderDialog(const std::string& start) = 0;
  // A save-file chooser asking before it overwrites; `filter` is "Description|pattern|...";
  // nothing when cancelled.
  virtual std::optional<std::string> SaveFileDialog(const std::string& folder,
                                                    const std::string& name,
                                                    const std::string& filter,
                                                    const std::string& title) = 0;
  // An open-file chooser for an existing file, starting in `folder` (may be empty); `filter` is
  // "Description|pattern|..." and `defaultExt` is added to a name typed without one; nothing when
  // cancelled.
  virtual std::optional<std::string> OpenFileDialog(const std::string& folder,
                                                    const std::string& filter,
                                                    const std::string& defaultExt) = 0;
};

IPrompts& Prompts();
// The caller keeps ownership; nullptr puts the Qt implementation back.
void SetPrompts(IPrompts* prompts);

// Answers from a script, in order, and records every text shown. With no answer left a question
// is answered OK, a login and a chooser are cancelled. With a log file, every text shown is also
// appended to it (how a program started without a person, such as a second copy in a test, says
// what it would have shown).
class TScriptedPrompts : public IPrompts {
 public:
  explicit TScriptedPrompts(std::string logFile = {}) : logFile_(std::move(logFile)) {}

  std::vector<std::string> Shown;                // every message, error and question, in order
  std::deque<bool> Answers;                      // questions
  std::deque<std::optional<std::string>> Paths;  // folder and file choosers
  std::deque<std::optional<std::pair<std::string, std::string>>> Logins;
  std::vector<std::string> ChooserStarts;  // where each chooser started

  void Message(const std::string& text) override { Record(text); }
  void Error(const std::string& text) override { Record(text); }
  bool Question(const std::string& text) override;
  bool Login(const std::string& database, std::string& user, std::string& password) override;
  std::optional<std::string> FolderDialog(const std::string& start) override;
  std::optional<std::string> SaveFileDialog(const std::string& folder, const std::string& name,
                                            const std::string& filter,
                                            const std::string& title) override;
  std::optional<std::string> OpenFileDialog(const std::string& folder, const std::string& filter,
                                            const std::string& defaultExt) override;

 private:
  void Record(const std::string& text);
  std::optional<std::string> NextPath();
  std::string logFile_;
};

// The folder chooser with the checks callers rely on: the start folder trimmed and dropped when
// it is no folder; on confirmation the folder ends in '/' and the result says whether it exists.
bool ChooseFolder(std::string& folder);

// The clipboard's text; empty text leaves the clipboard as it was.
void TextToClipboard(const std::string& text);
// Each line followed by CR LF; returns the number of lines.
int LinesToClipboard(const std::vector<std::string>& lines);

}  // namespace morvale
