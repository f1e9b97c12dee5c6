#include "export/text/sql.h"

#include "export/core/datetime.h"
#include "export/core/properties.h"

namespace morvale {

const TPropList& TExportSQL::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportAdvancedText::ClassProps());
    PropBuilder<TExportSQL>(l)
        .Enum<TTextEncoding>("Encoding", "TTextEncoding", &TExport::Encoding,
                             TextEncodingIdentifiers())
        .Str("TableName", &TExportSQL::TableName)
        .Int("CommitRecCount", &TExportSQL::CommitRecCount)
        .Bool("CommitAfterScript", &TExportSQL::CommitAfterScript)
        .Str("CommitStatement", &TExportSQL::CommitStatement)
        .Bool("CreateTable", &TExportSQL::CreateTable)
        .Char("StatementTerm", &TExportSQL::StatementTerm)
        .Enum("SQLDialect", "TSQLDialect", &TExportSQL::SQLDialect,
              {"sdGeneric", "sdPostgreSQL", "sdMySQL", "sdSQLite"});
    return l;
  }();
  return list;
}

void TExportSQL::BeginExport() {
  TExportAdvancedText::BeginExport();
  inTransaction_ = false;
  for (const std::string& line : Header) Writer()->WriteLn(line);
  if (CreateTable && !TableName.empty()) WriteCreateTable();
  columnList_.clear();
  for (int i = 0; i < Columns().Count(); ++i) {
    if (i) columnList_ += ',';
    columnList_ += Columns()[i].Name;
  }
}

void TExportSQL::WriteCreateTable() {
  Writer()->WriteLn("CREATE TABLE " + TableName + "(");
  std::string text;
  for (int i = 0; i < Columns().Count(); ++i) {
    const TExportColumn& c = Columns()[i];
    text += "  " + c.Name + "  " + ColumnSQLType(c) + ",\r\n";
  }
  if (!text.empty()) text.resize(text.size() - 3);  // the last "," and CR LF
  text += ");\r\n";
  Writer()->WriteLn(text);
}

namespace {

// The type names a server dialect gives each kind of column.
struct TDialectTypes {
  const char *Float, *Time, *DateTime, *Text, *Binary;
};

// PostgreSQL has no BLOB or UNKNOWN type, reads a DATE as a day only (a time or a date-time
// would be refused or cut) and pads CHAR values with blanks.
constexpr TDialectTypes kPostgreSQLTypes{"DOUBLE PRECISION", "TIME", "TIMESTAMP", "TEXT", "BYTEA"};
// MySQL: a plain TIME or DATETIME would round away milliseconds, and TEXT holds 64 KB only.
constexpr TDialectTypes kMySQLTypes{"DOUBLE", "TIME(3)", "DATETIME(3)", "LONGTEXT", "LONGBLOB"};

// The types SQLite keeps a value as; a declared VARCHAR(n) or DATE would be kept too, but only as
// a name, so the script says what the table really holds.
std::string SQLiteType(const TExportColumn& c) {
  switch (c.ColType) {
    case ectInteger:
    case ectBigint:
    case ectBoolean:
      return "INTEGER";
    case ectFloat:
    case ectCurrency:
      // A decimal column keeps whole amounts as integers, as the source's NUMERIC did.
      return c.ColType == ectCurrency || (c.Field && c.Field->DataType == ftBCD) ? "NUMERIC"
                                                                                 : "REAL";
    case ectDate:
    case ectTime:
    case ectDateTime:
    case ectString:
      return "TEXT";
    default:
      return c.Field && c.Field->IsBlob() && c.Field->DataType != ftFmtMemo &&
                     c.Field->DataType != ftMemo
                 ? "BLOB"
                 : "TEXT";
  }
}

}  // namespace

std::string TExportSQL::ColumnSQLType(const TExportColumn& c) const {
  if (SQLDialect == sdGeneric) return c.SQLType;
  if (SQLDialect == sdSQLite) return SQLiteType(c);
  const TDialectTypes& t = SQLDialect == sdMySQL ? kMySQLTypes : kPostgreSQLTypes;
  const bool blob = c.Field && c.Field->IsBlob();
  switch (c.ColType) {
    case ectInteger:
      return "INTEGER";
    case ectBigint:
      return "BIGINT";
    case ectFloat:
    case ectCurrency:
      return t.Float;
    case ectDate:
      return "DATE";
    case ectTime:
      return t.Time;
    case ectDateTime:
      return t.DateTime;
    case ectBoolean:
      return "BOOLEAN";
    case ectString:
      // A declared length becomes a VARCHAR of it (CHAR would pad or strip blanks).
      if (!blob && c.SQLType.rfind("CHAR(", 0) == 0 && c.SQLType.size() > 6 &&
          c.SQLType[5] != '0' && c.SQLType[5] != '-')
        return "VARCHAR" + c.SQLType.substr(4);
      return t.Text;
    default:
      return blob && c.Field->DataType != ftFmtMemo ? t.Binary : t.Text;
  }
}

std::string TExportSQL::Commit() const {
  return SQLDialect == sdSQLite && SameText(CommitStatement, "COMMIT WORK;") ? "COMMIT;"
                                                                             : CommitStatement;
}

void TExportSQL::WriteCommit() {
  Writer()->WriteLn(Commit());
  inTransaction_ = false;
}

void TExportSQL::WriteDataRow() {
  TExportRow& row = Row();
  if (SQLDialect == sdSQLite && !inTransaction_ && !CommitStatement.empty() &&
      (CommitRecCount > 0 || CommitAfterScript)) {
    Writer()->WriteLn("BEGIN;");
    inTransaction_ = true;
  }
  if (row.Count() == 0) {
    // Without a column the statement has nothing to list: the standard form, or MySQL's own.
    statement_ =
        "INSERT INTO " + TableName + (SQLDialect == sdMySQL ? " () VALUES ()" : " DEFAULT VALUES");
  } else {
    statement_ = "INSERT INTO " + TableName + "\r\n  (" + columnList_ + ")\r\nVALUES(";
    for (int i = 0; i < row.Count(); ++i) {
      if (i) statement_ += ',';
      row[i].GetExportedValue(false, literal_);
      statement_ += literal_;
    }
    statement_ += ')';
  }
  if (StatementTerm != '\0') statement_ += StatementTerm;
  Writer()->WriteLn(statement_);
  Writer()->EmptyLine();
  if (CommitRecCount > 0 && !CommitStatement.empty() && RecordCounter % CommitRecCount == 0) {
    WriteCommit();
    Writer()->EmptyLine();
  }
}

void TExportSQL::EndExport() {
  // sqlite3 rolls back a transaction still open at the end of its input: the last run of rows
  // is committed even when the script asks for no final commit.
  if ((CommitAfterScript || inTransaction_) && !CommitStatement.empty()) WriteCommit();
  for (const std::string& line : Footer) Writer()->WriteLn(line);
  TExportAdvancedText::EndExport();
}

std::string TExportSQL::NullLiteral() {
  // An empty NULL text would leave a gap between two commas, which no database reads.
  return Formats.NullString().empty() ? std::string("NULL") : Formats.NullString();
}

// MySQL reads a backslash in a string literal as an escape (unless NO_BACKSLASH_ESCAPES is set,
// which its default modes do not), so a Windows path or a regular expression needs it doubled.
static void AppendQuoted(std::string_view s, std::string& out, bool escapeBackslash = false) {
  out += '\'';
  for (char c : s) {
    if (c == '\'' || (c == '\\' && escapeBackslash)) out += c;
    out += c;
  }
  out += '\'';
}

// An optional sign, digits with at most one point, and an optional exponent.
static bool IsSqlNumber(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t digits = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9')
      ++digits;
    else if (s[i] == '.' && !point)
      point = true;
    else
      break;
  }
  if (!digits) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    size_t exp = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == exp) return false;
  }
  return i == s.size();
}

static void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  if (from.empty() || from == to) return;
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
}

void TExportSQL::AppendIsoDateTime(const std::string& text, TExportColType type,
                                   std::string& out) const {
  TDateTime dt = 0;
  if (!TryStrToDateTime(text, dt, FormatSettings()))
    return AppendQuoted(text, out, SQLDialect == sdMySQL);
  int h, n, s, ms;
  DecodeTime(dt, h, n, s, ms);
  // Quoted separators: the format language would put the locale's own ones in.
  const char* time = ms ? "hh\":\"nn\":\"ss\".\"zzz" : "hh\":\"nn\":\"ss";
  std::string format = type == ectDate   ? std::string("yyyy\"-\"mm\"-\"dd")
                       : type == ectTime ? std::string(time)
                                         : std::string("yyyy\"-\"mm\"-\"dd\" \"") + time;
  AppendQuoted(FormatDateTime(format, dt, FormatSettings()), out);
}

void TExportSQL::GetColData(TExportCol& col, std::string& S) {
  const TExportColumn& c = Columns()[col.ColumnIndex];
  if (Columns().IsNull(col.ColumnIndex)) {
    S = NullLiteral();
    return;
  }
  const std::string& v = col.Data;
  switch (c.ColType) {
    case ectFloat:
    case ectCurrency:
      S = v;
      ReplaceAll(S, FormatSettings().ThousandSeparator, "");
      ReplaceAll(S, FormatSettings().DecimalSeparator, ".");
      break;
    case ectDate:
    case ectTime:
    case ectDateTime:
      S.clear();
      if (SQLDialect != sdGeneric)
        AppendIsoDateTime(v, c.ColType, S);
      else
        AppendQuoted(v, S);
      return;
    case ectString:
      S.clear();
      AppendQuoted(v, S, SQLDialect == sdMySQL);
      return;
    case ectBoolean:
      if (SQLDialect == sdSQLite)
        S = SameText(TrimView(v), "true") || TrimView(v) == "1" ? "1" : "0";
      else
        S = SameText(TrimView(v), "true") ? Formats.BooleanTrue() : Formats.BooleanFalse();
      return;
    case ectUnknown:
      // A field of no listed type (a formatted memo, bytes, a GUID) holds any text; written bare,
      // a quote or a semicolon in it would end the statement and run the rest as SQL. Numbers
      // stay bare, as before.
      if (!v.empty() && !IsSqlNumber(v)) {
        S.clear();
        AppendQuoted(v, S, SQLDialect == sdMySQL);
        return;
      }
      S = v;
      break;
    default:
      S = v;
      break;
  }
  // A number that is no NULL but has no text (a blank grid cell) would leave a gap as well.
  if (S.empty()) S = NullLiteral();
}

}  // namespace morvale
