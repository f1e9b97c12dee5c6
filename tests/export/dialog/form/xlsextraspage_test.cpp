// The spreadsheet page's "Расширения" sub-page driven through its widgets: the tree and its
// buttons, each kind's editor, the integer fields read on leaving them, and what the options file
// and a loaded file make of the edits. Pictures of every editor land in screenshots/.
#include <QDir>
#include <QFocusEvent>
#include <QPixmap>
#include <QSlider>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "export/core/inifile.h"
#include "export/dialog/form/binder.h"
#include "export/dialog/form/xlsextraspage.h"
#include "export/workbook/palette.h"
#include "tests/export/dialog/form/formdriver.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class ExtrasPage : public FormTest {
 protected:
  ExtrasPage() : ds(SmallTable(3)), folder(FreshFolder("extraspage")) {
    dialog.SetDataSet(ds.get());
    dialog.SaveLoadButtons = true;
    dialog.FileName = folder + "out.xls";
  }

  // The form with the spreadsheet page's "Extensions" sub-page in front.
  void Execute(const std::function<void(form::TExportDialogF&, TFormDriver&)>& drive) {
    dialog.Execute([&](TExportDialogModel& model) {
      form::TExportDialogF f(model);
      f.resize(900, 640);
      f.show();
      TFormDriver d(f);
      EXPECT_TRUE(d.Tab("pcExportType", "tsTypeFormats"));
      EXPECT_TRUE(d.Tab("pcXLS", "tsExtensions"));
      drive(f, d);
    });
  }

  static QTreeWidgetItem* Find(QTreeWidget* tree, const QString& text) {
    QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    return found.value(0);
  }
  static void ClickNode(QTreeWidget* tree, QTreeWidgetItem* item) {
    ASSERT_NE(item, nullptr);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    ASSERT_EQ(tree->currentItem(), item);
  }
  static QStringList Children(QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i) out << item->child(i)->text(0);
    return out;
  }
  // Typing into a field and leaving it, as tabbing away does.
  static void TypeAndLeave(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    TFormDriver::Keys(edit, text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
  }
  void Shot(QWidget* w, const std::string& name) {
    const std::string dir = std::string(MORVALE_BINARY_DIR) + "/screenshots/";
    QDir().mkpath(QString::fromStdString(dir));
    QPixmap p = w->grab();
    ASSERT_FALSE(p.isNull());
    ASSERT_TRUE(p.save(QString::fromStdString(dir + name + ".png"), "PNG"));
  }

  std::unique_ptr<TMemDataSet> ds;
  std::string folder;
  TExportDialog dialog;
};

TEST_F(ExtrasPage, HyperlinksAreAddedNumberedAndEdited) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    auto* tree = d.W<QTreeWidget>("tvXLSExtras");
    auto* add = d.W<QToolButton>("tbXLSAddExtra");
    auto* del = d.W<QToolButton>("tbXLSDeleteExtra");
    QStringList roots;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) roots << tree->topLevelItem(i)->text(0);
    EXPECT_EQ(roots, (QStringList{"Гиперссылки", "Примечания", "Диаграммы", "Ячейки",
                                  "Объединенные ячейки"}));
    EXPECT_FALSE(add->isEnabled()) << "nothing selected";

    QTreeWidgetItem* links = Find(tree, "Гиперссылки");
    ClickNode(tree, links);
    EXPECT_EQ(add->toolTip(), "Добавить гиперссылку");
    EXPECT_EQ(del->toolTip(), "Удалить гиперссылку");
    EXPECT_FALSE(del->isEnabled());
    EXPECT_FALSE(d.W("tsHyperlinkEditor")->isEnabled()) << "a root has no item to edit";
    for (int i = 0; i < 3; ++i) d.Click(add);
    links = Find(tree, "Гиперссылки");
    EXPECT_EQ(Children(links), (QStringList{"Hyperlink_1", "Hyperlink_2", "Hyperlink_3"}));
    EXPECT_EQ(tree->currentItem()->text(0), "Hyperlink_3") << "the new node is selected";
    EXPECT_TRUE(d.W("tsHyperlinkEditor")->isEnabled());
    EXPECT_EQ(d.W<QLineEdit>("edHyperlinkTitle")->text(), "Hyperlink_3");

    ClickNode(tree, Find(tree, "Hyperlink_2"));
    d.Click(del);
    EXPECT_EQ(tree->currentItem()->text(0), "Hyperlink_3");
    d.Click(add);
    EXPECT_EQ(Children(Find(tree, "Гиперссылки")),
              (QStringList{"Hyperlink_1", "Hyperlink_3", "Hyperlink_2"}));

    // The title is the node's text; a row that is no number becomes 0.
    ClickNode(tree, Find(tree, "Hyperlink_1"));
    auto* title = d.W<QLineEdit>("edHyperlinkTitle");
    title->selectAll();
    TFormDriver::Keys(title, "Сайт");
    EXPECT_EQ(tree->currentItem()->text(0), "Сайт");
    auto* row = d.W<QLineEdit>("edHyperlinkRow");
    TypeAndLeave(row, "abc");
    EXPECT_EQ(row->text(), "0");
    TypeAndLeave(d.W<QLineEdit>("edHyperlinkCol"), "3");
    TFormDriver::Keys(d.W<QLineEdit>("edHyperlinkTarget"), "https://example.org/");
    d.W<QComboBox>("cbxHyperlinkStyle")->setCurrentIndex(1);
    emit d.W<QComboBox>("cbxHyperlinkStyle")->activated(1);
    Shot(&f, "extras-hyperlink");

    const TxlsHyperlinks& saved = f.Model().Settings().XLS.Extras.Hyperlinks;
    ASSERT_EQ(saved.Count(), 3);
    EXPECT_EQ(saved[0].Title, "Сайт");
    EXPECT_EQ(saved[0].Col, 3);
    EXPECT_EQ(saved[0].Target, "https://example.org/");
    EXPECT_EQ(saved[0].Style, hlsLocalFile);
    EXPECT_TRUE(saved[0].Format.Font.Underline == fulSingle) << "from the HYPERLINK format";
  });
}

TEST_F(ExtrasPage, CellsFollowTheirPlaceAndType) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    auto* tree = d.W<QTreeWidget>("tvXLSExtras");
    ClickNode(tree, Find(tree, "Ячейки"));
    EXPECT_FALSE(d.W("pcCellEditor")->isVisible()) << "hidden without a cell";
    EXPECT_EQ(d.W<QToolButton>("tbXLSAddExtra")->toolTip(), "Добавить ячейку");
    d.Click("tbXLSAddExtra");
    EXPECT_EQ(tree->currentItem()->text(0), "Ячейка(Кол: 0 Стр: 0)");
    EXPECT_TRUE(d.W("pcCellEditor")->isVisible());
    auto* col = d.W<QLineEdit>("edCellCol");
    col->selectAll();
    TFormDriver::Keys(col, "5");
    QTest::keyClick(col, Qt::Key_Return);
    EXPECT_EQ(tree->currentItem()->text(0), "Ячейка(Кол: 5 Стр: 0)");
    TypeAndLeave(d.W<QLineEdit>("edCellRow"), "x7");
    EXPECT_EQ(d.W<QLineEdit>("edCellRow")->text(), "0");

    auto* type = d.W<QComboBox>("cbxCellType");
    EXPECT_EQ(type->currentText(), "Строковый");
    EXPECT_FALSE(d.W("edCellNumericFormat")->isEnabled());
    TFormDriver::Keys(d.W<QLineEdit>("edCellValue"), "12");
    type->setCurrentIndex(ctNumeric);
    emit type->activated(ctNumeric);
    EXPECT_TRUE(d.W("edCellNumericFormat")->isEnabled());
    EXPECT_FALSE(d.W("edCellDateTimeFormat")->isEnabled());
    EXPECT_EQ(d.W<QLineEdit>("edCellValue")->text(), "0") << "each type keeps its own value";
    TFormDriver::Keys(d.W<QLineEdit>("edCellValue"), "5");
    Shot(&f, "extras-cell");
    // Behind "Общее", the format sheets edit the cell's format.
    auto* sheets = d.W<QTabWidget>("pcCellFormat");
    EXPECT_EQ(sheets->tabText(0), "Общее");
    sheets->setCurrentWidget(d.W("tsCellFont"));
    d.Click("sbCellBold");
    Shot(&f, "extras-cell-font");
    const TxlsCell& cell = f.Model().Settings().XLS.Extras.Cells[0];
    EXPECT_EQ(cell.Col, 5);
    EXPECT_EQ(cell.CellType, ctNumeric);
    EXPECT_DOUBLE_EQ(cell.NumericValue, 5);
    EXPECT_EQ(cell.StringValue, "12");
    EXPECT_TRUE(cell.Format.Font.Has(xfsBold));
    EXPECT_FALSE(f.Model().Settings().XLS.FieldFormats[0].Font.Has(xfsBold)) << "only the cell's";
  });
}

TEST_F(ExtrasPage, ChartsWithSeriesAndTheirChoices) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    auto* tree = d.W<QTreeWidget>("tvXLSExtras");
    ClickNode(tree, Find(tree, "Диаграммы"));
    d.Click("tbXLSAddExtra");
    d.Click("tbXLSAddExtra");
    EXPECT_EQ(tree->currentItem()->text(0), "Chart_2");
    EXPECT_EQ(Children(tree->currentItem()), QStringList{"Ряды"});
    EXPECT_TRUE(tree->currentItem()->isExpanded());
    EXPECT_EQ(d.W<QLineEdit>("edChartTitle")->text(), "Chart_2");

    auto* position = d.W<QTabWidget>("pcChartEditor");
    position->setCurrentIndex(1);
    EXPECT_EQ(position->tabText(1), " Положение ");
    EXPECT_TRUE(d.W("edChartLeft")->isEnabled());
    EXPECT_FALSE(d.W("edChartX1")->isEnabled());
    d.Click("rbChartCustomPosition");
    EXPECT_FALSE(d.W("edChartLeft")->isEnabled());
    EXPECT_TRUE(d.W("edChartX1")->isEnabled());
    TypeAndLeave(d.W<QLineEdit>("edChartX1"), "300");
    EXPECT_EQ(d.W<QLineEdit>("edChartX1")->text(), "44") << "kept in 8 bits";
    Shot(&f, "extras-chart-position");
    position->setCurrentIndex(2);
    auto* category = d.W<QComboBox>("cbxChartCategoryColumn");
    QStringList names;
    for (int i = 0; i < category->count(); ++i) names << category->itemText(i);
    EXPECT_EQ(names, (QStringList{"ID", "NAME", "PRICE"}));
    category->setCurrentIndex(1);
    emit category->activated(1);
    Shot(&f, "extras-chart-labels");
    position->setCurrentIndex(0);
    Shot(&f, "extras-chart");

    QTreeWidgetItem* seriesNode = tree->currentItem()->child(0);
    ClickNode(tree, seriesNode);
    EXPECT_EQ(d.W<QToolButton>("tbXLSAddExtra")->toolTip(), "Добавить ряд");
    EXPECT_FALSE(d.W<QToolButton>("tbXLSDeleteExtra")->isEnabled());
    d.Click("tbXLSAddExtra");
    d.Click("tbXLSAddExtra");
    EXPECT_EQ(tree->currentItem()->text(0), "Series_2");
    EXPECT_TRUE(d.W<QRadioButton>("rbSeriesColumn")->isChecked());
    EXPECT_FALSE(d.W("edSeriesCol1")->isEnabled());
    auto* column = d.W<QComboBox>("cbxSeriesColumn");
    column->setCurrentIndex(2);
    emit column->activated(2);
    // The series colour comes from the workbook palette.
    prompts.SetNextText(form::ToQColor(xlsColorToScreen(clrRed)).name());
    d.Click("bSeriesColor");
    Shot(&f, "extras-series");

    const TxlsCharts& charts = f.Model().Settings().XLS.Extras.Charts;
    ASSERT_EQ(charts.Count(), 2);
    EXPECT_EQ(charts[1].Position.PositionType, cptCustom);
    EXPECT_EQ(charts[1].Position.CustomPosition.X1, 44);
    EXPECT_EQ(charts[1].CategoryLabelsColumn, "NAME");
    ASSERT_EQ(charts[1].Series.Count(), 2);
    EXPECT_EQ(charts[1].Series[1].DataColumn, "PRICE");
    EXPECT_EQ(charts[1].Series[1].Color, clrRed);
    EXPECT_EQ(charts[1].Series[0].Color, clrAqua);

    // The root takes both charts and their series.
    ClickNode(tree, Find(tree, "Диаграммы"));
    EXPECT_EQ(d.W<QToolButton>("tbXLSDeleteExtra")->toolTip(), "Удалить диаграмму");
    d.Click("tbXLSDeleteExtra");
    EXPECT_EQ(Find(tree, "Диаграммы")->childCount(), 0);
    EXPECT_EQ(charts.Count(), 0);
  });
}

TEST_F(ExtrasPage, NotesAndMergedRanges) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    auto* tree = d.W<QTreeWidget>("tvXLSExtras");
    ClickNode(tree, Find(tree, "Примечания"));
    d.Click("tbXLSAddExtra");
    EXPECT_EQ(tree->currentItem()->text(0), "Note_1");
    auto* sheets = d.W<QTabWidget>("pcNoteEditor");
    EXPECT_EQ(sheets->tabText(0) + sheets->tabText(1) + sheets->tabText(2), "ОсновноеШрифтЗаливка");
    d.W<QPlainTextEdit>("meNoteText")->setPlainText("first\nsecond");
    TypeAndLeave(d.W<QLineEdit>("edNoteCol"), "2");
    Shot(&f, "extras-note");
    ASSERT_TRUE(d.Tab("pcNoteEditor", "tsNoteFont"));
    d.Click("tbNoteBold");
    d.Click("tbNoteUnderlineDouble");
    d.Click("tbNoteAlignCenter");
    d.Click("rbNoteClockWise");
    Shot(&f, "extras-note-font");
    sheets->setCurrentIndex(2);
    EXPECT_FALSE(d.W("rbNoteVertical")->isEnabled()) << "gradients only with \"Градиент\"";
    d.Click("rbNoteGradient");
    EXPECT_TRUE(d.W("rbNoteVertical")->isEnabled());
    d.Click("rbNoteVertical");
    d.W<QSlider>("tbNoteTransparency")->setValue(40);
    EXPECT_EQ(d.W<QLabel>("laNoteTransparency")->text(), "Прозрачность - 40%");
    prompts.SetNextText("#336699");
    d.Click("bNoteBackgroundColor");
    Shot(&f, "extras-note-fill");

    const TxlsNote& note = f.Model().Settings().XLS.Extras.Notes[0];
    EXPECT_EQ(note.Col, 2);
    EXPECT_EQ(note.Lines.Count(), 2);
    EXPECT_NE(note.Format.Font.Has(xfsBold), TxlsNoteFormat().Font.Has(xfsBold));
    EXPECT_EQ(note.Format.Font.Underline, fulDouble);
    EXPECT_EQ(note.Format.Alignment.Horizontal, halCenter);
    EXPECT_EQ(note.Format.Orientation, xlrClockWise);
    EXPECT_EQ(note.Format.FillType, nftGradient);
    EXPECT_EQ(note.Format.Gradient, ngrVertical);
    EXPECT_EQ(note.Format.Transparency, 40);
    EXPECT_EQ(note.Format.BackgroundColor, 0x996633) << "0x00BBGGRR";
    sheets->setCurrentIndex(1);
    d.Click("tbNoteUnderlineDouble");
    EXPECT_EQ(note.Format.Font.Underline, fulNone) << "released";

    ClickNode(tree, Find(tree, "Объединенные ячейки"));
    d.Click("tbXLSAddExtra");
    d.Click("tbXLSAddExtra");
    EXPECT_EQ(tree->currentItem()->text(0), "Объед. ячейки 2");
    TypeAndLeave(d.W<QLineEdit>("edMergedLastRow"), "70000");
    EXPECT_EQ(d.W<QLineEdit>("edMergedLastRow")->text(), "4464");
    Shot(&f, "extras-merged");
    EXPECT_EQ(f.Model().Settings().XLS.Extras.MergedCells[1].LastRow, 4464);
  });
}

TEST_F(ExtrasPage, TabWalksEveryEditorInReadingOrder) {
  Execute([&](form::TExportDialogF&, TFormDriver& d) {
    auto* tree = d.W<QTreeWidget>("tvXLSExtras");
    auto* editors = d.W<QStackedWidget>("nbXLSExtraEditors");
    auto check = [&](const QString& what) {
      QWidget* page = editors->currentWidget();
      ASSERT_NE(page, nullptr);
      // An editor of several sheets is walked on each of them.
      QList<QTabWidget*> sheets = page->findChildren<QTabWidget*>();
      if (auto* own = qobject_cast<QTabWidget*>(page)) sheets.prepend(own);
      if (sheets.isEmpty()) {
        EXPECT_EQ(FocusOutOfReadingOrder(page), "") << what.toStdString();
        return;
      }
      for (QTabWidget* t : sheets) {
        if (!t->isVisible()) continue;
        for (int i = 0; i < t->count(); ++i) {
          t->setCurrentIndex(i);
          EXPECT_EQ(FocusOutOfReadingOrder(t->currentWidget()), "")
              << what.toStdString() << " / " << t->tabText(i).toStdString();
        }
        t->setCurrentIndex(0);
      }
    };
    for (const char* root :
         {"Гиперссылки", "Примечания", "Диаграммы", "Ячейки", "Объединенные ячейки"}) {
      ClickNode(tree, Find(tree, root));
      d.Click("tbXLSAddExtra");
      check(root);
    }
    ClickNode(tree, Find(tree, "Ряды"));
    d.Click("tbXLSAddExtra");
    check("Ряды");
  });
}

TEST_F(ExtrasPage, ALoadedOptionsFileReplacesTheTree) {
  const std::string file = folder + "extras.cfg";
  {
    TIniFile ini(file);
    ini.WriteInteger("GENERAL", "ExportType", aeXLS);
    ini.WriteString("xls_hyperlink_0", "Title", "Loaded");
    ini.WriteString("XLS_NOTE_0", "Col", "2");
    ini.WriteString("XLS_NOTE_0_LINES", "line0", "text");
    ini.WriteString("XLS_CHART_0", "Style", "4");
    ini.WriteString("XLS_CHART_0_SERIES_0", "Title", "S");
    ini.WriteString("XLS_CELL_0", "NoCol", "1");
    ini.UpdateFile();
  }
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    auto* tree = d.W<QTreeWidget>("tvXLSExtras");
    ClickNode(tree, Find(tree, "Гиперссылки"));
    d.Click("tbXLSAddExtra");
    f.Model().LoadOptions(file);
    f.RefreshAll();
    EXPECT_EQ(Children(Find(tree, "Гиперссылки")), QStringList{"Loaded"});
    EXPECT_EQ(Children(Find(tree, "Примечания")), QStringList{"TxlsNote"})
        << "its lines are no note";
    QTreeWidgetItem* chart = Find(tree, "TxlsChart");
    EXPECT_EQ(Children(chart), QStringList{"Ряды"});
    EXPECT_EQ(Children(chart->child(0)), QStringList{"S"});
    EXPECT_EQ(Find(tree, "Ячейки")->childCount(), 0) << "a cell section without Col";
    EXPECT_EQ(tree->currentItem(), nullptr);
    ClickNode(tree, Find(tree, "Loaded"));
    EXPECT_EQ(d.W<QLineEdit>("edHyperlinkTitle")->text(), "Loaded");
  });
}

}  // namespace
}  // namespace morvale::test
