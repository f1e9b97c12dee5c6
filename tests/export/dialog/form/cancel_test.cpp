// Cancelling an export in the progress window, through the real export dialog: over an existing
// file of each kind, the question answered Yes through the prompt seam, the window says that the
// previous file is unchanged, and the folder holds that file byte for byte and nothing else. A
// failed run's message says the same.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "tests/export/dialog/form/formdriver.h"
#include "tests/support/demo.h"
#include "tests/support/faults.h"

namespace morvale::test {
namespace {

struct TCancelCase {
  const char* label;  // in the type list
  const char* file;
};

std::ostream& operator<<(std::ostream& os, const TCancelCase& c) {
  return os << c.label;
}

QWidget* ProgressWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "fmExportProgress" && w->isVisible()) return w;
  return nullptr;
}

class CancelInWindow : public FormTest, public ::testing::WithParamInterface<TCancelCase> {
 protected:
  CancelInWindow() : table(SmallTable(200)), folder(FreshFolder("cancel")) {
    dialog.SetDataSet(table.get());
    dialog.ShowFile = false;
  }

  // Starts the export of the type into `file` from the form; `during` runs at the 50th record,
  // `after` once the window waits for its button after the run, which it then presses.
  void Start(const std::string& file, const std::function<void()>& during,
             const std::function<void(QWidget*)>& after) {
    dialog.OnExportedRecord = [&](TObject*, int recNo) {
      if (recNo == 50 && during) during();
    };
    // The button says OK as soon as the stop is confirmed, while the exporter still puts its
    // files back; the window says what became of the file once the run is over.
    bool ended = false;
    dialog.OnEndExport = [&](TObject*, TExport*) { ended = true; };
    bool pressed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* w = ProgressWindow();
      auto* button = w ? Child<QPushButton>(w, "btnCancel") : nullptr;
      if (pressed || !ended || !button || button->text() != "OK") return;
      pressed = true;
      if (after) after(w);
      button->click();
    });
    poll.start(20);
    dialog.Execute([&](TExportDialogModel& model) {
      form::TExportDialogF f(model);
      f.show();
      TFormDriver d(f);
      d.ClickItem("lbExportType", GetParam().label);
      d.Type("edFileName", QString::fromStdString(file));
      d.Click("bStart");
    });
  }

  std::unique_ptr<TMemDataSet> table;
  std::string folder;
  TExportDialog dialog;
};

TEST_P(CancelInWindow, PreviousFileStaysAndTheWindowSaysSo) {
  const std::string file = folder + GetParam().file;
  WriteFile(file, std::string("a complete file of an earlier run\0\r\n", 36));
  const auto before = FolderPicture(folder);
  prompts.SetNextAnswer(true);  // "Вы действительно хотите прервать процесс экспорта?" Yes
  std::string status, kept;
  Start(
      file,
      [] {
        if (QWidget* w = ProgressWindow())
          QTest::mouseClick(Child<QPushButton>(w, "btnCancel"), Qt::LeftButton);
      },
      [&](QWidget* w) {
        status = LabelText(w, "laStatusValue");
        kept = LabelText(w, "laNote");
        EXPECT_TRUE(Child<QWidget>(w, "laNote")->isVisible());
        w->grab().save(QString::fromStdString(std::string(MORVALE_BINARY_DIR) +
                                              "/tests/progress-cancelled.png"));
      });
  ASSERT_EQ(prompts.Asked().size(), 1u);
  EXPECT_EQ(prompts.Asked()[0].kind, TScriptedPrompts::TAsked::Question);
  EXPECT_EQ(status, "Прервано");
  EXPECT_EQ(kept, "Экспорт прерван, прежний файл не изменён");
  EXPECT_EQ(FolderPicture(folder), before) << FolderNames(folder);
}

TEST_P(CancelInWindow, NewFileIsNotMade) {
  prompts.SetNextAnswer(true);
  std::string kept;
  Start(
      folder + GetParam().file,
      [] { QTest::mouseClick(Child<QPushButton>(ProgressWindow(), "btnCancel"), Qt::LeftButton); },
      [&](QWidget* w) { kept = LabelText(w, "laNote"); });
  EXPECT_EQ(kept, "Экспорт прерван, файл не создан");
  EXPECT_EQ(FolderNames(folder), "");
}

TEST_P(CancelInWindow, FailedRunSaysThePreviousFileIsUnchanged) {
  const std::string file = folder + GetParam().file;
  WriteFile(file, "a complete file of an earlier run");
  const auto before = FolderPicture(folder);
  {
    const TFileSizeLimit full(1000);
    Start(file, {}, {});
  }
  ASSERT_EQ(prompts.Asked().size(), 1u);
  EXPECT_EQ(prompts.Asked()[0].kind, TScriptedPrompts::TAsked::Error);
  const std::string text = prompts.Asked()[0].text.toStdString();
  EXPECT_TRUE(text.ends_with("\n\nЭкспорт не выполнен, прежний файл «" + file + "» не изменён."))
      << text;
  EXPECT_EQ(text.find("morvale-part"), std::string::npos) << text;
  EXPECT_EQ(FolderPicture(folder), before) << FolderNames(folder);
}

INSTANTIATE_TEST_SUITE_P(Types, CancelInWindow,
                         ::testing::Values(TCancelCase{"CSV File", "orders.csv"},
                                           TCancelCase{"MS Excel", "orders.xls"},
                                           TCancelCase{"MS Excel 2007+", "orders.xlsx"},
                                           TCancelCase{"DBF", "orders.dbf"},
                                           TCancelCase{"PDF", "orders.pdf"}),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           return name.substr(name.find('.') + 1);
                         });

}  // namespace
}  // namespace morvale::test
