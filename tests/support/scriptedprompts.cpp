#include "tests/support/scriptedprompts.h"

namespace morvale::test {

QString TScriptedPrompts::Next() {
  if (answers_.empty()) return QString();
  QString a = answers_.front();
  answers_.pop_front();
  return a;
}

void TScriptedPrompts::Ask(TAsked::Kind kind, const QString& title, const QString& text,
                           const QString& value) {
  asked_.push_back({kind, title, text, value});
  if (kind == TAsked::Login)
    shown_.push_back("login " + text.toStdString());
  else if (kind == TAsked::Information || kind == TAsked::Error || kind == TAsked::Question)
    shown_.push_back(text.toStdString());
  else if (kind == TAsked::Folder || kind == TAsked::Save || kind == TAsked::Open)
    chooserStarts_.push_back(text.toStdString());
}

void TScriptedPrompts::Information(QWidget*, const QString& title, const QString& text) {
  Ask(TAsked::Information, title, text);
}

void TScriptedPrompts::Error(QWidget*, const QString& title, const QString& text) {
  Ask(TAsked::Error, title, text);
}

bool TScriptedPrompts::Question(QWidget*, const QString& title, const QString& text, TButtons,
                                bool) {
  Ask(TAsked::Question, title, text);
  if (answers_.empty()) return UnscriptedAnswer;
  return !Next().isEmpty();
}

bool TScriptedPrompts::InputText(QWidget*, const QString& title, const QString& prompt,
                                 QString& value) {
  Ask(TAsked::Input, title, prompt, value);
  QString a = Next();
  if (a.isEmpty()) return false;
  value = a;
  return true;
}

bool TScriptedPrompts::Login(QWidget*, const QString& database, QString& user, QString& password) {
  Ask(TAsked::Login, QString(), database);
  QStringList a = Next().split(QLatin1Char('\n'));
  if (a.size() != 2) return false;
  user = a[0];
  password = a[1];
  return true;
}

bool TScriptedPrompts::ChooseFolder(QWidget*, QString& folder) {
  Ask(TAsked::Folder, QString(), folder);
  QString a = Next();
  if (a.isEmpty()) return false;
  folder = a;
  return true;
}

bool TScriptedPrompts::Choose(TAsked::Kind kind, const TFileFilter& filter, QString& fileName) {
  Ask(kind, filter.filter, fileName);
  QString a = Next();
  if (a.isEmpty()) return false;
  fileName = WithDefaultExt(a, filter.defaultExt);
  return true;
}

bool TScriptedPrompts::SaveFileName(QWidget*, const TFileFilter& filter, const QString&,
                                    QString& fileName) {
  return Choose(TAsked::Save, filter, fileName);
}

bool TScriptedPrompts::OpenFileName(QWidget*, const TFileFilter& filter, QString& fileName) {
  return Choose(TAsked::Open, filter, fileName);
}

bool TScriptedPrompts::ChooseColor(QWidget*, QColor& color) {
  Ask(TAsked::Color, QString(), color.name());
  QString a = Next();
  if (a.isEmpty()) return false;
  color = QColor(a);
  return true;
}

bool TScriptedPrompts::ChoosePaletteColor(QWidget*, QColor& color) {
  Ask(TAsked::Color, QStringLiteral("palette"), color.name());
  QString a = Next();
  if (a.isEmpty()) return false;
  color = QColor(a);
  return true;
}

}  // namespace morvale::test
