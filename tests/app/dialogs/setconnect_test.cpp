// The connections dialog driven as a user drives it: rows chosen, aliases used, menus and the
// "all" buttons, over connection slots of a session of the test's own.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/setconnect.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "test_dialogs";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class SetConnect : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    dir_ = test::FreshFolder("setconnect");
    session_ = std::make_unique<TSession>("~~setconnect-test~~");
    session_->ConfigMode = cfmSession;
    for (const char* name : {"DEMO", "OTHER"})
      session_->AddAlias(name, "SQLITE", TStringList{"PATH=" + test::DemoDatabase()});
    session_->AddAlias("BROKEN", "SQLITE", TStringList{"PATH=" + dir_ + "missing.db"});
    slots_ = std::make_unique<TConnectionSlots>(session_->SessionName());
    dialog_ = std::make_unique<TDlg_SetConnect_to_DB>(*slots_);
    dialog_->ShowError = [this](const QString& m) { errors_.push_back(m.toStdString()); };
    dialog_->ResetConnection = [this] { ++resets_; };
    dialog_->Fill(aliases_);
    aliasList_ = dialog_->findChild<QListWidget*>("List_Connect");
    rows_ = dialog_->findChild<QListWidget*>("List_Connect_Active");
    ASSERT_TRUE(aliasList_ && rows_);
  }
  void TearDown() override {
    dialog_.reset();
    slots_.reset();
    session_.reset();
  }
  // Picks an alias on the left and a row on the right, then "Использовать".
  void Use(const QString& alias, int row) {
    rows_->setCurrentRow(row);
    if (alias.isEmpty()) {
      aliasList_->clearSelection();
    } else {
      aliasList_->setCurrentItem(aliasList_->findItems(alias, Qt::MatchExactly).front());
    }
    dialog_->findChild<QAction*>("N1")->trigger();
  }
  QString Row(int i) const { return rows_->item(i)->text(); }
  bool Checked(int i) const { return rows_->item(i)->checkState() == Qt::Checked; }

  QStringList aliases_{"OTHER", "DEMO", "BROKEN"};
  std::string dir_;
  std::unique_ptr<TSession> session_;
  std::unique_ptr<TConnectionSlots> slots_;
  std::unique_ptr<TDlg_SetConnect_to_DB> dialog_;
  QListWidget *aliasList_ = nullptr, *rows_ = nullptr;
  std::vector<std::string> errors_;
  int resets_ = 0;
};

TEST_F(SetConnect, ListsEachAliasOnceSortedAndThirtyRows) {
  dialog_->Fill(aliases_);  // shown a second time
  ASSERT_EQ(aliasList_->count(), 3);
  EXPECT_EQ(aliasList_->item(0)->text(), "BROKEN");
  EXPECT_EQ(aliasList_->item(2)->text(), "OTHER");
  EXPECT_EQ(rows_->count(), 30);
  EXPECT_EQ(resets_, 2);
  EXPECT_EQ(dialog_->windowTitle(), "Настройка соединений на базы данных");
}

TEST_F(SetConnect, UsingAnAliasFillsTheRowAndMovesOnASecondUseOnlySelects) {
  Use("DEMO", 0);
  EXPECT_EQ(Row(0), "DEMO");
  EXPECT_FALSE(Checked(0));
  EXPECT_EQ(rows_->currentRow(), 1);
  Use("DEMO", 3);  // already in row 0
  EXPECT_EQ(Row(3), "");
  EXPECT_FALSE(slots_->SlotExists(3));
  EXPECT_EQ(rows_->currentRow(), 0);
  // With no alias chosen, "Использовать" empties the row.
  Use("", 0);
  EXPECT_EQ(Row(0), "");
  EXPECT_FALSE(slots_->SlotExists(0));
}

TEST_F(SetConnect, RowActionsConnectAndTheCheckShowsOnlyTheState) {
  Use("DEMO", 0);
  rows_->setCurrentRow(0);
  dialog_->findChild<QAction*>("N3")->trigger();  // "Соединить"
  EXPECT_TRUE(Checked(0));
  EXPECT_TRUE(slots_->SlotConnected(0));
  rows_->item(0)->setCheckState(Qt::Unchecked);  // a click on the check
  EXPECT_TRUE(Checked(0));
  dialog_->List_Connect_ActiveDblClick();
  EXPECT_FALSE(Checked(0));
  dialog_->findChild<QAction*>("N2")->trigger();  // "Удалить"
  EXPECT_EQ(Row(0), "");
}

TEST_F(SetConnect, ConnectAllStopsAtTheRefusedRowWithItsMessage) {
  Use("DEMO", 0);
  Use("BROKEN", 1);
  Use("OTHER", 2);
  QTest::mouseClick(dialog_->findChild<QPushButton*>("SpeedButton2"), Qt::LeftButton);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("BROKEN: "), std::string::npos) << errors_[0];
  EXPECT_NE(errors_[0].find("missing.db"), std::string::npos) << errors_[0];
  EXPECT_EQ(rows_->currentRow(), 1);
  EXPECT_TRUE(Checked(0));
  EXPECT_FALSE(Checked(1));
  EXPECT_FALSE(Checked(2));  // not tried
  QTest::mouseClick(dialog_->findChild<QPushButton*>("SB_Disconnect_All"), Qt::LeftButton);
  EXPECT_FALSE(Checked(0));
  EXPECT_EQ(Row(0), "DEMO");
  dialog_->resize(640, 460);
  dialog_->grab().save(QString(MORVALE_BINARY_DIR) + "/setconnect.png");
  QTest::mouseClick(dialog_->findChild<QPushButton*>("SB_Destroy_All"), Qt::LeftButton);
  EXPECT_FALSE(slots_->AnyExists());
  EXPECT_EQ(Row(2), "");
}

}  // namespace
}  // namespace morvale
