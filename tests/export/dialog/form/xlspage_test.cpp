// The spreadsheet page of the form, driven as a person does: the format lists, the format
// editor, the strip-style tools, the palette chooser; and pictures of its sub-pages.
#include <QDir>
#include <QPixmap>
#include <QToolButton>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/xlscolorchooser.h"
#include "tests/export/dialog/form/formdriver.h"

namespace morvale::test {
namespace {

class XLSPage : public FormTest {
 protected:
  XLSPage() : ds(SmallTable(3)) {
    dialog.SetDataSet(ds.get());
    dialog.ShowFile = false;
  }

  void Execute(
      const std::function<void(TExportDialogModel&, form::TExportDialogF&, TFormDriver&)>& drive) {
    dialog.Execute([&](TExportDialogModel& model) {
      form::TExportDialogF f(model);
      f.show();
      TFormDriver d(f);
      d.ClickItem("lbExportType", "MS Excel");
      EXPECT_TRUE(d.Tab("pcExportType", "tsTypeFormats"));
      drive(model, f, d);
    });
  }

  // Clicks an entry of a list, with Ctrl to add it to the selection.
  static void Pick(TFormDriver& d, const char* list, const QString& text, bool add = false) {
    auto* l = d.W<QListWidget>(list);
    QListWidgetItem* i = d.Item(l, text);
    ASSERT_NE(i, nullptr);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, add ? Qt::ControlModifier : Qt::NoModifier,
                      l->visualItemRect(i).center());
  }

  // Answers the palette chooser with a colour of the palette.
  void NextPaletteColor(TxlsColor c) {
    prompts.SetNextText(form::ToQColor(xlsColorToScreen(c)).name());
  }

  void Shot(QWidget* w, const std::string& name) {
    const std::string folder = std::string(MORVALE_BINARY_DIR) + "/screenshots/";
    QDir().mkpath(QString::fromStdString(folder));
    QPixmap p = w->grab();
    ASSERT_FALSE(p.isNull());
    ASSERT_TRUE(p.save(QString::fromStdString(folder + name + ".png"), "PNG")) << name;
  }

  std::unique_ptr<TMemDataSet> ds;
  TExportDialog dialog;
};

TEST_F(XLSPage, SeveralFieldFormatsAreEditedAsOne) {
  dialog.XLSOptions.FieldFormats.ForField("ID").Font.Name = "Courier";
  Execute([&](TExportDialogModel& m, form::TExportDialogF&, TFormDriver& d) {
    const TxlsFieldFormats& ff = m.Settings().XLS.FieldFormats;
    auto* list = d.W<QListWidget>("lvXLSFields");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked) << "every column is exported";
    Pick(d, "lvXLSFields", "ID");
    auto* font = d.W<QComboBox>("cbxXLSFontName");
    EXPECT_EQ(font->currentText().toStdString(), "Courier");
    EXPECT_EQ(d.W<QPushButton>("bXLSReset")->text().toStdString(), "Сбросить");
    Pick(d, "lvXLSFields", "NAME", true);
    EXPECT_TRUE(font->currentText().isEmpty()) << "two fonts leave the list blank";
    EXPECT_EQ(d.W<QComboBox>("cbxXLSFontSize")->currentText().toStdString(), "10");
    EXPECT_EQ(d.W<QPushButton>("bXLSReset")->text().toStdString(), "Сбросить у выделенных");

    font->setFocus();
    font->lineEdit()->selectAll();
    TFormDriver::Keys(font->lineEdit(), "Tahoma");
    EXPECT_EQ(ff[0].Font.Name, "Tahoma");
    EXPECT_EQ(ff[1].Font.Name, "Tahoma");
    EXPECT_EQ(ff[2].Font.Name, "arial") << "PRICE was not selected";

    d.Click("rbXLSAggregate1");  // "СУММА"
    EXPECT_EQ(ff[0].Aggregate, aggSum);
    EXPECT_EQ(ff[1].Aggregate, aggSum);
    d.Click("bXLSReset");
    EXPECT_EQ(ff[1].Font.Name, "arial");
    EXPECT_EQ(ff[1].Aggregate, aggNone);
    EXPECT_EQ(ff[1].FieldName, "NAME");

    d.Tab("pcExport", "tsFields");
    d.DoubleClickItem("lstAllFields", "PRICE");
    d.Tab("pcExport", "tsTypeFormats");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked) << "the mark follows the fields page";
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
  });
}

TEST_F(XLSPage, FillBackgroundAndPatternKeepEachOtherVisible) {
  Execute([&](TExportDialogModel& m, form::TExportDialogF&, TFormDriver& d) {
    d.Tab("pcXLSLists", "tsXLSOptions");
    Pick(d, "lvXLSOptions", "ПОДВАЛ");
    d.Tab("pcXLSFormat", "tsXLSFill");
    const TxlsFormat& footer = m.Settings().XLS.BaseFormats[3].Format;
    NextPaletteColor(clrSkyBlue);
    d.Click("bXLSBackground");
    ASSERT_FALSE(prompts.Asked().empty());
    EXPECT_EQ(prompts.Asked().back().title.toStdString(), "palette");
    EXPECT_EQ(footer.Fill.Background, clrSkyBlue);
    EXPECT_EQ(footer.Fill.Pattern, ptSolid);
    auto* pattern = d.W<QComboBox>("cbxXLSPattern");
    EXPECT_EQ(pattern->currentIndex(), ptSolid);
    pattern->setFocus();
    QTest::keyClick(pattern, Qt::Key_Home);
    EXPECT_EQ(footer.Fill.Pattern, ptNone);
    EXPECT_EQ(footer.Fill.Background, clrWhite);

    d.Tab("pcXLSFormat", "tsXLSBorders");
    d.Click("sbXLSBorderTop");
    EXPECT_EQ(footer.Borders.Top.Style, bstThin);
    EXPECT_EQ(d.W<QComboBox>("cbxXLSBorderTop")->currentIndex(), bstThin);
    d.Click("sbXLSBorderTop");
    EXPECT_EQ(footer.Borders.Top.Style, bstNone);
  });
}

TEST_F(XLSPage, TheHyperlinksFollowTheHyperlinkFormat) {
  Execute([&](TExportDialogModel& m, form::TExportDialogF&, TFormDriver& d) {
    TXLSPage& p = m.Settings().XLS;
    p.Extras.Hyperlinks.Add();
    p.Extras.Hyperlinks.Add();
    d.Tab("pcXLSLists", "tsXLSOptions");
    EXPECT_EQ(d.W<QTabWidget>("pcXLSFormat")->count(), 3) << "no aggregate sheet for base formats";
    Pick(d, "lvXLSOptions", "HYPERLINK");
    d.Click("sbXLSBold");
    EXPECT_TRUE(p.BaseFormats[4].Format.Font.Has(xfsBold));
    for (const auto& link : p.Extras.Hyperlinks) EXPECT_TRUE(link->Format.Font.Has(xfsBold));

    Pick(d, "lvXLSOptions", "ЗАГОЛОВКИ");
    d.Click("sbXLSItalic");
    EXPECT_FALSE(p.Extras.Hyperlinks[0].Format.Font.Has(xfsItalic));

    prompts.SetNextAnswer(true);
    d.Click("bXLSResetAll");
    ASSERT_FALSE(prompts.Asked().empty());
    EXPECT_EQ(prompts.Asked().back().title.toStdString(), "Внимание!");
    EXPECT_EQ(prompts.Asked().back().text.toStdString(),
              "Все настройки форматирования колонок будут сброшены\r\nХотите продолжить?");
    EXPECT_TRUE(p.BaseFormats[1].Format.Font.Has(xfsBold)) << "ЗАГОЛОВКИ resets bold";
    EXPECT_FALSE(p.BaseFormats[1].Format.Font.Has(xfsItalic));
    EXPECT_FALSE(p.BaseFormats[4].Format.Font.Has(xfsBold));
    EXPECT_EQ(d.W<QListWidget>("lvXLSOptions")->currentRow(), 1) << "the focused entry stays";
    EXPECT_TRUE(p.Extras.Hyperlinks[0].Format.Font.Has(xfsBold))
        << "HYPERLINK was not the one selected";
  });
}

TEST_F(XLSPage, StripStyleTools) {
  Execute([&](TExportDialogModel& m, form::TExportDialogF&, TFormDriver& d) {
    auto& strips = m.Settings().XLS.StripStyles;
    d.Tab("pcXLSLists", "tsXLSStyles");
    auto* list = d.W<QListWidget>("lvXLSStyles");
    EXPECT_EQ(d.W<QToolButton>("tbXLSStyleUp")->toolTip().toStdString(), "Перместить вверх");
    EXPECT_FALSE(d.W("tbXLSSaveStyle")->isEnabled());
    EXPECT_FALSE(d.W("tbXLSDeleteStyle")->isEnabled());
    d.Click("tbXLSAddStyle");
    d.Click("tbXLSAddStyle");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1) << "the new entry is focused";
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_TRUE(d.W("tbXLSStyleUp")->isEnabled());
    EXPECT_FALSE(d.W("tbXLSStyleDown")->isEnabled());
    NextPaletteColor(clrRose);
    d.Click("bXLSFontColor");
    EXPECT_EQ(strips[1].Format.Font.Color, clrRose);

    d.Click("tbXLSStyleUp");
    EXPECT_EQ(list->item(0)->text().toStdString(), "ЭЛЕМЕНТ_1");
    EXPECT_EQ(list->item(1)->text().toStdString(), "ЭЛЕМЕНТ_2");
    EXPECT_EQ(strips[0].Format.Font.Color, clrRose) << "the formats change places";
    EXPECT_EQ(strips[1].Format.Font.Color, clrBlack);
    EXPECT_EQ(list->currentRow(), 0) << "the selection moves with the format";

    Pick(d, "lvXLSStyles", "ЭЛЕМЕНТ_2", true);
    d.Click("tbXLSDeleteStyle");
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(d.W("tbXLSSaveStyle")->isEnabled());
    d.Click("rbXLSStripRow");
    EXPECT_EQ(m.Settings().XLS.StripType, ssRow);
  });
}

TEST_F(XLSPage, BackgroundPictureChooser) {
  Execute([&](TExportDialogModel& m, form::TExportDialogF&, TFormDriver& d) {
    d.Tab("pcXLS", "tsXLSAdvanced");
    d.Type("edXLSPageBackground", "/pictures/old.jpg");
    prompts.SetNextText("/pictures/new.gif");
    d.Click("bXLSPageBackground");
    ASSERT_FALSE(prompts.Asked().empty());
    EXPECT_EQ(prompts.Asked().back().title.toStdString(),
              "All (*.gif;*.jpg;*.jpeg;*.bmp)|*.gif;*.jpg;*.jpeg;*.bmp;|CompuServe GIF Image "
              "(*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
              "Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(prompts.Asked().back().text.toStdString(), "/pictures/old.jpg")
        << "the chooser starts on the current file";
    EXPECT_EQ(m.Settings().XLS.PageBackground, "/pictures/new.gif");
  });
}

TEST_F(XLSPage, PaletteChooserPicksByCell) {
  using form::TxlsColorGrid;
  EXPECT_EQ(TxlsColorGrid::ColorAt(0, 0), clrBlack);
  EXPECT_EQ(TxlsColorGrid::ColorAt(176, 0), clrDarkRed) << "x = 176 is the next row's first";
  EXPECT_EQ(TxlsColorGrid::ColorAt(176, 100), clrWhite) << "capped to the last colour";
  form::TxlsColorChooser chooser(clrTeal);
  chooser.show();
  EXPECT_EQ(chooser.windowTitle().toStdString(), "Выбор цвета");
  EXPECT_EQ(chooser.Grid()->size(), QSize(177, 110));
  QTest::mouseClick(chooser.Grid(), Qt::LeftButton, {}, QPoint(22 * 5 + 4, 22 * 3 + 4));
  EXPECT_EQ(chooser.Color(), clrSkyBlue);
  QTest::mouseMove(chooser.Grid(), QPoint(3, 3));
  EXPECT_EQ(chooser.Grid()->toolTip().toStdString(), "Black");
  Shot(&chooser, "xls-color-chooser");
  QTest::mouseDClick(chooser.Grid(), Qt::LeftButton, {}, QPoint(22 * 7 + 4, 4));
  EXPECT_EQ(chooser.result(), QDialog::Accepted) << "a double click accepts";
  EXPECT_EQ(chooser.Color(), clrGray80Percent);

  prompts.SetNextCancel();
  EXPECT_EQ(form::ChooseColor(nullptr, clrGold), clrGold) << "cancel keeps the colour";
}

TEST_F(XLSPage, TabWalksEveryFormatSheetInReadingOrder) {
  Execute([&](TExportDialogModel&, form::TExportDialogF&, TFormDriver& d) {
    Pick(d, "lvXLSFields", "ID");
    auto* sheets = d.W<QTabWidget>("pcXLSFormat");
    for (int i = 0; i < sheets->count(); ++i) {
      sheets->setCurrentIndex(i);
      EXPECT_EQ(FocusOutOfReadingOrder(sheets->currentWidget()), "")
          << sheets->tabText(i).toStdString();
    }
  });
}

TEST_F(XLSPage, Pictures) {
  dialog.XLSOptions.StripStyles.Add();
  Execute([&](TExportDialogModel&, form::TExportDialogF& f, TFormDriver& d) {
    Pick(d, "lvXLSFields", "ID");
    // Each sub-page and sheet in turn: the tabs, the page brought to the front, the picture.
    const struct {
      const char *tabs, *page, *shot;
    } steps[] = {{"pcXLSFormat", "tsXLSFont", "xls-formats-fields"},
                 {"pcXLSFormat", "tsXLSBorders", "xls-formats-borders"},
                 {"pcXLSFormat", "tsXLSFill", "xls-formats-fill"},
                 {"pcXLSFormat", "tsXLSAggregate", "xls-formats-aggregate"},
                 {"pcXLSLists", "tsXLSOptions", "xls-formats-options"},
                 {"pcXLSLists", "tsXLSStyles", "xls-formats-styles"},
                 {"pcXLS", "tsXLSAdvanced", "xls-advanced"},
                 {"pcXLS", "tsExtensions", "xls-extensions"}};
    for (const auto& step : steps) {
      EXPECT_TRUE(d.Tab(step.tabs, step.page)) << step.page;
      Shot(&f, step.shot);
    }
  });
}

}  // namespace
}  // namespace morvale::test
