// The component and the form's model: defaults, Execute's checks, the type list and the type
// change, the pages, the fields page and the formats page.
#include <gtest/gtest.h>

#include "tests/export/dialog/dialogsupport.h"

namespace morvale::test {
namespace {

std::vector<std::string> Labels(const TExportDialogModel& m) {
  std::vector<std::string> out;
  for (TAllowedExport t : m.TypeList()) out.push_back(ExportTypeInfo(t).Label);
  return out;
}

TEST(ExportDialog, NewComponentDefaults) {
  TExportDialog d;
  EXPECT_EQ(d.ExportSource, esDataSet);
  EXPECT_EQ(d.AllowedExports, TAllowedExports::All());
  for (const TExportTypeInfo& t : ExportTypeTable()) EXPECT_TRUE(d.AllowedExports.Has(t.Type));
  EXPECT_EQ(d.CommonOptions, TCommonOptions::All());
  EXPECT_TRUE(d.AutoChangeFileExt);
  EXPECT_TRUE(d.ConfirmAbort);
  EXPECT_FALSE(d.OnlyVisibleFields || d.AutoCalcStrType || d.AutoSaveOptions || d.AutoLoadOptions ||
               d.SaveLoadButtons || d.PrintFile || d.CurrentRecordOnly);
  EXPECT_TRUE(d.ShowFile && d.AllowCaptions && d.ExportEmpty && d.GoToFirstRecord);
  EXPECT_EQ(d.CaptionRow, -1);
  EXPECT_EQ(d.ExportRecCount + d.SkipRecCount, 0);
  // The option records start with their documented values.
  EXPECT_EQ(d.SQLOptions.CommitStatement, "COMMIT WORK;");
  EXPECT_EQ(d.SQLOptions.StatementTerm, ';');
  EXPECT_EQ(d.HTMLTableOptions.HeadersRowBgColor, 0x0000FF);
  EXPECT_EQ(d.HTMLTableOptions.TableBgColor, 0xEC7A00);
  EXPECT_EQ(d.HTMLPageOptions.BackgroundColor, 0x993333);
  EXPECT_EQ(d.HTMLPageOptions.TextFont.Name, "Arial");
  EXPECT_EQ(d.HTMLPageOptions.TextFont.Color, clWhite);
  EXPECT_EQ(d.HTMLMultiFileOptions.IndexLinkTitle, "Index");
  EXPECT_EQ(d.XLSOptions.PageFooter, "Page &P of &N");
  EXPECT_EQ(d.XLSOptions.SheetTitle, "Sheet 1");
  EXPECT_TRUE(d.XLSOptions.CaptionFormat.Font.Has(xfsBold));
  EXPECT_EQ(d.XLSOptions.HyperlinkFormat.Font.Underline, fulSingle);
  EXPECT_EQ(d.RTFOptions.CaptionStyle.Alignment, talCenter);
  EXPECT_EQ(d.RTFOptions.CaptionStyle.Font.Style, fsBold);
  EXPECT_EQ(d.PDFOptions.DataFont.ResourceName(), "DataFont");
  EXPECT_DOUBLE_EQ(d.PDFOptions.ColSpacing, 3.0);
  EXPECT_EQ(d.CSVOptions.Quote, '"');
  EXPECT_EQ(d.RTFOptions.Owner(), &d);
  // Assignment copies the values, not the owner.
  TExportSQLOptions copy;
  d.SQLOptions.TableName = "T";
  copy.Assign(d.SQLOptions);
  EXPECT_EQ(copy.TableName, "T");
  EXPECT_EQ(copy.Owner(), nullptr);
  EXPECT_NE(ListProperties(d).size(), 0u);
}

TEST(ExportDialog, ExecuteChecksTheSourceAndTheTypes) {
  TExportDialog d;
  auto message = [&d] {
    try {
      d.Execute([](TExportDialogModel&) {});
    } catch (const Exception& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message(), "Источник данных (DataSet) не определен");
  d.ExportSource = esStringGrid;
  EXPECT_EQ(message(), "Источник данных (StringGrid) не определен");
  TMemDataSet ds;
  ds.AddField("A", ftInteger);
  d.ExportSource = esDataSet;
  d.SetDataSet(&ds);
  d.AllowedExports = {};
  EXPECT_EQ(message(), "Свойство AllowedExports должно быть определено");
  d.AllowedExports = {aeCSV};
  bool shown = false;
  d.Execute([&](TExportDialogModel& m) {
    shown = true;
    EXPECT_EQ(m.Columns().Count(), 1);
  });
  EXPECT_TRUE(shown);
}

TEST(ExportDialog, ADestroyedSourceIsForgotten) {
  TExportDialog d;
  {
    TMemDataSet ds;
    d.SetDataSet(&ds);
    EXPECT_EQ(d.DataSet(), &ds);
  }
  EXPECT_EQ(d.DataSet(), nullptr);
}

TEST(ExportDialogModel, StringGridCaptionsComeFromTheCaptionRow) {
  TMemStringGrid grid;
  grid.colCount = 2;
  grid.cells = {{"Code", "Title"}, {"1", "Bolt"}, {"2", "Nut"}};
  TExportDialog d;
  d.ExportSource = esStringGrid;
  d.SetStringGrid(&grid);
  d.CaptionRow = 0;
  std::vector<std::string> captions;
  bool visible = false;
  auto show = [&](TExportDialogModel& m) {
    captions.clear();
    for (const TCaptionRow& r : m.Settings().Captions) captions.push_back(r.Caption);
    visible = m.CaptionRowVisible();
  };
  d.Execute(show);
  EXPECT_EQ(captions, (std::vector<std::string>{"Code", "Title"}));
  EXPECT_TRUE(visible);
  d.CaptionRow = 3;  // the grid has three rows: no such row
  d.Execute(show);
  EXPECT_EQ(captions, (std::vector<std::string>{"ColNo_0", "ColNo_1"}));
}

TEST(ExportDialogModel, TypeListFollowsTheTableOrder) {
  TDialogFixture f;
  f.dialog.AllowedExports = {aeCSV, aePDF};
  TExportDialogModel& m = f.Model();
  EXPECT_EQ(Labels(m), (std::vector<std::string>{"PDF", "CSV File"}));
  EXPECT_EQ(m.Settings().ExportType, aePDF);
  m.SetExportType(aeXLS);  // not offered
  EXPECT_EQ(m.Settings().ExportType, aePDF);
  // Ordinals are what options files store: the table keeps them.
  for (size_t i = 0; i < ExportTypeTable().size(); ++i)
    EXPECT_EQ(ExportTypeTable()[i].Type, static_cast<TAllowedExport>(i));
  EXPECT_EQ(FindExportTypeInfo("csv file")->Type, aeCSV);
  EXPECT_EQ(FindExportTypeInfo("aeSylk")->Type, aeSylk);
  EXPECT_EQ(FindExportTypeInfo(99), nullptr);
}

TEST(ExportDialogModel, TypeChangeReplacesTheExtensionAndDisablesTheFileForTheClipboard) {
  TDialogFixture f;
  f.dialog.FileName = "/out/table.dbf";
  TExportDialogModel& m = f.Model();
  EXPECT_EQ(m.Settings().FileName, "/out/table.xls");  // the first type is the spreadsheet
  m.SetExportType(aeHTML);
  EXPECT_EQ(m.Settings().FileName, "/out/table.html");
  EXPECT_STREQ(m.SaveFilter(), "HTML files (*.html, *.htm)|*.html;*.htm");
  EXPECT_STREQ(m.DefaultExt(), "html");
  m.SetFileName("/out/table.dbf");
  m.SetExportType(aeClipboard);
  EXPECT_EQ(m.Settings().FileName, "/out/table.dbf");
  EXPECT_FALSE(m.FileControlsEnabled());
  EXPECT_TRUE(m.StartEnabled());
  m.SetExportType(aeTXT);
  EXPECT_TRUE(m.FileControlsEnabled());
  m.SetFileName("");
  EXPECT_FALSE(m.StartEnabled());
  EXPECT_EQ(m.Title(), "Диалог экспорта");
  m.SetFileName("/out/dir/orders.txt");
  EXPECT_EQ(m.Title(), "Диалог экспорта -- Экспортировать в [orders.txt]");

  f.dialog.AutoChangeFileExt = false;
  TExportDialogModel kept(f.dialog);
  kept.SetExportType(aeHTML);
  EXPECT_EQ(kept.Settings().FileName, "/out/table.dbf");
}

TEST(ExportDialogModel, PagesOfEachType) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  auto pages = [&](TAllowedExport t) {
    m.SetExportType(t);
    return m.VisiblePages();
  };
  using P = std::vector<TDialogPage>;
  EXPECT_EQ(pages(aeDBF), (P{dpExportType, dpFields}));
  EXPECT_EQ(pages(aeSQL), (P{dpExportType, dpFields, dpColons, dpSQL}));
  EXPECT_EQ(pages(aeXML), (P{dpExportType, dpFields, dpFormats, dpXML}));
  EXPECT_EQ(pages(aeWord), (P{dpExportType, dpFields, dpFormats, dpColons, dpCaptions, dpRTF}));
  EXPECT_EQ(pages(aeCSV), (P{dpExportType, dpFields, dpFormats, dpColons, dpCaptions, dpASCII}));
  EXPECT_EQ(pages(aeDIFF), (P{dpExportType, dpFields, dpFormats, dpColons, dpCaptions}));

  // The page in front goes back to the type page when the new type lacks it.
  m.SetExportType(aeCSV);
  m.SetActivePage(dpCaptions);
  m.SetExportType(aeTXT);
  EXPECT_EQ(m.ActivePage(), dpCaptions);
  m.SetExportType(aeSQL);
  EXPECT_EQ(m.ActivePage(), dpExportType);
  m.SetActivePage(dpPDF);  // not shown for SQL
  EXPECT_EQ(m.ActivePage(), dpExportType);

  f.dialog.CommonOptions = {coFields, coOptions};
  TExportDialogModel few(f.dialog);
  few.SetExportType(aeCSV);
  EXPECT_EQ(few.VisiblePages(), (P{dpExportType, dpFields, dpASCII}));
  EXPECT_TRUE(few.OptionsPageVisible());
}

TEST(ExportDialogModel, CaptionsGridColumnsAndCells) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  m.SetExportType(aeXLS);
  EXPECT_EQ(m.CaptionLayout(), clWidth);
  EXPECT_EQ(m.CaptionsPageTitle(), "Заголовок && Ширина");
  m.SetExportType(aeHTML);
  EXPECT_EQ(m.CaptionsPageTitle(), "Заголовок && Выравнивание");
  m.SetExportType(aePDF);
  EXPECT_EQ(m.CaptionLayout(), clAlignWidth);
  EXPECT_EQ(m.CaptionsPageTitle(), "Заголовок && Ширина && Выравнивание");
  m.SetExportType(aeLaTeX);
  EXPECT_EQ(m.CaptionsPageTitle(), "Заголовок");

  const auto& rows = m.Settings().Captions;
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].FieldName, "ID");
  EXPECT_EQ(rows[0].Align, ecaRight) << "numbers are right-aligned by their column";
  EXPECT_EQ(rows[1].Width, 20);
  // Edited cells go back to the columns' values on a type change.
  m.Settings().Captions[1].Width = 3;
  m.Settings().Captions[1].Align = ecaCenter;
  m.SetExportType(aeTXT);
  EXPECT_EQ(rows[1].Width, 20);
  EXPECT_EQ(rows[1].Align, ecaLeft);

  // Shown with the centre's spelling mended; options files keep the spelling they always had,
  // and both read back.
  EXPECT_EQ(AlignCellText(ecaCenter), "По центру");
  EXPECT_STREQ(AlignFileText(ecaCenter), "По ценру");
  EXPECT_EQ(AlignFromCellText("По центру"), ecaCenter);
  EXPECT_EQ(AlignFromCellText("По ценру"), ecaCenter);
  EXPECT_EQ(AlignFromCellText("Вправо"), ecaRight);
  EXPECT_EQ(AlignFromCellText("Center"), ecaCenter);
  EXPECT_EQ(AlignFromCellText("whatever"), ecaLeft);
}

TEST(ExportDialogModel, FieldsGoBackToTheirFormerPlace) {
  TDialogFixture f;
  f.dialog.ExportedFields = {"price", "NOSUCH", "id"};
  TExportDialogModel& m = f.Model();
  using V = std::vector<std::string>;
  EXPECT_EQ(m.Settings().ExportedFields, (V{"PRICE", "ID"}));
  EXPECT_EQ(m.AvailableFields(), (V{"NAME", "BORN", "NOTE", "PIC"}));
  m.MoveToExported("NOTE");
  m.MoveToExported("name", 0);
  m.MoveToExported("NAME");  // already there
  EXPECT_EQ(m.Settings().ExportedFields, (V{"NAME", "PRICE", "ID", "NOTE"}));
  m.MoveBack("PRICE");
  m.MoveBack("ID");
  EXPECT_EQ(m.AvailableFields(), (V{"ID", "PRICE", "BORN", "PIC"}));
  m.MoveExported(1, 0);
  EXPECT_EQ(m.Settings().ExportedFields, (V{"NOTE", "NAME"}));
  m.MoveAllToExported();
  EXPECT_EQ(m.Settings().ExportedFields, (V{"NOTE", "NAME", "ID", "PRICE", "BORN", "PIC"}));
  EXPECT_TRUE(m.AvailableFields().empty());
  m.MoveAllBack();
  EXPECT_EQ(m.AvailableFields().size(), 6u);
}

TEST(ExportDialogModel, UserFormats) {
  TDialogFixture f;
  f.dialog.UserFormats = {"PRICE=0.0"};
  TExportDialogModel& m = f.Model();
  // The list starts with the columns whose format differs from the common one.
  EXPECT_EQ(m.Settings().UserFormats, (TStringList{"PRICE=0.0"}));
  EXPECT_EQ(m.UserFormatFields(), (std::vector<std::string>{"ID", "PRICE", "BORN"}));
  EXPECT_EQ(m.UserFormatExamples("price").front(), "#,###,##0.00");
  EXPECT_EQ(m.UserFormatExamples("ID"), (std::vector<std::string>{"#,###,##0", "0"}));
  m.AddUserFormat("price", "0.000");
  m.AddUserFormat("BORN", "yyyy");
  EXPECT_EQ(m.Settings().UserFormats, (TStringList{"PRICE=0.000", "BORN=yyyy"}));
  m.EditUserFormat(1, "yy");
  m.DeleteUserFormat(0);
  EXPECT_EQ(m.Settings().UserFormats, (TStringList{"BORN=yy"}));
  m.ClearUserFormats();
  EXPECT_TRUE(m.Settings().UserFormats.Empty());

  TFormatSettings ru = TFormatSettings::Russian();
  ru.CurrencyString = "р.";
  ru.CurrencyFormat = 3;
  EXPECT_EQ(UserFormatExamples(ectCurrency, ru), (std::vector<std::string>{"00.00 р."}));
  ru.CurrencyFormat = 0;
  EXPECT_EQ(UserFormatExamples(ectCurrency, ru), (std::vector<std::string>{"р.00.00"}));
  TFormatSettings en = TFormatSettings::English();
  auto dt = UserFormatExamples(ectDateTime, en);
  ASSERT_EQ(dt.size(), 8u);
  EXPECT_EQ(dt[2], en.ShortDateFormat + " " + en.ShortTimeFormat);
  EXPECT_EQ(dt[7], en.LongTimeFormat);
  EXPECT_EQ(UserFormatExamples(ectDate, en),
            (std::vector<std::string>{en.ShortDateFormat, en.LongDateFormat}));
  EXPECT_TRUE(UserFormatExamples(ectString, en).empty());
}

TEST(ExportDialogModel, NumberFieldsIgnoreWhatIsNoNumber) {
  EXPECT_EQ(CountFromText("25", 3), 25);
  EXPECT_EQ(CountFromText(" 7 ", 3), 7);
  EXPECT_EQ(CountFromText("2x", 3), 3);
  EXPECT_EQ(CountFromText("", 3), 3);
  EXPECT_EQ(CountFromText("-1", 3), 3);
  EXPECT_EQ(CountFromText("99999999999", 3), 3);
  EXPECT_DOUBLE_EQ(PDFSpacingFromText("1.5", 3.0), 1.5);
  EXPECT_DOUBLE_EQ(PDFSpacingFromText("1,5", 3.0), 3.0);
  EXPECT_EQ(PDFFontSizeFromText("abc"), 10);
  EXPECT_EQ(PDFFontSizeFromText("0"), 10);
  EXPECT_EQ(PDFFontSizeFromText("14"), 14);
}

TEST(ExportDialogModel, StyleListsOfTheRTFAndSpreadsheetPages) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  auto& strips = m.Settings().RTF.StripStyles;
  m.AddRTFStripStyle();
  m.AddRTFStripStyle();
  m.AddRTFStripStyle();
  EXPECT_EQ(strips[2].Caption, "ITEM_3");
  strips[0].Style.Font.Size = 20;
  m.MoveRTFStripStyle(0, 1);
  EXPECT_EQ(strips[1].Style.Font.Size, 20);
  EXPECT_EQ(m.DeleteRTFStripStyle(1), 1) << "the neighbour below is selected";
  EXPECT_EQ(m.DeleteRTFStripStyle(1), 0) << "or the last one";
  EXPECT_EQ(m.DeleteRTFStripStyle(0), -1);

  auto& base = m.Settings().RTF.BaseStyles;
  ASSERT_EQ(base.size(), 4u);
  EXPECT_EQ(base[1].Caption, "CAPTION");
  base[1].Style.Font.Size = 30;
  base[2].Style.Font.Size = 30;
  m.ResetAllRTFStyles();
  EXPECT_EQ(base[1].Style.Alignment, talCenter) << "the caption resets to the caption defaults";
  EXPECT_EQ(base[1].Style.Font.Style, fsBold);
  EXPECT_TRUE(base[2].Style == TrtfStyle());

  m.AddXLSStripStyle();
  m.AddXLSStripStyle();
  EXPECT_EQ(m.Settings().XLS.StripStyles[1].Caption, "ЭЛЕМЕНТ_2");
  EXPECT_EQ(m.Settings().XLS.BaseFormats[4].Caption, "HYPERLINK");
  EXPECT_EQ(m.Settings().XLS.FieldFormats.Count(), 6);
}

TEST(ExportDialogModel, HTMLTemplateAndPDFPage) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  m.SetHTMLTemplate(htGray);
  THTMLOptions html;
  TTableOptions table;
  ApplyHTMLTemplate(htGray, html, table);
  EXPECT_EQ(m.Settings().HTMLPage.BackgroundColor, html.BackgroundColor);
  EXPECT_EQ(m.Settings().HTMLTable.HeadersRowBgColor, table.HeadersRowBgColor);
  EXPECT_EQ(m.Settings().HTMLTemplate, htGray);

  m.SetPDFPageFormat(pfUser);
  auto& page = m.Settings().PDF.PageOptions;
  page.Units = unDot;
  page.SetWidth(500);
  page.SetHeight(700);
  m.SetPDFOrientation(poLandscape);
  EXPECT_EQ(page.WidthPoints(), 700);
  EXPECT_EQ(page.HeightPoints(), 500);
}

}  // namespace
}  // namespace morvale::test
