// The spreadsheet page's extras tree over the working copy: node texts and their numbering, adding
// by the selected kind, deleting and the focus after it, the hints, the integer fields, and the
// options file seeing what the tree edited.
#include "export/dialog/xlsextrastree.h"

#include <gtest/gtest.h>

#include "export/core/inifile.h"
#include "tests/export/dialog/dialogsupport.h"

namespace morvale::test {
namespace {

std::vector<std::string> Texts(const TxlsExtrasNode& parent) {
  std::vector<std::string> out;
  for (const auto& c : parent.Children) out.push_back(c->Text);
  return out;
}

class ExtrasTree : public ::testing::Test {
 protected:
  ExtrasTree() : model(f.Model()), page(model.Settings().XLS), tree(page) {}
  TxlsExtrasNode* AddUnder(TxlsExtraKind root) {
    tree.Select(&tree.Root(root));
    return tree.Add();
  }
  TDialogFixture f;
  TExportDialogModel& model;
  TXLSPage& page;
  TxlsExtrasTree tree;
};

TEST_F(ExtrasTree, RootsAndHints) {
  std::vector<std::string> roots;
  for (const auto& r : tree.Roots()) roots.push_back(r->Text);
  EXPECT_EQ(roots, (std::vector<std::string>{"Гиперссылки", "Примечания", "Диаграммы", "Ячейки",
                                             "Объединенные ячейки"}));
  EXPECT_EQ(tree.Add(), nullptr) << "nothing selected adds nothing";
  EXPECT_FALSE(tree.CanDelete());
  const std::pair<TxlsExtraKind, std::pair<const char*, const char*>> hints[] = {
      {ekHyperlink, {"Добавить гиперссылку", "Удалить гиперссылку"}},
      {ekNote, {"Добавить примечание", "Удалить примечание"}},
      {ekChart, {"Добавить диаграмму", "Удалить диаграмму"}},
      {ekCell, {"Добавить ячейку", "Удалить ячейку"}},
      {ekMergedCells, {"Добавить объед. ячейку", "Удалить объед. ячейку"}}};
  for (const auto& [kind, texts] : hints) {
    tree.Select(&tree.Root(kind));
    EXPECT_EQ(tree.AddHint(), texts.first);
    EXPECT_EQ(tree.DeleteHint(), texts.second);
    EXPECT_FALSE(tree.CanDelete()) << "an empty root";
  }
  TxlsExtrasNode* chart = AddUnder(ekChart);
  EXPECT_EQ(tree.AddHint(), "Добавить диаграмму") << "a chart node adds charts";
  tree.Select(chart->Children.front().get());
  EXPECT_EQ(tree.AddHint(), "Добавить ряд");
  EXPECT_EQ(tree.DeleteHint(), "Удалить ряд");
  EXPECT_FALSE(tree.CanDelete()) << "a \"Series\" node without series";
  tree.Add();
  EXPECT_EQ(tree.DeleteHint(), "Удалить ряд") << "a series";
  EXPECT_TRUE(tree.CanDelete());
}

TEST_F(ExtrasTree, NumbersTakeTheSmallestFreeTextAmongSiblings) {
  for (int i = 0; i < 3; ++i) AddUnder(ekHyperlink);
  TxlsExtrasNode& links = tree.Root(ekHyperlink);
  EXPECT_EQ(Texts(links), (std::vector<std::string>{"Hyperlink_1", "Hyperlink_2", "Hyperlink_3"}));
  tree.Select(links.Children[1].get());
  tree.Delete();
  EXPECT_EQ(tree.Selected(), links.Children[1].get()) << "the sibling now at the old place";
  tree.Add();  // a hyperlink node selected adds a hyperlink too
  EXPECT_EQ(links.Children.back()->Text, "Hyperlink_2");
  ASSERT_EQ(page.Extras.Hyperlinks.Count(), 3);
  EXPECT_EQ(page.Extras.Hyperlinks[2].Title, "Hyperlink_2");

  // A retitled hyperlink shows its title; only an exact text blocks a number.
  tree.SetHyperlinkTitle(*links.Children[0], "hyperlink_1");
  EXPECT_EQ(links.Children[0]->Text, "hyperlink_1");
  EXPECT_EQ(page.Extras.Hyperlinks[0].Title, "hyperlink_1");
  EXPECT_EQ(tree.Add()->Text, "Hyperlink_1");

  // Each kind numbers among its own siblings, with its own base text.
  EXPECT_EQ(AddUnder(ekNote)->Text, "Note_1");
  EXPECT_EQ(AddUnder(ekMergedCells)->Text, "Объед. ячейки 1");
  EXPECT_EQ(tree.Add()->Text, "Объед. ячейки 2");
  TxlsExtrasNode* first = AddUnder(ekChart);
  TxlsExtrasNode* second = tree.Add();
  EXPECT_EQ(second->Text, "Chart_2");
  EXPECT_EQ(page.Extras.Charts[1].Title, "Chart_2");
  EXPECT_TRUE(second->Expanded);
  ASSERT_EQ(Texts(*second), (std::vector<std::string>{"Ряды"}));
  tree.Select(second->Children[0].get());
  EXPECT_EQ(tree.Add()->Text, "Series_1");
  EXPECT_EQ(tree.Add()->Text, "Series_2") << "a series selected adds to its own chart";
  tree.Select(first->Children[0].get());
  EXPECT_EQ(tree.Add()->Text, "Series_1") << "numbered within the chart";
  EXPECT_EQ(page.Extras.Charts[0].Series.Count(), 1);
  EXPECT_EQ(page.Extras.Charts[1].Series.Count(), 2);
  EXPECT_EQ(page.Extras.Charts[1].Series[1].Title, "Series_2");
}

TEST_F(ExtrasTree, NewItemsStartFromTheirDefaults) {
  TxlsFormat& base = page.BaseFormats.back().Format;
  ASSERT_EQ(page.BaseFormats.back().Caption, "HYPERLINK");
  base.Font.Name = "Tahoma";
  base.Font.Style = xlsStyle(xfsBold);
  AddUnder(ekHyperlink);
  const TxlsHyperlink& link = page.Extras.Hyperlinks[0];
  EXPECT_EQ(link.Format.Font.Name, "Tahoma");
  EXPECT_TRUE(link.Format.Font.Has(xfsBold));
  EXPECT_EQ(link.Format.Font.Underline, fulSingle) << "the rest of the base format as well";

  TxlsExtrasNode* cell = AddUnder(ekCell);
  EXPECT_EQ(cell->Text, "Ячейка(Кол: 0 Стр: 0)");
  tree.SetCellPlace(*cell, xlsIntField("5", 16).Value, 0);
  EXPECT_EQ(cell->Text, "Ячейка(Кол: 5 Стр: 0)");
  EXPECT_EQ(page.Extras.Cells[0].Col, 5);
  EXPECT_EQ(page.Extras.Cells[0].CellType, ctString);

  // A note starts from the note defaults, not from the page's note format.
  page.NoteFormat.Font.Size = 20;
  AddUnder(ekNote);
  EXPECT_TRUE(page.Extras.Notes[0].Format.Font == TxlsNoteFormat().Font);
}

TEST(ExtrasTreeFields, IntegersAreReadAsTheItemsStoreThem) {
  EXPECT_EQ(xlsIntField("abc", 16).Value, 0);
  EXPECT_EQ(xlsIntField("abc", 16).Shown, "0");
  EXPECT_EQ(xlsIntField("", 16).Shown, "0");
  EXPECT_EQ(xlsIntField("12", 16).Shown, "12") << "as typed";
  EXPECT_EQ(xlsIntField("012", 16).Shown, "12");
  EXPECT_EQ(xlsIntField("70000", 16).Value, 70000 - 65536);
  EXPECT_EQ(xlsIntField("70000", 16).Shown, "4464");
  EXPECT_EQ(xlsIntField("300", 8).Value, 44);
  EXPECT_EQ(xlsIntField("-1", 16).Value, 65535);
  EXPECT_EQ(xlsIntField("-3", 32).Value, -3);
  EXPECT_EQ(xlsIntField("-3", 32).Shown, "-3");
}

TEST_F(ExtrasTree, DeletingMovesTheFocusAndFreesTheItems) {
  TxlsExtrasNode& cells = tree.Root(ekCell);
  for (int i = 0; i < 3; ++i) AddUnder(ekCell);
  for (int i = 0; i < 3; ++i) tree.SetCellPlace(*cells.Children[i], i + 1, 1);
  tree.Select(cells.Children[2].get());
  tree.Delete();
  EXPECT_EQ(tree.Selected(), cells.Children[1].get()) << "the last one left";
  tree.Select(cells.Children[0].get());
  tree.Delete();
  ASSERT_EQ(page.Extras.Cells.Count(), 1);
  EXPECT_EQ(page.Extras.Cells[0].Col, 2) << "the item of the deleted node goes, not another";
  tree.Delete();
  EXPECT_EQ(tree.Selected(), &cells) << "none left: the root";
  EXPECT_EQ(page.Extras.Cells.Count(), 0);

  // The "Диаграммы" root takes every chart and its series with it.
  for (int i = 0; i < 2; ++i) {
    TxlsExtrasNode* chart = AddUnder(ekChart);
    tree.Select(chart->Children[0].get());
    tree.Add();
    tree.Add();
  }
  ASSERT_EQ(page.Extras.Charts.Count(), 2);
  tree.Select(&tree.Root(ekChart));
  ASSERT_TRUE(tree.CanDelete());
  tree.Delete();
  EXPECT_TRUE(tree.Root(ekChart).Children.empty());
  EXPECT_EQ(page.Extras.Charts.Count(), 0);
  EXPECT_EQ(tree.Selected(), &tree.Root(ekChart));

  // A "Ряды" node empties its chart's series; a series goes alone.
  TxlsExtrasNode* chart = AddUnder(ekChart);
  TxlsExtrasNode* folder = chart->Children[0].get();
  tree.Select(folder);
  tree.Add();
  tree.Add();
  tree.Delete();
  EXPECT_EQ(tree.Selected(), folder->Children[0].get());
  EXPECT_EQ(page.Extras.Charts[0].Series.Count(), 1);
  EXPECT_EQ(page.Extras.Charts[0].Series[0].Title, "Series_1");
  tree.Add();
  tree.Select(folder);
  tree.Delete();
  EXPECT_TRUE(folder->Children.empty());
  EXPECT_EQ(page.Extras.Charts[0].Series.Count(), 0);
  EXPECT_EQ(Texts(*chart), (std::vector<std::string>{"Ряды"})) << "the \"Ряды\" node stays";
}

TEST_F(ExtrasTree, EveryKindGoesThroughTheOptionsFileAndComesBackAsNodes) {
  TxlsExtrasNode* link = AddUnder(ekHyperlink);
  tree.SetHyperlinkTitle(*link, "Сайт");
  link->As<TxlsHyperlink>()->Target = "https://example.org/";
  link->As<TxlsHyperlink>()->Row = 2;
  TxlsExtrasNode* note = AddUnder(ekNote);
  note->As<TxlsNote>()->Lines.Add("first");
  note->As<TxlsNote>()->Lines.Add("second");
  note->As<TxlsNote>()->Col = 3;
  TxlsExtrasNode* chart = AddUnder(ekChart);
  chart->As<TxlsChart>()->Style = xcsPie3d;
  tree.Select(chart->Children[0].get());
  tree.Add()->As<TxlsChartSeries>()->DataColumn = "PRICE";
  tree.Add();
  TxlsExtrasNode* cell = AddUnder(ekCell);
  tree.SetCellPlace(*cell, 4, 7);
  cell->As<TxlsCell>()->SetValue("итого");
  TxlsExtrasNode* merged = AddUnder(ekMergedCells);
  merged->As<TxlsMergedCells>()->LastCol = 9;

  const std::string file = FreshFolder("extrastree") + "extras.cfg";
  model.SaveOptions(file);
  TIniFile ini(file);
  for (const char* s : {"XLS_HYPERLINK_0", "XLS_NOTE_0", "XLS_NOTE_0_LINES", "XLS_CHART_0",
                        "XLS_CHART_0_SERIES_1", "XLS_CELL_0", "XLS_MERGED_CELL_0"})
    EXPECT_TRUE(ini.SectionExists(s)) << s;

  // Loading replaces the lists; the tree follows with the items' own names.
  tree.Select(&tree.Root(ekNote));
  model.LoadOptions(file);
  ASSERT_TRUE(tree.Sync());
  EXPECT_FALSE(tree.Sync()) << "once";
  EXPECT_EQ(tree.Selected(), nullptr);
  EXPECT_EQ(Texts(tree.Root(ekHyperlink)), (std::vector<std::string>{"Сайт"}));
  EXPECT_EQ(Texts(tree.Root(ekNote)), (std::vector<std::string>{"TxlsNote"}));
  ASSERT_EQ(Texts(tree.Root(ekChart)), (std::vector<std::string>{"Chart_1"}));
  const TxlsExtrasNode& folder = *tree.Root(ekChart).Children[0]->Children[0];
  EXPECT_EQ(Texts(folder), (std::vector<std::string>{"Series_1", "Series_2"}));
  EXPECT_EQ(Texts(tree.Root(ekCell)), (std::vector<std::string>{"Col: 4 Row: 7 "}));
  EXPECT_EQ(Texts(tree.Root(ekMergedCells)),
            (std::vector<std::string>{"Merged Cells (0, 0, 9, 0)"}));

  // The nodes hold the loaded items, so edits through them reach the next save.
  EXPECT_EQ(folder.Children[0]->As<TxlsChartSeries>()->DataColumn, "PRICE");
  EXPECT_EQ(tree.Root(ekChart).Children[0]->As<TxlsChart>()->Style, xcsPie3d);
  EXPECT_EQ(tree.Root(ekNote).Children[0]->As<TxlsNote>()->Lines.Count(), 2);
  EXPECT_EQ(tree.Root(ekCell).Children[0]->As<TxlsCell>()->Value(), "итого");
  EXPECT_EQ(tree.Root(ekHyperlink).Children[0]->As<TxlsHyperlink>()->Row, 2);
  tree.Select(tree.Root(ekMergedCells).Children[0].get());
  tree.Delete();
  tree.Root(ekCell).Children[0]->As<TxlsCell>()->Row = 8;
  model.SaveOptions(file);
  TIniFile again(file);
  EXPECT_FALSE(again.SectionExists("XLS_MERGED_CELL_0"));
  EXPECT_EQ(again.ReadInteger("XLS_CELL_0", "Row", 0), 8);
}

}  // namespace
}  // namespace morvale::test
