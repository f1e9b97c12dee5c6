#include "export/dialog/form/progresswindow.h"

#include <QTest>
#include <QTimer>

#include "tests/export/dialog/form/formsupport.h"
#include "tests/support/demo.h"
#include "tests/support/faults.h"

namespace morvale::test {
namespace {

// A CSV export of a small table through the dialog model, run under the progress window.
class ProgressRunTest : public FormTest {
 protected:
  ProgressRunTest() : table(SmallTable(15)) {
    folder = FreshFolder("progress");
    dialog.SetDataSet(table.get());
    dialog.FileName = folder + "out.csv";
    dialog.ShowFile = false;
    dialog.RebuildColumns();
    model = std::make_unique<TExportDialogModel>(dialog);
    model->SetExportType(aeCSV);
  }

  // Runs one export; `onRecord(n)` sees each exported record (n from 1) before the window counts
  // it, `onEnd` the end of the run.
  void Run(std::function<void(int)> onRecord, std::function<void()> onEnd = {}) {
    int n = 0;
    dialog.OnExportedRecord = [&](TObject*, int) {
      onRecord(++n);
      records = n;
    };
    dialog.OnEndExport = [&](TObject*, TExport*) {
      if (onEnd) onEnd();
    };
    TExport& e = model->PrepareExporter();
    form::TProgressRun r(e, nullptr);
    run = &r;
    r.Run([&] { model->RunExporter(e, &r); });
    run = nullptr;
  }
  QWidget* Window() { return &run->Window(); }
  std::string Status() { return LabelText(Window(), "laStatusValue"); }
  std::string Button() { return Child<QPushButton>(Window(), "btnCancel")->text().toStdString(); }
  void Press() { QTest::mouseClick(Child<QPushButton>(Window(), "btnCancel"), Qt::LeftButton); }
  // Presses the button once the run has handed the window back to the event loop.
  void PressLater() {
    QTimer::singleShot(0, Window(), [this] { Press(); });
  }
  int DataLines() {
    std::string text = ReadFile(folder + "out.csv");
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) - 1;  // minus captions
  }

  std::unique_ptr<TMemDataSet> table;
  std::string folder;
  int records = 0;  // exported by the last run
  TExportDialog dialog;
  std::unique_ptr<TExportDialogModel> model;
  form::TProgressRun* run = nullptr;
};

TEST_F(ProgressRunTest, RunThatEndsByItselfWaitsForTheButton) {
  std::string during, caption;
  bool visibleAtEnd = false;
  Run(
      [&](int n) {
        if (n == 3) {
          during = Status();
          caption = LabelText(Window(), "laCount");
          EXPECT_EQ(Window()->windowTitle().toStdString(), "Идет экспорт...");
          EXPECT_EQ(LabelText(Window(), "laStatus"), "Статус");
          EXPECT_EQ(LabelText(Window(), "laTime"), "Время");
          EXPECT_EQ(LabelText(Window(), "laSpeed"), "Скорость");
          EXPECT_EQ(Button(), "Отмена");
        }
        if (n == 11) {
          // Ten records exported, four seconds gone.
          for (int i = 0; i < 4; ++i) run->Window().Tick();
          EXPECT_EQ(LabelText(Window(), "laTimeValue"), "0:00:04");
          EXPECT_EQ(LabelText(Window(), "laSpeedValue"), "2 стр/сек");
        }
      },
      [&] {
        // After the run the window stays, showing how it ended, until its button is pressed.
        QTimer::singleShot(0, Window(), [&] {
          visibleAtEnd = Window()->isVisible();
          EXPECT_EQ(Status(), "Завершено");
          EXPECT_EQ(Button(), "OK");
          EXPECT_EQ(LabelText(Window(), "laCountValue"), "15");
          EXPECT_FALSE(run->Window().Model().TimerRunning());
          Press();
        });
      });
  EXPECT_EQ(during, "Экспорт...");
  EXPECT_EQ(caption, "Экспортировано");
  EXPECT_TRUE(visibleAtEnd);
  EXPECT_EQ(DataLines(), 15);
  EXPECT_TRUE(prompts.Asked().empty());
}

TEST_F(ProgressRunTest, CancelAsksAndNoGoesOnYesStopsBeforeTheNextRecord) {
  prompts.SetNextAnswer(false);  // the first question: go on
  prompts.SetNextAnswer(true);   // the second: stop
  std::vector<std::string> states;
  Run(
      [&](int n) {
        if (n == 3 || n == 6) Press();  // the run asks before the next record
        if (n == 4 || n == 7) states.push_back(Status() + "|" + Button());
      },
      [&] {
        EXPECT_EQ(Status(), "Прервано");
        EXPECT_EQ(Button(), "OK");
        PressLater();
      });
  ASSERT_EQ(prompts.Asked().size(), 2u);
  for (const auto& q : prompts.Asked()) {
    EXPECT_EQ(q.kind, TScriptedPrompts::TAsked::Question);
    EXPECT_EQ(q.title.toStdString(), "Вы уверены?");
    EXPECT_EQ(q.text.toStdString(), "Вы действительно хотите прервать процесс экспорта?");
  }
  // After No the export went on ("exporting again" shows the export text).
  ASSERT_EQ(states.size(), 1u);
  EXPECT_EQ(states[0], "Экспорт...|Отмена");
  EXPECT_EQ(records, 6);  // Yes after the sixth record: no seventh
  EXPECT_EQ(FolderNames(folder), "") << "a stopped run wrote its file";
  EXPECT_EQ(run, nullptr);
}

// The window is paused while the question is open.
class PausePrompts : public TScriptedPrompts {
 public:
  std::function<void()> onQuestion;
  bool Question(QWidget* p, const QString& t, const QString& x, TButtons b, bool d) override {
    if (onQuestion) onQuestion();
    return TScriptedPrompts::Question(p, t, x, b, d);
  }
};

TEST_F(ProgressRunTest, PausedWhileAsking) {
  PausePrompts pause;
  TPromptsGuard g(pause);
  pause.SetNextAnswer(true);
  std::string asked;
  pause.onQuestion = [&] {
    asked = Status();
    EXPECT_FALSE(run->Window().Model().TimerRunning());
  };
  Run(
      [&](int n) {
        if (n == 1) Press();
      },
      [&] { PressLater(); });
  EXPECT_EQ(asked, "Пауза");
  EXPECT_EQ(records, 1);
}

TEST_F(ProgressRunTest, FileToBeOpenedClosesTheWindowItself) {
  model->Settings().ShowFile = true;
  Run([](int) {});
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0], "open " + folder + "out.csv");
}

TEST_F(ProgressRunTest, EmptyTableGoesFromPreparingToFinished) {
  table = SmallTable(0);
  dialog.SetDataSet(table.get());
  std::string count;
  Run([](int) { ADD_FAILURE() << "no record to export"; },
      [&] {
        QTimer::singleShot(0, Window(), [&] {
          count = LabelText(Window(), "laCountValue");
          EXPECT_EQ(Status(), "Завершено");
          Press();
        });
      });
  EXPECT_EQ(count, "0");
}

TEST_F(ProgressRunTest, WindowKeepsItsSizeAndCentres) {
  TExport e;
  form::TfmExportProgress w(&e, nullptr);
  EXPECT_EQ(w.size(), QSize(301, 140));
  QPushButton* b = Child<QPushButton>(&w, "btnCancel");
  EXPECT_EQ(b->size(), QSize(75, 22));
  // Escape is the button: during a run it aborts instead of closing the window.
  w.Notify(pcBeginExport);
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(e.Aborted());
  EXPECT_FALSE(w.Done());
}

}  // namespace
}  // namespace morvale::test
