// The type codes of PostgreSQL's pg_type catalogue that the engine tells apart. They are fixed for
// the built-in types (the server's own catalogue header assigns them), so both the Qt driver's
// column descriptions and the binary COPY reader name them from here.
#pragma once

namespace morvale::pg {

enum TTypeOid : unsigned {
  kBool = 16,
  kBytea = 17,
  kChar = 18,  // "char": one byte
  kName = 19,
  kInt8 = 20,
  kInt2 = 21,
  kInt4 = 23,
  kText = 25,
  kOid = 26,
  kFloat4 = 700,
  kFloat8 = 701,
  kMoney = 790,
  kBpchar = 1042,
  kVarchar = 1043,
  kDate = 1082,
  kTime = 1083,
  kTimestamp = 1114,
  kTimestampTz = 1184,
  kTimeTz = 1266,
  kNumeric = 1700,
  kUuid = 2950,
};

}  // namespace morvale::pg
