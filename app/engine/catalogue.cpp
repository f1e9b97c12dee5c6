#include "app/engine/catalogue.h"

#include <string_view>

#include "app/engine/memcursor.h"
#include "export/core/classes.h"

namespace morvale {

namespace {

int CatalogueSize(std::string_view column) {
  struct Entry {
    const char* name;
    int size;
  };
  static const Entry sizes[] = {{"Null", 3},   {"Key", 3},         {"Collation", 9}, {"Packed", 10},
                                {"Extra", 20}, {"Index_type", 16}, {"Type", 40}};
  for (const Entry& e : sizes)
    if (SameText(column, e.name)) return e.size;
  return 64;  // names, defaults and comments
}

class TCatalogueCursor : public TCursor {
 public:
  explicit TCatalogueCursor(std::unique_ptr<TCursor> inner) : inner_(std::move(inner)) {}
  void Execute() override { inner_->Execute(); }
  bool Step() override { return inner_->Step(); }
  TFieldDefs Describe(bool hasRow) override {
    TFieldDefs defs = inner_->Describe(hasRow);
    for (TFieldDef& d : defs)
      if (d.DataType == ftString || d.DataType == ftMemo)
        d = MakeFieldDef(std::move(d.Name), ftString, CatalogueSize(d.Name));
    return defs;
  }
  void ReadRow(TRowWindow& window) override { inner_->ReadRow(window); }
  int64_t CountRows() override { return inner_->CountRows(); }

 private:
  std::unique_ptr<TCursor> inner_;
};

}  // namespace

std::unique_ptr<TCursor> CatalogueCursor(std::unique_ptr<TCursor> cursor) {
  return std::make_unique<TCatalogueCursor>(std::move(cursor));
}

std::unique_ptr<TCursor> TableListCursor(const TStringList& names) {
  std::vector<TMemCursor::Row> rows;
  for (const std::string& n : names) rows.push_back({n});
  return std::make_unique<TMemCursor>(
      TFieldDefs{MakeFieldDef("Table", ftString, kDefaultStringSize)}, std::move(rows));
}

}  // namespace morvale
