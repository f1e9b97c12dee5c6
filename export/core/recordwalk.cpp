#include "export/core/recordwalk.h"

namespace morvale {

void TRecordWalk::Start() {
  if (!range_.GoToFirstRecord) return;
  source_.First();
  counter_ = 0;
}

void TRecordWalk::Skip() {
  // A counter of its own: the list view and the string grid end at a count of the records after
  // the skip, which the walk's counter is.
  int skipped = 0;
  while (skipped < range_.SkipRecCount && !source_.PastLast()) {
    source_.Next(skipped);
    if (OnSkipped) OnSkipped(skipped);
  }
}

bool TRecordWalk::Records(const std::function<bool(int counter)>& visit) {
  const int limit = range_.ExportRecCount;
  for (counter_ = 0; !End() && (limit == 0 || counter_ < limit);) {
    if (Stopped && Stopped()) return false;
    if (!visit(counter_)) return false;
    if (range_.CurrentRecordOnly) break;
    source_.Next(counter_);
    if (OnNext) OnNext(counter_);
  }
  return true;
}

bool TRecordWalk::Pass(const std::function<bool(int counter)>& visit) {
  const TBookmark mark = source_.GetBookmark();
  struct TFree {
    const TSourceAdapter& source;
    TBookmark mark;
    ~TFree() { source.FreeBookmark(mark); }
  } free{source_, mark};
  Start();
  Skip();
  const bool whole = Records(visit);
  // Back only when the pass ends normally: a source that failed may fail again on the way.
  source_.GotoBookmark(mark);
  return whole;
}

}  // namespace morvale
