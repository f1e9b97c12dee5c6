#include "app/helpers/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/helpers/files.h"
#include "export/core/inifile.h"
#include "export/core/translate.h"

namespace morvale {
namespace {

constexpr const char* kSection = "INTERFACE";
constexpr const char* kKey = "Language";

// The engine's texts go through the application's translators, as the windows' own do.
std::string QtTranslateText(const char* context, const char* source) {
  return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace

std::string InterfaceLanguage(TLanguageChoice choice, const QStringList& uiLanguages) {
  if (choice == lcRussian) return "ru";
  if (choice == lcEnglish) return "en";
  bool named = false;
  for (const QString& name : uiLanguages) {
    QString language = name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
    if (language.compare(QLatin1String("ru"), Qt::CaseInsensitive) == 0) return "ru";
    if (language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0) return "en";
    if (!language.isEmpty() && language != QLatin1String("C") && language != QLatin1String("POSIX"))
      named = true;
  }
  return named ? "en" : "ru";
}

TLanguageChoice ReadLanguageChoice(const std::string& iniFile) {
  std::string value = TIniFile(iniFile).ReadString(kSection, kKey, "");
  if (value == "ru") return lcRussian;
  if (value == "en") return lcEnglish;
  return lcSystem;
}

void WriteLanguageChoice(const std::string& iniFile, TLanguageChoice choice) {
  // A file that never forced a language is left without the key.
  if (ReadLanguageChoice(iniFile) == choice || !DriveWritable(iniFile)) return;
  const char* value = choice == lcRussian ? "ru" : choice == lcEnglish ? "en" : "";
  TIniFile(iniFile).WriteString(kSection, kKey, value);
}

QStringList TranslationFolders() {
  QString dir = QCoreApplication::applicationDirPath();
  return {dir + QStringLiteral("/translations"),
          QDir::cleanPath(dir + QStringLiteral("/../share/morvale/translations"))};
}

TInterfaceTranslations::TInterfaceTranslations(const std::string& language,
                                               const QStringList& folders)
    : language_(language) {
  auto install = [this](const QString& file, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file, folder)) return false;
    QCoreApplication::installTranslator(translator.get());
    translators_.push_back(std::move(translator));
    return true;
  };
  QString lang = QString::fromStdString(language);
  // Qt's file choosers, message box buttons and text boxes' menus speak the program's language;
  // English is Qt's own.
  if (lang != QLatin1String("en"))
    install(QStringLiteral("qtbase_") + lang, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  for (const QString& folder : folders)
    if ((programLoaded_ = install(QStringLiteral("morvale_") + lang, folder))) break;
  SetTextTranslator(&QtTranslateText);
}

TInterfaceTranslations::~TInterfaceTranslations() {
  SetTextTranslator(nullptr);
  for (auto& translator : translators_) QCoreApplication::removeTranslator(translator.get());
}

}  // namespace morvale
