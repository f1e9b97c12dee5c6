#include "export/dialog/progress.h"

#include <gtest/gtest.h>

#include "export/core/export.h"

namespace morvale {
namespace {

TEST(ExportProgress, StatesSetTheirTexts) {
  TExportProgress p;
  EXPECT_EQ(p.State(), psIdle);
  EXPECT_EQ(p.TimeText(), "0:00:00");
  EXPECT_EQ(p.ButtonCaption(), "Отмена");

  struct Step {
    int code;
    TExportProgressState state;
    const char *status, *count, *button;
  };
  const Step steps[] = {
      {pcBeginExport, psPreparing, "Подготовка...", "Экспортировано", "Отмена"},
      {pcSkippedRecord, psSkipping, "Пропуск...", "Пропущено", "Отмена"},
      {pcFetchedRecord, psReading, "Считывание...", "Считано", "Отмена"},
      {pcExportedRecord, psExporting, "Экспорт...", "Экспортировано", "Отмена"},
      {pcAbortAsked, psPaused, "Пауза", "Экспортировано", "Отмена"},
      {pcAbortDeclined, psExportingAgain, "Экспорт...", "Экспортировано", "Отмена"},
      {pcAbortAsked, psPaused, "Пауза", "Экспортировано", "Отмена"},
      {pcAbortConfirmed, psAborted, "Прервано", "Экспортировано", "OK"},
      {pcBeginExport, psPreparing, "Подготовка...", "Экспортировано", "Отмена"},
      {pcFetchedRecord, psReading, "Считывание...", "Считано", "Отмена"},
      {pcEndExport, psFinished, "Завершено", "Считано", "OK"},
  };
  for (const Step& s : steps) {
    p.Notify(s.code);
    EXPECT_EQ(p.State(), s.state) << s.code;
    EXPECT_EQ(p.StatusText(), s.status) << s.code;
    EXPECT_EQ(p.CountCaption(), s.count) << s.code;
    EXPECT_EQ(p.ButtonCaption(), s.button) << s.code;
  }
  // Codes outside the table change nothing.
  for (int code : {0, 10, -1, 1025}) p.Notify(code);
  EXPECT_EQ(p.State(), psFinished);
  EXPECT_FALSE(p.CloseRequested());
  p.Notify(pcClose);
  EXPECT_TRUE(p.CloseRequested());
}

TEST(ExportProgress, CountersAndTheShownCount) {
  TExportProgress p;
  p.Notify(pcBeginExport);
  EXPECT_EQ(p.CountText(), "0");  // no record yet: nothing counted
  for (int i = 0; i < 3; ++i) p.Notify(pcSkippedRecord);
  EXPECT_EQ(p.CountText(), "3");
  // A DIF export counts what its pre-pass read, then what it exported; the rate sums all three.
  for (int i = 0; i < 5; ++i) p.Notify(pcFetchedRecord);
  EXPECT_EQ(p.CountText(), "5");
  for (int i = 0; i < 2; ++i) p.Notify(pcExportedRecord);
  EXPECT_EQ(p.CountText(), "2");
  EXPECT_EQ(p.SkippedCount(), 3u);
  EXPECT_EQ(p.ReadCount(), 5u);
  EXPECT_EQ(p.ExportedCount(), 2u);
  p.Tick();
  p.Tick();
  EXPECT_EQ(p.SpeedText(), "5 стр/сек");
}

TEST(ExportProgress, TimerRunsOnlyWhileTheRunGoesOn) {
  TExportProgress p;
  p.Tick();  // a stopped timer does not count
  EXPECT_EQ(p.ElapsedSeconds(), 0);
  EXPECT_FALSE(p.TimerRunning());
  p.Notify(pcBeginExport);
  EXPECT_TRUE(p.TimerRunning());
  p.Tick();
  p.Notify(pcAbortAsked);
  EXPECT_FALSE(p.TimerRunning());
  p.Tick();  // the question is open: no time passes for the run
  p.Notify(pcAbortDeclined);
  EXPECT_TRUE(p.TimerRunning());
  p.Tick();
  p.Notify(pcEndExport);
  EXPECT_FALSE(p.TimerRunning());
  EXPECT_EQ(p.ElapsedSeconds(), 2);
  EXPECT_EQ(p.TimeText(), "0:00:02");
}

TEST(ExportProgress, RateAndElapsedTexts) {
  EXPECT_EQ(TExportProgress::ElapsedText(0), "0:00:00");
  EXPECT_EQ(TExportProgress::ElapsedText(59), "0:00:59");
  EXPECT_EQ(TExportProgress::ElapsedText(61), "0:01:01");
  EXPECT_EQ(TExportProgress::ElapsedText(3600 + 62), "1:01:02");
  // A run longer than a day keeps counting hours instead of starting over at 0:00:00.
  EXPECT_EQ(TExportProgress::ElapsedText(25 * 3600), "25:00:00");

  auto rateAfter = [](int seconds, int records) {
    TExportProgress p;
    p.Notify(pcBeginExport);
    EXPECT_EQ(p.SpeedText(), "0 стр/сек");  // no second has passed: no division
    for (int i = 0; i < records; ++i) p.Notify(pcExportedRecord);
    for (int i = 0; i < seconds; ++i) p.Tick();
    return p.SpeedText();
  };
  EXPECT_EQ(rateAfter(4, 10), "2 стр/сек");
  EXPECT_EQ(rateAfter(4, 15), "3 стр/сек");
  EXPECT_EQ(rateAfter(0, 15), "0 стр/сек");
  EXPECT_EQ(rateAfter(1, 0), "0 стр/сек");
}

TEST(ExportProgress, ButtonAbortsWhileRunningAndEndsTheWindowAfter) {
  TExport exporter;
  TExportProgress p(&exporter);
  int changes = 0;
  p.OnStateChange = [&] { ++changes; };
  p.Notify(pcBeginExport);
  p.Notify(pcExportedRecord);
  p.ButtonClick();
  EXPECT_TRUE(exporter.Aborted());
  EXPECT_FALSE(p.Done());
  p.Notify(pcAbortAsked);
  p.Notify(pcAbortConfirmed);
  int before = changes;
  p.ButtonClick();
  EXPECT_TRUE(p.Done());
  EXPECT_GT(changes, before);

  TExportProgress finished(&exporter);
  finished.Notify(pcBeginExport);
  finished.Notify(pcEndExport);  // a run without records goes straight to its end
  EXPECT_EQ(finished.CountText(), "0");
  EXPECT_EQ(finished.ButtonCaption(), "OK");
  finished.ButtonClick();
  EXPECT_TRUE(finished.Done());
}

}  // namespace
}  // namespace morvale
