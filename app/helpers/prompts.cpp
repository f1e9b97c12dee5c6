#include "app/helpers/prompts.h"

#include <QApplication>
#include <filesystem>

#include "app/helpers/files.h"
#include "app/helpers/helpers.h"
#include "export/core/platform.h"
#include "export/dialog/form/prompts.h"

namespace morvale {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QWidget* Parent() {
  return QApplication::activeWindow();
}

QString Title() {
  return QApplication::applicationDisplayName();
}

std::optional<std::string> Chosen(bool ok, const QString& file) {
  if (!ok) return std::nullopt;
  return file.toStdString();
}

}  // namespace

void ShowMessage(const std::string& text) {
  Prompts().Information(Parent(), Title(), Q(text));
}

void ShowError(const std::string& text) {
  Prompts().Error(Parent(), Title(), Q(text));
}

bool AskOkCancel(const std::string& text) {
  return Prompts().Question(Parent(), Title(), Q(text), IPrompts::TButtons::OkCancel, true);
}

bool AskLogin(const std::string& database, std::string& user, std::string& password) {
  QString u = Q(user), p;
  if (!Prompts().Login(Parent(), Q(database), u, p)) return false;
  user = u.toStdString();
  password = p.toStdString();
  return true;
}

std::optional<std::string> ChooseSaveFile(const std::string& folder, const std::string& name,
                                          const std::string& filter, const std::string& title) {
  QString file = Q(folder.empty() ? name : WithSlash(folder) + name);
  bool ok = Prompts().SaveFileName(Parent(), {Q(filter), QString()}, Q(title), file);
  return Chosen(ok, file);
}

std::optional<std::string> ChooseOpenFile(const std::string& folder, const std::string& filter,
                                          const std::string& defaultExt) {
  QString file = Q(folder);
  bool ok = Prompts().OpenFileName(Parent(), {Q(filter), Q(defaultExt)}, file);
  return Chosen(ok, file);
}

bool ChooseFolder(std::string& folder) {
  std::error_code ec;
  QString start = Q(TrimSpaces(folder));
  if (!std::filesystem::is_directory(start.toStdString(), ec)) start.clear();
  if (!Prompts().ChooseFolder(Parent(), start)) return false;
  std::string result = WithSlash(TrimSpaces(start.toStdString()));
  ForceFolders(result);  // a folder name the user typed is made on confirmation
  folder = result;
  return std::filesystem::is_directory(result, ec);
}

void TextToClipboard(const std::string& text) {
  if (!text.empty()) Clipboard().SetText(text);
}

int LinesToClipboard(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  Clipboard().SetText(text);
  return static_cast<int>(lines.size());
}

}  // namespace morvale
