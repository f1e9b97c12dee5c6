#include "app/engine/fielddefs.h"

#include <algorithm>
#include <cctype>

namespace morvale {

void SetDefaultSizes(TFieldDef& def) {
  int data = 0, width = 10;
  switch (def.DataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
      data = def.Size + 1;
      // A column without a declared length (TEXT, VARCHAR) reads as 255 characters: shown that
      // wide it would push a text or PDF page's other columns far off to the right. Values
      // longer than this still widen a measured column.
      width = std::min(def.Size, kMaxStringDisplayWidth);
      break;
    case ftGuid:
      data = 39;
      width = 38;
      break;
    case ftSmallint:
      data = 2;
      width = 6;
      break;
    case ftWord:
      data = 2;
      width = 5;
      break;
    case ftInteger:
    case ftAutoInc:
      data = 4;
      width = 11;
      break;
    case ftLargeint:
      data = 8;
      width = 15;
      break;
    case ftBoolean:
      data = 2;
      width = 5;
      break;
    case ftFloat:
    case ftCurrency:
      data = 8;
      break;
    case ftBCD:
      data = 34;                                         // the size of a packed decimal
      if (def.Precision > 0) width = def.Precision + 2;  // sign and decimal separator
      break;
    case ftDate:
    case ftTime:
      data = 4;
      break;
    case ftDateTime:
      // Short date, a blank and the long time: "07.03.2008 14:30:05".
      data = 8;
      width = 19;
      break;
    case ftBytes:
      data = def.Size;
      width = def.Size * 2;
      break;
    case ftVarBytes:
      data = def.Size + 2;
      width = def.Size * 2;
      break;
    default:  // BLOB, memo and the rest: nothing of the value lives in the record buffer
      break;
  }
  def.DataSize = data;
  def.DisplayWidth = width;
}

TFieldDef MakeFieldDef(std::string name, TFieldType type, int size, int precision) {
  TFieldDef d;
  d.Name = std::move(name);
  d.DataType = type;
  d.Size = size;
  d.Precision = precision;
  if ((type == ftString || type == ftWideString || type == ftFixedChar) && size <= 0) {
    d.Size = kDefaultStringSize;
    d.Unbounded = true;
  }
  SetDefaultSizes(d);
  return d;
}

TDeclaredType ParseDeclaredType(std::string_view decl) {
  TDeclaredType t;
  size_t open = decl.find('(');
  std::string_view name = decl.substr(0, open);
  // Words separated by single blanks, upper-cased: "double  precision" -> "DOUBLE PRECISION".
  for (char c : name) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!t.Name.empty() && t.Name.back() != ' ') t.Name += ' ';
    } else {
      t.Name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  if (!t.Name.empty() && t.Name.back() == ' ') t.Name.pop_back();
  if (open == std::string_view::npos) return t;
  int n = 0;
  for (size_t i = open + 1; i < decl.size() && n < 2; ++i) {
    char c = decl[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      if (t.Args[n] < 0) t.Args[n] = 0;
      if (t.Args[n] < 100000000) t.Args[n] = t.Args[n] * 10 + (c - '0');
    } else if (c == ',') {
      ++n;
    } else if (c == ')') {
      break;
    }
  }
  return t;
}

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool Contains(std::string_view s, std::string_view part) {
  return s.find(part) != std::string_view::npos;
}

// 0 when the type declares no length (TEXT, VARCHAR): the field is then unbounded.
int StringSize(const TDeclaredType& t) {
  return t.Args[0] > 0 ? t.Args[0] : 0;
}

}  // namespace

bool FieldDefFromDeclaredType(std::string_view decl, TFieldDef& def) {
  TDeclaredType t = ParseDeclaredType(decl);
  const std::string& n = t.Name;
  if (n.empty()) return false;
  TFieldType type = ftUnknown;
  int size = 0, precision = 0;
  if (Contains(n, "BOOL") || n == "BIT" || n == "LOGICAL") {
    type = ftBoolean;
  } else if (StartsWith(n, "DATETIME") || StartsWith(n, "TIMESTAMP") || n == "SMALLDATETIME") {
    type = ftDateTime;
  } else if (n == "DATE") {
    type = ftDate;
  } else if (StartsWith(n, "TIME")) {
    type = ftTime;
  } else if (Contains(n, "MONEY") || n == "CURRENCY") {
    type = ftCurrency;
  } else if (n == "NUMERIC" || n == "DECIMAL" || n == "NUMBER") {
    // With its digits declared it is a packed decimal; a bare NUMERIC holds whatever number
    // SQLite stored, which is a float at best.
    if (t.Args[0] > 0) {
      type = ftBCD;
      precision = t.Args[0];
      size = t.Args[1] > 0 ? t.Args[1] : 0;
    } else {
      type = ftFloat;
    }
  } else if (n == "REAL" || StartsWith(n, "FLOAT") || StartsWith(n, "DOUBLE")) {
    type = ftFloat;
  } else if (n == "TINYINT" || n == "SMALLINT" || n == "INT2") {
    type = ftSmallint;
  } else if (n == "MEDIUMINT" || n == "INT4") {
    type = ftInteger;
  } else if (n == "INT" || n == "INTEGER" || n == "BIGINT" || n == "INT8" || EndsWith(n, " INT") ||
             EndsWith(n, " INTEGER") || Contains(n, "SERIAL")) {
    // INTEGER and INT too: SQLite keeps every integer in 64 bits, and a 32-bit field would
    // turn larger values into 0 wherever an exporter reads the text back as a number.
    type = ftLargeint;
  } else if (n == "TEXT" || n == "TINYTEXT" || n == "STRING" || Contains(n, "CHAR")) {
    type = ftString;
    size = StringSize(t);
  } else if (Contains(n, "CLOB") || Contains(n, "MEMO") || n == "LONGTEXT" || n == "MEDIUMTEXT" ||
             n == "NTEXT") {
    type = ftMemo;
  } else if (Contains(n, "BLOB") || Contains(n, "BINARY") || n == "BYTEA" || n == "IMAGE") {
    type = ftBlob;
  } else if (n == "GRAPHIC") {
    type = ftGraphic;
  } else {
    return false;
  }
  std::string name = std::move(def.Name);
  def = MakeFieldDef(std::move(name), type, size, precision);
  return true;
}

}  // namespace morvale
