#include "app/engine/connect.h"

#include "app/engine/query.h"
#include "app/engine/session.h"

namespace morvale {

std::unique_ptr<TDataSet> OpenQuery(const std::string& database, const std::string& sql,
                                    const TFormatSettings& fs) {
  auto query = std::make_unique<TQuery>();
  query->SetFormatSettings(fs);
  query->DatabaseName = database;
  query->SQL.SetText(sql);
  query->Open();
  return query;
}

std::string TableQuery(const std::string& table) {
  return "SELECT *\nFROM " + table;
}

std::vector<std::string> AliasNames() {
  TStringList list;
  TSession::Default().GetAliasNames(list);
  return list.Lines();
}

std::vector<std::string> TableNames(const std::string& database, const std::string& pattern) {
  TStringList list;
  TSession::Default().GetTableNames(database, pattern.empty() ? "*.*" : pattern, false, false,
                                    list);
  return list.Lines();
}

}  // namespace morvale
