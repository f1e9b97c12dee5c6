#include "export/dialog/progress.h"

#include <cstdio>

#include "export/core/export.h"

namespace morvale {

namespace {

struct TStateTexts {
  const char* status;
  const char* countCaption;  // nullptr: the caption stays
  const char* button;        // nullptr: the caption stays
};

const TStateTexts& TextsOf(TExportProgressState s) {
  static const TStateTexts texts[] = {
      {"", nullptr, nullptr},                     // psIdle
      {"Подготовка...", nullptr, "Отмена"},       // psPreparing
      {"Пропуск...", "Пропущено", nullptr},       // psSkipping
      {"Считывание...", "Считано", nullptr},      // psReading
      {"Экспорт...", "Экспортировано", nullptr},  // psExporting
      {"Пауза", nullptr, nullptr},                // psPaused
      {"Экспорт...", nullptr, "Отмена"},          // psExportingAgain
      {"Прервано", nullptr, "OK"},                // psAborted
      {"Завершено", nullptr, "OK"},               // psFinished
  };
  return texts[s];
}

}  // namespace

void TExportProgress::Enter(TExportProgressState s) {
  if (state_ == s) return;
  state_ = s;
  const TStateTexts& t = TextsOf(s);
  status_ = t.status;
  if (t.countCaption) countCaption_ = t.countCaption;
  if (t.button) button_ = t.button;
  if (OnStateChange) OnStateChange();
}

void TExportProgress::Notify(int code) {
  switch (code) {
    case pcBeginExport:
      StartTimer();
      Enter(psPreparing);
      break;
    case pcFetchedRecord:
      StartTimer();
      Enter(psReading);
      shownCount_ = ++read_;
      break;
    case pcSkippedRecord:
      StartTimer();
      Enter(psSkipping);
      shownCount_ = ++skipped_;
      break;
    case pcExportedRecord:
      StartTimer();
      Enter(psExporting);
      shownCount_ = ++exported_;
      break;
    case pcAbortAsked:
      StopTimer();
      Enter(psPaused);
      break;
    case pcAbortDeclined:
      StartTimer();
      Enter(psExportingAgain);
      break;
    case pcAbortConfirmed:
      StopTimer();
      Enter(psAborted);
      break;
    case pcEndExport:
      StopTimer();
      Enter(psFinished);
      break;
    case pcClose:
      closeRequested_ = true;
      if (OnStateChange) OnStateChange();
      break;
    default:
      break;
  }
}

void TExportProgress::Tick() {
  if (!timerRunning_) return;
  ++elapsed_;
}

void TExportProgress::ButtonClick() {
  switch (state_) {
    case psPaused:
    case psAborted:
    case psFinished:
      done_ = true;
      if (OnStateChange) OnStateChange();
      break;
    default:
      if (exporter_) exporter_->Abort();
      break;
  }
}

int64_t TExportProgress::Rate() const {
  if (elapsed_ == 0) return 0;
  return (int64_t{skipped_} + read_ + exported_) / elapsed_;
}

std::string TExportProgress::ElapsedText(int64_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

std::string TExportProgress::RateText(int64_t rate) {
  return std::to_string(rate) + " стр/сек";
}

}  // namespace morvale
