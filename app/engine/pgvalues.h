// PostgreSQL's values as cells, shared by the two readers of a result: the binary COPY stream and
// the extended protocol. Both get the same binary forms of a value, so one decoder serves both and
// a query gives the same cells whichever way it was read. A result with a column of a type the
// binary decoder does not know is read in the server's texts instead (ReadPgText).
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <string>

#include "app/engine/fielddefs.h"
#include "app/engine/rowwindow.h"

namespace morvale {

// True when ReadPgBinary decodes the type's binary form.
bool PgDecodesBinary(Oid type);

// One value in the type's binary form (len bytes at p) into the cell. Texts go through scratch.
void ReadPgBinary(Oid type, const char* p, int32_t len, TCell& cell, TRowWindow& window,
                  std::string& scratch);

// One value of the type in the server's text into the cell of a field of fieldType: the cell
// ReadPgBinary gives for the types it decodes, else the text with bytea's hex form decoded, an
// amount without its currency sign, a time's zone offset dropped.
void ReadPgText(Oid type, TFieldType fieldType, const char* p, size_t len, TCell& cell,
                TRowWindow& window, std::string& scratch);

// The field of a column of the type, with the length and precision its type modifier gives.
TFieldDef PgFieldDef(const std::string& name, Oid type, int size, int modifier);
// The field of column i of a result or a statement's description.
TFieldDef PgColumnDef(const PGresult* r, int i);

// A failure as the server words it, with its SQL state after it (as users have always seen it).
std::string PgErrorText(const PGresult* r, PGconn* pg);

// True when the server writes a float as the shortest text that reads back as the same number
// (extra_float_digits above 0, the default since PostgreSQL 12): the number the binary form
// gives is then the one its text gives.
bool PgShortestFloats(PGconn* pg);

}  // namespace morvale
