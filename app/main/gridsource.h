// The main grid as the export engine's data-aware grid source, which the exporters read through
// the grid's source adapter: the columns in the order the user arranged them, their captions and
// pixel widths, and the field of the selected cell.
#pragma once

#include <QTableView>

#include "app/main/querymodel.h"
#include "export/core/sources.h"

namespace morvale {

class TGridSource : public TDBGrid {
 public:
  TGridSource(QTableView& view, TQueryModel& model) : view_(view), model_(model) {}

  TDataSet* DataSet() const override;
  int ColumnCount() const override;
  TField* ColumnField(int col) const override;
  int ColumnWidth(int col) const override;
  std::string ColumnTitle(int col) const override;
  int TextWidth(const std::string& text) const override;

  // The field of the current cell; nullptr when no cell is current or no query is open.
  TField* SelectedField() const;
  // Sizes every column for its field's display width (or its caption, when wider), as a
  // data-aware grid does after each opening.
  void FitColumnsToDisplayWidths();
  // The pixel width a column of `chars` characters takes in the grid's font.
  int CharsToPixels(int chars) const;

 private:
  int Logical(int col) const;
  QTableView& view_;
  TQueryModel& model_;
};

}  // namespace morvale
