#include <QSqlField>
#include <algorithm>

#include "app/engine/qtconnection.h"

namespace morvale {

std::string OdbcTypeName(const QSqlField& f) {
  std::string len = std::to_string(f.length()), dec = std::to_string(std::max(0, f.precision()));
  switch (f.typeID()) {
    case 1:
      return "CHAR(" + len + ")";
    case 2:
      return "NUMERIC(" + len + "," + dec + ")";
    case 3:
      return "DECIMAL(" + len + "," + dec + ")";
    case 4:
      return "INTEGER";
    case 5:
      return "SMALLINT";
    case 6:
      return "FLOAT";
    case 7:
      return "REAL";
    case 8:
      return "DOUBLE";
    case 9:
    case 91:
      return "DATE";
    case 10:
    case 92:
      return "TIME";
    case 11:
    case 93:
      return "TIMESTAMP";
    case 12:
      return "VARCHAR(" + len + ")";
    case -1:
      return "LONGVARCHAR";
    case -2:
      return "BINARY(" + len + ")";
    case -3:
      return "VARBINARY(" + len + ")";
    case -4:
      return "LONGVARBINARY";
    case -5:
      return "BIGINT";
    case -6:
      return "TINYINT";
    case -7:
      return "BIT";
    case -8:
      return "WCHAR(" + len + ")";
    case -9:
      return "WVARCHAR(" + len + ")";
    case -10:
      return "WLONGVARCHAR";
    case -11:
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
    case 0:
    case 246:
      return bcd(len > 2 ? len - (prec > 0 ? 2 : 1) : len, prec);  // sign, point
    case 1:
      return MakeFieldDef(name, len == 1 ? ftBoolean : ftSmallint);
    case 2:
    case 13:
      return MakeFieldDef(name, ftSmallint);
    case 3:
    case 9:
      return MakeFieldDef(name, ftInteger);
    case 8:
      return MakeFieldDef(name, ftLargeint);
    case 4:
    case 5:
      return MakeFieldDef(name, ftFloat);
    case 7:
    case 12:
      return MakeFieldDef(name, ftDateTime);
    case 10:
      return MakeFieldDef(name, ftDate);
    case 11:
      return MakeFieldDef(name, ftTime);
    case 16:
      return MakeFieldDef(name, len == 1 ? ftBoolean : ftLargeint);
    case 249:
    case 250:
    case 251:
    case 252:
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
  if (kind == TDriverKind::PostgreSql) {
    switch (id) {
      case 16:
        return MakeFieldDef(name, ftBoolean);
      case 17:
        return MakeFieldDef(name, ftBlob);
      case 18:
        return str(1);
      case 19:
        return str(63);
      case 20:
        return MakeFieldDef(name, ftLargeint);
      case 21:
        return MakeFieldDef(name, ftSmallint);
      case 23:
        return MakeFieldDef(name, ftInteger);
      case 26:
        return MakeFieldDef(name, ftLargeint);  // oid is unsigned 32-bit
      case 700:
      case 701:
        return MakeFieldDef(name, ftFloat);
      case 790:
        return MakeFieldDef(name, ftCurrency);
      case 1042:
      case 1043:
        return str(len);
      case 1082:
        return MakeFieldDef(name, ftDate);
      case 1083:
      case 1266:
        return MakeFieldDef(name, ftTime);
      case 1114:
      case 1184:
        return MakeFieldDef(name, ftDateTime);
      case 1700:
        return bcd(len, prec);
      case 2950:
        return str(36);
      default:
        return str(0);  // text, json, xml, arrays...: shown as text
    }
  }
  if (kind == TDriverKind::MySql)
    return MySqlFieldDef(name, id, len, prec, meta == QMetaType::QByteArray);
  // ODBC: the SQL type codes of the ODBC standard.
  switch (id) {
    case 1:
    case 12:
    case -8:
    case -9:
      return str(len);
    case -1:
    case -10:
      return MakeFieldDef(name, ftMemo);
    case 2:
    case 3:
      return bcd(len, prec);
    case 4:
      return MakeFieldDef(name, ftInteger);
    case 5:
    case -6:
      return MakeFieldDef(name, ftSmallint);
    case -5:
      return MakeFieldDef(name, ftLargeint);
    case 6:
    case 7:
    case 8:
      return MakeFieldDef(name, ftFloat);
    case 9:
    case 91:
      return MakeFieldDef(name, ftDate);
    case 10:
    case 92:
      return MakeFieldDef(name, ftTime);
    case 11:
    case 93:
      return MakeFieldDef(name, ftDateTime);
    case -7:
      return MakeFieldDef(name, ftBoolean);
    case -2:
    case -3:
    case -4:
      return MakeFieldDef(name, ftBlob);
    case -11:
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
