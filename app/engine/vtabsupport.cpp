#include "app/engine/vtabsupport.h"

namespace morvale {

std::string UnquoteModuleArgument(const char* arg) {
  std::string s = arg ? arg : "";
  if (s.size() < 2 || s.front() != '\'' || s.back() != '\'') return s;
  std::string r;
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    r += s[i];
    if (s[i] == '\'' && s[i + 1] == '\'') ++i;
  }
  return r;
}

void SetVTabError(sqlite3_vtab* vtab, const char* message) {
  sqlite3_free(vtab->zErrMsg);
  vtab->zErrMsg = sqlite3_mprintf("%s", message);
}

int ConnectFailure(char** error, const char* message) {
  *error = sqlite3_mprintf("%s", message);
  return SQLITE_ERROR;
}

int DeclareVTabSchema(sqlite3* db, const std::string& columns, char** error) {
  const std::string schema = "CREATE TABLE x(" + columns + ")";
  const int rc = sqlite3_declare_vtab(db, schema.c_str());
  if (rc != SQLITE_OK) *error = sqlite3_mprintf("%s", sqlite3_errmsg(db));
  return rc;
}

}  // namespace morvale
