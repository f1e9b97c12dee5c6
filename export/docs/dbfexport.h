// dBASE III export: a table file (.dbf) and, when a memo or binary column is exported, its memo
// file (.dbt). The table carries only field descriptors and records: no captions, header or footer.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/export.h"
#include "export/docs/dbffile.h"

namespace morvale {

class TFileStream;
class TMemoryStream;

class TDBFWriter : public TExportWriter {
 public:
  TDBFWriter(TExport& owner, TStream& stream);
  ~TDBFWriter() override;

  void AddField(const TDBFField& field) { fields_.push_back(field); }
  const std::vector<TDBFField>& Fields() const { return fields_; }

  // The main header, the descriptors and 0x0D; creates the memo file when a field is a memo and
  // the output is a named file.
  void WriteHeader();
  // Renders one field of the current record. Index 0 starts a record; the record is written, and
  // counted, once its last field is there, so a run that fails inside a record leaves the table
  // with whole records only. The count in the header follows every 1,024 records and at the end.
  void WriteField(int index, std::string_view text);
  // Stores the value of memo column `index` in the memo file: the number of its first block, or
  // -1 when nothing was stored (no memo file, not a dataset field, empty or too long).
  int WriteMemo(int index);
  // 0x1A after the last record and the final record count in the header.
  void FinishTable();
  // The next free block number into the memo file's first bytes; closes the memo file.
  void FinishMemoFile();

  uint32_t RecordCount() const { return recordCount_; }
  bool HasMemoFile() const { return memo_ != nullptr; }
  const std::string& MemoFileName() const { return memoName_; }
  uint8_t Version() const { return version_; }

 private:
  static constexpr uint32_t kCountInterval = 1024;
  void PatchRecordCount();
  TStream* out_;                          // the stream the table goes to
  std::unique_ptr<TMemoryStream> spool_;  // for outputs that cannot seek back to the header
  std::vector<TDBFField> fields_;
  TFileStream* memo_ = nullptr;
  std::unique_ptr<TFileStream> ownMemo_;  // a memo file beside a table written without a group
  std::string memoName_;
  int nextBlock_ = 1;
  uint8_t version_ = kDBFVersion;
  int64_t headerPos_ = 0;
  uint32_t recordCount_ = 0;
  std::string record_;
  bool utf8_ = true;
  bool finished_ = false;
};

class TExportDBF : public TExportText {
 public:
  TExportDBF();
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportDBF"; }

  // NAME=size,decimals lines for float and currency columns.
  TStringList ColumnsPrecision;
  int DefaultFloatSize = 15;
  int DefaultFloatDecimal = 4;
  // A dBASE III date field holds no time of day: date-time columns become date fields, which
  // every reader takes as dates, unless this writes them as character fields
  // "yyyy-mm-dd hh:nn:ss" instead. Time columns are always character fields "hh:nn:ss".
  bool DateTimeAsText = false;

  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;
  void BeginExport() override;
  void BeforeExport() override;
  void WriteDataRow() override;
  void AfterExport() override;
  bool StoresValues() const override { return true; }
  void EndExport() override;

  // The target file name with the extension .dbt.
  std::string GetMemoFileName() const;
  // Size and decimal count of a float or currency column (ColumnsPrecision or the defaults).
  void GetPrecision(std::string_view name, int& size, int& decimals) const;
  // The field a column becomes (name not yet made unique).
  TDBFField FieldOfColumn(const TExportColumn& column) const;
  // The columns of the last run, in column order, that held a time of day which their date
  // field could not keep: what the user must be told was left out.
  const std::vector<std::string>& TimeDroppedColumns() const { return timeDropped_; }

 private:
  TDBFWriter& DBFWriter() const { return static_cast<TDBFWriter&>(*Writer()); }
  void RenderValue(const TExportColumn& column, std::string& text);
  // The field text of a stored value; false for a value the column's type does not take (and
  // for NULLs and memos), which the cell's text then gives.
  bool RenderStored(const TExportColumn& column, const TFieldValue& value, std::string& text);
  TDateTime ReadDateTime(std::string_view text) const;
  // The text of a date, time or date-time column in its field: yyyymmdd in a date field,
  // hh:nn:ss or yyyy-mm-dd hh:nn:ss in a character field.
  std::string DateTimeText(const TExportColumn& column, char fieldType, TDateTime dt);
  double ParseNumber(std::string_view text) const;

  // Numbers are read with '.' whatever the locale, as the source values come from the engine; the
  // locale's own separator is accepted as well.
  TFormatSettings pointSettings_;
  std::string text_;
  std::vector<std::string> timeDropped_;
  std::vector<bool> timeDroppedAt_;  // by column index, during the run
};

// The path with its extension (after the last '.' of the file name) replaced by ext.
std::string ChangeFileExt(const std::string& path, const std::string& ext);

}  // namespace morvale
