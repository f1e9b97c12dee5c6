// Start-up, the settings file and its dialog, the clock, About, and the one-copy guard.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <filesystem>

#include "app/dialogs/about.h"
#include "app/dialogs/setup.h"
#include "app/main/startup.h"
#include "tests/app/main/window.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

// Presses a button of the modal dialog once it shows, after `before` had its look at it.
void AnswerModal(QDialogButtonBox::StandardButton button,
                 std::function<void(QDialog&)> before = {}) {
  QTimer::singleShot(0, [button, before] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (before) before(*dialog);
    dialog->findChild<QDialogButtonBox*>()->button(button)->click();
  });
}

class SettingsFileTest : public WindowTest {
 protected:
  void BeforeWindows() override {
    WriteFile(home_ + "Morvale.ini",
              "[TABLES]\nYes_COL_MaxDisplayWidth=1\nCOL_MaxDisplayWidth=1\n");
  }
};

TEST_F(SettingsFileTest, TheFirstTickReadsTheFileAndRaisesALimitBelowTwo) {
  EXPECT_FALSE(Form().FirstTick());
  EXPECT_TRUE(Windows().SetUp->LimitBox()->isChecked());
  EXPECT_EQ(Windows().SetUp->LimitEdit()->value(), 2);
  // The clock: the date and time, then three spaces, every second.
  std::string before = Form().Label_DT->text().toStdString();
  ASSERT_GE(before.size(), 3u);
  EXPECT_EQ(before.substr(before.size() - 3), "   ");
  Pump(1100);
  EXPECT_NE(Form().Label_DT->text().toStdString(), before);
}

TEST_F(WindowTest, TheSettingsDialogWritesOnOkOnly) {
  EXPECT_FALSE(Windows().SetUp->LimitBox()->isChecked());  // no file: the defaults
  EXPECT_EQ(Windows().SetUp->LimitEdit()->value(), 20);
  AnswerModal(QDialogButtonBox::Cancel, [](QDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Настройка");
    d.findChild<QCheckBox*>("CB_Yes_COL_MaxDisplayWidth")->setChecked(true);
  });
  Form().findChild<QAction*>("N2")->trigger();
  EXPECT_FALSE(std::filesystem::exists(home_ + "Morvale.ini"));
  AnswerModal(QDialogButtonBox::Ok, [](QDialog& d) {
    d.findChild<QCheckBox*>("CB_Yes_COL_MaxDisplayWidth")->setChecked(true);
    d.findChild<QSpinBox*>("SE_COL_MaxDisplayWidth")->setValue(1);
  });
  Form().findChild<QAction*>("N2")->trigger();
  // Written as entered; raised to 2 when read or used.
  EXPECT_EQ(ReadFile(home_ + "Morvale.ini"),
            "[TABLES]\nYes_COL_MaxDisplayWidth=1\nCOL_MaxDisplayWidth=1\n");
  EXPECT_EQ(Windows().SetUp->Limit(), 2);
  Screenshot(*Windows().SetUp, "settings");
}

TEST_F(WindowTest, AboutShowsTheVersion) {
  AnswerModal(QDialogButtonBox::Ok, [this](QDialog& d) {
    EXPECT_EQ(d.findChild<QLabel*>("Version")->text().toStdString(), "Версия 1.14  (30.04.2008)");
    Screenshot(d, "about");
  });
  Form().SpeedButton7->click();
}

TEST_F(WindowTest, ClosingResetsTheConnection) {
  OpenDemoTable("orders");
  ASSERT_TRUE(Form().Query1().Active());
  EXPECT_TRUE(Form().close());
  EXPECT_FALSE(Form().Query1().Active());
  EXPECT_EQ(Form().List_Tables->count(), 0);
}

TEST(ProgramFolder, HomeVariableThenPortableCopyThenDataFolder) {
  std::string dir = FreshFolder("main_program_folder");
  setenv("MORVALE_HOME", (dir + "home").c_str(), 1);
  EXPECT_EQ(ResolveProgramFolder(dir + "bin/morvale"), dir + "home/");
  unsetenv("MORVALE_HOME");
  std::filesystem::create_directories(dir + "bin");
  setenv("XDG_DATA_HOME", (dir + "data").c_str(), 1);
  EXPECT_EQ(ResolveProgramFolder(dir + "bin/morvale"), dir + "data/morvale/");
  EXPECT_TRUE(std::filesystem::is_directory(dir + "data/morvale"));
  WriteFile(dir + "bin/Morvale.ini", "");
  EXPECT_EQ(ResolveProgramFolder(dir + "bin/morvale"), dir + "bin/");
  unsetenv("XDG_DATA_HOME");
}

// Two real copies of the program: the second says so and ends, the first runs on.
TEST(SingleInstance, ASecondCopyShowsTheMessageAndEnds) {
  const char* program = MORVALE_PROGRAM;
  std::string dir = FreshFolder("main_two_copies");
  std::filesystem::create_directories(dir + "runtime");
  auto start = [&](QProcess& p, const std::string& log, const char* language = "ru_RU") {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The system's language chooses the interface's; the machine's own must not.
    env.insert("LANGUAGE", language);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("MORVALE_HOME", QString::fromStdString(dir + "home"));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir + "runtime"));
    env.insert("MORVALE_PROMPTS_LOG", QString::fromStdString(dir + log));
    p.setProcessEnvironment(env);
    p.start(QString::fromUtf8(program), {});
    ASSERT_TRUE(p.waitForStarted(10000));
  };
  QProcess first, second;
  start(first, "first.log");
  // The first copy holds the guard once its window made the working folders.
  for (int i = 0; i < 200 && !std::filesystem::exists(dir + "home/mvl_SQL"); ++i)
    QThread::msleep(50);
  ASSERT_TRUE(std::filesystem::exists(dir + "home/mvl_SQL"));
  start(second, "second.log");
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_EQ(ReadFile(dir + "second.log"), "Одна копия приложения : \"morvale\" - уже работает\n");
  // A user whose language is not Russian reads the program's English translation, found beside
  // the built program; the settings file can force Russian back.
  QProcess english, forced;
  start(english, "english.log", "de_DE:en_US");
  ASSERT_TRUE(english.waitForFinished(20000));
  EXPECT_EQ(ReadFile(dir + "english.log"),
            "One copy of the program : \"morvale\" - is already running\n");
  WriteFile(dir + "home/Morvale.ini", "[INTERFACE]\nLanguage=ru\n");
  start(forced, "forced.log", "en_US");
  ASSERT_TRUE(forced.waitForFinished(20000));
  EXPECT_EQ(ReadFile(dir + "forced.log"), "Одна копия приложения : \"morvale\" - уже работает\n");
  EXPECT_FALSE(std::filesystem::exists(dir + "first.log"));
  EXPECT_EQ(first.state(), QProcess::Running);
  first.terminate();
  ASSERT_TRUE(first.waitForFinished(10000));
  // With the first copy gone, the guard is free again.
  setenv("XDG_RUNTIME_DIR", (dir + "runtime").c_str(), 1);
  TSingleInstance guard("morvale");
  EXPECT_EQ(guard.Result(), TSingleInstance::siFirst);
  TSingleInstance again("morvale");
  EXPECT_EQ(again.Result(), TSingleInstance::siRunning);
  EXPECT_EQ(again.Message(), "Одна копия приложения : \"morvale\" - уже работает");
}

}  // namespace
}  // namespace morvale::test
