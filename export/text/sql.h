// SQL script export: one INSERT statement per record, optionally a CREATE TABLE statement first
// and commit statements between the rows. Values are written unformatted, as SQL literals.
#pragma once

#include <string>

#include "export/core/export.h"

namespace morvale {

// Which database the script is meant for. Every dialect names tables and columns in its own
// quotes where a name needs them, writes bytes as binary literals, and gives a string whose
// source declares no length an unbounded type. sdGeneric writes the columns' own SQL types and
// the source's date texts; sdPostgreSQL writes types and ISO dates that PostgreSQL accepts and
// keeps (a memo as TEXT, a time as TIME, a date-time as TIMESTAMP, a decimal as NUMERIC(p,s));
// sdMySQL does the same for MySQL and MariaDB, whose string literals also escape backslashes;
// sdSQLite writes the types SQLite keeps (INTEGER, REAL, NUMERIC, TEXT, BLOB), ISO date texts,
// Booleans as 1 and 0, and opens each run of rows that a commit ends with BEGIN, since SQLite
// knows no COMMIT outside a transaction. The named dialects write NULL and Booleans in the
// database's own words, whatever the formats show for them elsewhere.
enum TSQLDialect : int { sdGeneric, sdPostgreSQL, sdMySQL, sdSQLite };

class TExportSQL : public TExportAdvancedText {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportSQL"; }

  std::string TableName;
  int CommitRecCount = 0;
  bool CommitAfterScript = false;
  std::string CommitStatement = "COMMIT WORK;";
  bool CreateTable = false;
  char StatementTerm = ';';
  TSQLDialect SQLDialect = sdGeneric;

  void BeginExport() override;
  void WriteDataRow() override;
  void EndExport() override;
  bool SplitsIntoParts() const override { return true; }
  bool StoresValues() const override { return true; }
  // The SQL literal of one cell.
  void GetColData(TExportCol& col, std::string& S) override;

  // The type text a column gets in the CREATE TABLE statement.
  std::string ColumnSQLType(const TExportColumn& column) const;
  // TableName as the statements write it: quoted where the dialect needs it, unless the user
  // wrote it as SQL already (quoted, or qualified: public.orders).
  std::string SqlTableName() const;

 protected:
  void EndPart() override;
  void BeginPart() override;

 private:
  void WriteCreateTable();
  // The commit statement as written: SQLite reads "COMMIT WORK" as an error.
  std::string Commit() const;
  void WriteCommit();
  void AppendIsoDateTime(const std::string& text, TExportColType type, std::string& out) const;
  // The literal of a field's stored value; false for a value the column's type does not take,
  // and for the texts, which the cell's text gives.
  bool AppendStored(const TFieldValue& value, TExportColType type, std::string& out) const;
  std::string NullLiteral();
  // The text of a string cell as the source stores it.
  const std::string& StoredText(const TExportColumn& c, const std::string& cell);
  std::string BooleanLiteral(bool value) const;
  // The bytes as the dialect's binary literal (X'..', or decode('..','hex') for PostgreSQL).
  void AppendBinary(std::string_view bytes, std::string& out) const;

  std::string tableName_;
  std::string columnList_;
  std::string statement_;
  std::string literal_;
  std::string bytes_;
  bool inTransaction_ = false;
};

}  // namespace morvale
