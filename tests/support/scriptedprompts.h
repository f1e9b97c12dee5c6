// The prompts the window tests install: answers from a script and a record of everything asked,
// so that no box or chooser waits for a person. An unscripted chooser, input or login box is
// cancelled and an unscripted question gets UnscriptedAnswer (No unless the test says otherwise),
// so a test that forgot an answer fails on what it checks rather than hanging.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "export/dialog/form/prompts.h"

namespace morvale::test {

class TScriptedPrompts : public IPrompts {
 public:
  struct TAsked {
    enum Kind { Information, Error, Question, Input, Login, Folder, Save, Open, Color } kind;
    QString title, text;  // for choosers: the filter and where the chooser started
    QString value;        // an input box's starting value
  };

  // Answers go into one queue in the order the boxes ask.
  void SetNextAnswer(bool yes) { answers_.push_back(yes ? QStringLiteral("yes") : QString()); }
  // The next input box, chooser or colour chooser gets this text (a colour as "#rrggbb"); a login
  // box takes "user\npassword".
  void SetNextText(const QString& text) { answers_.push_back(text); }
  void SetNextPath(const std::string& path) { SetNextText(QString::fromStdString(path)); }
  void SetNextCancel() { answers_.push_back(QString()); }

  // The main window's tests answer OK to what they do not script, as a person going along.
  bool UnscriptedAnswer = false;

  const std::vector<TAsked>& Asked() const { return asked_; }
  void ClearAsked() {
    asked_.clear();
    shown_.clear();
    chooserStarts_.clear();
  }
  int Pending() const { return static_cast<int>(answers_.size()); }
  // The texts of the messages, errors and questions ("login NAME" for a login box), in order.
  const std::vector<std::string>& Shown() const { return shown_; }
  // Where each folder and file chooser started.
  const std::vector<std::string>& ChooserStarts() const { return chooserStarts_; }

  void Information(QWidget* parent, const QString& title, const QString& text) override;
  void Error(QWidget* parent, const QString& title, const QString& text) override;
  bool Question(QWidget* parent, const QString& title, const QString& text, TButtons buttons,
                bool defaultYes) override;
  bool InputText(QWidget* parent, const QString& title, const QString& prompt,
                 QString& value) override;
  bool Login(QWidget* parent, const QString& database, QString& user, QString& password) override;
  bool ChooseFolder(QWidget* parent, QString& folder) override;
  bool SaveFileName(QWidget* parent, const TFileFilter& filter, const QString& title,
                    QString& fileName) override;
  bool OpenFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) override;
  bool ChooseColor(QWidget* parent, QColor& color) override;
  // Asked as a Color with the title "palette"; the answer is "#rrggbb".
  bool ChoosePaletteColor(QWidget* parent, QColor& color) override;

 private:
  // The next scripted answer, or the empty text (No, cancel) when none is left.
  QString Next();
  void Ask(TAsked::Kind kind, const QString& title, const QString& text,
           const QString& value = QString());
  bool Choose(TAsked::Kind kind, const TFileFilter& filter, QString& fileName);

  std::deque<QString> answers_;
  std::vector<TAsked> asked_;
  std::vector<std::string> shown_, chooserStarts_;
};

}  // namespace morvale::test
