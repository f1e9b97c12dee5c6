// The settings a form remembers between openings: one options file holding every type's page,
// written when the form closes and read when the next one opens, which keeps the file name the
// host suggests; "Сбросить" brings a new form's values back.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/core/inifile.h"
#include "tests/export/dialog/dialogsupport.h"
#include "tests/export/dialog/editeverything.h"

namespace morvale::test {
namespace {

TEST(RememberedOptions, EveryTypeFindsItsPageAsLeft) {
  TDialogFixture f;
  const std::string folder = FreshFolder("remembered");
  f.dialog.RememberFileName = folder + "Morvale.cfg";
  TExportDialogModel& first = f.Model();
  first.Opened();  // nothing remembered yet: a new form
  for (const TExportTypeInfo& info : ExportTypeTable())
    EditEverythingSaved(first, info.Type, folder);
  first.SetExportType(aeTXT);
  first.Closing();
  ASSERT_TRUE(std::filesystem::exists(f.dialog.RememberFileName));
  TDialogSettings left = first.Settings();

  // The next form: on another table, whose name the host suggests.
  f.dialog.FileName = folder + "orders";
  TExportDialogModel second(f.dialog);
  ASSERT_FALSE(second.Settings() == left);
  second.Opened();
  EXPECT_EQ(second.Settings().FileName, folder + "orders.txt");
  left.FileName = folder + "orders.txt";
  EXPECT_TRUE(second.Settings() == left);
  EXPECT_EQ(second.Settings().Captions, left.Captions);

  // The file is an options file of the chosen type: what the command line runs.
  TExportDialogModel byFile(f.dialog);
  byFile.LoadOptions(f.dialog.RememberFileName);
  EXPECT_EQ(byFile.Settings().ExportType, aeTXT);
  EXPECT_EQ(byFile.Settings().FileName, folder + "out.txt");  // the file exported last
  EXPECT_TRUE(byFile.Settings().TXT == left.TXT);
  EXPECT_TRUE(SameFormats(byFile.Settings().Formats, left.Formats));
}

TEST(RememberedOptions, ResetGivesANewFormsValues) {
  TDialogFixture f;
  const std::string folder = FreshFolder("reset");
  TExportDialogModel& m = f.Model();
  const TDialogSettings fresh = m.Settings();
  EditEverythingSaved(m, aeHTML, folder);
  EditEverythingSaved(m, aePDF, folder);
  ASSERT_FALSE(m.Settings() == fresh);
  m.SetActivePage(dpPDF);
  m.ResetToDefaults();
  EXPECT_TRUE(m.Settings() == fresh);
  EXPECT_EQ(m.ActivePage(), dpExportType);
}

TEST(RememberedOptions, NoFileNoMemory) {
  TDialogFixture f;
  const std::string folder = FreshFolder("nomemory");
  TExportDialogModel& m = f.Model();
  m.Opened();
  EditEverythingSaved(m, aeCSV, folder);
  m.Closing();
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace morvale::test
