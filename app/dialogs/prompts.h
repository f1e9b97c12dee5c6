// The questions and messages a dialog asks on its own (an input box, a message box), as hooks: the
// program routes them through its message seam and tests answer them without a person. The
// defaults are Qt's QMessageBox and QInputDialog.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace morvale {

struct TDialogPrompts {
  // Shows a message with an OK button.
  std::function<void(const std::string& text)> Message;
  // An input box with a caption, a prompt and a starting value; false on Cancel.
  std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)>
      InputQuery;

  // Message boxes and input boxes over `parent`.
  static TDialogPrompts Qt(QWidget* parent);
};

}  // namespace morvale
