// The one seam through which the windows ask the user anything: message boxes, questions, input
// boxes, the login box and the folder, file and colour choosers. The export dialog and the desktop
// program both ask through it; the program installs nothing and gets the Qt boxes, tests install
// a scripted double (tests/support/scriptedprompts.h) and answer in advance, so nothing waits for
// a person.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace morvale {

// A chooser's filter in the classic "Description|*.a;*.b|Description|*.c" form.
struct TFileFilter {
  QString filter;
  QString defaultExt;  // without the dot; appended when the chosen name has no extension
};

class IPrompts {
 public:
  // The buttons of a question: the export dialog asks Yes/No, the main window OK/Cancel.
  enum class TButtons { YesNo, OkCancel };

  virtual ~IPrompts() = default;
  virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void Error(QWidget* parent, const QString& title, const QString& text) = 0;
  // True for Yes or OK; `defaultYes` says which button Enter presses.
  virtual bool Question(QWidget* parent, const QString& title, const QString& text,
                        TButtons buttons, bool defaultYes) = 0;
  // An input box; false when cancelled (the value is unchanged then).
  virtual bool InputText(QWidget* parent, const QString& title, const QString& prompt,
                         QString& value) = 0;
  // The login box of a database; false when cancelled.
  virtual bool Login(QWidget* parent, const QString& database, QString& user,
                     QString& password) = 0;
  // A folder chooser that starts at `folder` (may be empty), lets the user make a new folder and
  // puts the choice there; false when cancelled.
  virtual bool ChooseFolder(QWidget* parent, QString& folder) = 0;
  // The save and open choosers start on `fileName` and put the choice there; false when
  // cancelled. The save chooser asks before it overwrites.
  virtual bool SaveFileName(QWidget* parent, const TFileFilter& filter, const QString& title,
                            QString& fileName) = 0;
  virtual bool OpenFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) = 0;
  virtual bool ChooseColor(QWidget* parent, QColor& color) = 0;
  // The spreadsheet palette's chooser: a colour of the workbook palette, as its screen colour.
  virtual bool ChoosePaletteColor(QWidget* parent, QColor& color) = 0;
};

// The installed prompts (the Qt ones unless a test installed others).
IPrompts& Prompts();
// Installs prompts; nullptr restores the Qt ones. The caller keeps ownership.
void SetPrompts(IPrompts* prompts);

// Installs prompts for the life of a scope and restores the previous ones.
class TPromptsGuard {
 public:
  explicit TPromptsGuard(IPrompts& p);
  ~TPromptsGuard();
  TPromptsGuard(const TPromptsGuard&) = delete;
  TPromptsGuard& operator=(const TPromptsGuard&) = delete;

 private:
  IPrompts* previous_;
};

// Runs `action`; an error it raises is shown in an error box with its message, as the
// application's default error handler does, and false returned.
bool RunShowingErrors(QWidget* parent, const std::function<void()>& action);

// The classic filter as Qt name filters: "HTML files (*.html, *.htm)|*.html;*.htm" gives
// "HTML files (*.html *.htm)", the patterns in the parentheses being the ones after the bar.
QStringList QtNameFilters(const QString& filter);
// `fileName` with ".ext" appended when it has no extension and `ext` is not empty.
QString WithDefaultExt(const QString& fileName, const QString& ext);

}  // namespace morvale
