#include "app/engine/pgconnection.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>

#include "app/engine/catalogue.h"
#include "app/engine/pgcursor.h"
#include "app/engine/pgvalues.h"

namespace morvale {

namespace {

// A value of a connection string in the quotes that keep its blanks, quotes and backslashes.
std::string ConnValue(const std::string& value) {
  std::string quoted = "'";
  for (char c : value) {
    if (c == '\'' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

// The connection string of an alias's lines. OPTIONS holds further "key=value" settings of the
// client library, separated by semicolons.
std::string ConnInfo(const TStringList& params) {
  std::string info = "client_encoding='UTF8'";
  auto add = [&](const char* key, const std::string& value) {
    if (!value.empty()) info += std::string(" ") + key + "=" + ConnValue(value);
  };
  add("host", params.Value("SERVER NAME"));
  add("port", params.Value("PORT"));
  add("dbname", params.Value("DATABASE NAME"));
  add("user", params.Value("USER NAME"));
  add("password", params.Value("PASSWORD"));
  const std::string options = params.Value("OPTIONS");
  size_t from = 0;
  while (from < options.size()) {
    size_t end = options.find(';', from);
    if (end == std::string::npos) end = options.size();
    const std::string option = options.substr(from, end - from);
    const size_t eq = option.find('=');
    if (eq != std::string::npos)
      add(Trim(option.substr(0, eq)).c_str(), Trim(option.substr(eq + 1)));
    from = end + 1;
  }
  return info;
}

// The client library's message without the line break it ends with.
std::string ConnectionError(PGconn* pg) {
  std::string text = pg ? PQerrorMessage(pg) : "out of memory";
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// Settings every session gets: nothing an export runs may write, and values come in the forms
// the engine reads.
void PrepareSession(PGconn* pg) {
  for (const char* sql :
       {"SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY", "SET lc_monetary = 'C'",
        "SET DateStyle = 'ISO, YMD'", "SET bytea_output = 'hex'",
        // A scan of a big table may start where another one is (or where an
        // aborted one stopped), so the same table would come out in another
        // order each time; an export is read in the table's order, and ranges
        // read by several sessions join into what one session reads.
        "SET synchronize_seqscans = off"})
    PQclear(PQexec(pg, sql));
}

// A table as the table list shows it: as the catalogue spells it, with its schema in front
// unless that is the public one.
std::string PgName(const std::string& schema, const std::string& table) {
  if (schema == "public") return table;
  return schema + "." + table;
}

// Splits a table-list pattern into its owner part and its name part ("SYSDBA.%").
bool OwnerPattern(const std::string& pattern, std::string& owner, std::string& name) {
  if (pattern.empty() || pattern == "*.*") return false;
  size_t dot = pattern.find('.');
  if (dot == std::string::npos) return false;
  owner = pattern.substr(0, dot);
  name = pattern.substr(dot + 1);
  return true;
}

std::string PgFieldsSql(const std::string& table) {
  std::string rel = QuoteSqlString(table) + "::regclass";
  auto keyed = [&](const char* cond) {
    return std::string("EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = a.attrelid AND ") +
           cond + "a.attnum = ANY (i.indkey))";
  };
  return "SELECT a.attname AS \"Field\", format_type(a.atttypid, a.atttypmod) AS \"Type\","
         " CASE WHEN a.attnotnull THEN 'NO' ELSE 'YES' END AS \"Null\","
         " CASE WHEN " +
         keyed("i.indisprimary AND ") + " THEN 'PRI' WHEN " + keyed("i.indisunique AND ") +
         " THEN 'UNI' WHEN " + keyed("") +
         " THEN 'MUL' ELSE '' END AS \"Key\","
         " pg_get_expr(d.adbin, d.adrelid) AS \"Default\","
         " CASE WHEN a.attidentity <> '' THEN 'auto_increment' ELSE '' END AS \"Extra\""
         " FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = "
         "a.attnum"
         " WHERE a.attrelid = " +
         rel + " AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum";
}

std::string PgIndexSql(const std::string& table) {
  return "SELECT c.relname AS \"Table\", CASE WHEN i.indisunique THEN 0 ELSE 1 END AS "
         "\"Non_unique\","
         " ic.relname AS \"Key_name\", k.n AS \"Seq_in_index\", a.attname AS \"Column_name\","
         " 'A' AS \"Collation\", GREATEST(ic.reltuples, 0)::bigint AS \"Cardinality\","
         " NULL::integer AS \"Sub_part\", NULL::text AS \"Packed\","
         " CASE WHEN a.attnotnull THEN '' ELSE 'YES' END AS \"Null\", am.amname AS \"Index_type\","
         " '' AS \"Comment\""
         " FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid"
         " JOIN pg_class ic ON ic.oid = i.indexrelid JOIN pg_am am ON am.oid = ic.relam"
         " CROSS JOIN LATERAL unnest(i.indkey::int2[]) WITH ORDINALITY AS k(attnum, n)"
         " JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = k.attnum"
         " WHERE i.indrelid = " +
         QuoteSqlString(table) + "::regclass ORDER BY 3, 4";
}

}  // namespace

std::vector<std::vector<std::string>> PgTextRows(PGconn* pg, const std::string& sql) {
  PGresult* r = PQexec(pg, sql.c_str());
  const ExecStatusType status = PQresultStatus(r);
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
    std::string error = PgErrorText(r, pg);
    PQclear(r);
    throw Exception(error);
  }
  std::vector<std::vector<std::string>> rows(static_cast<size_t>(PQntuples(r)));
  for (int i = 0; i < PQntuples(r); ++i)
    for (int j = 0; j < PQnfields(r); ++j)
      rows[static_cast<size_t>(i)].emplace_back(PQgetvalue(r, i, j),
                                                static_cast<size_t>(PQgetlength(r, i, j)));
  PQclear(r);
  return rows;
}

TPgConnection::TPgConnection(const TStringList& params)
    : conninfo_(ConnInfo(params)),
      sessions_([this] { return NewSession(); }, PQfinish,
                [](PGconn* pg) { return PQstatus(pg) == CONNECTION_OK; }) {}

TPgConnection::~TPgConnection() = default;

PGconn* TPgConnection::NewSession() const {
  PGconn* pg = PQconnectdb(conninfo_.c_str());
  if (!pg || PQstatus(pg) != CONNECTION_OK) {
    std::string error = ConnectionError(pg);
    PQfinish(pg);
    throw Exception(error);
  }
  PrepareSession(pg);
  return pg;
}

std::string TPgConnection::TableReference(const std::string& listed) {
  if (listed.find('.') == std::string::npos) return SqlNameOf(listed);
  // The list writes schema.table for the tables outside the public schema; a table of the
  // search path whose own name holds the dot comes first.
  TPgLease lease(*this);
  const std::string name = QuoteSqlString(listed);
  const auto rows = PgTextRows(
      lease.Session(),
      "SELECT n.nspname, c.relname, pg_table_is_visible(c.oid) FROM pg_class c"
      " JOIN pg_namespace n ON n.oid = c.relnamespace WHERE (c.relname = " +
          name + " AND pg_table_is_visible(c.oid)) OR n.nspname || '.' || c.relname = " + name +
          " ORDER BY 3 DESC LIMIT 1");
  if (rows.empty()) return SqlNameOf(listed);
  if (rows[0][2] == "t") return SqlNameOf(rows[0][1]);
  return SqlNameOf(rows[0][0]) + "." + SqlNameOf(rows[0][1]);
}

std::unique_ptr<TCursor> TPgConnection::OpenCursor(const std::string& sql) {
  const TSqlCommand cmd = ParseSqlCommand(sql);
  std::unique_ptr<TCursor> cursor = OpenCommand(cmd, sql);
  return cmd.Kind == TSqlCommandKind::Query ? std::move(cursor)
                                            : CatalogueCursor(std::move(cursor));
}

std::unique_ptr<TCursor> TPgConnection::OpenCommand(const TSqlCommand& cmd,
                                                    const std::string& sql) {
  auto self = shared_from_this();
  if (cmd.Kind == TSqlCommandKind::ShowTables) {
    TStringList names;
    GetTableNames("*.*", true, false, names);
    return TableListCursor(names);
  }
  // The reference in PostgreSQL's own quoting, whichever quotes the command used.
  const std::string table = WriteTableReference(TSqlNameDialect::PostgreSQL, cmd.TableParts);
  if (cmd.Kind == TSqlCommandKind::ShowFields) return MakePgCursor(self, PgFieldsSql(table));
  if (cmd.Kind == TSqlCommandKind::ShowIndex) return MakePgCursor(self, PgIndexSql(table));
  return MakePgCursor(self, sql);
}

void TPgConnection::GetTableNames(const std::string& pattern, bool, bool systemTables,
                                  TStringList& out) {
  out.Clear();
  std::string ownerPat, namePat;
  const bool byOwner = OwnerPattern(pattern, ownerPat, namePat);
  std::string sql =
      "SELECT n.nspname, c.relname, pg_get_userbyid(c.relowner) FROM pg_class c"
      " JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.relkind IN ('r', 'v', 'm', 'p', "
      "'f')";
  if (!systemTables)
    sql +=
        " AND n.nspname NOT IN ('pg_catalog', 'information_schema')"
        " AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp%'";
  // A session of its own: the first one may be in the middle of a result that is still
  // streaming.
  std::vector<std::vector<std::string>> rows;
  {
    TPgLease lease(*this);
    rows = PgTextRows(lease.Session(), sql);
  }
  std::vector<std::string> names;
  for (const auto& row : rows) {
    const std::string &schema = row[0], &table = row[1], &owner = row[2];
    std::string name = PgName(schema, table);
    if (byOwner) {
      const bool mine = SameText(owner, ownerPat) || SameText(schema, ownerPat);
      if (!mine || !MatchesTablePattern(table, namePat)) continue;
    } else if (!MatchesTablePattern(name, pattern)) {
      continue;
    }
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return LowerCaseAscii(a) < LowerCaseAscii(b) ||
           (LowerCaseAscii(a) == LowerCaseAscii(b) && a < b);
  });
  for (auto& n : names) out.Add(std::move(n));
}

}  // namespace morvale
