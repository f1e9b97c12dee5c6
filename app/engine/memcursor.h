// A cursor over rows the engine has built itself (catalogue answers of drivers that have no SQL
// for them, table lists).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/engine/cursor.h"

namespace morvale {

class TMemCursor : public TCursor {
 public:
  using Row = std::vector<std::optional<std::string>>;  // nullopt is NULL
  TMemCursor(TFieldDefs defs, std::vector<Row> rows)
      : defs_(std::move(defs)), rows_(std::move(rows)) {}

  void Execute() override { at_ = -1; }
  bool Step() override { return ++at_ < static_cast<int64_t>(rows_.size()); }
  TFieldDefs Describe(bool) override { return defs_; }
  void ReadRow(TRowWindow& window) override;
  int64_t CountRows() override { return static_cast<int64_t>(rows_.size()); }

 private:
  TFieldDefs defs_;
  std::vector<Row> rows_;
  int64_t at_ = -1;
};

}  // namespace morvale
