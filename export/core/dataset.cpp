#include "export/core/dataset.h"

#include "export/core/translate.h"

namespace morvale {

const char* FieldTypeName(TFieldType t) {
  static const char* const names[] = {
      "ftUnknown",    "ftString",     "ftSmallint", "ftInteger",     "ftWord",      "ftBoolean",
      "ftFloat",      "ftCurrency",   "ftBCD",      "ftDate",        "ftTime",      "ftDateTime",
      "ftBytes",      "ftVarBytes",   "ftAutoInc",  "ftBlob",        "ftMemo",      "ftGraphic",
      "ftFmtMemo",    "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor",    "ftFixedChar",
      "ftWideString", "ftLargeint",   "ftADT",      "ftArray",       "ftReference", "ftDataSet",
      "ftOraBlob",    "ftOraClob",    "ftVariant",  "ftInterface",   "ftIDispatch", "ftGuid"};
  return (t >= 0 && t <= ftGuid) ? names[t] : "ftUnknown";
}

bool IsBlobFieldType(TFieldType t) {
  switch (t) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
      return true;
    default:
      return false;
  }
}

TField* TDataSet::FindField(std::string_view name) const {
  for (int i = 0; i < FieldCount(); ++i)
    if (SameText(Fields(i).FieldName, name)) return &Fields(i);
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (!f) throw Exception(Format(TranslateText("Engine", "Field '%s' not found"), {name}));
  return *f;
}

}  // namespace morvale
