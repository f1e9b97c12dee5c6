// JSON export: an array of objects, one per record, keyed by the column captions; or, with
// JSONLines, one object a line (JSON Lines), which a reader can take record by record. Numbers and
// Booleans are typed, NULL is null, dates and times are ISO 8601 texts, everything else a string.
// The output is UTF-8 whatever the system code page, as JSON must be, and is written record by
// record: nothing of the result is kept.
#pragma once

#include <string>
#include <vector>

#include "export/core/export.h"

namespace morvale {

class TExportJSON : public TExportFormatText {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportJSON"; }

  bool JSONLines = false;

  void BeginExport() override;
  void WriteDataRow() override;
  void EndExport() override;
  // The JSON value of one cell.
  void GetColData(TExportCol& col, std::string& S) override;
  bool SplitsIntoParts() const override { return true; }
  bool StoresValues() const override { return true; }

 protected:
  void EndPart() override;
  void BeginPart() override;

 private:
  void AppendNumber(const std::string& text, TExportColType type, std::string& out);
  void AppendDateTime(const std::string& text, TExportColType type, std::string& out) const;
  // The JSON value of a field's stored value; false for a value the column's type does not
  // take (a text in a number column), which its text then gives.
  static bool AppendStored(const TFieldValue& value, TExportColType type, std::string& out);

  std::vector<std::string> keys_;  // per cell of the row: "\"caption\":"
  std::string line_, value_, plain_;
  bool first_ = true;
};

// `s` as a JSON string literal, quotes included, appended to `out`.
void AppendJSONString(std::string_view s, std::string& out);

}  // namespace morvale
