#include "tests/app/main/window.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/engine/aliases.h"
#include "tests/support/demo.h"

namespace morvale::test {

QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "test_main";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* a = new QApplication(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Morvale"));
    return a;
  }();
  return *app;
}

void WindowTest::SetUp() {
  TestApplication();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  home_ = FreshFolder(std::string("main_") + info->test_suite_name() + "_" + info->name());
  WriteFile(home_ + "engine.ini", "[DEMO]\nDRIVER=SQLITE\nPATH=" + DemoDatabase() + "\n");
  TAliasConfig::Instance().Load(home_ + "user.ini", home_ + "engine.ini");
  prompts_.UnscriptedAnswer = true;
  SetPrompts(&prompts_);
  SetClipboard(&clipboard_);
  BeforeWindows();
  windows_ = std::make_unique<TProgramWindows>(home_);
  Form().resize(1180, 760);
  Form().show();
  Pump(150);  // the first timer tick reads the settings file
}

void WindowTest::TearDown() {
  windows_.reset();
  SetClipboard(nullptr);
  SetPrompts(nullptr);
}

void WindowTest::Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QTest::qWait(5);
  }
}

void TypeText(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    // QTest knows the keys of ASCII characters only; other letters come as the text of a key.
    if (c.unicode() < 128)
      QTest::keyClick(widget, static_cast<char>(c.unicode()));
    else
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

void WindowTest::ReadDemoTables() {
  Form().CB_AliasBDE5->setCurrentText(QStringLiteral("DEMO"));
  Form().SpeedButton2->click();
}

void WindowTest::SelectTable(const std::string& name) {
  auto found = Form().List_Tables->findItems(QString::fromStdString(name), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << name;
  Form().List_Tables->setCurrentItem(found[0]);
}

void WindowTest::OpenDemoTable(const std::string& table) {
  ReadDemoTables();
  SelectTable(table);
  DoubleClickTable();
}

void WindowTest::DoubleClickTable() {
  QListWidget* list = Form().List_Tables;
  QPoint at = list->visualItemRect(list->currentItem()).center();
  // The view reacts to a double click on the item its last press was on.
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

std::string WindowTest::Cell(int row, int col) {
  return Form().GridModel().index(row, col).data().toString().toStdString();
}

std::string WindowTest::ConsoleText() {
  return Form().SQL->toPlainText().toStdString();
}

void WindowTest::PressOkWhenTheRunEnds(QObject& owner) {
  auto* poll = new QTimer(&owner);
  QObject::connect(poll, &QTimer::timeout, [poll] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "fmExportProgress" && w->isVisible()) {
        auto* done = w->findChild<QPushButton*>("btnCancel");
        if (done && done->text() == "OK") {
          poll->stop();
          done->click();
        }
      }
  });
  poll->start(50);
}

void WindowTest::Screenshot(QWidget& widget, const std::string& name) {
  std::string dir = std::string(MORVALE_BINARY_DIR) + "/screenshots/";
  std::filesystem::create_directories(dir);
  widget.grab().save(QString::fromStdString(dir + name + ".png"));
}

}  // namespace morvale::test
