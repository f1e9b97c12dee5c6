#include "app/engine/sqliteconnection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "app/engine/catalogue.h"
#include "app/engine/dbfvtab.h"
#include "app/engine/fielddefs.h"
#include "app/engine/sqlitecursor.h"
#include "app/engine/sqlitedb.h"
#include "app/engine/sqltext.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

// True when the statement gives at least one row.
bool HasRows(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return false;
  bool row = sqlite3_step(stmt) == SQLITE_ROW;
  sqlite3_finalize(stmt);
  return row;
}

// A table as the table-valued pragmas take it: its name, and its schema when it was written as
// schema.table.
struct TTableRef {
  std::string table, schema;
  std::string Args() const {
    return QuoteSqlString(table) + (schema.empty() ? "" : ", " + QuoteSqlString(schema));
  }
  std::string SchemaArg() const { return schema.empty() ? "" : ", " + QuoteSqlString(schema); }
};

// The whole reference first (a table file's name, "orders.dbf"), then schema and table: as the
// command wrote them ("my db"."a.b"), else split at the first dot.
TTableRef LocateTable(sqlite3* db, const std::string& reference, const TSqlNameParts& parts) {
  TTableRef ref{reference, {}};
  if (HasRows(db, "SELECT 1 FROM pragma_table_info(" + ref.Args() + ")")) return ref;
  size_t dot = reference.find('.');
  if (parts.size() == 2)
    ref = TTableRef{parts[1].Name, parts[0].Name};
  else if (dot != std::string::npos)
    ref = TTableRef{reference.substr(dot + 1), reference.substr(0, dot)};
  if (!ref.schema.empty() && HasRows(db, "SELECT 1 FROM pragma_table_info(" + ref.Args() + ")"))
    return ref;
  throw Exception("no such table: " + reference);
}

std::string FieldsSql(const TTableRef& ref) {
  return "SELECT name AS \"Field\", type AS \"Type\","
         " CASE WHEN \"notnull\" THEN 'NO' ELSE 'YES' END AS \"Null\","
         " CASE WHEN pk > 0 THEN 'PRI' ELSE '' END AS \"Key\","
         " dflt_value AS \"Default\", '' AS \"Extra\""
         " FROM pragma_table_info(" +
         ref.Args() + ") ORDER BY cid";
}

std::string IndexSql(const std::string& reference, const TTableRef& ref) {
  const std::string t = QuoteSqlString(reference), args = ref.Args();
  return "SELECT " + t +
         " AS \"Table\", CASE WHEN il.\"unique\" THEN 0 ELSE 1 END AS \"Non_unique\","
         " CASE WHEN il.origin = 'pk' THEN 'PRIMARY' ELSE il.name END AS \"Key_name\","
         " ii.seqno + 1 AS \"Seq_in_index\", ii.name AS \"Column_name\", 'A' AS \"Collation\","
         " NULL AS \"Cardinality\", NULL AS \"Sub_part\", NULL AS \"Packed\","
         " (SELECT CASE WHEN \"notnull\" THEN '' ELSE 'YES' END FROM pragma_table_info(" +
         args +
         ") AS c WHERE c.name = ii.name) AS \"Null\", 'BTREE' AS \"Index_type\", '' AS \"Comment\""
         " FROM pragma_index_list(" +
         args + ") AS il, pragma_index_info(il.name" + ref.SchemaArg() +
         ") AS ii"
         // A rowid primary key has no index of its own but is the table's primary key.
         " UNION ALL SELECT " +
         t +
         ", 0, 'PRIMARY', ti.pk, ti.name, 'A', NULL, NULL, NULL, '', 'BTREE', ''"
         " FROM pragma_table_info(" +
         args + ") AS ti WHERE ti.pk > 0 AND NOT EXISTS (SELECT 1 FROM pragma_index_list(" + args +
         ") WHERE origin = 'pk') ORDER BY 3, 4";
}

void SortNames(TStringList& list) {
  std::vector<std::string> v(list.begin(), list.end());
  std::sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) {
    return LowerCaseAscii(a) < LowerCaseAscii(b);
  });
  list.Clear();
  for (auto& s : v) list.Add(std::move(s));
}

// ":ALIAS:table" into ALIAS and table.
bool SplitAliasTable(const std::string& name, std::string& schema, std::string& table) {
  if (name.size() <= 2 || name[0] != ':') return false;
  size_t colon = name.find(':', 1);
  if (colon == std::string::npos || colon == 1 || colon + 1 >= name.size()) return false;
  schema = name.substr(1, colon - 1);
  table = name.substr(colon + 1);
  return true;
}

bool EndsWithDbf(const std::string& path) {
  return path.size() > 4 && SameText(std::string_view(path).substr(path.size() - 4), ".dbf");
}

bool IsRegularFile(const std::string& path, struct stat& st) {
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// dBASE numbers without decimals are the integer types their width allows. Twenty digits is the
// width written for 64-bit integers: as floating point their last digits beyond 2^53 would change,
// and a value too large for 64 bits still arrives, as a float.
bool DbfDeclaredType(std::string_view decl, TFieldDef& def) {
  TDeclaredType t = ParseDeclaredType(decl);
  if (t.Name != "NUMERIC" || t.Args[0] <= 0) return FieldDefFromDeclaredType(decl, def);
  int width = t.Args[0], decimals = std::max(0, t.Args[1]);
  TFieldType type = ftFloat;
  if (decimals == 0)
    type = width < 5 ? ftSmallint : width < 10 ? ftInteger : width <= 20 ? ftLargeint : ftFloat;
  def = MakeFieldDef(std::move(def.Name), type);
  return true;
}

std::string UriPath(const std::string& path) {
  std::string r = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
      r += buf;
    } else {
      r += c;
    }
  }
  return r + "?mode=ro";
}

}  // namespace

std::unique_ptr<TCursor> TSqliteConnection::MakeCursor(const std::string& sql) {
  return std::make_unique<TSqliteCursor>(db_, sql);
}

std::unique_ptr<TCursor> TSqliteConnection::OpenCursor(const std::string& sql) {
  TSqlCommand cmd = ParseSqlCommand(sql);
  std::unique_ptr<TCursor> cursor = OpenCommand(cmd, sql);
  return cmd.Kind == TSqlCommandKind::Query ? std::move(cursor)
                                            : CatalogueCursor(std::move(cursor));
}

std::unique_ptr<TCursor> TSqliteConnection::OpenCommand(TSqlCommand& cmd, const std::string& sql) {
  switch (cmd.Kind) {
    case TSqlCommandKind::Query:
      return MakeCursor(Prepare(sql));
    case TSqlCommandKind::ShowFields: {
      ResolveTable(cmd);
      return MakeCursor(FieldsSql(LocateTable(db_->Handle(), cmd.Table, cmd.TableParts)));
    }
    case TSqlCommandKind::ShowIndex: {
      ResolveTable(cmd);
      TTableRef ref = LocateTable(db_->Handle(), cmd.Table, cmd.TableParts);
      return MakeCursor(IndexSql(cmd.Table, ref));
    }
    case TSqlCommandKind::ShowTables: {
      TStringList names;
      GetTableNames("*.*", true, false, names);
      return TableListCursor(names);
    }
  }
  return nullptr;
}

void TSqliteConnection::GetTableNames(const std::string& pattern, bool, bool systemTables,
                                      TStringList& out) {
  out.Clear();
  TSqliteCursor cursor(
      db_, "SELECT name FROM sqlite_schema WHERE type IN ('table', 'view') ORDER BY name");
  cursor.Execute();
  TRowWindow window;
  bool row = cursor.Step();
  cursor.Describe(row);
  for (; row; row = cursor.Step()) {
    window.Reset(1, 0);
    cursor.ReadRow(window);
    std::string name(window.Bytes(window.At(0, 0)));
    if (!systemTables && SameText(std::string_view(name).substr(0, 7), "sqlite_")) continue;
    if (MatchesTablePattern(name, pattern)) out.Add(name);
  }
  SortNames(out);
}

TFolderConnection::TFolderConnection(std::string folder, bool tableFiles)
    : TSqliteConnection(TSqliteDatabase::OpenMemory()),
      folder_(std::move(folder)),
      tableFiles_(tableFiles),
      remote_(std::make_shared<TRemoteSources>()) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
  RegisterDbfModule(db_->Handle());
  RegisterRemoteModule(db_->Handle(), remote_);
}

std::unique_ptr<TCursor> TFolderConnection::MakeCursor(const std::string& sql) {
  std::unique_ptr<TSqliteCursor> cursor;
  try {
    cursor = std::make_unique<TSqliteCursor>(db_, sql);
  } catch (const Exception& e) {
    throw Exception(Explain(e.what()));
  }
  std::set<std::string> files;  // attached SQLite databases, by lower-case name
  for (const auto& [key, a] : attached_)
    if (a.kind == TDriverKind::Sqlite) files.insert(key);
  cursor->DeclaredTypeMapper = [files](const char* schema, std::string_view decl, TFieldDef& def) {
    // A column of an attached SQLite database reads as it does in that database itself.
    if (schema && files.count(LowerCaseAscii(schema))) return FieldDefFromDeclaredType(decl, def);
    return DbfDeclaredType(decl, def);
  };
  return cursor;
}

std::string TFolderConnection::TableFileIn(const std::string& folder, const std::string& name) {
  if (name.empty()) return {};
  std::string base = name[0] == '/' ? name : folder + name;
  struct stat st;
  for (const std::string& p : {base, base + ".dbf", base + ".DBF"})
    if (EndsWithDbf(p) && IsRegularFile(p, st)) return p;
  if (name[0] == '/' || name.find('/') != std::string::npos) return {};
  // Table names are not case-sensitive, and table files are often named in capitals.
  std::error_code ec;
  std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string file = it->path().filename().string();
    if (EndsWithDbf(file) && (SameText(file, name) || SameText(file, name + ".dbf")) &&
        IsRegularFile(folder + file, st))
      return folder + file;
  }
  return {};
}

void TFolderConnection::Register(const std::string& name, const std::string& path) {
  struct stat st;
  if (!IsRegularFile(path, st)) return;
  // SQLite compares table names without regard to case, so the map does too.
  const std::string key = LowerCaseAscii(name);
  const TRegistered now{path, static_cast<int64_t>(st.st_size),
                        static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                        static_cast<int64_t>(st.st_ino)};
  auto it = tables_.find(key);
  if (it != tables_.end()) {
    const TRegistered& r = it->second;
    if (r.path == now.path && r.size == now.size && r.mtime == now.mtime && r.inode == now.inode)
      return;
    // Another file, or the file changed since: read its header again (unless a cursor still
    // reads the old one).
    sqlite3_exec(db_->Handle(), ("DROP TABLE temp." + QuoteSqlIdentifier(kSqlite, name)).c_str(),
                 nullptr, nullptr, nullptr);
    if (HasRows(db_->Handle(), "SELECT 1 FROM temp.sqlite_schema WHERE name = " +
                                   QuoteSqlString(name) + " COLLATE NOCASE"))
      return;
    tables_.erase(it);
  }
  db_->Exec(DbfTableStatement(name, path));
  tables_[key] = now;
}

void TFolderConnection::AttachDatabases() {
  if (!AttachedDatabases) return;
  TAttachedList now = AttachedDatabases();
  auto detach = [&](std::map<std::string, TAttached>::iterator it) {
    // A schema still read by an open statement stays until a later query finds it free.
    if (sqlite3_exec(db_->Handle(),
                     ("DETACH " + QuoteSqlIdentifier(kSqlite, it->second.name)).c_str(), nullptr,
                     nullptr, nullptr) != SQLITE_OK)
      return false;
    remote_->Remove(it->second.name);
    attached_.erase(it);
    return true;
  };
  for (auto it = attached_.begin(); it != attached_.end();) {
    auto next = std::next(it);
    bool kept = std::any_of(now.begin(), now.end(), [&](const TAttachedDatabase& d) {
      return SameText(d.Name, it->second.name) && d.Kind == it->second.kind &&
             (IsServerDriver(d.Kind) || d.Path == it->second.path);
    });
    if (!kept) detach(it);
    it = next;
  }
  failures_.clear();
  attachFailures_.clear();
  for (const TAttachedDatabase& d : now) {
    const std::string key = LowerCaseAscii(d.Name);
    if (IsServerDriver(d.Kind)) remote_->Set(d.Name, {d.Kind, d.Connection});
    if (attached_.count(key)) continue;
    // A SQLite file is read as it is; the tables of the others live in an empty schema of
    // their own, made as statements name them.
    const std::string file = d.Kind == TDriverKind::Sqlite ? UriPath(d.Path) : ":memory:";
    // A database that cannot be attached just stays out of reach: its tables are then unknown
    // names, which the query reports itself.
    int rc = sqlite3_exec(
        db_->Handle(),
        ("ATTACH " + QuoteSqlString(file) + " AS " + QuoteSqlIdentifier(kSqlite, d.Name)).c_str(),
        nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
      attached_[key] = TAttached{d.Name, d.Kind, d.Path, {}};
    else
      attachFailures_[key] = sqlite3_errmsg(db_->Handle());
  }
}

bool TFolderConnection::RegisterAttached(const std::string& schema, const std::string& table,
                                         bool quoted) {
  auto it = attached_.find(LowerCaseAscii(schema));
  if (it == attached_.end() || it->second.kind == TDriverKind::Sqlite) return true;
  TAttached& a = it->second;
  const std::string key = LowerCaseAscii(table);
  if (a.tables.count(key)) return true;
  std::string statement;
  if (a.kind == TDriverKind::Standard) {
    std::string path = TableFileIn(a.path, table);
    if (path.empty()) {
      failures_[LowerCaseAscii(schema + "." + table)] = Format(
          TranslateText("Engine", "в папке \"%s\" нет файла таблицы \"%s\""), {a.path, table});
      return false;
    }
    statement = "CREATE VIRTUAL TABLE " + QuoteSqlIdentifier(kSqlite, a.name) + "." +
                QuoteSqlIdentifier(kSqlite, table) + " USING dbf(" + QuoteSqlString(path) + ")";
  } else {
    // A name written bare reaches the server bare, so that it folds its case as it always does;
    // a quoted one is quoted for the server, each part of "schema.table" on its own.
    std::string serverTable;
    if (!quoted) {
      serverTable = table;
    } else {
      size_t start = 0;
      for (size_t dot; (dot = table.find('.', start)) != std::string::npos; start = dot + 1)
        serverTable +=
            QuoteSqlIdentifier(NameDialectOf(a.kind), table.substr(start, dot - start)) + ".";
      serverTable += QuoteSqlIdentifier(NameDialectOf(a.kind), table.substr(start));
    }
    statement = RemoteTableStatement(a.name, table, serverTable);
  }
  char* error = nullptr;
  if (sqlite3_exec(db_->Handle(), statement.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    failures_[LowerCaseAscii(schema + "." + table)] = error ? error : sqlite3_errmsg(db_->Handle());
    sqlite3_free(error);
    return false;
  }
  a.tables.insert(key);
  return true;
}

std::string TFolderConnection::NotConnected(const std::string& schema) const {
  std::string names;
  for (const auto& [key, a] : attached_) names += (names.empty() ? "" : ", ") + a.name;
  return Format(TranslateText("Engine", "база данных '%s' не подключена"), {schema}) +
         (names.empty() ? TranslateText("Engine", " (подключенных баз данных нет)")
                        : Format(TranslateText("Engine", " (подключены: %s)"), {names}));
}

std::string TFolderConnection::Explain(const std::string& message) const {
  const std::string prefix = "no such table: ";
  if (message.compare(0, prefix.size(), prefix) != 0) return message;
  const std::string name = message.substr(prefix.size());
  const std::string missing =
      Format(TranslateText("Engine", "Нет такой таблицы: %s"), {name}) + ": ";
  auto failure = failures_.find(LowerCaseAscii(name));
  if (failure != failures_.end()) return missing + failure->second;
  size_t dot = name.find('.');
  if (dot == std::string::npos) return message;
  const std::string schema = name.substr(0, dot);
  auto refused = attachFailures_.find(LowerCaseAscii(schema));
  if (refused != attachFailures_.end())
    return missing +
           Format(TranslateText("Engine", "базу данных '%s' нельзя прочитать в этом запросе: %s"),
                  {schema, refused->second});
  if (attached_.count(LowerCaseAscii(schema)))
    return missing + Format(TranslateText("Engine", "в базе данных '%s' нет таблицы \"%s\""),
                            {schema, name.substr(dot + 1)});
  // Without other databases a dotted name is a table file's name ("readme.txt"), not a slip.
  if (attached_.empty() || SameText(schema, "main") || SameText(schema, "temp")) return message;
  return missing + NotConnected(schema);
}

std::string TFolderConnection::Prepare(const std::string& sql) {
  AttachDatabases();
  std::vector<TSqlToken> tokens = TokenizeSql(sql);
  std::string out;
  auto isName = [&](size_t k) {
    return k < tokens.size() &&
           (tokens[k].Kind == TSqlTokenKind::Word || tokens[k].Kind == TSqlTokenKind::QuotedName);
  };
  for (size_t i = 0; i < tokens.size(); ++i) {
    const TSqlToken& t = tokens[i];
    // ":ALIAS:table", the quoted form of a table of a connected database.
    if (std::string schema, table;
        t.Kind == TSqlTokenKind::QuotedName && SplitAliasTable(t.Value, schema, table)) {
      const std::string missing =
          Format(TranslateText("Engine", "Нет такой таблицы: \"%s\""), {t.Value}) + ": ";
      if (!attached_.count(LowerCaseAscii(schema))) throw Exception(missing + NotConnected(schema));
      if (!RegisterAttached(schema, table, true))
        throw Exception(missing + failures_[LowerCaseAscii(schema + "." + table)]);
      out += QuoteSqlIdentifier(kSqlite, schema) + "." + QuoteSqlIdentifier(kSqlite, table);
      continue;
    }
    // ALIAS.table of a dBASE folder or a server database.
    if (isName(i) && i + 2 < tokens.size() && tokens[i + 1].Kind == TSqlTokenKind::Symbol &&
        tokens[i + 1].Value == "." && isName(i + 2) && attached_.count(LowerCaseAscii(t.Value))) {
      // A miss may be a column of a table called like the database: SQLite says which it was.
      RegisterAttached(t.Value, tokens[i + 2].Value,
                       tokens[i + 2].Kind == TSqlTokenKind::QuotedName);
      out.append(sql, t.Begin, tokens[i + 2].End - t.Begin);
      i += 2;
      continue;
    }
    if (t.Kind == TSqlTokenKind::QuotedName) {
      std::string path = TableFile(t.Value);
      if (!path.empty()) Register(t.Value, path);
    } else if (t.Kind == TSqlTokenKind::Word) {
      // orders.dbf written bare reads as schema "orders", table "dbf": quote it as one name.
      size_t j = i;
      std::string joined = t.Value;
      while (j + 2 < tokens.size() && tokens[j + 1].Value == "." &&
             tokens[j + 1].Kind == TSqlTokenKind::Symbol &&
             tokens[j + 2].Kind == TSqlTokenKind::Word) {
        joined += "." + tokens[j + 2].Value;
        j += 2;
      }
      if (j > i) {
        std::string path = TableFile(joined);
        if (!path.empty()) {
          Register(joined, path);
          out += QuoteSqlIdentifier(kSqlite, joined);
          i = j;
          continue;
        }
      }
      std::string path = TableFile(t.Value);
      if (!path.empty()) Register(t.Value, path);
    }
    out.append(sql, t.Begin, t.End - t.Begin);
  }
  return out;
}

void TFolderConnection::ResolveTable(TSqlCommand& cmd) {
  AttachDatabases();
  TSqlNameParts& parts = cmd.TableParts;
  std::string schema, table;
  bool quoted = false;
  if (parts.size() == 1 && parts[0].Quoted && SplitAliasTable(parts[0].Name, schema, table)) {
    // ":ALIAS:table" names a table of a connected database, as in a query.
    parts = {{schema, true}, {table, true}};
    cmd.Table = schema + "." + table;
    quoted = true;
  } else if (parts.size() == 2) {
    schema = parts[0].Name, table = parts[1].Name, quoted = parts[1].Quoted;
  } else if (size_t dot = cmd.Table.find('.'); dot != std::string::npos) {
    schema = cmd.Table.substr(0, dot), table = cmd.Table.substr(dot + 1);
  }
  if (!schema.empty() && attached_.count(LowerCaseAscii(schema)))
    RegisterAttached(schema, table, quoted);
  std::string path = TableFile(cmd.Table);
  if (!path.empty()) Register(cmd.Table, path);
}

void TFolderConnection::GetTableNames(const std::string& pattern, bool extensions, bool,
                                      TStringList& out) {
  out.Clear();
  if (!tableFiles_) return;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder_.empty() ? "." : folder_, ec), end;
  if (ec)
    throw Exception(Format(TranslateText("Engine", "Cannot read the folder \"%s\": %s"),
                           {folder_, ec.message()}));
  for (; it != end; it.increment(ec)) {
    std::string file = it->path().filename().string();
    if (!EndsWithDbf(file) || !it->is_regular_file(ec)) continue;
    std::string name = extensions ? file : file.substr(0, file.size() - 4);
    if (MatchesTablePattern(name, pattern)) out.Add(name);
  }
  SortNames(out);
}

}  // namespace morvale
