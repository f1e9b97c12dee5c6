// Options files keep their bytes: the hand-written file with every key, loaded as each type and
// saved again, and the remembered files of a loaded and of a new form, are compared with the files
// this version wrote when they were blessed. A reader of older files (the command line among them)
// finds every key where it was. MORVALE_BLESS_OPTIONS=1 writes the expected files anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "tests/export/dialog/dialogsupport.h"

namespace morvale::test {
namespace {

// The fixture as the given type, with the two one-key sections it lacks.
std::string FixtureFile(int type, const std::string& folder) {
  std::string text = ReadFile(FixturePath("every-key.cfg"));
  text = std::regex_replace(text, std::regex("ExportType=2"), "ExportType=" + std::to_string(type));
  text += "\n[JSON]\nJSONLines=1\n\n[DBF]\nDateTimeAsText=1\n";
  WriteFile(folder + "in.cfg", text);
  return folder + "in.cfg";
}

void ExpectSameAsBlessed(const std::string& written, const std::string& name) {
  const std::string expected = FixturePath("saved/" + name);
  if (std::getenv("MORVALE_BLESS_OPTIONS")) WriteFile(expected, ReadFile(written));
  EXPECT_EQ(ReadFile(written), ReadFile(expected)) << name;
}

TEST(OptionsFileBytes, EveryKeyFileSavesAsBefore) {
  const std::string folder = FreshFolder("golden");
  for (const TExportTypeInfo& info : ExportTypeTable()) {
    SCOPED_TRACE(info.Name);
    TDialogFixture f;
    TExportDialogModel& m = f.Model();
    m.LoadOptions(FixtureFile(info.Type, folder));
    m.SaveOptions(folder + "out.cfg");
    ExpectSameAsBlessed(folder + "out.cfg", std::string(info.Name) + ".cfg");
  }
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  m.LoadRememberedOptions(FixtureFile(aeRTF, folder));
  m.SaveRememberedOptions(folder + "out.cfg");
  ExpectSameAsBlessed(folder + "out.cfg", "remembered.cfg");
}

// "Параллельное чтение" is written only when it is on: a file that has it keeps it as it was.
TEST(OptionsFileBytes, ParallelReadingSavesAsBefore) {
  const std::string folder = FreshFolder("golden-parallel");
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  std::string text = ReadFile(FixtureFile(aeCSV, folder));
  WriteFile(folder + "in.cfg", text + "\n[PARALLEL_READING]\nEnabled=1\nConnections=6\n");
  m.LoadOptions(folder + "in.cfg");
  m.SaveOptions(folder + "out.cfg");
  ExpectSameAsBlessed(folder + "out.cfg", "parallel.cfg");
}

// Parts are written only when asked for: a file that asks for them keeps them as it was.
TEST(OptionsFileBytes, PartsSaveAsBefore) {
  const std::string folder = FreshFolder("golden-parts");
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  std::string text = ReadFile(FixtureFile(aeCSV, folder));
  WriteFile(folder + "in.cfg",
            text + "\n[PARTS]\nSplitRows=250000\nSplitSize=1536K\nCompression=zstd\nManifest=1\n");
  m.LoadOptions(folder + "in.cfg");
  m.SaveOptions(folder + "out.cfg");
  ExpectSameAsBlessed(folder + "out.cfg", "parts.cfg");
}

TEST(OptionsFileBytes, ANewFormSavesAsBefore) {
  const std::string folder = FreshFolder("golden-new");
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  m.SaveRememberedOptions(folder + "out.cfg");
  ExpectSameAsBlessed(folder + "out.cfg", "new-form.cfg");
}

}  // namespace
}  // namespace morvale::test
