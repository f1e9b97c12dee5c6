#include "app/engine/mysqlconnection.h"

#include <errmsg.h>
#include <mysql.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

#include "app/engine/catalogue.h"
#include "app/engine/mysqlcursor.h"
#include "app/engine/sqltext.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

// The "KEY=value" settings of OPTIONS, separated by semicolons.
std::map<std::string, std::string> Options(const std::string& options) {
  std::map<std::string, std::string> out;
  size_t from = 0;
  while (from < options.size()) {
    size_t end = options.find(';', from);
    if (end == std::string::npos) end = options.size();
    const std::string option = options.substr(from, end - from);
    const size_t eq = option.find('=');
    if (eq != std::string::npos) out[Trim(option.substr(0, eq))] = Trim(option.substr(eq + 1));
    from = end + 1;
  }
  return out;
}

// Settings every session gets: nothing an export runs may write.
void PrepareSession(MYSQL* m) {
  for (const char* sql : {"SET SESSION TRANSACTION READ ONLY",
                          // Rows are read from the server as the dataset moves on; a reader that
                          // pauses (a window left open on the first page) must not have the
                          // server give up on it after a minute.
                          "SET SESSION net_write_timeout = @@wait_timeout"})
    if (mysql_real_query(m, sql, std::char_traits<char>::length(sql)) == 0)
      if (MYSQL_RES* r = mysql_store_result(m)) mysql_free_result(r);
}

}  // namespace

std::string MySqlErrorText(MYSQL* m) {
  std::string text = Trim(mysql_error(m));
  return text.empty() ? TranslateText("Engine", "Unknown MySQL error") : text;
}

std::vector<std::vector<std::string>> MySqlTextRows(MYSQL* m, const std::string& sql) {
  if (mysql_real_query(m, sql.data(), sql.size()) != 0) throw Exception(MySqlErrorText(m));
  std::vector<std::vector<std::string>> rows;
  MYSQL_RES* r = mysql_store_result(m);
  if (!r && mysql_field_count(m) != 0) throw Exception(MySqlErrorText(m));
  if (r) {
    const unsigned n = mysql_num_fields(r);
    while (MYSQL_ROW row = mysql_fetch_row(r)) {
      const unsigned long* lengths = mysql_fetch_lengths(r);
      std::vector<std::string>& out = rows.emplace_back();
      for (unsigned i = 0; i < n; ++i) out.emplace_back(row[i] ? row[i] : "", lengths[i]);
    }
    mysql_free_result(r);
  }
  while (mysql_more_results(m) && mysql_next_result(m) == 0)
    if (MYSQL_RES* more = mysql_store_result(m)) mysql_free_result(more);
  return rows;
}

TMySqlConnection::TMySqlConnection(const TStringList& params)
    : params_(params),
      sessions_([this] { return NewSession(); }, mysql_close,
                [](MYSQL* m) {
                  return mysql_errno(m) != CR_SERVER_LOST && mysql_errno(m) != CR_SERVER_GONE_ERROR;
                }) {}

TMySqlConnection::~TMySqlConnection() = default;

MYSQL* TMySqlConnection::NewSession() const {
  MYSQL* m = mysql_init(nullptr);
  if (!m) throw Exception(TranslateText("Engine", "Unknown MySQL error"));
  mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
  std::string host = params_.Value("SERVER NAME"), socket;
  // A server on this machine may be reached by its socket file.
  if (!host.empty() && host[0] == '/') std::swap(host, socket);
  std::map<std::string, std::string> options = Options(params_.Value("OPTIONS"));
  if (options.count("UNIX_SOCKET")) socket = options["UNIX_SOCKET"];
  for (auto [name, option] : {std::pair{"MYSQL_OPT_CONNECT_TIMEOUT", MYSQL_OPT_CONNECT_TIMEOUT},
                              {"MYSQL_OPT_READ_TIMEOUT", MYSQL_OPT_READ_TIMEOUT},
                              {"MYSQL_OPT_WRITE_TIMEOUT", MYSQL_OPT_WRITE_TIMEOUT}}) {
    if (!options.count(name)) continue;
    const unsigned seconds = static_cast<unsigned>(std::atoi(options[name].c_str()));
    mysql_optionsv(m, option, &seconds);
  }
  auto ssl = [&](const char* name) {
    return options.count(name) ? options[name].c_str() : nullptr;
  };
  if (ssl("SSL_KEY") || ssl("SSL_CERT") || ssl("SSL_CA") || ssl("SSL_CAPATH") || ssl("SSL_CIPHER"))
    mysql_ssl_set(m, ssl("SSL_KEY"), ssl("SSL_CERT"), ssl("SSL_CA"), ssl("SSL_CAPATH"),
                  ssl("SSL_CIPHER"));
  const std::string user = params_.Value("USER NAME"), database = params_.Value("DATABASE NAME");
  std::string password = params_.Value("PASSWORD");
  // As MySQL's own clients do, a password the connection does not give comes from MYSQL_PWD:
  // how a process is handed one without it showing on its command line.
  if (!params_.HasName("PASSWORD"))
    if (const char* env = std::getenv("MYSQL_PWD")) password = env;
  const unsigned port = static_cast<unsigned>(std::atoi(params_.Value("PORT").c_str()));
  auto orNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
  // Several statements in one text run one after the other; the first one's rows are read.
  if (!mysql_real_connect(m, orNull(host), orNull(user), password.c_str(), orNull(database), port,
                          orNull(socket), CLIENT_MULTI_STATEMENTS | CLIENT_MULTI_RESULTS)) {
    std::string error = MySqlErrorText(m);
    mysql_close(m);
    throw Exception(error);
  }
  PrepareSession(m);
  return m;
}

std::unique_ptr<TCursor> TMySqlConnection::OpenCursor(const std::string& sql) {
  TSqlCommand cmd;
  try {
    cmd = ParseSqlCommand(sql);
  } catch (const Exception&) {
    // MySQL has its own SHOW commands and messages.
  }
  std::unique_ptr<TCursor> cursor = MakeMySqlCursor(shared_from_this(), sql);
  return cmd.Kind == TSqlCommandKind::Query ? std::move(cursor)
                                            : CatalogueCursor(std::move(cursor));
}

void TMySqlConnection::GetTableNames(const std::string& pattern, bool, bool systemTables,
                                     TStringList& out) {
  out.Clear();
  std::string sql =
      "SELECT TABLE_NAME FROM information_schema.TABLES WHERE (TABLE_SCHEMA = SCHEMA() AND "
      "TABLE_TYPE IN ('BASE TABLE', 'VIEW'))";
  if (systemTables) sql += " OR TABLE_SCHEMA = 'information_schema'";
  std::vector<std::vector<std::string>> rows;
  {
    // A session of its own: the first one may be in the middle of a result that is still
    // streaming.
    TMySqlLease lease(*this);
    rows = MySqlTextRows(lease.Session(), sql);
  }
  std::vector<std::string> names;
  for (auto& row : rows)
    if (MatchesTablePattern(row[0], pattern)) names.push_back(std::move(row[0]));
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return LowerCaseAscii(a) < LowerCaseAscii(b) ||
           (LowerCaseAscii(a) == LowerCaseAscii(b) && a < b);
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  for (auto& n : names) out.Add(std::move(n));
}

}  // namespace morvale
