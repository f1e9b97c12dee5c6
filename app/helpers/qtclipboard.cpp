#include "app/helpers/qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace morvale {

void TQtClipboard::SetText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string TQtClipboard::GetText() {
  return QGuiApplication::clipboard()->text().toStdString();
}

}  // namespace morvale
