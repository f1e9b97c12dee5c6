#include "export/text/sql.h"

#include "export/core/datetime.h"
#include "export/core/properties.h"

namespace morvale {

const TPropList& TExportSQL::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportAdvancedText::ClassProps());
    PropBuilder<TExportSQL>(l)
        .Str("TableName", &TExportSQL::TableName)
        .Int("CommitRecCount", &TExportSQL::CommitRecCount)
        .Bool("CommitAfterScript", &TExportSQL::CommitAfterScript)
        .Str("CommitStatement", &TExportSQL::CommitStatement)
        .Bool("CreateTable", &TExportSQL::CreateTable)
        .Char("StatementTerm", &TExportSQL::StatementTerm)
        .Enum("SQLDialect", "TSQLDialect", &TExportSQL::SQLDialect, {"sdGeneric", "sdPostgreSQL"});
    return l;
  }();
  return list;
}

void TExportSQL::BeginExport() {
  TExportAdvancedText::BeginExport();
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

std::string TExportSQL::ColumnSQLType(const TExportColumn& c) const {
  if (SQLDialect == sdGeneric) return c.SQLType;
  // PostgreSQL has no BLOB or UNKNOWN type, reads a DATE as a day only (a time or a date-time
  // would be refused or cut) and pads CHAR values with blanks.
  switch (c.ColType) {
    case ectInteger:
      return "INTEGER";
    case ectBigint:
      return "BIGINT";
    case ectFloat:
    case ectCurrency:
      return "DOUBLE PRECISION";
    case ectDate:
      return "DATE";
    case ectTime:
      return "TIME";
    case ectDateTime:
      return "TIMESTAMP";
    case ectBoolean:
      return "BOOLEAN";
    case ectString:
      if (c.Field && c.Field->IsBlob()) return "TEXT";
      if (c.SQLType.rfind("CHAR(", 0) == 0 && c.SQLType.size() > 6 && c.SQLType[5] != '0' &&
          c.SQLType[5] != '-')
        return "VARCHAR" + c.SQLType.substr(4);
      return "TEXT";
    default:
      return c.Field && c.Field->IsBlob() && c.Field->DataType != ftFmtMemo ? "BYTEA" : "TEXT";
  }
}

void TExportSQL::WriteDataRow() {
  TExportRow& row = Row();
  if (row.Count() == 0) {
    // Without a column the statement has nothing to list; every database reads this form.
    statement_ = "INSERT INTO " + TableName + " DEFAULT VALUES";
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
    Writer()->WriteLn(CommitStatement);
    Writer()->EmptyLine();
  }
}

void TExportSQL::EndExport() {
  if (CommitAfterScript && !CommitStatement.empty()) Writer()->WriteLn(CommitStatement);
  for (const std::string& line : Footer) Writer()->WriteLn(line);
  TExportAdvancedText::EndExport();
}

std::string TExportSQL::NullLiteral() {
  // An empty NULL text would leave a gap between two commas, which no database reads.
  return Formats.NullString().empty() ? std::string("NULL") : Formats.NullString();
}

static void AppendQuoted(std::string_view s, std::string& out) {
  out += '\'';
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
}

static void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  if (from.empty() || from == to) return;
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
}

void TExportSQL::AppendIsoDateTime(const std::string& text, TExportColType type,
                                   std::string& out) const {
  TDateTime dt = 0;
  if (!TryStrToDateTime(text, dt, FormatSettings())) return AppendQuoted(text, out);
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
      if (SQLDialect == sdPostgreSQL)
        AppendIsoDateTime(v, c.ColType, S);
      else
        AppendQuoted(v, S);
      return;
    case ectString:
      S.clear();
      AppendQuoted(v, S);
      return;
    case ectBoolean:
      S = SameText(TrimView(v), "true") ? Formats.BooleanTrue() : Formats.BooleanFalse();
      return;
    default:
      S = v;
      break;
  }
  // A number that is no NULL but has no text (a blank grid cell) would leave a gap as well.
  if (S.empty()) S = NullLiteral();
}

}  // namespace morvale
