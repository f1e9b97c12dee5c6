#include <mysql.h>

#include <QSqlField>
#include <algorithm>

#include "app/engine/odbctypes.h"
#include "app/engine/qtconnection.h"

namespace morvale {

std::string OdbcTypeName(const QSqlField& f) {
  std::string len = std::to_string(f.length()), dec = std::to_string(std::max(0, f.precision()));
  switch (f.typeID()) {
    case odbc::kChar:
      return "CHAR(" + len + ")";
    case odbc::kNumeric:
      return "NUMERIC(" + len + "," + dec + ")";
    case odbc::kDecimal:
      return "DECIMAL(" + len + "," + dec + ")";
    case odbc::kInteger:
      return "INTEGER";
    case odbc::kSmallint:
      return "SMALLINT";
    case odbc::kFloat:
      return "FLOAT";
    case odbc::kReal:
      return "REAL";
    case odbc::kDouble:
      return "DOUBLE";
    case odbc::kDate:
    case odbc::kTypeDate:
      return "DATE";
    case odbc::kTime:
    case odbc::kTypeTime:
      return "TIME";
    case odbc::kTimestamp:
    case odbc::kTypeTimestamp:
      return "TIMESTAMP";
    case odbc::kVarchar:
      return "VARCHAR(" + len + ")";
    case odbc::kLongVarchar:
      return "LONGVARCHAR";
    case odbc::kBinary:
      return "BINARY(" + len + ")";
    case odbc::kVarBinary:
      return "VARBINARY(" + len + ")";
    case odbc::kLongVarBinary:
      return "LONGVARBINARY";
    case odbc::kBigint:
      return "BIGINT";
    case odbc::kTinyint:
      return "TINYINT";
    case odbc::kBit:
      return "BIT";
    case odbc::kWChar:
      return "WCHAR(" + len + ")";
    case odbc::kWVarchar:
      return "WVARCHAR(" + len + ")";
    case odbc::kWLongVarchar:
      return "WLONGVARCHAR";
    case odbc::kGuid:
      return "GUID";
    default:
      return QMetaType(f.metaType()).name();
  }
}

TFieldDef MySqlFieldDef(const std::string& name, int type, int length, int decimals, bool binary) {
  const int len = length, prec = decimals;
  auto str = [&](int size) { return MakeFieldDef(name, ftString, size); };
  auto bcd = [&](int digits, int scale) {
    if (digits <= 0) return MakeFieldDef(name, ftFloat);
    return MakeFieldDef(name, ftBCD, std::max(0, scale), digits);
  };
  switch (type) {
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
      return bcd(len > 2 ? len - (prec > 0 ? 2 : 1) : len, prec);  // sign, point
    case MYSQL_TYPE_TINY:
      return MakeFieldDef(name, len == 1 ? ftBoolean : ftSmallint);
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_YEAR:
      return MakeFieldDef(name, ftSmallint);
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
      return MakeFieldDef(name, ftInteger);
    case MYSQL_TYPE_LONGLONG:
      return MakeFieldDef(name, ftLargeint);
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
      return MakeFieldDef(name, ftFloat);
    case MYSQL_TYPE_TIMESTAMP:
    case MYSQL_TYPE_DATETIME:
      return MakeFieldDef(name, ftDateTime);
    case MYSQL_TYPE_DATE:
      return MakeFieldDef(name, ftDate);
    case MYSQL_TYPE_TIME:
      return MakeFieldDef(name, ftTime);
    case MYSQL_TYPE_BIT:
      return MakeFieldDef(name, len == 1 ? ftBoolean : ftLargeint);
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
      // TEXT and BLOB types; the length says which (TINYTEXT and TEXT stay strings).
      if (binary) return MakeFieldDef(name, ftBlob);
      if (len > 65535 * 4) return MakeFieldDef(name, ftMemo);
      return str(0);
    default:
      if (binary) return MakeFieldDef(name, ftBlob);
      // The server counts bytes of its UTF-8 (four a character).
      return str(len > 0 ? std::max(1, len / 4) : 0);
  }
}

TFieldDef QtFieldDef(TDriverKind kind, const QSqlField& f) {
  std::string name = f.name().toStdString();
  const int id = f.typeID(), len = f.length(), prec = f.precision();
  const int meta = f.metaType().id();
  auto str = [&](int size) { return MakeFieldDef(name, ftString, size); };
  auto bcd = [&](int digits, int scale) {
    if (digits <= 0) return MakeFieldDef(name, ftFloat);  // NUMERIC without digits: any number
    return MakeFieldDef(name, ftBCD, std::max(0, scale), digits);
  };
  if (kind == TDriverKind::MySql)
    return MySqlFieldDef(name, id, len, prec, meta == QMetaType::QByteArray);
  // ODBC: the SQL type codes of the ODBC standard.
  switch (id) {
    case odbc::kChar:
    case odbc::kVarchar:
    case odbc::kWChar:
    case odbc::kWVarchar:
      return str(len);
    case odbc::kLongVarchar:
    case odbc::kWLongVarchar:
      return MakeFieldDef(name, ftMemo);
    case odbc::kNumeric:
    case odbc::kDecimal:
      return bcd(len, prec);
    case odbc::kInteger:
      return MakeFieldDef(name, ftInteger);
    case odbc::kSmallint:
    case odbc::kTinyint:
      return MakeFieldDef(name, ftSmallint);
    case odbc::kBigint:
      return MakeFieldDef(name, ftLargeint);
    case odbc::kFloat:
    case odbc::kReal:
    case odbc::kDouble:
      return MakeFieldDef(name, ftFloat);
    case odbc::kDate:
    case odbc::kTypeDate:
      return MakeFieldDef(name, ftDate);
    case odbc::kTime:
    case odbc::kTypeTime:
      return MakeFieldDef(name, ftTime);
    case odbc::kTimestamp:
    case odbc::kTypeTimestamp:
      return MakeFieldDef(name, ftDateTime);
    case odbc::kBit:
      return MakeFieldDef(name, ftBoolean);
    case odbc::kBinary:
    case odbc::kVarBinary:
    case odbc::kLongVarBinary:
      return MakeFieldDef(name, ftBlob);
    case odbc::kGuid:
      return str(38);
    default:
      break;
  }
  switch (meta) {
    case QMetaType::Bool:
      return MakeFieldDef(name, ftBoolean);
    case QMetaType::Int:
    case QMetaType::UInt:
      return MakeFieldDef(name, ftInteger);
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      return MakeFieldDef(name, ftLargeint);
    case QMetaType::Double:
      return MakeFieldDef(name, ftFloat);
    case QMetaType::QDate:
      return MakeFieldDef(name, ftDate);
    case QMetaType::QTime:
      return MakeFieldDef(name, ftTime);
    case QMetaType::QDateTime:
      return MakeFieldDef(name, ftDateTime);
    case QMetaType::QByteArray:
      return MakeFieldDef(name, ftBlob);
    default:
      return str(len);
  }
}
}  // namespace morvale
