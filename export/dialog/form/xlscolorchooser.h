// The palette colour chooser of the spreadsheet page: cell styles can only use the 40 colours of
// the default workbook palette, so a screen colour dialog would offer colours a workbook cannot
// show. A small modal dialog draws the palette as squares, 8 a row, and returns the one picked.
#pragma once

#include <QDialog>

#include "export/workbook/palette.h"

class QLabel;

namespace morvale::form {

// The paint area of the chooser: 40 squares, the current one framed sunken, the hint naming the
// colour under the pointer. A press selects, a double click accepts.
class TxlsColorGrid : public QWidget {
  Q_OBJECT

 public:
  explicit TxlsColorGrid(QWidget* parent = nullptr);
  TxlsColor Color() const { return color_; }
  void SetColor(TxlsColor c);
  // The colour of the cell under (x, y): (x div 22) + 8 (y div 22), at most the last colour.
  static TxlsColor ColorAt(int x, int y);

 signals:
  void DoubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  TxlsColor color_ = clrBlack;
  int hinted_ = -1;
};

// "Choose a color": the grid above "OK" and "Cancel".
class TxlsColorChooser : public QDialog {
  Q_OBJECT

 public:
  explicit TxlsColorChooser(TxlsColor current, QWidget* parent = nullptr);
  TxlsColor Color() const;
  TxlsColorGrid* Grid() const { return grid_; }

 private:
  TxlsColorGrid* grid_;
};

// Asks for a palette colour through the prompts seam (so tests answer it); the colour it was given
// when the user cancels.
TxlsColor ChooseColor(QWidget* parent, TxlsColor current);

}  // namespace morvale::form
