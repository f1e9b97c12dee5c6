// The dialog's run over several tables: the settings made on the first table applied to each by
// field name, a table that cannot be opened named while the others are written, the files named
// from the pattern, and one workbook with a sheet per table read back by xlrd.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/dialog/model.h"
#include "tests/support/demo.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::TMemDataSet;

// A table whose fields are those of the first one in another order, with one more.
std::unique_ptr<TDataSet> OpenTable(const std::string& table) {
  if (table == "broken") throw Exception("no such table: broken");
  auto ds = std::make_unique<TMemDataSet>();
  ds->AddField("name", ftString, 20);
  ds->AddField("extra", ftString, 5);
  ds->AddField("id", ftInteger);
  ds->AddRow({table + " one", "x", "1"});
  ds->AddRow({table + " two", std::nullopt, "2"});
  ds->Open();
  return ds;
}

struct TRun {
  TMemDataSet first;
  TExportDialog d;
  TRun(TAllowedExport type) {
    first.AddField("ID", ftInteger);
    first.AddField("Name", ftString, 20);
    first.Open();
    d.SetDataSet(&first);
    d.AllowedExports = {type};
    d.Tables = {"alpha", "broken", "Гамма"};
    d.OpenTable = OpenTable;
  }
  // Runs with the file name and the fields chosen on the first table; returns the closing note.
  std::string Run(const std::string& fileName, bool oneWorkbook = false) {
    std::string note;
    d.Execute([&](TExportDialogModel& m) {
      EXPECT_TRUE(m.ManyTables());
      m.Settings().FileName = fileName;
      m.Settings().ExportedFields = {"Name", "ID"};
      m.Settings().XLS.SheetPerTable = oneWorkbook;
      m.Settings().ShowFile = false;  // no viewer is started on the test machine
      m.Changed();
      note = m.RunTables(nullptr);
    });
    return note;
  }
};

TEST(TablesRun, EachTableToItsFileWithTheFieldsChosenByName) {
  const std::string dir = test::FreshFolder("tables-run-files");
  TRun run(aeCSV);
  EXPECT_EQ(run.Run(dir + "${n}-${table}.${type}"),
            "Записано таблиц: 2 из 3. Не записана broken: no such table: broken.");
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"1-alpha.csv", "3-Гамма.csv"}));
  // The chosen order, each field spelled as its table spells it; "extra" was not chosen.
  EXPECT_EQ(test::ReadFile(dir + "3-Гамма.csv"),
            "\"name\",\"id\"\r\n\"Гамма one\",\"1\"\r\n\"Гамма two\",\"2\"\r\n");
}

TEST(TablesRun, AFileNameWithoutTheTableKeepsEveryFile) {
  const std::string dir = test::FreshFolder("tables-run-same");
  TRun run(aeCSV);
  run.d.Tables = {"alpha", "beta", "gamma"};
  EXPECT_EQ(run.Run(dir + "out.csv"), "Записано таблиц: 3 из 3.");
  EXPECT_TRUE(std::filesystem::exists(dir + "out.csv"));
  EXPECT_TRUE(std::filesystem::exists(dir + "out (2).csv"));
  EXPECT_TRUE(std::filesystem::exists(dir + "out (3).csv"));
}

TEST(TablesRun, OneWorkbookHoldsASheetPerTableThatOpened) {
  const std::string dir = test::FreshFolder("tables-run-workbook");
  TRun run(aeXLS);
  const std::string file = dir + "all.xls";
  EXPECT_EQ(run.Run(file, true), "Записано таблиц: 2 из 3 в книгу " + file +
                                     ". Не записана broken: no such table: broken.");
  std::string out;
  const std::string script =
      "import sys, xlrd\n"
      "for s in xlrd.open_workbook(sys.argv[1]).sheets(): print(s.name, s.row_values(0))\n";
  ASSERT_EQ(
      test::RunCommand(
          test::Python() + " -c " + test::ShellQuote(script) + " " + test::ShellQuote(file), out),
      0)
      << out;
  EXPECT_EQ(out, "alpha ['name', 'id']\nГамма ['name', 'id']\n");
}

}  // namespace
}  // namespace morvale
