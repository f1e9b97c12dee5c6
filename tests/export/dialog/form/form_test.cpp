#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include "app/engine/connect.h"
#include "export/core/inifile.h"
#include "tests/export/dialog/form/formdriver.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/duckdb.h"
#include "tests/support/readers.h"

namespace morvale::test {
namespace {

const char* const kQuery = "SELECT * FROM orders";

// The demo orders in the dialog, as the desktop program opens it.
class FormOnDemo : public FormTest {
 protected:
  FormOnDemo()
      : ds(OpenQuery("sqlite:" + DemoDatabase(), kQuery, DefaultFormatSettings())),
        folder(FreshFolder("dialogform")) {
    dialog.SetDataSet(ds.get());
    dialog.SaveLoadButtons = true;
    dialog.FileName = folder + "orders.dbf";
  }

  // Execute shows the form through `drive` instead of running it modally.
  void Execute(const std::function<void(form::TExportDialogF&, TFormDriver&)>& drive) {
    dialog.Execute([&](TExportDialogModel& model) {
      form::TExportDialogF f(model);
      f.show();
      TFormDriver d(f);
      drive(f, d);
    });
  }

  // At the end of each run, presses the progress window's button once the window waits for it.
  void PressOKAtEnd() {
    dialog.OnEndExport = [](TObject*, TExport*) { PressProgressButtonLater(); };
  }

  std::unique_ptr<TDataSet> ds;
  std::string folder;
  TExportDialog dialog;
};

TEST_F(FormOnDemo, TypeListTitleAndFileName) {
  dialog.AllowedExports = {aeCSV, aePDF};
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    auto* types = d.W<QListWidget>("lbExportType");
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->item(0)->text().toStdString(), "PDF");
    EXPECT_EQ(types->item(1)->text().toStdString(), "CSV File");
    EXPECT_EQ(types->currentRow(), 0);
    EXPECT_EQ(d.W<QLineEdit>("edFileName")->text().toStdString(), folder + "orders.pdf");
    EXPECT_EQ(f.windowTitle().toStdString(), "Диалог экспорта -- Экспортировать в [orders.pdf]");
    d.Type("edFileName", "");
    EXPECT_EQ(f.windowTitle().toStdString(), "Диалог экспорта");
    EXPECT_FALSE(d.W("bStart")->isEnabled());
    d.Type("edFileName", QString::fromStdString(folder + "x.pdf"));
    EXPECT_TRUE(d.W("bStart")->isEnabled());
  });
}

TEST_F(FormOnDemo, ClipboardDisablesTheFileAndKeepsItsName) {
  Execute([&](form::TExportDialogF&, TFormDriver& d) {
    d.ClickItem("lbExportType", "HTML");
    EXPECT_EQ(d.W<QLineEdit>("edFileName")->text().toStdString(), folder + "orders.html");
    d.ClickItem("lbExportType", "Windows Clipboard");
    EXPECT_EQ(d.W<QLineEdit>("edFileName")->text().toStdString(), folder + "orders.html");
    EXPECT_FALSE(d.W("edFileName")->isEnabled());
    EXPECT_FALSE(d.W("bBrowse")->isEnabled());
    EXPECT_FALSE(d.W("cbShowFile")->isEnabled());
    EXPECT_TRUE(d.W("bStart")->isEnabled());
  });
}

TEST_F(FormOnDemo, PagesFollowTheType) {
  Execute([&](form::TExportDialogF&, TFormDriver& d) {
    auto* tabs = d.W<QTabWidget>("pcExport");
    auto visible = [&](const char* page) { return tabs->isTabEnabled(tabs->indexOf(d.W(page))); };
    d.ClickItem("lbExportType", "DBF");
    EXPECT_TRUE(visible("tsFields"));
    EXPECT_FALSE(visible("tsFormats"));
    EXPECT_FALSE(visible("tsColons"));
    EXPECT_FALSE(visible("tsCaptions"));
    d.ClickItem("lbExportType", "MS Word");
    EXPECT_TRUE(d.Tab("pcExport", "tsCaptions"));
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()).toStdString(),
              "Заголовок && Ширина && Выравнивание");
    // XML has no captions page: the export type page comes to the front.
    d.Tab("pcExport", "tsExportType");
    d.Tab("pcExport", "tsCaptions");
    auto* types = d.W<QListWidget>("lbExportType");
    types->setCurrentItem(d.Item(types, "XML"));
    EXPECT_EQ(tabs->currentWidget(), d.W("tsExportType"));
    EXPECT_EQ(d.W<QStackedWidget>("nbTypeOptions")->currentWidget(), d.W("tsXML"));
  });
}

// Tab walks every page of every type in reading order, each sheet of a page of sheets on its own.
TEST_F(FormOnDemo, TabWalksEveryPageInReadingOrder) {
  int walked = 0;  // pages and sheets of two fields or more
  Execute([&](form::TExportDialogF&, TFormDriver& d) {
    auto walk = [&](QWidget* page, const std::string& where) {
      QList<QTabWidget*> sheets = page->findChildren<QTabWidget*>();
      bool nested = false;
      for (QTabWidget* t : sheets) {
        if (!t->isVisible() || t->findChildren<QTabWidget*>().size() > 0) continue;
        nested = true;
        for (int i = 0; i < t->count(); ++i) {
          t->setCurrentIndex(i);
          const std::string order = FocusOutOfReadingOrder(t->currentWidget());
          if (order != "fewer than two fields") {
            ++walked;
            EXPECT_EQ(order, "") << where << " / " << t->tabText(i).toStdString();
          }
        }
        t->setCurrentIndex(0);
      }
      const std::string order = FocusOutOfReadingOrder(page);
      if (!nested && order != "fewer than two fields") {
        ++walked;
        EXPECT_EQ(order, "") << where;
      }
    };
    auto* types = d.W<QListWidget>("lbExportType");
    auto* pages = d.W<QTabWidget>("pcExport");
    for (int k = 0; k < types->count(); ++k) {
      const std::string type = types->item(k)->text().toStdString();
      d.ClickItem("lbExportType", types->item(k)->text());
      d.Tab("pcExport", "tsExportType");
      walk(d.W<QStackedWidget>("nbTypeOptions")->currentWidget(), type);
      for (int i = 1; i < pages->count(); ++i) {
        if (!pages->isTabEnabled(i)) continue;
        pages->setCurrentIndex(i);
        walk(pages->currentWidget(), type + " / " + pages->tabText(i).toStdString());
      }
    }
  });
  EXPECT_GE(walked, 20);
}

// The encoding drop-down shows for the text types only, and each type keeps its own choice.
TEST_F(FormOnDemo, EncodingChoiceBelongsToEachTextType) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    auto* box = d.W<QComboBox>("cbEncoding");
    TDialogSettings& s = f.Model().Settings();
    d.ClickItem("lbExportType", "CSV File");
    EXPECT_TRUE(d.W("pnEncoding")->isVisible());
    ASSERT_EQ(box->count(), 5);
    box->setCurrentIndex(2);
    emit box->activated(2);  // what a pick from the list sends
    EXPECT_EQ(s.EncodingOf(aeCSV), encUTF8BOM);
    d.ClickItem("lbExportType", "LaTeX");
    EXPECT_TRUE(d.W("pnEncoding")->isVisible());
    EXPECT_EQ(box->currentIndex(), 0);
    d.ClickItem("lbExportType", "MS Excel 2007+");
    EXPECT_FALSE(d.W("pnEncoding")->isVisible());
    d.ClickItem("lbExportType", "CSV File");
    EXPECT_EQ(box->currentText().toStdString(), "UTF-8 с меткой (BOM)");
  });
}

// JSON Lines is the JSON type's own choice, on its formats tab.
TEST_F(FormOnDemo, JSONLinesChoiceShowsForJSONOnly) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "JSON");
    EXPECT_TRUE(d.W("cbJSONLines")->isVisible());
    EXPECT_FALSE(d.W("pnEncoding")->isVisible());
    EXPECT_FALSE(f.Model().Settings().JSON.JSONLines);
    d.Click("cbJSONLines");
    EXPECT_TRUE(f.Model().Settings().JSON.JSONLines);
    d.ClickItem("lbExportType", "CSV File");
    EXPECT_FALSE(d.W("cbJSONLines")->isVisible());
  });
}

// dBASE's own choice, on its formats tab: date-times as date fields, which keep no time of day
// (the progress window then names the columns that lost it, and stays until its button), or as
// text fields that keep it. The choice goes into the options file and comes back from it.
TEST_F(FormOnDemo, DBFPageKeepsTimesOfDayAsText) {
  const std::string cfg = folder + "dbf.cfg";
  std::string note;
  dialog.OnEndExport = [&](TObject*, TExport*) {
    PressProgressButtonLater([&](QWidget* w) {
      auto* label = w->findChild<QLabel*>("laNote");
      note = label && label->isVisible() ? label->text().toStdString() : "";
    });
  };
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "DBF");
    ASSERT_TRUE(d.W("cbDBFDateTimeAsText")->isVisible());
    EXPECT_FALSE(f.Model().Settings().DBF.DateTimeAsText);
    d.Type("edFileName", QString::fromStdString(folder + "dates.dbf"));
    d.Click("bStart");
    EXPECT_NE(note.find("ordered"), std::string::npos) << note;
    EXPECT_EQ(note.find("ship_date"), std::string::npos) << note;

    d.Click("cbDBFDateTimeAsText");
    EXPECT_TRUE(f.Model().Settings().DBF.DateTimeAsText);
    d.Type("edFileName", QString::fromStdString(folder + "texts.dbf"));
    note = "not asked";
    d.Click("bStart");
    // Nothing to tell: the window closed itself for the file to be opened.
    EXPECT_EQ(note, "not asked");
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miSaveOptions")->trigger();
    d.Click("cbDBFDateTimeAsText");
    EXPECT_FALSE(f.Model().Settings().DBF.DateTimeAsText);
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miLoadOptions")->trigger();
    EXPECT_TRUE(d.W<QCheckBox>("cbDBFDateTimeAsText")->isChecked());
    d.ClickItem("lbExportType", "CSV File");
    EXPECT_FALSE(d.W("cbDBFDateTimeAsText")->isVisible());
  });
  EXPECT_TRUE(TIniFile(cfg).ReadBool("DBF", "DateTimeAsText", false));
  const std::string dates = DbfRead(folder + "dates.dbf");
  EXPECT_NE(dates.find("field ORDERED D 8 0"), std::string::npos) << dates;
  const std::string texts = DbfRead(folder + "texts.dbf");
  for (const char* s : {"field ORDERED C 19 0", "field SHIP_DATE D 8 0", "field SHIP_TIME C 8 0",
                        "ORDERED='2024-01-15 10:05:00'", "SHIP_TIME='14:30:00'"})
    EXPECT_NE(texts.find(s), std::string::npos) << s << "\n" << texts;
}

// The two newest types from the list to the file: Parquet read back by DuckDB with the orders'
// types, Markdown rendered by pandoc into one table holding the cells of the dialog's CSV.
TEST_F(FormOnDemo, ParquetAndMarkdownFromTheTypeList) {
  dialog.ShowFile = false;
  PressOKAtEnd();
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    for (const char* type : {"Таблица Parquet", "Таблица Markdown", "CSV File"}) {
      d.ClickItem("lbExportType", type);
      d.Click("bStart");
    }
    EXPECT_EQ(f.Model().Settings().FileName, folder + "orders.csv");
  });
  std::string why, out;
  if (RunCommand("command -v pandoc", out) != 0)
    GTEST_SKIP() << "pandoc is not installed (scripts/install-deps --tests)";
  ASSERT_EQ(RunCommand("pandoc -f gfm -t html --wrap=none " + ShellQuote(folder + "orders.md") +
                           " -o " + ShellQuote(folder + "orders.html") + " 2>&1",
                       out),
            0)
      << out;
  EXPECT_EQ(
      RunCommand(Python() + " " + ShellQuote(MORVALE_SOURCE_DIR "/tests/cli/markdown_check.py") +
                     " " + ShellQuote(folder + "orders.html") + " " +
                     ShellQuote(folder + "orders.csv") + " 2>&1",
                 out),
      0)
      << out;
  if (!DuckDBAvailable(why)) GTEST_SKIP() << why;
  EXPECT_EQ(DuckDBRead(folder + "orders.parquet", "sql",
                       "SELECT string_agg(column_type, ',') FROM (DESCRIBE t)"),
            "[\"BIGINT,BIGINT,TIMESTAMP,DATE,TIME,DECIMAL(12,2),BOOLEAN,VARCHAR\"]\n");
}

TEST_F(FormOnDemo, NumberFieldsTakeDigitsOnly) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.Tab("pcExportType", "tsTypeOptions");
    d.Type("edSkipRecCount", "1x2");
    EXPECT_EQ(d.W<QLineEdit>("edSkipRecCount")->text().toStdString(), "12");
    EXPECT_EQ(f.Model().Settings().SkipRecCount, 12);
    d.Type("edSkipRecCount", "");  // no number: the previous value stays
    EXPECT_EQ(f.Model().Settings().SkipRecCount, 12);
    d.Click("rbExportOnly");
    EXPECT_TRUE(d.W("edExportRecCount")->isEnabled());
    d.Type("edExportRecCount", "-5");
    EXPECT_EQ(f.Model().Settings().ExportRecCount, 5);
  });
}

TEST_F(FormOnDemo, FieldsMoveBackToTheirPlace) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.Tab("pcExport", "tsFields");
    d.DoubleClickItem("lstAllFields", "total");
    d.DoubleClickItem("lstAllFields", "id");
    EXPECT_EQ(f.Model().Settings().ExportedFields, (std::vector<std::string>{"total", "id"}));
    d.ClickItem("lstExportedFields", "total");
    d.Click("bRemoveOne");
    auto* all = d.W<QListWidget>("lstAllFields");
    // Back between ship_time and paid, where the table has it.
    EXPECT_EQ(all->row(d.Item(all, "total")), all->row(d.Item(all, "ship_time")) + 1);
    d.Click("bAddAll");
    EXPECT_EQ(all->count(), 0);
    d.Click("bRemoveAll");
    EXPECT_EQ(d.W<QListWidget>("lstExportedFields")->count(), 0);
  });
}

TEST_F(FormOnDemo, UserFormatsAndTheEditQuestion) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.Tab("pcExport", "tsFormats");
    f.Model().ClearUserFormats();
    f.Model().Changed();
    EXPECT_FALSE(d.W("bEditUserFormat")->isEnabled());
    auto* fields = d.W<QComboBox>("cbxUserFormatField");
    fields->setCurrentIndex(fields->findText("total"));
    auto* formats = d.W<QComboBox>("cbxUserFormat");
    EXPECT_EQ(formats->currentText().toStdString(), "#,###,##0.00");
    d.Click("bAddUserFormat");
    ASSERT_EQ(f.Model().Settings().UserFormats.Count(), 1);
    d.ClickItem("lstUserFormats", "total=#,###,##0.00");
    prompts.SetNextText("0.0");
    d.Click("bEditUserFormat");
    ASSERT_FALSE(prompts.Asked().empty());
    EXPECT_EQ(prompts.Asked().back().title.toStdString(), "Новый формат");
    EXPECT_EQ(prompts.Asked().back().text.toStdString(), "Введите значение:");
    EXPECT_EQ(f.Model().Settings().UserFormats[0], "total=0.0");
    d.Click("bClearUserFormats");
    EXPECT_TRUE(f.Model().Settings().UserFormats.Empty());
  });
}

TEST_F(FormOnDemo, CaptionsGridColumnsAndEditors) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "RTF");
    ASSERT_TRUE(d.Tab("pcExport", "tsCaptions"));
    auto* g = d.W<QTableWidget>("sgCaptions");
    ASSERT_EQ(g->columnCount(), 4);
    EXPECT_EQ(g->horizontalHeaderItem(0)->text().toStdString(), "Имя поля");
    EXPECT_EQ(g->horizontalHeaderItem(1)->text().toStdString(), "Заголовок");
    EXPECT_EQ(g->horizontalHeaderItem(2)->text().toStdString(), "Выравнивание");
    EXPECT_EQ(g->horizontalHeaderItem(3)->text().toStdString(), "Ширина");
    d.Caption("total", "Сумма");
    d.Width("total", 15);
    d.Align("total", 2);
    const TCaptionRow& row = f.Model().Settings().Captions[d.GridRow("total")];
    EXPECT_EQ(row.Caption, "Сумма");
    EXPECT_EQ(row.Width, 15);
    EXPECT_EQ(row.Align, ecaRight);
    d.Click("cbAllowCaptions");
    EXPECT_FALSE(g->isEnabled());
    d.ClickItem("lbExportType", "MS Excel");
    EXPECT_EQ(g->columnCount(), 3);
    EXPECT_EQ(g->horizontalHeaderItem(2)->text().toStdString(), "Ширина");
  });
}

TEST_F(FormOnDemo, PDFUserPageTurnsWithTheOrientation) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "PDF");
    auto* format = d.W<QComboBox>("cbxPDFPageFormat");
    format->setCurrentIndex(8);
    emit format->activated(8);
    EXPECT_EQ(format->currentText().toStdString(), "Особый");
    d.Type("edPDFPageWidth", "500");
    d.Type("edPDFPageHeight", "700");
    d.Click("rbPDFLandscape");
    EXPECT_EQ(d.W<QLineEdit>("edPDFPageWidth")->text().toStdString(), "700");
    EXPECT_EQ(d.W<QLineEdit>("edPDFPageHeight")->text().toStdString(), "500");
    EXPECT_EQ(f.Model().Settings().PDF.PageOptions.WidthPoints(), 700);
    // A spacing that is no number takes the component's value; a number is read with '.'.
    d.Type("edPDFColSpacing", "2.5");
    EXPECT_EQ(f.Model().Settings().PDF.ColSpacing, 2.5);
    d.Type("edPDFColSpacing", "");
    EXPECT_EQ(f.Model().Settings().PDF.ColSpacing, dialog.PDFOptions.ColSpacing);
  });
}

TEST_F(FormOnDemo, RTFStripStylesAndResetAll) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "RTF");
    auto* strips = d.W<QListWidget>("lstRTFStripStyles");
    d.Click("bRTFAddStrip");
    d.Click("bRTFAddStrip");
    ASSERT_EQ(strips->count(), 2);
    EXPECT_EQ(strips->item(1)->text().toStdString(), "ITEM_2");
    d.ClickItem("lstRTFStripStyles", "ITEM_1");
    d.Click("bRTFDeleteStrip");
    ASSERT_EQ(strips->count(), 1);
    EXPECT_EQ(strips->currentRow(), 0);
    // The editor changes the selected style in place.
    d.Click("cbRTFBold");
    auto& styles = f.Model().Settings().RTF.StripStyles;
    ASSERT_EQ(styles.size(), 1u);
    EXPECT_TRUE(styles[0].Style.Font.Style & fsBold);
    prompts.SetNextAnswer(false);
    d.Click("bRTFResetAll");
    ASSERT_EQ(prompts.Asked().size(), 1u);
    EXPECT_EQ(prompts.Asked()[0].title.toStdString(), "Attention!");
    EXPECT_TRUE(styles[0].Style.Font.Style & fsBold);  // No keeps the styles
    prompts.SetNextAnswer(true);
    d.Click("bRTFResetAll");
    EXPECT_FALSE(styles[0].Style.Font.Style & fsBold);
  });
}

TEST_F(FormOnDemo, HTMLTemplateAndAHandPickedColour) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "HTML");
    auto* templates = d.W<QComboBox>("cbxHTMLTemplate");
    ASSERT_EQ(templates->count(), 10);
    EXPECT_EQ(templates->itemText(0).toStdString(), "Свой");
    EXPECT_EQ(templates->itemText(9).toStdString(), "Строгий");
    templates->setCurrentIndex(4);
    emit templates->activated(4);
    EXPECT_EQ(f.Model().Settings().HTMLTemplate, htGray);
    prompts.SetNextText("#123456");
    d.Click("bHTMLBackgroundColor");
    EXPECT_EQ(f.Model().Settings().HTMLPage.BackgroundColor, 0x563412);
    EXPECT_EQ(f.Model().Settings().HTMLTemplate, htCustom);
    EXPECT_EQ(templates->currentText().toStdString(), "Свой");
  });
}

TEST_F(FormOnDemo, ToolsMenuSavesAndLoadsTheOptions) {
  const std::string cfg = folder + "tools.cfg";
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    EXPECT_TRUE(d.W("bTools")->isVisible());
    d.ClickItem("lbExportType", "CSV File");
    d.Type("edCSVComma", "#9");
    EXPECT_EQ(f.Model().Settings().CSV.Comma, '\t');
    prompts.SetNextText(QString::fromStdString(folder + "tools"));  // the extension is added
    f.findChild<QAction*>("miSaveOptions")->trigger();
    EXPECT_NE(ReadFile(cfg).find("Comma=#9"), std::string::npos);
    const TDialogSettings saved = f.Model().Settings();
    d.ClickItem("lbExportType", "HTML");
    d.Type("edCSVComma", ";");
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miLoadOptions")->trigger();
    EXPECT_EQ(d.W<QListWidget>("lbExportType")->currentItem()->text().toStdString(), "CSV File");
    EXPECT_EQ(d.W<QLineEdit>("edCSVComma")->text().toStdString(), "#9");
    EXPECT_TRUE(f.Model().Settings() == saved);
    ASSERT_GE(prompts.Asked().size(), 2u);
    EXPECT_EQ(prompts.Asked()[0].title.toStdString(),
              "Configuration files (*.cfg)|*.cfg|All files (*.*)|*.*");
  });
}

TEST_F(FormOnDemo, FailedRunShowsItsMessageAndTheFormStays) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "CSV File");
    d.Type("edFileName", "/proc/no-such-folder/orders.csv");
    d.Click("bStart");
    ASSERT_EQ(prompts.Asked().size(), 1u);
    EXPECT_EQ(prompts.Asked()[0].kind, TScriptedPrompts::TAsked::Error);
    EXPECT_FALSE(prompts.Asked()[0].text.isEmpty());
    EXPECT_TRUE(f.isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
      EXPECT_FALSE(w->objectName() == "fmExportProgress" && w->isVisible());
  });
}

// ---- the same export from the form and from the command line ----------------------------------

struct TTypeCase {
  const char* label;
  const char* ext;
};

class SameOutput : public FormOnDemo, public ::testing::WithParamInterface<TTypeCase> {};

// The form is driven through every common page the type shows, then started; the options it
// saves then drive morvale-export, whose file must be the same.
TEST_P(SameOutput, FormAndCommandLine) {
  if (Cli({"--help"}).out.find("--options") == std::string::npos)
    GTEST_SKIP() << "morvale-export has no --options yet";
  const TTypeCase& c = GetParam();
  const std::string cfg = folder + "saved.cfg";
  // The same file name in two folders: the SQL table name is taken from it.
  const std::string cli = folder + "cli/orders." + c.ext;
  std::string formFile;
  // Nothing is opened after the export: the command line would open it as well.
  dialog.ShowFile = false;
  PressOKAtEnd();
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", c.label);
    d.Type("edFileName", QString::fromStdString(folder + "form/orders." + c.ext));
    if (d.Tab("pcExport", "tsFields")) {
      for (const char* field : {"id", "ordered", "total", "comment"})
        d.DoubleClickItem("lstAllFields", field);
    }
    if (d.Tab("pcExport", "tsFormats")) {
      d.Type("edFloat", "0.000");
      d.Type("edDate", "dd.mm.yyyy");
    }
    if (d.Tab("pcExport", "tsCaptions")) {
      d.Caption("total", "Сумма");
      d.Caption("comment", "Примечание");
      d.Width("total", 12);
      d.Width("comment", 30);
      d.Align("total", 2);
    }
    if (d.Tab("pcExport", "tsColons")) d.TypeLines("memHeader", "Заказы");
    d.Tab("pcExport", "tsExportType");
    d.Click("bStart");
    formFile = f.Model().Settings().FileName;
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miSaveOptions")->trigger();
  });
  EXPECT_TRUE(prompts.Asked().size() >= 1);
  for (const auto& q : prompts.Asked())
    EXPECT_NE(q.kind, TScriptedPrompts::TAsked::Error) << q.text.toStdString();
  Result r =
      Cli({"--db", "sqlite:" + DemoDatabase(), "--sql", kQuery, "--options", cfg, "-o", cli});
  ASSERT_EQ(r.status, 0) << r.err;
  if (std::string(c.ext) == "xls") {
    std::string out;
    std::string script =
        "import sys, xlrd\n"
        "def cells(p):\n"
        "  b = xlrd.open_workbook(p)\n"
        "  return [[s.cell_value(r, c) for c in range(s.ncols)] for s in b.sheets() "
        "for r in range(s.nrows)]\n"
        "a, b = cells(sys.argv[1]), cells(sys.argv[2])\n"
        "print(len(a), 'equal' if a == b else 'differ')\n";
    WriteFile(folder + "cells.py", script);
    ASSERT_EQ(RunCommand(Python() + " " + ShellQuote(folder + "cells.py") + " " +
                             ShellQuote(formFile) + " " + ShellQuote(cli),
                         out),
              0);
    EXPECT_NE(out.find("equal"), std::string::npos) << out;
    EXPECT_EQ(out.find("differ"), std::string::npos) << out;
  } else {
    std::string a = ReadFile(formFile), b = ReadFile(cli);
    EXPECT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "the form's " << formFile << " and the command line's " << cli
                        << " differ";
    if (std::string_view("csv txt html").find(c.ext) != std::string_view::npos) {
      EXPECT_NE(a.find("Заказы"), std::string::npos);
      EXPECT_NE(a.find("Сумма"), std::string::npos);
      EXPECT_NE(a.find("Примечание"), std::string::npos);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Types, SameOutput,
                         ::testing::Values(TTypeCase{"CSV File", "csv"},
                                           TTypeCase{"Text File", "txt"}, TTypeCase{"HTML", "html"},
                                           TTypeCase{"SQL", "sql"}, TTypeCase{"RTF", "rtf"},
                                           TTypeCase{"PDF", "pdf"}, TTypeCase{"MS Excel", "xls"},
                                           TTypeCase{"Таблица Markdown", "md"},
                                           TTypeCase{"Таблица Parquet", "parquet"}),
                         [](const auto& info) { return std::string(info.param.ext); });

}  // namespace
}  // namespace morvale::test
