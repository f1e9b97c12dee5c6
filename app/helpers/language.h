// The language of the desktop program's interface. Russian is the program's own language (every
// text is written in it) and its default; English comes from translation files built with the
// program. The settings file can force either; otherwise the user's system languages choose.
#pragma once

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class QTranslator;

namespace morvale {

enum TLanguageChoice { lcSystem, lcRussian, lcEnglish };

// "ru" or "en": the choice itself, or for lcSystem the first of the system's interface languages
// (QLocale::system().uiLanguages(), which reads LANGUAGE, LC_ALL, LC_MESSAGES and LANG) that the
// program speaks. A user whose languages are all others reads English; one who named no language
// at all (the C locale) reads the program's own Russian.
std::string InterfaceLanguage(TLanguageChoice choice, const QStringList& uiLanguages);

// The choice kept in the settings file (section INTERFACE, key Language: "ru", "en" or empty for
// the system's); anything else reads as lcSystem.
TLanguageChoice ReadLanguageChoice(const std::string& iniFile);
void WriteLanguageChoice(const std::string& iniFile, TLanguageChoice choice);

// The folders a program looks in for its translation files: beside the executable (the build
// tree) and the installed share folder.
QStringList TranslationFolders();

// Qt's own translations and the program's for one language, installed into the application and
// the engine's text hook while the object lives.
class TInterfaceTranslations {
 public:
  // `language` is "ru" or "en"; `folders` are searched for morvale_<language>.qm. Qt's own
  // translations come from Qt's translations folder.
  TInterfaceTranslations(const std::string& language, const QStringList& folders);
  ~TInterfaceTranslations();
  TInterfaceTranslations(const TInterfaceTranslations&) = delete;
  TInterfaceTranslations& operator=(const TInterfaceTranslations&) = delete;

  const std::string& Language() const { return language_; }
  // Whether the program's own translation file was found and loaded.
  bool ProgramLoaded() const { return programLoaded_; }

 private:
  std::string language_;
  bool programLoaded_ = false;
  std::vector<std::unique_ptr<QTranslator>> translators_;
};

}  // namespace morvale
