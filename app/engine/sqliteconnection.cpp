#include "app/engine/sqliteconnection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "app/engine/catalogue.h"
#include "app/engine/dbfvtab.h"
#include "app/engine/fielddefs.h"
#include "app/engine/memcursor.h"
#include "app/engine/sqlitecursor.h"
#include "app/engine/sqlitedb.h"
#include "app/engine/sqltext.h"

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

TTableRef LocateTable(sqlite3* db, const std::string& reference) {
  TTableRef ref{reference, {}};
  if (HasRows(db, "SELECT 1 FROM pragma_table_info(" + ref.Args() + ")")) return ref;
  size_t dot = reference.find('.');
  if (dot != std::string::npos) {
    ref = TTableRef{reference.substr(dot + 1), reference.substr(0, dot)};
    if (HasRows(db, "SELECT 1 FROM pragma_table_info(" + ref.Args() + ")")) return ref;
  }
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

std::unique_ptr<TCursor> TableListCursor(const TStringList& names) {
  std::vector<TMemCursor::Row> rows;
  for (const std::string& n : names) rows.push_back({n});
  return std::make_unique<TMemCursor>(
      TFieldDefs{MakeFieldDef("Table", ftString, kDefaultStringSize)}, std::move(rows));
}

void SortNames(TStringList& list) {
  std::vector<std::string> v(list.begin(), list.end());
  std::sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) {
    return LowerCaseAscii(a) < LowerCaseAscii(b);
  });
  list.Clear();
  for (auto& s : v) list.Add(std::move(s));
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

std::unique_ptr<TCursor> TSqliteConnection::OpenCommand(const TSqlCommand& cmd,
                                                        const std::string& sql) {
  switch (cmd.Kind) {
    case TSqlCommandKind::Query:
      return MakeCursor(Prepare(sql));
    case TSqlCommandKind::ShowFields: {
      return MakeCursor(FieldsSql(LocateTable(db_->Handle(), ResolveTable(cmd.Table))));
    }
    case TSqlCommandKind::ShowIndex: {
      TTableRef ref = LocateTable(db_->Handle(), ResolveTable(cmd.Table));
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

TFolderConnection::TFolderConnection(std::string folder)
    : TSqliteConnection(TSqliteDatabase::OpenMemory()), folder_(std::move(folder)) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
  RegisterDbfModule(db_->Handle());
}

std::unique_ptr<TCursor> TFolderConnection::MakeCursor(const std::string& sql) {
  auto cursor = std::make_unique<TSqliteCursor>(db_, sql);
  cursor->DeclaredTypeMapper = DbfDeclaredType;
  return cursor;
}

std::string TFolderConnection::TableFile(const std::string& name) const {
  if (name.empty()) return {};
  std::string base = name[0] == '/' ? name : folder_ + name;
  struct stat st;
  for (const std::string& p : {base, base + ".dbf", base + ".DBF"})
    if (EndsWithDbf(p) && IsRegularFile(p, st)) return p;
  if (name[0] == '/' || name.find('/') != std::string::npos) return {};
  // Table names are not case-sensitive, and table files are often named in capitals.
  std::error_code ec;
  std::filesystem::directory_iterator it(folder_.empty() ? "." : folder_, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string file = it->path().filename().string();
    if (EndsWithDbf(file) && (SameText(file, name) || SameText(file, name + ".dbf")) &&
        IsRegularFile(folder_ + file, st))
      return folder_ + file;
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
    sqlite3_exec(db_->Handle(), ("DROP TABLE temp." + QuoteSqlName(name)).c_str(), nullptr, nullptr,
                 nullptr);
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
  for (const auto& [alias, path] : AttachedDatabases()) {
    auto it = attached_.find(alias);
    if (it != attached_.end() && it->second == path) continue;
    if (it != attached_.end()) {
      sqlite3_exec(db_->Handle(), ("DETACH " + QuoteSqlName(alias)).c_str(), nullptr, nullptr,
                   nullptr);
      attached_.erase(it);
    }
    // A database that cannot be attached just stays out of reach: its tables are then unknown
    // names, which the query reports itself.
    int rc = sqlite3_exec(
        db_->Handle(),
        ("ATTACH " + QuoteSqlString(UriPath(path)) + " AS " + QuoteSqlName(alias)).c_str(), nullptr,
        nullptr, nullptr);
    if (rc == SQLITE_OK) attached_[alias] = path;
  }
}

std::string TFolderConnection::Prepare(const std::string& sql) {
  AttachDatabases();
  std::vector<TSqlToken> tokens = TokenizeSql(sql);
  std::string out;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const TSqlToken& t = tokens[i];
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
          out += QuoteSqlName(joined);
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

std::string TFolderConnection::ResolveTable(const std::string& table) {
  AttachDatabases();
  std::string path = TableFile(table);
  if (!path.empty()) Register(table, path);
  return table;
}

void TFolderConnection::GetTableNames(const std::string& pattern, bool extensions, bool,
                                      TStringList& out) {
  out.Clear();
  std::error_code ec;
  std::filesystem::directory_iterator it(folder_.empty() ? "." : folder_, ec), end;
  if (ec) throw Exception(Format("Cannot read the folder \"%s\": %s", {folder_, ec.message()}));
  for (; it != end; it.increment(ec)) {
    std::string file = it->path().filename().string();
    if (!EndsWithDbf(file) || !it->is_regular_file(ec)) continue;
    std::string name = extensions ? file : file.substr(0, file.size() - 4);
    if (MatchesTablePattern(name, pattern)) out.Add(name);
  }
  SortNames(out);
}

}  // namespace morvale
