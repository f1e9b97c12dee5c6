#include "export/text/sql.h"

#include "export/core/datetime.h"
#include "export/core/properties.h"
#include "export/core/sqlnames.h"

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

namespace {

TSqlNameDialect NameDialect(TSQLDialect dialect) {
  switch (dialect) {
    case sdPostgreSQL:
      return TSqlNameDialect::PostgreSQL;
    case sdMySQL:
      return TSqlNameDialect::MySQL;
    default:
      return TSqlNameDialect::Standard;
  }
}

bool IsWordStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// The length of one part of a qualified name at the start of s: a plain word or a name in
// "...", `...` or [...] (a doubled quote inside), or 0 when s starts with neither.
size_t NamePartLength(std::string_view s) {
  if (s.empty()) return 0;
  if (IsWordStart(s[0])) {
    size_t i = 1;
    while (i < s.size() && (IsWordStart(s[i]) || (s[i] >= '0' && s[i] <= '9'))) ++i;
    return i;
  }
  const char close = s[0] == '[' ? ']' : s[0];
  if (close != '"' && close != '`' && close != ']') return 0;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] != close) continue;
    if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return 0;
}

// True when the text is SQL naming a table already: a name the user quoted, or one qualified by
// its schema or database (public.orders, shop."Order Details").
bool IsWrittenAsSql(std::string_view name) {
  size_t parts = 0;
  bool quoted = false;
  for (;;) {
    size_t n = NamePartLength(name);
    if (n == 0) return false;
    quoted = quoted || !IsWordStart(name[0]);
    ++parts;
    name.remove_prefix(n);
    if (name.empty()) return parts > 1 || quoted;
    if (name[0] != '.') return false;
    name.remove_prefix(1);
  }
}

}  // namespace

std::string TExportSQL::SqlTableName() const {
  // Written as the user typed it when it is SQL already; otherwise it is the table's own name,
  // quoted where the dialect needs it (an empty name stays empty: there is no table to name).
  if (TableName.empty() || IsWrittenAsSql(TableName)) return TableName;
  return SqlName(NameDialect(SQLDialect), TableName);
}

void TExportSQL::BeginExport() {
  TExportAdvancedText::BeginExport();
  inTransaction_ = false;
  tableName_ = SqlTableName();
  for (const std::string& line : Header) Writer()->WriteLn(line);
  // The parts of a split script are run one after the other into one database: only the first
  // creates the table.
  if (CreateTable && !TableName.empty()) WriteCreateTable();
  columnList_.clear();
  for (int i = 0; i < Columns().Count(); ++i) {
    if (i) columnList_ += ',';
    columnList_ += SqlName(NameDialect(SQLDialect), Columns()[i].Name);
  }
}

void TExportSQL::WriteCreateTable() {
  Writer()->WriteLn("CREATE TABLE " + tableName_ + "(");
  std::string text;
  for (int i = 0; i < Columns().Count(); ++i) {
    const TExportColumn& c = Columns()[i];
    text += "  " + SqlName(NameDialect(SQLDialect), c.Name) + "  " + ColumnSQLType(c) + ",\r\n";
  }
  if (!text.empty()) text.resize(text.size() - 3);  // the last "," and CR LF
  text += ");\r\n";
  Writer()->WriteLn(text);
}

namespace {

// The type names a server dialect gives each kind of column.
struct TDialectTypes {
  const char *Float, *Time, *DateTime, *Text, *Binary, *Decimal;
  int MaxPrecision, MaxScale;  // of its exact decimal type
};

// PostgreSQL has no BLOB or UNKNOWN type, reads a DATE as a day only (a time or a date-time
// would be refused or cut) and pads CHAR values with blanks.
constexpr TDialectTypes kPostgreSQLTypes{"DOUBLE PRECISION", "TIME", "TIMESTAMP", "TEXT", "BYTEA",
                                         "NUMERIC",          1000,   1000};
// MySQL: a plain TIME or DATETIME would round away milliseconds, and TEXT holds 64 KB only.
constexpr TDialectTypes kMySQLTypes{
    "DOUBLE", "TIME(3)", "DATETIME(3)", "LONGTEXT", "LONGBLOB", "DECIMAL", 65, 30};

// A value kept as bytes: written as a binary literal, never as text (a NUL, a byte that is no
// character of the encoding, or blanks at either end would not survive a string literal).
bool IsBinary(const TExportColumn& c) {
  if (!c.Field) return false;
  switch (c.Field->DataType) {
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
      return false;
    case ftBytes:
    case ftVarBytes:
      return true;
    default:
      return c.Field->IsBlob();
  }
}

// The types SQLite keeps a value as; a declared VARCHAR(n) or DATE would be kept too, but only as
// a name, so the script says what the table really holds.
std::string SQLiteType(const TExportColumn& c) {
  if (IsBinary(c)) return "BLOB";
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
    default:
      return "TEXT";
  }
}

// A string of a length its source declares: a VARCHAR of it (CHAR would pad or strip blanks).
// Without one (TEXT, a memo, a column of a list or grid) the length is not known, and only the
// dialect's unbounded text type is sure to hold what the rows hold.
std::string StringType(const TExportColumn& c, const TDialectTypes& t) {
  if (c.Field && !c.Field->IsBlob() && !c.Field->Unbounded && c.Field->Size > 0)
    return "VARCHAR(" + std::to_string(c.Field->Size) + ")";
  return t.Text;
}

// An exact decimal whose digits the source declares keeps them; otherwise a double holds it.
std::string NumberType(const TExportColumn& c, const TDialectTypes& t) {
  if (!c.Field || c.Field->DataType != ftBCD) return t.Float;
  const int digits = c.Field->Precision, scale = c.Field->Size;
  if (digits <= 0 || digits > t.MaxPrecision || scale < 0 || scale > digits || scale > t.MaxScale)
    return t.Float;
  return std::string(t.Decimal) + "(" + std::to_string(digits) + "," + std::to_string(scale) + ")";
}

}  // namespace

std::string TExportSQL::ColumnSQLType(const TExportColumn& c) const {
  if (SQLDialect == sdGeneric) return c.SQLType;
  if (SQLDialect == sdSQLite) return SQLiteType(c);
  const TDialectTypes& t = SQLDialect == sdMySQL ? kMySQLTypes : kPostgreSQLTypes;
  if (IsBinary(c)) return t.Binary;
  switch (c.ColType) {
    case ectInteger:
      return "INTEGER";
    case ectBigint:
      return "BIGINT";
    case ectFloat:
    case ectCurrency:
      return NumberType(c, t);
    case ectDate:
      return "DATE";
    case ectTime:
      return t.Time;
    case ectDateTime:
      return t.DateTime;
    case ectBoolean:
      return "BOOLEAN";
    case ectString:
      return StringType(c, t);
    default:
      return t.Text;
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
        "INSERT INTO " + tableName_ + (SQLDialect == sdMySQL ? " () VALUES ()" : " DEFAULT VALUES");
  } else {
    statement_ = "INSERT INTO " + tableName_ + "\r\n  (" + columnList_ + ")\r\nVALUES(";
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

void TExportSQL::BeginPart() {
  for (const std::string& line : Header) Writer()->WriteLn(line);
}

void TExportSQL::EndExport() {
  EndPart();
  TExportAdvancedText::EndExport();
}

void TExportSQL::EndPart() {
  // SQLite refuses a COMMIT outside a transaction and rolls back one still open at the end of
  // its input: there the script ends with a commit exactly when a run of rows is open, whether
  // or not it asks for a final one (a CommitRecCount that divides the row count has committed
  // the last run already).
  const bool commit = SQLDialect == sdSQLite ? inTransaction_ : CommitAfterScript;
  if (commit && !CommitStatement.empty()) WriteCommit();
  for (const std::string& line : Footer) Writer()->WriteLn(line);
}

std::string TExportSQL::NullLiteral() {
  // An empty NULL text would leave a gap between two commas, which no database reads. A script
  // for a named database says NULL whatever text the other types show for it ("(none)" would
  // stop the load).
  if (SQLDialect != sdGeneric || Formats.NullString().empty()) return "NULL";
  return Formats.NullString();
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

const std::string& TExportSQL::StoredText(const TExportColumn& c, const std::string& cell) {
  // The cell has lost the blanks, tabs and line breaks at its ends, which belong to the stored
  // string as much as the rest does. Unless a handler rewrote the cell, the field's own text is
  // written.
  if (!c.Field) return cell;
  c.Field->GetText(bytes_);
  return TrimView(bytes_) == cell ? bytes_ : cell;
}

std::string TExportSQL::BooleanLiteral(bool value) const {
  switch (SQLDialect) {
    case sdSQLite:
      return value ? "1" : "0";
    case sdGeneric:
      return value ? Formats.BooleanTrue() : Formats.BooleanFalse();
    default:
      // The server's own words, whatever the other types show for a Boolean ("Да" would stop
      // the load).
      return value ? "TRUE" : "FALSE";
  }
}

void TExportSQL::AppendBinary(std::string_view bytes, std::string& out) const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += SQLDialect == sdPostgreSQL ? "decode('" : "X'";
  for (unsigned char b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  // PostgreSQL reads X'..' as a bit string; decode makes bytes of the hex whatever its
  // standard_conforming_strings says about a '\x..' literal.
  out += SQLDialect == sdPostgreSQL ? "','hex')" : "'";
}

bool TExportSQL::AppendStored(const TFieldValue& value, TExportColType type,
                              std::string& out) const {
  const bool number =
      type == ectInteger || type == ectBigint || type == ectFloat || type == ectCurrency;
  switch (value.Kind) {
    case TValueKind::Integer:
    case TValueKind::Float:
    case TValueKind::Decimal:
      // Every digit the source holds; the words for infinities are left to the cell's text.
      return number && AppendExactNumber(value, PointSettings(), out);
    case TValueKind::DateTime: {
      if (type != ectDate && type != ectTime && type != ectDateTime) return false;
      if (SQLDialect == sdGeneric) return false;  // the locale's text, as the dialect has it
      std::string iso;
      AppendIsoValue(value, type, ' ', iso);
      AppendQuoted(iso, out);
      return true;
    }
    case TValueKind::Boolean:
      if (type != ectBoolean) return false;
      out += BooleanLiteral(value.Bool);
      return true;
    default:
      return false;
  }
}

void TExportSQL::GetColData(TExportCol& col, std::string& S) {
  const TExportColumn& c = Columns()[col.ColumnIndex];
  if (Columns().IsNull(col.ColumnIndex)) {
    S = NullLiteral();
    return;
  }
  if (IsBinary(c)) {
    // The bytes from the field itself: the cell's text has lost its blanks and control
    // characters at both ends.
    c.Field->GetText(bytes_);
    S.clear();
    AppendBinary(bytes_, S);
    return;
  }
  if (col.Stored) {
    S.clear();
    if (AppendStored(col.Value, c.ColType, S)) return;
  }
  const std::string& v = col.Text();
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
      AppendQuoted(StoredText(c, v), S, SQLDialect == sdMySQL);
      return;
    case ectBoolean:
      S = BooleanLiteral(SameText(TrimView(v), "true") || TrimView(v) == "1");
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
