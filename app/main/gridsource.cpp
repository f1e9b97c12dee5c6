#include "app/main/gridsource.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <algorithm>

namespace morvale {

TDataSet* TGridSource::DataSet() const {
  return &model_.DataSet();
}

int TGridSource::Logical(int col) const {
  return view_.horizontalHeader()->logicalIndex(col);
}

int TGridSource::ColumnCount() const {
  int hidden = 0;
  for (int i = 0; i < model_.columnCount(); ++i)
    if (view_.isColumnHidden(i)) ++hidden;
  return model_.columnCount() - hidden;
}

TField* TGridSource::ColumnField(int col) const {
  // Visual order, hidden columns left out.
  int seen = -1;
  for (int v = 0; v < model_.columnCount(); ++v) {
    int logical = Logical(v);
    if (logical < 0 || view_.isColumnHidden(logical)) continue;
    if (++seen == col) return &model_.DataSet().Fields(logical);
  }
  return nullptr;
}

int TGridSource::ColumnWidth(int col) const {
  TField* f = ColumnField(col);
  return f ? view_.columnWidth(f->Index) : 0;
}

std::string TGridSource::ColumnTitle(int col) const {
  TField* f = ColumnField(col);
  return f ? f->GetDisplayLabel() : std::string();
}

int TGridSource::TextWidth(const std::string& text) const {
  return QFontMetrics(view_.font()).horizontalAdvance(QString::fromStdString(text));
}

TField* TGridSource::SelectedField() const {
  QModelIndex current = view_.currentIndex();
  if (!current.isValid() || !model_.DataSet().Active()) return nullptr;
  return &model_.DataSet().Fields(current.column());
}

int TGridSource::CharsToPixels(int chars) const {
  // Measured on a digit: the font's average character is narrower than the digits of the dates
  // and numbers most columns hold, and a column of DisplayWidth characters must show them whole.
  QFontMetrics fm(view_.font());
  return chars * fm.horizontalAdvance(QLatin1Char('0')) + 10;
}

void TGridSource::FitColumnsToDisplayWidths() {
  TDataSet& ds = model_.DataSet();
  if (!ds.Active()) return;
  QFontMetrics title(view_.horizontalHeader()->font());
  for (int i = 0; i < ds.FieldCount(); ++i) {
    TField& f = ds.Fields(i);
    int caption = title.horizontalAdvance(QString::fromStdString(f.GetDisplayLabel())) + 14;
    view_.setColumnWidth(i, std::max(CharsToPixels(std::max(f.DisplayWidth, 1)), caption));
  }
}

}  // namespace morvale
