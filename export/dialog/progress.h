// What the progress window shows while the export dialog runs an export: the run's state and its
// texts, three record counters, the elapsed time and a rate. No widgets: the window
// (export/dialog/form/progresswindow.h) shows these texts and calls Tick from its one-second timer;
// the dialog feeds it the run's events through Notify.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/core/translate.h"

namespace morvale {

class TExport;

// The state of the run as the window sees it.
enum TExportProgressState {
  psIdle,  // created, no event yet
  psPreparing,
  psSkipping,
  psReading,
  psExporting,
  psPaused,
  psExportingAgain,
  psAborted,
  psFinished
};

// The notifications the dialog sends, in the numbering the dialog and its tests share.
enum TExportProgressCode : int {
  pcBeginExport = 1,
  pcFetchedRecord = 2,
  pcSkippedRecord = 3,
  pcExportedRecord = 4,
  pcAbortAsked = 5,     // the user is about to be asked whether to stop
  pcAbortDeclined = 6,  // the user chose to go on
  pcAbortConfirmed = 7,
  pcEndExport = 8,  // the run ended without being aborted
  pcClose = 9,      // the dialog closes the window itself
};

class TExportProgress {
 public:
  explicit TExportProgress(TExport* exporter = nullptr) : exporter_(exporter) {}

  // One notification; codes outside 1..9 are ignored.
  void Notify(int code);
  // One second of the running timer: the elapsed time and the rate move on.
  void Tick();
  // The window's single button: asks a running export to stop, or ends the window after a run.
  void ButtonClick();

  TExport* Exporter() const { return exporter_; }
  TExportProgressState State() const { return state_; }
  // Whether the one-second timer runs; the window starts and stops its own timer to match.
  bool TimerRunning() const { return timerRunning_; }
  // The button was pressed in a final state (the window's modal result is OK).
  bool Done() const { return done_; }
  // The dialog asked the window to close itself.
  bool CloseRequested() const { return closeRequested_; }

  uint32_t SkippedCount() const { return skipped_; }
  uint32_t ReadCount() const { return read_; }
  uint32_t ExportedCount() const { return exported_; }
  int64_t ElapsedSeconds() const { return elapsed_; }
  // Records per second over the whole run so far: every counter summed, the fraction dropped.
  int64_t Rate() const;

  // The texts of the window.
  static const char* Caption() { return "Идет экспорт..."; }
  static const char* StatusCaption() { return "Статус"; }
  static const char* TimeCaption() { return "Время"; }
  static const char* SpeedCaption() { return "Скорость"; }
  const std::string& StatusText() const { return status_; }
  const std::string& CountCaption() const { return countCaption_; }
  // The counter of the latest record notification.
  std::string CountText() const { return std::to_string(shownCount_); }
  std::string TimeText() const { return ElapsedText(elapsed_); }
  std::string SpeedText() const { return RateText(Rate()); }
  const std::string& ButtonCaption() const { return button_; }
  // What the user must know about the run's end, shown below the counters: for a finished run
  // what the file does not show (RunNote), for a stopped one that the file is as it was.
  const std::string& NoteText() const { return note_; }
  // A run over several tables: the table being exported, "Таблица 2 из 5: orders" (empty for a
  // run of one), and at the end what became of the tables, which takes the note's place.
  void SetTable(int number, int count, const std::string& table);
  const std::string& TableText() const { return table_; }
  void SetNote(std::string note);
  // A run read in ranges: the records part `part` (from 1) of `parts` has written so far; the
  // counter shows the sum of all. PartsText has a line a part, "Часть 2 из 3: 1200", after what
  // SetPartsNote said of the run (that it reads as one job, and why).
  void SetPartRows(int part, int parts, int64_t rows);
  void SetPartsNote(std::string note);
  std::string PartsText() const;

  // H:MM:SS, the hours without a leading zero and not wrapped at a day.
  static std::string ElapsedText(int64_t seconds);
  // "%d стр/сек".
  static std::string RateText(int64_t rate);

  // What the window says of the run's file when the run does not finish, so that nobody takes a
  // cancelled or failed export for a changed file. NoteTarget, just before the run, remembers
  // whether the exporter's file exists; RunEnded, after it, sets NoteText for a stopped run:
  // "Экспорт прерван, прежний файл не изменён" or "Экспорт прерван, файл не создан". Nothing is
  // said for a run that finished, an exporter without a file, or a device.
  void NoteTarget();
  void RunEnded();
  // The sentence that follows the error of a failed run, naming the file; empty where a stopped
  // run's note would be.
  std::string FailedText() const;

  // Raised after every change of state or texts other than a counter step, so that a window can
  // repaint at once what a person must see (a new state, the button caption) and leave the
  // counters to its own pace.
  std::function<void()> OnStateChange;

 private:
  void Enter(TExportProgressState s);
  void StartTimer() { timerRunning_ = true; }
  void StopTimer() { timerRunning_ = false; }

  TExport* exporter_;
  TExportProgressState state_ = psIdle;
  bool timerRunning_ = false;
  bool done_ = false;
  bool closeRequested_ = false;
  uint32_t skipped_ = 0, read_ = 0, exported_ = 0;
  uint32_t shownCount_ = 0;
  int64_t elapsed_ = 0;
  std::string status_;
  std::string countCaption_ = TranslateText("Progress", "Экспортировано");
  std::string button_ = TranslateText("Progress", "Отмена");
  enum { tfNone, tfAbsent, tfExists } target_ = tfNone;
  std::string note_;
  std::string table_;
  std::vector<int64_t> parts_;
  std::string partsNote_;
};

// What a finished run left out that the file does not show, in a sentence for the progress window:
// the columns whose time of day a dBASE date field could not keep. Empty when nothing was.
std::string RunNote(const TExport& exporter);

}  // namespace morvale
