// The names that switch the column builder's settings on are ones the exporters publish: a name in
// the table that no class publishes would leave its setting off for every format.
#include <gtest/gtest.h>

#include "cli/formats.h"
#include "export/core/switches.h"

namespace morvale {
namespace {

TEST(PublishedSwitches, EveryNameIsPublishedBySomeExporterAndNotByAll) {
  std::vector<std::unique_ptr<TExport>> exporters;
  for (const cli::TCliExportType& t : cli::ExportTypes())
    if (t.Create) exporters.push_back(t.Create());
  ASSERT_GT(exporters.size(), 10u);
  for (std::string_view name : kPublishedSwitches) {
    int publishers = 0;
    for (const auto& e : exporters) publishers += e->Published().Publishes(name) ? 1 : 0;
    EXPECT_GT(publishers, 0) << name << " is published by no exporter";
  }
  // The lookup itself is by published name, so a format that does not publish a setting is
  // left without it.
  auto dbf = cli::FindExportType("dbf")->Create();
  EXPECT_FALSE(Publishes(*dbf, TPublishedSwitch("Formats")));
  EXPECT_TRUE(Publishes(*dbf, TPublishedSwitch("ColumnsLength")));
  // A workbook's strings are UTF-16 whatever is asked: no Encoding.
  EXPECT_FALSE(Publishes(*cli::FindExportType("xls")->Create(), TPublishedSwitch("Encoding")));
}

}  // namespace
}  // namespace morvale
