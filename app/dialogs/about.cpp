#include "app/dialogs/about.h"

#include <QApplication>
#include <QStyle>

#include "ui_about.h"

namespace morvale {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui(new Ui::TAboutBox) {
  ui->setupUi(this);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
  ui->ProgramIcon->setPixmap(icon.pixmap(48, 48));
}

TAboutBox::~TAboutBox() = default;

QLabel* TAboutBox::Version() const {
  return ui->Version;
}

}  // namespace morvale
