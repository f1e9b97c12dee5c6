// The command line's types are the registry's words and the SDF file: each word is found, each
// options file's type runs as a word that leads back to it.
#include <gtest/gtest.h>

#include <set>

#include "cli/dialogfile.h"
#include "cli/formats.h"

namespace morvale {
namespace {

TEST(CliExportTypes, EveryRegistryTypeIsOfferedOnceAndRoundTrips) {
  std::set<std::string> names;
  for (const cli::TCliExportType& t : cli::ExportTypes()) {
    EXPECT_TRUE(names.insert(t.Name).second) << "listed twice: " << t.Name;
    EXPECT_EQ(cli::FindExportType(t.Name), &t);
    // Either an exporter or a writer of the whole query, never both.
    EXPECT_NE(static_cast<bool>(t.Create), static_cast<bool>(t.WriteQuery)) << t.Name;
    EXPECT_EQ(FindExportTypeWord(t.Name).Type, t.Info);
  }
  for (const TExportTypeInfo& type : ExportTypeTable()) {
    SCOPED_TRACE(type.Name);
    for (const TExportTypeWord& w : type.Words) EXPECT_TRUE(names.count(w.Word)) << w.Word;
    // An options file names the ordinal; the command line runs it as the type's word.
    EXPECT_EQ(cli::DialogTypeOf(cli::CliTypeName(type.Type)), &type);
  }
  // SDF is the command line's own; JSON Lines is a JSON the dialog cannot show.
  EXPECT_EQ(cli::FindExportType("sdf")->Info, nullptr);
  EXPECT_EQ(cli::DialogTypeOf("jsonl"), nullptr);
  EXPECT_EQ(cli::FindExportType("JSONL")->Info, &ExportTypeInfo(aeJSON));
}

}  // namespace
}  // namespace morvale
