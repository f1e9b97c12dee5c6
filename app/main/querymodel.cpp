#include "app/main/querymodel.h"

#include <QBrush>
#include <QPalette>
#include <algorithm>

namespace morvale {

TQueryModel::TQueryModel(TCursorDataSet& dataSet, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet) {}

void TQueryModel::Reload() {
  beginResetModel();
  pages_.clear();
  readEnd_ = 0;
  rows_ = columns_ = 0;
  if (dataSet_.Active()) {
    columns_ = dataSet_.FieldCount();
    rows_ = dataSet_.IsEmpty() ? 0 : dataSet_.RecordCount();
  }
  endResetModel();
}

void TQueryModel::CaptionsChanged() {
  if (columns_ > 0) emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

void TQueryModel::MakeCurrent(int row) {
  if (!dataSet_.Active() || row < 0 || row >= rows_) return;
  dataSet_.GotoBookmark(row);
  readEnd_ = row + 1;
}

int TQueryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TQueryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

void TQueryModel::Fill(TPage& page, int first) const {
  page.first = first;
  int count = std::min(kPageRows, rows_ - first);
  page.cells.assign(static_cast<size_t>(count * columns_), QString());
  page.nulls.assign(page.cells.size(), false);
  dataSet_.GotoBookmark(first);
  std::string text;
  for (int r = 0; r < count && !dataSet_.Eof(); ++r) {
    if (r > 0) dataSet_.Next();
    if (dataSet_.Eof()) break;
    for (int c = 0; c < columns_; ++c) {
      TField& f = dataSet_.Fields(c);
      size_t i = static_cast<size_t>(r * columns_ + c);
      if (f.IsNull()) {
        page.nulls[i] = true;
        continue;
      }
      if (f.IsBlob() && f.DataType != ftMemo && f.DataType != ftFmtMemo) {
        page.cells[i] = QStringLiteral("(BLOB)");
        continue;
      }
      f.GetText(text);
      // A memo shows its first line, as one grid cell can.
      size_t eol = text.find_first_of("\r\n");
      page.cells[i] =
          QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min(eol, text.size())));
    }
  }
  readEnd_ = first + count;
}

const TQueryModel::TPage* TQueryModel::PageOf(int row) const {
  int first = row / kPageRows * kPageRows;
  for (auto it = pages_.begin(); it != pages_.end(); ++it)
    if (it->first == first) {
      pages_.splice(pages_.begin(), pages_, it);
      return &pages_.front();
    }
  // Going back means the dataset runs its statement again from the start: read the pages just
  // above as well, so scrolling up pays for that once per several pages, not once per page.
  std::vector<int> starts{first};
  if (first < readEnd_)
    for (int p = first - kPageRows; p >= 0 && starts.size() < 4; p -= kPageRows) {
      bool held = std::any_of(pages_.begin(), pages_.end(),
                              [p](const TPage& page) { return page.first == p; });
      if (held) break;
      starts.insert(starts.begin(), p);
    }
  try {
    for (int start : starts) {
      if (pages_.size() >= static_cast<size_t>(kMaxPages)) pages_.pop_back();
      pages_.emplace_front();
      Fill(pages_.front(), start);
    }
  } catch (const Exception&) {
    // The data changed under the query (rows gone): show what was read, blank the rest.
  }
  for (auto it = pages_.begin(); it != pages_.end(); ++it)
    if (it->first == first) {
      pages_.splice(pages_.begin(), pages_, it);
      return &pages_.front();
    }
  return nullptr;
}

QVariant TQueryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= columns_) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::TextAlignmentRole)
    return {};
  if (role == Qt::TextAlignmentRole) {
    switch (dataSet_.Fields(index.column()).DataType) {
      case ftSmallint:
      case ftInteger:
      case ftWord:
      case ftFloat:
      case ftCurrency:
      case ftBCD:
      case ftAutoInc:
      case ftLargeint:
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      default:
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
  }
  const TPage* page = PageOf(index.row());
  if (!page) return {};
  size_t i = static_cast<size_t>((index.row() - page->first) * columns_ + index.column());
  if (i >= page->cells.size()) return {};
  if (role == Qt::ToolTipRole) return page->nulls[i] ? QVariant() : QVariant(page->cells[i]);
  return page->cells[i];
}

QVariant TQueryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columns_ || !dataSet_.Active()) return {};
  return QString::fromStdString(dataSet_.Fields(section).GetDisplayLabel());
}

}  // namespace morvale
