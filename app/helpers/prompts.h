// The desktop program's way of asking through the one prompt seam
// (export/dialog/form/prompts.h): boxes titled with the program's name over the active window,
// texts and paths as std::string, filters in the classic "Description|pattern|..." form.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace morvale {

// A simple message box with OK.
void ShowMessage(const std::string& text);
// An action's failure, as the application's default error handler shows it.
void ShowError(const std::string& text);
// OK and Cancel; true for OK.
bool AskOkCancel(const std::string& text);
// The login box of a database; false when cancelled.
bool AskLogin(const std::string& database, std::string& user, std::string& password);
// A save-file chooser starting on `name` in `folder` (either may be empty); nothing when
// cancelled.
std::optional<std::string> ChooseSaveFile(const std::string& folder, const std::string& name,
                                          const std::string& filter, const std::string& title);
// An open-file chooser for an existing file, starting in `folder` (may be empty); `defaultExt` is
// added to a name typed without one; nothing when cancelled.
std::optional<std::string> ChooseOpenFile(const std::string& folder, const std::string& filter,
                                          const std::string& defaultExt);

// The folder chooser with the checks callers rely on: the start folder trimmed and dropped when
// it is no folder; on confirmation the folder ends in '/' and the result says whether it exists.
bool ChooseFolder(std::string& folder);

// The clipboard's text; empty text leaves the clipboard as it was.
void TextToClipboard(const std::string& text);
// Each line followed by CR LF; returns the number of lines.
int LinesToClipboard(const std::vector<std::string>& lines);

}  // namespace morvale
