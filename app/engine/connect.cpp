#include "app/engine/connect.h"

#include "app/engine/query.h"
#include "app/engine/remotevtab.h"
#include "app/engine/session.h"
#include "app/engine/sqltext.h"
#include "export/core/translate.h"

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
      throw Exception(Format(TranslateText("Engine", "Cannot connect %s: %s"),
                             {db.DatabaseName, std::string(e.what())}));
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

namespace {

// The table list's spelling of a typed name: the same, else the only one equal without regard to
// case.
bool FindListedTable(TConnection& connection, const std::string& typed, std::string& listed) {
  TStringList names;
  connection.GetTableNames("*.*", false, false, names);
  int found = 0;
  std::string other;
  for (const std::string& name : names) {
    if (name == typed) {
      listed = name;
      return true;
    }
    if (SameText(name, typed)) ++found, other = name;
  }
  if (found == 1) listed = other;
  return found == 1;
}

// A reference written in SQL: quoted, or dotted ("sales.orders", "orders.dbf").
bool IsWrittenReference(const std::string& typed) {
  TSqlNameParts parts = ReadTableReference(typed);
  return parts.size() > 1 || (parts.size() == 1 && parts[0].Quoted);
}

}  // namespace

std::string TableReferenceIn(TConnection& connection, const std::string& typed) {
  std::string listed;
  if (FindListedTable(connection, typed, listed)) return connection.TableReference(listed);
  if (IsWrittenReference(typed)) return Trim(typed);
  return connection.TableReference(typed);
}

std::string SortClause(TConnection& connection, const std::string& reference,
                       std::string_view sort) {
  // The fields as a query of the table spells them, which is how the grid shows them to the
  // person who types the sort text. A table that cannot be read keeps the text as typed: the
  // query itself then says why.
  std::vector<std::string> fields;
  try {
    std::unique_ptr<TCursor> cursor =
        connection.OpenCursor("SELECT * FROM " + reference + " WHERE 1 = 0");
    cursor->Execute();
    for (const TFieldDef& f : cursor->Describe(cursor->Step())) fields.push_back(f.Name);
  } catch (const Exception&) {
  }
  return QuoteSortNames(sort, connection.NameDialect(), fields,
                        [&connection](const std::string& f) { return connection.SqlNameOf(f); });
}

std::string TableQuery(const std::string& database, const std::string& table,
                       bool acrossDatabases) {
  TDatabase& db = TSession::Default().OpenDatabase(database);
  TConnection& connection = db.Connection();
  if (!acrossDatabases || !IsServerDriver(db.Kind()))
    return "SELECT *\nFROM " + TableReferenceIn(connection, table);
  // The query runs on SQLite, which hands a quoted table name to the server as it is spelled and
  // a bare one as the server's SQL would read it.
  std::string name;
  if (!FindListedTable(connection, table, name) && IsWrittenReference(table))
    return "SELECT *\nFROM " + SqlName(kSqlite, MainSchemaName(database)) + "." + Trim(table);
  if (name.empty()) name = table;
  const bool quote = SqlNameNeedsQuotes(kSqlite, name) || connection.SqlNameOf(name) != name;
  return "SELECT *\nFROM " + SqlName(kSqlite, MainSchemaName(database)) + "." +
         (quote ? QuoteSqlIdentifier(kSqlite, name) : name);
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
