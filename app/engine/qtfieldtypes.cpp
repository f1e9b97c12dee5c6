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

TFieldDef QtFieldDef(TDriverKind, const QSqlField& f) {
  std::string name = f.name().toStdString();
  const int id = f.typeID(), len = f.length(), prec = f.precision();
  const int meta = f.metaType().id();
  auto str = [&](int size) { return MakeFieldDef(name, ftString, size); };
  auto bcd = [&](int digits, int scale) {
    if (digits <= 0) return MakeFieldDef(name, ftFloat);  // NUMERIC without digits: any number
    return MakeFieldDef(name, ftBCD, std::max(0, scale), digits);
  };
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
