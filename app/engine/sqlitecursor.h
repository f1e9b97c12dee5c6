// A statement of a SQLite connection as a driver cursor. Values are copied straight from the
// statement's row (text as SQLite holds it, numbers as numbers), with no conversion in between.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/cursor.h"

struct sqlite3_stmt;

namespace morvale {

class TSqliteDatabase;

class TSqliteCursor : public TCursor {
 public:
  // Prepares the statement at once, so that a syntax error or an unknown table is reported by
  // the constructor; more than one statement is refused.
  TSqliteCursor(std::shared_ptr<TSqliteDatabase> db, const std::string& sql);
  ~TSqliteCursor() override;

  void Execute() override;
  bool Step() override;
  TFieldDefs Describe(bool hasRow) override;
  void ReadRow(TRowWindow& window) override;
  int64_t CountRows() override;
  // Runs the statement again with its first `row` rows skipped by SQLite itself (an OFFSET,
  // which passes over rows without reading their columns).
  bool Seek(int64_t row) override;
  // A database file holds no module of its own (the folder engine's tables read other
  // connections), so its statements may be stepped on another thread.
  bool CanReadAhead() const override;

  // Reads declared column types in place of FieldDefFromDeclaredType (the dBASE folder's own
  // declarations), given the schema the column comes from (nullptr for an expression).
  std::function<bool(const char* schema, std::string_view, TFieldDef&)> DeclaredTypeMapper;

 private:
  enum class TFetch : uint8_t { Typed, Text, Blob };
  sqlite3_stmt* Prepare(const std::string& sql, bool whole) const;
  int64_t CountByWalking() const;

  std::shared_ptr<TSqliteDatabase> db_;
  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
  sqlite3_stmt* seek_ = nullptr;    // the statement with an OFFSET, after a Seek
  sqlite3_stmt* active_ = nullptr;  // the one Step and ReadRow read: stmt_ or seek_
  bool seekable_ = true;
  std::vector<TFetch> fetch_;
};

}  // namespace morvale
