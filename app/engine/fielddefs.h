// What a driver knows about one result column before any field exists: its name, type code and
// sizes. Every driver maps its own column types onto these, so that the same table gives the same
// fields whichever engine holds it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/core/dataset.h"

namespace morvale {

struct TFieldDef {
  std::string Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;            // characters of a string, decimals of a BCD number, else 0
  int Precision = 0;       // digits of a BCD number
  int DataSize = 0;        // bytes of one value in a record buffer
  int DisplayWidth = 0;    // characters
  bool Unbounded = false;  // a string whose type sets no length (TEXT): Size is only a default
};

using TFieldDefs = std::vector<TFieldDef>;

// Size of a string column whose type declares none (TEXT, VARCHAR without a length).
constexpr int kDefaultStringSize = 255;
// The widest a string field is shown by default, in characters.
constexpr int kMaxStringDisplayWidth = 64;

// Fills DataSize and DisplayWidth from DataType and Size the way the grid and the exporters
// expect them (a string shows its declared size, a date-time 18 characters).
void SetDefaultSizes(TFieldDef& def);

// A string type given no size (0 or less) is one whose type sets no length: it gets
// kDefaultStringSize and is marked Unbounded.
TFieldDef MakeFieldDef(std::string name, TFieldType type, int size = 0, int precision = 0);

// A declared SQL column type ("VARCHAR(40)", "NUMERIC(10,2)", "DOUBLE PRECISION") split into its
// upper-cased name and its numeric arguments.
struct TDeclaredType {
  std::string Name;        // "VARCHAR", "DOUBLE PRECISION"
  int Args[2] = {-1, -1};  // -1 where absent
};
TDeclaredType ParseDeclaredType(std::string_view decl);

// The field type of a declared SQLite column type; false when the declaration says nothing the
// engine can use (no type, or a name of its own such as JSON), so that the caller goes by the
// values' storage class instead.
bool FieldDefFromDeclaredType(std::string_view decl, TFieldDef& def);

}  // namespace morvale
