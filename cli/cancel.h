// Stopping a command-line export as a person expects: the first Ctrl+C (SIGINT) or SIGTERM asks
// the run to stop at its next record, so that the previous file is kept and said to be kept; a
// second one ends the process at once (the run's unnamed temporaries vanish with it). A file
// grown past the process's size limit (RLIMIT_FSIZE) fails its write with "File too large"
// instead of killing the process without a word.
#pragma once

#include <csignal>
#include <string>

#include "export/core/export.h"

namespace morvale::cli {

class TSignalCancel {
 public:
  // Installs the handlers for the life of the object and watches the run's record events (any
  // handlers already there still run first).
  explicit TSignalCancel(TExport& e);
  ~TSignalCancel();
  TSignalCancel(const TSignalCancel&) = delete;
  TSignalCancel& operator=(const TSignalCancel&) = delete;

  // The signal that stopped the run, or 0.
  int Signal() const;

 private:
  void Poll();
  TExport& e_;
  TRecordEvent exported_, skipped_, fetched_;  // the handlers that were there before
  bool asked_ = false;
  struct sigaction oldInt_ {
  }, oldTerm_{}, oldXfsz_{};
};

// Asked before a run: what a run that does not finish leaves of its file, "'NAME' is unchanged"
// when a file is there, "no file 'NAME' was written" when none is; empty for a device or pipe.
std::string KeptFileNote(const std::string& fileName);

}  // namespace morvale::cli
