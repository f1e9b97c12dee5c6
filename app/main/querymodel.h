// The grid's model of the open query. It never copies the whole result: it asks the dataset
// for the rows the view paints, a page at a time, and keeps only a few pages of their texts, so a
// table of millions of rows opens as fast as one of ten and memory stays bounded.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <list>
#include <vector>

#include "app/engine/cursordataset.h"

namespace morvale {

class TQueryModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kPageRows = 256;
  static constexpr int kMaxPages = 16;

  explicit TQueryModel(TCursorDataSet& dataSet, QObject* parent = nullptr);

  // Reads the dataset's shape again (after it opened or closed) and forgets every page.
  void Reload();
  // The captions changed (framed or restored).
  void CaptionsChanged();
  TCursorDataSet& DataSet() const { return dataSet_; }
  // Makes `row` the dataset's current record, as the viewers and the navigator expect.
  void MakeCurrent(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct TPage {
    int first = 0;
    std::vector<QString> cells;  // rows * columns texts
    std::vector<bool> nulls;
  };
  const TPage* PageOf(int row) const;
  void Fill(TPage& page, int first) const;

  TCursorDataSet& dataSet_;
  int rows_ = 0;
  int columns_ = 0;
  mutable std::list<TPage> pages_;  // most recently used first
  mutable int readEnd_ = 0;         // one past the last row read from the dataset
};

}  // namespace morvale
