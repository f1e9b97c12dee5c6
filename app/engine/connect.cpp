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

namespace {

// The query and the databases it reads, in a session of their own that ends with it.
class THeteroQuery : public TQuery {
 public:
  THeteroQuery() {
    static int counter = 0;
    session_ = std::make_unique<TSession>("~~morvale-hetero-" + std::to_string(++counter) + "~~");
    SessionName = session_->SessionName();
  }
  ~THeteroQuery() override {
    Close();
    databases_.clear();
  }
  TDatabase& Add(const std::string& name, const std::string& database) {
    auto db = std::make_unique<TDatabase>();
    db->SessionName = SessionName;
    db->DatabaseName = name;
    db->AliasName = database;
    databases_.push_back(std::move(db));
    return *databases_.back();
  }
  void Connect(TDatabase& db) {
    try {
      db.Open();
    } catch (const Exception& e) {
      // Named by its schema name alone: a URL may hold a password.
      throw Exception(Format("Cannot connect %s: %s", {db.DatabaseName, std::string(e.what())}));
    }
  }

 private:
  std::unique_ptr<TSession> session_;
  std::vector<std::unique_ptr<TDatabase>> databases_;
};

}  // namespace

std::string MainSchemaName(const std::string& database) {
  return TSession::Default().IsAlias(database) ? Trim(database) : std::string("DB");
}

std::unique_ptr<TDataSet> OpenQuery(const std::string& database, const TAttachments& attached,
                                    const std::string& sql, const TFormatSettings& fs) {
  auto query = std::make_unique<THeteroQuery>();
  query->SetFormatSettings(fs);
  TDatabase& main = query->Add(MainSchemaName(database), database);
  TDriverKind kind;
  TStringList params;
  main.Resolve(kind, params);
  if (kind != TDriverKind::Standard) {
    // The engine of the query reads no table files: the database comes first of the attached.
    TDatabase& engine = query->Add("~~engine~~", "");
    engine.DriverName = "STANDARD";
    engine.Params.Add("TABLE FILES=FALSE");
    query->Connect(main);
    query->DatabaseName = engine.DatabaseName;
  } else {
    query->DatabaseName = main.DatabaseName;
  }
  for (const auto& [name, db] : attached) query->Connect(query->Add(name, db));
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
