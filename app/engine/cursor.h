// A driver's view of one statement: run it, step through its rows once, copy the current row out,
// and run it again from the start when asked. The dataset above it (TCursorDataSet) turns this
// one-way walk into a cursor with First, bookmarks and a record count.
#pragma once

#include <cstdint>

#include "app/engine/fielddefs.h"
#include "app/engine/rowwindow.h"

namespace morvale {

class TCursor {
 public:
  virtual ~TCursor() = default;

  // Runs the statement from before its first row; a second call starts it again.
  virtual void Execute() = 0;
  // Moves to the next row; false after the last one.
  virtual bool Step() = 0;
  // The result's columns. Called once, after Execute and the first Step (hasRow tells whether
  // that found a row), because some engines know a column's type only from its first value.
  virtual TFieldDefs Describe(bool hasRow) = 0;
  // Appends the current row to the window, one cell per column described.
  virtual void ReadRow(TRowWindow& window) = 0;
  // The number of rows of the whole result, without moving this cursor.
  virtual int64_t CountRows() = 0;
  // Places the cursor so that the next Step gives row `row` (from 0), faster than stepping
  // there; false when the driver has no such shortcut (the caller steps then). A row past the
  // end makes the next Step give false.
  virtual bool Seek(int64_t /*row*/) { return false; }
  // True when Step and ReadRow may run on another thread than the one that made the cursor,
  // while that thread leaves the cursor and its connection alone (see TCursorDataSet's read
  // ahead).
  virtual bool CanReadAhead() const { return false; }
};

}  // namespace morvale
