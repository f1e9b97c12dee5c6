// The main window's export read in ranges ("Параллельное чтение" of the export dialog): the
// window runs morvale-export --jobs, the program lying beside its own, on the open query's
// database and SQL. The coordinator is the command line's own (one snapshot, the ranges, the
// shares joined in order, the previous file kept when a part fails or the user stops); being a
// process of its own, it can start its jobs, reap them and take signals without touching the
// window's process, and the window reads the records of each part from its progress line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/engine/connection.h"
#include "cli/splitreason.h"
#include "export/dialog/exportdialog.h"

namespace morvale {

class TDatabase;

// The database as morvale-export's --db names it, and the password apart: it goes to the
// program in its environment, never on a command line that others on the machine can read.
struct TRangeSource {
  TDriverKind Kind = TDriverKind::Standard;
  // "sqlite:/path", "postgresql://user@host:port/name?options", "mysql://..."
  std::string Database;
  std::string Password;
};
TRangeSource RangeSourceOf(const TDatabase& database);

// The window's words for why a source is read as one job: what makes it so, in a clause of its
// own, without the command line's advice (the window chooses no split column).
std::string RangeReasonText(const cli::TSplitReason& reason);

// Why the query cannot be read in ranges into `type`, as the export dialog shows it; empty when
// it can.
std::string RangeReadsWhy(TDriverKind kind, const std::string& sql, TAllowedExport type);

// What morvale-export --progress --jobs writes to standard error, read as it comes: the records
// of each part, and the note of a run that reads as one job. The rest is the run's message.
class TRangeProgressReader {
 public:
  std::function<void(int part, int parts, int64_t rows)> PartRows;
  std::function<void(const std::string& note)> OneJob;

  void Feed(const std::string& bytes);
  // The program's messages (each without "morvale-export: "), a line each.
  const std::string& Messages() const { return messages_; }

 private:
  void Segment(const std::string& text, bool whole);
  std::string pending_;
  std::string messages_;
};

// The program the window runs: $MORVALE_EXPORT_PROGRAM when set, else morvale-export beside this
// program (an installed copy), else the build tree's.
std::string ExportProgram();

// Runs the export of `run` on `sql` with the program, serving the event loop while it goes:
// true when it finished, false when run.Stopped() stopped it. Raises the program's message when
// it fails.
bool RunRangeExport(const TRangeSource& source, const std::string& sql, const TRangeRun& run);

}  // namespace morvale
