#include "app/engine/cursordataset.h"

#include <pthread.h>
#include <signal.h>

#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "app/engine/valuetext.h"
#include "export/core/translate.h"

namespace morvale {

TEngineField::TEngineField(const TCursorDataSet& owner, const TFieldDef& def, int index)
    : owner_(owner) {
  FieldName = def.Name;
  DataType = def.DataType;
  Size = def.Size;
  Precision = def.Precision;
  Unbounded = def.Unbounded;
  DataSize = def.DataSize;
  DisplayWidth = def.DisplayWidth;
  DisplayLabel = def.Name;
  Index = index;
  dateTimeFormat_ = DateTimeFormatFor(def.DataType, owner.FormatSettings());
}

bool TEngineField::IsNull() const {
  return owner_.CurrentCell(Index).Kind == TCellKind::Null;
}

void TEngineField::GetText(std::string& out) const {
  const TCell& cell = owner_.CurrentCell(Index);
  RenderCell(cell, owner_.CellBytes(cell), DataType, dateTimeFormat_, owner_.FormatSettings(), out);
}

void TEngineField::GetStoredValue(TFieldValue& out) const {
  const TCell& cell = owner_.CurrentCell(Index);
  StoredCellValue(cell, owner_.CellBytes(cell), DataType, out);
}

// One worker that runs the same job each time it is started: the dataset's ReadAhead.
class TReadAheadThread {
 public:
  explicit TReadAheadThread(TCursorDataSet& owner, void (TCursorDataSet::*job)())
      : owner_(owner), job_(job), thread_([this] { Run(); }) {}
  ~TReadAheadThread() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  void Start() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_ = true;
    }
    changed_.notify_all();
  }
  // Waits until the job started last has ended; what it raised, or nothing.
  std::exception_ptr Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
    return std::exchange(error_, nullptr);
  }

 private:
  void Run() {
    // Signals go to the thread that runs the export, whose events look for them.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return stop_ || pending_; });
      if (!pending_) return;
      lock.unlock();
      std::exception_ptr error;
      try {
        (owner_.*job_)();
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      error_ = error;
      pending_ = false;
      changed_.notify_all();
    }
  }

  TCursorDataSet& owner_;
  void (TCursorDataSet::*job_)();
  std::mutex mutex_;
  std::condition_variable changed_;
  bool pending_ = false;
  bool stop_ = false;
  std::exception_ptr error_;
  std::thread thread_;  // last: it starts running once everything above is made
};

TCursorDataSet::TCursorDataSet() = default;

TCursorDataSet::~TCursorDataSet() {
  Settle(false);
}

void TCursorDataSet::SetReadAhead(bool on) {
  Settle(false);
  readAhead_ = on;
  if (!on) thread_.reset();
}

void TCursorDataSet::EnableControls() {
  TDataSet::EnableControls();
  // The walk is over: the driver is this thread's again before anyone else reads it.
  if (!ControlsDisabled()) Settle(false);
}

void TCursorDataSet::ReadAhead() {
  ahead_.Reset(FieldCount(), cursorRow_ + 1);
  if (!cursor_->Step()) {
    cursorDone_ = true;
    count_ = cursorRow_ + 1;
    return;
  }
  ++cursorRow_;
  FillWindow(ahead_, cursorRow_);
}

void TCursorDataSet::StartReadAhead() {
  // Only the rows right after the window, for a walk that goes forward with controls disabled.
  if (!readAhead_ || aheadBusy_ || cursorDone_ || !ControlsDisabled() ||
      window_.EndRow() != cursorRow_ + 1 || !cursor_->CanReadAhead())
    return;
  if (!thread_) thread_ = std::make_unique<TReadAheadThread>(*this, &TCursorDataSet::ReadAhead);
  aheadBusy_ = true;
  thread_->Start();
}

void TCursorDataSet::Settle(bool raise) {
  if (!aheadBusy_ || !thread_) return;
  if (std::exception_ptr error = thread_->Wait()) aheadError_ = error;
  if (raise && aheadError_) {
    aheadBusy_ = false;
    std::rethrow_exception(std::exchange(aheadError_, nullptr));
  }
}

bool TCursorDataSet::TakeAhead() {
  if (!aheadBusy_) return false;
  Settle(true);
  aheadBusy_ = false;
  if (ahead_.Rows() == 0 || ahead_.FirstRow() != window_.EndRow()) return false;
  std::swap(window_, ahead_);
  return true;
}

void TCursorDataSet::OpenCursor(std::unique_ptr<TCursor> cursor) {
  Close();
  try {
    cursor->Execute();
    bool hasRow = cursor->Step();
    TFieldDefs defs = cursor->Describe(hasRow);
    cursor_ = std::move(cursor);
    for (size_t i = 0; i < defs.size(); ++i)
      fields_.push_back(std::make_unique<TEngineField>(*this, defs[i], static_cast<int>(i)));
    window_.Reset(FieldCount(), 0);
    cursorRow_ = hasRow ? 0 : -1;
    cursorDone_ = !hasRow;
    empty_ = !hasRow;
    eof_ = !hasRow;
    bof_ = true;
    current_ = 0;
    count_ = hasRow ? -1 : 0;
    if (hasRow) FillWindow(0);
  } catch (...) {
    Close();
    throw;
  }
  DoAfterOpen();
}

void TCursorDataSet::Close() {
  Settle(false);
  aheadBusy_ = false;
  aheadError_ = nullptr;
  cursor_.reset();
  fields_.clear();
  window_.Reset(0, 0);
  current_ = 0;
  cursorRow_ = -1;
  cursorDone_ = false;
  eof_ = bof_ = empty_ = true;
  count_ = -1;
}

void TCursorDataSet::CheckActive() const {
  if (!Active())
    throw Exception(TranslateText("Engine", "Cannot perform this operation on a closed dataset"));
}

TField& TCursorDataSet::Fields(int i) const {
  if (i < 0 || i >= FieldCount())
    throw Exception(
        Format(TranslateText("Engine", "List index out of bounds (%d)"), {IntToStr(i)}));
  return *fields_[static_cast<size_t>(i)];
}

const TCell TCursorDataSet::kNullCell;

void TCursorDataSet::FillWindow(TRowWindow& window, int64_t first) {
  window.Reset(FieldCount(), first);
  cursor_->ReadRow(window);
  while (!window.Full()) {
    if (!cursor_->Step()) {
      cursorDone_ = true;
      count_ = cursorRow_ + 1;
      return;
    }
    ++cursorRow_;
    cursor_->ReadRow(window);
  }
}

void TCursorDataSet::Restart() {
  Settle(false);
  aheadBusy_ = false;
  aheadError_ = nullptr;
  cursorRow_ = -1;
  cursorDone_ = false;
  cursor_->Execute();
}

bool TCursorDataSet::LoadWindowAt(int64_t row) {
  if (window_.Holds(row)) return true;
  if (row < 0) return false;
  if (aheadBusy_) {
    Settle(false);
    if (!aheadError_ && ahead_.Holds(row) && TakeAhead()) return true;
    // Rows read ahead and not wanted are passed over; a driver that failed starts again.
    aheadBusy_ = false;
    if (aheadError_) Restart();
  }
  if (row <= cursorRow_) Restart();
  // A far row (the last of a long table, the middle of a scroll bar) is reached by the driver's
  // own skip when it has one: stepping there row by row reads every row on the way.
  bool sought = false;
  if (row - cursorRow_ > kSeekDistance && !cursorDone_ && cursor_->Seek(row)) {
    cursorRow_ = row - 1;
    sought = true;
  }
  while (cursorRow_ < row) {
    if (cursorDone_) return false;
    if (!cursor_->Step()) {
      cursorDone_ = true;
      // Past the end after a skip, the rows on the way were never counted.
      if (!sought) count_ = cursorRow_ + 1;
      return false;
    }
    ++cursorRow_;
  }
  FillWindow(row);
  return true;
}

void TCursorDataSet::First() {
  CheckActive();
  bof_ = true;
  eof_ = empty_;
  if (empty_) return;
  // Within the first window (most exports of a short result) nothing runs again.
  if (!LoadWindowAt(0)) {
    // The statement gives no rows any more: the data changed under us.
    empty_ = eof_ = true;
    return;
  }
  current_ = 0;
}

void TCursorDataSet::Next() {
  CheckActive();
  if (eof_) return;
  bof_ = false;
  if (current_ + 1 < window_.EndRow()) {
    ++current_;
    StartReadAhead();
    return;
  }
  if (TakeAhead()) {
    current_ = window_.FirstRow();
    StartReadAhead();
    return;
  }
  // The window is used up: ask the driver for the next row before giving the window up, so that
  // at the end the last record stays current.
  if (cursorDone_ || !cursor_->Step()) {
    if (!cursorDone_) count_ = cursorRow_ + 1;
    cursorDone_ = true;
    eof_ = true;
    return;
  }
  current_ = ++cursorRow_;
  FillWindow(current_);
}

int TCursorDataSet::RecordCount() {
  CheckActive();
  Settle(false);
  if (count_ < 0) count_ = cursor_->CountRows();
  return count_ > INT_MAX ? INT_MAX : static_cast<int>(count_);
}

TBookmark TCursorDataSet::GetBookmark() {
  CheckActive();
  return empty_ ? -1 : current_;
}

void TCursorDataSet::GotoBookmark(TBookmark b) {
  CheckActive();
  if (b < 0 || empty_) return;
  if (!LoadWindowAt(b)) {
    // Come back to where we were before reporting it, so the cursor stays usable.
    int64_t here = current_;
    window_.Reset(FieldCount(), 0);
    if (!LoadWindowAt(here)) {
      empty_ = eof_ = true;
      current_ = 0;
    }
    throw Exception(TranslateText("Engine", "Record not found"));
  }
  current_ = b;
  eof_ = bof_ = false;
}

}  // namespace morvale
