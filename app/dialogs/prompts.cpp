#include "app/dialogs/prompts.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

#include "app/dialogs/qtext.h"

namespace morvale {

std::string LinesText(const TStringList& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

TDialogPrompts TDialogPrompts::Qt(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  TDialogPrompts p;
  p.Message = [owner](const std::string& text) {
    QMessageBox::information(owner, QObject::tr("Morvale"), ToQ(text));
  };
  p.InputQuery = [owner](const std::string& caption, const std::string& prompt,
                         std::string& value) {
    bool ok = false;
    QString answer =
        QInputDialog::getText(owner, ToQ(caption), ToQ(prompt), QLineEdit::Normal, ToQ(value), &ok);
    if (ok) value = FromQ(answer);
    return ok;
  };
  return p;
}

}  // namespace morvale
