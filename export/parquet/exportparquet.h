// Parquet export: one file of typed columns that analytical engines read directly. Each exported
// column keeps its type (integers with their width, doubles, decimals with their digits, dates,
// times and timestamps to the microsecond, Booleans, UTF-8 texts, bytes); NULLs are definition
// levels. Values are read from the fields as the source holds them, not from their texts, where
// the field gives them; other sources' texts are read back with the run's format settings.
// Rows pass into row groups of bounded size, so memory stays flat however long the table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/core/export.h"
#include "export/parquet/schema.h"

namespace morvale {

namespace parquet {
class TParquetFile;
}

enum TParquetCompression : int { pcZstd, pcNone };
enum TParquetTimeUnit : int { ptuMicros, ptuMillis };

class TExportParquet : public TExportText {
 public:
  TExportParquet();
  ~TExportParquet() override;
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportParquet"; }

  TParquetCompression Compression = pcZstd;
  // What TIME and TIMESTAMP columns count in.
  TParquetTimeUnit TimeUnit = ptuMicros;

  void BeginExport() override;
  void FillRow() override;
  void WriteDataRow() override;
  void EndExport() override;

  // The Parquet column an exported column becomes (its name still the caption as given).
  parquet::TColumnSchema SchemaOf(const TExportColumn& column) const;

 private:
  struct TPlan;
  void WriteValue(int column, TPlan& plan, const TFieldValue& value);
  [[noreturn]] void Refuse(const TPlan& plan, const TFieldValue& value) const;
  bool ReadText(const TPlan& plan, std::string_view text, TFieldValue& value);

  std::vector<TPlan> plans_;
  std::vector<parquet::TColumnSchema> schema_;
  std::unique_ptr<parquet::TParquetFile> file_;
  bool texts_ = false;  // the row's cells hold texts (a handler reads the row)
  std::string utf8_, digits_, scratch_;
};

}  // namespace morvale
