// Every setting of the text formats survives a trip through the exporter's settings file: each
// published property reads back as it was written, nested records and list properties included.
#include <gtest/gtest.h>

#include "export/core/inifile.h"
#include "export/core/properties.h"
#include "export/text/clipboard.h"
#include "export/text/html.h"
#include "export/text/latex.h"
#include "export/text/sql.h"
#include "export/text/xml.h"
#include "tests/export/text/textsupport.h"

namespace morvale::test {
namespace {

template <class T>
void ExpectRoundTrip(const std::vector<std::pair<std::string, std::string>>& changes) {
  T changed;
  for (const auto& [name, value] : changes) SetPropertyText(changed, name, value);
  std::string path = ScratchFolder() + "settings.ini";
  {
    TIniFile ini(path);
    changed.SaveProperties(ini);
  }
  T loaded;
  TIniFile ini(path);
  loaded.LoadProperties(ini);
  EXPECT_EQ(ListProperties(loaded), ListProperties(changed)) << changed.ClassName();
  T fresh;
  EXPECT_NE(ListProperties(fresh), ListProperties(changed)) << "the changes changed nothing";
}

TEST(TextFormatSettings, SurviveTheSettingsFile) {
  ExpectRoundTrip<TExportSQL>({{"TableName", "ORDERS"},
                               {"CreateTable", "true"},
                               {"CommitRecCount", "100"},
                               {"CommitStatement", "COMMIT;"},
                               {"StatementTerm", "/"},
                               {"SQLDialect", "sdPostgreSQL"},
                               {"Header", "-- one\n-- two"}});
  ExpectRoundTrip<TExportXML>({{"Options.Encoding", "windows-1251"},
                               {"Options.StandAlone", "false"},
                               {"Captions.ID", "Number"},
                               {"Formats.NullString", "null"}});
  // Colours set after the template must not be overwritten by it when the file is read back.
  ExpectRoundTrip<TExportHTML>({{"HTMLTemplate", "htOlive"},
                                {"TableOptions.OddRowBgColor", "#123456"},
                                {"HTMLOptions.TextFont.Size", "12"},
                                {"HTMLOptions.DefaultOptions", "[doFontName,doFontSize]"},
                                {"MaxRecords", "10"},
                                {"Navigation.IndexLinkTemplate", "Стр."},
                                {"UsingCSS", "usExternal"},
                                {"ColumnsAlign.PRICE", "Center"}});
  ExpectRoundTrip<TExportLaTeX>({{"Options.LaTeXVersion", "LaTeX209"},
                                 {"Options.CodePage", "1251"},
                                 {"Options.Languages", "russian,english"},
                                 {"Preambula", "\\usepackage{longtable}"}});
  ExpectRoundTrip<TExportClipboard>(
      {{"ExportType", "etFixed"}, {"Separator", "#9"}, {"Footer", "end"}});
}

}  // namespace
}  // namespace morvale::test
