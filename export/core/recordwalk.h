// The walk over a source's records that every pass of an export takes: the run itself, the
// passes that must see the values before the file begins (the text widths, the DIF row count,
// the scripts a LaTeX file needs) and the rows of a workbook sheet. Where it starts, how many
// records it passes over and how many it reads are decided here once, so that a pass that counts
// or measures sees exactly the records the run writes.
#pragma once

#include <functional>

#include "export/core/sourceadapter.h"

namespace morvale {

// Which records a walk reads, as an exporter (or a workbook sheet) is told.
struct TRecordRange {
  bool GoToFirstRecord = true;     // start at the first record; else where the source stands
  int SkipRecCount = 0;            // records passed over before the first one read
  int ExportRecCount = 0;          // at most this many records read; 0: no limit
  bool CurrentRecordOnly = false;  // one record: the one the walk starts on, after the skip
};

class TRecordWalk {
 public:
  // `counter` is the walk's record counter, held by the caller where others read it while the
  // walk runs (the exporter's RecordCounter: formats number their rows by it, and the list view
  // and the string grid end at a count).
  TRecordWalk(const TSourceAdapter& source, const TRecordRange& range, int& counter)
      : source_(source), range_(range), counter_(counter) {}

  // Each hook is optional.
  // After each record passed over by Skip, with 1, 2, ...
  std::function<void(int recNo)> OnSkipped;
  // After each move to the next record in Records, with the counter it reached.
  std::function<void(int counter)> OnNext;
  // Asked before each record: true ends the walk there (an abort request that nobody lets go on).
  std::function<bool()> Stopped;
  // The end test, when the caller has its own; the source's end otherwise.
  std::function<bool()> AtEnd;

  // Goes to the first record when the range asks for it; the counter starts again at 0.
  void Start();
  // Passes over SkipRecCount records from where the source stands, or fewer when a source that
  // runs out ends first: there is nothing further to pass over, and no event for it.
  void Skip();
  // Reads the range's records from where the source stands, the counter from 0: `visit` gets the
  // current record with the counter and answers false to end the walk on it. True when the walk
  // came to the end of its records; false when Stopped or `visit` ended it.
  bool Records(const std::function<bool(int counter)>& visit);
  // A pass before the run: Start, Skip and Records over the same records the run reads, and back
  // to the record the source stood on. The bookmark is freed however the pass ends.
  bool Pass(const std::function<bool(int counter)>& visit);

 private:
  bool End() const { return AtEnd ? AtEnd() : source_.Eof(counter_); }

  const TSourceAdapter& source_;
  const TRecordRange range_;
  int& counter_;
};

// Begin update on a source (a dataset's DisableControls) for as long as it lives.
class TSourceUpdate {
 public:
  explicit TSourceUpdate(const TSourceAdapter& source) : source_(source) { source_.BeginUpdate(); }
  ~TSourceUpdate() { source_.EndUpdate(); }
  TSourceUpdate(const TSourceUpdate&) = delete;
  TSourceUpdate& operator=(const TSourceUpdate&) = delete;

 private:
  const TSourceAdapter& source_;
};

}  // namespace morvale
