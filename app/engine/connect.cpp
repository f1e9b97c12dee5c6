#include "app/engine/connect.h"

#include "app/engine/cursordataset.h"
#include "app/engine/sqlitecursor.h"
#include "app/engine/sqlitedb.h"

namespace morvale {

namespace {

bool StartsWith(const std::string& s, std::string_view prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::unique_ptr<TDataSet> OpenQuery(const std::string& database, const std::string& sql,
                                    const TFormatSettings& fs) {
  auto dataset = std::make_unique<TCursorDataSet>();
  dataset->SetFormatSettings(fs);
  if (StartsWith(database, "sqlite:")) {
    auto db = TSqliteDatabase::OpenReadOnly(database.substr(7));
    dataset->OpenCursor(std::make_unique<TSqliteCursor>(db, sql));
    return dataset;
  }
  throw Exception(Format("Unknown database \"%s\"", {database}));
}

std::string TableQuery(const std::string& table) {
  return "SELECT *\nFROM " + table;
}

}  // namespace morvale
