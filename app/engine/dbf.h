// dBASE III table files (.dbf) with their memo files (.dbt), read without trusting a byte of them:
// every size and offset is checked against the file before it is used, and whatever does not fit
// is reported as an Exception that names the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/dbflayout.h"

namespace morvale {

// Bytes of a file or of memory, read at any offset.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly n bytes; false when fewer are there.
  virtual bool ReadAt(uint64_t offset, void* buffer, size_t n) const = 0;
};

std::unique_ptr<TByteSource> OpenFileSource(const std::string& path);  // nullptr when absent
std::unique_ptr<TByteSource> MemorySource(std::string bytes);

struct TDbfField {
  std::string Name;
  char Type;  // C, N, F, D, L, M or a type this reader shows as text
  int Length;
  int Decimals;
  int Offset;  // within the record, after the deletion flag
};

class TDbfTable {
 public:
  // Reads and checks the header. `name` is what messages call the table (its path); `memo` may be
  // null, which is an error only when the table has memo fields.
  TDbfTable(std::string name, std::unique_ptr<TByteSource> table, std::unique_ptr<TByteSource> memo,
            std::string memoName = {});
  // The table file and the memo file beside it (.dbt, in either case).
  static std::unique_ptr<TDbfTable> OpenFile(const std::string& path);

  const std::string& Name() const { return name_; }
  const std::vector<TDbfField>& Fields() const { return fields_; }
  uint32_t RecordCount() const { return recordCount_; }
  int RecordSize() const { return recordSize_; }
  // The column declaration the SQL engine shows for a field: CHAR(20), NUMERIC(10,2), FLOAT(12,3),
  // DATE, LOGICAL, MEMO.
  static std::string DeclaredType(const TDbfField& f);

  // Copies records [first, first + n) into buffer (n * RecordSize() bytes).
  void ReadRecords(uint32_t first, uint32_t n, char* buffer) const;
  // The text of the memo whose block number field holds `ref`; false when it names none.
  bool ReadMemo(std::string_view ref, std::string& out) const;

 private:
  [[noreturn]] void Damaged(const std::string& what) const;
  [[noreturn]] void MemoDamaged(const std::string& what) const;
  void ReadHeader();
  std::string name_, memoName_;
  std::unique_ptr<TByteSource> table_, memo_;
  std::vector<TDbfField> fields_;
  uint32_t recordCount_ = 0;
  int headerSize_ = 0;
  int recordSize_ = 0;
  uint32_t memoBlockSize_ = kDBFMemoBlock;
};

// Walks the records of a table in order, reading them a run at a time.
class TDbfReader {
 public:
  explicit TDbfReader(const TDbfTable& table) : table_(table) {}
  // Positions on record i; false past the last one.
  bool Seek(uint32_t i);
  bool Deleted() const { return record_[0] == kDBFRecordDeleted; }
  std::string_view FieldBytes(const TDbfField& f) const {
    return std::string_view(record_ + 1 + f.Offset, static_cast<size_t>(f.Length));
  }

 private:
  const TDbfTable& table_;
  std::vector<char> buffer_;
  uint32_t first_ = 0, count_ = 0;
  const char* record_ = nullptr;
};

// A field's bytes as a value: what the SQL engine gets for it.
enum class TDbfValueKind { Null, Int, Float, Text };
struct TDbfValue {
  TDbfValueKind Kind = TDbfValueKind::Null;
  int64_t Int = 0;
  double Float = 0;
  std::string Text;
};
void DecodeDbfValue(const TDbfTable& table, const TDbfField& f, std::string_view bytes,
                    TDbfValue& out);

}  // namespace morvale
