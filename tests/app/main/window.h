// The main window as the tests meet it: an offscreen application, a fresh program folder, the DEMO
// alias on the demo database, scripted answers to every box and chooser, and the real clipboard.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

#include "app/helpers/prompts.h"
#include "app/helpers/qtclipboard.h"
#include "app/main/wiring.h"
#include "tests/support/scriptedprompts.h"

namespace morvale::test {

QApplication& TestApplication();

// Types a text into a widget key by key, Cyrillic and other letters beyond ASCII included.
void TypeText(QWidget* widget, const QString& text);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs in the fresh program folder before the windows are made.
  virtual void BeforeWindows() {}

  TForm1& Form() { return *windows_->Form1; }
  TProgramWindows& Windows() { return *windows_; }
  // Chooses DEMO, reads its tables and opens `table` (by double-clicking it).
  void OpenDemoTable(const std::string& table);
  void ReadDemoTables();
  void SelectTable(const std::string& name);
  // A double click on the selected table of the list, as a person opens it.
  void DoubleClickTable();
  // Lets the timer and the painting run for a while.
  void Pump(int ms = 50);
  // The grid's text at a row and column.
  std::string Cell(int row, int col);
  std::string ConsoleText();
  // Presses the progress window's "OK" once the run is over, polling while `owner` lives. Only
  // its "OK" is pressed: on a loaded machine the window shows while the run still goes, and its
  // "Отмена" then would ask to stop the export instead.
  static void PressOkWhenTheRunEnds(QObject& owner);
  // Saves a picture of a widget under build/screenshots/.
  void Screenshot(QWidget& widget, const std::string& name);

  std::string home_;
  TScriptedPrompts prompts_;
  TQtClipboard clipboard_;
  std::unique_ptr<TProgramWindows> windows_;
};

}  // namespace morvale::test
