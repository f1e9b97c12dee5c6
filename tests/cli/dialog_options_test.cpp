// Export dialog options files on the command line: a file written by --save-options drives
// --options to the same bytes, options after --options override the file, and a file that cannot
// be read is a usage error.
#include <gtest/gtest.h>

#include "export/core/inifile.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::Cli;
using test::ReadFile;
using test::Result;

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class CliOptionsFile : public ::testing::Test {
 protected:
  void SetUp() override { dir = test::FreshFolder("cli-options"); }
  std::vector<std::string> Source() const {
    return {"--db", "sqlite:" + test::DemoDatabase(), "--table", "products"};
  }
  std::string dir;
};

TEST_F(CliOptionsFile, SavedOptionsExportTheSameBytesAsTheFlags) {
  const std::vector<std::string> flags = {"--fields",  "code,title,price,weight",
                                          "--caption", "title=Title",
                                          "--caption", "PRICE=Цена",
                                          "--header",  "Price list",
                                          "--footer",  "End",
                                          "--format",  "float=0.000",
                                          "--skip",    "1",
                                          "--count",   "5"};
  struct TCase {
    std::string type;
    std::vector<std::string> extra;
  };
  const TCase cases[] = {
      {"csv", {"--set", "CSVComma=;"}},
      {"txt", {"--set", "TXTSpacing=3", "--set", "ColumnsAlign.PRICE=Center"}},
      {"html", {"--set", "HTMLTemplate=htGray", "--set", "TableOptions.Border=3"}},
      {"sql", {"--set", "TableName=ORDERS", "--set", "CreateTable=true", "--encoding", "utf-16le"}},
      {"rtf", {"--set", "Options.StripType=stRow", "--set", "Options.StripStyles.Count=2"}},
      {"doc", {"--set", "Options.PageOrientation=poLandscape"}},
      {"pdf", {"--set", "Options.RowSpacing=1.5", "--set", "Options.PageOptions.Format=pfA5"}},
      {"xml", {"--set", "Options.Encoding=UTF-8"}},
      {"dbf", {}},
      {"tex", {}},
      {"dif", {}},
      {"slk", {}},
      {"json", {}},
      {"xls", {"--set", "Options.SheetTitle=Products", "--set", "AutoCalcColWidth=true"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.type);
    std::string cfg = dir + c.type + ".cfg";
    std::string byFlags = dir + "flags." + c.type;
    std::string byFile = dir + "file." + c.type;
    Result saved =
        Cli(Join(Join(Source(), {"--type", c.type, "-o", byFlags, "--save-options", cfg}),
                 Join(flags, c.extra)));
    ASSERT_EQ(saved.status, 0) << saved.err;
    Result loaded = Cli(Join(Source(), {"--options", cfg, "-o", byFile}));
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    std::string a = ReadFile(byFlags), b = ReadFile(byFile);
    EXPECT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "the file's export differs from the flags' export";
  }
  // The saved file is a dialog file: the type's ordinal and its sections.
  TIniFile ini(dir + "csv.cfg");
  EXPECT_EQ(ini.ReadInteger("GENERAL", "ExportType", -1), 8);
  EXPECT_EQ(ini.ReadString("CSV", "Comma", ""), ";");
  EXPECT_EQ(ini.ReadString("HEADER", "line0", ""), "Price list");
  EXPECT_EQ(ini.ReadString("FIELDS", "field1", ""), "title");
  EXPECT_EQ(TIniFile(dir + "pdf.cfg").ReadString("PDF", "RowSpacing", ""), "1.5");
  EXPECT_EQ(TIniFile(dir + "sql.cfg").ReadString("SQL", "OutputEncoding", ""), "utf-16le");
  EXPECT_EQ(ReadFile(dir + "file.sql").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(TIniFile(dir + "json.cfg").ReadInteger("GENERAL", "ExportType", -1), 15);
}

TEST_F(CliOptionsFile, TypeAndTargetComeFromTheFileAndLaterOptionsOverrideIt) {
  std::string cfg = dir + "o.cfg";
  std::string target = dir + "from-file.csv";
  ASSERT_EQ(Cli(Join(Source(), {"--type", "csv", "-o", target, "--fields", "code,title", "--header",
                                "Head", "--save-options", cfg}))
                .status,
            0);
  std::remove(target.c_str());
  // No --type and no -o: both from the file.
  Result r = Cli(Join(Source(), {"--options", cfg}));
  ASSERT_EQ(r.status, 0) << r.err;
  std::string text = ReadFile(target);
  EXPECT_TRUE(text.starts_with("Head")) << text;
  EXPECT_NE(text.find("\"code\",\"title\"\r\n"), std::string::npos);

  // Options after the file override it; those before it are overridden by it.
  r = Cli(Join(Source(), {"--fields", "price", "--header", "Before", "--options", cfg, "-o", "-",
                          "--fields", "title", "--format", "null=-"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("Head")) << r.out;
  EXPECT_NE(r.out.find("\"title\"\r\n"), std::string::npos);
  EXPECT_EQ(r.out.find("\"price\""), std::string::npos);

  r = Cli(Join(Source(), {"--options", cfg, "--type", "txt", "-o", "-", "--header", "After"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("After\r\n")) << r.out;
  EXPECT_EQ(r.out.find("\",\""), std::string::npos) << "fixed-width text, not CSV";

  r = Cli(Join(Source(), {"--options", cfg, "-o", "-", "--fields", "nosuch"}));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Unknown field 'nosuch'"), std::string::npos);
}

TEST_F(CliOptionsFile, AnUnreadableFileIsAUsageError) {
  Result r = Cli(Join(Source(), {"--options", dir + "missing.cfg", "-o", "-"}));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Cannot read the options file '" + dir +
                       "missing.cfg': No such file or "
                       "directory"),
            std::string::npos)
      << r.err;
  r = Cli(Join(Source(), {"--options", dir, "-o", "-"}));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Is a directory"), std::string::npos) << r.err;
  r = Cli(Join(Source(), {"--options", dir + "a.cfg", "--save-options", dir + "b.cfg"}));
  EXPECT_EQ(r.status, 2);

  // A damaged file still exports what it can.
  test::WriteFile(dir + "damaged.cfg",
                  "[GENERAL]\nExportType=8\nSkipRecCount=x\n[FIELDS]\n"
                  "field0=nosuch\nfield1=code\n[CSV]\nComma=#999\n");
  r = Cli(Join(Source(), {"--options", dir + "damaged.cfg", "-o", "-", "--count", "1"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")), "\"code\"");
}

}  // namespace
}  // namespace morvale
