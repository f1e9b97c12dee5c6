// The SQL data type codes of the ODBC standard that the engine tells apart, as an ODBC driver
// reports them for a column (the Qt ODBC driver passes them on as the field's type id). Spelled
// out here so that the engine does not need an ODBC manager's headers to build.
#pragma once

namespace morvale::odbc {

enum TSqlType : int {
  kChar = 1,
  kNumeric = 2,
  kDecimal = 3,
  kInteger = 4,
  kSmallint = 5,
  kFloat = 6,
  kReal = 7,
  kDouble = 8,
  kDate = 9,        // the ODBC 2 codes of the three
  kTime = 10,       // date and time types, which older
  kTimestamp = 11,  // drivers still report
  kVarchar = 12,
  kTypeDate = 91,
  kTypeTime = 92,
  kTypeTimestamp = 93,
  kLongVarchar = -1,
  kBinary = -2,
  kVarBinary = -3,
  kLongVarBinary = -4,
  kBigint = -5,
  kTinyint = -6,
  kBit = -7,
  kWChar = -8,
  kWVarchar = -9,
  kWLongVarchar = -10,
  kGuid = -11,
};

}  // namespace morvale::odbc
