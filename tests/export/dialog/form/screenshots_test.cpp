// Pictures of every page of the dialog on the demo database, kept in the build folder
// (screenshots/) so that a person can look at them: sizes, clipped captions, Cyrillic.
#include <QDir>
#include <QPixmap>
#include <QTimer>

#include "app/engine/connect.h"
#include "tests/export/dialog/form/formdriver.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class Screenshots : public FormTest {
 protected:
  Screenshots() : folder(std::string(MORVALE_BINARY_DIR) + "/screenshots/") {
    QDir().mkpath(QString::fromStdString(folder));
  }
  // Saves a picture of the window and checks it is one.
  void Shot(QWidget* w, const std::string& name) {
    QPixmap p = w->grab();
    ASSERT_FALSE(p.isNull()) << name;
    const std::string file = folder + name + ".png";
    ASSERT_TRUE(p.save(QString::fromStdString(file), "PNG")) << file;
    shots.push_back(file);
  }
  std::string folder;
  std::vector<std::string> shots;
};

TEST_F(Screenshots, EveryPageOfTheForm) {
  std::unique_ptr<TDataSet> ds =
      OpenQuery("sqlite:" + DemoDatabase(), "SELECT * FROM orders", DefaultFormatSettings());
  TExportDialog dialog;
  dialog.SetDataSet(ds.get());
  dialog.SaveLoadButtons = true;
  dialog.FileName = QDir::homePath().toStdString() + "/mvl_Export/orders";
  dialog.Header.Add("Заказы за 2024 год");
  dialog.Execute([&](TExportDialogModel& model) {
    form::TExportDialogF f(model);
    f.show();
    TFormDriver d(f);
    Shot(&f, "form-start");
    d.Tab("pcExportType", "tsTypeOptions");
    Shot(&f, "form-options");
    d.Tab("pcExportType", "tsTypeFormats");
    struct {
      const char* label;
      const char* name;
    } types[] = {{"MS Excel", "xls"},
                 {"MS Word", "word"},
                 {"HTML", "html"},
                 {"XML", "xml"},
                 {"DBF", "dbf"},
                 {"PDF", "pdf"},
                 {"Text File", "txt"},
                 {"CSV File", "csv"},
                 {"SQL", "sql"},
                 {"Windows Clipboard", "clipboard"},
                 {"DIF File", "dif"},
                 {"MS Excel 2007+", "xlsx"},
                 {"JSON", "json"},
                 {"Таблица Parquet", "parquet"},
                 {"Таблица Markdown", "md"}};
    for (const auto& t : types) {
      d.ClickItem("lbExportType", t.label);
      Shot(&f, std::string("type-") + t.name);
    }
    d.ClickItem("lbExportType", "HTML");
    d.Tab("pcHTML", "tsHTMLTable");
    Shot(&f, "type-html-table");
    d.Tab("pcHTML", "tsHTMLFiles");
    Shot(&f, "type-html-files");
    d.ClickItem("lbExportType", "PDF");
    d.Tab("pcPDF", "tsPDFFonts");
    Shot(&f, "type-pdf-fonts");

    d.ClickItem("lbExportType", "MS Word");
    d.Tab("pcExport", "tsFields");
    d.DoubleClickItem("lstAllFields", "id");
    d.DoubleClickItem("lstAllFields", "total");
    Shot(&f, "page-fields");
    d.Tab("pcExport", "tsFormats");
    Shot(&f, "page-formats");
    d.Tab("pcExport", "tsColons");
    Shot(&f, "page-header-footer");
    d.Tab("pcExport", "tsCaptions");
    Shot(&f, "page-captions-word");
    d.Tab("pcExport", "tsExportType");
    d.ClickItem("lbExportType", "MS Excel");
    d.Tab("pcExport", "tsCaptions");
    Shot(&f, "page-captions-xls");
    d.Tab("pcExport", "tsExportType");
    d.ClickItem("lbExportType", "CSV File");
    d.Tab("pcExport", "tsCaptions");
    Shot(&f, "page-captions-csv");
    // The progress window at the end of a run that keeps it open.
    d.Tab("pcExport", "tsExportType");
    d.Type("edFileName", QString::fromStdString(FreshFolder("screenshots") + "orders.csv"));
    f.Model().Settings().ShowFile = false;
    dialog.OnEndExport = [&](TObject*, TExport*) {
      PressProgressButtonLater([&](QWidget* w) { Shot(w, "progress-finished"); });
    };
    d.Click("bStart");
    // A dBASE run whose date fields lost times of day says so under the counters.
    d.ClickItem("lbExportType", "DBF");
    d.Tab("pcExport", "tsFields");
    d.Click("bAddAll");
    d.Tab("pcExport", "tsExportType");
    d.Type("edFileName", QString::fromStdString(FreshFolder("screenshots") + "orders.dbf"));
    dialog.OnEndExport = [&](TObject*, TExport*) {
      PressProgressButtonLater([&](QWidget* w) { Shot(w, "progress-dbf-note"); });
    };
    d.Click("bStart");
  });
  EXPECT_EQ(shots.size(), 28u);
  for (const auto& s : shots) std::printf("screenshot: %s\n", s.c_str());
}

}  // namespace
}  // namespace morvale::test
