// One language at a time: every window of the program, in Russian and in English, read through its
// widgets (captions, items, tabs, menus, hints, titles), with the messages that actions show and
// Qt's own boxes and choosers, and none of it in the other language. A picture of every window and
// page is kept in build/screenshots/ (lang-ru-*.png, lang-en-*.png) for a person to look at.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/dialogs/setup.h"
#include "app/engine/slots.h"
#include "app/helpers/language.h"
#include "app/tools/automation.h"
#include "export/dialog/form/exportdialogform.h"
#include "export/dialog/form/progressrun.h"
#include "export/dialog/form/prompts.h"
#include "export/text/json.h"
#include "tests/app/main/shown_texts.h"
#include "tests/app/main/window.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class LanguageTest : public WindowTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void BeforeWindows() override {
    translations_ = std::make_unique<TInterfaceTranslations>(
        GetParam(), QStringList{QStringLiteral(MORVALE_BINARY_DIR "/app/main/translations")});
    shown_.DataWidgets = {
        // The main window's data: aliases, tables, the alias's settings, the grid, the console,
        // folders, the clock.
        "CB_AliasBDE5", "List_Tables", "InfoAboutAlias", "DBGrid1", "SQL", "Edit_DirExport",
        "Edit_DirFileTable", "Label_DT",
        // The export dialog's fields, formats and named styles (names the files keep), fonts and
        // encodings by their names.
        "lstAllFields", "lstExportedFields", "cbxUserFormatField", "cbxUserFormat",
        "lstUserFormats", "lstRTFStripStyles", "lstRTFBaseStyles", "lvXLSFields", "lvXLSOptions",
        "lvXLSStyles", "cbxSeriesColumn", "cbxChartCategoryColumn", "cbxPDFFontName",
        "cbxPDFFontEncoding", "cbxXMLEncoding",
        // The viewers' contents.
        "ListView", "LabelHead", "List_Fields", "List_Connect", "List_Connect_Aliases",
        "List_Connect_Active"};
    // The demo's names that statuses quote.
    shown_.DataValues = {"orders", "DEMO"};
  }
  void TearDown() override {
    WindowTest::TearDown();
    translations_.reset();
  }

  std::string Lang() const { return GetParam(); }

  // Opens a modal window with `open` and, once it shows, lets `inside` work in it, reads its
  // texts, keeps its picture and closes it.
  void WalkModal(const std::string& name, const std::function<void()>& open,
                 const std::function<void(QWidget&)>& inside = {}) {
    QWidget* before = QApplication::activeModalWidget();
    bool seen = false;
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
      QWidget* w = QApplication::activeModalWidget();
      if (!w || w == before) return;
      poll->stop();
      poll->deleteLater();
      seen = true;
      Pump(30);
      if (inside) inside(*w);
      Read(*w, name);
      if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
      else
        w->close();
    });
    poll->start();
    open();
    EXPECT_TRUE(seen) << name << " did not show";
  }

  void Read(QWidget& w, const std::string& name) {
    shown_.Window(&w, name);
    Screenshot(w, "lang-" + Lang() + "-" + name);
  }

  static QTabWidget* Enclosing(QWidget& w) {
    for (QWidget* p = w.parentWidget(); p; p = p->parentWidget())
      if (auto* t = qobject_cast<QTabWidget*>(p)) return t;
    return nullptr;
  }

  // Each page of a tab widget to the front, pictured, and the sheets inside it.
  void Pages(QTabWidget& tabs, const std::string& name) {
    for (int i = 0; i < tabs.count(); ++i) {
      if (!tabs.isTabVisible(i)) continue;
      tabs.setCurrentIndex(i);
      Pump(10);
      std::string page = name + "-" + tabs.widget(i)->objectName().toStdString();
      Screenshot(*tabs.window(), "lang-" + Lang() + "-" + page);
      // The sheets of the page, each in turn.
      for (auto* inner : tabs.widget(i)->findChildren<QTabWidget*>())
        if (inner->isVisible() && Enclosing(*inner) == &tabs) Pages(*inner, page);
    }
  }

  void ExportDialog(QWidget& dialog) {
    auto* types = dialog.findChild<QListWidget*>("lbExportType");
    auto* pages = dialog.findChild<QTabWidget*>("pcExport");
    ASSERT_TRUE(types && pages);
    for (int t = 0; t < types->count(); ++t) {
      types->setCurrentRow(t);
      Pump(10);
      std::string type = "export-" + std::to_string(t);
      shown_.Window(&dialog, type);
      Pages(*pages, type);
    }
    // The spreadsheet page's own pages, and the editor of each kind of extra.
    types->setCurrentRow(0);
    pages->setCurrentWidget(dialog.findChild<QWidget*>("tsExportType"));
    for (const char* page : {"tsTypeFormats", "tsExtensions"}) {
      QWidget* w = dialog.findChild<QWidget*>(page);
      Enclosing(*w)->setCurrentWidget(w);
    }
    if (auto* tree = dialog.findChild<QTreeWidget*>("tvXLSExtras")) {
      for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        tree->setCurrentItem(tree->topLevelItem(i));
        Pump(10);
        shown_.Window(&dialog, "export-xls-extras-" + std::to_string(i));
        Screenshot(dialog, "lang-" + Lang() + "-export-xls-extras-" + std::to_string(i));
      }
    }
    // The file chooser of the target file, as Qt shows it.
    SetPrompts(nullptr);
    WalkModal("export-save-chooser", [&] { dialog.findChild<QPushButton*>("bBrowse")->click(); });
    SetPrompts(&prompts_);
  }

  // The messages of the boxes that asked or told something, as the seam received them.
  void ReadMessages() {
    for (const std::string& text : prompts_.Shown())
      shown_.Add("message", QString::fromStdString(text));
  }

  // Qt's own boxes and choosers as the program asks through them.
  void QtBoxes() {
    SetPrompts(nullptr);
    WalkModal("box-question", [] { AskOkCancel("?"); });
    WalkModal("box-error", [] { ShowError("!"); });
    WalkModal("box-login", [] {
      std::string user, password;
      AskLogin("DEMO", user, password);
    });
    WalkModal("folder-chooser", [] {
      QString folder;
      Prompts().ChooseFolder(nullptr, folder);
    });
    WalkModal("open-chooser",
              [this] { ChooseOpenFile(home_, tr("SQL(insert)|*.sql|Все файлы|*.*"), "sql"); });
    WalkModal("box-abort", [] {
      Prompts().Question(nullptr, form::TProgressRun::AbortTitle(),
                         form::TProgressRun::AbortQuestion(), IPrompts::TButtons::YesNo, false);
    });
    WalkModal("colour-chooser", [] {
      QColor c;
      Prompts().ChooseColor(nullptr, c);
    });
    SetPrompts(&prompts_);
  }
  static std::string tr(const char* text) {
    return QCoreApplication::translate("morvale::TForm1", text).toStdString();
  }

  void ProgressWindow() {
    form::TfmExportProgress window(nullptr, &Form());
    window.show();
    for (int code = 1; code <= 9; ++code) {
      window.Notify(code);
      window.Refresh();
      shown_.Window(&window, "progress-" + std::to_string(code));
    }
    Screenshot(window, "lang-" + Lang() + "-progress");
    // A run stopped over an existing file says under the counters that the file is as it was.
    TExportJSON stopped;
    stopped.FileName = home_ + "/stopped.json";
    WriteFile(stopped.FileName, "{}");
    form::TfmExportProgress aborted(&stopped, &Form());
    aborted.show();
    aborted.Model().NoteTarget();
    aborted.Notify(pcBeginExport);
    stopped.Abort();
    aborted.Notify(pcAbortConfirmed);
    aborted.Model().RunEnded();
    aborted.Refresh();
    shown_.Window(&aborted, "progress-stopped");
    EXPECT_EQ(aborted.findChild<QLabel*>("laNote")->text().toStdString(),
              Lang() == "en" ? "Export cancelled; the previous file is unchanged"
                             : "Экспорт прерван, прежний файл не изменён");
    Screenshot(aborted, "lang-" + Lang() + "-progress-stopped");
  }

  // The messages written in Russian long ago with a Latin word in them, shown as they always were.
  bool QuotedAsEver(const QString& text) const {
    for (const char* quoted : {kOwnAliasQuestion, kOwnAliasCreateFailed, kOwnAliasNotFound,
                               kOwnAliasCreated, kOwnAliasNotListed, kAutomationQuestion})
      if (text == QString::fromUtf8(quoted)) return Lang() == "ru";
    // Each language's own name.
    return text == QStringLiteral("Русский") || text == QStringLiteral("English");
  }

  std::unique_ptr<TInterfaceTranslations> translations_;
  TShownTexts shown_;
};

TEST_P(LanguageTest, EveryWindowSpeaksOneLanguage) {
  ASSERT_TRUE(translations_->ProgramLoaded()) << "no morvale_" << Lang() << ".qm was built";
  OpenDemoTable("orders");
  Pump(50);
  Read(Form(), "main");
  shown_.Menu(Form().TablesMenu(), "main / tables menu");
  shown_.Menu(Form().GridMenu(), "main / grid menu");

  WalkModal(
      "settings", [&] { Form().findChild<QAction*>("N2")->trigger(); },
      [&](QWidget& d) { Pages(*d.findChild<QTabWidget*>("PageControl1"), "settings"); });
  WalkModal("about", [&] { Form().SpeedButton7->click(); });
  WalkModal("structure", [&] { Form().findChild<QAction*>("N7")->trigger(); });
  WalkModal("php", [&] { Form().SpeedButton12->click(); });
  Form().DBGrid1->setCurrentIndex(Form().GridModel().index(0, 1));
  WalkModal("field-viewer", [&] { Form().findChild<QAction*>("Memo1")->trigger(); });
  WalkModal("row-viewer", [&] { Form().findChild<QAction*>("N15")->trigger(); });
  WalkModal(
      "export", [&] { Form().SpeedButton4->click(); }, [&](QWidget& d) { ExportDialog(d); });
  ProgressWindow();
  QtBoxes();
  // The connections dialog drops the main connection as it opens: last of the windows.
  WalkModal("connections", [&] { Form().SB_Connect_DB->click(); });
  OpenDemoTable("orders");

  // Actions that refuse or fail, each with its message.
  Form().Edit_FieldNameMEMO->clear();
  Form().SpeedButton11->click();
  Form().SQL->setPlainText("SELECT 1; SELECT 2");
  Form().SpeedButton5->click();
  Form().SQL->setPlainText("SELECT * FROM no_such_table");
  Form().SpeedButton5->click();
  Form().SQL->setPlainText("UPDATE orders SET id = 1");
  Form().SpeedButton5->click();
  EXPECT_GE(prompts_.Shown().size(), 4u);
  Read(Form(), "main-after");
  ReadMessages();

  int bad = 0;
  for (const TShownText& t : shown_.Texts()) {
    if (QuotedAsEver(t.Text)) continue;
    QStringList foreign = ForeignWords(t.Text, Lang(), shown_.DataValues);
    if (foreign.isEmpty()) continue;
    ++bad;
    ADD_FAILURE() << t.Where << ": \"" << t.Text.toStdString() << "\" has "
                  << foreign.join(QStringLiteral(", ")).toStdString();
  }
  EXPECT_EQ(bad, 0);
  // Sanity: the walk read the windows (hundreds of texts), in the expected language.
  EXPECT_GT(shown_.Texts().size(), 500u);
  EXPECT_EQ(Form().findChild<QAction*>("N2")->text().toStdString(),
            Lang() == "ru" ? "Настройка" : "Settings");
}

TEST(InterfaceLanguage, TheSettingOrTheSystemsFirstLanguageTheProgramSpeaks) {
  auto system = [](QStringList languages) { return InterfaceLanguage(lcSystem, languages); };
  EXPECT_EQ(system({"ru-RU", "en-US"}), "ru");
  EXPECT_EQ(system({"en-GB"}), "en");
  EXPECT_EQ(system({"de-DE", "ru-RU"}), "ru") << "the next language the user reads";
  EXPECT_EQ(system({"de-DE", "fr-FR"}), "en") << "a language the program lacks";
  EXPECT_EQ(system({"C"}), "ru") << "no language named: the program's own";
  EXPECT_EQ(system({}), "ru");
  EXPECT_EQ(InterfaceLanguage(lcEnglish, {"ru-RU"}), "en");
  EXPECT_EQ(InterfaceLanguage(lcRussian, {"en-US"}), "ru");
}

// The settings dialog's page "Язык" keeps the choice in Morvale.ini, read at the next start.
TEST_F(WindowTest, TheSettingsDialogForcesALanguage) {
  const std::string ini = home_ + "Morvale.ini";
  for (TLanguageChoice choice : {lcEnglish, lcRussian, lcSystem}) {
    QTimer::singleShot(0, [choice] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      d->findChild<QComboBox*>("CB_Language")->setCurrentIndex(choice);
      d->accept();
    });
    Form().findChild<QAction*>("N2")->trigger();
    EXPECT_EQ(ReadLanguageChoice(ini), choice);
  }
  EXPECT_EQ(ReadFile(ini),
            "[TABLES]\nYes_COL_MaxDisplayWidth=0\nCOL_MaxDisplayWidth=20\n\n"
            "[INTERFACE]\nLanguage=\n");
  // The dialog shows what the file holds.
  WriteFile(ini, "[INTERFACE]\nLanguage=en\n");
  Windows().SetUp->ReadSettings(ini);
  EXPECT_EQ(Windows().SetUp->LanguageBox()->currentIndex(), lcEnglish);
}

INSTANTIATE_TEST_SUITE_P(Interface, LanguageTest, ::testing::Values("ru", "en"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace morvale::test
