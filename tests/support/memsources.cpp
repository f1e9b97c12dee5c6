#include "tests/support/memsources.h"

namespace morvale::test {

bool TMemField::IsNull() const {
  return !owner_->Value(Index).has_value();
}

void TMemField::GetText(std::string& out) const {
  const Cell& c = owner_->Value(Index);
  if (c)
    out.assign(*c);
  else
    out.clear();
}

TField& TMemDataSet::AddField(const std::string& name, TFieldType type, int size,
                              int displayWidth) {
  auto f = std::make_unique<TMemField>();
  f->owner_ = this;
  f->FieldName = name;
  f->DataType = type;
  f->Size = size;
  f->DataSize = size;
  f->DisplayWidth = displayWidth >= 0 ? displayWidth : (size > 0 ? size : 10);
  f->Index = static_cast<int>(fields_.size());
  fields_.push_back(std::move(f));
  return *fields_.back();
}

const Cell& TMemDataSet::Value(int field) const {
  static const Cell null;
  if (cur_ < 0 || cur_ >= static_cast<int>(rows_.size())) return null;
  const auto& row = rows_[static_cast<size_t>(cur_)];
  return field < static_cast<int>(row.size()) ? row[static_cast<size_t>(field)] : null;
}

void FillSampleDataSet(TMemDataSet& ds) {
  ds.AddField("ID", ftInteger, 0, 6);
  ds.AddField("NAME", ftString, 20);
  ds.AddField("PRICE", ftFloat, 0, 10);
  ds.AddField("BORN", ftDate, 0, 10);
  ds.AddField("NOTE", ftMemo, 10);
  ds.AddRow({"1", "Bolt", "12.5", "3/7/2008", "plain"});
  ds.AddRow({"2", "Гайка \"M6\"", "0.1", "12/31/1999", "line one\r\nline two"});
  ds.AddRow({"3", "a;b,c\td", std::nullopt, std::nullopt, std::nullopt});
  ds.AddRow({"-4", "<tag> & 'q'", "-1234567.891", "2/29/2000", "Ünïcødé ✓"});
  ds.Open();
}

std::string FullDiskError(TExportText& e) {
  e.FileName = "/dev/full";
  try {
    e.Execute();
  } catch (const Exception& ex) {
    return ex.what();
  }
  return "";
}

}  // namespace morvale::test
