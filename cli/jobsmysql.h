// MySQL/MariaDB ranges. The server cannot hand one session's snapshot to another, so each part
// opens its own (START TRANSACTION WITH CONSISTENT SNAPSHOT) while the plan's session holds the
// table with LOCK TABLES ... READ: no writer commits to it between the first part's snapshot and
// the last one's, and the parts together see one picture. The parts and the plan's run talk
// through the server's user-level locks, so parts on other machines take part alike:
// - "morvale-ID" is held by the plan's run while the table is held: a part that finds it free
//   refuses the plan (its moment is gone);
// - "morvale-ID-K" is taken by part K right after its snapshot and held until it is done: the
//   plan's run sees the part has started, and unlocks the table once all have;
// - "morvale-ID-ackK" is held by the plan's run of --plan; part K reports by waiting for it in
//   a statement whose text carries the report, which the plan's run reads from the process list
//   of the server and answers by letting the lock go.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/engine/sourcesession.h"
#include "cli/jobs.h"

namespace morvale::cli {

// The column to split `table` (as the query writes it) by, quoted: its primary key when that is
// one integer column. Empty, with `why` set, otherwise.
std::string MySqlSplitKey(TSourceSession& session, const std::string& table, TSplitReason& why);

// Holds `from` (the FROM clause of the query) with LOCK TABLES ... READ, waiting at most
// `seconds` for the transactions that write it to end. Returns what the plan's snapshot field
// says: the session's connection and whether the table is held. `note` is set, when the table
// could not be held, to what the parts' consistency is instead.
std::string MySqlHoldTable(TSourceSession& session, const std::string& from, int seconds,
                           std::string& note);

// The plan's side, in the session that holds the table.
class TMySqlCoordinator {
 public:
  TMySqlCoordinator(TSourceSession& session, const TPlan& plan);
  // Lets the table and every lock go; never raises.
  ~TMySqlCoordinator();
  TMySqlCoordinator(const TMySqlCoordinator&) = delete;
  TMySqlCoordinator& operator=(const TMySqlCoordinator&) = delete;

  // One look at the parts' locks and reports; unlocks the table once every part has started.
  void Look();
  // Part k (1-based) has started (its job ended well before its lock was seen).
  void Started(int k) { started_[static_cast<size_t>(k - 1)] = true; }
  bool AllStarted() const;
  // Unlocks the table and gives up the plan's lock: parts started from now on refuse the plan.
  void Unlock();
  bool Held() const { return held_; }
  // The reports received ("ROWS BYTES SHA256" or "failed: MESSAGE"), by part.
  const std::map<int, std::string>& Reports() const { return reports_; }
  // The first part whose lock went without a report (its connection was lost), or 0.
  int Lost() const { return lost_; }
  // The parts not yet started, as "2, 3".
  std::string NotStarted() const;

 private:
  TSourceSession& session_;
  std::string id_;
  bool reports_expected_;
  bool held_ = true;
  std::vector<bool> started_;
  std::map<int, std::string> reports_;
  int lost_ = 0;
};

// The part's side, in the session the part's query will run in: opens the part's snapshot and
// announces it. Raises when the plan's moment is gone or the part already runs elsewhere.
void MySqlStartPart(TSourceSession& session, const TPlan& plan, int k, const std::string& planFile);
// Reports the part to the plan's run of --plan (waits at most a while for it to take the
// report); never raises.
void MySqlReportPart(TSourceSession& session, const TPlan& plan, int k, const std::string& payload);

}  // namespace morvale::cli
