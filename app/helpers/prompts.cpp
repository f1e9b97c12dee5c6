#include "app/helpers/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <filesystem>
#include <fstream>

#include "app/helpers/files.h"
#include "app/helpers/helpers.h"
#include "export/core/platform.h"

namespace morvale {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// "Description|pattern|..." as Qt's "Description (pattern)" entries.
QStringList QtFilters(const std::string& filter) {
  QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2)
    filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
  return filters;
}

QWidget* Parent() {
  return QApplication::activeWindow();
}

class TQtPrompts : public IPrompts {
 public:
  void Message(const std::string& text) override {
    QMessageBox::information(Parent(), QApplication::applicationDisplayName(), Q(text));
  }
  void Error(const std::string& text) override {
    QMessageBox::critical(Parent(), QApplication::applicationDisplayName(), Q(text));
  }
  bool Question(const std::string& text) override {
    return QMessageBox::question(Parent(), QApplication::applicationDisplayName(), Q(text),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
  }
  bool Login(const std::string& database, std::string& user, std::string& password) override {
    QDialog box(Parent());
    box.setWindowTitle(QApplication::translate("Login", "Вход в базу данных"));
    auto* form = new QFormLayout(&box);
    auto* userEdit = new QLineEdit(Q(user), &box);
    auto* passwordEdit = new QLineEdit(&box);
    passwordEdit->setEchoMode(QLineEdit::Password);
    form->addRow(QApplication::translate("Login", "База данных:"),
                 new QLineEdit(Q(database), &box));
    form->itemAt(0, QFormLayout::FieldRole)->widget()->setEnabled(false);
    form->addRow(QApplication::translate("Login", "Пользователь:"), userEdit);
    form->addRow(QApplication::translate("Login", "Пароль:"), passwordEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    (user.empty() ? userEdit : passwordEdit)->setFocus();
    if (box.exec() != QDialog::Accepted) return false;
    user = userEdit->text().toStdString();
    password = passwordEdit->text().toStdString();
    return true;
  }
  std::optional<std::string> FolderDialog(const std::string& start) override {
    QString dir = QFileDialog::getExistingDirectory(
        Parent(), QApplication::translate("Choosers", "Выбор папки"), Q(start));
    if (dir.isEmpty()) return std::nullopt;
    return dir.toStdString();
  }
  std::optional<std::string> SaveFileDialog(const std::string& folder, const std::string& name,
                                            const std::string& filter,
                                            const std::string& title) override {
    QString start = Q(folder.empty() ? name : WithSlash(folder) + name);
    QString file = QFileDialog::getSaveFileName(Parent(), Q(title), start,
                                                QtFilters(filter).join(QStringLiteral(";;")));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
  }
  std::optional<std::string> OpenFileDialog(const std::string& folder, const std::string& filter,
                                            const std::string& defaultExt) override {
    QFileDialog dialog(Parent(), QString(), Q(folder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDefaultSuffix(Q(defaultExt));
    dialog.setNameFilters(QtFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
  }
};

TQtPrompts& QtPrompts() {
  static TQtPrompts prompts;
  return prompts;
}

IPrompts* current = nullptr;

}  // namespace

IPrompts& Prompts() {
  return current ? *current : QtPrompts();
}
void SetPrompts(IPrompts* prompts) {
  current = prompts;
}

void TScriptedPrompts::Record(const std::string& text) {
  Shown.push_back(text);
  if (logFile_.empty()) return;
  std::ofstream log(logFile_, std::ios::app);
  log << text << '\n';
}

bool TScriptedPrompts::Question(const std::string& text) {
  Record(text);
  if (Answers.empty()) return true;
  bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

bool TScriptedPrompts::Login(const std::string& database, std::string& user,
                             std::string& password) {
  Record("login " + database);
  if (Logins.empty() || !Logins.front()) {
    if (!Logins.empty()) Logins.pop_front();
    return false;
  }
  user = Logins.front()->first;
  password = Logins.front()->second;
  Logins.pop_front();
  return true;
}

std::optional<std::string> TScriptedPrompts::NextPath() {
  if (Paths.empty()) return std::nullopt;
  std::optional<std::string> path = Paths.front();
  Paths.pop_front();
  return path;
}

std::optional<std::string> TScriptedPrompts::FolderDialog(const std::string& start) {
  ChooserStarts.push_back(start);
  return NextPath();
}

std::optional<std::string> TScriptedPrompts::SaveFileDialog(const std::string& folder,
                                                            const std::string& name,
                                                            const std::string&,
                                                            const std::string&) {
  ChooserStarts.push_back(folder.empty() ? name : WithSlash(folder) + name);
  return NextPath();
}

std::optional<std::string> TScriptedPrompts::OpenFileDialog(const std::string& folder,
                                                            const std::string&,
                                                            const std::string&) {
  ChooserStarts.push_back(folder);
  return NextPath();
}

bool ChooseFolder(std::string& folder) {
  std::error_code ec;
  std::string start = TrimSpaces(folder);
  if (!std::filesystem::is_directory(start, ec)) start.clear();
  std::optional<std::string> chosen = Prompts().FolderDialog(start);
  if (!chosen) return false;
  std::string result = WithSlash(TrimSpaces(*chosen));
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
