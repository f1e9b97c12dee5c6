// The group "Части и сжатие" of the export dialog, driven as a person does: the demo orders cut
// into parts of two rows, each packed with gzip, with a manifest; the group greyed for the types
// it does not serve; and the settings through the options file and back into the form.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>

#include "app/engine/connect.h"
#include "tests/export/dialog/form/formdriver.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class PartsForm : public FormTest {
 protected:
  PartsForm()
      : ds(OpenQuery("sqlite:" + DemoDatabase(), "SELECT * FROM orders", DefaultFormatSettings())),
        folder(FreshFolder("partsform")) {
    dialog.SetDataSet(ds.get());
    dialog.SaveLoadButtons = true;
    dialog.FileName = folder + "orders.csv";
    dialog.ShowFile = false;
  }
  void Execute(const std::function<void(form::TExportDialogF&, TFormDriver&)>& drive) {
    dialog.Execute([&](TExportDialogModel& model) {
      form::TExportDialogF f(model);
      f.show();
      TFormDriver d(f);
      drive(f, d);
    });
  }
  static void Pick(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);  // what a pick from the list sends
  }

  std::unique_ptr<TDataSet> ds;
  std::string folder;
  TExportDialog dialog;
};

TEST_F(PartsForm, GroupSplitsAndPacksTheFile) {
  std::string out;
  ASSERT_EQ(
      RunCommand("sqlite3 " + ShellQuote(DemoDatabase()) + " 'SELECT count(*) FROM orders'", out),
      0);
  const int rows = std::stoi(out);
  ASSERT_GT(rows, 4);
  const int parts = (rows + 1) / 2;
  dialog.OnEndExport = [](TObject*, TExport*) { PressProgressButtonLater(); };
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "MS Excel 2007+");
    EXPECT_FALSE(d.W("gbParts")->isEnabled());
    d.ClickItem("lbExportType", "CSV File");
    EXPECT_TRUE(d.W("gbParts")->isEnabled());
    ASSERT_TRUE(d.Tab("pcExportType", "tsTypeOptions"));
    EXPECT_TRUE(d.W("gbParts")->isVisible());
    d.Type("edSplitRows", "2");
    d.Type("edSplitSize", "100M");
    Pick(d.W<QComboBox>("cbCompression"), 1);
    d.Click("cbManifest");
    const TOutputParts& p = f.Model().Settings().Parts;
    EXPECT_EQ(p.SplitRows, 2);
    EXPECT_EQ(p.SplitSize, 100 << 20);
    EXPECT_EQ(p.Compression, cmpGzip);
    EXPECT_TRUE(p.Manifest);
    // A picture of the filled group for whoever looks at the build's screenshots.
    QDir().mkpath(QString::fromStdString(std::string(MORVALE_BINARY_DIR) + "/screenshots"));
    EXPECT_TRUE(f.grab().save(
        QString::fromStdString(std::string(MORVALE_BINARY_DIR) + "/screenshots/form-parts.png")));
    d.Click("bStart");
  });
  for (const auto& q : prompts.Asked())
    EXPECT_NE(q.kind, TScriptedPrompts::TAsked::Error) << q.text.toStdString();
  const std::string check = R"(
import csv, gzip, hashlib, io, json, os, sys
folder, parts = sys.argv[1], int(sys.argv[2])
m = json.load(open(folder + 'orders.csv.manifest.json'))
assert [f['name'] for f in m['files']] == ['orders.part%03d.csv.gz' % i for i in range(1, parts + 1)]
caption = None
for f in m['files']:
    data = open(folder + f['name'], 'rb').read()
    assert hashlib.sha256(data).hexdigest() == f['sha256'] and len(data) == f['bytes']
    text = gzip.decompress(data).decode('utf-8')
    dialect = csv.Sniffer().sniff(text.splitlines()[0], delimiters=';,\t')
    rows = list(csv.reader(io.StringIO(text), dialect))
    caption = caption or rows[0]
    assert rows[0] == caption and len(rows) - 1 == f['rows'], (f, rows[:2])
print(m['rows'], sorted(os.listdir(folder)) == sorted([f['name'] for f in m['files']] +
      ['orders.csv.manifest.json']))
)";
  ASSERT_EQ(RunCommand(Python() + " -c " + ShellQuote(check) + " " + ShellQuote(folder) + " " +
                           std::to_string(parts) + " 2>&1",
                       out),
            0)
      << out;
  EXPECT_EQ(out, std::to_string(rows) + " True\n");
}

TEST_F(PartsForm, OptionsFileKeepsTheGroup) {
  const std::string cfg = folder + "parts.cfg";
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "JSON");
    ASSERT_TRUE(d.Tab("pcExportType", "tsTypeOptions"));
    d.Type("edSplitRows", "250000");
    d.Type("edSplitSize", "1G");
    Pick(d.W<QComboBox>("cbCompression"), 2);
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miSaveOptions")->trigger();
    EXPECT_NE(ReadFile(cfg).find("[PARTS]\nSplitRows=250000\nSplitSize=1G\nCompression=zstd\n"
                                 "Manifest=0\n"),
              std::string::npos)
        << ReadFile(cfg);
    const TDialogSettings saved = f.Model().Settings();
    d.Type("edSplitRows", "");
    d.Type("edSplitSize", "");
    Pick(d.W<QComboBox>("cbCompression"), 0);
    EXPECT_FALSE(f.Model().Settings().Parts.Active());
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miLoadOptions")->trigger();
    EXPECT_EQ(d.W<QLineEdit>("edSplitRows")->text().toStdString(), "250000");
    EXPECT_EQ(d.W<QLineEdit>("edSplitSize")->text().toStdString(), "1G");
    EXPECT_EQ(d.W<QComboBox>("cbCompression")->currentIndex(), 2);
    EXPECT_TRUE(f.Model().Settings() == saved);
  });
}

}  // namespace
}  // namespace morvale::test
