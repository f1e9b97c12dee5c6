// The export launch, the export folder, the navigator and the main window's look.
#include <QHeaderView>
#include <QTest>

#include "export/dialog/model.h"
#include "export/docs/rtfstyle.h"
#include "tests/app/main/window.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class LaunchTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // The export dialog shows this script instead of its form.
    SetExportDialogForm([this](TExportDialogModel& model) {
      // The window's suggestion, with the extension of the dialog's first type (workbook).
      suggested_.push_back(model.Settings().FileName);
      statusDuring_ = Form().Label_Info->text().toStdString();
    });
  }
  std::vector<std::string> suggested_;
  std::string statusDuring_;
};

TEST_F(LaunchTest, TheExportDialogStartsOnTheQueryAndTheGrid) {
  TExportDialog& d = Form().ExportDialog1;
  EXPECT_EQ(d.DataSet(), &Form().Query1());
  EXPECT_EQ(d.DBGrid(), &Form().GridSource());
  EXPECT_FALSE(d.ShowFile);
  EXPECT_EQ(d.Formats.IntegerFormat(), "0");
  EXPECT_EQ(d.Formats.NullString(), "null");
  EXPECT_EQ(d.CSVOptions.Comma, ';');
  EXPECT_EQ(d.RTFOptions.CaptionStyle.Font.Name, "Arial");
  EXPECT_EQ(d.RTFOptions.CaptionStyle.Font.Style, fsBold);
  EXPECT_EQ(d.RTFOptions.CaptionStyle.Alignment, talCenter);
  EXPECT_EQ(d.RTFOptions.DataStyle.Font.Style, 0);
  EXPECT_EQ(d.HTMLPageOptions.TextFont.Color, clWhite);
  EXPECT_NEAR(d.PDFOptions.PageOptions.MarginLeft(), 1.17, 0.01);
  EXPECT_NEAR(d.PDFOptions.PageOptions.MarginRight(), 0.57, 0.01);
  EXPECT_EQ(d.XLSOptions.PageFooter, "Page &P of &N");
  EXPECT_EQ(d.XLSOptions.SheetTitle, "Sheet 1");
  EXPECT_EQ(d.XLSOptions.NoteFormat.Font.Name, "Tahoma");
  EXPECT_EQ(d.XLSOptions.NoteFormat.Font.Size, 8);
  EXPECT_EQ(d.XLSOptions.HyperlinkFormat.Font.Underline, fulSingle);
  // Framing or restoring the captions puts the source back to the dataset.
  d.ExportSource = esDBGrid;
  Form().SpeedButton9->click();
  EXPECT_EQ(d.ExportSource, esDataSet);
}

TEST_F(LaunchTest, SuggestsTheExportFolderAndTheSelectedTable) {
  // A closed query: nothing happens, not even the status.
  Form().SpeedButton4->click();
  EXPECT_TRUE(suggested_.empty());
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "");

  OpenDemoTable("orders");
  Form().SpeedButton4->click();
  ASSERT_EQ(suggested_.size(), 1u);
  EXPECT_EQ(suggested_[0], home_ + "mvl_Export/orders.xls");
  EXPECT_EQ(statusDuring_, "Экспортируем инфу ...");
  EXPECT_EQ(Form().Label_Info->text().toStdString(), "Экспорт закончен");

  // No table selected (a console query): "Unknown".
  Form().List_Tables->setCurrentItem(nullptr);
  Form().SQL->setPlainText("SELECT * FROM products");
  Form().SpeedButton5->click();
  Form().SpeedButton4->click();
  ASSERT_EQ(suggested_.size(), 2u);
  EXPECT_EQ(suggested_[1], home_ + "mvl_Export/Unknown.xls");
}

TEST_F(LaunchTest, TheExportFolderChooser) {
  std::string chosen = FreshFolder("main_export_here");
  prompts_.SetNextPath(chosen.substr(0, chosen.size() - 1));
  Form().SpeedButton6->click();
  EXPECT_EQ(Form().ExportFolder(), chosen);
  ASSERT_EQ(prompts_.ChooserStarts().size(), 1u);
  EXPECT_EQ(prompts_.ChooserStarts()[0], home_ + "mvl_Export/");
  // Cancelled: unchanged.
  Form().SpeedButton6->click();
  EXPECT_EQ(Form().ExportFolder(), chosen);
  // A new folder typed into the chooser is made.
  prompts_.SetNextPath(chosen + "new/inner");
  Form().SpeedButton6->click();
  EXPECT_EQ(Form().ExportFolder(), chosen + "new/inner/");
  EXPECT_TRUE(std::filesystem::is_directory(chosen + "new/inner"));
}

TEST_F(LaunchTest, TheNavigatorMovesTheCurrentRecord) {
  OpenDemoTable("order_items");
  int rows = Form().GridModel().rowCount();
  ASSERT_GT(rows, 3);
  Form().nbLast->click();
  EXPECT_EQ(Form().DBGrid1->currentIndex().row(), rows - 1);
  Form().nbPrior->click();
  EXPECT_EQ(Form().DBGrid1->currentIndex().row(), rows - 2);
  Form().nbFirst->click();
  EXPECT_EQ(Form().DBGrid1->currentIndex().row(), 0);
  Form().nbNext->click();
  EXPECT_EQ(Form().DBGrid1->currentIndex().row(), 1);
  // The export engine's grid source: the view's column order, captions and widths.
  TGridSource& source = Form().GridSource();
  EXPECT_EQ(source.DataSet(), &Form().Query1());
  EXPECT_EQ(source.ColumnCount(), Form().GridModel().columnCount());
  Form().DBGrid1->horizontalHeader()->moveSection(0, 2);
  EXPECT_EQ(source.ColumnField(0)->FieldName, "line");
  EXPECT_EQ(source.ColumnField(2)->FieldName, "order_id");
  EXPECT_EQ(source.ColumnTitle(2), "order_id");
  EXPECT_EQ(source.ColumnWidth(2), Form().DBGrid1->columnWidth(0));
  EXPECT_EQ(source.SelectedField()->FieldName, Form().Query1().Fields(0).FieldName);
  // An exporter reads the Qt grid through the data-aware grid's adapter, in the view's order.
  TSourceRef ref;
  ref.Kind = esDBGrid;
  ref.DBGrid = &source;
  TSourceAdapterPtr adapter = MakeSourceAdapter(ref);
  ASSERT_TRUE(adapter && adapter->Assigned());
  std::vector<std::string> names;
  adapter->ListColumns({}, [&](int, TField* f) { names.push_back(f->FieldName); });
  ASSERT_EQ(names.size(), static_cast<size_t>(source.ColumnCount()));
  EXPECT_EQ(names[0], "line");
  EXPECT_EQ(names[2], "order_id");
}

TEST_F(LaunchTest, MainWindowScreenshot) {
  OpenDemoTable("orders");
  Form().DBGrid1->setCurrentIndex(Form().GridModel().index(1, 2));
  Pump(100);
  Screenshot(Form(), "main-window");
}

}  // namespace
}  // namespace morvale::test
