// The About box: the program's name, its version line and what it does.
#pragma once

#include <QDialog>
#include <memory>

class QLabel;

namespace Ui {
class TAboutBox;
}

namespace morvale {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  ~TAboutBox() override;
  QLabel* Version() const;

 private:
  std::unique_ptr<Ui::TAboutBox> ui;
};

}  // namespace morvale
