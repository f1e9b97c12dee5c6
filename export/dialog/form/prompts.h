// Every message box, question, input box and file or colour chooser of the windows goes through
// IPrompts, so that tests answer them without a person: TScriptedPrompts takes its answers from a
// queue (the next question gets the next answer) and records what was asked.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace morvale::form {

// A chooser's filter in the classic "Description|*.a;*.b|Description|*.c" form.
struct TFileFilter {
  QString filter;
  QString defaultExt;  // without the dot; appended when the chosen name has no extension
};

class IPrompts {
 public:
  virtual ~IPrompts() = default;
  virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void Error(QWidget* parent, const QString& title, const QString& text) = 0;
  // Yes and No; true for Yes.
  virtual bool Question(QWidget* parent, const QString& title, const QString& text,
                        bool defaultYes) = 0;
  // An input box; false when cancelled (the value is unchanged then).
  virtual bool InputText(QWidget* parent, const QString& title, const QString& prompt,
                         QString& value) = 0;
  // The save and open choosers start on `fileName` and put the choice there; false when cancelled.
  virtual bool SaveFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) = 0;
  virtual bool OpenFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) = 0;
  virtual bool ChooseColor(QWidget* parent, QColor& color) = 0;
  // The spreadsheet palette's chooser: a colour of the workbook palette, as its screen colour.
  virtual bool ChoosePaletteColor(QWidget* parent, QColor& color) = 0;
};

// The installed prompts (the Qt ones unless a test installed others).
IPrompts& Prompts();
// Installs prompts; nullptr restores the Qt ones. The caller keeps ownership.
void SetPrompts(IPrompts* prompts);

// Runs `action`; an error it raises is shown in an error box with its message, as the
// application's default error handler does, and false returned.
bool RunShowingErrors(QWidget* parent, const std::function<void()>& action);

// The classic filter as Qt name filters: "HTML files (*.html, *.htm)|*.html;*.htm" gives
// "HTML files (*.html *.htm)", the patterns in the parentheses being the ones after the bar.
QStringList QtNameFilters(const QString& filter);
// `fileName` with ".ext" appended when it has no extension and `ext` is not empty.
QString WithDefaultExt(const QString& fileName, const QString& ext);

class TQtPrompts : public IPrompts {
 public:
  void Information(QWidget* parent, const QString& title, const QString& text) override;
  void Error(QWidget* parent, const QString& title, const QString& text) override;
  bool Question(QWidget* parent, const QString& title, const QString& text,
                bool defaultYes) override;
  bool InputText(QWidget* parent, const QString& title, const QString& prompt,
                 QString& value) override;
  bool SaveFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) override;
  bool OpenFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) override;
  bool ChooseColor(QWidget* parent, QColor& color) override;
  bool ChoosePaletteColor(QWidget* parent, QColor& color) override;
};

// Answers from a script. An unscripted question is answered No, an unscripted chooser or input
// box is cancelled, so a test that forgot an answer fails on what it checks rather than hanging.
class TScriptedPrompts : public IPrompts {
 public:
  struct TAsked {
    enum Kind { Information, Error, Question, Input, Save, Open, Color } kind;
    QString title, text;  // for choosers: the filter and the starting name
  };

  void SetNextAnswer(bool yes) { answers_.push_back(yes ? QStringLiteral("yes") : QString()); }
  // The next input box, chooser or colour chooser gets this text (a colour as "#rrggbb").
  void SetNextText(const QString& text) { answers_.push_back(text); }
  void SetNextCancel() { answers_.push_back(QString()); }

  const std::vector<TAsked>& Asked() const { return asked_; }
  void ClearAsked() { asked_.clear(); }
  int Pending() const { return static_cast<int>(answers_.size()); }

  void Information(QWidget* parent, const QString& title, const QString& text) override;
  void Error(QWidget* parent, const QString& title, const QString& text) override;
  bool Question(QWidget* parent, const QString& title, const QString& text,
                bool defaultYes) override;
  bool InputText(QWidget* parent, const QString& title, const QString& prompt,
                 QString& value) override;
  bool SaveFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) override;
  bool OpenFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) override;
  bool ChooseColor(QWidget* parent, QColor& color) override;
  // Asked as a Color with the title "palette"; the answer is "#rrggbb".
  bool ChoosePaletteColor(QWidget* parent, QColor& color) override;

 private:
  // The next scripted answer, or the empty text (No, cancel) when none is left.
  QString Next();
  bool Choose(TAsked::Kind kind, const TFileFilter& filter, QString& fileName);

  std::deque<QString> answers_;
  std::vector<TAsked> asked_;
};

// Installs scripted prompts for the life of a scope and restores the previous ones.
class TPromptsGuard {
 public:
  explicit TPromptsGuard(IPrompts& p) : previous_(&Prompts()) { SetPrompts(&p); }
  ~TPromptsGuard() { SetPrompts(previous_); }
  TPromptsGuard(const TPromptsGuard&) = delete;
  TPromptsGuard& operator=(const TPromptsGuard&) = delete;

 private:
  IPrompts* previous_;
};

}  // namespace morvale::form
