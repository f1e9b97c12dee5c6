// The desktop program: one copy per user, the main window and its dialogs made in their order.
#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <cstdlib>
#include <iostream>

#include "app/dialogs/about.h"
#include "app/dialogs/setup.h"
#include "app/engine/aliases.h"
#include "app/helpers/language.h"
#include "app/helpers/prompts.h"
#include "app/helpers/qtclipboard.h"
#include "app/main/form1.h"
#include "app/main/startup.h"
#include "app/main/unattended.h"
#include "app/main/wiring.h"

int main(int argc, char** argv) {
  using namespace morvale;
  QApplication app(argc, argv);
  // Run without a person (tests, scripts): every message goes to this file instead of a box.
  std::unique_ptr<TUnattendedPrompts> unattended;
  if (const char* log = std::getenv("MORVALE_PROMPTS_LOG"); log && *log) {
    unattended = std::make_unique<TUnattendedPrompts>(log);
    SetPrompts(unattended.get());
  }
  std::string executable = QCoreApplication::applicationFilePath().toStdString();
  std::string programFolder = ResolveProgramFolder(executable);
  // Before anything is said, even the second copy's message: the language the settings file
  // forces, or the system's.
  TInterfaceTranslations translations(
      InterfaceLanguage(ReadLanguageChoice(programFolder + "Morvale.ini"),
                        QLocale::system().uiLanguages()),
      TranslationFolders());
  TSingleInstance guard(
      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString());
  if (guard.Result() != TSingleInstance::siFirst) {
    std::cerr << guard.Message() << '\n';
    ShowMessage(guard.Message());
    return 1;
  }
  QApplication::setApplicationName(QStringLiteral("Morvale"));
  QApplication::setApplicationDisplayName(QStringLiteral("Morvale"));
  TQtClipboard clipboard;
  SetClipboard(&clipboard);
  TProgramWindows windows(programFolder);
  windows.Form1->show();
  int code = app.exec();
  SetClipboard(nullptr);
  return code;
}
