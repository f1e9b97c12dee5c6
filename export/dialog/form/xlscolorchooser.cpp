#include "export/dialog/form/xlscolorchooser.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/prompts.h"

namespace morvale::form {

namespace {

constexpr int kCell = 22;  // each colour's cell, the square 3 pixels inside it
constexpr int kSquare = 16;
constexpr int kPerRow = 8;
constexpr int kAreaWidth = 177;
constexpr int kAreaHeight = 110;

QRect CellOf(int i) {
  return QRect(kCell * (i % kPerRow), kCell * (i / kPerRow), kCell, kCell);
}

// The current cell looks pressed in: dark on its left and top, light on its right and bottom.
void DrawSunken(QPainter& p, const QRect& r, const QPalette& pal) {
  p.setPen(pal.color(QPalette::Dark));
  p.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
  p.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
  p.setPen(pal.color(QPalette::Light));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

TxlsColorGrid::TxlsColorGrid(QWidget* parent) : QWidget(parent) {
  setFixedSize(kAreaWidth, kAreaHeight);
  setMouseTracking(true);
}

void TxlsColorGrid::SetColor(TxlsColor c) {
  color_ = c;
  update();
}

TxlsColor TxlsColorGrid::ColorAt(int x, int y) {
  int i = std::max(0, x) / kCell + kPerRow * (std::max(0, y) / kCell);
  return static_cast<TxlsColor>(std::min(i, kxlsColorCount - 1));
}

void TxlsColorGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Button));
  for (int i = 0; i < kxlsColorCount; ++i) {
    QRect cell = CellOf(i);
    QRect square(cell.x() + 3, cell.y() + 3, kSquare, kSquare);
    p.fillRect(square, ToQColor(xlsColorToScreen(static_cast<TxlsColor>(i))));
    p.setPen(Qt::black);
    p.drawRect(square.adjusted(0, 0, -1, -1));
  }
  DrawSunken(p, CellOf(color_).adjusted(0, 0, -1, -1), palette());
}

void TxlsColorGrid::mousePressEvent(QMouseEvent* event) {
  QPoint at = event->position().toPoint();
  SetColor(ColorAt(at.x(), at.y()));
}

void TxlsColorGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  emit DoubleClicked();
}

void TxlsColorGrid::mouseMoveEvent(QMouseEvent* event) {
  QPoint at = event->position().toPoint();
  int i = ColorAt(at.x(), at.y());
  if (i == hinted_) return;
  hinted_ = i;
  QString name = QString::fromLatin1(xlsColorName(static_cast<TxlsColor>(i)));
  setToolTip(name);
  if (QToolTip::isVisible()) QToolTip::showText(event->globalPosition().toPoint(), name, this);
}

TxlsColorChooser::TxlsColorChooser(TxlsColor current, QWidget* parent)
    : QDialog(parent), grid_(new TxlsColorGrid(this)) {
  setObjectName(QStringLiteral("xlsColorChooser"));
  setWindowTitle(tr("Выбор цвета"));
  grid_->setObjectName(QStringLiteral("pbColors"));
  grid_->SetColor(current);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 4, 4);
  layout->setSpacing(2);
  layout->addWidget(grid_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(grid_, &TxlsColorGrid::DoubleClicked, this, &QDialog::accept);
  if (!parent) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      adjustSize();
      move(screen->availableGeometry().center() - rect().center());
    }
  }
}

TxlsColor TxlsColorChooser::Color() const {
  return grid_->Color();
}

TxlsColor ChooseColor(QWidget* parent, TxlsColor current) {
  QColor c = ToQColor(xlsColorToScreen(current));
  if (!Prompts().ChoosePaletteColor(parent, c)) return current;
  return ScreenToxlsColor(FromQColor(c));
}

}  // namespace morvale::form
