// Two-way bindings between the form's controls and the values of the dialog model's working
// copy: every edit of a control updates its value at once, and Refresh shows every value again
// (after the model changed many at a time: a type change, an options file loaded).
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "export/core/classes.h"
#include "export/core/graphics.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QWidget;

namespace morvale::form {

QString Q(const std::string& s);
std::string S(const QString& s);
// The platform's 0x00BBGGRR colours; system colours show as their usual look.
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

// A colour button shows its colour as a framed swatch.
void ShowColor(QToolButton* button, TColor color);

// Number fields take digits only (and backspace), as people expect of a record count.
void DigitsOnly(QLineEdit* edit);

class TBinder {
 public:
  // Runs after every edit a control made, so that what depends on it follows (title, buttons).
  explicit TBinder(std::function<void()> edited) : edited_(std::move(edited)) {}

  void Text(QLineEdit* edit, std::string* value);
  // Through accessors; while the field has the focus its text is left as typed, since a setter
  // may put a default in place of an empty text.
  void Text(QLineEdit* edit, std::function<std::string()> get,
            std::function<void(const std::string&)> set);
  // Digits only; a text that is no number (an empty field) keeps the previous value.
  void Int(QLineEdit* edit, int* value);
  // Through setters, for values kept behind accessors (the PDF page's measures).
  void Int(QLineEdit* edit, std::function<int()> get, std::function<void(int)> set);
  // A spin box, which keeps the number within its range.
  void Int(QSpinBox* box, int* value);
  // A number with '.' as the decimal point, read by `parse`.
  void Real(QLineEdit* edit, double* value, std::function<double(std::string_view)> parse);
  // One character, or "#" and its code for characters below 33 ("#9" is a tab).
  void Char(QLineEdit* edit, char* value);
  void Bool(QAbstractButton* box, bool* value);
  void Lines(QPlainTextEdit* edit, TStringList* lines);
  // Option buttons standing for the values 0, 1, 2, ... of an enumeration.
  template <class E>
  void Choice(std::vector<QRadioButton*> buttons, E* value) {
    Choice(
        std::move(buttons), [value] { return static_cast<int>(*value); },
        [value](int v) { *value = static_cast<E>(v); });
  }
  void Choice(std::vector<QRadioButton*> buttons, std::function<int()> get,
              std::function<void(int)> set);
  // A drop-down whose item index is the value.
  void Index(QComboBox* box, std::function<int()> get, std::function<void(int)> set);
  // A button that shows a colour and asks for another through the prompts.
  void Color(QToolButton* button, TColor* value, std::function<void()> picked = {});
  // Any other control: how to show its value.
  void Show(std::function<void()> refresh) { refreshers_.push_back(std::move(refresh)); }

  void Refresh();
  bool Refreshing() const { return refreshing_ > 0; }

 private:
  void Edited() {
    if (edited_) edited_();
  }
  std::function<void()> edited_;
  std::vector<std::function<void()>> refreshers_;
  int refreshing_ = 0;
};

}  // namespace morvale::form
