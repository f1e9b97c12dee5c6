#include "export/core/sources.h"

namespace morvale {

const char* ColTypeName(TExportColType t) {
  static const char* const names[] = {"ectUnknown",  "ectInteger", "ectBigint", "ectFloat",
                                      "ectCurrency", "ectDate",    "ectTime",   "ectDateTime",
                                      "ectString",   "ectBoolean"};
  return (t >= ectUnknown && t <= ectBoolean) ? names[t] : "ectUnknown";
}

void TCustomColumn::SetColumnName(const std::string& name) {
  if (name.empty()) return;
  if (source_) {
    TCustomColumn* other = source_->FindColumn(name);
    if (other && other != this) return;
  }
  name_ = name;
}

std::string TCustomColumn::GetValue() const {
  if (!source_ || !source_->OnGetColumnValue) return {};
  TCustomValue v;  // Null unless the handler answers
  source_->OnGetColumnValue(source_, source_->RecNo, const_cast<TCustomColumn&>(*this), v);
  return v ? *v : std::string();
}

TCustomColumn& TCustomSource::AddColumn() {
  auto c = std::make_unique<TCustomColumn>();
  c->source_ = this;
  for (int n = 0;; ++n) {
    std::string name = "Column" + std::to_string(n);
    if (!FindColumn(name)) {
      c->name_ = name;
      break;
    }
  }
  c->Caption = c->name_;
  columns_.push_back(std::move(c));
  return *columns_.back();
}

TCustomColumn* TCustomSource::FindColumn(std::string_view name) const {
  for (const auto& c : columns_)
    if (SameText(c->name_, name)) return c.get();
  return nullptr;
}

void TCustomSource::DeleteColumn(int i) {
  columns_.erase(columns_.begin() + i);
}

void TCustomSource::Next() {
  if (Eof) return;
  bool eof = false;
  if (OnGetNextRecord) OnGetNextRecord(this, RecNo, eof);
  if (eof)
    Eof = true;
  else
    ++RecNo;
}

}  // namespace morvale
