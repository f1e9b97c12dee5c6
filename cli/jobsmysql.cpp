#include "cli/jobsmysql.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

namespace morvale::cli {

namespace {

// A MySQL string literal: the server reads backslashes in one as escapes.
std::string Literal(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'' || c == '\\') out += c;
    out += c;
  }
  return out + "'";
}

std::string Unliteral(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    out += s[i];
    if ((s[i] == '\'' || s[i] == '\\') && i + 1 < s.size() && s[i + 1] == s[i]) ++i;
  }
  return out;
}

// The parts of a dotted name as written (`shop`.`orders`, shop.orders, "orders"), unquoted.
std::vector<std::string> NameParts(const std::string& name) {
  std::vector<std::string> parts(1);
  char quote = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (quote) {
      if (c != quote)
        parts.back() += c;
      else if (i + 1 < name.size() && name[i + 1] == quote)
        parts.back() += name[++i];
      else
        quote = 0;
    } else if (c == '`' || c == '"') {
      quote = c;
    } else if (c == '.') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

std::string Quoted(const std::string& column) {
  std::string out = "`";
  for (char c : column) {
    out += c;
    if (c == '`') out += c;
  }
  return out + "`";
}

std::string PlanLock(const std::string& id) {
  return "morvale-" + id;
}
std::string PartLock(const std::string& id, int k) {
  return "morvale-" + id + "-" + std::to_string(k);
}
std::string AckLock(const std::string& id, int k) {
  return "morvale-" + id + "-ack" + std::to_string(k);
}

const char* const kReportTag = "'morvale-report: ";

}  // namespace

std::string MySqlSplitKey(TSourceSession& session, const std::string& table, TSplitReason& why) {
  const std::vector<std::string> parts = NameParts(table);
  const std::string schema = parts.size() > 1 ? Literal(parts[parts.size() - 2]) : "DATABASE()";
  const auto rows = session.Query(
      "SELECT COLUMN_NAME, DATA_TYPE FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = " +
      schema + " AND TABLE_NAME = " + Literal(parts.back()) + " AND COLUMN_KEY = 'PRI'");
  if (rows.empty())
    why = {TSplitReasonKind::NoPrimaryKey, table, ""};
  else if (rows.size() > 1)
    why = {TSplitReasonKind::CompositeKey, table, ""};
  else if (!std::set<std::string>{"tinyint", "smallint", "mediumint", "int", "bigint"}.count(
               LowerCaseAscii(rows[0][1])))
    why = {TSplitReasonKind::KeyNotInteger, table, rows[0][1]};
  return why ? "" : Quoted(rows[0][0]);
}

std::string MySqlHoldTable(TSourceSession& session, const std::string& from, int seconds,
                           std::string& note) {
  const std::string connection = "connection " + session.Value("SELECT CONNECTION_ID()");
  // A transaction that has written the table and not yet ended keeps the lock waiting.
  session.Query("SET SESSION lock_wait_timeout = " + std::to_string(seconds));
  try {
    session.Query("LOCK TABLES " + from + " READ");
  } catch (const std::exception& ex) {
    std::string message = ex.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    note = "the table could not be locked while the parts start (" + message +
           "): each part reads in a snapshot of its own, taken as it starts, so a change "
           "committed while they start may show in some parts and not in others";
    return connection + ", each part its own snapshot";
  }
  return connection + ", " + from + " locked until every part has its snapshot";
}

TMySqlCoordinator::TMySqlCoordinator(TSourceSession& session, const TPlan& plan)
    : session_(session),
      id_(plan.Id()),
      reports_expected_(plan.Reports),
      started_(plan.Parts.size()) {
  if (session_.Value("SELECT GET_LOCK(" + Literal(PlanLock(id_)) + ", 0)") != "1")
    throw Exception("The plan " + id_ + " is already held by another run");
  if (reports_expected_)
    for (size_t k = 1; k <= started_.size(); ++k)
      session_.Query("DO GET_LOCK(" + Literal(AckLock(id_, static_cast<int>(k))) + ", 0)");
}

TMySqlCoordinator::~TMySqlCoordinator() {
  try {
    if (held_) Unlock();
    if (reports_expected_)
      for (size_t k = 1; k <= started_.size(); ++k)
        session_.Query("DO RELEASE_LOCK(" + Literal(AckLock(id_, static_cast<int>(k))) + ")");
  } catch (const std::exception&) {
  }
}

void TMySqlCoordinator::Look() {
  std::string sql = "SELECT ";
  for (size_t k = 1; k <= started_.size(); ++k)
    sql += (k > 1 ? ", IS_USED_LOCK(" : "IS_USED_LOCK(") +
           Literal(PartLock(id_, static_cast<int>(k))) + ")";
  const auto rows = session_.Query(sql);
  if (rows.empty() || rows[0].size() != started_.size()) return;
  std::string waiting;  // the sessions of the parts that run, as "12, 15"
  for (size_t i = 0; i < started_.size(); ++i) {
    const int k = static_cast<int>(i + 1);
    const std::string& connection = rows[0][i];
    if (!connection.empty()) {
      started_[i] = true;
      waiting += (waiting.empty() ? "" : ", ") + connection;
    } else if (started_[i] && reports_expected_ && !reports_.count(k) && !lost_) {
      lost_ = k;
    }
  }
  if (reports_expected_ && !waiting.empty()) {
    // A part that is done waits for its answer in a statement that carries its report.
    for (const auto& row : session_.Query(
             "SELECT INFO FROM information_schema.PROCESSLIST WHERE ID IN (" + waiting + ")")) {
      const std::string& info = row[0];
      const size_t tag = info.find(kReportTag);
      const size_t end = info.rfind('\'');
      if (tag == std::string::npos || end <= tag) continue;
      const std::string payload = Unliteral(
          info.substr(tag + std::strlen(kReportTag), end - tag - std::strlen(kReportTag)));
      const int k = std::atoi(payload.c_str());
      if (k < 1 || k > static_cast<int>(started_.size()) || reports_.count(k)) continue;
      reports_[k] = payload;
      session_.Query("DO RELEASE_LOCK(" + Literal(AckLock(id_, k)) + ")");
    }
  }
  if (held_ && AllStarted()) Unlock();
}

bool TMySqlCoordinator::AllStarted() const {
  return std::all_of(started_.begin(), started_.end(), [](bool s) { return s; });
}

void TMySqlCoordinator::Unlock() {
  held_ = false;
  session_.Query("UNLOCK TABLES");
  session_.Query("DO RELEASE_LOCK(" + Literal(PlanLock(id_)) + ")");
}

std::string TMySqlCoordinator::NotStarted() const {
  std::string parts;
  for (size_t i = 0; i < started_.size(); ++i)
    if (!started_[i]) parts += (parts.empty() ? "" : ", ") + std::to_string(i + 1);
  return parts;
}

void MySqlStartPart(TSourceSession& session, const TPlan& plan, int k,
                    const std::string& planFile) {
  const std::string id = plan.Id();
  session.Query("START TRANSACTION WITH CONSISTENT SNAPSHOT, READ ONLY");
  // Taken after the snapshot: while the plan's lock is still held, so is the table.
  if (session.Value("SELECT IS_USED_LOCK(" + Literal(PlanLock(id)) + ")").empty()) {
    session.Query("ROLLBACK");
    throw Exception("The moment of the plan '" + planFile +
                    "' is gone (its --plan run has ended, timed out or seen every part start): "
                    "make a new plan");
  }
  if (session.Value("SELECT GET_LOCK(" + Literal(PartLock(id, k)) + ", 0)") != "1") {
    session.Query("ROLLBACK");
    throw Exception("Part " + std::to_string(k) + " of the plan '" + planFile +
                    "' is already running");
  }
}

void MySqlReportPart(TSourceSession& session, const TPlan& plan, int k,
                     const std::string& payload) {
  try {
    // The plan's run holds the lock until it has read the report; once it has gone, the lock
    // is free at once. A plan's run that cannot see this session (another user's) is waited
    // for a while only.
    if (plan.Reports)
      session.Query("SELECT GET_LOCK(" + Literal(AckLock(plan.Id(), k)) + ", 30), " +
                    std::string(kReportTag) + Literal(payload).substr(1));
    session.Query("DO RELEASE_ALL_LOCKS()");
  } catch (const std::exception&) {
  }
}

}  // namespace morvale::cli
