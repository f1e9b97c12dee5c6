#include "export/dialog/progress.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "export/core/export.h"
#include "export/core/translate.h"
#include "export/docs/dbfexport.h"

namespace morvale {

namespace {

struct TStateTexts {
  const char* status;
  const char* countCaption;  // nullptr: the caption stays
  const char* button;        // nullptr: the caption stays
};

const TStateTexts& TextsOf(TExportProgressState s) {
  static const TStateTexts texts[] = {
      {"", nullptr, nullptr},  // psIdle
      {MVL_TEXT_NOOP("Progress", "Подготовка..."), nullptr,
       MVL_TEXT_NOOP("Progress", "Отмена")},  // psPreparing
      {MVL_TEXT_NOOP("Progress", "Пропуск..."), MVL_TEXT_NOOP("Progress", "Пропущено"),
       nullptr},  // psSkipping
      {MVL_TEXT_NOOP("Progress", "Считывание..."), MVL_TEXT_NOOP("Progress", "Считано"),
       nullptr},  // psReading
      {MVL_TEXT_NOOP("Progress", "Экспорт..."), MVL_TEXT_NOOP("Progress", "Экспортировано"),
       nullptr},                                               // psExporting
      {MVL_TEXT_NOOP("Progress", "Пауза"), nullptr, nullptr},  // psPaused
      {MVL_TEXT_NOOP("Progress", "Экспорт..."), nullptr,
       MVL_TEXT_NOOP("Progress", "Отмена")},  // psExportingAgain
      {MVL_TEXT_NOOP("Progress", "Прервано"), nullptr,
       MVL_TEXT_NOOP("Progress", "OK")},  // psAborted
      {MVL_TEXT_NOOP("Progress", "Завершено"), nullptr,
       MVL_TEXT_NOOP("Progress", "OK")},  // psFinished
  };
  return texts[s];
}

// The file the exporter writes, when it writes one.
const std::string* TargetOf(TExport* e) {
  auto* text = dynamic_cast<TExportText*>(e);
  return text && !text->FileName.empty() ? &text->FileName : nullptr;
}

}  // namespace

void TExportProgress::Enter(TExportProgressState s) {
  if (state_ == s) return;
  state_ = s;
  const TStateTexts& t = TextsOf(s);
  status_ = TranslateText("Progress", t.status);
  if (t.countCaption) countCaption_ = TranslateText("Progress", t.countCaption);
  if (t.button) button_ = TranslateText("Progress", t.button);
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
      if (exporter_) note_ = RunNote(*exporter_);
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

std::string RunNote(const TExport& exporter) {
  const auto* dbf = dynamic_cast<const TExportDBF*>(&exporter);
  if (!dbf || dbf->TimeDroppedColumns().empty()) return std::string();
  std::string names;
  for (const std::string& name : dbf->TimeDroppedColumns())
    names += (names.empty() ? "" : ", ") + name;
  return Format(TranslateText("Progress",
                              "Поле даты dBASE не хранит время суток: оно не сохранено в столбцах "
                              "%s. Флажок «Дату и время записывать текстом» на странице DBF "
                              "сохраняет его."),
                {names});
}

void TExportProgress::SetTable(int number, int count, const std::string& table) {
  table_ = Format(TranslateText("Progress", "Таблица %s из %s: %s"),
                  {std::to_string(number), std::to_string(count), table});
  if (OnStateChange) OnStateChange();
}

void TExportProgress::SetNote(std::string note) {
  note_ = std::move(note);
  if (OnStateChange) OnStateChange();
}

void TExportProgress::SetPartRows(int part, int parts, int64_t rows) {
  if (part < 1 || part > parts) return;
  parts_.resize(static_cast<size_t>(parts));
  parts_[static_cast<size_t>(part - 1)] = rows;
  int64_t sum = 0;
  for (const int64_t r : parts_) sum += r;
  exported_ = static_cast<uint32_t>(std::min<int64_t>(sum, UINT32_MAX));
  shownCount_ = exported_;
  // The state moves on from the start only: a stop question open stays as it is.
  if (state_ == psIdle || state_ == psPreparing) {
    StartTimer();
    Enter(psExporting);
  }
}

void TExportProgress::SetPartsNote(std::string note) {
  partsNote_ = std::move(note);
  if (OnStateChange) OnStateChange();
}

std::string TExportProgress::PartsText() const {
  std::string text = partsNote_;
  for (size_t k = 0; k < parts_.size(); ++k)
    text +=
        (text.empty() ? "" : "\n") +
        Format(TranslateText("Progress", "Часть %s из %s: %s"),
               {std::to_string(k + 1), std::to_string(parts_.size()), std::to_string(parts_[k])});
  return text;
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
  return Format(TranslateText("Progress", "%s стр/сек"), {std::to_string(rate)});
}

void TExportProgress::NoteTarget() {
  target_ = tfNone;
  const std::string* name = TargetOf(exporter_);
  if (!name) return;
  struct stat st;
  if (::stat(name->c_str(), &st) != 0)
    target_ = tfAbsent;
  else if (S_ISREG(st.st_mode))
    target_ = tfExists;
}

void TExportProgress::RunEnded() {
  // A run of several tables ends with its own summary of what became of each of them.
  if (!table_.empty()) return;
  if (target_ == tfNone || !exporter_ || !exporter_->Aborted()) return;
  note_ = target_ == tfExists
              ? TranslateText("Progress", "Экспорт прерван, прежний файл не изменён")
              : TranslateText("Progress", "Экспорт прерван, файл не создан");
  if (OnStateChange) OnStateChange();
}

std::string TExportProgress::FailedText() const {
  if (target_ == tfNone) return {};
  const std::string& name = *TargetOf(exporter_);
  return Format(
      target_ == tfExists
          ? TranslateText("Progress", "Экспорт не выполнен, прежний файл «%s» не изменён.")
          : TranslateText("Progress", "Экспорт не выполнен, файл «%s» не создан."),
      {name});
}

}  // namespace morvale
