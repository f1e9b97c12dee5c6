// A dataset over a driver cursor that holds one window of rows at a time. Walking forward copies
// each row once into the window and reuses the window's memory, so a walk over millions of rows
// stays in bounded memory. A move back to a row the window no longer holds runs the statement
// again and steps forward to it; the record count comes from the driver (a counting query, or a
// walk of its own), never from holding the rows.
//
// While an export walks the dataset (controls disabled) and read ahead is on, a second thread
// copies the next window out of the driver as the export formats the current one: two windows,
// never more, so memory stays as bounded as before. Only that thread touches the driver while it
// works; every other move waits for it first, and an error it met is raised by the Next that
// needed its rows, as the same exception the walk would have raised itself.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/cursor.h"
#include "app/engine/rowwindow.h"
#include "export/core/dataset.h"
#include "export/core/formatsettings.h"

namespace morvale {

class TCursorDataSet;
class TReadAheadThread;

class TEngineField : public TField {
 public:
  TEngineField(const TCursorDataSet& owner, const TFieldDef& def, int index);
  bool IsNull() const override;
  void GetText(std::string& out) const override;
  bool HasStoredValues() const override { return true; }
  void GetStoredValue(TFieldValue& out) const override;

 private:
  const TCursorDataSet& owner_;
  std::string dateTimeFormat_;
};

class TCursorDataSet : public TDataSet {
 public:
  TCursorDataSet();
  ~TCursorDataSet() override;

  // Takes the cursor, runs it and sits on the first record. An AfterOpen-style hook for
  // descendants follows in DoAfterOpen.
  void OpenCursor(std::unique_ptr<TCursor> cursor);
  void Close();

  const TFormatSettings& FormatSettings() const { return fs_; }
  void SetFormatSettings(const TFormatSettings& fs) { fs_ = fs; }

  bool Active() const override { return cursor_ != nullptr; }
  void First() override;
  void Next() override;
  bool Eof() const override { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() override { return !Active() || empty_; }
  int RecordCount() override;
  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  TField& Fields(int i) const override;
  TBookmark GetBookmark() override;
  void GotoBookmark(TBookmark b) override;
  // The number of the current record from 0.
  int64_t RecNo() const { return current_; }
  // Lets a forward walk with controls disabled read the next window on a second thread, for a
  // driver that allows it (TCursor::CanReadAhead). Off by default: whoever turns it on promises
  // that nothing else uses the dataset's connection while the dataset is walked.
  void SetReadAhead(bool on);
  void EnableControls() override;

  // The cell of a field on the current record; a NULL cell when there is none. Inline: the
  // fields ask for it once for every value.
  const TCell& CurrentCell(int column) const {
    if (empty_ || !Active()) return kNullCell;
    return window_.At(current_, column);
  }
  std::string_view CellBytes(const TCell& cell) const { return window_.Bytes(cell); }

 protected:
  virtual void DoAfterOpen() {}
  // Rows ahead beyond which a move asks the driver to skip rather than stepping.
  static constexpr int64_t kSeekDistance = 4096;

 private:
  static const TCell kNullCell;
  void CheckActive() const;
  // Copies rows from the cursor into a new window starting at row `first` (the cursor is on it).
  void FillWindow(TRowWindow& window, int64_t first);
  void FillWindow(int64_t first) { FillWindow(window_, first); }
  // On the read-ahead thread: steps to the row after the cursor's and fills ahead_ from there.
  void ReadAhead();
  void StartReadAhead();
  // Waits for the read-ahead thread; rethrows what it raised when `raise`, keeps it otherwise
  // for the Next that needs those rows. After it the driver is this thread's again.
  void Settle(bool raise);
  // Makes the rows read ahead the current window; false when there are none.
  bool TakeAhead();
  // Moves the cursor to row `row` and loads a window there; false when the result has no such row.
  bool LoadWindowAt(int64_t row);
  void Restart();

  std::unique_ptr<TCursor> cursor_;
  std::vector<std::unique_ptr<TEngineField>> fields_;
  TRowWindow window_;
  TFormatSettings fs_ = DefaultFormatSettings();
  int64_t current_ = 0;      // record number of the current record
  int64_t cursorRow_ = -1;   // record number of the row the driver stands on, -1 before the first
  bool cursorDone_ = false;  // the driver has given its last row
  bool eof_ = true;
  bool bof_ = true;
  bool empty_ = true;
  int64_t count_ = -1;  // known record count, -1 until asked or reached

  bool readAhead_ = false;
  std::unique_ptr<TReadAheadThread> thread_;
  // The window after window_, filled by the thread; valid when aheadReady_ once settled.
  TRowWindow ahead_;
  bool aheadBusy_ = false;         // a read ahead has started and is not taken or dropped yet
  std::exception_ptr aheadError_;  // what the last read ahead raised
};

}  // namespace morvale
