// What the form tests share: a dialog on a small in-memory table or on the demo database, the
// scripted prompts, a shell that records instead of opening files, and widget lookup.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/core/platform.h"
#include "export/dialog/exportdialog.h"
#include "export/dialog/form/progressrun.h"
#include "export/dialog/model.h"
#include "tests/support/memsources.h"
#include "tests/support/scriptedprompts.h"

namespace morvale::test {

template <class T = QWidget>
T* Child(QWidget* parent, const char* name) {
  T* w = parent->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

inline std::string LabelText(QWidget* parent, const char* name) {
  QLabel* l = Child<QLabel>(parent, name);
  return l ? l->text().toStdString() : std::string();
}

// Once the run hands the event loop back, presses the button of the progress window that waits
// for it, after `before` has seen the window.
inline void PressProgressButtonLater(std::function<void(QWidget*)> before = {}) {
  QTimer::singleShot(0, [before] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "fmExportProgress" && w->isVisible()) {
        if (before) before(w);
        QTest::mouseClick(Child<QPushButton>(w, "btnCancel"), Qt::LeftButton);
      }
  });
}

class TRecordingShell : public IShell {
 public:
  void Execute(const std::string& verb, const std::string& fileName) override {
    calls.push_back(verb + " " + fileName);
  }
  std::vector<std::string> calls;
};

// Installs the scripted prompts and the recording shell; serves the event loop at every record.
class FormTest : public ::testing::Test {
 protected:
  FormTest() : guard_(prompts) {
    SetShell(&shell);
    form::TProgressRun::ServeInterval = std::chrono::microseconds(0);
  }
  ~FormTest() override {
    SetShell(nullptr);
    form::TProgressRun::ServeInterval = std::chrono::microseconds(0);
  }

  TScriptedPrompts prompts;
  TRecordingShell shell;

 private:
  TPromptsGuard guard_;
};

// A table of `rows` records: ID (integer), NAME (string), PRICE (float).
inline std::unique_ptr<TMemDataSet> SmallTable(int rows) {
  auto ds = std::make_unique<TMemDataSet>();
  ds->AddField("ID", ftInteger);
  ds->AddField("NAME", ftString, 20);
  ds->AddField("PRICE", ftFloat);
  for (int i = 1; i <= rows; ++i)
    ds->AddRow({std::to_string(i), "Name " + std::to_string(i), std::to_string(i) + ".5"});
  ds->Open();
  return ds;
}

}  // namespace morvale::test
